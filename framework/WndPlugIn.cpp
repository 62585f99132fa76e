#include "framework/WndPlugIn.h"

namespace divuzura::foundation {

SECWndPlugIn::~SECWndPlugIn()
{
    m_hWnd = nullptr;
}

LRESULT SECWndPlugIn::SetResult(LRESULT result)
{
    m_resultSet = TRUE;
    m_result = result;
    return result;
}

void SECWndPlugIn::PlugInTo(CWnd* window)
{
    if (window)
        PlugInToHandle(window->m_hWnd);
}

void SECWndPlugIn::PlugInToHandle(HWND window)
{
    m_hWnd = window;
    m_pluggedIn = TRUE;
}

LRESULT SECWndPlugIn::UnPlug()
{
    m_pluggedIn = FALSE;
    m_hWnd = nullptr;
    return 0;
}

BOOL SECWndPlugIn::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!m_pluggedIn)
        return FALSE;
    m_exit = FALSE;
    m_callDefault = FALSE;
    m_resultSet = FALSE;
    if (message == WM_COMMAND || message == WM_NOTIFY)
        return FALSE;
    const BOOL handled = CWnd::OnWndMsg(message, wParam, lParam, result);
    if (m_resultSet && result)
        *result = m_result;
    m_resultSet = FALSE;
    return handled;
}

BOOL SECWndPlugIn::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    return m_pluggedIn ? CCmdTarget::OnCmdMsg(id, code, extra, handlerInfo) : FALSE;
}

LRESULT SECWndPlugIn::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pluggedIn || !m_callDefault)
        return 0;
    return CWnd::DefWindowProc(message, wParam, lParam);
}

} // namespace divuzura::foundation
