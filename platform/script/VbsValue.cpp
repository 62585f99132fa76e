#include "platform/script/VbsValue.h"

#include "platform/script/VbsErrors.h"
#include "platform/script/VbsObjects.h"

#include "platform/base/CString.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <limits>

namespace vbs {

void Var::Assign(const VARIANT& other)
{
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopyInd(&copy, &other);
    if (FAILED(hr))
        Throw(kOutOfMemory);
    VariantClear(&v);
    v = copy;
}

Var Var::Text(std::wstring_view s)
{
    Var r;
    r.v.bstrVal = SysAllocStringView(s);
    if (!r.v.bstrVal)
        Throw(kOutOfMemory);
    r.v.vt = VT_BSTR;
    return r;
}

Var Var::Whole(double d)
{
    if (d >= -32768 && d <= 32767)
        return Int(static_cast<SHORT>(d));
    if (d >= -2147483648.0 && d <= 2147483647.0)
        return Long(static_cast<LONG>(d));
    return Double(d);
}

bool Var::IsNumeric() const
{
    switch (v.vt) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BOOL: case VT_UI1:
    case VT_I1: case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
        return true;
    default:
        return false;
    }
}

namespace {

[[noreturn]] void ThrowFor(HRESULT hr)
{
    if (hr == DISP_E_OVERFLOW)
        Throw(kOverflow);
    if (hr == E_OUTOFMEMORY)
        Throw(kOutOfMemory);
    Throw(kTypeMismatch);
}

const VARIANT& Deref(const VARIANT& v)
{
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal)
        return Deref(*v.pvarVal);
    return v;
}

// Ranks of the numeric types, in the order a result widens.
enum Rank { kByte = 1, kInteger, kLong, kSingle, kDouble, kCurrency, kDate };

int RankOf(const VARIANT& v)
{
    switch (v.vt) {
    case VT_UI1: return kByte;
    case VT_EMPTY: case VT_BOOL: case VT_I2: case VT_I1: return kInteger;
    case VT_I4: case VT_UI2: case VT_INT: return kLong;
    case VT_R4: return kSingle;
    case VT_CY: return kCurrency;
    case VT_DATE: return kDate;
    default: return kDouble;  // Double, strings and the wide integer types
    }
}

Var FitResult(double value, int rank)
{
    if (std::isnan(value) || std::isinf(value))
        Throw(kOverflow);
    switch (rank) {
    case kByte:
        if (value >= 0 && value <= 255)
            return Var::Byte(static_cast<BYTE>(value));
        [[fallthrough]];
    case kInteger:
        if (value >= -32768 && value <= 32767)
            return Var::Int(static_cast<SHORT>(value));
        [[fallthrough]];
    case kLong:
        if (value >= -2147483648.0 && value <= 2147483647.0)
            return Var::Long(static_cast<LONG>(value));
        return Var::Double(value);
    case kSingle:
        if (std::fabs(value) <= std::numeric_limits<float>::max()) {
            Var r;
            r.v.vt = VT_R4;
            r.v.fltVal = static_cast<float>(value);
            return r;
        }
        return Var::Double(value);
    case kCurrency: {
        Var r;
        if (FAILED(VarCyFromR8(value, &r.v.cyVal)))
            Throw(kOverflow);
        r.v.vt = VT_CY;
        return r;
    }
    case kDate:
        if (value < -657434.0 || value >= 2958466.0)
            Throw(kOverflow);
        return Var::Date(value);
    default:
        return Var::Double(value);
    }
}

bool IsWholeRank(int rank) { return rank <= kLong; }

void CheckTextLength(size_t length)
{
    if (length > kMaxTextLength)
        Throw(14, L"Out of string space");
}

} // namespace

namespace {

int NestingDepth(const VARIANT& v, int limit)
{
    if (!(v.vt & VT_ARRAY) || !v.parray || v.parray->vt != VT_VARIANT)
        return 0;
    if (limit <= 0)
        return 1;
    int deepest = 0;
    ULONG n = SafeArrayElementCount(v.parray);
    auto* elements = static_cast<const VARIANT*>(v.parray->pvData);
    for (ULONG i = 0; i < n && deepest < limit; ++i)
        deepest = std::max(deepest, NestingDepth(elements[i], limit - 1));
    return deepest + 1;
}

} // namespace

void CheckNesting(const VARIANT& value)
{
    if (NestingDepth(value, kMaxArrayNesting) >= kMaxArrayNesting)
        Throw(kOutOfStackSpace);
}

