#pragma once
// The toolkit's docking tool bar. It owns its buttons as objects (SECStdBtn and subclasses),
// loads their command ids from a tool-bar resource and their images from a shared bitmap store,
// lays them out in rows for any docked or floating shape, paints them, keeps their enabled and
// checked state through the command-UI route, tracks the button under the mouse on a flat bar
// and sends a button's command when it is released over it.

#include "commandbars/StdBtn.h"
#include "framework/ControlBar.h"
#include "framework/ToolBarManager.h"

#include <memory>
#include <span>
#include <utility>
#include <vector>

class SECBmpMgr;

// ---- the tool-bar messages the bar answers
constexpr UINT TB_ADDBUTTONSA = WM_USER + 20, TB_DELETEBUTTON = WM_USER + 22;

// Sent by a menu button that asks to drop its popup (a: the menu id, b: the popup's index).
constexpr UINT SEC_TBN_DROPMENU = static_cast<UINT>(-2120);

// ---- the extended control style of CreateEx. SEC_TBS_FLAT is CBRS_EX_OWNBORDERS: a flat bar
// draws its own border lines and computes its inside rectangle itself.
constexpr DWORD SEC_TBS_STRETCH = 0x80, SEC_TBS_FLAT = CBRS_EX_OWNBORDERS, SEC_TBS_GRIPPER = CBRS_EX_GRIPPER,
                SEC_TBS_GRIPPERSPACE = 0x400, SEC_TBS_NARROWBORDERS = 0x8000;

// A button class of the bar's button tables: how to make a button of it.
struct SECButtonClass {
    SECStdBtn* (*pfnCreate)();
};

// A record of a bar's button table: the buttons of a command id are made of that class, with that
// style and that initialisation data. A table ends with a record without a class.
struct SECBtnMapEntry {
    const SECButtonClass* pClass;
    UINT nID;
    DWORD dwStyle;
    UINT_PTR extra[5];
};

class SECCustomToolBar : public SECControlBar, public SECManagedToolBar {
    DECLARE_DYNCREATE(SECCustomToolBar)
public:
    SECCustomToolBar();
    ~SECCustomToolBar() override;

    // style: the window and CBRS_ bits; ctrlStyle: the SEC_TBS_ bits.
    virtual BOOL CreateEx(DWORD ctrlStyle, CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
        UINT id = AFX_IDW_TOOLBAR, LPCWSTR title = nullptr);
    BOOL CreateManagedBar(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id, LPCWSTR title) override
    {
        return CreateEx(ctrlStyle, parent, style, id, title);
    }
    // Passes the notification to the buttons of that command id.
    void InformBtn(UINT id, UINT code, void* data) override;

    // ---- the buttons
    // Registers the resource's bitmap with the bitmap store and makes one button per command id;
    // FALSE, with the buttons untouched, when the resource or its bitmap cannot be loaded.
    BOOL LoadToolBar(LPCWSTR resource);
    BOOL LoadToolBar(UINT id) { return LoadToolBar(MAKEINTRESOURCEW(id)); }
    // Replaces the buttons by one per id (0: a separator); neither lays out nor repaints.
    virtual BOOL SetButtons(const UINT* ids, int count);
    // Inserts a button of that id, or a separator, before index (past the end: appends).
    virtual void InsertButton(int index, UINT id, BOOL separator = FALSE, BOOL noRedraw = FALSE);
    // Removes the button and a separator it leaves stranded; TRUE while buttons remain.
    virtual BOOL RemoveButton(int index, BOOL noRedraw = FALSE);
    virtual void RemoveAllButtons();
    // Appends one button per entry, with its state and style bytes; TRUE.
    BOOL AddButtons(int count, const TBBUTTON* buttons);
    virtual SECStdBtn* CreateButton(UINT id, SECCustomToolBar* ownerBar = nullptr);
    virtual SECStdBtn* CreateSeparator(SECCustomToolBar* ownerBar = nullptr);
    int GetButtonCount() const { return static_cast<int>(m_btns.size()); }
    SECStdBtn* GetButton(int index) const { return index >= 0 && index < GetButtonCount() ? m_btns[index].get() : nullptr; }
    int GetButtonIndex(const SECStdBtn* button) const;
    void GetItemRect(int index, LPRECT rect) const;
    DWORD GetButtonStyle(int index) const;
    // Stores the style and invalidates the button when it changes.
    void SetButtonStyle(int index, DWORD style);
    virtual void InvalidateButton(int index);

