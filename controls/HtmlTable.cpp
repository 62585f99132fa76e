// Tables of the tooltip mark-up: the measuring pass builds a model of rows, columns and spans; the drawing
// pass widens the columns to the room given and paints backgrounds, borders and cells.

#include "controls/HtmlDrawer.h"

#include "controls/HtmlScan.h"

#include <algorithm>
#include <numeric>

namespace {

// Spans beyond this are taken as this many: a model of that size is already larger than any tip.
constexpr int MaxSpan = 256;

std::wstring_view TagAttributes(std::wstring_view text)
{
    // text starts with "<name": what stands between the name and ">".
    size_t close = std::min(text.find(L'>'), text.size());
    std::wstring_view tag = text.substr(1, close > 0 ? close - 1 : 0);
    return SplitHtmlTag(tag).attributes;
}

std::wstring_view AfterTag(std::wstring_view text)
{
    size_t close = text.find(L'>');
    return close == std::wstring_view::npos ? std::wstring_view() : text.substr(close + 1);
}

int SpanSum(const std::vector<int>& values, int first, int count)
{
    return std::accumulate(values.begin() + first, values.begin() + first + count, 0);
}

} // namespace

void CPPHtmlDrawer::OpenElementStyle(std::wstring_view name, std::wstring_view tagText, bool isTable, PPHtmlValueParser::Spans* spans)
{
    OpenStyle(name);
    MergeNamedStyle(name, m_style);
    if (name == L"td")
        m_style.width = m_style.height = 0;
    PPHtmlValueParser::Spans parsed = m_values.ApplyTableAttributes(TagAttributes(tagText), m_style, isTable);
    if (spans)
        *spans = parsed;
    ApplyStyle();
}

void CPPHtmlDrawer::CloseElementStyle(std::wstring_view name)
{
    m_style.name = name;
    if (CloseStyle(name))
        ApplyStyle();
}

PPHtmlValueParser::Spans CPPHtmlDrawer::CountTableRowsAndColumns(std::wstring_view text) const
{
    PPHtmlValueParser::Spans count { 0, 0 };
    PPHtmlStyle scratch;
    for (size_t row = FindHtmlRow(text, 1); row != std::wstring_view::npos;) {
        size_t rowEnd = FindHtmlRowEnd(text, row);
        int columns = 0;
        for (size_t cell = FindHtmlCell(text, row, rowEnd); cell != std::wstring_view::npos;) {
            size_t cellEnd = FindHtmlCellEnd(text, cell, rowEnd);
            columns += std::clamp(m_values.ApplyTableAttributes(TagAttributes(text.substr(cell)), scratch, false).columns, 1, MaxSpan);
            cell = FindHtmlCell(text, cellEnd, rowEnd);
        }
        count.columns = std::min(std::max(count.columns, columns), MaxSpan);
        ++count.rows;
        row = FindHtmlRow(text, rowEnd);
    }
    return count;
}

