#pragma once
// The program's thread and application objects. The one CWinApp of the program (made as a global
// object, or by a test) runs the message loop: Run dispatches messages, calls OnIdle while the
// queue is empty (idle update of command states, deleting temporary objects), and returns
// ExitInstance's code after WM_QUIT. Settings go to the registry under
// HKEY_CURRENT_USER\Software\<registry key>\<profile name> once SetRegistryKey was called, and
// to the INI file m_pszProfileName before that.

#include "platform/base/CString.h"
#include "platform/sys/Module.h"
#include "platform/mfc/CommandLineInfo.h"
#include "platform/mfc/Wnd.h"

#include <memory>
#include <vector>

// The command the framework sends the main window to print the open document without asking.
constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;

class CDocManager;
class CDocTemplate;
class CDocument;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    // Called while the queue is empty with a count that grows until a message arrives; returns
    // whether it wants to be called again.
    virtual BOOL OnIdle(LONG count);
    virtual int ExitInstance() { return m_exitCode; }
    virtual BOOL PreTranslateMessage(MSG* message);
    // Gets and dispatches one message; FALSE after WM_QUIT.
    virtual BOOL PumpMessage();
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

protected:
    // Messages after which idle processing starts again (not mouse moves that did not move, nor WM_PAINT).
    virtual BOOL IsIdleMessage(const MSG* message);
    int m_exitCode = 0;
    MSG m_msgCur {}; // the message PumpMessage got last

private:
    POINT m_lastMousePoint { -1, -1 };
    UINT m_lastMouseMessage = 0;
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    // The name of the application, used as the profile name and in message-box captions.
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    CString m_pszAppName;
    CString m_pszRegistryKey;  // empty: settings go to the INI file
    CString m_pszProfileName;  // the registry subkey, or the INI file's path
    CString m_pszHelpFilePath; // the program's help file: its own path with ".hlp"
    HINSTANCE m_hInstance = nullptr;

    // From now on the settings live in the registry under Software\<key>\<application name>.
    void SetRegistryKey(LPCWSTR key);
    // Reads the recent-file list (up to maxFiles entries) from the settings.
    void LoadStdProfileSettings(UINT maxFiles = 4);
    // Puts the file at the top of the recent-file list and writes the list back.
    virtual void AddToRecentFileList(LPCWSTR path);
    const std::vector<CString>& RecentFiles() const { return m_recentFiles; }

    UINT GetProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue);
    BOOL WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value);
    CString GetProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue = nullptr);
    BOOL WriteProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR value);
    // The binary value of the entry in a new[] array the caller deletes; FALSE when it is missing.
    BOOL GetProfileBinary(LPCWSTR section, LPCWSTR entry, BYTE** data, UINT* bytes);
    BOOL WriteProfileBinary(LPCWSTR section, LPCWSTR entry, const BYTE* data, UINT bytes);

    // Documents: the application keeps the templates (it takes ownership of each).
    void AddDocTemplate(CDocTemplate* docTemplate);
    virtual CDocument* OpenDocumentFile(LPCWSTR path);
    void OnFileNew();
    // Asks to save each modified document; FALSE when the user cancels.
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL endSession);
    CDocManager* m_pDocManager = nullptr;

    // Hands each argument after the program's name to info.ParseParam: the process's own
    // arguments, or the given ones (argument 0 first, as a process gets them).
    void ParseCommandLine(CCommandLineInfo& info);
    void ParseCommandLine(CCommandLineInfo& info, const std::vector<CString>& arguments);
    // Does what the command line asked: a new document, an opened one, or nothing. FALSE when
    // that failed or when the program is to end at once (registering, unregistering, printing).
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    // The busy cursor: shown from the first Begin until the matching End, also over windows
    // the pointer enters meanwhile. Code 1 begins, -1 ends, 0 shows it again.
    virtual void DoWaitCursor(int code);
    BOOL IsWaitCursorShown() const { return m_waitCursorCount > 0; }

    int DoMessageBox(LPCWSTR text, UINT type, UINT helpId);
    BOOL OnIdle(LONG count) override;

private:
    void WriteRecentFiles();
    int m_waitCursorCount = 0;
    HCURSOR m_cursorBeforeWait = nullptr;
    std::vector<CString> m_recentFiles;
    UINT m_maxRecentFiles = 0;
};

// Shows the busy cursor for as long as it lives.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore(); // shows it again after something (a message box) changed the cursor
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
