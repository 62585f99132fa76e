#include "ComctlTestSupport.h"

namespace {

class StatusBarTest : public CommonControlTest {
protected:
    HWND MakeBar(DWORD style = 0, LPCWSTR text = L"")
    {
        return Control(STATUSCLASSNAMEW, style, { 0, 0, 0, 0 }, 200, text);
    }

    static CRect PartRect(HWND bar, int index)
    {
        RECT r {};
        SendMessageW(bar, SB_GETRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    static std::wstring PartText(HWND bar, int index, LRESULT* answer = nullptr)
    {
        wchar_t buffer[128] {};
        LRESULT result = SendMessageW(bar, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(buffer));
        if (answer)
            *answer = result;
        return buffer;
    }

    // A 16 x 16 icon, all of one colour.
    static HICON SolidIcon(COLORREF color)
    {
        HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
        HBITMAP image = CreateBitmap(16, 16, 1, 32, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, mask);
        RECT all { 0, 0, 16, 16 };
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SelectObject(dc, image);
        FillSolidRect(dc, &all, color);
        SelectObject(dc, old);
        DeleteDC(dc);
        ICONINFO info { TRUE, 0, 0, mask, image };
        HICON icon = CreateIconIndirect(&info);
        DeleteObject(mask);
        DeleteObject(image);
        return icon;
    }
};

TEST_F(StatusBarTest, LiesAlongTheBottomOfItsParentAndFollowsItsSize)
{
    HWND bar = MakeBar();
    ASSERT_NE(bar, nullptr);
    RECT area = ClientRect(parent);
    CRect placed = RectInParent(bar);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.right, area.right);
    EXPECT_EQ(placed.bottom, area.bottom);
    int height = placed.Height();
    EXPECT_GE(height, 18);
    EXPECT_LE(height, 24);

    // The parent passes its WM_SIZE on; the minimum height counts from then on.
    SetWindowPos(parent, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(bar, SB_SETMINHEIGHT, 40, 0);
    EXPECT_EQ(RectInParent(bar).bottom - RectInParent(bar).top, height);
    SendMessageW(bar, WM_SIZE, 0, 0);
    area = ClientRect(parent);
    placed = RectInParent(bar);
    EXPECT_EQ(placed.right, area.right);
    EXPECT_EQ(placed.bottom, area.bottom);
    int borders[3] {};
    ASSERT_TRUE(SendMessageW(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders)));
    EXPECT_EQ(placed.Height(), 40 + 2 * borders[1]);

    // CCS_NORESIZE keeps the bar where it was made.
    HWND fixed = Control(STATUSCLASSNAMEW, CCS_NORESIZE, { 5, 6, 105, 36 });
    SendMessageW(fixed, WM_SIZE, 0, 0);
    EXPECT_EQ(CRect(RectInParent(fixed)), CRect(5, 6, 105, 36));
}

TEST_F(StatusBarTest, PartsAreLaidOutFromTheirRightEdges)
{
    for (DWORD style : { DWORD { 0 }, SBARS_SIZEGRIP }) {
        SCOPED_TRACE(style);
        HWND bar = MakeBar(style);
        int edges[] = { 100, 180, -1 };
        EXPECT_TRUE(SendMessageW(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
        int back[4] {};
        EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(back)), 3);
        EXPECT_EQ(back[1], 180);
        EXPECT_EQ(back[2], -1);
        EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 0, 0), 3);

        int borders[3] {};
        SendMessageW(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        RECT client = ClientRect(bar);
        int gripRoom = style ? GetSystemMetrics(SM_CXVSCROLL) + borders[2] : 0;
        std::vector<CRect> expected {
            { borders[0], borders[1], 100, client.bottom },
            { 100 + borders[2], borders[1], 180, client.bottom },
            { 180 + borders[2], borders[1], client.right - borders[0] - gripRoom, client.bottom },
        };
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(PartRect(bar, i), expected[i]) << i;
        RECT unused {};
        EXPECT_FALSE(SendMessageW(bar, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&unused)));
        EXPECT_FALSE(SendMessageW(bar, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(edges)));
        EXPECT_FALSE(SendMessageW(bar, SB_SETPARTS, 300, reinterpret_cast<LPARAM>(edges)));
        EXPECT_FALSE(SendMessageW(bar, SB_SETPARTS, 2, 0));
        EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 0, 0), 3);
        DestroyWindow(bar);
    }
}

