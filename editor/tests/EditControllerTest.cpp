// The editor's keyboard: caret moves and selection for the keys of the table, typing with undo
// merging, overwrite, Enter, Tab and Shift+Tab, deletions, line and case commands, clipboard.

#include "EditViewFixture.h"

#include <cstdio>
#include <fstream>

using namespace edittest;

namespace {

using EditKeys = EditViewTest;

struct MoveCase {
    const char* name;
    const wchar_t* text;
    SECEditLineCol from;
    unsigned key;
    unsigned mods;
    SECEditLineCol to;
};

TEST_F(EditKeys, EveryCaretKeyMovesWhereTheTableSays)
{
    const MoveCase cases[] = {
        { "smart home to the indentation", L"    text here", { 0, 7 }, VK_HOME, NoMods, { 0, 4 } },
        { "smart home again to column 0", L"    text here", { 0, 4 }, VK_HOME, NoMods, { 0, 0 } },
        { "home on a blank line", L"    ", { 0, 2 }, VK_HOME, NoMods, { 0, 0 } },
        { "end", L"abc def", { 0, 1 }, VK_END, NoMods, { 0, 7 } },
        { "document start", L"ab\r\ncd", { 1, 1 }, VK_HOME, Ctrl, { 0, 0 } },
        { "document end", L"ab\r\ncdef", { 0, 1 }, VK_END, Ctrl, { 1, 4 } },
        { "left across a line start", L"ab\r\ncd", { 1, 0 }, VK_LEFT, NoMods, { 0, 2 } },
        { "left at the document start", L"ab", { 0, 0 }, VK_LEFT, NoMods, { 0, 0 } },
        { "right across a line end", L"ab\r\ncd", { 0, 2 }, VK_RIGHT, NoMods, { 1, 0 } },
        { "right at the document end", L"ab", { 0, 2 }, VK_RIGHT, NoMods, { 0, 2 } },
        { "word right to the next word", L"foo  bar", { 0, 0 }, VK_RIGHT, Ctrl, { 0, 5 } },
        { "word right from a line end", L"foo\r\n  bar", { 0, 3 }, VK_RIGHT, Ctrl, { 1, 2 } },
        { "word left skips blanks", L"foo  bar", { 0, 5 }, VK_LEFT, Ctrl, { 0, 0 } },
        { "word left from column 0", L"one two\r\nx", { 1, 0 }, VK_LEFT, Ctrl, { 0, 4 } },
        { "line down", L"abcd\r\nefgh", { 0, 2 }, VK_DOWN, NoMods, { 1, 2 } },
        { "line up on line 0", L"abcd", { 0, 2 }, VK_UP, NoMods, { 0, 2 } },
        { "page down on a short text lands on the last line", L"a\r\nb\r\nc", { 0, 0 }, VK_NEXT, NoMods, { 2, 0 } },
        { "page down on the last line", L"a\r\nb", { 1, 1 }, VK_NEXT, NoMods, { 1, 1 } },
        { "page up to line 0", L"a\r\nb\r\nc", { 2, 0 }, VK_PRIOR, NoMods, { 0, 0 } },
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetText(c.text);
        Place(c.from.m_nLine, c.from.m_nCol);
        Press(c.key, c.mods);
        EXPECT_EQ(Caret(), c.to);
        EXPECT_FALSE(C().HasSelection());
    }
}

// Word moves and the word at the caret on a line of 450,000 characters read it a piece at a time,
// never whole (a key on a 20 MB line used to copy all of it), and a word that spans several pieces
// comes out whole.
TEST_F(EditKeys, WordMovesOnAVeryLongLineReadItInPieces)
{
    std::wstring line;
    while (line.size() < 300000)
        line += L"word ";
    const int longWord = static_cast<int>(line.size()), afterLongWord = longWord + 150000;
    line += std::wstring(150000, L'x') + L"  end";
    // Only a file makes a line this long: typed or set text is broken at the longest line's length.
    const std::string path = ::testing::TempDir() + "fln-long-words.vbs";
    std::ofstream(path) << std::string(line.begin(), line.end());
    ASSERT_TRUE(m_edit.LoadFile(CString(path.c_str())));
    std::remove(path.c_str());
    Pump();
    ASSERT_EQ(m_edit.GetLineLength(0), static_cast<int>(line.size()));
    struct Case {
        const char* name;
        int from;
        void (SECEditController::*move)(BOOL);
        int to;
    };
    const Case cases[] = {
        { "right over a word and its blank", 100000, &SECEditController::MoveWordRight, 100005 },
        { "left to the word's start", 100003, &SECEditController::MoveWordLeft, 100000 },
        { "right over the long word and its blanks", longWord, &SECEditController::MoveWordRight, afterLongWord + 2 },
        { "left over blanks and the long word", afterLongWord + 2, &SECEditController::MoveWordLeft, longWord },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        C().SetCaretPosition(0, c.from, FALSE);
        m_edit.longestRead = 0;
        (C().*c.move)(TRUE);
        EXPECT_EQ(Caret(), SECEditLineCol(0, c.to));
        EXPECT_LE(m_edit.longestRead, SECEdit::LinePieceLength);
    }
    C().SetCaretPosition(0, longWord + 70000, FALSE);
    m_edit.longestRead = 0;
    int start = 0, end = 0;
    ASSERT_TRUE(C().GetWordAt(Caret(), start, end));
    EXPECT_EQ(start, longWord);
    EXPECT_EQ(end, afterLongWord);
    EXPECT_LE(m_edit.longestRead, SECEdit::LinePieceLength);
    EXPECT_EQ(C().GetWordAtCaret().GetLength(), 150000) << "the word itself is copied, not its line";
    Pump();
}

TEST_F(EditKeys, VerticalMovesKeepTheHorizontalPositionAcrossShortLines)
{
    SetText(L"abcdefgh\r\nab\r\nabcdefgh");
    Place(0, 6);
    Press(VK_DOWN);
    EXPECT_EQ(Caret(), SECEditLineCol(1, 2));
    Press(VK_DOWN);
    EXPECT_EQ(Caret(), SECEditLineCol(2, 6));
}

TEST_F(EditKeys, PageDownMovesByAPageLessOneAndScrollsWithIt)
{
    std::wstring text;
    for (int i = 0; i < 100; ++i)
        text += L"line\r\n";
    SetText(text.c_str());
    Press(VK_HOME, Ctrl);
    const int page = m_view->GetViewport().GetVisibleLineCount();
    ASSERT_GT(page, 2);
    Press(VK_NEXT);
    EXPECT_EQ(Caret().m_nLine, page - 1);
    EXPECT_EQ(m_view->GetViewport().GetTopLine(), page - 1);
    Press(VK_PRIOR);
    EXPECT_EQ(Caret().m_nLine, 0);
}

TEST_F(EditKeys, ShiftKeysExtendTheSelectionFromTheCaret)
{
    SetText(L"hello world\r\nsecond");
    C().SetCaretPosition(0, 6, FALSE);
    Press(VK_RIGHT, Shift);
    Press(VK_RIGHT, Shift);
    EXPECT_EQ(Selected(), L"wo");
    Press(VK_RIGHT, Ctrl | Shift);
    EXPECT_EQ(Selected(), L"world");
    EXPECT_EQ(::GetPrimarySelectionText(), L"world") << "a selection by the keys is the PRIMARY selection";
    Press(VK_END, Shift);
    Press(VK_DOWN, Shift);
    EXPECT_EQ(Selected(), L"world\r\nsecond");
    Press(VK_HOME, Ctrl | Shift);
    EXPECT_EQ(Selected(), L"hello ");
    Press(VK_ESCAPE);
    EXPECT_FALSE(C().HasSelection());

    // At the very start a Shift+Left anchors a selection with nothing in it.
    C().SetCaretPosition(0, 0, FALSE);
    Press(VK_LEFT, Shift);
    EXPECT_EQ(C().GetSelectionObject().GetAnchor(), SECEditLineCol(0, 0));
    EXPECT_EQ(Selected(), L"");
}

TEST_F(EditKeys, SelectAllEndsWithTheCaretAtTheStart)
{
    SetText(L"one\r\ntwo");
    Press('A', Ctrl);
    EXPECT_EQ(Selected(), L"one\r\ntwo");
    EXPECT_EQ(Caret(), SECEditLineCol(0, 0));
    Press('W', Ctrl | Shift); // select word
    EXPECT_EQ(Selected(), L"one");
}

TEST_F(EditKeys, TypedWordsAreOneUndoStepEach)
{
    Type(L"abc def");
    EXPECT_EQ(Text(), L"abc def");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"abc ");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"abc");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"");
    Press('Y', Ctrl);
    EXPECT_EQ(Text(), L"abc");
    Press('Z', Ctrl | Shift);
    EXPECT_EQ(Text(), L"abc ");
    Press(VK_BACK, Alt);
    EXPECT_EQ(Text(), L"abc");
    EXPECT_EQ(Caret(), SECEditLineCol(0, 3));
}

