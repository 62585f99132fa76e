#include "ComctlTestSupport.h"

namespace {

class TabTest : public CommonControlTest {
protected:
    HWND MakeTabs(std::initializer_list<const wchar_t*> labels, RECT r = { 10, 10, 290, 110 }, DWORD style = 0)
    {
        HWND tabs = Control(WC_TABCONTROLW, style, r);
        for (const wchar_t* label : labels)
            Insert(tabs, Count(tabs), label);
        return tabs;
    }

    static LRESULT Insert(HWND tabs, int index, const wchar_t* label, int image = -1)
    {
        TCITEMW item {};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        item.pszText = const_cast<LPWSTR>(label);
        item.iImage = image;
        item.lParam = 1000 + index;
        return SendMessageW(tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    }

    static int Count(HWND tabs) { return static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)); }
    static int Selected(HWND tabs) { return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)); }

    static std::wstring Label(HWND tabs, int index)
    {
        wchar_t buffer[64] {};
        TCITEMW item {};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 64;
        return SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item)) ? buffer : L"<none>";
    }

    static CRect ItemRect(HWND tabs, int index)
    {
        RECT r {};
        SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    static POINT Centre(const RECT& r) { return { (r.left + r.right) / 2, (r.top + r.bottom) / 2 }; }

    static HWND Arrows(HWND tabs) { return GetWindow(tabs, GW_CHILD); }
};

