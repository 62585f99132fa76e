#include "controls/NamedColours.h"

#include <cwchar>
#include <cwctype>
#include <string_view>

namespace {

constexpr COLORREF Hex(DWORD rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

// The decimal number at the start of text, as the classic number reader takes it (leading blanks
// and a sign allowed, 0 when there is none), kept to its low 8 bits.
BYTE DecimalChannel(const wchar_t* text)
{
    return static_cast<BYTE>(std::wcstol(text, nullptr, 10) & 0xFF);
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// "#RRGGBB" exactly: the hash first, six hexadecimal digits after it.
bool ParseHashColour(std::wstring_view text, COLORREF& colour)
{
    if (text.size() != 7 || text[0] != L'#')
        return false;
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        int high = HexDigit(text[1 + 2 * i]);
        int low = HexDigit(text[2 + 2 * i]);
        if (high < 0 || low < 0)
            return false;
        channels[i] = high * 16 + low;
    }
    colour = RGB(channels[0], channels[1], channels[2]);
    return true;
}

}

const CNGNamedColours::Entry CNGNamedColours::s_table[140] = {
    { L"AliceBlue", Hex(0xF0F8FF) }, { L"AntiqueWhite", Hex(0xFAEBD7) }, { L"Aqua", Hex(0x00FFFF) },
    { L"Aquamarine", Hex(0x7FFFD4) }, { L"Azure", Hex(0xF0FFFF) }, { L"Beige", Hex(0xF5F5DC) },
    { L"Bisque", Hex(0xFFE4C4) }, { L"Black", Hex(0x000000) }, { L"BlanchedAlmond", Hex(0xFFEBCD) },
    { L"Blue", Hex(0x0000FF) }, { L"BlueViolet", Hex(0x8A2BE2) }, { L"Brown", Hex(0xA52A2A) },
    { L"Burlywood", Hex(0xDEB887) }, { L"CadetBlue", Hex(0x5F9EA0) }, { L"Chartreuse", Hex(0x7FFF00) },
    { L"Chocolate", Hex(0xD2691E) }, { L"Coral", Hex(0xFF7F50) }, { L"CornflowerBlue", Hex(0x6495ED) },
    { L"Cornsilk", Hex(0xFFF8DC) }, { L"Crimson", Hex(0xDC143C) }, { L"Cyan", Hex(0x00FFFF) },
    { L"DarkBlue", Hex(0x00008B) }, { L"DarkCyan", Hex(0x008B8B) }, { L"DarkGoldenRod", Hex(0xB8860B) },
    { L"DarkGray", Hex(0xA9A9A9) }, { L"DarkGreen", Hex(0x006400) }, { L"DarkKhaki", Hex(0xBDB76B) },
    { L"DarkMagenta", Hex(0x8B008B) }, { L"DarkOliveGreen", Hex(0x556B2F) }, { L"DarkOrange", Hex(0xFF8C00) },
    { L"DarkOrchid", Hex(0x9932CC) }, { L"DarkRed", Hex(0x8B0000) }, { L"DarkSalmon", Hex(0xE9967A) },
    { L"DarkSeaGreen", Hex(0x8FBC8F) }, { L"DarkSlateBlue", Hex(0x483D8B) }, { L"DarkSlateGray", Hex(0x2F4F4F) },
    { L"DarkTurquoise", Hex(0x00CED1) }, { L"DarkViolet", Hex(0x9400D3) }, { L"DeepPink", Hex(0xFF1493) },
    { L"DeepSkyBlue", Hex(0x00BFFF) }, { L"DimGray", Hex(0x696969) }, { L"DodgerBlue", Hex(0x1E90FF) },
    { L"FireBrick", Hex(0xB22222) }, { L"FloralWhite", Hex(0xFFFAF0) }, { L"ForestGreen", Hex(0x228B22) },
    { L"Fuchsia", Hex(0xFF00FF) }, { L"Gainsboro", Hex(0xDCDCDC) }, { L"GhostWhite", Hex(0xF8F8FF) },
    { L"Gold", Hex(0xFFD700) }, { L"GoldenRod", Hex(0xDAA520) }, { L"Gray", Hex(0x808080) },
    { L"Green", Hex(0x008000) }, { L"GreenYellow", Hex(0xADFF2F) }, { L"HoneyDew", Hex(0xF0FFF0) },
    { L"HotPink", Hex(0xFF69B4) }, { L"IndianRed", Hex(0xCD5C5C) }, { L"Indigo", Hex(0x4B0082) },
    { L"Ivory", Hex(0xFFFFF0) }, { L"Khaki", Hex(0xF0E68C) }, { L"Lavender", Hex(0xE6E6FA) },
    { L"LavenderBlush", Hex(0xFFF0F5) }, { L"Lawngreen", Hex(0x7CFC00) }, { L"LemonChiffon", Hex(0xFFFACD) },
    { L"LightBlue", Hex(0xADD8E6) }, { L"LightCoral", Hex(0xF08080) }, { L"LightCyan", Hex(0xE0FFFF) },
    { L"LightGoldenRodYellow", Hex(0xFAFAD2) }, { L"LightGreen", Hex(0x90EE90) }, { L"LightGrey", Hex(0xD3D3D3) },
    { L"LightPink", Hex(0xFFB6C1) }, { L"LightSalmon", Hex(0xFFA07A) }, { L"LightSeaGreen", Hex(0x20B2AA) },
    { L"LightSkyBlue", Hex(0x87CEFA) }, { L"LightSlateGray", Hex(0x778899) }, { L"LightSteelBlue", Hex(0xB0C4DE) },
    { L"LightYellow", Hex(0xFFFFE0) }, { L"Lime", Hex(0x00FF00) }, { L"LimeGreen", Hex(0x32CD32) },
    { L"Linen", Hex(0xFAF0E6) }, { L"Magenta", Hex(0xFF00FF) }, { L"Maroon", Hex(0x800000) },
    { L"MediumAquamarine", Hex(0x66CDAA) }, { L"MediumBlue", Hex(0x0000CD) }, { L"MediumOrchid", Hex(0xBA55D3) },
    { L"MediumPurple", Hex(0x9370DB) }, { L"MediumSeaGreen", Hex(0x3CB371) }, { L"MediumSlateBlue", Hex(0x7B68EE) },
    { L"MediumSpringGreen", Hex(0x00FA9A) }, { L"MediumTurquoise", Hex(0x48D1CC) }, { L"MediumVioletRed", Hex(0xC71585) },
    { L"MidnightBlue", Hex(0x191970) }, { L"MintCream", Hex(0xF5FFFA) }, { L"MistyRose", Hex(0xFFE4E1) },
    { L"Moccasin", Hex(0xFFE4B5) }, { L"NavajoWhite", Hex(0xFFDEAD) }, { L"Navy", Hex(0x000080) },
    { L"OldLace", Hex(0xFDF5E6) }, { L"Olive", Hex(0x808000) }, { L"OliveDrab", Hex(0x6B8E23) },
    { L"Orange", Hex(0xFFA500) }, { L"OrangeRed", Hex(0xFF4500) }, { L"Orchid", Hex(0xDA70D6) },
    { L"PaleGoldenRod", Hex(0xEEE8AA) }, { L"PaleGreen", Hex(0x98FB98) }, { L"PaleTurquoise", Hex(0xAFEEEE) },
    { L"PaleVioletRed", Hex(0xDB7093) }, { L"PapayaWhip", Hex(0xFFEFD5) }, { L"PeachPuff", Hex(0xFFDAB9) },
    { L"Peru", Hex(0xCD853F) }, { L"Pink", Hex(0xFFC0CB) }, { L"Plum", Hex(0xDDA0DD) },
    { L"PowderBlue", Hex(0xB0E0E6) }, { L"Purple", Hex(0x800080) }, { L"Red", Hex(0xFF0000) },
    { L"RosyBrown", Hex(0xBC8F8F) }, { L"RoyalBlue", Hex(0x4169E1) }, { L"SaddleBrown", Hex(0x8B4513) },
    { L"Salmon", Hex(0xFA8072) }, { L"SandyBrown", Hex(0xF4A460) }, { L"SeaGreen", Hex(0x2E8B57) },
    { L"SeaShell", Hex(0xFFF5EE) }, { L"Sienna", Hex(0xA0522D) }, { L"Silver", Hex(0xC0C0C0) },
    { L"SkyBlue", Hex(0x87CEEB) }, { L"SlateBlue", Hex(0x6A5ACD) }, { L"SlateGray", Hex(0x708090) },
    { L"Snow", Hex(0xFFFAFA) }, { L"SpringGreen", Hex(0x00FF7F) }, { L"SteelBlue", Hex(0x4682B4) },
    { L"Tan", Hex(0xD2B48C) }, { L"Teal", Hex(0x008080) }, { L"Thistle", Hex(0xD8BFD8) },
    { L"Tomato", Hex(0xFF6347) }, { L"Turquoise", Hex(0x40E0D0) }, { L"Violet", Hex(0xEE82EE) },
    { L"Wheat", Hex(0xF5DEB3) }, { L"White", Hex(0xFFFFFF) }, { L"WhiteSmoke", Hex(0xF5F5F5) },
    { L"Yellow", Hex(0xFFFF00) }, { L"YellowGreen", Hex(0x9ACD32) },
};

CNGNamedColours::CNGNamedColours(const wchar_t* text)
{
    if (!text)
        return;
    std::wstring_view view(text);
    if (auto comma = view.find(L','); comma != std::wstring_view::npos) {
        BYTE red = DecimalChannel(text);
        BYTE green = DecimalChannel(text + comma + 1);
        auto second = view.find(L',', comma + 1);
        BYTE blue = second == std::wstring_view::npos ? 0 : DecimalChannel(text + second + 1);
        m_colour = RGB(red, green, blue);
        return;
    }
    if (view.find(L'#') != std::wstring_view::npos) {
        ParseHashColour(view, m_colour);
        return;
    }
    for (const auto& entry : s_table) {
        if (EqualsIgnoringCase(view, entry.name)) {
            m_colour = entry.colour;
            return;
        }
    }
}
