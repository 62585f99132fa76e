// Dialogs from templates: the dialog class "#32770", its default procedure, dialog units, modeless
// and modal dialogs, and dialog-init data.

#include "platform/user/Dialog.h"

#include "platform/base/CString.h"
#include "platform/base/MulDiv.h"
#include "platform/gdi/Gdi.h"
#include "platform/res/Resources.h"
#include "platform/res/Templates.h"
#include "platform/user/ControlSupport.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/SystemClasses.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <utility>

namespace fln::user {
namespace {

using res::DialogItemTemplate;
using res::DialogTemplate;
using res::NameOrOrdinal;

std::unordered_map<HWND, DialogState>& States()
{
    static std::unordered_map<HWND, DialogState> states;
    return states;
}

// ---- the dialog's font and units

SIZE BaseUnitsOf(HFONT font)
{
    if (!font) {
        LONG units = GetDialogBaseUnits();
        return { LOWORD(units), HIWORD(units) };
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    // The average width of the letters, rounded, as dialog units have always been measured.
    static constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent {};
    GetTextExtentPoint32W(dc, kAlphabet, 52, &extent);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return { (extent.cx / 26 + 1) / 2, metrics.tmHeight };
}

struct DialogFont {
    HFONT font = nullptr;
    bool owned = false;
};

DialogFont FontFor(const DialogTemplate& dialog)
{
    if (dialog.hasFont) {
        CString face = dialog.typeface;
        // An extended template with DS_SHELLFONT asks for the newer shell dialog face.
        if (dialog.extended && (dialog.style & DS_SHELLFONT) == DS_SHELLFONT && face.CompareNoCase(L"MS Shell Dlg") == 0)
            face = L"MS Shell Dlg 2";
        HDC dc = GetDC(nullptr);
        const int height = -MulDiv(dialog.pointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
        ReleaseDC(nullptr, dc);
        HFONT font = CreateFontW(height, 0, 0, 0, dialog.weight ? dialog.weight : FW_NORMAL, dialog.italic, FALSE, FALSE,
            dialog.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
        if (font)
            return { font, true };
    }
    if (dialog.style & DS_FIXEDSYS)
        return { static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT)), false };
    return {};
}

RECT ToPixels(RECT rect, SIZE baseUnits)
{
    return { MulDiv(rect.left, baseUnits.cx, 4), MulDiv(rect.top, baseUnits.cy, 8), MulDiv(rect.right, baseUnits.cx, 4),
        MulDiv(rect.bottom, baseUnits.cy, 8) };
}

} // namespace

// ---- placement

void KeepInsideWorkArea(RECT& rect)
{
    MONITORINFO monitor { sizeof monitor };
    if (!GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    int dx = 0, dy = 0;
    if (rect.right > work.right)
        dx = work.right - rect.right;
    if (rect.bottom > work.bottom)
        dy = work.bottom - rect.bottom;
    OffsetRect(&rect, dx, dy);
    OffsetRect(&rect, std::max<LONG>(0, work.left - rect.left), std::max<LONG>(0, work.top - rect.top));
}

void CentreOn(RECT& rect, const RECT& area)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    rect.left = (area.left + area.right - width) / 2;
    rect.top = (area.top + area.bottom - height) / 2;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
}

RECT CentringAreaFor(HWND owner)
{
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    RECT area {};
    if (root && IsWindowVisible(root) && !IsIconic(root) && GetWindowRect(root, &area))
        return area;
    MONITORINFO monitor { sizeof monitor };
    HMONITOR where = root ? MonitorFromWindow(root, MONITOR_DEFAULTTONEAREST) : MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY);
    GetMonitorInfoW(where, &monitor);
    return monitor.rcWork;
}

namespace {

// The window rectangle: the template's rectangle is the client area, in the parent's client
// coordinates for a child and the owner's (or the screen's, with DS_ABSALIGN) for a top-level one.
RECT WindowRectFor(const DialogTemplate& dialog, DWORD style, DWORD exStyle, bool hasMenu, SIZE baseUnits, HWND parent)
{
    RECT rect = ToPixels({ dialog.x, dialog.y, dialog.x + dialog.cx, dialog.y + dialog.cy }, baseUnits);
    AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
    if (style & WS_CHILD)
        return rect;
    if (!(style & DS_ABSALIGN) && parent) {
        POINT origin {};
        ClientToScreen(parent, &origin);
        OffsetRect(&rect, origin.x, origin.y);
    }
    if (style & DS_CENTERMOUSE) {
        POINT cursor {};
        GetCursorPos(&cursor);
        CentreOn(rect, { cursor.x, cursor.y, cursor.x, cursor.y });
    } else if (style & DS_CENTER) {
        CentreOn(rect, CentringAreaFor(parent));
    }
    KeepInsideWorkArea(rect);
    return rect;
}

// ---- creation

LPCWSTR NameOf(const NameOrOrdinal& name)
{
    return name.IsOrdinal() ? MAKEINTRESOURCEW(name.ordinal) : static_cast<LPCWSTR>(name.text);
}

LPCWSTR ControlClassName(const NameOrOrdinal& windowClass)
{
    static constexpr LPCWSTR kPredefined[] = { L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox" };
    if (!windowClass.IsOrdinal())
        return windowClass.text;
    const unsigned index = windowClass.ordinal - 0x80u;
    return index < std::size(kPredefined) ? kPredefined[index] : nullptr;
}

// Controls are children with WS_EX_NOPARENTNOTIFY; an ordinal title (an icon's or bitmap's
// resource) reaches the control as an integer resource name in lpszName.
HWND CreateControl(HWND dialog, HINSTANCE instance, const DialogItemTemplate& item, SIZE baseUnits)
{
    LPCWSTR className = ControlClassName(item.windowClass);
    if (!className)
        return nullptr;
    const RECT rect = ToPixels({ item.x, item.y, item.x + item.cx, item.y + item.cy }, baseUnits);
    // The creation data reaches WM_CREATE as its documented block: a size word, then the bytes.
    std::vector<BYTE> creationData;
    if (!item.creationData.empty()) {
        const WORD size = static_cast<WORD>(item.creationData.size() + sizeof(WORD));
        creationData = { LOBYTE(size), HIBYTE(size) };
        creationData.insert(creationData.end(), item.creationData.begin(), item.creationData.end());
    }
    return CreateWindowExW(item.exStyle | WS_EX_NOPARENTNOTIFY, className, NameOf(item.title), item.style | WS_CHILD, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)),
        instance, creationData.empty() ? nullptr : creationData.data());
}

HWND CreateFromTemplate(HINSTANCE instance, const void* data, std::size_t size, HWND parent, DLGPROC procedure, LPARAM initParam)
{
    const std::optional<DialogTemplate> dialog = res::DecodeDialogTemplate(data, size);
    if (!dialog)
        return nullptr;
    DWORD style = dialog->style;
    DWORD exStyle = dialog->exStyle;
    if (style & DS_MODALFRAME)
        exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTROL) {
        // A dialog inside another one: no caption of its own, and its controls join the
        // parent's keyboard navigation.
        style &= ~(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    if ((style & WS_CHILD) && !IsWindow(parent))
        return nullptr;

    DialogFont font = FontFor(*dialog);
    const SIZE baseUnits = BaseUnitsOf(font.font);
    HMENU menu = nullptr;
    if (!(style & WS_CHILD) && (dialog->menu.IsOrdinal() || !dialog->menu.text.IsEmpty()))
        menu = LoadMenuW(instance, NameOf(dialog->menu));
    const RECT rect = WindowRectFor(*dialog, style, exStyle, menu != nullptr, baseUnits, parent);
    const bool namedClass = dialog->windowClass.IsOrdinal() || !dialog->windowClass.text.IsEmpty();
    HWND window = CreateWindowExW(exStyle, namedClass ? NameOf(dialog->windowClass) : L"#32770", dialog->title, style & ~WS_VISIBLE,
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, menu, instance, nullptr);
    if (!window) {
        if (menu)
            DestroyMenu(menu);
        if (font.owned)
            DeleteObject(font.font);
        return nullptr;
    }
    DialogState& state = States()[window];
    state.font = font.font;
    state.ownsFont = font.owned;
    state.baseUnits = baseUnits;
    SetWindowLongPtrW(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(procedure));
    if (font.font)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.font), FALSE);

