#include "framework/Icon.h"

#include "platform/mfc/WinApp.h"
#include "platform/user/ResourceHandles.h"

SECIcon::~SECIcon()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

void SECIcon::SetIcon(HICON icon)
{
    if (m_hIcon && m_hIcon != icon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = icon;
    if (!icon)
        return;
    ICONINFO info {};
    if (!::GetIconInfo(icon, &info))
        return;
    m_cx = 2 * static_cast<int>(info.xHotspot);
    m_cy = 2 * static_cast<int>(info.yHotspot);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
}

BOOL SECIcon::LoadIcon(UINT resourceId, int cx, int cy)
{
    return LoadIcon(MAKEINTRESOURCEW(resourceId), cx, cy);
}

BOOL SECIcon::LoadIcon(LPCWSTR resourceName, int cx, int cy)
{
    CWinApp* app = AfxGetApp();
    auto icon = static_cast<HICON>(::LoadImageW(app ? app->m_hInstance : nullptr, resourceName, IMAGE_ICON, cx, cy, 0));
    if (!icon)
        return FALSE;
    SetIcon(icon);
    m_cx = cx;
    m_cy = cy;
    return TRUE;
}

void SECIcon::Draw(HDC dc, int x, int y, int cx, int cy, HBRUSH flickerFree) const
{
    if (m_hIcon)
        ::DrawIconEx(dc, x, y, m_hIcon, cx, cy, 0, flickerFree, DI_NORMAL);
}

void SECIcon::Draw(HDC dc, int x, int y, HBRUSH flickerFree) const
{
    Draw(dc, x, y, m_cx, m_cy, flickerFree);
}