TEST_F(TabTest, ItemsAreInsertedChangedAndDeletedAroundTheSelection)
{
    HWND tabs = MakeTabs({});
    EXPECT_EQ(Selected(tabs), -1);
    EXPECT_EQ(Insert(tabs, 0, L"Input, f(x)"), 0);
    EXPECT_EQ(Selected(tabs), 0); // the first tab comes selected
    EXPECT_EQ(Insert(tabs, 5, L"f(x)=0"), 1);   // past the end: appended
    EXPECT_EQ(Insert(tabs, 1, L"f'(x)"), 1);
    EXPECT_EQ(Insert(tabs, -1, L"bad"), -1);
    EXPECT_EQ(Count(tabs), 3);
    EXPECT_EQ(Label(tabs, 0) + L"|" + Label(tabs, 1) + L"|" + Label(tabs, 2), L"Input, f(x)|f'(x)|f(x)=0");

    // Text is cut to the caller's buffer; the other fields come back by mask.
    wchar_t small[5] {};
    TCITEMW item {};
    item.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
    item.pszText = small;
    item.cchTextMax = 5;
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(small, L"Inpu");
    EXPECT_EQ(item.lParam, 1000);
    EXPECT_EQ(item.iImage, -1);
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(L"Renamed");
    EXPECT_TRUE(SendMessageW(tabs, TCM_SETITEMW, 2, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(Label(tabs, 2), L"Renamed");
    EXPECT_FALSE(SendMessageW(tabs, TCM_SETITEMW, 3, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(Label(tabs, 3), L"<none>");

    struct Case {
        const char* what;
        std::function<void()> act;
        int count;
        int selected;
    } cases[] = {
        { "select the last", [&] { EXPECT_EQ(SendMessageW(tabs, TCM_SETCURSEL, 2, 0), 0); }, 3, 2 },
        { "insert before it", [&] { Insert(tabs, 0, L"new"); }, 4, 3 },
        { "delete before it", [&] { EXPECT_TRUE(SendMessageW(tabs, TCM_DELETEITEM, 1, 0)); }, 3, 2 },
        { "delete past the end", [&] { EXPECT_FALSE(SendMessageW(tabs, TCM_DELETEITEM, 3, 0)); }, 3, 2 },
        { "select out of range", [&] { EXPECT_EQ(SendMessageW(tabs, TCM_SETCURSEL, 3, 0), -1); }, 3, 2 },
        { "delete the selected", [&] { EXPECT_TRUE(SendMessageW(tabs, TCM_DELETEITEM, 2, 0)); }, 2, -1 },
        { "delete all", [&] { EXPECT_TRUE(SendMessageW(tabs, TCM_DELETEALLITEMS, 0, 0)); }, 0, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(Count(tabs), c.count);
        EXPECT_EQ(Selected(tabs), c.selected);
    }
    EXPECT_TRUE(NotifyCodes().empty()); // none of these is the user's choice
}

TEST_F(TabTest, AClickAsksTheParentThenTellsIt)
{
    HWND tabs = MakeTabs({ L"One", L"Two", L"Three" });
    Click(ScreenPoint(tabs, Centre(ItemRect(tabs, 2)).x, Centre(ItemRect(tabs, 2)).y));
    EXPECT_EQ(Selected(tabs), 2);
    EXPECT_EQ(GetFocus(), tabs);
    EXPECT_EQ(NotifyCodes(), (std::vector<UINT> { TCN_SELCHANGING, TCN_SELCHANGE }));
    // Clicking the selected tab changes nothing.
    ClearLog();
    Click(ScreenPoint(tabs, Centre(ItemRect(tabs, 2)).x, Centre(ItemRect(tabs, 2)).y));
    EXPECT_TRUE(NotifyCodes().empty());

    // A parent that answers TCN_SELCHANGING with TRUE keeps the selection.
    MessageLog::Instance().answer = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGING)
            return TRUE;
        return std::nullopt;
    };
    Click(ScreenPoint(tabs, Centre(ItemRect(tabs, 0)).x, Centre(ItemRect(tabs, 0)).y));
    EXPECT_EQ(Selected(tabs), 2);
    EXPECT_EQ(NotifyCodes(), (std::vector<UINT> { TCN_SELCHANGING }));
}

TEST_F(TabTest, ArrowKeysMoveTheSelectionWithinTheRow)
{
    HWND tabs = MakeTabs({ L"One", L"Two", L"Three" });
    SetFocus(tabs);
    struct Case {
        unsigned key;
        int selected;
        std::vector<UINT> codes;
    } cases[] = {
        { VK_RIGHT, 1, { TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE } },
        { VK_RIGHT, 2, { TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE } },
        { VK_RIGHT, 2, { TCN_KEYDOWN } },
        { VK_LEFT, 1, { TCN_KEYDOWN, TCN_SELCHANGING, TCN_SELCHANGE } },
        { VK_DOWN, 1, { TCN_KEYDOWN } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ClearLog();
        Key(c.key);
        EXPECT_EQ(Selected(tabs), c.selected);
        EXPECT_EQ(NotifyCodes(), c.codes);
    }
    EXPECT_EQ(SendMessageW(tabs, WM_GETDLGCODE, 0, 0) & 0x1, 1); // it keeps the arrow keys from the dialog
}

TEST_F(TabTest, ItemRectanglesHitTestingAndTheDisplayArea)
{
    HWND tabs = MakeTabs({ L"A", L"Longer label", L"C" });
    CRect first = ItemRect(tabs, 0), second = ItemRect(tabs, 1), third = ItemRect(tabs, 2);
    EXPECT_EQ(first.right, second.left);
    EXPECT_EQ(second.right, third.left);
    EXPECT_GT(second.Width(), first.Width());
    EXPECT_EQ(first.top, second.top);
    EXPECT_EQ(first.Height(), second.Height());
    EXPECT_FALSE(SendMessageW(tabs, TCM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&first)));

    struct Case {
        POINT point;
        int index;
        UINT flags;
    } cases[] = {
        { Centre(second), 1, TCHT_ONITEMLABEL },
        { { third.left, third.top }, 2, TCHT_ONITEMLABEL },
        { { third.right + 5, third.top + 2 }, -1, TCHT_NOWHERE },
        { { 50, 80 }, -1, TCHT_NOWHERE },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        TCHITTESTINFO info { c.point, 0 };
        EXPECT_EQ(SendMessageW(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), c.index);
        EXPECT_EQ(info.flags, c.flags);
    }

    // From the window to the display area and back; the area lies below the tabs, inside the pane.
    RECT window = RectInParent(tabs);
    RECT display = window;
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    EXPECT_GT(display.top, window.top + first.bottom);
    EXPECT_GT(display.left, window.left);
    EXPECT_LT(display.right, window.right);
    EXPECT_LT(display.bottom, window.bottom);
    SendMessageW(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&display));
    EXPECT_EQ(CRect(display), CRect(window));
}

TEST_F(TabTest, SizesPaddingAndMinimumWidthShapeTheTabs)
{
    struct Case {
        const char* what;
        DWORD style;
        UINT message;
        LPARAM value;
        std::function<void(const CRect& before, const CRect& after)> check;
    } cases[] = {
        { "fixed width and height", TCS_FIXEDWIDTH, TCM_SETITEMSIZE, MAKELPARAM(90, 30),
            [](const CRect&, const CRect& after) { EXPECT_EQ(after.Size(), CSize(90, 30)); } },
        { "height only, without fixed width", 0, TCM_SETITEMSIZE, MAKELPARAM(90, 30),
            [](const CRect& before, const CRect& after) { EXPECT_EQ(after.Size(), CSize(before.Width(), 30)); } },
        { "padding", 0, TCM_SETPADDING, MAKELPARAM(10, 5),
            [](const CRect& before, const CRect& after) { EXPECT_EQ(after.Size(), before.Size() + CSize(8, 4)); } },
        { "minimum width", 0, TCM_SETMINTABWIDTH, 80,
            [](const CRect&, const CRect& after) { EXPECT_EQ(after.Width(), 80); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND tabs = MakeTabs({ L"x", L"y" }, { 10, 10, 290, 110 }, c.style);
        CRect before = ItemRect(tabs, 0);
        LRESULT answer = SendMessageW(tabs, c.message, 0, c.value);
        if (c.message == TCM_SETITEMSIZE) {
            EXPECT_EQ(answer, MAKELONG(before.Width(), before.Height()));
        }
        CRect after = ItemRect(tabs, 0);
        c.check(before, after);
        EXPECT_EQ(ItemRect(tabs, 1).left, after.right);
        RECT display = RectInParent(tabs);
        SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        EXPECT_GT(display.top - RectInParent(tabs).top, after.bottom); // the pane follows the row's height
        DestroyWindow(tabs);
    }
}

TEST_F(TabTest, ImagesWidenTheirTabsAndAreHitApart)
{
    HWND tabs = MakeTabs({});
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
    HBITMAP picture = CreateBitmap(16, 16, 1, 32, nullptr);
    ImageList_Add(images, picture, nullptr);
    DeleteObject(picture);
    EXPECT_EQ(SendMessageW(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)), 0);
    Insert(tabs, 0, L"Same");
    Insert(tabs, 1, L"Same", 0);
    CRect plain = ItemRect(tabs, 0), withImage = ItemRect(tabs, 1);
    EXPECT_GT(withImage.Width(), plain.Width() + 16);
    EXPECT_GE(withImage.Height(), 16);
    TCHITTESTINFO onIcon { { withImage.left + 8, withImage.top + withImage.Height() / 2 }, 0 };
    EXPECT_EQ(SendMessageW(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&onIcon)), 1);
    EXPECT_EQ(onIcon.flags, TCHT_ONITEMICON);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(tabs, TCM_GETIMAGELIST, 0, 0)), images);
    DestroyWindow(tabs);
    ImageList_Destroy(images);
}

