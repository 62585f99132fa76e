// The message box: a modal window with the text, a classic icon and push buttons (BUTTON
// children). It also stands behind the message-box hook of the layers without windows.

#include "platform/user/Dialog.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTree.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <cwctype>

namespace fln::user {
namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
// A line wider than the box breaks inside its words; lines that do not fit whole are left out.
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

struct Button {
    int id;
    const wchar_t* label;
    RECT rect;
    HWND window = nullptr;
};

struct BoxState {
    std::wstring text;
    UINT type = 0;
    std::vector<Button> buttons;
    size_t defaultButton = 0; // the focused one, framed as the default
    int result = 0;
    RECT textRect {};
};

std::vector<Button> ButtonsFor(UINT type)
{
    switch (type & 0xF) {
    case MB_OKCANCEL: return { { IDOK, L"OK", {} }, { IDCANCEL, L"Cancel", {} } };
    case MB_ABORTRETRYIGNORE: return { { IDABORT, L"&Abort", {} }, { IDRETRY, L"&Retry", {} }, { IDIGNORE, L"&Ignore", {} } };
    case MB_YESNOCANCEL: return { { IDYES, L"&Yes", {} }, { IDNO, L"&No", {} }, { IDCANCEL, L"Cancel", {} } };
    case MB_YESNO: return { { IDYES, L"&Yes", {} }, { IDNO, L"&No", {} } };
    case MB_RETRYCANCEL: return { { IDRETRY, L"&Retry", {} }, { IDCANCEL, L"Cancel", {} } };
    }
    return { { IDOK, L"OK", {} } };
}

// Escape and the close button answer Cancel, or OK when that is the only button.
int CancelAnswer(const BoxState& box)
{
    for (const Button& button : box.buttons) {
        if (button.id == IDCANCEL)
            return IDCANCEL;
    }
    return box.buttons.size() == 1 ? box.buttons.front().id : 0;
}

BoxState* StateOf(HWND window)
{
    return reinterpret_cast<BoxState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void DrawIcon(HDC dc, UINT type, int x, int y)
{
    UINT icon = type & 0xF0;
    if (!icon)
        return;
    COLORREF fill = icon == MB_ICONERROR ? RGB(255, 0, 0) : icon == MB_ICONWARNING ? RGB(255, 255, 0) : RGB(0, 0, 255);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    if (icon == MB_ICONWARNING) {
        POINT triangle[] = { { x + kIconSize / 2, y + 1 }, { x + kIconSize - 1, y + kIconSize - 2 }, { x, y + kIconSize - 2 } };
        Polygon(dc, triangle, 3);
    } else {
        Ellipse(dc, x, y, x + kIconSize, y + kIconSize);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    const wchar_t* glyph = icon == MB_ICONERROR ? L"X" : icon == MB_ICONQUESTION ? L"?" : icon == MB_ICONWARNING ? L"!" : L"i";
    LOGFONTW font {};
    font.lfHeight = -20;
    font.lfWeight = FW_BOLD;
    std::wcscpy(font.lfFaceName, L"Times New Roman");
    HFONT glyphFont = CreateFontIndirectW(&font);
    HGDIOBJ oldFont = SelectObject(dc, glyphFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, icon == MB_ICONWARNING ? RGB(0, 0, 0) : RGB(255, 255, 255));
    RECT r { x, y + 2, x + kIconSize, y + kIconSize };
    DrawTextW(dc, glyph, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    DeleteObject(glyphFont);
}

void Paint(HWND window, HDC dc)
{
    BoxState* box = StateOf(window);
    if (!box)
        return;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    DrawIcon(dc, box->type, kMargin, kMargin);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT text = box->textRect;
    DrawTextW(dc, box->text.c_str(), static_cast<int>(box->text.size()), &text, kTextFormat);
    SelectObject(dc, oldFont);
}

void Answer(HWND window, int id)
{
    if (BoxState* box = StateOf(window); box && id)
        box->result = id;
}

void MakeButtons(HWND window, BoxState& box)
{
    for (size_t i = 0; i < box.buttons.size(); ++i) {
        Button& button = box.buttons[i];
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) | (i == box.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        const RECT& r = button.rect;
        button.window = CreateWindowExW(0, L"Button", button.label, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
            window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(button.id)), nullptr, nullptr);
        SendMessageW(button.window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
}

// The focus and the default frame move together from button to button.
void MakeDefault(BoxState& box, size_t index)
{
    SendMessageW(box.buttons[box.defaultButton].window, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    box.defaultButton = index;
    SendMessageW(box.buttons[index].window, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SetFocus(box.buttons[index].window);
}

// The keys the box takes before its buttons: Enter answers with the default button, Escape
// cancels, Tab and the arrows move between the buttons. Space is the focused button's own.
bool OnBoxKey(HWND window, BoxState& box, WPARAM key)
{
    switch (key) {
    case VK_RETURN: Answer(window, box.buttons[box.defaultButton].id); return true;
    case VK_ESCAPE: Answer(window, CancelAnswer(box)); return true;
    case VK_TAB:
    case VK_RIGHT:
    case VK_LEFT: {
        size_t count = box.buttons.size();
        bool back = key == VK_LEFT || (key == VK_TAB && GetKeyState(VK_SHIFT) < 0);
        MakeDefault(box, (box.defaultButton + (back ? count - 1 : 1)) % count);
        return true;
    }
    default: return false;
    }
}

// The underlined letters of the buttons.
bool OnBoxChar(HWND window, const BoxState& box, wchar_t typed)
{
    for (const Button& button : box.buttons) {
        const wchar_t* amp = std::wcschr(button.label, L'&');
        if (amp && std::towlower(amp[1]) == std::towlower(static_cast<wint_t>(typed))) {
            Answer(window, button.id);
            return true;
        }
    }
    return false;
}

LRESULT BoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    BoxState* box = StateOf(window);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        Paint(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_COMMAND:
        if (box && HIWORD(wParam) == BN_CLICKED && std::ranges::any_of(box->buttons, [&](const Button& b) { return b.id == static_cast<int>(LOWORD(wParam)); }))
            Answer(window, LOWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        if (box)
            OnBoxKey(window, *box, wParam);
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
        if (box)
            OnBoxChar(window, *box, static_cast<wchar_t>(wParam));
        return 0;
    case WM_CLOSE:
        if (box)
            Answer(window, CancelAnswer(*box));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LPCWSTR BoxClass()
{
    static ATOM atom = [] {
        WNDCLASSEXW windowClass { sizeof windowClass };
        windowClass.lpfnWndProc = BoxProcedure;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_3DFACE + 1));
        windowClass.lpszClassName = L"FormulonMessageBox";
        return RegisterClassExW(&windowClass);
    }();
    return MAKEINTATOM(atom);
}

// The box fits the work area: a line wider than the text may be breaks inside its words, and a text
// taller than the area is cut after the last line that fits whole.
SIZE LayOut(BoxState& box, const RECT& workArea, SIZE chrome)
{
    const int buttonsWidth = static_cast<int>(box.buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    const int iconWidth = (box.type & 0xF0) ? kIconSize + kMargin : 0;
    const int maxTextWidth = std::max(std::min<int>(GetSystemMetrics(SM_CXSCREEN) * 5 / 8,
                                          workArea.right - workArea.left - chrome.cx - 2 * kMargin - iconWidth), 1);
    const int maxTextHeight = std::max<int>(workArea.bottom - workArea.top - chrome.cy - 3 * kMargin - kButtonHeight, 1);
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT text { 0, 0, maxTextWidth, 0 };
    DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text, DT_CALCRECT | kTextFormat);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    int textLeft = kMargin + iconWidth;
    int textHeight = std::max<int>(std::min<int>(text.bottom, maxTextHeight), (box.type & 0xF0) ? kIconSize : 0);
    box.textRect = { textLeft, kMargin, textLeft + std::min<int>(text.right, maxTextWidth), kMargin + textHeight };
    int width = std::max<int>(box.textRect.right + kMargin, buttonsWidth + 2 * kMargin);
    int y = box.textRect.bottom + kMargin;
    int x = (width - buttonsWidth) / 2;
    for (Button& button : box.buttons) {
        button.rect = { x, y, x + kButtonWidth, y + kButtonHeight };
        x += kButtonWidth + kButtonGap;
    }
    return { width, y + kButtonHeight + kMargin };
}

RECT WorkAreaFor(const RECT& area)
{
    MONITORINFO monitor { sizeof monitor };
    if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor))
        return monitor.rcWork;
    return { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
}

int ShowBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    BoxState box;
    box.text = text ? text : L"";
    box.type = type;
    box.buttons = ButtonsFor(type);
    box.defaultButton = std::min<size_t>((type >> 8) & 0xF, box.buttons.size() - 1);
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT chrome {};
    AdjustWindowRectEx(&chrome, style, FALSE, WS_EX_DLGMODALFRAME);
    const RECT centring = CentringAreaFor(owner);
    SIZE client = LayOut(box, WorkAreaFor(centring), { chrome.right - chrome.left, chrome.bottom - chrome.top });
    RECT frame { 0, 0, client.cx, client.cy };
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    CentreOn(frame, centring);
    KeepInsideWorkArea(frame);
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME | ((type & MB_SYSTEMMODAL) ? WS_EX_TOPMOST : 0), BoxClass(), caption ? caption : L"Error",
        style, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, root, nullptr, nullptr, nullptr);
    if (!window)
        return 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    MakeButtons(window, box);
    bool ownerWasEnabled = root && IsWindowEnabled(root);
    if (ownerWasEnabled)
        EnableWindow(root, FALSE);
    ShowWindow(window, SW_SHOW);
    SetFocus(box.buttons[box.defaultButton].window);
    UpdateWindow(window);
    // Keys typed on a button reach the box first, as in a dialog.
    RunModalLoop(window, MSGF_MESSAGEBOX, [&] { return box.result != 0 || !IsWindow(window); }, [&](MSG& message) {
        if (!IsChild(window, message.hwnd))
            return false;
        if (message.message == WM_KEYDOWN)
            return OnBoxKey(window, box, message.wParam);
        if (message.message == WM_CHAR || message.message == WM_SYSCHAR) // Y, or Alt+Y
            return OnBoxChar(window, box, static_cast<wchar_t>(message.wParam));
        return false;
    });
    if (ownerWasEnabled)
        EnableWindow(root, TRUE);
    if (IsWindow(window)) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
    if (root && IsWindow(root))
        SetActiveWindow(root);
    return box.result ? box.result : CancelAnswer(box);
}

} // namespace

void InstallWindowedMessageBoxes()
{
    // A handler a test installed before the first window stays in place.
    MessageBoxHandler previous = SetMessageBoxHandler([](const wchar_t* text, const wchar_t* caption, UINT type) {
        return ShowBox(GetActiveWindow(), text, caption ? caption : L"Formulon", type);
    });
    if (previous)
        SetMessageBoxHandler(std::move(previous));
}

} // namespace fln::user

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    return fln::user::ShowBox(owner, text, caption, type);
}
