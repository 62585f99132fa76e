#include "framework/MemDC.h"

#include "platform/base/Exceptions.h"

#include <algorithm>

namespace divuzura::foundation {

SECMemDC::SECMemDC(CDC* target, const RECT& rect, BOOL create, BOOL useTargetMapping)
    : m_pTarget(target)
    , m_rect(rect)
    , m_bUseTargetMapping(useTargetMapping)
{
    if (!m_pTarget)
        AfxThrowInvalidArgException();
    if (create)
        Create();
}

SECMemDC::SECMemDC(CDC* target, const RECT* rect, BOOL create, BOOL useTargetMapping)
    : SECMemDC(target, rect ? *rect : RECT {}, create, useTargetMapping)
{
}

void SECMemDC::Create()
{
    HDC attributes = m_pTarget->m_hAttribDC ? m_pTarget->m_hAttribDC : m_pTarget->m_hDC;
    ::GetViewportOrgEx(attributes, &m_viewportOrg);
    ::GetWindowOrgEx(attributes, &m_windowOrg);
    ::GetViewportExtEx(attributes, &m_viewportExt);
    ::GetWindowExtEx(attributes, &m_windowExt);
    if (!CreateCompatibleDC(m_pTarget))
        AfxThrowResourceException();
    CRect device = m_rect;
    ::LPtoDP(attributes, reinterpret_cast<LPPOINT>(&device), 2);
    m_deviceTopLeft = device.TopLeft();
    const CRect size = m_bUseTargetMapping ? m_rect : device;
    if (!m_bitmap.CreateCompatibleBitmap(m_pTarget, std::max<LONG>(0, size.Width()), std::max<LONG>(0, size.Height()))) {
        DeleteDC();
        AfxThrowResourceException();
    }
    m_pOldBitmap = SelectObject(&m_bitmap);
    if (m_bUseTargetMapping) {
        ApplyTargetMapping();
    } else {
        SetMapMode(m_pTarget->GetMapMode());
        ::SetWindowExtEx(m_hDC, m_windowExt.cx, m_windowExt.cy, nullptr);
        ::SetViewportExtEx(m_hDC, m_viewportExt.cx, m_viewportExt.cy, nullptr);
        m_pTarget->DPtoLP(&device);
        m_rect = device;
        SetWindowOrg(m_rect.left, m_rect.top);
    }
    m_bCreated = TRUE;
}

void SECMemDC::ApplyTargetMapping()
{
    SetMapMode(m_pTarget->GetMapMode());
    ::SetWindowExtEx(m_hDC, m_windowExt.cx, m_windowExt.cy, nullptr);
    ::SetViewportExtEx(m_hDC, m_viewportExt.cx, m_viewportExt.cy, nullptr);
    ::SetWindowOrgEx(m_hDC, m_windowOrg.x, m_windowOrg.y, nullptr);
    // The rectangle's corner on the target's device is the bitmap's first pixel.
    ::SetViewportOrgEx(m_hDC, m_viewportOrg.x - m_deviceTopLeft.x, m_viewportOrg.y - m_deviceTopLeft.y, nullptr);
}

SECMemDC::~SECMemDC()
{
    if (!m_bCreated)
        return;
    if (m_bUseTargetMapping)
        ApplyTargetMapping();
    if (m_rect.Width() > 0 && m_rect.Height() > 0)
        m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top, SRCCOPY);
    SelectObject(m_pOldBitmap);
    m_bitmap.DeleteObject();
    DeleteDC();
}

} // namespace divuzura::foundation
