#pragma once
// The frame window: a top-level window with a menu, accelerators, a title, control bars laid out
// around its edges and a view in the space left over. LoadFrame makes it from a resource id (the
// title string, menu and accelerators of that id). RecalcLayout asks each bar child for its room
// with WM_SIZEPARENT and gives the rest to the pane (AFX_IDW_PANE_FIRST). Commands go to the
// active view first, then the frame, then the application.

#include "platform/mfc/BarStyles.h"
#include "platform/mfc/Wnd.h"

#include <vector>

class CControlBar;
class CDockBar;
class CDockState;
class CDocument;
class CDocTemplate;
class CView;

constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
constexpr UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800, AFX_IDW_CONTROLBAR_LAST = 0xE8FF;
constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001;
// The status-bar panes of the lock keys, lit while the key is on.
constexpr UINT ID_INDICATOR_CAPS = 0xE701, ID_INDICATOR_NUM = 0xE702, ID_INDICATOR_SCRL = 0xE703;
constexpr UINT WM_SIZEPARENT = 0x0361;
constexpr UINT WM_SETMESSAGESTRING = 0x0362;
constexpr UINT WM_INITIALUPDATE = 0x0364;
constexpr DWORD FWS_ADDTOTITLE = 0x00008000, FWS_PREFIXTITLE = 0x00004000;

// What the frame's layout hands each bar in WM_SIZEPARENT: the room left, which the bar reduces by
// its own rectangle, and the deferred positions it adds itself to.
struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

