// Keyboard navigation through a dialog compiled from a resource script: tab order, arrows within
// a group, the default button, Esc, mnemonics, and what controls claim through WM_GETDLGCODE;
// then the helpers that reach controls by id.

#include "DialogTestSupport.h"

#include <cwctype>

using namespace dialog_test;

namespace {

class DialogNavigationTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        dialog = Modeless(IDD_NAVIGATION);
        ASSERT_NE(dialog, nullptr);
        LogMessagesOf(Item(IDC_NAME));
        ShowWindow(dialog, SW_SHOW);
        PumpDialog(dialog);
        ASSERT_EQ(FocusedId(), IDC_NAME);
    }

    void Focus(int id) { SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE); }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    std::vector<WPARAM> Commands() const { return DialogProcedureLog::Instance().CommandIds(); }
    void ForgetCommands() { DialogProcedureLog::Instance().calls.clear(); }
    DWORD ButtonLook(int id) const { return ButtonType(Item(id)); }

    HWND dialog = nullptr;
};

struct KeyStroke {
    unsigned key;
    bool shift;
};

TEST_F(DialogNavigationTest, TabAndShiftTabVisitTheEnabledTabStopsInOrder)
{
    // Disabled (Count, Apply) and hidden controls are passed over; the order wraps round.
    const std::vector<std::pair<KeyStroke, int>> steps {
        { { VK_TAB, false }, IDC_RED }, { { VK_TAB, false }, IDC_WRAP }, { { VK_TAB, false }, IDOK },
        { { VK_TAB, false }, IDCANCEL }, { { VK_TAB, false }, IDC_COMBO }, { { VK_TAB, false }, IDC_NAME },
        { { VK_TAB, true }, IDC_COMBO }, { { VK_TAB, true }, IDCANCEL }, { { VK_TAB, true }, IDOK },
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const auto& [stroke, expected] = steps[i];
        Press(dialog, stroke.key, stroke.shift ? std::initializer_list<unsigned> { VK_SHIFT } : std::initializer_list<unsigned> {});
        EXPECT_EQ(FocusedId(), expected) << "step " << i;
    }
    EXPECT_EQ(MessageLog::Instance().Count(Item(IDC_NAME), WM_CHAR), 0); // the tabs were the dialog's
    EXPECT_TRUE(Commands().empty());
}

TEST_F(DialogNavigationTest, ArrowsMoveWithinTheGroupAndChooseAutomaticRadioButtons)
{
    Focus(IDC_RED);
    struct Step {
        unsigned key;
        int focus;
        int checked; // the one radio button checked afterwards
    };
    const Step steps[] = {
        { VK_DOWN, IDC_GREEN, IDC_GREEN },
        { VK_RIGHT, IDC_BLUE, IDC_BLUE }, // the hidden one is passed over
        { VK_DOWN, IDC_RED, IDC_RED },    // round to the first of the group
        { VK_UP, IDC_BLUE, IDC_BLUE },
        { VK_LEFT, IDC_GREEN, IDC_GREEN },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.key);
        Press(dialog, step.key);
        EXPECT_EQ(FocusedId(), step.focus);
        for (int id : { IDC_RED, IDC_GREEN, IDC_BLUE })
            EXPECT_EQ(Checked(dialog, id), id == step.checked ? BST_CHECKED : BST_UNCHECKED) << id;
    }
    // A group of one stays put; an edit that wants the arrows keeps them.
    for (int id : { IDC_WRAP, IDC_NAME }) {
        Focus(id);
        Press(dialog, VK_DOWN);
        EXPECT_EQ(FocusedId(), id);
    }
    EXPECT_EQ(MessageLog::Instance().Count(Item(IDC_NAME), WM_KEYDOWN), 1);
}

