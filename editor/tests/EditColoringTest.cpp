#include "editor/Edit.h"

#include "EditTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace edittest;

namespace {

struct ColorRun {
    int length, group;
    friend bool operator==(const ColorRun&, const ColorRun&) = default;
    friend std::ostream& operator<<(std::ostream& out, const ColorRun& run) { return out << "(" << run.length << "," << run.group << ")"; }
};

enum { Text = 0, Number = 2, Operator = 3, Keyword = 4, Comment = 5, String = 6, Highlight = 7 };

class EditColoring : public testing::Test {
protected:
    EditColoring()
    {
        m_edit.AttachLangConfig(m_language.get());
        m_edit.ResetContent();
    }
    ~EditColoring() override { m_edit.AttachLangConfig(nullptr); }

    std::vector<ColorRun> Runs(int line)
    {
        std::vector<ColorRun> runs;
        if (const SECEditLineColor* colors = m_edit.GetLineColor(line))
            for (const SECEditTextColor& run : *colors)
                runs.push_back({ run.m_nLength, run.m_nColorGroup });
        return runs;
    }

    std::unique_ptr<SECEditLangConfig> m_language = MakeTestLanguage();
    SECEdit m_edit;
};

TEST_F(EditColoring, ColoursATableOfLines)
{
    struct Case {
        const wchar_t* line;
        std::vector<ColorRun> runs;
    };
    const Case cases[] = {
        { L"", { { 0, Text } } },
        { L"x = 5", { { 2, Text }, { 1, Operator }, { 1, Text }, { 1, Number } } },
        { L"Dim(", { { 3, Keyword }, { 1, Operator } } },
        { L"DIM x", { { 3, Keyword }, { 2, Text } } },
        { L"Dimension", { { 9, Text } } },
        { L"x2 = 2x", { { 3, Text }, { 1, Operator }, { 1, Text }, { 2, Number } } },
        { L"s = \"a \\\" b\" + 1", { { 2, Text }, { 1, Operator }, { 1, Text }, { 8, String }, { 1, Text }, { 1, Operator }, { 1, Text }, { 1, Number } } },
        { L"If x ' note", { { 2, Keyword }, { 3, Text }, { 6, Comment } } },
        { L"a {b} c", { { 2, Text }, { 3, Comment }, { 2, Text } } },
        { L"\"open", { { 5, String } } },
    };
    std::wstring text;
    for (const Case& c : cases)
        text += std::wstring(c.line) + L"\r\n";
    m_edit.SetText(text.c_str());
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
        EXPECT_EQ(Runs(i), cases[i].runs) << CString(cases[i].line).ToUtf8();
}

TEST_F(EditColoring, MultiLineCommentColoursTheLinesItCovers)
{
    m_edit.SetText(L"a\r\nb\r\nc\r\nx { one\r\ntwo\r\nthree\r\nend } Dim\r\nDim");
    EXPECT_EQ(Runs(6), (std::vector<ColorRun> { { 5, Comment }, { 1, Text }, { 3, Keyword } })) << "asked first, before the lines above";
    EXPECT_EQ(Runs(3), (std::vector<ColorRun> { { 2, Text }, { 5, Comment } }));
    EXPECT_EQ(Runs(4), (std::vector<ColorRun> { { 0, Comment } }));
    EXPECT_EQ(Runs(5), (std::vector<ColorRun> { { 0, Comment } }));
    EXPECT_EQ(Runs(7), (std::vector<ColorRun> { { 3, Keyword } }));
    ASSERT_EQ(m_edit.GetCommentSpans().GetSize(), 1);
    EXPECT_EQ(m_edit.GetCommentSpans()[0].m_start, SECEditLineCol(3, 2));
    EXPECT_EQ(m_edit.GetCommentSpans()[0].m_end, SECEditLineCol(6, 5));
}

TEST_F(EditColoring, TwoCommentKindsInterleave)
{
    auto tag = std::make_unique<SECEditKeywordInfo>();
    tag->m_strBeginTag = L"(*";
    tag->m_strEndTag = L"*)";
    tag->m_nColorGroup = Comment;
    tag->m_bMultiLine = TRUE;
    m_language->AddTag(std::move(tag));
    m_edit.SetText(L"(* a *) s = \"{\" { b\r\nc } (* d\r\ne *) Dim\r\nDim");
    EXPECT_EQ(Runs(3), (std::vector<ColorRun> { { 3, Keyword } })) << "asked first";
    EXPECT_EQ(Runs(2), (std::vector<ColorRun> { { 4, Comment }, { 1, Text }, { 3, Keyword } }));
    EXPECT_EQ(Runs(1), (std::vector<ColorRun> { { 3, Comment }, { 1, Text }, { 4, Comment } }));
    EXPECT_EQ(Runs(0).back(), (ColorRun { 3, Comment }));
    EXPECT_EQ(m_edit.GetCommentSpans().GetSize(), 2);
}

TEST_F(EditColoring, CommentBeginInsideAStringStartsNoComment)
{
    m_edit.SetText(L"s = \"{\"\r\nDim\r\nx }");
    EXPECT_EQ(Runs(1), (std::vector<ColorRun> { { 3, Keyword } }));
    EXPECT_EQ(m_edit.GetCommentSpans().GetSize(), 0);
}

TEST_F(EditColoring, EditingInsideACommentRecolours)
{
    m_edit.SetText(L"{ a\r\nb\r\nc }\r\nDim");
    EXPECT_EQ(Runs(1), (std::vector<ColorRun> { { 0, Comment } }));
    EXPECT_EQ(Runs(3), (std::vector<ColorRun> { { 3, Keyword } }));
    m_edit.DeleteText(0, 0, 0, 1); // the comment loses its begin
    EXPECT_EQ(m_edit.GetCommentSpans().GetSize(), 0);
    EXPECT_EQ(Runs(0), (std::vector<ColorRun> { { 2, Text } }));
    EXPECT_EQ(Runs(1), (std::vector<ColorRun> { { 1, Text } }));
    m_edit.InsertText(1, 0, L"{");
    EXPECT_EQ(Runs(2), (std::vector<ColorRun> { { 3, Comment } }));
    EXPECT_EQ(Runs(3), (std::vector<ColorRun> { { 3, Keyword } }));
}

TEST_F(EditColoring, ChainOfCommentsOverManyLinesIsColouredWithoutDeepening)
{
    // Each line ends one comment and opens the next: colouring the first line follows the chain
    // to the end of the text.
    std::wstring text = L"{";
    for (int i = 0; i < 25000; ++i)
        text += L"\r\n} {";
    text += L"\r\n} Dim";
    m_edit.SetText(text.c_str());
    EXPECT_EQ(Runs(0), (std::vector<ColorRun> { { 1, Comment } }));
    EXPECT_EQ(Runs(12500), (std::vector<ColorRun> { { 1, Comment }, { 1, Text }, { 1, Comment } }));
    EXPECT_EQ(Runs(25001), (std::vector<ColorRun> { { 1, Comment }, { 1, Text }, { 3, Keyword } }));
}

TEST_F(EditColoring, UnterminatedCommentRunsToTheEnd)
{
    m_edit.SetText(L"x {\r\nDim\r\n");
    EXPECT_EQ(Runs(1), (std::vector<ColorRun> { { 0, Comment } }));
    EXPECT_EQ(Runs(2), (std::vector<ColorRun> { { 0, Comment } }));
}

TEST_F(EditColoring, HighlightedLineIsOneRunUntilTheFlagGoes)
{
    m_edit.SetText(L"Dim x = 1");
    m_edit.SetLineFlag(0, SECEDIT_FLAG_HIGHLIGHT, TRUE);
    EXPECT_EQ(Runs(0), (std::vector<ColorRun> { { 9, Highlight } }));
    m_edit.SetLineFlag(0, SECEDIT_FLAG_HIGHLIGHT, FALSE);
    EXPECT_EQ(Runs(0).front(), (ColorRun { 3, Keyword }));

    SECEdit plain;
    auto noHighlight = MakeTestLanguage(false);
    plain.AttachLangConfig(noHighlight.get());
    plain.SetText(L"Dim");
    plain.SetLineFlag(0, SECEDIT_FLAG_HIGHLIGHT, TRUE);
    EXPECT_EQ(plain.GetLineColor(0)->GetAt(0).m_nColorGroup, Keyword) << "without a Highlight group the runs stay";
    plain.AttachLangConfig(nullptr);
}

TEST_F(EditColoring, ColouringCanBeSwitchedOff)
{
    m_edit.SetText(L"Dim");
    m_edit.SetColoring(FALSE);
    EXPECT_EQ(m_edit.GetLineColor(0), nullptr);
    m_edit.SetColoring(TRUE);
    EXPECT_EQ(m_edit.GetLineColor(1), nullptr) << "past the last line";
}

} // namespace

