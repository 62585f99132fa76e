#pragma once

// How GoogleTest shows the base types in a failed expectation.

#include "platform/base/CString.h"
#include "platform/base/Geometry.h"

#include <ostream>

inline void PrintTo(const CString& text, std::ostream* out)
{
    *out << '"' << text.ToUtf8() << '"';
}

inline void PrintTo(const CRect& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
