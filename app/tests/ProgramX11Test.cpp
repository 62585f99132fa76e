// The real program on an X server of the test's own: its main window is mapped with the program's
// class, name and icon; xdotool types a formula and presses Enter; the output line shows exactly
// the pixels of the same state on the headless display; closing from the window manager saves
// the settings and the last content.

#include "platform/base/tests/RequirePrograms.h"
#include "app/Application.h"
#include "app/ParameterFile.h"
#include "platform/base/tests/RunCommand.h"
#include "app/tests/ProgramTestSupport.h"
#include "app/tests/ProgramX11Support.h"
#include "app/DlgCalendarView.h"
#include "app/VBScriptView.h"
#include "app/FrameSettings.h"
#include "commandbars/MenuBar.h"
#include "diagrams/KSysView.h"
#include "framework/Tab3DControl.h"
#include "platform/com/Automation.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchProxy.h"
#include "platform/com/LocalServerRegistration.h"
#include "platform/com/tests/PrivateBus.h"
#include "platform/gdi/tests/Canvas.h"
#include "platform/net/tests/LoopbackHttpServer.h"
#include "platform/user/tests/OtherXClient.h"
#include "platform/user/tests/SelectionTextOwner.h"
#include "platform/user/tests/WindowManager.h"
#include "framework/Tab3DControl.h"
#include "res/DateTimePage.h"
#include "res/FormulaPage.h"
#include "res/Formulon.h"
#include "res/ScriptPage.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

namespace {

// The sizes of the icons in _NET_WM_ICON, in order.
std::vector<std::pair<long, long>> IconSizes(XDisplay* x, Window window)
{
    std::vector<std::pair<long, long>> sizes;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, window, XInternAtom(x, "_NET_WM_ICON", False), 0, 1 << 20, False, XA_CARDINAL, &type, &format, &count, &after, &data) != Success || !data)
        return sizes;
    const long* values = reinterpret_cast<const long*>(data); // format 32 comes as C longs
    for (unsigned long i = 0; i + 2 <= count;) {
        sizes.emplace_back(values[i], values[i + 1]);
        i += 2 + static_cast<unsigned long>(values[i] * values[i + 1]);
    }
    XFree(data);
    return sizes;
}

std::vector<COLORREF> ServerArea(XDisplay* x, Window window, const RECT& area)
{
    std::vector<COLORREF> pixels;
    XImage* image = XGetImage(x, window, area.left, area.top, area.right - area.left, area.bottom - area.top, AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    for (int y = 0; y < area.bottom - area.top; ++y)
        for (int col = 0; col < area.right - area.left; ++col) {
            unsigned long pixel = XGetPixel(image, col, y);
            pixels.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
        }
    XDestroyImage(image);
    return pixels;
}

// Another client that takes the clipboard for a while and quits: the clipboard has no owner then.
void TakeTheClipboardAndQuit(const std::string& server)
{
    XDisplay* x = XOpenDisplay(server.c_str());
    ASSERT_TRUE(x);
    const Window window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(x, XInternAtom(x, "CLIPBOARD", False), window, CurrentTime);
    XSync(x, False);
    XCloseDisplay(x);
}

// Another client that owns the clipboard and answers each request by announcing its text in
// chunks, then sends one byte each 0.9 s and never ends it, until the test is over.
class TricklingClipboardOwner {
public:
    explicit TricklingClipboardOwner(const std::string& server)
        : m_client(server)
    {
        if (!m_client.Connected())
            return;
        m_incr = m_client.Intern("INCR");
        m_utf8 = m_client.Intern("UTF8_STRING");
        m_client.OwnSelection("CLIPBOARD");
        m_client.Serve([this] { Serve(); });
    }
    bool Connected() const { return m_client.Connected(); }
    std::atomic<bool> asked { false };

private:
    void Serve()
    {
        XDisplay* x = m_client.Connection();
        std::optional<XSelectionRequestEvent> request;
        bool chunkTaken = false;
        auto nextByte = std::chrono::steady_clock::now();
        while (!m_client.Stopping()) {
            XEvent event;
            if (m_client.NextEvent(event, std::chrono::milliseconds(20))) {
                if (event.type == SelectionRequest) {
                    request = event.xselectionrequest;
                    XSelectInput(x, request->requestor, PropertyChangeMask);
                    long size = 1 << 20;
                    XChangeProperty(x, request->requestor, request->property, m_incr, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
                    XSelectionEvent reply { SelectionNotify, 0, True, x, request->requestor, request->selection, request->target, request->property, request->time };
                    XSendEvent(x, request->requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
                    XFlush(x);
                    chunkTaken = false;
                    asked = true;
                } else if (request && event.type == PropertyNotify && event.xproperty.window == request->requestor
                    && event.xproperty.atom == request->property && event.xproperty.state == PropertyDelete) {
                    chunkTaken = true;
                }
            }
            if (request && chunkTaken && std::chrono::steady_clock::now() >= nextByte) {
                XChangeProperty(x, request->requestor, request->property, m_utf8, 8, PropModeReplace, reinterpret_cast<const unsigned char*>("x"), 1);
                XFlush(x);
                chunkTaken = false;
                nextByte = std::chrono::steady_clock::now() + std::chrono::milliseconds(900);
            }
        }
    }

    Atom m_incr = 0, m_utf8 = 0;
    OtherXClient m_client; // last: see OtherXClient
};

class ProgramX11 : public ProgramTest {
protected:
    // The output line's place in the frame window and its pixels after "2+3*4" and "=" headless.
    void HeadlessReference()
    {
        ASSERT_TRUE(Start());
        Calculate(L"2+3*4");
        Remember(Field(kFormulaField), Field(kOutputLine));
        Stop();
    }

    // The same for the Date & Time page after its expression and "=", or after the output-mode
    // button `mode` (which computes too; its place in m_dateMode).
    void HeadlessDatePageReference(const wchar_t* expression, UINT mode = 0)
    {
        ASSERT_TRUE(Start());
        Frame().m_wndTab.ActivateTab(1);
        Pump();
        auto* page = m_app->GetCalendarView();
        ASSERT_NE(page, nullptr);
        // The middle of the page's tab, in the frame window.
        auto* tabs = static_cast<SEC3DTabControl*>(Frame().m_wndTab.GetTabControl());
        CRect tab;
        ASSERT_TRUE(tabs->GetTabRect(1, tab));
        ::MapWindowPoints(tabs->m_hWnd, nullptr, reinterpret_cast<POINT*>(&tab), 2);
        RECT frame;
        GetWindowRect(Frame().m_hWnd, &frame);
        m_dateTab = { (tab.left + tab.right) / 2 - frame.left, (tab.top + tab.bottom) / 2 - frame.top };
        ::SetDlgItemTextW(page->m_hWnd, IDC_DATE_INPUT, expression);
        if (mode) {
            m_dateMode = PlaceInFrame(::GetDlgItem(page->m_hWnd, static_cast<int>(mode)));
            page->SendMessage(WM_COMMAND, mode);
        } else {
            page->SendMessage(WM_COMMAND, IDC_DATE_KEY_EQUALS);
        }
        Pump();
        Remember(::GetDlgItem(page->m_hWnd, IDC_DATE_INPUT), ::GetDlgItem(page->m_hWnd, IDC_DATE_OUTPUT));
        Stop();
    }

    // Headless, after Start(): the middle of a rectangle in the window's client coordinates (in screen
    // coordinates without a window), from the frame's top-left corner, where the program on the
    // server is clicked at.
    POINT MiddleInFrame(HWND window, RECT rect)
    {
        RECT frame;
        GetWindowRect(Frame().m_hWnd, &frame);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return POINT { (rect.left + rect.right) / 2 - frame.left, (rect.top + rect.bottom) / 2 - frame.top };
    }

    // Headless: where the Formula and VBScript tabs, the script editor and the Run button lie in the
    // frame, for the program on the server to be clicked at.
    struct ScriptPagePlaces {
        POINT formulaTab {}, scriptTab {}, editor {}, run {}, stop {};
        // The editor's text: where line 0, column 0 starts, and the size of one character.
        POINT text {};
        SIZE character {};
        // The middle of the editor's vertical and horizontal scroll bars.
        POINT verticalBar {}, horizontalBar {};
        // The top of the vertical bar's track (where its thumb starts) and the track's length.
        POINT verticalTrack {};
        int verticalTrackLength = 0;
    };
    void FindScriptPagePlaces(ScriptPagePlaces& places)
    {
        ASSERT_TRUE(Start());
        auto* tabs = static_cast<SEC3DTabControl*>(Frame().m_wndTab.GetTabControl());
        int scriptTab = -1;
        for (int index = 0; index < Frame().m_wndTab.GetTabCount(); ++index)
            if (dynamic_cast<CVBScriptView*>(Frame().m_wndTab.GetPage(index)))
                scriptTab = index;
        ASSERT_GE(scriptTab, 0);
        CRect tab;
        ASSERT_TRUE(tabs->GetTabRect(scriptTab, tab));
        places.scriptTab = MiddleInFrame(tabs->m_hWnd, tab);
        ASSERT_TRUE(tabs->GetTabRect(0, tab));
        places.formulaTab = MiddleInFrame(tabs->m_hWnd, tab);
        Frame().m_wndTab.ActivateTab(scriptTab);
        Pump();
        CWnd* editor = Frame().m_wndTab.GetPage(scriptTab);
        RECT client;
        editor->GetClientRect(&client);
        places.editor = MiddleInFrame(editor->m_hWnd, client);
        auto* view = dynamic_cast<SECEditView*>(editor);
        ASSERT_NE(view, nullptr);
        const CPoint first = view->GetEditController()->LineColToPoint(SECEditLineCol(0, 0));
        places.text = MiddleInFrame(editor->m_hWnd, { first.x, first.y, first.x, first.y });
        places.character = { view->GetCharWidth(), view->GetLineHeight() };
        RECT window;
        editor->GetWindowRect(&window);
        const int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
        places.verticalBar = MiddleInFrame(nullptr, { window.right - barWidth, window.top, window.right, window.bottom });
        places.horizontalBar = MiddleInFrame(nullptr, { window.left, window.bottom - barHeight, window.right, window.bottom });
        const int arrowHeight = GetSystemMetrics(SM_CYVSCROLL);
        places.verticalTrack = MiddleInFrame(nullptr, { window.right - barWidth, window.top + arrowHeight, window.right, window.top + arrowHeight });
        places.verticalTrackLength = window.bottom - window.top - barHeight - 2 * arrowHeight;
        SECCustomToolBar& bar = Frame().m_wndScriptBar;
        auto buttonPlace = [&](UINT id, POINT& place) {
            int index = 0;
            while (index < bar.GetButtonCount() && bar.GetButton(index)->m_nID != id)
                ++index;
            ASSERT_LT(index, bar.GetButtonCount());
            RECT button;
            bar.GetItemRect(index, &button);
            place = MiddleInFrame(bar.m_hWnd, button);
        };
        ASSERT_NO_FATAL_FAILURE(buttonPlace(ID_SCRIPT_RUN, places.run));
        ASSERT_NO_FATAL_FAILURE(buttonPlace(ID_SCRIPT_STOP, places.stop));
        Stop();
    }

    // The headless main window's pixels over an area of its window rectangle, row by row.
    std::vector<COLORREF> FramePixels(const RECT& area)
    {
        std::vector<COLORREF> pixels;
        HDC dc = GetWindowDC(Frame().m_hWnd);
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(Frame().m_hWnd, dc);
        return pixels;
    }

    // Headless, after Start(): the middle of a window, in the frame window.
    POINT PlaceInFrame(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return MiddleInFrame(nullptr, rect);
    }
    // Headless, after Start(): the middle of a page's tab, in the frame window.
    template<typename Page>
    POINT TabPlace()
    {
        auto* tabs = static_cast<SEC3DTabControl*>(Frame().m_wndTab.GetTabControl());
        for (int index = 0; index < Frame().m_wndTab.GetTabCount(); ++index) {
            CRect tab;
            if (dynamic_cast<Page*>(Frame().m_wndTab.GetPage(index)) && tabs->GetTabRect(index, tab))
                return MiddleInFrame(tabs->m_hWnd, tab);
        }
        ADD_FAILURE() << "no such page";
        return {};
    }
    // The Graph page headless, from the last content `settings`: the middle of its tab, the place
    // of its chart in the frame window, and the chart's pixels.
    struct GraphChart {
        POINT tab {};
        RECT place {};
        std::vector<COLORREF> pixels;
    };
    void HeadlessGraphChart(const std::string& settings, GraphChart& chart)
    {
        TempSettingsFolder::WriteAll(m_settings.settings() + "/Fln.ini", settings);
        ASSERT_TRUE(Start());
        chart.tab = TabPlace<CKSysView>();
        Frame().m_wndTab.ActivateTab(2);
        Pump();
        RECT frame;
        GetWindowRect(Frame().m_hWnd, &frame);
        GetWindowRect(Frame().m_wndTab.GetPage(2)->m_hWnd, &chart.place);
        OffsetRect(&chart.place, -frame.left, -frame.top);
        chart.pixels = FramePixels(chart.place);
        Stop();
    }
    // The program on the server, from the last content `settings`: a click on the Graph tab shows
    // the headless chart's pixels.
    void ExpectTheServerShowsTheGraphChart(const std::string& settings, const GraphChart& chart)
    {
        m_programSettings = m_settings.root() + "/x11";
        TempSettingsFolder::WriteAll(m_programSettings + "/Formulon/Fln.ini", settings);
        ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
        ASSERT_TRUE(ClickAt(chart.tab));
        XWindowAttributes attributes {};
        XGetWindowAttributes(m_x, *m_window, &attributes);
        EXPECT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, chart.place) == chart.pixels; }))
            << "the chart differs from the headless one: " << Screenshot(m_x, *m_window, attributes.width, attributes.height);
    }
    // The last content the program on the server saved when it ended.
    std::string SavedLastContent() { return TempSettingsFolder::ReadAll(m_programSettings + "/Formulon/Fln.ini"); }
    // Ends the program on the server as the window manager's close does; whether it ended.
    bool CloseAndWait()
    {
        CloseFromTheWindowManager();
        return m_program->WaitForExit(kWaitLimit);
    }
    // With a private bus in place: starts the program on the server and makes its application object
    // there. Made through the bus itself: an earlier headless start of the program in this process
    // left its class served here too, which CoCreateInstance would prefer.
    ::testing::AssertionResult StartWithObjectOnBus(ComPtr<IDispatch>& application)
    {
        if (!StartOnServer())
            return ::testing::AssertionFailure() << "no main window was mapped";
        if (!WaitFor([&] { return RunCommand(Busctl() + "status --no-pager org.formulon.FLN.Application").status == 0; }))
            return ::testing::AssertionFailure() << "the program did not publish its class";
        if (RegisterLocalServer(CLSID_FlnApplication, L"FLN.Application", FLN_FORMULON) != S_OK
            || CreateLocalServerObject(CLSID_FlnApplication, IID_IDispatch, reinterpret_cast<void**>(application.Receive())) != S_OK)
            return ::testing::AssertionFailure() << "no object of the program's was made";
        return ::testing::AssertionSuccess();
    }
    // Whether Ctrl+A Ctrl+C in the focused field of the program on the server puts the text on the
    // clipboard; when not, the message says what came instead.
    ::testing::AssertionResult CopiesAs(const std::string& expected)
    {
        const std::string xclip = FindProgram("xclip");
        if (xclip.empty())
            return ::testing::AssertionSuccess() << "(xclip is not installed)";
        if (Xdotool("key ctrl+a ctrl+c") != 0)
            return ::testing::AssertionFailure() << "xdotool failed";
        std::string text;
        if (WaitFor([&] { return (text = Clipboard()) == expected; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the field holds \"" << text << "\"";
    }

    SIZE m_frameSize {};
    POINT m_dateTab {}; // the middle of the Date & Time page's tab
    POINT m_dateMode {}; // the middle of the output-mode button of the date reference
    POINT m_input {}; // the middle of the input field
    RECT m_area {};
    std::vector<COLORREF> m_reference;

    // The program on an X server of the test's own, with its settings in m_programSettings.
    bool StartOnServer(const std::vector<std::string>& arguments = {}, bool withWindowManager = false)
    {
        const std::string xvfb = FindProgram("Xvfb");
        if (!m_server.Start(xvfb) || !WaitFor([&] { return (m_x = XOpenDisplay(m_server.Name().c_str())) != nullptr; }))
            return false;
        if (withWindowManager && !m_manager.Start(m_server))
            return false;
        XSetErrorHandler([](XDisplay*, XErrorEvent*) { return 0; });
        m_programSettings = m_settings.root() + "/x11";
        return StartProgram(arguments);
    }
    // The program once more on the test's server; whether its main window was mapped. It waits for
    // another client's text as long as the tests wait, so that a loaded machine cannot make it give
    // a paste up.
    bool StartProgram(const std::vector<std::string>& arguments = {})
    {
        {
            ScopedEnv display("DISPLAY", m_server.Name()), kind("FORMULON_DISPLAY", "x11"), config("XDG_CONFIG_HOME", m_programSettings),
                pasteWait("FORMULON_SELECTION_WAIT_MS", std::to_string(kWaitLimit.count()));
            std::vector<std::string> command { FLN_FORMULON };
            command.insert(command.end(), arguments.begin(), arguments.end());
            m_program.emplace(command, true);
        }
        return WaitFor([&] { return (m_window = ProgramWindow(m_x)).has_value(); });
    }
    // xdotool on the test's server.
    int Xdotool(const std::string& arguments)
    {
        return RunCommand("env DISPLAY=" + m_server.Name() + " " + FindProgram("xdotool") + " " + arguments).status;
    }
    // The window manager's close: WM_DELETE_WINDOW.
    void CloseFromTheWindowManager()
    {
        XEvent close {};
        close.xclient.type = ClientMessage;
        close.xclient.window = *m_window;
        close.xclient.message_type = XInternAtom(m_x, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(XInternAtom(m_x, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_x, *m_window, False, NoEventMask, &close);
        XFlush(m_x);
    }
    int MoveTo(POINT point)
    {
        return Xdotool("mousemove --window " + std::to_string(*m_window) + " " + std::to_string(point.x) + " " + std::to_string(point.y));
    }

    // Whether the program on the server comes to show the remembered area's headless pixels; when
    // not, the message names a screenshot of its window.
    ::testing::AssertionResult ShowsTheHeadlessArea()
    {
        if (WaitFor([&] { return ServerArea(m_x, *m_window, m_area) == m_reference; }))
            return ::testing::AssertionSuccess();
        XWindowAttributes attributes {};
        XGetWindowAttributes(m_x, *m_window, &attributes);
        return ::testing::AssertionFailure() << "the area differs from the headless one: "
                                             << Screenshot(m_x, *m_window, attributes.width, attributes.height);
    }

    // The output line's headless pixels after "2+3*4", the script page's places, and the program
    // started on the server.
    void StartForTheScriptPage(ScriptPagePlaces& places)
    {
        HeadlessReference();
        ASSERT_FALSE(m_reference.empty());
        ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
        ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    }

    bool ClickAt(POINT point) { return MoveTo(point) == 0 && Xdotool("click 1") == 0; }
    // The main window's picture, for a failure to show.
    std::string Picture(const std::string& name = "formulon-x11.png")
    {
        XWindowAttributes attributes {};
        XGetWindowAttributes(m_x, *m_window, &attributes);
        return Screenshot(m_x, *m_window, attributes.width, attributes.height, name);
    }
    // The text on the server's clipboard.
    std::string Clipboard()
    {
        return RunCommand("env DISPLAY=" + m_server.Name() + " " + FindProgram("xclip") + " -o -selection clipboard").output;
    }

    // On the program on the server: the VBScript tab, then the script's lines typed after the
    // editor's text.
    void TypeScript(const ScriptPagePlaces& places, const std::vector<std::string>& lines)
    {
        ASSERT_TRUE(ClickAt(places.scriptTab));
        ASSERT_TRUE(ClickAt(places.editor));
        ASSERT_EQ(Xdotool("key ctrl+End"), 0);
        for (const std::string& line : lines) {
            if (&line != &lines.front()) {
                ASSERT_EQ(Xdotool("key Return"), 0);
            }
            ASSERT_EQ(Xdotool("type --delay 20 '" + line + "'"), 0);
        }
    }

    // On the Formula page, the formula (copied from its field) ends in exactly as many "x" as the
    // runs of a script that adds one each.
    void ExpectTheFormulaEndsInRuns(const ScriptPagePlaces& places, size_t runs)
    {
        ASSERT_TRUE(ClickAt(places.formulaTab));
        ASSERT_TRUE(ClickAt(m_input));
        const std::string exact(runs, 'x');
        std::string formula;
        EXPECT_TRUE(WaitFor([&] {
            return Xdotool("key ctrl+a ctrl+c") == 0 && (formula = Clipboard()).ends_with(exact) && !formula.ends_with(exact + "x");
        })) << formula << " " << Picture();
    }

    // The program on the server with checking for updates turned off, its version file nowhere.
    void StartWithUpdateCheckingOff()
    {
        {
            ScopedEnv config("XDG_CONFIG_HOME", m_settings.root() + "/x11");
            CWinApp profile(L"FLN");
            profile.SetRegistryKey(L"Formulon");
            profile.WriteProfileString(L"Options", L"Version File URL", L"http://127.0.0.1:9/version.txt");
            profile.WriteProfileInt(L"Options", L"Check for updates", 0);
        }
        ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    }

    // Whether the program comes to rest: asleep, its processor time unchanged for a fifth of a second.
    bool WaitUntilAtRest()
    {
        long last = -1;
        auto since = std::chrono::steady_clock::now();
        return WaitFor([&] {
            const ProcessSample sample = SampleProcess(m_program->pid());
            const auto now = std::chrono::steady_clock::now();
            if (sample.state != 'S' || sample.ticks != last) {
                last = sample.ticks;
                since = now;
            }
            return now - since >= std::chrono::milliseconds(200);
        });
    }

    // On the program on the server, with the script editor focused: Load Content (Ctrl+L) of a file
    // named in its dialog, which goes once the file is read.
    void LoadContent(const std::string& path)
    {
        ASSERT_EQ(Xdotool("key ctrl+l"), 0);
        ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Load Content' ") == 0; })) << "no file dialog";
        ASSERT_EQ(Xdotool("type --delay 20 '" + path + "'"), 0);
        ASSERT_EQ(Xdotool("key Return"), 0);
        ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Load Content' ") != 0; })) << "the dialog stayed";
    }

    // Whether a box of the program's shows a line of text: the line is drawn here as boxes draw
    // theirs (the dialog font, the window-text colour on the face colour) and looked for, pixel for
    // pixel, in the box on the server.
    bool BoxShowsLine(Window box, const std::wstring& line)
    {
        HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
        RECT size {};
        {
            TestCanvas measure(1, 1);
            SelectObject(measure.dc, font);
            DrawTextW(measure.dc, line.c_str(), static_cast<int>(line.size()), &size, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        }
        const int width = size.right, height = size.bottom;
        TestCanvas canvas(width, height);
        FillRect(canvas.dc, &size, GetSysColorBrush(COLOR_3DFACE));
        SelectObject(canvas.dc, font);
        SetBkMode(canvas.dc, TRANSPARENT);
        SetTextColor(canvas.dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextW(canvas.dc, line.c_str(), static_cast<int>(line.size()), &size, DT_SINGLELINE | DT_NOPREFIX);
        std::vector<COLORREF> drawn;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                drawn.push_back(canvas.at(x, y));
        const RECT area = ScreenRect(m_x, box);
        const std::vector<COLORREF> shown = ServerArea(m_x, box, { 0, 0, area.right - area.left, area.bottom - area.top });
        const int shownWidth = area.right - area.left, shownHeight = area.bottom - area.top;
        if (shown.size() != static_cast<size_t>(shownWidth) * static_cast<size_t>(shownHeight))
            return false;
        for (int top = 0; top + height <= shownHeight; ++top)
            for (int left = 0; left + width <= shownWidth; ++left) {
                bool same = true;
                for (int y = 0; same && y < height; ++y)
                    for (int x = 0; same && x < width; ++x)
                        same = shown[static_cast<size_t>((top + y) * shownWidth + left + x)] == drawn[static_cast<size_t>(y * width + x)];
                if (same)
                    return true;
            }
        return false;
    }

    // A close asks about the changed script; a termination signal ends without a question.
    void CloseDuringAScriptsMessageBox(const std::function<void()>& close, bool asks)
    {
        FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
        ScriptPagePlaces places;
        ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
        ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "MsgBox \"x\"" }));
        ASSERT_TRUE(ClickAt(places.run));
        ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "VBScript").has_value(); })) << "no message box was mapped";
        close();
        if (asks) {
            ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Formulon").has_value(); }))
                << "no save question: " << Picture();
            EXPECT_FALSE(ProgramWindow(m_x, 0, "VBScript").has_value()) << "the script's box stayed";
            ASSERT_EQ(Xdotool("key n"), 0);
        }
        EXPECT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end: " << Picture();
    }

    VirtualServer m_server;
    WindowManager m_manager; // started for the tests where the window manager takes part
    XDisplay* m_x = nullptr;
    std::string m_programSettings;
    std::optional<ChildProcess> m_program;
    std::optional<Window> m_window;

    void TearDown() override
    {
        if (m_x)
            XCloseDisplay(m_x);
    }

