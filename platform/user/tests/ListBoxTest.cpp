#include "PixelChecks.h"
#include "UserTestSupport.h"

#include <string>

namespace {

constexpr int kListId = 7;

class ListBox : public UserTest {
protected:
    const int row = SystemFontRowHeight();

    HWND MakeList(DWORD style, RECT r = { 10, 10, 150, 0 })
    {
        if (r.bottom == 0)
            r.bottom = r.top + row * 6;
        parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        list = CreateWindowExW(0, L"ListBox", L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), nullptr, nullptr);
        return list;
    }

    void Fill(std::initializer_list<const wchar_t*> texts)
    {
        for (const wchar_t* text : texts)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }

    // The notification codes the parent got from the list, in order.
    std::vector<WORD> Notifications() const
    {
        std::vector<WORD> codes;
        for (const auto& entry : MessageLog::Instance().entries) {
            if (entry.window == parent && entry.message == WM_COMMAND && reinterpret_cast<HWND>(entry.lParam) == list) {
                EXPECT_EQ(LOWORD(entry.wParam), kListId);
                codes.push_back(HIWORD(entry.wParam));
            }
        }
        return codes;
    }

    int Selection() const { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

    std::wstring TextOf(int index) const
    {
        wchar_t buffer[64] {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }

    POINT ItemPoint(int index) const
    {
        RECT item {};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return ScreenPoint(list, item.left + 5, (item.top + item.bottom) / 2);
    }

    HWND parent = nullptr;
    HWND list = nullptr;
};

LPARAM Text(const wchar_t* text)
{
    return reinterpret_cast<LPARAM>(text);
}

TEST_F(ListBox, MessagesAnswerAsDocumented)
{
    MakeList(LBS_NOTIFY | LBS_SORT);
    struct Step {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT expected;
    };
    const Step steps[] = {
        { "add sorted", LB_ADDSTRING, 0, Text(L"pear"), 0 },
        { "add sorted before", LB_ADDSTRING, 0, Text(L"Apple"), 0 },
        { "add sorted between", LB_ADDSTRING, 0, Text(L"banana"), 1 },
        { "insert at the end", LB_INSERTSTRING, static_cast<WPARAM>(-1), Text(L"cherry"), 3 },
        { "insert out of range", LB_INSERTSTRING, 9, Text(L"x"), LB_ERR },
        { "count", LB_GETCOUNT, 0, 0, 4 },
        { "no selection yet", LB_GETCURSEL, 0, 0, LB_ERR },
        { "text length", LB_GETTEXTLEN, 1, 0, 6 },
        { "text length out of range", LB_GETTEXTLEN, 4, 0, LB_ERR },
        { "find a prefix", LB_FINDSTRING, static_cast<WPARAM>(-1), Text(L"BAN"), 1 },
        { "find wraps", LB_FINDSTRING, 2, Text(L"a"), 0 },
        { "find exact needs the whole text", LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text(L"BAN"), LB_ERR },
        { "find exact", LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text(L"PEAR"), 2 },
        { "select a string", LB_SELECTSTRING, static_cast<WPARAM>(-1), Text(L"ch"), 3 },
        { "the selection", LB_GETCURSEL, 0, 0, 3 },
        { "select a missing string", LB_SELECTSTRING, static_cast<WPARAM>(-1), Text(L"kiwi"), LB_ERR },
        { "the selection stays", LB_GETCURSEL, 0, 0, 3 },
        { "set the selection", LB_SETCURSEL, 1, 0, 1 },
        { "item data", LB_SETITEMDATA, 2, 0x1234, LB_OKAY },
        { "item data back", LB_GETITEMDATA, 2, 0, 0x1234 },
        { "item data out of range", LB_GETITEMDATA, 7, 0, LB_ERR },
        { "delete before the selection", LB_DELETESTRING, 0, 0, 3 },
        { "the selection moves with its item", LB_GETCURSEL, 0, 0, 0 },
        { "delete out of range", LB_DELETESTRING, 3, 0, LB_ERR },
        { "set the selection out of range", LB_SETCURSEL, 5, 0, LB_ERR },
        { "which clears it", LB_GETCURSEL, 0, 0, LB_ERR },
        { "item height", LB_GETITEMHEIGHT, 0, 0, row },
        { "item height too big", LB_SETITEMHEIGHT, 0, 300, LB_ERR },
        { "item height changed", LB_SETITEMHEIGHT, 0, 20, LB_OKAY },
        { "item height read back", LB_GETITEMHEIGHT, 0, 0, 20 },
        { "horizontal extent", LB_SETHORIZONTALEXTENT, 400, 0, 0 },
        { "horizontal extent read back", LB_GETHORIZONTALEXTENT, 0, 0, 400 },
        { "top index out of range", LB_SETTOPINDEX, 9, 0, LB_ERR },
        { "reset", LB_RESETCONTENT, 0, 0, LB_OKAY },
        { "empty", LB_GETCOUNT, 0, 0, 0 },
    };
    for (const Step& step : steps)
        EXPECT_EQ(SendMessageW(list, step.message, step.wParam, step.lParam), step.expected) << step.what;
    // Messages never notify: only the user's own changes do.
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(ListBox, TextsComeBackWholeAndOwnerDrawnListsWithoutTextsKeepData)
{
    MakeList(0);
    Fill({ L"one\ttab", L"" });
    EXPECT_EQ(TextOf(0), L"one\ttab");
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 1, Text(nullptr)), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 2, Text(nullptr)), LB_ERR);
    DestroyWindow(parent);

