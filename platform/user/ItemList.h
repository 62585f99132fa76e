#pragma once
// The items of a list box and of a combo box's drop-down list (internal to platform/user): texts,
// item data, sorted insertion, searches, the one selected item, the first visible item and the
// type-ahead search. No windows here; the list box turns messages into these calls.

#include "platform/base/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace fln::user {

class ItemList {
public:
    static constexpr int kNone = -1;

    struct Item {
        std::wstring text;
        ULONG_PTR data = 0;
    };

    explicit ItemList(bool sorted = false) : m_sorted(sorted) { }

    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsValid(int index) const { return index >= 0 && index < Count(); }
    const Item& At(int index) const { return m_items[static_cast<size_t>(index)]; }

    // Adds where the sort order puts it (case-insensitive), or at the end; returns its index.
    int Add(std::wstring text, ULONG_PTR data = 0);
    // Inserts before `index` (-1: at the end), unsorted; kNone when the index is out of range.
    int Insert(int index, std::wstring text, ULONG_PTR data = 0);
    bool Delete(int index);
    void Reset();
    bool SetData(int index, ULONG_PTR data);

    // Searches start after `after` (kNone: from the first item), wrap around once and ignore case;
    // kNone when nothing matches. FindData compares item data (lists that keep no texts).
    int FindPrefix(std::wstring_view prefix, int after) const;
    int FindExact(std::wstring_view text, int after) const;
    int FindData(ULONG_PTR data, int after) const;

    int Selection() const { return m_selection; }
    // kNone clears the selection; false when the index is out of range.
    bool Select(int index);

    int TopIndex() const { return m_top; }
    // Keeps a full page at the bottom when it can: 0 <= top <= Count() - visible.
    void SetTopIndex(int index, int visible);
    // Scrolls as little as needed to show the item; returns whether the top index changed.
    bool ScrollIntoView(int index, int visible);

    // A typed character: characters typed within `timeout` milliseconds of each other make a
    // prefix that is searched from the selected item on; a lone character moves to the next item
    // that starts with it. Returns the item found, or kNone (the selection is not changed here).
    int TypeAhead(wchar_t typed, DWORD time, DWORD timeout);

private:
    int Find(int after, bool (*matches)(const Item&, const void*), const void* key) const;
    int FirstOnOrAfter(int start, std::wstring_view prefix) const;

    std::vector<Item> m_items;
    bool m_sorted = false;
    int m_selection = kNone;
    int m_top = 0;
    std::wstring m_typed;
    DWORD m_lastTyped = 0;
};

// Case-insensitive ordering of item texts: < 0, 0 or > 0.
int CompareItemTexts(std::wstring_view a, std::wstring_view b);

} // namespace fln::user
