#pragma once
// Two numeric services offered on top of the formula parser: a zero of f(x) between two bounds
// (the Pegasus variant of the regula falsi, in single precision), and a value as a mixed
// fraction such as "3 1/2" (continued fractions).

#include "platform/base/CString.h"

#include <cstdint>

using RootFunction = float (*)(float);

enum RootSearchResult : int {
    RootNotBracketed = -1,  // f(a) and f(b) have the same sign; only *fb is set
    RootFound = 0,          // |f(b)| fell below the root tolerance, or an end already was a root
    RootIntervalConverged = 1,  // the interval shrank to the precision of a float
    RootNoConvergence = 2,  // more than 1000 steps
    RootNoFunction = 3,     // f is null; nothing is evaluated
};

// Searches a zero of f between *a and *b. On return *b holds the best approximation, *fb its
// function value and *iterations the number of steps taken.
int FindRootPegasus(RootFunction f, float* a, float* b, float* fb, int* iterations);

// Writes value as whole + numerator / denominator within eps. Returns false, with all three 0,
// for infinity, NaN and values beyond the 64-bit integer range, which have no fraction.
bool ApproximateFraction(double value, std::int64_t* whole, std::int64_t* numerator, std::int64_t* denominator,
                         double eps);

constexpr int FractionBufferSize = 40;
// The fraction as text ("3 1/2", "-1/4", "4"; "" when there is none) into buffer, which holds at
// least FractionBufferSize characters; the text is cut to fit. Returns buffer.
wchar_t* FormatFraction(double value, wchar_t* buffer, double eps);
// The same text, whole, into *out.
void FractionToText(double value, CString* out, double eps);
