// The program on the headless display: start-up and its switches, the frame's size rules and menus,
// settings and last content across a restart, the close path, and the automation object in process.

#include "app/tests/ProgramTestSupport.h"

#include "app/Application.h"
#include "app/DlgCalendarView.h"
#include "app/FlnDoc.h"
#include "app/FormulaPageFile.h"
#include "app/FrameSettings.h"
#include "app/VBScriptView.h"
#include "commandbars/MenuBar.h"
#include "controls/HLinkCtrl.h"
#include "platform/com/ClassRegistry.h"
#include "platform/comdlg/CommDlg.h"
#include "platform/base/tests/RunCommand.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/com/tests/PrivateBus.h"
#include "platform/base/StringFormat.h"
#include "platform/sys/Mutex.h"
#include "platform/sys/WaitSources.h"
#include "platform/com/DispatchDriver.h"
#include "platform/com/LocalServer.h"
#include "platform/com/LocalServerRegistration.h"
#include "platform/com/SessionBusLibrary.h"
#include "platform/speech/VoiceText.h"
#include "res/FormulaPage.h"
#include "res/Formulon.h"

#include <filesystem>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <limits>
#include <optional>
#include <thread>

namespace {

TEST_F(ProgramTest, StartsWithItsFrameShownTitledAndReady)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_TRUE(frame.m_bReady);
    EXPECT_EQ(frame.GetWindowText(), L"Formulon 4.2");
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_MAINFRAME));
    CString version = frame.m_wndStatusBar.GetPaneText(frame.m_wndStatusBar.CommandToIndex(ID_INDICATOR_VERSION));
    EXPECT_EQ(version.Left(10), L"V4.2.0.0  ") << version.GetString();
    for (LONG idle = 0; m_app->OnIdle(idle); ++idle) {
    }
    EXPECT_FALSE(frame.m_wndStatusBar.GetPaneStyle(frame.m_wndStatusBar.CommandToIndex(ID_INDICATOR_VERSION)) & SBPS_DISABLED)
        << "the version line shows";
    EXPECT_NE(frame.SendMessage(WM_GETICON, ICON_BIG), 0);
    EXPECT_NE(frame.SendMessage(WM_GETICON, ICON_SMALL), 0);
    ASSERT_NE(m_app->GetFlnView(), nullptr);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(GetFocus(), Field(kFormulaField)) << "the focus is on control " << GetDlgCtrlID(GetFocus());
}

// The window's first picture is already the one it settles on: what the first idle moment
// updates (the bars' command states) is up to date before it is painted.
TEST_F(ProgramTest, TheFirstPictureIsTheSettledOne)
{
    ASSERT_TRUE(Start());
    auto screen = [this] {
        cairo_surface_t* surface = m_display->Screen();
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        return std::vector<unsigned char>(data, data + static_cast<size_t>(cairo_image_surface_get_stride(surface)) * cairo_image_surface_get_height(surface));
    };
    auto first = screen();
    for (LONG idle = 0; m_app->OnIdle(idle); ++idle) {
    }
    Pump();
    EXPECT_TRUE(screen() == first);
}

TEST_F(ProgramTest, RegistersItsAutomationClassesAtItsFirstIdleMoment)
{
    ASSERT_TRUE(Start());
    const std::string service = ServiceFilePath(L"FLN.Application");
    EXPECT_FALSE(std::filesystem::exists(service)) << "the first picture waited for the registration";
    for (LONG idle = 0; m_app->OnIdle(idle); ++idle) {
    }
    EXPECT_TRUE(std::filesystem::exists(service));
    EXPECT_TRUE(std::filesystem::exists(ServiceFilePath(L"FLN.Document")));
}

TEST_F(ProgramTest, ReadsItsOwnSwitches)
{
    struct Case {
        std::vector<CString> arguments;
        BOOL noMinimizeBox, exitAfterFirstResult, formulaOnly;
    };
    const Case cases[] = {
        { {}, FALSE, FALSE, FALSE },
        { { L"-m" }, TRUE, FALSE, FALSE },
        { { L"-m", L"x", L"-e" }, TRUE, TRUE, FALSE },
        { { L"-f" }, FALSE, FALSE, TRUE },
        { { L"-5" }, FALSE, FALSE, FALSE },
        { { L"-M" }, FALSE, FALSE, FALSE },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Start(c.arguments));
        EXPECT_EQ(m_app->m_bNoMinimizeBox, c.noMinimizeBox);
        EXPECT_EQ(m_app->m_bExitAfterFirstResult, c.exitAfterFirstResult);
        EXPECT_EQ(m_app->m_bFormulaOnly, c.formulaOnly);
        EXPECT_EQ((Frame().GetStyle() & WS_MINIMIZEBOX) == 0, c.noMinimizeBox == TRUE);
        Stop();
    }
}

TEST_F(ProgramTest, TheFrameIsNeverTrackedBelow450By400)
{
    ASSERT_TRUE(Start());
    MINMAXINFO info {};
    Frame().SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 450);
    EXPECT_EQ(info.ptMinTrackSize.y, 400);
}

