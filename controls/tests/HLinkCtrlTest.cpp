#include "controls/HLinkCtrl.h"
#include "controls/HLinkPage.h"
#include "controls/tests/ControlTestSupport.h"

#include "platform/sys/Folders.h"
#include "platform/sys/Shell.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// HOME and the XDG folders pointed at a fresh temporary folder for one test.
struct TemporaryHome {
    TempSettingsFolder settings;
    ScopedEnv home { "HOME", settings.root() };
    ScopedEnv data { "XDG_DATA_HOME", settings.root() + "/data" };
    fs::path Root() const { return settings.root(); }
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ShortcutFileNameTest, TheTextBecomesASafeFileName)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* name;
    };
    const Case cases[] = {
        { L"Formulon home page", L"Formulon home page" },
        { L"../../etc/passwd", L"etcpasswd" },
        { L"..\\..\\boot.ini", L"boot.ini" },
        { L"a:b*c?d\"e<f>g|h", L"abcdefgh" },
        { L"line\r\nbreak\ttab", L"linebreaktab" },
        { L"  . ..  ", L"Link" },
        { L"", L"Link" },
        { L"Gr\u00FC\u00DFe \u2211", L"Gr\u00FC\u00DFe \u2211" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(ShortcutFileName(c.text)), c.name);
    EXPECT_EQ(ShortcutFileName(CString(std::wstring(500, L'x').c_str())).GetLength(), 200);
}

class HLinkTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        HWND window = CreateWindowExW(0, L"STATIC", L"Formulon on the web", WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 20, 200, 20, main, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(41)), nullptr, nullptr);
        ASSERT_TRUE(link.SubclassWindow(window));
        link.SetLinkUrl(L"https://example.org/formulon");
        previousLauncher = SetShellLauncher([this](const std::vector<std::string>& arguments) {
            opened.push_back(arguments);
            return launchSucceeds;
        });
        link.Invalidate();
        Pump();
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        SetShellLauncher(std::move(previousLauncher));
        ControlTest::TearDown();
    }
    bool TextHasColour(COLORREF colour) { return AnyPixelOf(link, { 0, 0, 200, 20 }, colour); }

    std::vector<std::vector<std::string>> opened;
    bool launchSucceeds = true;
    ShellLauncher previousLauncher;
    CHLinkCtrl link;
};

TEST_F(HLinkTest, TheTextIsUnderlinedInTheColourOfItsState)
{
    EXPECT_TRUE(link.GetStyle() & SS_NOTIFY) << "the first paint asks for clicks";
    EXPECT_TRUE(TextHasColour(RGB(0, 0, 255)));
    // The underline: a row of link colour under the text, wider than any letter.
    CRect client;
    link.GetClientRect(&client);
    int longest = 0;
    for (int y = 0; y < client.bottom; ++y) {
        int run = 0;
        for (int x = 0; x < client.right; ++x) {
            run = PixelAt(link, x, y) == RGB(0, 0, 255) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    EXPECT_GT(longest, 50);

    MoveMouse(ScreenPoint(link, 10, 10));
    EXPECT_EQ(link.LinkState(), CHLinkCtrl::StateHover);
    EXPECT_EQ(GetCapture(), link.m_hWnd);
    EXPECT_TRUE(TextHasColour(RGB(255, 0, 0)));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

    MoveMouse(ScreenPoint(main, 400, 300));
    EXPECT_EQ(link.LinkState(), CHLinkCtrl::StateNormal);
    EXPECT_NE(GetCapture(), link.m_hWnd);
    EXPECT_TRUE(TextHasColour(RGB(0, 0, 255)));
}

TEST_F(HLinkTest, AClickOpensTheTargetAndTheLinkStaysVisitedAfterTheHover)
{
    Click(ScreenPoint(link, 10, 10));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], (std::vector<std::string> { "xdg-open", "https://example.org/formulon" }));
    MoveMouse(ScreenPoint(main, 400, 300));
    EXPECT_EQ(link.LinkState(), CHLinkCtrl::StateVisited);
    EXPECT_TRUE(TextHasColour(RGB(128, 0, 128)));
    MoveMouse(ScreenPoint(link, 10, 10));
    MoveMouse(ScreenPoint(main, 400, 300));
    EXPECT_EQ(link.LinkState(), CHLinkCtrl::StateVisited) << "visited stays visited";
}

