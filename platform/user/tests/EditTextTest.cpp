#include "platform/user/EditText.h"

#include <gtest/gtest.h>

namespace {

using fln::user::BreakLines;
using fln::user::EditKind;
using fln::user::EditLine;
using fln::user::EditText;
using fln::user::LineOfPosition;

EditText Holding(const std::wstring& text, int anchor, int caret)
{
    EditText model;
    model.SetText(text);
    model.SetSelection(anchor, caret);
    return model;
}

TEST(EditText, ReplacingTheSelection)
{
    struct Case {
        const wchar_t* text;
        int anchor, caret;
        const wchar_t* inserted;
        const wchar_t* expected;
        int expectedCaret;
    } cases[] = {
        { L"", 0, 0, L"1+2", L"1+2", 3 },
        { L"sin(x)", 4, 4, L"2*", L"sin(2*x)", 6 },
        { L"sin(x)", 0, 3, L"cos", L"cos(x)", 3 },
        { L"sin(x)", 3, 0, L"tan", L"tan(x)", 3 },     // anchor after caret
        { L"sin(x)", 0, 6, L"", L"", 0 },
        { L"ab\r\ncd", 2, 4, L"", L"abcd", 2 },        // a whole line break
        { L"a", 9, 9, L"b", L"ab", 2 },                // positions clamp to the text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << c.text << " insert " << c.inserted);
        EditText model = Holding(c.text, c.anchor, c.caret);
        auto result = model.ReplaceSelection(c.inserted);
        EXPECT_TRUE(result.changed);
        EXPECT_FALSE(result.truncated);
        EXPECT_EQ(model.Text(), c.expected);
        EXPECT_EQ(model.Caret(), c.expectedCaret);
        EXPECT_FALSE(model.HasSelection());
        EXPECT_TRUE(model.Modified());
    }
}

TEST(EditText, NothingReplacedByNothingIsNoChange)
{
    EditText model = Holding(L"1+2", 1, 1);
    EXPECT_FALSE(model.ReplaceSelection(L"").changed);
    EXPECT_FALSE(model.Modified());
    EXPECT_FALSE(model.CanUndo());
}

TEST(EditText, TheLimitCutsInsertionsShort)
{
    struct Case {
        int limit;
        const wchar_t* text;
        int anchor, caret;
        const wchar_t* inserted;
        const wchar_t* expected;
        bool truncated;
    } cases[] = {
        { 5, L"abc", 3, 3, L"de", L"abcde", false },
        { 5, L"abc", 3, 3, L"defg", L"abcde", true },
        { 5, L"abc", 0, 3, L"123456", L"12345", true },   // the selection makes room
        { 5, L"abcde", 5, 5, L"f", L"abcde", true },
        { 4, L"ab", 2, 2, L"x\r\ny", L"abx", true },       // never half a line break
        { 3, L"abcdef", 0, 1, L"z", L"abcdef", true },     // already over: nothing fits, the selection stays
        { 3, L"abcdef", 0, 1, L"", L"bcdef", false },      // deleting is always possible
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.limit << " text " << c.text << " insert " << c.inserted);
        EditText model = Holding(c.text, c.anchor, c.caret);
        model.SetLimit(c.limit);
        auto result = model.ReplaceSelection(c.inserted);
        EXPECT_EQ(model.Text(), c.expected);
        EXPECT_EQ(result.truncated, c.truncated);
    }
}

TEST(EditText, LimitZeroMeansTheLargestAndSetTextIgnoresTheLimit)
{
    EditText model;
    EXPECT_EQ(model.Limit(), EditText::kDefaultLimit);
    model.SetLimit(0);
    EXPECT_EQ(model.Limit(), EditText::kMaximumLimit);
    model.SetLimit(2);
    model.SetText(L"longer than two");
    EXPECT_EQ(model.Text(), L"longer than two");
}

