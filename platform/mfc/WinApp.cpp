#include "platform/mfc/WinApp.h"

#include "platform/base/MessageBox.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/sys/PrivateProfile.h"
#include "platform/sys/Registry.h"

#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* theApp = nullptr;

constexpr LPCWSTR recentFileSection = L"Recent File List";

// Opens (or with create, makes) HKEY_CURRENT_USER\Software\<key>\<profile>\<section>.
HKEY OpenSectionKey(const CString& registryKey, const CString& profile, LPCWSTR section, bool create)
{
    CString path = L"Software\\" + registryKey + L"\\" + profile + L"\\" + CString(section);
    HKEY key = nullptr;
    LSTATUS status = create
        ? RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr, &key, nullptr)
        : RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS)
        SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS ? key : nullptr;
}

// A registry write's status as the profile functions report it: FALSE, with the reason as the last
// error, when it failed.
BOOL Succeeded(LSTATUS status)
{
    if (status != ERROR_SUCCESS)
        SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

} // namespace

CWinApp* AfxGetApp()
{
    return theApp;
}

CWnd* AfxGetMainWnd()
{
    return theApp ? theApp->GetMainWnd() : nullptr;
}

int CWinThread::Run()
{
    LONG idleCount = 0;
    for (;;) {
        MSG message;
        while (!::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                break;
        }
        if (!PumpMessage())
            return ExitInstance();
        if (IsIdleMessage(&m_msgCur))
            idleCount = 0;
    }
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageW(&m_msgCur, nullptr, 0, 0)) {
        m_exitCode = static_cast<int>(m_msgCur.wParam);
        return FALSE;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* message)
{
    // Mouse messages keep the tool tip of the nearest window that enables them up to date.
    if (message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST) {
        for (HWND window = message->hwnd; window; window = ::GetParent(window)) {
            if (CWnd* object = CWnd::FromHandlePermanent(window); object && object->ToolTipsEnabled()) {
                object->FilterToolTipMessage(message);
                break;
            }
            if (!(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
                break;
        }
    }
    // Each window from the target up to its top-level window may take the message first.
    for (HWND window = message->hwnd; window; window = ::GetParent(window)) {
        if (CWnd* object = CWnd::FromHandlePermanent(window); object && object->PreTranslateMessage(message))
            return TRUE;
        if (!(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
            break;
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG count)
{
    if (count == 0) {
        if (CWnd* main = GetMainWnd(); main && main->m_hWnd && ::IsWindowVisible(main->m_hWnd)) {
            if (auto* frame = dynamic_cast<CFrameWnd*>(main)) {
                frame->SendIdleUpdateCmdUI();
            } else {
                main->WindowProc(WM_IDLEUPDATECMDUI, TRUE, 0);
                main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
            }
        }
        return TRUE;
    }
    AfxDeleteTempObjects();
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(const MSG* message)
{
    if (message->message == WM_PAINT || message->message == WM_TIMER)
        return FALSE;
    if (message->message == WM_MOUSEMOVE || message->message == WM_NCMOUSEMOVE) {
        bool same = m_lastMouseMessage == message->message && m_lastMousePoint.x == message->pt.x
            && m_lastMousePoint.y == message->pt.y;
        m_lastMouseMessage = message->message;
        m_lastMousePoint = message->pt;
        return !same;
    }
    return TRUE;
}

CWinApp::CWinApp(LPCWSTR appName)
    : m_pszAppName(appName ? appName : L"")
    , m_pszProfileName(m_pszAppName.IsEmpty() ? CString() : m_pszAppName + L".ini")
{
    wchar_t path[4096];
    if (DWORD length = ::GetModuleFileNameW(nullptr, path, 4096); length > 0 && length < 4096)
        m_pszHelpFilePath = CString(path) + L".hlp";
    theApp = this;
}

CWinApp::~CWinApp()
{
    delete m_pDocManager;
    if (theApp == this)
        theApp = nullptr;
}

BOOL CWinApp::OnIdle(LONG count)
{
    return CWinThread::OnIdle(count);
}

void CWinApp::SetRegistryKey(LPCWSTR key)
{
    m_pszRegistryKey = key ? key : L"";
    m_pszProfileName = m_pszAppName;
}

UINT CWinApp::GetProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue)
{
    if (m_pszRegistryKey.IsEmpty())
        return GetPrivateProfileIntW(section, entry, defaultValue, m_pszProfileName);
    HKEY key = OpenSectionKey(m_pszRegistryKey, m_pszProfileName, section, false);
    if (!key)
        return static_cast<UINT>(defaultValue);
    DWORD type = 0, value = 0, size = sizeof value;
    LSTATUS status = RegQueryValueExW(key, entry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD ? value : static_cast<UINT>(defaultValue);
}

BOOL CWinApp::WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value)
{
    if (m_pszRegistryKey.IsEmpty()) {
        CString text;
        text.Format(L"%d", value);
        return WritePrivateProfileStringW(section, entry, text, m_pszProfileName);
    }
    HKEY key = OpenSectionKey(m_pszRegistryKey, m_pszProfileName, section, true);
    if (!key)
        return FALSE;
    DWORD data = static_cast<DWORD>(value);
    LSTATUS status = RegSetValueExW(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return Succeeded(status);
}

CString CWinApp::GetProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue)
{
    CString fallback = defaultValue ? defaultValue : L"";
    if (m_pszRegistryKey.IsEmpty()) {
        std::wstring buffer(4096, L'\0');
        DWORD length = GetPrivateProfileStringW(section, entry, fallback, buffer.data(), static_cast<DWORD>(buffer.size()), m_pszProfileName);
        buffer.resize(length);
        return CString(std::move(buffer));
    }
    HKEY key = OpenSectionKey(m_pszRegistryKey, m_pszProfileName, section, false);
    if (!key)
        return fallback;
    DWORD type = 0, size = 0;
    CString result = fallback;
    if (RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, entry, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size) == ERROR_SUCCESS) {
            buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
            result = CString(std::move(buffer));
        }
    }
    RegCloseKey(key);
    return result;
}

BOOL CWinApp::WriteProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR value)
{
    if (m_pszRegistryKey.IsEmpty())
        return WritePrivateProfileStringW(section, entry, value, m_pszProfileName);
    if (!entry) {
        // No entry: the whole section goes.
        CString path = L"Software\\" + m_pszRegistryKey + L"\\" + m_pszProfileName;
        HKEY parent = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &parent) != ERROR_SUCCESS)
            return FALSE;
        LSTATUS status = RegDeleteKeyW(parent, section);
        RegCloseKey(parent);
        return status == ERROR_SUCCESS;
    }
    HKEY key = OpenSectionKey(m_pszRegistryKey, m_pszProfileName, section, true);
    if (!key)
        return FALSE;
    LSTATUS status = value
        ? RegSetValueExW(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)))
        : RegDeleteValueW(key, entry);
    RegCloseKey(key);
    return Succeeded(status);
}

