#include "controls/ValidEdit.h"
#include "controls/tests/ControlTestSupport.h"

#include "platform/base/MessageBox.h"
#include "platform/gdi/SysColors.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using Colour = ValidationColour;

TEST(InputTypeTest, EachTypeLetsItsOwnCharactersThrough)
{
    struct Case {
        int type;
        const wchar_t* allowed;
        const wchar_t* refused;
        bool rangeCheck;
    };
    const Case cases[] = {
        { InputAlphaNumeric, L" aZ09", L"-.!_\u00E9", false },
        { InputAlpha, L" az", L"0.-", false },
        { InputDecimal, L"0123456789", L"-+. a", true },
        { InputSignedDecimal, L"-+09", L". e", true },
        { InputHexadecimal, L"09afAF", L"gG -x", true },
        { InputOctal, L"07", L"89", true },
        { InputBinary, L"01", L"2", true },
        { InputFloat, L"09+-.Ee", L"f ,", true },
        // U+0131 and U+0130 share their low 8 bits with "1" and "0": never taken for them.
        { InputDecimal, L"", L"\u0131\u0130\u0100", true },
    };
    for (const Case& c : cases) {
        ValidationRules rules;
        ASSERT_TRUE(rules.SetInputType(c.type, nullptr));
        EXPECT_EQ(rules.rangeCheck, c.rangeCheck);
        EXPECT_FALSE(rules.allCharacters);
        for (const wchar_t* a = c.allowed; *a; ++a)
            EXPECT_TRUE(rules.MayType(*a)) << c.type << " " << static_cast<int>(*a);
        for (const wchar_t* r = c.refused; *r; ++r)
            EXPECT_FALSE(rules.MayType(*r)) << c.type << " " << static_cast<int>(*r);
        EXPECT_TRUE(rules.MayType(L'\b')) << "control characters always pass";
    }
}

TEST(InputTypeTest, CustomAnythingAndBadTypes)
{
    ValidationRules rules;
    ASSERT_TRUE(rules.SetInputType(InputCustom, L"xy\u0178"));
    EXPECT_TRUE(rules.MayType(L'x'));
    EXPECT_FALSE(rules.MayType(L'z'));
    EXPECT_FALSE(rules.MayType(L'\u0178')) << "characters above 255 cannot be marked";
    EXPECT_FALSE(rules.MayType(L'x' + 0x100));

    ASSERT_TRUE(rules.SetInputType(InputAnything, nullptr));
    EXPECT_TRUE(rules.allCharacters);
    EXPECT_TRUE(rules.MayType(L'\u0131'));

    for (int bad : { -1, 10, 255 }) {
        EXPECT_FALSE(rules.SetInputType(bad, nullptr));
        EXPECT_EQ(rules.inputType, InputAnything) << "a refused type changes nothing";
        EXPECT_TRUE(rules.allCharacters);
    }
    // Custom without characters clears the table but keeps the type.
    ASSERT_TRUE(rules.SetInputType(InputCustom, nullptr));
    EXPECT_EQ(rules.inputType, InputAnything);
    EXPECT_FALSE(rules.MayType(L'a'));
}

