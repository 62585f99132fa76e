#include "PixelChecks.h"
#include "UserTestSupport.h"

#include "platform/user/PressTracker.h"
#include "platform/user/ResourceHandles.h"

namespace {

using pixel_checks::InkBounds;
using pixel_checks::MatchesExpectedImage;
using fln::user::PressTracker;

// ---- the press tracker alone

TEST(PressTracker, PressedFollowsThePointerAndOnlyAReleaseInsideActs)
{
    enum Step { MouseDown, MoveIn, MoveOut, UpIn, UpOut, KeyDown, KeyUp, Cancel };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<bool> pressedAfterEach;
        int actions;
    };
    const Case cases[] = {
        { "click", { MouseDown, UpIn }, { true, false }, 1 },
        { "out and back", { MouseDown, MoveOut, MoveIn, UpIn }, { true, false, true, false }, 1 },
        { "released outside", { MouseDown, MoveOut, UpOut }, { true, false, false }, 0 },
        { "key", { KeyDown, KeyUp }, { true, false }, 1 },
        { "key repeats", { KeyDown, KeyDown, KeyUp }, { true, true, false }, 1 },
        { "key ignored during a mouse press", { MouseDown, KeyDown, KeyUp, UpIn }, { true, true, true, false }, 1 },
        { "mouse ignored during a key press", { KeyDown, MoveOut, UpOut, KeyUp }, { true, true, true, false }, 1 },
        { "cancelled", { MouseDown, Cancel, UpIn }, { true, false, false }, 0 },
        { "key cancelled", { KeyDown, Cancel, KeyUp }, { true, false, false }, 0 },
    };
    for (const Case& c : cases) {
        PressTracker press;
        int actions = 0;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            switch (c.steps[i]) {
            case MouseDown: press.PressMouse(); break;
            case MoveIn: press.MoveMouse(true); break;
            case MoveOut: press.MoveMouse(false); break;
            case UpIn: actions += press.ReleaseMouse(true); break;
            case UpOut: actions += press.ReleaseMouse(false); break;
            case KeyDown: press.PressKey(); break;
            case KeyUp: actions += press.ReleaseKey(); break;
            case Cancel: press.Cancel(); break;
            }
            EXPECT_EQ(press.Pressed(), c.pressedAfterEach[i]) << c.name << ", step " << i;
        }
        EXPECT_EQ(actions, c.actions) << c.name;
        EXPECT_FALSE(press.Active()) << c.name;
    }
}

// ---- buttons on a window

class Buttons : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        Pump();
    }

    HWND MakeButton(DWORD style, const wchar_t* text = L"OK", RECT r = { 10, 10, 85, 33 }, int id = 100)
    {
        HWND button = CreateWindowExW(0, L"Button", text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
            r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return button;
    }

    // The notification codes the parent got from a control, in order.
    std::vector<WORD> Notifications(HWND control) const
    {
        std::vector<WORD> codes;
        for (const auto& entry : MessageLog::Instance().entries) {
            if (entry.window == parent && entry.message == WM_COMMAND && reinterpret_cast<HWND>(entry.lParam) == control)
                codes.push_back(HIWORD(entry.wParam));
        }
        return codes;
    }

    static LRESULT Check(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0); }

    void PressAt(HWND window, int x, int y) { headless->InjectButton(1, true, Moved(window, x, y)); Pump(); }
    void ReleaseAt(HWND window, int x, int y) { headless->InjectButton(1, false, Moved(window, x, y)); Pump(); }
    POINT Moved(HWND window, int x, int y)
    {
        POINT point = ScreenPoint(window, x, y);
        headless->InjectMouseMove(point);
        Pump();
        return point;
    }
    bool Pushed(HWND button) { return SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED; }

    HWND parent = nullptr;
};

