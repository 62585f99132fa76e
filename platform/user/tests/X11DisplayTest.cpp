// The real display under Xvfb: windows appear, paint, take a click and a key injected by
// xdotool, and the pixels read back from the server are the ones drawn; a dialog takes typing,
// keyboard navigation and text another client put on the clipboard.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/base/tests/RunCommand.h"
#include "platform/base/tests/TempDir.h"
#include "UserTestSupport.h"
#include "data/dialogs.h"

#include "X11TestSupport.h"
#include "platform/user/WindowTree.h"
#include "platform/user/tests/SelectionTextOwner.h"

// Xlib's "Display" is renamed so that it does not clash with the program's display interface.
#define Display XDisplay
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Display

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

LRESULT FillingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(window, GWLP_USERDATA)));
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return LoggingProcedure(window, message, wParam, lParam);
}

TEST(X11Display, WindowsAppearPaintAndTakeRealInput)
{
    std::string xvfb = FindProgram("Xvfb");
    std::string xdotool = FindProgram("xdotool");
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    std::unique_ptr<VirtualServer> server;
    std::unique_ptr<Display> x11 = ConnectToNewServer(xvfb, server);
    ASSERT_TRUE(x11) << server->Name();
    auto previous = SetCurrentDisplay(std::move(x11));
    XDisplay* reader = XOpenDisplay(server->Name().c_str());
    ASSERT_TRUE(reader);

    WNDCLASSEXW windowClass { sizeof windowClass };
    windowClass.lpfnWndProc = FillingProcedure;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"X11Filling";
    RegisterClassExW(&windowClass);
    MessageLog::Instance() = {};
    HWND main = CreateWindowExW(0, L"X11Filling", L"Main", WS_POPUP, 100, 100, 200, 150, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(main, GWLP_USERDATA, RGB(255, 0, 0));
    HWND popup = CreateWindowExW(WS_EX_TOOLWINDOW, L"X11Filling", L"", WS_POPUP, 400, 100, 100, 100, main, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(popup, GWLP_USERDATA, RGB(0, 0, 255));
    SetWindowRgn(popup, CreateEllipticRgn(0, 0, 100, 100), FALSE);
    ShowWindow(main, SW_SHOW);
    ShowWindow(popup, SW_SHOWNOACTIVATE);

    EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, 200, 175) == RGB(255, 0, 0) && ServerPixel(reader, 450, 150) == RGB(0, 0, 255); }));
    EXPECT_NE(ServerPixel(reader, 402, 102), RGB(0, 0, 255)); // outside the popup's ellipse

    // A screen DC is a copy source: it reads what the server shows (black off the screen).
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, 20, 10);
    HGDIOBJ old = SelectObject(memory, copy);
    EXPECT_TRUE(BitBlt(memory, 0, 0, 20, 10, screen, 140, 140, SRCCOPY));
    EXPECT_EQ(GetPixel(memory, 5, 5), RGB(255, 0, 0));
    EXPECT_TRUE(BitBlt(memory, 0, 0, 20, 10, screen, -10, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(memory, 5, 5), RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteObject(copy);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    auto& log = MessageLog::Instance();
    std::string display = "DISPLAY=" + server->Name() + " ";
    ASSERT_EQ(RunCommand(display + xdotool + " mousemove 150 150 click 1").status, 0);
    EXPECT_TRUE(PumpUntil([&] { return log.Count(main, WM_LBUTTONUP) == 1; }));
    auto down = std::find_if(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.window == main && m.message == WM_LBUTTONDOWN; });
    ASSERT_NE(down, log.entries.end());
    EXPECT_EQ(GET_X_LPARAM(down->lParam), 50);
    EXPECT_EQ(GET_Y_LPARAM(down->lParam), 50);

    ASSERT_EQ(RunCommand(display + xdotool + " key a").status, 0);
    EXPECT_TRUE(PumpUntil([&] { return log.Count(main, WM_CHAR) == 1; }));
    auto character = std::find_if(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.window == main && m.message == WM_CHAR; });
    if (character != log.entries.end()) {
        EXPECT_EQ(character->wParam, static_cast<WPARAM>('a'));
    }
    auto key = std::find_if(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.window == main && m.message == WM_KEYDOWN; });
    if (key != log.entries.end()) {
        EXPECT_EQ(key->wParam, static_cast<WPARAM>('A'));
    }

    // A keypad digit (xdotool turns Num Lock on for it) is the numeric-pad key, down and up.
    ASSERT_EQ(RunCommand(display + xdotool + " key KP_1").status, 0);
    EXPECT_TRUE(PumpUntil([&] { return log.Count(main, WM_CHAR) == 2; }));
    EXPECT_GE(GetKeyState(VK_NUMPAD1), 0); // released again
    bool sawNumpad = std::any_of(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.message == WM_KEYDOWN && m.wParam == static_cast<WPARAM>(VK_NUMPAD1); });
    EXPECT_TRUE(sawNumpad);

    // A click outside the popup's shape reaches what lies under it, not the popup.
    ASSERT_EQ(RunCommand(display + xdotool + " mousemove 402 102 click 1 mousemove 450 150 click 1").status, 0);
    EXPECT_TRUE(PumpUntil([&] { return log.Count(popup, WM_LBUTTONUP) == 1; }));
    EXPECT_EQ(log.Count(popup, WM_LBUTTONDOWN), 1);

    // Task bars group and label the window by its class and process, and show its icon.
    Window native = fln::user::WindowTree::Instance().Find(main)->native;
    XClassHint hint {};
    ASSERT_TRUE(XGetClassHint(reader, native, &hint));
    EXPECT_STREQ(hint.res_name, "formulon");
    EXPECT_STREQ(hint.res_class, "Formulon");
    XFree(hint.res_name);
    XFree(hint.res_class);
    auto cardinals = [&](const char* name) {
        Atom type;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<long> values;
        if (XGetWindowProperty(reader, native, XInternAtom(reader, name, False), 0, 1 << 16, False, XA_CARDINAL, &type, &format, &count, &after, &data) == Success && data) {
            values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
            XFree(data);
        }
        return values;
    };
    EXPECT_EQ(cardinals("_NET_WM_PID"), std::vector<long> { getpid() });
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr), image = CreateBitmap(16, 16, 1, 32, nullptr);
    ICONINFO info { TRUE, 0, 0, mask, image }; // all black, all opaque
    HICON icon = CreateIconIndirect(&info);
    SendMessageW(main, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // The program's connection and the reader's are not ordered: wait for the property to arrive.
    std::vector<long> icons;
    EXPECT_TRUE(PumpUntil([&] { return (icons = cardinals("_NET_WM_ICON")).size() == 2u + 16 * 16; }));
    ASSERT_EQ(icons.size(), 2u + 16 * 16);
    EXPECT_EQ(icons[0], 16);
    EXPECT_EQ(static_cast<std::uint32_t>(icons[2]), 0xFF000000u); // opaque black, as 32 bits

    // A captioned popup (a dialog) is the window manager's, kept above its owner; an uncaptioned
    // one (a menu, a tip) is not the window manager's at all.
    HWND dialog = CreateWindowExW(0, L"X11Filling", L"Dialog", WS_POPUP | WS_CAPTION, 120, 120, 100, 80, main, nullptr, nullptr, nullptr);
    Window dialogNative = fln::user::WindowTree::Instance().Find(dialog)->native;
    Window transientFor = 0;
    EXPECT_TRUE(PumpUntil([&] { return XGetTransientForHint(reader, dialogNative, &transientFor) != 0; }));
    auto overrideRedirect = [&](Window window) {
        XWindowAttributes attributes {};
        XGetWindowAttributes(reader, window, &attributes);
        return attributes.override_redirect != False;
    };
    EXPECT_FALSE(overrideRedirect(dialogNative));
    EXPECT_TRUE(overrideRedirect(fln::user::WindowTree::Instance().Find(popup)->native));
    EXPECT_EQ(transientFor, native);
    DestroyWindow(dialog);

    // The user's Xft settings, read from the server's resources when a display opens.
    const char resources[] = "Xft.antialias:\t1\nXft.hintstyle:\thintslight\nXft.rgba:\tbgr\nXft.dpi:\t144\n";
    XChangeProperty(reader, DefaultRootWindow(reader), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
        reinterpret_cast<const unsigned char*>(resources), sizeof resources - 1);
    XSync(reader, False);
    auto second = CreateX11Display();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->TextRendering(), (fln::gdi::FontRendering { true, fln::gdi::HintStyle::Slight, fln::gdi::SubpixelOrder::Bgr, 144 }));
    second.reset();

    DestroyWindow(main);
    DestroyIcon(icon);
    DeleteObject(mask);
    DeleteObject(image);
    XCloseDisplay(reader);
    SetCurrentDisplay(std::move(previous));
}