TEST_F(StatusBarTest, TextsAndTheirDrawingTypesPerPart)
{
    HWND bar = MakeBar(0, L"Ready");
    int edges[] = { 100, 200, -1 };
    SendMessageW(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(PartText(bar, 0), L"Ready"); // the window text is the first part's
    struct Case {
        WPARAM which;
        const wchar_t* text;
        BOOL accepted;
        int index;
        UINT type;
    } cases[] = {
        { 1, L"NUM", TRUE, 1, 0 },
        { 2 | SBT_POPOUT, L"left\tcentre\tright", TRUE, 2, SBT_POPOUT },
        { 0 | SBT_NOBORDERS, L"", TRUE, 0, SBT_NOBORDERS },
        { 3, L"no such part", FALSE, 3, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(SendMessageW(bar, SB_SETTEXTW, c.which, reinterpret_cast<LPARAM>(c.text)), c.accepted);
        if (!c.accepted)
            continue;
        LRESULT answer = 0;
        EXPECT_EQ(PartText(bar, c.index, &answer), c.text);
        EXPECT_EQ(answer, MAKELONG(wcslen(c.text), c.type));
        EXPECT_EQ(SendMessageW(bar, SB_GETTEXTLENGTHW, c.index, 0), MAKELONG(wcslen(c.text), c.type));
    }
    EXPECT_EQ(SendMessageW(bar, SB_GETTEXTLENGTHW, 7, 0), 0);

    // WM_SETTEXT and WM_GETTEXT are the first part's.
    EXPECT_TRUE(SetWindowTextW(bar, L"Calculating"));
    EXPECT_EQ(PartText(bar, 0), L"Calculating");
    wchar_t shortBuffer[5] {};
    EXPECT_EQ(GetWindowTextW(bar, shortBuffer, 5), 4);
    EXPECT_STREQ(shortBuffer, L"Calc");
    EXPECT_EQ(GetWindowTextLengthW(bar), 11);
}

TEST_F(StatusBarTest, OwnerDrawnPartsAreDrawnByTheParent)
{
    HWND bar = MakeBar();
    int edges[] = { 100, -1 };
    SendMessageW(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    std::vector<DRAWITEMSTRUCT> drawn;
    MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_DRAWITEM)
            return std::nullopt;
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        drawn.push_back(*item);
        FillSolidRect(item->hDC, &item->rcItem, RGB(255, 0, 0));
        return TRUE;
    };
    SendMessageW(bar, SB_SETTEXTW, 1 | SBT_OWNERDRAW, 0x1234);
    EXPECT_EQ(SendMessageW(bar, SB_GETTEXTW, 1, 0), 0x1234);
    Pump();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].itemID, 1u);
    EXPECT_EQ(drawn[0].itemData, 0x1234u);
    EXPECT_EQ(drawn[0].CtlID, 200u);
    EXPECT_EQ(drawn[0].hwndItem, bar);
    CRect inside = PartRect(bar, 1);
    inside.DeflateRect(1, 1);
    EXPECT_EQ(CRect(drawn[0].rcItem), inside);
    EXPECT_EQ(PixelAt(bar, inside.left + 3, inside.top + 3), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(bar, inside.left - 1, inside.top + 3), GetSysColor(COLOR_BTNSHADOW)); // its border is the bar's
}

