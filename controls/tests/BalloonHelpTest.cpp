#include "controls/BalloonHelp.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/Shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Options = CBalloonHelp::BalloonOptions;

class BalloonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        headless->SetMonitors({ { { 0, 0, 1280, 1024 }, { 0, 0, 1280, 1000 }, true } });
        SetCurrentDisplay(std::move(display));
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 500, nullptr, nullptr));
        app.m_pMainWnd = &main;
        headless->InjectMouseMove({ 300, 300 });
        Pump();
    }
    void TearDown() override
    {
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        Pump();
        AfxDeleteTempObjects();
    }
    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    void Advance(std::uint32_t milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }
    static HWND LaunchedBalloon() { return FindWindowW(L"BalloonHelpClassDS", nullptr); }

    HeadlessDisplay* headless = nullptr;
    CWinApp app { L"BalloonTest" };
    CWnd main;
};

TEST_F(BalloonTest, AnAnchorInTheLowerRightQuarterPutsTheBalloonAboveAndLeftWithTheTipOnTheAnchor)
{
    CBalloonHelp balloon;
    POINT anchor { 1000, 900 };
    ASSERT_TRUE(balloon.Create(L"Title", L"Some content", anchor, 0, nullptr, L"", 0, nullptr));
    RECT window;
    balloon.GetWindowRect(&window);
    int width = window.right - window.left;
    int q = (width - 20) / 4;
    EXPECT_EQ(window.bottom - 2, anchor.y) << "the tip is 2 pixels above the bottom edge";
    EXPECT_EQ(window.left + 3 * q + 20, anchor.x);
    EXPECT_LT(window.left, anchor.x);

    RECT client;
    balloon.GetClientRect(&client);
    EXPECT_EQ(client.right, width - 16);
    EXPECT_EQ(client.bottom, window.bottom - window.top - 36) << "the tail takes 20 pixels below the client area";

    // The shape: the tail reaches down to the tip, the rounded body leaves the corners out.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(balloon, shape), 0);
    EXPECT_TRUE(PtInRegion(shape, 3 * q + 19, window.bottom - window.top - 4));
    EXPECT_FALSE(PtInRegion(shape, 0, 0));
    EXPECT_TRUE(PtInRegion(shape, width / 2, 10));
    DeleteObject(shape);
}

TEST_F(BalloonTest, AnAnchorNearTheLeftEdgeShiftsTheBalloonRightAndTheTipStillEndsAtTheAnchor)
{
    CBalloonHelp balloon;
    POINT anchor { 2, 100 };
    ASSERT_TRUE(balloon.Create(L"Title", L"A note about the input", anchor, 0, nullptr, L"", 0, nullptr));
    RECT window;
    balloon.GetWindowRect(&window);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, anchor.y - 1) << "an upper-half anchor hangs the balloon below it";
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(balloon, shape), 0);
    RECT box;
    GetRgnBox(shape, &box);
    EXPECT_LE(box.left, anchor.x - window.left + 1);
    EXPECT_LE(box.top, 2);
    DeleteObject(shape);
}

