#include "platform/mfc/FormView.h"

#include "platform/mfc/WinApp.h"
#include "platform/res/Resources.h"

IMPLEMENT_DYNAMIC(CFormView, CScrollView)
BEGIN_MESSAGE_MAP(CFormView, CScrollView)
    ON_WM_CREATE()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

BOOL CFormView::CreateEx(DWORD exStyle, LPCWSTR, LPCWSTR, DWORD style, int x, int y, int width, int height, HWND parent,
    HMENU menuOrId, LPVOID param)
{
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    HRSRC resource = ::FindResourceW(instance, m_lpszTemplateName, RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    auto dialogTemplate = static_cast<LPCDLGTEMPLATE>(loaded ? ::LockResource(loaded) : nullptr);
    if (!dialogTemplate || m_hWnd)
        return FALSE;
    m_pCreateContext = static_cast<CCreateContext*>(param);
    m_bWindowMade = CreateAttached([&] { return ::CreateDialogIndirectParamW(instance, dialogTemplate, parent, nullptr, 0); });
    m_pCreateContext = nullptr;
    if (!m_bWindowMade)
        return FALSE;
    // The template's size is the area to scroll over; the caller's rectangle is where the view goes.
    RECT templateRect;
    ::GetWindowRect(m_hWnd, &templateRect);
    SetScrollSizes(MM_TEXT, CSize(templateRect.right - templateRect.left, templateRect.bottom - templateRect.top));
    ::SetWindowLongPtrW(m_hWnd, GWLP_ID, reinterpret_cast<LONG_PTR>(menuOrId));
    if (exStyle)
        ModifyStyleEx(0, exStyle, SWP_FRAMECHANGED);
    ::SetWindowPos(m_hWnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (style & WS_VISIBLE)
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    return TRUE;
}

int CFormView::OnCreate(LPCREATESTRUCT create)
{
    // The dialog manager knows nothing of documents: hand the view its creation context here.
    create->lpCreateParams = m_pCreateContext;
    return CScrollView::OnCreate(create);
}

void CFormView::OnActivateView(BOOL activate, CView* activated, CView* deactivated)
{
    HWND focus = ::GetFocus();
    const bool focusInside = focus && ::IsChild(m_hWnd, focus);
    if (focusInside)
        m_hWndFocus = focus;
    if (!activate || !focusInside)
        CScrollView::OnActivateView(activate, activated, deactivated);
}

void CFormView::OnSetFocus(CWnd*)
{
    if (m_hWndFocus && ::IsWindow(m_hWndFocus) && ::IsChild(m_hWnd, m_hWndFocus) && ::IsWindowVisible(m_hWndFocus) && ::IsWindowEnabled(m_hWndFocus))
        ::SetFocus(m_hWndFocus);
    else
        Default();
}

void CFormView::OnInitialUpdate()
{
    UpdateData(FALSE);
    CScrollView::OnInitialUpdate();
}

BOOL CFormView::PreTranslateMessage(MSG* message)
{
    bool input = (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST)
        || (message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST);
    if (!input)
        return FALSE;
    // The dialog manager would take the frame's accelerator keys: the frames see them first.
    for (HWND window = ::GetParent(m_hWnd); window; window = ::GetParent(window)) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(window)); frame && frame->PreTranslateMessage(message))
            return TRUE;
    }
    return ::IsDialogMessageW(m_hWnd, message);
}
