#include "editor/Edit.h"

#include "EditTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using divuzura::foundation::CMvcCommand;
using namespace edittest;

namespace {

class EditModel : public testing::Test {
protected:
    EditModel()
    {
        m_edit.AttachLangConfig(m_language.get());
        m_edit.ResetContent();
    }
    ~EditModel() override { m_edit.AttachLangConfig(nullptr); }

    CString Text()
    {
        CString text;
        m_edit.GetAllText(text);
        return text;
    }

    std::unique_ptr<SECEditLangConfig> m_language = MakeTestLanguage();
    SECEdit m_edit;
};

TEST_F(EditModel, SetTextLeavesTheModelModifiedWithNoHistory)
{
    m_edit.SetText(L"Option Explicit\r\n");
    EXPECT_TRUE(m_edit.IsModified());
    EXPECT_EQ(m_edit.GetLineCount(), 2);
    EXPECT_EQ(m_edit.Undo(), nullptr);
    EXPECT_TRUE(m_edit.IsModified()) << "the set text differs from every saved state";
    EXPECT_EQ(Text(), L"Option Explicit\r\n");
}

TEST_F(EditModel, AllTextIncludesWhatFollowsALoneCarriageReturn)
{
    m_edit.SetText(L"first\nsecond\rthird");
    EXPECT_EQ(m_edit.GetLineLength(1), 6);
    EXPECT_EQ(Text(), L"first\nsecond\rthird");
}

TEST_F(EditModel, UndoAndRedoRestoreTextWithLineBreaks)
{
    m_edit.InsertText(0, 0, L"first\r\nsecond\r\nthird");
    m_edit.DeleteText(0, 3, 2, 2);
    EXPECT_EQ(Text(), L"firird");
    ASSERT_NE(m_edit.Undo(), nullptr);
    EXPECT_EQ(Text(), L"first\r\nsecond\r\nthird");
    ASSERT_NE(m_edit.Redo(), nullptr);
    EXPECT_EQ(Text(), L"firird");
    m_edit.Undo();
    m_edit.Undo();
    EXPECT_EQ(Text(), L"");
    EXPECT_EQ(m_edit.GetLineCount(), 1);
    m_edit.Redo();
    EXPECT_EQ(Text(), L"first\r\nsecond\r\nthird");
}

// Random insertions and deletions, some grouped, some making lines too long: undoing every step
// gives back each earlier text exactly, and redoing gives back the last one.
TEST_F(EditModel, ScatteredEditsUndoAndRedoExactly)
{
    unsigned seed = 777;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    std::vector<CString> texts { Text() };
    for (int step = 0; step < 200; ++step) {
        const bool grouped = next(5) == 0;
        if (grouped)
            m_edit.GroupEdits(TRUE);
        for (int edit = 0; edit < (grouped ? 3 : 1); ++edit) {
            const int line = static_cast<int>(next(m_edit.GetLineCount()));
            const int column = static_cast<int>(next(m_edit.GetLineLength(line) + 1));
            if (next(3) != 0) {
                CString text;
                const unsigned kind = next(10);
                if (kind == 0)
                    text = CString(L'w', 1500 + next(1500)); // breaks the line
                else
                    for (unsigned n = next(12) + 1; n > 0; --n)
                        text += std::wstring_view(L"ab \t{}\"\r\n\0", 10)[next(10)];
                ASSERT_TRUE(m_edit.InsertText(line, column, text, text.GetLength()));
            } else {
                const int endLine = std::min(m_edit.GetLastLine(), line + static_cast<int>(next(3)));
                const int endColumn = endLine == line ? std::min(m_edit.GetLineLength(line), column + static_cast<int>(next(20)))
                                                      : static_cast<int>(next(m_edit.GetLineLength(endLine) + 1));
                ASSERT_TRUE(m_edit.DeleteText(line, column, endLine, endColumn));
            }
            m_edit.GetLineColor(static_cast<int>(next(m_edit.GetLineCount())));
        }
        if (grouped)
            m_edit.GroupEdits(FALSE);
        texts.push_back(Text());
    }
    for (int step = static_cast<int>(texts.size()) - 2; step >= 0; --step) {
        ASSERT_NE(m_edit.Undo(), nullptr) << step;
        ASSERT_EQ(Text(), texts[step]) << step;
    }
    EXPECT_EQ(m_edit.Undo(), nullptr);
    while (m_edit.Redo())
        ;
    EXPECT_EQ(Text(), texts.back());
}

TEST_F(EditModel, NulCharacterInsideTextSurvivesUndoAndRedo)
{
    const CString text(std::wstring_view(L"a\0b", 3));
    m_edit.InsertText(0, 0, text, text.GetLength());
    m_edit.DeleteText(0, 0, 0, 3);
    m_edit.Undo();
    EXPECT_EQ(Text(), text);
    m_edit.Undo();
    m_edit.Redo();
    EXPECT_EQ(Text(), text);
}

TEST_F(EditModel, TextAfterALoneCarriageReturnCanBeDeletedAndRestored)
{
    m_edit.InsertText(0, 0, L"x\r\ny\rzz");
    ASSERT_TRUE(m_edit.Undo());
    EXPECT_EQ(Text(), L"") << "the insertion's end lies after the CR";
    m_edit.Redo();
    ASSERT_TRUE(m_edit.DeleteText(1, 1, 1, 4));
    EXPECT_EQ(Text(), L"x\r\ny");
}

TEST_F(EditModel, HistoryKeeps256Steps)
{
    for (int i = 0; i < 300; ++i)
        m_edit.InsertText(0, 0, L"x");
    int undone = 0;
    while (m_edit.Undo())
        ++undone;
    EXPECT_EQ(undone, 256);
    EXPECT_EQ(Text(), CString(L'x', 44));
    while (m_edit.Redo())
        ;
    EXPECT_EQ(Text(), CString(L'x', 300));
}

TEST_F(EditModel, GroupedEditsAreOneStep)
{
    m_edit.InsertText(0, 0, L"base");
    m_edit.GroupEdits(TRUE);
    m_edit.InsertText(0, 4, L" one");
    m_edit.InsertText(0, 0, L"two ");
    m_edit.DeleteText(0, 0, 0, 1);
    m_edit.GroupEdits(FALSE);
    EXPECT_EQ(Text(), L"wo base one");
    ASSERT_NE(m_edit.Undo(), nullptr);
    EXPECT_EQ(Text(), L"base");

    const int before = m_edit.GetUndoCount();
    m_edit.GroupEdits(TRUE);
    m_edit.GroupEdits(FALSE);
    EXPECT_EQ(m_edit.GetUndoCount(), before) << "an empty group is not logged";

    m_edit.GroupEdits(TRUE);
    m_edit.InsertText(0, 0, L"a");
    m_edit.InsertText(0, 0, L"b");
    EXPECT_TRUE(m_edit.IsGroupOpen());
    m_edit.Undo();
    EXPECT_FALSE(m_edit.IsGroupOpen()) << "undo closes the open group first";
    EXPECT_EQ(Text(), L"base");
}

TEST_F(EditModel, AppendToLastStepJoinsTwoSteps)
{
    m_edit.InsertText(0, 0, L"ab");
    auto* command = new SECEditCommand(&m_edit, SECEditCommand::Insert);
    command->SetStart(0, 2);
    command->SetEnd(0, 2);
    command->SetText(L"cd");
    ASSERT_TRUE(command->Execute());
    m_edit.AppendToLastStep(command, FALSE);
    EXPECT_EQ(Text(), L"abcd");
    m_edit.Undo();
    EXPECT_EQ(Text(), L"");
}

TEST_F(EditModel, TypedCharactersMergedIntoOneStepAreUndoneTogether)
{
    // What the controller does while a word is typed: each character is executed as a new
    // insertion and, when it follows the previous one, merged into it.
    m_edit.InsertText(0, 0, L"Dim ");
    m_edit.InsertText(0, 4, L"a");
    auto* first = dynamic_cast<SECEditCommand*>(m_edit.PeekUndo());
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 4; ++i) {
        SECEditCommand next(&m_edit, SECEditCommand::Insert);
        next.SetStart(0, 5 + i);
        next.SetText(CString(static_cast<wchar_t>(L'b' + i)));
        ASSERT_TRUE(next.Execute());
        ASSERT_TRUE(first->MergeFollowingInsertion(next));
    }
    EXPECT_EQ(Text(), L"Dim abcde");
    EXPECT_EQ(first->m_end, SECEditLineCol(0, 9));
    m_edit.Undo();
    EXPECT_EQ(Text(), L"Dim ") << "the whole merged word goes";
    m_edit.Redo();
    EXPECT_EQ(Text(), L"Dim abcde");