    MakeList(LBS_OWNERDRAWFIXED | LBS_SORT);
    for (LPARAM data : { 30, 10, 20 })
        SendMessageW(list, LB_ADDSTRING, 0, data);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 30); // no texts to sort by
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(-1), 20), 2);
    ULONG_PTR data = 0;
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(&data)), static_cast<LRESULT>(sizeof data));
    EXPECT_EQ(data, 10u);
}

TEST_F(ListBox, ClicksSelectAndNotifyTheParentInOrder)
{
    MakeList(LBS_NOTIFY);
    Fill({ L"zero", L"one", L"two" });
    Click(ItemPoint(1));
    EXPECT_EQ(Selection(), 1);
    EXPECT_EQ(GetFocus(), list);
    headless->Advance(GetDoubleClickTime() + 1);
    Click(ItemPoint(1)); // the same item again: nothing changed, nothing to report
    headless->Advance(GetDoubleClickTime() + 1);
    Click(ItemPoint(2));
    headless->Advance(50);
    Click(ItemPoint(2)); // a double click
    EXPECT_EQ(Selection(), 2);
    EXPECT_EQ(Notifications(), (std::vector<WORD> { LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_DBLCLK }));

    // Without LBS_NOTIFY only the focus changes are reported.
    HWND quiet = CreateWindowExW(0, L"ListBox", L"", WS_CHILD | WS_VISIBLE, 200, 10, 100, 60, parent, reinterpret_cast<HMENU>(8), nullptr, nullptr);
    SendMessageW(quiet, LB_ADDSTRING, 0, Text(L"a"));
    MessageLog::Instance().entries.clear();
    Click(ScreenPoint(quiet, 5, 5));
    EXPECT_EQ(SendMessageW(quiet, LB_GETCURSEL, 0, 0), 0);
    std::vector<WORD> codes;
    for (const auto& entry : MessageLog::Instance().entries) {
        if (entry.message == WM_COMMAND && entry.window == parent)
            codes.push_back(HIWORD(entry.wParam));
    }
    EXPECT_EQ(codes, (std::vector<WORD> { LBN_KILLFOCUS, LBN_SETFOCUS }));
}

