#include "framework/FrameBar.h"

#include "framework/SysCommandEx.h"

IMPLEMENT_DYNCREATE(SECFrameBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECFrameBar, SECControlBar)
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

namespace {

UINT HostedFrameGoneMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"SECFrameBar::HostedFrameGone");
    return message;
}

bool IsFrame(HWND window)
{
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(window)) != nullptr;
}

} // namespace

LRESULT SECFrameBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == HostedFrameGoneMessage()) {
        OnHostedFrameGone();
        return 0;
    }
    if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_DESTROY)
        OnChildDestroyed(reinterpret_cast<HWND>(lParam));
    return SECControlBar::WindowProc(message, wParam, lParam);
}

void SECFrameBar::OnChildDestroyed(HWND child)
{
    if (::GetParent(child) == m_hWnd && IsFrame(child))
        PostMessage(HostedFrameGoneMessage());
}

void SECFrameBar::OnHostedFrameGone()
{
    if (!HostsFrame())
        nsSysCommandEx::DestroyHostingBar(this);
}

bool SECFrameBar::HostsFrame() const
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (IsFrame(child))
            return true;
    return false;
}

int SECFrameBar::OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message)
{
    if (!IsFloating())
        return SECControlBar::OnMouseActivate(desktop, hitTest, message);
    HWND floating = ::GetAncestor(m_hWnd, GA_ROOT);
    HWND foreground = ::GetForegroundWindow();
    if (foreground != floating && !::IsChild(floating, foreground))
        ::SetForegroundWindow(floating);
    return MA_ACTIVATE;
}
