#pragma once
// Collection and iterator interfaces of the foundation layer. Subjects keep their observers in a
// CCArray_T and notify them by walking it with an Iterator_T; undo histories are CCStack_T rings.

#include "platform/base/Array.h"
#include "platform/base/Exceptions.h"

#include <algorithm>

namespace divuzura::foundation {

// The class library's invalid-argument exception (a CInvalidArgException*, ended with Delete()).
[[noreturn]] inline void ThrowInvalidCollectionArgument(const char*)
{
    AfxThrowInvalidArgException();
}

// A place in a collection; what it holds is the collection's business.
class CCIterPos {
public:
    virtual ~CCIterPos() = default;
};

template <typename T>
class CCIterPos_T : public CCIterPos {
public:
    explicit CCIterPos_T(T value = T()) : m_pos(value) {}
    T m_pos;
};

// A collection addressed through position objects.
template <typename T>
class ICollection_T {
public:
    virtual ~ICollection_T() = default;
    virtual CCIterPos* NewPosition() const = 0;
    virtual void First(CCIterPos& pos) const = 0;
    virtual void Next(CCIterPos& pos) const = 0;
    virtual void Prev(CCIterPos& pos) const = 0;
    virtual void Last(CCIterPos& pos) const = 0;
    virtual void RemoveAt(CCIterPos& pos) = 0;
    virtual T GetAt(const CCIterPos& pos) const = 0;
    virtual T* GetAtPtr(const CCIterPos& pos) = 0;
    virtual T* GetDataAt(const CCIterPos& pos) = 0;
    virtual void SetAt(const CCIterPos& pos, T value) = 0;
    virtual T InsertAt(const CCIterPos& pos, T value) = 0;
    virtual bool FindNext(CCIterPos& pos, T value) const = 0;
    virtual bool FindPrev(CCIterPos& pos, T value) const = 0;
    virtual int GetCount() const = 0;
    virtual void RemoveAll() = 0;
    virtual bool IsEnd(const CCIterPos& pos) const = 0;
};

// ICollection_T over a growable array; the position is an index. Owns none of its elements.
template <typename T>
class CCArray_T : public CArray<T, T>, public ICollection_T<T> {
    using Base = CArray<T, T>;
    using Pos = CCIterPos_T<int>;

public:
    using Base::GetAt;
    using Base::InsertAt;
    using Base::RemoveAt;
    using Base::SetAt;

    CCIterPos* NewPosition() const override { return new Pos(0); }
    void First(CCIterPos& pos) const override { Index(pos) = 0; }
    void Next(CCIterPos& pos) const override { ++Index(pos); }
    void Prev(CCIterPos& pos) const override { --Index(pos); }
    void Last(CCIterPos& pos) const override { Index(pos) = GetCount() - 1; }
    bool IsEnd(const CCIterPos& pos) const override { return !InRange(Index(pos)); }

    T GetAt(const CCIterPos& pos) const override { return IsEnd(pos) ? T() : Base::GetAt(Index(pos)); }
    T* GetAtPtr(const CCIterPos& pos) override { return IsEnd(pos) ? nullptr : &Base::ElementAt(Index(pos)); }
    T* GetDataAt(const CCIterPos& pos) override { return IsEnd(pos) ? Base::GetData() : Base::GetData() + Index(pos); }

    void SetAt(const CCIterPos& pos, T value) override
    {
        if (IsEnd(pos))
            ThrowInvalidCollectionArgument("CCArray_T::SetAt");
        Base::SetAt(Index(pos), value);
    }
    T InsertAt(const CCIterPos& pos, T value) override
    {
        if (Index(pos) < 0)
            ThrowInvalidCollectionArgument("CCArray_T::InsertAt");
        Base::InsertAt(Index(pos), value);
        return value;
    }
    void RemoveAt(CCIterPos& pos) override
    {
        if (IsEnd(pos))
            ThrowInvalidCollectionArgument("CCArray_T::RemoveAt");
        Base::RemoveAt(Index(pos));
    }
    void RemoveAll() override
    {
        Base::RemoveAll();
        Base::FreeExtra();
    }
    int GetCount() const override { return static_cast<int>(Base::GetSize()); }

    // Removes every element equal to value.
    virtual void Remove(T value)
    {
        for (int i = GetCount() - 1; i >= 0; --i)
            if (Base::GetAt(i) == value)
                Base::RemoveAt(i);
    }
    bool FindNext(CCIterPos& pos, T value) const override
    {
        const int n = GetCount();
        for (int step = 1; step <= n; ++step) {
            const int i = ((Index(pos) + step) % n + n) % n;
            if (Base::GetAt(i) == value) {
                Index(pos) = i;
                return true;
            }
        }
        return false;
    }
    bool FindPrev(CCIterPos& pos, T value) const override
    {
        const int n = GetCount();
        for (int step = 1; step <= n; ++step) {
            const int i = ((Index(pos) - step) % n + n) % n;
            if (Base::GetAt(i) == value) {
                Index(pos) = i;
                return true;
            }
        }
        return false;
    }
    // Index of the first element equal to value, or -1.
    virtual int Find(T value) const
    {
        for (int i = 0; i < GetCount(); ++i)
            if (Base::GetAt(i) == value)
                return i;
        return -1;
    }

private:
    bool InRange(int i) const { return i >= 0 && i < GetCount(); }
    static int& Index(CCIterPos& pos) { return static_cast<Pos&>(pos).m_pos; }
    static int Index(const CCIterPos& pos) { return static_cast<const Pos&>(pos).m_pos; }
};

// Walks any ICollection_T; owns its position. Accept() lets a derived iterator filter elements.
template <typename T>
class Iterator_T {
public:
    Iterator_T() = default;
    explicit Iterator_T(ICollection_T<T>* collection) { SetCollection(collection); }
    Iterator_T(const Iterator_T&) = delete;
    Iterator_T& operator=(const Iterator_T&) = delete;
    virtual ~Iterator_T() { delete m_pos; }

