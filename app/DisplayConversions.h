#pragma once
// The integer conversions of the Formula page's output line: Roman numerals in two forms, the
// bases 2, 8 and 16, and binary digits grouped by four. Texts only, no window.

#include "platform/base/CString.h"

#include <optional>

// The value's integer part (toward zero) as a 32-bit int; none when it lies outside that range.
std::optional<int> IntegerPart(double value);

// The subtractive pairs of neighbours only (944 is CMXLIV); "Data Error 8" below 1.
CString ToRomanSubtractive(int n);
// The shortest form: besides the subtractive pairs of neighbours, any smaller symbol may stand
// before a larger one (999 is IM); "Data Error 9" below 1.
CString ToRomanCompact(int n);

// The int in base 2, 8 or 16 (upper-case letters); a negative int as its 32-bit two's complement.
CString InBase(int value, unsigned base);
// A blank before every digit that begins a group of four counted from the right.
CString GroupedByFour(const CString& digits);
