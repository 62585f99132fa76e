#include "UserTestSupport.h"

#include <cstring>
#include <cwctype>

namespace {

constexpr int kEditId = 1001;
constexpr int kShift = 1, kControl = 2;
constexpr DWORD kSingleLine = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kMultiLine = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;

class Edit : public UserTest {
protected:
    HWND MakeEdit(DWORD style = kSingleLine, const wchar_t* text = L"", RECT r = { 10, 10, 160, 33 }, DWORD exStyle = WS_EX_CLIENTEDGE)
    {
        parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 500, 400 });
        HWND edit = CreateWindowExW(exStyle, L"Edit", text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId)), nullptr, nullptr);
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        Pump();
        return edit;
    }

    static std::wstring TextOf(HWND edit)
    {
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    static std::pair<int, int> SelectionOf(HWND edit)
    {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return { static_cast<int>(start), static_cast<int>(end) };
    }

    // The edit's notifications to its parent, in order.
    std::vector<WORD> Notifications(HWND edit) const
    {
        std::vector<WORD> codes;
        for (const auto& entry : MessageLog::Instance().entries) {
            if (entry.window == parent && entry.message == WM_COMMAND && reinterpret_cast<HWND>(entry.lParam) == edit)
                codes.push_back(HIWORD(entry.wParam));
        }
        return codes;
    }

    void Press(unsigned virtualKey, int modifiers = 0, std::wstring text = {})
    {
        if (modifiers & kShift)
            headless->InjectKey(VK_SHIFT, true);
        if (modifiers & kControl)
            headless->InjectKey(VK_CONTROL, true);
        headless->InjectKey(virtualKey, true, std::move(text));
        headless->InjectKey(virtualKey, false);
        if (modifiers & kControl)
            headless->InjectKey(VK_CONTROL, false);
        if (modifiers & kShift)
            headless->InjectKey(VK_SHIFT, false);
        Pump();
    }

    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
            Press(std::iswalnum(c) ? static_cast<unsigned>(std::towupper(c)) : VK_OEM_PLUS, 0, std::wstring(1, c));
    }

    void ClipboardHolds(const wchar_t* text)
    {
        size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(memory), text, bytes);
        GlobalUnlock(memory);
        OpenClipboard(nullptr);
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }

    static std::wstring ClipboardText()
    {
        OpenClipboard(nullptr);
        std::wstring text;
        if (HANDLE memory = GetClipboardData(CF_UNICODETEXT))
            text = static_cast<const wchar_t*>(GlobalLock(memory));
        CloseClipboard();
        return text;
    }

    static POINT CharPoint(HWND edit, int position)
    {
        auto packed = static_cast<DWORD>(SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(position), 0));
        return { static_cast<SHORT>(LOWORD(packed)), static_cast<SHORT>(HIWORD(packed)) };
    }

    void Drag(HWND edit, POINT from, POINT to, int buttons = 1)
    {
        headless->InjectMouseMove(ScreenPoint(edit, from.x, from.y));
        headless->InjectButton(buttons, true, ScreenPoint(edit, from.x, from.y));
        headless->InjectMouseMove(ScreenPoint(edit, to.x, to.y));
        headless->InjectButton(buttons, false, ScreenPoint(edit, to.x, to.y));
        Pump();
    }

    HWND parent = nullptr;
};

TEST_F(Edit, CreatesWithItsTextAndDefaults)
{
    HWND edit = MakeEdit(kSingleLine, L"1+2");
    ASSERT_TRUE(edit);
    wchar_t className[16] {};
    GetClassNameW(edit, className, 16);
    EXPECT_STREQ(className, L"Edit");
    EXPECT_EQ(TextOf(edit), L"1+2");
    EXPECT_EQ(SelectionOf(edit), std::make_pair(0, 0));
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 32767);
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(SendMessageW(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
    // A short buffer gets what fits and a null.
    wchar_t buffer[3];
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 2);
    EXPECT_STREQ(buffer, L"1+");
}

TEST_F(Edit, NotifiesUpdateBeforeThePaintAndChangeAfter)
{
    struct Case {
        const char* name;
        DWORD style;
        std::function<void(HWND)> action;
        std::vector<std::string> expected;
    } cases[] = {
        { "typing", kSingleLine, [this](HWND) { Type(L"7"); }, { "update", "paint", "change" } },
        { "WM_SETTEXT", kSingleLine, [](HWND e) { SetWindowTextW(e, L"x"); }, { "update", "paint", "change" } },
        { "WM_SETTEXT multi-line", kMultiLine, [](HWND e) { SetWindowTextW(e, L"x"); }, { "update", "paint" } },
        { "EM_REPLACESEL", kSingleLine, [](HWND e) { SendMessageW(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"y")); }, { "update", "paint", "change" } },
        { "EM_SETSEL", kSingleLine, [](HWND e) { SendMessageW(e, EM_SETSEL, 0, -1); }, { "paint" } },
        { "focus", kSingleLine, [](HWND e) { SetFocus(e); SetFocus(nullptr); }, { "setfocus", "killfocus" } },
        { "over the limit", kSingleLine, [this](HWND e) { SendMessageW(e, EM_SETLIMITTEXT, 3, 0); Type(L"9"); }, { "maxtext" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit(c.style, L"abc");
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 3, 3);
        Pump();
        if (std::string(c.name) == "focus")
            SetFocus(nullptr);
        Pump();
        MessageLog::Instance().entries.clear();
        c.action(edit);
        Pump();
        std::vector<std::string> seen;
        for (const auto& entry : MessageLog::Instance().entries) {
            if (entry.window != parent)
                continue;
            if (entry.message == WM_CTLCOLOREDIT && (seen.empty() || seen.back() != "paint"))
                seen.push_back("paint");
            if (entry.message != WM_COMMAND || reinterpret_cast<HWND>(entry.lParam) != edit)
                continue;
            EXPECT_EQ(LOWORD(entry.wParam), kEditId);
            switch (HIWORD(entry.wParam)) {
            case EN_UPDATE: seen.push_back("update"); break;
            case EN_CHANGE: seen.push_back("change"); break;
            case EN_SETFOCUS: seen.push_back("setfocus"); break;
            case EN_KILLFOCUS: seen.push_back("killfocus"); break;
            case EN_MAXTEXT: seen.push_back("maxtext"); break;
            default: seen.push_back("other"); break;
            }
        }
        EXPECT_EQ(seen, c.expected);
        DestroyWindow(parent);
    }
}

