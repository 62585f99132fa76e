#pragma once
// The toolkit's control bar: a CControlBar that remembers a size for each placement (docked
// horizontally, docked vertically, floating) and its share of a dock row, and that can lay out
// its child windows itself: in proportion to the sizes they were made at (stretch children), or
// one child filling the bar (size child to fit). Its layout is saved and restored through
// SECControlBarInfo (DockState.h).

#include "platform/mfc/ControlBar.h"

#include <vector>

class SECControlBarInfo;

// ---- the extended bar style bits
constexpr DWORD CBRS_EX_CONTEXTMENU = 0x00001, CBRS_EX_STRETCHCHILDREN = 0x00002, CBRS_EX_FIXEDSIZE = 0x00004,
                CBRS_EX_UNSTRETCHEDROW = 0x00008, CBRS_EX_BORDERSPACE = 0x00010, CBRS_EX_SIZECHILDTOFIT = 0x00040,
                CBRS_EX_OWNROW = 0x00080, CBRS_EX_OWNBORDERS = 0x00100, CBRS_EX_GRIPPER = 0x00200,
                CBRS_EX_CLOSEBUTTON = 0x00400, CBRS_EX_EXPANDBUTTON = 0x00800, CBRS_EX_FLATBUTTONS = 0x10000,
                CBRS_EX_ALTCAPTION = 0x20000;

class SECControlBar : public CControlBar {
    DECLARE_DYNCREATE(SECControlBar)
public:
    // The gripper's extent across the bar and the gap between it and the client.
    static constexpr int kGripperWidth = 17, kGripperHeight = 17, kGripperMargin = 3;
    static constexpr int kInitialWidth = 300, kInitialHeight = 180;

    BOOL Create(CWnd* parent, LPCWSTR windowName, DWORD style, DWORD exStyle, UINT id);
    BOOL CreateEx(LPCWSTR windowName, UINT id, DWORD style, DWORD exStyle, const RECT& rect, CWnd* parent);

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;

    DWORD GetExBarStyle() const { return m_dwExStyle; }
    void SetExBarStyle(DWORD exStyle, BOOL redraw = TRUE);

    // Fills the record with this bar's place and sizes, or takes them from it.
    void GetBarInfo(SECControlBarInfo* info) const;
    void SetBarInfo(const SECControlBarInfo& info);

    BOOL m_bShareSettled = TRUE;
    CSize m_szHorzDocked, m_szVertDocked, m_szFloat;
    DWORD m_dwMRUDockingState = 0;
    float m_fPctWidth = 1.0f;
    int m_nMRUWidth = 32767;
    DWORD m_dwExStyle = 0;
    CRect m_rcBorder { 10, 10, 10, 10 };
    BOOL m_bAutoHide = FALSE;
    BOOL m_bPinned = FALSE;
    DWORD m_dwAutoHideSide = 0;

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    // A child window and its rectangle in the client area when the layout was recorded; the
    // first record holds the client rectangle itself (no window).
    struct ChildRecord {
        HWND window;
        CRect rect;
    };
    // Records the children's places against the client size; nothing while that size is empty,
    // since later sizes are divided by it.
    void RecordChildLayout();
    void StretchChildren(CPoint origin, CSize available);
    void SizeChildToFit(CPoint origin, CSize available);

    std::vector<ChildRecord> m_childLayout;
};
