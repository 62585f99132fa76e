#pragma once
// A control bar that acts as a frame of its own: clicking a floating one brings its floating
// window to the front and activates it.

#include "framework/ControlBar.h"

class SECFrameBar : public SECControlBar {
    DECLARE_DYNCREATE(SECFrameBar)
protected:
    int OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