BOOL CWinApp::GetProfileBinary(LPCWSTR section, LPCWSTR entry, BYTE** data, UINT* bytes)
{
    *data = nullptr;
    *bytes = 0;
    if (m_pszRegistryKey.IsEmpty()) {
        // INI files keep binary values as hexadecimal text.
        CString text = GetProfileString(section, entry);
        if (text.IsEmpty() || text.GetLength() % 2)
            return FALSE;
        UINT count = static_cast<UINT>(text.GetLength() / 2);
        auto* buffer = new BYTE[count];
        for (UINT i = 0; i < count; ++i) {
            auto digit = [](wchar_t c) { return c >= L'A' ? (c & 0xF) + 9 : c - L'0'; };
            buffer[i] = static_cast<BYTE>(digit(text[static_cast<int>(2 * i)]) << 4 | digit(text[static_cast<int>(2 * i + 1)]));
        }
        *data = buffer;
        *bytes = count;
        return TRUE;
    }
    HKEY key = OpenSectionKey(m_pszRegistryKey, m_pszProfileName, section, false);
    if (!key)
        return FALSE;
    DWORD type = 0, size = 0;
    BOOL found = FALSE;
    if (RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY) {
        auto* buffer = new BYTE[size ? size : 1];
        if (RegQueryValueExW(key, entry, nullptr, &type, buffer, &size) == ERROR_SUCCESS) {
            *data = buffer;
            *bytes = size;
            found = TRUE;
        } else {
            delete[] buffer;
        }
    }
    RegCloseKey(key);
    return found;
}