Var ValueOf(const VARIANT& raw)
{
    // An object whose default member returns an object is read again, a few levels at most:
    // a default member that returns its own object would otherwise never end.
    thread_local int depth = 0;
    struct Level {
        Level()
        {
            if (++depth > 16) {
                --depth;
                Throw(kTypeMismatch);
            }
        }
        ~Level() { --depth; }
    } level;
    const VARIANT& v = Deref(raw);
    if (v.vt != VT_DISPATCH && v.vt != VT_UNKNOWN) {
        Var r;
        r.Assign(v);
        return r;
    }
    IDispatch* object = v.vt == VT_DISPATCH ? v.pdispVal : nullptr;
    if (!object) {
        if (v.vt == VT_UNKNOWN && v.punkVal)
            Throw(kMemberNotSupported);
        Throw(kObjectVariableNotSet);
    }
    Var result;
    EXCEPINFO info{};
    HRESULT hr = InvokeDispatch(object, DISPID_VALUE, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, 0, &result.v, &info);
    if (FAILED(hr))
        throw ErrorFromObject(hr, info);
    ClearExcepInfo(&info);
    if (result.IsObject())
        return ValueOf(result.v);
    return result;
}

double ToDouble(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    switch (v.vt) {
    case VT_EMPTY: return 0;
    case VT_NULL: Throw(kInvalidUseOfNull);
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_R8: return v.dblVal;
    case VT_R4: return v.fltVal;
    case VT_BOOL: return v.boolVal ? -1 : 0;
    case VT_UI1: return v.bVal;
    case VT_DATE: return v.date;
    case VT_CY: return v.cyVal.int64 / 10000.0;
    case VT_DISPATCH: case VT_UNKNOWN: return ToDouble(ValueOf(v).v);
    default: {
        if (v.vt & VT_ARRAY)
            Throw(kTypeMismatch);
        Var out;
        HRESULT hr = VariantChangeType(&out.v, &v, VARIANT_NOVALUEPROP, VT_R8);
        if (FAILED(hr))
            ThrowFor(hr);
        return out.v.dblVal;
    }
    }
}

LONG ToLong(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    if (v.vt == VT_I4)
        return v.lVal;
    if (v.vt == VT_I2)
        return v.iVal;
    double d = std::nearbyint(ToDouble(v));
    if (!(d >= -2147483648.0 && d <= 2147483647.0))
        Throw(kOverflow);
    return static_cast<LONG>(d);
}

SHORT ToInteger(const VARIANT& v)
{
    LONG l = ToLong(v);
    if (l < -32768 || l > 32767)
        Throw(kOverflow);
    return static_cast<SHORT>(l);
}

bool ToBool(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    if (v.vt == VT_BOOL)
        return v.boolVal != 0;
    if (v.vt == VT_BSTR) {
        Var out;
        HRESULT hr = VariantChangeType(&out.v, &v, 0, VT_BOOL);
        if (FAILED(hr))
            ThrowFor(hr);
        return out.v.boolVal != 0;
    }
    return ToDouble(v) != 0;
}

std::wstring ToText(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    switch (v.vt) {
    case VT_BSTR: return std::wstring(BstrView(v.bstrVal));
    case VT_EMPTY: return L"";
    case VT_NULL: Throw(kInvalidUseOfNull);
    case VT_I2: return std::to_wstring(v.iVal);
    case VT_I4: return std::to_wstring(v.lVal);
    case VT_DISPATCH: case VT_UNKNOWN: return ToText(ValueOf(v).v);
    default: {
        if (v.vt & VT_ARRAY)
            Throw(kTypeMismatch);
        Var out;
        HRESULT hr = VariantChangeType(&out.v, &v, VARIANT_ALPHABOOL | VARIANT_NOVALUEPROP, VT_BSTR);
        if (FAILED(hr))
            ThrowFor(hr);
        return std::wstring(BstrView(out.v.bstrVal));
    }
    }
}

DATE ToDate(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    if (v.vt == VT_DATE) {
        if (!IsDateInRange(v.date)) // a date from a host object or another program
            Throw(kOverflow);
        return v.date;
    }
    if (v.vt == VT_NULL)
        Throw(kInvalidUseOfNull);
    if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN)
        return ToDate(ValueOf(v).v);
    Var out;
    HRESULT hr = VariantChangeType(&out.v, &v, VARIANT_NOVALUEPROP, VT_DATE);
    if (FAILED(hr))
        ThrowFor(hr);
    return out.v.date;
}

