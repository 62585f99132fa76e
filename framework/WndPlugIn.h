#pragma once
// A plug-in sees the messages, commands and pre-translation of the window it is plugged into
// before that window does, without subclassing it. Its handlers come from its own message map;
// a handler that wants the host to stop sets the exit flag (and may store a result).
//
//   host: if (plugIn->OnWndMsg(message, wParam, lParam, &result) && plugIn->TakeExit()) return result;

#include "platform/mfc/Wnd.h"

class SECWndPlugIn : public CWnd {
public:
    SECWndPlugIn() = default;
    // Forgets the host's handle first, so that destroying a plug-in never destroys its host.
    ~SECWndPlugIn() override;

    virtual LRESULT SetResult(LRESULT result);
    // Takes the host's handle; a null host does nothing.
    virtual void PlugInTo(CWnd* host);
    virtual int UnPlug();
    virtual BOOL IsPluggedIn() const { return m_bPluggedIn; }

    // TRUE when one of the plug-in's handlers ran; *result is its result, or the one it stored.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    // Nothing unless a handler asked for the host's default handling (m_bCallDefault).
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Whether the last message was fully handled; clears the flag.
    BOOL TakeExit()
    {
        BOOL exit = m_bExitMessage;
        m_bExitMessage = FALSE;
        return exit;
    }
    // Marks the current message handled, so the host stops, with that result.
    void SetHandled(LRESULT result)
    {
        m_bExitMessage = TRUE;
        SetResult(result);
    }

    BOOL m_bExitMessage = FALSE;
    BOOL m_bCallDefault = FALSE;

protected:
    BOOL m_bResultSet = FALSE;
    LRESULT m_lResult = 0;
    BOOL m_bPluggedIn = FALSE;
};