TEST_F(BalloonTest, EachQuarterOfTheWorkAreaPutsTheTailOnItsOwnSideAndTheRightEdgeShiftsTheBody)
{
    // The work area is 1280 x 1000: its middle is at x 640, y 500.
    struct Case {
        POINT anchor;
        bool tailAtTop, tailOnRight;
        bool shiftedLeft;
    };
    const Case cases[] = {
        { { 300, 200 }, true, false, false },
        { { 1000, 200 }, true, true, false },
        { { 300, 800 }, false, false, false },
        { { 640, 500 }, false, true, false },  // the middle itself counts as lower and right
        { { 1278, 200 }, true, true, true },
    };
    for (const Case& test : cases) {
        CBalloonHelp balloon;
        ASSERT_TRUE(balloon.Create(L"Title", L"Some content", test.anchor, 0, nullptr, L"", 0, nullptr));
        RECT window, client;
        balloon.GetWindowRect(&window);
        balloon.GetClientRect(&client);
        balloon.ClientToScreen(&client);
        const int W = window.right - window.left, H = window.bottom - window.top;
        const int q = (W - 20) / 4;
        SCOPED_TRACE(testing::Message() << "anchor " << test.anchor.x << ", " << test.anchor.y);

        EXPECT_EQ(client.top - window.top, test.tailAtTop ? 28 : 8) << "the tail's 20 pixels are on its side";
        EXPECT_EQ(window.top, test.anchor.y - (test.tailAtTop ? 1 : H - 2)) << "the tip is 1 pixel inside its edge";
        if (test.shiftedLeft) {
            EXPECT_EQ(window.right, 1280) << "the body stays in the work area";
        } else {
            int tipX = test.tailOnRight ? 3 * q + 20 : std::max(q, 8);
            EXPECT_EQ(window.left + tipX, test.anchor.x);
        }
        // The shape's rows next to the tip end within a pixel or two of the anchor's column.
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(balloon, shape), 0);
        HRGN tipRows = CreateRectRgn(0, test.tailAtTop ? 0 : H - 6, W, test.tailAtTop ? 6 : H);
        CombineRgn(tipRows, tipRows, shape, RGN_AND);
        RECT box;
        GetRgnBox(tipRows, &box);
        const int column = test.anchor.x - window.left;
        EXPECT_LE(std::abs((test.tailOnRight ? box.right - 1 : box.left) - column), 2);
        DeleteObject(tipRows);
        DeleteObject(shape);
    }
}

