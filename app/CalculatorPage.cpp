#include "app/CalculatorPage.h"

#include "app/FlnPageHost.h"
#include "controls/BalloonHelp.h"
#include "platform/gdi/SysColors.h"
#include "platform/user/ResourceHandles.h"
#include "res/FormulaPage.h"

namespace {

// The font commands and the size in points each sets.
constexpr IdValue<int> FontSizeCommands[] = {
    { ID_FONT_VERY_LARGE, 18 }, { ID_FONT_LARGE, 14 }, { ID_FONT_MEDIUM, 12 }, { ID_FONT_SMALL, 10 },
    { ID_FONT_VERY_SMALL, 9 },
};

void SelectAllWhenNothingSelected(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) {
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    }
}

// How long a tooltip stays while the pointer rests, in milliseconds.
constexpr int TooltipShowTime = 60000;

constexpr unsigned BalloonOptions = CBalloonHelp::unCLOSE_ON_MOUSE_MOVE | CBalloonHelp::unCLOSE_ON_KEYPRESS;

} // namespace

IMPLEMENT_DYNAMIC(CCalculatorPage, CResizableFormView)

CCalculatorPage::CCalculatorPage(UINT templateId) : CResizableFormView(templateId) {}

CCalculatorPage::~CCalculatorPage() = default;

BEGIN_MESSAGE_MAP(CCalculatorPage, CResizableFormView)
    ON_COMMAND(ID_EDIT_DELETE_ALL, OnDeleteAll)
    ON_COMMAND(ID_EDIT_CUT, OnEditCut)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_COMMAND(ID_VIEW_TOOLTIPS, OnViewTooltips)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLTIPS, OnUpdateViewTooltips)
    ON_COMMAND_RANGE(ID_FONT_LARGE, ID_FONT_VERY_LARGE, OnFontSize)
    ON_UPDATE_COMMAND_UI_RANGE(ID_FONT_LARGE, ID_FONT_VERY_LARGE, OnUpdateFontSize)
    ON_COMMAND(ID_FONT_BOLD, OnFontBold)
    ON_UPDATE_COMMAND_UI(ID_FONT_BOLD, OnUpdateFontBold)
END_MESSAGE_MAP()

CFlnPageHost* CCalculatorPage::Host() const
{
    return CFlnPageHost::Of(*this);
}

HWND CCalculatorPage::Item(UINT id) const
{
    return ::GetDlgItem(m_hWnd, static_cast<int>(id));
}