TEST_F(Buttons, SetCheckKeepsToTheStatesOfTheKind)
{
    struct Case {
        DWORD style;
        WPARAM set;
        LRESULT got;
    };
    const Case cases[] = {
        { BS_PUSHBUTTON, BST_CHECKED, BST_UNCHECKED },
        { BS_GROUPBOX, BST_CHECKED, BST_UNCHECKED },
        { BS_CHECKBOX, BST_CHECKED, BST_CHECKED },
        { BS_AUTOCHECKBOX, BST_INDETERMINATE, BST_CHECKED },
        { BS_3STATE, BST_INDETERMINATE, BST_INDETERMINATE },
        { BS_AUTO3STATE, 7, BST_CHECKED },
        { BS_RADIOBUTTON, BST_INDETERMINATE, BST_CHECKED },
        { BS_AUTORADIOBUTTON, BST_CHECKED, BST_CHECKED },
        { BS_AUTOCHECKBOX | BS_PUSHLIKE, BST_CHECKED, BST_CHECKED },
    };
    for (const Case& c : cases) {
        HWND button = MakeButton(c.style);
        SendMessageW(button, BM_SETCHECK, c.set, 0);
        EXPECT_EQ(Check(button), c.got) << std::hex << c.style;
        EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0) & 3, c.got) << std::hex << c.style;
        DestroyWindow(button);
    }
}

TEST_F(Buttons, AClickChangesAutoButtonsThenNotifies)
{
    struct Case {
        DWORD style;
        std::vector<LRESULT> checksAfterClicks;
    };
    const Case cases[] = {
        { BS_PUSHBUTTON, { 0, 0 } },
        { BS_CHECKBOX, { 0, 0 } },
        { BS_AUTOCHECKBOX, { 1, 0, 1 } },
        { BS_3STATE, { 0 } },
        { BS_AUTO3STATE, { 1, 2, 0, 1 } },
        { BS_RADIOBUTTON, { 0 } },
        { BS_AUTORADIOBUTTON, { 1, 1 } },
        { BS_OWNERDRAW, { 0 } },
    };
    for (const Case& c : cases) {
        HWND button = MakeButton(c.style);
        std::vector<LRESULT> seenByParent;
        MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (window == parent && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
                seenByParent.push_back(Check(button));
            return std::nullopt;
        };
        for (LRESULT expected : c.checksAfterClicks) {
            SendMessageW(button, BM_CLICK, 0, 0);
            EXPECT_EQ(Check(button), expected) << std::hex << c.style;
        }
        // The parent hears of each click once, with the new state already in place.
        EXPECT_EQ(seenByParent, c.checksAfterClicks) << std::hex << c.style;
        EXPECT_EQ(LOWORD(MessageLog::Instance().entries.back().wParam), 100);
        MessageLog::Instance().answer = {};
        DestroyWindow(button);
    }
}

TEST_F(Buttons, ADisabledButtonDoesNotClick)
{
    HWND button = MakeButton(BS_AUTOCHECKBOX | WS_DISABLED);
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Check(button), BST_UNCHECKED);
    EXPECT_TRUE(Notifications(button).empty());
}

