#include "commandbars/ToolBarLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace fln::commandbars;

// Items from a picture: 'b' a button 23 wide, '|' a separator 8 wide, 'W' a button 50 wide.
std::vector<ToolBarItem> Items(const std::string& picture)
{
    std::vector<ToolBarItem> items;
    for (char c : picture)
        items.push_back(c == '|' ? ToolBarItem { 8, 22, true } : ToolBarItem { c == 'W' ? 50 : 23, 22, false });
    return items;
}

// The rows as a picture: the items of each row, rows separated by spaces.
std::string Picture(const std::string& items, const std::vector<ToolBarRow>& rows)
{
    std::string result;
    int first = 0;
    for (const ToolBarRow& row : rows) {
        if (!result.empty())
            result += ' ';
        result += items.substr(first, row.last - first + 1);
        first = row.last + 1;
    }
    return result;
}

TEST(ToolBarLayoutTest, WrappingBreaksAtTheLastSeparatorOfARowOrBeforeTheOverflow)
{
    struct Case {
        const char* name;
        const char* items;
        int length;
        const char* rows;
    };
    const Case cases[] = {
        { "everything fits", "bb|bb", 200, "bb|bb" },
        { "two pixels of slack", "bbb", 67, "bbb" },
        { "one pixel too many", "bbb", 66, "bb b" },
        { "at the separator, not before the overflow", "b|bbb", 80, "b| bbb" },
        { "the overflowing separator itself ends the row", "bb|b", 47, "bb| b" },
        { "narrower than a button: one a row", "b|bb|bbb", 0, "b| b b| b b b" },
        { "a wide button stays alone in its row", "bWb", 30, "b W b" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Picture(c.items, WrapToolBar(Items(c.items), c.length)), c.rows) << c.name;
}

TEST(ToolBarLayoutTest, ARowEndingAtASeparatorIsMeasuredWithoutIt)
{
    const auto rows = WrapToolBar(Items("bb|bWb"), 60);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_TRUE(rows[0].endsAtSeparator);
    EXPECT_EQ(rows[0].width, 46);
    EXPECT_EQ(rows[0].height, 22);
    EXPECT_FALSE(rows[1].endsAtSeparator);
    EXPECT_EQ(rows[1].width, 23);
    EXPECT_EQ(RowsSize(rows, {}), CSize(50, 4 * 22 + 8));
}

TEST(ToolBarLayoutTest, BalancingEvensOutTheRows)
{
    struct Case {
        const char* name;
        const char* items;
        int length;
        const char* rows;
    };
    const Case cases[] = {
        { "a lone last button gets company", "bbbbb", 92, "bbb bb" },
        { "rows that cannot be evener stay", "bbbbbbb", 92, "bbbb bbb" },
        { "a trailing group moves down, and the next would make things wider", "bb|bbb|bbb|b", 200, "bb|bbb| bbb|b" },
        { "a row without an inner separator keeps its buttons", "b|bbbbb|b", 140, "b| bbbbb| b" },
    };
    for (const Case& c : cases) {
        const auto items = Items(c.items);
        auto rows = WrapToolBar(items, c.length);
        BalanceRows(items, rows);
        EXPECT_EQ(Picture(c.items, rows), c.rows) << c.name;
    }
}

TEST(ToolBarLayoutTest, AVerticalBarFillsTheHeightWithTheFewestColumns)
{
    const ToolBarMetrics metrics;
    const auto items = Items("bbbbbbbb");
    struct Case {
        int height;
        CSize size;
    };
    const Case cases[] = {
        { 0, CSize(23, 8 * 22) },       // no height to fill: one button a row
        { 8 * 22, CSize(23, 8 * 22) },  // room for all in one column
        { 4 * 22, CSize(46, 4 * 22) },  // two columns
        { 3 * 22, CSize(69, 3 * 22) },  // three
        { 10, CSize(8 * 23, 22) },      // less than a button: one row
    };
    for (const Case& c : cases) {
        const auto rows = ArrangeRows(items, c.height, true, metrics);
        EXPECT_EQ(RowsSize(rows, metrics), c.size) << c.height;
    }
}

TEST(ToolBarLayoutTest, AHorizontalBarIsNeverNarrowerThanItsWidestButton)
{
    const auto rows = ArrangeRows(Items("bWb"), 10, false, {});
    EXPECT_EQ(RowsSize(rows, {}), CSize(50, 3 * 22));
    EXPECT_TRUE(ArrangeRows({}, 100, false, {}).empty());
}

} // namespace
