#include "controls/HtmlMarkup.h"

#include "controls/HtmlScan.h"
#include "platform/base/MulDiv.h"
#include "platform/gdi/SysColors.h"
#include "platform/sys/Shell.h"
#include "platform/user/WinUser.h"

#include <algorithm>
#include <cwctype>
#include <cstdlib>

void PPHtmlStyle::SetBorderStyle(int style)
{
    borderStyle = style;
    if (borderStyle != 0 && borderWidth == 0)
        borderWidth = 1;
}

void PPHtmlStyle::SetBorderWidth(int value)
{
    borderWidth = value;
    if (borderWidth == 0)
        borderStyle = 0;
    else if (borderStyle == 0)
        borderStyle = 1;
}

PPHtmlStyle PPHtmlStyle::Default()
{
    static const PPHtmlStyle style = [] {
        PPHtmlStyle fresh;
        NONCLIENTMETRICSW metrics {};
        metrics.cbSize = sizeof(metrics);
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            return fresh;
        const LOGFONTW& font = metrics.lfStatusFont;
        fresh.fontSize = font.lfHeight;
        fresh.fontWeight = font.lfWeight;
        fresh.italic = font.lfItalic;
        fresh.underline = font.lfUnderline;
        fresh.strikeout = font.lfStrikeOut;
        fresh.fontFamily = font.lfFaceName;
        if (fresh.fontFamily == L"Segoe UI")
            fresh.fontSize += fresh.fontSize < 0 ? -1 : 1;
        return fresh;
    }();
    return style;
}

