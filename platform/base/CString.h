#pragma once
// CString: the program's wide string, a std::wstring with the classic string-class operations.
// Positions and counts are in wchar_t; out-of-range arguments are clamped, never undefined.

#include "platform/base/WinTypes.h"

#include <cstdarg>
#include <optional>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    // Exactly length characters, NULs included; text need not be terminated.
    CString(const wchar_t* text, int length);
    CString(wchar_t ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}
    // Narrow text is taken as UTF-8 (Windows-1252 where it is not valid UTF-8).
    explicit CString(const char* text);
    CString(std::wstring text) : m_text(std::move(text)) {}
    CString(std::wstring_view text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    wchar_t GetAt(int index) const;
    void SetAt(int index, wchar_t ch);
    wchar_t operator[](int index) const { return GetAt(index); }
    operator const wchar_t*() const { return m_text.c_str(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    const std::wstring& str() const { return m_text; }
    std::wstring_view view() const { return m_text; }
    std::string ToUtf8() const;
    // The string resource id of the program (FALSE, the text unchanged, when there is none).
    // Defined with the resources in platform/res: a caller links fln_res.
    BOOL LoadString(UINT id);

    // Direct buffer access: the buffer holds at least minLength characters plus a terminator
    // until ReleaseBuffer, which takes the length given or the length up to the first NUL.
    wchar_t* GetBuffer(int minLength = 0);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void Preallocate(int length) { m_text.reserve(length > 0 ? length : 0); }

    CString& operator=(const wchar_t* text);
    CString& operator=(wchar_t ch);
    CString& operator+=(const CString& text) { m_text += text.m_text; return *this; }
    CString& operator+=(const wchar_t* text) { if (text) m_text += text; return *this; }
    CString& operator+=(wchar_t ch) { m_text += ch; return *this; }
    void Append(const wchar_t* text) { *this += text; }
    void Append(const wchar_t* text, int length);
    void AppendChar(wchar_t ch) { m_text += ch; }

    int Compare(const wchar_t* other) const;
    int CompareNoCase(const wchar_t* other) const;
    int Collate(const wchar_t* other) const { return Compare(other); }
    int CollateNoCase(const wchar_t* other) const { return CompareNoCase(other); }

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const wchar_t* set) const;
    CString SpanExcluding(const wchar_t* set) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    int Replace(wchar_t oldCh, wchar_t newCh);
    int Replace(const wchar_t* oldText, const wchar_t* newText);
    int Remove(wchar_t ch);
    int Insert(int index, wchar_t ch);
    int Insert(int index, const wchar_t* text);
    int Delete(int index, int count = 1);

    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(const wchar_t* set) const;

    CString& Trim();
    CString& Trim(wchar_t ch);
    CString& Trim(const wchar_t* set);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(const wchar_t* set);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(const wchar_t* set);

    // Splits at any character of delimiters, skipping leading ones; start moves past the token
    // and becomes -1 (with an empty result) when no token is left.
    CString Tokenize(const wchar_t* delimiters, int& start) const;

    void Format(const wchar_t* format, ...);
    void AppendFormat(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormatV(const wchar_t* format, va_list args);

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend auto operator<=>(const CString& a, const CString& b) { return a.m_text <=> b.m_text; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
    friend CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, wchar_t b) { CString r(a); r += b; return r; }
    friend CString operator+(wchar_t a, const CString& b) { CString r(a); r += b; return r; }

private:
    int Clamp(int index) const;

    std::wstring m_text;
};

using CStringW = CString;

// Byte-boundary conversions: UTF-8 out; UTF-8 in, Windows-1252 where the bytes are not valid UTF-8.
std::string WideToUtf8(std::wstring_view text);
std::wstring NarrowToWide(std::string_view bytes);
std::wstring Windows1252ToWide(std::string_view bytes);
// Strict UTF-8 (no overlong forms, no surrogates); nothing for bytes that are not valid UTF-8.
std::optional<std::wstring> Utf8ToWide(std::string_view bytes);
bool IsUtf8(std::string_view bytes);  // what Utf8ToWide accepts, checked without decoding
// The Windows-1252 bytes of text; nothing when a character has no byte in that code page.
std::optional<std::string> WideToWindows1252(std::wstring_view text);