TEST(RangeTestTest, EachTypeHasItsLimits)
{
    struct Case {
        int type;
        const wchar_t* text;
        bool out;
    };
    const std::wstring ones32(32, L'1'), ones33(33, L'1');
    const Case cases[] = {
        { InputDecimal, L"4294967295", false },
        { InputDecimal, L"4294967296", true },
        { InputDecimal, L"000000000000004294967295", false }, // leading zeros do not count
        { InputDecimal, L"123456789012", true }, // 12 digits: out without being read
        { InputSignedDecimal, L"-2147483648", false },
        { InputSignedDecimal, L"2147483648", true },
        { InputSignedDecimal, L"+2147483647", false },
        { InputHexadecimal, L"FFFFFFFF", false },
        { InputHexadecimal, L"00FFFFFFFF", false },
        { InputHexadecimal, L"1FFFFFFFF", true },
        { InputOctal, L"37777777777", false },
        { InputOctal, L"40000000000", true },
        { InputOctal, L"100000000000", true }, // 12 digits are always too many
        { InputOctal, L"7777777777", false },
        { InputBinary, ones32.c_str(), false },
        { InputBinary, ones33.c_str(), true },
        { InputFloat, L"1e308", false },
        { InputFloat, L"1e999", true },
        { InputFloat, L"-1e999", true },
        { InputFloat, L"1e-999", true }, // underflow to 0 from non-zero digits
        { InputFloat, L"0.000", false },
        { InputFloat, L"", false },
        { InputAlpha, L"anything", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsOutOfRange(c.type, c.text), c.out) << c.type << " " << CString(c.text).GetLength();
}

struct ValidationCase {
    int type;
    const wchar_t* text;
    int state;
    Colour colour;
    bool valid;
    std::function<void(ValidationRules&)> tweak = {};
};

void CheckValidation(const ValidationCase& c)
{
    ValidationRules rules;
    rules.SetInputType(c.type, nullptr);
    rules.minLength = 1;
    rules.maxLength = 16;
    if (c.tweak)
        c.tweak(rules);
    const ValidationOutcome out = ValidateText(rules, c.text, StateEmpty);
    EXPECT_EQ(out.state, c.state) << "type " << c.type << " text of " << CString(c.text).GetLength();
    EXPECT_EQ(out.colour, c.colour) << "type " << c.type;
    EXPECT_EQ(out.syntaxOk && out.lengthOk, c.valid) << "type " << c.type;
}

TEST(ValidationTest, StatesOfTextsAsThePageSetsTheFields)
{
    const ValidationCase cases[] = {
        { InputDecimal, L"", StateValidSyntax, Colour::Valid, false }, // minimum length 1: not valid
        { InputDecimal, L"42", StateValidSyntax, Colour::Valid, true },
        { InputDecimal, L"4x", StateInvalidSyntax, Colour::Invalid, false },
        { InputDecimal, L"4\u0131", StateInvalidSyntax, Colour::Invalid, false },
        { InputDecimal, L"4294967296", StateOutOfRange, Colour::Warning, false },
        { InputFloat, L"", StateEmpty, Colour::Empty, false }, // the state is kept, the colour is empty
        { InputFloat, L"1e", StateIncomplete, Colour::Warning, false },
        { InputFloat, L"1e5", StateValidSyntax, Colour::Valid, true },
        { InputFloat, L" -2.5E-3", StateValidSyntax, Colour::Valid, true },
        { InputFloat, L".", StateIncomplete, Colour::Warning, false },
        { InputFloat, L"1.2.3", StateInvalidSyntax, Colour::Invalid, false },
        { InputFloat, L"1 ", StateInvalidSyntax, Colour::Invalid, false },
        { InputFloat, L"1e999", StateOutOfRange, Colour::Warning, false },
        { InputSignedDecimal, L"-", StateIncomplete, Colour::Warning, false },
        { InputSignedDecimal, L"1-2", StateInvalidSyntax, Colour::Invalid, false },
        { InputSignedDecimal, L"-12", StateValidSyntax, Colour::Valid, true },
        { InputAnything, L"", StateValidSyntax, Colour::Valid, false },
        { InputAnything, L"\u0131 anything", StateValidSyntax, Colour::Valid, true },
    };
    for (const ValidationCase& c : cases)
        CheckValidation(c);
}

TEST(ValidationTest, LengthChecksEmptyTextsAndParentAnswers)
{
    auto lengthCheck = [](ValidationRules& r) {
        r.lengthCheck = true;
        r.minLength = 2;
        r.maxLength = 4;
    };
    auto zeroAllowed = [](ValidationRules& r) { r.zeroLengthAllowed = true; };
    auto noMinimum = [](ValidationRules& r) { r.minLength = 0; };
    auto askParent = [](LRESULT reply, bool state8Valid = false) {
        return [=](ValidationRules& r) {
            r.parentValidation = true;
            r.state8Valid = state8Valid;
            (void)reply;
        };
    };
    const ValidationCase cases[] = {
        { InputDecimal, L"1", StateTooShort, Colour::Warning, false, lengthCheck },
        { InputDecimal, L"12345", StateTooLong, Colour::Warning, false, lengthCheck },
        { InputDecimal, L"123", StateValidSyntax, Colour::Valid, true, lengthCheck },
        { InputDecimal, L"1x", StateInvalidSyntax, Colour::Invalid, false, lengthCheck },
        { InputDecimal, L"1xxxx", StateTooLong, Colour::Warning, false, lengthCheck }, // length wins with lengthCheck
        { InputDecimal, L"", StateEmpty, Colour::Empty, true, zeroAllowed },
        { InputDecimal, L"", StateEmpty, Colour::Empty, false, noMinimum },
        { InputFloat, L"", StateEmpty, Colour::Empty, true, zeroAllowed },
    };
    for (const ValidationCase& c : cases)
        CheckValidation(c);

    struct ParentCase {
        std::optional<LRESULT> reply;
        bool state8Valid;
        int state;
        Colour colour;
        bool valid;
    };
    const ParentCase parentCases[] = {
        // No answer (or 0) leaves the decision to the length test, which passes.
        { std::nullopt, false, StateValidSyntax, Colour::Valid, true },
        { 0, false, StateValidSyntax, Colour::Valid, true },
        { StateValidSyntax, false, StateValidSyntax, Colour::Valid, true },
        { StateInvalidSyntax, false, StateInvalidSyntax, Colour::Invalid, false },
        { StateTooLong, false, StateTooLong, Colour::Warning, false },
        { StateError8, false, StateError8, Colour::Error8, false },
        { StateError8, true, StateError8, Colour::Error8, true },
        { StateError9, false, StateError9, Colour::Error9, false },
        { 42, false, StateNone, Colour::Empty, false },
    };
    for (const ParentCase& c : parentCases) {
        ValidationRules rules;
        rules.SetInputType(InputDecimal, nullptr);
        askParent(0, c.state8Valid)(rules);
        rules.minLength = 1;
        const ValidationOutcome out = ValidateText(rules, L"123", StateEmpty, c.reply);
        EXPECT_EQ(out.state, c.state) << (c.reply ? *c.reply : -1);
        EXPECT_EQ(out.colour, c.colour) << (c.reply ? *c.reply : -1);
        EXPECT_EQ(out.syntaxOk && out.lengthOk, c.valid) << (c.reply ? *c.reply : -1);
    }
}

// A parent that records the private messages and may answer the query.
class ValidationParent : public CWnd {
public:
    struct Message {
        UINT message;
        ValidationNotify notify;
        LPARAM lParam;
        std::wstring queryText;
    };
    std::vector<Message> messages;
    std::vector<UINT> commands;
    LRESULT queryReply = StateValidSyntax;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_VALIDATION_QUERY && message <= WM_VALIDATION_CHANGED) {
            const bool query = message == WM_VALIDATION_QUERY;
            messages.push_back({ message, *reinterpret_cast<const ValidationNotify*>(wParam), lParam,
                query ? reinterpret_cast<const wchar_t*>(lParam) : L"" });
            return message == WM_VALIDATION_QUERY ? queryReply : 0;
        }
        if (message == WM_COMMAND)
            commands.push_back(HIWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ValidEditTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 500, 300, main.m_hWnd, nullptr));
        ASSERT_TRUE(edit.Create(L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 210, 34), &parent, 31));
        // As the calculator page sets its fields.
        edit.SetLengthRange(1, 16);
        edit.SetInputType(InputFloat);
        edit.Revalidate(TRUE);
        edit.SetFocus();
        previousBox = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t* caption, UINT type) {
            boxes.push_back({ text, caption ? caption : L"", type });
            return IDOK;
        });
        Pump();
        parent.messages.clear();
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        SetMessageBoxHandler(std::move(previousBox));
        ControlTest::TearDown();
    }
    COLORREF Back() { return PixelAt(edit, 190, 10); }
    std::vector<UINT> ParentMessages()
    {
        std::vector<UINT> list;
        for (const auto& m : parent.messages)
            list.push_back(m.message);
        return list;
    }
    void TypeKeys(const std::wstring& keys)
    {
        for (wchar_t key : keys) {
            headless->InjectKey(key >= L'a' ? key - 32 : key, true, std::wstring(1, key));
            headless->InjectKey(key >= L'a' ? key - 32 : key, false);
        }
        Pump();
    }

    struct Box {
        std::wstring text, caption;
        UINT type;
    };
    std::vector<Box> boxes;
    MessageBoxHandler previousBox;
    ValidationParent parent;
    CVisValidEdit edit;
};

