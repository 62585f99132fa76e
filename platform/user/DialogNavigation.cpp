// Keyboard navigation in dialogs (IsDialogMessageW), the tab and group order, and the helpers
// that reach a dialog's controls by id.

#include "platform/user/Dialog.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

namespace fln::user {
namespace {

DWORD StyleOf(HWND window)
{
    return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
}

// The control's own state only: a dialog not shown yet still has its order.
bool IsReachable(HWND control)
{
    return (StyleOf(control) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

bool IsControlParent(HWND window)
{
    return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT;
}

// The reachable controls in tab order: children in z-order, a control parent (a dialog inside
// the dialog) standing for its own controls.
void CollectControls(HWND parent, std::vector<HWND>& controls)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsReachable(child))
            continue;
        if (IsControlParent(child))
            CollectControls(child, controls);
        else
            controls.push_back(child);
    }
}

std::vector<HWND> ControlsOf(HWND dialog)
{
    std::vector<HWND> controls;
    CollectControls(dialog, controls);
    return controls;
}

// The listed control that holds a window: the window itself, or the control it is part of (the
// edit of a combo box), so that moving on from the focus starts at the right control.
HWND ListedControl(const std::vector<HWND>& controls, HWND window)
{
    for (HWND part = window; part; part = GetParent(part)) {
        if (std::ranges::count(controls, part) > 0)
            return part;
    }
    return window;
}

// Walks the list cyclically from the control (or from before the first one when it is not in the
// list), forwards or backwards, and returns the first that passes the test.
template<typename Test>
HWND FindCyclic(const std::vector<HWND>& controls, HWND from, bool backwards, Test test)
{
    const int count = static_cast<int>(controls.size());
    if (!count)
        return nullptr;
    int start = static_cast<int>(std::find(controls.begin(), controls.end(), from) - controls.begin());
    if (start == count)
        start = backwards ? 0 : count - 1;
    for (int step = 1; step <= count; ++step) {
        const int index = ((start + (backwards ? -step : step)) % count + count) % count;
        if (test(controls[index]))
            return controls[index];
    }
    return nullptr;
}

// ---- mnemonics

wchar_t MnemonicOf(HWND control)
{
    if ((DialogCode(control) & DLGC_STATIC) && (StyleOf(control) & SS_NOPREFIX))
        return 0;
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return static_cast<wchar_t>(std::towupper(text[i + 1]));
        ++i; // "&&" is a plain ampersand
    }
    return 0;
}

// Alt+letter, or the letter alone where the focused control takes no characters: a label's
// mnemonic moves to the control after it, a push button is clicked, a check box or radio button is
// focused and clicked, anything else is focused. With more than one control on the same letter,
// each press only moves to the next of them.
bool ActivateMnemonic(HWND dialog, wchar_t typed)
{
    const wchar_t letter = static_cast<wchar_t>(std::towupper(typed));
    const std::vector<HWND> controls = ControlsOf(dialog);
    std::vector<HWND> matches;
    for (HWND control : controls) {
        if (MnemonicOf(control) == letter)
            matches.push_back(control);
    }
    if (matches.empty())
        return false;
    HWND target = FindCyclic(controls, ListedControl(controls, GetFocus()), false, [&](HWND control) { return std::ranges::count(matches, control) > 0; });
    const UINT code = DialogCode(target);
    if (code & DLGC_STATIC) {
        target = FindCyclic(controls, target, false, [](HWND control) { return !(DialogCode(control) & DLGC_STATIC); });
        if (target)
            SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
        return true;
    }
    if (matches.size() > 1 || !(code & DLGC_BUTTON)) {
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
        return true;
    }
    if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    SendMessageW(target, BM_CLICK, 0, 0);
    return true;
}

// ---- keys

void SendClick(HWND dialog, int id, HWND control)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), reinterpret_cast<LPARAM>(control));
}

// Enter: the focused push button, else the default button (if enabled), else IDOK.
void PressDefault(HWND dialog, HWND focus, UINT focusCode)
{
    if (IsPushButton(focusCode) && IsWindowEnabled(focus)) {
        SendClick(dialog, GetDlgCtrlID(focus), focus);
        return;
    }
    const LRESULT defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    const int id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return;
    }
    SendClick(dialog, id, button);
}

// Esc: IDCANCEL, unless its button is there and disabled.
void PressCancel(HWND dialog)
{
    HWND button = GetDlgItem(dialog, IDCANCEL);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return;
    }
    SendClick(dialog, IDCANCEL, button);
}

void MoveInGroup(HWND dialog, HWND focus, bool previous)
{
    HWND next = GetNextDlgGroupItem(dialog, focus, previous);
    if (!next || next == focus)
        return;
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    // An automatic radio button is chosen by moving onto it.
    constexpr DWORD kTypeMask = 0xF, kAutoRadioButton = 0x9;
    if ((DialogCode(next) & DLGC_RADIOBUTTON) && (StyleOf(next) & kTypeMask) == kAutoRadioButton
        && SendMessageW(next, BM_GETCHECK, 0, 0) != BST_CHECKED)
        SendMessageW(next, BM_CLICK, 0, 0);
}

