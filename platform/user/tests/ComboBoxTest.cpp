#include "PixelChecks.h"
#include "UserTestSupport.h"

#include <string>

namespace {

constexpr int kComboId = 9;

LPARAM Text(const wchar_t* text)
{
    return reinterpret_cast<LPARAM>(text);
}

class ComboBox : public UserTest {
protected:
    const int row = SystemFontRowHeight();

    HWND MakeCombo(DWORD style, std::initializer_list<const wchar_t*> items = { L"zero", L"one", L"two", L"three" })
    {
        parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 500, 400 });
        combo = CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 20, 20, 150, 200, parent,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kComboId)), nullptr, nullptr);
        other = CreateWindowExW(0, L"ListBox", L"", WS_CHILD | WS_VISIBLE, 250, 20, 100, 100, parent, reinterpret_cast<HMENU>(3), nullptr, nullptr);
        for (const wchar_t* item : items)
            SendMessageW(combo, CB_ADDSTRING, 0, Text(item));
        UpdateWindow(parent);
        MessageLog::Instance().entries.clear();
        return combo;
    }

    // The CBN_ codes the parent got, in order, since the last call.
    std::vector<WORD> Taken()
    {
        std::vector<WORD> codes;
        for (const auto& entry : MessageLog::Instance().entries) {
            if (entry.window == parent && entry.message == WM_COMMAND && reinterpret_cast<HWND>(entry.lParam) == combo) {
                EXPECT_EQ(LOWORD(entry.wParam), kComboId);
                codes.push_back(HIWORD(entry.wParam));
            }
        }
        MessageLog::Instance().entries.clear();
        return codes;
    }

    int Selection() const { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
    bool Dropped() const { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }

    HWND OpenList() const
    {
        return FindWindowW(L"ComboLBox", nullptr);
    }

    // The screen point in the middle of an item of the open list.
    POINT ItemPoint(int index) const
    {
        HWND list = OpenList();
        RECT item {};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return ScreenPoint(list, 20, (item.top + item.bottom) / 2);
    }

    void Later() { headless->Advance(GetDoubleClickTime() + 1); }

    HWND parent = nullptr;
    HWND combo = nullptr;
    HWND other = nullptr;
};

TEST_F(ComboBox, ListMessagesReachTheListAndTheFieldShowsTheSelection)
{
    MakeCombo(CBS_DROPDOWNLIST | CBS_SORT, {});
    struct Step {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT expected;
    };
    const Step steps[] = {
        { "add sorted", CB_ADDSTRING, 0, Text(L"pear"), 0 },
        { "add sorted before", CB_ADDSTRING, 0, Text(L"apple"), 0 },
        { "insert", CB_INSERTSTRING, 1, Text(L"kiwi"), 1 },
        { "count", CB_GETCOUNT, 0, 0, 3 },
        { "no selection", CB_GETCURSEL, 0, 0, CB_ERR },
        { "no text without a selection", WM_GETTEXTLENGTH, 0, 0, 0 },
        { "find", CB_FINDSTRING, static_cast<WPARAM>(-1), Text(L"PE"), 2 },
        { "find exact", CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text(L"pe"), CB_ERR },
        { "select a string", CB_SELECTSTRING, static_cast<WPARAM>(-1), Text(L"ki"), 1 },
        { "the field's text", WM_GETTEXTLENGTH, 0, 0, 4 },
        { "item text length", CB_GETLBTEXTLEN, 2, 0, 4 },
        { "item text out of range", CB_GETLBTEXTLEN, 3, 0, CB_ERR },
        { "set the selection", CB_SETCURSEL, 2, 0, 2 },
        { "set it out of range", CB_SETCURSEL, 7, 0, CB_ERR },
        { "which clears it", CB_GETCURSEL, 0, 0, CB_ERR },
        { "set a text that is no item", WM_SETTEXT, 0, Text(L"plum"), CB_ERR },
        { "set an item's text", WM_SETTEXT, 0, Text(L"PEAR"), TRUE },
        { "which selects it", CB_GETCURSEL, 0, 0, 2 },
        { "item data", CB_SETITEMDATA, 0, 42, CB_OKAY },
        { "item data back", CB_GETITEMDATA, 0, 0, 42 },
        { "no edit to select in", CB_GETEDITSEL, 0, 0, CB_ERR },
        { "no edit to limit", CB_LIMITTEXT, 5, 0, CB_ERR },
        { "closed", CB_GETDROPPEDSTATE, 0, 0, FALSE },
        { "the field's item height", CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0, row + 2 },
        { "the list's item height", CB_GETITEMHEIGHT, 0, 0, row },
        { "a dropped width narrower than the box", CB_SETDROPPEDWIDTH, 20, 0, 150 },
        { "delete", CB_DELETESTRING, 0, 0, 2 },
        { "reset", CB_RESETCONTENT, 0, 0, CB_OKAY },
        { "empty", CB_GETCOUNT, 0, 0, 0 },
    };
    for (const Step& step : steps)
        EXPECT_EQ(SendMessageW(combo, step.message, step.wParam, step.lParam), step.expected) << step.what;
    EXPECT_TRUE(Taken().empty()) << "messages are not the user's doing";
    // The box is as high as its field; the rest of the height it was made with is the list's.
    RECT box {};
    GetWindowRect(combo, &box);
    EXPECT_EQ(box.bottom - box.top, row + 2 + 6);
    RECT dropped {};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.top, box.top);
}