TEST_F(ListBox, KeysMoveTheSelectionAndScrollItIntoView)
{
    MakeList(LBS_NOTIFY | WS_VSCROLL, { 10, 10, 150, 10 + row * 4 + 2 }); // four rows; two pixels over
    RECT client {};
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom, row * 4) << "shrunk to whole rows";
    Fill({ L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9" });
    SetFocus(list);
    struct Case {
        unsigned key;
        int selection;
        int top;
    };
    const Case cases[] = {
        { VK_DOWN, 0, 0 }, // nothing selected: the caret item is taken first
        { VK_DOWN, 1, 0 },
        { VK_NEXT, 4, 1 },
        { VK_END, 9, 6 },
        { VK_DOWN, 9, 6 }, // already at the end: no change
        { VK_PRIOR, 6, 6 },
        { VK_UP, 5, 5 },
        { VK_HOME, 0, 0 },
        { VK_UP, 0, 0 },
    };
    for (const Case& c : cases) {
        Key(c.key);
        EXPECT_EQ(Selection(), c.selection) << c.key;
        EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), c.top) << c.key;
    }
    SCROLLINFO info { sizeof info, SIF_ALL };
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 9);
    EXPECT_EQ(info.nPage, 4u);
    // Seven changes were made by keys; the four that changed nothing sent nothing.
    std::vector<WORD> codes = Notifications();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LBN_SELCHANGE), 7);
}

TEST_F(ListBox, TypingFindsItemsByTheirFirstLetters)
{
    MakeList(LBS_NOTIFY | LBS_SORT);
    Fill({ L"apple", L"apricot", L"banana", L"blueberry", L"cherry" });
    SetFocus(list);
    struct Step {
        wchar_t typed;
        unsigned pause;
        int selection;
    };
    const Step steps[] = { { L'b', 0, 2 }, { L'l', 100, 3 }, { L'a', 5000, 0 }, { L'a', 5000, 1 }, { L'z', 5000, 1 } };
    for (const Step& step : steps) {
        headless->Advance(step.pause);
        Key('A' + (std::towupper(step.typed) - L'A'), std::wstring(1, step.typed));
        EXPECT_EQ(Selection(), step.selection) << static_cast<char>(step.typed);
    }
}

TEST_F(ListBox, TheParentCanTakeOverKeysWithWantKeyboardInput)
{
    MakeList(LBS_NOTIFY | LBS_WANTKEYBOARDINPUT);
    Fill({ L"a", L"b", L"c", L"d" });
    SetFocus(list);
    LRESULT answer = -2;
    MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (window == parent && message == WM_VKEYTOITEM) {
            EXPECT_EQ(reinterpret_cast<HWND>(lParam), list);
            EXPECT_EQ(LOWORD(wParam), VK_DOWN);
            return answer;
        }
        return std::nullopt;
    };
    struct Case {
        LRESULT answer;
        int selection;
    };
    for (Case c : { Case { -2, LB_ERR }, Case { 3, 3 }, Case { -1, 3 } }) {
        answer = c.answer;
        Key(VK_DOWN);
        EXPECT_EQ(Selection(), c.selection) << c.answer;
    }
    EXPECT_EQ(MessageLog::Instance().Count(parent, WM_VKEYTOITEM), 3);
}

TEST_F(ListBox, DraggingPastTheEndScrollsOnTheClock)
{
    MakeList(LBS_NOTIFY | WS_VSCROLL, { 10, 10, 150, 10 + row * 3 });
    Fill({ L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7" });
    POINT start = ItemPoint(0);
    headless->InjectMouseMove(start);
    headless->InjectButton(1, true, start);
    Pump();
    POINT below = ScreenPoint(list, 20, row * 3 + 10);
    headless->InjectMouseMove(below);
    Pump();
    EXPECT_EQ(Selection(), 3);
    for (int expected : { 4, 5, 6, 7, 7 }) {
        headless->Advance(100);
        Pump();
        EXPECT_EQ(Selection(), expected);
    }
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 5);
    headless->InjectButton(1, false, below);
    Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Notifications(), (std::vector<WORD> { LBN_SETFOCUS, LBN_SELCHANGE }));
}

