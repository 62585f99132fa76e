// The string functions of the script language: lengths and parts, searching and replacing, splitting
// and joining, case and padding, character codes and URL escapes.

#include "platform/script/VbsBuiltinSupport.h"

#include "platform/base/CString.h"

#include <cstdio>
#include <cwctype>

namespace vbs::builtins {
namespace {

Var Len(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    return Var::Long(static_cast<LONG>(ToText(a[0]).size()));
}

Var Left(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0);
    LONG n = ToLong(a[1]);
    if (n < 0)
        Throw(kInvalidProcedureCall);
    return Var::Text(s.substr(0, std::min<size_t>(n, s.size())));
}

Var Right(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0);
    LONG n = ToLong(a[1]);
    if (n < 0)
        Throw(kInvalidProcedureCall);
    size_t k = std::min<size_t>(n, s.size());
    return Var::Text(s.substr(s.size() - k));
}

Var Mid(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0);
    LONG start = ToLong(a[1]);
    if (start < 1)
        Throw(kInvalidProcedureCall);
    LONG length = a.Has(2) ? Whole(a, 2) : static_cast<LONG>(s.size());
    if (length < 0)
        Throw(kInvalidProcedureCall);
    if (size_t(start) > s.size())
        return Var::Text(L"");
    return Var::Text(s.substr(start - 1, length));
}

Var InStr(Interpreter&, const Args& a)
{
    size_t first = 0;
    LONG start = 1;
    if (a.size() >= 3) {
        if (IsNullArg(a, 0))
            Throw(kInvalidUseOfNull);
        start = Whole(a, 0, 1);
        if (start < 1)
            Throw(kInvalidProcedureCall);
        first = 1;
    }
    if (IsNullArg(a, first) || IsNullArg(a, first + 1))
        return Var::Null();
    std::wstring s = Text(a, first), find = Text(a, first + 1);
    bool noCase = a.size() >= 4 && TextCompare(a, 3);
    if (size_t(start) > s.size())
        return Var::Long(0);
    if (find.empty())
        return Var::Long(start);
    size_t at = FindText(s, find, start - 1, noCase);
    return Var::Long(at == std::wstring::npos ? 0 : static_cast<LONG>(at + 1));
}

Var InStrRev(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0) || IsNullArg(a, 1))
        return Var::Null();
    std::wstring s = Text(a, 0), find = Text(a, 1);
    LONG start = Whole(a, 2, -1);
    bool noCase = TextCompare(a, 3);
    if (start == 0 || start < -1)
        Throw(kInvalidProcedureCall);
    if (start == -1)
        start = static_cast<LONG>(s.size());
    if (size_t(start) > s.size())
        return Var::Long(0);
    if (find.empty())
        return Var::Long(start);
    for (LONG i = start - static_cast<LONG>(find.size()); i >= 0; --i) {
        if (FindText(std::wstring_view(s).substr(i, find.size()), find, 0, noCase) == 0)
            return Var::Long(i + 1);
    }
    return Var::Long(0);
}

Var Replace(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    std::wstring s = Text(a, 0), find = Text(a, 1), with = Text(a, 2);
    LONG start = Whole(a, 3, 1);
    LONG count = Whole(a, 4, -1);
    bool noCase = TextCompare(a, 5);
    if (start < 1 || count < -1)
        Throw(kInvalidProcedureCall);
    if (size_t(start) > s.size())
        return Var::Text(L"");
    std::wstring rest = s.substr(start - 1);
    if (find.empty() || count == 0)
        return Var::Text(rest);
    std::wstring out;
    size_t pos = 0;
    LONG done = 0;
    while (count == -1 || done < count) {
        size_t at = FindText(rest, find, pos, noCase);
        if (at == std::wstring::npos)
            break;
        out.append(rest, pos, at - pos);
        out += with;
        CheckLength(out.size());
        pos = at + find.size();
        ++done;
    }
    out.append(rest, pos, std::wstring::npos);
    return Var::Text(out);
}

