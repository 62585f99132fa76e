// The message box: a modal window with the text, a classic icon and push buttons. It also stands
// behind the message-box hook of the layers without windows.

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

struct Button {
    int id;
    const wchar_t* label;
    RECT rect;
};

struct BoxState {
    std::wstring text;
    UINT type = 0;
    std::vector<Button> buttons;
    size_t defaultButton = 0;
    int pressed = 0;
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
    DrawTextW(dc, box->text.c_str(), static_cast<int>(box->text.size()), &text, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    for (size_t i = 0; i < box->buttons.size(); ++i) {
        const Button& button = box->buttons[i];
        RECT r = button.rect;
        if (i == box->defaultButton) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&r, -1, -1);
        }
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (box->pressed == button.id ? DFCS_PUSHED : 0));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, button.label, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (i == box->defaultButton) {
            InflateRect(&r, -3, -3);
            DrawFocusRect(dc, &r);
        }
    }
    SelectObject(dc, oldFont);
}

int ButtonAt(BoxState& box, POINT client)
{
    for (const Button& button : box.buttons) {
        if (PtInRect(&button.rect, client))
            return button.id;
    }
    return 0;
}

void Answer(HWND window, int id)
{
    if (BoxState* box = StateOf(window); box && id)
        box->result = id;
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
        if (box && std::ranges::any_of(box->buttons, [&](const Button& b) { return b.id == static_cast<int>(LOWORD(wParam)); }))
            Answer(window, LOWORD(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        if (box) {
            box->pressed = ButtonAt(*box, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
            if (box->pressed)
                SetCapture(window);
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (box && box->pressed) {
            int id = ButtonAt(*box, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
            if (id == box->pressed)
                Answer(window, id);
            box->pressed = 0;
            ReleaseCapture();
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    case WM_KEYDOWN:
        if (!box)
            return 0;
        if (wParam == VK_RETURN || wParam == VK_SPACE)
            Answer(window, box->buttons[box->defaultButton].id);
        else if (wParam == VK_ESCAPE)
            Answer(window, CancelAnswer(*box));
        else if (wParam == VK_TAB || wParam == VK_RIGHT || wParam == VK_LEFT) {
            size_t count = box->buttons.size();
            bool back = wParam == VK_LEFT || (wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
            box->defaultButton = (box->defaultButton + (back ? count - 1 : 1)) % count;
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    case WM_CHAR:
        // The underlined letters of the buttons.
        for (const Button& button : box ? box->buttons : std::vector<Button> {}) {
            const wchar_t* amp = std::wcschr(button.label, L'&');
            if (amp && std::towlower(amp[1]) == std::towlower(static_cast<wint_t>(wParam)))
                Answer(window, button.id);
        }
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

SIZE LayOut(BoxState& box)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    int maxTextWidth = GetSystemMetrics(SM_CXSCREEN) * 5 / 8;
    RECT text { 0, 0, maxTextWidth, 0 };
    DrawTextW(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    int textLeft = kMargin + ((box.type & 0xF0) ? kIconSize + kMargin : 0);
    int textHeight = std::max<int>(text.bottom, (box.type & 0xF0) ? kIconSize : 0);
    box.textRect = { textLeft, kMargin, textLeft + text.right, kMargin + textHeight };
    int buttonsWidth = static_cast<int>(box.buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    int width = std::max<int>(box.textRect.right + kMargin, buttonsWidth + 2 * kMargin);
    int y = box.textRect.bottom + kMargin;
    int x = (width - buttonsWidth) / 2;
    for (Button& button : box.buttons) {
        button.rect = { x, y, x + kButtonWidth, y + kButtonHeight };
        x += kButtonWidth + kButtonGap;
    }
    return { width, y + kButtonHeight + kMargin };
}

int ShowBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    BoxState box;
    box.text = text ? text : L"";
    box.type = type;
    box.buttons = ButtonsFor(type);
    box.defaultButton = std::min<size_t>((type >> 8) & 0xF, box.buttons.size() - 1);
    SIZE client = LayOut(box);
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame { 0, 0, client.cx, client.cy };
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT area;
    if (!owner || !GetWindowRect(owner, &area))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    int x = (area.left + area.right - width) / 2, y = (area.top + area.bottom - height) / 2;
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME | ((type & MB_SYSTEMMODAL) ? WS_EX_TOPMOST : 0), BoxClass(), caption ? caption : L"Error",
        style, x, y, width, height, root, nullptr, nullptr, nullptr);
    if (!window)
        return 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    bool ownerWasEnabled = root && IsWindowEnabled(root);
    if (ownerWasEnabled)
        EnableWindow(root, FALSE);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    RunModalLoop(window, MSGF_MESSAGEBOX, [&] { return box.result != 0 || !IsWindow(window); });
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
