#pragma once
// The toolkit's control bar: a CControlBar that remembers a size for each placement (docked
// horizontally, docked vertically, floating) and its share of a dock row, and that can lay out
// its child windows itself: in proportion to the sizes they were made at (stretch children), or
// one child filling the bar (size child to fit). Its layout is saved and restored through
// SECControlBarInfo (DockState.h).

#include "platform/mfc/ControlBar.h"

#include <array>
#include <vector>

class SECControlBarInfo;
class CMenu;

// The commands of a bar's context menu, and the message that lets its frame add items to it
// (wParam: the bar, lParam: the CMenu).
constexpr UINT ID_SEC_ALLOWDOCKING = 43040, ID_SEC_HIDE = 43041, ID_SEC_FLOATINMAINWINDOW = 43042;
constexpr UINT WM_SEC_ADDCONTEXTMENUITEMS = 0x38FF;

// ---- the extended bar style bits
constexpr DWORD CBRS_EX_CONTEXTMENU = 0x00001, CBRS_EX_STRETCHCHILDREN = 0x00002, CBRS_EX_FIXEDSIZE = 0x00004,
                CBRS_EX_UNSTRETCHEDROW = 0x00008, CBRS_EX_BORDERSPACE = 0x00010, CBRS_EX_SIZECHILDTOFIT = 0x00040,
                CBRS_EX_OWNROW = 0x00080, CBRS_EX_OWNBORDERS = 0x00100, CBRS_EX_GRIPPER = 0x00200,
                CBRS_EX_CLOSEBUTTON = 0x00400, CBRS_EX_EXPANDBUTTON = 0x00800, CBRS_EX_FLATBUTTONS = 0x10000,
                CBRS_EX_ALTCAPTION = 0x20000;
// The bar may float in the main window of an MDI frame that hosts bars.
constexpr DWORD CBRS_EX_MDIFLOAT = 0x00020;

// The caption strip's metrics, the same for every bar. Each run of five parts lies from the
// strip's outer edge inwards: a lead, the first grip line, a gap, the second grip line and a
// trail; the horizontal run is the strip along the left of a bar docked top or bottom, the
// vertical run the strip along the top of any other. The margin is the gap between strip and
// children.
struct SECGripperInfo {
    using Parts = std::array<int, 5>;
    Parts horzParts { 4, 3, 1, 3, 6 };
    Parts vertParts { 4, 3, 1, 3, 6 };
    int margin = 3;

    int GetWidth() const;
    int GetHeight() const;
};

class SECControlBar : public CControlBar {
    DECLARE_DYNCREATE(SECControlBar)
public:
    static constexpr int kInitialWidth = 300, kInitialHeight = 180;

    BOOL Create(CWnd* parent, LPCWSTR windowName, DWORD style, DWORD exStyle, UINT id);
    using CWnd::Create;
    BOOL CreateEx(LPCWSTR windowName, UINT id, DWORD style, DWORD exStyle, const RECT& rect, CWnd* parent);
    using CWnd::CreateEx;

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    void CalcInsideRect(CRect& rect, BOOL horz) const override { CalcInsideRect(rect, horz, TRUE); }
    // Without CBRS_EX_OWNBORDERS the plain bar's rule. With it: a pixel for each border side of the
    // style (none while the bar may auto-hide), then the margins, the gripper of a docked bar taking
    // the place of the leading one (across a vertical bar only withGripper).
    virtual void CalcInsideRect(CRect& rect, BOOL horz, BOOL withGripper) const;
    // The client rectangle less the gripper and its margins of a docked bar, else less the border
    // space (a bar out of its auto-hide strip: its caption and margins).
    virtual void GetInsideRect(CRect& rect) const;
    // Makes room for the gripper: its width at the left (horz), else its height at the top.
    virtual void AdjustForGripper(CRect& rect, BOOL horz) const;
    // The caption's close and expand buttons of a docked bar with CBRS_TOOLTIPS have tips, after
    // the child windows' own.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override;
    static constexpr UINT_PTR kCloseTool = 1024, kExpandTool = 2048;
    static constexpr UINT IDS_HIDE_TIP = 20655, IDS_EXPAND_TIP = 20657, IDS_CONTRACT_TIP = 20658;

    DWORD GetExBarStyle() const { return m_dwExStyle; }
    void SetExBarStyle(DWORD exStyle, BOOL redraw = TRUE);

