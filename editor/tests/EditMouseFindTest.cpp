// The editor's mouse (clicks, drags with auto-scroll, double and triple clicks, the gutter, the
// wheel, the X selection) and its search (find, replace, mark all, the F3 keys, bookmarks).

#include "EditViewFixture.h"

#include "editor/EditReplaceAll.h"

using namespace edittest;

namespace {

using EditMouse = EditViewTest;
using EditFind = EditViewTest;

TEST_F(EditMouse, ClickPlacesTheCaretAndDragSelects)
{
    SetText(L"hello world\r\nsecond line");
    headless->Advance(2000);
    Click(At(0, 3));
    EXPECT_EQ(Caret(), SECEditLineCol(0, 3));
    headless->Advance(2000);
    const POINT from = At(0, 6), to = At(1, 6);
    headless->InjectMouseMove(from);
    headless->InjectButton(1, true, from);
    headless->InjectMouseMove(to);
    headless->InjectMouseMove(to);
    headless->InjectButton(1, false, to);
    Pump();
    EXPECT_EQ(Selected(), L"world\r\nsecond");
    EXPECT_EQ(::GetPrimarySelectionText(), L"world\r\nsecond") << "the selection is offered as PRIMARY";
}

TEST_F(EditMouse, AnAltDragSelectsAColumnBlock)
{
    SetText(L"abcdef\r\ngh\r\nmnopqr");
    headless->Advance(2000);
    const POINT from = At(0, 1), to = At(2, 4);
    headless->InjectKey(VK_MENU, true);
    headless->InjectMouseMove(from);
    headless->InjectButton(1, true, from);
    headless->InjectMouseMove(to);
    headless->InjectMouseMove(to);
    headless->InjectButton(1, false, to);
    headless->InjectKey(VK_MENU, false);
    Pump();
    EXPECT_TRUE(C().IsColumnSelection());
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(0, 1));
    EXPECT_EQ(C().GetSelectionObject().GetLast(), SECEditLineCol(2, 4));
    EXPECT_EQ(::GetFocus(), m_view->m_hWnd) << "releasing Alt after the drag opens no menu";
    Press('C', Ctrl);
    EXPECT_EQ(ClipboardText(), L"bcd\r\nh\r\nnop\r\n") << "a short line gives what it has";
}

TEST_F(EditMouse, GutterClickSelectsTheLineWithItsBreak)
{
    SetText(L"one\r\ntwo\r\nthree");
    headless->Advance(2000);
    Click(ScreenPoint(m_view->m_hWnd, 5, m_view->GetLineHeight() + 2));
    EXPECT_EQ(Selected(), L"two\r\n");
    headless->Advance(2000);
    Click(ScreenPoint(m_view->m_hWnd, 5, 2 * m_view->GetLineHeight() + 2));
    EXPECT_EQ(Selected(), L"three") << "the last line to its end";
}

TEST_F(EditMouse, DoubleClickSelectsAWordAndATripleClickTheLine)
{
    SetText(L"alpha beta gamma\r\nnext");
    headless->Advance(2000);
    const POINT word = At(0, 7);
    Click(word);
    Click(word);
    EXPECT_EQ(Selected(), L"beta");
    Click(word);
    EXPECT_EQ(Selected(), L"alpha beta gamma\r\n");
}

TEST_F(EditMouse, HoldingThePointerBelowTheTextScrollsOnTheClock)
{
    SetText(Lines(200).c_str());
    Press(VK_HOME, Ctrl);
    headless->Advance(2000);
    const POINT start = At(0, 2);
    headless->InjectMouseMove(start);
    headless->InjectButton(1, true, start);
    const POINT below = ScreenPoint(m_view->m_hWnd, 60, m_height + 20);
    headless->InjectMouseMove(below);
    headless->InjectMouseMove(below);
    Pump();
    const int top = m_view->GetViewport().GetTopLine();
    for (int tick = 0; tick < 5; ++tick) {
        headless->Advance(100);
        Pump();
    }
    EXPECT_GT(m_view->GetViewport().GetTopLine(), top);
    headless->InjectButton(1, false, below);
    Pump();
    EXPECT_GT(Caret().m_nLine, m_view->GetViewport().GetVisibleLineCount());
    EXPECT_TRUE(C().HasSelection());
}