    virtual void SetCollection(ICollection_T<T>* collection)
    {
        if (collection == m_collection)
            return;
        delete m_pos;
        m_pos = collection ? collection->NewPosition() : nullptr;
        m_collection = collection;
    }
    virtual bool Accept(T) const { return true; }

    virtual bool First()
    {
        if (!Valid())
            return false;
        m_collection->First(*m_pos);
        if (!IsEnd() && !Accept(Get()))
            return Next();
        return !IsEnd();
    }
    virtual bool Next() { return Step([this] { m_collection->Next(*m_pos); }); }
    virtual bool Prev() { return Step([this] { m_collection->Prev(*m_pos); }); }
    virtual bool Last()
    {
        if (!Valid())
            return false;
        m_collection->Last(*m_pos);
        if (!IsEnd() && !Accept(Get()))
            return Prev();
        return !IsEnd();
    }
    virtual bool FindNext(T value) { return Valid() && m_collection->FindNext(*m_pos, value); }
    virtual bool FindPrev(T value) { return Valid() && m_collection->FindPrev(*m_pos, value); }

    virtual T Get() const { return Valid() ? m_collection->GetAt(*m_pos) : T(); }
    virtual T* GetPtr() { return Valid() ? m_collection->GetAtPtr(*m_pos) : nullptr; }
    virtual T* GetData() { return Valid() ? m_collection->GetDataAt(*m_pos) : nullptr; }
    virtual T GetNext() { Next(); return Get(); }
    virtual T* GetNextPtr() { Next(); return GetPtr(); }
    virtual T* GetNextData() { Next(); return GetData(); }
    virtual T GetPrev() { Prev(); return Get(); }
    virtual T* GetPrevPtr() { Prev(); return GetPtr(); }
    virtual T* GetPrevData() { Prev(); return GetData(); }
    virtual T GetLast() { Last(); return Get(); }
    virtual T* GetLastPtr() { Last(); return GetPtr(); }
    virtual T* GetLastData() { Last(); return GetData(); }

    virtual void SetAt(T value) { if (Valid()) m_collection->SetAt(*m_pos, value); }
    virtual void RemoveAt() { if (Valid()) m_collection->RemoveAt(*m_pos); }
    virtual T InsertAt(T value) { return Valid() ? m_collection->InsertAt(*m_pos, value) : T(); }
    virtual bool IsEnd() const { return !Valid() || m_collection->IsEnd(*m_pos); }

private:
    bool Valid() const { return m_collection && m_pos; }
    // Moves until the end or an accepted element; true on acceptance.
    template <typename Move>
    bool Step(Move move)
    {
        if (!Valid())
            return false;
        do
            move();
        while (!IsEnd() && !Accept(Get()));
        return !IsEnd();
    }

    CCIterPos* m_pos = nullptr;
    ICollection_T<T>* m_collection = nullptr;
};

template <typename T>
class IStack_T {
public:
    virtual ~IStack_T() = default;
    virtual T Push(T item) = 0;
    virtual T Peek() const = 0;
    virtual T Pop() = 0;
    virtual void SetCapacity(int capacity) = 0;
};

// A bounded ring stack: pushing onto a full stack drops the oldest item and hands it back.
template <typename T>
class CCStack_T : private CArray<T, T>, public IStack_T<T> {
    using Base = CArray<T, T>;

public:
    T Push(T item) override
    {
        if (m_capacity < 1)
            return item;
        m_top = (m_top + 1) % m_capacity;
        T dropped = Base::GetAt(m_top);
        Base::SetAt(m_top, item);
        m_count = std::min(m_count + 1, m_capacity);
        return dropped;
    }
    T Pop() override
    {
        if (m_count < 1)
            return T();
        T item = Base::GetAt(m_top);
        Base::SetAt(m_top, T());
        m_top = (m_top - 1) % m_capacity;
        if (m_top < 0)
            m_top = m_capacity - 1;
        m_count = std::max(m_count - 1, 0);
        return item;
    }
    T Peek() const override { return m_top >= 0 && m_top < m_capacity ? Base::GetAt(m_top) : T(); }
    // Meant for an empty stack: the ring is re-laid, not re-ordered.
    void SetCapacity(int capacity) override
    {
        m_capacity = capacity;
        Base::SetSize(capacity > 0 ? capacity : 0);
        if (m_top >= m_capacity)
            m_top = -1;
        m_count = std::min(m_count, std::max(m_capacity, 0));
    }
    int GetCapacity() const { return m_capacity; }
    int GetCount() const { return m_count; }

private:
    int m_top = -1;
    int m_capacity = -1;
    int m_count = 0;
};

} // namespace divuzura::foundation