    for (const DialogItemTemplate& item : dialog->items) {
        HWND control = CreateControl(window, instance, item, baseUnits);
        if (!IsWindow(window))
            return nullptr;
        if (!control) {
            if (style & DS_NOFAILCREATE)
                continue;
            DestroyWindow(window);
            return nullptr;
        }
        if (font.font)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.font), FALSE);
        if (!state.defaultId && (DialogCode(control) & DLGC_DEFPUSHBUTTON))
            state.defaultId = GetDlgCtrlID(control);
    }

    HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    const bool focusFirst = SendMessageW(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam) != 0;
    if (!IsWindow(window))
        return nullptr;
    // The state stays where it is while the window lives (the map never moves its elements).
    if (focusFirst && first && IsChild(window, first)) {
        // Given now when the dialog shows already, otherwise when it is first activated.
        state.focus = first;
        if (IsWindowVisible(window))
            SetDialogFocus(window, first);
    }
    if ((dialog->style & WS_VISIBLE) && !state.ended) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    return IsWindow(window) ? window : nullptr;
}

struct TemplateBytes {
    const void* data = nullptr;
    std::size_t size = 0;
};

TemplateBytes FindTemplate(HINSTANCE instance, LPCWSTR name, LPCWSTR type)
{
    HRSRC resource = FindResourceW(instance, name, type);
    if (!resource)
        return {};
    return { LockResource(LoadResource(instance, resource)), SizeofResource(instance, resource) };
}