namespace {

struct TagEntry {
    std::wstring_view name;
    PPHtmlTag kind;
    std::wstring_view style;
};

constexpr TagEntry Tags[] = {
    { L"b", PPHtmlTag::Bold, L"bold" }, { L"indent", PPHtmlTag::Indent, L"indent" },
    { L"i", PPHtmlTag::Italic, L"italic" }, { L"em", PPHtmlTag::Italic, L"italic" },
    { L"u", PPHtmlTag::Underline, L"underline" }, { L"s", PPHtmlTag::Strikeout, L"strikeout" },
    { L"strike", PPHtmlTag::Strikeout, L"strikeout" }, { L"font", PPHtmlTag::Font, L"font" },
    { L"hr", PPHtmlTag::Rule, L"" }, { L"br", PPHtmlTag::Break, L"" }, { L"\n", PPHtmlTag::Break, L"" },
    { L"t", PPHtmlTag::Tab, L"" }, { L"\t", PPHtmlTag::Tab, L"" }, { L"left", PPHtmlTag::Left, L"left" },
    { L"center", PPHtmlTag::Center, L"center" }, { L"right", PPHtmlTag::Right, L"right" },
    { L"justify", PPHtmlTag::Justify, L"justify" }, { L"baseline", PPHtmlTag::Baseline, L"baseline" },
    { L"top", PPHtmlTag::Top, L"top" }, { L"vcenter", PPHtmlTag::VCenter, L"vcenter" },
    { L"middle", PPHtmlTag::VCenter, L"vcenter" }, { L"bottom", PPHtmlTag::Bottom, L"bottom" },
    { L"bmp", PPHtmlTag::Bitmap, L"" }, { L"icon", PPHtmlTag::Icon, L"" },
    { L"ilst", PPHtmlTag::ImageListItem, L"" }, { L"string", PPHtmlTag::ResourceString, L"" },
    { L"body", PPHtmlTag::NamedStyle, L"body" }, { L"h1", PPHtmlTag::NamedStyle, L"h1" },
    { L"h2", PPHtmlTag::NamedStyle, L"h2" }, { L"h3", PPHtmlTag::NamedStyle, L"h3" },
    { L"h4", PPHtmlTag::NamedStyle, L"h4" }, { L"h5", PPHtmlTag::NamedStyle, L"h5" },
    { L"h6", PPHtmlTag::NamedStyle, L"h6" }, { L"code", PPHtmlTag::NamedStyle, L"code" },
    { L"pre", PPHtmlTag::NamedStyle, L"pre" }, { L"big", PPHtmlTag::NamedStyle, L"big" },
    { L"small", PPHtmlTag::NamedStyle, L"small" }, { L"sub", PPHtmlTag::NamedStyle, L"sub" },
    { L"sup", PPHtmlTag::NamedStyle, L"sup" }, { L"span", PPHtmlTag::Span, L"span" },
    { L"a", PPHtmlTag::Link, L"link" },
};

// In ascending order of the entity text: a replacement may form a later entity.
constexpr std::pair<std::wstring_view, std::wstring_view> Entities[] = {
    { L"&amp;", L"&" }, { L"&bull;", L"\u2022" }, { L"&copy;", L"\u00A9" }, { L"&euro;", L"\u20AC" },
    { L"&gt;", L">" }, { L"&iquest;", L"\u00BF" }, { L"&lt;", L"<<" }, { L"&nbsp;", L" " },
    { L"&para;", L"\u00B6" }, { L"&pound;", L"\u00A3" }, { L"&quot;", L"\"" }, { L"&reg;", L"\u00AE" },
    { L"&trade;", L"\u2122" },
};

// Written as 0xRRGGBB.
constexpr std::pair<std::wstring_view, DWORD> NamedColors[] = {
    { L"aqua", 0x00FFFF }, { L"black", 0x000000 }, { L"blue", 0x0000FF }, { L"brown", 0xA52A2A },
    { L"cyan", 0x00FFFF }, { L"gold", 0xFFD700 }, { L"gray", 0x808080 }, { L"green", 0x008000 },
    { L"magenta", 0xFF00FF }, { L"maroon", 0x800000 }, { L"navy", 0x000080 }, { L"olive", 0x808000 },
    { L"orange", 0xFFA500 }, { L"pink", 0xFFC0CB }, { L"purple", 0x800080 }, { L"red", 0xFF0000 },
    { L"silver", 0xC0C0C0 }, { L"snow", 0xFFFAFA }, { L"violet", 0xEE82EE }, { L"white", 0xFFFFFF },
    { L"yellow", 0xFFFF00 }, { L"aliceblue", 0xF0F8FF }, { L"antiquewhite", 0xFAEBD7 },
    { L"aquamarine", 0x7FFFD4 }, { L"azure", 0xF0FFFF }, { L"beige", 0xF5F5DC }, { L"bisque", 0xFFE4C4 },
    { L"blanchedalmond", 0xFFEBCD }, { L"blueviolet", 0x8A2BE2 }, { L"burlywood", 0xDEB887 },
    { L"cadetblue", 0x5F9EA0 }, { L"chartreuse", 0x7FFF00 }, { L"chocolate", 0xD2691E }, { L"coral", 0xFF7F50 },
    { L"cornflowerblue", 0x6495ED }, { L"cornsilk", 0xFFF8DC }, { L"crimson", 0xDC143C },
    { L"darkblue", 0x00008B }, { L"darkcyan", 0x008B8B }, { L"darkgoldenrod", 0xB8860B },
    { L"darkgray", 0xA9A9A9 }, { L"darkgreen", 0x006400 }, { L"darkkhaki", 0xBDB76B },
    { L"darkmagenta", 0x8B008B }, { L"darkolivegreen", 0x556B2F }, { L"darkorange", 0xFF8C00 },
    { L"darkorchid", 0x9932CC }, { L"darkred", 0x8B0000 }, { L"darksalmon", 0xE9967A },
    { L"darkseagreen", 0x8FBC8F }, { L"darkslateblue", 0x483D8B }, { L"darkslategray", 0x2F4F4F },
    { L"darkturquoise", 0x00CED1 }, { L"darkviolet", 0x9400D3 }, { L"deeppink", 0xFF1493 },
    { L"deepskyblue", 0x00BFFF }, { L"dimgray", 0x696969 }, { L"dodgerblue", 0x1E90FF },
    { L"firebrick", 0xB22222 }, { L"floralwhite", 0xFFFAF0 }, { L"forestgreen", 0x228B22 },
    { L"fuchsia", 0xFF00FF }, { L"gainsboro", 0xDCDCDC }, { L"ghostwhite", 0xF8F8FF },
    { L"goldenrod", 0xDAA520 }, { L"greenyellow", 0xADFF2F }, { L"honeydew", 0xF0FFF0 },
    { L"hotpink", 0xFF69B4 }, { L"indianred", 0xCD5C5C }, { L"indigo", 0x4B0082 }, { L"ivory", 0xFFFFF0 },
    { L"khaki", 0xF0E68C }, { L"lavender", 0xE6E6FA }, { L"lavenderblush", 0xFFF0F5 },
    { L"lawngreen", 0x7CFC00 }, { L"lemonchiffon", 0xFFFACD }, { L"lightblue", 0xADD8E6 },
    { L"lightcoral", 0xF08080 }, { L"lightcyan", 0xE0FFFF }, { L"lightgoldenrodyellow", 0xFAFAD2 },
    { L"lightgreen", 0x90EE90 }, { L"lightgrey", 0xD3D3D3 }, { L"lightpink", 0xFFB6C1 },
    { L"lightsalmon", 0xFFA07A }, { L"lightseagreen", 0x20B2AA }, { L"lightskyblue", 0x87CEFA },
    { L"lightslategray", 0x778899 }, { L"lightsteelblue", 0xB0C4DE }, { L"lightyellow", 0xFFFFE0 },
    { L"lime", 0x00FF00 }, { L"limegreen", 0x32CD32 }, { L"linen", 0xFAF0E6 },
    { L"mediumaquamarine", 0x66CDAA }, { L"mediumblue", 0x0000CD }, { L"mediumorchid", 0xBA55D3 },
    { L"mediumpurple", 0x9370DB }, { L"mediumseagreen", 0x3CB371 }, { L"mediumslateblue", 0x7B68EE },
    { L"mediumspringgreen", 0x00FA9A }, { L"mediumturquoise", 0x48D1CC }, { L"mediumvioletred", 0xC71585 },
    { L"midnightblue", 0x191970 }, { L"mintcream", 0xF5FFFA }, { L"mistyrose", 0xFFE4E1 },
    { L"moccasin", 0xFFE4B5 }, { L"navajowhite", 0xFFDEAD }, { L"oldlace", 0xFDF5E6 },
    { L"olivedrab", 0x6B8E23 }, { L"orangered", 0xFF4500 }, { L"orchid", 0xDA70D6 },
    { L"palegoldenrod", 0xEEE8AA }, { L"palegreen", 0x98FB98 }, { L"paleturquoise", 0xAFEEEE },
    { L"palevioletred", 0xDB7093 }, { L"papayawhip", 0xFFEFD5 }, { L"peachpuff", 0xFFDAB9 },
    { L"peru", 0xCD853F }, { L"plum", 0xDDA0DD }, { L"powderblue", 0xB0E0E6 }, { L"rosybrown", 0xBC8F8F },
    { L"royalblue", 0x4169E1 }, { L"saddlebrown", 0x8B4513 }, { L"salmon", 0xFA8072 },
    { L"sandybrown", 0xF4A460 }, { L"seagreen", 0x2E8B57 }, { L"seashell", 0xFFF5EE }, { L"sienna", 0xA0522D },
    { L"skyblue", 0x87CEEB }, { L"slateblue", 0x6A5ACD }, { L"slategray", 0x708090 },
    { L"springgreen", 0x00FF7F }, { L"steelblue", 0x4682B4 }, { L"tan", 0xD2B48C }, { L"teal", 0x008080 },
    { L"thistle", 0xD8BFD8 }, { L"tomato", 0xFF6347 }, { L"turquoise", 0x40E0D0 }, { L"wheat", 0xF5DEB3 },
    { L"whitesmoke", 0xF5F5F5 }, { L"yellowgreen", 0x9ACD32 },
};

constexpr std::pair<std::wstring_view, int> SystemColorNames[] = {
    { L"activeborder", COLOR_ACTIVEBORDER }, { L"activecaption", COLOR_ACTIVECAPTION },
    { L"appworkspace", COLOR_APPWORKSPACE }, { L"background", COLOR_BACKGROUND },
    { L"buttonface", COLOR_BTNFACE }, { L"buttonhighlight", COLOR_BTNHIGHLIGHT },
    { L"buttonshadow", COLOR_BTNSHADOW }, { L"buttontext", COLOR_BTNTEXT }, { L"captiontext", COLOR_CAPTIONTEXT },
    { L"graytext", COLOR_GRAYTEXT }, { L"highlight", COLOR_HIGHLIGHT }, { L"highlighttext", COLOR_HIGHLIGHTTEXT },
    { L"inactiveborder", COLOR_INACTIVEBORDER }, { L"inactivecaption", COLOR_INACTIVECAPTION },
    { L"inactivecaptiontext", COLOR_INACTIVECAPTIONTEXT }, { L"infobackground", COLOR_INFOBK },
    { L"infotext", COLOR_INFOTEXT }, { L"menu", COLOR_MENU }, { L"menutext", COLOR_MENUTEXT },
    { L"scrollbar", COLOR_SCROLLBAR }, { L"threeddarkshadow", COLOR_3DDKSHADOW }, { L"threedface", COLOR_BTNFACE },
    { L"threedhighlight", COLOR_BTNHIGHLIGHT }, { L"threedlightshadow", COLOR_3DLIGHT },
    { L"threedshadow", COLOR_BTNSHADOW }, { L"window", COLOR_WINDOW }, { L"windowframe", COLOR_WINDOWFRAME },
    { L"windowtext", COLOR_WINDOWTEXT },
};

constexpr std::pair<std::wstring_view, int> FillKinds[] = {
    { L"transparent", -1 }, { L"solid", 0 }, { L"hgradient", 1 }, { L"vgradient", 2 }, { L"hcgradient", 3 },
    { L"vcgradient", 4 }, { L"3hgradient", 5 }, { L"3vgradient", 6 }, { L"noise", 7 }, { L"diagshade", 8 },
    { L"hshade", 9 }, { L"vshade", 10 }, { L"hbump", 11 }, { L"vbump", 12 }, { L"softbump", 13 },
    { L"hardbump", 14 }, { L"metal", 15 },
};

constexpr std::wstring_view DefaultCss = L"body {font-size: 10pt; color:black; font-family:Verdana}\r\n"
                                         L"p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
                                         L"h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
                                         L"h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
                                         L"h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}\r\n"
                                         L"h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
                                         L"h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
                                         L"h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}\r\n"
                                         L"pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}\r\n"
                                         L"code {color:#990000; font-family:Arial}\r\n"
                                         L"a:hover {text-decoration:underline; color:blue}\r\n"
                                         L"sub {font-size:65%; vertical-align:bottom}\r\n"
                                         L"sup {font-size:65%; vertical-align:top}\r\n"
                                         L"big {font-size:125%}\r\n"
                                         L"small {font-size:75%}\r\n"
                                         L".cpp-comment {color:green; font-style:italic}\r\n";

std::wstring Lowered(std::wstring_view text)
{
    std::wstring lowered(text);
    for (auto& c : lowered)
        c = static_cast<wchar_t>(std::towlower(c));
    return lowered;
}

bool EndsWith(std::wstring_view text, std::wstring_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Reads like _wtoi: optional blanks and sign, then decimal digits; saturates instead of overflowing.
int LeadingInteger(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - L'0'), 0x7FFFFFFF);
    return static_cast<int>(negative ? -value : value);
}

