#include "commandbars/ToolBarLayout.h"

#include <algorithm>

namespace fln::commandbars {

namespace {

int FirstOf(std::span<const ToolBarRow> rows, size_t row)
{
    return row == 0 ? 0 : rows[row - 1].last + 1;
}

// Width and height of the items from first to the row's end.
void Measure(std::span<const ToolBarItem> items, int first, ToolBarRow& row)
{
    row.width = row.height = 0;
    for (int i = first; i <= row.last; ++i) {
        if (i == row.last && row.endsAtSeparator)
            break;
        row.width += items[i].width;
        if (!items[i].separator)
            row.height = std::max(row.height, items[i].height);
    }
}

void MeasureAll(std::span<const ToolBarItem> items, std::vector<ToolBarRow>& rows)
{
    for (size_t r = 0; r < rows.size(); ++r)
        Measure(items, FirstOf(rows, r), rows[r]);
}

// The last separator before the end of a row (the start of its trailing group), or -1.
int InnerSeparator(std::span<const ToolBarItem> items, std::span<const ToolBarRow> rows, size_t row)
{
    for (int i = rows[row].last - 1; i >= FirstOf(rows, row); --i)
        if (items[i].separator)
            return i;
    return -1;
}

int WidthOf(std::span<const ToolBarItem> items, int first, int last)
{
    int width = 0;
    for (int i = first; i <= last; ++i)
        width += items[i].width;
    return width;
}

// Whether the trailing groups of this row and, as long as each move is assumed, the rows below
// can be pushed down without a row reaching the limit.
bool CanShift(std::span<const ToolBarItem> items, std::span<const ToolBarRow> rows, size_t row, int limit)
{
    for (; row + 1 < rows.size(); ++row) {
        const int group = InnerSeparator(items, rows, row);
        if (!rows[row].endsAtSeparator || group < 0)
            return false;
        if (rows[row + 1].width + WidthOf(items, group, rows[row].last - 1) < limit)
            return true;
    }
    return false;
}

int HeightOf(std::span<const ToolBarRow> rows, const ToolBarMetrics& metrics)
{
    return RowsSize(rows, metrics).cy;
}

} // namespace

std::vector<ToolBarRow> WrapToolBar(std::span<const ToolBarItem> items, int length)
{
    std::vector<ToolBarRow> rows;
    const int count = static_cast<int>(items.size());
    int first = 0, x = 0;
    for (int i = 0; i < count; ++i) {
        x += items[i].width;
        if (x <= length + 2 || i == first)
            continue;
        int separator = -1;
        for (int k = i; k >= first && separator < 0; --k)
            if (items[k].separator)
                separator = k;
        if (separator >= 0) {
            rows.push_back({ separator, true });
            first = separator + 1;
            i = separator; // the items after the separator are counted again on the next row
            x = 0;
        } else {
            rows.push_back({ i - 1, false });
            first = i;
            x = items[i].width;
        }
    }
    if (first < count)
        rows.push_back({ count - 1, false });
    MeasureAll(items, rows);
    return rows;
}

void BalanceRows(std::span<const ToolBarItem> items, std::vector<ToolBarRow>& rows)
{
    // Every move takes items one row down, so the moves are bounded; the guard only says so.
    for (size_t guard = items.size() * (rows.size() + 1); guard > 0 && rows.size() > 1; --guard) {
        size_t widest = 0;
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r].width >= rows[widest].width)
                widest = r;
        if (widest + 1 == rows.size())
            return;
        ToolBarRow& row = rows[widest];
        const ToolBarRow& next = rows[widest + 1];
        if (row.endsAtSeparator) {
            const int group = InnerSeparator(items, rows, widest);
            const bool worse = group < 0 || next.width + WidthOf(items, group, row.last - 1) >= row.width;
            if (worse && !CanShift(items, rows, widest, row.width))
                return;
            row.last = group; // the group's separator now ends the row
        } else {
            const int first = FirstOf(rows, widest);
            if (row.last == first)
                return;
            const int button = items[row.last].width;
            if (next.width + button >= row.width) {
                size_t later = widest + 1;
                while (later + 1 < rows.size() && !rows[later].endsAtSeparator)
                    ++later;
                if (later == widest + 1 || rows[later].width + button > row.width)
                    return;
            }
            row.last -= 1;
            row.endsAtSeparator = items[row.last].separator;
        }
        MeasureAll(items, rows);
    }
}

std::vector<ToolBarRow> ArrangeRows(std::span<const ToolBarItem> items, int length, bool vertical, const ToolBarMetrics& metrics)
{
    if (items.empty())
        return {};
    std::vector<ToolBarRow> rows;
    if (!vertical) {
        for (const ToolBarItem& item : items)
            length = std::max(length, item.width);
        rows = WrapToolBar(items, length);
    } else if (length <= 0) {
        rows = WrapToolBar(items, 0); // no height to fill: one button a row
    } else {
        int widest = 0, narrowest = 32767;
        for (const ToolBarItem& item : items) {
            widest = std::max(widest, item.width);
            narrowest = std::min(narrowest, item.width);
        }
        const int wanted = metrics.buttonHeight > 0 ? length / metrics.buttonHeight : 0;
        int width = wanted == 0 ? 32767
                                : std::max(narrowest, metrics.buttonWidth * static_cast<int>(items.size()) / wanted);
        rows = WrapToolBar(items, width);
        if (widest < length) {
            // Narrower a button at a time while the rows still fit the height.
            while (width > narrowest && HeightOf(rows, metrics) != length) {
                const int narrower = std::max(narrowest, width - metrics.buttonWidth);
                auto trial = WrapToolBar(items, narrower);
                if (HeightOf(trial, metrics) > length)
                    break;
                width = narrower;
                rows = std::move(trial);
            }
        }
        // Wider a button at a time until the rows fit, or are one row.
        while (HeightOf(rows, metrics) > length && HeightOf(rows, metrics) > metrics.buttonHeight && width < 32767) {
            width = std::min(32767, width + metrics.buttonWidth);
            rows = WrapToolBar(items, width);
        }
    }
    BalanceRows(items, rows);
    return rows;
}

CSize RowsSize(std::span<const ToolBarRow> rows, const ToolBarMetrics& metrics)
{
    CSize size;
    for (const ToolBarRow& row : rows) {
        size.cx = std::max<LONG>(size.cx, row.width);
        size.cy += row.height + (row.endsAtSeparator ? metrics.separatorWidth : 0);
    }
    return size;
}

} // namespace fln::commandbars
