// Font families and their styles from the program's font configuration.

#include "platform/gdi/FontEnumeration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<ENUMLOGFONTEXW> Enumerate(const wchar_t* family = L"", int stopAfter = -1)
{
    struct Collected {
        std::vector<ENUMLOGFONTEXW> fonts;
        int stopAfter;
    } collected { {}, stopAfter };
    LOGFONTW filter {};
    wcsncpy(filter.lfFaceName, family, LF_FACESIZE - 1);
    filter.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(nullptr, &filter, [](const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM data) {
        auto& into = *reinterpret_cast<Collected*>(data);
        EXPECT_EQ(type, TRUETYPE_FONTTYPE);
        EXPECT_EQ(metrics->tmWeight, font->lfWeight);
        EXPECT_EQ(!(metrics->tmPitchAndFamily & TMPF_FIXED_PITCH), (font->lfPitchAndFamily & 3) == FIXED_PITCH);
        into.fonts.push_back(*reinterpret_cast<const ENUMLOGFONTEXW*>(font));
        return static_cast<int>(into.stopAfter < 0 || static_cast<int>(into.fonts.size()) < into.stopAfter);
    }, reinterpret_cast<LPARAM>(&collected), 0);
    return collected.fonts;
}

const ENUMLOGFONTEXW* Find(const std::vector<ENUMLOGFONTEXW>& fonts, const std::wstring& face)
{
    for (const auto& font : fonts)
        if (face == font.elfLogFont.lfFaceName)
            return &font;
    return nullptr;
}

TEST(FontEnumerationTest, FamiliesComeOnceEachInNameOrderWithTheirPitch)
{
    auto families = Enumerate();
    ASSERT_FALSE(families.empty());
    for (std::size_t i = 1; i < families.size(); ++i)
        EXPECT_LT(std::wstring(families[i - 1].elfLogFont.lfFaceName), std::wstring(families[i].elfLogFont.lfFaceName));
    for (const auto& family : families)
        EXPECT_FALSE(Enumerate(family.elfLogFont.lfFaceName).empty()) << "every family listed has styles";
    const auto* sans = Find(families, L"Liberation Sans");
    const auto* mono = Find(families, L"DejaVu Sans Mono");
    ASSERT_TRUE(sans && mono);
    EXPECT_EQ(sans->elfLogFont.lfPitchAndFamily & 3, VARIABLE_PITCH);
    EXPECT_EQ(mono->elfLogFont.lfPitchAndFamily & 3, FIXED_PITCH);
}

TEST(FontEnumerationTest, AFamilyListsItsStyles)
{
    auto styles = Enumerate(L"liberation sans");
    std::vector<std::pair<LONG, BYTE>> kinds;
    for (const auto& style : styles) {
        EXPECT_STREQ(style.elfLogFont.lfFaceName, L"Liberation Sans");
        kinds.emplace_back(style.elfLogFont.lfWeight, style.elfLogFont.lfItalic);
    }
    for (auto kind : { std::pair<LONG, BYTE> { FW_NORMAL, 0 }, { FW_NORMAL, 1 }, { FW_BOLD, 0 }, { FW_BOLD, 1 } })
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << kind.first << " " << int(kind.second);
    EXPECT_TRUE(Enumerate(L"No Such Family").empty());
}

TEST(FontEnumerationTest, ACallbackAnsweringZeroStops)
{
    EXPECT_EQ(Enumerate(L"", 2).size(), 2u);
    LOGFONTW filter {};
    EXPECT_EQ(EnumFontFamiliesExW(nullptr, &filter, nullptr, 0, 0), 0);
}

} // namespace
