// Dragging text between the editor and another X program on a real server, bare and under a
// window manager (whose frames lie between the root and the windows that take drops). The other
// program is a small Xlib client of the test's own on a second connection: it drops "hello" into
// the editor, takes a drag out of it, and once answers a drop but never finishes it.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/base/tests/RunCommand.h"
#include "editor/EditView.h"

#include "EditTestSupport.h"
#include "EditWindowX11Support.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"
#include "platform/user/tests/OtherXClient.h"
#include "platform/user/tests/WindowManager.h"

#define Display XDisplay
#include <X11/Xatom.h>
#undef Display

namespace {

// Another X program that speaks the drag-and-drop protocol, on a thread of its own.
class XdndPeer {
public:
    enum class Answer { Move, Copy, NeverFinish };

    XdndPeer(const std::string& server, RECT where)
        : m_client(server, where.left, where.top, static_cast<unsigned>(where.right - where.left), static_cast<unsigned>(where.bottom - where.top))
    {
        if (!m_client.Connected())
            return;
        XSizeHints place {}; // where the test wants it, not where a window manager would put it
        place.flags = USPosition;
        place.x = where.left, place.y = where.top;
        XSetWMNormalHints(X(), Own(), &place);
        const char* names[] = { "XdndAware", "XdndEnter", "XdndPosition", "XdndStatus", "XdndDrop", "XdndFinished", "XdndSelection",
            "XdndActionCopy", "XdndActionMove", "UTF8_STRING", "PEER_TRANSFER" };
        Atom* atoms[] = { &m_aware, &m_enter, &m_position, &m_status, &m_drop, &m_finishedAtom, &m_selection, &m_actionCopy, &m_actionMove, &m_utf8, &m_transfer };
        for (size_t i = 0; i < std::size(names); ++i)
            *atoms[i] = m_client.Intern(names[i]);
        XMapWindow(X(), Own());
        XSync(X(), False);
    }
    bool Connected() const { return m_client.Connected(); }
    // A screen point inside the window, wherever a window manager has put it.
    POINT Inside()
    {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(X(), Own(), DefaultRootWindow(X()), 30, 20, &x, &y, &child);
        return { x, y };
    }
    bool Viewable()
    {
        XWindowAttributes attributes {};
        return XGetWindowAttributes(X(), Own(), &attributes) && attributes.map_state == IsViewable;
    }

    // Takes drops, answering each position and the drop as told.
    void TakeDrops(Answer answer)
    {
        const long version = 5;
        XChangeProperty(X(), Own(), m_aware, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&version), 1);
        XSync(X(), False);
        m_client.Serve([this, answer] { RunTarget(answer); });
    }

    // Drags text to a screen point and drops it there, offering a copy; a stalling source
    // announces the text in chunks and never sends one.
    void DropAt(POINT screen, std::string text, bool stall = false)
    {
        m_client.Serve([this, screen, text = std::move(text), stall] { RunSource(screen, text, stall); });
    }