TEST_F(Buttons, AutoRadioButtonsUncheckTheirGroupOnly)
{
    // Two groups: three radio buttons and a check box, then two radio buttons.
    HWND first = MakeButton(BS_AUTORADIOBUTTON | WS_GROUP, L"A", { 10, 10, 80, 26 }, 1);
    HWND second = MakeButton(BS_AUTORADIOBUTTON, L"B", { 10, 30, 80, 46 }, 2);
    HWND manual = MakeButton(BS_RADIOBUTTON, L"C", { 10, 50, 80, 66 }, 3);
    HWND box = MakeButton(BS_AUTOCHECKBOX, L"D", { 10, 70, 80, 86 }, 4);
    HWND otherGroup = MakeButton(BS_AUTORADIOBUTTON | WS_GROUP, L"E", { 100, 10, 170, 26 }, 5);
    HWND otherSecond = MakeButton(BS_AUTORADIOBUTTON, L"F", { 100, 30, 170, 46 }, 6);
    for (HWND checked : { first, manual, box, otherGroup })
        SendMessageW(checked, BM_SETCHECK, BST_CHECKED, 0);

    SendMessageW(second, BM_CLICK, 0, 0);
    EXPECT_EQ(Check(first), BST_UNCHECKED);
    EXPECT_EQ(Check(second), BST_CHECKED);
    EXPECT_EQ(Check(manual), BST_UNCHECKED); // any radio button of the group
    EXPECT_EQ(Check(box), BST_CHECKED);      // not a radio button
    EXPECT_EQ(Check(otherGroup), BST_CHECKED);
    EXPECT_EQ(Check(otherSecond), BST_UNCHECKED);
    // Tab stops at the checked radio button of a group.
    EXPECT_FALSE(GetWindowLongW(first, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongW(second, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(Notifications(second), std::vector<WORD> { BN_CLICKED });
}

TEST_F(Buttons, DialogCodesNameTheKind)
{
    struct Case {
        DWORD style;
        LRESULT code;
    };
    const Case cases[] = {
        { BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON },
        { BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON },
        { BS_CHECKBOX, DLGC_BUTTON },
        { BS_AUTO3STATE, DLGC_BUTTON },
        { BS_RADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON },
        { BS_AUTORADIOBUTTON | BS_PUSHLIKE, DLGC_BUTTON | DLGC_RADIOBUTTON },
        { BS_GROUPBOX, DLGC_STATIC },
        { BS_OWNERDRAW, DLGC_BUTTON },
    };
    for (const Case& c : cases) {
        HWND button = MakeButton(c.style);
        EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), c.code) << std::hex << c.style;
        DestroyWindow(button);
    }
}

TEST_F(Buttons, SetStyleMovesTheDefaultFrameBetweenButtons)
{
    // What a dialog does when the focus moves from its default button to another push button.
    HWND ok = MakeButton(BS_DEFPUSHBUTTON | WS_TABSTOP, L"OK", { 10, 10, 85, 33 }, IDOK);
    HWND other = MakeButton(BS_PUSHBUTTON | WS_TABSTOP, L"Other", { 95, 10, 170, 33 }, 3);
    Pump();
    EXPECT_EQ(PixelAt(ok, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_NE(PixelAt(other, 0, 0), GetSysColor(COLOR_WINDOWFRAME));

    SendMessageW(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageW(other, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(ok, &update, FALSE));
    Pump();
    EXPECT_EQ(SendMessageW(ok, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(SendMessageW(other, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & ~0xFFFF, WS_CHILD | WS_VISIBLE | WS_TABSTOP); // window styles kept
    EXPECT_NE(PixelAt(ok, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(PixelAt(other, 0, 0), GetSysColor(COLOR_WINDOWFRAME));

    // Without the redraw flag the style changes but nothing is drawn.
    SendMessageW(other, BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
    EXPECT_FALSE(GetUpdateRect(other, &update, FALSE));
}

TEST_F(Buttons, FocusNotificationsNeedTheNotifyStyle)
{
    struct Case {
        DWORD style;
        std::vector<WORD> codes;
    };
    const Case cases[] = {
        { BS_PUSHBUTTON, {} },
        { BS_PUSHBUTTON | BS_NOTIFY, { BN_SETFOCUS, BN_KILLFOCUS } },
        { BS_AUTOCHECKBOX | BS_NOTIFY, { BN_SETFOCUS, BN_KILLFOCUS } },
    };
    for (const Case& c : cases) {
        HWND button = MakeButton(c.style);
        SetFocus(button);
        EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_FOCUS, BST_FOCUS);
        SetFocus(parent);
        EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_FOCUS, 0);
        EXPECT_EQ(Notifications(button), c.codes) << std::hex << c.style;
        DestroyWindow(button);
    }
}

TEST_F(Buttons, DoubleClicksAreReportedOrCountAsASecondClick)
{
    struct Case {
        DWORD style;
        std::vector<WORD> codes;
    };
    const Case cases[] = {
        { BS_PUSHBUTTON, { BN_CLICKED, BN_CLICKED } },
        { BS_AUTOCHECKBOX, { BN_CLICKED, BN_CLICKED } },
        { BS_PUSHBUTTON | BS_NOTIFY, { BN_SETFOCUS, BN_CLICKED, BN_DOUBLECLICKED } },
        { BS_AUTORADIOBUTTON, { BN_CLICKED, BN_DOUBLECLICKED } },
        { BS_OWNERDRAW, { BN_CLICKED, BN_DOUBLECLICKED } },
    };
    for (const Case& c : cases) {
        HWND button = MakeButton(c.style);
        POINT point = ScreenPoint(button, 5, 5);
        Click(point);
        Click(point); // within the double-click time and distance
        EXPECT_EQ(Notifications(button), c.codes) << std::hex << c.style;
        DestroyWindow(button);
        MessageLog::Instance().entries.clear();
    }
}

TEST_F(Buttons, ThePressFollowsThePointerAndOnlyAReleaseInsideClicks)
{
    HWND button = MakeButton(BS_AUTOCHECKBOX, L"Box", { 10, 10, 110, 30 });
    PressAt(button, 5, 5);
    EXPECT_TRUE(Pushed(button));
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(GetFocus(), button);
    Moved(button, 150, 5);
    EXPECT_FALSE(Pushed(button));
    EXPECT_EQ(GetCapture(), button);
    Moved(button, 50, 10);
    EXPECT_TRUE(Pushed(button));
    ReleaseAt(button, 50, 10);
    EXPECT_FALSE(Pushed(button));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Check(button), BST_CHECKED);

    PressAt(button, 5, 5);
    ReleaseAt(button, 5, 40);
    EXPECT_EQ(Check(button), BST_CHECKED);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Notifications(button), std::vector<WORD> { BN_CLICKED });
}

TEST_F(Buttons, SpaceClicksOnItsReleaseAndLosingTheFocusCancels)
{
    HWND button = MakeButton(BS_AUTOCHECKBOX);
    SetFocus(button);
    headless->InjectKey(VK_SPACE, true, L" ");
    Pump();
    EXPECT_TRUE(Pushed(button));
    EXPECT_TRUE(Notifications(button).empty());
    headless->InjectKey(VK_SPACE, false);
    Pump();
    EXPECT_FALSE(Pushed(button));
    EXPECT_EQ(Check(button), BST_CHECKED);
    EXPECT_EQ(Notifications(button), std::vector<WORD> { BN_CLICKED });

    headless->InjectKey(VK_SPACE, true, L" ");
    Pump();
    SetFocus(parent);
    EXPECT_FALSE(Pushed(button));
    headless->InjectKey(VK_SPACE, false);
    Pump();
    EXPECT_EQ(Check(button), BST_CHECKED);
    EXPECT_EQ(Notifications(button).size(), 1u);
}

TEST_F(Buttons, LosingTheCaptureEndsAMousePressWithoutAClick)
{
    HWND button = MakeButton(BS_PUSHBUTTON);
    PressAt(button, 5, 5);
    ReleaseCapture();
    EXPECT_FALSE(Pushed(button));
    ReleaseAt(button, 5, 5);
    EXPECT_TRUE(Notifications(button).empty());
}

TEST_F(Buttons, AGroupBoxLetsClicksThroughToItsParent)
{
    HWND group = MakeButton(BS_GROUPBOX, L"Group", { 10, 10, 200, 100 });
    Click(ScreenPoint(group, 50, 50));
    EXPECT_EQ(MessageLog::Instance().Count(parent, WM_LBUTTONDOWN), 1);
    EXPECT_NE(GetFocus(), group);
}

// A dialog lists a group box before the buttons inside it, so the box lies above them.
TEST_F(Buttons, AGroupBoxAboveAButtonLetsClicksThroughToTheButton)
{
    HWND group = MakeButton(BS_GROUPBOX, L"Group", { 10, 10, 200, 100 }, 101);
    HWND button = MakeButton(BS_PUSHBUTTON, L"Key", { 30, 30, 90, 60 }, 102);
    ASSERT_EQ(GetWindow(parent, GW_CHILD), group);
    const POINT inside = ScreenPoint(button, 5, 5);
    EXPECT_EQ(WindowFromPoint(inside), button);
    Click(inside);
    EXPECT_EQ(Notifications(button), std::vector<WORD>({ BN_CLICKED }));
    EXPECT_EQ(WindowFromPoint(ScreenPoint(group, 150, 80)), parent) << "beside the button the parent gets it";
}

TEST_F(Buttons, ImagesAreSwappedAndOfTheirType)
{
    HWND button = MakeButton(BS_PUSHBUTTON | BS_ICON);
    HICON first = LoadIconW(nullptr, IDI_INFORMATION), second = LoadIconW(nullptr, IDI_WARNING);
    EXPECT_EQ(SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(first)), 0);
    EXPECT_EQ(SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(second)), reinterpret_cast<LRESULT>(first));
    EXPECT_EQ(SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(second));
    EXPECT_EQ(SendMessageW(button, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(SendMessageW(button, BM_SETIMAGE, 7, reinterpret_cast<LPARAM>(first)), 0); // no such type
    EXPECT_EQ(SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(second));
}

TEST_F(Buttons, OwnerDrawnButtonsAreDrawnByTheParentWithTheirState)
{
    HWND button = MakeButton(BS_OWNERDRAW, L"", { 10, 10, 60, 30 }, 42);
    std::vector<DRAWITEMSTRUCT> drawn;
    MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (window == parent && message == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return std::nullopt;
    };
    struct Case {
        const char* name;
        std::function<void()> act;
        UINT state;
    };
    const Case cases[] = {
        { "plain", [] {}, 0 },
        { "focused", [&] { SetFocus(button); }, ODS_FOCUS },
        { "pressed", [&] { SendMessageW(button, BM_SETSTATE, TRUE, 0); }, ODS_FOCUS | ODS_SELECTED },
        { "disabled", [&] { SendMessageW(button, BM_SETSTATE, FALSE, 0); EnableWindow(button, FALSE); }, ODS_DISABLED },
    };
    for (const Case& c : cases) {
        drawn.clear();
        c.act();
        InvalidateRect(button, nullptr, FALSE);
        Pump();
        ASSERT_EQ(drawn.size(), 1u) << c.name;
        EXPECT_EQ(drawn[0].CtlType, ODT_BUTTON) << c.name;
        EXPECT_EQ(drawn[0].CtlID, 42u) << c.name;
        EXPECT_EQ(drawn[0].itemAction, ODA_DRAWENTIRE) << c.name;
        EXPECT_EQ(drawn[0].itemState, c.state) << c.name;
        EXPECT_EQ(drawn[0].hwndItem, button) << c.name;
        RECT client { 0, 0, 50, 20 };
        EXPECT_TRUE(EqualRect(&drawn[0].rcItem, &client)) << c.name;
    }
}

TEST_F(Buttons, AnOwnerDrawnButtonIsTheDefaultWhenItsDialogSaysSo)
{
    // A dialog-class parent that names its default button through DM_GETDEFID.
    WNDCLASSEXW dialogClass { sizeof dialogClass };
    dialogClass.lpfnWndProc = LoggingProcedure;
    dialogClass.lpszClassName = L"#32770";
    ASSERT_NE(RegisterClassExW(&dialogClass), 0);
    HWND dialog = CreateWindowExW(0, L"#32770", L"Dialog", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND button = CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 50, 20, dialog,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(7)), nullptr, nullptr);
    WORD defaultId = 7;
    std::vector<UINT> states;
    MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (window != dialog)
            return std::nullopt;
        if (message == DM_GETDEFID)
            return MAKELRESULT(defaultId, DC_HASDEFID);
        if (message == WM_DRAWITEM)
            states.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->itemState);
        return std::nullopt;
    };
    Pump();
    defaultId = 8;
    InvalidateRect(button, nullptr, FALSE);
    Pump();
    EXPECT_EQ(states, (std::vector<UINT> { ODS_DEFAULT, 0 }));
    MessageLog::Instance().answer = {};
    DestroyWindow(dialog);
    UnregisterClassW(L"#32770", nullptr);
}

TEST_F(Buttons, CheckBoxesTakeTheParentsStaticColoursAndPushButtonsKeepTheirs)
{
    HBRUSH pink = CreateSolidBrush(RGB(255, 200, 200));
    std::vector<UINT> asked;
    MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (window != parent || (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN))
            return std::nullopt;
        asked.push_back(message);
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
        return reinterpret_cast<LRESULT>(pink);
    };
    HWND box = MakeButton(BS_AUTOCHECKBOX, L"Box", { 10, 10, 110, 30 });
    HWND push = MakeButton(BS_PUSHBUTTON, L"Push", { 10, 40, 85, 63 });
    Pump();
    EXPECT_EQ(asked, (std::vector<UINT> { WM_CTLCOLORSTATIC, WM_CTLCOLORBTN }));
    EXPECT_EQ(PixelAt(box, 99, 1), RGB(255, 200, 200));
    EXPECT_EQ(PixelAt(push, 37, 2), GetSysColor(COLOR_BTNFACE));
    MessageLog::Instance().answer = {};
    DestroyWindow(box);
    DestroyWindow(push);
    DeleteObject(pink);
}

TEST_F(Buttons, ACheckChangeRedrawsOnlyTheBox)
{
    HWND button = MakeButton(BS_AUTOCHECKBOX, L"Box", { 10, 10, 110, 27 });
    Pump();
    SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
    RECT update {};
    ASSERT_TRUE(GetUpdateRect(button, &update, FALSE));
    RECT box { 0, 2, 13, 15 };
    EXPECT_TRUE(EqualRect(&update, &box)) << update.left << "," << update.top << "," << update.right << "," << update.bottom;
    Pump();
    SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0); // no change
    EXPECT_FALSE(GetUpdateRect(button, &update, FALSE));
}

// ---- the classic look

class ButtonLook : public Buttons {
protected:
    void SetUp() override
    {
        Buttons::SetUp();
        // The parent is coloured as a dialog is.
        MessageLog::Instance().answer = [this](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (window != parent || message != WM_ERASEBKGND)
                return std::nullopt;
            RECT client;
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_3DFACE));
            return 1;
        };
        InvalidateRect(parent, nullptr, TRUE);
        Pump();
    }

    HWND Show(DWORD style, const wchar_t* text, RECT r)
    {
        HWND button = MakeButton(style, text, r);
        Pump();
        return button;
    }
};