    SECEditCommand elsewhere(&m_edit, SECEditCommand::Insert);
    elsewhere.SetStart(0, 0);
    EXPECT_FALSE(first->MergeFollowingInsertion(elsewhere));
}

TEST_F(EditModel, ModifiedFollowsTheSavePoint)
{
    TempDir dir;
    m_edit.InsertText(0, 0, L"saved");
    ASSERT_TRUE(m_edit.SaveFile(Wide(dir.File("a.vbs"))));
    EXPECT_FALSE(m_edit.IsModified());
    m_edit.InsertText(0, 5, L"!");
    EXPECT_TRUE(m_edit.IsModified());
    m_edit.Undo();
    EXPECT_FALSE(m_edit.IsModified());
    m_edit.Undo();
    EXPECT_TRUE(m_edit.IsModified());
    m_edit.Redo();
    EXPECT_FALSE(m_edit.IsModified());
}

TEST_F(EditModel, SavedTextWhoseStepsLeftTheHistoryIsNeverReachedAgain)
{
    TempDir dir;
    m_edit.SetText(L"base");
    ASSERT_TRUE(m_edit.SaveFile(Wide(dir.File("a.vbs"))));
    for (int i = 0; i < 257; ++i)
        m_edit.InsertText(0, 0, L"x");
    while (m_edit.Undo())
        ;
    EXPECT_EQ(Text(), L"xbase") << "the first step fell off the history";
    EXPECT_TRUE(m_edit.IsModified());

    // Saved on top of the oldest step: once that falls off, the empty history is the saved text.
    m_edit.InsertText(0, 0, L"y");
    ASSERT_TRUE(m_edit.SaveFile(Wide(dir.File("a.vbs"))));
    for (int i = 0; i < 256; ++i)
        m_edit.InsertText(0, 0, L"z");
    while (m_edit.Undo())
        ;
    EXPECT_EQ(Text(), L"yxbase");
    EXPECT_FALSE(m_edit.IsModified());
}

