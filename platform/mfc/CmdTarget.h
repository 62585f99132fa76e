#pragma once
// Command targets and message maps. A class that handles messages declares DECLARE_MESSAGE_MAP()
// and lists its handlers between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP in its .cpp file:
//
//   BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//       ON_WM_PAINT()
//       ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
//       ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
//   END_MESSAGE_MAP()
//
// Each entry holds a small function that unpacks the message's parameters and calls the named
// member, so a handler's signature is checked by the compiler. A map is searched from the most
// derived class to its bases; the first entry that matches handles the message.

#include "platform/base/RunTimeClass.h"
#include "platform/com/AutomationTarget.h"
#include "platform/user/WinUser.h"

class CCmdTarget;
class CCmdUI;

// The parameters of the message or command an entry is called for.
struct AFX_CALL {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT id;     // commands and notifications: the control or command id
    void* extra; // CCmdUI* for update handlers, AFX_NOTIFY* for notifications
};
// Returns the message's result; for ON_COMMAND_EX and ON_NOTIFY_EX entries, whether it was handled.
using AFX_HANDLER = LRESULT (*)(CCmdTarget* target, const AFX_CALL& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // window message, WM_COMMAND or WM_NOTIFY (plus WM_REFLECT_BASE when reflected)
    UINT nCode;    // command or notification code
    UINT nID;      // first id
    UINT nLastID;  // last id
    AFX_HANDLER pfn;
    bool routes = false; // the handler's result says whether routing stops (the _EX entries)
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Filled by OnCmdMsg when the caller only asks whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
    const AFX_MSGMAP_ENTRY* pEntry = nullptr;
};

// Command codes of OnCmdMsg. Notifications pass MAKELONG(code, WM_NOTIFY); reflected ones add
// WM_REFLECT_BASE to the message.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;
constexpr UINT WM_REFLECT_BASE = 0xBC00;
// Sent to the main window's descendants when the program goes idle, so bars update their buttons.
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

// Automation (dispatch and interface maps, GetIDispatch) comes from CAutomationTarget.
class CCmdTarget : public CAutomationTarget {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Routes a command (CN_COMMAND), an update request (CN_UPDATE_COMMAND_UI) or a notification
    // through this target's message map. With handlerInfo, only reports whether a handler exists.
    virtual BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry of the maps (this class and its bases) that matches.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id);
    friend class CCmdUI;
};

// The user-interface state of one command (a menu item, a bar button): its update handler calls
// Enable, SetCheck, SetRadio or SetText on it.
class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;
    HMENU m_hMenu = nullptr;      // the menu holding the item, when it is a menu item
    HMENU m_hSubMenu = nullptr;   // the item's popup, when it opens one
    CObject* m_pOther = nullptr;  // the bar or window, when it is not a menu item
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL on = TRUE);
    virtual void SetCheck(int check = 1); // 0 unchecked, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL on = TRUE);
    virtual void SetText(LPCWSTR text);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks the target's update handler; when none enabled or disabled the item (there is none, or
    // it only sets the check or the text) and disableIfNoHandler is set, the item is enabled
    // exactly when a command handler exists, so that it follows the target of the moment.
    // Returns whether an update handler answered.
    BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass = theClass; \
        using TheBaseClass = baseClass; \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, nullptr } \
        }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &messageEntries[0] }; \
        return &messageMap; \
    }

// An entry's handler: `self` is the object, `call` the message.
#define FLN_MSG(message, code, id, lastId, ...) \
    { message, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId), \
      [](CCmdTarget* target, [[maybe_unused]] const AFX_CALL& call) -> LRESULT { \
          [[maybe_unused]] auto* self = static_cast<ThisClass*>(target); \
          __VA_ARGS__ \
      } },
#define FLN_MSG_EX(message, code, id, lastId, ...) \
    { message, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId), \
      [](CCmdTarget* target, [[maybe_unused]] const AFX_CALL& call) -> LRESULT { \
          [[maybe_unused]] auto* self = static_cast<ThisClass*>(target); \
          __VA_ARGS__ \
      }, true },
#define FLN_POINT_LPARAM CPoint(GET_X_LPARAM(call.lParam), GET_Y_LPARAM(call.lParam))
#define FLN_WND(handle) CWnd::FromHandle(reinterpret_cast<HWND>(handle))