TEST_F(ButtonLook, PushButtonStates)
{
    struct Case {
        const char* file;
        DWORD style;
        std::function<void(HWND)> act;
    };
    const Case cases[] = {
        { "push-normal.png", BS_PUSHBUTTON, [](HWND) {} },
        { "push-default.png", BS_DEFPUSHBUTTON, [](HWND) {} },
        { "push-pressed.png", BS_DEFPUSHBUTTON, [](HWND b) { SetFocus(b); SendMessageW(b, BM_SETSTATE, TRUE, 0); } },
        { "push-focused.png", BS_DEFPUSHBUTTON, [](HWND b) { SetFocus(b); } },
        { "push-disabled.png", BS_PUSHBUTTON | WS_DISABLED, [](HWND) {} },
        { "pushlike-checked.png", BS_AUTOCHECKBOX | BS_PUSHLIKE, [](HWND b) { SendMessageW(b, BM_SETCHECK, BST_CHECKED, 0); } },
    };
    for (const Case& c : cases) {
        HWND button = Show(c.style, L"OK", { 10, 10, 85, 33 });
        c.act(button);
        Pump();
        EXPECT_TRUE(MatchesExpectedImage(button, c.file)) << c.file;
        DestroyWindow(button);
    }
}

TEST_F(ButtonLook, IconButtonsShowTheirIconInsteadOfTheText)
{
    struct Case {
        const char* file;
        DWORD style;
    };
    const Case cases[] = { { "push-icon.png", BS_PUSHBUTTON | BS_ICON }, { "push-icon-disabled.png", BS_PUSHBUTTON | BS_ICON | WS_DISABLED } };
    for (const Case& c : cases) {
        HWND button = Show(c.style, L"Text", { 10, 10, 54, 54 });
        SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_INFORMATION)));
        Pump();
        EXPECT_TRUE(MatchesExpectedImage(button, c.file)) << c.file;
        DestroyWindow(button);
    }
}

