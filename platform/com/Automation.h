#pragma once
// The automation functions: system strings (BSTR), VARIANT handling with the coercions the script
// language relies on, and safe arrays.

#include "platform/com/Interfaces.h"

#include <string>
#include <string_view>

// BSTR: length-prefixed, zero-terminated wide text; a null BSTR counts as empty.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);  // text may be null: length blanks of 0
BSTR SysAllocStringView(std::wstring_view text);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
int SysReAllocString(BSTR* target, const OLECHAR* text);
// Appends in place, growing the block geometrically, so that building a text piece by piece
// takes linear time.
HRESULT BstrAppend(BSTR* target, std::wstring_view text);
inline std::wstring_view BstrView(BSTR text) { return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view(); }

// VariantChangeType flags.
constexpr USHORT VARIANT_NOVALUEPROP = 0x1;
constexpr USHORT VARIANT_ALPHABOOL = 0x2;  // Boolean to text gives "True"/"False", not "-1"/"0"

void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);  // follows VT_BYREF
// Converts src to the type vt into dest (dest may equal src). Numbers are rounded half to even
// into integer types; DISP_E_OVERFLOW when out of range, DISP_E_TYPEMISMATCH when the value
// cannot be read as that type (Null never converts). Objects are read through their default
// property unless VARIANT_NOVALUEPROP is given.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);
// A number as currency (ten-thousandths, rounded half to even): exact for every whole number in
// range; DISP_E_OVERFLOW outside -922337203685477.5808..922337203685477.5807 and for NaN.
HRESULT VarCyFromR8(double value, CY* out);

// Stores value through a by-reference argument (converted to the referenced type);
// DISP_E_TYPEMISMATCH when the argument is passed by value or cannot take the value.
HRESULT VariantWriteByRef(VARIANT* arg, const VARIANT& value);

// Text forms of numbers as the script language writes them: up to 15 significant digits
// (7 for single precision), exponent form "1E+20" outside 1E-05..1E+15.
std::wstring FormatDoubleText(double value, int significantDigits = 15);
std::wstring FormatCurrencyText(LONGLONG scaled);
// Reads a whole text as a number (blanks around, sign, decimals, exponent, "&H" and "&O").
bool ParseNumberText(std::wstring_view text, double& value);

// Dates: serial day numbers with the time of day as the fraction (negative dates count the
// day backwards and the time forwards, as the serial form defines).
struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    int dayOfWeek = 7;  // 1 = Sunday
};
bool DateFromParts(int year, int month, int day, int hour, int minute, int second, DATE& date);
// Whether date lies from 1 January 100 to 31 December 9999, the dates the functions below take;
// a value from elsewhere (another program, a file) is checked before it is given to them.
bool IsDateInRange(DATE date);
DateParts DateToParts(DATE date);
// The general date form: "M/D/YYYY", "H:MM:SS AM" or both; the date alone when the time is midnight,
// the time alone when the day is 30 December 1899.
std::wstring FormatDateText(DATE date);
// Reads "M/D/YYYY", "YYYY-MM-DD", "D Month YYYY", "Month D, YYYY" dates and "H:MM[:SS] [AM|PM]" times.
bool ParseDateText(std::wstring_view text, DATE& date);

// Safe arrays. Indices are given first dimension first.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayCopy(const SAFEARRAY* array, SAFEARRAY** copy);
UINT SafeArrayGetDim(const SAFEARRAY* array);
UINT SafeArrayGetElemsize(const SAFEARRAY* array);
HRESULT SafeArrayGetVartype(const SAFEARRAY* array, VARTYPE* vt);
HRESULT SafeArrayGetLBound(const SAFEARRAY* array, UINT dim, LONG* bound);  // dim counts from 1
HRESULT SafeArrayGetUBound(const SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, const LONG* indices, void** element);
HRESULT SafeArrayGetElement(SAFEARRAY* array, const LONG* indices, void* value);
HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value);
// Changes the last dimension, keeping the elements that remain.
HRESULT SafeArrayRedim(SAFEARRAY* array, const SAFEARRAYBOUND* lastBound);
HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
ULONG SafeArrayElementCount(const SAFEARRAY* array);

// Calls IDispatch::Invoke with arguments given in natural order; the helper reverses them.
HRESULT InvokeDispatch(IDispatch* object, DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result,
                       EXCEPINFO* exception = nullptr);
// Looks up one member name.
HRESULT GetDispatchId(IDispatch* object, const wchar_t* name, DISPID* id);
void ClearExcepInfo(EXCEPINFO* info);
