// Objects in the line flow of the tooltip mark-up: line breaks, tab stops, rules, pictures from
// resources, files, registered handles and image strips (animated with a "speed"), and strings.

#include "controls/HtmlDrawer.h"

#include "controls/HtmlScan.h"
#include "platform/base/MulDiv.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/res/Resources.h"
#include "platform/sys/Module.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/WinUser.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

// Counts and sizes from the mark-up are held to what a tip can show.
constexpr int MaxCount = 100;
constexpr int MaxLength = 10000;

// "<br 2>": the number after the tag name, 1 when none.
int CountOf(std::wstring_view attributes)
{
    std::wstring text(attributes);
    return std::clamp(static_cast<int>(std::wcstol(text.c_str(), nullptr, 10)), 1, MaxCount);
}

DWORD EffectLetters(std::wstring_view letters, bool shadowOffset, bool gradient)
{
    DWORD effect = 0;
    for (wchar_t letter : letters) {
        switch (letter) {
        case L'g': effect |= CPPDrawManager::IMAGE_EFFECT_GRAYEN; break;
        case L'd': effect |= CPPDrawManager::IMAGE_EFFECT_DARKEN; break;
        case L'l': effect |= CPPDrawManager::IMAGE_EFFECT_LIGHTEN; break;
        case L's':
            if (shadowOffset)
                effect |= gradient ? CPPDrawManager::IMAGE_EFFECT_SOFT_SHADOW : CPPDrawManager::IMAGE_EFFECT_SHADOW;
            break;
        default: break;
        }
    }
    return effect;
}

// Where a picture comes from: "idres" the program's resources, "file" a file, "iddll" the
// drawer's resource library, "srcdll" a named library (none can be loaded here: resource
// libraries do not exist on this system), "handle" a picture the program registered.
struct ImageSource {
    int programId = 0, libraryId = 0;
    std::wstring_view file, library;
    HANDLE handle = nullptr;
};

// A picture loaded for one pass, released when the pass is done with it; a registered handle is
// borrowed, never released.
class LoadedImage {
public:
    LoadedImage(const ImageSource& source, HMODULE resourceLibrary, UINT type, int cx, int cy)
        : m_type(type)
    {
        const UINT resourceFlags = type == IMAGE_BITMAP ? LR_DEFAULTSIZE | LR_CREATEDIBSECTION : 0;
        if (source.programId > 0)
            m_handle = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(source.programId), type, cx, cy, resourceFlags);
        if (!m_handle && !source.file.empty()) {
            std::wstring path(source.file);
            m_handle = LoadImageW(nullptr, path.c_str(), type, cx, cy, LR_LOADFROMFILE | resourceFlags);
        }
        if (!m_handle && source.libraryId > 0 && source.library.empty() && resourceLibrary)
            m_handle = LoadImageW(resourceLibrary, MAKEINTRESOURCEW(source.libraryId), type, cx, cy, resourceFlags);
        if (!m_handle && source.handle) {
            m_handle = source.handle;
            m_borrowed = true;
        }
    }
    ~LoadedImage()
    {
        if (!m_handle || m_borrowed)
            return;
        if (m_type == IMAGE_ICON)
            DestroyIcon(static_cast<HICON>(m_handle));
        else
            DeleteObject(m_handle);
    }
    LoadedImage(const LoadedImage&) = delete;
    LoadedImage& operator=(const LoadedImage&) = delete;
    HANDLE get() const { return m_handle; }
    // Hands an owned picture over (null for a borrowed one, which stays where it is).
    HANDLE release() { return m_borrowed ? nullptr : std::exchange(m_handle, nullptr); }

private:
    HANDLE m_handle = nullptr;
    UINT m_type;
    bool m_borrowed = false;
};