struct KeyStroke {
    unsigned key;
    int modifiers = 0;
    std::wstring text = {};
};

TEST_F(Edit, KeysMoveSelectAndEdit)
{
    struct Case {
        const char* name;
        DWORD style;
        const wchar_t* text;
        int anchor, caret;
        std::vector<KeyStroke> keys;
        const wchar_t* expected;
        std::pair<int, int> selection;
    } cases[] = {
        { "left", kSingleLine, L"sin(x)", 3, 3, { { VK_LEFT } }, L"sin(x)", { 2, 2 } },
        { "left collapses a selection", kSingleLine, L"sin(x)", 1, 4, { { VK_LEFT } }, L"sin(x)", { 1, 1 } },
        { "shift+right extends", kSingleLine, L"sin(x)", 1, 1, { { VK_RIGHT, kShift }, { VK_RIGHT, kShift } }, L"sin(x)", { 1, 3 } },
        { "ctrl+right by word", kSingleLine, L"a + bc", 0, 0, { { VK_RIGHT, kControl }, { VK_RIGHT, kControl } }, L"a + bc", { 4, 4 } },
        { "ctrl+shift+left", kSingleLine, L"a + bc", 6, 6, { { VK_LEFT, kControl | kShift } }, L"a + bc", { 4, 6 } },
        { "home and end", kSingleLine, L"abc", 1, 1, { { VK_END }, { VK_HOME, kShift } }, L"abc", { 0, 3 } },
        { "up and down in one line", kSingleLine, L"abc", 1, 1, { { VK_DOWN }, { VK_DOWN }, { VK_UP } }, L"abc", { 2, 2 } },
        { "backspace and delete", kSingleLine, L"12345", 2, 2, { { VK_BACK, 0, L"\b" }, { VK_DELETE } }, L"145", { 1, 1 } },
        { "ctrl+backspace", kSingleLine, L"pi * 22", 7, 7, { { VK_BACK, kControl, L"\x7f" } }, L"pi * ", { 5, 5 } },
        { "ctrl+delete", kSingleLine, L"pi * 22", 0, 0, { { VK_DELETE, kControl } }, L"* 22", { 0, 0 } },
        { "typing replaces the selection", kSingleLine, L"2*x", 2, 3, { { 'Y', 0, L"y" } }, L"2*y", { 3, 3 } },
        { "ctrl+a", kSingleLine, L"abc", 1, 1, { { 'A', kControl, L"\x01" } }, L"abc", { 0, 3 } },
        { "ctrl+z undoes the typing", kSingleLine, L"ab", 2, 2, { { 'C', 0, L"c" }, { 'D', 0, L"d" }, { 'Z', kControl, L"\x1a" } }, L"ab", { 2, 2 } },
        { "enter in one line does nothing", kSingleLine, L"ab", 2, 2, { { VK_RETURN, 0, L"\r" } }, L"ab", { 2, 2 } },
        { "enter breaks a line", kMultiLine, L"ab", 1, 1, { { VK_RETURN, 0, L"\r" } }, L"a\r\nb", { 3, 3 } },
        { "tab in many lines", kMultiLine, L"ab", 1, 1, { { VK_TAB, 0, L"\t" } }, L"a\tb", { 2, 2 } },
        { "down keeps the column", kMultiLine, L"abc\r\nxyz", 1, 1, { { VK_DOWN } }, L"abc\r\nxyz", { 6, 6 } },
        { "end of line", kMultiLine, L"abc\r\nxyz", 1, 1, { { VK_END } }, L"abc\r\nxyz", { 3, 3 } },
        { "ctrl+end", kMultiLine, L"abc\r\nxyz", 1, 1, { { VK_END, kControl } }, L"abc\r\nxyz", { 8, 8 } },
        { "backspace joins lines", kMultiLine, L"ab\r\ncd", 4, 4, { { VK_BACK, 0, L"\b" } }, L"abcd", { 2, 2 } },
        { "read-only ignores typing", kSingleLine | ES_READONLY, L"ab", 2, 2, { { 'C', 0, L"c" }, { VK_BACK, 0, L"\b" } }, L"ab", { 2, 2 } },
        { "number takes digits only", kSingleLine | ES_NUMBER, L"", 0, 0, { { '1', 0, L"1" }, { 'X', 0, L"x" }, { '2', 0, L"2" } }, L"12", { 2, 2 } },
        { "uppercase", kSingleLine | ES_UPPERCASE, L"", 0, 0, { { 'E', 0, L"e" } }, L"E", { 1, 1 } },
        { "lowercase", kSingleLine | ES_LOWERCASE, L"", 0, 0, { { 'E', kShift, L"E" } }, L"e", { 1, 1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit(c.style, c.text, { 10, 10, 200, 80 });
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(c.anchor), c.caret);
        for (const KeyStroke& stroke : c.keys)
            Press(stroke.key, stroke.modifiers, stroke.text);
        EXPECT_EQ(TextOf(edit), c.expected);
        EXPECT_EQ(SelectionOf(edit), c.selection);
        DestroyWindow(parent);
    }
}

TEST_F(Edit, TheClipboardKeysAndMessages)
{
    struct Case {
        const char* name;
        DWORD style;
        std::function<void(HWND)> action;
        const wchar_t* expectedText;
        const wchar_t* expectedClipboard;
    } cases[] = {
        { "ctrl+c", kSingleLine, [this](HWND) { Press('C', kControl, L"\x03"); }, L"12+34", L"+3" },
        { "ctrl+insert", kSingleLine, [this](HWND) { Press(VK_INSERT, kControl); }, L"12+34", L"+3" },
        { "ctrl+x", kSingleLine, [this](HWND) { Press('X', kControl, L"\x18"); }, L"124", L"+3" },
        { "shift+delete", kSingleLine, [this](HWND) { Press(VK_DELETE, kShift); }, L"124", L"+3" },
        { "ctrl+v", kSingleLine, [this](HWND) { Press('V', kControl, L"\x16"); }, L"12old4", L"old" },
        { "shift+insert", kSingleLine, [this](HWND) { Press(VK_INSERT, kShift); }, L"12old4", L"old" },
        { "WM_CLEAR", kSingleLine, [](HWND e) { SendMessageW(e, WM_CLEAR, 0, 0); }, L"124", L"old" },
        { "WM_CUT read-only", kSingleLine | ES_READONLY, [](HWND e) { SendMessageW(e, WM_CUT, 0, 0); }, L"12+34", L"old" },
        { "WM_COPY read-only", kSingleLine | ES_READONLY, [](HWND e) { SendMessageW(e, WM_COPY, 0, 0); }, L"12+34", L"+3" },
        { "WM_PASTE read-only", kSingleLine | ES_READONLY, [](HWND e) { SendMessageW(e, WM_PASTE, 0, 0); }, L"12+34", L"old" },
        { "password copies nothing", kSingleLine | ES_PASSWORD, [](HWND e) { SendMessageW(e, WM_COPY, 0, 0); SendMessageW(e, WM_CUT, 0, 0); }, L"12+34", L"old" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit(c.style, L"12+34");
        ClipboardHolds(L"old");
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 2, 4);
        c.action(edit);
        Pump();
        EXPECT_EQ(TextOf(edit), c.expectedText);
        EXPECT_EQ(ClipboardText(), c.expectedClipboard);
        DestroyWindow(parent);
    }
}

TEST_F(Edit, PastedLineEndsFitTheControl)
{
    struct Case {
        DWORD style;
        const wchar_t* pasted;
        const wchar_t* expected;
    } cases[] = {
        { kSingleLine, L"first\r\nsecond", L"first" },
        { kSingleLine, L"first\nsecond", L"first" },
        { kMultiLine, L"a\nb\rc\r\nd", L"a\r\nb\r\nc\r\nd" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pasted);
        HWND edit = MakeEdit(c.style);
        ClipboardHolds(c.pasted);
        SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(TextOf(edit), c.expected);
        DestroyWindow(parent);
    }
}

// Once another program has taken the clipboard, the field's own earlier copy is the clipboard no
// longer: a paste takes that program's text when it comes within the wait, and otherwise
// nothing, leaving the field as it was.
TEST_F(Edit, APasteTakesOnlyWhatTheClipboardsHolderGivesInTime)
{
    const auto otherProgram = [this](std::optional<std::string> text, std::optional<std::uint32_t> answerAfterMs) {
        return [=, this] { headless->GiveSelectionToAnotherProgram(SelectionKind::Clipboard, text, answerAfterMs); };
    };
    struct Case {
        const char* name;
        std::function<void()> takeTheClipboard;
        const wchar_t* expected;
    } cases[] = {
        { "and went away", [this] { headless->LetSelectionGo(SelectionKind::Clipboard); }, L"5" },
        { "offering no text", otherProgram(std::nullopt, 0), L"5" },
        { "never answering", otherProgram("222", std::nullopt), L"5" },
        { "answering too late", otherProgram("222", kSelectionWaitLimitMs + 1), L"5" },
        { "answering in time", otherProgram("222", kSelectionWaitLimitMs - 1), L"5222" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit();
        SetFocus(edit);
        Type(L"111");
        Press('A', kControl, L"\x01");
        Press('C', kControl, L"\x03");
        c.takeTheClipboard();
        Press('A', kControl, L"\x01");
        Type(L"5");
        const std::uint32_t before = headless->Now();
        Press('V', kControl, L"\x16");
        EXPECT_EQ(TextOf(edit), c.expected);
        EXPECT_LE(headless->Now() - before, kSelectionWaitLimitMs) << "the paste waited past its bound";
        DestroyWindow(parent);
    }
}

// While a paste waits for a holder that never answers, Esc gives the wait up at once; a key typed
// meanwhile reaches the field after the wait, which left the field as it was.
TEST_F(Edit, EscEndsAPastesWaitAndAKeyTypedMeanwhileFollowsIt)
{
    HWND edit = MakeEdit(kSingleLine, L"5");
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 1, 1);
    headless->GiveSelectionToAnotherProgram(SelectionKind::Clipboard, "222", std::nullopt);
    for (bool escape : { false, true }) {
        SCOPED_TRACE(escape ? "Esc" : "the wait's end");
        headless->InjectKey(VK_CONTROL, true);
        headless->InjectKey('V', true, L"\x16");
        headless->InjectKey('V', false);
        headless->InjectKey(VK_CONTROL, false);
        if (escape) {
            headless->InjectKey(VK_ESCAPE, true, L"\x1b");
            headless->InjectKey(VK_ESCAPE, false);
        }
        headless->InjectKey('7', true, L"7");
        headless->InjectKey('7', false);
        const std::uint32_t before = headless->Now();
        Pump();
        EXPECT_EQ(headless->Now() - before, escape ? 0u : kSelectionWaitLimitMs);
    }
    EXPECT_EQ(TextOf(edit), L"577");
}

TEST_F(Edit, TheLimitHoldsForUserAndReplaceSelButNotSetText)
{
    HWND edit = MakeEdit(kSingleLine, L"12");
    SendMessageW(edit, EM_SETLIMITTEXT, 4, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 4);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 2, 2);
    ClipboardHolds(L"345");
    MessageLog::Instance().entries.clear();
    Press('V', kControl, L"\x16");
    EXPECT_EQ(TextOf(edit), L"1234");
    EXPECT_EQ(Notifications(edit), (std::vector<WORD> { EN_MAXTEXT, EN_UPDATE, EN_CHANGE }));
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
    EXPECT_EQ(TextOf(edit), L"1234");
    SetWindowTextW(edit, L"longer than four");
    EXPECT_EQ(TextOf(edit), L"longer than four");
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

// Without ES_AUTOHSCROLL a single-line edit takes no more than its width shows, and without
// ES_AUTOVSCROLL a multi-line edit no more lines than its height shows.
TEST_F(Edit, WithoutAutoScrollTheViewIsTheLimit)
{
    struct Case {
        const char* name;
        DWORD style;
        std::wstring typed;
    } cases[] = {
        { "one line", WS_CHILD | WS_VISIBLE, L"1234567890123456" },
        { "many lines", WS_CHILD | WS_VISIBLE | ES_MULTILINE, L"1\r2\r3\r4\r5\r6\r7\r8" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit(c.style, L"", { 10, 10, 50, 50 });
        SetFocus(edit);
        MessageLog::Instance().entries.clear();
        Type(c.typed);
        std::wstring text = TextOf(edit);
        EXPECT_GT(text.size(), 2u);
        EXPECT_LT(text.size(), c.typed.size());
        EXPECT_EQ(Notifications(edit).back(), EN_MAXTEXT);
        RECT format;
        SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        POINT end = CharPoint(edit, static_cast<int>(text.size()));
        EXPECT_LT(end.x, format.right);
        EXPECT_LT(end.y, format.bottom); // the last line starts inside
        EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0); // nothing scrolled
        DestroyWindow(parent);
    }
}

TEST_F(Edit, UndoMessagesSwapTheLastChange)
{
    HWND edit = MakeEdit(kSingleLine, L"abc");
    SendMessageW(edit, EM_SETSEL, 0, 3);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"xyz"));
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(SendMessageW(edit, EM_UNDO, 0, 0));
    EXPECT_EQ(TextOf(edit), L"abc");
    EXPECT_EQ(SelectionOf(edit), std::make_pair(0, 3));
    SendMessageW(edit, WM_UNDO, 0, 0);
    EXPECT_EQ(TextOf(edit), L"xyz");
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"!"));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
}

