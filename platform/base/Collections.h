#pragma once
// The collection classes beside CArray: arrays of pointers and numbers, doubly linked lists and
// hash maps walked with POSITION values, their type-safe pointer wrappers, and their archive form.
//
// A POSITION stays valid until its element is removed; removing the element a walk has just
// returned is safe (GetNext and GetNextAssoc have already moved on). Reaching past the ends
// (GetHead of an empty list, a null POSITION, an index out of range) throws std::out_of_range.

#include "platform/base/Archive.h"
#include "platform/base/Array.h"
#include "platform/base/CString.h"
#include "platform/base/RunTimeClass.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <type_traits>
#include <vector>

struct FlnPosition;
using POSITION = FlnPosition*;
inline POSITION const BEFORE_START_POSITION = reinterpret_cast<POSITION>(static_cast<intptr_t>(-1));

// ---- arrays ----

// CArray's interface on a CObject, so that it has a run-time class and an archive form.
// growBy in the constructors and SetSize is accepted for compatibility.
template <typename TYPE>
class CObjectArray : public CObject, public CArray<TYPE, TYPE> {
public:
    // Loading grows the array one element at a time, so that a damaged count runs into the end
    // of the archive instead of demanding a huge array.
    void Serialize(CArchive& archive) override
    {
        if (archive.IsStoring()) {
            archive.WriteCount(static_cast<DWORD_PTR>(this->GetSize()));
            SerializeElements(archive, this->GetData(), this->GetSize());
            return;
        }
        this->RemoveAll();
        for (DWORD_PTR count = archive.ReadCount(); count > 0; --count) {
            TYPE element {};
            SerializeElements(archive, &element, 1);
            this->Add(element);
        }
    }
};

class CPtrArray : public CObjectArray<void*> {
    DECLARE_DYNAMIC(CPtrArray)
};
class CObArray : public CObjectArray<CObject*> {
    DECLARE_SERIAL(CObArray)
};
class CDWordArray : public CObjectArray<DWORD> {
    DECLARE_SERIAL(CDWordArray)
};
class CUIntArray : public CObjectArray<UINT> {
    DECLARE_DYNAMIC(CUIntArray)
};
class CWordArray : public CObjectArray<WORD> {
    DECLARE_SERIAL(CWordArray)
};
class CByteArray : public CObjectArray<BYTE> {
    DECLARE_SERIAL(CByteArray)
};

// An array of TYPE pointers on CPtrArray or CObArray.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(INT_PTR index) const { return static_cast<TYPE>(BASE_CLASS::GetAt(index)); }
    TYPE& ElementAt(INT_PTR index) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(index)); }
    void SetAt(INT_PTR index, TYPE element) { BASE_CLASS::SetAt(index, element); }
    void SetAtGrow(INT_PTR index, TYPE element) { BASE_CLASS::SetAtGrow(index, element); }
    INT_PTR Add(TYPE element) { return BASE_CLASS::Add(element); }
    INT_PTR Append(const CTypedPtrArray& other) { return BASE_CLASS::Append(other); }
    void Copy(const CTypedPtrArray& other) { BASE_CLASS::Copy(other); }
    void InsertAt(INT_PTR index, TYPE element, INT_PTR count = 1) { BASE_CLASS::InsertAt(index, element, count); }
    TYPE operator[](INT_PTR index) const { return GetAt(index); }
    TYPE& operator[](INT_PTR index) { return ElementAt(index); }
};

