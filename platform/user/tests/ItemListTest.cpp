#include "platform/user/ItemList.h"

#include <gtest/gtest.h>

#include <initializer_list>

using fln::user::ItemList;

namespace {

ItemList Filled(std::initializer_list<const wchar_t*> texts, bool sorted = false)
{
    ItemList list(sorted);
    ULONG_PTR data = 100;
    for (const wchar_t* text : texts)
        list.Add(text, data++);
    return list;
}

std::wstring Texts(const ItemList& list)
{
    std::wstring all;
    for (int i = 0; i < list.Count(); ++i)
        all += (i ? L"," : L"") + list.At(i).text;
    return all;
}

} // namespace

TEST(ItemList, SortedListsPlaceItemsIgnoringCaseAndKeepEqualOnesInArrivalOrder)
{
    ItemList sorted = Filled({ L"pear", L"Apple", L"banana", L"apple", L"Pear", L"" }, true);
    EXPECT_EQ(Texts(sorted), L",Apple,apple,banana,pear,Pear");
    ItemList unsorted = Filled({ L"pear", L"Apple", L"banana" });
    EXPECT_EQ(Texts(unsorted), L"pear,Apple,banana");
    // Inserting ignores the order even in a sorted list; the item data travels with the text.
    EXPECT_EQ(sorted.Insert(1, L"zebra", 7), 1);
    EXPECT_EQ(sorted.At(1).data, 7u);
    EXPECT_EQ(sorted.At(2).text, L"Apple");
}

TEST(ItemList, InsertAndDeleteRejectIndexesOutOfRange)
{
    ItemList list = Filled({ L"a", L"b" });
    struct Case {
        int index;
        int expected;
    };
    for (Case c : { Case { -1, 2 }, Case { 0, 0 }, Case { 4, ItemList::kNone }, Case { -2, ItemList::kNone } }) {
        ItemList copy = list;
        EXPECT_EQ(copy.Insert(c.index, L"x"), c.expected) << c.index;
    }
    for (int bad : { -1, 2, 99 })
        EXPECT_FALSE(list.Delete(bad)) << bad;
    EXPECT_FALSE(list.SetData(2, 1));
    EXPECT_EQ(Texts(list), L"a,b");
}

TEST(ItemList, TheSelectionFollowsItsItemThroughInsertsAndDeletes)
{
    struct Case {
        const char* what;
        void (*change)(ItemList&);
        int expected;
    };
    const Case cases[] = {
        { "insert before", [](ItemList& l) { l.Insert(0, L"x"); }, 3 },
        { "insert at it", [](ItemList& l) { l.Insert(2, L"x"); }, 3 },
        { "insert after", [](ItemList& l) { l.Insert(3, L"x"); }, 2 },
        { "delete before", [](ItemList& l) { l.Delete(1); }, 1 },
        { "delete it", [](ItemList& l) { l.Delete(2); }, ItemList::kNone },
        { "delete after", [](ItemList& l) { l.Delete(3); }, 2 },
        { "reset", [](ItemList& l) { l.Reset(); }, ItemList::kNone },
        { "select out of range", [](ItemList& l) { EXPECT_FALSE(l.Select(4)); }, 2 },
        { "select none", [](ItemList& l) { EXPECT_TRUE(l.Select(ItemList::kNone)); }, ItemList::kNone },
    };
    for (const Case& c : cases) {
        ItemList list = Filled({ L"a", L"b", L"c", L"d" });
        ASSERT_TRUE(list.Select(2));
        c.change(list);
        EXPECT_EQ(list.Selection(), c.expected) << c.what;
    }
}