private:
    void Remember(HWND inputField, HWND outputLine)
    {
        RECT frame, line, input;
        GetWindowRect(Frame().m_hWnd, &frame);
        GetWindowRect(outputLine, &line);
        GetWindowRect(inputField, &input);
        m_input = { (input.left + input.right) / 2 - frame.left, (input.top + input.bottom) / 2 - frame.top };
        m_frameSize = { frame.right - frame.left, frame.bottom - frame.top };
        m_area = { line.left - frame.left, line.top - frame.top, line.right - frame.left, line.bottom - frame.top };
        m_reference = FramePixels(m_area);
    }
};

// Started where no X server can be reached, the program says why and ends with a failure status,
// instead of opening its window where nobody sees it.
TEST(ProgramStart, WithoutAScreenItSaysWhyAndEnds)
{
    const std::string settings = testing::TempDir() + "fln-no-screen";
    auto start = [&](const std::string& display) {
        return RunCommand("env -u FORMULON_DISPLAY " + display + " XDG_CONFIG_HOME=" + settings + " " FLN_FORMULON);
    };
    // A server that admits only clients with its cookie, which the program has not.
    std::optional<ChildProcess> guarded;
    std::string guardedName;
    const std::string xvfb = FindProgram("Xvfb"), xauth = FindProgram("xauth");
    if (!xvfb.empty() && !xauth.empty()) {
        const std::string number = std::to_string(600 + ::getpid() % 2000), cookies = settings + "-cookies";
        if (RunCommand(xauth + " -f " + cookies + " add :" + number + " . 0123456789abcdef0123456789abcdef").status == 0) {
            guarded.emplace(std::vector<std::string> { xvfb, ":" + number, "-auth", cookies, "-nolisten", "tcp" }, true);
            if (WaitFor([&] { return std::filesystem::exists("/tmp/.X11-unix/X" + number); }))
                guardedName = ":" + number + " XAUTHORITY=" + settings + "-none";
        }
    }
    const struct {
        std::string display;
        const char* reason;
    } cases[] = {
        { "-u DISPLAY", "DISPLAY is not set" },
        { "DISPLAY=nonsense", "names no display" },
        { "DISPLAY=:4321", "no X server is running on display :4321" },
        { guardedName.empty() ? "" : "DISPLAY=" + guardedName, "refused this program" },
    };
    for (const auto& startup : cases) {
        if (startup.display.empty())
            continue;  // no Xvfb here
        SCOPED_TRACE(startup.display);
        const CommandResult result = start(startup.display);
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << result.status;
        EXPECT_NE(result.output.find("no X display can be opened"), std::string::npos) << result.output;
        EXPECT_NE(result.output.find(startup.reason), std::string::npos) << result.output;
    }
}

// The libraries of what a start does not use (downloads, printing, speech) are opened when first
// used: none of them is mapped once the main window shows.
TEST_F(ProgramX11, TheFirstWindowMapsNoDownloadPrintOrSpeechLibrary)
{
    FLN_REQUIRE_PROGRAMS("Xvfb");
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    const std::string maps = TempSettingsFolder::ReadAll("/proc/" + std::to_string(m_program->pid()) + "/maps");
    ASSERT_NE(maps.find("libX11"), std::string::npos) << "the program's mappings were not read";
    for (const char* library : { "libcurl", "libcups", "libespeak-ng", "libpcaudio" })
        EXPECT_EQ(maps.find(library), std::string::npos) << library;
}

TEST_F(ProgramX11, TypesAFormulaAndClosesFromTheWindowManager)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    HeadlessReference();
    ASSERT_FALSE(m_reference.empty());
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    XWindowAttributes attributes {};
    XGetWindowAttributes(m_x, *m_window, &attributes);
    EXPECT_EQ(attributes.width, m_frameSize.cx);
    EXPECT_EQ(attributes.height, m_frameSize.cy);
    EXPECT_EQ(IconSizes(m_x, *m_window), (std::vector<std::pair<long, long>> { { 48, 48 }, { 16, 16 } }));

    // The input field has the focus from the start: Ctrl+X cuts its whole text, then the formula.
    ASSERT_EQ(MoveTo(m_input), 0);
    ASSERT_EQ(Xdotool("key ctrl+x"), 0);
    ASSERT_EQ(Xdotool("type --delay 30 '2+3*4'"), 0);
    ASSERT_EQ(Xdotool("key Return"), 0);
    EXPECT_TRUE(ShowsTheHeadlessArea());

    CloseFromTheWindowManager();
    EXPECT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end";
    std::string registry = TempSettingsFolder::ReadAll(m_programSettings + "/Formulon/registry.txt");
    EXPECT_NE(registry.find("\"WP\""), std::string::npos) << registry;
    std::string lastContent = TempSettingsFolder::ReadAll(m_programSettings + "/Formulon/Fln.ini");
    EXPECT_NE(lastContent.find("f(x)=2+3*4"), std::string::npos) << lastContent;
}

// On a keyboard with dead keys, a dead acute and an "e" type one "é" into the input field, which
// Enter keeps as the last formula.
TEST_F(ProgramX11, DeadKeysComposeInTheInputField)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "setxkbmap");
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_EQ(RunCommand("env DISPLAY=" + m_server.Name() + " " + FindProgram("setxkbmap") + " -layout us -variant intl").status, 0);
    ASSERT_EQ(MoveTo(m_input), 0);
    ASSERT_EQ(Xdotool("key ctrl+x"), 0);
    ASSERT_EQ(Xdotool("key --delay 30 dead_acute e dead_grave a Return"), 0);
    CloseFromTheWindowManager();
    EXPECT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end";
    std::string lastContent = TempSettingsFolder::ReadAll(m_programSettings + "/Formulon/Fln.ini");
    EXPECT_NE(lastContent.find("f(x)=\xC3\xA9\xC3\xA0"), std::string::npos) << lastContent;
}

// The pointer resting on a key shows the key's tip; when the window moves away from under it, the
// tip goes.
TEST_F(ProgramX11, AKeysTipGoesWhenTheWindowMoves)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_TRUE(Start());
    RECT frame, key;
    GetWindowRect(Frame().m_hWnd, &frame);
    GetWindowRect(Field(kSineKey), &key);
    const POINT sine { (key.left + key.right) / 2 - frame.left, (key.top + key.bottom) / 2 - frame.top };
    Stop();
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_EQ(MoveTo({ sine.x - 1, sine.y }), 0);
    ASSERT_EQ(MoveTo(sine), 0);
    ASSERT_TRUE(WaitFor([&] { return ProgramPopupMapped(m_x); })) << "no tip over the key";
    ASSERT_EQ(Xdotool("windowmove " + std::to_string(*m_window) + " 300 200"), 0);
    EXPECT_TRUE(WaitFor([&] { return !ProgramPopupMapped(m_x); })) << "the tip stays where the window was";
}