// Null pointers, out-of-range indexes and a control too small to show a character get the
// documented answers and change nothing.
TEST_F(Edit, BadArgumentsAreAnsweredSafely)
{
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT expected;
    } cases[] = {
        { "EM_GETLINE without a buffer", EM_GETLINE, 0, 0, 0 },
        { "EM_GETLINE past the last line", EM_GETLINE, 99, 0, 0 },
        { "EM_GETSEL without pointers", EM_GETSEL, 0, 0, MAKELRESULT(1, 2) },
        { "EM_LINEINDEX past the last line", EM_LINEINDEX, 5, 0, -1 },
        { "EM_LINELENGTH past the end", EM_LINELENGTH, 999, 0, 7 },
        { "EM_LINEFROMCHAR past the end", EM_LINEFROMCHAR, 999, 0, 1 },
        { "EM_POSFROMCHAR before the start", EM_POSFROMCHAR, static_cast<WPARAM>(-3), 0, -1 },
        { "EM_REPLACESEL without text", EM_REPLACESEL, TRUE, 0, 0 },
        { "EM_GETRECT without a rectangle", EM_GETRECT, 0, 0, 0 },
        { "WM_GETTEXT into no room", WM_GETTEXT, 0, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit(kMultiLine, L"12345\r\nsecond!", { 10, 10, 200, 80 });
        SendMessageW(edit, EM_SETSEL, 1, 2);
        EXPECT_EQ(SendMessageW(edit, c.message, c.wParam, c.lParam), c.expected);
        EXPECT_EQ(TextOf(edit), L"12345\r\nsecond!");
        DestroyWindow(parent);
    }
    // An edit with no room for a character still takes text, one character a line.
    HWND tiny = MakeEdit(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, L"", { 10, 10, 12, 12 });
    SetFocus(tiny);
    Type(L"abc");
    EXPECT_EQ(TextOf(tiny), L"abc");
    EXPECT_EQ(SendMessageW(tiny, EM_GETLINECOUNT, 0, 0), 3);
    DestroyWindow(parent);

    HWND edit = MakeEdit(kSingleLine, L"abc");
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(500, 500));
    SendMessageW(edit, EM_SETRECT, 0, 0); // back to the client area less the margins
    SetWindowTextW(edit, nullptr);
    EXPECT_EQ(TextOf(edit), L"");
    SetFocus(edit);
    Type(L"xy");
    EXPECT_EQ(TextOf(edit), L"xy");
}

