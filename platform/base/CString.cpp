#include "platform/base/CString.h"

#include "platform/base/StringFormat.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace {

// Case mapping for all of Unicode, whatever the process's C locale is.
locale_t UnicodeCtype()
{
    static locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return loc;
}

wchar_t ToUpper(wchar_t ch) { return static_cast<wchar_t>(UnicodeCtype() ? towupper_l(ch, UnicodeCtype()) : std::towupper(ch)); }
wchar_t ToLower(wchar_t ch) { return static_cast<wchar_t>(UnicodeCtype() ? towlower_l(ch, UnicodeCtype()) : std::towlower(ch)); }

bool InSet(wchar_t ch, const wchar_t* set) { return set && std::wcschr(set, ch) && ch != L'\0'; }

// Windows-1252 code points for the bytes 0x80-0x9F; the rest of the page equals Latin-1.
constexpr wchar_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes strict UTF-8 (no overlongs, no surrogates) into out, or only checks it when out is null;
// false on the first invalid sequence.
bool DecodeUtf8(std::string_view bytes, std::wstring* out)
{
    if (out) {
        out->clear();
        out->reserve(bytes.size());
    }
    for (size_t i = 0; i < bytes.size();) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            if (out) *out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        char32_t minimum;
        if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; minimum = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; minimum = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; minimum = 0x10000; }
        else return false;
        if (i + extra >= bytes.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (out) *out += static_cast<wchar_t>(cp);
        i += extra + 1;
    }
    return true;
}

} // namespace

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto cp = static_cast<char32_t>(wc);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::optional<std::wstring> Utf8ToWide(std::string_view bytes)
{
    std::wstring out;
    if (!DecodeUtf8(bytes, &out)) return std::nullopt;
    return out;
}

bool IsUtf8(std::string_view bytes) { return DecodeUtf8(bytes, nullptr); }

std::optional<std::string> WideToWindows1252(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
            out += static_cast<char>(ch);
            continue;
        }
        const wchar_t* high = std::find(std::begin(kCp1252High), std::end(kCp1252High), ch);
        if (high == std::end(kCp1252High)) return std::nullopt;
        out += static_cast<char>(0x80 + (high - std::begin(kCp1252High)));
    }
    return out;
}

std::wstring NarrowToWide(std::string_view bytes)
{
    std::wstring out;
    if (DecodeUtf8(bytes, &out)) return out;
    return Windows1252ToWide(bytes);
}

std::wstring Windows1252ToWide(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out += (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : static_cast<wchar_t>(b);
    }
    return out;
}

CString::CString(const wchar_t* text, int length)
{
    if (text && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

CString::CString(const char* text) : m_text(NarrowToWide(text ? text : "")) {}

std::string CString::ToUtf8() const { return WideToUtf8(m_text); }

int CString::Clamp(int index) const { return std::clamp(index, 0, GetLength()); }

wchar_t CString::GetAt(int index) const
{
    return (index >= 0 && index < GetLength()) ? m_text[index] : L'\0';
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index >= 0 && index < GetLength()) m_text[index] = ch;
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength()) m_text.resize(minLength);
    return m_text.data();
}

wchar_t* CString::GetBufferSetLength(int length)
{
    m_text.resize(length > 0 ? length : 0);
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength)
{
    size_t length = newLength < 0 ? std::wcslen(m_text.c_str()) : static_cast<size_t>(newLength);
    m_text.resize(std::min(length, m_text.size()));
}

CString& CString::operator=(const wchar_t* text)
{
    m_text = text ? text : L"";
    return *this;
}

CString& CString::operator=(wchar_t ch)
{
    m_text.assign(1, ch);
    return *this;
}

void CString::Append(const wchar_t* text, int length)
{
    if (text && length > 0) m_text.append(text, length);
}

int CString::Compare(const wchar_t* other) const
{
    int result = std::wcscmp(m_text.c_str(), other ? other : L"");
    return (result > 0) - (result < 0);
}