// The display itself, connected to an Xvfb of the test's own, and another client of that server.
class X11DisplayOnItsOwnServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string xvfb = FindProgram("Xvfb");
        FLN_REQUIRE_PROGRAMS("Xvfb");
        x11 = ConnectToNewServer(xvfb, server);
        ASSERT_TRUE(x11) << (server ? server->Name() : std::string());
        other = XOpenDisplay(server->Name().c_str());
        ASSERT_TRUE(other);
    }
    void TearDown() override
    {
        if (other)
            XCloseDisplay(other);
    }

    std::unique_ptr<VirtualServer> server;
    std::unique_ptr<Display> x11;
    XDisplay* other = nullptr;
};

TEST_F(X11DisplayOnItsOwnServer, AnExposeIsAnsweredUnlessALaterCopyAlreadyShowsTheArea)
{
    NativeWindowId window = x11->CreateNativeWindow({ .bounds = { 50, 50, 150, 130 } });
    cairo_surface_t* surface = x11->CreateWindowSurface(100, 80); // in memory shared with the server
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    // The exposes the display reports once it has read all that the server sent it so far: the
    // other client moves the window, and the display's Configure for that move comes after every
    // event sent before it.
    int moves = 0;
    auto exposesSoFar = [&] {
        XMoveWindow(other, static_cast<Window>(window), 50 + ++moves, 50); // a place it never had
        XFlush(other);
        int count = 0;
        bool moved = false;
        EXPECT_TRUE(WaitUntil([&] {
            x11->Wait(-1, 10);
            while (auto event = x11->NextEvent()) {
                count += event->kind == DisplayEventKind::Exposed && event->window == window;
                moved = moved || (event->kind == DisplayEventKind::Configure && event->window == window);
            }
            return moved;
        })) << "the move did not reach the display";
        return count;
    };

    // The map's Expose reaches the program after the first picture was copied: nothing to answer.
    x11->ShowNativeWindow(window, true, false);
    x11->Present(window, surface, { 0, 0, 100, 80 });
    EXPECT_EQ(exposesSoFar(), 0);
    EXPECT_EQ(ServerPixel(other, 60, 60), RGB(255, 0, 0));
    // An area lost after the copy asks for its pixels again, once.
    XClearArea(other, static_cast<Window>(window), 0, 0, 10, 10, True);
    XFlush(other);
    EXPECT_EQ(exposesSoFar(), 1);

    cairo_surface_destroy(surface);
    x11->DestroyNativeWindow(window);
}

