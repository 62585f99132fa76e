#pragma once
// The toolkit's dock bar. Rows that hold stretchable toolkit bars are filled by them: each bar
// takes its share of the row (RowShares.h), with a 6-pixel splitter between neighbours and one
// after the row, which the user drags to move length between bars or to make the row thicker.
// A bar can be expanded to the whole row and restored. Rows of fixed-size bars (tool bars) are
// packed as the platform's dock bar packs them: each bar at its place, pushing its neighbours, and
// wrapping to a new row when the row is full. A bar with the own-row bit has a row to itself.
// A dropped bar joins the row its centre falls in, after each bar whose middle it has passed. A
// floating dock bar shares its rows the same way, within the length its frame was sized to.

#include "framework/DockContext.h"
#include "framework/RowShares.h"
#include "platform/mfc/DockBar.h"

#include <algorithm>
#include <optional>
#include <vector>

class SECDockBar : public CDockBar {
    DECLARE_DYNCREATE(SECDockBar)
public:
    static constexpr int kSplitterThickness = 6;
    // During a drag every bar of the row keeps this much; a row keeps this much thickness.
    static constexpr int kDragBarLength = 24, kSmallestRowThickness = 19, kSmallestBarLength = 18;

    explicit SECDockBar(BOOL floating = FALSE);

    // kind 1 lies between two bars of a row, kind 0 after a row; orientation 1 moves along x.
    struct Splitter {
        int kind;
        int orientation;
        size_t index; // in m_arrBars: the bar before it (kind 1) or the row's first bar (kind 0)
        CRect rect;   // client coordinates
        int lower = 0, upper = 0;
    };
    const std::vector<Splitter>& Splitters() const { return m_splitters; }

    // Docks the bar at column `column` of row `row`, or in a new last row past the rows there are.
    void DockControlBarAt(CControlBar* bar, int column, int row);
    // The outline of a bar dragged over this dock bar at dragRect (screen coordinates). Within the
    // same row as before it follows the pointer. A bar that is not of fixed size spans the dock
    // bar over a row of its own, and is as long as the share it would get in a row of others.
    CRect HitTestDockPosition(CControlBar* bar, const CRect& dragRect, CPoint cursor, SECDockFeedback& last) const;
    // The length a floating dock bar holding several bars lays its rows out in, as its frame was
    // sized; 0 until then, when the rows are as long as their bars ask.
    void SetFloatingLength(int length) { m_nFloatingLength = std::max(0, length); }
    // Mode 1 gives the bar its whole row; any other gives the row's bars equal parts again.
    void ExpandBar(CControlBar* bar, int mode);
    // FALSE exactly when the bar is the only visible bar of its row above the minimum share.
    BOOL IsBarExpandable(const CControlBar* bar) const;
    BOOL IsOnlyBarInRow(const CControlBar* bar) const;
    // Moves a splitter's leading edge by distance pixels: lengths (kind 1) or the row's
    // thickness (kind 0) change, and the frame lays out again.
    void ApplySplitterMove(const Splitter& splitter, int distance);
    // Sets the splitter's limits for a drag.
    void PrepareSplitterDrag(Splitter& splitter) const;
    BOOL IsTrackingSplitter() const { return m_drag.has_value(); }
    // The dithered band that shows where a dragged splitter would go, shown only while dragging.
    const SECDragRect& SplitterTracker() const { return m_tracker; }
    // How thick the band is across the splitter's travel.
    static constexpr int kTrackerThickness = 5;

    float m_fMinShare = 0.05f;

protected:
    CSize LayOut(int length, bool commit) override;
    // The row is the one the rectangle's centre falls in; none there opens a row before the next.
    // Along it the bar goes after each bar whose middle lies at or before the rectangle's start.
    void InsertBarAt(CControlBar* bar, const CRect& clientRect) override;
    // A bar with the own-row bit is kept alone in its row, and no bar joins such a bar's row. A
    // newly docked bar keeps the share it asks for in its row; one a saved layout put back comes
    // with the share it had and fits in with the others.
    void OnBarInserted(CControlBar* bar, bool restored) override;
    void DoPaint(CDC* dc) override;
    void OnLButtonDown(UINT keys, CPoint point);
    void OnMouseMove(UINT keys, CPoint point);
    void OnLButtonUp(UINT keys, CPoint point);
    void OnRButtonDown(UINT keys, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnCaptureChanged(CWnd* gaining);
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    struct Row {
        size_t start;                    // index of the row's first entry in m_arrBars
        std::vector<CControlBar*> bars;  // all of the row's bars, in order
    };
    std::vector<Row> RowsWithStarts() const;
    std::optional<Row> RowOf(const CControlBar* bar) const;
    // The shares of a row's bars, read from them, and written back.
    static std::vector<RowMember> Members(const Row& row);
    static void StoreShares(const Row& row, const std::vector<RowMember>& members);
    int RowLength() const;
    // The length of a floating dock bar's rows: as its frame was sized while it holds several
    // visible bars, else its longest row as its bars ask.
    int FloatingRowLength() const;
    // Which of the rows the centre of a client rectangle falls in; -1 when none does. Then
    // `newRowAt` is where a row of its own opens for it.
    int TargetRow(const std::vector<Row>& rows, const CRect& clientRect, size_t& newRowAt) const;
    CRect ClientRectOf(const CControlBar* bar) const;
    // The layout mode whose size the bar takes here.
    DWORD SizeMode(const CControlBar* bar) const;
    // Lays the frame that holds this dock bar out again.
    void LayOutFrame() const;
    // Whether a row is filled by shares: it holds a visible toolkit bar that is not of fixed size.
    static bool Stretches(const std::vector<CControlBar*>& bars);
    int SplitterAt(CPoint point) const;
    void EndSplitterDrag(bool apply);
    void ShowSplitterTracker();
    void CommitLength(CControlBar* bar, int length) const;
    void CommitThickness(CControlBar* bar, int thickness) const;

    struct Drag {
        Splitter splitter;
        int offset;      // of the cursor from the splitter's leading edge
        int leading;     // where the leading edge is now
    };
    std::vector<Splitter> m_splitters;
    std::optional<Drag> m_drag;
    SECDragRect m_tracker;
    CControlBar* m_pLastChanged = nullptr;
    int m_nFloatingLength = 0;
};