TEST_F(BalloonTest, WithoutContentOnlyTheTitleLineShows)
{
    CBalloonHelp titled;
    ASSERT_TRUE(titled.Create(L"Only a title", L"", { 400, 300 }, 0, nullptr, L"", 0, nullptr));
    LOGFONTW font {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = 700;
    CFont bold;
    bold.CreateFontIndirect(&font);
    CClientDC dc(&titled);
    CFont* old = dc.SelectObject(&bold);
    RECT text {};
    dc.DrawText(CString(L"Only a title"), &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    dc.SelectObject(old);
    RECT client;
    titled.GetClientRect(&client);
    EXPECT_EQ(client.right, text.right - text.left);
    EXPECT_EQ(client.bottom, text.bottom - text.top + 8);
}

TEST_F(BalloonTest, TheBorderIsDrawnInTheTextColourAndTheBodyInTheBackground)
{
    CBalloonHelp balloon;
    ASSERT_TRUE(balloon.Create(L"", L"A line of content wide enough", { 400, 300 }, Options::unDISABLE_FADEIN, nullptr, L"", 0, nullptr));
    Pump();
    RECT window;
    balloon.GetWindowRect(&window);
    HDC dc = GetWindowDC(balloon);
    int middle = (window.right - window.left) / 2;
    EXPECT_EQ(GetPixel(dc, middle, 20), GetSysColor(COLOR_INFOTEXT)) << "top edge of the body, below the tail";
    EXPECT_EQ(GetPixel(dc, middle, 24), GetSysColor(COLOR_INFOBK));
    ReleaseDC(balloon, dc);
}

TEST_F(BalloonTest, TheRaisedBorderHasALightInnerAndAMiddleOuterEdge)
{
    CBalloonHelp balloon;
    ASSERT_TRUE(balloon.Create(L"", L"A line of content wide enough", { 400, 300 },
        Options::unDISABLE_FADEIN | Options::unSHOW_INNER_SHADOW, nullptr, L"", 0, nullptr));
    Pump();
    const COLORREF back = GetSysColor(COLOR_INFOBK), text = GetSysColor(COLOR_INFOTEXT);
    auto light = [](int b) { return b / 3 + 170; };
    auto middle = [](int b, int t) { return 2 * (b / 3) + t / 3; };
    const COLORREF lightColour = RGB(light(GetRValue(back)), light(GetGValue(back)), light(GetBValue(back)));
    const COLORREF middleColour = RGB(middle(GetRValue(back), GetRValue(text)), middle(GetGValue(back), GetGValue(text)),
        middle(GetBValue(back), GetBValue(text)));
    RECT window;
    balloon.GetWindowRect(&window);
    const int W = window.right - window.left, H = window.bottom - window.top;
    const int x = W / 2, y = 20 + (H - 20) / 2; // the middles of the body's edges
    HDC dc = GetWindowDC(balloon);
    EXPECT_EQ(GetPixel(dc, x, 20), text) << "the outline is drawn last";
    EXPECT_EQ(GetPixel(dc, x, 21), lightColour);
    EXPECT_EQ(GetPixel(dc, 1, y), lightColour);
    EXPECT_EQ(GetPixel(dc, W - 2, y), middleColour);
    EXPECT_EQ(GetPixel(dc, x, H - 2), middleColour);
    EXPECT_EQ(GetPixel(dc, W - 1, y), text);
    ReleaseDC(balloon, dc);
}

TEST_F(BalloonTest, TheTimeOutClosesTheBalloonOnTheVirtualClock)
{
    CBalloonHelp::LaunchBalloon(L"Note", L"Closes by itself", { 400, 300 }, 0, 0, nullptr, L"", 3000);
    ASSERT_TRUE(LaunchedBalloon());
    Advance(2999);
    EXPECT_TRUE(LaunchedBalloon());
    Advance(1);
    EXPECT_FALSE(LaunchedBalloon());
    EXPECT_FALSE(CBalloonHelp::IsLaunchedBalloonShown());
}

TEST_F(BalloonTest, ASecondLaunchWhileOneIsShownDoesNothing)
{
    CBalloonHelp::LaunchBalloon(L"First", L"", { 400, 300 }, 0, Options::unCLOSE_ON_KEYPRESS, nullptr, L"", 0);
    HWND first = LaunchedBalloon();
    ASSERT_TRUE(first);
    CBalloonHelp::LaunchBalloon(L"Second", L"", { 800, 300 }, 0, Options::unCLOSE_ON_KEYPRESS, nullptr, L"", 0);
    EXPECT_EQ(LaunchedBalloon(), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT) == nullptr || FindWindowW(nullptr, L"Second") == nullptr, true);

    headless->InjectKey(VK_SPACE, true, L" ");
    Pump();
    EXPECT_FALSE(IsWindow(first)) << "a key closes it";
    EXPECT_FALSE(CBalloonHelp::IsLaunchedBalloonShown());
    CBalloonHelp::LaunchBalloon(L"Third", L"", { 800, 300 }, 0, 0, nullptr, L"", 0);
    EXPECT_TRUE(LaunchedBalloon());
}

TEST_F(BalloonTest, MovingTheMouseFurtherThanTheToleranceCloses)
{
    int tolerance = 3;
    int hoverWidth = 0;
    if (SystemParametersInfoW(SPI_GETMOUSEHOVERWIDTH, 0, &hoverWidth, 0) && hoverWidth > 0)
        tolerance = hoverWidth;
    CBalloonHelp::LaunchBalloon(L"Moves", L"", { 900, 800 }, 0, Options::unCLOSE_ON_MOUSE_MOVE, nullptr, L"", 0);
    ASSERT_TRUE(LaunchedBalloon());
    headless->InjectMouseMove({ 300 + tolerance, 300 - tolerance });
    Pump();
    EXPECT_TRUE(LaunchedBalloon()) << "within the tolerance";
    headless->InjectMouseMove({ 300 + tolerance + 1, 300 });
    Pump();
    EXPECT_FALSE(LaunchedBalloon());
}

TEST_F(BalloonTest, EachButtonOptionClosesOnItsOwnButtonAndEdgeOnly)
{
    struct Case {
        unsigned option;
        int button; // 1 left, 2 middle, 3 right
        bool onDown;
    };
    const Case cases[] = {
        { Options::unCLOSE_ON_LBUTTON_UP, 1, false },
        { Options::unCLOSE_ON_MBUTTON_UP, 2, false },
        { Options::unCLOSE_ON_RBUTTON_UP, 3, false },
        { Options::unCLOSE_ON_LBUTTON_DOWN, 1, true },
        { Options::unCLOSE_ON_MBUTTON_DOWN, 2, true },
        { Options::unCLOSE_ON_RBUTTON_DOWN, 3, true },
    };
    const POINT elsewhere { 300, 300 };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << "option " << test.option);
        CBalloonHelp::LaunchBalloon(L"Buttons", L"", { 900, 800 }, 0, test.option, nullptr, L"", 0);
        ASSERT_TRUE(LaunchedBalloon());
        for (int other = 1; other <= 3; ++other) {
            if (other == test.button)
                continue;
            headless->InjectButton(other, true, elsewhere);
            headless->InjectButton(other, false, elsewhere);
            Pump();
        }
        EXPECT_TRUE(LaunchedBalloon()) << "the other buttons leave it";
        headless->InjectButton(test.button, true, elsewhere);
        Pump();
        EXPECT_EQ(LaunchedBalloon() == nullptr, test.onDown);
        headless->InjectButton(test.button, false, elsewhere);
        Pump();
        EXPECT_FALSE(LaunchedBalloon());
    }
}

