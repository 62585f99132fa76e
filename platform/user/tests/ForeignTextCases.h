#pragma once
// Text bytes another program hands over, and what this program must read: valid UTF-8 as it
// stands, anything else whole in the fallback code page (Windows-1252), never a character lost,
// swallowed or made up. Every reader of outside text is held to this one table.

#include <string>

namespace foreign_text {

struct Case {
    const char* name;
    std::string bytes;
    std::wstring text;
};

inline const Case kCases[] = {
    { "Utf8", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", L"caf\u00E9 \u20AC \U0001F600" },
    { "Latin1", "caf\xE9 ok", L"caf\u00E9 ok" },
    { "OverlongNul", std::string("x\xC0\x80y", 4), L"x\u00C0\u20ACy" },
    { "OverlongSlash", "a\xC0\xAF" "b", L"a\u00C0\u00AF" "b" },
    { "Surrogate", "s\xED\xA0\x80t", L"s\u00ED\u00A0\u20ACt" },
    { "LeadF8", "\xF8\x88\x80\x80\x80z", L"\u00F8\u02C6\u20AC\u20AC\u20ACz" },
    { "Truncated", "end\xE2\x82", L"end\u00E2\u201A" },
};

} // namespace foreign_text
