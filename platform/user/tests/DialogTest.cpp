// Dialogs from templates: units and font, creation, the modal loop, the default procedure,
// placement and dialog-init data.

#include "DialogTestSupport.h"

#include "platform/base/MulDiv.h"

#include <string_view>

using namespace dialog_test;

namespace {

// A template in memory, in the resource layout (texts in UTF-16, here all in the basic plane).
class MemoryTemplate {
public:
    // The standard layout.
    MemoryTemplate(DWORD style, RECT units, std::wstring_view title, std::wstring_view face = {}, WORD points = 0)
    {
        Dword(style);
        Dword(0);
        m_countAt = m_words.size();
        Word(0);
        Rectangle(units);
        Word(0); // no menu
        Word(0); // the dialog class
        Text(title);
        if (style & DS_SETFONT) {
            Word(points);
            Text(face);
        }
    }
    // The extended layout.
    static MemoryTemplate Extended(DWORD style, RECT units, std::wstring_view title, std::wstring_view face, WORD points, WORD weight)
    {
        MemoryTemplate memory;
        memory.m_extended = true;
        memory.Word(1);
        memory.Word(0xFFFF);
        memory.Dword(0);
        memory.Dword(0);
        memory.Dword(style);
        memory.m_countAt = memory.m_words.size();
        memory.Word(0);
        memory.Rectangle(units);
        memory.Word(0);
        memory.Word(0);
        memory.Text(title);
        if (style & DS_SETFONT) {
            memory.Word(points);
            memory.Word(weight);
            memory.Word(0x0100); // not italic, character set 1
            memory.Text(face);
        }
        return memory;
    }

    MemoryTemplate& Control(std::wstring_view windowClass, std::wstring_view title, WORD id, DWORD style, RECT units)
    {
        if (m_words.size() % 2)
            Word(0);
        if (m_extended) {
            Dword(0); // help id
            Dword(0); // extended style
            Dword(style | WS_CHILD | WS_VISIBLE);
        } else {
            Dword(style | WS_CHILD | WS_VISIBLE);
            Dword(0);
        }
        Rectangle(units);
        if (m_extended)
            Dword(id);
        else
            Word(id);
        Text(windowClass);
        Text(title);
        Word(0);
        ++m_words[m_countAt];
        return *this;
    }

    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(m_words.data()); }

private:
    MemoryTemplate() = default;
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value)
    {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Rectangle(RECT units)
    {
        for (LONG value : { units.left, units.top, units.right - units.left, units.bottom - units.top })
            Word(static_cast<WORD>(value));
    }
    void Text(std::wstring_view text)
    {
        for (wchar_t c : text)
            Word(static_cast<WORD>(c));
        Word(0);
    }

    std::vector<WORD> m_words;
    std::size_t m_countAt = 0;
    bool m_extended = false;
};

SIZE BaseUnits(HWND dialog)
{
    RECT rect { 0, 0, 4, 8 };
    EXPECT_TRUE(MapDialogRect(dialog, &rect));
    return { rect.right, rect.bottom };
}

RECT ChildRect(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<int> ChildIds(HWND parent)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    return ids;
}

LONG FontHeight(HFONT font)
{
    LOGFONTW description {};
    GetObjectW(font, sizeof description, &description);
    return description.lfHeight;
}

} // namespace

