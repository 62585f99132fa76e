#include "app/OptionsUpdatesPage.h"
#include "app/Updater.h"
#include "app/tests/PictureSupport.h"

#include "datecore/Clock.h"
#include "platform/base/MessageBox.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/Wnd.h"
#include "platform/net/InternetSession.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/net/tests/LoopbackHttpServer.h"
#include "platform/sys/Shell.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "platform/user/tests/HeadlessWindowTest.h"
#include "res/Formulon.h"
#include "res/Updates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr __time64_t kNow = 2200000000; // after 2038
constexpr __time64_t kDay = 86400;
constexpr __time64_t kEarlierCheck = 1700000000;
// The program's own version (res/Formulon.rc) is 4.2.0.0.
const std::string kRelease = "[Formulon]\nVersion=4.2.0.0\nFAQ=https://example.invalid/new-faq\n";

// Stands in for the main frame: hands the worker's notice to the updater, as the frame does.
class NoticeWindow : public CWnd {
public:
    CUpdater* updater = nullptr;
    int notices = 0;

protected:
    void OnCheckDone()
    {
        ++notices;
        updater->OnCheckDone();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(NoticeWindow, CWnd)
    ON_COMMAND(ID_UPDATE_CHECK_DONE, OnCheckDone)
END_MESSAGE_MAP()

// A box the user saw: its caption and the texts of its parts (a message box's own text first).
struct Shown {
    std::wstring caption;
    std::wstring text;
};

std::wstring WindowText(HWND window)
{
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

class UpdaterTest : public HeadlessWindowTest {
protected:
    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        app.SetRegistryKey(L"Formulon");
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 400, nullptr, nullptr));
        app.m_pMainWnd = &main;
        main.updater = &updater;
        updater.SetTimeouts({.connect = 2000, .receive = 300});
        SetMessageBoxHandler([this](const wchar_t* text, const wchar_t* caption, UINT) {
            shown.push_back({caption ? caption : L"", text});
            return messageAnswer;
        });
        SetModalLoopHook([this](HWND window) { OnModalLoop(window); });
        SetShellLauncher([this](const std::vector<std::string>& arguments) {
            opened.push_back(arguments.back());
            return true;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler({});
        SetShellLauncher({});
        HeadlessWindowTest::TearDown();
    }

    // Waits until the worker's notice has reached the frame and been handled.
    void WaitForNotice()
    {
        const int before = main.notices;
        while (main.notices == before) {
            WaitMessage();
            Pump();
        }
    }
    // A check by the menu command, carried to its end.
    void CheckByMenu()
    {
        ASSERT_TRUE(updater.CheckIfDue());
        WaitForNotice();
    }
    void Serve(const std::string& file) { server.Route("/version.txt", {200, file}); }
    void UseServer() { ASSERT_TRUE(updater.SetVersionFileURL(CString(server.Url("/version.txt")))); }

    // A box made by the program's own dialog code (the result boxes, the options sheet): the
    // sheet runs its steps, any other box is noted and answered with boxAnswer.
    void OnModalLoop(HWND window)
    {
        if (WindowText(window) == L"Options") {
            if (sheetSteps.empty()) {
                // Nothing posted: the loop waits, and the virtual clock runs to the next timer.
                if (sheetIdle) sheetIdle(window);
                return;
            }
            auto step = std::move(sheetSteps.front());
            sheetSteps.pop_front();
            step(window);
            PostMessageW(window, WM_NULL, 0, 0);
            return;
        }
        std::wstring text;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            text += WindowText(child) + L"|";
        shown.push_back({WindowText(window), text});
        if (onBox) onBox(window);
        EndDialog(window, boxAnswer);
    }
    CString Profile(LPCWSTR key) { return app.GetProfileString(L"Options", key, L"(none)"); }
    void RecordEarlierCheck()
    {
        WriteLastUpdateCheck(app, kEarlierCheck);
        app.WriteProfileString(L"Options", L"FAQ URL", L"https://example.invalid/faq");
        updater.LoadSettings();
    }
    void ExpectEarlierCheckKept()
    {
        EXPECT_EQ(ReadLastUpdateCheck(app), kEarlierCheck);
        EXPECT_EQ(Profile(L"FAQ URL"), L"https://example.invalid/faq");
        EXPECT_EQ(updater.m_lastCheck, kEarlierCheck);
    }

    ScopedEnv noProxy{"no_proxy", "127.0.0.1"};
    TempSettingsFolder folder;
    ScopedFixedClock clock{kNow, TIME_ZONE_INFORMATION{}};
    CWinApp app{L"FLN"};
    NoticeWindow main;
    CUpdater updater;
    LoopbackHttpServer server;
    std::vector<Shown> shown;
    std::vector<std::string> opened;
    int messageAnswer = IDOK;
    INT_PTR boxAnswer = IDNO;
    std::function<void(HWND)> onBox;
    std::deque<std::function<void(HWND)>> sheetSteps;
    std::function<void(HWND)> sheetIdle;
};

TEST_F(UpdaterTest, TheMenuCommandTellsWhatTheServerOffers)
{
    struct Case {
        const char* name;
        std::string file;
        bool developmentVersions;
        std::wstring caption;
        std::wstring text; // a part of the box's text
    };
    const Case cases[] = {
        {"newer release", "[Formulon]\nVersion=4, 2, 0, 1\nDescription=Faster roots\n", false,
         L"New Formulon Version Available", L"Formulon Version 4, 2, 0, 1 is now available for download."},
        {"1.300 is older than 4.2", "[Formulon]\nVersion=1.300\n", false, L"Version up to date",
         L"This  version of Formulon (4.2.0.0) is newer than the current released version (1.300)"},
        {"equal", kRelease, false, L"Version up to date", L"The latest version of Formulon is already installed"},
        {"newer development version", kRelease + "[Formulon Beta]\nVersion=4.3\nDescription=Faster roots\n", true,
         L"New Formulon Development Version Available", L"Formulon Version 4.3 is now available"},
        {"more than up to date", kRelease, true, L"Version more than up to date!",
         L"Congratulations! This version of Formulon (4.2.0.0) is newer than the current released version (4.2.0.0)"},
    };
    UseServer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shown.clear();
        Serve(c.file);
        updater.m_bCheckDevVersions = c.developmentVersions;
        CheckByMenu();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, c.caption);
        EXPECT_NE(shown[0].text.find(c.text), std::wstring::npos) << std::string(shown[0].text.begin(), shown[0].text.end());
        if (shown[0].caption.starts_with(L"New")) {
            EXPECT_NE(shown[0].text.find(L"Faster roots"), std::wstring::npos);
        }
        EXPECT_EQ(ReadLastUpdateCheck(app), kNow);
        EXPECT_FALSE(updater.IsChecking());
    }
    EXPECT_TRUE(opened.empty()) << "every offer was answered No";
    EXPECT_EQ(Profile(L"FAQ URL"), L"https://example.invalid/new-faq");
    EXPECT_EQ(updater.m_strFAQURL, L"https://example.invalid/new-faq");
}