TEST_F(Edit, SetSelTakesItsSpecialValues)
{
    struct Case {
        int start, end;
        std::pair<int, int> selection;
    } cases[] = { { 1, 3, { 1, 3 } }, { 3, 1, { 1, 3 } }, { 0, -1, { 0, 5 } }, { 2, 99, { 2, 5 } }, { -1, 0, { 4, 4 } } };
    HWND edit = MakeEdit(kSingleLine, L"abcde");
    for (const Case& c : cases) {
        SendMessageW(edit, EM_SETSEL, 4, 4);
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(c.start), c.end);
        EXPECT_EQ(SelectionOf(edit), c.selection) << c.start << ", " << c.end;
    }
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_SETSEL, 1, 2);
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)), MAKELRESULT(1, 2));
}

TEST_F(Edit, MultiLineMessages)
{
    HWND edit = MakeEdit(kMultiLine, L"first\r\nsecond line\r\n\r\nlast", { 10, 10, 200, 80 });
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 4);
    struct Case {
        int line, index, length;
        const wchar_t* text;
    } cases[] = { { 0, 0, 5, L"first" }, { 1, 7, 11, L"second line" }, { 2, 20, 0, L"" }, { 3, 22, 4, L"last" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(c.line), 0), c.index);
        EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, static_cast<WPARAM>(c.index), 0), c.length);
        EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(c.index), 0), c.line);
        wchar_t buffer[32] {};
        WORD size = 32;
        std::memcpy(buffer, &size, sizeof size);
        EXPECT_EQ(SendMessageW(edit, EM_GETLINE, static_cast<WPARAM>(c.line), reinterpret_cast<LPARAM>(buffer)), c.length);
        EXPECT_EQ(std::wstring(buffer, static_cast<size_t>(c.length)), c.text);
    }
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 4, 0), -1);
    SendMessageW(edit, EM_SETSEL, 9, 9);
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(-1), 0), 7);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1);
    SendMessageW(edit, EM_SETSEL, 2, 9); // "rst" and "se" selected: "fi" and "cond line" are not
    EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, static_cast<WPARAM>(-1), 0), 2 + 9);
    // A short buffer gets the start of the line.
    wchar_t buffer[8] {};
    WORD size = 3;
    std::memcpy(buffer, &size, sizeof size);
    EXPECT_EQ(SendMessageW(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_EQ(std::wstring(buffer, 3), L"sec");
}

TEST_F(Edit, MultiLineWrapsWordsAtTheRightEdge)
{
    HWND edit = MakeEdit(WS_CHILD | WS_VISIBLE | ES_MULTILINE, L"alpha beta gamma delta", { 10, 10, 80, 120 });
    int lines = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    EXPECT_GT(lines, 1);
    RECT format;
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    for (int line = 0; line < lines; ++line) {
        int start = static_cast<int>(SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
        EXPECT_EQ(CharPoint(edit, start).x, format.left) << line;
        if (line > 0) {
            EXPECT_EQ(TextOf(edit)[static_cast<size_t>(start) - 1], L' ') << "a word was cut at line " << line;
        }
    }
}

TEST_F(Edit, PositionsAndCharactersRoundTrip)
{
    HWND edit = MakeEdit(kMultiLine, L"12+34\r\nsin(x)", { 10, 10, 200, 80 });
    for (int position : { 0, 2, 5, 7, 10, 13 }) {
        POINT point = CharPoint(edit, position);
        LRESULT found = SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y + 2)));
        EXPECT_EQ(LOWORD(found), position);
        EXPECT_EQ(HIWORD(found), position < 7 ? 0 : 1);
    }
    EXPECT_GT(CharPoint(edit, 7).y, CharPoint(edit, 0).y);
    EXPECT_EQ(SendMessageW(edit, EM_POSFROMCHAR, 14, 0), -1);
}