// Typing into a line and deleting from it recolours only the part after a place where the scan
// passes between tokens: the runs are always those of the whole text coloured afresh, whatever
// the edit makes of the keywords, strings and comments around it.
TEST_F(EditColoring, EditsInsideALineColourAsTheWholeTextWould)
{
    const wchar_t* pieces[] = { L"Dim", L" ", L"  ", L"x", L"=", L"5", L"\"", L"'", L"{", L"}", L"If", L"\t", L"ab", L"\r\n" };
    std::wstring text;
    unsigned seed = 7;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int i = 0; i < 120; ++i)
        text += pieces[next(std::size(pieces) - 1)];
    text += L"\r\nDim next\r\nx = \"last\"";
    m_edit.SetText(text.c_str());
    for (int step = 0; step < 400; ++step) {
        for (int line = 0; line < m_edit.GetLineCount(); ++line)
            Runs(line); // coloured before the edit, as a view shows it
        const int line = static_cast<int>(next(static_cast<unsigned>(m_edit.GetLineCount())));
        const int length = m_edit.GetLineLength(line);
        const int column = static_cast<int>(next(static_cast<unsigned>(length) + 1));
        if (next(2) == 0) {
            // Mostly a piece inside the line, at times a line break.
            const wchar_t* piece = pieces[next(step % 10 == 0 ? std::size(pieces) : std::size(pieces) - 1)];
            ASSERT_TRUE(m_edit.InsertText(line, column, piece));
        } else if (column < length) {
            ASSERT_TRUE(m_edit.DeleteText(line, column, line, std::min<int>(length, column + static_cast<int>(next(4)) + 1)));
        }
        SECEdit fresh;
        fresh.AttachLangConfig(m_language.get());
        fresh.ResetContent();
        fresh.SetText(AllText(m_edit).c_str());
        for (int l = 0; l < m_edit.GetLineCount(); ++l) {
            std::vector<ColorRun> expected;
            if (const SECEditLineColor* colors = fresh.GetLineColor(l))
                for (const SECEditTextColor& run : *colors)
                    expected.push_back({ run.m_nLength, run.m_nColorGroup });
            ASSERT_EQ(Runs(l), expected) << "step " << step << ", line " << l;
        }
        fresh.AttachLangConfig(nullptr);
    }
}

