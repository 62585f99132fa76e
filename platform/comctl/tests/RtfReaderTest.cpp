// The RTF reader alone: text, runs, tables, escapes, paragraph formats, and input that is broken
// or built to hurt.

#include "platform/comctl/RtfReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace fln::comctl;

namespace {

// Paragraph texts joined by '|', so a table row states the whole result at a glance.
std::wstring Paragraphs(const RtfDocument& document)
{
    std::wstring joined;
    for (size_t i = 0; i < document.paragraphs.size(); ++i)
        joined += (i ? L"|" : L"") + document.paragraphs[i].Text();
    return joined;
}

struct TextCase {
    const char* rtf;
    const wchar_t* paragraphs;
};

class RtfText : public ::testing::TestWithParam<TextCase> { };

TEST_P(RtfText, ReadsToTheseParagraphs)
{
    RtfDocument document = ReadRtf(GetParam().rtf);
    EXPECT_EQ(Paragraphs(document), GetParam().paragraphs) << GetParam().rtf;
    EXPECT_EQ(document.problem, RtfProblem::None);
}

INSTANTIATE_TEST_SUITE_P(Cases, RtfText, ::testing::Values(
    TextCase { R"({\rtf1\ansi Hello\par World})", L"Hello|World" },
    TextCase { R"({\rtf1 one\par two\par})", L"one|two" },             // a closing \par opens no empty line
    TextCase { R"({\rtf1 one\par\par two})", L"one||two" },
    TextCase { "{\\rtf1 line\r\nbreaks\nare not text}", L"linebreaksare not text" },
    TextCase { R"({\rtf1 a\tab b\line c})", L"a\tb\vc" },
    TextCase { R"({\rtf1 \{braces\} and \\ back})", L"{braces} and \\ back" },
    TextCase { R"({\rtf1 no\~break\_hyphen\-soft})", L"no\u00A0break\u2011hyphensoft" },
    TextCase { R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})", L"\u2014\u2013\u2022\u2018\u2019\u201C\u201D" },
    TextCase { R"({\rtf1 caf\'e9 \'80 \'93q\'94})", L"caf\u00E9 \u20AC \u201Cq\u201D" },        // Windows-1252
    TextCase { R"({\rtf1\ansi\ansicpg65001 caf\'c3\'a9 \'e2\'82\'ac})", L"caf\u00E9 \u20AC" },  // UTF-8
    TextCase { "{\\rtf1\\ansi\\ansicpg65001 raw \xC3\xA9}", L"raw \u00E9" },
    TextCase { R"({\rtf1 \u8364?\u233e x})", L"\u20AC\u00E9 x" },               // one fallback character each
    TextCase { R"({\rtf1\uc2 \u8364\'80\'80 \uc0\u233 x})", L"\u20AC \u00E9x" },
    TextCase { R"({\rtf1 \u-10179?\u-8704?})", L"\U0001F600" },                  // a surrogate pair
    TextCase { R"({\rtf1 {\*\generator Writer 1.0;}{\info{\title T}{\author A}}shown})", L"shown" },
    TextCase { R"({\rtf1{\stylesheet{\s1 Heading;}}{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", L"link" },
    TextCase { R"({\rtf1 {\*\unknowndestination hidden}{\unknownword shown}})", L"shown" },
    TextCase { R"({\rtf1 a{\pict\bin4 {{{{ }b})", L"ab" },                           // binary bytes are no groups
    TextCase { R"({\rtf1 after the end}ignored)", L"after the end" }));

struct RunsCase {
    const char* rtf;
    std::vector<std::pair<std::wstring, RtfCharFormat>> runs;
};

RtfCharFormat Format(std::function<void(RtfCharFormat&)> change)
{
    RtfCharFormat format;
    change(format);
    return format;
}

class RtfRuns : public ::testing::TestWithParam<RunsCase> { };

TEST_P(RtfRuns, SplitsTheTextIntoRunsOfOneFormat)
{
    RtfDocument document = ReadRtf(GetParam().rtf);
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const auto& runs = document.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), GetParam().runs.size()) << GetParam().rtf;
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].text, GetParam().runs[i].first) << i;
        EXPECT_EQ(runs[i].format, GetParam().runs[i].second) << "run " << i << " of " << GetParam().rtf;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RtfRuns, ::testing::Values(
    RunsCase { R"({\rtf1 a{\b b}c})", { { L"a", {} }, { L"b", Format([](auto& f) { f.bold = true; }) }, { L"c", {} } } },
    RunsCase { R"({\rtf1 \i a\i0 b})", { { L"a", Format([](auto& f) { f.italic = true; }) }, { L"b", {} } } },
    RunsCase { R"({\rtf1 \ul a\ulnone b\ul c\ul0 d})", {
        { L"a", Format([](auto& f) { f.underline = true; }) }, { L"b", {} },
        { L"c", Format([](auto& f) { f.underline = true; }) }, { L"d", {} } } },
    RunsCase { R"({\rtf1 \strike a\strike0 b})", { { L"a", Format([](auto& f) { f.strike = true; }) }, { L"b", {} } } },
    RunsCase { R"({\rtf1 \f1\fs16\cf2 a\plain b})", { { L"a", Format([](auto& f) { f.font = 1; f.halfPoints = 16; f.color = 2; }) }, { L"b", {} } } },
    RunsCase { R"({\rtf1 \b\i a{\b0 b}c})", {
        { L"a", Format([](auto& f) { f.bold = f.italic = true; }) }, { L"b", Format([](auto& f) { f.italic = true; }) },
        { L"c", Format([](auto& f) { f.bold = f.italic = true; }) } } },
    RunsCase { R"({\rtf1 \b a\b\b b})", { { L"ab", Format([](auto& f) { f.bold = true; }) } } }));