TEST_F(Edit, MarginsAndTheFormatRectangle)
{
    HWND edit = MakeEdit(kSingleLine, L"abc");
    LRESULT fontMargins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
    EXPECT_GT(LOWORD(fontMargins), 0);
    EXPECT_EQ(LOWORD(fontMargins), HIWORD(fontMargins));
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(7, 9));
    EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(7, 9));
    RECT client, format;
    GetClientRect(edit, &client);
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.left, 7);
    EXPECT_EQ(format.right, client.right - 9);
    EXPECT_EQ(CharPoint(edit, 0).x, 7);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(EC_USEFONTINFO, 0));
    EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(LOWORD(fontMargins), 9));
    RECT wanted { 20, 2, 100, 18 };
    SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&wanted));
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(EqualRect(&format, &wanted));
    EXPECT_EQ(CharPoint(edit, 0).x, 20);
    EXPECT_EQ(CharPoint(edit, 0).y, 2);
}

TEST_F(Edit, AlignmentPlacesTheText)
{
    struct Case {
        DWORD style;
        int expectedLeft; // -1: centred
    } cases[] = { { ES_LEFT, 0 }, { ES_CENTER, -1 }, { ES_RIGHT, -2 } };
    for (const Case& c : cases) {
        HWND edit = MakeEdit(WS_CHILD | WS_VISIBLE | ES_MULTILINE | c.style, L"12", { 10, 10, 110, 40 }, 0);
        SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        int left = CharPoint(edit, 0).x, right = CharPoint(edit, 2).x;
        int width = right - left;
        if (c.expectedLeft == 0)
            EXPECT_EQ(left, 0);
        else if (c.expectedLeft == -1)
            EXPECT_NEAR(left, (100 - width) / 2, 1);
        else
            EXPECT_EQ(right, 99);
        DestroyWindow(parent);
    }
}