TEST_F(EditMouse, WheelScrollsThreeLinesANotchButNotPastTheEnd)
{
    SetText(Lines(40).c_str());
    Press(VK_HOME, Ctrl);
    const POINT inside = At(0, 1);
    headless->InjectWheel(-120, inside);
    Pump();
    EXPECT_EQ(m_view->GetViewport().GetTopLine(), 3);
    const int page = m_view->GetViewport().GetVisibleLineCount();
    // Leave one line below the visible ones: one notch scrolls by that one line.
    const int last = 41 - page - 1;
    m_view->OnVScroll(SB_THUMBPOSITION, last, nullptr);
    headless->InjectWheel(-120, inside);
    Pump();
    EXPECT_EQ(m_view->GetViewport().GetTopLine(), last + 1);
    headless->InjectWheel(-120, inside);
    Pump();
    EXPECT_EQ(m_view->GetViewport().GetTopLine(), last + 1);
    headless->InjectWheel(120, inside);
    Pump();
    EXPECT_EQ(m_view->GetViewport().GetTopLine(), last - 2);
}

TEST_F(EditMouse, MiddleClickPastesThePrimarySelection)
{
    SetText(L"ab cd");
    ::SetPrimarySelectionText(L"XY");
    headless->Advance(2000);
    Click(At(0, 2), 2);
    EXPECT_EQ(Text(), L"abXY cd");
}

TEST_F(EditMouse, DraggingTheSelectionMovesTheText)
{
    SetText(L"move this here");
    C().SetSelection(0, 0, 0, 5);
    headless->Advance(2000);
    const POINT from = At(0, 2), to = At(0, 14);
    headless->InjectMouseMove(from);
    headless->InjectButton(1, true, from);
    headless->InjectMouseMove(to);
    headless->InjectButton(1, false, to);
    Pump();
    EXPECT_EQ(Text(), L"this heremove ");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"move this here") << "one undo step";
}

TEST_F(EditMouse, ContextMenuOffersTheEditCommands)
{
    SetText(L"some text");
    C().SetSelection(0, 0, 0, 4);
    bool chosen = false;
    SetModalLoopHook([&](HWND) {
        if (std::exchange(chosen, true)) {
            ::EndMenu();
            return;
        }
        // Undo, Redo, Cut, Copy: the separator is skipped.
        for (unsigned key : { VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN }) {
            headless->InjectKey(key, true);
            headless->InjectKey(key, false);
        }
    });
    POINT screen = At(0, 1);
    m_view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_view->m_hWnd), MAKELPARAM(screen.x, screen.y));
    Pump();
    SetModalLoopHook({});
    EXPECT_EQ(ClipboardText(), L"some");
}

TEST_F(EditFind, F3FindsTheWordAtTheCaretAndWrapsWithAMessage)
{
    SetText(L"foo bar\r\nbar foo\r\nbaz");
    GetFindState() = {};
    C().SetCaretPosition(0, 1, FALSE);
    Press(VK_F3, Ctrl);
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(1, 4));
    Press(VK_F3);
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(0, 0));
    Press(VK_F3);
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(1, 4));
    Press(VK_F3, Shift);
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(0, 0));
    EXPECT_TRUE(m_messages.texts.empty());

    GetFindState().strFind = L"nothing";
    Press(VK_F3);
    ASSERT_EQ(m_messages.texts.size(), 1u);
    EXPECT_EQ(m_messages.texts[0], L"Cannot find the string 'nothing'.");
}

TEST_F(EditFind, ASearchThatComesRoundToItsMatchSaysItIsFinished)
{
    SetText(L"one target here");
    auto& state = GetFindState();
    state = {};
    state.strFind = L"target";
    EXPECT_TRUE(C().FindNext(state));
    EXPECT_FALSE(C().FindNext(state));
    ASSERT_EQ(m_messages.texts.size(), 1u);
    EXPECT_EQ(m_messages.texts[0], L"Finished searching for 'target'.");
}

TEST_F(EditFind, WholeWordAndCaseRestrictMatches)
{
    SetText(L"Cat category cat");
    auto& state = GetFindState();
    state = {};
    state.strFind = L"cat";
    state.bWholeWord = TRUE;
    state.bMatchCase = TRUE;
    C().SetCaretPosition(0, 0, FALSE);
    EXPECT_TRUE(C().FindNext(state));
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(0, 13));
}