TEST_F(ProgramTest, FitsItselfToTheFormulaPageOnRequest)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    frame.SetWindowPos(nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    frame.SendMessage(WM_COMMAND, ID_TOGGLE_RESIZE_WINDOW);
    Pump();
    EXPECT_TRUE(frame.m_bAutoResize);
    CRect client;
    Page().GetClientRect(&client);
    EXPECT_EQ(client.Size(), Page().GetTotalSize());

    // Maximised, the command restores the window and fits nothing; the next page switch fits it.
    frame.ShowWindow(SW_MAXIMIZE);
    Pump();
    ASSERT_EQ(frame.m_nWindowState, CMainFrame::WindowState::Maximised);
    frame.SendMessage(WM_COMMAND, ID_TOGGLE_RESIZE_WINDOW);
    Pump();
    EXPECT_FALSE(frame.m_bAutoResize);
    EXPECT_FALSE(IsZoomed(frame.m_hWnd));
    frame.SetWindowPos(nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
    frame.m_bAutoResize = TRUE;
    frame.SendMessage(WM_TABACTIVATED, 0);
    Pump();
    Page().GetClientRect(&client);
    EXPECT_EQ(client.Size(), Page().GetTotalSize());

    // On the Graph page the command changes nothing.
    frame.SendMessage(WM_TABACTIVATED, 2);
    frame.SendMessage(WM_COMMAND, ID_TOGGLE_RESIZE_WINDOW);
    EXPECT_TRUE(frame.m_bAutoResize);
}

// The menu bar and the status bar span the frame after every change of its size and state, and
// the status bar greets with "Ready".
TEST_F(ProgramTest, TheBarsFollowTheFramesWidth)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    EXPECT_EQ(frame.m_wndStatusBar.GetPaneText(0), L"Ready");
    CControlBar* menuBarObject = frame.GetControlBar(AFX_IDW_CONTROLBAR_LAST);
    ASSERT_NE(menuBarObject, nullptr);
    HWND menuBar = menuBarObject->m_hWnd;
    auto expectSpanning = [&](const char* when) {
        Pump();
        CRect client, menu, status;
        frame.GetClientRect(&client);
        frame.ClientToScreen(&client);
        GetWindowRect(menuBar, &menu);
        frame.m_wndStatusBar.GetWindowRect(&status);
        EXPECT_EQ(status.left, client.left) << when;
        EXPECT_EQ(status.right, client.right) << when;
        EXPECT_GE(menu.left, client.left) << when;
        EXPECT_GE(menu.right, client.right - 4) << when << ": the menu bar ends at " << menu.right - client.left << " of " << client.Width();
        EXPECT_LE(menu.right, client.right) << when;
    };
    expectSpanning("at the start");
    frame.SetWindowPos(nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    expectSpanning("wider");
    frame.SetWindowPos(nullptr, 0, 0, 460, 420, SWP_NOMOVE | SWP_NOZORDER);
    expectSpanning("narrower");
    frame.ShowWindow(SW_MAXIMIZE);
    expectSpanning("maximised");
    frame.ShowWindow(SW_MINIMIZE);
    frame.ShowWindow(SW_RESTORE);
    expectSpanning("restored from the task bar");
    frame.ShowWindow(SW_RESTORE);
    expectSpanning("restored");
}

// The first start fits the frame to the Formula page's form.
TEST_F(ProgramTest, TheFirstStartFitsTheFrameToTheForm)
{
    ASSERT_TRUE(Start());
    CRect client;
    Page().GetClientRect(&client);
    EXPECT_EQ(client.Size(), Page().GetTotalSize());
    EXPECT_FALSE(Page().GetStyle() & (WS_HSCROLL | WS_VSCROLL));
}

// Smaller than its form, the page scrolls so that every control can be reached; larger, the form
// stays in the middle.
TEST_F(ProgramTest, TheFormScrollsWhenSmallAndStaysCentredWhenLarge)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    CFlnView& page = Page();
    const CSize form = page.GetTotalSize();
    auto visibleInPage = [&](int id) {
        CRect control, view;
        GetWindowRect(GetDlgItem(page.m_hWnd, id), &control);
        page.GetClientRect(&view);
        page.ClientToScreen(&view);
        CRect both;
        return both.IntersectRect(&control, &view) && both == control;
    };
    constexpr int kConstantG = 161, kPhysicalValue = 297, kPageTabs = 247, kKeyX = 140;
    frame.SetWindowPos(nullptr, 0, 0, 450, 400, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    ASSERT_TRUE(page.GetStyle() & WS_VSCROLL) << "the page is higher than the view";
    EXPECT_TRUE(visibleInPage(kKeyX));
    EXPECT_FALSE(visibleInPage(kPhysicalValue));
    page.SendMessage(WM_VSCROLL, SB_BOTTOM);
    if (page.GetStyle() & WS_HSCROLL)
        page.SendMessage(WM_HSCROLL, SB_BOTTOM);
    Pump();
    EXPECT_TRUE(visibleInPage(kPhysicalValue));
    EXPECT_TRUE(visibleInPage(kConstantG));
    SCROLLINFO bar { sizeof bar, SIF_ALL };
    GetScrollInfo(page.m_hWnd, SB_VERT, &bar);
    EXPECT_EQ(bar.nMax, form.cy - 1);
    EXPECT_EQ(bar.nPos + static_cast<int>(bar.nPage), form.cy);

    page.SendMessage(WM_VSCROLL, SB_TOP);
    page.SendMessage(WM_HSCROLL, SB_TOP);
    frame.SetWindowPos(nullptr, 0, 0, 1000, 900, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_FALSE(page.GetStyle() & (WS_HSCROLL | WS_VSCROLL));
    CRect view, tabs;
    page.GetClientRect(&view);
    page.ClientToScreen(&view);
    GetWindowRect(GetDlgItem(page.m_hWnd, kPageTabs), &tabs);
    // The tabs stand at 5, 4 dialog units of the form; the form's margin is shared on both sides.
    const int left = tabs.left - view.left, top = tabs.top - view.top;
    EXPECT_NEAR(left, (view.Width() - form.cx) / 2 + 8, 2);
    EXPECT_NEAR(top, (view.Height() - form.cy) / 2 + 7, 2);
}

TEST_F(ProgramTest, AFormPageBringsBackItsMenuOnceStartUpHasFinished)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    // The Formula page is tab 0 and the Date & Time page tab 1; the tabs after them are no form pages
    // (the Graph page, or none).
    frame.SetMenuResource(IDR_GRAPHPAGE);
    frame.m_bReady = FALSE;
    frame.SendMessage(WM_TABACTIVATED, 0);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_GRAPHPAGE));
    frame.m_bReady = TRUE;
    frame.SendMessage(WM_TABACTIVATED, 2);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_GRAPHPAGE));
    frame.SendMessage(WM_TABACTIVATED, 3);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_GRAPHPAGE));
    frame.SendMessage(WM_TABACTIVATED, 1);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_MAINFRAME));
    EXPECT_EQ(frame.m_nActivePage, 1);
    frame.SetMenuResource(IDR_GRAPHPAGE);
    frame.SendMessage(WM_TABACTIVATED, 0);
    EXPECT_EQ(frame.GetMenuResource(), static_cast<UINT>(IDR_MAINFRAME));
    EXPECT_EQ(frame.m_nActivePage, 0);
}

