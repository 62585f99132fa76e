#include "editor/Edit.h"
#include "editor/EditFontSizeDlg.h"
#include "editor/EditResource.h"

#include "EditTestSupport.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/PixelChecks.h"
#include "platform/user/tests/UserTestSupport.h"

#include <gtest/gtest.h>

using namespace edittest;
using divuzura::foundation::WM_SEC_COLORSELECTED;

namespace {

constexpr COLORREF Navy = RGB(0, 0, 128), Yellow = RGB(255, 255, 0);

class FontSizeDlg : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        m_language->SetFaceName(L"Courier New");
        m_language->SetSize(10);
        m_keyword = m_language->FindColorGroup(L"Keyword");
        m_text = m_language->GetBuiltinColorGroupIndex(BuiltinText);
        m_selection = m_language->GetBuiltinColorGroupIndex(BuiltinTextSelection);
    }
    void TearDown() override
    {
        if (m_dialog.m_hWnd)
            m_dialog.DestroyWindow();
        UserTest::TearDown();
        AfxDeleteTempObjects();
    }
    void Open()
    {
        LOGFONTW font {};
        font.lfCharSet = SHIFTJIS_CHARSET;
        m_dialog.SetConfig(m_language.get(), &font);
        ASSERT_TRUE(m_dialog.Create(IDD_EDIT_FONT_COLOR, nullptr));
        m_dialog.ShowWindow(SW_SHOW);
        Pump();
    }
    HWND Item(int id) { return ::GetDlgItem(m_dialog.m_hWnd, id); }
    // Selects the list entry of a group as a click does.
    void SelectGroup(const wchar_t* name)
    {
        const LRESULT item = ::SendMessageW(Item(IDC_EDIT_COLOR_GROUPS), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
        ::SendMessageW(Item(IDC_EDIT_COLOR_GROUPS), LB_SETCURSEL, static_cast<WPARAM>(item), 0);
        m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EDIT_COLOR_GROUPS, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(IDC_EDIT_COLOR_GROUPS)));
        Pump();
    }
    void Click(int id)
    {
        ::SendMessageW(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    void ChooseColour(int well, COLORREF colour)
    {
        m_dialog.SendMessage(WM_SEC_COLORSELECTED, static_cast<WPARAM>(well), static_cast<LPARAM>(colour));
        Pump();
    }
    const SECEditColorGroup& Group(int index) { return *m_dialog.GetGroup(index); }
    bool Checked(int id) { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::wstring ItemText(int id)
    {
        wchar_t text[64] {};
        ::GetWindowTextW(Item(id), text, 64);
        return text;
    }

    CWinApp m_app { L"FontSizeDlgTest" };
    std::unique_ptr<SECEditLangConfig> m_language = MakeTestLanguage();
    SECEditFontSizeDlg m_dialog;
    int m_keyword = -1, m_text = -1, m_selection = -1;
};

TEST_F(FontSizeDlg, OpensOnTheFirstGroupWithTheFontTexts)
{
    Open();
    EXPECT_EQ(::SendMessageW(Item(IDC_EDIT_COLOR_GROUPS), LB_GETCOUNT, 0, 0), 6) << "Number and Operator are not configurable";
    EXPECT_EQ(::SendMessageW(Item(IDC_EDIT_COLOR_GROUPS), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ItemText(IDC_EDIT_FACE_NAME), L"Courier New");
    EXPECT_EQ(ItemText(IDC_EDIT_POINT_SIZE), L"10 pt");
    EXPECT_EQ(m_dialog.GetLogFont().lfHeight, -13);
    EXPECT_EQ(m_dialog.GetLogFont().lfCharSet, SHIFTJIS_CHARSET) << "the character set comes from the editor's font";
    EXPECT_TRUE(Checked(IDC_EDIT_FORE_AUTOMATIC));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_EDIT_FORECOLOR))) << "an automatic colour's well is disabled";
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_EDIT_FORE_AUTOMATIC)));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(m_dialog.m_hWnd, "font_color_dialog.png"));
}

TEST_F(FontSizeDlg, TheTextGroupsColoursFlowIntoEveryAutomaticGroup)
{
    Open();
    SelectGroup(L"Text");
    Click(IDC_EDIT_FORE_AUTOMATIC);
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_EDIT_FORECOLOR)));
    ChooseColour(IDC_EDIT_FORECOLOR, Navy);
    EXPECT_EQ(Group(m_text).m_foreground, Navy);
    EXPECT_FALSE(Group(m_text).m_bForeAutomatic);
    EXPECT_EQ(Group(m_text).m_background, ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(Group(m_keyword).m_foreground, Navy);
    EXPECT_EQ(Group(m_keyword).m_background, ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(Group(m_selection).m_foreground, ::GetSysColor(COLOR_WINDOW)) << "the selection crosses the text's colours";
    EXPECT_EQ(Group(m_selection).m_background, Navy);

    // A group with a colour of its own keeps it; its automatic side still follows the text.
    SelectGroup(L"Keyword");
    Click(IDC_EDIT_BACK_AUTOMATIC);
    ChooseColour(IDC_EDIT_BACKCOLOR, Yellow);
    SelectGroup(L"Text");
    ChooseColour(IDC_EDIT_FORECOLOR, RGB(128, 0, 0));
    EXPECT_EQ(Group(m_keyword).m_foreground, RGB(128, 0, 0));
    EXPECT_EQ(Group(m_keyword).m_background, Yellow);
    EXPECT_EQ(m_language->GetColorGroup(m_keyword)->m_background, RGB(255, 255, 255)) << "nothing is written before Apply";

    m_dialog.Apply(m_language.get());
    EXPECT_EQ(m_language->GetColorGroup(m_keyword)->m_background, Yellow);
    EXPECT_FALSE(m_language->GetColorGroup(m_keyword)->m_bBackAutomatic);
    EXPECT_EQ(m_language->GetColorGroup(m_text)->m_foreground, RGB(128, 0, 0));
}

TEST_F(FontSizeDlg, WithoutASelectionNothingCanBeChangedAndTheSampleIsBlackOnWhite)
{
    Open();
    SelectGroup(L"Keyword");
    Click(IDC_EDIT_BACK_AUTOMATIC);
    ChooseColour(IDC_EDIT_BACKCOLOR, Navy);
    ::SendMessageW(Item(IDC_EDIT_COLOR_GROUPS), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EDIT_COLOR_GROUPS, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(IDC_EDIT_COLOR_GROUPS)));
    Pump();
    for (int id : { IDC_EDIT_FORECOLOR, IDC_EDIT_BACKCOLOR, IDC_EDIT_FORE_AUTOMATIC, IDC_EDIT_BACK_AUTOMATIC })
        EXPECT_FALSE(::IsWindowEnabled(Item(id))) << id;
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(m_dialog.m_hWnd, "font_color_dialog_no_group.png"));
}