// An edit in a long line colours it again only until the scan comes back to where it was before
// the edit; the runs must still be those of the whole line coloured afresh, where the edit changes
// everything after it (a quote or a comment opened or closed) or nothing (a letter in a word), in
// a line of runs too long for one, and where a line takes several edits before it is shown again.
TEST_F(EditColoring, EditsColourAsTheWholeTextWouldWhetherTheRestChangesOrNot)
{
    struct Edit {
        int column;
        const wchar_t* insert; // null: delete count characters
        int count = 0;
        int line = 1;
    };
    std::wstring statements;
    for (int i = 0; i < 40; ++i)
        statements += L"Dim a = 5 : If a Then x = \"ab\" End ";
    std::wstring longString = L"x = \"";
    while (longString.size() < 140000)
        longString += L"a ";
    longString += L"\" : Dim y";
    std::wstring words;
    while (words.size() < 150000)
        words += L"plain words  in\ta row ";
    const struct {
        const char* name;
        std::wstring line;
        std::vector<std::vector<Edit>> steps; // the edits of a step come before the line is coloured again
    } cases[] = {
        { "a letter in a word", statements, { { { 5, L"q" } }, { { 5, nullptr, 1 } } } },
        { "a quote opened, then closed", statements, { { { 4, L"\"" } }, { { 4, nullptr, 1 } } } },
        { "a quote opened inside a string", statements, { { { 28, L"\"" } }, { { 29, L"\"" } } } },
        { "a comment opened, then taken away", statements, { { { 8, L"'" } }, { { 8, nullptr, 1 } } } },
        { "a multi-line comment opened, then closed", statements, { { { 12, L"{" } }, { { 40, L"}" } } } },
        { "a keyword made and unmade", statements, { { { 13, L"x" } }, { { 13, nullptr, 1 } } } },
        { "blanks put in a word and taken out", statements, { { { 14, L" " } }, { { 14, nullptr, 1 } } } },
        { "two edits before the line is shown", statements, { { { 10, L"x" }, { 3, nullptr, 2 } }, { { 1, L"\"" }, { 90, L"\"" } } } },
        { "an edit, then one in another line", statements, { { { 10, L"\"" }, { 0, L"Dim ", 0, 0 } }, { { 4, L"'" }, { 2, L"x", 0, 2 } } } },
        { "an edit, then a line break in the line", statements, { { { 10, L"\"" }, { 60, L"\r\n" } } } },
        { "an edit deep in plain runs", words, { { { 100000, L"x" } }, { { 99990, L" " } }, { { 99990, nullptr, 3 } } } },
        { "a quote deep in plain runs", words, { { { 70000, L"\"" } }, { { 120000, nullptr, 5 } } } },
        { "a keyword made deep in plain runs", words, { { { 80001, L"Dim " } } } },
        { "a string longer than a run closed at its start", longString, { { { 5, L"\"" } }, { { 5, nullptr, 1 } } } },
    };
    // A loaded file keeps its long lines whole.
    TempDir dir;
    auto load = [&](SECEdit& edit, const std::wstring& text) {
        WriteBytes(dir.File("long.vbs"), std::string(text.begin(), text.end()));
        return edit.LoadFile(Wide(dir.File("long.vbs")));
    };
    for (const auto& test : cases) {
        ASSERT_TRUE(load(m_edit, L"x = 1\r\n" + test.line + L"\r\nDim last"));
        for (int line = 0; line < m_edit.GetLineCount(); ++line)
            Runs(line);
        for (size_t step = 0; step < test.steps.size(); ++step) {
            for (const Edit& edit : test.steps[step]) {
                if (edit.insert)
                    ASSERT_TRUE(m_edit.InsertText(edit.line, edit.column, edit.insert)) << test.name;
                else
                    ASSERT_TRUE(m_edit.DeleteText(edit.line, edit.column, edit.line, edit.column + edit.count)) << test.name;
            }
            SECEdit fresh;
            fresh.AttachLangConfig(m_language.get());
            ASSERT_TRUE(load(fresh, AllText(m_edit)));
            for (int line = 0; line < m_edit.GetLineCount(); ++line) {
                std::vector<ColorRun> expected;
                if (const SECEditLineColor* colors = fresh.GetLineColor(line))
                    for (const SECEditTextColor& run : *colors)
                        expected.push_back({ run.m_nLength, run.m_nColorGroup });
                ASSERT_EQ(Runs(line), expected) << test.name << ", step " << step << ", line " << line;
            }
            // What a view copies of the edited line to draw a part of it: the runs that reach
            // into the part, from the one that holds its first column.
            const std::vector<ColorRun> all = Runs(1);
            const int length = m_edit.GetLineLength(1);
            for (const int from : { 0, 7, length / 2, length - 5, length }) {
                int first = -1;
                const SECEditLineColor part = m_edit.CopyLineColor(1, from, from + 40, &first);
                std::vector<ColorRun> expected;
                int start = 0, expectedFirst = -1;
                for (const ColorRun& run : all) {
                    if (start + run.length > from && start < from + 40) {
                        if (expectedFirst < 0)
                            expectedFirst = start;
                        expected.push_back(run);
                    }
                    start += run.length;
                }
                std::vector<ColorRun> copied;
                for (const SECEditTextColor& run : part)
                    copied.push_back({ run.m_nLength, run.m_nColorGroup });
                EXPECT_EQ(copied, expected) << test.name << ", step " << step << ", from " << from;
                if (!expected.empty()) {
                    EXPECT_EQ(first, expectedFirst) << test.name << ", step " << step << ", from " << from;
                }
            }
            fresh.AttachLangConfig(nullptr);
        }
    }
}