TEST_F(ValidEditTest, TheBackgroundShowsTheStateOfTheText)
{
    struct Case {
        const wchar_t* text;
        int state;
        COLORREF back;
    };
    const Case cases[] = {
        { L"", StateEmpty, RGB(0xFF, 0xC4, 0xC4) },
        { L"1e", StateIncomplete, RGB(0xFF, 0xFF, 0x80) },
        { L"1e5", StateValidSyntax, GetSysColor(COLOR_WINDOW) },
        { L"1.2.3", StateInvalidSyntax, RGB(0xFC, 0x84, 0x84) },
        { L"1e999", StateOutOfRange, RGB(0xFF, 0xFF, 0x80) },
    };
    for (const Case& c : cases) {
        edit.SetWindowText(c.text);
        Pump();
        EXPECT_EQ(edit.State(), c.state);
        EXPECT_EQ(Back(), c.back) << edit.StateName(edit.State()).GetLength();
    }
    edit.EnableWindow(FALSE);
    Pump();
    EXPECT_NE(Back(), RGB(0xFF, 0xFF, 0x80)) << "a disabled field has the default colours";
}

TEST_F(ValidEditTest, EveryChangeIsPostedAndAFlipOfValidityIsSent)
{
    edit.SetWindowText(L"2");
    // The flip is sent while the change is handled; the change itself is posted after it.
    EXPECT_EQ(ParentMessages(), (std::vector<UINT> { WM_VALIDITY_CHANGED }));
    Pump();
    ASSERT_EQ(ParentMessages(), (std::vector<UINT> { WM_VALIDITY_CHANGED, WM_VALIDATION_CHANGED }));
    EXPECT_EQ(parent.messages[0].lParam, TRUE);
    EXPECT_EQ(parent.messages[0].notify.window, edit.m_hWnd);
    EXPECT_EQ(parent.messages[0].notify.controlId, 31);
    EXPECT_EQ(parent.messages[1].notify.state, StateValidSyntax);
    EXPECT_EQ(parent.messages[1].lParam, TRUE);
    EXPECT_NE(std::find(parent.commands.begin(), parent.commands.end(), static_cast<UINT>(EN_CHANGE)), parent.commands.end())
        << "the parent still gets EN_CHANGE";

    parent.messages.clear();
    edit.SetWindowText(L"3");
    Pump();
    EXPECT_EQ(ParentMessages(), (std::vector<UINT> { WM_VALIDATION_CHANGED })) << "still valid: no flip";

    parent.messages.clear();
    edit.SetWindowText(L"3e");
    Pump();
    ASSERT_EQ(ParentMessages(), (std::vector<UINT> { WM_VALIDITY_CHANGED, WM_VALIDATION_CHANGED }));
    EXPECT_EQ(parent.messages[0].lParam, FALSE);
}