TEST_F(EditModel, ClearingTheHistoryOfAnUnmodifiedTextKeepsItUnmodified)
{
    TempDir dir;
    m_edit.InsertText(0, 0, L"saved");
    ASSERT_TRUE(m_edit.SaveFile(Wide(dir.File("a.vbs"))));
    m_edit.ResetUndo();
    m_edit.InsertText(0, 0, L"!");
    m_edit.Undo();
    EXPECT_FALSE(m_edit.IsModified());
}

TEST_F(EditModel, LongInsertedLineIsBrokenAtTheMaximum)
{
    const CString line(L'x', 3000);
    ASSERT_TRUE(m_edit.InsertText(0, 0, line));
    ASSERT_EQ(m_edit.GetLineCount(), 2);
    EXPECT_EQ(m_edit.GetLineLength(0), 2048);
    EXPECT_EQ(m_edit.GetLineLength(1), 952);
    m_edit.Undo();
    EXPECT_EQ(Text(), L"") << "the break is part of the insertion";

    const CString tabs(L'\t', 600);
    m_edit.InsertText(0, 0, tabs);
    EXPECT_EQ(m_edit.GetLineCount(), 2) << "600 tabs of 4 columns are 2400 display columns";
    EXPECT_EQ(m_edit.GetLineLength(0), 512);
}

