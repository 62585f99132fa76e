#include "framework/AutoHideBar.h"

#include "framework/DockContext.h"
#include "framework/ToolkitFrame.h"
#include "platform/gdi/Gdi.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/DockBar.h"

#include <algorithm>

namespace {

// The styles a sliding bar's floating frame loses: caption, sizing border, the mini-frame bits
// and the raised edges, so that the bar itself is all that slides over the frame.
constexpr DWORD kSlidingFrameStyleMask = 0x00C42A00, kSlidingFrameExStyleMask = 0x00020301;
constexpr UINT kLabelFormat = DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;

SECToolkitFrame* ToolkitFrameOf(const SECControlBar& bar)
{
    return dynamic_cast<SECToolkitFrame*>(bar.m_pDockSite);
}

// The mini frame a floating bar sits in; null while the bar is docked.
CWnd* FloatingFrameOf(const SECControlBar& bar)
{
    return bar.IsFloating() ? CWnd::FromHandle(::GetAncestor(bar.m_hWnd, GA_ROOT)) : nullptr;
}

} // namespace

// ---- the button

BEGIN_MESSAGE_MAP(SECAutoHideBarBtn, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

SECAutoHideBarBtn::SECAutoHideBarBtn(SECAutoHideBar& strip, SECControlBar& bar)
    : m_strip(strip)
    , m_bar(bar)
{
    bar.GetWindowText(m_strLabel);
    auto icon = reinterpret_cast<HICON>(bar.SendMessage(WM_GETICON, ICON_BIG));
    if (!icon)
        icon = reinterpret_cast<HICON>(bar.SendMessage(WM_GETICON, ICON_SMALL));
    if (icon) {
        m_icon.SetIcon(::CopyIcon(icon)); // the button keeps its own copy
        m_icon.m_cx = m_icon.m_cy = kIconSize;
    }
}

BOOL SECAutoHideBarBtn::Create(const CRect& rect)
{
    if (!CWnd::Create(nullptr, m_strLabel, WS_CHILD | WS_VISIBLE, rect, &m_strip, 0))
        return FALSE;
    if (CWnd* floating = FloatingFrameOf(m_bar)) {
        floating->ModifyStyle(WS_CAPTION | WS_THICKFRAME | kSlidingFrameStyleMask, 0);
        floating->ModifyStyleEx(kSlidingFrameExStyleMask, 0);
        floating->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return TRUE;
}

void SECAutoHideBarBtn::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_3DFACE));
    ::DrawEdge(dc.m_hDC, &client, m_bPressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    CFont* oldFont = dc.SelectObject(&m_strip.LabelFont());
    dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    dc.SetBkMode(TRANSPARENT);
    const int inset = SECAutoHideBar::kButtonPadding / 2;
    // The icon stands first along the strip, centred across it; the label follows.
    const int iconRoom = Icon() ? kIconSize + inset : 0;
    if (Icon()) {
        const CPoint at = m_strip.IsVerticalStrip() ? CPoint(client.left + (client.Width() - kIconSize) / 2, client.top + inset)
                                                    : CPoint(client.left + inset, client.top + (client.Height() - kIconSize) / 2);
        m_icon.Draw(dc.m_hDC, at.x, at.y, kIconSize, kIconSize);
    }
    if (m_strip.IsVerticalStrip()) {
        // The vertical font runs downwards from its origin, so the text starts at the right.
        dc.TextOut(client.right - (client.Width() - m_strip.TextHeight()) / 2, client.top + inset + iconRoom, m_strLabel);
    } else {
        CRect text = client;
        text.DeflateRect(inset + iconRoom, 0, inset, 0);
        dc.DrawText(m_strLabel, &text, kLabelFormat | DT_VCENTER);
    }
    dc.SelectObject(oldFont);
}

void SECAutoHideBarBtn::OnMouseMove(UINT, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    CWnd* topLevel = GetTopLevelParent();
    if (m_bTracking || !IsWindowEnabled() || (topLevel && !topLevel->IsWindowEnabled()) || !client.PtInRect(point))
        return;
    if (SECToolkitFrame* frame = ToolkitFrameOf(m_bar))
        frame->ResetAutoHideButtons(this);
    if (m_bar.IsVisible()) {
        Reset();
        return;
    }
    m_bPressed = TRUE;
    Invalidate();
    SlideOut();
    m_bTracking = TRUE;
    SetTimer(kTrackTimer, kTrackInterval, nullptr);
}