// A recorded run of edits, undos, redos, groups, line flags and colour requests (NULs, tabs and a
// lone CR among the text) after which an edit once walked the runs to a place before the line's
// start and read outside the line. Every line must still colour as the whole text does afresh.
TEST_F(EditColoring, EditsAfterGroupedChangesNeverLookBeforeTheLine)
{
    auto text = [](std::initializer_list<int> characters) {
        std::wstring made;
        for (int ch : characters)
            made += static_cast<wchar_t>(ch);
        return made;
    };
    struct Step {
        char kind; // I insert, D delete, U undo, R redo, G group (on), g group (off), C colour, F flag (column) of a line
        int line = 0, column = 0, endLine = 0, endColumn = 0;
        std::wstring insert;
    };
    const Step steps[] = {
        { 'F', 2, 16 }, { 'F', 0, 11 }, { 'U' }, { 'G' }, { 'U' }, { 'R' }, { 'R' }, { 'G' },
        { 'I', 0, 2, 0, 0, text({ 9, 97, 68, 97, 105, 9, 125, 61, 32, 49, 125 }) }, { 'R' }, { 'F', 1, 13 }, { 'R' },
        { 'G' }, { 'U' }, { 'G' }, { 'C', 2 }, { 'C', 1 }, { 'U' }, { 'I', 2, 3, 0, 0, text({ 125, 0 }) }, { 'G' },
        { 'U' }, { 'R' }, { 'G' }, { 'g' }, { 'D', 0, 3, 0, 3 }, { 'R' }, { 'R' }, { 'C', 0 }, { 'G' }, { 'C', 1 },
        { 'g' }, { 'R' }, { 'G' }, { 'I', 1, 5, 0, 0, text({ 125, 109, 97, 13, 9, 0, 109, 32, 125, 92, 0, 97 }) },
        { 'C', 2 }, { 'g' }, { 'G' },
        { 'I', 0, 1, 0, 0, text({ 97, 109, 61, 68, 109, 109, 105, 97, 34, 97, 9, 0, 32, 97 }) }, { 'g' },
        { 'F', 0, 11 }, { 'F', 0, 16 }, { 'G' }, { 'C', 2 }, { 'g' }, { 'D', 0, 17, 2, 6 }, { 'U' }, { 'R' },
        { 'F', 0, 8 }, { 'I', 0, 16, 0, 0, text({ 97, 109, 61, 68, 109, 109, 105, 61, 97, 105, 68, 97, 109, 109 }) },
        { 'G' }, { 'F', 0, 16 }, { 'g' }, { 'R' }, { 'G' }, { 'F', 0, 2 }, { 'g' }, { 'F', 0, 10 }, { 'U' }, { 'R' },
        { 'C', 0 }, { 'G' }, { 'F', 0, 21 }, { 'F', 0, 6 }, { 'U' }, { 'F', 0, 10 },
        { 'I', 0, 8, 0, 0, text({ 0, 109, 32, 125, 92, 0, 97, 13, 68, 109, 32, 92, 105, 125, 68, 61, 123, 0, 125, 34, 97 }) },
    };
    // Tags of the default group and no escape character.
    SECEditLangConfig language;
    language.SetCharClass(L"=+-*/<>&()", CharClassOperator, TRUE);
    language.SetCharClass(L"=+-*/<>&()\"'{}", CharClassDelimiter, TRUE);
    language.AddKeyword(L"Dim", static_cast<USHORT>(language.GetBuiltinColorGroupIndex(BuiltinOperator)));
    language.RebuildLowerCaseKeywords();
    for (auto [begin, end, multiLine] : { std::tuple { L"\"", L"\"", false }, std::tuple { L"'", L"", false }, std::tuple { L"{", L"}", true } }) {
        auto tag = std::make_unique<SECEditKeywordInfo>();
        tag->m_strBeginTag = begin;
        tag->m_strEndTag = end;
        tag->m_bMultiLine = multiLine;
        language.AddTag(std::move(tag));
    }
    m_edit.AttachLangConfig(&language);
    m_edit.ResetContent();
    m_edit.SetText(L"Dim x\r\n{ a }\r\n\"s\" ' c");
    for (const Step& step : steps) {
        switch (step.kind) {
        case 'I': m_edit.InsertText(step.line, step.column, step.insert.c_str(), static_cast<int>(step.insert.size())); break;
        case 'D': m_edit.DeleteText(step.line, step.column, step.endLine, step.endColumn); break;
        case 'G': m_edit.GroupEdits(TRUE); break;
        case 'g': m_edit.GroupEdits(FALSE); break;
        case 'C': Runs(step.line); break;
        case 'U': m_edit.Undo(); break;
        case 'R': m_edit.Redo(); break;
        case 'F': m_edit.ToggleLineFlag(step.line, step.column); break;
        }
    }
    m_edit.GroupEdits(FALSE);
    SECEdit fresh;
    fresh.AttachLangConfig(&language);
    fresh.ResetContent();
    CString all;
    m_edit.GetAllText(all);
    fresh.SetText(all, all.GetLength());
    for (int line = 0; line < m_edit.GetLineCount(); ++line) {
        std::vector<ColorRun> expected;
        if (const SECEditLineColor* colors = fresh.GetLineColor(line))
            for (const SECEditTextColor& run : *colors)
                expected.push_back({ run.m_nLength, run.m_nColorGroup });
        EXPECT_EQ(Runs(line), expected) << "line " << line;
    }
    fresh.AttachLangConfig(nullptr);
    m_edit.AttachLangConfig(m_language.get());
}