TEST_F(BalloonTest, AKeyGoingDownClosesAndAKeyComingUpDoesNot)
{
    CBalloonHelp::LaunchBalloon(L"Keys", L"", { 900, 800 }, 0, Options::unCLOSE_ON_KEYPRESS, nullptr, L"", 0);
    ASSERT_TRUE(LaunchedBalloon());
    headless->InjectKey(VK_SHIFT, false);
    Pump();
    EXPECT_TRUE(LaunchedBalloon());
    headless->InjectKey(VK_SHIFT, true);
    Pump();
    EXPECT_FALSE(LaunchedBalloon());
}

TEST_F(BalloonTest, WithoutAnOwnerNoBalloonIsMadeAndTheNextLaunchMayShow)
{
    app.m_pMainWnd = nullptr;
    CBalloonHelp orphan;
    EXPECT_FALSE(orphan.Create(L"Orphan", L"", { 400, 300 }, Options::unCLOSE_ON_KEYPRESS, nullptr, L"", 1000, nullptr));
    EXPECT_EQ(orphan.m_hWnd, nullptr);
    CBalloonHelp::LaunchBalloon(L"Orphan", L"", { 400, 300 }, 0, 0, nullptr, L"", 0);
    EXPECT_FALSE(LaunchedBalloon());
    EXPECT_FALSE(CBalloonHelp::IsLaunchedBalloonShown());

    app.m_pMainWnd = &main;
    CBalloonHelp::LaunchBalloon(L"Owned", L"", { 400, 300 }, 0, 0, nullptr, L"", 0);
    EXPECT_TRUE(LaunchedBalloon());
}

TEST_F(BalloonTest, ADelayedCloseOnlyArmsTheTimeOutOnTheFirstRequest)
{
    CBalloonHelp::LaunchBalloon(L"Delayed", L"", { 400, 300 }, 0,
        Options::unDELAY_CLOSE | Options::unCLOSE_ON_LBUTTON_DOWN, nullptr, L"", 3000);
    HWND balloon = LaunchedBalloon();
    ASSERT_TRUE(balloon);
    Advance(5000);
    EXPECT_TRUE(IsWindow(balloon)) << "the time-out does not start at show time";
    headless->InjectButton(1, true, { 300, 300 });
    headless->InjectButton(1, false, { 300, 300 });
    Pump();
    EXPECT_TRUE(IsWindow(balloon)) << "the first click only starts the time-out";
    Advance(3000);
    EXPECT_FALSE(IsWindow(balloon));
}