// Dragged by its gripper onto the menu bar's row, short of the menu bar's middle, the tool bar
// gets a row of its own above the menu bar, which the menu bar has to itself: the bars show as
// the same drag leaves them headless.
TEST_F(ProgramX11, XdotoolDragsTheToolBarOntoTheMenuBarsRow)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_TRUE(Start());
    RECT frame, tools, menu;
    GetWindowRect(Frame().m_hWnd, &frame);
    GetWindowRect(Frame().m_wndToolBar.m_hWnd, &tools);
    auto* menuBar = dynamic_cast<CWnd*>(Frame().GetMenuBar());
    ASSERT_NE(menuBar, nullptr);
    GetWindowRect(menuBar->m_hWnd, &menu);
    for (RECT* r : { &tools, &menu })
        OffsetRect(r, -frame.left, -frame.top);
    ASSERT_EQ(tools.top, menu.bottom) << "the tool bar starts in the row below the menu bar";
    const POINT grip { tools.left + 3, (tools.top + tools.bottom) / 2 };
    const POINT drop { grip.x + 40, (menu.top + menu.bottom) / 2 };
    // The bars' area, before and after the same drag headless.
    const RECT bars { menu.left, menu.top, menu.right, tools.bottom };
    const std::vector<COLORREF> before = FramePixels(bars);
    auto onScreen = [&](POINT point) { return POINT { frame.left + point.x, frame.top + point.y }; };
    m_display->Advance(1000);
    m_display->InjectMouseMove(onScreen(grip));
    m_display->InjectButton(1, true, onScreen(grip));
    Pump();
    m_display->InjectMouseMove(onScreen({ grip.x + 10, grip.y - 10 }));
    Pump();
    m_display->InjectMouseMove(onScreen(drop));
    Pump();
    m_display->InjectButton(1, false, onScreen(drop));
    Pump();
    RECT movedTools, movedMenu;
    GetWindowRect(Frame().m_wndToolBar.m_hWnd, &movedTools);
    GetWindowRect(menuBar->m_hWnd, &movedMenu);
    ASSERT_EQ(movedTools.top, frame.top + menu.top) << "the tool bar's row is the first";
    ASSERT_EQ(movedMenu.top, movedTools.bottom) << "the menu bar's row follows";
    const std::vector<COLORREF> after = FramePixels(bars);
    ASSERT_NE(after, before);
    Stop();

    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    XWindowAttributes attributes {};
    XGetWindowAttributes(m_x, *m_window, &attributes);
    ASSERT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, bars) == before; }))
        << "the bars show as headless: " << Screenshot(m_x, *m_window, attributes.width, attributes.height);
    auto at = [&](POINT point) { return "mousemove --window " + std::to_string(*m_window) + " " + std::to_string(point.x) + " " + std::to_string(point.y); };
    ASSERT_EQ(Xdotool(at(grip) + " mousedown 1 " + at({ grip.x + 10, grip.y - 10 }) + " " + at(drop) + " mouseup 1"), 0);
    EXPECT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, bars) == after; }))
        << "the tool bar is not above the menu bar: " << Screenshot(m_x, *m_window, attributes.width, attributes.height, "formulon-x11-toolbar-row.png");
}

// Every bar of the program drags through the toolkit's context: its outline shows where the bar
// would go, and Esc ends the drag with the bar where it was.
TEST_F(ProgramX11, EscapeEndsAToolBarsDragWithTheBarWhereItWas)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_TRUE(Start());
    RECT frame, tools, menu, key;
    GetWindowRect(Frame().m_hWnd, &frame);
    GetWindowRect(Frame().m_wndToolBar.m_hWnd, &tools);
    GetWindowRect(dynamic_cast<CWnd*>(Frame().GetMenuBar())->m_hWnd, &menu);
    GetWindowRect(Field(kSineKey), &key);
    for (RECT* r : { &tools, &menu, &key })
        OffsetRect(r, -frame.left, -frame.top);
    const RECT bars { menu.left, menu.top, menu.right, tools.bottom };
    const std::vector<COLORREF> before = FramePixels(bars);
    Stop();

    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    XWindowAttributes attributes {};
    XGetWindowAttributes(m_x, *m_window, &attributes);
    ASSERT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, bars) == before; })) << "the bars show as headless";
    const POINT grip { tools.left + 3, (tools.top + tools.bottom) / 2 };
    ASSERT_EQ(MoveTo(grip), 0);
    ASSERT_EQ(Xdotool("mousedown 1"), 0);
    for (int step = 1; step <= 4; ++step)
        ASSERT_EQ(MoveTo({ grip.x + 40 * step, grip.y + 50 * step }), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramPopupMapped(m_x); })) << "an outline shows where the bar would go: "
                                                                 << Screenshot(m_x, DefaultRootWindow(m_x), 1280, 1024, "bar-drag.png");
    ASSERT_EQ(Xdotool("key Escape"), 0);
    ASSERT_EQ(Xdotool("mouseup 1"), 0);
    // The pointer resting on a key brings its tip: the program has handled the release by then.
    ASSERT_TRUE(WaitFor([&] { return !ProgramPopupMapped(m_x); })) << "the outline goes";
    ASSERT_EQ(MoveTo({ (key.left + key.right) / 2 - 1, (key.top + key.bottom) / 2 }), 0);
    ASSERT_EQ(MoveTo({ (key.left + key.right) / 2, (key.top + key.bottom) / 2 }), 0);
    ASSERT_TRUE(WaitFor([&] { return ProgramPopupMapped(m_x); })) << "the key's tip shows";
    EXPECT_TRUE(ServerArea(m_x, *m_window, bars) == before)
        << "the tool bar stays docked where it was: " << Screenshot(m_x, *m_window, attributes.width, attributes.height, "bar-cancelled.png");
}

// The menu bar shows each page's menu whole: the script page's after a click on its tab, the
// Formula page's after a click back.
TEST_F(ProgramX11, TheMenuBarIsDrawnWholeAfterEachMenuSwitch)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    // Headless: the menu bar's pictures with the Formula page's menu and the script page's.
    ASSERT_TRUE(Start());
    RECT frame, menu;
    GetWindowRect(Frame().m_hWnd, &frame);
    GetWindowRect(dynamic_cast<CWnd*>(Frame().GetMenuBar())->m_hWnd, &menu);
    OffsetRect(&menu, -frame.left, -frame.top);
    menu.left += 12; // past the gripper, which the pointer may light up
    const std::vector<COLORREF> formulaMenu = FramePixels(menu);
    auto onScreen = [&](POINT point) { return POINT { frame.left + point.x, frame.top + point.y }; };
    m_display->InjectMouseMove(onScreen(places.scriptTab));
    m_display->InjectButton(1, true, onScreen(places.scriptTab));
    m_display->InjectButton(1, false, onScreen(places.scriptTab));
    Pump();
    const std::vector<COLORREF> scriptMenu = FramePixels(menu);
    ASSERT_NE(scriptMenu, formulaMenu) << "the script page has a menu of its own";
    // The bar's face is grey, its items black: a white pixel is a blank strip.
    for (const auto* picture : { &formulaMenu, &scriptMenu })
        ASSERT_EQ(std::count(picture->begin(), picture->end(), RGB(255, 255, 255)), 0) << "the menu bar is drawn whole";
    Stop();

    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    XWindowAttributes attributes {};
    XGetWindowAttributes(m_x, *m_window, &attributes);
    auto shows = [&](const std::vector<COLORREF>& picture, const char* name) {
        const bool drawn = WaitFor([&] { return ServerArea(m_x, *m_window, menu) == picture; });
        return drawn ? ::testing::AssertionSuccess()
                     : ::testing::AssertionFailure() << Screenshot(m_x, *m_window, attributes.width, attributes.height, name);
    };
    ASSERT_TRUE(shows(formulaMenu, "menu-formula.png"));
    ASSERT_TRUE(ClickAt(places.scriptTab));
    EXPECT_TRUE(shows(scriptMenu, "menu-script.png"));
    ASSERT_TRUE(ClickAt(places.formulaTab));
    EXPECT_TRUE(shows(formulaMenu, "menu-formula-again.png"));
}

// A page's bar floated in a frame of its own, under a window manager, stays shown while the page
// has the focus: its own drag (a double click on its gripper), clicks on its frame and on the page
// leave it alone, and the program rests. So for the script page's bar and the Graph page's.
TEST_F(ProgramX11, AFloatedPageBarStaysAndTheProgramRests)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "openbox");
    // Headless: where each page's tab, its middle and its bar's gripper lie while it shows the bar.
    struct Page {
        const char* barTitle;
        POINT tab {}, middle {}, grip {};
    };
    Page pages[] = { { "VBScriptEditor" }, { "KSys" } };
    ASSERT_TRUE(Start());
    RECT frame;
    GetWindowRect(Frame().m_hWnd, &frame);
    auto* tabs = static_cast<SEC3DTabControl*>(Frame().m_wndTab.GetTabControl());
    for (int index = 0; index < Frame().m_wndTab.GetTabCount(); ++index) {
        CWnd* view = Frame().m_wndTab.GetPage(index);
        const bool script = dynamic_cast<CVBScriptView*>(view) != nullptr;
        if (!script && !dynamic_cast<CKSysView*>(view))
            continue;
        Page& page = pages[script ? 0 : 1];
        CRect tab;
        ASSERT_TRUE(tabs->GetTabRect(index, tab));
        page.tab = MiddleInFrame(tabs->m_hWnd, tab);
        Frame().m_wndTab.ActivateTab(index);
        Pump();
        RECT client, bar;
        view->GetClientRect(&client);
        page.middle = MiddleInFrame(view->m_hWnd, client);
        SECCustomToolBar& pageBar = script ? Frame().m_wndScriptBar : Frame().m_wndDiagramBar;
        Frame().ShowControlBar(&pageBar, TRUE, FALSE);
        GetWindowRect(pageBar.m_hWnd, &bar);
        // The gripper: along the left of a bar docked at the top, along the top of one at a side.
        page.grip = script ? POINT { bar.left - frame.left + 3, (bar.top + bar.bottom) / 2 - frame.top }
                           : POINT { (bar.left + bar.right) / 2 - frame.left, bar.top - frame.top + 3 };
    }
    Stop();

    ASSERT_TRUE(StartOnServer({}, true)) << "no main window was mapped";
    for (const Page& page : pages) {
        SCOPED_TRACE(page.barTitle);
        ASSERT_TRUE(ClickAt(page.tab));
        ASSERT_TRUE(ClickAt(page.middle));
        ASSERT_EQ(MoveTo(page.grip), 0);
        ASSERT_EQ(Xdotool("click --repeat 2 --delay 80 1"), 0);
        Window floating = 0;
        ASSERT_TRUE(WaitFor([&] { return (floating = ProgramWindow(m_x, 0, page.barTitle).value_or(0)) != 0; }))
            << "the bar floats: " << Screenshot(m_x, DefaultRootWindow(m_x), 1280, 1024, "floating-bar.png");
        // At rest: the bar's frame stays and the program takes no processor time to speak of.
        auto rests = [&](const char* picture) {
            const long before = SampleProcess(m_program->pid()).ticks;
            const auto start = std::chrono::steady_clock::now();
            bool steady = true;
            while (std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
                steady = steady && ProgramWindow(m_x, 0, page.barTitle).has_value();
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            const long used = SampleProcess(m_program->pid()).ticks - before;
            EXPECT_TRUE(steady) << "the floating bar stays shown: " << Screenshot(m_x, DefaultRootWindow(m_x), 1280, 1024, picture);
            EXPECT_LT(used, sysconf(_SC_CLK_TCK) / 10) << "processor ticks used in two idle seconds";
        };
        const RECT floatingFrame = ScreenRect(m_x, floating);
        ASSERT_EQ(Xdotool("mousemove " + std::to_string((floatingFrame.left + floatingFrame.right) / 2) + " " + std::to_string(floatingFrame.top + 6) + " click 1"), 0);
        rests("floating-bar-clicked.png");
        ASSERT_TRUE(ClickAt(page.middle));
        rests("floating-bar-page-clicked.png");
    }
}

// The owner-drawn "Select" button still shows its caption and arrow while its menu is open; and
// after Tab has moved the default frame onto a key, a click into the formula gives it back to "=".
TEST_F(ProgramX11, MenuButtonsStayDrawnAndTheDefaultFrameFollowsTheFocus)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    // Headless: where the button, "=" and the formula lie, the button's picture, and how many
    // presses of Tab take the focus from the formula onto a key.
    ASSERT_TRUE(Start());
    RECT frame, select, equals, input;
    GetWindowRect(Frame().m_hWnd, &frame);
    GetWindowRect(Field(kSelectButton), &select);
    GetWindowRect(Field(kEqualsKey), &equals);
    GetWindowRect(Field(kFormulaField), &input);
    for (RECT* r : { &select, &equals, &input })
        OffsetRect(r, -frame.left, -frame.top);
    auto dark = [](const std::vector<COLORREF>& pixels) {
        return std::count_if(pixels.begin(), pixels.end(), [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 64; });
    };
    const std::vector<COLORREF> resting = FramePixels(select);
    ::SetFocus(Field(kFormulaField));
    int tabs = 0;
    auto onKey = [&] { return (SendMessageW(GetFocus(), WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; };
    while (tabs < 80 && !onKey()) {
        m_display->InjectKey(VK_TAB, true);
        m_display->InjectKey(VK_TAB, false);
        Pump();
        ++tabs;
    }
    ASSERT_TRUE(onKey()) << "Tab reaches a key";
    Stop();

    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, select) == resting; })) << "the button shows";
    ASSERT_EQ(MoveTo({ (select.left + select.right) / 2, (select.top + select.bottom) / 2 }), 0);
    ASSERT_EQ(Xdotool("click 1"), 0);
    // The menu paints its items when the program first has no input left, and the main window's
    // pending areas, the button among them, in the same round of paints right after (paints go from
    // the top window down): the menu's text is the event to wait for, not a time.
    Window menu = 0;
    ASSERT_TRUE(WaitFor([&] {
        if (!(menu = ProgramPopup(m_x)))
            return false;
        const RECT area = ScreenRect(m_x, menu);
        return dark(ServerArea(m_x, menu, { 0, 0, area.right - area.left, area.bottom - area.top })) > 0;
    })) << "the menu drops and shows its items";
    EXPECT_GE(dark(ServerArea(m_x, *m_window, select)), dark(resting)) << "the caption and the arrow stay";
    ASSERT_EQ(Xdotool("key Escape"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramPopupMapped(m_x); })) << "the menu closes";

    // The default frame is the key's outermost line, black; a plain key's left edge is white.
    auto equalsLooksDefault = [&] {
        const RECT edge { equals.left, (equals.top + equals.bottom) / 2, equals.left + 1, (equals.top + equals.bottom) / 2 + 1 };
        const auto pixel = ServerArea(m_x, *m_window, edge);
        return !pixel.empty() && pixel.front() == RGB(0, 0, 0);
    };
    const POINT formula { (input.left + input.right) / 2, (input.top + input.bottom) / 2 };
    ASSERT_EQ(MoveTo(formula), 0);
    ASSERT_EQ(Xdotool("click 1"), 0);
    ASSERT_TRUE(WaitFor(equalsLooksDefault)) << "\"=\" is the default key";
    ASSERT_EQ(Xdotool("key --delay 30 " + [&] {
        std::string keys;
        for (int i = 0; i < tabs; ++i)
            keys += "Tab ";
        return keys;
    }()), 0);
    ASSERT_TRUE(WaitFor([&] { return !equalsLooksDefault(); })) << "the focused key takes the default frame";
    std::this_thread::sleep_for(std::chrono::milliseconds(600)); // the next click is no double click
    ASSERT_EQ(MoveTo(formula), 0);
    ASSERT_EQ(Xdotool("click 1"), 0);
    EXPECT_TRUE(WaitFor(equalsLooksDefault)) << "the default frame is back on \"=\"";
}

// Ctrl+L opens the file dialog of "Load Content..."; a name typed at once, starting with the
// accelerator's own letter, reaches it whole, and Enter loads that file.
TEST_F(ProgramX11, TheNameTypedIntoTheLoadDialogArrivesWhole)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    const std::string folder = m_settings.root() + "/files";
    std::filesystem::create_directories(folder);
    TempSettingsFolder::WriteAll(folder + "/start.fm", "[TAB_FORMEL]\nf(x)=1+1\n");
    TempSettingsFolder::WriteAll(folder + "/lx.fm", "[TAB_FORMEL]\nf(x)=x*42\n");
    // The file on the command line makes the dialog start in its folder.
    ASSERT_TRUE(StartOnServer({ folder + "/start.fm" })) << "no main window was mapped";
    ASSERT_EQ(MoveTo(m_input), 0);
    // Typed at once, as a quick hand would, before the dialog is up.
    ASSERT_EQ(Xdotool("key --delay 30 ctrl+l l x period f m"), 0);
    ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Load Content' ") == 0; }))
        << "no file dialog";

    ASSERT_EQ(Xdotool("key Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Load Content' ") != 0; }))
        << "the dialog stayed";

    CloseFromTheWindowManager();
    ASSERT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end";
    const std::string lastContent = TempSettingsFolder::ReadAll(m_programSettings + "/Formulon/Fln.ini");
    EXPECT_NE(lastContent.find("f(x)=x*42"), std::string::npos) << lastContent;
}