TEST_F(Edit, TheMouseSelects)
{
    HWND edit = MakeEdit(kSingleLine, L"sqrt(2) + pi");
    POINT p2 = CharPoint(edit, 2), p9 = CharPoint(edit, 9);
    Click(ScreenPoint(edit, p2.x + 1, 5));
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(SelectionOf(edit), std::make_pair(2, 2));
    POINT caret;
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, p2.x);

    headless->Advance(1000); // not a double click
    Drag(edit, { p2.x + 1, 5 }, { p9.x + 1, 5 });
    EXPECT_EQ(SelectionOf(edit), std::make_pair(2, 9));
    EXPECT_EQ(headless->PrimarySelectionText(), std::string("rt(2) +"));
    EXPECT_EQ(GetCapture(), nullptr);

    // Shift+click moves the far end, the anchor stays.
    headless->InjectKey(VK_SHIFT, true);
    Click(ScreenPoint(edit, CharPoint(edit, 5).x + 1, 5));
    headless->InjectKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(SelectionOf(edit), std::make_pair(2, 5));

    // A double click takes the word and the blank after it.
    headless->Advance(1000);
    POINT word = ScreenPoint(edit, CharPoint(edit, 1).x + 1, 5);
    Click(word);
    Click(word);
    EXPECT_EQ(SelectionOf(edit), std::make_pair(0, 8));
}

TEST_F(Edit, DraggingPastTheEdgeScrollsOnTheTimer)
{
    std::wstring rows;
    for (int row = 0; row < 20; ++row)
        rows += (row ? L"\r\nrow " : L"row ") + std::to_wstring(10 + row);
    struct Case {
        const char* name;
        DWORD style;
        std::wstring text;
        bool below; // the pointer leaves below the text, not to its right
        int expectedEnd;
    } cases[] = {
        { "to the right", kSingleLine, L"1234567890123456789012345678901234567890", false, 40 },
        { "below", kMultiLine, rows, true, 19 * 8 }, // the start of the last row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit(c.style, c.text.c_str(), { 10, 10, 80, 60 });
        RECT client;
        GetClientRect(edit, &client);
        POINT start = CharPoint(edit, 0);
        POINT outside = c.below ? POINT { start.x, client.bottom + 20 } : POINT { client.right + 20, start.y + 5 };
        headless->InjectMouseMove(ScreenPoint(edit, start.x, start.y + 5));
        headless->InjectButton(1, true, ScreenPoint(edit, start.x, start.y + 5));
        headless->InjectMouseMove(ScreenPoint(edit, outside.x, outside.y));
        Pump();
        EXPECT_GT(SelectionOf(edit).second, 0); // as far as the text shows
        EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        for (int tick = 0; tick < 40; ++tick) {
            headless->Advance(100);
            Pump();
        }
        EXPECT_EQ(SelectionOf(edit), std::make_pair(0, c.expectedEnd)); // scrolled to the end
        int scrolled = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_GT(scrolled, 0);
        headless->InjectButton(1, false, ScreenPoint(edit, outside.x, outside.y));
        Pump();
        EXPECT_EQ(GetCapture(), nullptr);
        SendMessageW(edit, c.below ? WM_VSCROLL : WM_HSCROLL, SB_TOP, 0);
        headless->Advance(1000);
        Pump();
        EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0); // the timer stopped with the button
        DestroyWindow(parent);
    }
}

TEST_F(Edit, MiddleClickPastesThePrimarySelection)
{
    HWND edit = MakeEdit(kSingleLine, L"1+3");
    headless->SetPrimarySelectionText("2*\xCF\x80+"); // from another program: "2*π+"
    Click(ScreenPoint(edit, CharPoint(edit, 2).x + 1, 5), 2);
    EXPECT_EQ(TextOf(edit), L"1+2*\u03c0+3");
    EXPECT_EQ(GetFocus(), edit);

    HWND readOnly = CreateWindowExW(0, L"Edit", L"fixed", kSingleLine | ES_READONLY, 10, 50, 100, 20, parent, nullptr, nullptr, nullptr);
    Click(ScreenPoint(readOnly, 3, 5), 2);
    EXPECT_EQ(TextOf(readOnly), L"fixed");

    // Keyboard selection publishes too, but never a password.
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Press(VK_END, kShift);
    EXPECT_EQ(headless->PrimarySelectionText(), std::string("1+2*\xCF\x80+3"));
    HWND password = CreateWindowExW(0, L"Edit", L"secret", kSingleLine | ES_PASSWORD, 10, 80, 100, 20, parent, nullptr, nullptr, nullptr);
    SetFocus(password);
    Press('A', kControl, L"\x01");
    EXPECT_EQ(SelectionOf(password), std::make_pair(0, 6));
    EXPECT_EQ(headless->PrimarySelectionText(), std::string("1+2*\xCF\x80+3"));
}

TEST_F(Edit, TheContextMenuActsOnTheSelection)
{
    // Items: Undo, -, Cut, Copy, Paste, Delete, -, Select All; Down walks them from the top.
    struct Case {
        const char* name;
        DWORD style;
        int downs;
        const wchar_t* expectedText;
        std::pair<int, int> expectedSelection;
        bool fromKeyboard = false;
    } cases[] = {
        { "undo", kSingleLine, 1, L"1+", { 2, 2 } },
        { "cut", kSingleLine, 2, L"1+", { 2, 2 } },
        { "paste", kSingleLine, 4, L"1+pasted", { 8, 8 } },
        { "delete", kSingleLine, 5, L"1+", { 2, 2 } },
        { "select all", kSingleLine, 6, L"1+23", { 0, 4 } },
        { "cut is grey when read-only", kSingleLine | ES_READONLY, 2, L"1+23", { 2, 4 } },
        { "the menu key", kSingleLine, 6, L"1+23", { 0, 4 }, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit(c.style, L"1+");
        SendMessageW(edit, EM_SETSEL, 2, 2);
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"23"));
        SendMessageW(edit, EM_SETSEL, 2, 4);
        ClipboardHolds(L"pasted");
        std::vector<unsigned> keys(static_cast<size_t>(c.downs), VK_DOWN);
        keys.push_back(VK_RETURN);
        keys.push_back(VK_ESCAPE); // a grey item leaves the menu open
        size_t next = 0;
        SetModalLoopHook([&](HWND) {
            if (next < keys.size()) {
                headless->InjectKey(keys[next], true);
                headless->InjectKey(keys[next++], false);
            }
        });
        if (c.fromKeyboard) {
            SetFocus(edit);
            Press(VK_APPS);
        } else {
            Click(ScreenPoint(edit, 5, 5), 3);
        }
        SetModalLoopHook({});
        EXPECT_GT(next, keys.size() - 2); // the menu was there to take the keys
        EXPECT_EQ(GetFocus(), edit);
        EXPECT_EQ(TextOf(edit), c.expectedText);
        EXPECT_EQ(SelectionOf(edit), c.expectedSelection);
        DestroyWindow(parent);
    }
}