TEST_F(BalloonTest, ADelayedCloseWithoutTimeOutStaysUntilTheNextCloseRequest)
{
    CBalloonHelp::LaunchBalloon(L"Delayed", L"", { 400, 300 }, 0, Options::unDELAY_CLOSE, nullptr, L"", 0);
    HWND balloon = LaunchedBalloon();
    ASSERT_TRUE(balloon);
    SendMessageW(balloon, WM_CLOSE, 0, 0);
    Advance(60000);
    EXPECT_TRUE(IsWindow(balloon));
    SendMessageW(balloon, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(balloon));
}

TEST_F(BalloonTest, TheCloseButtonClosesOnARelease)
{
    CBalloonHelp::LaunchBalloon(L"Button", L"Click the cross", { 400, 300 }, 0, Options::unSHOW_CLOSE_BUTTON, nullptr, L"", 0);
    HWND balloon = LaunchedBalloon();
    ASSERT_TRUE(balloon);
    RECT client;
    GetClientRect(balloon, &client);
    POINT button { client.right - GetSystemMetrics(SM_CXSIZE) / 2, GetSystemMetrics(SM_CYSIZE) / 2 };
    ClientToScreen(balloon, &button);
    auto buttonPixels = [&] {
        HDC dc = GetDC(balloon);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < GetSystemMetrics(SM_CYSIZE); ++y)
            for (int x = client.right - GetSystemMetrics(SM_CXSIZE); x < client.right; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(balloon, dc);
        return pixels;
    };
    headless->InjectMouseMove(button);
    Pump();
    auto hot = buttonPixels();
    headless->InjectButton(1, true, button);
    Pump();
    EXPECT_EQ(GetCapture(), balloon);
    EXPECT_NE(buttonPixels(), hot) << "a pressed button looks pushed";
    headless->InjectButton(1, false, button);
    Pump();
    EXPECT_FALSE(IsWindow(balloon));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BalloonTest, TheBalloonFollowsItsAnchorWindow)
{
    CBalloonHelp balloon;
    ASSERT_TRUE(balloon.Create(L"Follows", L"", { 50, 50 }, 0, &main, L"", 0, nullptr));
    RECT before, after;
    balloon.GetWindowRect(&before);
    main.MoveWindow(150, 120, 600, 500);
    balloon.GetWindowRect(&after);
    EXPECT_EQ(after.left - before.left, 50);
    EXPECT_EQ(after.top - before.top, 20);
}

} // namespace

namespace {

TEST_F(BalloonTest, ALaunchedBalloonTakenAlongByItsOwnerLetsTheNextOneShow)
{
    CBalloonHelp::LaunchBalloon(L"Owned", L"", { 400, 300 }, 0, 0, nullptr, L"", 0);
    ASSERT_TRUE(CBalloonHelp::IsLaunchedBalloonShown());
    main.DestroyWindow();
    EXPECT_FALSE(LaunchedBalloon());
    EXPECT_FALSE(CBalloonHelp::IsLaunchedBalloonShown());
}

} // namespace

namespace {

HICON MakeSquareIcon(int size, COLORREF color)
{
    HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, size, size);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, picture);
    RECT all { 0, 0, size, size };
    FillSolidRect(dc, &all, color);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteDC(screen);
    std::vector<BYTE> maskBits(static_cast<size_t>((size + 15) / 16 * 2 * size), 0); // opaque everywhere
    HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO info { TRUE, static_cast<DWORD>(size / 2), static_cast<DWORD>(size / 2), mask, picture };
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(picture);
    return icon;
}