TEST_F(EditKeys, OverwriteReplacesCharactersOneByOne)
{
    SetText(L"abcdef");
    C().SetCaretPosition(0, 1, FALSE);
    Press(VK_INSERT);
    EXPECT_TRUE(m_edit.IsOverwrite());
    Type(L"XY");
    EXPECT_EQ(Text(), L"aXYdef");
    C().SetCaretPosition(0, 6, FALSE);
    Type(L"Z");
    EXPECT_EQ(Text(), L"aXYdefZ");
    Press('Z', Ctrl);
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"aXcdef");
}

TEST_F(EditKeys, EnterIndentsTheNewLineVirtuallyUntilTyping)
{
    m_language->SetAutoIndent(TRUE);
    SetText(L"    If x");
    C().SetCaretPosition(0, 8, FALSE);
    Press(VK_RETURN);
    EXPECT_EQ(Text(), L"    If x\r\n");
    EXPECT_EQ(Caret(), SECEditLineCol(1, 4));
    Type(L"y");
    EXPECT_EQ(Text(), L"    If x\r\n\ty") << "the indentation in tabs, as the language says";
    // Enter inside a line carries the rest over, indented.
    C().SetCaretPosition(0, 6, FALSE);
    Press(VK_RETURN);
    EXPECT_EQ(Text(), L"    If\r\n\t x\r\n\ty");
}