TEST_F(FontSizeDlg, ResetAllDiscardsEveryChange)
{
    Open();
    SelectGroup(L"Comment");
    Click(IDC_EDIT_FORE_AUTOMATIC);
    ChooseColour(IDC_EDIT_FORECOLOR, Navy);
    ASSERT_EQ(Group(m_language->FindColorGroup(L"Comment")).m_foreground, Navy);
    Click(IDC_EDIT_RESET_ALL);
    const SECEditColorGroup& comment = Group(m_language->FindColorGroup(L"Comment"));
    EXPECT_TRUE(comment.m_bForeAutomatic);
    EXPECT_EQ(comment.m_foreground, m_language->GetColorGroup(m_language->FindColorGroup(L"Comment"))->m_foreground);
    EXPECT_EQ(::SendMessageW(Item(IDC_EDIT_COLOR_GROUPS), LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Checked(IDC_EDIT_FORE_AUTOMATIC));
}

TEST_F(FontSizeDlg, ChooseFontOpensTheEditorsFontDialogOnTheWorkingFont)
{
    Open();
    std::wstring caption;
    BOOL scriptEnabled = TRUE;
    std::wstring size;
    SetModalLoopHook([&](HWND dialog) {
        if (!caption.empty())
            return;
        wchar_t text[64] {};
        ::GetWindowTextW(dialog, text, 64);
        caption = text;
        scriptEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, 1140));
        ::GetWindowTextW(::GetDlgItem(dialog, 1138), text, 64);
        size = text;
        ::SendMessageW(::GetDlgItem(dialog, 1138), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12"));
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1138, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, 1138)));
        ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Click(IDC_EDIT_CHOOSE_FONT);
    SetModalLoopHook({});
    EXPECT_EQ(caption, L"Font");
    EXPECT_FALSE(scriptEnabled) << "a font with a character set of its own keeps its script";
    EXPECT_EQ(size, L"10");
    EXPECT_EQ(ItemText(IDC_EDIT_POINT_SIZE), L"12 pt");
    EXPECT_EQ(m_dialog.GetLogFont().lfHeight, -16);
}

TEST_F(FontSizeDlg, CharacterSetOfTheOemCodePage)
{
    const struct {
        UINT codePage;
        BYTE charSet;
    } cases[] = { { 932, 128 }, { 936, 134 }, { 949, 129 }, { 950, 136 }, { 1361, 130 }, { 437, 0 }, { 1252, 0 } };
    for (const auto& c : cases)
        EXPECT_EQ(CharSetOfCodePage(c.codePage), c.charSet) << c.codePage;
}

class ShowFontDialog : public FontSizeDlg {
protected:
    void SetUp() override
    {
        FontSizeDlg::SetUp();
        m_edit.AttachLangConfig(m_language.get());
        m_edit.ResetContent();
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        m_edit.AttachLangConfig(nullptr);
        FontSizeDlg::TearDown();
    }
    // Runs the model's font command with the dialog answered by `answer` (the dialog's window).
    int Run(std::function<void(HWND)> answer)
    {
        bool answered = false;
        SetModalLoopHook([&](HWND dialog) {
            if (!std::exchange(answered, true))
                answer(dialog);
        });
        const int result = m_edit.ShowFontDialog();
        SetModalLoopHook({});
        return result;
    }
    SECEdit m_edit;
};

TEST_F(ShowFontDialog, OkWritesTheChoicesAndRebuildsTheEditorsFont)
{
    const SECEditFontInfo* before = m_edit.GetFontInfo();
    const int result = Run([&](HWND dialog) {
        ::SendMessageW(::GetDlgItem(dialog, IDC_EDIT_FORE_AUTOMATIC), BM_CLICK, 0, 0);
        ::SendMessageW(dialog, WM_SEC_COLORSELECTED, IDC_EDIT_FORECOLOR, Navy);
        ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(m_language->GetColorGroup(m_text)->m_foreground, Navy);
    EXPECT_NE(m_edit.GetFontInfo(), before) << "the font update made the model build its font again";
}

TEST_F(ShowFontDialog, CancelChangesNothing)
{
    const int result = Run([&](HWND dialog) {
        ::SendMessageW(::GetDlgItem(dialog, IDC_EDIT_FORE_AUTOMATIC), BM_CLICK, 0, 0);
        ::SendMessageW(dialog, WM_SEC_COLORSELECTED, IDC_EDIT_FORECOLOR, Navy);
        ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(m_language->GetColorGroup(m_text)->m_bForeAutomatic);
    EXPECT_NE(m_language->GetColorGroup(m_text)->m_foreground, Navy);
}

} // namespace
