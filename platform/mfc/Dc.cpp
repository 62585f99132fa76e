#include "platform/mfc/Dc.h"

#include "platform/mfc/HandleMap.h"
#include "platform/mfc/Wnd.h"

IMPLEMENT_DYNAMIC(CDC, CObject)

namespace {

HandleMap<HDC, CDC>& DcMap()
{
    static HandleMap<HDC, CDC> map(
        [](HDC handle) {
            auto* dc = new CDC;
            dc->m_hDC = dc->m_hAttribDC = handle;
            return dc;
        },
        [](CDC* dc) { dc->m_hDC = dc->m_hAttribDC = nullptr; });
    return map;
}

} // namespace

CDC::~CDC()
{
    if (m_hDC && DcMap().Permanent(m_hDC) == this)
        DeleteDC();
}

CDC* CDC::FromHandle(HDC dc)
{
    return DcMap().FromHandle(dc);
}

BOOL CDC::Attach(HDC dc)
{
    if (!dc || m_hDC)
        return FALSE;
    m_hDC = m_hAttribDC = dc;
    DcMap().SetPermanent(dc, this);
    return TRUE;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    if (dc && DcMap().Permanent(dc) == this)
        DcMap().RemovePermanent(dc);
    m_hDC = m_hAttribDC = nullptr;
    return dc;
}

BOOL CDC::DeleteDC()
{
    HDC dc = Detach();
    return dc ? ::DeleteDC(dc) : FALSE;
}

BOOL CDC::CreateCompatibleDC(CDC* reference)
{
    return Attach(::CreateCompatibleDC(reference ? reference->m_hDC : nullptr));
}

BOOL CDC::CreateDC(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData)
{
    return Attach(::CreateDCW(driver, device, output, initData));
}

CGdiObject* CDC::Select(CGdiObject* object)
{
    if (!object)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, object->m_hObject);
    return previous && previous != HGDI_ERROR ? CGdiObject::FromHandle(previous) : nullptr;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT previous {};
    ::SetViewportOrgEx(m_hDC, x, y, &previous);
    return previous;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT previous {};
    ::SetWindowOrgEx(m_hDC, x, y, &previous);
    return previous;
}

CPoint CDC::OffsetViewportOrg(int dx, int dy)
{
    POINT previous {};
    ::OffsetViewportOrgEx(m_hDC, dx, dy, &previous);
    return previous;
}

CPoint CDC::GetViewportOrg() const
{
    POINT origin {};
    ::GetViewportOrgEx(m_hDC, &origin);
    return origin;
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT previous {};
    ::MoveToEx(m_hDC, x, y, &previous);
    return previous;
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    RECT rect { x, y, x + cx, y + cy };
    ::FillSolidRect(m_hDC, &rect, color);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    RECT rect { x, y, x + cx, y + cy };
    ::Draw3dRect(m_hDC, &rect, topLeft, bottomRight);
}

CSize CDC::GetTextExtent(const CString& text) const
{
    return GetTextExtent(text, text.GetLength());
}

CSize CDC::GetTextExtent(LPCWSTR text, int count) const
{
    SIZE size {};
    ::GetTextExtentPoint32W(m_hAttribDC ? m_hAttribDC : m_hDC, text, count, &size);
    return size;
}

CClientDC::CClientDC(CWnd* window)
    : m_hWnd(window ? window->m_hWnd : nullptr)
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* window)
    : m_hWnd(window ? window->m_hWnd : nullptr)
{
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CPaintDC::CPaintDC(CWnd* window)
    : m_hWnd(window->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}