TEST_F(EditKeys, TabIndentsTheLinesASelectionCoversAndShiftTabTakesItBack)
{
    SetText(L"a\r\nb\r\nc\r\nd\r\ne");
    // From column 0 of line 1 to column 0 of line 4: lines 1 to 3.
    C().SetSelection(1, 0, 4, 0);
    Press(VK_TAB);
    EXPECT_EQ(Text(), L"a\r\n\tb\r\n\tc\r\n\td\r\ne");
    Press(VK_TAB, Shift);
    EXPECT_EQ(Text(), L"a\r\nb\r\nc\r\nd\r\ne");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"a\r\n\tb\r\n\tc\r\n\td\r\ne") << "one undo step per indent";

    SetText(L"  x\r\n\ty");
    C().SetSelection(0, 0, 1, 2);
    Press(VK_TAB, Shift);
    EXPECT_EQ(Text(), L"x\r\ny");

    // Without a selection Tab inserts at the caret and Shift+Tab only moves back a stop.
    SetText(L"ab");
    C().SetCaretPosition(0, 1, FALSE);
    Press(VK_TAB);
    EXPECT_EQ(Text(), L"a\tb");
    Press(VK_TAB, Shift);
    EXPECT_EQ(Caret(), SECEditLineCol(0, 0));
    EXPECT_EQ(Text(), L"a\tb");
}

TEST_F(EditKeys, DeletionsByCharacterWordAndLine)
{
    SetText(L"one two three\r\nnext");
    C().SetCaretPosition(0, 4, FALSE);
    Press(VK_DELETE, Ctrl);
    EXPECT_EQ(Text(), L"one three\r\nnext");
    Press(VK_BACK, Ctrl);
    EXPECT_EQ(Text(), L"three\r\nnext");
    C().SetCaretPosition(0, 5, FALSE);
    Press(VK_DELETE);
    EXPECT_EQ(Text(), L"threenext") << "Delete at a line end joins the lines";
    Press(VK_BACK);
    EXPECT_EQ(Text(), L"threnext");
    C().SetCaretPosition(0, 0, FALSE);
    Press(VK_BACK);
    EXPECT_EQ(Text(), L"threnext");

    SetText(L"keep\r\ncut me\r\nlast");
    C().SetCaretPosition(1, 2, FALSE);
    Press('L', Ctrl);
    EXPECT_EQ(Text(), L"keep\r\nlast");
    EXPECT_EQ(ClipboardText(), L"cut me\r\n");
    Press('L', Ctrl | Shift);
    EXPECT_EQ(Text(), L"keep\r\n");
    EXPECT_EQ(ClipboardText(), L"cut me\r\n") << "delete line leaves the clipboard";
}