// The pointer's place comes from the events received, not from a question to the server for every
// message: moves over the program's windows tell it, and leaving them is reported as a move to where
// the pointer went (a window of another program tells the program nothing more). The work area is
// asked once between two looks at the event queue; what changed meanwhile shows at the next look.
TEST_F(X11DisplayOnItsOwnServer, ThePointersPlaceComesFromEventsAndTheWorkAreaIsFreshAfterEachLook)
{
    Window root = DefaultRootWindow(other);
    NativeWindowId window = x11->CreateNativeWindow({ .bounds = { 50, 50, 250, 250 } });
    x11->ShowNativeWindow(window, true, false);
    // Whether a move to the place reaches the program once the pointer is put there (again, until
    // the window has been mapped).
    auto movedTo = [&](int x, int y) {
        const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            XWarpPointer(other, None, root, 0, 0, 0, 0, x, y);
            XSync(other, False);
            x11->Wait(-1, 200);
            while (auto event = x11->NextEvent())
                if (event->kind == DisplayEventKind::MouseMove && event->screenPoint.x == x && event->screenPoint.y == y)
                    return true;
        }
        return false;
    };
    auto setWorkArea = [&](long left, long top, long width, long height) {
        long area[4] = { left, top, width, height };
        XChangeProperty(other, root, XInternAtom(other, "_NET_WORKAREA", False), XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(area), 4);
        XSync(other, False);
    };

    // Into the window, where the server's pointer is, then out of it.
    ASSERT_TRUE(movedTo(100, 120));
    EXPECT_EQ(x11->CursorPosition().x, 100);
    EXPECT_EQ(x11->CursorPosition().y, 120);
    EXPECT_TRUE(movedTo(400, 300)) << "leaving the window is reported";
    EXPECT_EQ(x11->CursorPosition().x, 400);
    EXPECT_EQ(x11->CursorPosition().y, 300);
    // Moves elsewhere tell the program nothing: it keeps the place where the pointer left.
    XWarpPointer(other, None, root, 0, 0, 0, 0, 600, 500);
    XSync(other, False);
    x11->NextEvent();
    EXPECT_EQ(x11->CursorPosition().x, 400);

    setWorkArea(0, 30, 1280, 994);
    x11->NextEvent();
    EXPECT_EQ(x11->Monitors().at(0).workArea.top, 30);
    setWorkArea(0, 0, 1280, 990);
    x11->NextEvent();
    EXPECT_EQ(x11->Monitors().at(0).workArea.bottom, 990);
    // The program's own move shows at once.
    x11->SetCursorPosition({ 500, 600 });
    EXPECT_EQ(x11->CursorPosition().x, 500);
    EXPECT_EQ(x11->CursorPosition().y, 600);
    x11->DestroyNativeWindow(window);
}