POINT CCalculatorPage::CentreOf(HWND control)
{
    RECT rect {};
    ::GetWindowRect(control, &rect);
    return { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
}

void CCalculatorPage::ShowBalloon(const CString& title, const CString& text, POINT anchor, unsigned timeout, CWnd* parent)
{
    CBalloonHelp::LaunchBalloon(title, text, anchor, OIC_INFORMATION, BalloonOptions, parent, L"", timeout);
}

void CCalculatorPage::PutFramesBeneathControls(std::initializer_list<UINT> frames)
{
    for (UINT id : frames)
        ::SetWindowPos(Item(id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CCalculatorPage::SetUpInputLine(COLORREF background)
{
    CColorEdit& input = InputLine();
    input.SetTextColor(RGB(0, 0, 0));
    input.SetBackColor(background);
    input.SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(5, 5));
    input.SendMessage(EM_SETLIMITTEXT, InputLimit, 0);
}

void CCalculatorPage::SetUpOutputLine(CLabel& output, const CString& text)
{
    output.SetFontName(L"Arial", 0)
        .SetFontSize(11)
        .SetTextColor(RGB(255, 255, 0))
        .SetFontUnderline(TRUE)
        .SetBkColor(RGB(0, 0, 0))
        .SetFontItalic(TRUE)
        .SetFontBold(TRUE)
        .SetBorder(TRUE)
        .SetText(text)
        .SetSunken(TRUE);
}

void CCalculatorPage::CreateTooltips(std::span<const PageTip> tips)
{
    m_tooltip.Create(this, TRUE);
    m_tooltip.RemoveAllTools();
    m_tooltip.SetDefaultSizes(TRUE);
    m_tooltip.SetSize(3, m_tooltip.GetSize(3) / 2);
    m_tooltip.SetBorder(RGB(105, 105, 107), 1, 1);
    m_tooltip.SetShadow(6, 5, 50, TRUE, 7, 7);
    m_tooltip.SetNotify(TRUE);
    m_tooltip.SetDelayTime(CPPToolTip::AutoPop, TooltipShowTime);
    m_tooltip.SetSize(4, 20);
    m_tooltip.SetSize(5, 20);
    m_tooltip.SetColorBk(GetSysColor(COLOR_INFOBK));
    for (const PageTip& tip : tips) {
        // A tip stays while the pointer moves over its control, hides only when it leaves (or on a
        // click or a key), and shows again on the next hover; it stands above the pointer.
        ToolTipRecord record;
        record.text = tip.text;
        record.mask = ToolTipRecord::Direction | ToolTipRecord::Behaviour;
        record.behaviour = ToolTipRecord::MultipleShow | ToolTipRecord::CloseOnLeave | ToolTipRecord::StayOverTip | ToolTipRecord::NoAutoHide;
        record.direction = PPTIP_TAIL_BOTTOM;
        if (CWnd* control = GetDlgItem(tip.id))
            m_tooltip.AddTool(control, record);
    }
}

HMENU CCalculatorPage::FirstSubmenuOf(UINT menuId)
{
    HMENU menu = ::LoadMenuW(nullptr, MAKEINTRESOURCEW(menuId));
    HMENU popup = ::GetSubMenu(menu, 0);
    ::RemoveMenu(menu, 0, MF_BYPOSITION);
    ::DestroyMenu(menu);
    return popup;
}

BOOL CCalculatorPage::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (code == CN_COMMAND && !handlerInfo && OnKey(id))
        return TRUE;
    return CResizableFormView::OnCmdMsg(id, code, extra, handlerInfo);
}

BOOL CCalculatorPage::PreTranslateMessage(MSG* message)
{
    if (m_bViewTooltips && m_tooltip.m_hWnd && m_tooltip.RelayEvent(message))
        return TRUE;
    return CResizableFormView::PreTranslateMessage(message);
}

// ---- edit commands

HWND CCalculatorPage::EditCommandTarget()
{
    return InputLine().m_hWnd;
}

// Delete All empties the input line as one undoable change.
void CCalculatorPage::OnDeleteAll()
{
    HWND input = InputLine().m_hWnd;
    ::SendMessageW(input, EM_SETSEL, 0, -1);
    ::SendMessageW(input, EM_SCROLLCARET, 0, 0);
    ::SendMessageW(input, WM_CLEAR, 0, 0);
}

void CCalculatorPage::CutOrCopy(UINT message)
{
    HWND edit = EditCommandTarget();
    if (edit == InputLine().m_hWnd)
        SelectAllWhenNothingSelected(edit);
    ::SendMessageW(edit, message, 0, 0);
}

void CCalculatorPage::OnEditCut() { CutOrCopy(WM_CUT); }

void CCalculatorPage::OnEditCopy() { CutOrCopy(WM_COPY); }

void CCalculatorPage::OnEditPaste() { ::SendMessageW(EditCommandTarget(), WM_PASTE, 0, 0); }

void CCalculatorPage::OnEditUndo() { ::SendMessageW(EditCommandTarget(), EM_UNDO, 0, 0); }

// ---- tooltip switch

void CCalculatorPage::OnViewTooltips()
{
    m_bViewTooltips = !m_bViewTooltips;
    if (!m_bViewTooltips && m_tooltip.m_hWnd)
        m_tooltip.HideTip();
}

void CCalculatorPage::OnUpdateViewTooltips(CCmdUI* ui) { ui->SetCheck(m_bViewTooltips ? 1 : 0); }

// ---- input font

void CCalculatorPage::SetInputFont(int pointSize)
{
    m_nFontSize = pointSize;
    InputLine().SetFont(pointSize, L"MS Sans Serif", m_bFontBold, FALSE);
}

void CCalculatorPage::OnFontSize(UINT id)
{
    if (std::optional<int> points = ValueOf(FontSizeCommands, id))
        SetInputFont(*points);
}

void CCalculatorPage::OnUpdateFontSize(CCmdUI* ui)
{
    if (std::optional<int> points = ValueOf(FontSizeCommands, ui->m_nID))
        ui->SetCheck(m_nFontSize == *points ? 1 : 0);
}

// The font is set again at the size it has, whatever that is (a stored size need not be one of the
// menu's), so that the line always shows what the check mark says.
void CCalculatorPage::OnFontBold()
{
    m_bFontBold = !m_bFontBold;
    SetInputFont(m_nFontSize);
}

void CCalculatorPage::OnUpdateFontBold(CCmdUI* ui) { ui->SetCheck(m_bFontBold ? 1 : 0); }