TEST_F(Edit, ScrollBarsAndScrollMessages)
{
    std::wstring text;
    for (int line = 0; line < 20; ++line)
        text += L"line " + std::to_wstring(line) + L"\r\n";
    HWND edit = MakeEdit(kMultiLine, text.c_str(), { 10, 10, 200, 90 });
    SCROLLINFO info { sizeof info, SIF_ALL };
    GetScrollInfo(edit, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 20);
    int visible = static_cast<int>(info.nPage);
    EXPECT_GT(visible, 2);
    EXPECT_EQ(info.nPos, 0);

    MessageLog::Instance().entries.clear();
    SendMessageW(edit, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    EXPECT_EQ(Notifications(edit), std::vector<WORD> { EN_VSCROLL });
    GetScrollInfo(edit, SB_VERT, &info);
    EXPECT_EQ(info.nPos, 1);
    SendMessageW(edit, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 21 - visible);
    EXPECT_TRUE(SendMessageW(edit, EM_LINESCROLL, 0, -100));
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_SCROLL, SB_LINEDOWN, 0), MAKELRESULT(1, TRUE));

    // The caret brought into view, by message and by keys.
    SendMessageW(edit, EM_SETSEL, 100, 100);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 1); // EM_SETSEL alone does not scroll
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    int caretLine = static_cast<int>(SendMessageW(edit, EM_LINEFROMCHAR, 100, 0));
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), caretLine - visible + 1);
    SetFocus(edit);
    Press(VK_HOME, kControl);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    Press(VK_NEXT);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), visible);

    MessageLog::Instance().entries.clear();
    SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(Notifications(edit), std::vector<WORD> { EN_VSCROLL });

    HWND wide = CreateWindowExW(0, L"Edit", (text + L"a very long line that does not fit").c_str(), WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_HSCROLL,
        10, 100, 100, 60, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId)), nullptr, nullptr);
    MessageLog::Instance().entries.clear();
    int before = CharPoint(wide, 0).x;
    SendMessageW(wide, WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(Notifications(wide), std::vector<WORD> { EN_HSCROLL });
    EXPECT_LT(CharPoint(wide, 0).x, before);

    HWND single = CreateWindowExW(0, L"Edit", L"x", kSingleLine, 10, 100, 100, 20, parent, nullptr, nullptr, nullptr);
    EXPECT_FALSE(SendMessageW(single, EM_LINESCROLL, 0, 1));
}

TEST_F(Edit, DialogCodes)
{
    struct Case {
        DWORD style;
        UINT key;
        LRESULT expected;
    } cases[] = {
        { kSingleLine, VK_RETURN, 0x89 },
        { kMultiLine, 'A', 0x8D },
        { kMultiLine, VK_RETURN, 0x89 },
        { kMultiLine | ES_WANTRETURN, VK_RETURN, 0x8D },
        { kMultiLine | ES_WANTRETURN, VK_TAB, 0x89 },
        { kMultiLine, VK_ESCAPE, 0x89 },
    };
    for (const Case& c : cases) {
        HWND edit = MakeEdit(c.style);
        MSG message { edit, WM_KEYDOWN, c.key, 0, 0, {} };
        EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, c.key, reinterpret_cast<LPARAM>(&message)), c.expected) << std::hex << c.style << " key " << c.key;
        DestroyWindow(parent);
    }
}

TEST_F(Edit, ReadOnlyAndPasswordByMessage)
{
    HWND edit = MakeEdit(kSingleLine, L"iii");
    EXPECT_TRUE(SendMessageW(edit, EM_SETREADONLY, TRUE, 0));
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    SetFocus(edit);
    Type(L"x");
    EXPECT_EQ(TextOf(edit), L"iii");
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);

    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0);
    int plainEnd = CharPoint(edit, 3).x;
    SendMessageW(edit, EM_SETPASSWORDCHAR, L'#', 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), L'#');
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(TextOf(edit), L"iii"); // the text itself stays
    int hiddenEnd = CharPoint(edit, 3).x;
    SendMessageW(edit, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(CharPoint(edit, 3).x, plainEnd);
    EXPECT_GT(hiddenEnd, plainEnd); // '#' is wider than 'i'
}

// ---- the look

class EditLook : public Edit {
protected:
    // The window pixels of the edit, from its parent's surface.
    COLORREF WindowPixel(HWND edit, int x, int y)
    {
        RECT r;
        GetWindowRect(edit, &r);
        POINT p { r.left + x, r.top + y };
        ScreenToClient(parent, &p);
        return PixelAt(parent, p.x, p.y);
    }