TEST_F(StatusBarTest, SimpleModeShowsOnePartAndKeepsTheOthers)
{
    HWND bar = MakeBar();
    int edges[] = { 60, -1 };
    SendMessageW(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"kept"));
    SendMessageW(bar, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(L"Menu help"));
    EXPECT_FALSE(SendMessageW(bar, SB_ISSIMPLE, 0, 0));
    SendMessageW(bar, SB_SIMPLE, TRUE, 0);
    EXPECT_TRUE(SendMessageW(bar, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(NotifyCodes(), (std::vector<UINT> { SBN_SIMPLEMODECHANGE }));
    SendMessageW(bar, SB_SIMPLE, TRUE, 0); // no change, no news
    EXPECT_EQ(NotifyCodes().size(), 1u);
    int borders[3] {};
    SendMessageW(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    EXPECT_EQ(PartRect(bar, 0).right, ClientRect(bar).right - borders[0]); // one part across the bar
    EXPECT_EQ(PartText(bar, SB_SIMPLEID), L"Menu help");
    Pump();
    HDC dc = GetDC(bar);
    CRect simple = PartRect(bar, 0);
    EXPECT_TRUE(HasInk(dc, { simple.left + 2, simple.top + 2, simple.left + 60, simple.bottom - 2 }));
    EXPECT_EQ(GetPixel(dc, 60, simple.top), GetSysColor(COLOR_BTNSHADOW)); // no gap between parts at 60
    ReleaseDC(bar, dc);
    SendMessageW(bar, SB_SIMPLE, FALSE, 0);
    EXPECT_EQ(PartText(bar, 1), L"kept");
    EXPECT_EQ(PartRect(bar, 0).right, 60);
}

TEST_F(StatusBarTest, TheGripSizesTheTopLevelWindowUnlessItIsMaximised)
{
    HWND bar = MakeBar(SBARS_SIZEGRIP);
    RECT client = ClientRect(bar);
    POINT corner = ScreenPoint(bar, client.right - 3, client.bottom - 3);
    POINT middle = ScreenPoint(bar, client.right / 2, client.bottom / 2);
    EXPECT_EQ(SendMessageW(bar, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
    EXPECT_EQ(SendMessageW(bar, WM_NCHITTEST, 0, MAKELPARAM(middle.x, middle.y)), HTCLIENT);

    // Dragging the grip runs the top-level window's sizing loop.
    RECT before;
    GetWindowRect(parent, &before);
    int moves = 0;
    SetModalLoopHook([&](HWND) {
        POINT to { corner.x + 30, corner.y + 20 };
        if (moves++ == 0)
            headless->InjectMouseMove(to);
        else
            headless->InjectButton(1, false, to);
    });
    headless->InjectMouseMove(corner);
    headless->InjectButton(1, true, corner);
    Pump();
    SetModalLoopHook({});
    RECT after;
    GetWindowRect(parent, &after);
    EXPECT_EQ(after.right - before.right, 30);
    EXPECT_EQ(after.bottom - before.bottom, 20);

    ShowWindow(parent, SW_MAXIMIZE);
    SendMessageW(bar, WM_SIZE, 0, 0);
    client = ClientRect(bar);
    corner = ScreenPoint(bar, client.right - 3, client.bottom - 3);
    EXPECT_EQ(SendMessageW(bar, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTCLIENT);
}

TEST_F(StatusBarTest, IconsSitBeforeTheText)
{
    HWND bar = MakeBar();
    int edges[] = { 120, -1 };
    SendMessageW(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    HICON icon = SolidIcon(RGB(0, 0, 255));
    EXPECT_TRUE(SendMessageW(bar, SB_SETICON, 1, reinterpret_cast<LPARAM>(icon)));
    EXPECT_FALSE(SendMessageW(bar, SB_SETICON, 5, reinterpret_cast<LPARAM>(icon)));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(bar, SB_GETICON, 1, 0)), icon);
    SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"Text"));
    Pump();
    CRect part = PartRect(bar, 1);
    EXPECT_EQ(PixelAt(bar, part.left + 3, part.CenterPoint().y), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(bar, part.left + 18, part.CenterPoint().y), RGB(0, 0, 255));
    HDC dc = GetDC(bar);
    EXPECT_TRUE(HasInk(dc, { part.left + 21, part.top + 2, part.left + 50, part.bottom - 2 }));
    ReleaseDC(bar, dc);
    DestroyWindow(bar);
    DestroyIcon(icon);
}

TEST_F(StatusBarTest, ANewTextRepaintsItsPartOnly)
{
    HWND bar = MakeBar();
    int edges[] = { 100, 200, -1 };
    SendMessageW(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    Pump();
    SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"CAP"));
    RECT update {};
    EXPECT_TRUE(GetUpdateRect(bar, &update, FALSE));
    EXPECT_EQ(CRect(update), PartRect(bar, 1));
}

TEST_F(StatusBarTest, TheClassicLook)
{
    SetWindowPos(parent, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    HWND bar = MakeBar(SBARS_SIZEGRIP);
    int edges[] = { 80, 150, 200, -1 };
    SendMessageW(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Ready"));
    SendMessageW(bar, SB_SETTEXTW, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>(L"Out"));
    SendMessageW(bar, SB_SETTEXTW, 2 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L"Flat"));
    std::vector<RECT> texts;
    for (int i = 0; i < 3; ++i) {
        CRect part = PartRect(bar, i);
        part.DeflateRect(1, 1); // inside the border
        texts.push_back(part);
    }
    EXPECT_TRUE(LooksLike(bar, "statusbar.png", texts));
}

} // namespace