SIZE CPPHtmlDrawer::DrawTable(std::wstring_view text, const RECT& rect)
{
    if (m_measuring) {
        PPHtmlValueParser::Spans count = CountTableRowsAndColumns(text);
        Table model;
        model.rows.assign(count.rows, std::vector<Cell>(count.columns));
        model.columnWidths.assign(count.columns, 0);
        model.columnFixed.assign(count.columns, 0);
        model.rowHeights.assign(count.rows, 0);
        m_tables.push_back(std::move(model));
    }
    ++m_tableCounter;
    // Drawing a table the measuring pass never met draws nothing.
    if (m_tableCounter < 0 || static_cast<size_t>(m_tableCounter) >= m_tables.size())
        return { 0, 0 };
    Table& table = m_tables[m_tableCounter];
    const int columns = static_cast<int>(table.columnWidths.size());
    const int rows = static_cast<int>(table.rowHeights.size());

    OpenElementStyle(L"table", text, true, nullptr);
    const PPHtmlStyle tableStyle = m_style;
    const int spacing = std::clamp(tableStyle.cellSpacing, 0, 1000);
    const bool isDouble = tableStyle.borderStyle == CPPDrawManager::PEN_DOUBLE;
    const int border = std::clamp(tableStyle.borderWidth, 0, 1000);

    auto walkRows = [&](const std::vector<int>& columnWidths, const RECT& inner) {
        if (rows == 0 || columns == 0)
            return;
        size_t row = FindHtmlRow(text, 1);
        for (int r = 0; r < rows && row != std::wstring_view::npos; ++r) {
            size_t rowEnd = FindHtmlRowEnd(text, row);
            DrawRow(text.substr(row, rowEnd - row), table, columnWidths, inner, r);
            row = FindHtmlRow(text, rowEnd);
        }
    };

    SIZE size {};
    if (m_measuring) {
        walkRows(table.columnWidths, {});
        for (int span = 1; span <= columns; ++span) {
            for (auto& cells : table.rows) {
                for (int c = 0; c < columns; ++c) {
                    const Cell& cell = cells[c];
                    if (cell.columnSpan != span)
                        continue;
                    if (cell.fixed)
                        std::fill_n(table.columnFixed.begin() + c, span, 1);
                    int sum = SpanSum(table.columnWidths, c, span);
                    if (sum >= cell.contentWidth)
                        continue;
                    int extra = cell.width - sum;
                    for (int i = 0; i < span; ++i)
                        table.columnWidths[c + i] += extra / span;
                    table.columnWidths[c + span - 1] += extra % span;
                }
            }
        }
        for (int span = 1; span <= rows; ++span) {
            for (int r = 0; r < rows; ++r) {
                for (const Cell& cell : table.rows[r]) {
                    if (cell.rowSpan != span)
                        continue;
                    int sum = SpanSum(table.rowHeights, r, span);
                    if (sum >= cell.height)
                        continue;
                    int extra = cell.height - sum;
                    for (int i = 0; i < span; ++i)
                        table.rowHeights[r + i] += extra / span;
                    table.rowHeights[r] += extra % span;
                }
            }
        }
        int frame = 2 * (isDouble ? 3 * border : border);
        size.cx = (spacing - 1 + columns) + SpanSum(table.columnWidths, 0, columns) + columns * spacing + frame;
        size.cy = (spacing - 1 + rows) + SpanSum(table.rowHeights, 0, rows) + rows * spacing + frame;
    } else {
        std::vector<int> widths = table.columnWidths;
        int frame = isDouble ? 6 : 2 * border;
        int width = (columns - 1 + spacing) + SpanSum(widths, 0, columns) + columns * spacing + frame;
        int height = (rows - 1 + spacing) + SpanSum(table.rowHeights, 0, rows) + rows * spacing + frame;
        const int available = rect.right - rect.left;
        if (width < available) {
            int extra = available - width;
            int free = static_cast<int>(std::count(table.columnFixed.begin(), table.columnFixed.end(), 0));
            for (int c = 0; c < columns && free > 0; ++c) {
                if (table.columnFixed[c])
                    continue;
                int share = extra / free--;
                widths[c] += share;
                extra -= share;
                width += share;
            }
        }
        RECT box { rect.left, rect.top, rect.left + width, rect.top + height };
        if (width < available && tableStyle.horizontalAlign == 1)
            OffsetRect(&box, (available - width) / 2, 0);
        else if (width < available && tableStyle.horizontalAlign == 2)
            OffsetRect(&box, rect.right - width - box.left, 0);
        if (tableStyle.backgroundEffect >= 0)
            m_drawManager.PaintBackground(m_dc, tableStyle.backgroundEffect, &box, tableStyle.backgroundColor,
                tableStyle.backgroundMidColor, tableStyle.backgroundEndColor, 0, 0);
        else if (!m_measuring && m_values.ColorsEnabled() && tableStyle.backgroundImage.size() >= 6)
            TileBackgroundPicture(box, tableStyle.backgroundImage);
        if (border > 0) {
            bool enabled = m_values.ColorsEnabled();
            CPPDrawManager::PaintFrame(m_dc, &box, enabled ? tableStyle.borderColorLight : m_values.DisabledColor(),
                enabled ? tableStyle.borderColorDark : m_values.DisabledColor(), tableStyle.borderStyle, border);
        }
        RECT inner = box;
        int inset = isDouble ? 3 : border;
        InflateRect(&inner, -inset, -inset);
        walkRows(widths, inner);
        size = { box.right - box.left, box.bottom - box.top };
    }
    CloseElementStyle(L"table");
    return size;
}