// An in-memory template carries no size: like every structure a caller hands over, it is trusted
// to be whole, and read only as far as its own counts say.
constexpr std::size_t kInMemoryTemplate = std::numeric_limits<std::size_t>::max() / 2;

INT_PTR RunModal(HINSTANCE instance, const void* data, std::size_t size, HWND parent, DLGPROC procedure, LPARAM initParam)
{
    if (parent && !IsWindow(parent))
        return -1;
    HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
    HWND dialog = CreateFromTemplate(instance, data, size, owner, procedure, initParam);
    if (!dialog)
        return -1;
    DialogState* state = FindDialogState(dialog);
    state->modal = true;
    if (!state->ended) {
        if (owner && IsWindowEnabled(owner)) {
            EnableWindow(owner, FALSE);
            state->disabledOwner = owner;
        }
        ShowWindow(dialog, SW_SHOWNORMAL);
        UpdateWindow(dialog);
        RunModalLoop(dialog, MSGF_DIALOGBOX, [dialog] {
            DialogState* running = FindDialogState(dialog);
            return !running || running->ended;
        }, [dialog](MSG& message) { return IsDialogMessageW(dialog, &message) != FALSE; });
    }
    INT_PTR result = 0;
    if ((state = FindDialogState(dialog))) {
        result = state->result;
        if (state->disabledOwner)
            EndDialog(dialog, result); // the loop ended otherwise (WM_QUIT): the owner comes back all the same
    }
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    if (owner && IsWindow(owner) && IsWindowVisible(owner))
        SetActiveWindow(owner);
    return result;
}

// ---- the default procedure's handlers

// Messages whose answer is the dialog procedure's return value rather than DWLP_MSGRESULT.
bool AnswersDirectly(UINT message)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_INITDIALOG:
        return true;
    }
    return false;
}

LRESULT OnEraseBackground(HWND dialog, HDC dc)
{
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog)));
    if (!brush)
        return DefWindowProcW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(dc, &client, brush);
    return TRUE;
}

void SaveFocus(HWND dialog, DialogState& state)
{
    HWND focus = GetFocus();
    if (focus && IsChild(dialog, focus))
        state.focus = focus;
}

// The saved control, else the first tab stop; a dialog without either keeps the focus itself.
void RestoreFocus(HWND dialog, DialogState& state)
{
    HWND target = state.focus && IsChild(dialog, state.focus) ? state.focus : GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (!target)
        target = dialog;
    if (target == GetFocus())
        return;
    if (target == dialog)
        SetFocus(dialog);
    else
        SetDialogFocus(dialog, target);
}