TEST_F(EditModel, InsertedTextBreaksAtItsEndWhenThatFits)
{
    const CString tail(L'z', 2000);
    m_edit.InsertText(0, 0, tail);
    m_edit.InsertText(0, 0, CString(L'a', 100));
    ASSERT_EQ(m_edit.GetLineCount(), 2);
    EXPECT_EQ(m_edit.GetLineLength(0), 100) << "the break goes where the insertion ends";
    EXPECT_EQ(m_edit.GetLineLength(1), 2000);
    m_edit.Undo();
    CString text;
    m_edit.GetAllText(text);
    EXPECT_EQ(text, tail);
}

TEST_F(EditModel, JoiningTwoLongLinesPutsTheBreakBack)
{
    const CString half(L'y', 1500);
    m_edit.InsertText(0, 0, half + L"\r\n" + half);
    m_edit.ResetUndo();
    ASSERT_TRUE(m_edit.DeleteText(0, 1500, 1, 0));
    ASSERT_EQ(m_edit.GetLineCount(), 2);
    EXPECT_EQ(m_edit.GetLineLength(0), 1500);
    EXPECT_EQ(m_edit.GetLineLength(1), 1500);
    ASSERT_NE(m_edit.Undo(), nullptr);
    EXPECT_EQ(m_edit.Undo(), nullptr) << "deletion and re-break are one step";
    EXPECT_EQ(Text(), half + L"\r\n" + half);
}

// The break put back after a join only splits the joined line: the maximum stays when the join is
// undone and redone, so that a long line typed later breaks where it does in the same text set afresh.
TEST_F(EditModel, TheBreakPutBackAfterAJoinWidensNothing)
{
    const CString line(L'y', 1500);
    const CString text = line + L"\r\n" + line + L"\r\n" + line;
    m_edit.InsertText(0, 0, text);
    ASSERT_TRUE(m_edit.DeleteText(0, 1400, 2, 100));
    ASSERT_EQ(m_edit.GetLineCount(), 2);
    EXPECT_EQ(m_edit.GetMaxLineLength(), SECEdit::DefaultMaxLineLength);
    ASSERT_NE(m_edit.Undo(), nullptr);
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(m_edit.GetMaxLineLength(), SECEdit::DefaultMaxLineLength) << "undone";
    ASSERT_NE(m_edit.Redo(), nullptr);
    EXPECT_EQ(m_edit.GetMaxLineLength(), SECEdit::DefaultMaxLineLength) << "redone";

    m_edit.InsertText(0, 1300, CString(L'w', 1000));
    EXPECT_EQ(m_edit.GetLineLength(0), SECEdit::DefaultMaxLineLength);
    SECEdit fresh;
    fresh.AttachLangConfig(m_language.get());
    fresh.SetText(Text());
    ASSERT_EQ(fresh.GetLineCount(), m_edit.GetLineCount());
    for (int line = 0; line < fresh.GetLineCount(); ++line)
        EXPECT_EQ(fresh.GetLineLength(line), m_edit.GetLineLength(line)) << line;
    fresh.AttachLangConfig(nullptr);
}

// A loaded line wider than the default maximum (the longest of its file, short or of millions of
// characters) keeps its text whole when the user types into it or deletes from it: no edit breaks
// text the user did not touch.
TEST_F(EditModel, EditsInsideAnOverlongLoadedLineKeepItWhole)
{
    for (const int length : { SECEdit::DefaultMaxLineLength + 1000, (1 << 22) + 1000 }) {
        SCOPED_TRACE(length);
        TempDir dir;
        {
            std::ofstream file(dir.File("long.txt"), std::ios::binary);
            file << std::string(length, 'a') << "\r\nnext\r\n";
        }
        ASSERT_TRUE(m_edit.LoadFile(Wide(dir.File("long.txt"))));
        ASSERT_EQ(m_edit.GetLineLength(0), length);
        ASSERT_TRUE(m_edit.InsertText(0, 10, L"b\t"));
        EXPECT_EQ(m_edit.GetLineCount(), 3);
        EXPECT_EQ(m_edit.GetLineLength(0), length + 2);
        ASSERT_TRUE(m_edit.DeleteText(0, 10, 0, 13));
        EXPECT_EQ(m_edit.GetLineCount(), 3);
        EXPECT_EQ(m_edit.GetLineLength(0), length - 1);
        // Typing a line break still splits it where the user put it, and nowhere else.
        ASSERT_TRUE(m_edit.InsertText(0, 5, L"\r\n"));
        EXPECT_EQ(m_edit.GetLineCount(), 4);
        EXPECT_EQ(m_edit.GetLineLength(0), 5);
        EXPECT_EQ(m_edit.GetLineLength(1), length - 6);
    }
}

