// The Find and Replace dialogs: opened from the keys, driven from the keyboard, their option
// rules, histories and buttons, modal and modeless, and their pictures.

#include "EditViewFixture.h"

#include "editor/EditResource.h"

using namespace edittest;

namespace {

class EditFindDialog : public EditViewTest {
protected:
    void SetUp() override
    {
        EditViewTest::SetUp();
        GetFindState() = {};
        C().m_bModalFindDialog = FALSE;
        m_preTranslate = true;
    }
    void TearDown() override
    {
        if (SECEditFindReplaceDlg* dialog = GetFindState().pDialog; dialog && ::IsWindow(dialog->m_hWnd))
            dialog->DestroyWindow();
        GetFindState() = {};
        EditViewTest::TearDown();
    }
    HWND Dialog() { return GetFindState().pDialog ? GetFindState().pDialog->m_hWnd : nullptr; }
    HWND Item(int id) { return ::GetDlgItem(Dialog(), id); }
    std::wstring ItemText(int id)
    {
        wchar_t text[256] {};
        ::GetWindowTextW(Item(id), text, 256);
        return text;
    }
    bool Checked(int id) { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) { return ::IsWindowEnabled(Item(id)) != FALSE; }
    // Replaces the text of the focused field as a user does: select all, then type.
    void TypeOver(const std::wstring& text)
    {
        Press('A', Ctrl);
        Press(VK_DELETE);
        Type(text);
    }
};

TEST_F(EditFindDialog, CtrlFOpensTheFindDialogThatEnterSearchesAndEscCloses)
{
    SetText(L"alpha beta\r\nbeta gamma");
    C().SetCaretPosition(0, 2, FALSE);
    Press('F', Ctrl);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(Dialog()));
    EXPECT_EQ(ItemText(IDC_EDIT_FIND_TEXT), L"alpha") << "the word at the caret";
    EXPECT_TRUE(::IsChild(Item(IDC_EDIT_FIND_TEXT), ::GetFocus()) || ::GetFocus() == Item(IDC_EDIT_FIND_TEXT));
    EXPECT_TRUE(Checked(IDC_EDIT_DIRECTION_SECOND)) << "down";

    Type(L"beta"); // over the selected word
    Press(VK_RETURN);
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(0, 6));
    EXPECT_EQ(Selected(), L"beta");
    Press(VK_RETURN);
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(1, 0)) << "the dialog stays for the next one";
    EXPECT_EQ(GetFindState().findHistory.front(), CString(L"beta"));

    Press(VK_ESCAPE);
    EXPECT_EQ(GetFindState().pDialog, nullptr);
    EXPECT_EQ(::GetFocus(), m_view->m_hWnd) << "back in the text";

    // F3 searches on with the dialog closed.
    Press(VK_F3);
    EXPECT_EQ(C().GetSelectionObject().GetFirst(), SECEditLineCol(0, 6));
}

TEST_F(EditFindDialog, ReplaceDialogReplacesFromTheKeyboard)
{
    SetText(L"a cat and a cat\r\ncat");
    C().SetCaretPosition(0, 0, FALSE);
    Press('H', Ctrl);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(Enabled(IDC_EDIT_DIRECTION_FIRST)) << "no selection: Selection is off";
    EXPECT_TRUE(Checked(IDC_EDIT_DIRECTION_SECOND));
    TypeOver(L"cat");
    Press(VK_TAB);
    Type(L"dog");
    Press('R', Alt);
    EXPECT_EQ(Text(), L"a cat and a cat\r\ncat") << "the first press selects the match";
    EXPECT_EQ(Selected(), L"cat");
    Press('R', Alt);
    EXPECT_EQ(Text(), L"a dog and a cat\r\ncat");
    Press('A', Alt);
    EXPECT_EQ(Text(), L"a dog and a dog\r\ndog");
    EXPECT_EQ(m_messages.texts.back(), L"The document has been searched and 2 replacements were made.");
    EXPECT_EQ(GetFindState().replaceHistory.front(), CString(L"dog"));
}

TEST_F(EditFindDialog, ReplaceInTheSelectionWhenOpenedOverOne)
{
    SetText(L"x x\r\nx x\r\nx x");
    C().SetSelection(0, 0, 1, 3);
    GetFindState().bSelectionOnly = TRUE;
    Press('H', Ctrl);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Enabled(IDC_EDIT_DIRECTION_FIRST));
    EXPECT_TRUE(Checked(IDC_EDIT_DIRECTION_FIRST));
    EXPECT_FALSE(Enabled(IDOK)) << "Find Next and Replace work on the whole file only";
    EXPECT_FALSE(Enabled(IDC_EDIT_REPLACE));
    TypeOver(L"x");
    Press(VK_TAB);
    Type(L"y");
    Press('A', Alt);
    EXPECT_EQ(Text(), L"y y\r\ny y\r\nx x");
}