    std::atomic<bool> finished { false };   // the drop ended (source) or arrived (target)
    std::atomic<bool> accepted { false };   // the other side's answer accepted the drop
    std::atomic<Atom> action { 0 };         // the action of that answer
    std::atomic<bool> sawPosition { false };
    std::string Received()
    {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

private:
    void Send(Window to, Atom type, long l0, long l1 = 0, long l2 = 0, long l3 = 0, long l4 = 0)
    {
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = to;
        event.xclient.message_type = type;
        event.xclient.format = 32;
        event.xclient.data.l[0] = l0, event.xclient.data.l[1] = l1, event.xclient.data.l[2] = l2, event.xclient.data.l[3] = l3, event.xclient.data.l[4] = l4;
        XSendEvent(X(), to, False, NoEventMask, &event);
        XFlush(X());
    }
    // The next event, or false once the test is over or the wait limit has passed.
    bool Next(XEvent& event) { return m_client.NextEvent(event, kWaitLimit); }
    XDisplay* X() const { return m_client.Connection(); }
    Window Own() const { return m_client.OwnWindow(); }
    Window AwareWindowAt(POINT screen)
    {
        Window window = DefaultRootWindow(X());
        for (int depth = 0; depth < 16; ++depth) {
            Window child = 0;
            int x = 0, y = 0;
            if (!XTranslateCoordinates(X(), DefaultRootWindow(X()), window, screen.x, screen.y, &x, &y, &child) || !child)
                return 0;
            window = child;
            Atom type;
            int format;
            unsigned long count, after;
            unsigned char* data = nullptr;
            const bool aware = XGetWindowProperty(X(), window, m_aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &after, &data) == Success && data;
            if (data)
                XFree(data);
            if (aware)
                return window;
        }
        return 0;
    }

    void RunSource(POINT screen, const std::string& text, bool stall)
    {
        XSetSelectionOwner(X(), m_selection, Own(), CurrentTime);
        const Window target = AwareWindowAt(screen);
        if (!target)
            return;
        Send(target, m_enter, static_cast<long>(Own()), 5L << 24, static_cast<long>(m_utf8));
        Send(target, m_position, static_cast<long>(Own()), 0, (screen.x << 16) | screen.y, CurrentTime, static_cast<long>(m_actionCopy));
        XEvent event;
        bool dropped = false;
        while (!finished && Next(event)) {
            if (event.type == ClientMessage && event.xclient.message_type == m_status && !dropped) {
                accepted = (event.xclient.data.l[1] & 1) != 0;
                action = static_cast<Atom>(event.xclient.data.l[4]);
                dropped = true;
                Send(target, m_drop, static_cast<long>(Own()), 0, CurrentTime);
            } else if (event.type == ClientMessage && event.xclient.message_type == m_finishedAtom) {
                accepted = (event.xclient.data.l[1] & 1) != 0;
                action = static_cast<Atom>(event.xclient.data.l[2]);
                finished = true;
            } else if (event.type == SelectionRequest) {
                const XSelectionRequestEvent& request = event.xselectionrequest;
                XSelectionEvent reply { .type = SelectionNotify, .requestor = request.requestor, .selection = request.selection,
                    .target = request.target, .property = 0, .time = request.time };
                if (request.target == m_utf8 && stall) {
                    const long size = static_cast<long>(text.size());
                    XChangeProperty(X(), request.requestor, request.property, m_client.Intern("INCR"), 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&size), 1);
                    reply.property = request.property;
                } else if (request.target == m_utf8) {
                    XChangeProperty(X(), request.requestor, request.property, m_utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
                    reply.property = request.property;
                }
                XSendEvent(X(), request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
                XFlush(X());
            }
        }
    }

    void RunTarget(Answer answer)
    {
        const Atom answered = answer == Answer::Copy ? m_actionCopy : m_actionMove;
        Window source = 0;
        XEvent event;
        while (Next(event)) {
            if (event.type == ClientMessage && event.xclient.message_type == m_enter) {
                source = static_cast<Window>(event.xclient.data.l[0]);
            } else if (event.type == ClientMessage && event.xclient.message_type == m_position) {
                sawPosition = true;
                Send(source, m_status, static_cast<long>(Own()), 1, 0, 0, static_cast<long>(answered));
            } else if (event.type == ClientMessage && event.xclient.message_type == m_drop) {
                finished = true;
                if (answer != Answer::NeverFinish)
                    XConvertSelection(X(), m_selection, m_utf8, m_transfer, Own(), static_cast<Time>(event.xclient.data.l[2]));
            } else if (event.type == SelectionNotify && event.xselection.property) {
                Atom type;
                int format;
                unsigned long count, after;
                unsigned char* data = nullptr;
                XGetWindowProperty(X(), Own(), m_transfer, 0, 1 << 16, True, AnyPropertyType, &type, &format, &count, &after, &data);
                {
                    std::lock_guard lock(m_mutex);
                    m_received.assign(reinterpret_cast<const char*>(data), count);
                }
                if (data)
                    XFree(data);
                Send(source, m_finishedAtom, static_cast<long>(Own()), 1, static_cast<long>(answered));
            }
        }
    }

    Atom m_aware, m_enter, m_position, m_status, m_drop, m_finishedAtom, m_selection, m_actionCopy, m_actionMove, m_utf8, m_transfer;
    std::mutex m_mutex;
    std::string m_received;
    OtherXClient m_client; // last: see OtherXClient
};

// The parameter: whether a window manager (openbox) runs.
class EditDragDropX11 : public RealServerTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        RealServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (GetParam()) {
            FLN_REQUIRE_PROGRAMS("openbox");
            ASSERT_TRUE(manager.Start(*server)) << "openbox did not start";
        }
        view = edittest::OpenEditorWindow(app, frame, edit, *language);
        ASSERT_NE(view, nullptr);
        // Shown, and where the window manager has put it: the same place twice in a row.
        RECT before {}, now {};
        ASSERT_TRUE(PumpUntil([&] {
            before = now;
            ::GetWindowRect(frame.m_hWnd, &now);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return ::IsWindowVisible(view->m_hWnd) && EqualRect(&before, &now);
        }));
        const POINT corner = At(0, 0);
        ASSERT_TRUE(PumpUntil([&] { return ServerPixel(reader, corner.x + 20, corner.y) != CLR_INVALID; }));
    }
    void TearDown() override
    {
        if (view) {
            app.m_pMainWnd = nullptr;
            frame.DestroyWindow();
            edit.AttachLangConfig(nullptr);
        }
        RealServerTest::TearDown();
    }

