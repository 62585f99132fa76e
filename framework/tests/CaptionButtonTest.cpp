#include "framework/CaptionFilters.h"

#include "platform/user/tests/PixelChecks.h"
#include "platform/user/tests/UserTestSupport.h"

#include <memory>
#include <vector>

namespace {

constexpr int ListId = 256;
constexpr int ExtraId = 5;

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A button of the test's own kind, always shown, that notes how it was operated.
class ExtraButton : public SECCaptionControlMsgFilter {
    DECLARE_DYNCREATE(ExtraButton)
public:
    BOOL QueryState(BOOL& disabled) const override
    {
        disabled = FALSE;
        return TRUE;
    }
    void Execute(int how, int, int) override { executed.push_back(how); }
    std::vector<int> executed;
};
IMPLEMENT_DYNCREATE(ExtraButton, SECCaptionControlMsgFilter)

// A window that offers its messages to its filters as a frame does: painting and activation
// after the default handling, everything else before it. It notes system commands and
// otherwise ignores them, so that Close leaves it open.
class FilteredWindow : public CWnd {
public:
    SECMsgFilter root { this };
    std::vector<Posted> commands;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCOMMAND) {
            commands.push_back({ message, wParam, lParam });
            return 0;
        }
        LRESULT result = 0;
        if (message == WM_NCPAINT || message == WM_NCACTIVATE || message == WM_SETTEXT) {
            result = CWnd::WindowProc(message, wParam, lParam);
            LRESULT ignored = 0;
            root.FilterMessage(&ignored);
            return result;
        }
        if (root.FilterMessage(&result) & MsgFilterHandled)
            return result;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class CaptionButtonTest : public UserTest {
protected:
    void TearDown() override
    {
        window.reset();
        UserTest::TearDown();
    }
    SECCaptionControlListMsgFilter* Open(DWORD style, DWORD exStyle = 0)
    {
        window = std::make_unique<FilteredWindow>();
        EXPECT_TRUE(window->CreateEx(exStyle, AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE)),
            L"Filters", style | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr));
        auto* list = static_cast<SECCaptionControlListMsgFilter*>(window->root.Install(
            SECMsgFilter::Descriptor(ListId, SECMsgFilter::RootId, RUNTIME_CLASS(SECCaptionControlListMsgFilter)), TRUE));
        list->Layout();
        Pump();
        return list;
    }
    ExtraButton* AddExtra(int delay = -1)
    {
        auto* extra = static_cast<ExtraButton*>(
            window->root.Install(SECMsgFilter::Descriptor(ExtraId, ListId, RUNTIME_CLASS(ExtraButton)), TRUE));
        extra->SetRepeatDelay(delay);
        static_cast<SECCaptionControlListMsgFilter*>(window->root.FindOrCreate(ListId))->Layout();
        return extra;
    }
    SECCaptionControlMsgFilter* Button(int id) const
    {
        return static_cast<SECCaptionControlMsgFilter*>(window->root.FindOrCreate(id, nullptr, -1));
    }
    // The centre of a button on the screen.
    POINT Centre(const SECCaptionControlMsgFilter* button) const
    {
        CRect frame;
        window->GetWindowRect(&frame);
        const CPoint centre = button->GetRect().CenterPoint();
        return { frame.left + centre.x, frame.top + centre.y };
    }
    void MoveTo(POINT screen)
    {
        headless->InjectMouseMove(screen);
        Pump();
    }
    void Press(POINT screen)
    {
        headless->InjectMouseMove(screen);
        headless->InjectButton(1, true, screen);
        Pump();
    }
    void Release(POINT screen)
    {
        headless->InjectButton(1, false, screen);
        Pump();
    }
    void Wait(unsigned milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }
    // A press that arrives as the frame hit-tests a caption: system buttons only operate so.
    UINT PressOnCaption(POINT screen)
    {
        LRESULT result = 0;
        return window->root.Filter(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y), &result);
    }
    BOOL Captured() const { return GetCapture() == window->m_hWnd; }

    std::unique_ptr<FilteredWindow> window;
};

