#pragma once
// A dock bar: the control bar along one edge of a docking frame (or inside a floating mini frame)
// that holds other bars in rows. m_arrBars lists the bars row by row, each row ended by a null
// entry; the list starts with a null entry too. A horizontal dock bar stacks its rows downwards,
// a vertical one from left to right.

#include "platform/mfc/ControlBar.h"

#include <functional>
#include <vector>

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL floating = FALSE);

    BOOL Create(CWnd* parent, DWORD style, UINT id);
    using CWnd::Create;

    // Docks the bar in the row under rect's top-left (screen coordinates), at its place along the
    // row; without rect, in a row of its own at the end.
    void DockControlBar(CControlBar* bar, LPCRECT rect = nullptr);
    // Docks a bar that left this dock bar again where it was: in row `row` (counted from 0), in a
    // row of its own there when it had one, at rect's place along the row (screen coordinates).
    void ReDockControlBar(CControlBar* bar, LPCRECT rect, int row, BOOL ownRow);
    // The row of a docked bar and whether it is alone in it; FALSE when the bar is not here.
    BOOL GetBarRow(const CControlBar* bar, int& row, BOOL& ownRow) const;
    // Puts the bar back at the end of the last row, or of a new row, at that place in the client
    // area, as a saved layout lists it.
    void AppendBar(CControlBar* bar, bool newRow, CPoint clientPlace);
    // Takes the bar out of the list; its row goes when it was the row's last bar.
    BOOL RemoveControlBar(CControlBar* bar);

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    BOOL IsDockBar() const override { return TRUE; }
    // The size a bar takes in a floating frame: its floating size when it sizes dynamically, else
    // its docked size, horizontal or upright.
    static CSize FloatingSizeOf(CControlBar* bar, bool upright = false);

    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    int FindBar(const CControlBar* bar) const;
    // The rows as lists of bars (no nulls), in order.
    std::vector<std::vector<CControlBar*>> Rows() const;

    std::vector<CControlBar*> m_arrBars { nullptr };
    BOOL m_bFloating;

    // A floating dock bar is horizontal unless it was made with a left or right alignment.
    BOOL IsHorizontal() const { return m_bFloating ? !(m_dwStyle & CBRS_ORIENT_VERT) : (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }

protected:
    LRESULT OnSizeParent(WPARAM, LPARAM lParam);
    // Lays the rows within the given length; with commit, moves the bars. Returns the size taken.
    virtual CSize LayOut(int length, bool commit);
    // The size a bar asks for here: docked along this dock bar's rows, or floating.
    CSize DockedSizeOf(CControlBar* bar) const;
    // How many of the row's bars fit one after another in that length; the first always does.
    size_t BarsThatFit(const std::vector<CControlBar*>& row, int length) const;
    // Wraps each row that `packed` accepts where it runs out of length: the bars that do not fit
    // start a row of their own below (to the right), at its start. With commit, m_arrBars gets the
    // row breaks too. A floating dock bar has one row and does not wrap, nor does a dock bar of no
    // length.
    void WrapRows(std::vector<std::vector<CControlBar*>>& rows, int length, bool commit,
        const std::function<bool(const std::vector<CControlBar*>&)>& packed);
    // Lays the row's visible bars out at their sizes, each at its place along the row unless the
    // one before pushes it on, and pulled back from the row's end; returns the length reached and
    // the row's thickness (x is along the row).
    CSize PackRow(const std::vector<CControlBar*>& row, int length, int across, bool commit);
    // A bar has just been put into the list; `restored` when a saved layout put it back there.
    virtual void OnBarInserted(CControlBar*, bool /*restored*/) {}
    // The index in m_arrBars where row `row` starts (one past the end for rows past the last).
    size_t RowStart(int row) const;
    // Marks a position that opens a new row there (see InsertAt).
    static constexpr size_t kNewRow = size_t(1) << (sizeof(size_t) * 8 - 1);
    // Inserts at a position of m_arrBars, or at a new row there (position | kNewRow), and attaches.
    void InsertAt(CControlBar* bar, size_t position, const CRect& clientRect, bool restored = false);
    // Inserts and attaches a bar dropped at that rectangle (client coordinates), in the row and at
    // the place along it that the rectangle points to. Here its top-left corner picks both.
    virtual void InsertBarAt(CControlBar* bar, const CRect& clientRect);
    DECLARE_MESSAGE_MAP()

private:
    // Where in m_arrBars a bar dropped at the client point goes; may open a new row.
    size_t InsertPosition(CPoint clientPoint);
    void Attach(CControlBar* bar, const CRect& clientRect);
    // Where along that row a bar placed at `along` goes.
    size_t PlaceInRow(size_t rowStart, int along) const;
    void MoveAlong(CControlBar* bar, int along) const;
};

// The frame's dock bar of that id (AFX_IDW_DOCKBAR_TOP...), or null.
CDockBar* AfxFindDockBar(CWnd* frame, UINT id);