TEST_F(UpdaterTest, YesOpensOnlyAWebAddressAsOneArgument)
{
    const std::string description = "Fixes {\\field{\\*\\fldinst HYPERLINK \"file:///bin/sh\"}} and more";
    struct Case {
        std::string downloads;
        std::vector<std::string> opened;
    };
    const Case cases[] = {
        {"https://example.invalid/get?a=1&b=$(reboot)", {"https://example.invalid/get?a=1&b=$(reboot)"}},
        {"file:///usr/bin/xterm", {}},
        {"javascript:alert(1)", {}},
        {"", {}},
    };
    UseServer();
    boxAnswer = IDYES;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.downloads);
        shown.clear();
        opened.clear();
        Serve("[Formulon]\nVersion=5\nDescription=" + description + "\nDownloads=" + c.downloads + "\n");
        CheckByMenu();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].text.find(std::wstring(description.begin(), description.end())), std::wstring::npos)
            << "the description is shown as it stands, never read as mark-up";
        EXPECT_EQ(opened, c.opened);
    }
}

// A failed check says what failed (a file that is no version file or too large is named as such,
// not taken for a lost connection), offers the options and changes nothing.
TEST_F(UpdaterTest, AFailedCheckIsReportedAndChangesNothing)
{
    const std::wstring unreachable = L"Could not load version info! Internet Connection may fail!";
    const std::wstring invalid = L"The update source sent no valid version file.";
    const std::wstring tooLarge = L"The update source sent a file larger than a version file may be (4096 bytes).";
    struct Case {
        const char* name;
        LoopbackHttpServer::Response response;
        std::wstring text;
    };
    const Case cases[] = {
        {"missing file", {404, "<html>Not found</html>"}, unreachable},
        {"malformed file", {200, "<html><body>Welcome</body></html>"}, invalid},
        {"version that is no number", {200, "[Formulon]\nVersion=latest\n"}, invalid},
        {"oversized file", {200, kRelease + std::string(CVersionFile::kMaxSize, ';')}, tooLarge},
        {"empty file", {200, ""}, invalid},
        {"redirect to another scheme", {302, "", "Location: file:///etc/passwd\r\n"}, unreachable},
        {"stalled server", {.stall = true}, unreachable},
    };
    UseServer();
    RecordEarlierCheck();
    messageAnswer = IDNO;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shown.clear();
        server.Route("/version.txt", c.response);
        CheckByMenu();
        ASSERT_EQ(shown.size(), 1u) << "one box, and no verdict after it";
        EXPECT_EQ(shown[0].text, c.text + L"\n\nDo you want to change the update options now?");
        ExpectEarlierCheckKept();
    }
}

