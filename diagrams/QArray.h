#pragma once
// CQArray: an array that sorts itself in place (quicksort), for sorted copies of data.

#include "platform/base/Array.h"
#include "platform/base/ErrorCodes.h"

#include <utility>

template<typename TYPE, typename ARG_TYPE>
class CQArray : public CArray<TYPE, ARG_TYPE> {
public:
    // FALSE, with the last error ERROR_INVALID_PARAMETER, for fewer than two elements.
    bool Sort(bool ascending)
    {
        if (this->GetSize() < 2) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        QuickSort(0, static_cast<int>(this->GetSize()) - 1, ascending);
        return true;
    }

private:
    void QuickSort(int lo, int hi, bool ascending)
    {
        TYPE* items = this->GetData();
        while (lo < hi) {
            const TYPE pivot = items[lo + (hi - lo) / 2];
            auto before = [&](const TYPE& a, const TYPE& b) { return ascending ? a < b : b < a; };
            int i = lo, j = hi;
            while (i <= j) {
                while (before(items[i], pivot))
                    ++i;
                while (before(pivot, items[j]))
                    --j;
                if (i <= j) {
                    if (i != j)
                        std::swap(items[i], items[j]);
                    ++i;
                    --j;
                }
            }
            if (lo < j)
                QuickSort(lo, j, ascending);
            lo = i; // the upper part in this call
        }
    }
};
