#include "PixelChecks.h"
#include "UserTestSupport.h"

#include "data/handles.h"
#include "platform/user/ResourceHandles.h"

namespace {

using pixel_checks::InkBounds;
using pixel_checks::IsDark;

class Statics : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        Pump();
    }

    HWND MakeStatic(DWORD style, const wchar_t* text, RECT r = { 10, 10, 110, 40 }, int id = 200, DWORD exStyle = 0)
    {
        HWND control = CreateWindowExW(exStyle, L"Static", text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
            r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return control;
    }

    std::vector<WORD> Notifications(HWND control) const
    {
        std::vector<WORD> codes;
        for (const auto& entry : MessageLog::Instance().entries) {
            if (entry.window == parent && entry.message == WM_COMMAND && reinterpret_cast<HWND>(entry.lParam) == control)
                codes.push_back(HIWORD(entry.wParam));
        }
        return codes;
    }

    static SIZE ClientSize(HWND control)
    {
        RECT client;
        GetClientRect(control, &client);
        return { client.right, client.bottom };
    }

    HWND parent = nullptr;
};

TEST_F(Statics, TextStylesPlaceAndWrapTheText)
{
    // The static is 100 x 30; one line of text is 13 pixels high.
    struct Case {
        const char* name;
        DWORD style;
        const wchar_t* text;
        std::function<bool(RECT)> holds;
    };
    const Case cases[] = {
        { "left", SS_LEFT, L"Hi", [](RECT ink) { return ink.left < 5 && ink.right < 30 && ink.bottom <= 13; } },
        { "centre", SS_CENTER, L"Hi", [](RECT ink) { return ink.left > 35 && ink.right < 65; } },
        { "right", SS_RIGHT, L"Hi", [](RECT ink) { return ink.left > 70 && ink.right >= 95; } },
        { "centred vertically", SS_CENTERIMAGE, L"Hi", [](RECT ink) { return ink.top >= 8 && ink.bottom <= 22; } },
        { "wrapped", SS_LEFT, L"one two three four five", [](RECT ink) { return ink.bottom > 13; } },
        { "not wrapped", SS_LEFTNOWORDWRAP, L"one two three four five", [](RECT ink) { return ink.bottom <= 13 && ink.right >= 99; } },
        { "simple", SS_SIMPLE, L"one two three four five", [](RECT ink) { return ink.bottom <= 13; } },
        { "tabs expanded", SS_LEFT, L"\tX", [](RECT ink) { return ink.left > 20; } },
    };
    for (const Case& c : cases) {
        HWND control = MakeStatic(c.style, c.text);
        Pump();
        RECT ink = InkBounds(control);
        EXPECT_FALSE(IsRectEmpty(&ink)) << c.name;
        EXPECT_TRUE(c.holds(ink)) << c.name << ": ink " << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
        DestroyWindow(control);
    }
}

TEST_F(Statics, TextThatDoesNotFitEndsInAnEllipsis)
{
    HWND clipped = MakeStatic(SS_LEFTNOWORDWRAP, L"one two three four five six", { 10, 10, 110, 30 });
    HWND shortened = MakeStatic(SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, L"one two three four five six", { 10, 40, 110, 60 });
    Pump();
    // The last inked column: a letter cut off at the edge, or the baseline dot of the ellipsis.
    auto lastColumnInk = [](HWND control, RECT ink) {
        int rows = 0;
        for (int y = ink.top; y < ink.bottom; ++y)
            rows += IsDark(PixelAt(control, ink.right - 1, y));
        return rows;
    };
    RECT clippedInk = InkBounds(clipped), shortenedInk = InkBounds(shortened);
    EXPECT_EQ(clippedInk.right, 100);
    EXPECT_GT(lastColumnInk(clipped, clippedInk), 2);
    EXPECT_LE(lastColumnInk(shortened, shortenedInk), 2);
}