TEST_F(ProgramTest, SettingsAndLastContentSurviveARestart)
{
    ASSERT_TRUE(Start());
    Calculate(L"x^2+A");
    SetFieldText(392, L"9"); // a new digit count shows the result again
    SetFieldText(kFieldA, L"2.50");
    SetFieldText(kFieldX, L"3");
    Frame().m_bSpeech = TRUE;
    Frame().m_bSharedMemory = FALSE;
    Frame().SetWindowPos(nullptr, 30, 40, 700, 600, SWP_NOZORDER);
    Pump();
    Stop();

    ASSERT_TRUE(Start());
    CRect placed;
    Frame().GetWindowRect(&placed);
    EXPECT_EQ(placed, CRect(30, 40, 730, 640));
    EXPECT_TRUE(Frame().m_bSpeech);
    EXPECT_FALSE(Frame().m_bSharedMemory);
    EXPECT_EQ(Page().m_strFormula, L"x^2+A");
    EXPECT_EQ(FieldText(kFormulaField), L"x^2+A");
    EXPECT_EQ(FieldText(kFieldA), L"2.50");
    EXPECT_EQ(FieldText(kFieldX), L"3");
    EXPECT_EQ(FieldText(392), L"9");
    std::string lastContent = TempSettingsFolder::ReadAll(m_settings.settings() + "/Fln.ini");
    EXPECT_NE(lastContent.find("f(x)=x^2+A"), std::string::npos) << lastContent;
}

// Settings written by hand or left by a damaged profile are taken as they stand, yet nothing below
// overflows on them and the window comes up on the screen, whole.
TEST_F(ProgramTest, ExtremeSettingsStillBringTheWindowUpOnTheScreen)
{
    constexpr int lowest = std::numeric_limits<int>::min(), highest = std::numeric_limits<int>::max();
    {
        CWinApp profile { L"FLN" };
        profile.SetRegistryKey(L"Formulon");
        FrameSettings extreme;
        extreme.placement = WINDOWPLACEMENT { sizeof(WINDOWPLACEMENT), 0, SW_SHOWNORMAL, { lowest, lowest }, { highest, highest },
            { lowest, lowest, highest, highest } };
        extreme.inputFormulaHeight = highest;
        extreme.inputCalendarHeight = lowest;
        extreme.digits = lowest;
        extreme.formatOption = highest;
        ASSERT_TRUE(extreme.Save(profile));
    }
    ASSERT_TRUE(Start());
    RECT work {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CRect placed;
    Frame().GetWindowRect(&placed);
    EXPECT_TRUE(Frame().IsWindowVisible());
    EXPECT_FALSE(placed.IsRectEmpty());
    EXPECT_GE(placed.left, work.left);
    EXPECT_GE(placed.top, work.top);
    EXPECT_LE(placed.right, work.right);
    EXPECT_LE(placed.bottom, work.bottom);
    Calculate(L"1/3");
    EXPECT_FALSE(FieldText(kOutputLine).IsEmpty());
}

// A stored place that holds no usable window (empty, inverted, below the window's smallest size, on
// no monitor) gives way to the place a new window gets; one partly off the screen is moved onto it.
TEST_F(ProgramTest, AStoredPlaceOfNoUseGivesWayAndOnePartlyOffTheScreenIsMovedOn)
{
    constexpr int lowest = std::numeric_limits<int>::min(), highest = std::numeric_limits<int>::max();
    ASSERT_TRUE(Start());
    CRect fresh;
    Frame().GetWindowRect(&fresh);
    Stop();
    RECT work {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const struct {
        const char* what;
        RECT stored;
        RECT expected;
    } cases[] = {
        { "empty", { 100, 100, 100, 100 }, fresh },
        { "inverted, at the ends of the range", { highest, highest, lowest, lowest }, fresh },
        { "smaller than the window's smallest size", { 10, 10, 300, 300 }, fresh },
        { "on no monitor", { work.right + 500, 50, work.right + 1100, 650 }, fresh },
        { "partly off the screen", { work.left - 200, work.bottom - 300, work.left + 400, work.bottom + 200 },
            { work.left, work.bottom - 500, work.left + 600, work.bottom } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            CWinApp profile { L"FLN" };
            profile.SetRegistryKey(L"Formulon");
            FrameSettings stored;
            stored.placement = WINDOWPLACEMENT { sizeof(WINDOWPLACEMENT), 0, SW_SHOWNORMAL, { -1, -1 }, { -1, -1 }, c.stored };
            ASSERT_TRUE(stored.Save(profile));
        }
        ASSERT_TRUE(Start());
        CRect placed;
        Frame().GetWindowRect(&placed);
        if (CRect(c.expected) == fresh) {
            // A new window's size; its place steps on with each run.
            EXPECT_EQ(placed.Size(), fresh.Size());
            EXPECT_TRUE(CRect(work).PtInRect(placed.TopLeft()) && placed.right <= work.right && placed.bottom <= work.bottom) << placed.left << "," << placed.top;
        } else {
            EXPECT_EQ(placed, CRect(c.expected));
        }
        Stop();
    }
}

// The Date & Time page is the second tab: it computes with the application's date parser, keeps the
// parser's date format equal to its own, and its content survives a restart in "Fln.ini".
TEST_F(ProgramTest, TheDateAndTimePageIsTheSecondTab)
{
    ASSERT_TRUE(Start());
    auto* page = dynamic_cast<CDlgCalendarView*>(m_app->GetCalendarView());
    ASSERT_NE(page, nullptr);
    EXPECT_GE(Frame().m_wndTab.GetTabCount(), 2);
    EXPECT_EQ(&GetDateParser(), &m_app->m_DateParser);
    Frame().m_wndTab.ActivateTab(1);
    Pump();
    EXPECT_EQ(Frame().m_nActivePage, 1);
    EXPECT_TRUE(page->IsWindowVisible());
    EXPECT_EQ(Frame().GetMenuResource(), static_cast<UINT>(IDR_MAINFRAME));
    // Its clock ticks: the year label shows the calendar's year.
    m_display->Advance(1000);
    Pump();
    wchar_t year[16] {};
    ::GetDlgItemTextW(page->m_hWnd, IDC_YEAR_LABEL, year, 16);
    EXPECT_NE(CString(year), CString(L"2007"));
    // The page's commands reach it through the frame while it is the active page.
    Frame().SendMessage(WM_COMMAND, ID_DATE_FORMAT_MONTH_FIRST);
    Pump();
    EXPECT_EQ(m_app->m_DateParser.DateFormat, 3);
    ::SetDlgItemTextW(page->m_hWnd, IDC_DATE_INPUT, L"D<[01/01/2024] + D>[04/15/2024]");
    page->SendMessage(WM_COMMAND, IDC_DATE_KEY_EQUALS);
    Pump();
    wchar_t output[64] {};
    ::GetDlgItemTextW(page->m_hWnd, IDC_DATE_OUTPUT, output, 64);
    EXPECT_EQ(CString(output), CString(L"+105d 0h 0m 0s "));
    Frame().SendMessage(WM_COMMAND, ID_FONT_LARGE);
    Stop();

    ASSERT_TRUE(Start());
    page = dynamic_cast<CDlgCalendarView*>(m_app->GetCalendarView());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->m_nDateFormat, CDlgCalendarView::DateFormat::MonthDayYearSlashes);
    EXPECT_EQ(m_app->m_DateParser.DateFormat, 3);
    EXPECT_EQ(page->m_nFontSize, 14);
    wchar_t input[64] {};
    ::GetDlgItemTextW(page->m_hWnd, IDC_DATE_INPUT, input, 64);
    EXPECT_EQ(CString(input), CString(L"D<[01/01/2024] + D>[04/15/2024]"));
    const std::string lastContent = TempSettingsFolder::ReadAll(m_settings.settings() + "/Fln.ini");
    EXPECT_NE(lastContent.find("[TAB_DATEFORMEL]"), std::string::npos) << lastContent;
    EXPECT_NE(lastContent.find("[TAB_FORMEL]"), std::string::npos) << lastContent;
}

// Settings that cannot be written (here: a folder stands where each file goes) are not lost
// without a word: the close says once why they could not be saved.
TEST_F(ProgramTest, SettingsThatCannotBeSavedAreReportedOnceAtTheClose)
{
    const std::string files[] = { "/registry.txt", "/Fln.ini" };
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(Start());
        std::filesystem::remove(m_settings.settings() + file);
        std::filesystem::create_directories(m_settings.settings() + file + "/in the way");
        m_messages.clear();
        Stop();
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_NE(m_messages[0].find(L"The settings could not be saved."), std::wstring::npos);
        std::filesystem::remove_all(m_settings.settings() + file);
    }
}

