#include "commandbars/StatusBar.h"
#include "commandbars/tests/HeadlessFrameTest.h"

#include <gmock/gmock.h>

namespace {

constexpr UINT IDS_PANE_MODE = 3001, IDS_PANE_CLOCK = 3002;
constexpr UINT kIndicators[] = { ID_SEPARATOR, IDS_PANE_MODE, ID_INDICATOR_CAPS, IDS_PANE_CLOCK };

TEST(PaneLayoutTest, StretchingPanesShareTheFreeWidthInOrder)
{
    struct Case {
        const char* name;
        int insideWidth;
        std::vector<std::pair<int, UINT>> panes;
        std::vector<int> edges;
    };
    const Case cases[] = {
        // 10 + 6 + 2 + 20 + 6 + 2 + 30 + 6 = 82 used of 89: 7 free pixels, 3 then 4.
        { "two stretching panes", 89, { { 10, SBPS_STRETCH }, { 20, 0 }, { 30, SBPS_STRETCH } }, { 19, 47, 89 } },
        { "no stretching pane", 200, { { 10, 0 }, { 20, 0 } }, { 16, 44 } },
        { "no free width", 20, { { 10, SBPS_STRETCH }, { 20, 0 } }, { 16, 44 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayOutPaneEdges(0, c.insideWidth, 2, c.panes), c.edges) << c.name;
}

class StatusBarTest : public HeadlessFrameTest {
protected:
    void SetUp() override
    {
        HeadlessFrameTest::SetUp();
        ASSERT_TRUE(bar.Create(frame));
        ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
        frame->RecalcLayout();
        Pump();
    }
    // The text the control holds for a part.
    CString ControlText(int index) const
    {
        wchar_t buffer[256] {};
        ::SendMessageW(bar.m_hWnd, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    static int TextWidth(const wchar_t* text)
    {
        CClientDC screen(nullptr);
        screen.SelectObject(::GetStockObject(DEFAULT_GUI_FONT));
        return screen.GetTextExtent(text).cx;
    }

    SECStatusBar bar;
};

TEST_F(StatusBarTest, IndicatorsTakeTheirTextsAndWidthsFromTheStringResources)
{
    ASSERT_EQ(bar.GetCount(), 4);
    UINT id = 0, style = 0;
    int width = 0;
    bar.GetPaneInfo(0, id, style, width);
    EXPECT_EQ(id, ID_SEPARATOR);
    EXPECT_EQ(style, SBPS_STRETCH | SBPS_NOBORDERS);
    EXPECT_EQ(width, ::GetSystemMetrics(SM_CXSCREEN) / 4);
    bar.GetPaneInfo(1, id, style, width);
    EXPECT_EQ(id, IDS_PANE_MODE);
    EXPECT_EQ(width, TextWidth(L"DEG"));
    EXPECT_EQ(bar.GetPaneText(3), L"00:00:00");
    EXPECT_EQ(ControlText(3), L"00:00:00") << "every pane's text reaches the control";
    EXPECT_EQ(bar.GetPaneText(2), L"") << "an id without a string has an empty text";

    EXPECT_EQ(bar.CommandToIndex(IDS_PANE_CLOCK), 3);
    EXPECT_EQ(bar.CommandToIndex(4242), -1);
}

TEST_F(StatusBarTest, TheBarSitsAtTheBottomAndTheFirstPaneTakesTheFreeWidth)
{
    CRect client, place = PlaceInParent(&bar);
    frame->GetClientRect(&client);
    EXPECT_EQ(place.bottom, client.bottom);
    EXPECT_EQ(place.Width(), client.Width());
    EXPECT_GE(place.Height(), 18);

    // The last pane ends where the size grip begins; the first pane takes what the others leave.
    CRect clock, mode, first;
    bar.GetItemRect(3, &clock);
    bar.GetItemRect(1, &mode);
    bar.GetItemRect(0, &first);
    EXPECT_EQ(clock.Width(), TextWidth(L"00:00:00") + 6);
    EXPECT_EQ(mode.Width(), TextWidth(L"DEG") + 6);
    EXPECT_EQ(clock.right, client.Width() - 2 * ::GetSystemMetrics(SM_CXBORDER) - ::GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(first.left, 0);
    EXPECT_GT(first.Width(), 100);
}

TEST_F(StatusBarTest, ATextIsSentOnlyWhenItChangedOrIsPending)
{
    ASSERT_TRUE(bar.SetPaneText(1, L"RAD"));
    EXPECT_EQ(ControlText(1), L"RAD");

    // Behind the bar's back, so that a resend would show.
    ::SendMessageW(bar.m_hWnd, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"other"));
    EXPECT_TRUE(bar.SetPaneText(1, L"RAD"));
    EXPECT_EQ(ControlText(1), L"other") << "the same text is not sent again";

    EXPECT_TRUE(bar.SetPaneText(1, L"GRAD", FALSE));
    EXPECT_EQ(ControlText(1), L"other") << "without update the text waits";
    EXPECT_TRUE(bar.SetPaneText(1, L"GRAD"));
    EXPECT_EQ(ControlText(1), L"GRAD") << "a pending text goes out even when it is the same";

    bar.SetPaneText(1, L"DEG", FALSE);
    bar.Invalidate();
    Pump();
    EXPECT_EQ(ControlText(1), L"DEG") << "painting sends the pending texts";
    EXPECT_FALSE(bar.SetPaneText(9, L"x"));
}

TEST_F(StatusBarTest, ADisabledPaneShowsNoTextButKeepsIt)
{
    bar.SetPaneStyle(1, bar.GetPaneStyle(1) | SBPS_DISABLED);
    EXPECT_EQ(ControlText(1), L"");
    EXPECT_EQ(bar.GetPaneText(1), L"DEG");
    bar.SetPaneStyle(1, bar.GetPaneStyle(1) & ~SBPS_DISABLED);
    EXPECT_EQ(ControlText(1), L"DEG");
}

TEST_F(StatusBarTest, SetPaneInfoLaysOutAgainOnAWidthOrStretchChange)
{
    CRect before, after;
    bar.GetItemRect(1, &before);
    UINT id = 0, style = 0;
    int width = 0;
    bar.GetPaneInfo(1, id, style, width);
    bar.SetPaneInfo(1, id, style, width + 20);
    bar.GetItemRect(1, &after);
    EXPECT_EQ(after.Width(), before.Width() + 20);
    EXPECT_EQ(after.right, before.right) << "the stretching first pane gave up the room";

    // A second stretching pane halves the free width with the first.
    CRect first;
    bar.GetItemRect(0, &first);
    const int free = first.Width() - (::GetSystemMetrics(SM_CXSCREEN) / 4 + 6);
    bar.SetPaneInfo(1, id, style | SBPS_STRETCH, width + 20);
    bar.GetItemRect(1, &after);
    EXPECT_EQ(after.Width(), width + 20 + 6 + (free - free / 2));
}

TEST_F(StatusBarTest, TheWindowTextIsTheTextOfThePaneWithIdZero)
{
    EXPECT_EQ(bar.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ready")), 0);
    EXPECT_EQ(bar.GetPaneText(0), L"Ready");
    EXPECT_EQ(ControlText(0), L"Ready");
    wchar_t buffer[4] {};
    EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_STREQ(buffer, L"Rea");
    EXPECT_EQ(bar.SendMessage(WM_GETTEXTLENGTH), 5);

    frame->SetMessageText(L"Computing");
    EXPECT_EQ(bar.GetPaneText(0), L"Computing") << "the frame's messages land in the first pane";

    const UINT noSeparator[] = { IDS_PANE_MODE };
    bar.SetIndicators(noSeparator, 1);
    EXPECT_EQ(bar.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ready")), -1);
}

// A frame whose handlers drive two panes.
class IndicatorFrame : public CFrameWnd {
public:
    CString mode = L"RAD";
    bool clockOn = false;

protected:
    void OnUpdateMode(CCmdUI* state)
    {
        state->SetText(mode);
        state->SetCheck(1);
    }
    void OnUpdateClock(CCmdUI* state) { state->Enable(clockOn); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(IndicatorFrame, CFrameWnd)
    ON_UPDATE_COMMAND_UI(IDS_PANE_MODE, OnUpdateMode)
    ON_UPDATE_COMMAND_UI(IDS_PANE_CLOCK, OnUpdateClock)
END_MESSAGE_MAP()

class StatusBarUpdateTest : public HeadlessFrameTest {
protected:
    void SetUp() override
    {
        HeadlessFrameTest::SetUp();
        indicatorFrame = new IndicatorFrame;
        ASSERT_TRUE(indicatorFrame->Create(nullptr, L"Indicators", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(120, 120, 820, 320)));
        frame = indicatorFrame;
        app.m_pMainWnd = frame;
        ASSERT_TRUE(bar.Create(frame));
        bar.SetIndicators(kIndicators, 4);
        frame->RecalcLayout();
    }
    IndicatorFrame* indicatorFrame = nullptr;
    SECStatusBar bar;
};

TEST_F(StatusBarUpdateTest, IdleTimeAsksTheFramesUpdateHandlersAboutEveryPane)
{
    Idle();
    EXPECT_EQ(bar.GetPaneText(1), L"RAD");
    EXPECT_TRUE(bar.GetPaneStyle(1) & SBPS_POPOUT) << "a checked pane pops out";
    EXPECT_TRUE(bar.GetPaneStyle(3) & SBPS_DISABLED);

    indicatorFrame->mode = L"DEG";
    indicatorFrame->clockOn = true;
    Idle();
    EXPECT_EQ(bar.GetPaneText(1), L"DEG");
    EXPECT_FALSE(bar.GetPaneStyle(3) & SBPS_DISABLED);
}

TEST_F(StatusBarUpdateTest, TheCapsPaneFollowsTheCapsLockKey)
{
    const int caps = bar.CommandToIndex(ID_INDICATOR_CAPS);
    const bool on = ::GetKeyState(VK_CAPITAL) & 1;
    Idle();
    EXPECT_EQ((bar.GetPaneStyle(caps) & SBPS_DISABLED) == 0, on);
    Key(VK_CAPITAL);
    Idle();
    EXPECT_EQ((bar.GetPaneStyle(caps) & SBPS_DISABLED) == 0, !on);
}

} // namespace
