#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    std::vector<CString> arguments; // after the program's name
    int command;
    const wchar_t* fileName;
    BOOL embedded;
    BOOL automated;
};

TEST(CommandLineTest, EachArgumentListAsksForOneThing)
{
    using Info = CCommandLineInfo;
    const ParseCase cases[] = {
        { {}, Info::FileNew, L"", FALSE, FALSE },
        { { L"notes.vbs" }, Info::FileOpen, L"notes.vbs", FALSE, FALSE },
        { { L"/home/ann/notes.vbs" }, Info::FileOpen, L"/home/ann/notes.vbs", FALSE, FALSE }, // a path, not a flag
        { { L"a.vbs", L"b.vbs" }, Info::FileOpen, L"a.vbs", FALSE, FALSE },                  // the first one counts
        { { L"-p", L"a.vbs" }, Info::FilePrint, L"a.vbs", FALSE, FALSE },
        { { L"-Automation" }, Info::FileNothing, L"", FALSE, TRUE },
        { { L"-embedding" }, Info::FileNothing, L"", TRUE, FALSE },                          // any case
        { { L"-Automation", L"a.vbs" }, Info::FileNothing, L"a.vbs", FALSE, TRUE },
        { { L"-Unregserver" }, Info::AppUnregister, L"", FALSE, FALSE },
        { { L"-Regserver" }, Info::AppRegister, L"", FALSE, FALSE },
        { { L"-unknown" }, Info::FileNew, L"", FALSE, FALSE },
        { { L"-" }, Info::FileOpen, L"-", FALSE, FALSE },                                    // a lone dash names a file
    };
    CWinApp app(L"CommandLineTest");
    for (const ParseCase& c : cases) {
        std::vector<CString> arguments { L"formulon" };
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        CCommandLineInfo info;
        app.ParseCommandLine(info, arguments);
        CString line = c.arguments.empty() ? CString(L"(none)") : c.arguments.front();
        EXPECT_EQ(info.m_nShellCommand, c.command) << line.GetString();
        EXPECT_EQ(info.m_strFileName, CString(c.fileName)) << line.GetString();
        EXPECT_EQ(info.m_bRunEmbedded, c.embedded) << line.GetString();
        EXPECT_EQ(info.m_bRunAutomated, c.automated) << line.GetString();
        EXPECT_EQ(info.m_bShowSplash, !c.embedded && !c.automated) << line.GetString();
    }
}

TEST(CommandLineTest, PrintToTakesPrinterDriverAndPort)
{
    CWinApp app(L"CommandLineTest");
    CCommandLineInfo info;
    app.ParseCommandLine(info, { L"formulon", L"-pt", L"a.vbs", L"Laser", L"driver", L"port" });
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(info.m_strFileName, CString(L"a.vbs"));
    EXPECT_EQ(info.m_strPrinterName, CString(L"Laser"));
    EXPECT_EQ(info.m_strDriverName, CString(L"driver"));
    EXPECT_EQ(info.m_strPortName, CString(L"port"));
}

TEST(CommandLineTest, ProcessShellCommandEndsTheProgramWhereNothingIsToBeShown)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    CWinApp app(L"CommandLineTest"); // no document template: nothing can be made
    CCommandLineInfo info;
    EXPECT_FALSE(app.ProcessShellCommand(info)) << "a new document without a template";
    info.m_nShellCommand = CCommandLineInfo::FileNothing;
    EXPECT_TRUE(app.ProcessShellCommand(info));
    for (auto command : { CCommandLineInfo::AppRegister, CCommandLineInfo::AppUnregister }) {
        info.m_nShellCommand = command;
        EXPECT_FALSE(app.ProcessShellCommand(info));
    }
}

TEST(WaitCursorTest, TheBusyCursorStaysUntilTheLastOneEnds)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    CWinApp app(L"WaitCursorTest");
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW), wait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(arrow);
    {
        CWaitCursor outer;
        EXPECT_EQ(GetCursor(), wait);
        {
            CWaitCursor inner;
            SetCursor(arrow); // something else changed it
            inner.Restore();
            EXPECT_EQ(GetCursor(), wait);
        }
        EXPECT_EQ(GetCursor(), wait) << "the outer one still waits";
        EXPECT_TRUE(app.IsWaitCursorShown());
    }
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_FALSE(app.IsWaitCursorShown());
}

TEST(WaitCursorTest, WindowsKeepTheBusyCursorWhenThePointerMoves)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    CWinApp app(L"WaitCursorTest");
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW)), L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
    CWaitCursor busy;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_TRUE(window.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    window.DestroyWindow();
}

} // namespace
