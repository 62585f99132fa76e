#include "commandbars/MenuBar.h"

#include "commandbars/MenuBarFeature.h"
#include "framework/DocTemplateUtils.h"
#include "platform/mfc/MiniFrame.h"
#include "platform/mfc/WinApp.h"

#include <cstdarg>

IMPLEMENT_DYNCREATE(SECMenuBar, SECCustomToolBar)

BEGIN_MESSAGE_MAP(SECMenuBar, SECCustomToolBar)
    ON_WM_SETTINGCHANGE()
    ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

namespace {

const SECTBMenuBtn* AsMenuButton(const SECStdBtn* button)
{
    return button && button->m_nType == SECStdBtn::kMenu ? static_cast<const SECTBMenuBtn*>(button) : nullptr;
}

} // namespace

SECMenuBar::SECMenuBar()
{
    CreateMenuFontFromMetrics();
}

SECMenuBar::~SECMenuBar() = default;

void SECMenuBar::CreateMenuFontFromMetrics()
{
    NONCLIENTMETRICSW metrics { sizeof metrics };
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    m_menuFont.DeleteObject();
    m_menuFont.CreateFontIndirect(&metrics.lfMenuFont);
}

CFont* SECMenuBar::GetMenuFont() const
{
    return const_cast<CFont*>(&m_menuFont);
}

BOOL SECMenuBar::CreateEx(DWORD ctrlStyle, CWnd* parent, DWORD style, UINT id, LPCWSTR title)
{
    return SECCustomToolBar::CreateEx(ctrlStyle | SEC_TBS_STRETCH, parent, style | CBRS_HIDE_INPLACE, id, title);
}

SECFrameMenuPlugIn* SECMenuBar::CreateMenuPlugIn()
{
    auto* feature = new SECMenuBarFeature;
    feature->SetMenuBar(this);
    return feature;
}

// ---- the menus and their buttons

BOOL SECMenuBar::SetMenuInfo(int count, UINT menuId, ...)
{
    std::vector<UINT> ids;
    if (count > 0)
        ids.push_back(menuId);
    va_list rest;
    va_start(rest, menuId);
    for (int i = 1; i < count; ++i)
        ids.push_back(va_arg(rest, UINT));
    va_end(rest);
    return SetMenuInfo(ids);
}

BOOL SECMenuBar::SetMenuInfo(const std::vector<UINT>& menuIds)
{
    m_menuMasks.clear();
    m_records = std::make_unique<SECMenuButtonRecords>();
    int count = 0;
    DWORD bit = 1;
    for (UINT menuId : menuIds) {
        if (!BuildMenuButtonRecords(m_records.get(), count, bit, menuId))
            continue;
        m_menuMasks[menuId] = bit;
        bit <<= 1;
    }
    m_pMenuBtnMap = count ? m_records->Table() : nullptr;
    if (!count)
        return FALSE;
    RebuildButtons(TRUE);
    return TRUE;
}

void SECMenuBar::RebuildButtons(BOOL noRedraw)
{
    std::vector<UINT> ids;
    for (const SECBtnMapEntry* entry = m_pMenuBtnMap; entry && entry->pClass; ++entry)
        ids.push_back(entry->nID);
    SetButtons(ids.data(), static_cast<int>(ids.size()));
    ShowMenuButtons(m_dwCurrentMask, FALSE);
    if (!noRedraw)
        Relayout(TRUE);
}

void SECMenuBar::InsertButton(int index, UINT id, BOOL separator, BOOL noRedraw)
{
    SECCustomToolBar::InsertButton(index, id, separator, TRUE);
    ShowMenuButtons(m_dwCurrentMask, FALSE);
    if (!noRedraw)
        Relayout(TRUE);
}

DWORD SECMenuBar::GetMenuMask(UINT menuId) const
{
    auto it = m_menuMasks.find(menuId);
    return it == m_menuMasks.end() ? 0 : it->second;
}

BOOL SECMenuBar::SwitchMenu(UINT menuId)
{
    DWORD mask = GetMenuMask(menuId);
    if (!mask && menuId == SEC_IDR_MDIFRAME_MENU) {
        auto* mainFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        mask = GetMenuMask(SECDocTemplateUtils().GetFrameResourceId(mainFrame));
    }
    if (!mask)
        return FALSE;
    ShowMenuButtons(mask, FALSE);
    m_nCurrentMenu = menuId;
    return TRUE;
}

void SECMenuBar::ShowMenuButtons(DWORD mask, BOOL relayout)
{
    m_dwCurrentMask = mask;
    for (int i = 0; i < GetButtonCount(); ++i) {
        SECStdBtn* button = GetButton(i);
        if (const SECTBMenuBtn* menuButton = AsMenuButton(button))
            button->m_nStyle = (menuButton->m_dwMenuMask & mask) ? (button->m_nStyle & ~TBBS_HIDDEN) : (button->m_nStyle | TBBS_HIDDEN);
    }
    CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
    if (relayout)
        Relayout(FALSE);
}

void SECMenuBar::Relayout(BOOL erase)
{
    if (CFrameWnd* frame = GetDockingFrame())
        frame->RecalcLayout();
    if (m_hWnd) {
        Invalidate(erase);
        UpdateWindow();
    }
}

void SECMenuBar::OnSettingChange(UINT, LPCWSTR)
{
    CreateMenuFontFromMetrics();
    RecalcButtonSizes();
    Relayout(TRUE);
}