TEST_F(EditKeys, CaseCommandsConvertTheSelectionAndKeepIt)
{
    SetText(L"Mixed Case");
    C().SetSelection(0, 0, 0, 5);
    Press('U', Ctrl | Shift);
    EXPECT_EQ(Text(), L"MIXED Case");
    EXPECT_EQ(Selected(), L"MIXED");
    Press('U', Ctrl);
    EXPECT_EQ(Text(), L"mixed Case");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"MIXED Case");
}

TEST_F(EditKeys, CopyCutAndPaste)
{
    SetText(L"first\r\nsecond");
    C().SetCaretPosition(0, 2, FALSE);
    Press('C', Ctrl);
    EXPECT_EQ(ClipboardText(), L"first\r\n") << "without a selection the caret line with its break";
    C().SetSelection(1, 0, 1, 3);
    Press('X', Ctrl);
    EXPECT_EQ(Text(), L"first\r\nond");
    EXPECT_EQ(ClipboardText(), L"sec");
    C().SetCaretPosition(0, 5, FALSE);
    Press('V', Ctrl);
    EXPECT_EQ(Text(), L"firstsec\r\nond");
    Press(VK_INSERT, Shift);
    EXPECT_EQ(Text(), L"firstsecsec\r\nond");
    EXPECT_EQ(Caret(), SECEditLineCol(0, 11));
}

TEST_F(EditKeys, AColumnBlockIsCopiedAndPastedAsABlock)
{
    SetText(L"abcd\r\nefgh\r\nijkl");
    C().SetSelection(0, 1, 1, 3, SECEditController::SelectColumn);
    Press('C', Ctrl);
    EXPECT_EQ(ClipboardText(), L"bc\r\nfg\r\n");
    Press(VK_ESCAPE);
    C().SetCaretPosition(1, 4, FALSE);
    Press('V', Ctrl);
    EXPECT_EQ(Text(), L"abcd\r\nefghbc\r\nijklfg");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"abcd\r\nefgh\r\nijkl") << "the block is one undo step";
    // On the last line the block makes the lines it needs.
    C().SetCaretPosition(2, 1, FALSE);
    Press('V', Ctrl);
    EXPECT_EQ(Text(), L"abcd\r\nefgh\r\nibcjkl\r\n fg");
}

// A command's state as the controller's update handler sets it.
struct CommandState : CCmdUI {
    explicit CommandState(UINT id) { m_nID = id; }
    void Enable(BOOL on = TRUE) override { enabled = on; }
    BOOL enabled = -1;
};

BOOL Enabled(SECEditController& controller, UINT id)
{
    CommandState state(id);
    EXPECT_TRUE(controller.UpdateCommandUI(&state));
    return state.enabled;
}

// Once another program holds the clipboard, the editor's own copy (a column block) is gone: a
// paste takes that program's text as plain text, and nothing once it went away; Paste is offered
// while it holds the clipboard, without waiting for its text.
TEST_F(EditKeys, APasteTakesOnlyWhatAnotherClipboardHolderGives)
{
    SetText(L"abcd\r\nefgh");
    C().SetSelection(0, 1, 1, 3, SECEditController::SelectColumn);
    Press('C', Ctrl);
    Press(VK_ESCAPE);
    headless->GiveSelectionToAnotherProgram(SelectionKind::Clipboard, "XY\r\n", std::nullopt);
    const std::uint32_t before = headless->Now();
    EXPECT_TRUE(Enabled(C(), ID_EDIT_PASTE));
    EXPECT_EQ(headless->Now(), before);

    headless->GiveSelectionToAnotherProgram(SelectionKind::Clipboard, "XY\r\n", 0);
    C().SetCaretPosition(1, 4, FALSE);
    Press('V', Ctrl);
    EXPECT_EQ(Text(), L"abcd\r\nefghXY\r\n");
    headless->LetSelectionGo(SelectionKind::Clipboard);
    EXPECT_FALSE(Enabled(C(), ID_EDIT_PASTE));
    Press('V', Ctrl);
    EXPECT_EQ(Text(), L"abcd\r\nefghXY\r\n");
}