// The number with base detection: "0x" hexadecimal, a leading 0 octal, else decimal.
long long BaseNumber(std::wstring_view text)
{
    std::wstring copy(text);
    long long value = std::wcstoll(copy.c_str(), nullptr, 0);
    return std::clamp<long long>(value, -0x7FFFFFFF, 0xFFFFFFFFLL);
}

int Saturated(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, -0x7FFFFFFF, 0x7FFFFFFF));
}

} // namespace

PPHtmlTagInfo LookupHtmlTag(std::wstring_view name)
{
    PPHtmlTagInfo info;
    if (!name.empty() && name.front() == L'/') {
        info.closing = true;
        name.remove_prefix(1);
    }
    for (const auto& tag : Tags) {
        if (tag.name == name) {
            info.kind = tag.kind;
            info.styleName = tag.style;
            break;
        }
    }
    return info;
}

std::wstring PrepareHtmlText(std::wstring_view source, bool lineBreaks)
{
    std::wstring text(source);
    for (const auto& [entity, replacement] : Entities) {
        for (size_t at = text.find(entity); at != std::wstring::npos; at = text.find(entity, at + replacement.size()))
            text.replace(at, entity.size(), replacement);
    }
    std::wstring prepared;
    prepared.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\r')
            continue;
        if (c == L'\n' || c == L'\t') {
            if (lineBreaks)
                prepared += c == L'\n' ? L"<br>" : L"<t>";
            continue;
        }
        prepared += c;
    }
    return prepared;
}