TEST(ItemList, SearchesStartAfterTheGivenItemWrapAroundAndIgnoreCase)
{
    ItemList list = Filled({ L"Alpha", L"beta", L"alphabet", L"Gamma", L"ALPHA" });
    struct Case {
        const wchar_t* text;
        int after;
        int prefix;
        int exact;
    };
    const Case cases[] = {
        { L"alpha", ItemList::kNone, 0, 0 },
        { L"alpha", 0, 2, 4 },
        { L"alpha", 2, 4, 4 },
        { L"alpha", 4, 0, 0 },     // wraps to the start
        { L"ALPHAB", -1, 2, ItemList::kNone },
        { L"g", 3, 3, ItemList::kNone }, // comes back round to the start item itself
        { L"delta", -1, ItemList::kNone, ItemList::kNone },
        { L"", 1, 2, ItemList::kNone }, // the empty prefix fits the next item
        { L"beta", 99, 1, 1 },     // an index out of range searches from the start
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list.FindPrefix(c.text, c.after), c.prefix) << c.text << " after " << c.after;
        EXPECT_EQ(list.FindExact(c.text, c.after), c.exact) << c.text << " after " << c.after;
    }
    EXPECT_EQ(list.FindData(103, ItemList::kNone), 3);
    EXPECT_EQ(list.FindData(103, 3), 3);
    EXPECT_EQ(list.FindData(5, ItemList::kNone), ItemList::kNone);
    EXPECT_EQ(ItemList().FindPrefix(L"", ItemList::kNone), ItemList::kNone);
}

TEST(ItemList, TheTopIndexKeepsAFullPageAndScrollsItemsIntoView)
{
    ItemList list = Filled({ L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9" });
    struct Case {
        int top;
        int visible;
        int expected;
    };
    for (Case c : { Case { 3, 4, 3 }, Case { 8, 4, 6 }, Case { -5, 4, 0 }, Case { 9, 20, 0 }, Case { 9, 0, 9 } }) {
        list.SetTopIndex(c.top, c.visible);
        EXPECT_EQ(list.TopIndex(), c.expected) << c.top << " showing " << c.visible;
    }
    list.SetTopIndex(4, 3);
    EXPECT_FALSE(list.ScrollIntoView(5, 3));
    EXPECT_TRUE(list.ScrollIntoView(8, 3));
    EXPECT_EQ(list.TopIndex(), 6);
    EXPECT_TRUE(list.ScrollIntoView(1, 3));
    EXPECT_EQ(list.TopIndex(), 1);
    EXPECT_FALSE(list.ScrollIntoView(10, 3));
    // Deleting the last items never leaves the top past the end.
    list.SetTopIndex(9, 1);
    list.Delete(9);
    EXPECT_EQ(list.TopIndex(), 8);
}

TEST(ItemList, TypeAheadBuildsAPrefixWhileTypingIsQuickAndCyclesOnOneLetter)
{
    constexpr DWORD timeout = 1000;
    struct Step {
        wchar_t typed;
        DWORD time;
        int expected;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    // 0 apple, 1 apricot, 2 avocado, 3 banana, 4 blueberry, 5 cherry
    const Case cases[] = {
        { "a prefix narrows", { { L'a', 0, 0 }, { L'p', 100, 0 }, { L'r', 200, 1 } } },
        { "one letter cycles", { { L'a', 0, 0 }, { L'a', 2000, 1 }, { L'a', 4000, 2 }, { L'a', 6000, 0 } } },
        { "a repeated letter typed quickly cycles too", { { L'b', 0, 3 }, { L'b', 100, 4 } } },
        { "a pause starts over", { { L'b', 0, 3 }, { L'l', 100, 4 }, { L'c', 5000, 5 } } },
        { "upper case finds lower", { { L'C', 0, 5 } } },
        { "nothing fits", { { L'z', 0, ItemList::kNone }, { L'a', 100, 0 } } },
    };
    for (const Case& c : cases) {
        ItemList list = Filled({ L"apple", L"apricot", L"avocado", L"banana", L"blueberry", L"cherry" });
        for (const Step& step : c.steps) {
            int found = list.TypeAhead(step.typed, step.time, timeout);
            EXPECT_EQ(found, step.expected) << c.what << ": '" << static_cast<char>(step.typed) << "' at " << step.time;
            if (found != ItemList::kNone)
                list.Select(found);
        }
    }
}