TEST_F(ValidEditTest, TheParentCanDecideTheState)
{
    edit.Rules().parentValidation = true;
    parent.queryReply = StateError9;
    edit.SetWindowText(L"anything");
    Pump();
    EXPECT_EQ(edit.State(), StateError9);
    EXPECT_EQ(Back(), RGB(0xBE, 0xBE, 0xFF));
    auto query = std::find_if(parent.messages.begin(), parent.messages.end(), [](auto& m) { return m.message == WM_VALIDATION_QUERY; });
    ASSERT_NE(query, parent.messages.end());
    EXPECT_EQ(query->queryText, L"anything");
}

TEST_F(ValidEditTest, RefusedCharactersChangeNothing)
{
    edit.SetInputType(InputDecimal);
    edit.SetWindowText(L"12");
    edit.SendMessage(EM_SETSEL, 2, 2);
    TypeKeys(L"a");
    EXPECT_EQ(std::wstring(edit.GetWindowText()), L"12");
    edit.PostMessage(WM_CHAR, 0x0131, 1);
    Pump();
    EXPECT_EQ(std::wstring(edit.GetWindowText()), L"12");
    TypeKeys(L"3");
    EXPECT_EQ(std::wstring(edit.GetWindowText()), L"123");
}

TEST_F(ValidEditTest, LengthRangeIsClampedOrderedAndLimitsTheText)
{
    struct Case {
        int minimum, maximum;
        int expectedMinimum, expectedMaximum;
    };
    const Case cases[] = { { 1, 8, 1, 8 }, { 8, 1, 1, 8 }, { -5, 70000, 0, 65535 }, { 70000, 3, 0, 3 } };
    for (const Case& c : cases) {
        edit.SetLengthRange(c.minimum, c.maximum);
        EXPECT_EQ(edit.Rules().minLength, c.expectedMinimum);
        EXPECT_EQ(edit.Rules().maxLength, c.expectedMaximum);
        EXPECT_EQ(edit.SendMessage(EM_GETLIMITTEXT), c.expectedMaximum);
    }
}