TEST_F(DialogTest, TheTemplateFontSetsTheDialogUnits)
{
    // The classic dialog font, 8-point MS Sans Serif at 96 dpi, measures 6 by 13; without a
    // font the dialog uses the system font's units.
    struct Case {
        DWORD style;
        const wchar_t* face;
        WORD points;
        SIZE expected;
        LONG fontHeight; // 0: no font of its own
    };
    const LONG systemUnits = GetDialogBaseUnits();
    const Case cases[] = {
        { DS_SETFONT, L"MS Sans Serif", 8, { 6, 13 }, -11 },
        { DS_SETFONT, L"MS Sans Serif", 16, { 0, 0 }, -21 },
        { 0, nullptr, 0, { LOWORD(systemUnits), HIWORD(systemUnits) }, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points);
        MemoryTemplate memory(WS_POPUP | c.style, { 0, 0, 100, 50 }, L"Units", c.face ? c.face : L"", c.points);
        memory.Control(L"Edit", L"", 5, WS_TABSTOP, { 10, 10, 50, 22 });
        HWND dialog = CreateDialogIndirectParamW(nullptr, memory.Get(), nullptr, TestDialogProcedure, 0);
        ASSERT_NE(dialog, nullptr);
        const SIZE units = BaseUnits(dialog);
        if (c.expected.cx) {
            EXPECT_EQ(units.cx, c.expected.cx);
            EXPECT_EQ(units.cy, c.expected.cy);
        } else {
            EXPECT_GT(units.cx, 6); // twice the points: larger letters than the classic font's
            EXPECT_GE(units.cy, 2 * 13 - 2);
        }
        auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        EXPECT_EQ(font != nullptr, c.fontHeight != 0);
        if (font) {
            EXPECT_EQ(FontHeight(font), c.fontHeight);
        }
        // Controls get the dialog's font and sit at their rectangle in dialog units.
        HWND edit = GetDlgItem(dialog, 5);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), font);
        RECT expected { 10, 10, 50, 22 };
        MapDialogRect(dialog, &expected);
        EXPECT_EQ(ChildRect(edit), CRect(expected));
        RECT client, size { 0, 0, 100, 50 };
        GetClientRect(dialog, &client);
        MapDialogRect(dialog, &size);
        EXPECT_EQ(CRect(client), CRect(size));
        DestroyWindow(dialog);
    }
}

TEST_F(DialogTest, ShellFontsAndTheFixedSystemFont)
{
    // DS_SHELLFONT turns "MS Shell Dlg" into the newer shell face in extended templates only;
    // DS_FIXEDSYS without a font of its own takes the fixed system font.
    struct Case {
        bool extended;
        DWORD style;
        const wchar_t* face;
        const wchar_t* expectedFace; // null: the fixed system font
    };
    const Case cases[] = {
        { true, DS_SHELLFONT, L"MS Shell Dlg", L"MS Shell Dlg 2" },
        { false, DS_SHELLFONT, L"MS Shell Dlg", L"MS Shell Dlg" },
        { true, DS_SETFONT, L"MS Shell Dlg", L"MS Shell Dlg" },
        { true, DS_SHELLFONT, L"Tahoma", L"Tahoma" },
        { false, DS_FIXEDSYS, L"", nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        const DWORD style = WS_POPUP | c.style;
        MemoryTemplate memory = c.extended ? MemoryTemplate::Extended(style, { 0, 0, 40, 40 }, L"Font", c.face, 8, FW_NORMAL)
                                           : MemoryTemplate(style, { 0, 0, 40, 40 }, L"Font", c.face, 8);
        HWND dialog = CreateDialogIndirectParamW(nullptr, memory.Get(), nullptr, TestDialogProcedure, 0);
        ASSERT_NE(dialog, nullptr);
        auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        if (c.expectedFace) {
            LOGFONTW description {};
            GetObjectW(font, sizeof description, &description);
            EXPECT_STREQ(description.lfFaceName, c.expectedFace);
            continue;
        }
        EXPECT_EQ(font, GetStockObject(SYSTEM_FIXED_FONT));
        HDC dc = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(nullptr, dc);
        EXPECT_EQ(BaseUnits(dialog).cy, metrics.tmHeight); // a vertical dialog unit is an eighth of the font's height
    }
}

TEST_F(DialogTest, ControlsFromAResourceInTemplateOrderWithTheirStyles)
{
    HWND dialog = Modeless(IDD_NAVIGATION);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ChildIds(dialog), (std::vector<int> { IDC_LABEL, IDC_NAME, IDC_GROUP, IDC_RED, IDC_GREEN, IDC_HIDDEN, IDC_BLUE, IDC_WRAP,
                                    IDC_COUNT, IDOK, IDCANCEL, IDC_APPLY, IDC_COMBO }));
    wchar_t text[32];
    GetWindowTextW(dialog, text, 32);
    EXPECT_STREQ(text, L"Navigation");
    GetClassNameW(dialog, text, 32);
    EXPECT_STREQ(text, L"#32770");
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(IsWindowVisible(dialog)); // the template has no WS_VISIBLE
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog, IDC_HIDDEN), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_RED), GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY);
    GetDlgItemTextW(dialog, IDC_LABEL, text, 32);
    EXPECT_STREQ(text, L"&Name:");
    // The standard layout makes the same kind of dialog.
    HWND standard = Modeless(IDD_STANDARD);
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(ChildIds(standard), std::vector<int> { IDOK });
    EXPECT_EQ(SendMessageW(standard, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
}

TEST_F(DialogTest, FontThenInitDialogWithTheFirstTabStopThenFocusWhenShown)
{
    HWND dialog = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_NAVIGATION), nullptr, TestDialogProcedure, 77);
    ASSERT_NE(dialog, nullptr);
    std::vector<UINT> order;
    const LoggedMessage* init = nullptr;
    for (const auto& call : DialogProcedureLog::Instance().calls) {
        if (call.message == WM_SETFONT || call.message == WM_INITDIALOG || call.message == WM_CREATE)
            order.push_back(call.message);
        if (call.message == WM_INITDIALOG)
            init = &call;
    }
    EXPECT_EQ(order, (std::vector<UINT> { WM_SETFONT, WM_INITDIALOG })); // the dialog procedure never sees WM_CREATE
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(init->wParam), GetDlgItem(dialog, IDC_NAME));
    EXPECT_EQ(init->lParam, 77);
    // Every control existed by then.
    EXPECT_EQ(MessageLog::Instance().Count(GetDlgItem(dialog, IDC_COMBO), WM_CREATE), 1);
    EXPECT_NE(GetFocus(), GetDlgItem(dialog, IDC_NAME));
    SetDlgItemTextW(dialog, IDC_NAME, L"abc");
    ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(FocusedId(), IDC_NAME);
    // An edit gets the focus with its text selected.
    DWORD start = 99, end = 99;
    SendDlgItemMessageW(dialog, IDC_NAME, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
}

