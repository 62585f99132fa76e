// The main window under a real window manager (openbox on an X server of the test's own, with a
// panel that takes the top of the screen): maximising fills the work area the window manager
// gives; restoring, by the caption, its button or the window menu, brings back the earlier place;
// the stored place is the normal one, so the next start opens maximised and restores to it.

#include "app/tests/CommandRunner.h"
#include "app/tests/ProgramX11Support.h"
#include "platform/com/tests/PrivateBus.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "platform/user/tests/WindowManager.h"

#include <memory>

namespace {

constexpr int kPanelHeight = 30;

bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b);
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

class MainWindowX11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string xvfb = FindProgram("Xvfb");
        m_xdotool = FindProgram("xdotool");
        if (xvfb.empty() || m_xdotool.empty() || FindProgram("openbox").empty())
            GTEST_SKIP() << "Xvfb, xdotool or openbox is not installed";
        ASSERT_TRUE(m_server.Start(xvfb));
        ASSERT_TRUE(m_manager.Start(m_server)) << "openbox did not start on " << m_server.Name();
        m_x = ConnectWhenServing(m_server);
        ASSERT_NE(m_x, nullptr);
        XSetErrorHandler([](XDisplay*, XErrorEvent*) { return 0; });
        WindowManager::AddTopPanel(m_x, kPanelHeight);
        ASSERT_TRUE(WaitFor([&] { return WindowManager::WorkArea(m_x)[1] == kPanelHeight; }))
            << "the window manager keeps the panel's strut out of the work area";
        const auto area = WindowManager::WorkArea(m_x);
        m_workArea = { static_cast<LONG>(area[0]), static_cast<LONG>(area[1]), static_cast<LONG>(area[2]), static_cast<LONG>(area[3]) };
        m_xdotool = "env DISPLAY=" + m_server.Name() + " " + m_xdotool;
    }
    void TearDown() override
    {
        m_program.reset();
        if (m_x)
            XCloseDisplay(m_x);
    }

    // The program's window for the test to work on, its normal place once the window manager
    // has stopped moving it.
    RECT StartProgramAndWaitUntilPlaced()
    {
        StartProgram();
        RECT normal {};
        EXPECT_TRUE(WaitFor([&] {
            RECT now = Placed();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return (normal = Placed()) == now;
        }));
        return normal;
    }

    void StartProgram()
    {
        ScopedEnv display("DISPLAY", m_server.Name()), kind("FORMULON_DISPLAY", "x11"), config("XDG_CONFIG_HOME", m_settings.root()),
            bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        m_program = std::make_unique<ChildProcess>(std::vector<std::string> { FLN_FORMULON }, true);
        ASSERT_TRUE(WaitFor([&] { return (m_window = ProgramWindow(m_x).value_or(0)) != 0; })) << "no main window was mapped";
    }

    // Closes the program as the window manager's close button does, and waits for its end.
    void CloseProgram()
    {
        XEvent close {};
        close.xclient.type = ClientMessage;
        close.xclient.window = m_window;
        close.xclient.message_type = XInternAtom(m_x, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(XInternAtom(m_x, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_x, m_window, False, NoEventMask, &close);
        XFlush(m_x);
        EXPECT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end";
        m_program.reset();
    }

    RECT Placed() { return ScreenRect(m_x, m_window); }

    // Waits until the window stands at the rectangle; its picture is kept when it never does.
    bool SettlesAt(const RECT& expected, const char* picture)
    {
        if (WaitFor([&] { return Placed() == expected; }))
            return true;
        const RECT r = Placed();
        ADD_FAILURE() << "the window stands at " << Describe(r) << ", not at " << Describe(expected) << ": "
                      << Screenshot(m_x, DefaultRootWindow(m_x), DisplayWidth(m_x, 0), DisplayHeight(m_x, 0), picture);
        return false;
    }

    void Run(const std::string& arguments)
    {
        ASSERT_EQ(RunCommand(m_xdotool + " " + arguments).status, 0) << arguments;
    }
    void DoubleClickCaption()
    {
        const RECT r = Placed();
        Run("mousemove " + std::to_string(r.left + 150) + " " + std::to_string(r.top + 12) + " click --repeat 2 --delay 80 1");
    }
    // The maximise or restore button of the caption, third from the right.
    void ClickMaximiseButton()
    {
        const RECT r = Placed();
        const int frame = r == m_workArea ? 0 : 4;
        Run("mousemove " + std::to_string(r.right - frame - 32) + " " + std::to_string(r.top + frame + 9) + " click 1");
    }

    // The icon at the caption's left that opens the window menu.
    void ClickWindowMenuIcon()
    {
        const RECT r = Placed();
        const int frame = r == m_workArea ? 0 : 4;
        Run("mousemove " + std::to_string(r.left + frame + 8) + " " + std::to_string(r.top + frame + 9) + " click 1");
    }

    VirtualServer m_server;
    WindowManager m_manager;
    XDisplay* m_x = nullptr;
    std::string m_xdotool;
    RECT m_workArea {};
    TempSettingsFolder m_settings;
    std::unique_ptr<ChildProcess> m_program;
    Window m_window = 0;
};

TEST_F(MainWindowX11, MaximiseFillsTheWorkAreaAndRestoreBringsBackTheNormalPlace)
{
    const RECT normal = StartProgramAndWaitUntilPlaced();
    EXPECT_GE(normal.top, m_workArea.top) << "the new window lies inside the work area";

    DoubleClickCaption();
    ASSERT_TRUE(SettlesAt(m_workArea, "maximised-by-caption.png"));
    DoubleClickCaption();
    ASSERT_TRUE(SettlesAt(normal, "restored-by-caption.png"));

    ClickMaximiseButton();
    ASSERT_TRUE(SettlesAt(m_workArea, "maximised-by-button.png"));
    ClickWindowMenuIcon(); // Alt+Space belongs to the window manager
    Run("key r");
    ASSERT_TRUE(SettlesAt(normal, "restored-by-window-menu.png"));

    // Closed maximised, the program stores its normal place: the next start is maximised and
    // restores to the place of this run.
    ClickMaximiseButton();
    ASSERT_TRUE(SettlesAt(m_workArea, "maximised-before-close.png"));
    CloseProgram();
    StartProgram();
    ASSERT_TRUE(SettlesAt(m_workArea, "started-maximised.png"));
    ClickMaximiseButton();
    EXPECT_TRUE(SettlesAt(normal, "restored-after-restart.png"));
    CloseProgram();
}

// The About box opens over the middle of the main window, and inside the work area when the main
// window reaches past the screen's bottom right corner.
TEST_F(MainWindowX11, TheAboutBoxOpensOverTheMainWindowInsideTheWorkArea)
{
    const RECT normal = StartProgramAndWaitUntilPlaced();
    const int width = normal.right - normal.left, height = normal.bottom - normal.top;
    const RECT places[] = { normal, { m_workArea.right - 100, m_workArea.bottom - 60, m_workArea.right - 100 + width, m_workArea.bottom - 60 + height } };
    for (const RECT& place : places) {
        SCOPED_TRACE(Describe(place));
        Run("windowmove " + std::to_string(m_window) + " " + std::to_string(place.left) + " " + std::to_string(place.top));
        ASSERT_TRUE(SettlesAt(place, "about-owner.png"));
        Run("windowactivate --sync " + std::to_string(m_window) + " key alt+h a");
        Window about = 0;
        ASSERT_TRUE(WaitFor([&] { return (about = ProgramWindow(m_x, 0, "About Formulon").value_or(0)) != 0; })) << "no About box";
        RECT box {};
        WaitFor([&] {
            RECT now = ScreenRect(m_x, about);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return (box = ScreenRect(m_x, about)) == now;
        });
        RECT inside {};
        IntersectRect(&inside, &box, &m_workArea);
        EXPECT_TRUE(inside == box) << Describe(box) << " lies inside the work area " << Describe(m_workArea) << ": "
                                   << Screenshot(m_x, DefaultRootWindow(m_x), DisplayWidth(m_x, 0), DisplayHeight(m_x, 0), "about-placed.png");
        if (&place == places) {
            EXPECT_NEAR((box.left + box.right) / 2, (place.left + place.right) / 2, 1) << Describe(box);
            EXPECT_NEAR((box.top + box.bottom) / 2, (place.top + place.bottom) / 2, 1) << Describe(box);
        } else {
            EXPECT_EQ(box.right, m_workArea.right);
            EXPECT_EQ(box.bottom, m_workArea.bottom);
        }
        Run("key Escape");
        ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "About Formulon"); })) << "the About box stays";
    }
    CloseProgram();
}

} // namespace