BOOL CWinApp::WriteProfileBinary(LPCWSTR section, LPCWSTR entry, const BYTE* data, UINT bytes)
{
    if (m_pszRegistryKey.IsEmpty()) {
        CString text;
        for (UINT i = 0; i < bytes; ++i) {
            CString pair;
            pair.Format(L"%02X", data[i]);
            text += pair;
        }
        return WriteProfileString(section, entry, text);
    }
    HKEY key = OpenSectionKey(m_pszRegistryKey, m_pszProfileName, section, true);
    if (!key)
        return FALSE;
    LSTATUS status = RegSetValueExW(key, entry, 0, REG_BINARY, data, bytes);
    RegCloseKey(key);
    return Succeeded(status);
}

void CWinApp::LoadStdProfileSettings(UINT maxFiles)
{
    m_maxRecentFiles = maxFiles;
    m_recentFiles.clear();
    for (UINT i = 1; i <= maxFiles; ++i) {
        CString entry;
        entry.Format(L"File%u", i);
        CString path = GetProfileString(recentFileSection, entry);
        if (!path.IsEmpty())
            m_recentFiles.push_back(path);
    }
}

void CWinApp::AddToRecentFileList(LPCWSTR path)
{
    if (m_maxRecentFiles == 0 || !path || !*path)
        return;
    std::erase_if(m_recentFiles, [path](const CString& known) { return known.CompareNoCase(path) == 0; });
    m_recentFiles.insert(m_recentFiles.begin(), CString(path));
    if (m_recentFiles.size() > m_maxRecentFiles)
        m_recentFiles.resize(m_maxRecentFiles);
    WriteRecentFiles();
}

void CWinApp::WriteRecentFiles()
{
    for (UINT i = 1; i <= m_maxRecentFiles; ++i) {
        CString entry;
        entry.Format(L"File%u", i);
        WriteProfileString(recentFileSection, entry, i <= m_recentFiles.size() ? m_recentFiles[i - 1].GetString() : nullptr);
    }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    ParseCommandLine(info, CommandLineArguments());
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info, const std::vector<CString>& arguments)
{
    for (size_t i = 1; i < arguments.size(); ++i) {
        const CString& argument = arguments[i];
        BOOL flag = argument.GetLength() > 1 && argument[0] == L'-';
        info.ParseParam(flag ? argument.GetString() + 1 : argument.GetString(), flag, i + 1 == arguments.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        // Printing from the command line opens the document, prints it and ends the program.
        if (OpenDocumentFile(info.m_strFileName) && m_pMainWnd)
            m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        return FALSE;
    case CCommandLineInfo::FileDDE:
    case CCommandLineInfo::AppRegister:
    case CCommandLineInfo::AppUnregister:
        return FALSE; // nothing more to do: the program ends
    case CCommandLineInfo::FileNothing:
        return TRUE;
    }
    return FALSE;
}

void CWinApp::DoWaitCursor(int code)
{
    static const HCURSOR waitCursor = LoadCursorW(nullptr, IDC_WAIT);
    if (code < 0) {
        if (m_waitCursorCount == 0)
            return;
        if (--m_waitCursorCount == 0)
            SetCursor(m_cursorBeforeWait);
        return;
    }
    if (code > 0 && m_waitCursorCount++ == 0)
        m_cursorBeforeWait = SetCursor(waitCursor);
    else if (m_waitCursorCount > 0)
        SetCursor(waitCursor);
}

CWaitCursor::CWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(1);
}

CWaitCursor::~CWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
}

void CWaitCursor::Restore()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(0);
}

int CWinApp::DoMessageBox(LPCWSTR text, UINT type, UINT)
{
    return ::ShowMessageBox(text, m_pszAppName.IsEmpty() ? nullptr : m_pszAppName.GetString(), type);
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate)
{
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(LPCWSTR path)
{
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager)
        m_pDocManager->OnFileNew();
}

BOOL CWinApp::SaveAllModified()
{
    return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE;
}

void CWinApp::CloseAllDocuments(BOOL endSession)
{
    if (m_pDocManager)
        m_pDocManager->CloseAllDocuments(endSession);
}