// WM_NEXTDLGCTL: with lParam's low word set, wParam is the control; otherwise wParam says
// previous (non-zero) or next tab stop from the focus.
void OnNextControl(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
    if (target && IsChild(dialog, target))
        SetDialogFocus(dialog, target);
}

// Only the button's type changes between push button and default push button.
void SetButtonLook(HWND button, DWORD look)
{
    const DWORD style = static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE));
    SendMessageW(button, BM_SETSTYLE, LOWORD((style & ~BS_TYPEMASK) | look), TRUE);
}

LRESULT OnSetDefaultId(HWND dialog, DialogState& state, int id)
{
    HWND previous = state.defaultId ? GetDlgItem(dialog, state.defaultId) : nullptr;
    HWND next = id ? GetDlgItem(dialog, id) : nullptr;
    if (previous && previous != next && (DialogCode(previous) & DLGC_DEFPUSHBUTTON))
        SetButtonLook(previous, BS_PUSHBUTTON);
    if (next && (DialogCode(next) & DLGC_UNDEFPUSHBUTTON))
        SetButtonLook(next, BS_DEFPUSHBUTTON);
    state.defaultId = id;
    return TRUE;
}

void OnClose(HWND dialog)
{
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return;
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), reinterpret_cast<LPARAM>(cancel));
}

LRESULT DefaultDialogHandling(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogState* state = FindDialogState(dialog);
    if (!state)
        return DefWindowProcW(dialog, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return OnEraseBackground(dialog, reinterpret_cast<HDC>(wParam));
    case WM_SHOWWINDOW:
        if (!wParam)
            SaveFocus(dialog, *state);
        return DefWindowProcW(dialog, message, wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            SaveFocus(dialog, *state);
        else
            RestoreFocus(dialog, *state);
        return 0;
    case WM_SETFOCUS:
        RestoreFocus(dialog, *state);
        return 0;
    case WM_CLOSE:
        OnClose(dialog);
        return 0;
    case WM_NEXTDLGCTL:
        OnNextControl(dialog, wParam, lParam);
        return 0;
    case DM_GETDEFID:
        return state->defaultId ? MAKELRESULT(static_cast<WORD>(state->defaultId), DC_HASDEFID) : 0;
    case DM_SETDEFID:
        return OnSetDefaultId(dialog, *state, static_cast<int>(wParam));
    case WM_SETFONT:
        return 0; // the dialog's font is chosen by its template
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state->font);
    case WM_NCDESTROY:
        if (state->ownsFont)
            DeleteObject(state->font);
        States().erase(dialog);
        return DefWindowProcW(dialog, message, wParam, lParam);
    }
    return DefWindowProcW(dialog, message, wParam, lParam);
}

} // namespace

DialogState* FindDialogState(HWND dialog)
{
    auto it = States().find(dialog);
    return it == States().end() ? nullptr : &it->second;
}

UINT DialogCode(HWND control, WPARAM key, const MSG* message)
{
    return control ? static_cast<UINT>(SendMessageW(control, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(message))) : 0;
}

void SetDialogFocus(HWND dialog, HWND control)
{
    if (DialogCode(control) & DLGC_HASSETSEL)
        SendMessageW(control, EM_SETSEL, 0, -1);
    SetFocus(control);
    if (DialogState* state = FindDialogState(dialog))
        state->focus = control;
}

void FollowFocusWithDefaultLook(HWND previous, HWND control)
{
    HWND dialog = control ? GetParent(control) : nullptr;
    if (!dialog || !FindDialogState(dialog))
        return;
    const UINT code = DialogCode(control);
    // The focused push button looks like the default one; elsewhere the default button does.
    HWND defaultButton = nullptr;
    if (LRESULT id = SendMessageW(dialog, DM_GETDEFID, 0, 0); HIWORD(id) == DC_HASDEFID)
        defaultButton = GetDlgItem(dialog, LOWORD(id));
    const UINT previousCode = previous && previous != control && IsWindow(previous) && GetParent(previous) == dialog ? DialogCode(previous) : 0;
    if (IsPushButton(code)) {
        HWND looksDefault = IsPushButton(previousCode) ? previous : defaultButton;
        if (looksDefault && looksDefault != control && (DialogCode(looksDefault) & DLGC_DEFPUSHBUTTON))
            SetButtonLook(looksDefault, BS_PUSHBUTTON);
        if (code & DLGC_UNDEFPUSHBUTTON)
            SetButtonLook(control, BS_DEFPUSHBUTTON);
        return;
    }
    if (IsPushButton(previousCode) && previous != defaultButton && (previousCode & DLGC_DEFPUSHBUTTON))
        SetButtonLook(previous, BS_PUSHBUTTON);
    if (defaultButton && (DialogCode(defaultButton) & DLGC_UNDEFPUSHBUTTON))
        SetButtonLook(defaultButton, BS_DEFPUSHBUTTON);
}