    bool HasDarkPixels(HWND edit, RECT area, COLORREF background)
    {
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                COLORREF c = PixelAt(edit, x, y);
                if (c != background && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128)
                    return true;
            }
        }
        return false;
    }

    // Compares the edit's whole window with a PNG in tests/data, pixel for pixel.
    void ExpectLooksLike(HWND edit, const char* name)
    {
        std::string path = std::string(FLN_TEST_DATA_DIR) + "/" + name;
        cairo_surface_t* expected = cairo_image_surface_create_from_png(path.c_str());
        ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS) << path;
        RECT r;
        GetWindowRect(edit, &r);
        int width = cairo_image_surface_get_width(expected), height = cairo_image_surface_get_height(expected);
        ASSERT_EQ(width, r.right - r.left);
        ASSERT_EQ(height, r.bottom - r.top);
        auto* data = cairo_image_surface_get_data(expected);
        int stride = cairo_image_surface_get_stride(expected);
        int mismatches = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint32_t pixel = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
                COLORREF want = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
                if (WindowPixel(edit, x, y) != want && ++mismatches <= 5)
                    ADD_FAILURE() << name << " differs at " << x << "," << y;
            }
        }
        cairo_surface_destroy(expected);
    }
};

TEST_F(EditLook, SunkenEdgeOnTheWindowColour)
{
    HWND edit = MakeEdit(kSingleLine, L"", { 10, 10, 40, 30 });
    ExpectLooksLike(edit, "edit_sunken.png");
}

TEST_F(EditLook, DisabledAndReadOnlyShowTheFaceColour)
{
    struct Case {
        const char* name;
        DWORD style;
        bool enabled;
        COLORREF background;
        bool greyText;
    } cases[] = {
        { "normal", kSingleLine, true, GetSysColor(COLOR_WINDOW), false },
        { "read-only", kSingleLine | ES_READONLY, true, GetSysColor(COLOR_3DFACE), false },
        { "disabled", kSingleLine, false, GetSysColor(COLOR_3DFACE), true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = MakeEdit(c.style, L"WWW");
        EnableWindow(edit, c.enabled);
        Pump();
        RECT client;
        GetClientRect(edit, &client);
        EXPECT_EQ(PixelAt(edit, client.right - 2, client.bottom - 2), c.background);
        RECT text { 0, 0, CharPoint(edit, 3).x, 13 };
        // Black text has dark pixels; grey text has ink, none of it darker than the grey.
        EXPECT_EQ(HasDarkPixels(edit, text, c.background), !c.greyText);
        bool ink = false;
        for (int x = text.left; x < text.right && !ink; ++x)
            for (int y = text.top; y < text.bottom && !ink; ++y)
                ink = PixelAt(edit, x, y) != c.background;
        EXPECT_TRUE(ink);
        const UINT colourMessage = c.style & ES_READONLY || !c.enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
        EXPECT_GT(MessageLog::Instance().Count(parent, colourMessage), 0);
        DestroyWindow(parent);
    }
}

TEST_F(EditLook, TheParentsBrushColoursTheBackground)
{
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    MessageLog::Instance().answer = [yellow](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_CTLCOLOREDIT)
            return std::nullopt;
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
        return reinterpret_cast<LRESULT>(yellow);
    };
    HWND edit = MakeEdit(kSingleLine, L"WWW");
    InvalidateRect(edit, nullptr, TRUE);
    Pump();
    EXPECT_EQ(PixelAt(edit, 100, 10), RGB(255, 255, 0));
    bool blue = false;
    for (int x = 0; x < CharPoint(edit, 3).x && !blue; ++x)
        for (int y = 0; y < 13 && !blue; ++y)
            blue = GetBValue(PixelAt(edit, x, y)) > 128 && GetRValue(PixelAt(edit, x, y)) < 128;
    EXPECT_TRUE(blue);
    MessageLog::Instance().answer = {};
    DestroyWindow(parent);
    DeleteObject(yellow);
}

TEST_F(EditLook, SelectionShowsWhileFocusedOrWithNoHideSel)
{
    struct Case {
        DWORD style;
        bool focused;
        bool highlighted;
    } cases[] = { { kSingleLine, true, true }, { kSingleLine, false, false }, { kSingleLine | ES_NOHIDESEL, false, true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "focused " << c.focused << " style " << std::hex << c.style);
        HWND edit = MakeEdit(c.style, L"1234");
        if (c.focused)
            SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 1, 3);
        Pump();
        int x = (CharPoint(edit, 1).x + CharPoint(edit, 3).x) / 2;
        // Count highlight pixels down the middle of the selection: the background shows between glyphs.
        int highlight = 0;
        for (int y = 0; y < 13; ++y)
            highlight += PixelAt(edit, x, y) == GetSysColor(COLOR_HIGHLIGHT);
        EXPECT_EQ(highlight > 0, c.highlighted);
        EXPECT_NE(PixelAt(edit, CharPoint(edit, 0).x, 12), GetSysColor(COLOR_HIGHLIGHT)); // outside the selection
        DestroyWindow(parent);
    }
}

TEST_F(EditLook, ASelectionChangeRepaintsOnlyWhatChanged)
{
    HWND edit = MakeEdit(kSingleLine, L"12345678");
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 2, 4);
    Pump();
    SendMessageW(edit, EM_SETSEL, 2, 6);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(edit, &update, FALSE));
    EXPECT_EQ(update.left, CharPoint(edit, 4).x);
    EXPECT_EQ(update.right, CharPoint(edit, 6).x + 1);
    EXPECT_EQ(update.bottom - update.top, 13);
    Pump();
    // Moving the caret alone repaints nothing: the caret is the system's.
    SendMessageW(edit, EM_SETSEL, 3, 3);
    Pump();
    SendMessageW(edit, EM_SETSEL, 5, 5);
    EXPECT_FALSE(GetUpdateRect(edit, &update, FALSE));
}

} // namespace