// One item of a strip, copied out as a bitmap of its own for the drawing toolkit.
HBITMAP CopyStripItem(HDC reference, HBITMAP strip, SIZE item, int index)
{
    fln::gdi::MemoryDC from(reference, strip), to(reference, item.cx, item.cy);
    BitBlt(to, 0, 0, item.cx, item.cy, from, index * item.cx, 0, SRCCOPY);
    return to.DetachBitmap();
}

} // namespace

void CPPHtmlDrawer::PlaceBreak(std::wstring_view attributes)
{
    NewLine(CountOf(attributes), false);
}

void CPPHtmlDrawer::PlaceTab(std::wstring_view attributes)
{
    m_pen.x = AdvanceHtmlTabs(m_pen.x, m_area.left, m_tabWidth, CountOf(attributes));
    m_lineHasContent = true;
}

void CPPHtmlDrawer::PlaceRule(std::wstring_view attributes)
{
    PPHtmlStyle rule = m_style;
    MergeNamedStyle(L"hr", rule);
    COLORREF color = rule.textColor;
    int thickness = rule.borderWidth;
    int width = 100;
    bool percent = true;
    size_t position = 0;
    PPHtmlAttribute attribute;
    while (NextHtmlAttribute(attributes, position, attribute)) {
        if (attribute.name == L"width") {
            percent = !attribute.value.empty() && attribute.value.back() == L'%';
            width = percent ? std::wcstol(std::wstring(attribute.value).c_str(), nullptr, 10) : m_values.ParseSize(attribute.value, width);
        } else if (attribute.name == L"size")
            thickness = m_values.ParseSize(attribute.value, thickness);
        else if (attribute.name == L"color")
            color = m_values.ParseColor(attribute.value, color);
    }
    width = std::clamp(width, 0, MaxLength);
    thickness = std::clamp(thickness, 0, MaxCount);
    m_lineHasContent = true;
    // Both passes move the pen down by the same amount, so the drawn text keeps to the measured height.
    m_pen.y += 2;
    if (m_measuring) {
        if (percent)
            m_line.percentWidth += width;
        m_pen.x += percent ? 1 : width;
        m_line.height = std::max(m_line.height, thickness + 8);
        m_line.align = m_style.horizontalAlign;
        return;
    }
    if (percent)
        width = MulDiv(m_area.right - m_area.left, width, 100);
    const int y = m_pen.y + m_line.height / 2;
    CPPDrawManager::PaintLine(m_dc, m_pen.x, y, m_pen.x + width, y, color, CPPDrawManager::PEN_SOLID, std::max(thickness, 1));
    CPPDrawManager::PaintLine(m_dc, m_pen.x, y + 1, m_pen.x + width, y + 1, RGB(255, 255, 255), CPPDrawManager::PEN_SOLID, 1);
    m_pen.x += width;
}

bool CPPHtmlDrawer::BreakBeforeObject(int width)
{
    if (m_measuring) {
        bool wrap = m_maxWidth > 0 && m_lineHasContent && m_pen.x + width > m_area.right;
        m_pieces.push_back({ static_cast<size_t>(wrap), 0 });
        return wrap;
    }
    return m_pieceIndex < m_pieces.size() && m_pieces[m_pieceIndex++].length != 0;
}

