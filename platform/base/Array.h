#pragma once
// CArray and CStringArray: growable arrays with the classic collection interface.
// Index checks are real: an index out of range throws std::out_of_range instead of corrupting memory.

#include "platform/base/CString.h"

#include <stdexcept>
#include <utility>
#include <vector>


template <typename TYPE, typename ARG_TYPE = const TYPE&>
class CArray {
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }

    // growBy is accepted for compatibility; the vector chooses its own growth.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1) { m_items.resize(newSize > 0 ? newSize : 0); (void)growBy; }
    void FreeExtra() { m_items.shrink_to_fit(); }
    void RemoveAll() { m_items.clear(); }

    const TYPE& GetAt(INT_PTR index) const { return m_items.at(Checked(index)); }
    TYPE& ElementAt(INT_PTR index) { return m_items.at(Checked(index)); }
    void SetAt(INT_PTR index, ARG_TYPE element) { m_items.at(Checked(index)) = element; }
    const TYPE& operator[](INT_PTR index) const { return GetAt(index); }
    TYPE& operator[](INT_PTR index) { return ElementAt(index); }
    const TYPE* GetData() const { return m_items.data(); }
    TYPE* GetData() { return m_items.data(); }

    // Grows the array when index is past its end.
    void SetAtGrow(INT_PTR index, ARG_TYPE element)
    {
        if (index < 0) throw std::out_of_range("CArray::SetAtGrow");
        if (index >= GetSize()) m_items.resize(index + 1);
        m_items[index] = element;
    }
    INT_PTR Add(ARG_TYPE element) { m_items.push_back(element); return GetSize() - 1; }
    INT_PTR Append(const CArray& other)
    {
        INT_PTR first = GetSize();
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        return first;
    }
    void Copy(const CArray& other) { m_items = other.m_items; }
    void InsertAt(INT_PTR index, ARG_TYPE element, INT_PTR count = 1)
    {
        if (index < 0 || count < 0) throw std::out_of_range("CArray::InsertAt");
        if (index > GetSize()) m_items.resize(index);
        m_items.insert(m_items.begin() + index, count, element);
    }
    void RemoveAt(INT_PTR index, INT_PTR count = 1)
    {
        if (index < 0 || count < 0 || index + count > GetSize()) throw std::out_of_range("CArray::RemoveAt");
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    INT_PTR Checked(INT_PTR index) const
    {
        if (index < 0 || index >= GetSize()) throw std::out_of_range("CArray index");
        return index;
    }

    std::vector<TYPE> m_items;
};

class CStringArray : public CArray<CString, const wchar_t*> {};