    std::wstring Text() { return edittest::AllText(edit); }
    POINT At(int line, int column)
    {
        CPoint point = view->GetEditController()->LineColToPoint({ line, column });
        point.y += view->GetLineHeight() / 2;
        view->ClientToScreen(&point);
        return point;
    }
    void Run(const std::string& command)
    {
        ASSERT_EQ(RunCommand("DISPLAY=" + server->Name() + " " + command).status, 0) << command;
    }
    static std::string Place(POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); }
    // Presses on the selected text and drags it, in steps, into the peer's window.
    void DragOut(POINT from, XdndPeer& peer)
    {
        ASSERT_TRUE(PumpUntil([&] { return peer.Viewable(); }));
        const POINT to = peer.Inside();
        Run(xdotool + " mousemove " + Place(from) + " mousedown 1 sleep 0.2 mousemove " + Place({ from.x + 20, 300 }) + " sleep 0.2 mousemove "
            + Place(to) + " sleep 0.2 mousemove " + Place({ to.x + 10, to.y + 10 }) + " sleep 0.3 mouseup 1");
    }

    static constexpr RECT kPeer { 40, 360, 200, 460 };
    WindowManager manager;
    CWinApp app { L"EditDragDropX11" };
    std::unique_ptr<SECEditLangConfig> language = edittest::MakeTestLanguage();
    SECEdit edit;
    CWnd frame;
    SECEditView* view = nullptr;
    ScopedSelectionWaitLimit waitLimit { kWaitLimit };
};

TEST_P(EditDragDropX11, AnotherProgramDropsTextWhereItsPointerIs)
{
    edit.SetText(L"say  there");
    XdndPeer peer(server->Name(), kPeer);
    ASSERT_TRUE(peer.Connected());
    ASSERT_TRUE(PumpUntil([&] { return peer.Viewable(); }));
    peer.DropAt(At(0, 4), "hello");
    EXPECT_TRUE(PumpUntil([&] { return peer.finished.load(); }));
    EXPECT_EQ(Text(), L"say hello there");
    EXPECT_TRUE(peer.accepted) << "the drop was taken";
    WriteServerScreenshot(reader, GetParam() ? "fln-editor-xdnd-in-openbox" : "fln-editor-xdnd-in", 480, 300);
}

// A source that never sends the text it dropped: the program gives the drop up within its wait,
// refuses it, leaves the text as it was and answers again.
TEST_P(EditDragDropX11, ADropWhoseSourceStallsIsRefusedAndChangesNothing)
{
    edit.SetText(L"say  there");
    XdndPeer peer(server->Name(), kPeer);
    ASSERT_TRUE(peer.Connected());
    ASSERT_TRUE(PumpUntil([&] { return peer.Viewable(); }));
    const ScopedSelectionWaitLimit programsOwn(ScopedSelectionWaitLimit::ProgramsOwn());
    peer.DropAt(At(0, 4), "hello", true);
    EXPECT_TRUE(PumpUntil([&] { return peer.finished.load(); }));
    EXPECT_FALSE(peer.accepted) << "the drop was taken";
    EXPECT_EQ(Text(), L"say  there");
    view->GetEditController()->SetCaretPosition(0, 0, FALSE);
    view->SendMessage(WM_CHAR, L'x', 0);
    EXPECT_EQ(Text(), L"xsay  there");
}

TEST_P(EditDragDropX11, ADragOutDeliversTheSelectedTextAndAMoveDeletesIt)
{
    edit.SetText(L"keep drag");
    view->GetEditController()->SetSelection(0, 5, 0, 9);
    XdndPeer peer(server->Name(), kPeer);
    ASSERT_TRUE(peer.Connected());
    peer.TakeDrops(XdndPeer::Answer::Move);
    DragOut(At(0, 7), peer);
    EXPECT_TRUE(PumpUntil([&] { return Text() == L"keep "; })) << "the moved text leaves";
    EXPECT_EQ(peer.Received(), "drag");
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_P(EditDragDropX11, APeerThatNeverFinishesTheDropDoesNotHangTheProgram)
{
    edit.SetText(L"keep drag");
    view->GetEditController()->SetSelection(0, 5, 0, 9);
    XdndPeer peer(server->Name(), kPeer);
    ASSERT_TRUE(peer.Connected());
    peer.TakeDrops(XdndPeer::Answer::NeverFinish);
    DragOut(At(0, 7), peer);
    EXPECT_TRUE(PumpUntil([&] { return peer.finished && ::GetCapture() == nullptr; }))
        << "the drag ends";
    EXPECT_EQ(Text(), L"keep drag") << "an unfinished move deletes nothing";
    // The program answers again.
    view->GetEditController()->SetCaretPosition(0, 0, FALSE);
    view->SendMessage(WM_CHAR, L'x', 0);
    EXPECT_EQ(Text(), L"xkeep drag");
}

INSTANTIATE_TEST_SUITE_P(, EditDragDropX11, ::testing::Values(false, true),
    [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "UnderOpenbox" : "Bare"; });

} // namespace
