#include "platform/base/Collections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Item {
    int id;
};

class CNamed : public CObject {
    DECLARE_DYNAMIC(CNamed)
public:
    explicit CNamed(int n = 0) : number(n) {}
    int number;
};
IMPLEMENT_DYNAMIC(CNamed, CObject)

template <typename List>
std::vector<int> Forward(const List& list)
{
    std::vector<int> out;
    for (POSITION at = list.GetHeadPosition(); at;) out.push_back(static_cast<Item*>(list.GetNext(at))->id);
    return out;
}

TEST(CollectionsTest, TypedPointerArraysHandOutTheirType)
{
    Item a { 1 }, b { 2 }, c { 3 };
    CTypedPtrArray<CPtrArray, Item*> items;
    items.SetSize(0, 25);
    items.Add(&a);
    items.Add(&c);
    items.InsertAt(1, &b);
    items.SetAtGrow(4, &a);
    ASSERT_EQ(items.GetSize(), 5);
    EXPECT_EQ(items[1]->id, 2);
    EXPECT_EQ(items.GetAt(3), nullptr);  // the gap SetAtGrow made
    items.ElementAt(3) = &c;
    EXPECT_EQ(items[3]->id, 3);
    items.RemoveAt(0, 2);
    EXPECT_EQ(items[0]->id, 3);
    EXPECT_THROW(items.GetAt(9), std::out_of_range);
    EXPECT_TRUE(items.IsKindOf(RUNTIME_CLASS(CPtrArray)));

    CTypedPtrArray<CObArray, CNamed*> objects;
    CNamed first(10);
    objects.Add(&first);
    EXPECT_EQ(objects[0]->number, 10);

    CDWordArray numbers;
    numbers.SetSize(100);
    numbers[99] = 0xFFFFFFFF;
    EXPECT_EQ(numbers.GetAt(99), 0xFFFFFFFFu);
    EXPECT_EQ(numbers.GetAt(0), 0u);
}

TEST(CollectionsTest, ListsWalkAndChangeByPosition)
{
    Item a { 1 }, b { 2 }, c { 3 }, d { 4 };
    CPtrList list(10);
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_THROW(list.GetHead(), std::out_of_range);
    list.AddTail(&b);
    list.AddHead(&a);
    POSITION at = list.AddTail(&d);
    list.InsertBefore(at, &c);
    EXPECT_EQ(Forward(list), (std::vector<int> { 1, 2, 3, 4 }));

    // Walking backwards, and removing the element just returned.
    std::vector<int> backwards;
    for (POSITION p = list.GetTailPosition(); p;) {
        POSITION current = p;
        backwards.push_back(static_cast<Item*>(list.GetPrev(p))->id);
        if (backwards.back() % 2 == 0) list.RemoveAt(current);
    }
    EXPECT_EQ(backwards, (std::vector<int> { 4, 3, 2, 1 }));
    EXPECT_EQ(Forward(list), (std::vector<int> { 1, 3 }));

    EXPECT_EQ(list.Find(&c), list.GetTailPosition());
    EXPECT_EQ(list.Find(&c, list.GetTailPosition()), nullptr);
    EXPECT_EQ(list.FindIndex(1), list.GetTailPosition());
    EXPECT_EQ(list.FindIndex(2), nullptr);
    EXPECT_EQ(static_cast<Item*>(list.RemoveHead())->id, 1);
    EXPECT_EQ(list.GetCount(), 1);
    list.InsertAfter(list.GetHeadPosition(), &d);
    EXPECT_EQ(Forward(list), (std::vector<int> { 3, 4 }));

    CPtrList other;
    other.AddTail(&a);
    list.AddHead(&other);
    list.AddTail(&other);
    EXPECT_EQ(Forward(list), (std::vector<int> { 1, 3, 4, 1 }));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(CollectionsTest, TypedListsAndStringLists)
{
    Item a { 1 }, b { 2 };
    CTypedPtrList<CPtrList, Item*> items;
    items.AddTail(&a);
    items.AddTail(&b);
    EXPECT_EQ(items.GetHead()->id, 1);
    EXPECT_EQ(items.GetTail()->id, 2);
    POSITION at = items.GetHeadPosition();
    Item* first = items.GetNext(at);
    EXPECT_EQ(first, &a);
    EXPECT_EQ(items.GetAt(at), &b);
    EXPECT_EQ(items.RemoveTail(), &b);

    CStringList names;
    names.AddTail(L"beta");
    names.AddHead(L"alpha");
    EXPECT_EQ(names.GetHead(), L"alpha");
    EXPECT_NE(names.Find(L"beta"), nullptr);
    EXPECT_EQ(names.Find(L"BETA"), nullptr);
}

TEST(CollectionsTest, MapsLookUpSetRemoveAndWalkEveryEntryOnce)
{
    CMap<UINT, UINT, DWORD, DWORD> masks(10);
    masks.InitHashTable(17);
    for (UINT id = 0; id < 500; ++id) masks.SetAt(id * 7, id);
    masks[7] = 1000;  // replaces
    EXPECT_EQ(masks.GetCount(), 500);
    DWORD value = 0;
    EXPECT_TRUE(masks.Lookup(7, value));
    EXPECT_EQ(value, 1000u);
    EXPECT_FALSE(masks.Lookup(8, value));
    EXPECT_EQ(masks.PLookup(8), nullptr);
    EXPECT_EQ(masks.PLookup(14)->value, 2u);

    // Removing the entry just returned while walking is allowed.
    std::set<UINT> seen;
    for (POSITION at = masks.GetStartPosition(); at;) {
        UINT key;
        DWORD mask;
        masks.GetNextAssoc(at, key, mask);
        EXPECT_TRUE(seen.insert(key).second);
        if (key % 2) masks.RemoveKey(key);
    }
    EXPECT_EQ(seen.size(), 500u);
    EXPECT_EQ(masks.GetCount(), 250);
    EXPECT_FALSE(masks.RemoveKey(7));
    masks.RemoveAll();
    EXPECT_EQ(masks.GetStartPosition(), nullptr);
}

TEST(CollectionsTest, StringKeyedMapsCompareExactlyAndTypedMapsConvert)
{
    CMapStringToString lower;
    lower[L"Dim"] = L"dim";
    CString found;
    EXPECT_TRUE(lower.Lookup(L"Dim", found));
    EXPECT_EQ(found, L"dim");
    EXPECT_FALSE(lower.Lookup(L"DIM", found));

    CNamed window(5);
    CTypedPtrMap<CMapStringToPtr, CString, CNamed*> windows;
    windows.SetAt(L"main", &window);
    windows[L"none"] = nullptr;
    CNamed* result = nullptr;
    EXPECT_TRUE(windows.Lookup(L"main", result));
    EXPECT_EQ(result->number, 5);
    int entries = 0;
    for (POSITION at = windows.GetStartPosition(); at; ++entries) {
        CString key;
        CNamed* value;
        windows.GetNextAssoc(at, key, value);
        EXPECT_EQ(value, key == L"main" ? &window : nullptr);
    }
    EXPECT_EQ(entries, 2);

    Item data { 9 };
    CTypedPtrMap<CMapPtrToPtr, Item*, void*> set;
    set[&data] = nullptr;
    void* unused;
    EXPECT_TRUE(set.Lookup(&data, unused));
    EXPECT_TRUE(set.RemoveKey(&data));
    EXPECT_TRUE(set.IsEmpty());
}

} // namespace
