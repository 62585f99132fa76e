// The smaller commands of the Formula page: physical constants, edit commands on the formula,
// the verify and tooltip switches, the input font, and the tooltips of the keys.

#include "app/FlnView.h"

#include "engine/FormulaEngine.h"
#include "platform/base/StringFormat.h"
#include "platform/gdi/SysColors.h"
#include "res/FormulaPage.h"

namespace {

// Where a chosen constant's value goes, by insert target 1..7 (A..G).
constexpr UINT VariableFields[] = { 166, 170, 173, 176, 185, 179, 188 };

// The insert-target buttons and the target each sets.
struct InsertTargetButton {
    UINT id;
    int target;
};
constexpr InsertTargetButton InsertTargetButtons[] = {
    { IDC_PHYS_SELECT, 0 }, { 210, 1 }, { 234, 2 }, { 154, 3 }, { 245, 4 }, { 158, 5 }, { 248, 6 }, { 161, 7 },
};

// The font commands and their sizes in points.
struct FontSizeCommand {
    UINT id;
    int points;
};
constexpr FontSizeCommand FontSizeCommands[] = {
    { ID_FONT_VERY_LARGE, 18 }, { ID_FONT_LARGE, 14 }, { ID_FONT_MEDIUM, 12 }, { ID_FONT_SMALL, 10 },
    { ID_FONT_VERY_SMALL, 9 },
};

struct Tip {
    UINT id;
    const wchar_t* text;
};
constexpr Tip Tips[] = {
    { 328, L"Decimal Value (Base 10)" }, { 1040, L"Fraction ( N i/j = N + i/j )" }, { 326, L"Roman Value (Short)" },
    { 324, L"Roman Value (Long)" }, { 1041, L"Hexadecimal Value (Base 16)" }, { 1042, L"Octal Value (Base 8)" },
    { 1043, L"Binary Value (Base 2)" }, { 322, L"Copy Output to Clipboard" }, { 109, L"Sine" }, { 110, L"Arc Sine" },
    { 111, L"Hyperbolic Sine" }, { 112, L"Area (Inverse) Hyperbolic Sine" }, { 113, L"Cosine" },
    { 114, L"Arc Cosine" }, { 115, L"Hyperbolic Cosine" }, { 116, L"Area (Inverse) Hyperbolic Cosine" },
    { 117, L"Tangent" }, { 118, L"Arc Tangent" }, { 119, L"Hyperbolic Tangent" }, { 120, L"ArTanH" },
    { 121, L"Exponential" }, { 122, L"Logarithmic" }, { 123, L"Integer Part" }, { 124, L"Absolute Value" },
    { 125, L"Set 10 to the x power" }, { 126, L"Logarithm" }, { 127, L"Radian" }, { 128, L"Degree" },
    { 130, L"Set x to the 2 power" }, { 133, L"Square Root" }, { 140, L"Put x into input" },
    { 145, L"Left Parenthesis" }, { 1380, L"Right Parenthesis" }, { 164, L"Divided by" }, { 171, L"Multiplied by" },
    { 220, L"Put 7 into input" }, { 221, L"Put 8 into input" }, { 222, L"Put 9 into input" },
    { 147, L"Put Minus into input" }, { 217, L"Put 4 into input" }, { 218, L"Put 5 into input" },
    { 219, L"Put 6 into input" }, { 237, L"Put Plus into input" }, { 214, L"Put 1 into input" },
    { 215, L"Put 2 into input" }, { 216, L"Put 3 into input" }, { 213, L"Put 0 into input" },
    { 162, L"Power (Exponent)" }, { 163, L"Get the Result" }, { 1137, L"Return to Previous Input" },
    { 187, L"Put Constant A into input" }, { 166, L"Constant A" }, { 195, L"Put Constant B into input" },
    { 170, L"Constant B" }, { 225, L"Put Constant C into input" }, { 173, L"Constant C" },
    { 227, L"Put Constant D into input" }, { 176, L"Constant D" }, { 230, L"Put Constant E into input" },
    { 185, L"Constant E" }, { 240, L"Put Constant F into input" }, { 179, L"Constant F" },
    { 155, L"Put Constant G into input" }, { 188, L"Constant G" }, { 191, L"Variable x" }, { 223, L"Cotangent" },
    { 132, L"Sign" }, { 273, L"Left Interval" }, { 1005, L"xa =" }, { 275, L"Right Interval" }, { 1006, L"xb =" },
    { 277, L"Formula Output" }, { 196, L"Left Parenthesis" }, { 198, L"Right Parenthesis" },
    { 201, L"Left Parenthesis" }, { 203, L"Right Parenthesis" }, { 131, L"Pi = 3.14159265358979323846" },
    { 332, L"e = 2.71828182845904523536" }, { 1135, L"Square Root" }, { 137, L"Physical Constants" },
    { 1058, L"Set Physical Constants" }, { 297, L"Physical Constant Value" }, { 266, L"x-Interval for Graph" },
    { 392, L"Fractional Digits" }, { 211, L"Number Format" },
};

} // namespace