TEST_F(DialogTest, InitDialogAnsweringFalseKeepsTheFocusItChose)
{
    DialogProcedureLog::Instance().answer = [](HWND dialog, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message != WM_INITDIALOG)
            return std::nullopt;
        SetFocus(GetDlgItem(dialog, IDC_WRAP));
        return FALSE;
    };
    HWND dialog = Modeless(IDD_NAVIGATION);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(FocusedId(), IDC_WRAP);
}

TEST_F(DialogTest, ADialogWithoutControlsTakesTheFocusItself)
{
    // As a dialog class builds its box in memory: an extended template without controls.
    MemoryTemplate memory = MemoryTemplate::Extended(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
        { 0, 0, 185, 92 }, L".", L"MS Sans Serif", 8, FW_NORMAL);
    HWND dialog = CreateDialogIndirectParamW(nullptr, memory.Get(), nullptr, TestDialogProcedure, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetFocus(), dialog);
    DialogProcedureLog::Instance().calls.clear();
    Press(dialog, VK_ESCAPE);
    EXPECT_EQ(DialogProcedureLog::Instance().CommandIds(), std::vector<WPARAM> { IDCANCEL });
}

TEST_F(DialogTest, ModalDialogsDisableTheirOwnerUntilTheyEnd)
{
    // Each way of ending: the result, and what the owner saw.
    enum class End { Call, Enter, Escape, Close };
    struct Case {
        End end;
        INT_PTR expected;
    };
    for (const Case& c : { Case { End::Call, 42 }, Case { End::Enter, IDOK }, Case { End::Escape, IDCANCEL }, Case { End::Close, IDCANCEL } }) {
        SCOPED_TRACE(static_cast<int>(c.end));
        DialogProcedureLog::Instance().answer = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
            if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return std::nullopt;
        };
        HWND owner = TopLevel();
        ShowWindow(owner, SW_SHOW);
        HWND child = Child(owner, { 10, 10, 50, 50 });
        MessageLog::Instance().entries.clear();
        int waits = 0;
        bool ownerDisabled = false;
        HWND seen = nullptr, seenOwner = nullptr;
        SetModalLoopHook([&](HWND dialog) {
            seen = dialog;
            seenOwner = GetWindow(dialog, GW_OWNER);
            ownerDisabled = !IsWindowEnabled(owner);
            if (waits++ > 0) {
                EndDialog(dialog, -2); // the way under test did not end it
                return;
            }
            switch (c.end) {
            case End::Call: EndDialog(dialog, 42); break;
            case End::Enter: TypeKey(VK_RETURN); break;
            case End::Escape: TypeKey(VK_ESCAPE); break;
            case End::Close: SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
            }
        });
        // A child as the parent: the dialog belongs to its top-level window.
        EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_NAVIGATION), child, TestDialogProcedure, 0), c.expected);
        SetModalLoopHook({});
        ASSERT_NE(seen, nullptr);
        EXPECT_EQ(seenOwner, owner);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_FALSE(IsWindow(seen));
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_EQ(GetActiveWindow(), owner);
        // The owner heard each wait as WM_ENTERIDLE from a dialog box.
        bool idle = false;
        for (const auto& entry : MessageLog::Instance().entries)
            idle |= entry.window == owner && entry.message == WM_ENTERIDLE && entry.wParam == MSGF_DIALOGBOX
                && reinterpret_cast<HWND>(entry.lParam) == seen;
        EXPECT_TRUE(idle);
        DestroyWindow(owner);
    }
}