ATOM RegisterDialogClass()
{
    return RegisterControlClass(L"#32770", DefDlgProcW, DLGWINDOWEXTRA, CS_DBLCLKS | CS_SAVEBITS);
}

} // namespace fln::user

using namespace fln::user;

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC procedure, LPARAM initParam)
{
    TemplateBytes found = FindTemplate(instance, templateName, RT_DIALOG);
    return found.data ? CreateFromTemplate(instance, found.data, found.size, parent, procedure, initParam) : nullptr;
}

HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC procedure, LPARAM initParam)
{
    return dialogTemplate ? CreateFromTemplate(instance, dialogTemplate, kInMemoryTemplate, parent, procedure, initParam) : nullptr;
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC procedure, LPARAM initParam)
{
    TemplateBytes found = FindTemplate(instance, templateName, RT_DIALOG);
    return found.data ? RunModal(instance, found.data, found.size, parent, procedure, initParam) : -1;
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC procedure, LPARAM initParam)
{
    return dialogTemplate ? RunModal(instance, dialogTemplate, kInMemoryTemplate, parent, procedure, initParam) : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    DialogState* state = FindDialogState(dialog);
    if (!state)
        return FALSE;
    state->ended = true;
    state->result = result;
    // The owner comes back before the dialog goes, so that it is the one activated next.
    if (HWND owner = std::exchange(state->disabledOwner, nullptr); owner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (state->modal)
        ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC))) {
        const INT_PTR answer = procedure(dialog, message, wParam, lParam);
        if (answer && AnswersDirectly(message))
            return answer;
        if (answer)
            return IsWindow(dialog) ? GetWindowLongPtrW(dialog, DWLP_MSGRESULT) : 0;
        if (!IsWindow(dialog))
            return 0;
    }
    return DefaultDialogHandling(dialog, message, wParam, lParam);
}

BOOL MapDialogRect(HWND dialog, LPRECT rect)
{
    DialogState* state = FindDialogState(dialog);
    if (!state || !rect)
        return FALSE;
    *rect = ToPixels(*rect, state->baseUnits);
    return TRUE;
}

BOOL ExecuteDialogInit(HWND dialog, const void* data, DWORD size)
{
    // Dialog editors write the list messages' old numbers.
    constexpr WORD kOldListAddString = 0x0401, kOldComboAddString = 0x0403;
    const auto entries = fln::res::DecodeDialogInit(data, size);
    if (!entries || !IsWindow(dialog))
        return FALSE;
    BOOL allSent = TRUE;
    for (const fln::res::DialogInitEntry& entry : *entries) {
        HWND control = GetDlgItem(dialog, entry.controlId);
        UINT message = entry.message == kOldListAddString ? LB_ADDSTRING : entry.message == kOldComboAddString ? CB_ADDSTRING : entry.message;
        if (!control || (message != LB_ADDSTRING && message != CB_ADDSTRING)) {
            allSent = FALSE;
            continue;
        }
        std::string_view bytes(reinterpret_cast<const char*>(entry.data.data()), entry.data.size());
        bytes = bytes.substr(0, bytes.find('\0'));
        const std::wstring text = NarrowToWide(bytes);
        SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return allSent;
}

BOOL ExecuteDialogInitResource(HWND dialog, HINSTANCE instance, LPCWSTR templateName)
{
    TemplateBytes found = FindTemplate(instance, templateName, RT_DLGINIT);
    return found.data ? ExecuteDialogInit(dialog, found.data, static_cast<DWORD>(found.size)) : IsWindow(dialog);
}