int CString::CompareNoCase(const wchar_t* other) const
{
    const wchar_t* a = m_text.c_str();
    const wchar_t* b = other ? other : L"";
    for (;; ++a, ++b) {
        wchar_t ca = ToLower(*a);
        wchar_t cb = ToLower(*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    first = Clamp(first);
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_text.substr(first, count));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const
{
    count = Clamp(count);
    return CString(m_text.substr(GetLength() - count));
}

CString CString::SpanIncluding(const wchar_t* set) const
{
    int n = 0;
    while (n < GetLength() && InSet(m_text[n], set)) ++n;
    return Left(n);
}

CString CString::SpanExcluding(const wchar_t* set) const
{
    int n = 0;
    while (n < GetLength() && !InSet(m_text[n], set)) ++n;
    return Left(n);
}

CString& CString::MakeUpper()
{
    for (auto& ch : m_text) ch = ToUpper(ch);
    return *this;
}

CString& CString::MakeLower()
{
    for (auto& ch : m_text) ch = ToLower(ch);
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_text.begin(), m_text.end());
    return *this;
}

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    int count = 0;
    for (auto& ch : m_text) {
        if (ch == oldCh) { ch = newCh; ++count; }
    }
    return count;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    if (!oldText || !*oldText) return 0;
    std::wstring_view from(oldText);
    std::wstring_view to(newText ? newText : L"");
    std::wstring result;
    int count = 0;
    size_t pos = 0;
    for (size_t hit; (hit = m_text.find(from, pos)) != std::wstring::npos; pos = hit + from.size()) {
        result.append(m_text, pos, hit - pos);
        result.append(to);
        ++count;
    }
    if (count) {
        result.append(m_text, pos);
        m_text = std::move(result);
    }
    return count;
}

int CString::Remove(wchar_t ch)
{
    auto removed = std::erase(m_text, ch);
    return static_cast<int>(removed);
}

int CString::Insert(int index, wchar_t ch)
{
    m_text.insert(static_cast<size_t>(Clamp(index)), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const wchar_t* text)
{
    if (text) m_text.insert(static_cast<size_t>(Clamp(index)), text);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index >= 0 && index < GetLength() && count > 0) m_text.erase(index, count);
    return GetLength();
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start >= GetLength()) return -1;
    auto pos = m_text.find(ch, start);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const wchar_t* text, int start) const
{
    if (!text || start < 0 || start > GetLength()) return -1;
    auto pos = m_text.find(text, start);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t ch) const
{
    auto pos = m_text.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const wchar_t* set) const
{
    for (int i = 0; i < GetLength(); ++i) {
        if (InSet(m_text[i], set)) return i;
    }
    return -1;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const wchar_t* set) { return TrimRight(set).TrimLeft(set); }

CString& CString::TrimLeft()
{
    size_t n = 0;
    while (n < m_text.size() && std::iswspace(m_text[n])) ++n;
    m_text.erase(0, n);
    return *this;
}

CString& CString::TrimLeft(wchar_t ch)
{
    m_text.erase(0, std::min(m_text.find_first_not_of(ch), m_text.size()));
    return *this;
}

CString& CString::TrimLeft(const wchar_t* set)
{
    size_t n = 0;
    while (n < m_text.size() && InSet(m_text[n], set)) ++n;
    m_text.erase(0, n);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_text.empty() && std::iswspace(m_text.back())) m_text.pop_back();
    return *this;
}

CString& CString::TrimRight(wchar_t ch)
{
    while (!m_text.empty() && m_text.back() == ch) m_text.pop_back();
    return *this;
}

CString& CString::TrimRight(const wchar_t* set)
{
    while (!m_text.empty() && InSet(m_text.back(), set)) m_text.pop_back();
    return *this;
}

CString CString::Tokenize(const wchar_t* delimiters, int& start) const
{
    if (start < 0) return CString();
    int first = start;
    while (first < GetLength() && InSet(m_text[first], delimiters)) ++first;
    if (first >= GetLength()) {
        start = -1;
        return CString();
    }
    int last = first;
    while (last < GetLength() && !InSet(m_text[last], delimiters)) ++last;
    start = last + 1;
    return Mid(first, last - first);
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args) { m_text = FormatWideV(format, args); }

void CString::AppendFormatV(const wchar_t* format, va_list args) { m_text += FormatWideV(format, args); }