TEST_F(DialogTest, AModalDialogEndedInItsInitialisationNeverShows)
{
    DialogProcedureLog::Instance().answer = [](HWND dialog, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG)
            EndDialog(dialog, 7);
        return std::nullopt;
    };
    HWND owner = TopLevel();
    ShowWindow(owner, SW_SHOW);
    bool waited = false;
    SetModalLoopHook([&](HWND) { waited = true; });
    EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_NAVIGATION), owner, TestDialogProcedure, 0), 7);
    EXPECT_FALSE(waited);
    EXPECT_EQ(MessageLog::Instance().Count(owner, WM_ENABLE), 0);
    EXPECT_EQ(DialogProcedureLog::Instance().calls.end(),
        std::find_if(DialogProcedureLog::Instance().calls.begin(), DialogProcedureLog::Instance().calls.end(),
            [](const LoggedMessage& call) { return call.message == WM_SHOWWINDOW && call.wParam; }));
}

TEST_F(DialogTest, DialogsThatCannotBeMadeFailWithoutLeavingWindows)
{
    HWND owner = TopLevel();
    HWND gone = TopLevel();
    DestroyWindow(gone);
    struct Case {
        int templateId;
        HWND parent;
    };
    for (const Case& c : { Case { 999, owner }, Case { IDD_BROKEN, owner }, Case { IDD_NAVIGATION, gone } }) {
        SCOPED_TRACE(c.templateId);
        EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(c.templateId), c.parent, TestDialogProcedure, 0), -1);
        EXPECT_EQ(GetTopWindow(nullptr), owner);
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    EXPECT_EQ(CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_BROKEN), nullptr, TestDialogProcedure, 0), nullptr);
    EXPECT_EQ(CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_PAGE), nullptr, TestDialogProcedure, 0), nullptr); // a child needs its parent
    EXPECT_FALSE(EndDialog(owner, 1));
    RECT rect {};
    EXPECT_FALSE(MapDialogRect(owner, &rect));
    // DS_NOFAILCREATE keeps the dialog without the control that could not be made.
    MemoryTemplate memory(WS_POPUP | DS_NOFAILCREATE, { 0, 0, 50, 50 }, L"Lenient");
    memory.Control(L"NoSuchClass", L"", 1, 0, { 0, 0, 10, 10 }).Control(L"Edit", L"", 2, 0, { 0, 10, 10, 20 });
    HWND lenient = CreateDialogIndirectParamW(nullptr, memory.Get(), nullptr, TestDialogProcedure, 0);
    ASSERT_NE(lenient, nullptr);
    EXPECT_EQ(ChildIds(lenient), std::vector<int> { 2 });
}

