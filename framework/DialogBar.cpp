#include "framework/DialogBar.h"

#include "framework/DockState.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"
#include "platform/res/Resources.h"

IMPLEMENT_DYNCREATE(SECDialogBar, SECControlBar)

SECDialogBar::~SECDialogBar()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL SECDialogBar::Create(CWnd* parent, UINT templateId, UINT style, UINT id)
{
    return Create(parent, MAKEINTRESOURCEW(templateId), style, id);
}

BOOL SECDialogBar::Create(CWnd* parent, LPCWSTR templateName, UINT style, UINT id)
{
    if (!parent || !templateName || m_hWnd)
        return FALSE;
    m_dwStyle = style & CBRS_ALL;
    m_lpszTemplateName = templateName;
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    HRSRC resource = ::FindResourceW(instance, templateName, RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    auto dialogTemplate = static_cast<LPCDLGTEMPLATE>(loaded ? ::LockResource(loaded) : nullptr);
    if (!dialogTemplate)
        return FALSE;
    if (!CreateAttached([&] { return ::CreateDialogIndirectParamW(instance, dialogTemplate, parent->m_hWnd, nullptr, 0); }))
        return FALSE;
    if (!(GetStyle() & WS_CHILD)) {
        // A bar lives inside its frame, whatever the template says.
        ModifyStyle(WS_POPUP, WS_CHILD);
        ::SetParent(m_hWnd, parent->m_hWnd);
    }
    ::SetWindowLongPtrW(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(id));
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    ModifyStyle(WS_CAPTION, WS_CLIPSIBLINGS);
    m_pDockSite = dynamic_cast<CFrameWnd*>(parent);
    if (m_pDockSite)
        m_pDockSite->AddControlBar(this);
    SetWindowPos(nullptr, 0, 0, 0, 0,
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | ((style & WS_VISIBLE) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    m_szHorzDocked = m_szVertDocked = m_szFloat = m_sizeDefault;
    return TRUE;
}

void SECDialogBar::GetBarInfo(SECControlBarInfo* info) const
{
    SECControlBar::GetBarInfo(info);
    if (IS_INTRESOURCE(m_lpszTemplateName))
        info->m_nResourceID = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(m_lpszTemplateName));
}

BOOL SECDialogBar::CreateFromBarInfo(CFrameWnd* frame, const SECControlBarInfo& info)
{
    if (!Create(frame, info.m_nResourceID, info.m_dwStyle, info.m_nBarID))
        return FALSE;
    SetWindowText(info.m_strWindowName);
    return TRUE;
}
