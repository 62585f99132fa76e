#pragma once
// A control bar that acts as a frame of its own: clicking a floating one brings its floating
// window to the front and activates it. A bar that hosts a frame goes once that frame is
// destroyed, with its mini frame when floating.

#include "framework/ControlBar.h"

class SECFrameBar : public SECControlBar {
    DECLARE_DYNCREATE(SECFrameBar)
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    // Told of a hosted frame's destruction while it is still under way, the bar asks itself
    // through the queue to go, so that it is never destroyed from inside its child's destruction.
    void OnChildDestroyed(HWND child);
    void OnHostedFrameGone();
    bool HostsFrame() const;
};