TEST_F(TabTest, ArrowsScrollARowThatDoesNotFit)
{
    HWND tabs = MakeTabs({ L"First page", L"Second page", L"Third page", L"Fourth page", L"Fifth page" }, { 10, 10, 160, 110 });
    HWND arrows = Arrows(tabs);
    ASSERT_NE(arrows, nullptr);
    wchar_t className[32] {};
    GetClassNameW(arrows, className, 32);
    EXPECT_STREQ(className, UPDOWN_CLASSW);
    RECT arrowsRect = RectInParent(arrows);
    EXPECT_EQ(arrowsRect.right, ClientRect(tabs).right);

    // The right arrow brings the next tab to the front of the row.
    int before = ItemRect(tabs, 1).left;
    Click(ScreenPoint(arrows, ClientRect(arrows).right - 4, 4));
    EXPECT_EQ(ItemRect(tabs, 1).left, ItemRect(tabs, 0).left + ItemRect(tabs, 0).Width());
    EXPECT_EQ(ItemRect(tabs, 1).left, 2);
    EXPECT_LT(ItemRect(tabs, 1).left, before);
    // Hidden tabs are not hit; keys scroll the selection into view.
    TCHITTESTINFO left { { 1, 10 }, 0 };
    EXPECT_EQ(SendMessageW(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&left)), -1);
    SetFocus(tabs);
    for (int i = 0; i < 4; ++i)
        Key(VK_RIGHT);
    EXPECT_EQ(Selected(tabs), 4);
    EXPECT_LE(ItemRect(tabs, 4).right, arrowsRect.left);
    EXPECT_GE(ItemRect(tabs, 4).left, 2);
    Key(VK_HOME);
    for (int i = 0; i < 4; ++i)
        Key(VK_LEFT);
    EXPECT_EQ(ItemRect(tabs, 0).left, 2);

    // Once everything fits the arrows go.
    SetWindowPos(tabs, nullptr, 0, 0, 600, 100, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Arrows(tabs), nullptr);
    EXPECT_EQ(ItemRect(tabs, 0).left, 2);
}