TEST_F(HLinkTest, TargetsWithoutSchemeAreGuessedAndFailuresChangeNothing)
{
    struct Case {
        const wchar_t* target;
        std::string opened;
    };
    const Case cases[] = {
        { L"someone@example.org", "mailto:someone@example.org" },
        { L"example.org", "http://example.org" },
        { L"www.example.org", "http://www.example.org" },
    };
    for (const Case& c : cases) {
        opened.clear();
        link.SetLinkUrl(c.target);
        EXPECT_TRUE(link.Open());
        ASSERT_FALSE(opened.empty());
        EXPECT_EQ(opened.back(), (std::vector<std::string> { "xdg-open", c.opened }));
    }

    CHLinkCtrl fresh;
    HWND window = CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | WS_VISIBLE, 20, 60, 100, 20, main, nullptr, nullptr, nullptr);
    ASSERT_TRUE(fresh.SubclassWindow(window));
    fresh.SetLinkUrl(L"https://example.org/");
    launchSucceeds = false;
    EXPECT_FALSE(fresh.Open());
    EXPECT_EQ(fresh.LinkState(), CHLinkCtrl::StateNormal);
    launchSucceeds = true;
    fresh.SetActive(FALSE);
    opened.clear();
    EXPECT_FALSE(fresh.Open());
    EXPECT_TRUE(opened.empty()) << "an inactive link opens nothing";
    MoveMouse(ScreenPoint(fresh, 5, 5));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(HLinkTest, CopyShortcutPutsTheTargetOnTheClipboard)
{
    link.SendMessage(WM_COMMAND, CHLinkCtrl::ID_LINK_COPY);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(data))), L"https://example.org/formulon");
    GlobalUnlock(data);
    CloseClipboard();
}

TEST_F(HLinkTest, ShortcutsGoToTheFavouritesAndTheDesktopUnderASafeName)
{
    TemporaryHome home;
    link.SetWindowText(L"../Formulon: home");
    struct Case {
        int csidl;
        UINT command;
        fs::path folder;
    };
    const Case cases[] = {
        { CSIDL_FAVORITES, CHLinkCtrl::ID_LINK_FAVORITES, home.Root() / "data" / "Favorites" },
        { CSIDL_DESKTOP, CHLinkCtrl::ID_LINK_DESKTOP, home.Root() / "Desktop" },
    };
    for (const Case& c : cases) {
        link.SendMessage(WM_COMMAND, c.command);
        const fs::path file = c.folder / "Formulon home.desktop";
        ASSERT_TRUE(fs::exists(file)) << file;
        const std::string entry = ReadFile(file.string());
        EXPECT_NE(entry.find("Type=Link"), std::string::npos);
        EXPECT_NE(entry.find("URL=https://example.org/formulon"), std::string::npos);
        EXPECT_EQ(std::distance(fs::directory_iterator(c.folder), fs::directory_iterator()), 1) << "nothing else was written";
    }
    link.SetLinkUrl(L"");
    EXPECT_TRUE(link.AddShortcutTo(CSIDL_FAVORITES).empty()) << "no target, no shortcut";
}