// ---- lists ----

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
public:
    explicit CList(INT_PTR blockSize = 10) { (void)blockSize; }
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_count; }
    INT_PTR GetSize() const { return m_count; }
    BOOL IsEmpty() const { return m_count == 0; }

    TYPE& GetHead() { return Checked(m_head)->data; }
    const TYPE& GetHead() const { return Checked(m_head)->data; }
    TYPE& GetTail() { return Checked(m_tail)->data; }
    const TYPE& GetTail() const { return Checked(m_tail)->data; }

    TYPE RemoveHead()
    {
        Node* node = Checked(m_head);
        TYPE data = std::move(node->data);
        Unlink(node);
        return data;
    }
    TYPE RemoveTail()
    {
        Node* node = Checked(m_tail);
        TYPE data = std::move(node->data);
        Unlink(node);
        return data;
    }

    POSITION AddHead(ARG_TYPE element) { return InsertBefore(GetHeadPosition(), element); }
    POSITION AddTail(ARG_TYPE element) { return InsertAfter(GetTailPosition(), element); }
    void AddHead(const CList* other)
    {
        for (Node* node = other ? other->m_tail : nullptr; node; node = node->prev) AddHead(node->data);
    }
    void AddTail(const CList* other)
    {
        for (Node* node = other ? other->m_head : nullptr; node; node = node->next) AddTail(node->data);
    }

    void RemoveAll()
    {
        while (m_head) Unlink(m_head);
    }

    POSITION GetHeadPosition() const { return ToPosition(m_head); }
    POSITION GetTailPosition() const { return ToPosition(m_tail); }
    TYPE& GetNext(POSITION& position)
    {
        Node* node = Checked(FromPosition(position));
        position = ToPosition(node->next);
        return node->data;
    }
    const TYPE& GetNext(POSITION& position) const
    {
        Node* node = Checked(FromPosition(position));
        position = ToPosition(node->next);
        return node->data;
    }
    TYPE& GetPrev(POSITION& position)
    {
        Node* node = Checked(FromPosition(position));
        position = ToPosition(node->prev);
        return node->data;
    }
    const TYPE& GetPrev(POSITION& position) const
    {
        Node* node = Checked(FromPosition(position));
        position = ToPosition(node->prev);
        return node->data;
    }
    TYPE& GetAt(POSITION position) { return Checked(FromPosition(position))->data; }
    const TYPE& GetAt(POSITION position) const { return Checked(FromPosition(position))->data; }
    void SetAt(POSITION position, ARG_TYPE element) { Checked(FromPosition(position))->data = element; }
    void RemoveAt(POSITION position) { Unlink(Checked(FromPosition(position))); }

    // A null position inserts at the head (InsertBefore) or the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE element)
    {
        Node* next = position ? FromPosition(position) : m_head;
        Node* node = new Node { next ? next->prev : m_tail, next, TYPE(element) };
        Link(node);
        return ToPosition(node);
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE element)
    {
        Node* prev = position ? FromPosition(position) : m_tail;
        Node* node = new Node { prev, prev ? prev->next : m_head, TYPE(element) };
        Link(node);
        return ToPosition(node);
    }

    // The first element equal to value after startAfter (from the head when null).
    POSITION Find(ARG_TYPE value, POSITION startAfter = nullptr) const
    {
        Node* node = startAfter ? FromPosition(startAfter)->next : m_head;
        for (; node; node = node->next)
            if (node->data == value) return ToPosition(node);
        return nullptr;
    }
    // The position of the index-th element, or null.
    POSITION FindIndex(INT_PTR index) const
    {
        if (index < 0 || index >= m_count) return nullptr;
        Node* node = m_head;
        while (index-- > 0) node = node->next;
        return ToPosition(node);
    }

    void Serialize(CArchive& archive) override
    {
        if (archive.IsStoring()) {
            archive.WriteCount(static_cast<DWORD_PTR>(m_count));
            for (Node* node = m_head; node; node = node->next) SerializeElements(archive, &node->data, 1);
        } else {
            for (DWORD_PTR count = archive.ReadCount(); count > 0; --count) {
                TYPE element {};
                SerializeElements(archive, &element, 1);
                AddTail(element);
            }
        }
    }

private:
    struct Node {
        Node* prev;
        Node* next;
        TYPE data;
    };

    static POSITION ToPosition(Node* node) { return reinterpret_cast<POSITION>(node); }
    static Node* FromPosition(POSITION position) { return reinterpret_cast<Node*>(position); }
    static Node* Checked(Node* node)
    {
        if (!node) throw std::out_of_range("CList: no element at this position");
        return node;
    }

    void Link(Node* node)
    {
        (node->prev ? node->prev->next : m_head) = node;
        (node->next ? node->next->prev : m_tail) = node;
        ++m_count;
    }
    void Unlink(Node* node)
    {
        (node->prev ? node->prev->next : m_head) = node->next;
        (node->next ? node->next->prev : m_tail) = node->prev;
        --m_count;
        delete node;
    }

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    INT_PTR m_count = 0;
};

class CPtrList : public CList<void*, void*> {
    DECLARE_DYNAMIC(CPtrList)
public:
    using CList::CList;
};
class CObList : public CList<CObject*, CObject*> {
    DECLARE_SERIAL(CObList)
public:
    using CList::CList;
};
class CStringList : public CList<CString, LPCWSTR> {
    DECLARE_SERIAL(CStringList)
public:
    using CList::CList;
};