TEST_F(BalloonTest, TheIconSitsAtTheStartOfTheTitleLine)
{
    HICON icon = MakeSquareIcon(16, RGB(200, 0, 0));
    CBalloonHelp plain, withIcon;
    ASSERT_TRUE(plain.Create(L"Title", L"", { 400, 300 }, 0, nullptr, L"", 0, nullptr));
    ASSERT_TRUE(withIcon.Create(L"Title", L"", { 400, 300 }, Options::unDISABLE_FADEIN, nullptr, L"", 0, icon));
    RECT without, with;
    plain.GetClientRect(&without);
    withIcon.GetClientRect(&with);
    EXPECT_EQ(with.right, without.right + 16 + 8);
    Pump();
    UpdateWindow(withIcon);
    HDC dc = GetDC(withIcon);
    EXPECT_EQ(GetPixel(dc, 8, 8), RGB(200, 0, 0));
    ReleaseDC(withIcon, dc);

    // A scaled icon takes the size asked for.
    withIcon.SetIconScaled(icon, 32, 32);
    withIcon.GetClientRect(&with);
    EXPECT_EQ(with.right, without.right + 32 + 8);

    // No icon empties the list: the title line is as without one.
    withIcon.SetIconScaled(nullptr, 32, 32);
    withIcon.GetClientRect(&with);
    EXPECT_EQ(with.right, without.right);
    withIcon.SetIcon(icon);
    withIcon.SetIcon(nullptr);
    withIcon.GetClientRect(&with);
    EXPECT_EQ(with.right, without.right);
    DestroyIcon(icon);
}

TEST_F(BalloonTest, ALaunchedBalloonShowsTheSystemIconAtTheSmallIconSize)
{
    auto launchedClientWidth = [&](UINT iconId) {
        CBalloonHelp::LaunchBalloon(L"Note", L"", { 400, 300 }, iconId, Options::unDISABLE_FADEIN | Options::unDISABLE_FADEOUT,
            nullptr, L"", 0);
        HWND balloon = LaunchedBalloon();
        RECT client {};
        GetClientRect(balloon, &client);
        return std::pair { balloon, client.right };
    };
    auto [plain, plainWidth] = launchedClientWidth(0);
    ASSERT_TRUE(plain);
    SendMessageW(plain, WM_CLOSE, 0, 0);
    ASSERT_FALSE(CBalloonHelp::IsLaunchedBalloonShown());

    const int side = std::max(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CXSIZE));
    auto [withIcon, iconWidth] = launchedClientWidth(32516);
    ASSERT_TRUE(withIcon);
    EXPECT_EQ(iconWidth, plainWidth + side + 8);
    Pump();
    UpdateWindow(withIcon);
    HDC dc = GetDC(withIcon);
    int painted = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            painted += GetPixel(dc, x, y) != GetSysColor(COLOR_INFOBK);
    ReleaseDC(withIcon, dc);
    EXPECT_GT(painted, side * side / 4);
}

} // namespace

namespace {

TEST_F(BalloonTest, AClickOnABalloonWithAnAddressOpensItAndCloses)
{
    std::vector<std::string> opened;
    auto previous = SetShellLauncher([&](const std::vector<std::string>& arguments) {
        opened = arguments;
        return true;
    });
    CBalloonHelp::LaunchBalloon(L"Link", L"Click to read more", { 400, 300 }, 0, 0, nullptr, L"https://example.org/help", 0);
    HWND balloon = LaunchedBalloon();
    ASSERT_TRUE(balloon);
    POINT inside { 4, 4 };
    ClientToScreen(balloon, &inside);
    headless->InjectMouseMove(inside);
    headless->InjectButton(1, true, inside);
    headless->InjectButton(1, false, inside);
    Pump();
    EXPECT_EQ(opened, (std::vector<std::string> { "xdg-open", "https://example.org/help" }));
    EXPECT_FALSE(IsWindow(balloon));
    SetShellLauncher(std::move(previous));
}

} // namespace