bool CFlnView::IsInsertTargetButton(UINT id)
{
    for (const InsertTargetButton& button : InsertTargetButtons) {
        if (button.id == id)
            return true;
    }
    return false;
}

void CFlnView::OnInsertTarget(UINT id)
{
    for (const InsertTargetButton& button : InsertTargetButtons) {
        if (button.id == id)
            m_nInsertTarget = button.target;
    }
}

void CFlnView::OnPhysConst(UINT id)
{
    wchar_t entry[256] {};
    ::GetMenuStringW(m_menuPhysConst.m_hMenu, id, entry, 256, MF_BYCOMMAND);
    const CString text(entry);
    const int open = text.Find(L'[');
    const int close = text.Find(L']', open + 1);
    if (open < 0 || close < 0)
        return;
    const CString name = text.Mid(open + 1, close - open - 1);
    m_strPhysConstValue = CString(FormatWide(L" %.6E", GetFormulaEngine().PhysConst.GetValue(name)).c_str());
    if (m_nInsertTarget == 0) {
        ::SetDlgItemTextW(m_hWnd, IDC_PHYS_NAME, name + L" = ");
        ::SetDlgItemTextW(m_hWnd, IDC_PHYS_VALUE, m_strPhysConstValue);
    } else if (m_nInsertTarget >= 1 && m_nInsertTarget <= 7) {
        ::SetDlgItemTextW(m_hWnd, VariableFields[m_nInsertTarget - 1], m_strPhysConstValue);
    }
}

void CFlnView::OnInsertConstantName()
{
    CString name;
    GetDlgItem(IDC_PHYS_NAME)->GetWindowText(name);
    name.Remove(L'=');
    name.Remove(L' ');
    if (SelectedPage() == 0)
        InsertKeyText(name);
}

void CFlnView::OnDeleteAll()
{
    m_editFormula.SendMessage(EM_SETSEL, 0, -1);
    m_editFormula.SendMessage(EM_SCROLLCARET, 0, 0);
    m_editFormula.SendMessage(WM_CLEAR, 0, 0);
}

// The edit commands act on the page's edit field that has the focus (a variable, x, the interval,
// the digit count), and on the formula input when the focus is anywhere else.
HWND CFlnView::EditCommandTarget() const
{
    HWND focus = ::GetFocus();
    wchar_t className[16] {};
    if (focus && ::IsChild(m_hWnd, focus) && ::GetClassNameW(focus, className, 16) && CString(className).CompareNoCase(L"Edit") == 0)
        return focus;
    return m_editFormula.m_hWnd;
}

// Cut and copy take the whole formula when nothing is selected; another field keeps its
// selection as an edit does.
void CFlnView::SelectAllWhenNothingSelected(HWND edit)
{
    if (edit != m_editFormula.m_hWnd)
        return;
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) {
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    }
}