// ---- general messages, commands and notifications
#define ON_MESSAGE(message, fn) FLN_MSG(message, 0, 0, 0, return self->fn(call.wParam, call.lParam);)
#define ON_REGISTERED_MESSAGE(messageVariable, fn) FLN_MSG(messageVariable, 0, 0, 0, return self->fn(call.wParam, call.lParam);)
#define ON_COMMAND(id, fn) FLN_MSG(WM_COMMAND, CN_COMMAND, id, id, self->fn(); return TRUE;)
#define ON_COMMAND_EX(commandId, fn) FLN_MSG_EX(WM_COMMAND, CN_COMMAND, commandId, commandId, return self->fn(call.id);)
#define ON_COMMAND_RANGE(first, last, fn) FLN_MSG(WM_COMMAND, CN_COMMAND, first, last, self->fn(call.id); return TRUE;)
#define ON_UPDATE_COMMAND_UI(id, fn) \
    FLN_MSG(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, self->fn(static_cast<CCmdUI*>(call.extra)); return TRUE;)
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn) \
    FLN_MSG(WM_COMMAND, CN_UPDATE_COMMAND_UI, first, last, self->fn(static_cast<CCmdUI*>(call.extra)); return TRUE;)
#define ON_CONTROL(code, id, fn) FLN_MSG(WM_COMMAND, code, id, id, self->fn(); return TRUE;)
#define ON_CONTROL_RANGE(code, first, last, fn) FLN_MSG(WM_COMMAND, code, first, last, self->fn(call.id); return TRUE;)
#define FLN_NOTIFY_ARGS static_cast<AFX_NOTIFY*>(call.extra)->pNMHDR, static_cast<AFX_NOTIFY*>(call.extra)->pResult
#define ON_NOTIFY(code, id, fn) FLN_MSG(WM_NOTIFY, code, id, id, self->fn(FLN_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_RANGE(code, first, last, fn) FLN_MSG(WM_NOTIFY, code, first, last, self->fn(call.id, FLN_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_EX(code, controlId, fn) FLN_MSG_EX(WM_NOTIFY, code, controlId, controlId, return self->fn(call.id, FLN_NOTIFY_ARGS);)
// Reflected to the control that sent them, before its parent sees them.
#define ON_NOTIFY_REFLECT(code, fn) FLN_MSG(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, self->fn(FLN_NOTIFY_ARGS); return TRUE;)
#define ON_NOTIFY_REFLECT_EX(code, fn) FLN_MSG_EX(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0, return self->fn(FLN_NOTIFY_ARGS);)
#define ON_CONTROL_REFLECT(code, fn) FLN_MSG(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, self->fn(); return TRUE;)
#define ON_CONTROL_REFLECT_EX(code, fn) FLN_MSG_EX(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, return self->fn();)
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)

// ---- window messages
#define ON_WM_CREATE() FLN_MSG(WM_CREATE, 0, 0, 0, return self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(call.lParam));)
#define ON_WM_DESTROY() FLN_MSG(WM_DESTROY, 0, 0, 0, self->OnDestroy(); return 0;)
#define ON_WM_NCDESTROY() FLN_MSG(WM_NCDESTROY, 0, 0, 0, self->OnNcDestroy(); return 0;)
#define ON_WM_CLOSE() FLN_MSG(WM_CLOSE, 0, 0, 0, self->OnClose(); return 0;)
#define ON_WM_PAINT() FLN_MSG(WM_PAINT, 0, 0, 0, self->OnPaint(); return 0;)
#define ON_WM_NCPAINT() FLN_MSG(WM_NCPAINT, 0, 0, 0, self->OnNcPaint(); return 0;)
#define ON_WM_ERASEBKGND() \
    FLN_MSG(WM_ERASEBKGND, 0, 0, 0, return self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(call.wParam)));)
#define ON_WM_SIZE() \
    FLN_MSG(WM_SIZE, 0, 0, 0, self->OnSize(static_cast<UINT>(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam)); return 0;)
#define ON_WM_MOVE() FLN_MSG(WM_MOVE, 0, 0, 0, self->OnMove(GET_X_LPARAM(call.lParam), GET_Y_LPARAM(call.lParam)); return 0;)
#define ON_WM_TIMER() FLN_MSG(WM_TIMER, 0, 0, 0, self->OnTimer(static_cast<UINT_PTR>(call.wParam)); return 0;)
#define ON_WM_SHOWWINDOW() \
    FLN_MSG(WM_SHOWWINDOW, 0, 0, 0, self->OnShowWindow(static_cast<BOOL>(call.wParam), static_cast<UINT>(call.lParam)); return 0;)