TEST_F(ComboBox, TheOpenListClosesByTheRulesAndNotifiesInOrder)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        std::vector<WORD> expected;
        int selection;
    };
    const Case cases[] = {
        { "a click on an item", [this] { Click(ItemPoint(2)); }, { CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP }, 2 },
        { "a click on the selected item", [this] { Click(ItemPoint(1)); }, { CBN_SELENDOK, CBN_CLOSEUP }, 1 },
        { "a click outside after pointing at an item", [this] {
             headless->InjectMouseMove(ItemPoint(3));
             Click(ScreenPoint(parent, 300, 250));
         }, { CBN_SELENDCANCEL, CBN_CLOSEUP }, 1 },
        { "a click on the box itself", [this] { Click(ScreenPoint(combo, 10, 5)); }, { CBN_SELENDCANCEL, CBN_CLOSEUP }, 1 },
        { "Esc", [this] { Key(VK_ESCAPE); }, { CBN_SELENDCANCEL, CBN_CLOSEUP }, 1 },
        { "Enter", [this] { Key(VK_RETURN); }, { CBN_SELENDOK, CBN_CLOSEUP }, 1 },
        { "F4", [this] { Key(VK_F4); }, { CBN_SELENDOK, CBN_CLOSEUP }, 1 },
        { "Down, then Enter", [this] { Key(VK_DOWN); Key(VK_RETURN); }, { CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP }, 2 },
        { "the focus going elsewhere", [this] { SetFocus(other); Pump(); }, { CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS }, 1 },
        { "another window taking the mouse", [this] { SetCapture(other); Pump(); }, { CBN_SELENDCANCEL, CBN_CLOSEUP }, 1 },
    };
    for (const Case& c : cases) {
        MakeCombo(CBS_DROPDOWNLIST);
        SendMessageW(combo, CB_SETCURSEL, 1, 0);
        SetFocus(combo);
        Taken();
        Click(ScreenPoint(combo, 10, 5)); // opens, and its release keeps the list open
        ASSERT_TRUE(Dropped()) << c.what;
        ASSERT_NE(OpenList(), nullptr);
        EXPECT_TRUE(IsWindowVisible(OpenList()));
        EXPECT_EQ(Taken(), std::vector<WORD> { CBN_DROPDOWN }) << c.what;
        Later();
        c.act();
        EXPECT_FALSE(Dropped()) << c.what;
        EXPECT_FALSE(IsWindowVisible(OpenList())) << c.what;
        EXPECT_EQ(Taken(), c.expected) << c.what;
        EXPECT_EQ(Selection(), c.selection) << c.what;
        EXPECT_NE(GetCapture(), OpenList()) << c.what;
        ReleaseCapture();
        DestroyWindow(parent);
        Later();
    }
}

TEST_F(ComboBox, TheOpenListScrollsWithItsOwnScrollBarAndStaysOpen)
{
    MakeCombo(CBS_DROPDOWNLIST, { L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"11", L"12", L"13", L"14", L"15", L"16", L"17", L"18", L"19" });
    SetFocus(combo);
    Key(VK_F4);
    HWND list = OpenList();
    ASSERT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) << "twenty items do not fit";
    RECT window {};
    GetWindowRect(list, &window);
    Taken();
    Click({ window.right - 5, window.bottom - 5 }); // the down arrow
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1);
    EXPECT_TRUE(Dropped());
    EXPECT_EQ(GetCapture(), list) << "the list has the mouse again";
    EXPECT_TRUE(Taken().empty());
    Later();
    Click(ScreenPoint(parent, 300, 250));
    EXPECT_FALSE(Dropped());
}

