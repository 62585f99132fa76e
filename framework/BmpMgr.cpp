#include "framework/BmpMgr.h"

#include "platform/gdi/Gdi.h"
#include "platform/res/Resources.h"
#include "platform/user/ResourceHandles.h"

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
    for (const Strip& strip : m_strips)
        DeleteObject(strip.bitmap);
}

void SECBmpMgr::Release()
{
    if (--m_references == 0)
        delete this;
}

BOOL SECBmpMgr::AddToolBarResource(LPCWSTR resource)
{
    const auto toolBar = LoadToolBarTemplate(resource);
    if (!toolBar || toolBar->width == 0 || toolBar->height == 0)
        return FALSE;
    HBITMAP bitmap = LoadBitmapW(nullptr, resource);
    if (!bitmap)
        return FALSE;
    int images = 0;
    for (WORD command : toolBar->commands)
        images += command != 0;
    BITMAP info {};
    GetObjectW(bitmap, sizeof info, &info);
    if (info.bmWidth < images * toolBar->width || info.bmHeight < toolBar->height) {
        DeleteObject(bitmap);
        return FALSE;
    }
    if (m_strips.empty())
        (m_bLargeButtons ? m_szLargeImage : m_szImage) = CSize(toolBar->width, toolBar->height);

    Strip strip;
    if (IS_INTRESOURCE(resource))
        strip.name.ordinal = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(resource));
    else
        strip.name.text = resource;
    strip.bitmap = bitmap;
    m_strips.push_back(std::move(strip));
    int index = 0;
    for (WORD command : toolBar->commands)
        if (command != 0)
            m_images.try_emplace(command, ImagePlace { m_strips.size() - 1, index++ }); // the first image of a command stays
    return TRUE;
}

BOOL SECBmpMgr::GetImage(UINT id, HBITMAP& bitmap, int& index) const
{
    const auto found = m_images.find(id);
    if (found == m_images.end())
        return FALSE;
    bitmap = m_strips[found->second.strip].bitmap;
    index = found->second.index;
    return TRUE;
}

BOOL SECBmpMgr::ReloadAll()
{
    for (Strip& strip : m_strips) {
        // A bitmap that cannot be loaded again keeps its old pixels rather than losing its images.
        if (HBITMAP reloaded = LoadBitmapW(nullptr, strip.name.Get())) {
            DeleteObject(strip.bitmap);
            strip.bitmap = reloaded;
        }
    }
    return 1;
}

void SECBmpMgr::SetLargeButtons(BOOL large)
{
    if (!large == !m_bLargeButtons)
        return;
    m_bLargeButtons = large;
    ReloadAll();
}