// A click on its tab brings the Date & Time page; a typed expression and Enter give the output the
// headless page shows.
TEST_F(ProgramX11, TheDateAndTimePageComputesATypedExpression)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    const wchar_t* expression = L"D<[1.1.2024] + D>[15.4.2024]";
    HeadlessDatePageReference(expression);
    ASSERT_FALSE(m_reference.empty());
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    XWindowAttributes attributes {};
    XGetWindowAttributes(m_x, *m_window, &attributes);

    ASSERT_EQ(MoveTo(m_dateTab), 0);
    ASSERT_EQ(Xdotool("click 1"), 0);
    ASSERT_EQ(MoveTo(m_input), 0);
    ASSERT_EQ(Xdotool("click 1"), 0);
    ASSERT_EQ(Xdotool("type --delay 30 '" + CString(expression).ToUtf8() + "'"), 0);
    ASSERT_EQ(Xdotool("key Return"), 0);
    EXPECT_TRUE(ShowsTheHeadlessArea());
    if (const char* keep = std::getenv("FLN_KEEP_SCREENSHOT"); keep && *keep) {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        std::filesystem::copy_file(Screenshot(m_x, *m_window, attributes.width, attributes.height), keep,
            std::filesystem::copy_options::overwrite_existing);
    }
}

// A date that does not exist, shown as a Julian day: the real page says "Error (No Date)" as the
// headless one does, not the number that stands for no date.
TEST_F(ProgramX11, AJulianDayOfNoDateShowsTheError)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    const wchar_t* expression = L"D<[31.02.2000]";
    HeadlessDatePageReference(expression, IDC_OUTPUT_JD);
    ASSERT_FALSE(m_reference.empty());
    ASSERT_TRUE(Start());
    Frame().m_wndTab.ActivateTab(1);
    Pump();
    CWnd* page = m_app->GetCalendarView();
    ::SetDlgItemTextW(page->m_hWnd, IDC_DATE_INPUT, expression);
    page->SendMessage(WM_COMMAND, IDC_OUTPUT_JD);
    Pump();
    wchar_t shown[64] {};
    ::GetDlgItemTextW(page->m_hWnd, IDC_DATE_OUTPUT, shown, 64);
    EXPECT_EQ(std::wstring(shown), L"Error (No Date) ");
    Stop();

    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(m_dateTab));
    ASSERT_TRUE(ClickAt(m_input));
    ASSERT_EQ(Xdotool("type --delay 30 '" + CString(expression).ToUtf8() + "'"), 0);
    ASSERT_TRUE(ClickAt(m_dateMode));
    EXPECT_TRUE(ShowsTheHeadlessArea());
}

// The x interval from the last content given from right to left, xa = 10 and xb = -10: the Graph
// page on the X server draws the chart the headless page draws from -10 to 10.
TEST_F(ProgramX11, TheGraphPageDrawsAnIntervalGivenFromRightToLeft)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    GraphChart chart;
    ASSERT_NO_FATAL_FAILURE(HeadlessGraphChart("[TAB_FORMEL]\nf(x)=sin(x)\n[INTERVALL]\nXA=-10\nXB=10\n", chart));
    EXPECT_GT(std::count(chart.pixels.begin(), chart.pixels.end(), RGB(255, 0, 0)), 100) << "the curve";
    ExpectTheServerShowsTheGraphChart("[TAB_FORMEL]\nf(x)=sin(x)\n[INTERVALL]\nXA=10\nXB=-10\n", chart);
}

// A lone "-" in B, which is no number, and 8 typed into G, a field taken after B, then "=": the message
// says a number is wanted, and after OK G still reads 8.
TEST_F(ProgramX11, AFieldWithoutANumberLeavesTheOtherFieldsAsTyped)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ASSERT_TRUE(Start());
    const POINT fieldB = PlaceInFrame(Field(IDC_VALUE_B)), fieldG = PlaceInFrame(Field(IDC_VALUE_G)),
                equals = PlaceInFrame(Field(kEqualsKey));
    Stop();

    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(fieldB));
    ASSERT_EQ(Xdotool("key ctrl+a minus"), 0);
    ASSERT_TRUE(ClickAt(fieldG));
    ASSERT_EQ(Xdotool("key ctrl+a"), 0);
    ASSERT_EQ(Xdotool("type --delay 60 8"), 0);
    ASSERT_TRUE(ClickAt(equals));
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "no message: " << Picture();
    ASSERT_EQ(Xdotool("key Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "the message stayed";
    ASSERT_TRUE(ClickAt(fieldG));
    EXPECT_TRUE(CopiesAs("8"));
}

// SIN(x) typed on the Formula page and the Graph tab clicked: the chart on the X server has
// exactly the pixels of the headless one (tests/data/graph_page_sin.png, GraphPageTest).
TEST_F(ProgramX11, TheGraphTabDrawsTheTypedFormulaAsHeadless)
{
    std::string xvfb = FindProgram("Xvfb");
    std::string xdotool = FindProgram("xdotool");
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");

    // Headless: where the input field, the Graph tab and the chart lie in the frame, and the chart.
    ASSERT_TRUE(Start());
    SetFieldText(kFormulaField, L"SIN(x)");
    int graphTab = -1;
    for (int index = 0; index < Frame().m_wndTab.GetTabCount(); ++index)
        if (dynamic_cast<CKSysView*>(Frame().m_wndTab.GetPage(index)))
            graphTab = index;
    ASSERT_GE(graphTab, 0);
    RECT frame, input;
    GetWindowRect(Frame().m_hWnd, &frame);
    GetWindowRect(Field(kFormulaField), &input);
    const POINT inputPoint { (input.left + input.right) / 2 - frame.left, (input.top + input.bottom) / 2 - frame.top };
    auto* tabs = static_cast<SEC3DTabControl*>(Frame().m_wndTab.GetTabControl());
    CRect tab;
    ASSERT_TRUE(tabs->GetTabRect(graphTab, tab));
    MapWindowPoints(tabs->m_hWnd, nullptr, reinterpret_cast<POINT*>(&tab), 2);
    const POINT tabPoint { tab.CenterPoint().x - frame.left, tab.CenterPoint().y - frame.top };
    Frame().m_wndTab.ActivateTab(graphTab);
    Pump();
    CWnd* chart = Frame().m_wndTab.GetPage(graphTab);
    RECT area;
    GetWindowRect(chart->m_hWnd, &area);
    OffsetRect(&area, -frame.left, -frame.top);
    const std::vector<COLORREF> reference = FramePixels(area);
    Stop();

    VirtualServer server;
    ASSERT_TRUE(server.Start(xvfb));
    XDisplay* x = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (x = XOpenDisplay(server.Name().c_str())) != nullptr; }));
    XSetErrorHandler([](XDisplay*, XErrorEvent*) { return 0; });
    std::optional<ChildProcess> program;
    {
        ScopedEnv display("DISPLAY", server.Name()), kind("FORMULON_DISPLAY", "x11"), config("XDG_CONFIG_HOME", m_settings.root() + "/x11");
        program.emplace(std::vector<std::string> { FLN_FORMULON }, true);
    }
    std::optional<Window> window;
    ASSERT_TRUE(WaitFor([&] { return (window = ProgramWindow(x)).has_value(); })) << "no main window was mapped";
    XWindowAttributes attributes {};
    XGetWindowAttributes(x, *window, &attributes);
    std::string id = std::to_string(*window);
    xdotool = "env DISPLAY=" + server.Name() + " " + xdotool;
    ASSERT_EQ(RunCommand(xdotool + " mousemove --window " + id + " " + std::to_string(inputPoint.x) + " " + std::to_string(inputPoint.y)).status, 0);
    ASSERT_EQ(RunCommand(xdotool + " key ctrl+x").status, 0);
    ASSERT_EQ(RunCommand(xdotool + " type --delay 30 'SIN(x)'").status, 0);
    ASSERT_EQ(RunCommand(xdotool + " mousemove --window " + id + " " + std::to_string(tabPoint.x) + " " + std::to_string(tabPoint.y) + " click 1").status, 0);
    EXPECT_TRUE(WaitFor([&] { return ServerArea(x, *window, area) == reference; }))
        << "the chart differs from the headless one: " << Screenshot(x, *window, attributes.width, attributes.height);
    program.reset();
    XCloseDisplay(x);
}

// A client on the bus that sets the formula changes the formula alone: the fields that came from
// the last content keep their values on the page and in what the program saves at its end.
TEST_F(ProgramX11, AnAutomationClientChangesOnlyTheFormula)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "busctl");
    PrivateBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    m_programSettings = m_settings.root() + "/x11";
    TempSettingsFolder::WriteAll(m_programSettings + "/Formulon/Fln.ini",
        "[TAB_FORMEL]\nf(x)=A*x+B\n[CONSTANTS]\nA=2.5\nB=-1\nC=4\nD=1\nE=1\nF=1\nG=1\nX=3\nComma=12\n");
    ComPtr<IDispatch> application;
    ASSERT_TRUE(StartWithObjectOnBus(application));
    DISPID setFormula = DISPID_UNKNOWN;
    ASSERT_EQ(GetDispatchId(application.get(), L"SetFormulaString", &setFormula), S_OK);
    VARIANT formula;
    VariantInit(&formula);
    formula.vt = VT_BSTR;
    formula.bstrVal = SysAllocString(L"x^2+1");
    EXPECT_EQ(InvokeDispatch(application.get(), setFormula, DISPATCH_METHOD, &formula, 1, nullptr, nullptr), S_OK);
    VariantClear(&formula);
    application.Reset();

    // The input field, which has the focus from the start, shows the new formula.
    EXPECT_TRUE(CopiesAs("x^2+1"));
    ASSERT_TRUE(CloseAndWait()) << "the program did not end";
    const std::string saved = SavedLastContent();
    for (const char* kept : { "A=2.5", "B=-1", "C=4", "X=3", "Comma=12" })
        EXPECT_NE(saved.find(kept), std::string::npos) << kept << " in\n" << saved;
}

// Ctrl+V pastes what the clipboard's owner gives, and nothing when it gives nothing: not the
// field's own older copy once another client took the clipboard and quit, and nothing from an
// owner that trickles its text for ever. While such a paste waits, the window is drawn again where
// it was covered, and a key typed meanwhile (Enter) takes effect when the wait ends (here by Esc:
// the program under test waits as long as the tests do, so that a loaded machine cannot end it
// before the test has seen the window drawn).
TEST_F(ProgramX11, APasteTakesNothingFromAGoneOrStallingOwnerAndTheWindowIsDrawnMeanwhile)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    HeadlessReference();
    ASSERT_FALSE(m_reference.empty());
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_EQ(Xdotool("key ctrl+a"), 0);
    ASSERT_EQ(Xdotool("type --delay 30 111"), 0);
    EXPECT_TRUE(CopiesAs("111"));
    ASSERT_NO_FATAL_FAILURE(TakeTheClipboardAndQuit(m_server.Name()));
    ASSERT_EQ(XGetSelectionOwner(m_x, XInternAtom(m_x, "CLIPBOARD", False)), 0u);
    ASSERT_EQ(Xdotool("key ctrl+a 5 ctrl+v"), 0);
    EXPECT_TRUE(CopiesAs("5"));

    const std::vector<COLORREF> outputBefore = ServerArea(m_x, *m_window, m_area);
    TricklingClipboardOwner owner(m_server.Name());
    ASSERT_TRUE(owner.Connected());
    ASSERT_EQ(Xdotool("key ctrl+v Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return owner.asked.load(); })) << "the program never asked for the clipboard";
    // Another window over the output line, gone again.
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(m_x, *m_window, DefaultRootWindow(m_x), m_area.left, m_area.top, &x, &y, &child);
    XSetWindowAttributes attributes {};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(m_x, DefaultScreen(m_x));
    const Window cover = XCreateWindow(m_x, DefaultRootWindow(m_x), x, y, m_area.right - m_area.left, m_area.bottom - m_area.top, 0,
        CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(m_x, cover);
    XSync(m_x, False);
    XDestroyWindow(m_x, cover);
    XSync(m_x, False);
    EXPECT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, m_area) == outputBefore; }))
        << "the output line was not drawn again before Enter computed: " << Picture("formulon-stalled-paste.png");
    ASSERT_EQ(Xdotool("key Escape"), 0);
    EXPECT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, m_area) != outputBefore; })) << "Enter never computed";
    EXPECT_TRUE(CopiesAs("5"));
}

// A client that asks for the ids of far more names than a call may pass is refused at once, and a
// key typed after the refusal reaches the input field as usual: reading the call did not hold the
// window. A few thousand names past the limit show it as well as a million would.
TEST_F(ProgramX11, AnOversizedBusCallIsRefusedAndTheFieldTakesTheNextKey)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    PrivateBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    ComPtr<IDispatch> application;
    ASSERT_TRUE(StartWithObjectOnBus(application));

    std::vector<std::wstring> names(5'000, L"SetFormulaString");
    std::vector<LPOLESTR> pointers;
    for (std::wstring& name : names)
        pointers.push_back(name.data());
    std::vector<DISPID> ids(names.size());
    EXPECT_EQ(application->GetIDsOfNames(IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()), 0, ids.data()), E_OUTOFMEMORY);
    ASSERT_EQ(Xdotool("key ctrl+a 7"), 0);
    EXPECT_TRUE(CopiesAs("7"));
    application.Reset();
}

// A parameter file named on the command line: the page is drawn with its values from the first
// picture on, field by field as the headless page shows the same file.
TEST_F(ProgramX11, AParameterFileOnTheCommandLineIsDrawnInTheFields)
{
    FLN_REQUIRE_PROGRAMS("Xvfb");
    const std::string file = m_settings.root() + "/files/start.fm";
    TempSettingsFolder::WriteAll(file, "[TAB_FORMEL]\nf(x)=x^2+A\n[CONSTANTS]\nA=2.5\nB=-1\nC=1\nD=1\nE=1\nF=1\nG=1\nX=3\nComma=12\n"
                                       "[INTERVALL]\nXA=-3\nXB=3\n");
    ASSERT_TRUE(Start({ CString(file.c_str()) }));
    struct Expected {
        RECT area;
        std::vector<COLORREF> pixels;
    };
    std::vector<Expected> fields;
    RECT frame;
    GetWindowRect(Frame().m_hWnd, &frame);
    auto expected = [&](int id) {
        RECT area;
        GetWindowRect(Field(id), &area);
        OffsetRect(&area, -frame.left, -frame.top);
        return Expected { area, FramePixels(area) };
    };
    for (int id : { IDC_VALUE_A, IDC_VALUE_B, IDC_VALUE_X, IDC_DIGITS, IDC_VALUE_XA, IDC_VALUE_XB }) {
        fields.push_back(expected(id));
        ASSERT_GT(std::count(fields.back().pixels.begin(), fields.back().pixels.end(), RGB(0, 0, 0)), 0)
            << "the headless field " << id << " shows no text";
    }
    // The "=" key is drawn after the page beneath it: once it shows, the page's first picture is whole.
    const Expected equalsKey = expected(kEqualsKey);
    Stop();

    ASSERT_TRUE(StartOnServer({ file })) << "no main window was mapped";
    XWindowAttributes attributes {};
    XGetWindowAttributes(m_x, *m_window, &attributes);
    ASSERT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, equalsKey.area) == equalsKey.pixels; }))
        << "the page was not drawn: " << Screenshot(m_x, *m_window, attributes.width, attributes.height, "formulon-parameter-file.png");
    for (const Expected& field : fields)
        EXPECT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, field.area) == field.pixels; }))
            << "a field differs from the headless one at " << field.area.left << ", " << field.area.top << ": "
            << Screenshot(m_x, *m_window, attributes.width, attributes.height, "formulon-parameter-file.png");
}