// A registry file that is a folder, a FIFO or a huge sparse file costs only the settings it holds:
// the last content is still saved, and the report names what stands there rather than a denial.
TEST_F(ProgramTest, ASpecialRegistryFileCostsNothingElseAndIsReportedWithItsCause)
{
    const std::string registry = m_settings.settings() + "/registry.txt";
    const struct {
        const char* name;
        std::function<void()> make;
        const wchar_t* cause;
    } specials[] = {
        { "folder", [&] { std::filesystem::create_directories(registry + "/in the way"); }, L"is a folder" },
        { "FIFO", [&] { ASSERT_EQ(::mkfifo(registry.c_str(), 0600), 0); }, L"is not a regular file" },
        { "sparse", [&] { std::filesystem::resize_file(registry, 2ll << 30); }, L"is too large" },
    };
    for (const auto& special : specials) {
        SCOPED_TRACE(special.name);
        ASSERT_TRUE(Start());
        const std::wstring formula = L"7*" + std::to_wstring(&special - specials);
        Calculate(formula.c_str());
        if (std::string(special.name) == "sparse")
            TempSettingsFolder::WriteAll(registry, "");
        else
            std::filesystem::remove(registry);
        special.make();
        m_messages.clear();
        Stop();
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_NE(m_messages[0].find(special.cause), std::wstring::npos) << CString(m_messages[0].c_str()).ToUtf8();
        EXPECT_EQ(m_messages[0].find(L"denied"), std::wstring::npos) << CString(m_messages[0].c_str()).ToUtf8();
        EXPECT_NE(TempSettingsFolder::ReadAll(m_settings.settings() + "/Fln.ini").find("f(x)=" + CString(formula.c_str()).ToUtf8()),
            std::string::npos);
        std::filesystem::remove_all(registry);
    }
}

// A damaged last-content file raises nothing while the program starts: what can be read is loaded
// quietly, what cannot keeps the page's value, and the problems are reported once, after the window
// shows and the program is ready.
TEST_F(ProgramTest, ADamagedLastContentFileIsReportedOnceAfterTheWindowShows)
{
    std::filesystem::create_directories(m_settings.settings());
    TempSettingsFolder::WriteAll(m_settings.settings() + "/Fln.ini",
        "[TAB_FORMEL]\r\nf(x)=x+1\r\n[CONSTANTS]\r\nA=lots\r\nB=2.5\r\nX=3\r\nComma=many\r\nCommaTyp=sci\r\n"
        "[VERIFY]\r\nVerifyResult=1\r\n[TAB_DATEFORMEL]\r\nf=D<[01.01.2024]\r\n[FORMAT]\r\nDateFormat=9\r\n");
    std::vector<bool> shownWhenAsked;
    SetMessageBoxHandler([&](const wchar_t* text, const wchar_t*, UINT) {
        m_messages.emplace_back(text);
        CMainFrame* frame = m_app->GetMainFrame();
        shownWhenAsked.push_back(frame && frame->m_bReady && frame->IsWindowVisible());
        return IDOK;
    });
    ASSERT_TRUE(Start());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(shownWhenAsked[0]);
    const std::wstring& report = m_messages[0];
    EXPECT_NE(report.find(L"Fln.ini"), std::wstring::npos) << report;
    for (const wchar_t* named : { L"\"A\"", L"\"Comma\"", L"\"CommaTyp\"", L"Date & Time" })
        EXPECT_NE(report.find(named), std::wstring::npos) << named << " in " << report;
    EXPECT_EQ(report.find(L"\"B\""), std::wstring::npos) << report;

    // The readable values are loaded, the damaged ones keep what the page had, nothing was calculated.
    EXPECT_EQ(FieldText(kFormulaField), L"x+1");
    EXPECT_EQ(FieldText(IDC_VALUE_B), L"2.5");
    EXPECT_EQ(FieldText(kFieldA), L"1");
    EXPECT_EQ(FieldText(kFieldX), L"3");
    EXPECT_EQ(FieldText(392), L"6");
    EXPECT_EQ(Page().m_nNumberFormat, NumberFormatFloating);
    EXPECT_TRUE(Page().m_bVerify);
    EXPECT_EQ(FieldText(kOutputLine), L"0.0000");
}