TEST_F(ValidEditTest, TheContextMenuNamesTheStateAndEnablesWhatApplies)
{
    edit.SetWindowText(L"1e");
    Pump();
    HMENU menu = edit.BuildContextMenu();
    ASSERT_EQ(GetMenuItemCount(menu), 11);
    wchar_t name[64];
    GetMenuStringW(menu, 0, name, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(name), L"INCOMPETE");
    struct Item {
        UINT id;
        bool grayed;
    };
    const Item nothingSelected[] = { { CVisValidEdit::ID_STATE_INFO, false }, { CVisValidEdit::ID_EDIT_CUT_ITEM, true },
        { CVisValidEdit::ID_EDIT_COPY_ITEM, true }, { CVisValidEdit::ID_EDIT_PASTE_ITEM, false },
        { CVisValidEdit::ID_EDIT_DELETE_ITEM, true }, { CVisValidEdit::ID_EDIT_SELECT_ALL_ITEM, false } };
    for (const Item& item : nothingSelected)
        EXPECT_EQ((GetMenuState(menu, item.id, MF_BYCOMMAND) & MF_GRAYED) != 0, item.grayed) << item.id;
    DestroyMenu(menu);

    edit.SendMessage(EM_SETSEL, 0, 1);
    menu = edit.BuildContextMenu();
    for (UINT id : { CVisValidEdit::ID_EDIT_CUT_ITEM, CVisValidEdit::ID_EDIT_COPY_ITEM, CVisValidEdit::ID_EDIT_DELETE_ITEM })
        EXPECT_FALSE(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(menu);

    edit.SetWindowText(L"");
    menu = edit.BuildContextMenu();
    EXPECT_TRUE(GetMenuState(menu, CVisValidEdit::ID_EDIT_SELECT_ALL_ITEM, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(menu);
}

TEST_F(ValidEditTest, ChoosingTheStateShowsTheRules)
{
    std::vector<unsigned> keys { VK_DOWN, VK_RETURN };
    size_t next = 0;
    SetModalLoopHook([&](HWND) {
        if (next < keys.size()) {
            headless->InjectKey(keys[next], true);
            headless->InjectKey(keys[next++], false);
        }
    });
    CRect rect;
    edit.GetWindowRect(&rect);
    edit.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit.m_hWnd), MAKELPARAM(rect.left + 5, rect.top + 5));
    Pump();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Information");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(boxes[0].text, std::wstring(edit.TypeInfo(InputFloat)) + L"\nZero length input is not allowed.\nText input is limited to 16 characters.");
    EXPECT_EQ(boxes[0].text.rfind(L"FLOATING POINT INPUT\n", 0), 0u);

    struct Case {
        std::function<void()> setup;
        std::wstring tail;
    };
    const Case cases[] = {
        { [&] { edit.SetLengthRange(0, 1); }, L"\nZero length input is not allowed.\nText input is limited to 1 character." },
        { [&] { edit.Rules().zeroLengthAllowed = true; edit.Rules().lengthCheck = true; edit.SetLengthRange(2, 9); },
            L"\nZero length input is allowed.\nMinimum length = 2, Maximum length = 9." },
    };
    for (const Case& c : cases) {
        c.setup();
        EXPECT_EQ(std::wstring(edit.InformationText()), std::wstring(edit.TypeInfo(InputFloat)) + c.tail);
    }
    edit.Rules().plain = true;
    EXPECT_EQ(std::wstring(edit.InformationText()), L"All characters are allowed in any combination.");
}

TEST_F(ValidEditTest, SelectAllFromTheMenuSelectsTheText)
{
    edit.SetWindowText(L"12.5");
    edit.SendMessage(WM_COMMAND, CVisValidEdit::ID_EDIT_SELECT_ALL_ITEM);
    DWORD start = 9, end = 9;
    edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 4u);
    edit.SendMessage(WM_COMMAND, CVisValidEdit::ID_EDIT_DELETE_ITEM);
    EXPECT_EQ(std::wstring(edit.GetWindowText()), L"");
    edit.SendMessage(WM_COMMAND, CVisValidEdit::ID_EDIT_UNDO_ITEM);
    EXPECT_EQ(std::wstring(edit.GetWindowText()), L"12.5");
}

}