TEST_F(DialogNavigationTest, EnterPressesTheFocusedOrTheDefaultButtonAndEscCancels)
{
    struct Case {
        int focus;
        int defaultId; // DM_SETDEFID before the key; -1: unchanged (OK from the template)
        unsigned key;
        std::vector<WPARAM> expected;
    };
    const Case cases[] = {
        { IDC_NAME, -1, VK_RETURN, { IDOK } },
        { IDCANCEL, -1, VK_RETURN, { IDCANCEL } }, // a focused push button is the one pressed
        { IDC_WRAP, IDCANCEL, VK_RETURN, { IDCANCEL } },
        { IDC_NAME, IDC_APPLY, VK_RETURN, {} },    // the default button is disabled: nothing
        { IDC_NAME, 0, VK_RETURN, { IDOK } },      // no default button: IDOK
        { IDC_WRAP, -1, VK_ESCAPE, { IDCANCEL } },
        { IDOK, -1, VK_ESCAPE, { IDCANCEL } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.focus << " " << c.key);
        if (c.defaultId >= 0)
            SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(c.defaultId), 0);
        Focus(c.focus);
        ForgetCommands();
        Press(dialog, c.key);
        EXPECT_EQ(Commands(), c.expected);
        SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    }
    // Esc with the Cancel button disabled does nothing.
    EnableWindow(Item(IDCANCEL), FALSE);
    ForgetCommands();
    Press(dialog, VK_ESCAPE);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(DialogNavigationTest, MnemonicsFocusOrPressTheirControl)
{
    struct Case {
        int focusBefore;
        bool alt;
        wchar_t letter;
        int focusAfter;
        std::vector<WPARAM> commands;
        int checked; // a check or radio button now checked; 0: none
    };
    const Case cases[] = {
        { IDOK, true, L'n', IDC_NAME, {}, 0 },                     // a label: the control after it
        { IDC_NAME, true, L'o', IDC_RED, {}, 0 },                  // a group box too
        { IDC_NAME, true, L'g', IDC_GREEN, { IDC_GREEN }, IDC_GREEN }, // a radio button: focused and chosen
        { IDC_NAME, true, L'W', IDC_WRAP, { IDC_WRAP }, IDC_WRAP },    // any case
        { IDC_NAME, true, L'a', IDC_NAME, {}, 0 },                 // a disabled button is out of reach
        { IDC_NAME, true, L'h', IDC_NAME, {}, 0 },                 // so is a hidden one
        { IDOK, false, L'w', IDC_WRAP, { IDC_WRAP }, IDC_WRAP },   // no Alt needed where the focus takes no characters
        { IDC_NAME, false, L'w', IDC_NAME, {}, 0 },                // an edit takes the letter as text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << char(c.letter) << (c.alt ? " with Alt" : ""));
        for (int id : { IDC_RED, IDC_GREEN, IDC_BLUE, IDC_WRAP })
            CheckDlgButton(dialog, id, BST_UNCHECKED);
        SetDlgItemTextW(dialog, IDC_NAME, L"");
        Focus(c.focusBefore);
        ForgetCommands();
        const unsigned key = static_cast<unsigned>(std::towupper(c.letter));
        Press(dialog, key, c.alt ? std::initializer_list<unsigned> { VK_MENU } : std::initializer_list<unsigned> {}, std::wstring(1, c.letter));
        EXPECT_EQ(FocusedId(), c.focusAfter);
        EXPECT_EQ(Commands(), c.commands);
        for (int id : { IDC_RED, IDC_GREEN, IDC_BLUE, IDC_WRAP })
            EXPECT_EQ(Checked(dialog, id), id == c.checked ? BST_CHECKED : BST_UNCHECKED) << id;
    }
    wchar_t typed[8];
    GetDlgItemTextW(dialog, IDC_NAME, typed, 8);
    EXPECT_STREQ(typed, L"w");
}