// "12" typed into the digit field stays there: the result follows each digit while the focus
// stays in the field, and nothing lands in the formula.
TEST_F(ProgramX11, TwoDigitsTypedIntoTheDigitFieldStayThere)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_TRUE(Start());
    const POINT digits = PlaceInFrame(Field(IDC_DIGITS)), input = PlaceInFrame(Field(kFormulaField));
    Stop();
    m_programSettings = m_settings.root() + "/x11";
    TempSettingsFolder::WriteAll(m_programSettings + "/Formulon/Fln.ini", "[TAB_FORMEL]\nf(x)=1/3\n[CONSTANTS]\nA=1\nB=1\nC=1\nD=1\nE=1\nF=1\nG=1\nX=1\nComma=4\n"
        "[INTERVALL]\nXA=-1\nXB=1\n");
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(digits));
    ASSERT_EQ(Xdotool("key End BackSpace"), 0);
    ASSERT_EQ(Xdotool("type --delay 60 12"), 0);
    EXPECT_TRUE(CopiesAs("12"));
    ASSERT_TRUE(ClickAt(input));
    EXPECT_TRUE(CopiesAs("1/3"));
    ASSERT_TRUE(CloseAndWait()) << "the program did not end";
    const std::string saved = SavedLastContent();
    EXPECT_NE(saved.find("Comma=12"), std::string::npos) << saved;
    EXPECT_NE(saved.find("f(x)=1/3\n"), std::string::npos) << saved;
}

// A formula as long as the input line takes, from the last content: the Graph page draws the
// curve "=" computes, the chart the headless page draws for the same function written short.
TEST_F(ProgramX11, TheGraphPageDrawsAFormulaAsLongAsTheInputTakes)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    GraphChart chart;
    ASSERT_NO_FATAL_FAILURE(HeadlessGraphChart("[TAB_FORMEL]\nf(x)=sin(x)\n", chart));

    std::string formula;
    while (formula.size() + 8 <= kLongestFormula)
        formula += "0+";
    formula += "sin(x)";
    ASSERT_EQ(formula.size(), size_t(kLongestFormula));
    ExpectTheServerShowsTheGraphChart("[TAB_FORMEL]\nf(x)=" + formula + "\n", chart);
}

// A name typed into a save dialog without an extension gets the extension of the dialog's file
// type: a parameter file from the Formula page ".fm", a script from the VBScript page ".vbs".
TEST_F(ProgramX11, SaveDialogsAddTheExtensionOfTheirFileType)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    const std::string folder = m_settings.root() + "/files";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    const struct {
        std::optional<POINT> tab;
        const char* name;
        const char* saved;
    } saves[] = { { std::nullopt, "content", "content.fm" }, { places.scriptTab, "code", "code.vbs" } };
    for (const auto& save : saves) {
        SCOPED_TRACE(save.saved);
        if (save.tab) {
            ASSERT_TRUE(ClickAt(*save.tab));
            ASSERT_TRUE(ClickAt(places.editor));
        }
        ASSERT_EQ(Xdotool("key ctrl+s"), 0);
        ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Save Code Page' ") == 0; }))
            << "no file dialog: " << Screenshot(m_x, *m_window, 600, 500);
        ASSERT_EQ(Xdotool("type --delay 20 '" + folder + "/" + save.name + "'"), 0);
        ASSERT_EQ(Xdotool("key Return"), 0);
        EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(folder + "/" + save.saved); }))
            << "in " << folder << ": " << RunCommand("ls " + folder).output;
    }
}

// On the VBScript page Ctrl+L does what its File menu shows, "Load Content...": the file dialog
// opens and the editor's line stays.
TEST_F(ProgramX11, CtrlLOnTheScriptPageLoadsContentAsTheMenuSays)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(places.scriptTab));
    ASSERT_TRUE(ClickAt(places.editor));
    ASSERT_EQ(Xdotool("key ctrl+Home ctrl+l"), 0);
    ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Load Content' ") == 0; }))
        << "no file dialog: " << Screenshot(m_x, *m_window, 600, 500);
    ASSERT_EQ(Xdotool("key Escape"), 0);
    ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Load Content' ") != 0; }))
        << "the dialog stayed";
    ASSERT_TRUE(ClickAt(places.editor));
    EXPECT_TRUE(CopiesAs("Option Explicit\r\n"));
}

// A two-line script typed on the VBScript page and run from its tool bar sets the formula to 2+3*4
// through FLN and puts its result in the formula's place: the Formula page shows 14.
TEST_F(ProgramX11, AScriptTypedOnTheScriptPageDrivesTheFormulaPage)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "FLN.Formula = \"2+3*4\"", "FLN.Formula = FLN.GetFormulaResult(0)" }));
    XWindowAttributes attributes {};
    XGetWindowAttributes(m_x, *m_window, &attributes);
    if (const char* keep = std::getenv("FLN_KEEP_SCREENSHOT"); keep && *keep) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        std::filesystem::copy_file(Screenshot(m_x, *m_window, attributes.width, attributes.height), keep,
            std::filesystem::copy_options::overwrite_existing);
    }
    ASSERT_TRUE(ClickAt(places.run));
    // The result replaces the formula on the Formula page, where "=" shows it in the output line.
    ASSERT_TRUE(ClickAt(places.formulaTab));
    ASSERT_TRUE(ClickAt(m_input));
    ASSERT_EQ(Xdotool("key ctrl+a ctrl+c"), 0);
    if (!FindProgram("xclip").empty()) {
        std::string formula;
        EXPECT_TRUE(WaitFor([&] { return (formula = Clipboard()) == "14"; })) << formula;
    }
    ASSERT_EQ(Xdotool("key Return"), 0);
    EXPECT_TRUE(ShowsTheHeadlessArea());
}

// After a script's message box is answered with Enter, the keyboard is the main window's again:
// on the Formula page Enter presses "=".
TEST_F(ProgramX11, AfterAScriptsMessageBoxEnterStillPressesEquals)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "MsgBox 1" }));
    ASSERT_TRUE(ClickAt(places.run));
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "VBScript").has_value(); })) << "no message box was mapped";
    ASSERT_EQ(Xdotool("key Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "VBScript").has_value(); })) << "the message box stayed";
    ASSERT_TRUE(ClickAt(places.formulaTab));
    ASSERT_TRUE(ClickAt(m_input));
    ASSERT_EQ(Xdotool("key ctrl+a"), 0);
    ASSERT_EQ(Xdotool("type --delay 20 '2+3*4'"), 0);
    ASSERT_EQ(Xdotool("key Return"), 0);
    EXPECT_TRUE(ShowsTheHeadlessArea());
}

// A termination signal ends the program without a question: with a changed script, what the
// program keeps is saved and the script is not (no box asks about it) but kept as a recovery copy
// that the next start names; a running script stops first; and a second signal right behind the
// first does not cut the saving short.
class ProgramX11Signals : public ProgramX11 {
protected:
    // Starts the program on the server, calculates the formula, types the script's lines (and
    // runs them, until the program is seen busy), sends the signals and checks the end.
    void EndWithSignals(const std::string& formula, const std::vector<std::string>& script, bool run, const std::vector<int>& signals)
    {
        FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
        ScriptPagePlaces places;
        ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
        HeadlessReference();
        ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
        ASSERT_EQ(MoveTo(m_input), 0);
        ASSERT_EQ(Xdotool("key ctrl+x"), 0);
        ASSERT_EQ(Xdotool("type --delay 20 '" + formula + "'"), 0);
        ASSERT_EQ(Xdotool("key Return"), 0);
        ASSERT_NO_FATAL_FAILURE(TypeScript(places, script));
        if (run) {
            const long before = SampleProcess(m_program->pid()).ticks;
            ASSERT_TRUE(ClickAt(places.run));
            ASSERT_TRUE(WaitFor([&] { return SampleProcess(m_program->pid()).ticks - before > sysconf(_SC_CLK_TCK); }))
                << "the script does not run";
        }
        for (int signal : signals)
            ::kill(m_program->pid(), signal);
        ASSERT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end: "
                                                                       << Screenshot(m_x, *m_window, 600, 500);
        EXPECT_TRUE(WIFEXITED(m_program->ExitStatus())) << "ended by signal " << WTERMSIG(m_program->ExitStatus());
        // Its own end, not the last resort's.
        EXPECT_EQ(WEXITSTATUS(m_program->ExitStatus()), 0);
        EXPECT_NE(TempSettingsFolder::ReadAll(m_programSettings + "/Formulon/registry.txt").find("\"WP\""), std::string::npos);
        const std::string lastContent = TempSettingsFolder::ReadAll(m_programSettings + "/Formulon/Fln.ini");
        EXPECT_NE(lastContent.find("f(x)=" + formula), std::string::npos) << lastContent;
        ASSERT_NO_FATAL_FAILURE(CheckTheRecoveryCopy(script));
    }

    // The one recovery copy the program kept, and its text.
    void ReadTheRecoveryCopy(std::filesystem::path& copy, std::string& kept)
    {
        const std::string folder = m_programSettings + "/Formulon/Recovered scripts";
        std::vector<std::filesystem::path> copies;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            copies.push_back(entry.path());
        ASSERT_EQ(copies.size(), 1u);
        copy = copies[0];
        kept = TempSettingsFolder::ReadAll(copy.string());
    }
    // The changed script was kept, privately, beside the settings, and the next start says where.
    void CheckTheRecoveryCopy(const std::vector<std::string>& script)
    {
        std::filesystem::path copy;
        std::string kept;
        ASSERT_NO_FATAL_FAILURE(ReadTheRecoveryCopy(copy, kept));
        for (const std::string& line : script)
            EXPECT_NE(kept.find(line), std::string::npos) << kept;
        EXPECT_EQ(std::filesystem::status(copy).permissions() & std::filesystem::perms::all, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

        ASSERT_TRUE(StartProgram()) << "no main window was mapped";
        ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "nothing told of the copy: " << Picture();
        const std::filesystem::path told = copy.parent_path() / copy.stem();
        EXPECT_EQ(TempSettingsFolder::ReadAll(told.string()), kept) << "the copy is not where the start says";
        ASSERT_EQ(Xdotool("key Return"), 0);
        ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "the box stayed";
        EXPECT_TRUE(CloseAndWait());
    }
};

TEST_F(ProgramX11Signals, WithAChangedScriptASignalSavesTheRestWithoutAQuestion)
{
    EndWithSignals("6*7", { "Rem changed" }, false, { SIGTERM });
}

TEST_F(ProgramX11Signals, ARunningScriptStopsAndASecondSignalDoesNotCutTheSaveShort)
{
    EndWithSignals("6*8", { "Do", "Loop" }, true, { SIGTERM, SIGHUP });
}

// A script's Class_Terminate that never ends, run as the script's objects go at the close that the
// signal's stop brings, where no message is taken: each of the signals still ends the program in
// its own way, keeping the script.
class ProgramX11EachSignal : public ProgramX11Signals, public testing::WithParamInterface<int> {};

TEST_P(ProgramX11EachSignal, ARunawayClassTerminateDoesNotHoldTheEnd)
{
    EndWithSignals("6*9", { "Class C", "Sub Class_Terminate", "Do", "Loop", "End Sub", "End Class", "Set o = New C", "Do", "Loop" }, true, { GetParam() });
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramX11EachSignal, testing::Values(SIGTERM, SIGHUP, SIGINT),
    [](const testing::TestParamInfo<int>& info) { return std::string(sigabbrev_np(info.param)); });

// "Recovered scripts" replaced by a link to another folder: the signal's copy goes to the private
// folder in the runtime folder, the other folder stays as it was, also through the next start,
// which names the copy.
TEST_F(ProgramX11Signals, ALinkInTheCopiesPlaceIsNotFollowed)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    namespace fs = std::filesystem;
    const std::string elsewhere = m_settings.root() + "/elsewhere";
    for (int index = 0; index < 13; ++index)
        TempSettingsFolder::WriteAll(elsewhere + "/Script 2020-01-01 00.00." + (index < 10 ? "0" : "") + std::to_string(index) + ".vbs", "theirs");
    fs::permissions(elsewhere, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::create_directories(m_settings.root() + "/x11/Formulon");
    fs::create_directory_symlink(elsewhere, m_settings.root() + "/x11/Formulon/Recovered scripts");
    const std::string runtime = m_settings.root() + "/runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtime);

    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    HeadlessReference();
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "Rem kept" }));
    ::kill(m_program->pid(), SIGTERM);
    ASSERT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end";
    const auto unchanged = [&] {
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(elsewhere))
            ++files;
        EXPECT_EQ(files, 13u);
        EXPECT_EQ(fs::status(elsewhere).permissions() & fs::perms::all, fs::perms(0755));
    };
    unchanged();
    std::vector<fs::path> copies;
    for (const auto& entry : fs::recursive_directory_iterator(runtime))
        if (entry.path().extension() == ".new")
            copies.push_back(entry.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NE(TempSettingsFolder::ReadAll(copies[0].string()).find("Rem kept"), std::string::npos);

    ASSERT_TRUE(StartProgram()) << "no main window was mapped";
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "nothing told of the copy: " << Picture();
    EXPECT_TRUE(fs::exists(copies[0].parent_path() / copies[0].stem())) << "the copy is not where the start says";
    ASSERT_EQ(Xdotool("key Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "the box stayed";
    EXPECT_TRUE(CloseAndWait());
    unchanged();
}

// A box that holds the window (the About box here) waits for nobody: the signal closes it and ends.
TEST_F(ProgramX11Signals, ABoxOnTheScreenDoesNotHoldTheEnd)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    HeadlessReference();
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_EQ(Xdotool("key alt+h a"), 0);
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "About Formulon").has_value(); })) << "no About box";
    ::kill(m_program->pid(), SIGTERM);
    ASSERT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end: " << Screenshot(m_x, *m_window, 600, 500);
    EXPECT_TRUE(WIFEXITED(m_program->ExitStatus()));
    EXPECT_NE(TempSettingsFolder::ReadAll(m_programSettings + "/Formulon/registry.txt").find("\"WP\""), std::string::npos);
}

// A window held where nothing checks for the end, here by an X server that stopped answering while
// a script's box was up: the last resort ends the program (given half a second here, as it is what
// the test is about) with the changed script kept, and the next start names the copy.
TEST_F(ProgramX11Signals, AWindowHeldByAStoppedServerEndsThroughTheLastResort)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScopedEnv endWait("FORMULON_END_WAIT_MS", "500");
    const std::vector<std::string> script { "MsgBox \"held\"" };
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, script));
    ASSERT_TRUE(ClickAt(places.run));
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "VBScript").has_value(); })) << "no message box was mapped";
    {
        // No X call of the test's own until the server goes on.
        struct Stopped {
            pid_t server;
            ~Stopped() { ::kill(server, SIGCONT); }
        } stopped { m_server.Pid() };
        ASSERT_EQ(::kill(stopped.server, SIGSTOP), 0);
        ASSERT_EQ(::kill(m_program->pid(), SIGTERM), 0);
        ASSERT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end";
    }
    ASSERT_TRUE(WIFEXITED(m_program->ExitStatus())) << "ended by signal " << WTERMSIG(m_program->ExitStatus());
    EXPECT_EQ(WEXITSTATUS(m_program->ExitStatus()), 128 + SIGTERM) << "not the last resort's end";
    ASSERT_NO_FATAL_FAILURE(CheckTheRecoveryCopy(script));
}

