#pragma once
// CMainFrame: the one main window. It carries the menu bar, the tool bars (the main one, the Graph
// page's and the VBScript page's), the status bar with the version pane and the tab window of the pages, fits itself to the
// Formula or Date & Time page on request, owns the shared-memory
// block and the speech object the Formula page writes to, and keeps its settings and the pages'
// last content across runs: loaded when first shown, saved when destroyed.

#include "app/FlnPageHost.h"
#include "app/FormulaPageFile.h"
#include "app/FrameSettings.h"
#include "app/SharedMemory.h"
#include "commandbars/CustomStatusBar.h"
#include "commandbars/CustomToolBar.h"
#include "framework/FrameWnd.h"
#include "framework/Tab3DWnd.h"
#include "platform/com/Interfaces.h"
#include "platform/mfc/GdiObjects.h"

#include <memory>
#include <vector>

class SECMenuBar;
struct IVTxtAuto;

class CMainFrame : public SECFrameWnd, public CFlnPageHost {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    // Saves the settings and the pages' content, then destroys the window.
    BOOL DestroyWindow() override;
    void OnUpdateFrameTitle(BOOL) override {} // the title is the program's name and version

    // ---- what the Formula page asks of its frame
    BOOL IsReady() const override { return m_bReady; }
    BOOL QuitAfterCalculation() const override;
    void SetMessageText(const CString& text) override;
    using CFrameWnd::SetMessageText;
    CSharedMemory* GetSharedMemory() override { return m_pSharedMemory.get(); }
    // With the X server gone: saves the settings and the last content, keeps a changed script as
    // a recovery copy and removes the shared block before the program ends.
    void SaveBeforeTheScreenGoes();
    // Ends the program for a request from outside (a termination signal): a running script stops,
    // what the program keeps is saved without a question, and a changed script is kept as a
    // recovery copy rather than written over its file unasked.
    void EndOnRequest();
    BOOL& SharedMemorySwitch() override { return m_bSharedMemory; }
    // The speech object, made on first use so that start-up does not wait for the speech engine.
    IVTxtAuto* GetVoiceText() override;
    BOOL& SpeechSwitch() override { return m_bSpeech; }
    BOOL IsSpeechAvailable() { return GetVoiceText() ? TRUE : FALSE; }

    // Loads a parameter file into the Formula page, as "Load Content..." does, for a file named on the
    // command line; what it finds wrong joins the start-up's report.
    void LoadParameterFile(const CString& path);

    // Fits the frame to the active form page when automatic fitting is on; bToggle switches it first.
    void FitFrameToPage(BOOL bToggle);

    SEC3DTabWnd m_wndTab;
    CFont m_fontActiveTab;
    CFont m_fontInactiveTab;
    SECCustomStatusBar m_wndStatusBar;
    SECCustomToolBar m_wndToolBar;
    SECCustomToolBar m_wndDiagramBar; // "KSys", the Graph page's bar
    SECCustomToolBar m_wndScriptBar;  // "VBScriptEditor", the VBScript page's bar
    std::unique_ptr<CSharedMemory> m_pSharedMemory; // the result block for other programs
    enum class WindowState : short { Normal = 1, Maximised = 3 };
    WindowState m_nWindowState = WindowState::Normal;
    BOOL m_bSpeech = FALSE;
    BOOL m_bSharedMemory = TRUE;
    int m_nActivePage = 0;
    BOOL m_bReady = FALSE;
    BOOL m_bAutoResize = FALSE;

    // Run and Stop of a running script reach the script page whichever page is up (its bar stays
    // while the script runs), so that Stop ends it from there too.
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT create, CCreateContext* context) override;
    int OnCreate(LPCREATESTRUCT create);
    void OnClose();
    void OnDestroy();
    void OnEnable(BOOL enable);
    LRESULT OnTabActivated(WPARAM index, LPARAM);
    void OnToggleResizeWindow();
    void OnSize(UINT type, int cx, int cy);
    void OnShowWindow(BOOL show, UINT status);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnUpdateVersionPane(CCmdUI* ui);
    void OnLoadContent();
    void OnSaveContent();
    void OnUpdateContentFile(CCmdUI* ui);
    void OnCheckForUpdate();
    void OnUpdateCheckDone();
    LRESULT OnReportLoadProblems(WPARAM, LPARAM);
    void NoteRecoveredScripts();
    LRESULT OnEndOnRequest(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateMenuAndToolBars();
    BOOL CreateStatusBar();
    void AddPages(CCreateContext* context);
    void SetTabFonts();
    void CreateSharedMemory();
    void CreateSpeech();
    void SetWindowIcons();
    void LoadSettings();
    // Notes what a load of the Formula page's content found wrong; a missing file is no problem
    // where missingIsFine (the last content before the first close).
    // The texts it cut go to the status bar.
    void NoteFormulaPageLoad(const CString& path, BOOL loaded, const std::vector<CString>& problems,
        const std::vector<CString>& cut, bool missingIsFine);
    // Why the settings or the last content could not be written; empty when both were.
    CString SaveSettings();
    class CFlnView* FormulaPageIfActive() const;
    // Whether the tab shows the Formula or the Date & Time page (the pages the frame fits itself to);
    // the tabs' places depend on which pages the program has.
    bool IsFormPage(int index) const;

    ComPtr<IVTxtAuto> m_pVoiceText;
    bool m_speechTried = false;
    CFormulaPageFile m_formulaFile;
    FrameSettings m_settings;
    std::unique_ptr<SECMenuBar> m_pMenuBar;
    bool m_firstShow = true;
    // What the loads at start-up found wrong: reported once, after the window shows, never midway.
    std::vector<CString> m_loadProblems;
    // What the loads at start-up cut, for the status bar once the window shows.
    CString m_loadStatusNote;
    bool m_bEndingOnRequest = false; // failures are told on the standard error, nobody is asked
};