TEST_F(DialogNavigationTest, PushButtonMnemonicsPressTheButton)
{
    SetDlgItemTextW(dialog, IDCANCEL, L"&Stop");
    ForgetCommands();
    Press(dialog, 'S', { VK_MENU }, L"s");
    EXPECT_EQ(Commands(), std::vector<WPARAM> { IDCANCEL });
    Focus(IDC_NAME);
    // Two controls on one letter: each press only moves between them.
    SetDlgItemTextW(dialog, IDOK, L"&Green light");
    ForgetCommands();
    Press(dialog, 'G', { VK_MENU }, L"g");
    EXPECT_EQ(FocusedId(), IDC_GREEN);
    Press(dialog, 'G', { VK_MENU }, L"g");
    EXPECT_EQ(FocusedId(), IDOK);
    EXPECT_TRUE(Commands().empty());
}

// The edit as if it claimed more keys than it does.
LRESULT WantsEveryKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE)
        return DLGC_WANTMESSAGE;
    return LoggedControlProcedure(window, message, wParam, lParam);
}

LRESULT WantsTab(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT answer = LoggedControlProcedure(window, message, wParam, lParam);
    return message == WM_GETDLGCODE ? answer | DLGC_WANTTAB : answer;
}

TEST_F(DialogNavigationTest, ControlsClaimKeysThroughTheirDialogCode)
{
    struct Case {
        WNDPROC procedure;
        unsigned key;
        bool claimed;
    };
    const Case cases[] = {
        { WantsEveryKey, VK_TAB, true }, { WantsEveryKey, VK_RETURN, true }, { WantsEveryKey, VK_ESCAPE, true },
        { WantsTab, VK_TAB, true }, { WantsTab, VK_RETURN, false }, { LoggedControlProcedure, VK_TAB, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        SetWindowLongPtrW(Item(IDC_NAME), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(c.procedure));
        Focus(IDC_NAME);
        ForgetCommands();
        MessageLog::Instance().entries.clear();
        Press(dialog, c.key);
        EXPECT_EQ(MessageLog::Instance().Count(Item(IDC_NAME), WM_KEYDOWN), c.claimed ? 1 : 0);
        EXPECT_EQ(FocusedId() == IDC_NAME && Commands().empty(), c.claimed);
    }
}

TEST_F(DialogNavigationTest, TheDefaultLookFollowsTheFocusedPushButton)
{
    struct Step {
        int focus;
        int defaultId; // DM_SETDEFID first; 0: unchanged
        DWORD okLook, cancelLook;
    };
    const Step steps[] = {
        { IDC_NAME, 0, BS_DEFPUSHBUTTON, BS_PUSHBUTTON },
        { IDCANCEL, 0, BS_PUSHBUTTON, BS_DEFPUSHBUTTON }, // the focused push button looks default
        { IDOK, 0, BS_DEFPUSHBUTTON, BS_PUSHBUTTON },
        { IDC_WRAP, 0, BS_DEFPUSHBUTTON, BS_PUSHBUTTON }, // elsewhere, the default button does
        { IDC_WRAP, IDCANCEL, BS_PUSHBUTTON, BS_DEFPUSHBUTTON },
        { IDOK, 0, BS_DEFPUSHBUTTON, BS_PUSHBUTTON },
        { IDC_NAME, 0, BS_PUSHBUTTON, BS_DEFPUSHBUTTON },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.focus << " " << step.defaultId);
        if (step.defaultId) {
            EXPECT_TRUE(SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(step.defaultId), 0));
            EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(static_cast<WORD>(step.defaultId), DC_HASDEFID));
        }
        Focus(step.focus);
        EXPECT_EQ(ButtonLook(IDOK), step.okLook);
        EXPECT_EQ(ButtonLook(IDCANCEL), step.cancelLook);
    }
}

