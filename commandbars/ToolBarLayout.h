#pragma once
// How a tool bar's buttons fall into rows, without a window: wrapping at a length, balancing the
// rows' widths, and the size of the result. The bar marks the last button of each row but the
// last as wrapped and places the buttons from there.

#include "platform/base/Geometry.h"

#include <span>
#include <vector>

namespace fln::commandbars {

struct ToolBarItem {
    int width = 0;
    int height = 0;
    bool separator = false;
};

struct ToolBarRow {
    int last = 0;                 // index of the item that ends the row
    bool endsAtSeparator = false; // the row was broken at a separator (not counted in its width)
    int width = 0;
    int height = 0;               // tallest item that is not a separator; 0 for separators only
};

struct ToolBarMetrics {
    int buttonWidth = 23;
    int buttonHeight = 22;
    int separatorWidth = 8;
};

// Breaks the items into rows no wider than length + 2, at the row's last separator where there
// is one, else before the item that overflows (an item alone in its row always stays).
std::vector<ToolBarRow> WrapToolBar(std::span<const ToolBarItem> items, int length);

// Evens out the rows' widths by moving the trailing group (after a row's last inner separator)
// or the last button of the widest row down to the next row, as long as that does not make
// things wider.
void BalanceRows(std::span<const ToolBarItem> items, std::vector<ToolBarRow>& rows);

// The rows of a horizontal bar at most `length` wide, or of a vertical bar at most `length`
// high (narrowed or widened a button at a time), balanced.
std::vector<ToolBarRow> ArrangeRows(std::span<const ToolBarItem> items, int length, bool vertical, const ToolBarMetrics& metrics);

// The size of the rows: the widest row by the rows' heights, plus a separator width for each
// row that a separator ends.
CSize RowsSize(std::span<const ToolBarRow> rows, const ToolBarMetrics& metrics);

} // namespace fln::commandbars