TEST_F(EditFind, ReplaceSelectsFirstThenReplaces)
{
    SetText(L"a cat and a cat");
    auto& state = GetFindState();
    state = {};
    state.strFind = L"cat";
    state.strReplace = L"dog";
    C().Replace(state);
    EXPECT_EQ(Text(), L"a cat and a cat") << "the first press selects the match";
    EXPECT_EQ(Selected(), L"cat");
    C().Replace(state);
    EXPECT_EQ(Text(), L"a dog and a cat");
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(0, 12));
}

TEST_F(EditFind, ReplaceAllCountsAndIsOneUndoStep)
{
    SetText(L"x = 1\r\nx = x + 1\r\ny = x");
    auto& state = GetFindState();
    state = {};
    state.strFind = L"x";
    state.strReplace = L"value";
    C().SetCaretPosition(1, 2, FALSE);
    EXPECT_EQ(C().ReplaceAll(state), 4);
    EXPECT_EQ(Text(), L"value = 1\r\nvalue = value + 1\r\ny = value");
    ASSERT_FALSE(m_messages.texts.empty());
    EXPECT_EQ(m_messages.texts.back(), L"The document has been searched and 4 replacements were made.");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"x = 1\r\nx = x + 1\r\ny = x");

    state.strFind = L"missing";
    EXPECT_EQ(C().ReplaceAll(state), 0);
    EXPECT_EQ(m_messages.texts.back(), L"Finished searching for 'missing'.");
}

TEST_F(EditFind, ReplaceAllInASelectionStopsAtAMatchRunningPastIt)
{
    SetText(L"ab ab ab");
    auto& state = GetFindState();
    state = {};
    state.strFind = L"ab";
    state.strReplace = L"X";
    state.bSelectionOnly = TRUE;
    C().SetSelection(0, 0, 0, 7);
    EXPECT_EQ(C().ReplaceAll(state), 2);
    EXPECT_EQ(Text(), L"X X ab");
    EXPECT_EQ(m_messages.texts.back(), L"The selection has been searched and 2 replacements were made.");
}

TEST_F(EditFind, ReplaceAllKeepsBookmarksThroughUndoAndRedoAndReplacesAMatchAroundTheCaret)
{
    SetText(L"let x = 1\r\nx = x + 1\r\nkeep\r\ny = x");
    m_edit.SetLineFlag(1, SECEditController::BookmarkFlag, TRUE);
    m_edit.SetLineFlag(2, SECEditController::RoundMarkerFlag, TRUE);
    auto& state = GetFindState();
    state = {};
    state.strFind = L"x = ";
    state.strReplace = L"total = ";
    C().SetCaretPosition(1, 1, FALSE); // inside the match "x = " of line 1
    EXPECT_EQ(C().ReplaceAll(state), 2);
    EXPECT_EQ(Text(), L"let total = 1\r\ntotal = x + 1\r\nkeep\r\ny = x");
    auto flagsKept = [&] {
        return m_edit.GetLineFlag(1, SECEditController::BookmarkFlag) && m_edit.GetLineFlag(2, SECEditController::RoundMarkerFlag) &&
               !m_edit.GetLineFlag(0, SECEditController::BookmarkFlag);
    };
    EXPECT_TRUE(flagsKept());
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"let x = 1\r\nx = x + 1\r\nkeep\r\ny = x") << "one undo step";
    EXPECT_TRUE(flagsKept());
    Press('Y', Ctrl);
    EXPECT_EQ(Text(), L"let total = 1\r\ntotal = x + 1\r\nkeep\r\ny = x");
    EXPECT_TRUE(flagsKept());
}

TEST_F(EditFind, ReplaceAllStopsAtTheFirstLineThatWouldGrowTooLong)
{
    const std::wstring longLine = L"ab" + std::wstring(SECEdit::DefaultMaxLineLength - 4, L'.');
    SetText((L"ab\r\n" + longLine + L"\r\nab").c_str());
    auto& state = GetFindState();
    state = {};
    state.strFind = L"ab";
    state.strReplace = L"abcdef";
    EXPECT_EQ(C().ReplaceAll(state), 1);
    EXPECT_EQ(Text(), L"abcdef\r\n" + longLine + L"\r\nab") << "the replacements before the long line stay; none after it";
    ASSERT_GE(m_messages.texts.size(), 2u);
    EXPECT_NE(m_messages.texts[m_messages.texts.size() - 2].find(L"Line would exceed"), std::wstring::npos);
    EXPECT_EQ(m_messages.texts.back(), L"The document has been searched and 1 replacements were made.");
}