TEST_F(UpdaterTest, TheMenuCommandChecksOnlyWhenACheckIsDue)
{
    struct Case {
        const char* name;
        BOOL checkForUpdates;
        int intervalDays;
        __time64_t lastCheck;
        bool checks;
    };
    const Case cases[] = {
        {"a fresh profile", TRUE, 0, kNow, true},
        {"7 days, 3 days ago", TRUE, 7, kNow - 3 * kDay, false},
        {"7 days, 7 days and a second ago", TRUE, 7, kNow - 7 * kDay - 1, true},
        {"90 days, exactly 90 days ago", TRUE, 90, kNow - 90 * kDay, true},
        {"checking switched off", FALSE, 0, 0, false},
        {"a last check in the future", TRUE, 7, kNow + kDay, true},
    };
    UseServer();
    Serve(kRelease);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.WriteProfileInt(L"Options", L"Check for updates", c.checkForUpdates);
        app.WriteProfileInt(L"Options", L"Update check interval", c.intervalDays);
        WriteLastUpdateCheck(app, c.lastCheck);
        updater.LoadSettings();
        const int requests = server.RequestCount();
        EXPECT_EQ(updater.CheckIfDue(), c.checks);
        if (c.checks) WaitForNotice();
        EXPECT_EQ(server.RequestCount(), requests + (c.checks ? 1 : 0));
    }
}

// Whatever the menu command finds, the user gets an answer and a way to the options: a check that
// is not due says why and offers them, and the result box of a check has an "Options..." button.
TEST_F(UpdaterTest, EveryCheckForUpdateLeadsToTheOptions)
{
    UseServer();
    Serve(kRelease);
    int sheets = 0;
    auto cancelSheet = [&](HWND sheet) {
        ++sheets;
        SendMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    };
    struct Case {
        const char* name;
        BOOL checkForUpdates;
        int intervalDays;
        std::wstring reason;
    };
    const Case notDue[] = {
        {"checking switched off", FALSE, 0, L"Checking for updates is turned off."},
        {"7 days, 3 days ago", TRUE, 7, L"Updates are checked every 7 days, and the last check was less than 7 days ago."},
    };
    for (const Case& c : notDue) {
        SCOPED_TRACE(c.name);
        shown.clear();
        updater.m_bCheckForUpdates = c.checkForUpdates;
        updater.m_nCheckInterval = c.intervalDays;
        updater.m_lastCheck = kNow - 3 * kDay;
        messageAnswer = IDYES;
        sheetSteps.push_back(cancelSheet);
        const int before = sheets;
        EXPECT_FALSE(updater.CheckIfDue());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, c.reason + L"\n\nDo you want to change the update options now?");
        EXPECT_EQ(sheets, before + 1) << "Yes opens the options";
    }

    // A check that ran: its result box offers the options too.
    updater.m_bCheckForUpdates = TRUE;
    updater.m_nCheckInterval = 0;
    shown.clear();
    boxAnswer = 100;
    sheetSteps.push_back(cancelSheet);
    CheckByMenu();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"Version up to date");
    EXPECT_NE(shown[0].text.find(L"O&ptions..."), std::wstring::npos);
    EXPECT_EQ(sheets, 3);
}