TEST_F(ComboBox, ABoxDestroyedWhileOpenTakesItsListAlong)
{
    MakeCombo(CBS_DROPDOWNLIST);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = OpenList();
    ASSERT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(GetCapture(), list);
    DestroyWindow(combo);
    Pump();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Taken(), std::vector<WORD> { CBN_DROPDOWN }) << "nothing is reported for a box that is going";
}

TEST_F(ComboBox, PressingTheBoxAndReleasingOverAnItemChoosesIt)
{
    MakeCombo(CBS_DROPDOWNLIST);
    POINT box = ScreenPoint(combo, 10, 5);
    headless->InjectMouseMove(box);
    headless->InjectButton(1, true, box);
    Pump();
    ASSERT_TRUE(Dropped());
    POINT item = ItemPoint(3);
    headless->InjectMouseMove(item);
    headless->InjectButton(1, false, item);
    Pump();
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(Selection(), 3);
    EXPECT_EQ(Taken(), (std::vector<WORD> { CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP }));
    wchar_t text[16] {};
    GetWindowTextW(combo, text, 16);
    EXPECT_STREQ(text, L"three");
}

TEST_F(ComboBox, AClosedListBoxChangesItsSelectionByKeysAndTyping)
{
    MakeCombo(CBS_DROPDOWNLIST, { L"apple", L"banana", L"blueberry", L"cherry" });
    SetFocus(combo);
    Taken();
    struct Step {
        unsigned key;
        std::wstring typed;
        int selection;
        bool notified;
    };
    const Step steps[] = {
        { VK_DOWN, L"", 0, true },
        { VK_DOWN, L"", 1, true },
        { VK_END, L"", 3, true },
        { VK_DOWN, L"", 3, false },
        { 'B', L"b", 1, true },
        { 'L', L"l", 2, true },
        { VK_HOME, L"", 0, true },
    };
    for (const Step& step : steps) {
        Key(step.key, step.typed);
        EXPECT_EQ(Selection(), step.selection) << step.key;
        EXPECT_EQ(Taken(), step.notified ? std::vector<WORD> { CBN_SELCHANGE } : std::vector<WORD> {}) << step.key;
        EXPECT_FALSE(Dropped());
    }
    // The wheel steps too: a notch down, a notch up.
    for (auto [delta, selection] : { std::pair { -WHEEL_DELTA, 1 }, std::pair { WHEEL_DELTA, 0 } }) {
        SendMessageW(combo, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
        EXPECT_EQ(Selection(), selection) << delta;
        EXPECT_EQ(Taken(), std::vector<WORD> { CBN_SELCHANGE }) << delta;
    }
}

TEST_F(ComboBox, TheButtonAndTheFocusedFieldAreDrawnInTheClassicLook)
{
    MakeCombo(CBS_DROPDOWNLIST);
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    UpdateWindow(combo);
    RECT client {};
    GetClientRect(combo, &client);
    int buttonLeft = client.right - 2 - GetSystemMetrics(SM_CXVSCROLL);
    struct Probe {
        const char* what;
        int x, y;
        int colour;
    };
    const Probe probes[] = {
        { "outer sunken edge, top", 5, 0, COLOR_BTNSHADOW },
        { "inner sunken edge, top", 5, 1, COLOR_3DDKSHADOW },
        { "outer sunken edge, bottom", 5, client.bottom - 1, COLOR_BTNHIGHLIGHT },
        { "button, light outer edge", buttonLeft, 2, COLOR_3DLIGHT },
        { "button, highlight inner edge", buttonLeft + 1, 3, COLOR_BTNHIGHLIGHT },
        { "button, dark outer edge", client.right - 3, client.bottom - 3, COLOR_3DDKSHADOW },
        { "button face", buttonLeft + 3, 4, COLOR_BTNFACE },
        { "field, unfocused", buttonLeft - 3, client.bottom / 2, COLOR_WINDOW },
    };
    for (const Probe& p : probes)
        EXPECT_EQ(PixelAt(combo, p.x, p.y), GetSysColor(p.colour)) << p.what;
    // The arrow is drawn in the button text colour, in the middle of the button.
    int dark = 0;
    for (int x = buttonLeft + 2; x < client.right - 4; ++x) {
        for (int y = 4; y < client.bottom - 4; ++y)
            dark += PixelAt(combo, x, y) == GetSysColor(COLOR_BTNTEXT);
    }
    EXPECT_GT(dark, 6);

    SetFocus(combo);
    UpdateWindow(combo);
    EXPECT_EQ(PixelAt(combo, buttonLeft - 3, client.bottom / 2), GetSysColor(COLOR_HIGHLIGHT)) << "focused, the field is highlighted";

    // Held down, the button is drawn flat and pressed.
    POINT button = ScreenPoint(combo, buttonLeft + 5, 8);
    headless->InjectMouseMove(button);
    headless->InjectButton(1, true, button);
    Pump();
    UpdateWindow(combo);
    EXPECT_EQ(PixelAt(combo, buttonLeft, 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelAt(combo, buttonLeft + 1, 3), GetSysColor(COLOR_BTNFACE));
    headless->InjectButton(1, false, button);
    Pump();
    UpdateWindow(combo);
    EXPECT_EQ(PixelAt(combo, buttonLeft, 2), GetSysColor(COLOR_3DLIGHT)) << "released, it is raised again";

    // The open list shows the selection in the highlight colour.
    HWND list = OpenList();
    ASSERT_TRUE(Dropped());
    UpdateWindow(list);
    RECT item {};
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(PixelAt(list, item.right - 3, (item.top + item.bottom) / 2), GetSysColor(COLOR_HIGHLIGHT));
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(PixelAt(list, item.right - 3, (item.top + item.bottom) / 2), GetSysColor(COLOR_WINDOW));
    RECT listWindow {}, box {};
    GetWindowRect(list, &listWindow);
    GetWindowRect(combo, &box);
    EXPECT_EQ(listWindow.top, box.bottom) << "it opens just below the box";
    EXPECT_EQ(listWindow.left, box.left);
}

TEST_F(ComboBox, TheBoxMatchesItsExpectedPictures)
{
    parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"MS Sans Serif");
    struct Case {
        const char* file;
        DWORD style;
        bool focused;
        bool pressed;
        bool enabled;
    };
    const Case cases[] = {
        { "combo-normal.png", CBS_DROPDOWNLIST, false, false, true },
        { "combo-focused.png", CBS_DROPDOWNLIST, true, false, true },
        { "combo-pressed.png", CBS_DROPDOWNLIST, true, true, true },
        { "combo-disabled.png", CBS_DROPDOWNLIST, false, false, false },
        { "combo-edit-focused.png", CBS_DROPDOWN, true, false, true },
    };
    for (const Case& c : cases) {
        combo = CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | c.style, 10, 10, 100, 100, parent, reinterpret_cast<HMENU>(9), nullptr, nullptr);
        SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(combo, CB_ADDSTRING, 0, Text(L"Radians"));
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        EnableWindow(combo, c.enabled);
        if (c.focused)
            SetFocus(combo);
        if (c.pressed) {
            POINT button = ScreenPoint(combo, 90, 8);
            headless->InjectMouseMove(button);
            headless->InjectButton(1, true, button);
        }
        Pump();
        UpdateWindow(combo);
        if (HWND edit = GetDlgItem(combo, 1001))
            UpdateWindow(edit);
        EXPECT_TRUE(pixel_checks::MatchesExpectedImage(combo, c.file)) << c.file;
        if (c.pressed)
            headless->InjectButton(1, false, ScreenPoint(combo, 90, 8));
        Pump();
        DestroyWindow(combo);
    }
    DeleteObject(font);
}

