#pragma once
// Var: a VARIANT that owns what it holds, the value type of the script engine, with the
// operators of the language (its coercions, precedence of types and overflow rules).

#include "platform/com/Automation.h"

#include <string>

namespace vbs {

// Longer texts end the script with "Out of string space".
constexpr size_t kMaxTextLength = 16 * 1024 * 1024;

class Var {
public:
    VARIANT v;

    Var() { MakeEmpty(v); }
    Var(const Var& other) { MakeEmpty(v); Assign(other.v); }
    Var(Var&& other) noexcept : v(other.v) { MakeEmpty(other.v); }
    ~Var()
    {
        if (OwnsData(v))
            VariantClear(&v);
    }
    Var& operator=(const Var& other) { if (this != &other) Assign(other.v); return *this; }
    Var& operator=(Var&& other) noexcept
    {
        if (this != &other) {
            VariantClear(&v);
            v = other.v;
            VariantInit(&other.v);
        }
        return *this;
    }
    // Takes over a variant the caller owned.
    static Var Adopt(VARIANT raw) { Var r; r.v = raw; return r; }
    VARIANT Detach() { VARIANT raw = v; VariantInit(&v); return raw; }
    void Assign(const VARIANT& other);  // a copy; references followed
    void Clear() { VariantClear(&v); }

    static Var Null() { Var r; r.v.vt = VT_NULL; return r; }
    static Var Bool(bool b) { Var r; r.v.vt = VT_BOOL; r.v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE; return r; }
    static Var Int(SHORT i) { Var r; r.v.vt = VT_I2; r.v.iVal = i; return r; }
    static Var Long(LONG i) { Var r; r.v.vt = VT_I4; r.v.lVal = i; return r; }
    static Var Byte(BYTE b) { Var r; r.v.vt = VT_UI1; r.v.bVal = b; return r; }
    static Var Double(double d) { Var r; r.v.vt = VT_R8; r.v.dblVal = d; return r; }
    static Var Date(DATE d) { Var r; r.v.vt = VT_DATE; r.v.date = d; return r; }
    // Throws out of memory (7) when the engine's budget or the system refuses the text.
    static Var Text(std::wstring_view s);
    static Var Object(IDispatch* d) { Var r; r.v.vt = VT_DISPATCH; r.v.pdispVal = d; if (d) d->AddRef(); return r; }
    // The smallest of Integer, Long and Double that holds a whole number.
    static Var Whole(double d);

    VARTYPE type() const { return v.vt; }
    bool IsEmpty() const { return v.vt == VT_EMPTY; }
    bool IsNull() const { return v.vt == VT_NULL; }
    bool IsObject() const { return v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN; }
    bool IsArray() const { return (v.vt & VT_ARRAY) != 0; }
    bool IsText() const { return v.vt == VT_BSTR; }
    bool IsNumeric() const;  // a number type, Boolean or Date
    IDispatch* object() const { return v.vt == VT_DISPATCH ? v.pdispVal : nullptr; }

private:
    // Numbers need no clearing; only texts, objects and arrays own something. Inline, because
    // temporaries are made and dropped on every step of a running script.
    static bool OwnsData(const VARIANT& value)
    {
        VARTYPE vt = value.vt;
        return !(vt & VT_BYREF) && (vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_UNKNOWN || (vt & VT_ARRAY));
    }
    static void MakeEmpty(VARIANT& value)
    {
        value.vt = VT_EMPTY;
        value.wReserved1 = value.wReserved2 = value.wReserved3 = 0;
        value.llVal = 0;
    }
};

// Arrays may hold arrays this many levels deep; deeper nesting ends with "Out of stack space",
// since copying and freeing such a value recurse once per level.
constexpr int kMaxArrayNesting = 512;
// Throws error 28 when storing value inside an array would nest arrays too deeply.
void CheckNesting(const VARIANT& value);

// Coercions; they throw the language's runtime errors (13 Type mismatch, 6 Overflow, 94 Invalid
// use of Null). Objects are read through their default property.
double ToDouble(const VARIANT& v);
LONG ToLong(const VARIANT& v);  // rounded half to even
SHORT ToInteger(const VARIANT& v);
bool ToBool(const VARIANT& v);
std::wstring ToText(const VARIANT& v);
DATE ToDate(const VARIANT& v);
// The value itself for scalars; an object's default property value.
Var ValueOf(const VARIANT& v);
bool IsNumericText(const VARIANT& v);

enum class BinaryOp { Add, Subtract, Multiply, Divide, IntDivide, Mod, Power, Concat,
                      Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual,
                      And, Or, Xor, Eqv, Imp, Is };

Var Binary(BinaryOp op, const VARIANT& a, const VARIANT& b);
Var Negate(const VARIANT& a);
Var Not(const VARIANT& a);
// c in lower case, for all of Unicode whatever the process's C locale is; text comparisons
// without case compare folded characters.
wchar_t FoldCase(wchar_t c);

// -1, 0, 1 by the language's comparison rules; textCompare compares without case.
// Returns 2 when either side is Null.
int Compare(const VARIANT& a, const VARIANT& b, bool textCompare = false);

// A number or a text written in the program is compared with a value of the other kind by
// converting that value to the written one's kind (a number, date or Boolean to text; a text that
// reads as a number to that number, any other text keeps sorting after numbers). Returns value
// itself or what it was converted to.
const VARIANT& AsKindOfWritten(const VARIANT& written, const VARIANT& value, Var& converted);

// The type name of a value ("Integer", "String", "Nothing", "Variant()", a class's name...).
std::wstring TypeNameOf(const VARIANT& v);

} // namespace vbs