TEST_F(Statics, AnAmpersandUnderlinesUnlessPrefixesAreOff)
{
    HWND prefixed = MakeStatic(SS_LEFT, L"&Name", { 10, 10, 110, 30 });
    HWND plain = MakeStatic(SS_LEFT | SS_NOPREFIX, L"&Name", { 10, 40, 110, 60 });
    HWND reference = MakeStatic(SS_LEFT, L"Name", { 10, 70, 110, 90 });
    Pump();
    RECT withPrefix = InkBounds(prefixed), withoutPrefix = InkBounds(plain), name = InkBounds(reference);
    EXPECT_EQ(withPrefix.right, name.right);           // the ampersand is not drawn...
    EXPECT_GT(withPrefix.bottom, name.bottom);         // ...but the N is underlined
    EXPECT_GT(withoutPrefix.right, name.right);        // SS_NOPREFIX shows the ampersand
    EXPECT_EQ(withoutPrefix.bottom, name.bottom);
}

TEST_F(Statics, FramesAndRectanglesUseTheClassicColours)
{
    const COLORREF untouched = GetSysColor(COLOR_WINDOW); // the parent's background
    struct Case {
        DWORD style;
        COLORREF corner, middle, farCorner;
    };
    const Case cases[] = {
        { SS_BLACKRECT, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME) },
        { SS_GRAYRECT, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW) },
        { SS_BLACKFRAME, GetSysColor(COLOR_WINDOWFRAME), untouched, GetSysColor(COLOR_WINDOWFRAME) },
        { SS_GRAYFRAME, GetSysColor(COLOR_3DSHADOW), untouched, GetSysColor(COLOR_3DSHADOW) },
        { SS_ETCHEDFRAME, GetSysColor(COLOR_3DSHADOW), untouched, GetSysColor(COLOR_3DHIGHLIGHT) },
        { SS_ETCHEDHORZ, GetSysColor(COLOR_3DSHADOW), untouched, untouched },
        { SS_ETCHEDVERT, GetSysColor(COLOR_3DSHADOW), untouched, untouched },
    };
    for (const Case& c : cases) {
        HWND control = MakeStatic(c.style, L"", { 10, 10, 50, 30 });
        Pump();
        EXPECT_EQ(PixelAt(control, 0, 0), c.corner) << std::hex << c.style;
        EXPECT_EQ(PixelAt(control, 20, 10), c.middle) << std::hex << c.style;
        EXPECT_EQ(PixelAt(control, 39, 19), c.farCorner) << std::hex << c.style;
        DestroyWindow(control);
        Pump();
    }
    // The second line of an etched line is the highlight.
    HWND line = MakeStatic(SS_ETCHEDHORZ, L"", { 10, 10, 50, 30 });
    Pump();
    EXPECT_EQ(PixelAt(line, 20, 1), GetSysColor(COLOR_3DHIGHLIGHT));
}

TEST_F(Statics, EdgesTakeTheirWidthFromTheClientArea)
{
    struct Case {
        const char* name;
        DWORD style, exStyle;
        SIZE client;
    };
    const Case cases[] = {
        { "plain", SS_LEFT, 0, { 100, 20 } },
        { "sunken", SS_LEFT | SS_SUNKEN, 0, { 98, 18 } },
        { "static edge", SS_LEFT, WS_EX_STATICEDGE, { 98, 18 } },
        { "client edge", SS_LEFT, WS_EX_CLIENTEDGE, { 96, 16 } },
    };
    for (const Case& c : cases) {
        HWND control = MakeStatic(c.style, L"Value", { 10, 10, 110, 30 }, 200, c.exStyle);
        SIZE client = ClientSize(control);
        EXPECT_EQ(client.cx, c.client.cx) << c.name;
        EXPECT_EQ(client.cy, c.client.cy) << c.name;
        if (c.style & SS_SUNKEN) { // a sunken static is one with a static edge
            EXPECT_TRUE(GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_STATICEDGE) << c.name;
        }
        DestroyWindow(control);
    }
}