TEST_F(EditModel, RefusedEditsMakeNoCommand)
{
    m_edit.InsertText(0, 0, L"abc");
    const int steps = m_edit.GetUndoCount();
    EXPECT_FALSE(m_edit.InsertText(5, 0, L"x"));
    EXPECT_FALSE(m_edit.DeleteText(0, 0, 3, 0));
    EXPECT_EQ(m_edit.GetUndoCount(), steps);
    EXPECT_EQ(Text(), L"abc");
}

TEST_F(EditModel, PositionsOutsideTheTextChangeNothing)
{
    m_edit.SetText(L"ab\r\ncd");
    const int steps = m_edit.GetUndoCount();
    EXPECT_FALSE(m_edit.InsertText(-1, 0, L"x"));
    EXPECT_FALSE(m_edit.InsertText(0, -1, L"x"));
    EXPECT_FALSE(m_edit.InsertText(0, 0, nullptr, 3));
    EXPECT_FALSE(m_edit.DeleteText(-1, 0, 0, 1));
    EXPECT_FALSE(m_edit.DeleteText(0, 0, 9, 9));
    EXPECT_FALSE(m_edit.InsertTab(7, 0));
    CString text;
    EXPECT_FALSE(m_edit.GetText(text, 5, 0, 6, 0));
    const wchar_t* chars = nullptr;
    EXPECT_EQ(m_edit.GetLineText(-3, text, chars), -1);
    EXPECT_EQ(m_edit.GetLineLength(9), -1);
    EXPECT_EQ(m_edit.ValidateColumn(0, 3, FALSE), -1);
    EXPECT_EQ(m_edit.ConvertLineColumn(50, 1, 99, nullptr), 2) << "a line past the last is read as the last";
    EXPECT_EQ(m_edit.GetIndentText(-3, { 0, 0 }, FALSE), L"");
    EXPECT_EQ(m_edit.GetLineColor(-1), nullptr);
    EXPECT_EQ(m_edit.SetLineData(-1, 5), 0u);
    m_edit.SetLineFlag(9, 2, TRUE);
    EXPECT_EQ(m_edit.CountLinesWithFlag(2), 0);
    EXPECT_FALSE(m_edit.BreakLongLines(TRUE, 50, 10));
    EditFindRequest request;
    request.pattern = L"c";
    int line = 0, column = 0;
    EXPECT_EQ(m_edit.Find(9, 0, line, column, request), 0);
    EXPECT_EQ(m_edit.GetUndoCount(), steps);
    EXPECT_EQ(Text(), L"ab\r\ncd");

    SECEdit empty;
    EXPECT_EQ(empty.GetLineCount(), 0);
    EXPECT_FALSE(empty.DeleteText(0, 0, 0, 0));
    EXPECT_EQ(empty.GetLineColor(0), nullptr);
    empty.GetAllText(text);
    EXPECT_EQ(text, L"");
}

TEST_F(EditModel, CommandWhoseTextVanishedIsPassedOverByUndo)
{
    m_edit.InsertText(0, 0, L"keep");
    m_edit.InsertText(0, 4, L"\r\nfragile");
    // Take the text away behind the history's back, as a failing buffer would.
    m_edit.GetBuffer()->DeleteText(SECEditLineColPair(0, 4, 1, 7));
    m_edit.GetBuffer()->DeleteText(SECEditLineColPair(0, 0, 0, 4));
    CMvcCommand* undone = m_edit.Undo();
    EXPECT_EQ(undone, nullptr) << "both commands failed and became not undoable";
    EXPECT_EQ(m_edit.GetUndoCount(), 0);
}