#define ON_WM_NCHITTEST() FLN_MSG(WM_NCHITTEST, 0, 0, 0, return self->OnNcHitTest(FLN_POINT_LPARAM);)
#define ON_WM_NCCALCSIZE() \
    FLN_MSG(WM_NCCALCSIZE, 0, 0, 0, \
        self->OnNcCalcSize(static_cast<BOOL>(call.wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(call.lParam)); return 0;)
#define FLN_MOUSE_MSG(message, fn) \
    FLN_MSG(message, 0, 0, 0, self->fn(static_cast<UINT>(call.wParam), FLN_POINT_LPARAM); return 0;)
#define ON_WM_MOUSEMOVE() FLN_MOUSE_MSG(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() FLN_MOUSE_MSG(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() FLN_MOUSE_MSG(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() FLN_MOUSE_MSG(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() FLN_MOUSE_MSG(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() FLN_MOUSE_MSG(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MBUTTONDOWN() FLN_MOUSE_MSG(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() FLN_MOUSE_MSG(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEWHEEL() \
    FLN_MSG(WM_MOUSEWHEEL, 0, 0, 0, \
        return self->OnMouseWheel(LOWORD(call.wParam), GET_WHEEL_DELTA_WPARAM(call.wParam), FLN_POINT_LPARAM);)
#define FLN_KEY_MSG(message, fn) \
    FLN_MSG(message, 0, 0, 0, \
        self->fn(static_cast<UINT>(call.wParam), LOWORD(call.lParam), HIWORD(static_cast<DWORD_PTR>(call.lParam))); return 0;)
#define ON_WM_KEYDOWN() FLN_KEY_MSG(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() FLN_KEY_MSG(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() FLN_KEY_MSG(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() FLN_KEY_MSG(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SETFOCUS() FLN_MSG(WM_SETFOCUS, 0, 0, 0, self->OnSetFocus(FLN_WND(call.wParam)); return 0;)
#define ON_WM_KILLFOCUS() FLN_MSG(WM_KILLFOCUS, 0, 0, 0, self->OnKillFocus(FLN_WND(call.wParam)); return 0;)
#define ON_WM_SETCURSOR() \
    FLN_MSG(WM_SETCURSOR, 0, 0, 0, \
        return self->OnSetCursor(FLN_WND(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam));)
#define ON_WM_CAPTURECHANGED() FLN_MSG(WM_CAPTURECHANGED, 0, 0, 0, self->OnCaptureChanged(FLN_WND(call.lParam)); return 0;)
#define ON_WM_GETMINMAXINFO() \
    FLN_MSG(WM_GETMINMAXINFO, 0, 0, 0, self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(call.lParam)); return 0;)
#define ON_WM_HELPINFO() FLN_MSG(WM_HELP, 0, 0, 0, return self->OnHelpInfo(reinterpret_cast<HELPINFO*>(call.lParam));)
#define ON_WM_CONTEXTMENU() FLN_MSG(WM_CONTEXTMENU, 0, 0, 0, self->OnContextMenu(FLN_WND(call.wParam), FLN_POINT_LPARAM); return 0;)
#define ON_WM_ACTIVATE() \
    FLN_MSG(WM_ACTIVATE, 0, 0, 0, \
        self->OnActivate(LOWORD(call.wParam), FLN_WND(call.lParam), HIWORD(call.wParam)); return 0;)
#define ON_WM_MOUSEACTIVATE() \
    FLN_MSG(WM_MOUSEACTIVATE, 0, 0, 0, \
        return self->OnMouseActivate(FLN_WND(call.wParam), LOWORD(call.lParam), HIWORD(call.lParam));)
#define ON_WM_ENABLE() FLN_MSG(WM_ENABLE, 0, 0, 0, self->OnEnable(static_cast<BOOL>(call.wParam)); return 0;)
#define ON_WM_WINDOWPOSCHANGED() \
    FLN_MSG(WM_WINDOWPOSCHANGED, 0, 0, 0, self->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(call.lParam)); return 0;)
#define ON_WM_WINDOWPOSCHANGING() \
    FLN_MSG(WM_WINDOWPOSCHANGING, 0, 0, 0, self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(call.lParam)); return 0;)
