#pragma once
// The auto-hide strips along the edges of a docking frame. A bar the user unpins leaves its dock
// bar, floats in a frame without caption and becomes a button on the strip of its side. Resting
// the mouse on the button slides the bar out over the frame; it slides back in half a second
// after the mouse has left both the button and the bar. The slides run on timers, so nothing
// blocks while a bar moves.

#include "framework/ControlBar.h"
#include "framework/Icon.h"
#include "platform/mfc/GdiObjects.h"

#include <memory>
#include <vector>

class SECAutoHideBar;

// One auto-hidden bar's button on its strip; it also drives that bar's slides.
class SECAutoHideBarBtn : public CWnd {
public:
    static constexpr UINT_PTR kTrackTimer = 1, kSlideTimer = 2;
    static constexpr UINT kTrackInterval = 500;
    static constexpr int kSlideSteps = 5;

    SECAutoHideBarBtn(SECAutoHideBar& strip, SECControlBar& bar);
    BOOL Create(const CRect& rect);
    using CWnd::Create;

    SECControlBar& Bar() const { return m_bar; }
    const CString& Label() const { return m_strLabel; }
    // The bar's icon at 16 x 16, shown before the label; null when the bar has none.
    HICON Icon() const { return m_icon.GetIcon(); }
    static constexpr int kIconSize = 16;
    BOOL IsPressed() const { return m_bPressed; }

    // Slides the bar out of its strip over the frame, or back into the strip.
    void SlideOut();
    void SlideIn();
    // Ends any slide and mouse tracking and leaves the bar hidden.
    void Reset();

protected:
    void OnPaint();
    void OnMouseMove(UINT keys, CPoint point);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    // Where the bar's floating frame stands when fully out, in screen coordinates.
    CRect OutRect() const;
    // Places the frame showing `step` fifths of the bar.
    void ShowSlideStep(int step);
    void StartSlide(bool out);
    bool CursorOverButtonOrBar() const;

    SECAutoHideBar& m_strip;
    SECControlBar& m_bar;
    CString m_strLabel;
    SECIcon m_icon;
    BOOL m_bTracking = FALSE;
    BOOL m_bPressed = FALSE;
    // The bar's floating size when fully out, taken when a slide starts from the strip.
    CSize m_outSize;
    int m_slideStep = 0;
    bool m_slidingOut = false;
};

class SECAutoHideBar : public SECControlBar {
    DECLARE_DYNCREATE(SECAutoHideBar)
public:
    // The first button's distance from the strip's start, and what a button adds to its label.
    static constexpr int kFirstButtonOffset = 24, kButtonPadding = 6;
    // Where a slid-out bar stands from the strip's outer edge.
    static constexpr int kSlideOffset = 30;

    SECAutoHideBar();
    ~SECAutoHideBar() override;

    // Makes the strip of the frame's side `align` (CBRS_ALIGN_LEFT, _TOP, _RIGHT or _BOTTOM).
    BOOL Create(CFrameWnd* frame, DWORD align);
    DWORD Side() const { return m_dwStyle & CBRS_ALIGN_ANY; }
    bool IsVerticalStrip() const { return (Side() & CBRS_ORIENT_VERT) != 0; }

    // Adds a button for the bar, or removes it; the strip shows only while it has buttons.
    void AddBar(SECControlBar* bar);
    void RemoveBar(SECControlBar* bar);
    int GetButtonCount() const { return static_cast<int>(m_buttons.size()); }
    SECAutoHideBarBtn* GetButton(int index) const { return m_buttons.at(static_cast<size_t>(index)).get(); }
    SECAutoHideBarBtn* FindButton(const SECControlBar* bar) const;

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;

    CFont& LabelFont() { return IsVerticalStrip() ? m_fontVert : m_fontHorz; }
    int Thickness() const { return m_nThickness; }
    int TextHeight() const { return m_nTextHeight; }

    // How long a slide takes in all; 0 or less moves the bar at once.
    int m_nSlideTime = 50;

protected:
    // A strip stays on its edge: dragging it does nothing.
    std::unique_ptr<CDockContext> NewDockContext() override;
    void DoPaint(CDC* dc) override;
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT, CPoint) {}
    void OnLButtonDblClk(UINT, CPoint) {}
    DECLARE_MESSAGE_MAP()

private:
    void LayoutButtons();
    void ShowByButtonCount();

    std::vector<std::unique_ptr<SECAutoHideBarBtn>> m_buttons;
    CFont m_fontHorz, m_fontVert;
    int m_nTextHeight = 0;
    int m_nThickness = 0;
};