TEST_F(CaptionButtonTest, TheRowSitsWhereTheSystemHitTestsItsButtons)
{
    using B = SECCaptionControlMsgFilter;
    Open(WS_OVERLAPPEDWINDOW);
    const LRESULT codes[] = { HTCLOSE, HTMAXBUTTON, HTMINBUTTON };
    const int ids[] = { B::Close, B::Maximize, B::Minimize };
    for (int i = 0; i < 3; ++i) {
        const POINT centre = Centre(Button(ids[i]));
        EXPECT_EQ(window->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), codes[i]) << ids[i];
    }
    const CSize size(GetSystemMetrics(SM_CXSIZE) - 2, GetSystemMetrics(SM_CYSIZE) - 4);
    EXPECT_EQ(Button(B::Close)->GetRect().Size(), size);
    EXPECT_EQ(Button(B::Maximize)->GetRect().right, Button(B::Close)->GetRect().left - 2);
    EXPECT_EQ(Button(B::Minimize)->GetRect().right, Button(B::Maximize)->GetRect().left);
    EXPECT_TRUE(Button(B::Restore)->GetRect().IsRectEmpty());
    EXPECT_TRUE(Button(B::Help)->GetRect().IsRectEmpty());

    ExtraButton* extra = AddExtra();
    EXPECT_EQ(extra->GetRect().right, Button(B::Minimize)->GetRect().left - 2) << "extra buttons follow after a gap";
}