    // ---- the caption strip (the gripper) of a docked bar and its buttons
    // The strip along the left of a bar docked top or bottom, else along the top, one pixel in
    // from its edges; a bar with its own borders starts it inside its border lines.
    CRect GetGripperRect() const;
    // Where the close and expand buttons are (empty without their style bits or while floating).
    CRect GetCloseButtonRect() const;
    CRect GetExpandButtonRect() const;
    // The pin of a bar that may auto-hide: pressed, it sends the bar into its strip or back.
    // It looks raised while the pointer is over it; timer 2 watches for the pointer leaving.
    CRect GetPinButtonRect() const;
    BOOL IsPinHot() const { return m_bPinHot; }
    static constexpr UINT_PTR kPinHoverTimer = 2;
    static constexpr UINT kPinHoverInterval = 100;
    void DrawGripper(CDC* dc);
    // Whether the bar fills its row (its expand button then offers to restore the row).
    BOOL IsExpanded() const;
    // The caption is drawn active while the focus is in the bar or one of its children; the idle
    // update follows the focus, and activating one bar's caption deactivates the others'.
    BOOL IsCaptionActive() const { return m_bCaptionActive; }
    virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler);
    // The commands of the context menu.
    void OnAllowDocking();
    void OnHide();
    // Moves the bar into the main window (an MDI frame that hosts bars) or back out of it.
    void OnFloatInMainWindow();
    // Extra items of the context menu, for derived bars.
    virtual void AddContextMenuItems(CMenu*) {}
    // For derived bars: the docking frame calls these around docking and floating the bar.
    virtual void OnPreDock() {}
    virtual void OnPostDock() {}
    virtual void OnPreFloat() {}
    virtual void OnPostFloat() {}
    // Shows the bar when it is hidden, hides it when it shows, through its frame; a bar out of its
    // auto-hide strip slides back in, one in its strip slides out. TRUE when it goes hidden.
    virtual BOOL ToggleBar();
    // Places a bar that may auto-hide on the strip of its side (a button there) and shows it,
    // pinned. TRUE when placed, now or before; FALSE while auto-hide is off.
    BOOL EnableAutoHide();
    // The first control id from firstId up that no control bar of the frame uses, trying at most
    // 1,000; 0 when all are taken or there is no frame.
    static UINT FindFreeControlId(CFrameWnd* frame, UINT firstId);

    // Fills the record with this bar's place and sizes, or takes them from it.
    virtual void GetBarInfo(SECControlBarInfo* info) const;
    // Makes the bar's window again from a saved record, as a bar of the frame.
    virtual BOOL CreateFromBarInfo(CFrameWnd* frame, const SECControlBarInfo& info);
    void SetBarInfo(const SECControlBarInfo& info);

    BOOL m_bShareSettled = TRUE;
    CSize m_szHorzDocked, m_szVertDocked, m_szFloat;
    DWORD m_dwMRUDockingState = 0;
    float m_fPctWidth = 1.0f;
    int m_nMRUWidth = 32767;
    DWORD m_dwExStyle = 0;
    CRect m_rcBorder { 10, 10, 10, 10 };
    // May auto-hide (shows a pin); pinned: docked as usual, else in the strip of that side.
    BOOL m_bAutoHide = FALSE;
    BOOL m_bPinned = TRUE;
    BOOL m_bAutoHidePlaced = FALSE; // EnableAutoHide has put the bar on its strip
    DWORD m_dwAutoHideSide = 0;
    bool IsSliding() const { return m_bAutoHide && !m_bPinned; }

protected:
    // The pixel of each border side of the style that a bar with its own borders keeps clear
    // (none while it may auto-hide).
    void RemoveOwnBorders(CRect& rect) const;
    // Docking goes through the toolkit's drag context (DockContext.h).
    std::unique_ptr<CDockContext> NewDockContext() override;
    // The gripper is at the bar's left (a horizontal bar) rather than along its top.
    // A bar out of its strip has its caption on top, as if docked at a side.
    bool GripperOnLeft() const { return (m_dwStyle & CBRS_ORIENT_HORZ) && !IsSliding(); }
    bool ShowsGripper() const
    {
        return (m_dwExStyle & CBRS_EX_GRIPPER) && (IsSliding() || (!IsFloating() && (m_dwStyle & CBRS_ALIGN_ANY)));
    }
    void DoPaint(CDC* dc) override;
    // The borders of the style along the window's edges, on the non-client area only.
    void OnNcPaint();
    // With border space, the strips between the client and the inside rectangle in the face colour.
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnIdleUpdateCmdUI(WPARAM disableIfNoHandler, LPARAM);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    void OnLButtonDown(UINT keys, CPoint point);
    void OnMouseMove(UINT keys, CPoint point);
    // Timer 2: once the pointer of the last message is off the pin, the pin loses its hover look.
    void OnTimer(UINT_PTR id);
    // A bar out of its auto-hide strip goes back in when the focus leaves it, and the caption
    // turns inactive.
    void OnKillFocus(CWnd* gaining);
    void OnLButtonUp(UINT keys, CPoint point);
    void OnLButtonDblClk(UINT keys, CPoint point);
    void OnContextMenu(CWnd* window, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    SECGripperInfo m_gripper;
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
    // The n-th caption button from the gripper's far end (0: close, 1: expand when there is a close).
    CRect CaptionButtonRect(int slot) const;
    void DrawCaptionButton(CDC* dc, const CRect& rect, bool close, bool pressed) const;
    void DrawPinButton(CDC* dc, const CRect& rect, bool pressed, bool hot) const;
    void DrawCaptionTitle(CDC* dc, const CRect& rect) const;
    class SECDockBar* ToolkitDockBar() const;
    // The button on the auto-hide strip of a bar that is not pinned; null otherwise.
    class SECAutoHideBarBtn* StripButton() const;
    // Makes this bar's caption the active one: the other bars in the frame's docked dock bars
    // (in every dock bar while this one may auto-hide) lose focus and active caption.
    void ActivateCaption();
    void SetCaptionActive(bool active);

    enum class Pressed { None, Close, Expand, Pin };
    CRect PressedButtonRect(Pressed pressed) const;
    Pressed m_pressed = Pressed::None;

    BOOL m_bPinHot = FALSE;
    BOOL m_bFocusInside = FALSE;
    BOOL m_bCaptionActive = FALSE;
    std::vector<ChildRecord> m_childLayout;
    mutable CString m_strToolTip; // the text of the last caption-button tip, until the tip copies it
};