// A key for the dialog; false when the focused control claims it.
bool HandleKey(HWND dialog, MSG& message)
{
    HWND focus = message.hwnd; // keys go to the focus
    const UINT code = DialogCode(focus, message.wParam, &message);
    if (code & DLGC_WANTMESSAGE)
        return false;
    switch (message.wParam) {
    case VK_TAB:
        if (code & DLGC_WANTTAB)
            return false;
        SendMessageW(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0, 0);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (code & DLGC_WANTARROWS)
            return false;
        MoveInGroup(dialog, focus, message.wParam == VK_LEFT || message.wParam == VK_UP);
        return true;
    case VK_RETURN:
        PressDefault(dialog, focus, code);
        return true;
    case VK_ESCAPE:
        PressCancel(dialog);
        return true;
    }
    return false;
}

bool HandleCharacter(HWND dialog, MSG& message)
{
    if (message.message == WM_CHAR) {
        const UINT code = DialogCode(message.hwnd, message.wParam, &message);
        if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE))
            return false;
    }
    return ActivateMnemonic(dialog, static_cast<wchar_t>(message.wParam));
}

} // namespace
} // namespace fln::user

using namespace fln::user;

BOOL IsDialogMessageW(HWND dialog, LPMSG message)
{
    if (!message || !IsWindow(dialog) || (message->hwnd != dialog && !IsChild(dialog, message->hwnd)))
        return FALSE;
    bool handled = false;
    switch (message->message) {
    case WM_KEYDOWN:
        handled = HandleKey(dialog, *message);
        break;
    case WM_CHAR:
    case WM_SYSCHAR:
        handled = HandleCharacter(dialog, *message);
        break;
    }
    if (!handled) {
        TranslateMessage(message);
        DispatchMessageW(message);
    }
    return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
    const std::vector<HWND> controls = ControlsOf(dialog);
    HWND found = FindCyclic(controls, ListedControl(controls, control), previous, [](HWND candidate) { return (StyleOf(candidate) & WS_TABSTOP) != 0; });
    return found ? found : control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    if (!control || !IsChild(dialog, control))
        return GetNextDlgTabItem(dialog, nullptr, FALSE);
    // The group: from the nearest WS_GROUP control at or before this one up to the next one.
    HWND parent = GetParent(control);
    std::vector<HWND> siblings;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        siblings.push_back(child);
    auto at = std::find(siblings.begin(), siblings.end(), control);
    auto first = at;
    while (first != siblings.begin() && !(StyleOf(*first) & WS_GROUP))
        --first;
    auto last = at + 1;
    while (last != siblings.end() && !(StyleOf(*last) & WS_GROUP))
        ++last;
    std::vector<HWND> group;
    for (auto it = first; it != last; ++it) {
        if (*it == control || IsReachable(*it))
            group.push_back(*it);
    }
    HWND found = FindCyclic(group, control, previous, [control](HWND candidate) { return candidate != control; });
    return found ? found : control;
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
    if (translated)
        *translated = FALSE;
    wchar_t text[64] {};
    if (!GetDlgItemTextW(dialog, id, text, static_cast<int>(std::size(text))))
        return 0;
    const wchar_t* cursor = text;
    while (std::iswspace(*cursor))
        ++cursor;
    const bool negative = *cursor == L'-';
    if (negative) {
        if (!isSigned)
            return 0;
        ++cursor;
    }
    if (!std::iswdigit(*cursor))
        return 0;
    unsigned long long value = 0;
    const unsigned long long limit = isSigned ? (negative ? 0x80000000ull : 0x7FFFFFFFull) : 0xFFFFFFFFull;
    for (; std::iswdigit(*cursor); ++cursor) {
        value = value * 10 + static_cast<unsigned>(*cursor - L'0');
        if (value > limit)
            return 0; // out of range: not translated
    }
    while (std::iswspace(*cursor))
        ++cursor;
    if (*cursor)
        return 0;
    if (translated)
        *translated = TRUE;
    return negative ? static_cast<UINT>(0u - static_cast<UINT>(value)) : static_cast<UINT>(value);
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    const std::wstring text = isSigned ? std::to_wstring(static_cast<int>(value)) : std::to_wstring(value);
    return SetDlgItemTextW(dialog, id, text.c_str());
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int bufferLength)
{
    if (!buffer || bufferLength <= 0)
        return 0;
    buffer[0] = 0;
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<UINT>(GetWindowTextW(control, buffer, bufferLength)) : 0;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextW(control, text) : FALSE;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return FALSE;
    SendMessageW(button, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    return static_cast<UINT>(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId)
{
    if (firstId > lastId || checkId < firstId || checkId > lastId)
        return FALSE;
    bool found = false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id < firstId || id > lastId)
            continue;
        found |= id == checkId;
        SendMessageW(child, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return found;
}
