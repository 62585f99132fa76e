#include "framework/FrameBar.h"

IMPLEMENT_DYNCREATE(SECFrameBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECFrameBar, SECControlBar)
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

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