// Replace All of "total" by "sum" inside a line of megabytes, started from the Replace dialog's
// keys, is seen running (the program uses the processor) before the test acts: Esc ends it with the
// line as it was (the replacements of a line are put in at once), and the program answers again; a
// termination signal ends the program in its own way, keeping the changed script.
class ProgramX11LongReplace : public ProgramX11Signals {
protected:
    void StartReplaceAllOnALongLine()
    {
        FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
        // Below the first page, where no picture needs its colours.
        for (int line = 0; line < 100; ++line)
            m_script += "' line " + std::to_string(line) + "\r\n";
        for (int piece = 0; piece < 150000; ++piece)
            m_longLine += "total = total + Len(\"text\") : ";
        m_script += m_longLine;
        const std::string path = m_settings.root() + "/long-line.vbs";
        std::ofstream(path) << m_script;
        ScriptPagePlaces places;
        ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
        ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
        ASSERT_TRUE(ClickAt(places.scriptTab));
        ASSERT_TRUE(ClickAt(places.editor));
        ASSERT_NO_FATAL_FAILURE(LoadContent(path));
        // Changed after the load, so that an end keeps a copy.
        ASSERT_EQ(Xdotool("key ctrl+Home"), 0);
        ASSERT_EQ(Xdotool("type --delay 20 '" + m_changed + "'"), 0);
        ASSERT_EQ(Xdotool("key Return ctrl+Home ctrl+h"), 0);
        ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Replace").has_value(); })) << "no Replace dialog: " << Picture();
        ASSERT_EQ(Xdotool("key End shift+Home BackSpace"), 0);
        ASSERT_EQ(Xdotool("type --delay 20 total"), 0);
        ASSERT_EQ(Xdotool("key --delay 100 alt+p"), 0);
        ASSERT_EQ(Xdotool("type --delay 20 sum"), 0);
        // At rest first: the work the keys before brought must not pass for the replace-all.
        ASSERT_TRUE(WaitUntilAtRest()) << "the program does not come to rest";
        const long before = SampleProcess(m_program->pid()).ticks;
        ASSERT_EQ(Xdotool("key --delay 100 alt+a"), 0);
        ASSERT_TRUE(WaitFor([&] { return SampleProcess(m_program->pid()).ticks - before > sysconf(_SC_CLK_TCK) / 4; }))
            << "the replace-all does not run";
        ASSERT_FALSE(ProgramWindow(m_x, 0, "Formulon").has_value()) << "it ended before it was seen running: " << Picture();
    }

    const std::string m_changed = "Rem changed";
    std::string m_longLine, m_script;
};

TEST_F(ProgramX11LongReplace, EscEndsAReplaceAllInALongLineWithTheLineAsItWas)
{
    ASSERT_NO_FATAL_FAILURE(StartReplaceAllOnALongLine());
    ASSERT_EQ(Xdotool("key Escape"), 0);
    // The dialog stays after the run; the next Esc closes it.
    ASSERT_TRUE(ProgramWindow(m_x, 0, "Replace").has_value()) << Picture();
    ASSERT_EQ(Xdotool("key Escape"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Replace").has_value(); })) << "the program does not answer: " << Picture();
    EXPECT_FALSE(ProgramWindow(m_x, 0, "Formulon").has_value()) << "the replace-all ran to its end: " << Picture();
    // The text as the program keeps it when a signal ends it. (A copy through the clipboard would
    // first show the line's end, whose colours take seconds to work out under the sanitizers.)
    ::kill(m_program->pid(), SIGTERM);
    ASSERT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end: " << Picture();
    std::filesystem::path copy;
    std::string kept;
    ASSERT_NO_FATAL_FAILURE(ReadTheRecoveryCopy(copy, kept));
    EXPECT_NE(kept.find(m_changed), std::string::npos);
    EXPECT_NE(kept.find(m_longLine), std::string::npos) << "the long line is not as it was";
    EXPECT_EQ(kept.find("sum"), std::string::npos) << "replacements were left in";
}

TEST_F(ProgramX11LongReplace, SigtermEndsAReplaceAllInALongLineAndKeepsTheScript)
{
    ASSERT_NO_FATAL_FAILURE(StartReplaceAllOnALongLine());
    ::kill(m_program->pid(), SIGTERM);
    ASSERT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end: " << Picture();
    EXPECT_TRUE(WIFEXITED(m_program->ExitStatus())) << "ended by signal " << WTERMSIG(m_program->ExitStatus());
    EXPECT_EQ(WEXITSTATUS(m_program->ExitStatus()), 0);
    ASSERT_NO_FATAL_FAILURE(CheckTheRecoveryCopy({ m_changed, m_longLine }));
}

// The editor's Find and Replace dialogs search with regular expressions in the program as in its
// tests: \d+ finds the digits, and Replace All replaces every match.
TEST_F(ProgramX11, FindAndReplaceAllMatchARegularExpression)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "x = 42 + 7" }));
    ASSERT_EQ(Xdotool("key ctrl+Home ctrl+f"), 0);
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Find").has_value(); })) << "no Find dialog";
    ASSERT_EQ(Xdotool("key End shift+Home BackSpace"), 0);
    ASSERT_EQ(Xdotool("type --delay 20 '\\d+'"), 0);
    ASSERT_EQ(Xdotool("key --delay 100 alt+e Return"), 0);
    // Found: the dialog goes, the match selected in the text.
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Find").has_value(); }))
        << "the Find dialog stayed: " << Picture();
    ASSERT_EQ(Xdotool("key ctrl+c"), 0);
    std::string copied;
    EXPECT_TRUE(WaitFor([&] { return (copied = Clipboard()) == "42"; })) << copied;

    ASSERT_EQ(Xdotool("key ctrl+h"), 0);
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Replace").has_value(); })) << "no Replace dialog";
    ASSERT_EQ(Xdotool("key End shift+Home BackSpace"), 0);
    ASSERT_EQ(Xdotool("type --delay 20 '\\d+'"), 0);
    ASSERT_EQ(Xdotool("key --delay 100 alt+p"), 0);
    ASSERT_EQ(Xdotool("type --delay 20 'N'"), 0);
    // The options stay from the Find dialog: a regular expression, now over the whole file.
    ASSERT_EQ(Xdotool("key --delay 100 alt+o alt+a Escape"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Replace").has_value(); }))
        << "the Replace dialog stayed: " << Picture();
    ASSERT_EQ(Xdotool("key ctrl+a ctrl+c"), 0);
    EXPECT_TRUE(WaitFor([&] { return (copied = Clipboard()).find("x = N + N") != std::string::npos; }))
        << copied;
}

// Closing the program, from the window manager or with SIGTERM, while a script's MsgBox is up: the
// script stops, its box goes, and the program ends (after the question about the changed script
// where the user closed it; a signal asks nothing).
TEST_F(ProgramX11, ClosingDuringAScriptsMessageBoxEndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(CloseDuringAScriptsMessageBox([&] { CloseFromTheWindowManager(); }, true));
}

TEST_F(ProgramX11, SigtermDuringAScriptsMessageBoxEndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(CloseDuringAScriptsMessageBox([&] { ::kill(m_program->pid(), SIGTERM); }, false));
}

// Stop ends a running script from the tool bar and from the menu while the script was started from
// the tool bar, and Esc ends a script that shows one MsgBox after another: each Run afterwards
// starts the script again, which adds one "x" to the formula (the fourth and later ones show a box).
TEST_F(ProgramX11, StopEndsARunningScriptFromTheBarTheMenuAndEsc)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "FLN.Formula = FLN.Formula & \"x\"", "Do", "If InStr(FLN.Formula, \"xxx\") Then MsgBox \"again\"", "Loop" }));
    const auto box = [&] { return ProgramWindow(m_x, 0, "VBScript").has_value(); };
    // Run and Stop on the tool bar: Stop takes the place of Run while the script runs.
    ASSERT_TRUE(ClickAt(places.run));
    ASSERT_TRUE(ClickAt(places.stop));
    // Run on the tool bar, Code > Stop on the menu.
    ASSERT_TRUE(ClickAt(places.run));
    ASSERT_EQ(Xdotool("key --delay 150 alt+c s"), 0);
    // From here each run (Code > Run) shows box after box; Esc in the box ends the script.
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(Xdotool("key --delay 150 alt+c r"), 0);
        ASSERT_TRUE(WaitFor(box)) << "no message box: " << Picture();
        ASSERT_EQ(Xdotool("key Escape"), 0);
        ASSERT_TRUE(WaitFor([&] { return !box(); })) << "the box stayed";
    }
    ASSERT_TRUE(ClickAt(places.formulaTab));
    ASSERT_TRUE(ClickAt(m_input));
    ASSERT_EQ(Xdotool("key ctrl+a ctrl+c"), 0);
    std::string formula;
    EXPECT_TRUE(WaitFor([&] { return (formula = Clipboard()).ends_with("xxxx") && !formula.ends_with("xxxxx"); }))
        << formula << " " << Picture();
}

// The object the script's last line made ends when the script is closed, and its terminator shows
// a box and then never returns: Esc ends it as it ends the script's own loop, and the program
// answers again, so that the next Run shows the box again.
TEST_F(ProgramX11, EscEndsARunawayTerminatorRunAtTheScriptsEnd)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "Class T", "Private Sub Class_Terminate()", "MsgBox \"ending\"", "Do",
                                                 "Loop", "End Sub", "End Class", "Dim t", "Set t = New T" }));
    const auto box = [&] { return ProgramWindow(m_x, 0, "VBScript").has_value(); };
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(ClickAt(places.run));
        ASSERT_TRUE(WaitFor(box)) << "no message box from the terminator in run " << run << ": " << Picture();
        ASSERT_EQ(Xdotool("key Return"), 0);
        ASSERT_TRUE(WaitFor([&] { return !box(); })) << "the box stayed";
        ASSERT_EQ(Xdotool("key Escape"), 0);
    }
}

// View > Verify on the Formula page works after the Date & Time page, which does not answer it, has
// shown the menu both pages share with Verify disabled: the switch is saved turned off.
TEST_F(ProgramX11, VerifyWorksAfterAnotherPagesMenu)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Page().m_bVerify);
    const POINT formulaTab = TabPlace<CFlnView>(), dateTab = TabPlace<CDlgCalendarView>(), input = PlaceInFrame(Field(kFormulaField));
    Stop();

    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(dateTab));
    ASSERT_EQ(Xdotool("key --delay 150 alt+v"), 0);
    ASSERT_TRUE(WaitFor([&] { return ProgramPopupMapped(m_x); })) << "the View menu opens: " << Picture();
    ASSERT_EQ(Xdotool("key --delay 150 Escape Escape"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramPopupMapped(m_x); }));
    ASSERT_TRUE(ClickAt(formulaTab));
    ASSERT_TRUE(ClickAt(input));
    ASSERT_EQ(Xdotool("key --delay 150 alt+v v"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramPopupMapped(m_x); })) << "the item was chosen: " << Picture();
    ASSERT_TRUE(CloseAndWait()) << "the program did not end";
    const std::string saved = SavedLastContent();
    EXPECT_NE(saved.find("VerifyResult=0"), std::string::npos) << saved;
}

// A script that shows one MsgBox after another ends with a click on the script bar's Stop while a
// box is up, on the bar docked under the menu and on the bar floating in a frame of its own (under
// a window manager), started from the menu or from the floating bar's Run: each run adds one "x"
// to the formula, and each Run after a Stop starts again.
TEST_F(ProgramX11, StopOnTheBarEndsAMessageBoxLoopDockedAndFloating)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip", "openbox");
    ScriptPagePlaces places;
    HeadlessReference();
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    // Headless: the gripper of the docked bar, and Stop in the bar's floating frame from its corner.
    ASSERT_TRUE(Start());
    Frame().m_wndTab.ActivateTab(3);
    Pump();
    SECCustomToolBar& bar = Frame().m_wndScriptBar;
    RECT frame, docked;
    GetWindowRect(Frame().m_hWnd, &frame);
    GetWindowRect(bar.m_hWnd, &docked);
    const POINT grip { docked.left - frame.left + 3, (docked.top + docked.bottom) / 2 - frame.top };
    Frame().FloatControlBar(&bar, CPoint(300, 300));
    Pump();
    RECT floatingFrame;
    GetWindowRect(GetAncestor(bar.m_hWnd, GA_ROOT), &floatingFrame);
    auto floatingPlace = [&](UINT id) {
        int index = 0;
        while (index < bar.GetButtonCount() && bar.GetButton(index)->m_nID != id)
            ++index;
        EXPECT_LT(index, bar.GetButtonCount());
        CRect button;
        bar.GetItemRect(index, &button);
        CPoint centre = button.CenterPoint();
        bar.ClientToScreen(&centre);
        return POINT { centre.x - floatingFrame.left, centre.y - floatingFrame.top };
    };
    const POINT floatingStop = floatingPlace(ID_SCRIPT_STOP), floatingRun = floatingPlace(ID_SCRIPT_RUN);
    Stop();

    ASSERT_TRUE(StartOnServer({}, true)) << "no main window was mapped";
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "FLN.Formula = FLN.Formula & \"x\"", "Do", "MsgBox \"again\"", "Loop" }));
    const auto box = [&] { return ProgramWindow(m_x, 0, "VBScript").has_value(); };
    auto runUntilTheBox = [&] {
        ASSERT_TRUE(ClickAt(places.editor));
        ASSERT_EQ(Xdotool("key --delay 150 alt+c r"), 0);
        ASSERT_TRUE(WaitFor(box)) << "no message box: " << Picture();
    };
    // Docked: twice, so that the second run shows that the first one ended.
    for (int run = 0; run < 2; ++run) {
        ASSERT_NO_FATAL_FAILURE(runUntilTheBox());
        ASSERT_TRUE(ClickAt(places.stop));
        ASSERT_TRUE(WaitFor([&] { return !box(); })) << "Stop on the docked bar: " << Picture();
    }
    // Floating: the bar's own drag, a double click on its gripper, floats it.
    ASSERT_TRUE(ClickAt(places.editor));
    ASSERT_EQ(MoveTo(grip), 0);
    ASSERT_EQ(Xdotool("click --repeat 2 --delay 80 1"), 0);
    Window floating = 0;
    ASSERT_TRUE(WaitFor([&] { return (floating = ProgramWindow(m_x, 0, "VBScriptEditor").value_or(0)) != 0; }))
        << "the bar floats: " << Screenshot(m_x, DefaultRootWindow(m_x), 1280, 1024, "floating-script-bar.png");
    ASSERT_NO_FATAL_FAILURE(runUntilTheBox());
    const RECT onScreen = ScreenRect(m_x, floating);
    auto clickOnTheFloatingBar = [&](POINT place) {
        return Xdotool("mousemove " + std::to_string(onScreen.left + place.x) + " " + std::to_string(onScreen.top + place.y) + " click 1");
    };
    ASSERT_EQ(clickOnTheFloatingBar(floatingStop), 0);
    ASSERT_TRUE(WaitFor([&] { return !box(); })) << "Stop on the floating bar: " << Screenshot(m_x, DefaultRootWindow(m_x), 1280, 1024, "floating-stop.png");
    // Started from the floating bar itself, whose frame the click made the active window.
    ASSERT_EQ(clickOnTheFloatingBar(floatingRun), 0);
    ASSERT_TRUE(WaitFor(box)) << "no message box: " << Picture();
    ASSERT_EQ(clickOnTheFloatingBar(floatingStop), 0);
    ASSERT_TRUE(WaitFor([&] { return !box(); })) << "Stop on the floating bar after Run on it: "
                                                 << Screenshot(m_x, DefaultRootWindow(m_x), 1280, 1024, "floating-run-stop.png");

    ASSERT_NO_FATAL_FAILURE(ExpectTheFormulaEndsInRuns(places, 4));
}

// A script that loops without end keeps its bar on the Formula page, whose Stop ends it; back on
// the script page its Code menu is there again and runs the script anew: each run adds one "x".
TEST_F(ProgramX11, StopOnTheFormulaPageEndsTheScriptAndItsPageComesBackWhole)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "FLN.Formula = FLN.Formula & \"x\"", "Dim i", "Do : i = i + 1 : Loop" }));
    ASSERT_TRUE(ClickAt(places.run));
    ASSERT_TRUE(ClickAt(places.formulaTab));
    ASSERT_TRUE(ClickAt(places.stop));
    ASSERT_TRUE(ClickAt(places.scriptTab));
    ASSERT_TRUE(ClickAt(places.editor));
    // Code > Run starts the script again only once the first run has ended; Code > Stop ends it.
    ASSERT_EQ(Xdotool("key --delay 150 alt+c r"), 0);
    ASSERT_EQ(Xdotool("key --delay 150 alt+c s"), 0);
    ASSERT_NO_FATAL_FAILURE(ExpectTheFormulaEndsInRuns(places, 2));
}