// What a new frame needs to make its view.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    class CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2 };

    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Accelerators of that id are loaded unless the frame has some already; without a context, every
    // window in the frame gets WM_INITIALUPDATE.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr);
    // menuName: MAKEINTRESOURCE of the menu's resource id, or null.
    BOOL Create(LPCWSTR className, LPCWSTR title, DWORD style = WS_OVERLAPPEDWINDOW, const RECT& rect = CRect(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0),
        CWnd* parent = nullptr, LPCWSTR menuName = nullptr, DWORD exStyle = 0, CCreateContext* context = nullptr);
    using CWnd::Create;

    virtual void RecalcLayout(BOOL notify = TRUE);
    // Lays the children with ids in [first, last] along the edges; the child leftOverId gets what
    // is left. With reposQuery only computes the leftover rectangle into *rectParam.
    void RepositionBars(UINT first, UINT last, UINT leftOverId, UINT flags = reposDefault, LPRECT rectParam = nullptr,
        const RECT* rectClient = nullptr, BOOL stretch = TRUE);

    CView* GetActiveView() const { return m_pViewActive; }
    virtual void SetActiveView(CView* view, BOOL notify = TRUE);
    CDocument* GetActiveDocument();
    virtual void InitialUpdateFrame(CDocument* document, BOOL makeVisible);
    virtual void ActivateFrame(int showCommand = -1);
    virtual void OnUpdateFrameTitle(BOOL addToTitle);
    void SetTitle(LPCWSTR title) { m_strTitle = title; }
    const CString& GetTitle() const { return m_strTitle; }

    // The prompt of a command: the part of string resource id before its line feed.
    virtual void GetMessageString(UINT id, CString& message) const;
    // A tool's tip (TTN_GETDISPINFO from the frame's bars): the part of the string resource of the
    // tool's command after the line feed.
    BOOL OnToolTipText(UINT, NMHDR* header, LRESULT* result);
    // Shows a text, or the prompt of a command id, in the status bar (AFX_IDW_STATUS_BAR).
    void SetMessageText(LPCWSTR text);
    void SetMessageText(UINT id);

    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    BOOL PreTranslateMessage(MSG* message) override;

    // Deferred work done when the program is idle.
    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    void DelayRecalcLayout(BOOL notify = TRUE) { m_nIdleFlags |= idleLayout | (notify ? idleNotify : 0); }
    // The idle command-UI update (WM_IDLEUPDATECMDUI) of the frame, every window in it and its bars
    // that float in frames of their own, which are no windows in it.
    void SendIdleUpdateCmdUI();
    void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }

    // ---- docking: control bars along the edges, in dock bars, or floating in mini frames
    // Makes the dock bars (AFX_IDW_DOCKBAR_TOP...) of the sides in dockStyle (CBRS_ALIGN_ bits).
    virtual void EnableDocking(DWORD dockStyle);
    // A new dock bar object for EnableDocking, which makes its window.
    virtual CDockBar* CreateDockBar() const;
    // Docks the bar into the dock bar of that id (0: the first side the bar may dock to), in
    // the row under rect's top-left (screen coordinates) or, without rect, in a row of its own.
    void DockControlBar(CControlBar* bar, UINT dockBarId = 0, LPCRECT rect = nullptr);
    void DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect = nullptr);
    // Docks the bar back where it was (see CDockBar::ReDockControlBar).
    void ReDockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect, int row, BOOL ownRow);
    // Floats the bar in a mini frame whose window's top-left is point (screen coordinates).
    virtual void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = CBRS_ALIGN_TOP);
    void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
    CControlBar* GetControlBar(UINT id) const;
    void AddControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);
    // The places of the bars, written to and read back from the application's profile.
    void SaveBarState(LPCWSTR profileName) const;
    void LoadBarState(LPCWSTR profileName);
    void GetDockState(CDockState& state) const;
    void SetDockState(const CDockState& state);
    std::vector<CControlBar*> m_listControlBars;
    // The class of the frames floating bars live in; must derive from CMiniDockFrameWnd.
    CRuntimeClass* m_pFloatingFrameClass = nullptr;

    BOOL m_bAutoMenuEnable = TRUE;
    HMENU m_hMenuDefault = nullptr;
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDHelp = 0;
    RECT m_rectBorder {};

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT create, CCreateContext* context);
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
        int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr) override;
    using CWnd::CreateEx;
    // A frame owns itself once its window was made; one whose creation failed is left to its maker.
    void PostNcDestroy() override
    {
        if (m_bWindowMade)
            delete this;
    }

    int OnCreate(LPCREATESTRUCT create);
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    void OnDestroy();
    void OnSetFocus(CWnd* old);
    LRESULT OnSetMessageString(WPARAM id, LPARAM text);
    LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);
    void OnUpdateKeyIndicator(CCmdUI* state);
    // View > Toolbar and View > Status Bar: each command carries the id of the bar it toggles
    // (AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR); checked while that bar shows, it shows or hides the
    // bar, a floating one with its frame.
    void OnUpdateControlBarMenu(CCmdUI* state);
    BOOL OnBarCheck(UINT id);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    // Each item of a menu about to open asks its update handler (see CCmdUI); with
    // m_bAutoMenuEnable, items without any handler are disabled.
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu);
    DECLARE_MESSAGE_MAP()

    CString m_strTitle;
    CView* m_pViewActive = nullptr;
    UINT m_nIdleFlags = 0;
    BOOL m_bInRecalcLayout = FALSE;
    UINT m_nIDLastMessage = 0;
    CCreateContext* m_pCreatingContext = nullptr;
    BOOL m_bWindowMade = FALSE;

    // After a bar left the dock bar `previous`: a floating frame left empty goes; then the layout.
    void FinishBarMove(CDockBar* previous, CDockBar* now);

private:
    class CMiniDockFrameWnd* CreateFloatingFrame(DWORD style);
    void ApplyDelayedBarShows();
};

#define ON_WM_MENUSELECT() \
    FLN_MSG(WM_MENUSELECT, 0, 0, 0, \
        self->OnMenuSelect(LOWORD(call.wParam), HIWORD(call.wParam), reinterpret_cast<HMENU>(call.lParam)); return 0;)

// The substring at index of a text made of parts separated by the separator; FALSE past the last.
BOOL AfxExtractSubString(CString& part, LPCWSTR text, int index, wchar_t separator = L'\n');
