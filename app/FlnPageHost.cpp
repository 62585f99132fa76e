#include "app/FlnPageHost.h"

#include "platform/mfc/Wnd.h"

CFlnPageHost* CFlnPageHost::Of(const CWnd& page)
{
    for (HWND window = ::GetParent(page.m_hWnd); window; window = ::GetParent(window)) {
        if (auto* host = dynamic_cast<CFlnPageHost*>(CWnd::FromHandlePermanent(window)))
            return host;
    }
    return nullptr;
}