// The editor's scroll bars show (disabled while the text fits) from the page's first showing on, and
// after a message box of a script.
TEST_F(ProgramX11, TheEditorsScrollBarsStayShown)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    auto barsShown = [&] {
        for (POINT bar : { places.verticalBar, places.horizontalBar })
            if (ServerArea(m_x, *m_window, { bar.x, bar.y, bar.x + 1, bar.y + 1 }) != std::vector<COLORREF> { face })
                return false;
        return true;
    };
    ASSERT_TRUE(ClickAt(places.scriptTab));
    EXPECT_TRUE(WaitFor(barsShown)) << "first showing: " << Picture();
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "MsgBox 1" }));
    ASSERT_TRUE(ClickAt(places.run));
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "VBScript").has_value(); })) << "no message box was mapped";
    ASSERT_EQ(Xdotool("key Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "VBScript").has_value(); }));
    EXPECT_TRUE(WaitFor(barsShown)) << "after the message box: " << Picture();
}

// In a 100,000-line script loaded with Ctrl+L, the editor's vertical thumb dragged three quarters
// down with the mouse leaves the script there when let go, past the 65,536 lines a scroll request
// has room for: the top line then is near line 75,000.
TEST_F(ProgramX11, AThumbLetGoInALongScriptStaysWhereItWasDragged)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    const std::string script = m_settings.root() + "/long.vbs";
    {
        std::ofstream file(script);
        for (int line = 0; line < 100000; ++line)
            file << "' line " << line << "\r\n";
    }
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(places.scriptTab));
    ASSERT_TRUE(ClickAt(places.editor));
    ASSERT_EQ(Xdotool("key ctrl+l"), 0);
    ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Load Content' ") == 0; })) << "no file dialog";
    ASSERT_EQ(Xdotool("type --delay 20 '" + script + "'"), 0);
    ASSERT_EQ(Xdotool("key Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return Xdotool("search --onlyvisible --name '^Load Content' ") != 0; })) << "the dialog stayed";
    // The number of the line at the top of the view: clicked, and copied from its start to its end.
    auto topLine = [&]() -> long {
        if (!ClickAt(places.text) || Xdotool("key Home shift+End ctrl+c") != 0)
            return -1;
        const std::string line = Clipboard();
        return line.starts_with("' line ") ? std::stol(line.substr(7)) : -1;
    };
    ASSERT_TRUE(WaitFor([&] { return topLine() == 0; })) << "the script was not loaded: " << Picture();
    const POINT thumb { places.verticalTrack.x, places.verticalTrack.y + 2 };
    ASSERT_EQ(MoveTo(thumb), 0);
    ASSERT_EQ(Xdotool("mousedown 1"), 0);
    ASSERT_EQ(MoveTo({ thumb.x, thumb.y + places.verticalTrackLength / 2 }), 0);
    ASSERT_EQ(MoveTo({ thumb.x, thumb.y + places.verticalTrackLength * 3 / 4 }), 0);
    ASSERT_EQ(Xdotool("mouseup 1"), 0);
    long top = -1;
    EXPECT_TRUE(WaitFor([&] { return (top = topLine()) > 65536; })) << "the top line is " << top << ": " << Picture();
    EXPECT_LT(top, 85000);
}

// A short script loaded with Ctrl+L after End on a 500-character line is drawn from its first
// column, with the horizontal thumb back at the left as on a page never scrolled.
TEST_F(ProgramX11, LoadContentAfterEndOnALongLineShowsTheScriptFromItsFirstColumn)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    const std::string longScript = m_settings.root() + "/long-line.vbs", shortScript = m_settings.root() + "/short.vbs";
    std::ofstream(longScript) << "' " << std::string(500, 'a');
    std::ofstream(shortScript) << "x = 1\r\n";
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(places.scriptTab));
    ASSERT_TRUE(ClickAt(places.editor));
    // The horizontal bar's middle row up to the vertical bar: its arrows, track and thumb, first as
    // the page shows them unscrolled.
    const RECT barRow { places.text.x, places.horizontalBar.y, places.verticalBar.x - barWidth / 2, places.horizontalBar.y + 1 };
    ASSERT_TRUE(WaitFor([&] {
        return ServerArea(m_x, *m_window, { places.horizontalBar.x, places.horizontalBar.y, places.horizontalBar.x + 1, places.horizontalBar.y + 1 })
            == std::vector<COLORREF> { face };
    })) << "no horizontal bar: " << Picture();
    // Taken once the program has drawn all it will: on a busy machine the first pictures may still
    // be on their way.
    ASSERT_TRUE(WaitUntilAtRest()) << "the program does not come to rest";
    const std::vector<COLORREF> unscrolled = ServerArea(m_x, *m_window, barRow);
    ASSERT_NO_FATAL_FAILURE(LoadContent(longScript));
    ASSERT_EQ(Xdotool("key End"), 0);
    ASSERT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, barRow) != unscrolled; })) << "End did not scroll: " << Picture();
    ASSERT_NO_FATAL_FAILURE(LoadContent(shortScript));
    // "x = 1" from its second column (the caret may stand in the first): more than the background.
    const RECT firstColumns { places.text.x + places.character.cx, places.text.y, places.text.x + 5 * places.character.cx,
        places.text.y + places.character.cy };
    EXPECT_TRUE(WaitFor([&] {
        const std::vector<COLORREF> pixels = ServerArea(m_x, *m_window, firstColumns);
        return std::ranges::any_of(pixels, [&](COLORREF pixel) { return pixel != pixels.front(); });
    })) << "the script is not drawn at the left: " << Picture();
    EXPECT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, barRow) == unscrolled; })) << "the thumb is not at the left: " << Picture();
}

// The error box of a script whose failing line is thousands of characters long fits the screen, its
// OK button on it.
TEST_F(ProgramX11, AScriptErrorOnALongLineFitsTheScreen)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, {}));
    // The line comes through the clipboard: typing it would take minutes.
    const std::string line = "x = 1 / 0 ' " + std::string(2000, 'a');
    const SelectionTextOwner copy(m_server.Name(), "CLIPBOARD", line);
    ASSERT_TRUE(copy.Connected());
    ASSERT_EQ(Xdotool("key ctrl+v"), 0);
    ASSERT_TRUE(WaitFor([&] { return copy.Answered() > 0; })) << "Ctrl+V did not ask for the clipboard";
    ASSERT_TRUE(ClickAt(places.run));
    std::optional<Window> box;
    ASSERT_TRUE(WaitFor([&] { return (box = ProgramWindow(m_x, 0, "Formulon")).has_value(); })) << "no error box: " << Picture();
    const RECT area = ScreenRect(m_x, *box);
    XWindowAttributes screen {};
    XGetWindowAttributes(m_x, DefaultRootWindow(m_x), &screen);
    EXPECT_GE(area.left, 0);
    EXPECT_GE(area.top, 0);
    EXPECT_LE(area.right, screen.width);
    EXPECT_LE(area.bottom, screen.height);
    // The picture to look at, once the box is drawn.
    ASSERT_TRUE(WaitUntilAtRest()) << "the program does not come to rest";
    WriteServerScreenshot(m_x, "formulon-long-error", screen.width, screen.height);
    ASSERT_EQ(Xdotool("key Return"), 0);
    EXPECT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "Enter answers the box";
}

// A run-time error inside the text that Execute (in a Sub) or ExecuteGlobal runs, here on the
// second line of ExecuteGlobal's text, is shown at the statement that ran it: the error box names
// that statement's line and shows it, and after the box the caret is on it.
TEST_F(ProgramX11, AnErrorInsideExecuteTextIsShownAtTheExecuteStatement)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    struct Case {
        std::vector<std::string> script;
        int line; // of the Execute statement, from 1
    };
    const Case cases[] = {
        { { "Option Explicit", "Sub S", "Dim a", "Execute \"a = 1 / 0\"", "End Sub", "S" }, 4 },
        { { "Option Explicit", "Dim x, y", "ExecuteGlobal \"x = 1\" & vbLf & \"y = 1 / 0\"" }, 3 },
    };
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    for (const Case& c : cases) {
        const std::string& statement = c.script[static_cast<size_t>(c.line - 1)];
        SCOPED_TRACE(statement);
        ASSERT_TRUE(ClickAt(places.scriptTab));
        ASSERT_TRUE(ClickAt(places.editor));
        ASSERT_EQ(Xdotool("key ctrl+a Delete"), 0);
        ASSERT_NO_FATAL_FAILURE(TypeScript(places, c.script));
        ASSERT_TRUE(ClickAt(places.run));
        std::optional<Window> box;
        ASSERT_TRUE(WaitFor([&] { return (box = ProgramWindow(m_x, 0, "Formulon")).has_value(); })) << "no error box: " << Picture();
        const std::wstring line = L"Line: " + std::to_wstring(c.line), shown(statement.begin(), statement.end());
        EXPECT_TRUE(WaitFor([&] { return BoxShowsLine(*box, line) && BoxShowsLine(*box, shown); }))
            << "the box does not show the statement's line: " << WriteServerScreenshot(m_x, "formulon-execute-error", 1280, 1024);
        ASSERT_EQ(Xdotool("key Return"), 0);
        ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "Enter answers the box";
        // The caret's line, copied whole.
        ASSERT_EQ(Xdotool("key Home shift+End ctrl+c"), 0);
        std::string copied;
        EXPECT_TRUE(WaitFor([&] { return (copied = Clipboard()) == statement; })) << copied;
    }
}

// The Find dialog opens over the middle of the main window, with the word at the caret proposed and
// selected: what the user types replaces it.
TEST_F(ProgramX11, TheFindDialogOpensOverItsOwnerWithTheProposalSelected)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "x = 1" }));
    ASSERT_EQ(Xdotool("key ctrl+Home ctrl+f"), 0);
    std::optional<Window> find;
    ASSERT_TRUE(WaitFor([&] { return (find = ProgramWindow(m_x, 0, "Find")).has_value(); })) << "no Find dialog";
    const RECT dialog = ScreenRect(m_x, *find), owner = ScreenRect(m_x, *m_window);
    const POINT middle { (dialog.left + dialog.right) / 2, (dialog.top + dialog.bottom) / 2 };
    EXPECT_LE(std::abs(middle.x - (owner.left + owner.right) / 2), 1) << "over the middle of the main window";
    EXPECT_LE(std::abs(middle.y - (owner.top + owner.bottom) / 2), 1);
    // "Option" is proposed; the typed "1" takes its place and is found on the next line.
    ASSERT_EQ(Xdotool("type --delay 50 1"), 0);
    ASSERT_EQ(Xdotool("key Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Find").has_value(); })) << "not found: " << Picture();
    ASSERT_EQ(Xdotool("key ctrl+c"), 0);
    std::string copied;
    EXPECT_TRUE(WaitFor([&] { return (copied = Clipboard()) == "1"; })) << copied;
}

// Alt chords the editor uses leave the menu bar alone: after Alt+Backspace (undo) the letters typed
// go into the text (not File > Exit), and after an Alt-drag column selection Ctrl+C copies the
// column (rather than opening the Code menu).
TEST_F(ProgramX11, EditorAltChordsDoNotArmTheMenuBar)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(StartForTheScriptPage(places));
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "abc" }));
    ASSERT_EQ(Xdotool("key alt+BackSpace"), 0);
    ASSERT_EQ(Xdotool("type --delay 50 fx"), 0);
    // Columns 0 and 1 of lines 0 and 1, dragged with Alt held.
    auto at = [&](int line, int column) {
        return std::to_string(places.text.x + column * places.character.cx) + " "
            + std::to_string(places.text.y + line * places.character.cy + places.character.cy / 2);
    };
    const std::string window = std::to_string(*m_window);
    ASSERT_EQ(Xdotool("keydown alt mousemove --window " + window + " " + at(0, 0) + " mousedown 1 mousemove --window " + window
                  + " " + at(1, 1) + " mousemove --window " + window + " " + at(1, 2) + " mouseup 1 keyup alt"),
        0);
    ASSERT_EQ(Xdotool("key ctrl+c"), 0);
    std::string copied;
    EXPECT_TRUE(WaitFor([&] {
        copied = Clipboard();
        return copied.starts_with("Op") && copied.find("fx") != std::string::npos && copied.find("Option") == std::string::npos;
    })) << copied << " " << Picture();
    EXPECT_EQ(copied.find("abc"), std::string::npos) << "Alt+Backspace undid the typing";
    EXPECT_FALSE(ProgramWindow(m_x, 0, "Formulon").has_value()) << "no question of File > Exit";
}

// Help > Check for Update... chosen with the keys: the worker's notice wakes the real event loop,
// the new-version box comes up as a window of its own and Escape answers No.
TEST_F(ProgramX11, CheckForUpdateFromTheKeyboardShowsTheNewVersion)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    LoopbackHttpServer updates;
    updates.Route("/version.txt", { 200, "[Formulon]\nVersion=9.1\nDownloads=https://example.invalid/get\n" });
    ScopedEnv noProxy("no_proxy", "127.0.0.1");
    {
        ScopedEnv config("XDG_CONFIG_HOME", m_settings.root() + "/x11");
        CWinApp profile(L"FLN");
        profile.SetRegistryKey(L"Formulon");
        profile.WriteProfileString(L"Options", L"Version File URL", updates.Url("/version.txt").c_str());
    }
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    // Help is the last popup; Up from its first item wraps to About, and once more to the check.
    ASSERT_EQ(Xdotool("key --delay 100 alt+h Up Up Return"), 0);
    std::optional<Window> box;
    ASSERT_TRUE(WaitFor([&] { return (box = ProgramWindow(m_x, 0, "New Formulon Version Available")).has_value(); }))
        << "no box came up: " << Screenshot(m_x, *m_window, 600, 500);
    EXPECT_EQ(updates.RequestCount(), 1);
    ASSERT_EQ(Xdotool("key Escape"), 0);
    EXPECT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "New Formulon Version Available").has_value(); }));
    EXPECT_TRUE(ProgramWindow(m_x).has_value()) << "the program goes on";
}

// With checking turned off, Help > Check for Update... says so and offers the options, where the
// user turns it on again; Yes opens the "Options" sheet.
TEST_F(ProgramX11, CheckForUpdateWithCheckingOffOffersTheOptions)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_NO_FATAL_FAILURE(StartWithUpdateCheckingOff());
    ASSERT_EQ(Xdotool("key --delay 100 alt+h Up Up Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "no answer: " << Picture();
    ASSERT_EQ(Xdotool("key y"), 0);
    std::optional<Window> sheet;
    ASSERT_TRUE(WaitFor([&] { return (sheet = ProgramWindow(m_x, 0, "Options")).has_value(); })) << "no options: " << Picture();
    // Its Cancel button, at the bottom right, closes it.
    const RECT area = ScreenRect(m_x, *sheet);
    ASSERT_EQ(Xdotool("mousemove " + std::to_string(area.right - 50) + " " + std::to_string(area.bottom - 20) + " click 1"), 0);
    EXPECT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Options").has_value(); })) << Picture();
}

// Headless, after Start(): the middle of the menu bar's last title ("Help").
POINT HelpTitlePlace(CMainFrame& frame, const std::function<POINT(HWND, RECT)>& inFrame)
{
    auto* bar = dynamic_cast<SECMenuBar*>(frame.GetMenuBar());
    int last = -1;
    for (int item = 0; bar && item < bar->GetButtonCount(); ++item)
        if (!(bar->GetButtonStyle(item) & (TBBS_HIDDEN | TBBS_SEPARATOR)))
            last = item;
    RECT title {};
    if (last >= 0)
        bar->GetItemRect(last, &title);
    return bar ? inFrame(bar->m_hWnd, title) : POINT {};
}

// Help opened with a click, then the pointer in one jump onto "About FLN..." (as a touch screen or a
// remote desktop moves it) and a click there: the About box comes.
TEST_F(ProgramX11, AMenuItemClickedAfterOneJumpOfThePointerIsChosen)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_TRUE(Start());
    const POINT help = HelpTitlePlace(Frame(), [&](HWND window, RECT rect) { return MiddleInFrame(window, rect); });
    Stop();
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(help));
    Window popup = 0;
    ASSERT_TRUE(WaitFor([&] { return (popup = ProgramPopup(m_x)) != 0; })) << "the menu opens: " << Picture();
    const RECT area = ScreenRect(m_x, popup);
    // "About FLN..." is the popup's last item.
    ASSERT_EQ(Xdotool("mousemove " + std::to_string(area.left + 30) + " " + std::to_string(area.bottom - 8) + " click 1"), 0);
    EXPECT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "About Formulon").has_value(); })) << "no About box: " << Picture();
    ASSERT_EQ(Xdotool("key Return"), 0);
}