TEST_F(EditFindDialog, RegularExpressionsForceDownAndClearWholeWord)
{
    SetText(L"abc");
    GetFindState().bSearchDown = FALSE;
    GetFindState().bWholeWord = TRUE;
    Press('F', Ctrl);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Checked(IDC_EDIT_DIRECTION_FIRST)) << "up";
    EXPECT_TRUE(Checked(IDC_EDIT_WHOLE_WORD));
    Press('E', Alt); // Regular expression
    EXPECT_TRUE(Checked(IDC_EDIT_REGEXP));
    EXPECT_TRUE(Checked(IDC_EDIT_DIRECTION_SECOND));
    EXPECT_FALSE(Enabled(IDC_EDIT_DIRECTION_FIRST));
    EXPECT_FALSE(Checked(IDC_EDIT_WHOLE_WORD));
    EXPECT_FALSE(Enabled(IDC_EDIT_WHOLE_WORD));
    Press('E', Alt);
    EXPECT_TRUE(Enabled(IDC_EDIT_DIRECTION_FIRST));
    EXPECT_TRUE(Enabled(IDC_EDIT_WHOLE_WORD));

    // An empty text disables every action.
    ::SetFocus(Item(IDC_EDIT_FIND_TEXT));
    TypeOver(L"");
    Pump();
    EXPECT_FALSE(Enabled(IDOK));
    EXPECT_FALSE(Enabled(IDC_EDIT_MARK_ALL));
    Type(L"b+");
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_TRUE(Enabled(IDC_EDIT_MARK_ALL));
}

TEST_F(EditFindDialog, TheHistoryKeepsSixteenDistinctTextsNewestFirst)
{
    SetText(L"text");
    Press('F', Ctrl);
    ASSERT_NE(Dialog(), nullptr);
    for (int i = 0; i < 17; ++i) {
        ::SetWindowTextW(Item(IDC_EDIT_FIND_TEXT), (L"word" + std::to_wstring(i)).c_str());
        ::SendMessageW(Dialog(), WM_COMMAND, IDOK, 0);
    }
    auto& history = GetFindState().findHistory;
    ASSERT_EQ(history.size(), 16u);
    EXPECT_EQ(history.front(), CString(L"word16"));
    EXPECT_EQ(history.back(), CString(L"word1")) << "the oldest fell out";
    ::SetWindowTextW(Item(IDC_EDIT_FIND_TEXT), L"word5");
    ::SendMessageW(Dialog(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(history.size(), 16u) << "no duplicate";
    EXPECT_EQ(history.front(), CString(L"word5"));
    EXPECT_EQ(::SendMessageW(Item(IDC_EDIT_FIND_TEXT), CB_GETCOUNT, 0, 0), 16) << "the list shows the history";
}

TEST_F(EditFindDialog, AModalFindDialogClosesOnAFoundMatch)
{
    SetText(L"one two three");
    C().m_bModalFindDialog = TRUE;
    bool typed = false;
    SetModalLoopHook([&](HWND) {
        if (typed || !Dialog())
            return;
        typed = true;
        ::SetWindowTextW(Item(IDC_EDIT_FIND_TEXT), L"three");
        headless->InjectKey(VK_RETURN, true);
        headless->InjectKey(VK_RETURN, false);
    });
    Command(ID_EDIT_FIND);
    EXPECT_TRUE(typed);
    EXPECT_EQ(GetFindState().pDialog, nullptr) << "closed and deleted";
    EXPECT_EQ(Selected(), L"three");
}

TEST_F(EditFindDialog, AnOpenDialogGoesWithItsOwnerWindow)
{
    SetText(L"text");
    Press('F', Ctrl);
    ASSERT_NE(Dialog(), nullptr);
    m_frame.DestroyWindow();
    EXPECT_EQ(GetFindState().pDialog, nullptr);
    EXPECT_EQ(GetFindState().pLastView, nullptr);
}

TEST_F(EditFindDialog, TheDialogsLookAsDrawn)
{
    SetText(L"value");
    Press('F', Ctrl);
    ASSERT_NE(Dialog(), nullptr);
    Pump();
    RECT window;
    ::GetWindowRect(Dialog(), &window);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(Dialog(), CRect(0, 0, window.right - window.left, window.bottom - window.top), "editor_find_dialog.png"));
    Press(VK_ESCAPE);
    Pump();
    ::SetFocus(m_view->m_hWnd);
    Press('H', Ctrl);
    ASSERT_NE(Dialog(), nullptr);
    Pump();
    ::GetWindowRect(Dialog(), &window);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(Dialog(), CRect(0, 0, window.right - window.left, window.bottom - window.top), "editor_replace_dialog.png"));
}

} // namespace