// Takes off another client's connection its next event that `matches`, waiting for it.
template <class Matches>
bool NextEventOf(XDisplay* x, XEvent& event, Matches matches)
{
    return WaitUntil([&] {
        while (XPending(x)) {
            XNextEvent(x, &event);
            if (matches(event))
                return true;
        }
        return false;
    });
}

// The selections between the program and another client of its server (`reader`, with a
// window of its own).
class X11Selection : public RealServerTest {
protected:
    void SetUp() override
    {
        RealServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        window = XCreateSimpleWindow(reader, DefaultRootWindow(reader), 0, 0, 1, 1, 0, 0, 0);
        utf8 = XInternAtom(reader, "UTF8_STRING", False);
    }

    // The other client owns PRIMARY and answers the program's next request for it on its own
    // thread; the test touches `reader` again only after joining it.
    std::thread OwnPrimaryAndAnswer(std::function<void(const XSelectionRequestEvent&)> answer)
    {
        XSetSelectionOwner(reader, XA_PRIMARY, window, CurrentTime);
        XSync(reader, False);
        return std::thread([this, answer = std::move(answer)] {
            XEvent event;
            // Never asked: the read in the test fails on its own.
            if (NextEventOf(reader, event, [](const XEvent& e) { return e.type == SelectionRequest; }))
                answer(event.xselectionrequest);
        });
    }

    void NotifyRequestor(const XSelectionRequestEvent& request)
    {
        XSelectionEvent reply { SelectionNotify, 0, True, reader, request.requestor, request.selection, request.target, request.property, request.time };
        XSendEvent(reader, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
        XFlush(reader);
    }

    // An answer in chunks (INCR): the announcement of at least `lowerBound` bytes, then each
    // chunk once the program took the last one, and an empty chunk to end.
    void AnnounceChunks(const XSelectionRequestEvent& request, long lowerBound)
    {
        XSelectInput(reader, request.requestor, PropertyChangeMask);
        XChangeProperty(reader, request.requestor, request.property, XInternAtom(reader, "INCR", False), 32, PropModeReplace,
            reinterpret_cast<unsigned char*>(&lowerBound), 1);
        NotifyRequestor(request);
    }
    void SendChunks(const XSelectionRequestEvent& request, const std::string& bytes, size_t chunkSize)
    {
        auto taken = [&](const XEvent& e) {
            return e.type == PropertyNotify && e.xproperty.window == request.requestor && e.xproperty.atom == request.property
                && e.xproperty.state == PropertyDelete;
        };
        XEvent event;
        for (size_t sent = 0, length = 1; length > 0; sent += length) {
            if (!NextEventOf(reader, event, taken))
                return;
            length = std::min(chunkSize, bytes.size() - sent);
            XChangeProperty(reader, request.requestor, request.property, utf8, 8, PropModeReplace,
                reinterpret_cast<const unsigned char*>(bytes.data() + sent), static_cast<int>(length));
            XFlush(reader);
        }
    }

    Window window = None;
    Atom utf8 = None;
    ScopedSelectionWaitLimit waitLimit { kWaitLimit };
};

// The PRIMARY selection with another X client: what it selected is read, what the program
// selects the other client reads.
TEST_F(X11Selection, PrimaryGoesBothWays)
{
    Atom property = XInternAtom(reader, "EDIT_TEST_TRANSFER", False);

    const std::string offered = "2*\xCF\x80"; // "2*π"
    std::thread answering = OwnPrimaryAndAnswer([&](const XSelectionRequestEvent& request) {
        XChangeProperty(reader, request.requestor, request.property, utf8, 8, PropModeReplace,
            reinterpret_cast<const unsigned char*>(offered.data()), static_cast<int>(offered.size()));
        NotifyRequestor(request);
    });
    EXPECT_EQ(GetPrimarySelectionText(), L"2*\u03c0");
    answering.join();

    SetPrimarySelectionText(L"x\u00b2");
    XConvertSelection(reader, XA_PRIMARY, utf8, property, window, CurrentTime);
    XFlush(reader);
    bool answered = false;
    EXPECT_TRUE(PumpUntil([&] {
        while (XPending(reader)) {
            XEvent event;
            XNextEvent(reader, &event);
            answered = answered || event.type == SelectionNotify;
        }
        return answered;
    }));
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(reader, window, property, 0, 1024, True, AnyPropertyType, &type, &format, &count, &after, &data), Success);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), count), "x\xC2\xB2");
    XFree(data);
}