// "Load Content..." reads a damaged parameter file quietly: nothing is calculated while it loads
// (a new digit count used to calculate again), and what the page could not take is reported once,
// at the end.
TEST_F(ProgramTest, LoadContentNeverCalculatesAndReportsTheFilesProblemsOnceAtTheEnd)
{
    ASSERT_TRUE(Start());
    Calculate(L"2/3");
    const CString shown = FieldText(kOutputLine);
    const std::string path = m_settings.root() + "/damaged.fm";
    TempSettingsFolder::WriteAll(path, "[TAB_FORMEL]\nf(x)=x*7\n[CONSTANTS]\nComma=9\nA=1.5\nB=seven\nX=2\n");
    // The file dialog is answered with the file, as the user would type its name and press Enter.
    SetModalLoopHook([&](HWND dialog) {
        if (HWND name = GetDlgItem(dialog, edt1)) {
            SetWindowTextW(name, CString(path.c_str()));
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
    });
    Frame().SendMessage(WM_COMMAND, ID_FILE_LOAD_CONTENT);
    Pump();

    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"\"B\" = \"seven\""), std::wstring::npos) << m_messages[0];
    EXPECT_EQ(FieldText(kOutputLine), shown) << "nothing was calculated";
    EXPECT_EQ(FieldText(kFormulaField), L"x*7");
    EXPECT_EQ(FieldText(392), L"9");
    EXPECT_EQ(FieldText(kFieldA), L"1.5");
    EXPECT_EQ(FieldText(IDC_VALUE_B), L"1");

    // A file that cannot be read says why and changes nothing.
    m_messages.clear();
    std::filesystem::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    Frame().SendMessage(WM_COMMAND, ID_FILE_LOAD_CONTENT);
    Pump();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"could not be loaded"), std::wstring::npos) << m_messages[0];
    EXPECT_EQ(FieldText(kFieldA), L"1.5");
    SetModalLoopHook({});
}

// A formula longer than the input line takes, from the last content or from a parameter file named
// on the command line, is cut to it at start and the status bar says so once the window shows; the
// cut formula is what the program keeps, so the next start reads no more.
TEST_F(ProgramTest, AFormulaLongerThanTheInputLineTakesIsCutAtStartAndTheStatusBarSaysSo)
{
    std::filesystem::create_directories(m_settings.settings());
    const std::string longFormula = "1+" + std::string(200'000, '2');
    TempSettingsFolder::WriteAll(m_settings.settings() + "/Fln.ini", "[TAB_FORMEL]\r\nf(x)=" + longFormula + "\r\n");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(Page().GetDlgItem(kFormulaField)->GetWindowText(), CString(longFormula.substr(0, kLongestFormula).c_str()));
    EXPECT_EQ(Page().m_strFormula.GetLength(), kLongestFormula);
    const CString status = Frame().m_wndStatusBar.GetPaneText(0);
    EXPECT_NE(status.Find(L"The formula in "), -1) << status.GetString();
    EXPECT_NE(status.Find(L"Fln.ini was cut to 1024 characters"), -1) << status.GetString();
    Stop();
    EXPECT_LT(std::filesystem::file_size(m_settings.settings() + "/Fln.ini"), 4096u) << "the long formula was kept";

    const std::string path = m_settings.root() + "/long.fm";
    TempSettingsFolder::WriteAll(path, "[TAB_FORMEL]\nf(x)=x\n[TAB_DERIVATION]\nf'(x)=" + longFormula + "\n");
    ASSERT_TRUE(Start({ CString(path.c_str()) }));
    EXPECT_EQ(FieldText(kFormulaField), L"x");
    EXPECT_EQ(Page().m_strDerivative.GetLength(), kLongestFormula);
    EXPECT_NE(Frame().m_wndStatusBar.GetPaneText(0).Find(L"The derivative in " + CString(path.c_str()) + L" was cut"), -1)
        << Frame().m_wndStatusBar.GetPaneText(0).GetString();
}

// A parameter file named on the command line is loaded into the Formula page after its last
// content; one that cannot be read is reported once the window shows.
TEST_F(ProgramTest, AParameterFileNamedOnTheCommandLineIsLoaded)
{
    const std::string path = m_settings.root() + "/start.fm";
    TempSettingsFolder::WriteAll(path, "[TAB_FORMEL]\nf(x)=cos(x)*B\n[CONSTANTS]\nB=0.5\nComma=3\n");
    ASSERT_TRUE(Start({ L"-f", CString(path.c_str()) }));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(FieldText(kFormulaField), L"cos(x)*B");
    EXPECT_EQ(FieldText(IDC_VALUE_B), L"0.5");
    EXPECT_EQ(FieldText(392), L"3");
    EXPECT_TRUE(m_app->m_bFormulaOnly);
    Stop();

    ASSERT_TRUE(Start({ CString((m_settings.root() + "/missing.fm").c_str()) }));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"missing.fm"), std::wstring::npos) << m_messages[0];
    EXPECT_EQ(FieldText(kFormulaField), L"cos(x)*B") << "the last content stays";
}