TEST_F(ButtonLook, AlignmentStylesPlaceTheText)
{
    // A 100 x 40 push button: the bevel leaves 2 pixels on each side; a line is 13 pixels high.
    struct Case {
        const char* name;
        DWORD style;
        const wchar_t* text;
        std::function<bool(RECT)> holds;
    };
    const Case cases[] = {
        { "centred", 0, L"Hi", [](RECT ink) { return ink.left > 40 && ink.right < 60 && ink.top > 10 && ink.bottom < 30; } },
        { "left", BS_LEFT, L"Hi", [](RECT ink) { return ink.left < 6 && ink.right < 20; } },
        { "right", BS_RIGHT, L"Hi", [](RECT ink) { return ink.left > 80 && ink.right <= 98; } },
        { "top", BS_TOP, L"Hi", [](RECT ink) { return ink.top < 8; } },
        { "bottom", BS_BOTTOM, L"Hi", [](RECT ink) { return ink.bottom > 32; } },
        { "one line", 0, L"one two three four five six", [](RECT ink) { return ink.bottom - ink.top < 13; } },
        { "multi-line", BS_MULTILINE, L"one two three four five six", [](RECT ink) { return ink.bottom - ink.top > 13; } },
    };
    for (const Case& c : cases) {
        HWND button = Show(c.style, c.text, { 10, 10, 110, 50 });
        RECT ink = InkBounds(button, RECT { 2, 2, 98, 38 });
        EXPECT_FALSE(IsRectEmpty(&ink)) << c.name;
        EXPECT_TRUE(c.holds(ink)) << c.name << ": ink " << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
        DestroyWindow(button);
    }
}