TEST_F(EditFind, ReplaceAllOfABigTextGoesInBlocksAsOneUndoStep)
{
    // Enough text for several blocks; every replacement adds a line, so each block starts
    // further down than it did before the blocks ahead of it were replaced.
    std::wstring text, expected;
    for (int i = 0; i < 60000; ++i) {
        text += L"x = x + " + std::to_wstring(i) + L"\r\n";
        expected += L"x =\r\nx + " + std::to_wstring(i) + L"\r\n";
    }
    SetText(text.c_str());
    auto& state = GetFindState();
    state = {};
    state.strFind = L"= x";
    state.strReplace = L"=\r\nx";
    EXPECT_EQ(C().ReplaceAll(state), 60000);
    EXPECT_EQ(Text(), expected);
    EXPECT_EQ(C().GetCaretPos(), SECEditLineCol(119999, 1)) << "after the last replacement";
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), text) << "one undo step";
    Press('Y', Ctrl);
    EXPECT_EQ(Text(), expected);
}

// Esc pressed while a replace-all of a big text runs ends it between two pieces of its work: the
// text stays whole and nothing is said; a close asked meanwhile ends it too and is handled after.
TEST_F(EditFind, ReplaceAllOfABigTextEndsAtEscOrAClose)
{
    std::wstring text;
    for (int i = 0; i < 60000; ++i)
        text += L"x = x + " + std::to_wstring(i) + L"\r\n";
    for (const bool escape : { true, false }) {
        SetText(text.c_str());
        auto& state = GetFindState();
        state = {};
        state.strFind = L"= x";
        state.strReplace = L"= y";
        const size_t said = m_messages.texts.size();
        if (escape) {
            headless->InjectKey(VK_ESCAPE, true);
            headless->InjectKey(VK_ESCAPE, false);
        } else {
            ::PostMessageW(m_frame.m_hWnd, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(C().ReplaceAll(state), 0) << escape;
        EXPECT_EQ(Text(), text) << "the first piece was still being built";
        EXPECT_EQ(m_messages.texts.size(), said);
        MSG later {};
        EXPECT_EQ(::PeekMessageW(&later, m_frame.m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE, !escape) << "the close waits for the run's end";
    }
}

// The width of the line each replacement makes, tabs expanded, decides where a replace-all stops,
// however far into the line the tabs lie.
TEST(EditReplaceAll, StopsWhereALineWithTabsWouldGrowTooWide)
{
    struct Case {
        const wchar_t* piece;
        const wchar_t* replacement;
        long long maximum;
        int replaced;
    };
    const Case cases[] = {
        { L"ab ab ab", L"abc", 10, 2 },          // 9, 10, then 11 columns
        { L"ab\tab\tx", L"abcd", 13, 1 },        // the tab after the first match takes it to 13
        { L"ab\tab\tx", L"abcd", 12, 0 },
        { L"a\tab\tab", L"abcde", 14, 1 },       // a, tab to 4, abcde to 9, tab to 12, abcde: 17
        { L"ab\r\nab\tx", L"abcd", 8, 1 },       // a line of its own for the second
        { L"ab\r\nab\tx", L"abcd", 9, 2 },
        { L"ab", L"abcdefghijk\r\nx", 9, 0 },   // a line the replacement ends is measured too
    };
    for (const Case& c : cases) {
        const std::wstring piece = c.piece;
        std::vector<EditMatch> matches;
        for (size_t at = piece.find(L"ab"); at != std::wstring::npos; at = piece.find(L"ab", at + 2))
            matches.push_back({ static_cast<int>(at), 2 });
        const EditReplaceAllText result = BuildReplaceAllText(piece, matches, [&](std::wstring_view) { return CString(c.replacement); }, { 4, c.maximum });
        EXPECT_EQ(result.replaced, c.replaced) << CString(c.piece).ToUtf8() << " up to " << c.maximum;
        EXPECT_EQ(result.lineTooLong, c.replaced < static_cast<int>(matches.size())) << CString(c.piece).ToUtf8();
    }
}

TEST(EditReplaceAll, BlocksHoldWholeLinesAndEveryMatchOfALine)
{
    SECEditBlockBuffer buffer;
    SECEditLineColPair range;
    ASSERT_TRUE(buffer.InsertText(range, L"ab ab\nab\nxx\nab ab ab\n", -1));
    EditFindRequest request;
    request.pattern = L"ab";
    const std::vector<EditMatch> matches = buffer.FindAll(0, buffer.GetTextLength(), request);
    ASSERT_EQ(matches.size(), 6u);
    auto blocks = [&](int blockChars) {
        std::vector<std::vector<int>> fields;
        for (const EditReplaceAllBlock& b : SplitReplaceAllBlocks(buffer, matches, blockChars))
            fields.push_back({ static_cast<int>(b.first), static_cast<int>(b.last), b.firstLine, b.lastLine, b.start });
        return fields;
    };
    EXPECT_EQ(blocks(4), (std::vector<std::vector<int>>{ { 0, 2, 0, 0, 0 }, { 2, 3, 1, 1, 6 }, { 3, 6, 3, 3, 12 } }))
        << "a line's matches stay together however long the line";
    EXPECT_EQ(blocks(8), (std::vector<std::vector<int>>{ { 0, 3, 0, 1, 0 }, { 3, 6, 3, 3, 12 } }));
    EXPECT_EQ(blocks(100), (std::vector<std::vector<int>>{ { 0, 6, 0, 3, 0 } }));
}

TEST_F(EditFind, RegularExpressionsFindAndReplace)
{
    SECEditRegExp regExp;
    ASSERT_TRUE(regExp.Initialize());
    regExp.SetPattern(L"b+");
    int position = -1, length = -1;
    CString match;
    ASSERT_TRUE(regExp.Find(L"abbbc", position, length, match));
    EXPECT_EQ(position, 1);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(std::wstring(match.GetString()), L"bbb");
    regExp.SetPattern(L"b");
    CString text = L"abb";
    EXPECT_TRUE(regExp.Replace(text, L"x", FALSE));
    EXPECT_EQ(std::wstring(text.GetString()), L"axb");
    text = L"abb";
    EXPECT_TRUE(regExp.Replace(text, L"x", TRUE));
    EXPECT_EQ(std::wstring(text.GetString()), L"axx");
    regExp.SetPattern(L"");
    EXPECT_FALSE(regExp.Find(L"abc", position, length));

    SECEditRegExpSearch::Install();
    SetText(L"id1 = 10\r\nid22 = 20");
    auto& state = GetFindState();
    state = {};
    state.strFind = L"id(\\d+)";
    state.strReplace = L"n$1";
    state.bRegExp = TRUE;
    EXPECT_EQ(C().ReplaceAll(state), 2);
    EXPECT_EQ(Text(), L"n1 = 10\r\nn22 = 20");

    // An empty match inserts the replacement and replaces no character.
    state.strFind = L"^";
    state.strReplace = L"' ";
    EXPECT_EQ(C().ReplaceAll(state), 2);
    EXPECT_EQ(Text(), L"' n1 = 10\r\n' n22 = 20");
}

TEST_F(EditFind, MarkAllBookmarksTheLinesAndF2CyclesThem)
{
    SetText(L"a\r\nb\r\nc\r\nneedle\r\nd");
    auto& state = GetFindState();
    state = {};
    state.strFind = L"needle";
    EXPECT_EQ(C().MarkAll(state), 1);
    EXPECT_TRUE(m_edit.GetLineFlag(3, SECEditController::BookmarkFlag));
    EXPECT_EQ(Caret(), SECEditLineCol(3, 0));
    C().SetCaretPosition(0, 0, FALSE);
    Press(VK_F2);
    EXPECT_EQ(Caret(), SECEditLineCol(3, 0));
    C().SetCaretPosition(1, 0, FALSE);
    Press(VK_F2, Ctrl);
    Press(VK_F2, Shift);
    EXPECT_EQ(Caret(), SECEditLineCol(3, 0)) << "previous bookmark wraps round";
    Press(VK_F2, Shift);
    EXPECT_EQ(Caret(), SECEditLineCol(1, 0));
    Press(VK_F2, Ctrl | Shift);
    EXPECT_EQ(m_edit.CountLinesWithFlag(SECEditController::BookmarkFlag), 0);
    Press(VK_F9);
    EXPECT_TRUE(m_edit.GetLineFlag(1, SECEditController::RoundMarkerFlag));
}

} // namespace