TEST(EditText, CharacterAndWordMoves)
{
    struct Case {
        const wchar_t* text;
        int position;
        int left, right, wordLeft, wordRight;
    } cases[] = {
        { L"sin(x) + 2", 0, 0, 1, 0, 7 },
        { L"sin(x) + 2", 3, 2, 4, 0, 7 },
        { L"sin(x) + 2", 7, 6, 8, 0, 9 },
        { L"sin(x) + 2", 10, 9, 10, 9, 10 },
        { L"one  two", 5, 4, 6, 0, 8 },
        { L"ab\r\ncd", 2, 1, 4, 0, 4 },   // a line break is one step
        { L"ab\r\ncd", 4, 2, 5, 0, 6 },
        { L"ab\r\ncd", 3, 1, 4, 0, 4 },   // inside a break counts as before it
        { L"\t x", 3, 2, 3, 2, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << c.text << " at " << c.position);
        EditText model = Holding(c.text, 0, 0);
        EXPECT_EQ(model.CharacterLeft(c.position), c.left);
        EXPECT_EQ(model.CharacterRight(c.position), c.right);
        EXPECT_EQ(model.WordLeft(c.position), c.wordLeft);
        EXPECT_EQ(model.WordRight(c.position), c.wordRight);
    }
}

TEST(EditText, DoubleClickWords)
{
    struct Case {
        const wchar_t* text;
        int position;
        int start, end;
    } cases[] = {
        { L"sqrt(2) + pi", 2, 0, 8 },    // the word and the blank after it
        { L"sqrt(2) + pi", 8, 8, 10 },   // the blank belongs to "+"
        { L"sqrt(2) + pi", 12, 10, 12 }, // past the end: the last word
        { L"a   b", 2, 1, 4 },           // a run of blanks
        { L"ab\r\ncd", 2, 0, 2 },        // past the end of a line
        { L"\r\n", 0, 0, 0 },
        { L"", 0, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << c.text << " at " << c.position);
        EditText model = Holding(c.text, 0, 0);
        EXPECT_EQ(model.WordAt(c.position), std::make_pair(c.start, c.end));
    }
}

TEST(EditText, SelectionNeverSplitsALineBreak)
{
    EditText model = Holding(L"a\r\nb", 2, 2);
    EXPECT_EQ(model.Caret(), 1);
    model.SetSelection(-5, 99);
    EXPECT_EQ(model.SelectionStart(), 0);
    EXPECT_EQ(model.SelectionEnd(), 4);
    EXPECT_EQ(model.SelectedText(), L"a\r\nb");
}

