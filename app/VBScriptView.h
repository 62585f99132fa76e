#pragma once
// CVBScriptView: the VBScript page. A code editor on the document's text model with the "VBScript"
// language, in which the user writes a script that drives the calculator through the object "FLN"
// (the application's automation object), runs it, sees its errors marked at their place, and
// loads and saves it. A script runs on the window thread, but the page keeps its windows painting
// and answering while it runs: Esc or Code > Stop ends it. While it has the focus the page shows
// the frame's "VBScriptEditor" tool bar and menu 172.

#include "editor/EditView.h"
#include "editor/ScriptHost.h"

#include <functional>

class CFlnDoc;

class CVBScriptView : public SECEditView, public IActiveScriptErrorHandler {
    DECLARE_DYNCREATE(CVBScriptView)
public:
    CVBScriptView();
    ~CVBScriptView() override;

    static constexpr const wchar_t* NewPageText = L"Option Explicit\r\n";

    // As a page: the editor's window class, with both scroll bars.
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
        LPVOID param = nullptr) override;
    // The document's model (the view's own only outside a document).
    SECEdit* GetEdit() override;
    void OnActivateView(BOOL activate, CView* activated, CView* deactivated) override;
    // The keys the main window's menus show come before the editor's own: Ctrl+L loads content,
    // as the page's File menu says, instead of cutting a line.
    BOOL PreTranslateMessage(MSG* message) override;

    // Runs the whole text with "FLN" published; returns when the script has ended or was stopped.
    void RunScript();
    // Whether a script of this page is running.
    bool IsRunning() const { return m_pRunningHost != nullptr; }
    // Asks the running script to stop at its next step and closes its dialogs; false when none
    // runs. `afterwards` runs once the script has unwound.
    bool StopScript(std::function<void()> afterwards = {});

    // FALSE when the user cancelled or the file could not be written or read.
    BOOL SaveCode();
    BOOL SaveCodeAs();
    BOOL LoadCode();

    // The file dialog (the application's prompt unless a test sets another): TRUE with the chosen
    // name in fileName.
    using FilePrompt = std::function<BOOL(CString& fileName, UINT titleId, BOOL open)>;
    void SetFilePrompt(FilePrompt prompt) { m_prompt = std::move(prompt); }

    // IActiveScriptErrorHandler: shows the error and marks its place in the text.
    HRESULT OnScriptError(IActiveScriptError* error) override;

    // The marker row under an error's source line: position-1 hyphens and a "v" for a character
    // position from 1 to 254, else empty.
    static CString ErrorMarker(long position);

    CString m_strFileName; // the script file last loaded or saved

protected:
    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    void OnSetFocus(CWnd* oldWindow);
    void OnKillFocus(CWnd* newWindow);
    // Run from a bar or a menu starts the script once the command has returned, so that the bar
    // that sent it takes the clicks (Stop) while the script runs.
    void OnRun();
    LRESULT OnRunPosted(WPARAM, LPARAM);
    void OnStop() { StopScript(); }
    void OnLoadContent();
    void OnSaveContent() { SaveCode(); }
    void OnSaveCodeAs() { SaveCodeAs(); }
    void OnDeleteAll();
    void OnInsertFormula();
    void OnUpdateRun(CCmdUI* ui);
    void OnUpdateStop(CCmdUI* ui);
    void OnPreviousBookmark();
    void OnUpdatePreviousBookmark(CCmdUI* ui);
    DECLARE_MESSAGE_MAP()

private:
    enum class SaveAnswer { Yes, No, Cancel };
    // Asks whether to save a modified text first; an unmodified one counts as No.
    SaveAnswer AskToSave();
    // The page's first activation sets the language and the new-page text.
    void PrepareOnFirstActivation();
    void ResetText();
    CFlnDoc* Document() const;
    CControlBar* ScriptBar() const;
    void HideScriptBarUnlessFocusedIn(const CWnd* focus);
    void UpdateCommandStates();
    // Dispatches what waits while a script runs; false once the script is to stop.
    bool DispatchWhileRunning();
    void MarkError(int line, int column);

    SECAScriptHost* m_pRunningHost = nullptr;
    bool m_stopRequested = false;
    bool m_runPosted = false;
    std::function<void()> m_afterStop;
    bool m_prepared = false;
    FilePrompt m_prompt;
};
