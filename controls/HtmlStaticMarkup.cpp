#include "controls/HtmlStaticMarkup.h"

#include "controls/NamedColours.h"

#include <cwchar>
#include <cwctype>
#include <string>

namespace {

std::wstring Upper(const wchar_t* text)
{
    std::wstring upper(text);
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    return upper;
}

// Whether markup has the tag (all lower or all upper case) at position.
bool HasTagAt(const CString& markup, int position, const wchar_t* lowerTag)
{
    const int length = static_cast<int>(std::wcslen(lowerTag));
    if (position + length > markup.GetLength())
        return false;
    const CString piece = markup.Mid(position, length);
    return piece == lowerTag || piece == Upper(lowerTag).c_str();
}

}

std::optional<CString> HtmlAttribute(const CString& tag, const wchar_t* lowerName)
{
    for (const std::wstring& name : { std::wstring(lowerName), Upper(lowerName) }) {
        int at = tag.Find(name.c_str());
        while (at >= 0) {
            int i = at + static_cast<int>(name.size());
            // A whole attribute name: not the end of a longer one ("bgcolor" holds "color").
            const bool starts = at == 0 || std::iswspace(tag[at - 1]);
            while (i < tag.GetLength() && std::iswspace(tag[i]))
                ++i;
            if (starts && i < tag.GetLength() && tag[i] == L'=') {
                ++i;
                while (i < tag.GetLength() && std::iswspace(tag[i]))
                    ++i;
                if (i < tag.GetLength() && tag[i] == L'"') {
                    const int end = tag.Find(L'"', i + 1);
                    if (end > i)
                        return tag.Mid(i + 1, end - i - 1);
                }
            }
            at = tag.Find(name.c_str(), at + 1);
        }
    }
    return std::nullopt;
}

std::vector<HtmlRun> ParseHtmlMarkup(const CString& markup)
{
    std::vector<HtmlRun> runs;
    HtmlStyle style;
    CString text;
    auto flush = [&] {
        if (!text.IsEmpty())
            runs.push_back({ text, style, false });
        text.Empty();
    };
    struct Switch {
        const wchar_t* tag;
        bool HtmlStyle::*flag;
        bool on;
    };
    static const Switch kSwitches[] = {
        { L"<b>", &HtmlStyle::bold, true }, { L"</b>", &HtmlStyle::bold, false },
        { L"<i>", &HtmlStyle::italic, true }, { L"</i>", &HtmlStyle::italic, false },
        { L"<u>", &HtmlStyle::underline, true }, { L"</u>", &HtmlStyle::underline, false },
        { L"<strike>", &HtmlStyle::strike, true }, { L"</strike>", &HtmlStyle::strike, false },
    };

    int i = 0;
    while (i < markup.GetLength()) {
        if (markup[i] != L'<') {
            text += markup[i++];
            continue;
        }
        bool matched = false;
        for (const Switch& s : kSwitches) {
            if (HasTagAt(markup, i, s.tag)) {
                flush();
                style.*s.flag = s.on;
                i += static_cast<int>(std::wcslen(s.tag));
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        const int close = markup.Find(L'>', i);
        if (HasTagAt(markup, i, L"<br>")) {
            flush();
            runs.push_back({ CString(), style, true });
            i += 4;
        } else if (HasTagAt(markup, i, L"</font>")) {
            flush();
            style.colour.reset();
            style.background.reset();
            style.face.Empty();
            style.size = 0;
            i += 7;
        } else if (HasTagAt(markup, i, L"</a>")) {
            flush();
            style.link.reset();
            i += 4;
        } else if (close > i && HasTagAt(markup, i, L"<font") && (std::iswspace(markup[i + 5]) || markup[i + 5] == L'>')) {
            flush();
            const CString tag = markup.Mid(i + 5, close - i - 5);
            if (auto colour = HtmlAttribute(tag, L"color"))
                style.colour = CNGNamedColours(*colour).Colour();
            if (auto background = HtmlAttribute(tag, L"bgcolor"))
                style.background = CNGNamedColours(*background).Colour();
            if (auto face = HtmlAttribute(tag, L"face"))
                style.face = *face;
            if (auto size = HtmlAttribute(tag, L"size"))
                style.size = static_cast<int>(std::wcstol(*size, nullptr, 10));
            i = close + 1;
        } else if (close > i && HasTagAt(markup, i, L"<a href=")) {
            flush();
            CString target = markup.Mid(i + 8, close - i - 8);
            target.Trim();
            if (target.GetLength() >= 2 && target[0] == L'"' && target[target.GetLength() - 1] == L'"')
                target = target.Mid(1, target.GetLength() - 2);
            style.link = target;
            i = close + 1;
        } else {
            text += markup[i++];
        }
    }
    flush();
    return runs;
}