TEST_F(ButtonLook, TheMnemonicIsUnderlinedAndItsAmpersandHidden)
{
    HWND plain = Show(BS_PUSHBUTTON | BS_LEFT, L"Hi", { 10, 10, 110, 50 });
    HWND mnemonic = Show(BS_PUSHBUTTON | BS_LEFT, L"&Hi", { 10, 60, 110, 100 });
    RECT inner { 2, 2, 98, 38 };
    RECT plainInk = InkBounds(plain, inner), mnemonicInk = InkBounds(mnemonic, inner);
    EXPECT_EQ(mnemonicInk.right, plainInk.right);
    EXPECT_GT(mnemonicInk.bottom, plainInk.bottom);
}

TEST_F(ButtonLook, CheckBoxAndRadioButtonStates)
{
    struct Case {
        const char* file;
        DWORD style;
        WPARAM check;
        bool pressed;
    };
    const Case cases[] = {
        { "check-clear.png", BS_AUTO3STATE, BST_UNCHECKED, false },
        { "check-checked.png", BS_AUTO3STATE, BST_CHECKED, false },
        { "check-indeterminate.png", BS_AUTO3STATE, BST_INDETERMINATE, false },
        { "check-pressed.png", BS_AUTO3STATE, BST_UNCHECKED, true },
        { "check-disabled.png", BS_AUTO3STATE | WS_DISABLED, BST_CHECKED, false },
        { "radio-clear.png", BS_AUTORADIOBUTTON, BST_UNCHECKED, false },
        { "radio-checked.png", BS_AUTORADIOBUTTON, BST_CHECKED, false },
        { "radio-pressed.png", BS_AUTORADIOBUTTON, BST_UNCHECKED, true },
        { "radio-disabled.png", BS_AUTORADIOBUTTON | WS_DISABLED, BST_CHECKED, false },
    };
    for (const Case& c : cases) {
        HWND button = Show(c.style, L"Box", { 10, 10, 70, 27 });
        SendMessageW(button, BM_SETCHECK, c.check, 0);
        SendMessageW(button, BM_SETSTATE, c.pressed, 0);
        Pump();
        EXPECT_TRUE(MatchesExpectedImage(button, c.file)) << c.file;
        DestroyWindow(button);
    }
}

TEST_F(ButtonLook, FocusedCheckBoxFramesItsText)
{
    HWND button = Show(BS_AUTOCHECKBOX, L"Box", { 10, 10, 70, 27 });
    SetFocus(button);
    Pump();
    EXPECT_TRUE(MatchesExpectedImage(button, "check-focused.png"));
}

TEST_F(ButtonLook, GroupBoxFrameOpensForItsCaption)
{
    HWND group = Show(BS_GROUPBOX, L"Group", { 10, 10, 110, 60 });
    EXPECT_TRUE(MatchesExpectedImage(group, "groupbox.png"));
}

TEST_F(ButtonLook, GroupBoxCaptionChangesClearTheOldText)
{
    HWND group = Show(BS_GROUPBOX, L"A much longer caption", { 10, 10, 190, 60 });
    SetWindowTextW(group, L"Short");
    Pump();
    // Where the long caption was, the top edge runs again.
    EXPECT_EQ(PixelAt(group, 150, 6), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelAt(group, 150, 7), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(PixelAt(group, 150, 3), GetSysColor(COLOR_3DFACE)); // the parent's background
}

} // namespace
