#pragma once
// The printf-style formatter behind CString::Format and every sprintf-like call of the program.
// It follows the classic Windows C runtime: %e %E %g %G write at least three exponent digits
// ("1E+006"); in a wide format %s and %c take wide text and %S and %C narrow text (%hs/%ls force
// either); the size prefixes h, l, ll, L, I, I32 and I64 are understood (%I64d, %lf, %lG).

#include <cstdarg>
#include <string>

std::wstring FormatWideV(const wchar_t* format, va_list args);
std::wstring FormatWide(const wchar_t* format, ...);
std::string FormatNarrowV(const char* format, va_list args);
std::string FormatNarrow(const char* format, ...);