// With the speech engine but no sound output, "Output to Voice" says once that speech is unavailable
// and stays off; speech switched on from the settings goes off at the first result, which shows.
TEST_F(ProgramTest, SpeechWithoutASoundOutputSaysSoOnceAndStaysOff)
{
    AudioOpener previous = SetSpeechAudioOpener([](int, std::string& error) -> std::unique_ptr<AudioOutput> {
        error = "no sound device";
        return nullptr;
    });
    ASSERT_TRUE(Start());
    if (!Frame().IsSpeechAvailable()) {
        SetSpeechAudioOpener(std::move(previous));
        GTEST_SKIP() << "the speech engine's voice data is not installed";
    }
    Frame().SendMessage(WM_COMMAND, ID_OUTPUT_VOICE);
    Pump();
    EXPECT_FALSE(Frame().m_bSpeech);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"Speech is unavailable"), std::wstring::npos) << m_messages[0];

    m_messages.clear();
    Frame().m_bSpeech = TRUE;
    Calculate(L"6*7");
    Calculate(L"6*8");
    EXPECT_EQ(FieldText(kOutputLine).Left(3), L"48.") << "the result, not an error text";
    EXPECT_FALSE(Frame().m_bSpeech);
    EXPECT_EQ(m_messages.size(), 1u);
    SetSpeechAudioOpener(std::move(previous));
}

TEST_F(ProgramTest, TheParameterFileCarriesThePageAsItWasTyped)
{
    ASSERT_TRUE(Start());
    Calculate(L"sin(x)*B");
    SetFieldText(kFieldA, L"1E-3");
    SetFieldText(kFieldX, L"0.250");
    CString path = CString((m_settings.root() + "/page.fm").c_str());
    CFormulaPageFile::Save(Page(), path);
    EXPECT_FALSE(std::filesystem::exists(m_settings.root() + "/.formulon-lock")) << "nothing is left beside the user's file";

    Calculate(L"cos(x)");
    SetFieldText(kFieldA, L"7");
    SetFieldText(kFieldX, L"1");
    ASSERT_TRUE(CFormulaPageFile::Load(Page(), path));
    EXPECT_EQ(FieldText(kFormulaField), L"sin(x)*B");
    EXPECT_EQ(FieldText(kFieldA), L"1E-3");
    EXPECT_EQ(FieldText(kFieldX), L"0.250");
    EXPECT_FALSE(CFormulaPageFile::Load(Page(), CString((m_settings.root() + "/missing.fm").c_str())));
    EXPECT_EQ(FieldText(kFieldA), L"1E-3");
}

// Ctrl+C, V, X and Z act on the edit field that has the focus; on the formula when a key has it.
TEST_F(ProgramTest, EditKeysActOnTheFocusedField)
{
    ASSERT_TRUE(Start());
    auto chord = [&](unsigned key) {
        m_display->InjectKey(VK_CONTROL, true);
        m_display->InjectKey(key, true);
        m_display->InjectKey(key, false);
        m_display->InjectKey(VK_CONTROL, false);
        Pump();
    };
    SetFieldText(kFormulaField, L"sin(x)");
    SetFieldText(kFieldA, L"1.5");
    m_display->SetClipboardText("2.75");
    SetFocus(Field(kFieldA));
    SendMessageW(Field(kFieldA), EM_SETSEL, 0, -1);
    chord('V');
    EXPECT_EQ(FieldText(kFieldA), L"2.75");
    EXPECT_EQ(FieldText(kFormulaField), L"sin(x)");
    chord('Z');
    EXPECT_EQ(FieldText(kFieldA), L"1.5");
    SendMessageW(Field(kFieldA), EM_SETSEL, 0, 2);
    chord('X');
    EXPECT_EQ(FieldText(kFieldA), L"5");
    EXPECT_EQ(m_display->ClipboardText(), std::optional<std::string>("1."));
    SetFocus(Field(kFieldX));
    SendMessageW(Field(kFieldX), EM_SETSEL, 0, 0);
    chord('C');
    EXPECT_EQ(m_display->ClipboardText(), std::optional<std::string>("1.")) << "nothing selected in x: nothing copied";
    EXPECT_EQ(FieldText(kFormulaField), L"sin(x)");

    // On a key the commands go to the formula, whose copy takes it whole.
    SetFocus(GetDlgItem(Page().m_hWnd, 109));
    chord('C');
    EXPECT_EQ(m_display->ClipboardText(), std::optional<std::string>("sin(x)"));
    SendMessageW(Field(kFormulaField), EM_SETSEL, 6, 6);
    chord('V');
    EXPECT_EQ(FieldText(kFormulaField), L"sin(x)sin(x)");
    EXPECT_EQ(FieldText(kFieldA), L"5");
}

// F10, like Alt alone, puts the menu bar into its keyboard mode; neither opens the window menu.
TEST_F(ProgramTest, F10EntersTheMenuBarAsAltDoes)
{
    ASSERT_TRUE(Start());
    auto* menuBar = dynamic_cast<SECMenuBar*>(Frame().GetControlBar(AFX_IDW_CONTROLBAR_LAST));
    ASSERT_NE(menuBar, nullptr);
    auto popupShown = [] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; };
    for (unsigned key : { unsigned(VK_MENU), unsigned(VK_F10) }) {
        m_display->InjectKey(key, true);
        m_display->InjectKey(key, false);
        Pump();
        EXPECT_TRUE(menuBar->IsKeyboardMode()) << "key " << key;
        EXPECT_FALSE(popupShown()) << "key " << key;
        m_display->InjectKey(VK_ESCAPE, true);
        m_display->InjectKey(VK_ESCAPE, false);
        Pump();
        EXPECT_FALSE(menuBar->IsKeyboardMode()) << "key " << key;
    }
}

