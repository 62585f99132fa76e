#pragma once
// Text-to-number conversions with the classic C runtime's rules, independent of the C locale:
// optional white space and sign, digits with "." as the decimal point, an optional exponent;
// the longest valid prefix is read. No hexadecimal floats, no "inf" or "nan".

#include <cstddef>

// Reads a double from the start of text; *end (when given) points past the last character read,
// or to text itself when nothing was read (the result is then 0).
double ClassicStrToD(const char* text, const char** end = nullptr);
double ClassicWcsToD(const wchar_t* text, const wchar_t** end = nullptr);

double atof(const wchar_t*) = delete;  // keep the narrow C function from taking wide text by mistake
double _wtof(const wchar_t* text);
int _wtoi(const wchar_t* text);
long _wtol(const wchar_t* text);
long long _wtoi64(const wchar_t* text);