TEST_F(HLinkTest, TheKeyboardMenuOpensInsideTheTopLeftCorner)
{
    HMENU menu = CHLinkCtrl::BuildContextMenu();
    const UINT ids[] = { CHLinkCtrl::ID_LINK_OPEN, CHLinkCtrl::ID_LINK_COPY, 0, CHLinkCtrl::ID_LINK_FAVORITES, CHLinkCtrl::ID_LINK_DESKTOP, 0, CHLinkCtrl::ID_LINK_PROPERTIES };
    ASSERT_EQ(GetMenuItemCount(menu), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(GetMenuItemID(menu, i), ids[i]);
    DestroyMenu(menu);

    RECT popup {};
    SetModalLoopHook([&](HWND window) {
        GetWindowRect(window, &popup);
        EndMenu();
    });
    link.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(link.m_hWnd), MAKELPARAM(0xFFFF, 0xFFFF));
    Pump();
    RECT control;
    link.GetWindowRect(&control);
    EXPECT_EQ(popup.left, control.left + 5);
    EXPECT_EQ(popup.top, control.top + 5);
}

TEST_F(HLinkTest, PropertiesShowTheLinkTextAndAddressInASheetWithoutApply)
{
    std::vector<CString> shown;
    bool ran = false;
    SetModalLoopHook([&](HWND sheet) {
        if (ran)
            return;
        ran = true;
        auto text = [](HWND window) {
            wchar_t buffer[128] {};
            ::GetWindowTextW(window, buffer, 128);
            return CString(buffer);
        };
        EXPECT_EQ(text(sheet), CString(L"Properties"));
        EXPECT_EQ(::GetWindow(sheet, GW_OWNER), main.m_hWnd) << "over the control's parent";
        EXPECT_EQ(::GetDlgItem(sheet, ID_APPLY_NOW), nullptr);
        HWND page = ::GetWindow(sheet, GW_CHILD);
        while (page && !::GetDlgItem(page, CHLinkPage::IDC_LINK_TEXT))
            page = ::GetWindow(page, GW_HWNDNEXT);
        ASSERT_NE(page, nullptr);
        shown = { text(::GetDlgItem(page, CHLinkPage::IDC_LINK_TEXT)), text(::GetDlgItem(page, CHLinkPage::IDC_LINK_ADDRESS)) };
        ::PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    link.SendMessage(WM_COMMAND, CHLinkCtrl::ID_LINK_PROPERTIES, 0);
    EXPECT_TRUE(ran) << "the sheet was shown";
    EXPECT_EQ(shown, (std::vector<CString> { L"Formulon on the web", L"https://example.org/formulon" }));
    EXPECT_EQ(link.LinkState(), CHLinkCtrl::StateNormal) << "showing the properties opens nothing";
    EXPECT_TRUE(opened.empty());
}

TEST_F(HLinkTest, TheToolTipCoversTheControl)
{
    TOOLINFO info {};
    EXPECT_EQ(link.OnToolHitTest(CPoint(5, 5), &info), -1) << "off by default";
    link.SetToolTipEnabled(TRUE);
    link.SetToolTipText(L"Visit the home page");
    EXPECT_TRUE(link.ToolTipsEnabled());
    ASSERT_EQ(link.OnToolHitTest(CPoint(5, 5), &info), 1);
    EXPECT_EQ(info.uFlags, 0x40000001u);
    EXPECT_EQ(info.hwnd, link.m_hWnd);
    EXPECT_EQ(info.uId, reinterpret_cast<UINT_PTR>(link.m_hWnd));
    EXPECT_EQ(std::wstring(info.lpszText), L"Visit the home page");
    std::free(info.lpszText);
    EXPECT_EQ(link.OnToolHitTest(CPoint(250, 5), nullptr), -1);
}

TEST_F(HLinkTest, IconAndBitmapStaticsKeepTheirOwnColours)
{
    CHLinkCtrl icon;
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON, 20, 60, 32, 32, main, nullptr, nullptr, nullptr);
    ASSERT_TRUE(icon.SubclassWindow(window));
    HDC dc = GetDC(window);
    LRESULT result = SendMessageW(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
    EXPECT_NE(reinterpret_cast<HGDIOBJ>(result), GetStockObject(NULL_BRUSH));
    result = SendMessageW(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(result), GetStockObject(NULL_BRUSH));
    ReleaseDC(window, dc);
}

}
