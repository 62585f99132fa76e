#pragma once
// The toolkit's floating frame: the small tool window a floating control bar lives in. Its dock
// bar is a toolkit dock bar, upright when the bar floats upright (a left or right alignment). The
// system menu offers only moving and hiding; the frame never lands above the top of the virtual
// screen, comes to the front when it or one of its bars is clicked, and takes its dock bar's text
// as its title. A frame holding one bar is sized through that bar; one holding several is sized
// as a whole, and its rows share the new length out among their bars.

#include "platform/mfc/MiniFrame.h"

class SECDockBar;

class SECMiniDockFrameWnd : public CMiniDockFrameWnd {
    DECLARE_DYNCREATE(SECMiniDockFrameWnd)
public:
    SECMiniDockFrameWnd();

    BOOL Create(CFrameWnd* parent, DWORD barStyle) override;
    void RecalcLayout(BOOL notify = TRUE) override;
    void RecalcLayoutAt(int x, int y) override;

    SECDockBar& GetSECDockBar() const;

protected:
    LRESULT OnNcLButtonDown(WPARAM hitTest, LPARAM point);
    LRESULT OnNcLButtonDblClk(WPARAM hitTest, LPARAM point);
    LRESULT OnParentNotify(WPARAM event, LPARAM point);
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void TrimSystemMenu();
    void BringToTop();
    // Several bars share the frame: its caption moves the frame instead of dragging a bar.
    bool HoldsSeveralBars() const;
    // Several bars show in the frame: it is sized as a whole, not through its first bar.
    bool ShowsSeveralBars() const;

    BOOL m_bInLayout = FALSE;
};
