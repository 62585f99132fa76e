// The main window under a real window manager (openbox on an X server of the test's own, with a
// panel that takes the top of the screen): maximising fills the work area the window manager
// gives; restoring, by the caption, its button or the window menu, brings back the earlier place;
// the stored place is the normal one, so the next start opens maximised and restores to it.
// Minimising hands the window to the window manager, which brings it back; every size the window
// manager gives is laid out and painted.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/base/tests/RunCommand.h"
#include "app/tests/ProgramX11Support.h"
#include "platform/com/tests/PrivateBus.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "platform/user/tests/WindowManager.h"

#include <algorithm>
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
        FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "openbox");
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

    // The program's window: a new one, not `running` of a program already running.
    void StartProgram(Window running = 0)
    {
        ScopedEnv display("DISPLAY", m_server.Name()), kind("FORMULON_DISPLAY", "x11"), config("XDG_CONFIG_HOME", m_settings.root()),
            bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        m_program = std::make_unique<ChildProcess>(std::vector<std::string> { FLN_FORMULON }, true);
        ASSERT_TRUE(WaitFor([&] { return (m_window = ProgramWindow(m_x, 0, "Formulon 4.2", running).value_or(0)) != 0; })) << "no main window was mapped";
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

    // The minimise button, left of the maximise button.
    void ClickMinimiseButton()
    {
        const RECT r = Placed();
        const int frame = r == m_workArea ? 0 : 4;
        Run("mousemove " + std::to_string(r.right - frame - 48) + " " + std::to_string(r.top + frame + 9) + " click 1");
    }

    // The window manager's word on the window: WM_STATE's NormalState or IconicState (0: none).
    long ManagerState()
    {
        Atom wmState = XInternAtom(m_x, "WM_STATE", False), type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        long state = 0;
        if (XGetWindowProperty(m_x, m_window, wmState, 0, 2, False, wmState, &type, &format, &count, &after, &data) == Success && data && count)
            state = reinterpret_cast<long*>(data)[0];
        if (data)
            XFree(data);
        return state;
    }
    bool Viewable()
    {
        XWindowAttributes attributes {};
        return XGetWindowAttributes(m_x, m_window, &attributes) && attributes.map_state == IsViewable;
    }
    bool Iconified() { return ManagerState() == IconicState && !Viewable(); }
    // Whether the window manager lists the window among the windows it manages.
    bool ManagerListsTheWindow()
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool listed = false;
        if (XGetWindowProperty(m_x, DefaultRootWindow(m_x), XInternAtom(m_x, "_NET_CLIENT_LIST", False), 0, 1024, False, XA_WINDOW, &type, &format,
                &count, &after, &data) == Success && data) {
            const long* windows = reinterpret_cast<const long*>(data);
            listed = std::find(windows, windows + count, static_cast<long>(m_window)) != windows + count;
        }
        if (data)
            XFree(data);
        return listed;
    }
    // The window takes the mouse: a double click on its caption maximises it, and another one
    // restores it to where it stood.
    void TakesTheMouse(const char* picture)
    {
        const RECT normal = Placed();
        DoubleClickCaption();
        ASSERT_TRUE(SettlesAt(m_workArea, picture));
        DoubleClickCaption();
        ASSERT_TRUE(SettlesAt(normal, picture));
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

// The window manager keeps the frame no smaller than the program's own sizing does, whoever asks
// it for a smaller size, and its state follows the program's maximise and restore.
TEST_F(MainWindowX11, TheWindowManagerKnowsTheSmallestSizeAndTheMaximisedState)
{
    const RECT normal = StartProgramAndWaitUntilPlaced();
    XSizeHints hints {};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(m_x, m_window, &hints, &supplied));
    EXPECT_TRUE(hints.flags & PMinSize);
    EXPECT_EQ(hints.min_width, 450);
    EXPECT_EQ(hints.min_height, 400);

    Run("windowsize " + std::to_string(m_window) + " 150 100");
    ASSERT_TRUE(WaitFor([&] { return !(Placed() == normal); })) << "the window manager sizes the window";
    ASSERT_TRUE(SettlesAt({ normal.left, normal.top, normal.left + 450, normal.top + 400 }, "smallest.png"));

    auto maximised = [&] {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        int found = 0;
        if (XGetWindowProperty(m_x, m_window, XInternAtom(m_x, "_NET_WM_STATE", False), 0, 32, False, XA_ATOM, &type, &format, &count, &after,
                &data) == Success && data) {
            const long* states = reinterpret_cast<const long*>(data);
            for (const char* name : { "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ" })
                found += std::count(states, states + count, static_cast<long>(XInternAtom(m_x, name, False)));
        }
        if (data)
            XFree(data);
        return found == 2;
    };
    ClickMaximiseButton();
    ASSERT_TRUE(SettlesAt(m_workArea, "maximised-state.png"));
    EXPECT_TRUE(WaitFor(maximised)) << "the window manager knows the window maximised";
    ClickMaximiseButton();
    ASSERT_TRUE(SettlesAt({ normal.left, normal.top, normal.left + 450, normal.top + 400 }, "restored-state.png"));
    EXPECT_TRUE(WaitFor([&] { return !maximised(); })) << "the window manager knows the window restored";
    CloseProgram();
}

