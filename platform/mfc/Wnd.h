#pragma once
// A window as an object. A CWnd is attached to its HWND while the window lives; the window's
// messages reach CWnd::WindowProc, which looks them up in the object's message map and calls the
// handler, or passes them to DefWindowProc (the procedure the window had before it was subclassed,
// or the system's default). After WM_NCDESTROY the object is detached and PostNcDestroy runs, where
// a window that owns itself deletes itself.
//
// WM_COMMAND and WM_NOTIFY from a child control are first offered to the control's own object
// (message reflection: ON_CONTROL_REFLECT, ON_NOTIFY_REFLECT), then routed through OnCmdMsg.

#include "platform/base/CString.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/Menu.h"

#include <functional>

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override; // destroys a window still attached

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    bool operator==(const CWnd& other) const { return m_hWnd == other.m_hWnd; }

    // ---- creation and attachment
    virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
        LPVOID param = nullptr);
    virtual BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
        int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
        UINT id, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();
    BOOL Attach(HWND window);
    HWND Detach();
    // Routes an existing window's messages through this object (its procedure becomes the default).
    BOOL SubclassWindow(HWND window);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // The object attached to the window, or a temporary one that lives until the program is idle.
    static CWnd* FromHandle(HWND window);
    // The object attached to the window, or null.
    static CWnd* FromHandlePermanent(HWND window);
    // The top-level window that should own a new popup or dialog: the parent's top-level window,
    // or the main window when there is no parent; null when there is neither.
    static CWnd* GetSafeOwner(CWnd* parent = nullptr, HWND* topLevel = nullptr);

    // ---- message handling
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Calls DefWindowProc with the message being handled now.
    LRESULT Default();
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A message from this control to its parent, offered back to it first; TRUE if handled.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    static BOOL ReflectLastMsg(HWND child, LRESULT* result = nullptr);
    virtual BOOL PreTranslateMessage(MSG* message);
    virtual void PostNcDestroy() {}
    // Sends the message to every descendant window (to their objects when they have them).
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE);

    // ---- dialog data exchange (DataExchange.h): FALSE fills the controls, TRUE reads them back;
    // FALSE when a control's value was refused (the user has been told)
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(class CDataExchange*) {}

    // ---- help: a request to the program's help file (WinHelp) on behalf of this window
    virtual void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);

    // ---- tool tips: a window that enables them answers OnToolHitTest with the tool under a point
    void EnableToolTips(BOOL enable = TRUE) { m_toolTipsEnabled = enable; }
    BOOL ToolTipsEnabled() const { return m_toolTipsEnabled; }
    // The id of the visible child control under the client point, or -1. With info, describes
    // that control as a tool whose text is asked for when shown.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const;
    // Keeps the program's one tooltip control on the tool under the pointer and relays the mouse
    // message to it; the tip asks this window for its text (TTN_NEEDTEXT). Called for mouse
    // messages by the thread's PreTranslateMessage.
    void FilterToolTipMessage(MSG* message);
    // The tool under the pointer changed (-1: none); a fly-by bar shows its prompt.
    virtual void OnHoveredToolChanged(INT_PTR) {}
    // Ends the tip of a window that goes away.
    static void CancelToolTips();

    // ---- state
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageW(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::PostMessageW(m_hWnd, message, wParam, lParam); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }
    void SetFont(CFont* font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw); }
    CFont* GetFont() const { return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))); }
    CMenu* GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
    BOOL SetMenu(CMenu* menu) { return ::SetMenu(m_hWnd, menu ? menu->m_hMenu : nullptr); }

    // ---- geometry and painting
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(LPRECT rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) { ::MoveWindow(m_hWnd, x, y, width, height, repaint); }
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    int SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(const RECT* rect = nullptr, CRgn* region = nullptr,
        UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    CDC* GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
    CDC* GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
    int ReleaseDC(CDC* dc) { return ::ReleaseDC(m_hWnd, dc->m_hDC); }

    // ---- input
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC procedure = nullptr) { return ::SetTimer(m_hWnd, id, elapse, procedure); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }

protected:
    // ---- default handlers: each passes its message to DefWindowProc
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnNcDestroy();
    void OnClose() { Default(); }
    void OnPaint() { Default(); }
    void OnNcPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnSize(UINT, int, int) { Default(); }
    void OnMove(int, int) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    LRESULT OnNcHitTest(CPoint) { return Default(); }
    void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }
    void OnMButtonDown(UINT, CPoint) { Default(); }
    void OnMButtonUp(UINT, CPoint) { Default(); }
    BOOL OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnKeyUp(UINT, UINT, UINT) { Default(); }
    void OnChar(UINT, UINT, UINT) { Default(); }
    void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnCaptureChanged(CWnd*) { Default(); }
    void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    void OnContextMenu(CWnd*, CPoint) { Default(); }
    BOOL OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }
    void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    int OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
    void OnEnable(BOOL) { Default(); }
    void OnWindowPosChanged(WINDOWPOS*) { Default(); }
    void OnWindowPosChanging(WINDOWPOS*) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnSysColorChange() { Default(); }
    void OnSettingChange(UINT, LPCWSTR) { Default(); }
    void OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
    void OnHScroll(UINT, int, CWnd*) { Default(); }
    void OnVScroll(UINT, int, CWnd*) { Default(); }

    // Runs `create`, which makes one window, with this object attached to that window before its
    // first message; TRUE when the window exists and is this object's.
    BOOL CreateAttached(const std::function<HWND()>& create);

    WNDPROC m_pfnSuper = nullptr; // the procedure the window had before this object took it over
    BOOL m_toolTipsEnabled = FALSE;

    DECLARE_MESSAGE_MAP()

private:
    friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class CWndMap;
};

// The window procedure of every window with an object: it hands the message to the object.
LRESULT AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Registers a window class for objects' windows: its procedure is AfxWndProc's caller, so the
// class may be used with CWnd::CreateEx. Returns FALSE when the class cannot be registered.
BOOL AfxRegisterClass(WNDCLASSW* windowClass);
// The name of a class with the given attributes, registered on first use ("AfxWnd" classes).
LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr, HICON icon = nullptr);
// The message being handled now on this thread.
const MSG* AfxGetCurrentMessage();