void SECAutoHideBarBtn::OnTimer(UINT_PTR id)
{
    if (id == kSlideTimer) {
        m_slideStep += m_slidingOut ? 1 : -1;
        ShowSlideStep(m_slideStep);
        if (m_slideStep <= 0 || m_slideStep >= kSlideSteps)
            KillTimer(kSlideTimer);
        return;
    }
    if (id != kTrackTimer || CursorOverButtonOrBar())
        return;
    KillTimer(kTrackTimer);
    m_bTracking = FALSE;
    m_bPressed = FALSE;
    SlideIn();
    Invalidate();
}

bool SECAutoHideBarBtn::CursorOverButtonOrBar() const
{
    CPoint cursor;
    ::GetCursorPos(&cursor);
    CRect button;
    GetWindowRect(&button);
    if (button.PtInRect(cursor))
        return true;
    if (!m_bar.IsVisible())
        return false;
    // The bar counts as far as the strip's edge, so the gap between them keeps it out.
    CRect bar, strip;
    m_bar.GetWindowRect(&bar);
    m_strip.GetWindowRect(&strip);
    switch (m_strip.Side()) {
    case CBRS_ALIGN_LEFT: bar.left = strip.left; break;
    case CBRS_ALIGN_RIGHT: bar.right = strip.right; break;
    case CBRS_ALIGN_TOP: bar.top = strip.top; break;
    default: bar.bottom = strip.bottom; break;
    }
    return bar.PtInRect(cursor);
}

CRect SECAutoHideBarBtn::OutRect() const
{
    CRect strip;
    m_strip.GetWindowRect(&strip);
    const CSize size = m_outSize;
    const int offset = SECAutoHideBar::kSlideOffset;
    switch (m_strip.Side()) {
    case CBRS_ALIGN_LEFT: return { strip.left + offset, strip.top + 2, strip.left + offset + size.cx, strip.bottom - 2 };
    case CBRS_ALIGN_RIGHT: return { strip.right - offset + 1 - size.cx, strip.top + 2, strip.right - offset + 1, strip.bottom - 2 };
    case CBRS_ALIGN_TOP: return { strip.left, strip.top + offset, strip.right, strip.top + offset + size.cy };
    default: return { strip.left, strip.bottom - offset - size.cy, strip.right, strip.bottom - offset };
    }
}

void SECAutoHideBarBtn::ShowSlideStep(int step)
{
    m_slideStep = std::clamp(step, 0, kSlideSteps);
    CFrameWnd* site = m_bar.m_pDockSite;
    if (!site)
        return;
    const CRect out = OutRect();
    if (m_slideStep == 0) {
        m_bar.m_szFloat = out.Size();
        site->ShowControlBar(&m_bar, FALSE, FALSE);
        return;
    }
    // The part of the bar that is out grows from the strip's side.
    CRect rect = out;
    switch (m_strip.Side()) {
    case CBRS_ALIGN_LEFT: rect.right = rect.left + rect.Width() * m_slideStep / kSlideSteps; break;
    case CBRS_ALIGN_RIGHT: rect.left = rect.right - rect.Width() * m_slideStep / kSlideSteps; break;
    case CBRS_ALIGN_TOP: rect.bottom = rect.top + rect.Height() * m_slideStep / kSlideSteps; break;
    default: rect.top = rect.bottom - rect.Height() * m_slideStep / kSlideSteps; break;
    }
    // The bar's floating frame snaps to the bar, so the bar takes the size first.
    m_bar.m_szFloat = rect.Size();
    if (!m_bar.IsVisible())
        site->ShowControlBar(&m_bar, TRUE, FALSE);
    if (auto* floating = dynamic_cast<CFrameWnd*>(FloatingFrameOf(m_bar))) {
        floating->RecalcLayout();
        floating->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        floating->UpdateWindow();
    }
}

void SECAutoHideBarBtn::StartSlide(bool out)
{
    KillTimer(kSlideTimer);
    if (m_slideStep == 0)
        m_outSize = m_bar.m_szFloat;
    m_slidingOut = out;
    if (m_strip.m_nSlideTime <= 0) {
        ShowSlideStep(out ? kSlideSteps : 0);
        return;
    }
    SetTimer(kSlideTimer, std::max(1, m_strip.m_nSlideTime / kSlideSteps), nullptr);
}

void SECAutoHideBarBtn::SlideOut()
{
    StartSlide(true);
}

void SECAutoHideBarBtn::SlideIn()
{
    StartSlide(false);
}

void SECAutoHideBarBtn::Reset()
{
    KillTimer(kTrackTimer);
    KillTimer(kSlideTimer);
    m_bTracking = FALSE;
    if (m_bPressed) {
        m_bPressed = FALSE;
        Invalidate();
    }
    if (m_bar.IsVisible() || m_slideStep > 0)
        ShowSlideStep(0);
}

