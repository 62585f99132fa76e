#include "controls/HtmlMarkup.h"
#include "controls/HtmlScan.h"
#include "platform/gdi/SysColors.h"
#include "platform/sys/Shell.h"
#include "platform/user/WinUser.h"

#include <gtest/gtest.h>

namespace {

TEST(HtmlMarkupText, EntitiesAndLineBreaksArePrepared)
{
    struct Case {
        const wchar_t* source;
        const wchar_t* prepared;
    } cases[] = {
        { L"&lt;b&gt;", L"<<b>" },
        { L"&amp;lt;", L"<<" },
        { L"a&bull;b&euro;c&trade;", L"a\u2022b\u20ACc\u2122" },
        { L"&copy;&reg;&pound;&para;&iquest;&quot;&nbsp;", L"\u00A9\u00AE\u00A3\u00B6\u00BF\" " },
        { L"&unknown; &amp", L"&unknown; &amp" },
        { L"one\r\ntwo\tthree", L"one<br>two<t>three" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrepareHtmlText(c.source), c.prepared) << c.source;
    EXPECT_EQ(PrepareHtmlText(L"a\r\nb\tc", false), L"abc");
}

TEST(HtmlMarkupText, TagsAreLookedUpWithTheirStyleNames)
{
    struct Case {
        const wchar_t* name;
        PPHtmlTag kind;
        bool closing;
        const wchar_t* style;
    } cases[] = {
        { L"b", PPHtmlTag::Bold, false, L"bold" },
        { L"/em", PPHtmlTag::Italic, true, L"italic" },
        { L"strike", PPHtmlTag::Strikeout, false, L"strikeout" },
        { L"middle", PPHtmlTag::VCenter, false, L"vcenter" },
        { L"h3", PPHtmlTag::NamedStyle, false, L"h3" },
        { L"a", PPHtmlTag::Link, false, L"link" },
        { L"br", PPHtmlTag::Break, false, L"" },
        { L"ilst", PPHtmlTag::ImageListItem, false, L"" },
        { L"table", PPHtmlTag::None, false, L"" },
        { L"B", PPHtmlTag::None, false, L"" },
    };
    for (const auto& c : cases) {
        PPHtmlTagInfo info = LookupHtmlTag(c.name);
        EXPECT_EQ(info.kind, c.kind) << c.name;
        EXPECT_EQ(info.closing, c.closing) << c.name;
        EXPECT_EQ(info.styleName, c.style) << c.name;
    }
}

TEST(HtmlMarkupText, FindTagSkipsEscapedAndLongerNames)
{
    std::wstring_view text = L"<<table <tbody><table x><tr>";
    EXPECT_EQ(FindHtmlTag(text, 0, L"table"), 15u);
    EXPECT_EQ(FindHtmlTag(text, 0, L"tr"), 24u);
    EXPECT_EQ(FindHtmlTag(text, 25, L"tr"), std::wstring_view::npos);
}

TEST(HtmlMarkupValues, ColoursByNumberHashAndName)
{
    PPHtmlValueParser values;
    const COLORREF current = RGB(1, 2, 3);
    struct Case {
        const wchar_t* text;
        COLORREF expected;
    } cases[] = {
        { L"#ff0000", RGB(255, 0, 0) },
        { L"0x0000FF", RGB(255, 0, 0) },
        { L"255", RGB(255, 0, 0) },
        { L"#f00", current },
        { L"#gg0000", current },
        { L"", current },
        { L"cornflowerblue", RGB(0x64, 0x95, 0xED) },
        { L"gold", RGB(0xFF, 0xD7, 0x00) },
        { L"lightgrey", RGB(0xD3, 0xD3, 0xD3) },
        { L"lightgray", current },
        { L"Red", current },
        { L"infobackground", GetSysColor(COLOR_INFOBK) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(values.ParseColor(c.text, current), c.expected) << c.text;

    values.EnableColors(false);
    values.SetDisabledColor(RGB(9, 9, 9));
    EXPECT_EQ(values.ParseColor(L"red", current), RGB(9, 9, 9));
    PPHtmlStyle style;
    values.ApplyDeclarations(L"color: red; background-color: yellow", style);
    EXPECT_EQ(style.textColor, RGB(9, 9, 9));
    EXPECT_EQ(style.backgroundMode, TRANSPARENT);
}

TEST(HtmlMarkupValues, SizesWithUnitsAndHtmlSizes)
{
    PPHtmlValueParser values; // no device context: 96 pixels an inch
    struct Case {
        const wchar_t* text;
        int current;
        bool font;
        int expected;
    } cases[] = {
        { L"", 7, false, 7 },
        { L"150%", 10, false, 15 },
        { L"12px", 0, false, 12 },
        { L"-5px", 0, false, 5 },
        { L"1in", 0, false, 96 },
        { L"2cm", 0, false, 75 },
        { L"10mm", 0, false, 37 },
        { L"9pt", 0, false, 12 },
        { L"1pc", 0, false, 16 },
        { L"3", 0, true, 12 },
        { L"7", 0, true, 36 },
        { L"3", 0, false, 3 },
        { L"-20", 0, true, -20 },
        { L"0x10", 0, false, 16 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(values.ParseSize(c.text, c.current, c.font), c.expected) << c.text;
    EXPECT_EQ(values.ParseBorderWidth(L"thin", 4), 3);
    EXPECT_EQ(values.ParseBorderWidth(L"thick", 4), 5);
    EXPECT_EQ(values.ParseBorderWidth(L"medium", 4), 4);
}

TEST(HtmlMarkupValues, KeywordsAndFillKinds)
{
    using V = PPHtmlValueParser;
    EXPECT_EQ(V::ParseFontStyle(L"oblique", 0), 1);
    EXPECT_EQ(V::ParseFontStyle(L"slanted", 1), 1);
    EXPECT_EQ(V::ParseFontWeight(L"bolder", 400), 900);
    EXPECT_EQ(V::ParseFontWeight(L"600", 400), 600);
    EXPECT_EQ(V::ParseTextAlign(L"right", 0), 2);
    EXPECT_EQ(V::ParseVerticalAlign(L"vcenter", 3), 1);
    EXPECT_EQ(V::ParseVerticalAlign(L"", 0), 3);
    EXPECT_EQ(V::ParseTextTransform(L"capitalize", 0), 3);
    EXPECT_EQ(V::ParseBorderStyle(L"double", 0), 6);
    V values;
    EXPECT_EQ(values.ParseFillKind(L"transparent", 0), -1);
    EXPECT_EQ(values.ParseFillKind(L"metal", 0), 15);
    EXPECT_EQ(values.ParseFillKind(L"", 4), 4);
    EXPECT_EQ(values.ParseFillKind(L"3", 0), 3);
}

TEST(HtmlMarkupValues, FontStyleLettersSwitchPropertiesOnAndOff)
{
    PPHtmlStyle style;
    style.italic = 1;
    PPHtmlValueParser::ApplyFontStyleLetters(L"bu-io+s", style);
    EXPECT_EQ(style.fontWeight, FW_BOLD);
    EXPECT_EQ(style.underline, 1);
    EXPECT_EQ(style.italic, 0);
    EXPECT_EQ(style.overline, 1);
    EXPECT_EQ(style.strikeout, 1);
    PPHtmlValueParser::ApplyFontStyleLetters(L"-b", style);
    EXPECT_EQ(style.fontWeight, FW_NORMAL);
}

TEST(HtmlMarkupDeclarations, PropertiesAreCaseInsensitiveAndKeepBordersConsistent)
{
    PPHtmlValueParser values;
    PPHtmlStyle style;
    values.ApplyDeclarations(L"COLOR: RED; Font-Family: \"Courier New\"; text-decoration: underline, overline; "
                             L"margin: -5px; padding: 2px; background-color: #00ff00; text-align:center",
        style);
    EXPECT_EQ(style.textColor, RGB(255, 0, 0));
    EXPECT_EQ(style.fontFamily, L"courier new");
    EXPECT_EQ(style.underline, 1);
    EXPECT_EQ(style.overline, 1);
    EXPECT_EQ(style.cellPadding, 5);
    EXPECT_EQ(style.cellSpacing, 2);
    EXPECT_EQ(style.backgroundMode, OPAQUE);
    EXPECT_EQ(style.backgroundColor, RGB(0, 255, 0));
    EXPECT_EQ(style.horizontalAlign, 1);

    values.ApplyDeclarations(L"border-style: dashed", style);
    EXPECT_EQ(style.borderStyle, 2);
    EXPECT_EQ(style.borderWidth, 1);
    values.ApplyDeclarations(L"border-width: 0; text-decoration: none; background-color: transparent", style);
    EXPECT_EQ(style.borderStyle, 0);
    EXPECT_EQ(style.underline + style.overline, 0);
    EXPECT_EQ(style.backgroundMode, TRANSPARENT);
}

TEST(HtmlMarkupDeclarations, TableAttributesGiveSpansAndBorders)
{
    PPHtmlValueParser values;
    struct Case {
        const wchar_t* attributes;
        bool isTable;
        int columns, rows, borderStyle, borderWidth, padding, effect;
    } cases[] = {
        { L"colspan=2 rowspan='3'", false, 2, 3, 0, 0, 0, -1 },
        { L"border=2 cellpadding=4 bgcolor=red", true, 1, 1, 1, 2, 4, 0 },
        { L"border=2", false, 1, 1, 1, 1, 0, -1 },
        { L"border=3 borderstyle=dotted", true, 1, 1, 3, 1, 0, -1 },
        { L"borderstyle=solid border=0", true, 1, 1, 0, 0, 0, -1 },
        { L"cellpadding=4 bgeffect=vgradient", false, 1, 1, 0, 0, 0, 2 },
    };
    for (const auto& c : cases) {
        PPHtmlStyle style;
        auto spans = values.ApplyTableAttributes(c.attributes, style, c.isTable);
        EXPECT_EQ(spans.columns, c.columns) << c.attributes;
        EXPECT_EQ(spans.rows, c.rows) << c.attributes;
        EXPECT_EQ(style.borderStyle, c.borderStyle) << c.attributes;
        EXPECT_EQ(style.borderWidth, c.borderWidth) << c.attributes;
        EXPECT_EQ(style.cellPadding, c.padding) << c.attributes;
        EXPECT_EQ(style.backgroundEffect, c.effect) << c.attributes;
    }
}

TEST(HtmlMarkupStyleSheet, DefaultRulesAndReplacement)
{
    PPHtmlStyleSheet sheet;
    EXPECT_EQ(sheet.GetNamedStyle(L"BODY"), L"font-size: 10pt; color:black; font-family:Verdana");
    EXPECT_EQ(sheet.GetNamedStyle(L".cpp-comment"), L"color:green; font-style:italic");
    EXPECT_TRUE(sheet.GetNamedStyle(L"nothing").empty());

    sheet.SetCss(L"Note {color:red}\r\nbad selector only\nh1 {font-size: 9px} tail {");
    EXPECT_EQ(sheet.GetNamedStyle(L"note"), L"color:red");
    EXPECT_EQ(sheet.GetNamedStyle(L"h1"), L"font-size: 9px");
    EXPECT_TRUE(sheet.GetNamedStyle(L"body").empty());
    sheet.SetCss(L"");
    EXPECT_FALSE(sheet.GetNamedStyle(L"body").empty());
}

TEST(HtmlMarkupLinks, TargetReachesTheOpenerAsOneArgument)
{
    std::vector<std::vector<std::string>> launched;
    ShellLauncher previous = SetShellLauncher([&](const std::vector<std::string>& arguments) {
        launched.push_back(arguments);
        return true;
    });
    EXPECT_TRUE(OpenHtmlLink(L"https://example.org/a b\";rm -rf ~", SW_SHOW));
    EXPECT_FALSE(OpenHtmlLink(L"", SW_SHOW));
    SetShellLauncher(previous);
    ASSERT_EQ(launched.size(), 1u);
    ASSERT_EQ(launched[0].size(), 2u);
    EXPECT_EQ(launched[0][1], "https://example.org/a b\";rm -rf ~");
}

TEST(HtmlScan, RunsTagsAndAttributes)
{
    std::wstring_view text = L"<<b>x<font color='red' size=3 bold>y<";
    size_t position = 0;
    PPHtmlRun run = NextHtmlRun(text, position);
    EXPECT_EQ(run.text, L"<");
    EXPECT_FALSE(run.hasTag);
    run = NextHtmlRun(text, position);
    EXPECT_EQ(run.text, L"b>x");
    ASSERT_TRUE(run.hasTag);
    PPHtmlTagParts parts = SplitHtmlTag(run.tag);
    EXPECT_EQ(parts.name, L"font");
    size_t at = 0;
    PPHtmlAttribute attribute;
    std::vector<std::pair<std::wstring, std::wstring>> found;
    while (NextHtmlAttribute(parts.attributes, at, attribute))
        found.emplace_back(attribute.name, attribute.value);
    std::vector<std::pair<std::wstring, std::wstring>> expected { { L"color", L"red" }, { L"size", L"3" }, { L"bold", L"" } };
    EXPECT_EQ(found, expected);
    run = NextHtmlRun(text, position);
    EXPECT_EQ(run.text, L"y<");
    EXPECT_EQ(position, text.size());

    size_t unclosed = 0;
    run = NextHtmlRun(L"a<b", unclosed);
    EXPECT_EQ(run.text, L"a");
    EXPECT_FALSE(run.hasTag);
    EXPECT_EQ(unclosed, 2u);
}

TEST(HtmlScan, TableBoundariesSkipNestedTables)
{
    std::wstring text = L"<table><tr><td>a<table><tr><td>in</td></tr></table></td><td>b</td></tr><tr><td>c</td></tr></table>after";
    EXPECT_EQ(FindHtmlTableEnd(text, 0), text.size() - 5);
    size_t row = FindHtmlRow(text, 1);
    EXPECT_EQ(row, 7u);
    size_t rowEnd = FindHtmlRowEnd(text, row);
    EXPECT_EQ(text.substr(rowEnd, 5), L"</tr>");
    EXPECT_EQ(rowEnd, text.find(L"</tr><tr><td>c"));
    size_t cell = FindHtmlCell(text, row, rowEnd);
    size_t cellEnd = FindHtmlCellEnd(text, cell, rowEnd);
    EXPECT_EQ(cellEnd, text.find(L"</td><td>b"));
    EXPECT_EQ(FindHtmlCell(text, cellEnd, rowEnd), text.find(L"<td>b"));
    size_t second = FindHtmlRow(text, rowEnd);
    EXPECT_EQ(second, text.find(L"<tr><td>c"));
    EXPECT_EQ(FindHtmlRow(text, FindHtmlRowEnd(text, second)), std::wstring_view::npos);
    EXPECT_EQ(FindHtmlTableEnd(L"<table><tr>", 0), 11u);
}

TEST(HtmlScan, WrapBreaksAtOpportunitiesOrBetweenCharacters)
{
    auto measure = [](std::wstring_view text) { return static_cast<int>(text.size()) * 10; };
    struct Case {
        const wchar_t* run;
        int room;
        bool lineEmpty;
        size_t length, drawn;
    } cases[] = {
        { L"one two three", 75, true, 8, 7 },
        { L"one two three", 35, true, 4, 3 },
        { L"one two three", 25, true, 2, 2 },
        { L"a-b,c", 30, true, 2, 2 },
        { L"abcdefgh", 35, false, 0, 0 },
        { L"abcdefgh", 35, true, 3, 3 },
        { L"abcdefgh", 5, true, 1, 1 },
        { L"abc", 100, false, 3, 3 },
    };
    for (const auto& c : cases) {
        PPHtmlWrap wrap = WrapHtmlRun(c.run, c.room, c.lineEmpty, measure);
        EXPECT_EQ(wrap.length, c.length) << c.run << " " << c.room;
        EXPECT_EQ(wrap.pieceLength, c.drawn) << c.run << " " << c.room;
    }
}

TEST(HtmlScan, TabsAdvanceToStops)
{
    struct Case {
        int x, count, expected;
    } cases[] = { { 100, 2, 164 }, { 110, 1, 132 }, { 100, 0, 132 }, { 110, 2, 164 }, { 132, 1, 164 } };
    for (const auto& c : cases)
        EXPECT_EQ(AdvanceHtmlTabs(c.x, 100, 32, c.count), c.expected) << c.x << " " << c.count;
}

} // namespace