TEST_F(Statics, NotifyStaticsReportClicksAndTheOthersLetThemThrough)
{
    HWND notifying = MakeStatic(SS_LEFT | SS_NOTIFY, L"Link", { 10, 10, 110, 30 });
    HWND quiet = MakeStatic(SS_LEFT, L"Label", { 10, 40, 110, 60 });
    POINT onNotifying = ScreenPoint(notifying, 5, 5);
    Click(onNotifying);
    Click(onNotifying);
    EXPECT_EQ(Notifications(notifying), (std::vector<WORD> { STN_CLICKED, STN_DBLCLK }));
    EnableWindow(notifying, FALSE);
    EnableWindow(notifying, TRUE);
    EXPECT_EQ(Notifications(notifying), (std::vector<WORD> { STN_CLICKED, STN_DBLCLK, STN_DISABLE, STN_ENABLE }));

    Click(ScreenPoint(quiet, 5, 5));
    EXPECT_TRUE(Notifications(quiet).empty());
    EXPECT_EQ(MessageLog::Instance().Count(parent, WM_LBUTTONDOWN), 1); // the click went to the parent
    EXPECT_EQ(SendMessageW(quiet, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST_F(Statics, IconsAreSwappedAndTheControlFitsThem)
{
    HICON first = LoadIconW(nullptr, IDI_INFORMATION), second = LoadIconW(nullptr, IDI_WARNING);
    HWND control = MakeStatic(SS_ICON, L"", { 10, 10, 20, 20 });
    EXPECT_EQ(SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(first), 0), 0);
    EXPECT_EQ(ClientSize(control).cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(ClientSize(control).cy, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(second)), reinterpret_cast<LRESULT>(first));
    EXPECT_EQ(SendMessageW(control, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(second));
    EXPECT_EQ(SendMessageW(control, STM_GETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(second));
    // A bitmap is not what an icon static shows.
    HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_GREYS));
    EXPECT_EQ(SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)), 0);
    EXPECT_EQ(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(SendMessageW(control, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(second));
    DeleteObject(bitmap);
}

TEST_F(Statics, ImagesNamedAtCreationComeFromTheModule)
{
    HWND icon = MakeStatic(SS_ICON, MAKEINTRESOURCEW(IDI_SQUARE), { 10, 10, 11, 11 });
    HWND bitmap = MakeStatic(SS_BITMAP, MAKEINTRESOURCEW(IDB_GREYS), { 60, 10, 61, 11 });
    HWND missing = MakeStatic(SS_BITMAP, MAKEINTRESOURCEW(999), { 110, 10, 120, 20 });
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(missing, nullptr); // a missing image leaves an empty static
    Pump();
    auto shown = reinterpret_cast<HBITMAP>(SendMessageW(bitmap, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(shown, nullptr);
    BITMAP info {};
    GetObjectW(shown, sizeof info, &info);
    EXPECT_EQ(ClientSize(bitmap).cx, info.bmWidth);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), RGB(255, 0, 0));
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
    EXPECT_GT(ClientSize(icon).cx, 1);
    EXPECT_EQ(SendMessageW(missing, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(ClientSize(missing).cx, 10);
}

TEST_F(Statics, ACentredBitmapKeepsTheSizeAndContinuesItsCornerColour)
{
    HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_GREYS));
    BITMAP info {};
    GetObjectW(bitmap, sizeof info, &info);
    HWND control = MakeStatic(SS_BITMAP | SS_CENTERIMAGE, L"", { 10, 10, 50, 40 });
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    Pump();
    EXPECT_EQ(ClientSize(control).cx, 40);
    EXPECT_EQ(PixelAt(control, 0, 0), RGB(255, 0, 0));  // the corner colour, continued
    EXPECT_EQ(PixelAt(control, 39, 29), RGB(255, 0, 0));
    int left = (40 - info.bmWidth) / 2, top = (30 - info.bmHeight) / 2;
    EXPECT_EQ(PixelAt(control, left, top + 1), RGB(0, 0, 255)); // the bitmap's own second row
    DestroyWindow(control);
    DeleteObject(bitmap);
}

TEST_F(Statics, TextTakesTheParentsColoursUnlessTransparent)
{
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (window != parent || message != WM_CTLCOLORSTATIC)
            return std::nullopt;
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
        return reinterpret_cast<LRESULT>(yellow);
    };
    HWND filled = MakeStatic(SS_LEFT, L"MMM", { 10, 10, 110, 30 });
    HWND transparent = MakeStatic(SS_LEFT, L"MMM", { 10, 40, 110, 60 }, 201, WS_EX_TRANSPARENT);
    Pump();
    EXPECT_EQ(PixelAt(filled, 90, 15), RGB(255, 255, 0));
    EXPECT_EQ(PixelAt(transparent, 90, 15), GetSysColor(COLOR_WINDOW));
    bool red = false;
    for (int x = 0; x < 30 && !red; ++x)
        for (int y = 0; y < 13 && !red; ++y)
            red = PixelAt(filled, x, y) == RGB(255, 0, 0);
    EXPECT_TRUE(red);
    MessageLog::Instance().answer = {};
    DestroyWindow(filled);
    DestroyWindow(transparent);
    DeleteObject(yellow);
}

TEST_F(Statics, DisabledTextIsEmbossed)
{
    HWND control = MakeStatic(SS_LEFT | WS_DISABLED, L"MMM", { 10, 10, 110, 30 });
    Pump();
    int shadow = 0, highlight = 0;
    for (int x = 0; x < 40; ++x) {
        for (int y = 0; y < 15; ++y) {
            COLORREF pixel = PixelAt(control, x, y);
            shadow += pixel == GetSysColor(COLOR_BTNSHADOW);
            highlight += pixel == GetSysColor(COLOR_BTNHIGHLIGHT);
        }
    }
    EXPECT_GT(shadow, 0);
    EXPECT_GT(highlight, 0);
}

TEST_F(Statics, OwnerDrawnStaticsAreDrawnByTheParent)
{
    std::vector<DRAWITEMSTRUCT> drawn;
    MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (window == parent && message == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return std::nullopt;
    };
    HWND control = MakeStatic(SS_OWNERDRAW | WS_DISABLED, L"", { 10, 10, 50, 30 }, 77);
    Pump();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].CtlType, ODT_STATIC);
    EXPECT_EQ(drawn[0].CtlID, 77u);
    EXPECT_EQ(drawn[0].itemState, ODS_DISABLED);
    EXPECT_EQ(drawn[0].hwndItem, control);
    MessageLog::Instance().answer = {};
}

TEST_F(Statics, NewTextRedrawsTheControlOrWhatIsBehindIt)
{
    HWND filled = MakeStatic(SS_LEFT, L"Old text", { 10, 10, 110, 30 });
    HWND transparent = MakeStatic(SS_LEFT, L"Old text", { 10, 40, 110, 60 }, 201, WS_EX_TRANSPARENT);
    Pump();
    SetWindowTextW(filled, L"New");
    RECT update {}, client { 0, 0, 100, 20 };
    ASSERT_TRUE(GetUpdateRect(filled, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &client));
    EXPECT_FALSE(GetUpdateRect(parent, &update, FALSE));

    SetWindowTextW(transparent, L"New");
    RECT behind { 10, 40, 110, 60 };
    ASSERT_TRUE(GetUpdateRect(parent, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &behind));
    Pump();
    // The old text's tail is gone.
    EXPECT_EQ(PixelAt(transparent, 40, 6), GetSysColor(COLOR_WINDOW));
}

} // namespace