size_t FindHtmlTag(std::wstring_view text, size_t position, std::wstring_view name)
{
    while (position < text.size()) {
        size_t at = text.find(L'<', position);
        if (at == std::wstring_view::npos)
            return at;
        // "<<" is an escaped "<": neither character opens a tag.
        if (at + 1 < text.size() && text[at + 1] == L'<') {
            position = at + 2;
            continue;
        }
        size_t after = at + 1 + name.size();
        if (text.substr(at + 1, name.size()) == name
            && (after == text.size() || std::wstring_view(L" =/>").find(text[after]) != std::wstring_view::npos))
            return at;
        position = at + 1;
    }
    return std::wstring_view::npos;
}

PPHtmlValueParser::PPHtmlValueParser()
    : m_disabledColor(GetSysColor(COLOR_BTNSHADOW))
{
    for (const auto& [name, rgb] : NamedColors)
        m_colors.emplace(name, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    for (const auto& [name, index] : SystemColorNames)
        m_colors.emplace(name, GetSysColor(index));
}

COLORREF PPHtmlValueParser::LookupColor(std::wstring_view name, COLORREF current) const
{
    auto found = m_colors.find(name);
    return found == m_colors.end() ? current : found->second;
}

COLORREF PPHtmlValueParser::ParseColor(std::wstring_view text, COLORREF current) const
{
    if (text.empty())
        return current;
    if (!m_colorsEnabled)
        return m_disabledColor;
    if (text.front() == L'#') {
        if (text.size() != 7 || text.find_first_not_of(L"0123456789abcdefABCDEF", 1) != std::wstring_view::npos)
            return current;
        DWORD rgb = static_cast<DWORD>(std::wcstoul(std::wstring(text.substr(1)).c_str(), nullptr, 16));
        return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    if (std::iswdigit(text.front()))
        return static_cast<COLORREF>(BaseNumber(text) & 0xFFFFFFFF);
    return LookupColor(text, current);
}

int PPHtmlValueParser::ParseSize(std::wstring_view text, int current, bool isFontSize) const
{
    if (text.empty())
        return current;
    if (text.back() == L'%')
        return MulDiv(current, LeadingInteger(text), 100);
    bool negative = false;
    if (text.front() == L'+' || text.front() == L'-') {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    long long n = LeadingInteger(text);
    int ppi = m_dc ? GetDeviceCaps(m_dc, LOGPIXELSY) : 96;
    if (ppi <= 0)
        ppi = 96;
    if (EndsWith(text, L"px"))
        return Saturated(n);
    if (EndsWith(text, L"ex")) {
        SIZE x {};
        if (m_dc)
            GetTextExtentPoint32W(m_dc, L"x", 1, &x);
        return Saturated(n * x.cx);
    }
    if (EndsWith(text, L"em")) {
        TEXTMETRICW metrics {};
        if (m_dc)
            GetTextMetricsW(m_dc, &metrics);
        return Saturated(n * metrics.tmHeight);
    }
    if (EndsWith(text, L"in"))
        return Saturated(n * ppi);
    if (EndsWith(text, L"cm"))
        return Saturated(static_cast<long long>(n * ppi / 2.54));
    if (EndsWith(text, L"mm"))
        return Saturated(static_cast<long long>(n * ppi / 25.4));
    if (EndsWith(text, L"pt"))
        return Saturated(n * ppi / 72);
    if (EndsWith(text, L"pc"))
        return Saturated(n * ppi / 6);
    long long value = BaseNumber(text);
    if (isFontSize && value >= 1 && value <= 7) {
        constexpr int HtmlSizes[] = { 8, 10, 12, 14, 18, 24, 36 };
        return HtmlSizes[value - 1];
    }
    return Saturated(negative ? -value : value);
}

int PPHtmlValueParser::ParseBorderWidth(std::wstring_view text, int current) const
{
    if (text == L"thin")
        return MulDiv(75, current, 100);
    if (text == L"thick")
        return MulDiv(125, current, 100);
    if (text == L"medium")
        return current;
    return ParseSize(text, current);
}

namespace {

int Keyword(std::wstring_view text, int current, std::initializer_list<std::pair<std::wstring_view, int>> words)
{
    for (const auto& [word, value] : words) {
        if (word == text)
            return value;
    }
    return current;
}

} // namespace

int PPHtmlValueParser::ParseFontStyle(std::wstring_view text, int current)
{
    return Keyword(text, current, { { L"", 0 }, { L"normal", 0 }, { L"italic", 1 }, { L"oblique", 1 } });
}

int PPHtmlValueParser::ParseFontWeight(std::wstring_view text, int current)
{
    int value = Keyword(text, -1, { { L"", 400 }, { L"normal", 400 }, { L"bold", 700 }, { L"bolder", 900 }, { L"lighter", 100 } });
    if (value >= 0)
        return value;
    // A weight given as a number; a word not known keeps the current weight.
    if (text.empty() || !std::iswdigit(text.front()))
        return current;
    return std::clamp(LeadingInteger(text), 0, 1000);
}

int PPHtmlValueParser::ParseTextAlign(std::wstring_view text, int current)
{
    return Keyword(text, current, { { L"", 0 }, { L"left", 0 }, { L"center", 1 }, { L"right", 2 } });
}

int PPHtmlValueParser::ParseVerticalAlign(std::wstring_view text, int current)
{
    return Keyword(text, current, { { L"", 3 }, { L"baseline", 3 }, { L"middle", 1 }, { L"vcenter", 1 }, { L"top", 0 }, { L"bottom", 2 } });
}

int PPHtmlValueParser::ParseTextTransform(std::wstring_view text, int current)
{
    return Keyword(text, current, { { L"", 0 }, { L"none", 0 }, { L"uppercase", 1 }, { L"lowercase", 2 }, { L"capitalize", 3 } });
}

int PPHtmlValueParser::ParseBorderStyle(std::wstring_view text, int current)
{
    return Keyword(text, current, { { L"", 0 }, { L"none", 0 }, { L"solid", 1 }, { L"dashed", 2 }, { L"dotted", 3 }, { L"double", 6 } });
}

int PPHtmlValueParser::ParseFillKind(std::wstring_view text, int current) const
{
    if (text.empty())
        return current;
    for (const auto& [word, kind] : FillKinds) {
        if (word == text)
            return kind;
    }
    return std::clamp(ParseSize(text, current), -1, 15);
}

void PPHtmlValueParser::ApplyFontStyleLetters(std::wstring_view letters, PPHtmlStyle& style)
{
    bool off = false;
    for (wchar_t letter : letters) {
        switch (letter) {
        case L'-': off = true; continue;
        case L'+': off = false; continue;
        case L'b': style.fontWeight = off ? FW_NORMAL : FW_BOLD; break;
        case L'i': style.italic = !off; break;
        case L'u': style.underline = !off; break;
        case L's': style.strikeout = !off; break;
        case L'o': style.overline = !off; break;
        default: continue;
        }
        off = false;
    }
}

void PPHtmlValueParser::ApplyBackgroundColor(std::wstring_view value, PPHtmlStyle& style) const
{
    if (value.empty() || value == L"transparent" || !m_colorsEnabled) {
        style.backgroundMode = TRANSPARENT;
        return;
    }
    style.backgroundMode = OPAQUE;
    style.backgroundColor = ParseColor(value, style.backgroundColor);
}

void PPHtmlValueParser::ApplyDeclarations(std::wstring_view source, PPHtmlStyle& style) const
{
    const std::wstring text = Lowered(source);
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && !std::iswalnum(text[i]) && text[i] != L'.' && text[i] != L'-')
            ++i;
        size_t nameEnd = std::min(text.find_first_of(L" :", i), text.size());
        std::wstring_view property = std::wstring_view(text).substr(i, nameEnd - i);
        size_t colon = text.find(L':', nameEnd);
        if (colon == std::wstring::npos)
            break;
        i = colon + 1;
        while (i < text.size() && text[i] == L' ')
            ++i;
        std::wstring_view value;
        if (i < text.size() && text[i] == L'"') {
            size_t close = std::min(text.find(L'"', i + 1), text.size());
            value = std::wstring_view(text).substr(i + 1, close - i - 1);
            i = std::min(text.find(L';', close), text.size());
        } else {
            size_t end = std::min(text.find(L';', i), text.size());
            value = std::wstring_view(text).substr(i, end - i);
            while (!value.empty() && value.back() == L' ')
                value.remove_suffix(1);
            i = end;
        }
        if (i < text.size())
            ++i;

        if (property == L"font-size")
            style.fontSize = ParseSize(value, style.fontSize, true);
        else if (property == L"font-family") {
            if (!value.empty())
                style.fontFamily = value;
        } else if (property == L"font-style")
            style.italic = ParseFontStyle(value, style.italic);
        else if (property == L"font-weight")
            style.fontWeight = ParseFontWeight(value, style.fontWeight);
        else if (property == L"text-align")
            style.horizontalAlign = ParseTextAlign(value, style.horizontalAlign);
        else if (property == L"text-transform")
            style.textTransform = ParseTextTransform(value, style.textTransform);
        else if (property == L"color")
            style.textColor = ParseColor(value, style.textColor);
        else if (property == L"background-color")
            ApplyBackgroundColor(value, style);
        else if (property == L"text-decoration") {
            std::wstring_view words = value.empty() ? std::wstring_view(L"none") : value;
            size_t at = 0;
            while (at < words.size()) {
                size_t end = std::min(words.find_first_of(L" ,", at), words.size());
                std::wstring_view word = words.substr(at, end - at);
                if (word == L"none")
                    style.underline = style.strikeout = style.overline = 0;
                else if (word == L"underline")
                    style.underline = 1;
                else if (word == L"line-through")
                    style.strikeout = 1;
                else if (word == L"overline")
                    style.overline = 1;
                at = end + 1;
            }
        } else if (property == L"vertical-align")
            style.verticalAlign = ParseVerticalAlign(value, style.verticalAlign);
        else if (property == L"border-color")
            style.borderColorLight = style.borderColorDark = ParseColor(value, style.borderColorLight);
        else if (property == L"border-width" || property == L"size")
            style.SetBorderWidth(ParseBorderWidth(value, style.borderWidth));
        else if (property == L"border-style")
            style.SetBorderStyle(ParseBorderStyle(value, style.borderStyle));
        else if (property == L"margin")
            style.cellPadding = ParseSize(value, style.cellPadding);
        else if (property == L"padding")
            style.cellSpacing = ParseSize(value, style.cellSpacing);
    }
}

PPHtmlValueParser::Spans PPHtmlValueParser::ApplyTableAttributes(std::wstring_view attributes, PPHtmlStyle& style, bool isTable) const
{
    Spans spans;
    size_t position = 0;
    PPHtmlAttribute attribute;
    while (NextHtmlAttribute(attributes, position, attribute)) {
        const std::wstring name = Lowered(attribute.name);
        const std::wstring_view value = attribute.value;
        if (isTable && name == L"cellpadding")
            style.cellPadding = ParseSize(value, style.cellPadding);
        else if (isTable && name == L"cellspacing")
            style.cellSpacing = ParseSize(value, style.cellSpacing);
        else if (isTable && name == L"background")
            style.backgroundImage = value;
        else if (name == L"rowspan")
            spans.rows = ParseSize(value, spans.rows);
        else if (name == L"colspan")
            spans.columns = ParseSize(value, spans.columns);
        else if (name == L"border")
            style.SetBorderWidth(ParseBorderWidth(value, style.borderWidth));
        else if (name == L"borderstyle")
            style.SetBorderStyle(ParseBorderStyle(value, style.borderStyle));
        else if (name == L"bordercolor")
            style.borderColorLight = style.borderColorDark = ParseColor(value, style.borderColorLight);
        else if (name == L"bordercolorlight")
            style.borderColorLight = ParseColor(value, style.borderColorLight);
        else if (name == L"bordercolordark")
            style.borderColorDark = ParseColor(value, style.borderColorDark);
        else if (name == L"align")
            style.horizontalAlign = ParseTextAlign(value, style.horizontalAlign);
        else if (name == L"valign")
            style.verticalAlign = ParseVerticalAlign(value, style.verticalAlign);
        else if (name == L"width")
            style.width = ParseSize(value, style.width);
        else if (name == L"height")
            style.height = ParseSize(value, style.height);
        else if (!m_colorsEnabled)
            continue;
        else if (name == L"bgcolor") {
            style.backgroundColor = ParseColor(value, style.backgroundColor);
            if (style.backgroundEffect < 0)
                style.backgroundEffect = 0;
        } else if (name == L"bgmidcolor")
            style.backgroundMidColor = ParseColor(value, style.backgroundMidColor);
        else if (name == L"bgendcolor")
            style.backgroundEndColor = ParseColor(value, style.backgroundEndColor);
        else if (name == L"bgeffect")
            style.backgroundEffect = ParseFillKind(value, style.backgroundEffect);
    }
    if (style.borderStyle == 0 || style.borderWidth == 0)
        style.borderStyle = style.borderWidth = 0;
    else if (style.borderStyle != 1 || !isTable)
        style.borderWidth = 1;
    return spans;
}

void PPHtmlStyleSheet::SetCss(const wchar_t* css)
{
    m_styles.clear();
    std::wstring_view text = css && *css ? std::wstring_view(css) : DefaultCss;
    size_t position = 0;
    while (position < text.size()) {
        size_t open = text.find(L'{', position);
        if (open == std::wstring_view::npos)
            break;
        size_t close = text.find(L'}', open);
        if (close == std::wstring_view::npos)
            break;
        // The selector is the word just before "{": text left over from a broken rule is dropped.
        std::wstring_view selector = text.substr(position, open - position);
        while (!selector.empty() && std::iswspace(selector.back()))
            selector.remove_suffix(1);
        size_t start = selector.find_last_of(L" \t\r\n");
        selector = start == std::wstring_view::npos ? selector : selector.substr(start + 1);
        if (!selector.empty())
            SetNamedStyle(selector, text.substr(open + 1, close - open - 1));
        position = close + 1;
    }
}

void PPHtmlStyleSheet::SetNamedStyle(std::wstring_view name, std::wstring_view declarations)
{
    m_styles[Lowered(name)] = declarations;
}

std::wstring_view PPHtmlStyleSheet::GetNamedStyle(std::wstring_view name) const
{
    auto found = m_styles.find(Lowered(name));
    return found == m_styles.end() ? std::wstring_view() : std::wstring_view(found->second);
}

bool OpenHtmlLink(std::wstring_view target, int showCommand)
{
    if (target.empty())
        return false;
    std::wstring file(target);
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, showCommand)) > 32;
}