// A version file without the FAQ, discussion-board, known-bugs or mailing-list links clears them,
// the built-in ones of a fresh profile too; the other links stay when the file leaves them out.
TEST_F(UpdaterTest, AVersionFileWithoutLinksClearsThem)
{
    UseServer();
    Serve("[Formulon]\nVersion=4.2.0.0\n");
    const CString webSite = updater.m_strWebURL, aboutMe = updater.m_strAboutMeURL;
    ASSERT_FALSE(updater.m_strFAQURL.IsEmpty());
    CheckByMenu();
    for (const CString* link : {&updater.m_strFAQURL, &updater.m_strDiscussionBoardURL, &updater.m_strKnownBugsURL,
                                &updater.m_strMailingListURL})
        EXPECT_TRUE(link->IsEmpty()) << link->ToUtf8();
    EXPECT_EQ(Profile(L"FAQ URL"), L"");
    EXPECT_EQ(updater.m_strWebURL, webSite);
    EXPECT_EQ(updater.m_strAboutMeURL, aboutMe);
}

TEST_F(UpdaterTest, WithoutAnUpdateSourceTheCommandOffersTheOptions)
{
    EXPECT_TRUE(updater.m_strVersionFileURL.IsEmpty()) << "there is no built-in source";
    messageAnswer = IDNO;
    EXPECT_FALSE(updater.CheckIfDue());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find(L"No update source is configured"), std::wstring::npos);

    // Yes opens the options, where the address is set.
    messageAnswer = IDYES;
    const std::wstring address = server.Url("/version.txt");
    sheetSteps.push_back([&](HWND sheet) {
        HWND page = GetWindow(sheet, GW_CHILD);
        while (page && !GetDlgItem(page, IDC_UPDATE_SOURCE)) page = GetWindow(page, GW_HWNDNEXT);
        ASSERT_NE(page, nullptr);
        SetDlgItemTextW(page, IDC_UPDATE_SOURCE, address.c_str());
        SendMessageW(sheet, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(updater.CheckIfDue());
    EXPECT_EQ(updater.m_strVersionFileURL, address);
    EXPECT_EQ(Profile(L"Version File URL"), address);

    // An address that is not a web address, put into the profile by hand, counts as none.
    app.WriteProfileString(L"Options", L"Version File URL", L"file:///etc/passwd");
    CUpdater fresh;
    fresh.LoadSettings();
    EXPECT_TRUE(fresh.m_strVersionFileURL.IsEmpty());
}

TEST_F(UpdaterTest, AStalledServerNeverHoldsTheWindowOrTheExit)
{
    server.Route("/stall", {.stall = true});
    updater.SetTimeouts({.connect = 30000, .receive = 30000});
    CVersionCheck* worker = updater.StartCheck(CString(server.Url("/stall")), main.m_hWnd, WM_COMMAND, ID_UPDATE_CHECK_DONE);
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(updater.StartCheck(L"https://example.invalid/other", main.m_hWnd, WM_COMMAND, ID_UPDATE_CHECK_DONE), worker)
        << "a check under way is left as it is";
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount() > 0; }));
    EXPECT_TRUE(updater.IsChecking());
    updater.OnCheckDone(); // a stray notice while the check runs
    EXPECT_TRUE(updater.IsChecking());

    // Giving up on the check (the options page's wait ran out, or the program ends) cancels it.
    EXPECT_EQ(updater.CheckForUpdate(FALSE, TRUE), ERROR_INTERNET_TIMEOUT);
    EXPECT_FALSE(updater.IsChecking()) << "the stalled transfer was cancelled, not waited out";
    Pump();
    EXPECT_EQ(main.notices, 0) << "a cancelled check tells nobody";
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(server.RequestCount(), 1);
}

TEST_F(UpdaterTest, TheFlagsPostTheirRegisteredMessageWhenTheyChange)
{
    const UINT checkChanged = RegisterWindowMessageW(L"Check for updates");
    auto posted = [&](UINT message) {
        MSG found;
        bool any = false;
        while (PeekMessageW(&found, main.m_hWnd, message, message, PM_REMOVE)) any = true;
        return any;
    };
    EXPECT_FALSE(updater.SetCheckForUpdates(TRUE)) << "unchanged";
    EXPECT_FALSE(posted(checkChanged));
    EXPECT_TRUE(updater.SetCheckForUpdates(FALSE));
    EXPECT_TRUE(posted(checkChanged));
    EXPECT_EQ(app.GetProfileInt(L"Options", L"Check for updates", 1), 0u);
    EXPECT_TRUE(updater.SetCheckDevVersions(TRUE));
    EXPECT_TRUE(posted(RegisterWindowMessageW(L"Check for updated development versions")));
}

