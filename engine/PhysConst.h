#pragma once
// The compiled-in table of named physical constants ("_c", "_h", "_N_A", ...) that formulas may use.
//
// Names are listed longest first, so that a prefix match walking the list in order finds
// "_h_BAR_MeVs" before "_h_BAR" before "_h". Index 0 is empty and the last index holds the end
// marker "***". Lookups by name ignore case: "_c" and "_C" are the same constant.

#include "platform/base/Array.h"
#include "platform/base/CString.h"

class CPhysConst {
public:
    static constexpr int ConstantCount = 44;
    static constexpr int EndMarkerIndex = ConstantCount + 1;
    static constexpr const wchar_t* EndMarker = L"***";
    // No constant's name is longer.
    static constexpr int MaxNameLength = 13;

    CPhysConst();
    virtual ~CPhysConst() = default;

    // The name at index (0 to EndMarkerIndex) into *out, returned as well. Any other index throws
    // the invalid-argument exception (CInvalidArgException*).
    CString GetName(CString* out, int index) const;
    // 1 when name is one of the constant names, else 0.
    int IsConstName(const CString& name) const;
    // The value of the constant of that name; 0.0 for any other text (also "" and "***").
    double GetValue(const CString& name) const;

private:
    CStringArray m_names;
};