    // ---- images and sizes
    void SetBmpMgr(SECBmpMgr* manager) override;
    SECBmpMgr* GetBmpMgr() const override { return m_pBmpMgr; }
    // The image of a command in the bitmap store (0 without one); non-zero when it has one.
    virtual BOOL GetImageIndex(UINT id, int& index) const;
    virtual int GetImageWidth() const;
    virtual int GetImageHeight() const;
    virtual int GetButtonWidth() const { return GetImageWidth() + 7; }
    virtual int GetButtonHeight() const { return GetImageHeight() + 7; }
    virtual int GetSeparatorWidth() const { return (GetImageWidth() + 8) / 3; }
    // Every button takes its size again (after a change of image size or font).
    void RecalcButtonSizes() override;
    virtual CFont* GetFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))); }
    virtual CFont* GetMenuFont() const { return GetFont(); }
    virtual void SetTransparentColor(COLORREF color, BOOL use);
    virtual BOOL GetTransparentFlag() const { return m_bUseTransparent; }
    virtual BOOL IsFlat() const { return (m_dwExStyle & SEC_TBS_FLAT) != 0; }

    // ---- layout
    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    using SECControlBar::CalcInsideRect;
    // A flat bar computes it itself; a bar that is not flat keeps the plain bar's rule, which
    // leaves no room for the gripper's strip, so the strip's room comes after the margin.
    void CalcInsideRect(CRect& rect, BOOL horz, BOOL withGripper) const override;
    // The gripper's room, with SEC_TBS_GRIPPERSPACE two pixels more between it and the buttons.
    void AdjustForGripper(CRect& rect, BOOL horz) const override;
    // Lays the buttons out for the shape of mode (LM_ bits) when it commits, the cache is stale or
    // the bar has taken that shape since its buttons were placed, and returns the size of that shape.
    virtual CSize CalcLayout(int length, DWORD mode);
    // A bar outside a dock bar takes its parent's width (horizontal) or height (vertical).
    virtual void CheckSize();
    // The index of the visible button under a client point (its rectangle in rect), else -1.
    virtual int HitTest(CPoint point, CRect* rect = nullptr) const;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override;

    // ---- command UI and tracking
    // Asks the target's update handlers for the state of every button.
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    // The same for one button, with the frame (or the owner) as target.
    virtual void UpdateButtonCmdUI(int index);
    // Makes the button under the mouse the hot one on a flat bar (with updateNow, repaints at once).
    void UpdateHotItem(BOOL updateNow);
    int GetHotItem() const { return m_nHot; }
    int GetPressedItem() const { return m_nPressed; }
    // ---- menu buttons: the one whose popup is open, or that the keyboard highlights
    // Remembers the button as tracked, makes it hot and asks the owner to drop the popup.
    virtual void DropButtonMenu(SECStdBtn* button, UINT menuId, int popupIndex);
    virtual void SetTrackedButton(int index);
    // No button is tracked any more; the hot button follows the mouse again.
    virtual void EndTracking();
    virtual BOOL IsTracking() const { return m_nTracking != -1; }
    int GetTrackedButton() const { return m_nTracking; }

    // The window that gets the bar's commands and notifications: its frame, else its parent.
    HWND GetOwnerWindow() const;

    // Set while a bar sends a button's command or notification: presses then go to the bar's own
    // handling and hot tracking waits.
    class CommandInProgress {
    public:
        CommandInProgress() { ++s_depth; }
        ~CommandInProgress() { --s_depth; }
        CommandInProgress(const CommandInProgress&) = delete;
        CommandInProgress& operator=(const CommandInProgress&) = delete;
        static bool Active() { return s_depth > 0; }

    private:
        static inline int s_depth = 0;
    };

    int m_nSepWidth = 8;
    int m_cxLargestBtn = 0, m_cyLargestBtn = 0;
    BOOL m_bVertical = FALSE;

protected:
    // The drawing data, made on first use.
    SECBtnDrawData& DrawData();
    void DoPaint(CDC* dc) override;
    // The flat bar's own border lines, then the base's.
    void DrawToolBarBorders(CDC* dc, CRect& rect);
    // The tracked menu button; -1 when none.
    int m_nTracking = -1;
    // The bar's own button table (nothing fills it here) and the one a menu bar fills.
    const SECBtnMapEntry* m_pBtnMap = nullptr;
    const SECBtnMapEntry* m_pMenuBtnMap = nullptr;

    void OnLButtonDown(UINT keys, CPoint point);
    void OnLButtonDblClk(UINT keys, CPoint point);
    void OnLButtonUp(UINT keys, CPoint point);
    void OnMouseMove(UINT keys, CPoint point);
    // The hot button goes when the pointer leaves the bar.
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    void OnCancelMode();
    void OnSysColorChange();
    void OnWindowPosChanging(WINDOWPOS* position);
    void OnNcPaint() {}
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddButtons(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteButton(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    enum Shape { Horizontal, Vertical, Floating, ShapeCount };
    static Shape ShapeOf(DWORD mode);
    // The shape the bar is laid out in where it is now: docked along or across, floating; a
    // floating bar that is not dynamic keeps a docked bar's shape.
    Shape CurrentShape() const;
    // The inside rectangle of an empty bar in that mode's direction: the borders' widths, negative
    // at the right and bottom.
    CRect BordersFor(DWORD mode) const;
    // Takes the hidden buttons out, places the others in rows, and stores the size of the shape.
    void LayOutButtons(int length, DWORD mode, const CRect& borders);
    // Places the buttons row by row from the inside rectangle's top-left.
    void PlaceButtons(std::span<SECStdBtn* const> buttons, DWORD mode, CPoint origin);
    void MarkLayoutDirty();
    // Separators of the row around index take the row's tallest button height.
    void MatchSeparatorsOfRow(int index);
    // The row boundaries around index: [first, last].
    std::pair<int, int> RowAround(int index) const;
    // The parent frame lays out again and the bar repaints at once.
    void RelayoutAndRepaint();
    void PressButton(int index);
    void SetHot(int index, BOOL updateNow);
    // The hot button after a command: the pointer may have left or come back unseen.
    void RecheckHotItem();
    BOOL AltHeld() const { return ::GetKeyState(VK_MENU) < 0; }

    SECBmpMgr* m_pBmpMgr = nullptr;
    int m_nPressed = -1;
    int m_nHot = -1;
    std::unique_ptr<SECBtnDrawData> m_pDrawData;
    BOOL m_bDirty[ShapeCount] = { TRUE, TRUE, TRUE };
    CSize m_szCached[ShapeCount];
    Shape m_placedShape = ShapeCount; // the shape the buttons are placed for; none yet
    CRect m_placedBorders; // and the borders they were placed within
    COLORREF m_clrTransparent = RGB(192, 192, 192);
    BOOL m_bUseTransparent = FALSE;
    std::vector<std::unique_ptr<SECStdBtn>> m_btns;
};