TEST_F(DialogTest, TemplatesFromMemoryInBothLayouts)
{
    for (bool extended : { false, true }) {
        SCOPED_TRACE(extended);
        const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
        MemoryTemplate memory = extended ? MemoryTemplate::Extended(style, { 5, 5, 120, 60 }, L"In memory", L"MS Sans Serif", 8, 700)
                                         : MemoryTemplate(style, { 5, 5, 120, 60 }, L"In memory", L"MS Sans Serif", 8);
        memory.Control(L"Button", L"&Go", 3, BS_DEFPUSHBUTTON | WS_TABSTOP, { 10, 30, 60, 44 });
        memory.Control(L"Edit", L"typed", 4, WS_TABSTOP, { 10, 10, 100, 22 });
        DialogProcedureLog::Instance().answer = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
            if (message == WM_COMMAND && LOWORD(wParam) == 3) {
                EndDialog(dialog, 300 + GetDlgItemInt(dialog, 4, nullptr, FALSE));
                return TRUE;
            }
            return std::nullopt;
        };
        SetModalLoopHook([&](HWND dialog) {
            EXPECT_TRUE(IsWindowVisible(dialog));
            wchar_t text[16];
            GetDlgItemTextW(dialog, 3, text, 16);
            EXPECT_STREQ(text, L"&Go");
            EXPECT_EQ(FocusedId(), 3);
            auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
            LOGFONTW description {};
            GetObjectW(font, sizeof description, &description);
            EXPECT_EQ(description.lfWeight, extended ? 700 : FW_NORMAL); // the standard layout has no weight
            SetDlgItemInt(dialog, 4, 21, FALSE);
            PostMessageW(GetDlgItem(dialog, 3), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(DialogBoxIndirectParamW(nullptr, memory.Get(), nullptr, TestDialogProcedure, 0), 321);
        SetModalLoopHook({});
    }
}

TEST_F(DialogTest, TheDialogProcedureAnswersThroughMsgResultOrDirectly)
{
    constexpr UINT kAsk = WM_APP + 1;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    bool answerColour = false;
    DialogProcedureLog::Instance().answer = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
        if (message == kAsk) {
            if (!wParam)
                return FALSE;
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1234);
            return TRUE;
        }
        if (message == WM_CTLCOLORDLG && answerColour)
            return reinterpret_cast<INT_PTR>(red);
        return std::nullopt;
    };
    HWND dialog = Modeless(IDD_STANDARD);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(dialog, kAsk, 1, 0), 1234);
    EXPECT_EQ(SendMessageW(dialog, kAsk, 0, 0), 0);
    // The background: the dialog's WM_CTLCOLORDLG brush, the button face by default.
    for (bool coloured : { false, true }) {
        answerColour = coloured;
        ShowWindow(dialog, SW_SHOW);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_EQ(PixelAt(dialog, 2, 2), coloured ? RGB(255, 0, 0) : GetSysColor(COLOR_3DFACE));
    }
    DestroyWindow(dialog);
    DeleteObject(red);
}

TEST_F(DialogTest, ClosingSendsCancelUnlessTheCancelButtonIsDisabled)
{
    HWND dialog = Modeless(IDD_NAVIGATION);
    ASSERT_NE(dialog, nullptr);
    for (bool cancelEnabled : { true, false }) {
        SCOPED_TRACE(cancelEnabled);
        DialogProcedureLog::Instance().calls.clear();
        EnableWindow(GetDlgItem(dialog, IDCANCEL), cancelEnabled);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        PumpDialog(dialog);
        EXPECT_EQ(DialogProcedureLog::Instance().CommandIds(), cancelEnabled ? std::vector<WPARAM> { IDCANCEL } : std::vector<WPARAM> {});
        EXPECT_TRUE(IsWindow(dialog)); // closing never destroys a dialog by itself
    }
}

