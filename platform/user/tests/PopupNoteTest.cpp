// A note window the way the balloon help uses the window layer: a topmost tool popup with a
// window region, shown without activation, closed by a thread mouse hook, a keyboard hook or a
// time-out, and following its anchor window through WH_CALLWNDPROCRET.

#include "UserTestSupport.h"

namespace {

struct Note {
    static inline HWND window = nullptr;
    static inline HWND anchor = nullptr;
    static inline HHOOK mouse = nullptr, keyboard = nullptr, anchorMoves = nullptr;
    static inline POINT start {};
    static inline int anchorMovesSeen = 0;

    static LRESULT MouseHook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code >= 0 && IsWindow(window) && (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE)) {
            POINT pt = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->pt;
            if (std::abs(pt.x - start.x) > 3 || std::abs(pt.y - start.y) > 3)
                PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return CallNextHookEx(mouse, code, wParam, lParam);
    }
    static LRESULT KeyboardHook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code >= 0 && !(lParam & (1u << 31)))
            PostMessageW(window, WM_CLOSE, 0, 0);
        return CallNextHookEx(keyboard, code, wParam, lParam);
    }
    static LRESULT AnchorHook(int code, WPARAM wParam, LPARAM lParam)
    {
        auto* info = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        if (code >= 0 && IsWindow(window) && info->hwnd == anchor && info->message == WM_MOVE)
            ++anchorMovesSeen;
        return CallNextHookEx(anchorMoves, code, wParam, lParam);
    }

    static void Open(HWND owner, HWND anchorWindow)
    {
        anchor = anchorWindow;
        anchorMovesSeen = 0;
        window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"LoggingWindow", L"Note", WS_POPUP, 450, 350, 120, 80, owner, nullptr, nullptr, nullptr);
        HRGN body = CreateRoundRectRgn(0, 20, 120, 80, 24, 24);
        POINT tail[] = { { 30, 21 }, { 50, 1 }, { 50, 21 } };
        HRGN tip = CreatePolygonRgn(tail, 3, ALTERNATE);
        CombineRgn(body, body, tip, RGN_OR);
        DeleteObject(tip);
        SetWindowRgn(window, body, TRUE);
        GetCursorPos(&start);
        mouse = SetWindowsHookExW(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
        keyboard = SetWindowsHookExW(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
        anchorMoves = SetWindowsHookExW(WH_CALLWNDPROCRET, AnchorHook, nullptr, GetCurrentThreadId());
        ShowWindow(window, SW_SHOWNOACTIVATE);
        SetTimer(window, 1, 3000, nullptr);
    }
    static void Unhook()
    {
        UnhookWindowsHookEx(mouse);
        UnhookWindowsHookEx(keyboard);
        UnhookWindowsHookEx(anchorMoves);
    }
};

class PopupNote : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        // The note closes itself on WM_CLOSE and on its time-out, and unhooks when destroyed.
        MessageLog::Instance().answer = [](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (window != Note::window)
                return std::nullopt;
            if (message == WM_TIMER && wParam == 1) {
                KillTimer(window, 1);
                PostMessageW(window, WM_CLOSE, 0, 0);
                return 0;
            }
            if (message == WM_DESTROY)
                Note::Unhook();
            return std::nullopt;
        };
        owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 500, 400 });
        anchor = Child(owner, { 10, 10, 60, 30 });
        headless->InjectMouseMove({ 300, 300 });
        Pump();
    }
    HWND owner = nullptr;
    HWND anchor = nullptr;
};

TEST_F(PopupNote, ShowsWithoutTakingActivationAndKeepsItsShape)
{
    Note::Open(owner, anchor);
    Pump();
    EXPECT_TRUE(IsWindowVisible(Note::window));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetTopWindow(nullptr), Note::window); // topmost
    EXPECT_EQ(WindowFromPoint({ 452, 372 }), owner); // outside the rounded corner: what lies below
    EXPECT_EQ(WindowFromPoint({ 497, 361 }), Note::window); // the tail
    EXPECT_EQ(WindowFromPoint({ 482, 361 }), owner); // beside the tail
    DestroyWindow(Note::window);
}

TEST_F(PopupNote, MovingTheMouseByThreeKeepsItByFourClosesIt)
{
    Note::Open(owner, anchor);
    Pump();
    headless->InjectMouseMove({ 303, 300 });
    Pump();
    EXPECT_TRUE(IsWindow(Note::window));
    headless->InjectMouseMove({ 304, 300 });
    Pump();
    EXPECT_FALSE(IsWindow(Note::window));
}

TEST_F(PopupNote, AKeyOrTheTimeOutClosesIt)
{
    Note::Open(owner, anchor);
    Pump();
    Key(VK_SHIFT);
    EXPECT_FALSE(IsWindow(Note::window));

    Note::Open(owner, anchor);
    headless->Advance(2999);
    Pump();
    EXPECT_TRUE(IsWindow(Note::window));
    headless->Advance(1);
    Pump();
    EXPECT_FALSE(IsWindow(Note::window));
}

TEST_F(PopupNote, FollowsItsAnchorThroughTheReturnHook)
{
    Note::Open(owner, anchor);
    SetWindowPos(anchor, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(Note::anchorMovesSeen, 1);
    DestroyWindow(Note::window);
    SetWindowPos(anchor, nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(Note::anchorMovesSeen, 1); // unhooked with the note
}

} // namespace