// A list of TYPE pointers on CPtrList or CObList.
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
public:
    using BASE_CLASS::BASE_CLASS;

    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    POSITION AddHead(TYPE element) { return BASE_CLASS::AddHead(element); }
    POSITION AddTail(TYPE element) { return BASE_CLASS::AddTail(element); }
    void AddHead(const CTypedPtrList* other) { BASE_CLASS::AddHead(other); }
    void AddTail(const CTypedPtrList* other) { BASE_CLASS::AddTail(other); }
    TYPE& GetNext(POSITION& position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(position)); }
    TYPE GetNext(POSITION& position) const { return static_cast<TYPE>(BASE_CLASS::GetNext(position)); }
    TYPE& GetPrev(POSITION& position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(position)); }
    TYPE GetPrev(POSITION& position) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(position)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
    void SetAt(POSITION position, TYPE element) { BASE_CLASS::SetAt(position, element); }
    POSITION InsertBefore(POSITION position, TYPE element) { return BASE_CLASS::InsertBefore(position, element); }
    POSITION InsertAfter(POSITION position, TYPE element) { return BASE_CLASS::InsertAfter(position, element); }
    POSITION Find(TYPE value, POSITION startAfter = nullptr) const { return BASE_CLASS::Find(value, startAfter); }
};

// ---- maps ----

UINT HashText(const wchar_t* text);

// The hash of a map key: text by its characters, pointers by their address, numbers by value.
// A map of another key type needs a specialisation declared before the map is used.
template <class ARG_KEY>
UINT HashKey(ARG_KEY key)
{
    using K = std::remove_cvref_t<ARG_KEY>;
    if constexpr (std::is_convertible_v<const K&, const wchar_t*>)
        return HashText(static_cast<const wchar_t*>(key));
    else if constexpr (std::is_pointer_v<K>)
        return static_cast<UINT>(reinterpret_cast<uintptr_t>(key) >> 4);
    else if constexpr (std::is_integral_v<K> || std::is_enum_v<K>)
        return static_cast<UINT>(static_cast<ULONGLONG>(key) ^ (static_cast<ULONGLONG>(key) >> 32));
    else
        return static_cast<UINT>(std::hash<K> {}(key));
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
public:
    struct CPair {
        const KEY key;
        VALUE value;
    };
    using BaseKey = ARG_KEY;
    using BaseKeyStorage = KEY;
    using BaseValue = VALUE;

    explicit CMap(INT_PTR blockSize = 10) { (void)blockSize; }
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_count; }
    INT_PTR GetSize() const { return m_count; }
    BOOL IsEmpty() const { return m_count == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& value) const
    {
        const Node* node = Find(key);
        if (!node) return FALSE;
        value = node->pair.value;
        return TRUE;
    }
    CPair* PLookup(ARG_KEY key) { return Find(key) ? &Find(key)->pair : nullptr; }
    const CPair* PLookup(ARG_KEY key) const { return Find(key) ? &Find(key)->pair : nullptr; }

    // The value of key, added with a default value when missing.
    VALUE& operator[](ARG_KEY key)
    {
        if (Node* node = Find(key)) return node->pair.value;
        if (m_buckets.empty()) m_buckets.assign(m_hashSize, nullptr);
        if (static_cast<size_t>(m_count) >= m_buckets.size() * 2) Rehash(m_buckets.size() * 2 + 1);
        UINT hash = HashKey<ARG_KEY>(key);
        Node*& head = m_buckets[hash % m_buckets.size()];
        head = new Node { head, hash, CPair { KEY(key), VALUE() } };
        ++m_count;
        return head->pair.value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty()) return FALSE;
        UINT hash = HashKey<ARG_KEY>(key);
        for (Node** link = &m_buckets[hash % m_buckets.size()]; *link; link = &(*link)->next) {
            if ((*link)->hash == hash && (*link)->pair.key == key) {
                Node* doomed = *link;
                *link = doomed->next;
                delete doomed;
                --m_count;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (Node*& head : m_buckets) {
            while (head) {
                Node* next = head->next;
                delete head;
                head = next;
            }
        }
        m_count = 0;
    }

    // The table size to use from the first insertion; an existing table is rebuilt.
    void InitHashTable(UINT hashSize, BOOL allocateNow = TRUE)
    {
        m_hashSize = hashSize ? hashSize : 17;
        if (!m_buckets.empty() || allocateNow) Rehash(m_hashSize);
    }
    UINT GetHashTableSize() const { return static_cast<UINT>(m_buckets.empty() ? m_hashSize : m_buckets.size()); }

    POSITION GetStartPosition() const { return m_count ? BEFORE_START_POSITION : nullptr; }
    // The entry at position; position moves to the next entry (null after the last).
    void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const
    {
        const Node* node = position == BEFORE_START_POSITION ? FirstFrom(0) : reinterpret_cast<const Node*>(position);
        if (!node) throw std::out_of_range("CMap: no entry at this position");
        key = node->pair.key;
        value = node->pair.value;
        const Node* next = node->next ? node->next : FirstFrom(node->hash % m_buckets.size() + 1);
        position = reinterpret_cast<POSITION>(const_cast<Node*>(next));
    }

    void Serialize(CArchive& archive) override
    {
        if (archive.IsStoring()) {
            archive.WriteCount(static_cast<DWORD_PTR>(m_count));
            for (Node* head : m_buckets) {
                for (Node* node = head; node; node = node->next) {
                    SerializeElements(archive, const_cast<KEY*>(&node->pair.key), 1);
                    SerializeElements(archive, &node->pair.value, 1);
                }
            }
        } else {
            for (DWORD_PTR count = archive.ReadCount(); count > 0; --count) {
                KEY key {};
                VALUE value {};
                SerializeElements(archive, &key, 1);
                SerializeElements(archive, &value, 1);
                SetAt(key, value);
            }
        }
    }

private:
    struct Node {
        Node* next;
        UINT hash;
        CPair pair;
    };

    Node* Find(ARG_KEY key) const
    {
        if (m_buckets.empty()) return nullptr;
        UINT hash = HashKey<ARG_KEY>(key);
        for (Node* node = m_buckets[hash % m_buckets.size()]; node; node = node->next)
            if (node->hash == hash && node->pair.key == key) return node;
        return nullptr;
    }
    const Node* FirstFrom(size_t bucket) const
    {
        for (; bucket < m_buckets.size(); ++bucket)
            if (m_buckets[bucket]) return m_buckets[bucket];
        return nullptr;
    }
    void Rehash(size_t size)
    {
        std::vector<Node*> buckets(size, nullptr);
        for (Node* head : m_buckets) {
            while (head) {
                Node* next = head->next;
                Node*& target = buckets[head->hash % size];
                head->next = target;
                target = head;
                head = next;
            }
        }
        m_buckets = std::move(buckets);
    }

    std::vector<Node*> m_buckets;
    UINT m_hashSize = 17;
    INT_PTR m_count = 0;
};