// ---- the strip

IMPLEMENT_DYNCREATE(SECAutoHideBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECAutoHideBar, SECControlBar)
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

SECAutoHideBar::SECAutoHideBar()
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMenuFont;
    m_fontHorz.CreateFontIndirect(&font);
    font.lfEscapement = font.lfOrientation = -900;
    m_fontVert.CreateFontIndirect(&font);
    m_nTextHeight = std::abs(metrics.lfMenuFont.lfHeight);
    m_nThickness = std::max<int>(metrics.iMenuHeight, ::GetSystemMetrics(SM_CYSMICON));
}

SECAutoHideBar::~SECAutoHideBar() = default;

BOOL SECAutoHideBar::Create(CFrameWnd* frame, DWORD align)
{
    const UINT id = AFX_IDW_CONTROLBAR_LAST - 3 + [align] {
        switch (align) {
        case CBRS_ALIGN_LEFT: return 0;
        case CBRS_ALIGN_TOP: return 1;
        case CBRS_ALIGN_RIGHT: return 2;
        default: return 3;
        }
    }();
    return SECControlBar::Create(frame, L"", WS_CHILD | align, 0, id);
}

SECAutoHideBarBtn* SECAutoHideBar::FindButton(const SECControlBar* bar) const
{
    for (const auto& button : m_buttons)
        if (&button->Bar() == bar)
            return button.get();
    return nullptr;
}

void SECAutoHideBar::AddBar(SECControlBar* bar)
{
    if (!bar || FindButton(bar))
        return;
    auto button = std::make_unique<SECAutoHideBarBtn>(*this, *bar);
    if (!button->Create(CRect()))
        return;
    m_buttons.push_back(std::move(button));
    ShowByButtonCount();
    LayoutButtons();
}

void SECAutoHideBar::RemoveBar(SECControlBar* bar)
{
    auto found = std::find_if(m_buttons.begin(), m_buttons.end(), [bar](const auto& button) { return &button->Bar() == bar; });
    if (found == m_buttons.end())
        return;
    (*found)->DestroyWindow();
    m_buttons.erase(found);
    ShowByButtonCount();
    LayoutButtons();
}

void SECAutoHideBar::ShowByButtonCount()
{
    const bool show = !m_buttons.empty();
    if (IsVisible() == show)
        return;
    if (CFrameWnd* frame = m_pDockSite)
        frame->ShowControlBar(this, show, FALSE);
    else
        ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    // The frame's edge changed: its dock bar repaints with what it now holds.
    if (m_pDockBar)
        m_pDockBar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::unique_ptr<CDockContext> SECAutoHideBar::NewDockContext()
{
    return std::make_unique<SECAutoHideBarDockContext>(this);
}

CSize SECAutoHideBar::CalcFixedLayout(BOOL, BOOL horz)
{
    CRect frame;
    if (m_pDockSite)
        m_pDockSite->GetWindowRect(&frame);
    return horz ? CSize(frame.Width(), m_nThickness) : CSize(m_nThickness, frame.Height());
}

CSize SECAutoHideBar::CalcDynamicLayout(int length, DWORD mode)
{
    if (mode & LM_MRUWIDTH)
        return SECControlBar::CalcDynamicLayout(length, mode);
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

void SECAutoHideBar::OnSize(UINT, int, int)
{
    LayoutButtons();
}

void SECAutoHideBar::LayoutButtons()
{
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    CFont* oldFont = dc.SelectObject(&m_fontHorz);
    // The first button and those without an icon are as long as the longest label with its icon,
    // so they line up as equal tabs; a button with an icon is as long as its own label and icon.
    auto iconRoom = [](const SECAutoHideBarBtn& button) { return button.Icon() ? 2 * SECAutoHideBarBtn::kIconSize : 0; };
    int common = 0;
    std::vector<int> own;
    for (const auto& button : m_buttons) {
        own.push_back(dc.GetTextExtent(button->Label()).cx + iconRoom(*button) + kButtonPadding);
        common = std::max(common, own.back());
    }
    dc.SelectObject(oldFont);

    CRect client;
    GetClientRect(&client);
    CalcInsideRect(client, !IsVerticalStrip());
    int start = kFirstButtonOffset;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const auto& button = m_buttons[i];
        const int extent = (i == 0 || !button->Icon() ? common : own[i]) + kButtonPadding;
        const CRect place = IsVerticalStrip() ? CRect(client.left, start, client.right, start + extent)
                                              : CRect(start, client.top, start + extent, client.bottom);
        button->MoveWindow(&place);
        start += extent;
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SECAutoHideBar::DoPaint(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, GetSysColor(COLOR_3DFACE));
}