TEST_F(CaptionButtonTest, AMaximisedChildsRowSitsUnderTheCaptionInMenuSizes)
{
    using B = SECCaptionControlMsgFilter;
    SECCaptionControlListMsgFilter* caption = Open(WS_OVERLAPPEDWINDOW);
    auto* row = static_cast<SECCapConLstMDIMaxChildMsgFilter*>(window->root.Install(
        SECMsgFilter::Descriptor(ListId + 1, SECMsgFilter::RootId, RUNTIME_CLASS(SECCapConLstMDIMaxChildMsgFilter)), TRUE));
    row->Layout();
    const CRect close = static_cast<B*>(row->FindOrCreate(B::Close))->GetRect();
    const CRect captionClose = static_cast<B*>(caption->FindOrCreate(B::Close))->GetRect();
    EXPECT_EQ(close.Size(), CSize(GetSystemMetrics(SM_CXMENUSIZE) - 2, GetSystemMetrics(SM_CYMENUSIZE) - 4));
    EXPECT_EQ(close.top, captionClose.top + GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(close.right, captionClose.right);
}

TEST_F(CaptionButtonTest, TheStyleDecidesWhichButtonsShowAndWhichAreDisabled)
{
    using B = SECCaptionControlMsgFilter;
    struct Case {
        const char* name;
        DWORD style, exStyle;
        std::vector<int> shown, disabled;
    } cases[] = {
        { "no system menu", WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, {}, {} },
        { "tool window", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, { B::Close }, {} },
        { "context help", WS_CAPTION | WS_SYSMENU, WS_EX_CONTEXTHELP, { B::Close, B::Help }, {} },
        { "minimise box only", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, { B::Close, B::Maximize, B::Minimize }, { B::Maximize } },
        { "maximised", WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, 0, { B::Close, B::Restore, B::Minimize }, {} },
        { "iconic without maximise box", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MINIMIZE, 0, { B::Close, B::Maximize, B::Restore }, { B::Maximize } },
    };
    for (const Case& c : cases) {
        Open(c.style, c.exStyle);
        for (int id : { B::Close, B::Minimize, B::Maximize, B::Restore, B::Help }) {
            const bool shown = std::ranges::count(c.shown, id) > 0;
            const bool disabled = std::ranges::count(c.disabled, id) > 0;
            EXPECT_EQ(!Button(id)->GetRect().IsRectEmpty(), shown) << c.name << ", button " << id;
            if (shown) {
                EXPECT_EQ((Button(id)->GetState() & DFCS_INACTIVE) != 0, disabled) << c.name << ", button " << id;
            }
        }
    }
    Open(WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
    EXPECT_EQ(Button(B::Close)->GetRect().Size(), CSize(GetSystemMetrics(SM_CXSMSIZE) - 2, GetSystemMetrics(SM_CYSMSIZE) - 4));
}

TEST_F(CaptionButtonTest, APressFollowsThePointerAndActsOnARelease)
{
    ExtraButton* extra = (Open(WS_OVERLAPPEDWINDOW), AddExtra());
    const POINT inside = Centre(extra);
    const POINT outside { inside.x, inside.y + 60 };

    Press(inside);
    EXPECT_TRUE(extra->IsTracking());
    EXPECT_TRUE(Captured());
    EXPECT_TRUE(extra->GetState() & DFCS_PUSHED);
    MoveTo(outside);
    EXPECT_FALSE(extra->GetState() & DFCS_PUSHED);
    MoveTo(inside);
    EXPECT_TRUE(extra->GetState() & DFCS_PUSHED);
    Release(inside);
    EXPECT_EQ(extra->executed, (std::vector<int> { SECCaptionControlMsgFilter::Click }));
    EXPECT_FALSE(Captured());
    EXPECT_FALSE(extra->GetState() & DFCS_PUSHED);

    extra->executed.clear();
    Press(inside);
    MoveTo(outside);
    Release(outside);
    EXPECT_TRUE(extra->executed.empty()) << "released outside";
    EXPECT_FALSE(extra->IsTracking());
}

TEST_F(CaptionButtonTest, ARightPressActsAtOnce)
{
    ExtraButton* extra = (Open(WS_OVERLAPPEDWINDOW), AddExtra());
    const POINT at = Centre(extra);
    headless->InjectMouseMove(at);
    headless->InjectButton(3, true, at);
    Pump();
    EXPECT_EQ(extra->executed, (std::vector<int> { SECCaptionControlMsgFilter::RightPress }));
    EXPECT_FALSE(extra->IsTracking());
}

TEST_F(CaptionButtonTest, HoldingThePressFiresOnceOnTheClock)
{
    using B = SECCaptionControlMsgFilter;
    ExtraButton* extra = (Open(WS_OVERLAPPEDWINDOW), AddExtra(400));
    const POINT inside = Centre(extra);
    const POINT outside { inside.x, inside.y + 60 };

    Press(inside);
    Wait(399);
    EXPECT_TRUE(extra->executed.empty());
    Wait(1);
    EXPECT_EQ(extra->executed, (std::vector<int> { B::Held }));
    EXPECT_FALSE(extra->IsTracking());
    EXPECT_FALSE(Captured());
    Wait(1000);
    Release(inside);
    EXPECT_EQ(extra->executed, (std::vector<int> { B::Held })) << "the later release executes nothing";

    extra->executed.clear();
    Press(inside);
    Wait(200);
    Release(inside);
    Wait(1000);
    EXPECT_EQ(extra->executed, (std::vector<int> { B::Click })) << "released before the delay";

    extra->executed.clear();
    Press(inside);
    MoveTo(outside);
    Wait(1000);
    EXPECT_TRUE(extra->executed.empty()) << "leaving the button stops the clock";
    MoveTo(inside);
    Wait(399);
    EXPECT_TRUE(extra->executed.empty()) << "coming back starts it afresh";
    Wait(1);
    EXPECT_EQ(extra->executed, (std::vector<int> { B::Held }));
    Release(inside);
}

TEST_F(CaptionButtonTest, ADelayOfZeroFiresOnThePress)
{
    ExtraButton* extra = (Open(WS_OVERLAPPEDWINDOW), AddExtra(0));
    Press(Centre(extra));
    EXPECT_EQ(extra->executed, (std::vector<int> { SECCaptionControlMsgFilter::Held }));
    EXPECT_FALSE(Captured());
    Release(Centre(extra));
}

TEST_F(CaptionButtonTest, SystemButtonsPostTheirCommandOnARelease)
{
    using B = SECCaptionControlMsgFilter;
    struct Case {
        int id;
        WPARAM command;
    } cases[] = { { B::Close, SC_CLOSE }, { B::Maximize, SC_MAXIMIZE }, { B::Minimize, SC_MINIMIZE } };
    for (const Case& c : cases) {
        Open(WS_OVERLAPPEDWINDOW);
        const POINT at = Centre(Button(c.id));
        EXPECT_EQ(PressOnCaption(at), MsgFilterConsumed);
        EXPECT_TRUE(Captured());
        EXPECT_TRUE(window->commands.empty());
        Release(at);
        ASSERT_EQ(window->commands.size(), 1u) << c.id;
        EXPECT_EQ(window->commands[0].wParam, c.command);
        EXPECT_EQ(window->commands[0].lParam, MAKELPARAM(at.x, at.y));
    }

    const POINT close = Centre(Button(B::Close));
    window->commands.clear();
    PressOnCaption(close);
    MoveTo({ close.x - 100, close.y + 50 });
    Release({ close.x - 100, close.y + 50 });
    EXPECT_TRUE(window->commands.empty()) << "left and released outside";
}

TEST_F(CaptionButtonTest, ADisabledCloseButtonSwallowsThePress)
{
    using B = SECCaptionControlMsgFilter;
    SECCaptionControlListMsgFilter* list = Open(WS_OVERLAPPEDWINDOW);
    EnableMenuItem(GetSystemMenu(window->m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    list->Layout();
    EXPECT_TRUE(Button(B::Close)->GetState() & DFCS_INACTIVE);
    const POINT at = Centre(Button(B::Close));
    EXPECT_EQ(PressOnCaption(at), MsgFilterConsumed);
    EXPECT_FALSE(Captured());
    Release(at);
    EXPECT_TRUE(window->commands.empty());
}

TEST_F(CaptionButtonTest, APressEndsWhenAnotherWindowTakesTheMouse)
{
    ExtraButton* extra = (Open(WS_OVERLAPPEDWINDOW), AddExtra(400));
    Press(Centre(extra));
    HWND other = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 500, 400, 600, 500 });
    SetCapture(other);
    LRESULT result = 0;
    EXPECT_EQ(window->root.Filter(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), &result), 0u) << "the move is no longer the button's";
    EXPECT_FALSE(extra->IsTracking());
    EXPECT_FALSE(extra->GetState() & DFCS_PUSHED);
    Wait(1000);
    EXPECT_TRUE(extra->executed.empty()) << "its clock stopped too";
    ReleaseCapture();
}

TEST_F(CaptionButtonTest, TheRowIsDrawnInTheSystemLook)
{
    using B = SECCaptionControlMsgFilter;
    SECCaptionControlListMsgFilter* list = Open(WS_OVERLAPPEDWINDOW);
    const CRect row(Button(B::Minimize)->GetRect().left - 2, Button(B::Close)->GetRect().top - 2,
        Button(B::Close)->GetRect().right + 2, Button(B::Close)->GetRect().bottom + 2);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(window->m_hWnd, row, "caption-buttons.png"));

    PressOnCaption(Centre(Button(B::Close)));
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(window->m_hWnd, row, "caption-buttons-close-pushed.png"));
    Release(Centre(Button(B::Close)));

    window->ModifyStyle(WS_MAXIMIZEBOX, 0);
    EnableMenuItem(GetSystemMenu(window->m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    list->Layout();
    window->SendMessage(WM_NCPAINT, 1);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(window->m_hWnd, row, "caption-buttons-disabled.png"));
}

TEST_F(CaptionButtonTest, ARowClonesWithoutDoublingItsButtons)
{
    SECCaptionControlListMsgFilter* list = Open(WS_OVERLAPPEDWINDOW);
    AddExtra();
    std::unique_ptr<SECMsgFilter> clone(list->Clone());
    ASSERT_EQ(clone->GetChildCount(), 6);
    EXPECT_EQ(clone->GetChild(5)->GetId(), ExtraId);
    EXPECT_EQ(clone->GetChild(0)->GetWnd(), window.get());
}

} // namespace
