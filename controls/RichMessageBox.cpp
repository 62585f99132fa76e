#include "controls/RichMessageBox.h"

#include "platform/comctl/CommCtrl.h"
#include "platform/comctl/RichEdit.h"
#include "platform/gdi/SysColors.h"
#include "platform/mfc/WinApp.h"
#include "platform/res/Resources.h"
#include "platform/user/ResourceHandles.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The box that runs now; its keys come first in the modal loop.
CNGMessageBox* g_running = nullptr;
HHOOK g_filter = nullptr;

constexpr UINT kPlainCommandCode = 0;
constexpr UINT kNoCommand = 0xFFFF;

// An extended dialog template with no controls, the texts in UTF-16.
class TemplateWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value)
    {
        Word(static_cast<WORD>(value & 0xFFFF));
        Word(static_cast<WORD>(value >> 16));
    }
    void Text(const wchar_t* text)
    {
        for (const wchar_t* c = text; *c; ++c)
            Word(static_cast<WORD>(*c));
        Word(0);
    }
    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    std::vector<WORD> m_words;
};

TemplateWriter EmptyBoxTemplate()
{
    TemplateWriter t;
    t.Word(1); // version
    t.Word(0xFFFF); // extended
    t.Dword(0); // help id
    t.Dword(WS_EX_APPWINDOW);
    t.Dword(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    t.Word(0); // no controls
    for (WORD value : { 0, 0, 185, 92 })
        t.Word(value);
    t.Word(0); // no menu
    t.Word(0); // the dialog class
    t.Text(L".");
    t.Word(8); // points
    t.Word(FW_NORMAL);
    t.Word(0x0100); // not italic, character set 1
    t.Text(L"MS Sans Serif");
    return t;
}

struct StreamSource {
    const std::string* bytes;
    size_t offset;
};

DWORD CopyMessage(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written)
{
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const size_t count = std::min<size_t>(static_cast<size_t>(size), source->bytes->size() - source->offset);
    std::memcpy(buffer, source->bytes->data() + source->offset, count);
    source->offset += count;
    *written = static_cast<LONG>(count);
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CNGMessageBox, CWnd)
ON_WM_CLOSE()
END_MESSAGE_MAP()

CNGMessageBox::CNGMessageBox(CWnd* parent)
    : m_parentWindow(parent)
{
    INITCOMMONCONTROLSEX init { sizeof init, ICC_STANDARD_CLASSES };
    ::InitCommonControlsEx(&init);
    if (CWinApp* app = AfxGetApp())
        m_caption = app->m_pszAppName;
}

CNGMessageBox::~CNGMessageBox()
{
    if (g_running == this)
        g_running = nullptr;
}

void CNGMessageBox::SetStandardIcon(UINT id)
{
    m_icon = id ? ::LoadIconW(nullptr, MAKEINTRESOURCEW(id)) : nullptr;
    m_iconWidth = m_iconHeight = 0;
    ICONINFO info {};
    if (m_icon && ::GetIconInfo(m_icon, &info)) {
        BITMAP bitmap {};
        if (info.hbmColor && ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap)) {
            m_iconWidth = bitmap.bmWidth;
            m_iconHeight = bitmap.bmHeight;
        }
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
}

void CNGMessageBox::SetMessage(const wchar_t* format, va_list arguments)
{
    if (format)
        m_message.FormatV(format, arguments);
}

void CNGMessageBox::FormatMessage(const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    SetMessage(format, arguments);
    va_end(arguments);
}

void CNGMessageBox::FormatMessageFromId(UINT id, ...)
{
    const wchar_t* text = nullptr;
    if (::LoadStringW(nullptr, id, reinterpret_cast<LPWSTR>(&text), 0) <= 0 || !text)
        return;
    const CString format(text);
    va_list arguments;
    va_start(arguments, id);
    SetMessage(format, arguments);
    va_end(arguments);
}

void CNGMessageBox::FormatMessageFromResource(UINT id, const wchar_t* type, ...)
{
    HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    if (!resource)
        return;
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, resource)));
    if (!bytes)
        return;
    const CString format(NarrowToWide(std::string_view(bytes, ::SizeofResource(nullptr, resource))).c_str());
    va_list arguments;
    va_start(arguments, type);
    SetMessage(format, arguments);
    va_end(arguments);
}