// The main bar's About button, clicked, OK pressed in its box and the pointer moved onto the page:
// the button goes back to its flat look.
TEST_F(ProgramX11, TheAboutButtonGoesFlatAfterItsBoxWhenThePointerHasLeft)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_TRUE(Start());
    SECCustomToolBar& bar = Frame().m_wndToolBar;
    int about = 0;
    while (about < bar.GetButtonCount() && bar.GetButton(about)->m_nID != ID_APP_ABOUT)
        ++about;
    ASSERT_LT(about, bar.GetButtonCount());
    RECT button, frame;
    bar.GetItemRect(about, &button);
    const POINT middle = MiddleInFrame(bar.m_hWnd, button);
    MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
    GetWindowRect(Frame().m_hWnd, &frame);
    OffsetRect(&button, -frame.left, -frame.top);
    const std::vector<COLORREF> flat = FramePixels(button);
    const POINT field = PlaceInFrame(Field(kFormulaField));
    Stop();
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(middle));
    ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "About Formulon").has_value(); })) << "no About box: " << Picture();
    ASSERT_EQ(Xdotool("key Return"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "About Formulon").has_value(); }));
    ASSERT_EQ(MoveTo(field), 0);
    EXPECT_TRUE(WaitFor([&] { return ServerArea(m_x, *m_window, button) == flat; })) << "the button stays lit: " << Picture();
}

// Esc on a menu opened with a click leaves the menu bar: the next letter typed reaches the field.
TEST_F(ProgramX11, AfterEscOnAClickedMenuTheNextLetterReachesTheField)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ASSERT_TRUE(Start());
    const POINT help = HelpTitlePlace(Frame(), [&](HWND window, RECT rect) { return MiddleInFrame(window, rect); });
    const POINT field = PlaceInFrame(Field(kFormulaField));
    Stop();
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(field));
    ASSERT_EQ(Xdotool("key ctrl+a Delete"), 0);
    ASSERT_EQ(Xdotool("type ab"), 0);
    ASSERT_TRUE(ClickAt(help));
    ASSERT_TRUE(WaitFor([&] { return ProgramPopupMapped(m_x); })) << "the menu opens: " << Picture();
    ASSERT_EQ(Xdotool("key Escape"), 0);
    ASSERT_TRUE(WaitFor([&] { return !ProgramPopupMapped(m_x); })) << "the menu closes: " << Picture();
    ASSERT_EQ(Xdotool("type c"), 0);
    EXPECT_TRUE(CopiesAs("abc")) << Picture();
}

// The box that offers the options answers Alt+N; the "Options" sheet closes with Esc and with Enter.
TEST_F(ProgramX11, TheOptionsSheetClosesWithEscAndEnterAndItsQuestionAnswersAltN)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    ASSERT_NO_FATAL_FAILURE(StartWithUpdateCheckingOff());
    auto ask = [&] {
        ASSERT_EQ(Xdotool("key --delay 100 alt+h Up Up Return"), 0);
        ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "no question: " << Picture();
    };
    ASSERT_NO_FATAL_FAILURE(ask());
    ASSERT_EQ(Xdotool("key alt+n"), 0);
    EXPECT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Formulon").has_value(); })) << "Alt+N left the question: " << Picture();
    EXPECT_FALSE(ProgramWindow(m_x, 0, "Options").has_value());
    for (const char* key : { "Escape", "Return" }) {
        SCOPED_TRACE(key);
        ASSERT_NO_FATAL_FAILURE(ask());
        ASSERT_EQ(Xdotool("key y"), 0);
        ASSERT_TRUE(WaitFor([&] { return ProgramWindow(m_x, 0, "Options").has_value(); })) << "no options: " << Picture();
        ASSERT_EQ(Xdotool(std::string("key ") + key), 0);
        EXPECT_TRUE(WaitFor([&] { return !ProgramWindow(m_x, 0, "Options").has_value(); })) << "the sheet stays: " << Picture();
    }
}

// Under a window manager, a stored place of no size opens the window at its usable size on the screen.
TEST_F(ProgramX11, AStoredPlaceOfNoSizeOpensAUsableWindow)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "openbox");
    {
        ScopedEnv config("XDG_CONFIG_HOME", m_settings.root() + "/x11");
        CWinApp profile(L"FLN");
        profile.SetRegistryKey(L"Formulon");
        FrameSettings stored;
        stored.placement = WINDOWPLACEMENT { sizeof(WINDOWPLACEMENT), 0, SW_SHOWNORMAL, { -1, -1 }, { -1, -1 }, { 100, 100, 100, 100 } };
        ASSERT_TRUE(stored.Save(profile));
    }
    ASSERT_TRUE(StartOnServer({}, true)) << "no main window was mapped";
    RECT placed {};
    EXPECT_TRUE(WaitFor([&] {
        placed = ScreenRect(m_x, *m_window);
        return placed.right - placed.left >= 450 && placed.bottom - placed.top >= 400;
    })) << placed.right - placed.left << " x " << placed.bottom - placed.top;
    EXPECT_GE(placed.left, 0);
    EXPECT_GE(placed.top, 0);
    EXPECT_LE(placed.right, DisplayWidth(m_x, DefaultScreen(m_x)));
    EXPECT_LE(placed.bottom, DisplayHeight(m_x, DefaultScreen(m_x)));
}

// On the script page, a bookmark set with Ctrl+F2 and the caret moved away: the bar's Previous
// Bookmark button takes the caret back, and a letter typed lands at the bookmarked line.
TEST_F(ProgramX11, ThePreviousBookmarkButtonGoesBackToTheBookmark)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ScriptPagePlaces places;
    ASSERT_NO_FATAL_FAILURE(FindScriptPagePlaces(places));
    ASSERT_TRUE(Start());
    for (int index = 0; index < Frame().m_wndTab.GetTabCount(); ++index)
        if (dynamic_cast<CVBScriptView*>(Frame().m_wndTab.GetPage(index)))
            Frame().m_wndTab.ActivateTab(index);
    Pump();
    SECCustomToolBar& bar = Frame().m_wndScriptBar;
    int previous = 0;
    while (previous < bar.GetButtonCount() && bar.GetButton(previous)->m_nID != ID_SCRIPT_BAR_PREVIOUS_BOOKMARK)
        ++previous;
    ASSERT_LT(previous, bar.GetButtonCount());
    RECT button;
    bar.GetItemRect(previous, &button);
    const POINT place = MiddleInFrame(bar.m_hWnd, button);
    Stop();
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_NO_FATAL_FAILURE(TypeScript(places, { "a", "b", "c" }));
    ASSERT_EQ(Xdotool("key Up Up Home ctrl+F2 ctrl+End"), 0);
    ASSERT_TRUE(ClickAt(place));
    ASSERT_EQ(Xdotool("type X"), 0);
    ASSERT_EQ(Xdotool("key ctrl+a ctrl+c"), 0);
    std::string text;
    EXPECT_TRUE(WaitFor([&] { return (text = Clipboard()).find("Xa") != std::string::npos; })) << text << " " << Picture();
}

// Alt held when the focus goes to another program and released there, as the window manager's
// Alt+Tab leaves it: back in the program, by a click or by the window manager, typing reaches the
// input field instead of acting as Alt's chords.
TEST_F(ProgramX11, TypingReachesTheFieldAfterAltWasReleasedInAnotherProgram)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "openbox");
    HeadlessReference();
    ASSERT_TRUE(StartOnServer({}, true)) << "no main window was mapped";
    // Another program's window, clear of the program's.
    const Window other = XCreateSimpleWindow(m_x, DefaultRootWindow(m_x), 1100, 850, 120, 120, 0, 0, 0xFFFFFF);
    XSizeHints place {};
    place.flags = USPosition;
    XSetWMNormalHints(m_x, other, &place);
    XStoreName(m_x, other, "another program");
    XMapWindow(m_x, other);
    XFlush(m_x);
    ASSERT_TRUE(ClickAt(m_input));
    ASSERT_EQ(Xdotool("key ctrl+x"), 0);
    ASSERT_EQ(Xdotool("type 1"), 0);
    const std::string activateOther = "windowactivate --sync " + std::to_string(other);
    // Back by a click into the field.
    ASSERT_EQ(Xdotool("keydown alt " + activateOther + " keyup alt"), 0);
    ASSERT_TRUE(ClickAt(m_input));
    ASSERT_EQ(Xdotool("key End"), 0);
    ASSERT_EQ(Xdotool("type --delay 30 '+4'"), 0);
    // Back by the window manager, the field keeping the focus.
    ASSERT_EQ(Xdotool("keydown alt " + activateOther + " keyup alt windowactivate --sync " + std::to_string(*m_window)), 0);
    ASSERT_EQ(Xdotool("type --delay 30 '+5'"), 0);
    ASSERT_EQ(Xdotool("key Return"), 0);
    EXPECT_FALSE(ProgramWindow(m_x, 0, "About Formulon").has_value());
    CloseFromTheWindowManager();
    EXPECT_TRUE(m_program->WaitForExit(kWaitLimit)) << "the program did not end";
    const std::string lastContent = SavedLastContent();
    EXPECT_NE(lastContent.find("f(x)=1+4+5\n"), std::string::npos) << lastContent;
}

// Opening a menu asks each of its commands whether it has a handler; the question runs nothing.
// Every menu of the Formula, Date & Time and VBScript pages clicked open and closed with Escape:
// the field's text and selection stay, so that a typed X replaces only the selected "c".
TEST_F(ProgramX11, OpeningTheMenusLeavesTheFieldsAndTheirSelection)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    // Headless: each page's tab, its field and the middle of each of its menus' titles.
    struct Page {
        const char* name;
        POINT tab {}, field {};
        std::vector<POINT> menus;
    };
    std::vector<Page> pages;
    ASSERT_TRUE(Start());
    for (int index = 0; index < Frame().m_wndTab.GetTabCount(); ++index) {
        CWnd* view = Frame().m_wndTab.GetPage(index);
        HWND field = nullptr;
        const char* name = nullptr;
        if (dynamic_cast<CVBScriptView*>(view))
            field = view->m_hWnd, name = "VBScript";
        else if (dynamic_cast<CDlgCalendarView*>(view))
            field = ::GetDlgItem(view->m_hWnd, IDC_DATE_INPUT), name = "Date & Time";
        else if (index == 0)
            field = Field(kFormulaField), name = "Formula";
        if (!field)
            continue;
        auto* tabs = static_cast<SEC3DTabControl*>(Frame().m_wndTab.GetTabControl());
        CRect tab;
        ASSERT_TRUE(tabs->GetTabRect(index, tab));
        Frame().m_wndTab.ActivateTab(index);
        Pump();
        Page page { name, MiddleInFrame(tabs->m_hWnd, tab), PlaceInFrame(field), {} };
        auto* bar = dynamic_cast<SECMenuBar*>(Frame().GetMenuBar());
        ASSERT_NE(bar, nullptr);
        for (int item = 0; item < bar->GetButtonCount(); ++item) {
            if (bar->GetButtonStyle(item) & (TBBS_HIDDEN | TBBS_SEPARATOR))
                continue;
            RECT title;
            bar->GetItemRect(item, &title);
            page.menus.push_back(MiddleInFrame(bar->m_hWnd, title));
        }
        pages.push_back(page);
    }
    Stop();
    ASSERT_EQ(pages.size(), 3u);

    ASSERT_TRUE(StartOnServer({}, true)) << "no main window was mapped";
    for (const Page& page : pages) {
        SCOPED_TRACE(page.name);
        ASSERT_TRUE(ClickAt(page.tab));
        ASSERT_TRUE(ClickAt(page.field));
        ASSERT_EQ(Xdotool("key ctrl+a Delete"), 0);
        ASSERT_EQ(Xdotool("type abc"), 0);
        ASSERT_EQ(Xdotool("key shift+Left"), 0);
        for (const POINT& menu : page.menus) {
            ASSERT_TRUE(ClickAt(menu));
            ASSERT_TRUE(WaitFor([&] { return ProgramPopupMapped(m_x); })) << "the menu opens: " << Picture();
            ASSERT_TRUE(ClickAt(menu));
            ASSERT_TRUE(WaitFor([&] { return !ProgramPopupMapped(m_x); })) << "the menu closes: " << Picture();
        }
        ASSERT_EQ(Xdotool("type X"), 0);
        EXPECT_TRUE(CopiesAs("abX")) << Picture();
    }
}

// x and A changed on the f'(x) page stay when the "Input, f(x)" page comes back, in the fields and
// in what the program saves.
TEST_F(ProgramX11, NumbersTypedOnTheDerivativePageStayOnTheInputPage)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool", "xclip");
    ASSERT_TRUE(Start());
    const HWND pageTabs = Field(IDC_PAGE_TABS);
    RECT inputTab {}, derivativeTab {};
    ::SendMessageW(pageTabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&inputTab));
    ::SendMessageW(pageTabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&derivativeTab));
    const POINT input = MiddleInFrame(pageTabs, inputTab), derivative = MiddleInFrame(pageTabs, derivativeTab);
    const POINT x = PlaceInFrame(Field(IDC_VALUE_X)), a = PlaceInFrame(Field(IDC_VALUE_A));
    Stop();
    m_programSettings = m_settings.root() + "/x11";
    TempSettingsFolder::WriteAll(m_programSettings + "/Formulon/Fln.ini", "[TAB_FORMEL]\nf(x)=A*x^2-8\n[CONSTANTS]\nA=2\nB=1\nC=1\nD=1\nE=1\nF=1\nG=1\nX=3\nComma=4\n"
        "[INTERVALL]\nXA=-1\nXB=1\n");
    ASSERT_TRUE(StartOnServer()) << "no main window was mapped";
    ASSERT_TRUE(ClickAt(derivative));
    for (auto [field, text] : { std::pair { x, "2" }, std::pair { a, "4" } }) {
        ASSERT_TRUE(ClickAt(field));
        ASSERT_EQ(Xdotool(std::string("key ctrl+a type ") + text), 0);
    }
    ASSERT_TRUE(ClickAt(input));
    ASSERT_TRUE(ClickAt(x));
    EXPECT_TRUE(CopiesAs("2")) << Picture();
    ASSERT_TRUE(ClickAt(a));
    EXPECT_TRUE(CopiesAs("4")) << Picture();
    ASSERT_TRUE(CloseAndWait()) << "the program did not end";
    const std::string saved = SavedLastContent();
    EXPECT_NE(saved.find("X=2\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("A=4\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("f(x)=A*x^2-8\n"), std::string::npos) << saved;
}

// A logout (SIGTERM), a closed terminal (SIGHUP), Ctrl+C (SIGINT) and a lost X server end the
// program, each after it saved its settings and last content as a close does.
TEST(ProgramEnding, ASignalOrALostScreenSavesTheSettingsFirst)
{
    std::string xvfb = FindProgram("Xvfb");
    FLN_REQUIRE_PROGRAMS("Xvfb");
    TempSettingsFolder folder;
    const struct {
        const char* name;
        int signal;  // 0: the X server goes
    } endings[] = { { "SIGTERM", SIGTERM }, { "SIGHUP", SIGHUP }, { "SIGINT", SIGINT }, { "lost screen", 0 } };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.name);
        auto server = std::make_unique<VirtualServer>();
        ASSERT_TRUE(server->Start(xvfb));
        XDisplay* x = ConnectWhenServing(*server);
        ASSERT_NE(x, nullptr);
        const std::string settings = folder.root() + "/" + ending.name;
        std::optional<ChildProcess> program;
        {
            ScopedEnv display("DISPLAY", server->Name()), kind("FORMULON_DISPLAY", "x11"), config("XDG_CONFIG_HOME", settings);
            program.emplace(std::vector<std::string> { FLN_FORMULON }, true);
        }
        ASSERT_TRUE(WaitFor([&] { return ProgramWindow(x).has_value(); })) << "no main window was mapped";
        XCloseDisplay(x);
        if (ending.signal)
            ::kill(program->pid(), ending.signal);
        else
            server.reset();
        EXPECT_TRUE(program->WaitForExit(kWaitLimit)) << "the program did not end";
        EXPECT_NE(TempSettingsFolder::ReadAll(settings + "/Formulon/registry.txt").find("\"WP\""), std::string::npos);
        EXPECT_NE(TempSettingsFolder::ReadAll(settings + "/Formulon/Fln.ini").find("[TAB_FORMEL]"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(settings + "/Formulon/Recovered scripts")) << "a copy of an unchanged script";
    }
}

} // namespace
