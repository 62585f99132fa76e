#include "platform/sys/Locale.h"

#include "platform/sys/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring NumberText(const wchar_t* value)
{
    wchar_t out[64];
    int n = GetNumberFormatW(LOCALE_USER_DEFAULT, 0, value, nullptr, out, 64);
    return n ? std::wstring(out) : L"<fail>";
}

std::wstring Info(LCTYPE type)
{
    int needed = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    std::wstring text(needed, L'\0');
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text.data(), needed), needed);
    text.resize(needed - 1);
    return text;
}

} // namespace

TEST(Locale, InformationComesFromTheFixedLocale)
{
    ScopedNumberLocale german({L",", L".", 3, 2, 1, 1});
    EXPECT_EQ(Info(LOCALE_SDECIMAL), L",");
    EXPECT_EQ(Info(LOCALE_STHOUSAND), L".");
    EXPECT_EQ(Info(LOCALE_ILZERO), L"1");
    EXPECT_EQ(Info(LOCALE_INEGNUMBER), L"1");
    EXPECT_EQ(Info(LOCALE_SGROUPING), L"3;0");
    wchar_t tiny[1];
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, tiny, 1), 0);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0xFFFF, nullptr, 0), 0);
}

TEST(Locale, NumberFormatGroupsRoundsAndSigns)
{
    ScopedNumberLocale english({L".", L",", 3, 2, 1, 1});
    EXPECT_EQ(NumberText(L"1234567.891"), L"1,234,567.89");
    EXPECT_EQ(NumberText(L"-0.005"), L"-0.01");
    EXPECT_EQ(NumberText(L"-0.004"), L"0.00");
    EXPECT_EQ(NumberText(L"999.995"), L"1,000.00");
    EXPECT_EQ(NumberText(L"12"), L"12.00");
    EXPECT_EQ(NumberText(L"1.2.3"), L"<fail>");
    EXPECT_EQ(NumberText(L"abc"), L"<fail>");
    EXPECT_EQ(NumberText(L"-"), L"<fail>");

    wchar_t dec[] = L",", sep[] = L" ";
    const struct { UINT order; const wchar_t* expected; } orders[] = {
        {0, L"(1 234,5)"}, {1, L"-1 234,5"}, {2, L"- 1 234,5"}, {3, L"1 234,5-"}, {4, L"1 234,5 -"}};
    for (const auto& o : orders) {
        NUMBERFMTW fmt{1, 1, 3, dec, sep, o.order};
        wchar_t out[32];
        ASSERT_GT(GetNumberFormatW(LOCALE_USER_DEFAULT, 0, L"-1234.54", &fmt, out, 32), 0);
        EXPECT_EQ(std::wstring(out), o.expected);
    }
    NUMBERFMTW noZero{3, 0, 0, dec, sep, 1};
    wchar_t out[32];
    GetNumberFormatW(LOCALE_USER_DEFAULT, 0, L"0.25", &noZero, out, 32);
    EXPECT_EQ(std::wstring(out), L",250");
    NUMBERFMTW indian{0, 1, 32, dec, sep, 1};
    GetNumberFormatW(LOCALE_USER_DEFAULT, 0, L"12345678", &indian, out, 32);
    EXPECT_EQ(std::wstring(out), L"1 23 45 678");
    EXPECT_EQ(GetNumberFormatW(LOCALE_USER_DEFAULT, 0, L"12345678", &indian, out, 5), 0);
}

TEST(Locale, ScopesNestAndRestore)
{
    ScopedNumberLocale outer({L",", L".", 3, 2, 1, 1});
    {
        ScopedNumberLocale inner({L"/", L"'", 3, 2, 1, 1});
        EXPECT_EQ(CurrentNumberLocale().decimal, L"/");
    }
    EXPECT_EQ(CurrentNumberLocale().decimal, L",");
}

TEST(CodePage, OemCodePageFollowsTheLanguageAndTerritory)
{
    const struct {
        const char* locale;
        UINT codePage;
    } cases[] = {
        { "ja_JP.UTF-8", 932 }, { "zh_CN.UTF-8", 936 }, { "zh_SG", 936 }, { "zh_TW.UTF-8", 950 }, { "zh_HK.UTF-8@stroke", 950 },
        { "ko_KR.EUC-KR", 949 }, { "de_DE.UTF-8", 437 }, { "C", 437 }, { "", 437 }, { "jam_JM", 437 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(OemCodePageOfLocale(c.locale), c.codePage) << c.locale;
}