// A selection larger than one property is offered in chunks (INCR): the program reads it whole,
// and gives no text, not a part, when the owner stops sending.
TEST_F(X11Selection, LargeOneIsReadInChunks)
{
    // 17 MB of numbered blocks; the chunks split the two-byte characters.
    std::string block;
    std::wstring wideBlock;
    for (int line = 0; line < 10'000; ++line) {
        const std::string number = std::to_string(line);
        block += number + "*\xCF\x80\n";
        wideBlock += std::wstring(number.begin(), number.end()) + L"*\u03c0\n";
    }
    std::string offered;
    std::wstring expected;
    for (int index = 0; offered.size() < 17'000'000; ++index) {
        const std::string number = "#" + std::to_string(index) + "\n";
        offered += number + block;
        expected += std::wstring(number.begin(), number.end()) + wideBlock;
    }
    std::thread answering = OwnPrimaryAndAnswer([&](const XSelectionRequestEvent& request) {
        AnnounceChunks(request, static_cast<long>(offered.size()));
        SendChunks(request, offered, 255 * 1024 + 1);
    });
    const std::wstring pasted = GetPrimarySelectionText();
    answering.join();
    EXPECT_EQ(pasted.size(), expected.size());
    EXPECT_TRUE(pasted == expected);

    // An owner that announces and then sends nothing.
    const ScopedSelectionWaitLimit programsOwn(ScopedSelectionWaitLimit::ProgramsOwn());
    answering = OwnPrimaryAndAnswer([&](const XSelectionRequestEvent& request) { AnnounceChunks(request, 1); });
    EXPECT_EQ(GetPrimarySelectionText(), L"");
    answering.join();
}

// A read given up takes its window along: the stalled owner's late chunk lands nowhere, and the
// next read gets the next answer whole.
TEST_F(X11Selection, AReadGivenUpLeavesNothingToTheNext)
{
    std::optional<ScopedSelectionWaitLimit> programsOwn(std::in_place, ScopedSelectionWaitLimit::ProgramsOwn());
    bool windowGone = false;
    std::thread answering = OwnPrimaryAndAnswer([&](const XSelectionRequestEvent& request) {
        AnnounceChunks(request, 1);
        XSelectInput(reader, request.requestor, PropertyChangeMask | StructureNotifyMask);
        XEvent event;
        windowGone = NextEventOf(reader, event, [&](const XEvent& e) { return e.type == DestroyNotify && e.xdestroywindow.window == request.requestor; });
        if (windowGone) {
            XChangeProperty(reader, request.requestor, request.property, utf8, 8, PropModeReplace, reinterpret_cast<const unsigned char*>("late"), 4);
            XSync(reader, False);
        }
    });
    EXPECT_EQ(GetPrimarySelectionText(), L"");
    answering.join();
    EXPECT_TRUE(windowGone) << "the read's window stayed";
    programsOwn.reset();

    answering = OwnPrimaryAndAnswer([&](const XSelectionRequestEvent& request) {
        XChangeProperty(reader, request.requestor, request.property, utf8, 8, PropModeReplace, reinterpret_cast<const unsigned char*>("next"), 4);
        NotifyRequestor(request);
    });
    EXPECT_EQ(GetPrimarySelectionText(), L"next");
    answering.join();
}