// A multi-line comment opened right after a string's closing quote: typed in, its lines colour
// as comment, and so they do in the same text opened afresh, whichever line is asked for first.
TEST_F(EditColoring, ACommentOpenedRightAfterAStringColoursTheSameWhicheverLineIsAskedFirst)
{
    const std::vector<std::vector<ColorRun>> expected = {
        { { 2, Text }, { 1, Operator }, { 1, Text }, { 3, String }, { 3, Comment } },
        { { 0, Comment } }, // to the line's end
        { { 1, Comment }, { 2, Text } },
    };
    m_edit.SetText(L"x = \"s\" a\r\nb == c\r\n} y");
    for (int line = 0; line < m_edit.GetLineCount(); ++line)
        Runs(line);
    ASSERT_TRUE(m_edit.InsertText(0, 7, L"{"));
    EXPECT_EQ(Runs(1), expected[1]) << "the edited text, its middle line asked for first";
    for (const int first : { 0, 1, 2 }) {
        SECEdit fresh;
        fresh.AttachLangConfig(m_language.get());
        fresh.ResetContent();
        fresh.SetText(AllText(m_edit).c_str());
        for (int i = 0; i < 3; ++i) {
            const int line = (first + i) % 3;
            std::vector<ColorRun> runs;
            if (const SECEditLineColor* colors = fresh.GetLineColor(line))
                for (const SECEditTextColor& run : *colors)
                    runs.push_back({ run.m_nLength, run.m_nColorGroup });
            EXPECT_EQ(runs, expected[line]) << "line " << line << " of the text afresh, line " << first << " asked for first";
        }
        fresh.AttachLangConfig(nullptr);
    }
    for (int line = 0; line < 3; ++line)
        EXPECT_EQ(Runs(line), expected[line]) << "line " << line << " of the edited text";
}