// A dialog template may make a tab control narrower than its row's margins, with or without tabs:
// it lays out, takes tabs and paints without arrows for an empty row and without reading past it.
TEST_F(TabTest, ATabControlNarrowerThanItsMarginsLaysOut)
{
    for (RECT r : { RECT { 10, 10, 11, 40 }, RECT { 10, 10, 10, 10 } }) {
        HWND tabs = MakeTabs({}, r);
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(Arrows(tabs), nullptr);
        Insert(tabs, 0, L"One");
        Insert(tabs, 1, L"Two");
        EXPECT_EQ(Count(tabs), 2);
        TCHITTESTINFO inside { { 0, 5 }, 0 };
        SendMessageW(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&inside));
        UpdateWindow(parent);
        DestroyWindow(tabs);
    }
}

TEST_F(TabTest, ASelectionChangeRepaintsTheRowOnly)
{
    HWND tabs = MakeTabs({ L"One", L"Two" });
    Pump();
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    RECT update {};
    EXPECT_TRUE(GetUpdateRect(tabs, &update, FALSE));
    EXPECT_EQ(update.top, 0);
    EXPECT_LE(update.bottom, ItemRect(tabs, 0).bottom + 1);
}

TEST_F(TabTest, TheClassicLook)
{
    HWND tabs = MakeTabs({ L"Input", L"Output", L"Roots" }, { 10, 10, 170, 70 });
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    std::vector<RECT> labels;
    for (int i = 0; i < 3; ++i) {
        RECT label = ItemRect(tabs, i);
        InflateRect(&label, -4, -3);
        OffsetRect(&label, 0, -1);
        labels.push_back(label);
    }
    EXPECT_TRUE(LooksLike(tabs, "tabs.png", labels));
    SetFocus(tabs);
    EXPECT_TRUE(LooksLike(tabs, "tabs_focused.png", labels));
    // A row too long for the control, scrolled by one tab, with its arrows.
    HWND scrolled = MakeTabs({ L"First page", L"Second page", L"Third page" }, { 10, 80, 170, 130 });
    SendMessageW(Arrows(scrolled), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ClientRect(Arrows(scrolled)).right - 4, 4));
    SendMessageW(Arrows(scrolled), WM_LBUTTONUP, 0, 0);
    RECT whole = ItemRect(scrolled, 1), cut = ItemRect(scrolled, 2);
    InflateRect(&whole, -4, -3);
    InflateRect(&cut, -4, -3);
    cut.right = std::min<LONG>(cut.right, RectInParent(Arrows(scrolled)).left); // the rest is behind the arrows
    EXPECT_TRUE(LooksLike(scrolled, "tabs_scrolled.png", { whole, cut }));
}

} // namespace