// A text over 64 MiB is refused whole, not cut, though its owner announced less.
TEST_F(X11Selection, OneOverTheLimitIsRefusedWhole)
{
    const std::string offered((size_t(64) << 20) + 1, 'x');
    std::thread answering = OwnPrimaryAndAnswer([&](const XSelectionRequestEvent& request) {
        AnnounceChunks(request, 0);
        SendChunks(request, offered, size_t(1) << 20);
    });
    EXPECT_EQ(GetPrimarySelectionText(), L"");
    answering.join();
}

// Only the text form asked for is text: an owner that answers with a number, a list of atoms
// or text in 16-bit items gives no text.
TEST_F(X11Selection, AnotherTypeIsNoText)
{
    struct Answer {
        Atom type;
        int format;
    };
    for (Answer answer : { Answer { XA_INTEGER, 32 }, Answer { XA_ATOM, 32 }, Answer { utf8, 16 } }) {
        SCOPED_TRACE(answer.type);
        std::thread answering = OwnPrimaryAndAnswer([&](const XSelectionRequestEvent& request) {
            const long items[] = { 0x34333231, 0x38373635 };
            const short halves[] = { 0x3231, 0x3433 };
            XChangeProperty(reader, request.requestor, request.property, answer.type, answer.format, PropModeReplace,
                answer.format == 32 ? reinterpret_cast<const unsigned char*>(items) : reinterpret_cast<const unsigned char*>(halves), 2);
            NotifyRequestor(request);
        });
        EXPECT_EQ(GetPrimarySelectionText(), L"");
        answering.join();
    }
}

