#pragma once
// The shares of the bars in one dock row: each bar's part of the row's length, kept so that the
// row is always filled and no bar shrinks below a minimum share. Plain data and arithmetic, in
// single precision like the stored layouts; the dock bar lays its rows out from these.

#include <span>

struct RowMember {
    float share = 1.0f;
    bool visible = true;
    bool settled = false;    // fitted into the row already; a new or re-shown bar is not
    bool fixedSize = false;  // keeps its own size: not stretched along the row
    bool shareable = true;   // a toolkit bar: only such a bar may anchor the row
};

struct RowCounts {
    int stretchable = 0;
    int fixed = 0;
};

// A bar keeps at least 18 pixels of a row this long: 0.05 for no length, never above 1.
float MinimumShare(int rowLength);

// Fits the row's shares together: settled bars keep their proportions, the anchor (when it is a
// visible shareable bar asking for at most 0.95) and any unsettled bar keep the fraction they ask
// for, and the row sums to 1 with no share below `minimum`. Invisible bars become unsettled.
RowCounts NormalizeRow(std::span<RowMember> row, int anchor, float minimum);

// Expands the bar to the whole row (the others to the minimum), or gives every bar an equal part
// again with this bar anchored.
void ExpandInRow(std::span<RowMember> row, int bar, bool expand, float minimum);

// Adds delta to a share; a share that would fall below the minimum stops there, and the part of
// delta it could not take is returned.
float AddToShare(RowMember& member, float delta, float minimum);
