#include "platform/user/ItemList.h"

#include <algorithm>
#include <cwctype>

namespace fln::user {

int CompareItemTexts(std::wstring_view a, std::wstring_view b)
{
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        wint_t x = std::towlower(a[i]), y = std::towlower(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix)
{
    return text.size() >= prefix.size() && CompareItemTexts(text.substr(0, prefix.size()), prefix) == 0;
}

} // namespace

int ItemList::Add(std::wstring text, ULONG_PTR data)
{
    int index = Count();
    if (m_sorted) {
        // After the items that sort equal, so that equal texts keep the order they came in.
        auto place = std::upper_bound(m_items.begin(), m_items.end(), text, [](const std::wstring& t, const Item& item) {
            return CompareItemTexts(t, item.text) < 0;
        });
        index = static_cast<int>(place - m_items.begin());
    }
    return Insert(index, std::move(text), data);
}

int ItemList::Insert(int index, std::wstring text, ULONG_PTR data)
{
    if (index == kNone)
        index = Count();
    if (index < 0 || index > Count())
        return kNone;
    m_items.insert(m_items.begin() + index, Item { std::move(text), data });
    if (m_selection >= index)
        ++m_selection;
    return index;
}

bool ItemList::Delete(int index)
{
    if (!IsValid(index))
        return false;
    m_items.erase(m_items.begin() + index);
    if (m_selection == index)
        m_selection = kNone;
    else if (m_selection > index)
        --m_selection;
    m_top = std::clamp(m_top, 0, std::max(0, Count() - 1));
    return true;
}

void ItemList::Reset()
{
    m_items.clear();
    m_selection = kNone;
    m_top = 0;
    m_typed.clear();
}

bool ItemList::SetData(int index, ULONG_PTR data)
{
    if (!IsValid(index))
        return false;
    m_items[static_cast<size_t>(index)].data = data;
    return true;
}

int ItemList::Find(int after, bool (*matches)(const Item&, const void*), const void* key) const
{
    int count = Count();
    int start = IsValid(after) ? after + 1 : 0;
    for (int step = 0; step < count; ++step) {
        int index = (start + step) % count;
        if (matches(At(index), key))
            return index;
    }
    return kNone;
}

int ItemList::FindPrefix(std::wstring_view prefix, int after) const
{
    return Find(after, [](const Item& item, const void* key) { return StartsWith(item.text, *static_cast<const std::wstring_view*>(key)); }, &prefix);
}

int ItemList::FindExact(std::wstring_view text, int after) const
{
    return Find(after, [](const Item& item, const void* key) { return CompareItemTexts(item.text, *static_cast<const std::wstring_view*>(key)) == 0; }, &text);
}

int ItemList::FindData(ULONG_PTR data, int after) const
{
    return Find(after, [](const Item& item, const void* key) { return item.data == *static_cast<const ULONG_PTR*>(key); }, &data);
}

bool ItemList::Select(int index)
{
    if (index != kNone && !IsValid(index))
        return false;
    m_selection = index;
    return true;
}

void ItemList::SetTopIndex(int index, int visible)
{
    m_top = std::clamp(index, 0, std::max(0, Count() - std::max(visible, 1)));
}

bool ItemList::ScrollIntoView(int index, int visible)
{
    if (!IsValid(index))
        return false;
    int old = m_top;
    visible = std::max(visible, 1);
    if (index < m_top)
        SetTopIndex(index, visible);
    else if (index >= m_top + visible)
        SetTopIndex(index - visible + 1, visible);
    return m_top != old;
}

int ItemList::FirstOnOrAfter(int start, std::wstring_view prefix) const
{
    return FindPrefix(prefix, IsValid(start) ? start - 1 : kNone);
}

int ItemList::TypeAhead(wchar_t typed, DWORD time, DWORD timeout)
{
    bool continues = !m_typed.empty() && time - m_lastTyped <= timeout;
    m_lastTyped = time;
    if (continues) {
        m_typed += typed;
        // A longer prefix may still fit the selected item, so the search includes it.
        int found = FirstOnOrAfter(m_selection, m_typed);
        if (found != kNone)
            return found;
    }
    // A lone character, or a prefix that fits nothing: start over with this character, which
    // steps to the next item starting with it (so typing one letter again cycles through them).
    m_typed.assign(1, typed);
    return FindPrefix(m_typed, m_selection);
}

} // namespace fln::user
