#pragma once
// A window object that attaches to an existing window and sees its messages and commands before
// the window does, without subclassing it. The host offers each message to its plug-in first and
// stops when the plug-in says it is fully handled (TakeExitFlag):
//
//   LRESULT result = 0;
//   plugIn->OnWndMsg(message, wParam, lParam, &result);
//   if (plugIn->TakeExitFlag()) return result;

#include "platform/mfc/Wnd.h"

namespace divuzura::foundation {

class SECWndPlugIn : public CWnd {
public:
    SECWndPlugIn() = default;
    // Lets go of the host's handle first, so that the host window lives on.
    ~SECWndPlugIn() override;

    // Stores a result for the message being handled; returns it.
    virtual LRESULT SetResult(LRESULT result);
    // Attaches to the window; a null window does nothing.
    virtual void PlugInTo(CWnd* window);
    virtual LRESULT UnPlug();
    virtual BOOL IsPluggedIn() const { return m_pluggedIn; }

    // Nothing (FALSE) unless plugged in; else the plug-in's own message map, with a stored result
    // in *result. Commands come through OnCmdMsg, and notifications are the host's to reflect.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    // 0 unless a handler asked for the host's default handling (CallDefault).
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // For handlers: the host need not handle this message or command any further.
    void ExitMessage() { m_exit = TRUE; }
    // For handlers: the host stops here, and the message's result is `result`.
    void SetHandled(LRESULT result)
    {
        ExitMessage();
        SetResult(result);
    }
    // For handlers: let Default() reach the host's default handling.
    void CallDefault() { m_callDefault = TRUE; }
    // For the host: whether the plug-in handled the message fully; clears the flag.
    BOOL TakeExitFlag()
    {
        const BOOL exit = m_exit;
        m_exit = FALSE;
        return exit;
    }

protected:
    void PlugInToHandle(HWND window);

private:
    BOOL m_exit = FALSE;
    BOOL m_callDefault = FALSE;
    BOOL m_resultSet = FALSE;
    LRESULT m_result = 0;
    BOOL m_pluggedIn = FALSE;
};

} // namespace divuzura::foundation