void CFlnView::OnEditCut()
{
    HWND edit = EditCommandTarget();
    SelectAllWhenNothingSelected(edit);
    ::SendMessageW(edit, WM_CUT, 0, 0);
}

void CFlnView::OnEditCopy()
{
    HWND edit = EditCommandTarget();
    SelectAllWhenNothingSelected(edit);
    ::SendMessageW(edit, WM_COPY, 0, 0);
}

void CFlnView::OnEditPaste()
{
    ::SendMessageW(EditCommandTarget(), WM_PASTE, 0, 0);
}

void CFlnView::OnEditUndo()
{
    ::SendMessageW(EditCommandTarget(), EM_UNDO, 0, 0);
}

void CFlnView::OnVerify()
{
    m_bVerify = !m_bVerify;
}

void CFlnView::OnUpdateVerify(CCmdUI* ui)
{
    ui->SetCheck(m_bVerify ? 1 : 0);
}

void CFlnView::OnViewTooltips()
{
    m_bViewTooltips = !m_bViewTooltips;
    if (!m_bViewTooltips && m_tooltip.m_hWnd)
        m_tooltip.HideTip();
}

void CFlnView::OnUpdateViewTooltips(CCmdUI* ui)
{
    ui->SetCheck(m_bViewTooltips ? 1 : 0);
}

void CFlnView::OnFontSize(UINT id)
{
    for (const FontSizeCommand& command : FontSizeCommands) {
        if (command.id == id)
            SetInputFont(command.points);
    }
}

void CFlnView::OnUpdateFontSize(CCmdUI* ui)
{
    for (const FontSizeCommand& command : FontSizeCommands) {
        if (command.id == ui->m_nID)
            ui->SetCheck(m_nFontSize == command.points ? 1 : 0);
    }
}

void CFlnView::OnFontBold()
{
    m_bFontBold = !m_bFontBold;
    for (const FontSizeCommand& command : FontSizeCommands) {
        if (command.points == m_nFontSize) {
            SetInputFont(m_nFontSize);
            return;
        }
    }
}

void CFlnView::OnUpdateFontBold(CCmdUI* ui)
{
    ui->SetCheck(m_bFontBold ? 1 : 0);
}

void CFlnView::SetInputFont(int pointSize)
{
    m_nFontSize = pointSize;
    m_editFormula.SetFont(pointSize, L"MS Sans Serif", m_bFontBold, FALSE);
}

void CFlnView::BuildTooltips()
{
    m_tooltip.RemoveAllTools();
    m_tooltip.SetDefaultSizes(TRUE);
    m_tooltip.SetSize(3, m_tooltip.GetSize(3) / 2);
    m_tooltip.SetBorder(RGB(105, 105, 107), 1, 1);
    m_tooltip.SetShadow(6, 5, 50, TRUE, 7, 7);
    m_tooltip.SetNotify(TRUE);
    m_tooltip.SetDelayTime(CPPToolTip::AutoPop, 60000);
    m_tooltip.SetSize(4, 20);
    m_tooltip.SetSize(5, 20);
    m_tooltip.SetColorBk(GetSysColor(COLOR_INFOBK));
    for (const Tip& tip : Tips) {
        ToolTipRecord record;
        record.text = tip.text;
        if (CWnd* control = GetDlgItem(tip.id))
            m_tooltip.AddTool(control, record);
    }
}

BOOL CFlnView::PreTranslateMessage(MSG* message)
{
    // A constant button drops its menu while it is being pressed, before it reports the click:
    // the press itself chooses where the constant will go.
    if (message->message == WM_LBUTTONDOWN || message->message == WM_KEYDOWN) {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(message->hwnd));
        if (::GetParent(message->hwnd) == m_hWnd && IsInsertTargetButton(id))
            OnInsertTarget(id);
    }
    if (m_bViewTooltips && m_tooltip.m_hWnd && m_tooltip.RelayEvent(message))
        return TRUE;
    return CResizableFormView::PreTranslateMessage(message);
}
