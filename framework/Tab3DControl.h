#pragma once
// The tab strip of the three-dimensional tab window: a row of raised (or flat) tabs along one edge
// of its client area. Labels that do not fit are shortened behind "..." (their full text becomes a
// tooltip), tabs may carry a 16 x 16 icon and be disabled (drawn embossed, deaf to clicks and
// arrow keys); the user activates tabs by click and arrow keys and, with TAB_STYLE_DRAG, moves the
// active tab along the row by dragging it. Its painting is in Tab3DControlPaint.cpp.

#include "framework/Tab3DRow.h"
#include "platform/mfc/GdiObjects.h"

// The tab style bits: the low word of the control's window style.
constexpr DWORD TAB_STYLE_FLAT = 0x0008;   // flat look: another background, outline and fonts
constexpr DWORD TAB_STYLE_TOP = 0x0010;    // tabs along the top edge, hanging down
constexpr DWORD TAB_STYLE_BOTTOM = 0x0020; // tabs along the bottom edge, pointing up
constexpr DWORD TAB_STYLE_RIGHT = 0x0040;  // tabs along the right edge, labels rising
constexpr DWORD TAB_STYLE_LEFT = 0x0080;   // tabs along the left edge, labels falling
constexpr DWORD TAB_STYLE_NO_ENLARGE = 0x0100;     // the active tab keeps its size
constexpr DWORD TAB_STYLE_GAP = 0x0200;            // raised outlines end a pixel short at the trailing end
constexpr DWORD TAB_STYLE_NO_OUTER_LINES = 0x0400; // only the two edge lines next to the tabs
constexpr DWORD TAB_STYLE_DRAG = 0x0800;           // the active tab can be dragged to another place
constexpr DWORD TAB_STYLE_POSITIONS = TAB_STYLE_TOP | TAB_STYLE_BOTTOM | TAB_STYLE_RIGHT | TAB_STYLE_LEFT;

class SEC3DTabControl : public SECTabControlBase {
    DECLARE_DYNCREATE(SEC3DTabControl)
public:
    enum class Edge { Top, Bottom, Right, Left };
    // Top also for a style without a position bit.
    static Edge EdgeOf(DWORD style);
    static bool IsHorizontal(Edge edge) { return edge == Edge::Top || edge == Edge::Bottom; }

    SEC3DTabControl();
    ~SEC3DTabControl() override;

    SEC3DTab* GetTab(int index) const { return static_cast<SEC3DTab*>(SECTabControlBase::GetTab(index)); }
    BOOL GetTabRect(int index, CRect& rect) const;
    // The topmost enabled tab under a client point (the active tab lies over its neighbours), or kNoTab.
    int TabFromPoint(CPoint point) const;

    SECTab* InsertTab(int index, LPCWSTR label, CObject* client, HMENU menu = nullptr, DWORD_PTR extra = 0) override;
    void RenameTab(int index, LPCWSTR label) override;

    // The icon setters each end with a new layout and repaint the tabs from `index` on.
    // By resource, loaded at cx x cy:
    void SetTabIcon(int index, LPCWSTR resourceName, int cx, int cy) override;
    void SetTabIcon(int index, UINT resourceId, int cx, int cy) override;
    // A copy of the caller's icon; the caller keeps its own.
    void SetTabIcon(int index, HICON icon) override;

    virtual void EnableTab(int index, BOOL enable = TRUE);
    virtual BOOL IsTabEnabled(int index) const;
    // which: 0 the inactive tabs' font, 1 the active tab's. The font is turned to run along the
    // tabs of a vertical row. FALSE for another selector, a null font or one that cannot be made.
    virtual BOOL SetTabFont(CFont* font, int which, BOOL redraw = TRUE);
    // A style change; a new position turns the fonts with it and lays the row out again.
    virtual BOOL ModifyTabStyle(DWORD remove, DWORD add, UINT flags = 0);
    // With fitting off, labels are hidden altogether when the full labels do not fit.
    void SetLabelFitting(BOOL fitting);
    BOOL AreLabelsShown() const { return m_showLabels; }

    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override;

    // Thickness of the tabs across the row and where the first tab starts.
    static constexpr int kTabThickness = 22, kRowMargin = 7;
    // How much longer and deeper the active tab is in the raised look, on each side.
    static constexpr int kEnlargement = 3;
    static constexpr int kIconSize = 16;

protected:
    void Initialize(DWORD style) override;
    std::unique_ptr<SECTab> NewTabRecord() const override;
    void RecalcLayout() override;
    void AdjustForActiveTab() override { RecalcLayout(); }
    void ReleaseDrawingObjects() override;
    void InvalidateTab(int index) override;

    virtual void CreateDefaultFonts(DWORD style);
    virtual void PlaceTab(SEC3DTab& tab, int x, int y, Edge edge, int labelWidth);
    virtual void DrawTab(CDC& dc, int index);
    virtual void DrawTabFace(CDC& dc, const SEC3DTab& tab, Edge edge);
    // Embosses what the DC holds in (0, 0, cx, cy): ink becomes a shadow with a highlight below
    // and right of it; face and highlight pixels count as background.
    virtual void DrawDisabledImage(CDC& dc, int cx, int cy);
    static void FillSolid(CDC& dc, int x, int y, int cx, int cy, COLORREF colour);

    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnSetFocus(CWnd* previous);
    void OnKillFocus(CWnd* next);
    void OnSysColorChange();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    std::vector<SEC3DTab*> Row() const;
    int LabelWidth(CDC& dc, const CString& label) const;
    bool ParentTakesTabStops() const;
    void CreateSysColorPens();
    BOOL MakeFont(int which, LOGFONTW description);
    void TurnFontsTo(Edge edge);
    // The light colour of the flat look's background and inactive tabs.
    static COLORREF FlatLightColour();
    bool IsActive(const SEC3DTab& tab) const;
    // What a tab is filled with: the face colour, or the light colour for inactive flat tabs.
    COLORREF TabFillColour(const SEC3DTab& tab) const;
    void PaintBackground(CDC& dc, const CRect& client, Edge edge, bool flat);
    void PaintEdgeLines(CDC& dc, const CRect& client, Edge edge, bool flat);
    void DrawRaisedOutline(CDC& dc, const CRect& r, Edge edge, bool gap);
    void DrawFlatOutline(CDC& dc, const SEC3DTab& tab, Edge edge);
    // Moves the active tab onto the tab under the pointer once the pointer lies where the moved
    // tab would be.
    void DragActiveTab(CPoint point);
    void ActivateNeighbour(int step);

    BOOL m_labelFitting = TRUE;
    BOOL m_showLabels = TRUE;
    int m_tabHeight = kTabThickness;
    int m_tabWidth = kTabThickness;
    int m_marginX = kRowMargin;
    int m_marginY = kRowMargin;
    CFont m_fonts[2]; // 0 inactive tabs, 1 the active tab
    LOGFONTW m_fontDescriptions[2] {};
    CPen m_outerPens[2];
    CPen m_shadowPen;
    CPen m_highlightPen;
    COLORREF m_inactiveTextColor;
    COLORREF m_activeTextColor;
};