// A line that ends one multi-line comment and opens the next: when an edit drops the later
// comment, the line is coloured again from where the earlier one ends, not from its start, in
// whatever order the lines are asked for.
TEST_F(EditColoring, ALineEndingOneCommentAndOpeningAnotherRecoloursFromTheEarlierCommentsEnd)
{
    for (const bool lastLineFirst : { false, true }) {
        m_edit.SetText(L"x = 1\r\n}{\r\nDim last \"s\"");
        ASSERT_TRUE(m_edit.InsertText(0, 1, L"{End "));
        for (int line = 0; line < m_edit.GetLineCount(); ++line)
            Runs(line);
        ASSERT_TRUE(m_edit.DeleteText(2, 5, 2, 6));
        if (lastLineFirst)
            Runs(2);
        EXPECT_EQ(Runs(1), (std::vector<ColorRun> { { 1, Comment }, { 1, Comment } })) << "the } closes the comment of line 0";
        EXPECT_EQ(Runs(2), (std::vector<ColorRun> { { 11, Comment } }));
        EXPECT_EQ(Runs(0), (std::vector<ColorRun> { { 1, Text }, { 9, Comment } }));
    }
}

// A tag coloured as plain text leaves its runs looking like plain text: an operator typed inside
// it stays in the tag.
TEST(EditColoringPlainTag, AnOperatorTypedInsideATagColouredAsTextStaysInIt)
{
    SECEditLangConfig language;
    language.SetCharClass(L"=", CharClassOperator, TRUE);
    language.SetCharClass(L"={}", CharClassDelimiter, TRUE);
    auto tag = std::make_unique<SECEditKeywordInfo>();
    tag->m_strBeginTag = L"{";
    tag->m_strEndTag = L"}";
    tag->m_bMultiLine = TRUE;
    language.AddTag(std::move(tag));
    SECEdit edit;
    edit.AttachLangConfig(&language);
    edit.ResetContent();
    edit.SetText(L"x\r\n{ a }");
    edit.GetLineColor(0);
    edit.GetLineColor(1);
    ASSERT_TRUE(edit.InsertText(1, 4, L"="));
    for (const SECEditTextColor& run : *edit.GetLineColor(1))
        EXPECT_EQ(run.m_nColorGroup, 0);
    edit.AttachLangConfig(nullptr);
}