TEST(RtfTables, FontAndColourTablesAreReadInOrder)
{
    RtfDocument document = ReadRtf(R"({\rtf1\ansi\deff1{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\froman{\*\panose 02020603050405020304} Times New Roman;}\f2 Courier New;})"
                                   R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;}\f0\cf2 x})");
    std::map<int, std::wstring> fonts { { 0, L"Arial" }, { 1, L"Times New Roman" }, { 2, L"Courier New" } };
    EXPECT_EQ(document.fonts, fonts);
    EXPECT_EQ(document.defaultFont, 1);
    ASSERT_NE(document.FaceOf(2), nullptr);
    EXPECT_EQ(*document.FaceOf(2), L"Courier New");
    EXPECT_EQ(document.FaceOf(7), nullptr);

    ASSERT_EQ(document.colors.size(), 3u);
    EXPECT_EQ(document.ColorOf(0), std::nullopt); // the automatic colour
    EXPECT_EQ(document.ColorOf(1), RGB(255, 0, 0));
    EXPECT_EQ(document.ColorOf(2), RGB(0, 0, 255));
    EXPECT_EQ(document.ColorOf(3), std::nullopt); // past the table
    EXPECT_EQ(document.ColorOf(-1), std::nullopt);
    EXPECT_EQ(Paragraphs(document), L"x");
}

TEST(RtfParagraphs, EachParagraphKeepsTheFormatItEndedWith)
{
    RtfDocument document = ReadRtf(R"({\rtf1 \qc centred\par \pard\qr\li720\ri360 right\par)"
                                   R"(\pard\qj\fi-360\li360\sb120\sa240 justified\par \pard plain})");
    ASSERT_EQ(document.paragraphs.size(), 4u);
    RtfParagraphFormat centred;
    centred.alignment = RtfAlignment::Center;
    RtfParagraphFormat right;
    right.alignment = RtfAlignment::Right;
    right.leftIndent = 720;
    right.rightIndent = 360;
    RtfParagraphFormat justified;
    justified.alignment = RtfAlignment::Justify;
    justified.firstLineIndent = -360;
    justified.leftIndent = 360;
    justified.spaceBefore = 120;
    justified.spaceAfter = 240;
    EXPECT_EQ(document.paragraphs[0].format, centred);
    EXPECT_EQ(document.paragraphs[1].format, right);
    EXPECT_EQ(document.paragraphs[2].format, justified);
    EXPECT_EQ(document.paragraphs[3].format, RtfParagraphFormat {});
}

struct BrokenCase {
    std::string rtf;
    RtfProblem problem;
    const wchar_t* paragraphs;
};

class RtfBroken : public ::testing::TestWithParam<BrokenCase> { };

TEST_P(RtfBroken, EndsCleanlyWithWhatItCouldRead)
{
    RtfDocument document = ReadRtf(GetParam().rtf);
    EXPECT_EQ(document.problem, GetParam().problem);
    EXPECT_EQ(Paragraphs(document), GetParam().paragraphs);
}

std::string Nested(int depth) { return "{\\rtf1 top" + std::string(static_cast<size_t>(depth), '{') + "deep" + std::string(static_cast<size_t>(depth), '}') + "}"; }

INSTANTIATE_TEST_SUITE_P(Cases, RtfBroken, ::testing::Values(
    BrokenCase { "{\\rtf1 cut off\\par here", RtfProblem::Unbalanced, L"cut off|here" },
    BrokenCase { "{\\rtf1 {\\b open", RtfProblem::Unbalanced, L"open" },
    BrokenCase { "{\\rtf1 escape at the end\\'", RtfProblem::Unbalanced, L"escape at the end" },
    BrokenCase { "{\\rtf1 half escape\\'4}", RtfProblem::None, L"half escape" },
    BrokenCase { "{\\rtf1 slash at the end\\", RtfProblem::Unbalanced, L"slash at the end" },
    BrokenCase { "{\\rtf1 \\fs99999999999999999999 big\\uc99999999 \\u99999999999999 x}", RtfProblem::None, L"big\uFFFD" },
    BrokenCase { "{\\rtf1 a\\bin99999999999 bcd}", RtfProblem::Unbalanced, L"a" },
    BrokenCase { "{\\rtf1 \\u-10179 lone}", RtfProblem::None, L"\uFFFDone" },
    BrokenCase { "{\\rtf1 \\" + std::string(5000, 'x') + " kept}", RtfProblem::None, L"kept" },
    BrokenCase { Nested(kRtfMaxGroupDepth - 2), RtfProblem::None, L"topdeep" },
    BrokenCase { Nested(100000), RtfProblem::TooDeep, L"top" },
    BrokenCase { "", RtfProblem::NotRtf, L"" },
    BrokenCase { "plain text\r\nsecond line\nthird", RtfProblem::NotRtf, L"plain text|second line|third" },
    BrokenCase { "{\\rt not quite", RtfProblem::NotRtf, L"{\\rt not quite" }));

TEST(RtfSizes, FontSizesAndIndentsStayInsideUsableBounds)
{
    // 1 half point is the smallest size, 1638 points the largest, 22 inches the widest indent.
    RtfDocument document = ReadRtf(R"({\rtf1 \fs0 a\fs-5 b\fs100000 c\li-99999999\fi99999999 d})");
    const auto& runs = document.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, L"ab");
    EXPECT_EQ(runs[0].format.halfPoints, 1);
    EXPECT_EQ(runs[1].text, L"cd");
    EXPECT_EQ(runs[1].format.halfPoints, 1638 * 2);
    const auto& format = document.paragraphs[0].format;
    EXPECT_EQ(format.leftIndent, -22 * 1440);
    EXPECT_EQ(format.firstLineIndent, 22 * 1440);
}

} // namespace