void CNGMessageBox::AddButton(UINT id, BOOL isDefault, BOOL isEscape, const wchar_t* text)
{
    m_buttons.push_back({ id, text ? text : L"" });
    if (isDefault)
        m_defaultId = static_cast<int>(id);
    if (isEscape)
        m_escapeId = static_cast<int>(id);
}

INT_PTR CNGMessageBox::DoModal()
{
    const TemplateWriter boxTemplate = EmptyBoxTemplate();
    CNGMessageBox* outer = std::exchange(g_running, this);
    HHOOK outerFilter = std::exchange(g_filter, ::SetWindowsHookExW(WH_MSGFILTER, MessageFilter, nullptr, 0));
    HWND owner = m_parentWindow ? m_parentWindow->m_hWnd : nullptr;
    const INT_PTR result = ::DialogBoxIndirectParamW(nullptr, boxTemplate.Data(), owner, DialogProcedure, reinterpret_cast<LPARAM>(this));
    ::UnhookWindowsHookEx(g_filter);
    g_filter = outerFilter;
    g_running = outer;
    m_textWindow = m_iconWindow = nullptr;
    m_buttonWindows.clear();
    return result;
}

INT_PTR CNGMessageBox::DialogProcedure(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* box = reinterpret_cast<CNGMessageBox*>(lParam);
    box->SubclassWindow(dialog);
    return box->OnInitDialog();
}

LRESULT CNGMessageBox::MessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && g_running && g_running->m_hWnd && message && g_running->PreTranslateKey(*message))
        return TRUE;
    return ::CallNextHookEx(g_filter, code, wParam, lParam);
}

BOOL CNGMessageBox::PreTranslateKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN || (message.hwnd != m_hWnd && !::IsChild(m_hWnd, message.hwnd)))
        return FALSE;
    switch (message.wParam) {
    case VK_ESCAPE:
    case VK_CANCEL:
        OnClose();
        return TRUE;
    case VK_RETURN: {
        HWND focus = ::GetFocus();
        for (size_t i = 0; i < m_buttonWindows.size(); ++i) {
            if (m_buttonWindows[i] == focus)
                m_defaultId = static_cast<int>(m_buttons[i].id);
        }
        if (m_defaultId != -1)
            ::EndDialog(m_hWnd, m_defaultId);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CNGMessageBox::OnInitDialog()
{
    SetWindowText(m_caption);
    RECT base { 0, 0, 1000, 1000 };
    ::MapDialogRect(m_hWnd, &base);
    m_baseX = base.right;
    m_baseY = base.bottom;
    CreateText();
    CreateIcon();
    CreateButtons();
    LayOut();
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (static_cast<int>(m_buttons[i].id) == m_defaultId) {
            ::SetFocus(m_buttonWindows[i]);
            return FALSE;
        }
    }
    return TRUE;
}

void CNGMessageBox::CreateText()
{
    const WPARAM font = SendMessage(WM_GETFONT);
    m_textWindow = ::CreateWindowExW(0, RICHEDIT_CLASSW, L"", WS_CHILD | WS_VISIBLE | ES_READONLY | ES_MULTILINE, 0, 0, 0, 0,
        m_hWnd, nullptr, nullptr, nullptr);
    if (!m_textWindow)
        return;
    ::SendMessageW(m_textWindow, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(::GetSysColor(COLOR_BTNFACE)));
    ::SendMessageW(m_textWindow, WM_SETFONT, font, FALSE);
    const std::string bytes = WideToUtf8(std::wstring_view(m_message));
    StreamSource source { &bytes, 0 };
    EDITSTREAM stream { reinterpret_cast<DWORD_PTR>(&source), 0, CopyMessage };
    ::SendMessageW(m_textWindow, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    ::SendMessageW(m_textWindow, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    ::SendMessageW(m_textWindow, EM_REQUESTRESIZE, 0, 0);
}

BOOL CNGMessageBox::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->hwndFrom == m_textWindow && header->code == EN_REQUESTRESIZE) {
        const auto* request = reinterpret_cast<const REQRESIZE*>(lParam);
        m_textWidth = request->rc.right - request->rc.left;
        m_textHeight = request->rc.bottom - request->rc.top;
        return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, result);
}

void CNGMessageBox::CreateIcon()
{
    if (!m_icon)
        return;
    m_iconWindow = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_DISABLED | SS_ICON, 0, 0, m_iconWidth, m_iconHeight,
        m_hWnd, nullptr, nullptr, nullptr);
    ::SendMessageW(m_iconWindow, STM_SETICON, reinterpret_cast<WPARAM>(m_icon), 0);
}