TEST_F(ListBox, OwnerDrawnItemsAreMeasuredOnceAndDrawnByTheParent)
{
    std::vector<DRAWITEMSTRUCT> drawn;
    MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MEASUREITEM) {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            EXPECT_EQ(measure->CtlType, static_cast<UINT>(ODT_LISTBOX));
            EXPECT_EQ(measure->CtlID, static_cast<UINT>(kListId));
            measure->itemHeight = 18;
            return TRUE;
        }
        if (message == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return std::nullopt;
    };
    MakeList(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, { 10, 10, 150, 100 });
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 18);
    Fill({ L"a", L"b" });
    SendMessageW(list, LB_SETITEMDATA, 1, 77);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    SetFocus(list);
    drawn.clear();
    UpdateWindow(list);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].itemID, 1u);
    EXPECT_EQ(drawn[1].itemData, 77u);
    EXPECT_EQ(drawn[1].itemState, static_cast<UINT>(ODS_SELECTED | ODS_FOCUS));
    EXPECT_EQ(drawn[1].hwndItem, list);
    EXPECT_EQ(drawn[1].rcItem.top, 18);
    EXPECT_EQ(drawn[1].rcItem.bottom, 36);
    EXPECT_EQ(drawn[0].itemState, 0u);
    EXPECT_EQ(MessageLog::Instance().Count(parent, WM_MEASUREITEM), 1);
}

TEST_F(ListBox, SelectionColoursAndTheOwnersBrushShow)
{
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CTLCOLORLISTBOX)
            return reinterpret_cast<LRESULT>(yellow);
        return std::nullopt;
    };
    MakeList(LBS_NOINTEGRALHEIGHT);
    Fill({ L"first", L"second" });
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    UpdateWindow(list);
    EXPECT_EQ(PixelAt(list, 100, 5), RGB(255, 255, 0)) << "an unselected row shows the owner's brush";
    EXPECT_EQ(PixelAt(list, 100, row + 6), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(PixelAt(list, 100, row * 3), RGB(255, 255, 0)) << "below the items";
    // Some of the selected text is drawn in the highlight text colour.
    bool textShown = false;
    for (int x = 2; x < 40 && !textShown; ++x) {
        for (int y = row; y < 2 * row && !textShown; ++y)
            textShown = PixelAt(list, x, y) != GetSysColor(COLOR_HIGHLIGHT);
    }
    EXPECT_TRUE(textShown);
    DeleteObject(yellow);
}

TEST_F(ListBox, AFocusedListWithASelectionMatchesItsExpectedPicture)
{
    parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"MS Sans Serif");
    list = CreateWindowExW(0, L"ListBox", L"", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, 10, 10, 60, 45, parent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), nullptr, nullptr);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Fill({ L"Sine", L"Cosine", L"Tangent" });
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    SetFocus(list);
    UpdateWindow(list);
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(list, "listbox-selected.png"));
    DeleteObject(font);
}

TEST_F(ListBox, ASelectionChangeRepaintsOnlyTheRowsInvolved)
{
    MakeList(LBS_NOINTEGRALHEIGHT, { 10, 10, 150, 150 });
    Fill({ L"0", L"1", L"2", L"3", L"4", L"5" });
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    UpdateWindow(list);
    SendMessageW(list, LB_SETCURSEL, 3, 0);
    RECT update {};
    ASSERT_TRUE(GetUpdateRect(list, &update, FALSE));
    RECT client {};
    GetClientRect(list, &client);
    EXPECT_EQ(update.top, row);
    EXPECT_EQ(update.bottom, row * 4);
    EXPECT_EQ(update.right, client.right);
    UpdateWindow(list);
    SendMessageW(list, LB_SETCURSEL, 3, 0);
    EXPECT_FALSE(GetUpdateRect(list, &update, FALSE)) << "nothing changed, nothing to draw";
}