void CPPHtmlDrawer::PlaceImage(PPHtmlTag kind, std::wstring_view attributes)
{
    ImageSource source;
    int index = 0, widthPercent = 100, heightPercent = 100, cx = 0, cy = 0, speed = 0;
    bool useMask = false;
    COLORREF mask = 0;
    DWORD effect = 0, hotEffect = 0;
    const bool shadowOffset = m_shadow.dx != 0 || m_shadow.dy != 0;
    size_t position = 0;
    PPHtmlAttribute attribute;
    while (NextHtmlAttribute(attributes, position, attribute)) {
        const auto& [name, value] = attribute;
        if (name == L"handle") {
            // Only pictures the program registered: a number in the text is never taken on trust.
            HANDLE candidate = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::wcstoull(std::wstring(value).c_str(), nullptr, 0)));
            source.handle = m_registeredImages.count(candidate) ? candidate : nullptr;
        } else if (name == L"idres")
            source.programId = m_values.ParseSize(value, 0);
        else if (name == L"iddll")
            source.libraryId = m_values.ParseSize(value, 0);
        else if (name == L"srcdll")
            source.library = value;
        else if (name == L"file")
            source.file = value;
        else if (name == L"index")
            index = m_values.ParseSize(value, index);
        else if (name == L"speed")
            speed = std::clamp(m_values.ParseSize(value, 0), 0, MaxLength);
        else if (name == L"mask") {
            useMask = true;
            mask = m_values.ParseColor(value, mask);
        } else if (name == L"style")
            effect = hotEffect = EffectLetters(value, shadowOffset, m_shadow.gradient);
        else if (name == L"hotstyle")
            hotEffect = EffectLetters(value, shadowOffset, m_shadow.gradient);
        else if (name == L"cx")
            cx = m_values.ParseSize(value, cx);
        else if (name == L"cy")
            cy = m_values.ParseSize(value, cy);
        else if (name == L"width")
            widthPercent = m_values.ParseSize(value.empty() || value.back() != L'%' ? value : value.substr(0, value.size() - 1), widthPercent);
        else if (name == L"height")
            heightPercent = m_values.ParseSize(value.empty() || value.back() != L'%' ? value : value.substr(0, value.size() - 1), heightPercent);
    }

    const bool fromStrip = kind == PPHtmlTag::ImageListItem
        && (source.programId > 0 || source.libraryId > 0 || !source.file.empty());
    const UINT type = kind == PPHtmlTag::Icon ? IMAGE_ICON : IMAGE_BITMAP;
    const bool loads = kind != PPHtmlTag::ImageListItem || (fromStrip && m_measuring);
    LoadedImage loaded(loads ? source : ImageSource {}, m_resourceLibrary, type, kind == PPHtmlTag::Icon ? cx : 0,
        kind == PPHtmlTag::Icon ? cy : 0);
    HANDLE handle = loaded.get();

    // An animated picture shows the item its frame has reached, counted from "index".
    int frameCount = 0;
    const Strip* strip = nullptr;
    if (fromStrip) {
        if (m_measuring) {
            Strip measured;
            if (HANDLE bitmap = loaded.release()) {
                measured.bitmap = std::shared_ptr<void>(bitmap, [](void* b) { DeleteObject(static_cast<HGDIOBJ>(b)); });
                SIZE whole {};
                CPPDrawManager::BitmapSize(static_cast<HBITMAP>(bitmap), &whole);
                measured.item = { cx > 0 ? cx : whole.cy, cy > 0 ? cy : whole.cy };
                measured.count = measured.item.cx > 0 ? std::min<int>(whole.cx / measured.item.cx, MaxLength) : 0;
            }
            m_strips.push_back(std::move(measured));
        }
        if (++m_stripCounter >= static_cast<int>(m_strips.size()))
            return;
        strip = &m_strips[m_stripCounter];
        frameCount = strip->count;
    } else if (kind == PPHtmlTag::ImageListItem && m_imageList) {
        frameCount = ImageList_GetImageCount(m_imageList);
    }
    if (kind == PPHtmlTag::ImageListItem && speed > 0 && frameCount > 1) {
        if (m_measuring)
            m_animations.push_back({ 0, frameCount, 0, speed });
        if (++m_animationCounter < static_cast<int>(m_animations.size()))
            index = (std::max(index, 0) + m_animations[m_animationCounter].frame) % frameCount;
    }

    SIZE size {};
    if (kind == PPHtmlTag::ImageListItem) {
        if (index < 0 || index >= frameCount)
            return;
        if (strip) {
            size = strip->item;
        } else {
            int itemWidth = 0, itemHeight = 0;
            ImageList_GetIconSize(m_imageList, &itemWidth, &itemHeight);
            size = { itemWidth, itemHeight };
        }
    } else if (!handle) {
        return;
    } else if (kind == PPHtmlTag::Bitmap) {
        CPPDrawManager::BitmapSize(static_cast<HBITMAP>(handle), &size);
    } else {
        CPPDrawManager::IconSize(static_cast<HICON>(handle), &size);
        if (size.cx == 0 || size.cy == 0)
            size = { GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON) };
    }
    if (cx > 0 && !strip)
        size.cx = cx;
    if (cy > 0 && !strip)
        size.cy = cy;
    int width = std::clamp(MulDiv(size.cx, std::clamp(widthPercent, 0, 1000), 100), 0, MaxLength);
    int height = std::clamp(MulDiv(size.cy, std::clamp(heightPercent, 0, 1000), 100), 0, MaxLength);
    constexpr DWORD ShadowFlags = CPPDrawManager::IMAGE_EFFECT_SHADOW | CPPDrawManager::IMAGE_EFFECT_SOFT_SHADOW;
    const int imageWidth = width, imageHeight = height;
    if ((effect | hotEffect) & ShadowFlags) {
        width += m_shadow.dx;
        height += m_shadow.dy;
    }
    if (BreakBeforeObject(width))
        NewLine(1, true);
    m_lineHasContent = true;
    if (m_measuring) {
        m_line.height = std::max(m_line.height, height);
        m_pen.x += width;
        return;
    }
    const int y = ObjectTop(m_pen.y, height);
    AddHotArea({ m_pen.x, y, m_pen.x + width, y + height });
    DWORD drawEffect = m_style.linkKind != 0 && m_linkCounter == m_hoveredLink ? hotEffect : effect;
    if (!m_values.ColorsEnabled())
        drawEffect = (drawEffect & ~0xFFu) | CPPDrawManager::IMAGE_EFFECT_MONOCHROME;
    const BOOL shadow = (drawEffect & ShadowFlags) != 0;
    const int grey = MulDiv(255, 100 - m_shadow.darkness, 100);
    const COLORREF fill = m_values.ColorsEnabled() ? RGB(grey, grey, grey) : m_values.DisabledColor();
    if (strip) {
        HBITMAP item = CopyStripItem(m_dc, static_cast<HBITMAP>(strip->bitmap.get()), strip->item, index);
        m_drawManager.PaintBitmap(m_dc, m_pen.x, y, imageWidth, imageHeight, item, useMask, mask, drawEffect, shadow,
            m_shadow.dx, m_shadow.dy, m_shadow.blurX, m_shadow.blurY, fill);
        DeleteObject(item);
    } else if (kind == PPHtmlTag::Bitmap) {
        m_drawManager.PaintBitmap(m_dc, m_pen.x, y, imageWidth, imageHeight, static_cast<HBITMAP>(handle), useMask, mask,
            drawEffect, shadow, m_shadow.dx, m_shadow.dy, m_shadow.blurX, m_shadow.blurY, fill);
    } else {
        HICON listIcon = kind == PPHtmlTag::ImageListItem ? ImageList_GetIcon(m_imageList, index, 0) : nullptr;
        HICON icon = listIcon ? listIcon : static_cast<HICON>(handle);
        m_drawManager.PaintIcon(m_dc, m_pen.x, y, imageWidth, imageHeight, icon, drawEffect, shadow, m_shadow.dx, m_shadow.dy,
            m_shadow.blurX, m_shadow.blurY, fill);
        if (listIcon)
            DestroyIcon(listIcon);
    }
    m_pen.x += width;
}