void CNGMessageBox::CreateButtons()
{
    const WPARAM font = SendMessage(WM_GETFONT);
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    int widest = 0, tallest = 0;
    for (const Button& button : m_buttons) {
        HWND window = ::CreateWindowExW(0, L"BUTTON", button.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(button.id)), nullptr, nullptr);
        ::SendMessageW(window, WM_SETFONT, font, FALSE);
        m_buttonWindows.push_back(window);
        SIZE extent {};
        ::GetTextExtentPoint32W(dc, button.text, button.text.GetLength(), &extent);
        widest = std::max<int>(widest, extent.cx);
        tallest = std::max<int>(tallest, extent.cy);
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hWnd, dc);
    m_buttonWidth = std::max(ScaleX(m_margins.minButtonWidth), widest) + 2 * ScaleX(m_margins.buttonPaddingX);
    m_buttonHeight = tallest + 2 * ScaleY(m_margins.buttonPaddingY);
}

void CNGMessageBox::LayOut()
{
    const int left = ScaleX(m_margins.left), right = ScaleX(m_margins.right);
    const int top = ScaleY(m_margins.top), bottom = ScaleY(m_margins.bottom);
    const int iconPart = m_icon ? ScaleX(m_margins.iconGap) + m_iconWidth : 0;
    const int textPartWidth = m_textWidth + iconPart;
    const int textPartHeight = m_icon ? std::max(m_textHeight, m_iconHeight) : m_textHeight;
    const int count = static_cast<int>(m_buttons.size());
    const int gap = ScaleX(m_margins.buttonGap);
    const int rowWidth = count ? count * m_buttonWidth + (count - 1) * gap : 0;
    const int width = std::max(textPartWidth, rowWidth) + left + right;
    const int height = textPartHeight + top + ScaleY(m_margins.textToButtons) + m_buttonHeight + bottom;

    CRect frame(0, 0, width, height);
    ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
    CRect centreOn;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner)
        ::GetWindowRect(owner, &centreOn);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &centreOn, 0);
    const int x = centreOn.left + (centreOn.Width() - frame.Width()) / 2;
    const int y = centreOn.top + (centreOn.Height() - frame.Height()) / 2;
    MoveWindow(x, y, frame.Width(), frame.Height(), FALSE);

    if (m_iconWindow)
        ::MoveWindow(m_iconWindow, left, top, m_iconWidth, m_iconHeight, FALSE);
    m_textWidth += 2;
    const int textX = (width - m_textWidth - right + left + iconPart) / 2;
    if (m_textWindow)
        ::MoveWindow(m_textWindow, textX, top, m_textWidth, m_textHeight, FALSE);
    int buttonX = (width - rowWidth) / 2;
    const int buttonY = height - bottom - m_buttonHeight;
    for (HWND button : m_buttonWindows) {
        ::MoveWindow(button, buttonX, buttonY, m_buttonWidth, m_buttonHeight, FALSE);
        buttonX += m_buttonWidth + gap;
    }
}

BOOL CNGMessageBox::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == kPlainCommandCode && LOWORD(wParam) != kNoCommand) {
        ::EndDialog(m_hWnd, LOWORD(wParam));
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

// Without an escape button only a button or Enter closes the box; a box without any button
// closes here too, so that it can always be left.
void CNGMessageBox::OnClose()
{
    if (m_escapeId != -1 || m_buttons.empty())
        ::EndDialog(m_hWnd, m_escapeId);
}