#define ON_WM_SYSCOMMAND() FLN_MSG(WM_SYSCOMMAND, 0, 0, 0, self->OnSysCommand(static_cast<UINT>(call.wParam), call.lParam); return 0;)
#define ON_WM_SYSCOLORCHANGE() FLN_MSG(WM_SYSCOLORCHANGE, 0, 0, 0, self->OnSysColorChange(); return 0;)
#define ON_WM_SETTINGCHANGE() \
    FLN_MSG(WM_SETTINGCHANGE, 0, 0, 0, self->OnSettingChange(static_cast<UINT>(call.wParam), reinterpret_cast<LPCWSTR>(call.lParam)); return 0;)
#define ON_WM_INITMENUPOPUP() \
    FLN_MSG(WM_INITMENUPOPUP, 0, 0, 0, \
        self->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(call.wParam)), LOWORD(call.lParam), HIWORD(call.lParam)); return 0;)
// The position a scroll request hands its handler. The message has room for 16 bits of it: for a
// drag of the thumb (SB_THUMBTRACK, SB_THUMBPOSITION) the whole position is the track position of
// the bar the request came from (the scroll-bar control in lParam, else the window's own bar).
int AfxScrollPosition(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#define FLN_SCROLL_MSG(message, fn) \
    FLN_MSG(message, 0, 0, 0, \
        self->fn(LOWORD(call.wParam), AfxScrollPosition(self->m_hWnd, message, call.wParam, call.lParam), FLN_WND(call.lParam)); \
        return 0;)
// Colours: the parent's OnCtlColor(dc, control, CTLCOLOR_*) and, reflected, the control's own
// CtlColor(dc, CTLCOLOR_*); a null brush from the control leaves the answer to its parent.
constexpr UINT CTLCOLOR_MSGBOX = 0, CTLCOLOR_EDIT = 1, CTLCOLOR_LISTBOX = 2, CTLCOLOR_BTN = 3, CTLCOLOR_DLG = 4,
               CTLCOLOR_SCROLLBAR = 5, CTLCOLOR_STATIC = 6;
#define FLN_CTLCOLOR(message, kind) \
    FLN_MSG(message, 0, 0, 0, return reinterpret_cast<LRESULT>(self->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(call.wParam)), FLN_WND(call.lParam), kind));)
#define ON_WM_CTLCOLOR() \
    FLN_CTLCOLOR(WM_CTLCOLOREDIT, CTLCOLOR_EDIT) FLN_CTLCOLOR(WM_CTLCOLORSTATIC, CTLCOLOR_STATIC) \
    FLN_CTLCOLOR(WM_CTLCOLORBTN, CTLCOLOR_BTN) FLN_CTLCOLOR(WM_CTLCOLORLISTBOX, CTLCOLOR_LISTBOX) \
    FLN_CTLCOLOR(WM_CTLCOLORSCROLLBAR, CTLCOLOR_SCROLLBAR) FLN_CTLCOLOR(WM_CTLCOLORDLG, CTLCOLOR_DLG)
#define FLN_CTLCOLOR_REFLECT(message, kind) \
    FLN_MSG(WM_REFLECT_BASE + message, 0, 0, 0, \
        return reinterpret_cast<LRESULT>(self->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(call.wParam)), kind));)
#define ON_WM_CTLCOLOR_REFLECT() \
    FLN_CTLCOLOR_REFLECT(WM_CTLCOLOREDIT, CTLCOLOR_EDIT) FLN_CTLCOLOR_REFLECT(WM_CTLCOLORSTATIC, CTLCOLOR_STATIC) \
    FLN_CTLCOLOR_REFLECT(WM_CTLCOLORBTN, CTLCOLOR_BTN) FLN_CTLCOLOR_REFLECT(WM_CTLCOLORLISTBOX, CTLCOLOR_LISTBOX) \
    FLN_CTLCOLOR_REFLECT(WM_CTLCOLORSCROLLBAR, CTLCOLOR_SCROLLBAR)
// Owner-drawn controls drawing and measuring themselves: DrawItem(LPDRAWITEMSTRUCT), MeasureItem(LPMEASUREITEMSTRUCT).
#define ON_WM_DRAWITEM_REFLECT() \
    FLN_MSG(WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, 0, self->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(call.lParam)); return TRUE;)
#define ON_WM_MEASUREITEM_REFLECT() \
    FLN_MSG(WM_REFLECT_BASE + WM_MEASUREITEM, 0, 0, 0, self->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(call.lParam)); return TRUE;)

#define ON_WM_HSCROLL() FLN_SCROLL_MSG(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() FLN_SCROLL_MSG(WM_VSCROLL, OnVScroll)