void CPPHtmlDrawer::DrawRow(std::wstring_view text, Table& table, const std::vector<int>& columnWidths, const RECT& inner, int row)
{
    OpenElementStyle(L"tr", text, false, nullptr);
    const int columns = static_cast<int>(columnWidths.size());
    const int rows = static_cast<int>(table.rowHeights.size());
    const int spacing = std::clamp(m_style.cellSpacing, 0, 1000);
    std::vector<Cell>& cells = table.rows[row];
    int column = 0;
    for (size_t cell = FindHtmlCell(text, 0, text.size()); cell != std::wstring_view::npos;) {
        size_t cellEnd = FindHtmlCellEnd(text, cell, text.size());
        while (column < columns && cells[column].columnSpan < 0)
            ++column;
        // A cell past the counted columns has no slot in the model.
        if (column >= columns)
            break;
        Cell& record = cells[column];
        RECT rect {};
        if (!m_measuring) {
            int columnSpan = std::max(record.columnSpan, 1), rowSpan = std::max(record.rowSpan, 1);
            rect.left = inner.left + spacing;
            for (int c = 0; c < column; ++c)
                rect.left += columnWidths[c] + spacing + 1;
            rect.right = rect.left + SpanSum(columnWidths, column, columnSpan) + (spacing + 1) * (columnSpan - 1);
            rect.top = inner.top + spacing;
            for (int r = 0; r < row; ++r)
                rect.top += table.rowHeights[r] + spacing + 1;
            rect.bottom = rect.top + SpanSum(table.rowHeights, row, rowSpan) + (spacing + 1) * (rowSpan - 1);
        }
        PPHtmlValueParser::Spans spans = DrawCell(text.substr(cell, cellEnd - cell), rect, record);
        if (m_measuring) {
            // Spans are held to the grid, so covering never writes outside the model.
            record.columnSpan = std::clamp(spans.columns, 1, columns - column);
            record.rowSpan = std::clamp(spans.rows, 1, rows - row);
            for (int c = 1; c < record.columnSpan; ++c)
                cells[column + c].columnSpan = cells[column + c].rowSpan = -1;
            for (int r = 1; r < record.rowSpan; ++r)
                table.rows[row + r][column].columnSpan = table.rows[row + r][column].rowSpan = -1;
        }
        column += std::max(record.columnSpan, 1);
        cell = FindHtmlCell(text, cellEnd, text.size());
    }
    CloseElementStyle(L"tr");
}

PPHtmlValueParser::Spans CPPHtmlDrawer::DrawCell(std::wstring_view text, RECT rect, Cell& cell)
{
    PPHtmlValueParser::Spans spans;
    OpenElementStyle(L"td", text, false, &spans);
    const PPHtmlStyle style = m_style;
    const int declaredWidth = std::clamp(style.width, 0, 100000), declaredHeight = std::clamp(style.height, 0, 100000);
    const int inset = std::clamp(style.borderWidth, 0, 1000) + std::clamp(style.cellPadding, 0, 1000);
    if (m_measuring) {
        cell.contentWidth = declaredWidth;
        cell.contentHeight = 0;
        cell.fixed = declaredWidth > 0;
    } else {
        if (style.backgroundEffect >= 0)
            m_drawManager.PaintBackground(m_dc, style.backgroundEffect, &rect, style.backgroundColor, style.backgroundMidColor,
                style.backgroundEndColor, 0, 0);
        bool enabled = m_values.ColorsEnabled();
        CPPDrawManager::PaintFrame(m_dc, &rect, enabled ? style.borderColorDark : m_values.DisabledColor(),
            enabled ? style.borderColorLight : m_values.DisabledColor(), style.borderStyle, 1);
        InflateRect(&rect, -inset, -inset);
        if (style.verticalAlign == 1)
            rect.top += (rect.bottom - cell.contentHeight - rect.top) / 2;
        else if (style.verticalAlign == 2)
            rect.top = rect.bottom - cell.contentHeight;
    }
    SIZE content = LayoutContent(AfterTag(text), rect);
    if (m_measuring) {
        cell.contentWidth = std::max<int>(cell.contentWidth, content.cx);
        cell.contentHeight = content.cy;
        cell.width = std::max(cell.contentWidth, declaredWidth) + 2 * inset;
        cell.height = std::max(cell.contentHeight, declaredHeight) + 2 * inset;
    }
    CloseElementStyle(L"td");
    return spans;
}