// The text of `bytes` bytes, of numbered lines with two-byte characters, that `seed` tells apart.
std::string NumberedText(size_t bytes, const std::string& seed)
{
    std::string text;
    for (int line = 0; text.size() < bytes; ++line)
        text += seed + std::to_string(line) + "*\xCF\x80\n";
    return text;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Selections beyond what the server takes in one request (16 MiB under Xvfb) reach other
// programs in chunks: a text read from xclip, offered again on CLIPBOARD with another text on
// PRIMARY, comes back whole to two xclips asking at once, while the program's loop runs on.
TEST_F(X11Selection, LargeOnesReachOtherProgramsInChunks)
{
    FLN_REQUIRE_PROGRAMS("xclip");
    const std::string xclip = FindProgram("xclip");
    const TempDir scratch;
    const std::string folder = scratch.Path() + "/";
    const std::string clipboard = NumberedText(17'000'000, "c"), primary = NumberedText(17'500'000, "p");
    std::ofstream(folder + "clipboard-in", std::ios::binary) << clipboard;
    const std::string display = "DISPLAY=" + server->Name() + " ";
    ASSERT_EQ(RunCommand(display + xclip + " -i -selection clipboard " + folder + "clipboard-in >/dev/null 2>&1").status, 0);

    std::optional<std::string> pasted;
    ASSERT_TRUE(WaitUntil([&] { return (pasted = CurrentDisplay().ClipboardText()) && pasted->size() == clipboard.size(); }));
    EXPECT_TRUE(*pasted == clipboard);
    CurrentDisplay().SetClipboardText(*pasted);
    CurrentDisplay().SetPrimarySelectionText(primary);

    auto output = [&](const std::string& selection) {
        const std::string path = folder + selection + "-out";
        return std::async(std::launch::async, [=] {
            return RunCommand(display + xclip + " -o -selection " + selection + " >" + path).status == 0 ? ReadWholeFile(path) : std::string();
        });
    };
    auto copiedClipboard = output("clipboard"), copiedPrimary = output("primary");
    auto ready = [](std::future<std::string>& f) { return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready; };
    ASSERT_TRUE(PumpUntil([&] { return ready(copiedClipboard) && ready(copiedPrimary); }));
    const std::string gotClipboard = copiedClipboard.get(), gotPrimary = copiedPrimary.get();
    EXPECT_EQ(gotClipboard.size(), clipboard.size());
    EXPECT_TRUE(gotClipboard == clipboard);
    EXPECT_EQ(gotPrimary.size(), primary.size());
    EXPECT_TRUE(gotPrimary == primary);
}

// A chunked transfer goes on with the text it started with when the selection changes meanwhile,
// lets go of the requestor's window once done, and one whose requestor vanished holds nothing up.
TEST_F(X11Selection, AChunkedTransferKeepsItsTextAndOutlivesItsRequestor)
{
    const std::string first = NumberedText(17'000'000, "a");
    Atom property = XInternAtom(reader, "EDIT_TEST_TRANSFER", False), incr = XInternAtom(reader, "INCR", False);
    XSelectInput(reader, window, PropertyChangeMask);
    CurrentDisplay().SetPrimarySelectionText(first);

    // Takes the property once the event that tells of its value came: its type and its bytes.
    auto take = [&](bool answer, Atom& type) {
        XEvent event;
        const bool came = PumpUntil([&] {
            while (XPending(reader)) {
                XNextEvent(reader, &event);
                if (answer ? event.type == SelectionNotify
                           : event.type == PropertyNotify && event.xproperty.atom == property && event.xproperty.state == PropertyNewValue)
                    return true;
            }
            return false;
        });
        std::string bytes;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        type = None;
        if (came && XGetWindowProperty(reader, window, property, 0, 0x7FFFFFFF / 4, True, AnyPropertyType, &type, &format, &count, &after, &data) == Success && data && format == 8)
            bytes.assign(reinterpret_cast<char*>(data), count);
        if (data)
            XFree(data);
        XFlush(reader);
        return bytes;
    };
    Atom type = None;
    auto ask = [&] {
        XConvertSelection(reader, XA_PRIMARY, utf8, property, window, CurrentTime);
        XFlush(reader);
        return take(true, type);
    };
    auto chunks = [&] {
        std::string text;
        for (std::string chunk = take(false, type); !chunk.empty(); chunk = take(false, type))
            text += chunk;
        return text;
    };

    ask();
    ASSERT_EQ(type, incr);
    std::string received = take(false, type);
    ASSERT_FALSE(received.empty());
    CurrentDisplay().SetPrimarySelectionText("changed");
    received += chunks();
    EXPECT_EQ(received.size(), first.size());
    EXPECT_TRUE(received == first);
    XWindowAttributes attributes {};
    XGetWindowAttributes(reader, window, &attributes);
    EXPECT_EQ(attributes.all_event_masks & StructureNotifyMask, 0) << "the program still watches the window";
    EXPECT_EQ(ask(), "changed");

    // Another client asks for a large text, then goes before taking a chunk.
    CurrentDisplay().SetPrimarySelectionText(first);
    XDisplay* vanishing = XOpenDisplay(server->Name().c_str());
    ASSERT_TRUE(vanishing);
    Window gone = XCreateSimpleWindow(vanishing, DefaultRootWindow(vanishing), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(vanishing, XA_PRIMARY, XInternAtom(vanishing, "UTF8_STRING", False), property, gone, CurrentTime);
    XSync(vanishing, False);
    ASSERT_TRUE(PumpUntil([&] {
        Atom announced = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(reader, gone, property, 0, 1, False, AnyPropertyType, &announced, &format, &count, &after, &data);
        if (data)
            XFree(data);
        return announced == incr;
    }));
    XCloseDisplay(vanishing);
    ask();
    ASSERT_EQ(type, incr);
    EXPECT_TRUE(chunks() == first);
}

// Any client may name one of the program's windows as the requestor: the window keeps the events
// it selected, and a text that would need chunks is refused rather than sent there.
TEST_F(X11Selection, ARequestNamingOneOfTheProgramsWindowsLeavesItsEventsAlone)
{
    NativeWindowParams params;
    params.bounds = { 10, 10, 110, 110 };
    const NativeWindowId own = CurrentDisplay().CreateNativeWindow(params);
    ASSERT_NE(own, 0u);
    CurrentDisplay().SetClipboardText("first"); // and the window is made on the server
    XWindowAttributes before {};
    ASSERT_TRUE(XGetWindowAttributes(reader, own, &before));
    const Atom property = XInternAtom(reader, "EDIT_TEST_TRANSFER", False), clipboard = XInternAtom(reader, "CLIPBOARD", False);
    for (const std::string& text : { std::string("small"), NumberedText(17'000'000, "o") }) {
        SCOPED_TRACE(text.size());
        CurrentDisplay().SetClipboardText(text);
        XConvertSelection(reader, clipboard, utf8, property, own, CurrentTime);
        // The program answers in order: once the reader's own request is answered, so is the first.
        XConvertSelection(reader, clipboard, utf8, property, window, CurrentTime);
        XFlush(reader);
        XEvent event;
        ASSERT_TRUE(PumpUntil([&] {
            while (XPending(reader)) {
                XNextEvent(reader, &event);
                if (event.type == SelectionNotify)
                    return true;
            }
            return false;
        }));
        XWindowAttributes after {};
        ASSERT_TRUE(XGetWindowAttributes(reader, own, &after));
        EXPECT_EQ(after.all_event_masks, before.all_event_masks);
    }
    CurrentDisplay().DestroyNativeWindow(own);
}

// What the dialog of the next test held when OK ended it.
struct TypingResult {
    std::wstring text;
    UINT checked = BST_UNCHECKED;
};

INT_PTR TypingProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetTimer(dialog, 1, 20, nullptr); // wakes the modal loop, so that its hook sees each step through
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            auto* result = reinterpret_cast<TypingResult*>(GetWindowLongPtrW(dialog, DWLP_USER));
            wchar_t text[64];
            GetDlgItemTextW(dialog, IDC_NAME, text, 64);
            result->text = text;
            result->checked = IsDlgButtonChecked(dialog, IDC_WRAP);
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

TEST(X11Display, ADialogTakesTypingTabSpacePastedTextAndEnter)
{
    std::string xvfb = FindProgram("Xvfb");
    std::string xdotool = FindProgram("xdotool");
    FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
    std::unique_ptr<VirtualServer> server;
    std::unique_ptr<Display> x11 = ConnectToNewServer(xvfb, server);
    ASSERT_TRUE(x11) << server->Name();
    auto previous = SetCurrentDisplay(std::move(x11));
    const std::string display = "DISPLAY=" + server->Name() + " ";

    // Each step runs once the one before it shows in the dialog; a step that never shows ends
    // the dialog with -1 after five seconds.
    struct Step {
        std::string command;
        std::function<bool(HWND)> done;
    };
    auto text = [](HWND dialog) {
        wchar_t buffer[64];
        GetDlgItemTextW(dialog, IDC_NAME, buffer, 64);
        return std::wstring(buffer);
    };
    const std::vector<Step> steps {
        { xdotool + " type 12.5", [&](HWND d) { return text(d) == L"12.5"; } },
        // Ctrl+V at the end of the edit asks the clipboard's owner for its text.
        { xdotool + " key End ctrl+v",
            [&](HWND d) { return text(d) == L"12.5pasted"; } },
        { xdotool + " key Tab space", [](HWND d) { return IsDlgButtonChecked(d, IDC_WRAP) == BST_CHECKED; } },
        { xdotool + " key Return", [](HWND) { return false; } },
    };
    const SelectionTextOwner otherClient(server->Name(), "CLIPBOARD", "pasted");
    ASSERT_TRUE(otherClient.Connected());
    std::size_t next = 0;
    auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    SetModalLoopHook([&](HWND dialog) {
        if (next > 0 && next <= steps.size() && !steps[next - 1].done(dialog)) {
            if (std::chrono::steady_clock::now() > deadline)
                EndDialog(dialog, -1);
            return;
        }
        if (next < steps.size()) {
            EXPECT_EQ(RunCommand(display + steps[next].command).status, 0) << steps[next].command;
            deadline = std::chrono::steady_clock::now() + kWaitLimit;
        }
        ++next;
    });
    TypingResult result;
    const INT_PTR answer = DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_TYPING), nullptr, TypingProcedure, reinterpret_cast<LPARAM>(&result));
    SetModalLoopHook({});
    EXPECT_EQ(answer, IDOK) << "stopped at step " << next;
    EXPECT_EQ(result.text, L"12.5pasted");
    EXPECT_EQ(result.checked, BST_CHECKED);
    SetCurrentDisplay(std::move(previous));
}

} // namespace