// Each step runs on the model; after all of them one undo must give `undone` with `selected`
// selected, and a second undo must give the text back as it was before the first.
TEST(EditText, UndoUndoesOneStepAndThenRedoesIt)
{
    using Step = std::function<void(EditText&)>;
    auto type = [](std::wstring text) { return Step([text](EditText& m) { for (wchar_t c : text) m.ReplaceSelection(std::wstring(1, c), EditKind::Typing); }); };
    auto backspace = Step([](EditText& m) { m.SetSelection(m.CharacterLeft(m.Caret()), m.Caret()); m.ReplaceSelection(L"", EditKind::Backspace); });
    auto del = Step([](EditText& m) { m.SetSelection(m.Caret(), m.CharacterRight(m.Caret())); m.ReplaceSelection(L"", EditKind::Delete); });
    auto moveTo = [](int p) { return Step([p](EditText& m) { m.SetSelection(p, p); }); };
    auto paste = [](std::wstring text) { return Step([text](EditText& m) { m.ReplaceSelection(text); }); };
    struct Case {
        const char* name;
        const wchar_t* start;
        std::vector<Step> steps;
        const wchar_t* undone;
        std::wstring selected;
    } cases[] = {
        { "typing is one step", L"x", { moveTo(1), type(L"+12") }, L"x", L"" },
        { "typing elsewhere starts a step", L"x", { moveTo(1), type(L"+1"), moveTo(0), type(L"2*") }, L"x+1", L"" },
        { "typing over a selection", L"abc", { Step([](EditText& m) { m.SetSelection(0, 3); }), type(L"xy") }, L"abc", L"abc" },
        { "backspaces are one step", L"12345", { moveTo(5), backspace, backspace, backspace }, L"12345", L"345" },
        { "deletes are one step", L"12345", { moveTo(1), del, del }, L"12345", L"23" },
        { "a paste is its own step", L"a", { moveTo(1), type(L"b"), paste(L"cd") }, L"ab", L"" },
        { "typing after backspace is new", L"ab", { moveTo(2), backspace, type(L"z") }, L"a", L"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditText model = Holding(c.start, 0, 0);
        for (const Step& step : c.steps)
            step(model);
        std::wstring before = model.Text();
        ASSERT_TRUE(model.CanUndo());
        ASSERT_TRUE(model.Undo());
        EXPECT_EQ(model.Text(), c.undone);
        EXPECT_EQ(model.SelectedText(), c.selected);
        ASSERT_TRUE(model.Undo());
        EXPECT_EQ(model.Text(), before);
    }
}

TEST(EditText, SetTextAndEmptyUndoForgetTheUndoStep)
{
    EditText model;
    model.ReplaceSelection(L"1");
    model.SetText(L"2");
    EXPECT_FALSE(model.CanUndo());
    EXPECT_FALSE(model.Undo());
    EXPECT_FALSE(model.Modified());
    model.ReplaceSelection(L"3");
    model.EmptyUndo();
    EXPECT_FALSE(model.CanUndo());
    EXPECT_EQ(model.Text(), L"32");
}

// Every character 10 pixels wide, a tab 40.
std::vector<int> FixedEdges(std::wstring_view text)
{
    std::vector<int> edges;
    int x = 0;
    for (wchar_t c : text)
        edges.push_back(x += c == L'\t' ? 40 : 10);
    return edges;
}

TEST(EditText, BreakingIntoLines)
{
    struct Case {
        const wchar_t* text;
        int width;
        std::vector<EditLine> lines;
    } cases[] = {
        { L"", 0, { { 0, 0, 0 } } },
        { L"abc", 0, { { 0, 3, 0 } } },
        { L"ab\r\ncd", 0, { { 0, 2, 2 }, { 4, 2, 0 } } },
        { L"ab\r\n", 0, { { 0, 2, 2 }, { 4, 0, 0 } } },
        { L"\r\n\r\n", 0, { { 0, 0, 2 }, { 2, 0, 2 }, { 4, 0, 0 } } },
        { L"one two three", 0, { { 0, 13, 0 } } },
        { L"one two three", 75, { { 0, 8, 0 }, { 8, 5, 0 } } },        // blanks stay on the line they end
        { L"one two three", 50, { { 0, 4, 0 }, { 4, 4, 0 }, { 8, 5, 0 } } },
        { L"one   two", 40, { { 0, 6, 0 }, { 6, 3, 0 } } },            // a run of blanks past the edge
        { L"abcdefgh", 30, { { 0, 3, 0 }, { 3, 3, 0 }, { 6, 2, 0 } } }, // a word longer than a line
        { L"abc", 5, { { 0, 1, 0 }, { 1, 1, 0 }, { 2, 1, 0 } } },      // at least one character a line
        { L"ab cd\r\nef", 30, { { 0, 3, 0 }, { 3, 2, 2 }, { 7, 2, 0 } } },
        { L"a\tb", 45, { { 0, 2, 0 }, { 2, 1, 0 } } },                  // a tab wraps like a blank
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << c.text << " width " << c.width);
        auto lines = BreakLines(c.text, c.width, FixedEdges);
        ASSERT_EQ(lines.size(), c.lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].start, c.lines[i].start) << "line " << i;
            EXPECT_EQ(lines[i].length, c.lines[i].length) << "line " << i;
            EXPECT_EQ(lines[i].breakLength, c.lines[i].breakLength) << "line " << i;
        }
    }
}

TEST(EditText, LineOfAPosition)
{
    auto lines = BreakLines(L"ab cd\r\nef\r\n", 30, FixedEdges); // "ab " "cd" | "ef" | ""
    struct Case {
        int position, line;
    } cases[] = { { 0, 0 }, { 2, 0 }, { 3, 1 }, { 5, 1 }, { 7, 2 }, { 9, 2 }, { 11, 3 }, { 50, 3 } };
    for (const Case& c : cases)
        EXPECT_EQ(LineOfPosition(lines, c.position), c.line) << "position " << c.position;
}

} // namespace
