#pragma once
// Multiple-document frames: CMDIFrameWnd owns the MDI client window that holds the document
// frames, CMDIChildWnd is one document frame inside it. The active child gets commands first,
// its shared menu (from its CMultiDocTemplate) becomes the frame's menu while it is active, and
// its accelerators are tried before the frame's.

#include "platform/mfc/Frame.h"
#include "platform/mfc/Menu.h"

// The standard commands of a window menu, and the ids of the window list the MDI client adds.
constexpr UINT ID_WINDOW_NEW = 0xE130, ID_WINDOW_ARRANGE = 0xE131, ID_WINDOW_CASCADE = 0xE132,
               ID_WINDOW_TILE_HORZ = 0xE133, ID_WINDOW_TILE_VERT = 0xE134, ID_WINDOW_SPLIT = 0xE135;
constexpr UINT AFX_IDM_WINDOW_FIRST = 0xE130, AFX_IDM_WINDOW_LAST = 0xE13F, AFX_IDM_FIRST_MDICHILD = 0xFF00;

class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    // Makes the MDI client (id AFX_IDW_PANE_FIRST, so the layout gives it the room the bars leave)
    // listing the children in windowMenu.
    virtual BOOL CreateClient(LPCREATESTRUCT create, CMenu* windowMenu);
    // The popup of a menu bar that holds the window commands (ID_WINDOW_...), or null.
    virtual HMENU GetWindowMenuPopup(HMENU menuBar);
    // The child frame whose menu and title the frame shows, or the frame itself without one.
    virtual CFrameWnd* GetActiveFrame();
    // The frame's menu follows the active child: its shared menu, else menuAlt, else the frame's own.
    virtual void OnUpdateFrameMenu(HMENU menuAlt);

    CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const;
    void MDIActivate(CWnd* child) { ::SendMessageW(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child->m_hWnd), 0); }
    void MDIMaximize(CWnd* child) { ::SendMessageW(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->m_hWnd), 0); }
    void MDIRestore(CWnd* child) { ::SendMessageW(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child->m_hWnd), 0); }
    void MDINext() { ::SendMessageW(m_hWndMDIClient, WM_MDINEXT, 0, 0); }
    void MDIPrev() { ::SendMessageW(m_hWndMDIClient, WM_MDINEXT, 0, 1); }
    void MDICascade(int type = 0) { ::SendMessageW(m_hWndMDIClient, WM_MDICASCADE, static_cast<WPARAM>(type), 0); }
    void MDITile(int type = MDITILE_HORIZONTAL) { ::SendMessageW(m_hWndMDIClient, WM_MDITILE, static_cast<WPARAM>(type), 0); }
    void MDIIconArrange() { ::SendMessageW(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
    // Returns the menu the frame showed before.
    CMenu* MDISetMenu(CMenu* frameMenu, CMenu* windowMenu);

    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    BOOL PreTranslateMessage(MSG* message) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND m_hWndMDIClient = nullptr;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT create, CCreateContext* context) override;
    void OnWindowCommand(UINT id);
    void OnUpdateWindowCommand(CCmdUI* state);
    // The window list and the child's system menu keep their own states.
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    // A child of `parent` (the main window when null), made through its MDI client.
    BOOL Create(LPCWSTR className, LPCWSTR title, DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
        const RECT& rect = CRect(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0), CMDIFrameWnd* parent = nullptr,
        CCreateContext* context = nullptr);
    // The title comes from the resource string; the menu and accelerators from the context's
    // CMultiDocTemplate when there is one, else the accelerators of the resource id.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;
    CMDIFrameWnd* GetMDIFrame() const;

    void MDIDestroy() { ::SendMessageW(ClientWindow(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0); }
    void MDIActivate() { ::SendMessageW(ClientWindow(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0); }
    void MDIMaximize() { ::SendMessageW(ClientWindow(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0); }
    void MDIRestore() { ::SendMessageW(ClientWindow(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0); }

    // Shows the child (maximised when the active one is) and makes it the active one.
    void ActivateFrame(int showCommand = -1) override;
    // While active, the MDI frame shows menuAlt or the child's shared menu.
    virtual void OnUpdateFrameMenu(BOOL active, CWnd* activateWnd, HMENU menuAlt);
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    // The MDI frame translates the child's accelerators.
    BOOL PreTranslateMessage(MSG*) override { return FALSE; }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HMENU m_hMenuShared = nullptr;   // the template's; not owned
    HACCEL m_hAccelShared = nullptr; // likewise

protected:
    HWND ClientWindow() const { return ::GetParent(m_hWnd); }
    void OnMDIActivate(BOOL activate, CWnd* activated, CWnd* deactivated);
    // Maximising or restoring changes what the MDI frame's title shows.
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

#define ON_WM_MDIACTIVATE() \
    FLN_MSG(WM_MDIACTIVATE, 0, 0, 0, \
        self->OnMDIActivate(reinterpret_cast<HWND>(call.lParam) == self->m_hWnd, FLN_WND(call.lParam), FLN_WND(call.wParam)); return 0;)