TEST_F(ListBox, TabStopsSpreadColumns)
{
    MakeList(LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT);
    Fill({ L"\tX" });
    int stop = 20; // dialog units
    SendMessageW(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    UpdateWindow(list);
    auto darkIn = [&](int from, int to) {
        for (int x = from; x < to; ++x) {
            for (int y = 0; y < row; ++y) {
                if (PixelAt(list, x, y) != GetSysColor(COLOR_WINDOW))
                    return true;
            }
        }
        return false;
    };
    int stopPixels = stop * LOWORD(GetDialogBaseUnits()) / 4;
    EXPECT_FALSE(darkIn(0, stopPixels));
    EXPECT_TRUE(darkIn(stopPixels, stopPixels + 12));
}

TEST_F(ListBox, AHorizontalExtentWiderThanTheListScrollsItSideways)
{
    MakeList(WS_HSCROLL | LBS_NOINTEGRALHEIGHT, { 10, 10, 110, 110 });
    Fill({ L"a long line" });
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL) << "nothing to scroll yet";
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 300, 0);
    ASSERT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL);
    RECT client {};
    GetClientRect(list, &client);
    SCROLLINFO info { sizeof info, SIF_ALL };
    GetScrollInfo(list, SB_HORZ, &info);
    EXPECT_EQ(info.nMax, 299);
    EXPECT_EQ(info.nPage, static_cast<UINT>(client.right));
    struct Case {
        WORD request;
        int offset;
    };
    const int page = client.right;
    for (Case c : { Case { SB_PAGERIGHT, page }, Case { SB_RIGHT, 300 - page }, Case { SB_PAGERIGHT, 300 - page }, Case { SB_LEFT, 0 } }) {
        SendMessageW(list, WM_HSCROLL, c.request, 0);
        RECT item {};
        SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(-item.left, c.offset) << c.request;
        EXPECT_EQ(GetScrollPos(list, SB_HORZ), c.offset) << c.request;
    }
}

// A thumb dragged down a list of 100,000 items leaves it on release where the drag showed it, past
// the 65,536 positions that a scroll request itself has room for.
TEST_F(ListBox, AThumbDraggedPastSixteenBitsStaysWhereItWasLetGo)
{
    MakeList(WS_VSCROLL | LBS_NOINTEGRALHEIGHT, { 10, 10, 150, 10 + row * 10 });
    for (int i = 0; i < 100000; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    Pump();
    RECT window {};
    GetWindowRect(list, &window);
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL), arrowHeight = GetSystemMetrics(SM_CYVSCROLL);
    const POINT thumb { window.right - barWidth / 2, window.top + arrowHeight + 2 };
    const POINT to { thumb.x, thumb.y + (window.bottom - window.top - 2 * arrowHeight) * 3 / 4 };
    auto top = [&] { return static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)); };
    int whileDragged = -1;
    DragThumb(thumb, to, [&] { whileDragged = top(); });
    EXPECT_GT(whileDragged, 65536);
    EXPECT_EQ(top(), whileDragged);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), whileDragged);
}

TEST_F(ListBox, ItsEdgeAndScrollBarShowOnceTheParentHasPainted)
{
    parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    list = CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 120, 4 + row * 4, parent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), nullptr, nullptr);
    Fill({ L"0", L"1", L"2", L"3", L"4", L"5" });
    UpdateWindow(parent);
    HDC dc = GetWindowDC(list);
    RECT window {};
    GetWindowRect(list, &window);
    int width = window.right - window.left;
    EXPECT_EQ(GetPixel(dc, 5, 0), GetSysColor(COLOR_BTNSHADOW)) << "the sunken edge";
    EXPECT_EQ(GetPixel(dc, width - 3, 5), GetSysColor(COLOR_3DDKSHADOW)) << "the up arrow's dark edge";
    ReleaseDC(list, dc);
}

} // namespace
