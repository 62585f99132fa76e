// The common dialog classes: what their constructors ask for and what they read back.

#include "platform/comdlg/tests/CommonDialogTestSupport.h"

#include "platform/mfc/CommonDialogs.h"

namespace {

class CommonDialogsTest : public CommonDialogTest {};

TEST_F(CommonDialogsTest, AFileDialogTakesAPipeFilterAndSplitsTheResult)
{
    tree.Folder("work");
    tree.File("work/old.txt");
    std::wstring start = tree.Path("work/draft");
    CFileDialog dialog(FALSE, L"txt", start.c_str(), OFN_HIDEREADONLY, L"Parameter (.fm)|*.fm|Text Files (.txt)|*.txt|All Files (*.*)|*.*|");
    std::vector<std::wstring> types;
    Script({ Check([&](HWND window) {
                 HWND combo = GetDlgItem(window, cmb1);
                 for (LRESULT i = 0, count = SendMessageW(combo, CB_GETCOUNT, 0, 0); i < count; ++i) {
                     wchar_t text[64] {};
                     SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                     types.push_back(text);
                 }
             }),
        Press(VK_RETURN) });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(types, (std::vector<std::wstring> { L"Parameter (.fm)", L"Text Files (.txt)", L"All Files (*.*)" }));
    // The chosen type's extension, not the default one, goes on a name typed without one.
    EXPECT_EQ(std::wstring(dialog.GetPathName()), tree.Path("work/draft.fm"));
    EXPECT_EQ(std::wstring(dialog.GetFileName()), L"draft.fm");
    EXPECT_EQ(std::wstring(dialog.GetFileExt()), L"fm");
    EXPECT_EQ(std::wstring(dialog.GetFileTitle()), L"draft");

    CFileDialog open(TRUE, L"txt", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST);
    open.m_ofn.lpstrInitialDir = start.c_str(); // a missing folder: the dialog starts elsewhere
    Script({ Press(VK_ESCAPE) });
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    EXPECT_EQ(std::wstring(open.GetPathName()), L"");
}

TEST_F(CommonDialogsTest, AColourDialogStartsAtItsColourAndKeepsCustomColours)
{
    CColorDialog dialog(RGB(255, 0, 0), CC_FULLOPEN);
    Script({ Press('A', { VK_MENU }, L"a"), ClickOn(IDOK) });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetColor(), RGB(255, 0, 0));
    EXPECT_EQ(CColorDialog::GetSavedCustomColors()[0], RGB(255, 0, 0)) << "added to the colours the program keeps";

    COLORREF own[16] {};
    CColorDialog withOwn(RGB(0, 0, 255), CC_FULLOPEN);
    withOwn.m_cc.lpCustColors = own;
    Script({ Press('A', { VK_MENU }, L"a"), Press(VK_ESCAPE) });
    EXPECT_EQ(withOwn.DoModal(), IDCANCEL);
    EXPECT_EQ(own[0], 0u);
}

TEST_F(CommonDialogsTest, AFontDialogReadsBackTheChosenFont)
{
    LOGFONTW initial {};
    initial.lfHeight = -13;
    initial.lfItalic = TRUE;
    wcscpy(initial.lfFaceName, L"Liberation Sans");
    CFontDialog dialog(&initial, CF_SCREENFONTS | CF_FORCEFONTEXIST);
    Script({ Press('Y', { VK_MENU }, L"y"), Press(VK_DOWN), ClickOn(IDOK) });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    LOGFONTW chosen {};
    dialog.GetCurrentFont(&chosen);
    EXPECT_STREQ(chosen.lfFaceName, L"Liberation Sans");
    EXPECT_EQ(std::wstring(dialog.GetFaceName()), L"Liberation Sans");
    EXPECT_TRUE(dialog.IsBold()) << "the style after italic is bold";
    EXPECT_FALSE(dialog.IsItalic());
    EXPECT_EQ(std::wstring(dialog.GetStyleName()), L"Bold");
    EXPECT_EQ(dialog.GetSize(), 100);
}

} // namespace