void SECMenuBar::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    auto* floating = IsFloating() ? dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetAncestor(m_hWnd, GA_ROOT))) : nullptr;
    if (!floating || !(floating->GetStyle() & WS_SYSMENU))
        return;
    ::SetWindowLongPtrW(floating->m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(floating->GetStyle() & ~WS_SYSMENU));
    ::SetWindowPos(floating->m_hWnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- finding menu buttons

BOOL SECMenuBar::IsMenuButton(int index) const
{
    return AsMenuButton(GetButton(index)) != nullptr;
}

BOOL SECMenuBar::IsMenuTitleAt(CPoint point) const
{
    const int index = HitTest(point);
    return IsMenuButton(index) && !(GetButton(index)->m_nStyle & TBBS_HIDDEN);
}

int SECMenuBar::FindMnemonic(wchar_t ch) const
{
    for (int i = 0; i < GetButtonCount(); ++i) {
        const SECTBMenuBtn* button = AsMenuButton(GetButton(i));
        if (button && !(button->m_nStyle & TBBS_HIDDEN) && button->m_cMnemonic && button->m_cMnemonic == static_cast<UINT>(ch))
            return i;
    }
    return -1;
}

int SECMenuBar::FirstVisibleMenuButton(BOOL forward) const
{
    for (int n = 0, count = GetButtonCount(); n < count; ++n) {
        int i = forward ? n : count - 1 - n;
        if (IsMenuButton(i) && !(GetButton(i)->m_nStyle & TBBS_HIDDEN))
            return i;
    }
    return -1;
}

int SECMenuBar::NextMenuButton(BOOL forward) const
{
    if (m_nTracking < 0)
        return FirstVisibleMenuButton(forward);
    for (int i = m_nTracking + (forward ? 1 : -1); i >= 0 && i < GetButtonCount(); i += forward ? 1 : -1) {
        if (IsMenuButton(i) && !(GetButton(i)->m_nStyle & TBBS_HIDDEN))
            return i;
    }
    return -1;
}

// ---- keyboard mode

void SECMenuBar::SendBarNotify(UINT code)
{
    SECBtnNotify notify {};
    notify.toolBar.hdr = { m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), code };
    notify.nIndex = -1;
    notify.b = static_cast<UINT_PTR>(-1);
    if (HWND owner = GetOwnerWindow())
        ::SendMessageW(owner, WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&notify));
}

void SECMenuBar::SetTrackedButton(int index)
{
    if (SECStdBtn* old = GetButton(m_nTracking)) {
        old->m_nStyle &= ~SEC_TBBS_HOT;
        old->Invalidate();
    }
    SECStdBtn* button = GetButton(index);
    m_nTracking = button ? index : -1;
    if (!button)
        return;
    m_bKeyboardMode = TRUE;
    button->m_nStyle |= SEC_TBBS_HOT;
    button->Invalidate();
    SendBarNotify(SEC_TBN_ENTERKEYBOARDMODE);
    if (HWND owner = GetOwnerWindow())
        ::SendMessageW(owner, WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(L""));
}

void SECMenuBar::EndTracking()
{
    m_bKeyboardMode = FALSE;
    SendBarNotify(SEC_TBN_LEAVEKEYBOARDMODE);
    if (SECStdBtn* tracked = GetButton(m_nTracking)) {
        tracked->m_nStyle &= ~SEC_TBBS_HOT;
        tracked->Invalidate();
    }
    m_nTracking = -1;
    if (HWND owner = GetOwnerWindow())
        ::SendMessageW(owner, WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    UpdateHotItem(TRUE);
}

void SECMenuBar::HotTrackAt(CPoint point)
{
    int index = HitTest(point);
    if (index >= 0 && index != m_nTracking)
        SetTrackedButton(index);
}

BOOL SECMenuBar::DropMenuOf(int index)
{
    if (m_bKeyboardMode)
        EndTracking();
    SECStdBtn* button = GetButton(index);
    if (!IsMenuButton(index))
        return FALSE;
    if (SECStdBtn* tracked = GetButton(m_nTracking)) {
        tracked->BtnPressCancel();
        m_nTracking = -1;
    }
    button->BtnPressDown(CPoint(button->m_x, button->m_y));
    return TRUE;
}

void SECMenuBar::OpenSystemMenu()
{
    if (SECStdBtn* tracked = GetButton(m_nTracking)) {
        tracked->BtnPressCancel();
        m_nTracking = -1;
    }
    SendBarNotify(SEC_TBN_DROPMENU);
}

// ---- while a popup is open

void SECMenuBar::DropButtonMenu(SECStdBtn* button, UINT menuId, int popupIndex)
{
    m_nTracking = GetButtonIndex(button);
    button->SendNotify(SEC_TBN_DROPMENU, menuId, static_cast<UINT_PTR>(popupIndex));
}

BOOL SECMenuBar::OnMenuMouse(const MSG& message)
{
    CPoint point(message.pt);
    ScreenToClient(&point);
    int index = HitTest(point);
    bool move = message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE;
    if (move) {
        if (index < 0 || index == m_nTracking)
            return TRUE;
        if (IsMenuButton(index))
            DropMenuOf(index);
        else
            SendBarNotify(SEC_TBN_CLOSEMENU);
        return TRUE;
    }
    if (index >= 0 && index == m_nTracking) {
        SendBarNotify(SEC_TBN_CLOSEMENU);
        return TRUE;
    }
    return FALSE;
}

void SECMenuBar::OnMenuClosed()
{
    if (SECStdBtn* tracked = GetButton(m_nTracking)) {
        tracked->BtnPressCancel();
        tracked->m_nStyle &= ~SEC_TBBS_HOT;
    }
    m_nTracking = -1;
    UpdateHotItem(TRUE);
}