TEST_F(UpdaterTest, TheResultBoxesLookLikeTheirPictures)
{
    UseServer();
    const std::pair<std::string, std::string> boxes[] = {
        {"[Formulon]\nVersion=4.3\nDescription=Roots of polynomials and a faster Graph page.\n", "UpdateNewVersion.png"},
        {kRelease, "UpdateUpToDate.png"},
    };
    for (const auto& [file, picture] : boxes) {
        Serve(file);
        onBox = [&picture = picture](HWND box) { ExpectWindowPicture(box, picture); };
        CheckByMenu();
    }
}

// ---- the options sheet

class OptionsSheetTest : public UpdaterTest {
protected:
    HWND Page(HWND sheet) const
    {
        for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, IDC_UPDATE_CHECK_NOW)) return child;
        return nullptr;
    }
    HWND Item(HWND sheet, int id) const { return GetDlgItem(Page(sheet), id); }
    void ClickButton(HWND sheet, int id)
    {
        HWND button = Item(sheet, id);
        SendMessageW(Page(sheet), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
    void SetText(HWND sheet, int id, const wchar_t* text)
    {
        HWND edit = Item(sheet, id);
        SetFocus(edit);
        SetWindowTextW(edit, text);
        SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
        SetFocus(Item(sheet, IDC_UPDATE_RELEASES)); // leaving the field reads it back
    }
};

TEST_F(OptionsSheetTest, TheControlsShowAndSetTheSettings)
{
    updater.m_nCheckInterval = 7;
    updater.m_bCheckDevVersions = TRUE;
    const UINT checkChanged = RegisterWindowMessageW(L"Check for updates");
    sheetSteps.push_back([&](HWND sheet) {
        ExpectWindowPicture(sheet, "UpdateOptions.png");
        EXPECT_EQ(WindowText(sheet), L"Options");
        EXPECT_EQ(GetDlgItem(sheet, 0x3021), nullptr) << "no Apply button";
        EXPECT_EQ(SendMessageW(Item(sheet, IDC_UPDATE_CHECK), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(WindowText(Item(sheet, IDC_UPDATE_INTERVAL)), L"7");
        EXPECT_EQ(SendMessageW(Item(sheet, IDC_UPDATE_DEVELOPMENT), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_TRUE(IsWindowEnabled(Item(sheet, IDC_UPDATE_INTERVAL)));
        EXPECT_TRUE(IsWindowEnabled(Item(sheet, IDC_UPDATE_CHECK_NOW)));
        EXPECT_NE(WindowText(Item(sheet, IDC_UPDATE_NOTE)).find(L"<b>No information is sent"), std::wstring::npos);
    });
    sheetSteps.push_back([&](HWND sheet) {
        // The check box switches the interval off and on.
        SendMessageW(Item(sheet, IDC_UPDATE_CHECK), BM_SETCHECK, BST_UNCHECKED, 0);
        ClickButton(sheet, IDC_UPDATE_CHECK);
        EXPECT_FALSE(IsWindowEnabled(Item(sheet, IDC_UPDATE_INTERVAL)));
        SendMessageW(Item(sheet, IDC_UPDATE_CHECK), BM_SETCHECK, BST_CHECKED, 0);
        ClickButton(sheet, IDC_UPDATE_CHECK);
        EXPECT_TRUE(IsWindowEnabled(Item(sheet, IDC_UPDATE_INTERVAL)));
    });
    sheetSteps.push_back([&](HWND sheet) {
        // 91 days and a non-web address are refused, and the sheet stays open.
        for (auto [id, text] : {std::pair{IDC_UPDATE_INTERVAL, L"91"}, {IDC_UPDATE_SOURCE, L"ftp://example.invalid/v.txt"}}) {
            SetText(sheet, id, text);
            shown.clear();
            SendMessageW(sheet, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(IsWindow(sheet));
            ASSERT_EQ(shown.size(), 1u) << std::string(text, text + 3);
            SetText(sheet, id, id == IDC_UPDATE_INTERVAL ? L"30" : L"https://example.invalid/v.txt");
        }
    });
    sheetSteps.push_back([&](HWND sheet) {
        SendMessageW(Item(sheet, IDC_UPDATE_DEVELOPMENT), BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageW(Item(sheet, IDC_UPDATE_RELEASES), BM_SETCHECK, BST_CHECKED, 0);
        ClickButton(sheet, IDC_UPDATE_RELEASES);
        SendMessageW(sheet, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(updater.ShowOptions(&main), IDOK);
    EXPECT_TRUE(sheetSteps.empty());
    EXPECT_EQ(updater.m_nCheckInterval, 30);
    EXPECT_EQ(app.GetProfileInt(L"Options", L"Update check interval", 0), 30u);
    EXPECT_FALSE(updater.m_bCheckDevVersions);
    EXPECT_EQ(app.GetProfileInt(L"Options", L"Check for updated development versions", 1), 0u);
    EXPECT_EQ(updater.m_strVersionFileURL, L"https://example.invalid/v.txt");
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, main.m_hWnd, checkChanged, checkChanged, PM_REMOVE))
        << "the check box ended as it began";

    // Cancel changes nothing.
    sheetSteps.push_back([&](HWND sheet) {
        SetText(sheet, IDC_UPDATE_INTERVAL, L"5");
        SendMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(updater.ShowOptions(&main), IDCANCEL);
    EXPECT_EQ(updater.m_nCheckInterval, 30);
}

TEST_F(OptionsSheetTest, CheckNowChecksAtOnceEvenWhenCheckingIsOff)
{
    UseServer();
    RecordEarlierCheck();
    updater.SetCheckForUpdates(FALSE);
    struct Case {
        LoopbackHttpServer::Response response;
        std::wstring caption;
        std::wstring text;
    };
    const Case cases[] = {
        {{200, "[Formulon]\nVersion=9.0\n"}, L"New Formulon Version Available", L"Formulon Version 9.0 is now available"},
        {{.stall = true}, L"", L"The version information could not be read from the server"},
        {{404, "gone"}, L"", L"The version information could not be read from the server"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        server.Route("/version.txt", c.response);
        shown.clear();
        sheetSteps.push_back([&](HWND sheet) { ClickButton(sheet, IDC_UPDATE_CHECK_NOW); });
        sheetSteps.push_back([&](HWND sheet) {
            EXPECT_TRUE(IsWindowEnabled(sheet)) << "enabled again after the check";
            SendMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
        });
        updater.ShowOptions(&main);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, c.caption);
        EXPECT_NE(shown[0].text.find(c.text), std::wstring::npos);
        EXPECT_FALSE(updater.IsChecking());
    }
    EXPECT_EQ(ReadLastUpdateCheck(app), kNow) << "the first check was recorded, the failed ones changed nothing";
}

TEST_F(OptionsSheetTest, CheckNowWaitsForACheckThatRunsOnTheVirtualClock)
{
    // A check under way when the sheet opens: "Check Now" is grey until the 500 ms poll sees it
    // end (the stalled server's receive time-out ends it).
    server.Route("/stall", {.stall = true});
    ASSERT_NE(updater.StartCheck(CString(server.Url("/stall")), nullptr, 0, 0), nullptr);
    DWORD openedAt = 0, endSeenAt = 0;
    bool sawDisabled = false;
    sheetIdle = [&](HWND sheet) {
        if (!openedAt) openedAt = GetTickCount();
        if (!IsWindowEnabled(Item(sheet, IDC_UPDATE_CHECK_NOW))) {
            sawDisabled = true;
            if (!endSeenAt && !updater.IsChecking()) endSeenAt = GetTickCount();
            if (endSeenAt) {
                EXPECT_LE(GetTickCount() - endSeenAt, COptionsUpdatesPage::kPollPeriodMs) << "the next poll enables it";
            }
            return;
        }
        EXPECT_FALSE(updater.IsChecking());
        SendMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    };
    updater.ShowOptions(&main);
    EXPECT_TRUE(sawDisabled);
    EXPECT_GE(GetTickCount() - openedAt, COptionsUpdatesPage::kPollPeriodMs) << "the button waited for a poll";
    // The finished check is still waiting to be evaluated; it failed, so it records nothing.
    EXPECT_EQ(updater.CheckForUpdate(FALSE, TRUE), ERROR_INTERNET_TIMEOUT);
}

TEST_F(OptionsSheetTest, CheckNowWithoutAnAddressSaysSo)
{
    sheetSteps.push_back([&](HWND sheet) { ClickButton(sheet, IDC_UPDATE_CHECK_NOW); });
    sheetSteps.push_back([&](HWND sheet) { SendMessageW(sheet, WM_COMMAND, IDCANCEL, 0); });
    updater.ShowOptions(&main);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find(L"No update source is configured"), std::wstring::npos);
    EXPECT_EQ(server.RequestCount(), 0);
}

} // namespace