class CMapStringToPtr : public CMap<CString, LPCWSTR, void*, void*> {
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    using CMap::CMap;
};
class CMapStringToOb : public CMap<CString, LPCWSTR, CObject*, CObject*> {
    DECLARE_SERIAL(CMapStringToOb)
public:
    using CMap::CMap;
};
class CMapStringToString : public CMap<CString, LPCWSTR, CString, LPCWSTR> {
    DECLARE_SERIAL(CMapStringToString)
public:
    using CMap::CMap;
};
class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    using CMap::CMap;
};
class CMapPtrToWord : public CMap<void*, void*, WORD, WORD> {
    DECLARE_DYNAMIC(CMapPtrToWord)
public:
    using CMap::CMap;
};
class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
    DECLARE_DYNAMIC(CMapWordToPtr)
public:
    using CMap::CMap;
};
class CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*> {
    DECLARE_SERIAL(CMapWordToOb)
public:
    using CMap::CMap;
};

// A map of KEY to VALUE pointers on one of the maps above.
template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS {
public:
    using BASE_CLASS::BASE_CLASS;

    BOOL Lookup(typename BASE_CLASS::BaseKey key, VALUE& value) const
    {
        typename BASE_CLASS::BaseValue found;
        if (!BASE_CLASS::Lookup(key, found)) return FALSE;
        value = static_cast<VALUE>(found);
        return TRUE;
    }
    VALUE& operator[](typename BASE_CLASS::BaseKey key) { return reinterpret_cast<VALUE&>(BASE_CLASS::operator[](key)); }
    void SetAt(KEY key, VALUE value) { BASE_CLASS::SetAt(key, value); }
    BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
    void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const
    {
        typename BASE_CLASS::BaseKeyStorage baseKey;
        typename BASE_CLASS::BaseValue baseValue;
        BASE_CLASS::GetNextAssoc(position, baseKey, baseValue);
        key = static_cast<KEY>(baseKey);
        value = static_cast<VALUE>(baseValue);
    }
};
