// The file dialogs driven by keys: navigating, typed names and paths, the default extension, the
// overwrite prompt, the existence checks, Cancel and the remembered folder.

#include "CommonDialogTestSupport.h"

#include "platform/sys/Folders.h"

#include <cstring>

namespace {

constexpr int kList = lst1, kName = edt1, kLookIn = cmb2;

std::wstring SelectedText(HWND dialog, int comboId)
{
    HWND combo = GetDlgItem(dialog, comboId);
    auto index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    wchar_t text[512] {};
    if (index >= 0)
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> ListItems(HWND dialog)
{
    HWND list = GetDlgItem(dialog, kList);
    std::vector<std::wstring> items;
    for (LRESULT i = 0, count = SendMessageW(list, LB_GETCOUNT, 0, 0); i < count; ++i) {
        wchar_t text[512] {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

class FileDialogTest : public CommonDialogTest {
protected:
    void SetUp() override
    {
        CommonDialogTest::SetUp();
        tree.Folder("work/sub");
        tree.File("work/top.fm");
        tree.File("work/notes.txt");
        tree.File("work/sub/data.fm");
        ResetRequest();
    }

    // A fresh request for the next case of a table.
    void ResetRequest()
    {
        std::fill(std::begin(buffer), std::end(buffer), L'\0');
        std::fill(std::begin(title), std::end(title), L'\0');
        request = {};
        request.lStructSize = sizeof request;
        request.hwndOwner = parent;
        request.lpstrFilter = L"Parameter (.fm)\0*.fm\0All Files (*.*)\0*.*\0";
        request.lpstrFile = buffer;
        request.nMaxFile = MAX_PATH;
        request.lpstrFileTitle = title;
        request.nMaxFileTitle = 64;
        request.lpstrDefExt = L"fm";
        request.Flags = OFN_HIDEREADONLY;
        initialDir = tree.Path("work");
        request.lpstrInitialDir = initialDir.c_str();
    }

    wchar_t buffer[MAX_PATH];
    wchar_t title[64] {};
    std::wstring initialDir;
    OPENFILENAMEW request {};
};

TEST_F(FileDialogTest, KeysNavigateAndChooseAFile)
{
    struct Case {
        const char* name;
        std::vector<Step> keys;
        const char* expected; // under the tree
    };
    const Case cases[] = {
        { "a typed relative path", { Type(L"sub/data.fm"), Press(VK_RETURN) }, "work/sub/data.fm" },
        { "a folder name, then a name without extension",
            { Type(L"sub"), Press(VK_RETURN), Type(L"data"), Press(VK_RETURN) },
            "work/sub/data.fm" },
        { "type-ahead in the list opens a folder, the arrow picks its file",
            { Press(VK_TAB, { VK_SHIFT }), Type(L"s"), Press(VK_RETURN), Press(VK_DOWN), Press(VK_RETURN) },
            "work/sub/data.fm" },
        { "a tilde goes home", { Type(L"~"), Press(VK_RETURN), Type(L"new.fm"), Press(VK_RETURN) }, "home/new.fm" },
        { "up a level by its mnemonic",
            { Type(L"sub"), Press(VK_RETURN), Press('U', { VK_MENU }, L"u"), Press('N', { VK_MENU }, L"n"), Type(L"top"), Press(VK_RETURN) },
            "work/top.fm" },
        { "backspace in the list goes up",
            { Type(L"sub"), Press(VK_RETURN), Press(VK_TAB, { VK_SHIFT }), Press(VK_BACK), Press(VK_TAB), Type(L"notes.txt"), Press(VK_RETURN) },
            "work/notes.txt" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetRequest();
        Script(c.keys);
        ASSERT_TRUE(GetOpenFileNameW(&request));
        std::wstring expected = tree.Path(c.expected);
        EXPECT_EQ(std::wstring(buffer), expected);
        EXPECT_EQ(request.nFileOffset, expected.rfind(L'/') + 1);
        EXPECT_EQ(request.nFileExtension, expected.rfind(L'.') + 1);
        EXPECT_EQ(std::wstring(title), expected.substr(expected.rfind(L'/') + 1));
        EXPECT_TRUE(steps.empty());
    }
}

TEST_F(FileDialogTest, TheListShowsFoldersFirstAndTheChosenType)
{
    std::vector<std::wstring> parameters, everything, lookIn;
    Script({ Check([&](HWND dialog) {
                 parameters = ListItems(dialog);
                 lookIn.push_back(SelectedText(dialog, kLookIn));
             }),
        Press(VK_TAB), Press(VK_DOWN),
        Check([&](HWND dialog) { everything = ListItems(dialog); }),
        Press(VK_ESCAPE) });
    EXPECT_FALSE(GetOpenFileNameW(&request));
    EXPECT_EQ(parameters, (std::vector<std::wstring> { L"sub", L"top.fm" }));
    EXPECT_EQ(everything, (std::vector<std::wstring> { L"sub", L"notes.txt", L"top.fm" }));
    ASSERT_EQ(lookIn.size(), 1u);
    EXPECT_EQ(lookIn[0].find_first_not_of(L' '), lookIn[0].size() - 4) << "the current folder is indented by its depth";
    EXPECT_EQ(lookIn[0].substr(lookIn[0].size() - 4), L"work");
}

TEST_F(FileDialogTest, SavingOverAFileAsksFirst)
{
    struct Case {
        int answer;
        const char* expected;
    };
    for (auto c : { Case { IDYES, "work/top.fm" }, Case { IDNO, "work/other.fm" } }) {
        ResetRequest();
        tree.File("work/top.fm", "old");
        request.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
        std::wstring prompt, promptCaption;
        Script({ Type(L"top"), Press(VK_RETURN),
            Check([&](HWND box) {
                prompt = WindowText(GetDlgItem(box, 0xFFFF));
                promptCaption = WindowText(box);
                PostMessageW(box, WM_COMMAND, c.answer, 0);
            }),
            Type(L"other"), Press(VK_RETURN) });
        if (c.answer == IDYES)
            steps.resize(3);
        ASSERT_TRUE(GetSaveFileNameW(&request));
        EXPECT_EQ(std::wstring(buffer), tree.Path(c.expected));
        EXPECT_EQ(promptCaption, L"Save As");
        EXPECT_EQ(tree.Read("work/top.fm"), "old") << "the dialog never writes";
    }
}

// A name typed without an extension takes the extension of the chosen file type; a type that names
// none (all files) leaves the caller's default.
TEST_F(FileDialogTest, ATypedNameGetsTheExtensionOfTheChosenType)
{
    struct Case {
        DWORD filterIndex;
        const char* expected;
    };
    for (auto c : { Case { 0, "work/mine.fm" }, Case { 2, "work/mine.txt" }, Case { 3, "work/mine.bas" }, Case { 4, "work/mine.txt" } }) {
        SCOPED_TRACE(c.filterIndex);
        ResetRequest();
        request.lpstrFilter = L"Parameter (.fm)\0*.fm\0Text Files (.txt)\0*.txt\0Code (.vbs;.bas)\0*.v?s;*.bas\0All Files (*.*)\0*.*\0";
        request.lpstrDefExt = L"txt";
        request.nFilterIndex = c.filterIndex;
        Script({ Type(L"mine"), Press(VK_RETURN) });
        ASSERT_TRUE(GetSaveFileNameW(&request));
        EXPECT_EQ(std::wstring(buffer), tree.Path(c.expected));
    }
}

TEST_F(FileDialogTest, MissingFilesAndFoldersAreRefusedWhenTheyMustExist)
{
    struct Case {
        DWORD flags;
        const wchar_t* typed;
    };
    for (auto c : { Case { OFN_FILEMUSTEXIST, L"missing.fm" }, Case { OFN_PATHMUSTEXIST, L"nowhere/x.fm" } }) {
        ResetRequest();
        wcscpy(buffer, L"keep.fm");
        request.Flags = OFN_HIDEREADONLY | c.flags;
        bool warned = false;
        std::wstring nameAfter;
        Script({ Press(VK_BACK), Type(c.typed), Press(VK_RETURN),
            Check([&](HWND box) {
                warned = WindowText(box) == L"Open";
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }),
            Check([&](HWND dialog) { nameAfter = WindowText(GetDlgItem(dialog, kName)); }),
            Press(VK_ESCAPE) });
        EXPECT_FALSE(GetOpenFileNameW(&request)) << c.typed;
        EXPECT_TRUE(warned) << c.typed;
        EXPECT_EQ(nameAfter, c.typed) << "the typed name stays to be corrected";
        EXPECT_EQ(CommDlgExtendedError(), 0u);
    }
}

TEST_F(FileDialogTest, CancelLeavesTheCallersBufferAlone)
{
    for (bool byMouse : { false, true }) {
        ResetRequest();
        wcscpy(buffer, L"start.fm");
        buffer[20] = L'#';
        wchar_t before[MAX_PATH];
        std::memcpy(before, buffer, sizeof buffer);
        request.nFilterIndex = 2;
        Script({ Type(L"sub/data.fm"), byMouse ? ClickOn(IDCANCEL) : Press(VK_ESCAPE) });
        EXPECT_FALSE(GetOpenFileNameW(&request));
        EXPECT_EQ(CommDlgExtendedError(), 0u);
        EXPECT_EQ(std::memcmp(before, buffer, sizeof buffer), 0);
        EXPECT_EQ(request.nFilterIndex, 2u);
        EXPECT_EQ(title[0], L'\0');
    }
}

TEST_F(FileDialogTest, TheLastFolderIsRememberedPerDialog)
{
    Script({ Type(L"sub/data.fm"), Press(VK_RETURN) });
    ASSERT_TRUE(GetOpenFileNameW(&request));

    request.lpstrInitialDir = nullptr;
    buffer[0] = L'\0';
    std::vector<std::wstring> openItems;
    Script({ Check([&](HWND dialog) { openItems = ListItems(dialog); }), Press(VK_ESCAPE) });
    EXPECT_FALSE(GetOpenFileNameW(&request));
    EXPECT_EQ(openItems, std::vector<std::wstring> { L"data.fm" });

    request.lpstrTitle = L"Export";
    std::vector<std::wstring> exportItems;
    Script({ Check([&](HWND dialog) { exportItems = ListItems(dialog); }), Press(VK_ESCAPE) });
    EXPECT_FALSE(GetSaveFileNameW(&request));
    EXPECT_NE(exportItems, openItems) << "another dialog has its own folder";
}

TEST_F(FileDialogTest, RequestErrorsAreReported)
{
    request.nMaxFile = 5;
    Script({ Type(L"top.fm"), Press(VK_RETURN) });
    EXPECT_FALSE(GetOpenFileNameW(&request));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_EQ(static_cast<std::size_t>(buffer[0]), tree.Path("work/top.fm").size() + 1);

    request.lStructSize = 12;
    EXPECT_FALSE(GetSaveFileNameW(&request));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
    EXPECT_FALSE(GetOpenFileNameW(nullptr));
}

} // namespace

namespace {

TEST_F(FileDialogTest, TheClassicLook)
{
    // The look in box and the names depend on the temporary folder's name: text areas only.
    ::testing::AssertionResult looks = ::testing::AssertionFailure();
    COLORREF folderIcon = CLR_INVALID, documentIcon = CLR_INVALID;
    wcscpy(buffer, L"draft.fm");
    Script({ Check([&](HWND dialog) {
        std::vector<RECT> text;
        for (int id : { stc4, kLookIn, psh3, stc3, kName, stc2, cmb1, IDOK, IDCANCEL }) {
            RECT r;
            GetWindowRect(GetDlgItem(dialog, id), &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            InflateRect(&r, -3, -3);
            text.push_back(r);
        }
        HWND list = GetDlgItem(dialog, kList);
        RECT first, second;
        SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
        for (RECT item : { first, second }) {
            item.left += 20;
            MapWindowPoints(list, dialog, reinterpret_cast<POINT*>(&item), 2);
            text.push_back(item);
        }
        Pump();
        folderIcon = PixelAt(list, first.left + 4, first.top + 9);
        documentIcon = PixelAt(list, second.left + 6, second.top + 9);
        looks = DialogLooksLike(dialog, "file-dialog.png", text);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }) });
    EXPECT_FALSE(GetOpenFileNameW(&request));
    EXPECT_TRUE(looks);
    EXPECT_EQ(folderIcon, RGB(192, 192, 0)) << "the folder's front";
    EXPECT_EQ(documentIcon, RGB(255, 255, 255)) << "the page";
}

} // namespace
