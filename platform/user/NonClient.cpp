#include "platform/user/NonClient.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowIcons.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>

namespace fln::user {
namespace {

bool HasCaption(const Window& window)
{
    return (window.style & WS_CAPTION) == WS_CAPTION;
}

int FrameWidth(const Window& window)
{
    // A maximised top-level window fills the work area with its caption and client: its frame
    // would lie beyond the edges, where another screen or a panel may be.
    if ((window.style & WS_MAXIMIZE) && !(window.style & WS_CHILD))
        return 0;
    if ((window.exStyle & WS_EX_DLGMODALFRAME) || ((window.style & WS_DLGFRAME) && !(window.style & WS_THICKFRAME) && !(window.style & WS_BORDER)))
        return GetSystemMetrics(SM_CXDLGFRAME);
    if (window.style & WS_THICKFRAME)
        return GetSystemMetrics(SM_CXFRAME);
    if (HasCaption(window))
        return GetSystemMetrics(SM_CXDLGFRAME);
    if (window.style & WS_BORDER)
        return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

int EdgeWidth(const Window& window)
{
    int width = 0;
    if (window.exStyle & WS_EX_CLIENTEDGE)
        width += GetSystemMetrics(SM_CXEDGE);
    if (window.exStyle & WS_EX_STATICEDGE)
        width += GetSystemMetrics(SM_CXBORDER);
    return width;
}

// The caption's colour, shading into its gradient colour towards the right when the user has
// gradient captions.
void DrawCaptionBackground(HDC dc, const RECT& caption, bool active)
{
    COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    BOOL gradient = FALSE;
    SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    if (!gradient) {
        FillSolidRect(dc, &caption, from);
        return;
    }
    COLORREF to = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    auto vertex = [](LONG x, LONG y, COLORREF c) {
        return TRIVERTEX { x, y, static_cast<COLOR16>(GetRValue(c) << 8), static_cast<COLOR16>(GetGValue(c) << 8),
            static_cast<COLOR16>(GetBValue(c) << 8), 0 };
    };
    TRIVERTEX vertices[2] = { vertex(caption.left, caption.top, from), vertex(caption.right, caption.bottom, to) };
    GRADIENT_RECT mesh { 0, 1 };
    GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_H);
}

} // namespace

FrameLayout LayoutFrame(const Window& window)
{
    FrameLayout layout {};
    int width = window.Width(), height = window.Height();
    int frame = FrameWidth(window);
    layout.frameWidth = frame;
    layout.sizing = (window.style & WS_THICKFRAME) && !(window.style & WS_MAXIMIZE);
    RECT inner { frame, frame, width - frame, height - frame };
    if (HasCaption(window)) {
        bool tool = window.exStyle & WS_EX_TOOLWINDOW;
        int captionHeight = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
        // The caption bar, then a line of the face colour under it.
        layout.caption = { inner.left, inner.top, inner.right, inner.top + captionHeight - 1 };
        inner.top += captionHeight;
        if (window.style & WS_SYSMENU) {
            int buttonWidth = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
            int buttonHeight = GetSystemMetrics(tool ? SM_CYSMSIZE : SM_CYSIZE) - 4;
            int top = layout.caption.top + 2;
            int right = layout.caption.right - 2;
            layout.closeButton = { right - buttonWidth, top, right, top + buttonHeight };
            right = layout.closeButton.left - 2;
            bool ownButtons = !(window.style & WS_CHILD) || (window.exStyle & WS_EX_MDICHILD);
            if (!tool && (window.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) && ownButtons) {
                layout.maxButton = { right - buttonWidth, top, right, top + buttonHeight };
                layout.minButton = { layout.maxButton.left - buttonWidth, top, layout.maxButton.left, top + buttonHeight };
            }
            if (!tool && HasCaptionIcon(window))
                layout.sysMenu = { layout.caption.left + 1, layout.caption.top + 1, layout.caption.left + 1 + GetSystemMetrics(SM_CXSMICON), layout.caption.bottom - 1 };
        }
    }
    if (window.menu && !(window.style & WS_CHILD)) {
        layout.menuBar = { inner.left, inner.top, inner.right, inner.top + GetSystemMetrics(SM_CYMENU) };
        inner.top = layout.menuBar.bottom;
    }
    InflateRect(&inner, -EdgeWidth(window), -EdgeWidth(window));
    if (window.style & WS_VSCROLL) {
        layout.verticalBar = { inner.right - GetSystemMetrics(SM_CXVSCROLL), inner.top, inner.right, inner.bottom };
        inner.right = layout.verticalBar.left;
    }
    if (window.style & WS_HSCROLL) {
        layout.horizontalBar = { inner.left, inner.bottom - GetSystemMetrics(SM_CYHSCROLL), inner.right, inner.bottom };
        inner.bottom = layout.horizontalBar.top;
        if (window.style & WS_VSCROLL)
            layout.verticalBar.bottom = inner.bottom;
    }
    inner.right = std::max(inner.left, inner.right);
    inner.bottom = std::max(inner.top, inner.bottom);
    layout.client = inner;
    return layout;
}

int HitTestFrame(const Window& window, POINT p)
{
    RECT whole { 0, 0, window.Width(), window.Height() };
    if (!PtInRect(&whole, p) || (window.shape && !window.shape->contains(p.x, p.y)))
        return HTNOWHERE;
    FrameLayout layout = LayoutFrame(window);
    if (PtInRect(&layout.client, p))
        return HTCLIENT;
    int frame = layout.frameWidth;
    if (layout.sizing) {
        int corner = GetSystemMetrics(SM_CYCAPTION) + frame;
        bool left = p.x < frame, right = p.x >= whole.right - frame, top = p.y < frame, bottom = p.y >= whole.bottom - frame;
        bool nearLeft = p.x < corner, nearRight = p.x >= whole.right - corner;
        bool nearTop = p.y < corner, nearBottom = p.y >= whole.bottom - corner;
        if (top)
            return nearLeft ? HTTOPLEFT : nearRight ? HTTOPRIGHT : HTTOP;
        if (bottom)
            return nearLeft ? HTBOTTOMLEFT : nearRight ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left)
            return nearTop ? HTTOPLEFT : nearBottom ? HTBOTTOMLEFT : HTLEFT;
        if (right)
            return nearTop ? HTTOPRIGHT : nearBottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    if (PtInRect(&layout.closeButton, p))
        return HTCLOSE;
    if (PtInRect(&layout.maxButton, p))
        return HTMAXBUTTON;
    if (PtInRect(&layout.minButton, p))
        return HTMINBUTTON;
    if (PtInRect(&layout.sysMenu, p))
        return HTSYSMENU;
    RECT captionRow = layout.caption;
    captionRow.bottom += 1;
    if (PtInRect(&captionRow, p))
        return HTCAPTION;
    if (PtInRect(&layout.menuBar, p))
        return HTMENU;
    if (PtInRect(&layout.verticalBar, p))
        return HTVSCROLL;
    if (PtInRect(&layout.horizontalBar, p))
        return HTHSCROLL;
    if ((window.style & WS_VSCROLL) && (window.style & WS_HSCROLL) && p.x >= layout.verticalBar.left && p.y >= layout.horizontalBar.top
        && p.x < layout.verticalBar.right && p.y < layout.horizontalBar.bottom)
        return HTGROWBOX;
    return HTBORDER;
}

ScrollBarParts LayoutScrollBar(const ScrollBarState& state, const RECT& bar, bool vertical)
{
    ScrollBarParts parts {};
    int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    int thickness = vertical ? bar.right - bar.left : bar.bottom - bar.top;
    int arrow = std::min(thickness, length / 2);
    if (vertical) {
        parts.first = { bar.left, bar.top, bar.right, bar.top + arrow };
        parts.last = { bar.left, bar.bottom - arrow, bar.right, bar.bottom };
    } else {
        parts.first = { bar.left, bar.top, bar.left + arrow, bar.bottom };
        parts.last = { bar.right - arrow, bar.top, bar.right, bar.bottom };
    }
    parts.trackStart = arrow;
    parts.trackLength = std::max(0, length - 2 * arrow);
    long range = static_cast<long>(state.maximum) - state.minimum + 1;
    bool scrollable = range > static_cast<long>(std::max<UINT>(state.page, 1)) && state.disabledArrows != ESB_DISABLE_BOTH;
    if (!scrollable || parts.trackLength < 8)
        return parts;
    int thumb = state.page ? static_cast<int>(parts.trackLength * static_cast<long>(state.page) / range) : thickness;
    thumb = std::clamp(thumb, 8, parts.trackLength);
    long positions = range - std::max<long>(static_cast<long>(state.page) - 1, 0) - 1;
    int offset = positions > 0 ? static_cast<int>((parts.trackLength - thumb) * static_cast<long>(state.position - state.minimum) / positions) : 0;
    int start = (vertical ? bar.top : bar.left) + arrow + offset;
    parts.thumb = vertical ? RECT { bar.left, start, bar.right, start + thumb } : RECT { start, bar.top, start + thumb, bar.bottom };
    return parts;
}

void DrawScrollBar(HDC dc, const ScrollBarState& state, const RECT& bar, bool vertical, HBRUSH track, bool enabled)
{
    ScrollBarParts parts = LayoutScrollBar(state, bar, vertical);
    FillRect(dc, &bar, track);
    bool inactive = !enabled || IsRectEmpty(&parts.thumb);
    auto arrowState = [&](UINT which) {
        return (inactive || (state.disabledArrows & which) ? DFCS_INACTIVE : 0) | ((state.pressedArrows & which) ? DFCS_PUSHED | DFCS_FLAT : 0);
    };
    DrawFrameControl(dc, &parts.first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | arrowState(ESB_DISABLE_LTUP));
    DrawFrameControl(dc, &parts.last, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | arrowState(ESB_DISABLE_RTDN));
    if (!inactive) {
        RECT thumb = parts.thumb;
        FillRect(dc, &thumb, GetSysColorBrush(COLOR_3DFACE));
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
    }
}

namespace {

MENUITEMINFOW MenuBarItem(HMENU menu, int position)
{
    MENUITEMINFOW info { sizeof info };
    info.fMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_DATA | MIIM_ID;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return info;
}

// The pictures a frame's menu bar shows for its maximised MDI child.
bool IsMenuBarPicture(HBITMAP bitmap)
{
    return bitmap == HBMMENU_SYSTEM || bitmap == HBMMENU_MBAR_RESTORE || bitmap == HBMMENU_MBAR_MINIMIZE || bitmap == HBMMENU_MBAR_CLOSE;
}

void DrawMenuBarPicture(HDC dc, const MENUITEMINFOW& item, RECT r)
{
    if (item.hbmpItem == HBMMENU_SYSTEM) {
        Window* child = FindWindowObject(reinterpret_cast<HWND>(item.dwItemData));
        int size = GetSystemMetrics(SM_CXSMICON);
        if (child)
            DrawIconEx(dc, r.left + (r.right - r.left - size) / 2, r.top + (r.bottom - r.top - size) / 2, CaptionIcon(*child), size, size, 0, nullptr, DI_NORMAL);
        return;
    }
    UINT picture = item.hbmpItem == HBMMENU_MBAR_MINIMIZE ? DFCS_CAPTIONMIN : item.hbmpItem == HBMMENU_MBAR_RESTORE ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONCLOSE;
    InflateRect(&r, -1, -2);
    DrawFrameControl(dc, &r, DFC_CAPTION, picture);
}

} // namespace

std::vector<RECT> MenuBarItemRects(Window& window, const RECT& bar)
{
    std::vector<RECT> rects;
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    int x = bar.left;
    int count = GetMenuItemCount(window.menu);
    int firstRight = count; // items from the first right-justified one on end at the bar's right edge
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item = MenuBarItem(window.menu, i);
        if ((item.fType & MFT_RIGHTJUSTIFY) && firstRight == count)
            firstRight = i;
        int width = GetSystemMetrics(SM_CXMENUSIZE);
        if (!IsMenuBarPicture(item.hbmpItem)) {
            wchar_t text[256];
            GetMenuStringW(window.menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
            RECT measured {};
            DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_SINGLELINE);
            width = measured.right + 16;
        }
        rects.push_back({ x, bar.top, x + width, bar.bottom });
        x = rects.back().right;
    }
    if (firstRight < count) {
        int shift = std::max(0, static_cast<int>(bar.right - rects.back().right));
        for (int i = firstRight; i < count; ++i)
            OffsetRect(&rects[static_cast<size_t>(i)], shift, 0);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    return rects;
}

void DrawMenuBarItems(Window& window, HDC dc, const RECT& bar, int openItem)
{
    FillRect(dc, &bar, GetSysColorBrush(COLOR_MENU));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    std::vector<RECT> items = MenuBarItemRects(window, bar);
    for (size_t i = 0; i < items.size(); ++i) {
        wchar_t text[256];
        GetMenuStringW(window.menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        RECT item = items[i];
        MENUITEMINFOW info = MenuBarItem(window.menu, static_cast<int>(i));
        if (IsMenuBarPicture(info.hbmpItem)) {
            DrawMenuBarPicture(dc, info, item);
            continue;
        }
        if (static_cast<int>(i) == openItem)
            DrawEdge(dc, &item, BDR_SUNKENOUTER, BF_RECT);
        UINT state = GetMenuState(window.menu, static_cast<UINT>(i), MF_BYPOSITION);
        SetTextColor(dc, GetSysColor((state & MF_GRAYED) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        DrawTextW(dc, text, -1, &item, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    SelectObject(dc, oldFont);
}

void DrawFrame(Window& window, HDC dc, bool active)
{
    FrameLayout layout = LayoutFrame(window);
    RECT r { 0, 0, window.Width(), window.Height() };
    if (layout.frameWidth > 0) {
        if ((window.style & WS_THICKFRAME) || (window.style & WS_DLGFRAME) || (window.exStyle & WS_EX_DLGMODALFRAME)) {
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
            HBRUSH fill = GetSysColorBrush((window.style & WS_THICKFRAME) ? (active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER) : COLOR_3DFACE);
            for (int i = 2; i < layout.frameWidth; ++i) {
                FrameRect(dc, &r, fill);
                InflateRect(&r, -1, -1);
            }
        } else {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&r, -1, -1);
        }
    }
    if (!IsRectEmpty(&layout.caption)) {
        RECT caption = layout.caption;
        DrawCaptionBackground(dc, caption, active);
        if (!IsRectEmpty(&layout.sysMenu))
            DrawIconEx(dc, layout.sysMenu.left, layout.sysMenu.top, CaptionIcon(window), GetSystemMetrics(SM_CXSMICON),
                GetSystemMetrics(SM_CYSMICON), 0, nullptr, DI_NORMAL);
        RECT line { caption.left, caption.bottom, caption.right, caption.bottom + 1 };
        FillRect(dc, &line, GetSysColorBrush(COLOR_3DFACE));
        LOGFONTW font {};
        NONCLIENTMETRICSW metrics { sizeof metrics };
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font = (window.exStyle & WS_EX_TOOLWINDOW) ? metrics.lfSmCaptionFont : metrics.lfCaptionFont;
        HFONT captionFont = CreateFontIndirectW(&font);
        HGDIOBJ oldFont = SelectObject(dc, captionFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        RECT textArea = caption;
        textArea.left = IsRectEmpty(&layout.sysMenu) ? caption.left + 2 : layout.sysMenu.right + 2;
        if (!IsRectEmpty(&layout.minButton))
            textArea.right = layout.minButton.left - 2;
        else if (!IsRectEmpty(&layout.closeButton))
            textArea.right = layout.closeButton.left - 2;
        DrawTextW(dc, window.text.c_str(), static_cast<int>(window.text.size()), &textArea, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        DeleteObject(captionFont);
        if (!IsRectEmpty(&layout.closeButton)) {
            RECT button = layout.closeButton;
            DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | ((window.windowClass->style & CS_NOCLOSE) ? DFCS_INACTIVE : 0));
        }
        if (!IsRectEmpty(&layout.maxButton)) {
            RECT button = layout.maxButton;
            DrawFrameControl(dc, &button, DFC_CAPTION, ((window.style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) | ((window.style & WS_MAXIMIZEBOX) ? 0 : DFCS_INACTIVE));
            button = layout.minButton;
            // A minimised window offers to restore itself where the minimise button was.
            UINT picture = (window.style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
            DrawFrameControl(dc, &button, DFC_CAPTION, picture | ((window.style & WS_MINIMIZEBOX) ? 0 : DFCS_INACTIVE));
        }
    }
    if (!IsRectEmpty(&layout.menuBar))
        DrawMenuBarItems(window, dc, layout.menuBar, window.openMenuBarItem);
    RECT edge = layout.client;
    if (window.style & WS_VSCROLL)
        edge.right = layout.verticalBar.right;
    if (window.style & WS_HSCROLL)
        edge.bottom = layout.horizontalBar.bottom;
    if (window.exStyle & WS_EX_CLIENTEDGE) {
        int inset = (window.exStyle & WS_EX_STATICEDGE) ? 1 : 0;
        RECT outer = edge;
        InflateRect(&outer, GetSystemMetrics(SM_CXEDGE) + inset, GetSystemMetrics(SM_CYEDGE) + inset);
        DrawEdge(dc, &outer, EDGE_SUNKEN, BF_RECT);
    } else if (window.exStyle & WS_EX_STATICEDGE) {
        RECT outer = edge;
        InflateRect(&outer, 1, 1);
        DrawEdge(dc, &outer, BDR_SUNKENOUTER, BF_RECT);
    }
    HBRUSH track = GetSysColorBrush(COLOR_SCROLLBAR);
    if (!IsRectEmpty(&layout.verticalBar))
        DrawScrollBar(dc, window.scrollBars[SB_VERT], layout.verticalBar, true, track, true);
    if (!IsRectEmpty(&layout.horizontalBar))
        DrawScrollBar(dc, window.scrollBars[SB_HORZ], layout.horizontalBar, false, track, true);
    if ((window.style & WS_VSCROLL) && (window.style & WS_HSCROLL)) {
        RECT box { layout.verticalBar.left, layout.horizontalBar.top, layout.verticalBar.right, layout.horizontalBar.bottom };
        FillRect(dc, &box, GetSysColorBrush(COLOR_3DFACE));
    }
}

} // namespace fln::user