bool IsNumericText(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    if (v.vt != VT_BSTR)
        return false;
    double d;
    return ParseNumberText(BstrView(v.bstrVal), d);
}

wchar_t FoldCase(wchar_t c)
{
    CString folded(std::wstring_view(&c, 1));
    return folded.MakeLower()[0];
}

namespace {

int CompareText(std::wstring_view a, std::wstring_view b, bool textCompare)
{
    if (!textCompare) {
        int order = a.compare(b);
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = FoldCase(a[i]), y = FoldCase(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

LONG BitwiseOperand(const VARIANT& v) { return ToLong(v); }

Var Logical(BinaryOp op, const VARIANT& a, const VARIANT& b)
{
    bool aNull = a.vt == VT_NULL, bNull = b.vt == VT_NULL;
    if (aNull || bNull) {
        const VARIANT& other = aNull ? b : a;
        if (aNull && bNull)
            return Var::Null();
        LONG o = BitwiseOperand(other);
        if (op == BinaryOp::And && o == 0)
            return other.vt == VT_BOOL ? Var::Bool(false) : FitResult(0, RankOf(other));
        if (op == BinaryOp::Or && o == -1)
            return other.vt == VT_BOOL ? Var::Bool(true) : FitResult(-1, RankOf(other));
        if (op == BinaryOp::Imp && ((bNull && !aNull && o == 0) || (aNull && o == -1)))
            return other.vt == VT_BOOL ? Var::Bool(true) : FitResult(-1, RankOf(other));
        return Var::Null();
    }
    LONG x = BitwiseOperand(a), y = BitwiseOperand(b);
    LONG r = 0;
    switch (op) {
    case BinaryOp::And: r = x & y; break;
    case BinaryOp::Or: r = x | y; break;
    case BinaryOp::Xor: r = x ^ y; break;
    case BinaryOp::Eqv: r = ~(x ^ y); break;
    case BinaryOp::Imp: r = ~x | y; break;
    default: break;
    }
    if (a.vt == VT_BOOL && b.vt == VT_BOOL)
        return Var::Bool(r != 0);
    int rank = std::max(RankOf(a), RankOf(b));
    return FitResult(r, rank <= kInteger ? (rank == kByte && RankOf(a) == kByte && RankOf(b) == kByte ? kByte : kInteger) : kLong);
}

} // namespace

int Compare(const VARIANT& ra, const VARIANT& rb, bool textCompare)
{
    const VARIANT& a0 = Deref(ra);
    const VARIANT& b0 = Deref(rb);
    Var ao, bo;
    const VARIANT* a = &a0;
    const VARIANT* b = &b0;
    if (a->vt == VT_DISPATCH || a->vt == VT_UNKNOWN) {
        ao = ValueOf(*a);
        a = &ao.v;
    }
    if (b->vt == VT_DISPATCH || b->vt == VT_UNKNOWN) {
        bo = ValueOf(*b);
        b = &bo.v;
    }
    if (a->vt == VT_NULL || b->vt == VT_NULL)
        return 2;
    if ((a->vt & VT_ARRAY) || (b->vt & VT_ARRAY))
        Throw(kTypeMismatch);
    bool aText = a->vt == VT_BSTR, bText = b->vt == VT_BSTR;
    if (aText && bText)
        return CompareText(BstrView(a->bstrVal), BstrView(b->bstrVal), textCompare);
    if (aText && b->vt == VT_EMPTY)
        return CompareText(BstrView(a->bstrVal), L"", textCompare);
    if (bText && a->vt == VT_EMPTY)
        return CompareText(L"", BstrView(b->bstrVal), textCompare);
    if (aText != bText)
        return aText ? 1 : -1;  // a number sorts before any text
    double x = ToDouble(*a), y = ToDouble(*b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

const VARIANT& AsKindOfWritten(const VARIANT& written, const VARIANT& value, Var& converted)
{
    const VARIANT& v = Deref(value);
    bool writtenNumber = written.vt == VT_I2 || written.vt == VT_I4 || written.vt == VT_R8;
    if (writtenNumber && v.vt == VT_BSTR && IsNumericText(v)) {
        converted = Var::Double(ToDouble(v));
        return converted.v;
    }
    bool numeric = v.vt == VT_UI1 || v.vt == VT_I2 || v.vt == VT_I4 || v.vt == VT_R4 || v.vt == VT_R8
        || v.vt == VT_CY || v.vt == VT_DATE || v.vt == VT_BOOL;
    if (written.vt == VT_BSTR && numeric) {
        converted = Var::Text(ToText(v));
        return converted.v;
    }
    return value;
}

Var Binary(BinaryOp op, const VARIANT& ra, const VARIANT& rb)
{
    const VARIANT& a = Deref(ra);
    const VARIANT& b = Deref(rb);
    // Fast path of counting loops: two whole numbers.
    if ((a.vt == VT_I2 || a.vt == VT_I4) && (b.vt == VT_I2 || b.vt == VT_I4)) {
        long long x = a.vt == VT_I2 ? a.iVal : a.lVal;
        long long y = b.vt == VT_I2 ? b.iVal : b.lVal;
        int rank = (a.vt == VT_I4 || b.vt == VT_I4) ? kLong : kInteger;
        switch (op) {
        case BinaryOp::Add: return FitResult(static_cast<double>(x + y), rank);
        case BinaryOp::Subtract: return FitResult(static_cast<double>(x - y), rank);
        case BinaryOp::Multiply: return FitResult(static_cast<double>(x * y), rank);
        case BinaryOp::Equal: return Var::Bool(x == y);
        case BinaryOp::NotEqual: return Var::Bool(x != y);
        case BinaryOp::Less: return Var::Bool(x < y);
        case BinaryOp::LessEqual: return Var::Bool(x <= y);
        case BinaryOp::Greater: return Var::Bool(x > y);
        case BinaryOp::GreaterEqual: return Var::Bool(x >= y);
        default: break;
        }
    }
    if (a.vt == VT_DISPATCH || b.vt == VT_DISPATCH || a.vt == VT_UNKNOWN || b.vt == VT_UNKNOWN) {
        if (op == BinaryOp::Is) {
            if (!(a.vt == VT_DISPATCH || a.vt == VT_UNKNOWN) || !(b.vt == VT_DISPATCH || b.vt == VT_UNKNOWN))
                Throw(kObjectRequired);
            ComPtr<IUnknown> x, y;
            if (a.punkVal)
                a.punkVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(x.Receive()));
            if (b.punkVal)
                b.punkVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(y.Receive()));
            return Var::Bool(x.get() == y.get());
        }
        Var x = ValueOf(a), y = ValueOf(b);
        return Binary(op, x.v, y.v);
    }
    if (op == BinaryOp::Is)
        Throw(kObjectRequired);
    if ((a.vt & VT_ARRAY) || (b.vt & VT_ARRAY))
        Throw(kTypeMismatch);

    switch (op) {
    case BinaryOp::Concat: {
        if (a.vt == VT_NULL && b.vt == VT_NULL)
            return Var::Null();
        std::wstring text = a.vt == VT_NULL ? L"" : ToText(a);
        std::wstring right = b.vt == VT_NULL ? L"" : ToText(b);
        CheckTextLength(text.size() + right.size());
        return Var::Text(text += right);
    }
    case BinaryOp::Equal: case BinaryOp::NotEqual: case BinaryOp::Less:
    case BinaryOp::LessEqual: case BinaryOp::Greater: case BinaryOp::GreaterEqual: {
        int c = Compare(a, b);
        if (c == 2)
            return Var::Null();
        switch (op) {
        case BinaryOp::Equal: return Var::Bool(c == 0);
        case BinaryOp::NotEqual: return Var::Bool(c != 0);
        case BinaryOp::Less: return Var::Bool(c < 0);
        case BinaryOp::LessEqual: return Var::Bool(c <= 0);
        case BinaryOp::Greater: return Var::Bool(c > 0);
        default: return Var::Bool(c >= 0);
        }
    }
    case BinaryOp::And: case BinaryOp::Or: case BinaryOp::Xor: case BinaryOp::Eqv: case BinaryOp::Imp:
        return Logical(op, a, b);
    default:
        break;
    }

    if (a.vt == VT_NULL || b.vt == VT_NULL)
        return Var::Null();
    if (op == BinaryOp::Add && a.vt == VT_BSTR && b.vt == VT_BSTR) {
        CheckTextLength(size_t(SysStringLen(a.bstrVal)) + SysStringLen(b.bstrVal));
        std::wstring text(BstrView(a.bstrVal));
        return Var::Text(text += BstrView(b.bstrVal));
    }
    if (op == BinaryOp::Add && ((a.vt == VT_BSTR && b.vt == VT_EMPTY) || (b.vt == VT_BSTR && a.vt == VT_EMPTY)))
        return Var::Text(a.vt == VT_BSTR ? BstrView(a.bstrVal) : BstrView(b.bstrVal));

    int rank = std::max(RankOf(a), RankOf(b));
    if (RankOf(a) == kByte && b.vt == VT_EMPTY)
        rank = kByte;
    if (rank == kSingle && (RankOf(a) == kLong || RankOf(b) == kLong))
        rank = kDouble;
    if (a.vt == VT_BOOL && b.vt == VT_BOOL)
        rank = kInteger;
    double x = ToDouble(a), y = ToDouble(b);
    switch (op) {
    case BinaryOp::Add:
        return FitResult(x + y, rank);
    case BinaryOp::Subtract:
        if (a.vt == VT_DATE && b.vt == VT_DATE)
            return Var::Double(x - y);
        return FitResult(x - y, rank);
    case BinaryOp::Multiply:
        return FitResult(x * y, rank == kDate ? kDouble : rank);
    case BinaryOp::Divide:
        if (y == 0)
            Throw(x == 0 ? kOverflow : kDivisionByZero);
        return FitResult(x / y, rank == kCurrency ? kCurrency : kDouble);
    case BinaryOp::IntDivide:
    case BinaryOp::Mod: {
        double xr = std::nearbyint(x), yr = std::nearbyint(y);
        if (std::fabs(xr) > 2147483647.0 || std::fabs(yr) > 2147483647.0)
            Throw(kOverflow);
        long long xi = static_cast<long long>(xr), yi = static_cast<long long>(yr);
        if (yi == 0)
            Throw(kDivisionByZero);
        long long r = op == BinaryOp::IntDivide ? xi / yi : xi % yi;
        return FitResult(static_cast<double>(r), IsWholeRank(rank) ? rank : kLong);
    }
    case BinaryOp::Power: {
        if (x < 0 && y != std::trunc(y))
            Throw(kInvalidProcedureCall);
        double r = std::pow(x, y);
        if (std::isinf(r) && x == 0)
            Throw(kDivisionByZero);
        return FitResult(r, kDouble);
    }
    default:
        Throw(kTypeMismatch);
    }
}

Var Negate(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    switch (v.vt) {
    case VT_NULL: return Var::Null();
    case VT_EMPTY: return Var::Int(0);
    case VT_I2: return v.iVal == -32768 ? Var::Long(32768) : Var::Int(static_cast<SHORT>(-v.iVal));
    case VT_I4: return v.lVal == std::numeric_limits<LONG>::min() ? Var::Double(2147483648.0) : Var::Long(-v.lVal);
    case VT_BOOL: return Var::Int(v.boolVal ? 1 : 0);
    case VT_UI1: return Var::Int(static_cast<SHORT>(-v.bVal));
    case VT_DISPATCH: case VT_UNKNOWN: return Negate(ValueOf(v).v);
    default: return FitResult(-ToDouble(v), RankOf(v) == kByte ? kInteger : RankOf(v));
    }
}

Var Not(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    switch (v.vt) {
    case VT_NULL: return Var::Null();
    case VT_BOOL: return Var::Bool(!v.boolVal);
    case VT_EMPTY: return Var::Int(-1);
    case VT_UI1: return Var::Byte(static_cast<BYTE>(~v.bVal));
    case VT_I2: return Var::Int(static_cast<SHORT>(~v.iVal));
    case VT_DISPATCH: case VT_UNKNOWN: return Not(ValueOf(v).v);
    default: return Var::Long(~ToLong(v));
    }
}

std::wstring TypeNameOf(const VARIANT& raw)
{
    const VARIANT& v = Deref(raw);
    if (v.vt & VT_ARRAY)
        return L"Variant()";
    switch (v.vt) {
    case VT_EMPTY: return L"Empty";
    case VT_NULL: return L"Null";
    case VT_I2: return L"Integer";
    case VT_I4: return L"Long";
    case VT_R4: return L"Single";
    case VT_R8: return L"Double";
    case VT_CY: return L"Currency";
    case VT_DATE: return L"Date";
    case VT_BSTR: return L"String";
    case VT_BOOL: return L"Boolean";
    case VT_UI1: return L"Byte";
    case VT_ERROR: return L"Error";
    case VT_UNKNOWN: return v.punkVal ? L"Unknown" : L"Nothing";
    case VT_DISPATCH: {
        if (!v.pdispVal)
            return L"Nothing";
        ComPtr<IScriptTypeName> named;
        v.pdispVal->QueryInterface(IID_IScriptTypeName, reinterpret_cast<void**>(named.Receive()));
        return named ? named->TypeName() : L"Object";
    }
    default: return L"Variant";
    }
}

} // namespace vbs