TEST_F(DialogNavigationTest, NextTabAndGroupItemsAskedDirectly)
{
    struct Case {
        bool group;
        int from; // 0: no control
        bool previous;
        int expected;
    };
    const Case cases[] = {
        { false, 0, false, IDC_NAME }, { false, 0, true, IDC_COMBO }, { false, IDC_LABEL, false, IDC_NAME },
        { false, IDC_COMBO, false, IDC_NAME }, { false, IDC_NAME, true, IDC_COMBO }, { false, IDC_WRAP, false, IDOK },
        { true, IDC_RED, false, IDC_GREEN }, { true, IDC_RED, true, IDC_BLUE }, { true, IDC_BLUE, false, IDC_RED },
        { true, IDC_WRAP, false, IDC_WRAP }, // alone in its group (Count is disabled)
        { true, IDOK, false, IDCANCEL }, { true, IDCANCEL, false, IDOK }, // Apply is disabled
        { true, IDC_LABEL, false, IDC_NAME },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.group << " " << c.from << " " << c.previous);
        HWND from = c.from ? Item(c.from) : nullptr;
        HWND next = c.group ? GetNextDlgGroupItem(dialog, from, c.previous) : GetNextDlgTabItem(dialog, from, c.previous);
        EXPECT_EQ(GetDlgCtrlID(next), c.expected);
    }
}

TEST_F(DialogNavigationTest, ItemTextAsNumbers)
{
    struct Case {
        const wchar_t* text;
        BOOL isSigned;
        UINT expected;
        BOOL translated;
    };
    const Case cases[] = {
        { L"42", TRUE, 42, TRUE },
        { L"  -7 ", TRUE, static_cast<UINT>(-7), TRUE },
        { L"-7", FALSE, 0, FALSE },
        { L"4294967295", FALSE, 4294967295u, TRUE },
        { L"4294967296", FALSE, 0, FALSE },
        { L"2147483647", TRUE, 2147483647u, TRUE },
        { L"2147483648", TRUE, 0, FALSE },
        { L"-2147483648", TRUE, 0x80000000u, TRUE },
        { L"12a", TRUE, 0, FALSE },
        { L"", TRUE, 0, FALSE },
        { L"-", TRUE, 0, FALSE },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        SetDlgItemTextW(dialog, IDC_NAME, c.text);
        BOOL translated = !c.translated;
        EXPECT_EQ(GetDlgItemInt(dialog, IDC_NAME, &translated, c.isSigned), c.expected);
        EXPECT_EQ(translated, c.translated);
    }
    for (auto [value, isSigned] : { std::pair(static_cast<UINT>(-5), TRUE), std::pair(4294967291u, FALSE) }) {
        SetDlgItemInt(dialog, IDC_NAME, value, isSigned);
        BOOL translated = FALSE;
        EXPECT_EQ(GetDlgItemInt(dialog, IDC_NAME, &translated, isSigned), value);
        EXPECT_TRUE(translated);
    }
    wchar_t text[16];
    GetDlgItemTextW(dialog, IDC_NAME, text, 16);
    EXPECT_STREQ(text, L"4294967291");
    // A missing control: nothing read, nothing sent.
    wcscpy(text, L"old");
    EXPECT_EQ(GetDlgItemTextW(dialog, 4321, text, 16), 0u);
    EXPECT_STREQ(text, L"");
    EXPECT_FALSE(SetDlgItemTextW(dialog, 4321, L"x"));
    EXPECT_EQ(SendDlgItemMessageW(dialog, 4321, WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(DialogNavigationTest, CheckingButtonsById)
{
    EXPECT_TRUE(CheckRadioButton(dialog, IDC_RED, IDC_BLUE, IDC_GREEN));
    EXPECT_TRUE(CheckDlgButton(dialog, IDC_WRAP, BST_CHECKED));
    const std::pair<int, UINT> expected[] = { { IDC_RED, BST_UNCHECKED }, { IDC_GREEN, BST_CHECKED }, { IDC_HIDDEN, BST_UNCHECKED },
        { IDC_BLUE, BST_UNCHECKED }, { IDC_WRAP, BST_CHECKED } };
    for (auto [id, state] : expected)
        EXPECT_EQ(IsDlgButtonChecked(dialog, id), state) << id;
    EXPECT_FALSE(CheckRadioButton(dialog, IDC_RED, IDC_BLUE, IDC_WRAP)); // outside the range: nothing changes
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_GREEN), BST_CHECKED);
    EXPECT_FALSE(CheckDlgButton(dialog, 4321, BST_CHECKED));
}

} // namespace