TEST_F(EditModel, UndoBringsBackTextOfAnyCharacters)
{
    // Undo keeps Latin-1 text a byte a character and anything wider as it is.
    for (const wchar_t* text : { L"plain", L"caf\u00E9\r\n\u00FF", L"\u03A9 caf\u00E9 \U0001F600" }) {
        SCOPED_TRACE(CString(text).ToUtf8());
        m_edit.InsertText(0, 0, text);
        ASSERT_EQ(Text(), text);
        const int last = m_edit.GetLineCount() - 1;
        ASSERT_TRUE(m_edit.DeleteText(0, 0, last, m_edit.GetLineLength(last)));
        EXPECT_EQ(Text(), L"");
        m_edit.Undo();
        EXPECT_EQ(Text(), text);
        m_edit.Redo();
        EXPECT_EQ(Text(), L"");
    }

    SECEditCommand first(&m_edit, SECEditCommand::Insert);
    first.SetText(L"caf\u00E9");
    ASSERT_TRUE(first.Execute());
    SECEditCommand next(&m_edit, SECEditCommand::Insert);
    next.SetStart(0, 4);
    next.SetText(L"\u03A9");
    ASSERT_TRUE(next.Execute());
    ASSERT_TRUE(first.MergeFollowingInsertion(next));
    EXPECT_EQ(first.GetText(), L"caf\u00E9\u03A9") << "a wide character joins narrow text";
}

TEST_F(EditModel, CommandsDescribeThemselves)
{
    SECEditCommand insert(&m_edit, SECEditCommand::Insert);
    insert.SetStart(2, 4);
    insert.SetText(L"abc");
    CString text;
    insert.GetDescription(text);
    EXPECT_EQ(text, L"Insert text having length 3 at line 2, column 4");
    SECEditCommand remove(&m_edit, SECEditCommand::Delete);
    remove.SetStart(1, 2);
    remove.SetEnd(3, 4);
    remove.GetDescription(text);
    EXPECT_EQ(text, L"Delete text from line 1, column 2 to line 3, column 4");
}

TEST_F(EditModel, ObserversHearEveryChange)
{
    struct Recorder : IObserver {
        bool QueryGuid(GUID_REF, void** object) override { *object = nullptr; return false; }
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        void OnUpdate(ISubject*, IMessage* message) override
        {
            if (!message)
                return;
            codes.push_back(message->GetTypeID());
            if (auto* command = dynamic_cast<SECEditCommand*>(message))
                present.push_back(command->IsTextPresent());
            if (auto* paint = dynamic_cast<SECEditPaintMsg*>(message))
                painted.emplace_back(paint->m_nFirstLine, paint->m_nLastLine);
        }
        std::vector<UINT> codes;
        std::vector<BOOL> present;
        std::vector<std::pair<int, int>> painted;
    } recorder;
    m_edit.AddObserver(&recorder);

    m_edit.InsertText(0, 0, L"{ a\r\nb }\r\nc");
    EXPECT_EQ(recorder.codes, std::vector<UINT> { SECEDIT_COMMAND });
    m_edit.GetLineColor(2);
    EXPECT_EQ(recorder.painted, (std::vector<std::pair<int, int>> { { 0, 1 } })) << "the comment's lines";

    recorder.codes.clear();
    m_edit.InsertText(1, 0, L"x");
    EXPECT_EQ(recorder.codes, (std::vector<UINT> { SECEDIT_INVALIDATE_LINES, SECEDIT_COMMAND })) << "the comment span is dropped";

    recorder.codes.clear();
    recorder.present.clear();
    m_edit.GroupEdits(TRUE);
    m_edit.InsertText(2, 0, L"1");
    m_edit.DeleteText(2, 0, 2, 1);
    m_edit.GroupEdits(FALSE);
    m_edit.Undo();
    EXPECT_EQ(recorder.present, (std::vector<BOOL> { TRUE, FALSE, TRUE, FALSE })) << "undo replays the members in reverse";

    recorder.codes.clear();
    m_edit.SetLineFlag(0, 5, TRUE);
    m_edit.SetLanguage(L"Default");
    m_edit.ResetContent();
    EXPECT_EQ(recorder.codes, (std::vector<UINT> { SECEDIT_INVALIDATE_GUTTER, SECEDIT_INVALIDATE_COLORING, SECEDIT_INIT_CONTROLLER }));
    m_edit.RemoveObserver(&recorder);
}