// The caption's minimise button hands the window to the window manager, which lists it and brings
// it back when asked (as a task list does, or another client's map); closed minimised, the program
// starts shown and takes the mouse.
TEST_F(MainWindowX11, MinimisingGoesThroughTheWindowManagerWhichBringsTheWindowBack)
{
    StartProgramAndWaitUntilPlaced();
    const std::string id = std::to_string(m_window);
    const struct {
        const char* how;
        std::string command;
    } returns[] = { { "activated", "windowactivate " + id }, { "mapped", "windowmap " + id } };
    for (const auto& back : returns) {
        SCOPED_TRACE(back.how);
        ClickMinimiseButton();
        ASSERT_TRUE(WaitFor([&] { return Iconified(); })) << "the window manager has the window iconified: state " << ManagerState();
        EXPECT_TRUE(ManagerListsTheWindow());
        Run(back.command);
        ASSERT_TRUE(WaitFor([&] { return ManagerState() == NormalState && Viewable(); })) << "the window is back";
        TakesTheMouse("back-from-minimised.png");
    }

    ClickMinimiseButton();
    ASSERT_TRUE(WaitFor([&] { return Iconified(); }));
    CloseProgram();
    StartProgram();
    EXPECT_EQ(ManagerState(), NormalState);
    TakesTheMouse("started-after-minimised.png");
    CloseProgram();
}

// Sizes given from outside, each laid out and painted: back at an earlier size, the window shows
// what it showed then (the status bar along its bottom edge included).
TEST_F(MainWindowX11, EverySizeFromOutsideIsLaidOutAndPainted)
{
    StartProgramAndWaitUntilPlaced();
    const std::string id = std::to_string(m_window);
    auto bottomRows = [&] {
        const RECT r = Placed();
        const int rows = 30;
        XImage* image = XGetImage(m_x, m_window, 0, r.bottom - r.top - rows, r.right - r.left, rows, AllPlanes, ZPixmap);
        std::vector<unsigned long> pixels;
        for (int y = 0; image && y < rows; ++y)
            for (int x = 0; x < r.right - r.left; ++x)
                pixels.push_back(XGetPixel(image, x, y));
        if (image)
            XDestroyImage(image);
        return pixels;
    };
    auto resize = [&](int width, int height) {
        Run("windowsize " + id + " " + std::to_string(width) + " " + std::to_string(height));
        return WaitFor([&] {
            const RECT r = Placed();
            return r.right - r.left == width && r.bottom - r.top == height;
        });
    };
    // The picture once the program has painted it: the same before and after a pause in which the
    // program slept and used no processor time. A program that a loaded machine kept from running
    // is not asleep; one that ran meanwhile may have painted.
    auto settled = [&] {
        std::vector<unsigned long> picture;
        EXPECT_TRUE(WaitFor([&] {
            const auto now = bottomRows();
            const ProcessSample before = SampleProcess(m_program->pid());
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const ProcessSample after = SampleProcess(m_program->pid());
            return before.state == 'S' && after.state == 'S' && after.ticks == before.ticks && (picture = bottomRows()) == now;
        }));
        return picture;
    };
    ASSERT_TRUE(resize(563, 582));
    const std::vector<unsigned long> first = settled();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(resize(463, 482));
        settled();
        ASSERT_TRUE(resize(563, 582));
        EXPECT_TRUE(WaitFor([&] { return bottomRows() == first; }))
            << "the window shows its earlier picture: " << Screenshot(m_x, m_window, 563, 582, "resized-again.png");
    }
    CloseProgram();
}

// A second start, while the first runs, opens its window beside the first one's (a cascade step
// down and right), not exactly over it: both on the first run and with a stored place.
TEST_F(MainWindowX11, ASecondStartOpensBesideTheFirst)
{
    for (const char* run : { "first run", "stored place" }) {
        SCOPED_TRACE(run);
        const RECT first = StartProgramAndWaitUntilPlaced();
        auto firstProgram = std::move(m_program);
        const Window firstWindow = m_window;
        StartProgram(firstWindow);
        const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
        const RECT cascaded { first.left + step, first.top + step, first.right + step, first.bottom + step };
        RECT second {};
        EXPECT_TRUE(WaitFor([&] { return (second = Placed()) == cascaded; }))
            << Describe(second) << " cascades from " << Describe(first) << ": "
            << Screenshot(m_x, DefaultRootWindow(m_x), DisplayWidth(m_x, 0), DisplayHeight(m_x, 0), "second-start.png");
        CloseProgram();
        m_program = std::move(firstProgram);
        m_window = firstWindow;
        CloseProgram();
    }
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
        // Over the middle of the owner, or in the work area's corner where the middle would reach past it.
        RECT box {};
        auto placed = [&] {
            box = ScreenRect(m_x, about);
            RECT inside {};
            IntersectRect(&inside, &box, &m_workArea);
            if (inside != box)
                return false;
            if (&place != places)
                return box.right == m_workArea.right && box.bottom == m_workArea.bottom;
            return std::abs((box.left + box.right) / 2 - (place.left + place.right) / 2) <= 1
                && std::abs((box.top + box.bottom) / 2 - (place.top + place.bottom) / 2) <= 1;
        };
        EXPECT_TRUE(WaitFor(placed)) << Describe(box) << " in the work area " << Describe(m_workArea) << ": "
                                     << Screenshot(m_x, DefaultRootWindow(m_x), DisplayWidth(m_x, 0), DisplayHeight(m_x, 0), "about-placed.png");
        Run("key Escape");
        ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "About Formulon"); })) << "the About box stays";
    }
    CloseProgram();
}

} // namespace
