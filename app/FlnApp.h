#pragma once
// CFlnApp: the one application object. It owns the formula engine the pages share and the
// automation object, reads the program's switches, starts the single-document template with its
// main frame, and publishes "FLN.Application" and "FLN.Document" on the session bus. Started by
// the bus for automation it shows no window and ends when its last client goes.

#include "app/CommandLineOptions.h"
#include "app/ScriptRecovery.h"
#include "app/Updater.h"
#include "datetime/DateParser.h"
#include "diagrams/GraphHost.h"
#include "engine/FormulaEngine.h"
#include "platform/comdlg/CommDlg.h"
#include "platform/mfc/WinApp.h"

#include <memory>
#include <vector>

class TerminationSignals;
class CMutex;
class WaitTimer;

class CApplication;
class CD2KSys;
class COccManager;
class CFlnView;
class CMainFrame;
class CView;

class CFlnApp : public CWinApp, public CFormulaEngine, public CGraphHost {
public:
    // The program's own arguments; the second form takes them from the caller (argument 0 first).
    CFlnApp();
    explicit CFlnApp(std::vector<CString> arguments);
    ~CFlnApp() override;

    BOOL InitInstance() override;
    // The first idle moment after a user's start registers and publishes the automation classes.
    BOOL OnIdle(LONG count) override;

    // The views of the main frame's active document; null when there is none.
    CFlnView* GetFlnView() const;
    CView* GetCalendarView() const;
    CView* GetScriptView() const;
    CMainFrame* GetMainFrame() const;

    // The program's one file dialog: title from a string id, filter parts separated by "|" ("default":
    // the script files). TRUE when the user chose a file, then in fileName. flags and reserved are
    // ignored: the dialog always hides the read-only box and, when saving, asks before it replaces a file.
    BOOL PromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL open, void* reserved, CString filter);
    // The flags the pages and the script editor hand PromptFileName for their content files.
    static constexpr DWORD ContentFileDialogFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    // The Formula page's formula at x with its variables A to G, after the page read its controls;
    // 0 without a page. The parser's error position and text come back.
    double GetFormulaResult(double x, int& errorPosition, CString& errorText);

    // The Graph page's chart: the Formula page's formula, variables and x interval, as its fields
    // show them, sampled and drawn in `mode` into the area of dc. Nothing without a Formula page;
    // an x interval that gives no curve is drawn as axes and explained in the status bar.
    void DrawGraph(CDC* dc, int left, int top, int right, int bottom, int mode) override;

    // A client's object went: a program started for automation ends with its last client.
    void OnAutomationObjectGone();

    // A program started for automation that has served no object this long after it first waited
    // for messages ends.
    UINT m_nAutomationIdleMilliseconds = 10000;
    // At most this many programs without a window run for automation at once; one more ends at once.
    static constexpr int kMaxWindowlessInstances = 32;

    CApplication* m_pApplication = nullptr;
    // The update check's settings, schedule and evaluation (Help > Check for Update...).
    CUpdater m_Updater;
    // The Date & Time page's date parser; its date format follows the page's.
    CDateParser m_DateParser;
    // The one coordinate diagram, made when the Graph page is first drawn.
    std::unique_ptr<CD2KSys> m_pD2KSys;
    // Why the last chart had no curve, as the status bar was told; empty after a chart with one.
    CString m_strGraphReason;
    CString m_strModulePath;
    CString m_strModuleDir;
    BOOL m_bNoMinimizeBox = FALSE;
    BOOL m_bExitAfterFirstResult = FALSE;
    BOOL m_bFormulaOnly = FALSE;
    BOOL m_bStartedForAutomation = FALSE;
    // The parameter file named on the command line: the main window loads it after the last
    // content, when it is first shown, so that the page is drawn with it from the first picture.
    CString m_strStartParameterFile;

    // Acts on the termination signals that have come, for a loop that does not wait (a running script's).
    void DeliverTerminationRequests();
    // The copy of a changed script that an end asking nothing keeps, once.
    RecoveryCopyOnce& RecoveryCopy() { return m_recoveryCopy; }
    // Hands the changed script to the copy's snapshot, now or once the snapshot interval has passed.
    void RefreshRecoverySnapshot();
    // The same at once: a script about to run may hold the window until the end's last resort.
    void TakeRecoverySnapshot();

protected:
    void OnAppAbout();
    void OnAppExit();
    DECLARE_MESSAGE_MAP()

private:
    void ReadSwitches();
    // The start for a client of the bus: FALSE when the program cannot serve (no slot, no bus, no name).
    BOOL StartForAutomation();
    void StartAutomationIdleCountdown();
    bool ServesNothing() const;
    void OnTerminationRequest();
    void PublishAutomationClasses();
    static bool ScreenAvailable();
    void RegisterScriptLanguage() const;
    CView* FindView(const CRuntimeClass* viewClass) const;

    std::vector<CString> m_arguments;
    // The script host's control sites; the framework uses it while the application lives.
    std::unique_ptr<COccManager> m_occManager;
    // What the last resort of an end keeps when the window does not come back; it outlives the signals' watcher.
    RecoveryCopyOnce m_recoveryCopy;
    bool m_bSnapshotTimer = false;
    // A logout, a closed terminal or Ctrl+C saves what the program keeps and ends it, asking nothing.
    std::unique_ptr<TerminationSignals> m_terminationSignals;
    bool m_bEndRequested = false;
    bool m_bPublishPending = false;
    // The slot among the programs without a window that this one holds while it runs.
    std::unique_ptr<CMutex> m_automationSlot;
    std::unique_ptr<WaitTimer> m_automationIdleTimer;
};

// The running application object.
CFlnApp* GetFlnApp();