TEST_F(DialogTest, PlacementByStyle)
{
    HWND owner = TopLevel(WS_POPUP | WS_VISIBLE, { 200, 150, 600, 450 });
    MONITORINFO monitor { sizeof monitor };
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    struct Case {
        DWORD style;
        POINT expectedClientOrigin; // -1: centred on the owner
    };
    const Case cases[] = {
        { 0, { 200 + MulDiv(10, 6, 4), 150 + MulDiv(20, 13, 8) } }, // relative to the owner's client area
        { DS_ABSALIGN, { MulDiv(10, 6, 4), MulDiv(20, 13, 8) } },   // relative to the screen
        { DS_CENTER, { -1, -1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        MemoryTemplate memory(WS_POPUP | DS_SETFONT | c.style, { 10, 20, 110, 70 }, L"Placed", L"MS Sans Serif", 8);
        HWND dialog = CreateDialogIndirectParamW(nullptr, memory.Get(), owner, TestDialogProcedure, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
        RECT window;
        GetWindowRect(dialog, &window);
        if (c.expectedClientOrigin.x >= 0) {
            const POINT origin = ScreenPoint(dialog, 0, 0);
            EXPECT_EQ(std::pair(origin.x, origin.y), std::pair(c.expectedClientOrigin.x, c.expectedClientOrigin.y));
        } else {
            EXPECT_NEAR((window.left + window.right) / 2, 400, 1);
            EXPECT_NEAR((window.top + window.bottom) / 2, 300, 1);
        }
        DestroyWindow(dialog);
    }
    // Far off the screen, a dialog is kept inside the work area.
    MemoryTemplate offScreen(WS_POPUP | DS_SETFONT | DS_ABSALIGN, { 2000, 2000, 2100, 2050 }, L"Off", L"MS Sans Serif", 8);
    HWND dialog = CreateDialogIndirectParamW(nullptr, offScreen.Get(), owner, TestDialogProcedure, 0);
    ASSERT_NE(dialog, nullptr);
    RECT window;
    GetWindowRect(dialog, &window);
    EXPECT_EQ(window.right, monitor.rcWork.right);
    EXPECT_EQ(window.bottom, monitor.rcWork.bottom);
}

// A centred dialog stands over the middle of the window that owns it (the top-level window of a
// child given as its parent), or of the work area when there is no owner to see; it never leaves
// the work area, whatever the owner's place.
TEST_F(DialogTest, ACentredDialogStandsOverItsOwnerInsideTheWorkArea)
{
    MONITORINFO monitor { sizeof monitor };
    GetMonitorInfoW(MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    const POINT workCentre { (work.left + work.right) / 2, (work.top + work.bottom) / 2 };
    enum class Owner { Shown, ChildOfShown, Hidden, None };
    struct Case {
        Owner owner;
        RECT ownerRect;
        POINT expectedCentre;
    };
    const Case cases[] = {
        { Owner::Shown, { 100, 100, 500, 400 }, { 300, 250 } },
        { Owner::ChildOfShown, { 100, 100, 500, 400 }, { 300, 250 } },
        { Owner::Hidden, { 100, 100, 500, 400 }, workCentre },
        { Owner::None, {}, workCentre },
        // Near the corners: as close to the owner's middle as the work area allows.
        { Owner::Shown, { work.right - 60, work.bottom - 40, work.right + 300, work.bottom + 200 }, { -1, -1 } },
        { Owner::Shown, { work.left - 300, work.top - 200, work.left + 60, work.top + 40 }, { -1, -1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        HWND owner = nullptr, parent = nullptr;
        if (c.owner != Owner::None) {
            owner = TopLevel(WS_POPUP | (c.owner == Owner::Hidden ? 0 : WS_VISIBLE), c.ownerRect);
            parent = c.owner == Owner::ChildOfShown ? Child(owner, { 10, 10, 50, 30 }) : owner;
        }
        MemoryTemplate memory(WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME | DS_CENTER, { 0, 0, 200, 100 }, L"Centred", L"MS Sans Serif", 8);
        HWND dialog = CreateDialogIndirectParamW(nullptr, memory.Get(), parent, TestDialogProcedure, 0);
        ASSERT_NE(dialog, nullptr);
        RECT window;
        GetWindowRect(dialog, &window);
        RECT inside;
        IntersectRect(&inside, &window, &work);
        EXPECT_TRUE(EqualRect(&inside, &window)) << "inside the work area";
        if (c.expectedCentre.x >= 0) {
            EXPECT_NEAR((window.left + window.right) / 2, c.expectedCentre.x, 1);
            EXPECT_NEAR((window.top + window.bottom) / 2, c.expectedCentre.y, 1);
        } else {
            // Against the edges nearest to the owner.
            EXPECT_TRUE(window.right == work.right || window.left == work.left);
            EXPECT_TRUE(window.bottom == work.bottom || window.top == work.top);
        }
        DestroyWindow(dialog);
        if (owner)
            DestroyWindow(owner);
    }
}

// A template may ask for a window of thousands of dialog units. A sizable one starts no larger
// than the screen allows a window to be sized; a popup without a sizing frame keeps its size, as
// the template says.
TEST_F(DialogTest, AHugeSizableDialogStartsWithinTheLargestTrackingSize)
{
    HWND owner = TopLevel(WS_POPUP | WS_VISIBLE, { 200, 150, 600, 450 });
    struct Case {
        DWORD style;
        bool limited;
    };
    const Case cases[] = {
        { WS_POPUP | WS_THICKFRAME | WS_VISIBLE, true },
        { WS_CAPTION | WS_SYSMENU, true }, // overlapped
        { WS_POPUP, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        MemoryTemplate memory(c.style, { 0, 0, 16143, 14592 }, L"Huge");
        HWND dialog = CreateDialogIndirectParamW(nullptr, memory.Get(), owner, TestDialogProcedure, 0);
        ASSERT_NE(dialog, nullptr);
        RECT window;
        GetWindowRect(dialog, &window);
        if (c.limited) {
            EXPECT_EQ(window.right - window.left, GetSystemMetrics(SM_CXMAXTRACK));
            EXPECT_EQ(window.bottom - window.top, GetSystemMetrics(SM_CYMAXTRACK));
        } else {
            EXPECT_GT(window.right - window.left, GetSystemMetrics(SM_CXMAXTRACK));
        }
        DestroyWindow(dialog);
    }
}

TEST_F(DialogTest, AControlDialogIsAChildWithoutCaptionThatJoinsItsParentsNavigation)
{
    HWND host = Modeless(IDD_HOST);
    ASSERT_NE(host, nullptr);
    HWND page = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_PAGE), host, TestDialogProcedure, 0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetParent(page), host);
    const LONG style = GetWindowLongW(page, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_TRUE(GetWindowLongW(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_EQ(ChildRect(page), CRect(0, 0, 100 * 6 / 4, 40 * 13 / 8));
    ShowWindow(page, SW_SHOW);
    // Tab order: the host's edit, the page's two controls, then the host's button.
    const std::vector<HWND> expected { GetDlgItem(host, IDC_NAME), GetDlgItem(page, IDC_PAGE_EDIT), GetDlgItem(page, IDC_PAGE_CHECK), GetDlgItem(host, IDOK) };
    // The page was made after the host's controls, so it is last among them: move it after the edit.
    SetWindowPos(page, GetDlgItem(host, IDC_NAME), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND control = nullptr;
    for (std::size_t i = 0; i < expected.size() * 2; ++i) {
        control = GetNextDlgTabItem(host, control, FALSE);
        EXPECT_EQ(control, expected[i % expected.size()]) << i;
    }
    EXPECT_EQ(GetNextDlgTabItem(host, expected[0], TRUE), expected.back());
}

TEST_F(DialogTest, DialogInitDataFillsComboBoxes)
{
    HWND dialog = Modeless(IDD_NAVIGATION);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ExecuteDialogInitResource(dialog, nullptr, MAKEINTRESOURCEW(IDD_NAVIGATION)));
    EXPECT_EQ(Records()[GetDlgItem(dialog, IDC_COMBO)].added, (std::vector<std::wstring> { L"One", L"\u00C9t\u00E9" })); // UTF-8 text
    // No data: nothing to do. Damaged data or a missing control: FALSE, nothing sent for it.
    EXPECT_TRUE(ExecuteDialogInitResource(dialog, nullptr, MAKEINTRESOURCEW(IDD_STANDARD)));
    Records().clear();
    const BYTE cut[] = { 0xF3, 0x03, 0x03, 0x04, 0x09, 0x00, 0x00, 0x00, 'A' };
    EXPECT_FALSE(ExecuteDialogInit(dialog, cut, sizeof cut));
    const BYTE missing[] = { 0x34, 0x12, 0x03, 0x04, 0x02, 0x00, 0x00, 0x00, 'B', 0, 0xF3, 0x03, 0x03, 0x04, 0x02, 0x00, 0x00, 0x00, 'C', 0, 0, 0 };
    EXPECT_FALSE(ExecuteDialogInit(dialog, missing, sizeof missing));
    EXPECT_EQ(Records()[GetDlgItem(dialog, IDC_COMBO)].added, std::vector<std::wstring> { L"C" });
}

namespace {

TEST_F(DialogTest, TabMovesOnFromTheEditInsideAComboBox)
{
    HWND parent = TopLevel();
    HWND combo = CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN, 10, 10, 100, 100, parent,
        reinterpret_cast<HMENU>(1), nullptr, nullptr);
    HWND next = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 150, 100, 20, parent,
        reinterpret_cast<HMENU>(2), nullptr, nullptr);
    HWND inner = GetWindow(combo, GW_CHILD);
    ASSERT_NE(inner, nullptr) << "a drop-down combo box has an edit of its own";
    EXPECT_EQ(GetNextDlgTabItem(parent, inner, FALSE), next);
    EXPECT_EQ(GetNextDlgTabItem(parent, next, FALSE), combo);
}

} // namespace