void CPPHtmlDrawer::PlaceResourceString(std::wstring_view attributes)
{
    int id = 0, libraryId = 0;
    bool namedLibrary = false;
    size_t position = 0;
    PPHtmlAttribute attribute;
    while (NextHtmlAttribute(attributes, position, attribute)) {
        if (attribute.name == L"idres")
            id = m_values.ParseSize(attribute.value, 0);
        else if (attribute.name == L"iddll")
            libraryId = m_values.ParseSize(attribute.value, 0);
        else if (attribute.name == L"srcdll")
            namedLibrary = true;
    }
    // The resource library holds the program's own strings here; a named library cannot be loaded.
    if (id <= 0 && !namedLibrary && m_resourceLibrary)
        id = libraryId;
    const std::wstring text = id > 0 ? LoadResourceString(static_cast<UINT>(id), 0) : std::wstring();
    if (text.empty())
        return;
    const int width = TextWidth(text);
    m_lineHasContent = true;
    if (m_measuring) {
        m_line.descent = std::max<int>(m_line.descent, m_metrics.tmHeight - m_metrics.tmAscent);
        m_line.height = std::max<int>(m_line.height, m_metrics.tmAscent);
        m_line.align = m_style.horizontalAlign;
        m_pen.x += width;
        return;
    }
    SetTextJustification(m_dc, 0, 0);
    const int y = TextTop(m_pen.y);
    AddHotArea({ m_pen.x, y, m_pen.x + width, y + m_metrics.tmHeight });
    TextOutW(m_dc, m_pen.x, y, text.data(), static_cast<int>(text.size()));
    m_undrawnWidth -= width;
    m_pen.x += width;
}