TEST_F(ComboBox, ANewSelectionRepaintsOnlyTheField)
{
    MakeCombo(CBS_DROPDOWNLIST);
    UpdateWindow(combo);
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    RECT update {}, client {};
    ASSERT_TRUE(GetUpdateRect(combo, &update, FALSE));
    GetClientRect(combo, &client);
    EXPECT_EQ(update.left, 3);
    EXPECT_EQ(update.top, 3);
    EXPECT_EQ(update.bottom, client.bottom - 3);
    EXPECT_EQ(update.right, client.right - 2 - GetSystemMetrics(SM_CXVSCROLL) - 1);
}

TEST_F(ComboBox, OwnerDrawnBoxesMeasureTheFieldAndTheItemsAndDrawTheFieldAsAnEdit)
{
    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
    MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MEASUREITEM) {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measure->itemHeight = measure->itemID == static_cast<UINT>(-1) ? 20 : 17;
            measured.push_back(*measure);
            return TRUE;
        }
        if (message == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return std::nullopt;
    };
    MakeCombo(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS);
    ASSERT_EQ(measured.size(), 2u);
    for (const auto& m : measured) {
        EXPECT_EQ(m.CtlType, static_cast<UINT>(ODT_COMBOBOX));
        EXPECT_EQ(m.CtlID, static_cast<UINT>(kComboId));
    }
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 20);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0), 17);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SetFocus(combo);
    drawn.clear();
    UpdateWindow(combo);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].itemID, 1u);
    EXPECT_EQ(drawn[0].itemState, static_cast<UINT>(ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS));
    EXPECT_EQ(drawn[0].hwndItem, combo);
    // The open list's items are the combo box's too.
    drawn.clear();
    Key(VK_F4);
    UpdateWindow(OpenList());
    auto listItem = std::find_if(drawn.begin(), drawn.end(), [](const DRAWITEMSTRUCT& d) { return !(d.itemState & ODS_COMBOBOXEDIT); });
    ASSERT_NE(listItem, drawn.end());
    EXPECT_EQ(listItem->CtlType, static_cast<UINT>(ODT_COMBOBOX));
    EXPECT_EQ(listItem->CtlID, static_cast<UINT>(kComboId));
    EXPECT_EQ(listItem->hwndItem, combo);
    EXPECT_EQ(listItem->rcItem.bottom - listItem->rcItem.top, 17);
}

} // namespace