TEST(EditCompositeCommand, RefusesCommandsItAlreadyHolds)
{
    auto* inner = new SECEditCompositeCommand;
    auto* member = new SECEditCompositeCommand;
    inner->Add(member);
    SECEditCompositeCommand outer;
    EXPECT_TRUE(outer.Add(inner));
    EXPECT_FALSE(outer.Add(inner));
    EXPECT_FALSE(outer.Add(member)) << "held by a nested group";
    EXPECT_EQ(outer.GetCount(), 1);
    EXPECT_TRUE(outer.AreAllUndoable());
}

TEST_F(EditModel, LineFlagsMoveWithTheText)
{
    m_edit.InsertText(0, 0, L"a\r\nb\r\nc\r\nd");
    m_edit.ClearLineFlagAll(SECEDIT_FLAG_CHANGED);
    m_edit.SetLineFlag(2, 3, TRUE);
    EXPECT_EQ(m_edit.FindLineWithFlag(3, 3, TRUE), 2) << "wraps from the last line";
    EXPECT_EQ(m_edit.FindLineWithFlag(2, 3, TRUE), 2) << "a full cycle comes back";
    EXPECT_EQ(m_edit.FindLineWithFlag(0, 4, TRUE), -1);

    EXPECT_EQ(m_edit.CountLinesWithFlag(SECEDIT_FLAG_CHANGED), 0) << "the model marks no insertion by itself";
    m_edit.SetMarkChangedLines(TRUE);
    m_edit.InsertText(0, 0, L"new\r\n");
    EXPECT_TRUE(m_edit.GetLineFlag(3, 3)) << "the flagged line moved down";
    EXPECT_TRUE(m_edit.GetLineFlag(0, SECEDIT_FLAG_CHANGED));
    m_edit.DeleteText(0, 0, 2, 0);
    EXPECT_TRUE(m_edit.GetLineFlag(1, 3));
    EXPECT_EQ(m_edit.CountLinesWithFlag(3), 1);

    EXPECT_EQ(m_edit.SetLineData(1, 7), 0u);
    EXPECT_EQ(m_edit.GetLineData(1), 7u);
    EXPECT_EQ(m_edit.SetLineData(99, 1), 0u);
    m_edit.ToggleLineFlag(1, 3);
    EXPECT_FALSE(m_edit.GetLineFlag(1, 3));
    EXPECT_FALSE(m_edit.GetLineFlag(1, 40));
}

TEST_F(EditModel, ColumnsConvertThroughTabs)
{
    m_edit.InsertText(0, 0, L"a\tbc\td");
    struct Case {
        int column, mode, result, display;
    };
    const Case cases[] = {
        { 0, 0, 0, -1 }, { 1, 0, 1, -1 }, { 2, 0, 4, -1 }, { 5, 0, 8, -1 }, { 99, 0, 9, -1 },
        { 4, 1, 2, -1 }, { 2, 1, 1, 1 }, { 8, 1, 5, -1 }, { 7, 1, 4, 6 }, { 20, 1, 6, 9 },
    };
    for (const Case& c : cases) {
        int display = -1;
        EXPECT_EQ(m_edit.ConvertLineColumn(c.column, c.mode, 0, &display), c.result) << c.column << " mode " << c.mode;
        EXPECT_EQ(display, c.display) << c.column << " mode " << c.mode;
    }
    EXPECT_EQ(m_edit.GetIndentText(6, { 0, 1 }, FALSE), L"\t   ");
    EXPECT_EQ(m_edit.GetIndentText(2, { 0, 1 }, FALSE), L"  ");
    EXPECT_EQ(m_edit.GetBlanksToNextTab({ 0, 3 }), 3);

    SECEditFontInfo font;
    font.m_nBlankWidth = 8;
    font.m_nTabMarkerWidth = 5;
    EXPECT_EQ(m_edit.GetTabStopWidth(font), 32);
    m_language->SetShowWhitespace(TRUE);
    EXPECT_EQ(m_edit.GetTabStopWidth(font), 29) << "three blanks and the marker";
}

} // namespace