TEST_F(EditKeys, CommandsAreEnabledByTheirState)
{
    EXPECT_FALSE(Enabled(C(), ID_EDIT_COPY)) << "one empty line";
    EXPECT_FALSE(Enabled(C(), ID_EDIT_UNDO));
    // Find and Replace answer the update themselves: the tool bar never has to ask for a handler.
    EXPECT_TRUE(Enabled(C(), ID_EDIT_FIND));
    EXPECT_TRUE(Enabled(C(), ID_EDIT_REPLACE));
    Type(L"x");
    EXPECT_TRUE(Enabled(C(), ID_EDIT_COPY));
    EXPECT_FALSE(Enabled(C(), ID_EDIT_CUT)) << "no selection";
    EXPECT_TRUE(Enabled(C(), ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(C(), ID_EDIT_REDO));
    Press(VK_HOME, Shift);
    EXPECT_TRUE(Enabled(C(), ID_EDIT_CUT));
    EXPECT_FALSE(Enabled(C(), ID_EDIT_NEXT_BOOKMARK));
    Press(VK_F2, Ctrl);
    EXPECT_TRUE(Enabled(C(), ID_EDIT_NEXT_BOOKMARK));
}

// Before a menu or tool bar shows a command without an update handler, it asks whether a handler
// exists; the question runs no command: the text, the caret, the selection and the bookmarks
// stay, and Select All is offered.
TEST_F(EditKeys, AskingForACommandsHandlerRunsNothing)
{
    SetText(L"abc\r\ndef\r\nghi");
    C().SetSelection(1, 1, 1, 2);
    const SECEditLineCol anchor = C().GetSelectionObject().GetAnchor(), end = C().GetSelectionObject().GetCaretEnd(), caret = Caret();
    // A dialog the question opened, of the editor's or of its page's.
    bool opened = false;
    C().m_openFindReplace = [&](SECEditController&, BOOL) { opened = true; };
    SetModalLoopHook([&](HWND modal) {
        opened = true;
        ::SendMessageW(modal, WM_COMMAND, IDCANCEL, 0);
    });
    std::vector<UINT> ids = { ID_EDIT_SELECT_ALL, ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_FIND, ID_EDIT_REPLACE };
    for (UINT id = ID_EDIT_SELECT_WORD; id <= ID_EDIT_SCROLL_UP; ++id)
        ids.push_back(id);
    for (UINT id = ID_EDIT_TOGGLE_FLAG_FIRST; id <= ID_EDIT_CLEAR_FLAG_LAST; ++id)
        ids.push_back(id);
    for (UINT id : ids) {
        SCOPED_TRACE(id);
        CommandState state(id);
        state.DoUpdate(m_view, TRUE);
        Pump();
        if (id == ID_EDIT_SELECT_ALL) {
            EXPECT_TRUE(state.enabled);
        }
        ASSERT_EQ(Text(), L"abc\r\ndef\r\nghi");
        ASSERT_EQ(C().GetSelectionObject().GetAnchor(), anchor);
        ASSERT_EQ(C().GetSelectionObject().GetCaretEnd(), end);
        ASSERT_EQ(Caret(), caret);
        ASSERT_EQ(m_edit.CountLinesWithFlag(SECEditController::BookmarkFlag), 0);
        ASSERT_FALSE(opened);
    }
}

TEST_F(EditKeys, StatusTextCountsDisplayColumnsFromOne)
{
    SetText(L"\tab");
    C().SetCaretPosition(0, 2, FALSE);
    EXPECT_EQ(C().GetPositionText(), L"Ln 1, Col 6");
}

TEST_F(EditKeys, ShowWhitespaceTogglesTheLanguageSetting)
{
    EXPECT_FALSE(m_language->GetShowWhitespace());
    Press('8', Ctrl | Shift);
    EXPECT_TRUE(m_language->GetShowWhitespace());
}

TEST_F(EditKeys, KeyTableHasF3TwiceAndBothRedoKeys)
{
    HACCEL table = ::LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(IDR_EDIT_ACCEL));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(::CopyAcceleratorTableW(table, nullptr, 0));
    ::CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
    EXPECT_EQ(entries.size(), 67u);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const ACCEL& a) { return a.key == VK_F3 && a.cmd == ID_EDIT_FIND_NEXT; }), 2);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const ACCEL& a) { return a.cmd == ID_EDIT_REDO; }), 3);
    ::DestroyAcceleratorTable(table);
}

} // namespace