Var Split(Interpreter&, const Args& a)
{
    std::wstring s = Text(a, 0);
    std::wstring delimiter = a.Has(1) ? Text(a, 1) : L" ";
    LONG count = Whole(a, 2, -1);
    bool noCase = TextCompare(a, 3);
    if (count < -1)
        Throw(kInvalidProcedureCall);
    std::vector<Var> parts;
    if (!s.empty() && count != 0) {
        if (delimiter.empty()) {
            parts.push_back(Var::Text(s));
        } else {
            size_t pos = 0;
            while (true) {
                if (count != -1 && static_cast<LONG>(parts.size()) == count - 1) {
                    parts.push_back(Var::Text(s.substr(pos)));
                    break;
                }
                size_t at = FindText(s, delimiter, pos, noCase);
                if (at == std::wstring::npos) {
                    parts.push_back(Var::Text(s.substr(pos)));
                    break;
                }
                parts.push_back(Var::Text(s.substr(pos, at - pos)));
                pos = at + delimiter.size();
            }
        }
    }
    return MakeVector(parts);
}

Var Join(Interpreter&, const Args& a)
{
    const VARIANT& v = ArrayArg(a, 0);
    std::wstring delimiter = a.Has(1) ? Text(a, 1) : L" ";
    std::wstring out;
    bool first = true;
    for (Var& e : Elements(v)) {
        if (!first)
            out += delimiter;
        first = false;
        if (!e.IsNull())
            out += ToText(e.v);
        CheckLength(out.size());
    }
    return Var::Text(out);
}

Var Filter(Interpreter&, const Args& a)
{
    const VARIANT& v = ArrayArg(a, 0);
    if (IsNullArg(a, 1))
        Throw(kInvalidUseOfNull);
    std::wstring match = Text(a, 1);
    bool include = a.Has(2) ? ToBool(a[2]) : true;
    bool noCase = TextCompare(a, 3);
    std::vector<Var> kept;
    for (Var& e : Elements(v)) {
        bool found = FindText(ToText(e.v), match, 0, noCase) != std::wstring::npos;
        if (found == include)
            kept.push_back(Var::Text(ToText(e.v)));
    }
    return MakeVector(kept);
}

template<bool Upper>
Var ChangeCase(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    CString s(Text(a, 0));
    return Var::Text(Upper ? s.MakeUpper().view() : s.MakeLower().view());
}

template<bool Leading, bool Trailing>
Var TrimText(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0);
    size_t first = 0, last = s.size();
    if (Leading)
        while (first < last && s[first] == L' ')
            ++first;
    if (Trailing)
        while (last > first && s[last - 1] == L' ')
            --last;
    return Var::Text(s.substr(first, last - first));
}

Var Space(Interpreter&, const Args& a)
{
    LONG n = Whole(a, 0);
    if (n < 0)
        Throw(kInvalidProcedureCall);
    CheckLength(n);
    return Var::Text(std::wstring(n, L' '));
}

Var StringOf(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0) || IsNullArg(a, 1))
        return Var::Null();
    LONG n = ToLong(a[0]);
    if (n < 0)
        Throw(kInvalidProcedureCall);
    CheckLength(n);
    wchar_t c;
    if (a[1].vt == VT_BSTR) {
        std::wstring s = Text(a, 1);
        if (s.empty())
            Throw(kInvalidProcedureCall);
        c = s[0];
    } else {
        LONG code = Whole(a, 1);
        c = static_cast<wchar_t>(((code % 256) + 256) % 256);
    }
    return Var::Text(std::wstring(n, c));
}

Var StrReverse(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    std::wstring s = Text(a, 0);
    return Var::Text(std::wstring(s.rbegin(), s.rend()));
}

Var StrComp(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0) || IsNullArg(a, 1))
        return Var::Null();
    bool noCase = TextCompare(a, 2);
    Var x = Var::Text(Text(a, 0)), y = Var::Text(Text(a, 1));
    return Var::Int(static_cast<SHORT>(Compare(x.v, y.v, noCase)));
}

// Asc and Chr work in the Western (Windows-1252) code page: Chr(128) is the euro sign, and a
// character the page lacks reads as "?".
wchar_t CharOfCodePage(BYTE code) { return NarrowToWide(std::string(1, static_cast<char>(code)))[0]; }

BYTE CodePageOf(wchar_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<BYTE>(c);
    for (int code = 0x80; code < 0xA0; ++code)
        if (CharOfCodePage(static_cast<BYTE>(code)) == c)
            return static_cast<BYTE>(code);
    return '?';
}