HBITMAP CPPHtmlDrawer::LoadBackgroundPicture(std::wstring_view declaration) const
{
    const size_t colon = declaration.find(L':');
    if (colon == std::wstring_view::npos)
        return nullptr;
    auto trimmed = [](std::wstring_view text) {
        while (!text.empty() && (text.front() == L' ' || text.front() == L'"'))
            text.remove_prefix(1);
        while (!text.empty() && (text.back() == L' ' || text.back() == L'"' || text.back() == L';'))
            text.remove_suffix(1);
        return text;
    };
    const std::wstring_view name = trimmed(declaration.substr(0, colon)), value = trimmed(declaration.substr(colon + 1));
    ImageSource source;
    if (name == L"idres")
        source.programId = m_values.ParseSize(value, 0);
    else if (name == L"iddll")
        source.libraryId = m_values.ParseSize(value, 0);
    else if (name == L"file")
        source.file = value;
    LoadedImage loaded(source, m_resourceLibrary, IMAGE_BITMAP, 0, 0);
    return static_cast<HBITMAP>(loaded.release());
}

void CPPHtmlDrawer::TileBackgroundPicture(const RECT& box, std::wstring_view declaration)
{
    HBITMAP picture = LoadBackgroundPicture(declaration);
    if (!picture)
        return;
    SIZE tile {};
    CPPDrawManager::BitmapSize(picture, &tile);
    if (tile.cx > 0 && tile.cy > 0) {
        fln::gdi::MemoryDC source(m_dc, picture);
        CPPDrawManager::TileCopy(m_dc, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0, tile.cx,
            tile.cy);
    }
    DeleteObject(picture);
}

std::wstring CPPHtmlDrawer::LoadResourceString(UINT id, int part)
{
    CString whole;
    if (id == 0 || part < 0 || !whole.LoadString(id))
        return {};
    std::wstring_view rest(static_cast<LPCWSTR>(whole), whole.GetLength());
    for (int skipped = 0; skipped < part; ++skipped) {
        size_t feed = rest.find(L'\n');
        if (feed == std::wstring_view::npos)
            return {};
        rest.remove_prefix(feed + 1);
    }
    return std::wstring(rest.substr(0, rest.find(L'\n')));
}

bool CPPHtmlDrawer::AdvanceAnimation()
{
    bool changed = false;
    for (Animation& animation : m_animations) {
        if (animation.frameCount <= 0 || ++animation.ticks < animation.ticksPerFrame)
            continue;
        animation.ticks = 0;
        animation.frame = (animation.frame + 1) % animation.frameCount;
        changed = true;
    }
    return changed;
}
