#include "framework/BmpMgr.h"

#include "framework/SysColorBitmap.h"
#include "platform/gdi/Gdi.h"
#include "platform/res/Resources.h"
#include "platform/user/ResourceHandles.h"

#include <algorithm>

std::optional<fln::res::ToolBarTemplate> LoadToolBarTemplate(LPCWSTR resource)
{
    HRSRC found = FindResourceW(nullptr, resource, RT_TOOLBAR);
    if (!found)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return std::nullopt;
    return fln::res::DecodeToolBarTemplate(data, SizeofResource(nullptr, found));
}

SECBmpMgr::~SECBmpMgr()
{
    for (const Strip& strip : m_strips) {
        DeleteObject(strip.bitmap);
        DeleteObject(strip.large);
    }
}

void SECBmpMgr::Release()
{
    if (--m_references == 0)
        delete this;
}

SECBmpMgr::ResourceName SECBmpMgr::ResourceName::Of(LPCWSTR resource)
{
    ResourceName name;
    if (IS_INTRESOURCE(resource))
        name.ordinal = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(resource));
    else if (resource)
        name.text = resource;
    return name;
}

HBITMAP SECBmpMgr::LoadStripBitmap(const ResourceName& name, BOOL mapColours)
{
    if (!mapColours)
        return LoadBitmapW(nullptr, name.Get());
    CBitmap bitmap;
    return SECLoadSysColorBitmap(bitmap, name.Get()) ? static_cast<HBITMAP>(bitmap.Detach()) : nullptr;
}

namespace {

CSize BitmapSize(HBITMAP bitmap)
{
    BITMAP info {};
    GetObjectW(bitmap, sizeof info, &info);
    return CSize(info.bmWidth, info.bmHeight);
}

} // namespace

BOOL SECBmpMgr::AddToolBarResource(LPCWSTR resource, LPCWSTR alternate, BOOL mapColours)
{
    const auto toolBar = LoadToolBarTemplate(resource);
    if (!toolBar || toolBar->width == 0 || toolBar->height == 0)
        return FALSE;
    std::optional<fln::res::ToolBarTemplate> alternateBar;
    if (alternate) {
        alternateBar = LoadToolBarTemplate(alternate);
        if (!alternateBar || alternateBar->width == 0 || alternateBar->height == 0)
            return FALSE;
    }
    Strip strip { ResourceName::Of(resource), alternate ? ResourceName::Of(alternate) : ResourceName {}, 0, mapColours };
    for (WORD command : toolBar->commands)
        strip.images += command != 0;
    strip.bitmap = LoadStripBitmap(strip.name, mapColours);
    if (!strip.bitmap)
        return FALSE;
    const CSize loaded = BitmapSize(strip.bitmap);
    if (loaded.cx < strip.images * toolBar->width || loaded.cy < toolBar->height) {
        DeleteObject(strip.bitmap);
        return FALSE;
    }
    if (m_strips.empty())
        m_szImage = CSize(toolBar->width, toolBar->height);
    if (alternateBar && !m_bLargeSizeSet) {
        m_szLargeImage = CSize(alternateBar->width, alternateBar->height);
        m_bLargeSizeSet = true;
    }
    if (WantsLarge(strip) && !(strip.large = MakeLargeStrip(strip))) {
        DeleteObject(strip.bitmap);
        return FALSE;
    }
    m_strips.push_back(std::move(strip));
    int index = 0;
    for (WORD command : toolBar->commands)
        if (command != 0)
            m_images.try_emplace(command, ImagePlace { m_strips.size() - 1, index++ }); // the first image of a command stays
    return TRUE;
}

HBITMAP SECBmpMgr::MakeLargeStrip(const Strip& strip) const
{
    if (strip.alternateName) {
        HBITMAP large = LoadStripBitmap(strip.alternateName, strip.mapColours);
        const CSize size = large ? BitmapSize(large) : CSize();
        if (large && size.cx >= strip.images * m_szLargeImage.cx && size.cy >= m_szLargeImage.cy)
            return large;
        DeleteObject(large);
        return nullptr;
    }
    // Each image stretched on its own, so that no image bleeds into its neighbour.
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen), target = CreateCompatibleDC(screen);
    HBITMAP large = CreateCompatibleBitmap(screen, std::max(1, strip.images * m_szLargeImage.cx), m_szLargeImage.cy);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldSource = SelectObject(source, strip.bitmap), oldTarget = SelectObject(target, large);
    SetStretchBltMode(target, COLORONCOLOR);
    for (int i = 0; i < strip.images; ++i)
        StretchBlt(target, i * m_szLargeImage.cx, 0, m_szLargeImage.cx, m_szLargeImage.cy, source, i * m_szImage.cx, 0, m_szImage.cx,
            m_szImage.cy, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    return large;
}

BOOL SECBmpMgr::GetImage(UINT id, HBITMAP& bitmap, int& index, BOOL alternate) const
{
    const auto found = m_images.find(id);
    if (found == m_images.end())
        return FALSE;
    const Strip& strip = m_strips[found->second.strip];
    bitmap = (alternate || m_bLargeButtons) && strip.large ? strip.large : strip.bitmap;
    index = found->second.index;
    return TRUE;
}

BOOL SECBmpMgr::ReloadAll()
{
    for (Strip& strip : m_strips) {
        // A bitmap that cannot be loaded again keeps its old pixels rather than losing its images.
        if (HBITMAP reloaded = LoadStripBitmap(strip.name, strip.mapColours)) {
            DeleteObject(strip.bitmap);
            strip.bitmap = reloaded;
        }
        DeleteObject(strip.large);
        strip.large = WantsLarge(strip) ? MakeLargeStrip(strip) : nullptr;
    }
    return 1;
}

void SECBmpMgr::SetLargeButtons(BOOL large)
{
    if (!large == !m_bLargeButtons)
        return;
    m_bLargeButtons = large;
    for (Strip& strip : m_strips) {
        DeleteObject(strip.large);
        strip.large = WantsLarge(strip) ? MakeLargeStrip(strip) : nullptr;
    }
}