template<bool Wide>
Var Asc(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    std::wstring s = Text(a, 0);
    if (s.empty())
        Throw(kInvalidProcedureCall);
    if (!Wide)
        return Var::Whole(CodePageOf(s[0]));
    // A UTF-16 code unit as a signed Integer: ChrW(&HFFFF) gives -1; beyond the BMP, the lead surrogate.
    wchar_t unit = s[0] > 0xFFFF ? static_cast<wchar_t>(0xD800 + ((s[0] - 0x10000) >> 10)) : s[0];
    return Var::Whole(static_cast<SHORT>(static_cast<WORD>(unit)));
}

Var Chr(Interpreter&, const Args& a)
{
    LONG code = Whole(a, 0);
    if (code < 0 || code > 255)
        Throw(kInvalidProcedureCall);
    return Var::Text(std::wstring(1, CharOfCodePage(static_cast<BYTE>(code))));
}

Var ChrW(Interpreter&, const Args& a)
{
    LONG code = Whole(a, 0);
    // A UTF-16 code unit, signed (as &HFFFF is -1) or not; surrogate halves make no character on
    // their own.
    if (code < -32768 || code > 0xFFFF)
        Throw(kInvalidProcedureCall);
    if (code < 0)
        code += 65536;
    if (code >= 0xD800 && code <= 0xDFFF)
        Throw(kInvalidProcedureCall);
    return Var::Text(std::wstring(1, static_cast<wchar_t>(code)));
}

// Escape writes %XX (below 256) or %uXXXX for every character but letters, digits and @*_+-./
Var Escape(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    static const std::wstring_view kept = L"@*_+-./";
    std::wstring out;
    wchar_t buffer[8];
    for (wchar_t c : Text(a, 0)) {
        if ((c < 128 && std::iswalnum(c)) || kept.find(c) != std::wstring_view::npos)
            out += c;
        else if (c < 256) {
            std::swprintf(buffer, 8, L"%%%02X", static_cast<unsigned>(c));
            out += buffer;
        } else {
            std::swprintf(buffer, 8, L"%%u%04X", static_cast<unsigned>(c) & 0xFFFF);
            out += buffer;
        }
        CheckLength(out.size());
    }
    return Var::Text(out);
}

Var Unescape(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0), out;
    auto hex = [&](size_t at, size_t count, unsigned& value) {
        value = 0;
        if (at + count > s.size())
            return false;
        for (size_t k = at; k < at + count; ++k) {
            if (!std::iswxdigit(s[k]))
                return false;
            value = value * 16 + (std::iswdigit(s[k]) ? s[k] - L'0' : (std::towlower(s[k]) - L'a' + 10));
        }
        return true;
    };
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned value;
        if (s[i] == L'%' && i + 1 < s.size() && (s[i + 1] == L'u' || s[i + 1] == L'U') && hex(i + 2, 4, value)) {
            out += static_cast<wchar_t>(value);
            i += 5;
        } else if (s[i] == L'%' && hex(i + 1, 2, value)) {
            out += static_cast<wchar_t>(value);
            i += 2;
        } else {
            out += s[i];
        }
    }
    return Var::Text(out);
}

const Builtin kFunctions[] = {
    {L"asc", 1, 1, Asc<false>},
    {L"ascb", 1, 1, Asc<false>},
    {L"ascw", 1, 1, Asc<true>},
    {L"chr", 1, 1, Chr},
    {L"chrb", 1, 1, Chr},
    {L"chrw", 1, 1, ChrW},
    {L"escape", 1, 1, Escape},
    {L"filter", 2, 4, Filter},
    {L"instr", 2, 4, InStr},
    {L"instrrev", 2, 4, InStrRev},
    {L"join", 1, 2, Join},
    {L"lcase", 1, 1, ChangeCase<false>},
    {L"left", 2, 2, Left},
    {L"len", 1, 1, Len},
    {L"ltrim", 1, 1, TrimText<true, false>},
    {L"mid", 2, 3, Mid},
    {L"replace", 3, 6, Replace},
    {L"right", 2, 2, Right},
    {L"rtrim", 1, 1, TrimText<false, true>},
    {L"space", 1, 1, Space},
    {L"split", 1, 4, Split},
    {L"strcomp", 2, 3, StrComp},
    {L"string", 2, 2, StringOf},
    {L"strreverse", 1, 1, StrReverse},
    {L"trim", 1, 1, TrimText<true, true>},
    {L"ucase", 1, 1, ChangeCase<true>},
    {L"unescape", 1, 1, Unescape},
};

} // namespace

std::span<const Builtin> StringFunctions() { return kFunctions; }

} // namespace vbs::builtins
