#include "framework/WndPlugIn.h"

SECWndPlugIn::~SECWndPlugIn()
{
    m_hWnd = nullptr;
}

LRESULT SECWndPlugIn::SetResult(LRESULT result)
{
    m_bResultSet = TRUE;
    m_lResult = result;
    return result;
}

void SECWndPlugIn::PlugInTo(CWnd* host)
{
    if (!host)
        return;
    m_hWnd = host->m_hWnd;
    m_bPluggedIn = TRUE;
}

int SECWndPlugIn::UnPlug()
{
    m_bPluggedIn = FALSE;
    m_hWnd = nullptr;
    return 0;
}

BOOL SECWndPlugIn::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!m_bPluggedIn)
        return FALSE;
    m_bExitMessage = FALSE;
    m_bCallDefault = FALSE;
    m_bResultSet = FALSE;
    // Only the plug-in's own map: commands come through OnCmdMsg, and notifications are the host's
    // to reflect.
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), message, 0, 0);
    if (!entry || message == WM_COMMAND || message == WM_NOTIFY)
        return FALSE;
    LRESULT answer = entry->pfn(this, AFX_CALL { message, wParam, lParam, 0, nullptr });
    if (result)
        *result = m_bResultSet ? m_lResult : answer;
    m_bResultSet = FALSE;
    return TRUE;
}

BOOL SECWndPlugIn::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    return m_bPluggedIn ? CCmdTarget::OnCmdMsg(id, code, extra, handlerInfo) : FALSE;
}

LRESULT SECWndPlugIn::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_bPluggedIn && m_bCallDefault ? CWnd::DefWindowProc(message, wParam, lParam) : 0;
}