TEST_F(ProgramTest, ClosingWithAChangedScriptAsksFirst)
{
    ASSERT_TRUE(Start());
    auto* document = dynamic_cast<CFlnDoc*>(Frame().GetActiveDocument());
    ASSERT_NE(document, nullptr);
    document->m_edit.SetModified(TRUE);
    HWND frame = Frame().m_hWnd;

    m_answer = IDCANCEL;
    Frame().SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(IsWindow(frame));
    ASSERT_EQ(m_messages.size(), 1u);

    // Save, with the script page's save dialog cancelled: the program stays.
    auto* scriptPage = dynamic_cast<CVBScriptView*>(m_app->GetScriptView());
    ASSERT_NE(scriptPage, nullptr);
    int prompts = 0;
    scriptPage->SetFilePrompt([&](CString&, UINT, BOOL) { return ++prompts, FALSE; });
    m_answer = IDYES;
    Frame().SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(IsWindow(frame));
    EXPECT_EQ(prompts, 1);

    int saved = 0;
    document->SetScriptSaver([&] {
        document->m_edit.SetModified(FALSE);
        return ++saved, TRUE;
    });
    Frame().SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(saved, 1);
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(ProgramTest, ClosingWithoutSavingTheScriptQuits)
{
    ASSERT_TRUE(Start());
    dynamic_cast<CFlnDoc*>(Frame().GetActiveDocument())->m_edit.SetModified(TRUE);
    HWND frame = Frame().m_hWnd;
    m_answer = IDNO;
    Frame().SendMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(m_messages.size(), 1u) << "asked once";
    EXPECT_TRUE(std::filesystem::exists(m_settings.settings() + "/Fln.ini"));
}

TEST_F(ProgramTest, TheAboutBoxShowsTheVersionOverTheMainWindow)
{
    ASSERT_TRUE(Start());
    CString version;
    CRect box, frame;
    Frame().GetWindowRect(&frame);
    SetModalLoopHook([&](HWND dialog) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, IDC_ABOUT_VERSION, text, 256);
        version = text;
        GetWindowRect(dialog, &box);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Frame().SendMessage(WM_COMMAND, ID_APP_ABOUT);
    SetModalLoopHook({});
    EXPECT_EQ(version.Left(10), L"V4.2.0.0  ");
    EXPECT_LE(std::abs(box.CenterPoint().x - frame.CenterPoint().x), 1);
    EXPECT_LE(std::abs(box.CenterPoint().y - frame.CenterPoint().y), 1);
}

TEST_F(ProgramTest, CarriesTheTextsOfItsCommandsAndTheLinkProperties)
{
    ASSERT_TRUE(Start());
    CString text;
    text.LoadString(ID_FILE_LOAD_CONTENT);
    EXPECT_EQ(text, L"Load Edit Content\nLoad Edit Content");
    text.LoadString(ID_FILE_SAVE_CONTENT);
    EXPECT_EQ(text, L"Save Edit Content\nSave Edit Content");
    HMENU menu = LoadMenuW(m_app->m_hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    wchar_t item[64] = {};
    GetMenuStringW(menu, ID_FONT_BOLD, item, 64, MF_BYCOMMAND);
    DestroyMenu(menu);
    EXPECT_EQ(CString(item), L"Font &Bold");

    // The About box's link: its "Properties" shows the link in the program's own sheet and page.
    CString caption, shownText;
    int modal = 0;
    SetModalLoopHook([&](HWND dialog) {
        if (++modal == 1) {
            SendDlgItemMessageW(dialog, IDC_ABOUT_WEBPAGE, WM_COMMAND, CHLinkCtrl::ID_LINK_PROPERTIES, 0);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            return;
        }
        wchar_t buffer[128] = {};
        GetWindowTextW(dialog, buffer, 128);
        caption = buffer;
        for (HWND page = GetWindow(dialog, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
            if (GetDlgItem(page, IDC_LINK_TEXT)) {
                GetDlgItemTextW(page, IDC_LINK_TEXT, buffer, 128);
                shownText = buffer;
            }
        }
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Frame().SendMessage(WM_COMMAND, ID_APP_ABOUT);
    SetModalLoopHook({});
    EXPECT_EQ(modal, 2) << "the properties sheet was shown";
    EXPECT_EQ(caption, L"Properties");
    EXPECT_EQ(shownText, L"Visit Formulon's Webpage");
    EXPECT_TRUE(m_messages.empty());
}

// Started by the bus for a client, the program serves that client alone and never lingers: it ends
// at once without a bus or beside too many others like it, after a short while when no client
// comes for its object, and when its bus goes away.
TEST_F(ProgramTest, AProgramStartedForAutomationNeverLingers)
{
    // Slots of the test's own: programs of other tests running beside it keep theirs.
    std::filesystem::create_directories(m_settings.root() + "/runtime");
    std::filesystem::permissions(m_settings.root() + "/runtime", std::filesystem::perms::owner_all);
    ScopedEnv runtime("XDG_RUNTIME_DIR", m_settings.root() + "/runtime");
    // Ends a start, with what its end posted.
    auto end = [this] {
        m_app.reset();
        Pump();
        m_quitPosted = false;
    };
    EXPECT_FALSE(Start({ L"-Automation" })) << "no bus to serve on";
    end();

    std::optional<PrivateBus> bus(std::in_place);
    ASSERT_TRUE(bus->running());
    // Waits on the bus and the system's clock as the program's loop would: idle first, then wait.
    auto waitForQuit = [this] {
        return WaitUntil([this] { return m_quitPosted; }, kWaitLimit, [this] {
            m_app->OnIdle(0);
            PumpWaitSources(20);
            Pump();
        });
    };
    m_app = std::make_unique<CFlnApp>(std::vector<CString> { L"formulon", L"-Automation" });
    m_app->m_nAutomationIdleMilliseconds = 300;
    ASSERT_TRUE(m_app->InitInstance());
    EXPECT_EQ(m_app->m_pMainWnd, nullptr);
    // A start that took longer than the idle time ends nothing: the time counts from the first wait.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    PumpWaitSources(0);
    Pump();
    EXPECT_FALSE(m_quitPosted) << "the time counted before the program waited";
    m_app->OnIdle(0);
    m_display->Advance(60000);
    EXPECT_FALSE(m_quitPosted) << "the display's clock counts";
    EXPECT_TRUE(waitForQuit()) << "no client came";
    end();

    // A client's request that waits unread when the idle time ends is served: it is the request the
    // bus started the program for. The client stays on the bus until the test lets it go, so that
    // its leaving cannot be what ends the program.
    m_app = std::make_unique<CFlnApp>(std::vector<CString> { L"formulon", L"-Automation" });
    m_app->m_nAutomationIdleMilliseconds = 0;
    ASSERT_TRUE(m_app->InitInstance());
    sd_bus* client = nullptr;
    ASSERT_GE(OpenUserBus(&client), 0);
    sd_bus_message* request = nullptr;
    ASSERT_GE(SessionBus().message_new_method_call(client, &request, "org.formulon.FLN.Application", "/FLN/Application",
                                                   "org.formulon.Automation.ClassObject", "CreateInstance"), 0);
    uint64_t cookie = 0;  // asked for, the call expects its reply
    EXPECT_GE(SessionBus().send(client, request, &cookie), 0);
    EXPECT_GE(SessionBus().flush(client), 0);  // a new connection sends once it has said hello
    SessionBus().message_unref(request);
    // The connection is readable for the bus's own signals too: the call itself must be there.
    ASSERT_TRUE(WaitUntil([] { return HasUnreadLocalServerCall(); })) << "the request did not arrive";
    m_app->OnIdle(0);
    PumpWaitSources(20);
    Pump();
    EXPECT_FALSE(m_quitPosted) << "the program ended with a request waiting";
    std::string made;
    EXPECT_TRUE(WaitUntil([&] {
        sd_bus_message* reply = nullptr;
        const char* path = nullptr;
        if (SessionBus().process(client, &reply) > 0 && reply && SessionBus().message_read(reply, "o", &path) >= 0)
            made = path;
        SessionBus().message_unref(reply);
        return !made.empty();
    })) << "no reply came";
    EXPECT_EQ(made, "/FLN/Application/1");
    SessionBus().flush_close_unref(client);
    EXPECT_TRUE(waitForQuit()) << "the client left";
    end();

    ASSERT_TRUE(Start({ L"-Automation" }));
    bus.reset();
    EXPECT_TRUE(waitForQuit()) << "the bus went away";
    end();

    // Every slot for programs without a window is taken (here by another thread).
    bus.emplace();
    std::promise<void> held, release;
    std::thread holder([&] {
        std::vector<std::unique_ptr<CMutex>> slots;
        for (int slot = 0; slot < CFlnApp::kMaxWindowlessInstances; ++slot) {
            slots.push_back(std::make_unique<CMutex>(FALSE, CString(FormatWide(L"formulon-automation-%d", slot).c_str())));
            slots.back()->Lock(0);
        }
        held.set_value();
        release.get_future().wait();
        for (auto& slot : slots)
            slot->Unlock();
    });
    held.get_future().wait();
    EXPECT_FALSE(Start({ L"-Automation" })) << "as many programs as may run already do";
    release.set_value();
    holder.join();
}

class Automation : public ProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Start());
        ASSERT_EQ(CoCreateInstance(CLSID_FlnApplication, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(m_object.Receive())), S_OK);
        m_driver.AttachDispatch(m_object.get(), FALSE);
    }
    void TearDown() override { m_driver.DetachDispatch(); }

    double Result(double x)
    {
        double result = 0;
        static const BYTE params[] = VTS_R8;
        m_driver.InvokeHelper(5, DISPATCH_METHOD, VT_R8, &result, params, x);
        return result;
    }

    ComPtr<IDispatch> m_object;
    COleDispatchDriver m_driver;
};

TEST_F(Automation, SetsAndEvaluatesTheFormulaPagesFormula)
{
    static const BYTE text[] = VTS_BSTR;
    m_driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, text, L"x^2+1");
    EXPECT_EQ(FieldText(kFormulaField), L"x^2+1");
    CString formula;
    m_driver.GetProperty(1, VT_BSTR, &formula);
    EXPECT_EQ(formula, L"x^2+1");
    EXPECT_EQ(Result(2), 5);
    EXPECT_EQ(Result(-3), 10);

    m_driver.SetProperty(1, VT_BSTR, L"A*x");
    m_driver.InvokeHelper(3, DISPATCH_METHOD, VT_BSTR, &formula, nullptr);
    EXPECT_EQ(formula, L"A*x");
    SetFieldText(kFieldA, L"4");
    EXPECT_EQ(Result(2), 8);

    // A formula typed but not yet calculated is the one evaluated.
    SetFieldText(kFormulaField, L"x/2");
    EXPECT_EQ(Result(3), 1.5);

    CString name;
    m_driver.InvokeHelper(2, DISPATCH_METHOD, VT_BSTR, &name, nullptr);
    EXPECT_EQ(name, L"FLN");
    short count = 0;
    double scaled = 0;
    static const BYTE ex[] = VTS_R8 VTS_PI2;
    m_driver.InvokeHelper(6, DISPATCH_METHOD, VT_R8, &scaled, ex, 3.0, &count);
    EXPECT_EQ(scaled, 30);
    EXPECT_EQ(count, 10);
}

TEST_F(Automation, AFormulaTooLongForTheWindowIsRefusedWithAClearError)
{
    static const BYTE text[] = VTS_BSTR;
    m_driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, text, L"x+1");
    const std::wstring longest = L"1" + std::wstring(CApplication::MaxFormulaLength - 1, L'0');
    m_driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, text, longest.c_str());
    EXPECT_EQ(Page().m_strFormula.GetLength(), static_cast<int>(CApplication::MaxFormulaLength));

    CString message;
    try {
        m_driver.InvokeHelper(4, DISPATCH_METHOD, VT_EMPTY, nullptr, text, (longest + L"0").c_str());
    } catch (COleDispatchException* error) {
        message = error->m_strDescription;
        error->Delete();
    }
    EXPECT_NE(message.Find(L"too long"), -1) << message.GetString();
    EXPECT_EQ(Page().m_strFormula.GetLength(), static_cast<int>(CApplication::MaxFormulaLength)) << "nothing changed";
}

// An invalid formula: the result is the parser's own value for it, and the client gets no error.
TEST_F(Automation, AnInvalidFormulaGivesTheParsersValueAndRaisesNothing)
{
    for (const wchar_t* formula : { L"2#3", L"x*?", L"1+@" }) {
        SCOPED_TRACE(CString(formula).ToUtf8());
        SetFieldText(kFormulaField, formula);
        int position = 0;
        CString message;
        const double expected = m_app->FormulaParser.Calculate(formula, 1, &position, &message, TRUE);
        ASSERT_NE(position, 0) << "the formula is invalid";
        double result = -1;
        EXPECT_NO_THROW(result = Result(1));
        EXPECT_EQ(result, expected);
    }
}

} // namespace
