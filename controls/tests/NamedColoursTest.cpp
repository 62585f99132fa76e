#include "controls/NamedColours.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>

namespace {

struct ColourCase {
    const wchar_t* text;
    COLORREF expected;
};

TEST(NamedColoursTest, ReadsTheThreeFormsAndGivesBlackForAnythingElse)
{
    const ColourCase cases[] = {
        { L"#FF0000", RGB(255, 0, 0) },
        { L"#00ff7f", RGB(0, 255, 127) },
        { L"#123456", RGB(0x12, 0x34, 0x56) },
        { L"#F00", 0 }, // too short
        { L"#FF00000", 0 }, // too long
        { L"x#FF000", 0 }, // seven characters, but the hash is not first
        { L"#GG0000", 0 }, // not hexadecimal
        { L"255,0", RGB(255, 0, 0) },
        { L"10, 20, 30", RGB(10, 20, 30) },
        { L"256,257,-1", RGB(0, 1, 255) }, // low 8 bits of each number
        { L",,", 0 },
        { L"yellowgreen", RGB(0x9A, 0xCD, 0x32) },
        { L"GRAY", RGB(0x80, 0x80, 0x80) },
        { L"Lawngreen", RGB(0x7C, 0xFC, 0x00) },
        { L"grey", 0 }, // only LightGrey is spelt with an e
        { L"", 0 },
        { L"Yellow Green", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(CNGNamedColours(c.text).Colour(), c.expected) << std::wstring(c.text).size() << " chars";
    EXPECT_EQ(CNGNamedColours(nullptr).Colour(), 0u);
}

// Every name of the table finds its own entry whatever its case, and the hash form of its value
// gives the same colour, so the table and the two readers agree.
TEST(NamedColoursTest, EveryNameMatchesItsHashForm)
{
    std::set<std::wstring> seen;
    for (const auto& entry : CNGNamedColours::s_table) {
        std::wstring name = entry.name;
        EXPECT_TRUE(seen.insert(name).second) << "duplicate name";
        std::wstring upper;
        for (wchar_t c : name)
            upper += static_cast<wchar_t>(std::towupper(c));
        wchar_t hash[8];
        swprintf(hash, 8, L"#%02X%02X%02X", GetRValue(entry.colour), GetGValue(entry.colour), GetBValue(entry.colour));
        const COLORREF byName = CNGNamedColours(name.c_str());
        EXPECT_EQ(byName, entry.colour);
        EXPECT_EQ(CNGNamedColours(upper.c_str()).Colour(), entry.colour);
        EXPECT_EQ(CNGNamedColours(hash).Colour(), entry.colour);
    }
    EXPECT_EQ(seen.size(), 140u);
    EXPECT_EQ(std::wstring(CNGNamedColours::s_table[0].name), L"AliceBlue");
    EXPECT_EQ(std::wstring(CNGNamedColours::s_table[139].name), L"YellowGreen");
}

}
