// Objects in the line flow of the tooltip mark-up: line breaks, tab stops, rules and pictures.

#include "controls/HtmlDrawer.h"

#include "controls/HtmlScan.h"
#include "platform/base/MulDiv.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/WinUser.h"

#include <algorithm>
#include <cstdlib>

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

// A picture loaded for one pass, released when the pass is done with it.
class LoadedImage {
public:
    LoadedImage(std::wstring_view file, bool icon, int cx, int cy)
        : m_icon(icon)
    {
        if (file.empty())
            return;
        std::wstring path(file);
        m_handle = LoadImageW(nullptr, path.c_str(), icon ? IMAGE_ICON : IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE);
    }
    ~LoadedImage()
    {
        if (m_handle && m_icon)
            DestroyIcon(static_cast<HICON>(m_handle));
        else if (m_handle)
            DeleteObject(m_handle);
    }
    LoadedImage(const LoadedImage&) = delete;
    LoadedImage& operator=(const LoadedImage&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
    bool m_icon;
};

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
    HANDLE handle = nullptr;
    int index = 0, widthPercent = 100, heightPercent = 100, cx = 0, cy = 0;
    std::wstring_view file;
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
            handle = m_registeredImages.count(candidate) ? candidate : nullptr;
        } else if (name == L"file")
            file = value;
        else if (name == L"index")
            index = m_values.ParseSize(value, index);
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

    // A picture file is read when the mark-up names no registered handle; the handle stays the program's.
    LoadedImage loaded(handle || kind == PPHtmlTag::ImageListItem ? std::wstring_view() : file, kind == PPHtmlTag::Icon, cx, cy);
    if (!handle)
        handle = loaded.get();
    SIZE size {};
    HICON listIcon = nullptr;
    if (kind == PPHtmlTag::ImageListItem) {
        if (!m_imageList || index < 0 || index >= ImageList_GetImageCount(m_imageList))
            return;
        int itemWidth = 0, itemHeight = 0;
        ImageList_GetIconSize(m_imageList, &itemWidth, &itemHeight);
        size = { itemWidth, itemHeight };
    } else if (!handle) {
        return;
    } else if (kind == PPHtmlTag::Bitmap) {
        CPPDrawManager::BitmapSize(static_cast<HBITMAP>(handle), &size);
    } else {
        CPPDrawManager::IconSize(static_cast<HICON>(handle), &size);
        if (size.cx == 0 || size.cy == 0)
            size = { GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON) };
    }
    if (cx > 0)
        size.cx = cx;
    if (cy > 0)
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
    if (kind == PPHtmlTag::Bitmap) {
        m_drawManager.PaintBitmap(m_dc, m_pen.x, y, imageWidth, imageHeight, static_cast<HBITMAP>(handle), useMask, mask,
            drawEffect, shadow, m_shadow.dx, m_shadow.dy, m_shadow.blurX, m_shadow.blurY, fill);
    } else {
        HICON icon = kind == PPHtmlTag::Icon ? static_cast<HICON>(handle) : (listIcon = ImageList_GetIcon(m_imageList, index, 0));
        m_drawManager.PaintIcon(m_dc, m_pen.x, y, imageWidth, imageHeight, icon, drawEffect, shadow, m_shadow.dx, m_shadow.dy,
            m_shadow.blurX, m_shadow.blurY, fill);
        if (listIcon)
            DestroyIcon(listIcon);
    }
    m_pen.x += width;
}