namespace {

std::wstring TextOf(HWND window)
{
    wchar_t text[64] {};
    GetWindowTextW(window, text, 64);
    return text;
}

TEST_F(ComboBox, ADropDownBoxEditsInItsEditChildAndReportsForIt)
{
    MakeCombo(CBS_DROPDOWN, { L"alpha", L"beta", L"gamma" });
    HWND edit = GetDlgItem(combo, 1001);
    ASSERT_NE(edit, nullptr);
    RECT field {}, client {};
    GetWindowRect(edit, &field);
    MapWindowPoints(nullptr, combo, reinterpret_cast<POINT*>(&field), 2);
    GetClientRect(combo, &client);
    EXPECT_EQ(field.left, 3);
    EXPECT_EQ(field.right, client.right - 2 - GetSystemMetrics(SM_CXVSCROLL) - 1) << "the edit ends at the button";

    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(TextOf(edit), L"beta");
    EXPECT_EQ(TextOf(combo), L"beta");
    EXPECT_EQ(SendMessageW(combo, CB_GETEDITSEL, 0, 0), MAKELRESULT(0, 4)) << "the whole text is selected";
    SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(1, 3));
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(1, 3));
    SendMessageW(combo, CB_LIMITTEXT, 12, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 12);
    EXPECT_TRUE(Taken().empty()) << "the list's own changes to the text are not the user's";

    SetFocus(combo);
    EXPECT_EQ(GetFocus(), edit) << "the focus goes on to the edit";
    Key(VK_END);
    Key('M', L"m");
    EXPECT_EQ(TextOf(combo), L"betam");
    Key(VK_DOWN); // a list key, taken before the edit sees it
    EXPECT_EQ(Selection(), 2);
    EXPECT_EQ(TextOf(edit), L"gamma");
    Key(VK_F4);
    EXPECT_TRUE(Dropped());
    SendMessageW(edit, EM_SETSEL, 0, -1);
    Key('A', L"a"); // while the list is open its highlight follows the text
    EXPECT_EQ(Selection(), 0);
    Key(VK_RETURN);
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(TextOf(edit), L"alpha");
    EXPECT_EQ(Taken(), (std::vector<WORD> { CBN_SETFOCUS, CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_SELCHANGE, CBN_DROPDOWN, CBN_EDITUPDATE,
                           CBN_EDITCHANGE, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP }));
    SetFocus(other);
    EXPECT_EQ(Taken(), std::vector<WORD> { CBN_KILLFOCUS });
}

TEST_F(ComboBox, ASimpleBoxShowsItsListBelowTheEditAndNeverDropsIt)
{
    MakeCombo(CBS_SIMPLE, { L"alpha", L"beta", L"gamma" });
    HWND list = GetDlgItem(combo, 1000);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT box {}, listRect {};
    GetWindowRect(combo, &box);
    GetWindowRect(list, &listRect);
    EXPECT_EQ(box.bottom - box.top, 200) << "a simple box keeps its height";
    EXPECT_EQ(listRect.bottom, box.bottom);
    EXPECT_EQ(listRect.top - box.top, row + 2 + 6);
    RECT item {};
    SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    Click(ScreenPoint(list, 10, (item.top + item.bottom) / 2));
    EXPECT_EQ(Selection(), 2);
    EXPECT_EQ(TextOf(GetDlgItem(combo, 1001)), L"gamma");
    Key(VK_F4);
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(Taken(), (std::vector<WORD> { CBN_SELENDOK, CBN_SELCHANGE }));
}

} // namespace
