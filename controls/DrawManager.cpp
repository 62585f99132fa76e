#include "controls/DrawManager.h"

#include "platform/gdi/MemoryDC.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace {

// A 32-bit top-down DIB section selected into its own memory DC; pixels are 0xAARRGGBB.
class Section32 {
public:
    Section32(int width, int height)
        : m_width(width)
        , m_height(height)
    {
        if (width <= 0 || height <= 0)
            return;
        BITMAPINFO info {};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_dc = m_bitmap ? CreateCompatibleDC(nullptr) : nullptr;
        if (!m_dc)
            return;
        m_old = SelectObject(m_dc, m_bitmap);
        m_bits = static_cast<std::uint32_t*>(bits);
    }
    ~Section32()
    {
        if (m_dc) {
            SelectObject(m_dc, m_old);
            DeleteDC(m_dc);
        }
        if (m_bitmap)
            DeleteObject(m_bitmap);
    }
    Section32(const Section32&) = delete;
    Section32& operator=(const Section32&) = delete;

    explicit operator bool() const { return m_bits != nullptr; }
    HDC dc() const { return m_dc; }
    std::uint32_t* begin() { return m_bits; }
    std::uint32_t* end() { return m_bits + static_cast<size_t>(m_width) * m_height; }
    std::uint32_t& at(int x, int y) { return m_bits[static_cast<size_t>(y) * m_width + x]; }
    // Hands the bitmap over to the caller (unselected).
    HBITMAP Release()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        m_dc = nullptr;
        return std::exchange(m_bitmap, nullptr);
    }

private:
    int m_width;
    int m_height;
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
    std::uint32_t* m_bits = nullptr;
};

// rand() with the classic range 0..32767.
int Rand15()
{
    static std::minstd_rand generator(std::random_device {}());
    return static_cast<int>(generator() % 32768);
}

// COLORREF (0x00BBGGRR) and section pixels (0x00RRGGBB) differ in the order of red and blue.
constexpr std::uint32_t SwapRedBlue(std::uint32_t color)
{
    return (color & 0xFF00FF00) | ((color >> 16) & 0xFF) | ((color & 0xFF) << 16);
}

int PenStyleOf(int style)
{
    switch (style) {
    case CPPDrawManager::PEN_DASH: return PS_DASH;
    case CPPDrawManager::PEN_DOT: return PS_DOT;
    case CPPDrawManager::PEN_DASHDOT: return PS_DASHDOT;
    case CPPDrawManager::PEN_DASHDOTDOT: return PS_DASHDOTDOT;
    default: return PS_SOLID;
    }
}

// Copies a DC's area into a new section; false when the section cannot be made.
bool CopyArea(Section32& section, HDC source, int x, int y, int width, int height)
{
    return section && BitBlt(section.dc(), 0, 0, width, height, source, x, y, SRCCOPY);
}

} // namespace

// ---- colour arithmetic

DWORD CPPDrawManager::ToGrey(DWORD pixel)
{
    int red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
    auto grey = static_cast<DWORD>(std::lround(0.299 * red + 0.587 * green + 0.114 * blue));
    return grey << 16 | grey << 8 | grey;
}

COLORREF CPPDrawManager::ToInverse(COLORREF color)
{
    return ~color & 0x00FFFFFF;
}

COLORREF CPPDrawManager::ScaleColour(COLORREF color, double factor)
{
    if (!(factor >= 0 && factor < 1))
        return color;
    auto scale = [factor](DWORD channel) { return static_cast<DWORD>(std::lround(channel * factor)); };
    return (color & 0xFF000000) | scale((color >> 16) & 0xFF) << 16 | scale((color >> 8) & 0xFF) << 8 | scale(color & 0xFF);
}

COLORREF CPPDrawManager::BrightenColour(COLORREF color, double factor)
{
    if (!(factor >= 0 && factor <= 1))
        return color;
    auto brighten = [factor](DWORD channel) {
        return static_cast<DWORD>(std::min<long>(255, std::lround(channel * (1 + factor))));
    };
    return (color & 0xFF000000) | brighten((color >> 16) & 0xFF) << 16 | brighten((color >> 8) & 0xFF) << 8
        | brighten(color & 0xFF);
}

COLORREF CPPDrawManager::BlendColours(COLORREF a, double weightA, COLORREF b, double weightB)
{
    COLORREF result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        double value = ((a >> shift) & 0xFF) * weightA + ((b >> shift) & 0xFF) * weightB;
        result |= static_cast<COLORREF>(std::clamp<long>(std::lround(value), 0, 255)) << shift;
    }
    return result;
}

// ---- sizes and icons

void CPPDrawManager::IconSize(HICON icon, SIZE* size)
{
    *size = { 0, 0 };
    ICONINFO info {};
    if (!icon || !GetIconInfo(icon, &info))
        return;
    *size = { static_cast<LONG>(info.xHotspot * 2), static_cast<LONG>(info.yHotspot * 2) };
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

void CPPDrawManager::BitmapSize(HBITMAP bitmap, SIZE* size)
{
    *size = { 0, 0 };
    BITMAP info {};
    if (bitmap && GetObjectW(bitmap, sizeof info, &info))
        *size = { info.bmWidth, info.bmHeight };
}

HICON CPPDrawManager::ResizeIcon(HICON icon, int width, int height)
{
    ICONINFO info {};
    if (!icon || width <= 0 || height <= 0 || !GetIconInfo(icon, &info))
        return nullptr;
    BITMAP maskInfo {};
    GetObjectW(info.hbmMask, sizeof maskInfo, &maskInfo);
    int sourceWidth = maskInfo.bmWidth;
    int sourceHeight = info.hbmColor ? maskInfo.bmHeight : maskInfo.bmHeight / 2;

    HICON resized = nullptr;
    Section32 color(width, height);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (color && mask) {
        fln::gdi::MemoryDC maskTarget(nullptr, mask);
        fln::gdi::MemoryDC maskSource(nullptr, info.hbmMask);
        StretchBlt(maskTarget.dc(), 0, 0, width, height, maskSource.dc(), 0, 0, sourceWidth, sourceHeight, SRCCOPY);
        if (info.hbmColor) {
            fln::gdi::MemoryDC colorSource(nullptr, info.hbmColor);
            StretchBlt(color.dc(), 0, 0, width, height, colorSource.dc(), 0, 0, sourceWidth, sourceHeight, SRCCOPY);
        }
    }
    if (color && mask) {
        ICONINFO made { TRUE, static_cast<DWORD>(width / 2), static_cast<DWORD>(height / 2), mask, nullptr };
        HBITMAP colorBitmap = color.Release();
        made.hbmColor = colorBitmap;
        resized = CreateIconIndirect(&made);
        DeleteObject(colorBitmap);
    }
    if (mask)
        DeleteObject(mask);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return resized;
}

// ---- backgrounds

void CPPDrawManager::PaintGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool horizontal)
{
    constexpr int bands = 64;
    int start = horizontal ? rect.left : rect.top;
    int length = horizontal ? rect.right - rect.left : rect.bottom - rect.top;
    for (int i = 0; i < bands; ++i) {
        int bandStart = start + i * length / bands;
        int bandEnd = start + (i + 1) * length / bands;
        if (bandEnd <= bandStart)
            continue;
        auto channel = [i](int shift, COLORREF a, COLORREF b) {
            return static_cast<BYTE>(((((a >> shift) & 0xFF) * (bands - i) + ((b >> shift) & 0xFF) * i)) >> 6);
        };
        HBRUSH brush = CreateSolidBrush(RGB(channel(0, from, to), channel(8, from, to), channel(16, from, to)));
        RECT band = horizontal ? RECT { bandStart, rect.top, bandEnd, rect.bottom } : RECT { rect.left, bandStart, rect.right, bandEnd };
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

void CPPDrawManager::PaintSplitGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF middle, COLORREF to,
    bool horizontal)
{
    RECT first = rect, second = rect;
    if (horizontal)
        first.right = second.left = rect.left + (rect.right - rect.left) / 2;
    else
        first.bottom = second.top = rect.top + (rect.bottom - rect.top) / 2;
    PaintGradient(dc, first, from, middle, horizontal);
    PaintGradient(dc, second, middle, to, horizontal);
}

void CPPDrawManager::PaintBackground(HDC dc, int effect, const RECT* rect, COLORREF color1, COLORREF color2,
    COLORREF color3, DWORD granularity, DWORD blendPercent)
{
    const RECT& r = *rect;
    switch (effect) {
    case EFFECT_TRANSPARENT:
        return;
    case EFFECT_HGRADIENT:
        PaintGradient(dc, r, color1, color3, true);
        return;
    case EFFECT_VGRADIENT:
        PaintGradient(dc, r, color1, color3, false);
        return;
    case EFFECT_HCGRADIENT:
        PaintSplitGradient(dc, r, color1, color3, color1, true);
        return;
    case EFFECT_VCGRADIENT:
        PaintSplitGradient(dc, r, color1, color3, color1, false);
        return;
    case EFFECT_3HGRADIENT:
        PaintSplitGradient(dc, r, color1, color2, color3, true);
        return;
    case EFFECT_3VGRADIENT:
        PaintSplitGradient(dc, r, color1, color2, color3, false);
        return;
    default:
        if (effect >= EFFECT_NOISE && effect <= EFFECT_METAL) {
            PaintPattern(dc, effect, r, color1, color2, color3, static_cast<int>(granularity & 0xFF), blendPercent);
            return;
        }
        FillSolidRect(dc, &r, color1);
        return;
    }
}

void CPPDrawManager::PaintPattern(HDC dc, int effect, const RECT& rect, COLORREF color1, COLORREF color2,
    COLORREF color3, int g, DWORD blendPercent)
{
    // The sizes are 64-bit so that products of a coordinate with a size or with 255 cannot
    // overflow, however large the rectangle; each pixel value still ends in 0..255 plus noise.
    const std::int64_t W = rect.right - rect.left;
    const std::int64_t H = rect.bottom - rect.top;
    if (W <= 0 || H <= 0 || !m_dib.Create(static_cast<DWORD>(W), static_cast<DWORD>(H), 8))
        return;

    auto mix = [](COLORREF a, COLORREF b, int k, int shift) {
        return static_cast<BYTE>((((a >> shift) & 0xFF) * (128 - k) + ((b >> shift) & 0xFF) * k) / 128);
    };
    for (int k = 0; k <= 128; ++k)
        m_dib.SetPaletteIndex(static_cast<BYTE>(k), mix(color3, color2, k, 0), mix(color3, color2, k, 8), mix(color3, color2, k, 16));
    for (int k = 1; k <= 128; ++k)
        m_dib.SetPaletteIndex(static_cast<BYTE>(127 + k), mix(color2, color1, k, 0), mix(color2, color1, k, 8), mix(color2, color1, k, 16));
    m_dib.BlendPalette(color1, blendPercent);

    // Noise of about -g..+g; none at all for granularity 0.
    const int noiseDivisor = 32767 / std::max(2 * g, 1);
    auto noise = [&] { return g ? Rand15() / noiseDivisor - g : 0; };
    BYTE* bits = m_dib.GetBits();
    const int line = static_cast<int>(m_dib.GetLineWidth());
    auto pixel = [&](int x, int r) -> BYTE& { return bits[static_cast<size_t>(r) * line + x]; };
    auto set = [&](int x, int r, std::int64_t value) { pixel(x, r) = static_cast<BYTE>(value & 0xFF); };
    auto cube = [](int t) { return t * t * t / 128 / 128; };

    switch (effect) {
    case EFFECT_NOISE:
        for (int r = 0; r < H; ++r)
            for (int x = 0; x < W; ++x)
                set(x, r, 128 + noise());
        break;
    case EFFECT_DIAGSHADE: {
        int a = (255 - 2 * g) / 2;
        for (int r = 0; r < H; ++r)
            for (int x = 0; x < W; ++x)
                set(x, r, a * (W - x) / W + a * r / H + g + noise());
        break;
    }
    case EFFECT_HSHADE:
        for (int r = 0; r < H; ++r)
            for (int x = 0; x < W; ++x)
                set(x, r, (255 - 2 * g) * r / H + g + noise());
        break;
    case EFFECT_VSHADE:
        for (int r = 0; r < H; ++r)
            for (int x = 0; x < W; ++x)
                set(x, r, (255 - 2 * g) * (W - x) / W + g + noise());
        break;
    case EFFECT_HBUMP:
        for (int r = 0; r < H; ++r) {
            int t = 255 * r / H - 127;
            for (int x = 0; x < W; ++x)
                set(x, r, 128 + cube(t) * (128 - g) / 128 + noise());
        }
        break;
    case EFFECT_VBUMP:
        for (int r = 0; r < H; ++r)
            for (int x = 0; x < W; ++x)
                set(x, r, 128 + cube(255 * (W - x) / W - 127) * (128 - g) / 128 + noise());
        break;
    case EFFECT_SOFTBUMP:
        for (int r = 0; r < H; ++r) {
            int rowTerm = cube(255 * r / H - 127);
            for (int x = 0; x < W; ++x) {
                int value = 128 + (rowTerm + cube(255 * (W - x) / W - 127)) * (128 - g) / 128;
                set(x, r, std::clamp(value, g, 255 - g) + noise());
            }
        }
        break;
    case EFFECT_HARDBUMP: {
        // Narrow or one-row rectangles would divide by zero below: both divisors are kept at 1 or more.
        const std::int64_t s = std::max<std::int64_t>(std::min<std::int64_t>(W / 6, 16), 1);
        const std::int64_t curveDivisor = std::max<std::int64_t>(H * H / 4, 1);
        for (int r = 0; r < H; ++r) {
            const int rowValue = 128 + cube(255 * r / H - 127) * 2 * (64 - g) / 128;
            const std::int64_t d = r - H / 2;
            const std::int64_t e = s * d * d / curveDivisor + W / 2 - s;
            for (int x = 0; x < W; ++x) {
                std::int64_t value = rowValue + noise();
                if (x - W / 2 > e)
                    value = 128 * (W - x) / s + g;
                else if (x - W / 2 + e < 0)
                    value = 255 - g - 128 * x / s;
                set(x, r, value + noise());
            }
        }
        break;
    }
    case EFFECT_METAL: {
        m_dib.Clear(0);
        auto scaled = [](std::int64_t range) { return Rand15() / std::max<int>(32767 / std::max<std::int64_t>(range, 1), 1); };
        for (int stroke = 0; stroke < 200; ++stroke) {
            int column = scaled(W);
            int row = scaled(H);
            int length = scaled(std::min(W, H)) / 2;
            int value = Rand15() / 819;
            for (int i = 0; i < length; ++i) {
                if (column - i >= 0 && column - i < W && row + i >= 0 && row + i < H)
                    set(column - i, row + i, value);
                if (W - column + i >= 0 && W - column + i < W && row - i >= 0 && row - i < H)
                    set(W - column + i, row - i, value);
            }
        }
        const int v = (255 - 2 * g - 40) / 2;
        for (int r = 0; r < H; ++r)
            for (int x = 0; x < W; ++x)
                set(x, r, pixel(x, r) + v * (W - x) / W + v * r / H + (g ? Rand15() / noiseDivisor : 0));
        break;
    }
    default:
        break;
    }
    m_dib.Draw(dc, static_cast<DWORD>(rect.left), static_cast<DWORD>(rect.top));
}

void CPPDrawManager::TileCopy(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
    int sourceY, int tileWidth, int tileHeight)
{
    if (tileWidth <= 0 || tileHeight <= 0)
        return;
    for (int top = y; top < y + height; top += tileHeight)
        for (int left = x; left < x + width; left += tileWidth)
            BitBlt(destination, left, top, std::min(tileWidth, x + width - left), std::min(tileHeight, y + height - top),
                source, sourceX, sourceY, SRCCOPY);
}

// ---- frames and lines

void CPPDrawManager::PaintFrame(HDC dc, const RECT* rect, COLORREF topLeft, COLORREF bottomRight, int style, int penWidth)
{
    if (style == PEN_NULL || penWidth < 1)
        return;
    auto drawPaths = [&](int inset) {
        RECT r = *rect;
        InflateRect(&r, -inset, -inset);
        HPEN pen = CreatePen(PenStyleOf(style), penWidth, topLeft);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, r.left, r.bottom, nullptr);
        LineTo(dc, r.left, r.top);
        LineTo(dc, r.right, r.top);
        HPEN second = nullptr;
        if (bottomRight != topLeft) {
            second = CreatePen(PenStyleOf(style), penWidth, bottomRight);
            SelectObject(dc, second);
        }
        LineTo(dc, r.right, r.bottom);
        LineTo(dc, r.left, r.bottom);
        SelectObject(dc, old);
        DeleteObject(pen);
        if (second)
            DeleteObject(second);
    };
    drawPaths(penWidth / 2);
    if (style == PEN_DOUBLE)
        drawPaths(penWidth / 2 + 2 * penWidth);
}

void CPPDrawManager::PaintLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color, int style, int penWidth)
{
    if (style == PEN_NULL || penWidth < 1)
        return;
    HPEN pen = CreatePen(PenStyleOf(style), penWidth, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    if (style == PEN_DOUBLE) {
        int dx = y1 != y2 ? 2 * penWidth : 0; // not horizontal: to the right
        int dy = x1 != x2 ? 2 * penWidth : 0; // not vertical: down
        MoveToEx(dc, x1 + dx, y1 + dy, nullptr);
        LineTo(dc, x2 + dx, y2 + dy);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

// ---- transparent copies

void CPPDrawManager::BlendCopy(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
    int sourceY, int percent)
{
    if (width <= 0 || height <= 0)
        return;
    if (percent >= 100) {
        BitBlt(destination, x, y, width, height, source, sourceX, sourceY, SRCCOPY);
        return;
    }
    Section32 from(width, height), to(width, height);
    if (!CopyArea(from, source, sourceX, sourceY, width, height) || !CopyArea(to, destination, x, y, width, height))
        return;
    double weight = std::max(percent, 0) / 100.0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            to.at(column, row) = BlendColours(from.at(column, row), weight, to.at(column, row), 1 - weight);
    BitBlt(destination, x, y, width, height, to.dc(), 0, 0, SRCCOPY);
}

void CPPDrawManager::AlphaCopy(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY)
{
    if (width <= 0 || height <= 0)
        return;
    Section32 from(width, height), to(width, height);
    if (!CopyArea(from, source, sourceX, sourceY, width, height) || !CopyArea(to, destination, x, y, width, height))
        return;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            std::uint32_t pixel = from.at(column, row);
            double weight = (pixel >> 24) / 255.0;
            to.at(column, row) = BlendColours(pixel, weight, to.at(column, row), 1 - weight);
        }
    }
    BitBlt(destination, x, y, width, height, to.dc(), 0, 0, SRCCOPY);
}

// ---- images

HBITMAP CPPDrawManager::ApplyImageEffect(HBITMAP bitmap, int width, int height, DWORD effect, BOOL useTransparent,
    COLORREF transparent, COLORREF fill)
{
    Section32 section(width, height);
    if (!section || !bitmap)
        return nullptr;
    {
        fln::gdi::MemoryDC source(nullptr, bitmap);
        if (!source.dc() || !BitBlt(section.dc(), 0, 0, width, height, source.dc(), 0, 0, SRCCOPY))
            return nullptr;
    }
    const std::uint32_t transparentPixel = SwapRedBlue(transparent) & 0x00FFFFFF;
    const std::uint32_t fillPixel = SwapRedBlue(fill) & 0x00FFFFFF;
    for (std::uint32_t& pixel : section) {
        std::uint32_t alpha = pixel & 0xFF000000;
        std::uint32_t color = pixel & 0x00FFFFFF;
        if (alpha)
            m_hasAlpha = 1;
        if (useTransparent && color == transparentPixel) {
            color = 0;
        } else {
            if (effect & IMAGE_EFFECT_GRAYEN)
                color = ToGrey(color);
            if (effect & IMAGE_EFFECT_DARKEN)
                color = ScaleColour(color, 0.75);
            if (effect & IMAGE_EFFECT_LIGHTEN)
                color = BrightenColour(color, 0.25);
            if (effect & IMAGE_EFFECT_MONOCHROME)
                color = fillPixel;
        }
        if (effect & IMAGE_EFFECT_INVERT)
            color = ToInverse(color);
        pixel = alpha | (color & 0x00FFFFFF);
    }
    return section.Release();
}

void CPPDrawManager::PaintShadow(HDC dc, int x, int y, int width, int height, HBITMAP mask, BOOL soft, int blurWidth,
    int blurHeight)
{
    if (width <= 0 || height <= 0 || !mask)
        return;
    Section32 maskCopy(width, height);
    if (!maskCopy)
        return;
    {
        fln::gdi::MemoryDC source(nullptr, mask);
        if (soft) {
            blurWidth = std::max(blurWidth, 1) | 1; // an even size behaves as the next odd one
            blurHeight = std::max(blurHeight, 1) | 1;
            PatBlt(maskCopy.dc(), 0, 0, width, height, WHITENESS);
            if (width > blurWidth && height > blurHeight)
                StretchBlt(maskCopy.dc(), blurWidth / 2, blurHeight / 2, width - blurWidth, height - blurHeight,
                    source.dc(), 0, 0, width, height, SRCCOPY);
        } else {
            BitBlt(maskCopy.dc(), 0, 0, width, height, source.dc(), 0, 0, SRCCOPY);
        }
    }
    Section32 target(width, height);
    if (!CopyArea(target, dc, x, y, width, height))
        return;

    std::vector<double> factors(static_cast<size_t>(width) * height);
    if (soft) {
        // Box blur with running sums over the mask padded with white.
        const int paddedWidth = width + blurWidth - 1, paddedHeight = height + blurHeight - 1;
        std::vector<double> padded(static_cast<size_t>(paddedWidth) * paddedHeight, 255.0);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                padded[static_cast<size_t>(row + blurHeight / 2) * paddedWidth + column + blurWidth / 2] = maskCopy.at(column, row) & 0xFF;
        std::vector<double> rowSums(static_cast<size_t>(width) * paddedHeight);
        for (int row = 0; row < paddedHeight; ++row) {
            const double* line = &padded[static_cast<size_t>(row) * paddedWidth];
            double sum = 0;
            for (int i = 0; i < blurWidth; ++i)
                sum += line[i];
            for (int column = 0; column < width; ++column) {
                rowSums[static_cast<size_t>(row) * width + column] = sum;
                if (column + blurWidth < paddedWidth)
                    sum += line[column + blurWidth] - line[column];
            }
        }
        const double scale = static_cast<double>(blurWidth) * blurHeight * 255.0;
        for (int column = 0; column < width; ++column) {
            double sum = 0;
            for (int i = 0; i < blurHeight; ++i)
                sum += rowSums[static_cast<size_t>(i) * width + column];
            for (int row = 0; row < height; ++row) {
                factors[static_cast<size_t>(row) * width + column] = sum / scale;
                if (row + blurHeight < paddedHeight)
                    sum += rowSums[static_cast<size_t>(row + blurHeight) * width + column] - rowSums[static_cast<size_t>(row) * width + column];
            }
        }
    } else {
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                factors[static_cast<size_t>(row) * width + column] = (maskCopy.at(column, row) & 0xFF) / 255.0;
    }
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            target.at(column, row) = ScaleColour(target.at(column, row), factors[static_cast<size_t>(row) * width + column]);
    BitBlt(dc, x, y, width, height, target.dc(), 0, 0, SRCCOPY);
}

void CPPDrawManager::DrawImage(HDC dc, int x, int y, int width, int height, HBITMAP image, HBITMAP mask)
{
    fln::gdi::MemoryDC imageSource(nullptr, image);
    if (m_hasAlpha) {
        AlphaCopy(dc, x, y, width, height, imageSource.dc(), 0, 0);
        return;
    }
    fln::gdi::MemoryDC maskSource(nullptr, mask);
    BitBlt(dc, x, y, width, height, maskSource.dc(), 0, 0, SRCAND);
    BitBlt(dc, x, y, width, height, imageSource.dc(), 0, 0, SRCPAINT);
}

void CPPDrawManager::PaintBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, BOOL useTransparent,
    COLORREF transparent, DWORD effect, BOOL shadow, int shadowDx, int shadowDy, int blurWidth, int blurHeight,
    COLORREF fill)
{
    if (!bitmap || width <= 0 || height <= 0)
        return;
    m_hasAlpha = 0;
    Section32 copy(width, height);
    if (!copy)
        return;
    {
        SIZE size;
        BitmapSize(bitmap, &size);
        fln::gdi::MemoryDC source(nullptr, bitmap);
        if (size.cx != width || size.cy != height)
            StretchBlt(copy.dc(), 0, 0, width, height, source.dc(), 0, 0, size.cx, size.cy, SRCCOPY);
        else
            BitBlt(copy.dc(), 0, 0, width, height, source.dc(), 0, 0, SRCCOPY);
    }
    HBITMAP copyBitmap = copy.Release();
    HBITMAP mask = ApplyImageEffect(copyBitmap, width, height, IMAGE_EFFECT_MASK, useTransparent, transparent, RGB(255, 255, 255));
    HBITMAP image = ApplyImageEffect(copyBitmap, width, height, effect, useTransparent, transparent, fill);
    if (mask && image) {
        int imageX = x, imageY = y;
        if (shadow) {
            if (effect & (IMAGE_EFFECT_SHADOW | IMAGE_EFFECT_SOFT_SHADOW)) {
                HBITMAP shadowMask = ApplyImageEffect(copyBitmap, width, height, IMAGE_EFFECT_MASK, useTransparent,
                    transparent, ToInverse(fill));
                PaintShadow(dc, x + shadowDx, y + shadowDy, width, height, shadowMask,
                    (effect & IMAGE_EFFECT_SOFT_SHADOW) != 0, blurWidth, blurHeight);
                if (shadowMask)
                    DeleteObject(shadowMask);
            } else {
                imageX += shadowDx;
                imageY += shadowDy;
            }
        }
        DrawImage(dc, imageX, imageY, width, height, image, mask);
    }
    for (HBITMAP made : { mask, image, copyBitmap })
        if (made)
            DeleteObject(made);
}

void CPPDrawManager::PaintIcon(HDC dc, int x, int y, int width, int height, HICON icon, DWORD effect, BOOL shadow,
    int shadowDx, int shadowDy, int blurWidth, int blurHeight, COLORREF fill)
{
    if (!icon || width <= 0 || height <= 0)
        return;
    m_hasAlpha = 0;
    SIZE size;
    IconSize(icon, &size);
    HICON copy = size.cx == width && size.cy == height ? CopyIcon(icon) : ResizeIcon(icon, width, height);
    ICONINFO info {};
    if (!copy || !GetIconInfo(copy, &info)) {
        if (copy)
            DestroyIcon(copy);
        return;
    }
    // With a fill, the whole shape (the mask's black) takes the fill colour.
    HBITMAP image = (effect & IMAGE_EFFECT_MONOCHROME) || !info.hbmColor
        ? ApplyImageEffect(info.hbmMask, width, height, effect | IMAGE_EFFECT_MONOCHROME, TRUE, RGB(255, 255, 255), fill)
        : ApplyImageEffect(info.hbmColor, width, height, effect, FALSE, 0, fill);
    if (image) {
        int imageX = x, imageY = y;
        if (shadow) {
            if (effect & (IMAGE_EFFECT_SHADOW | IMAGE_EFFECT_SOFT_SHADOW)) {
                // As for bitmaps, the shadow is as dark as the fill colour.
                HBITMAP shadowMask = ApplyImageEffect(info.hbmMask, width, height, IMAGE_EFFECT_MASK, TRUE,
                    RGB(255, 255, 255), ToInverse(fill));
                PaintShadow(dc, x + shadowDx, y + shadowDy, width, height, shadowMask,
                    (effect & IMAGE_EFFECT_SOFT_SHADOW) != 0, blurWidth, blurHeight);
                if (shadowMask)
                    DeleteObject(shadowMask);
            } else {
                imageX += shadowDx;
                imageY += shadowDy;
            }
        }
        COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        DrawImage(dc, imageX, imageY, width, height, image, info.hbmMask);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        DeleteObject(image);
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DestroyIcon(copy);
}

void CPPDrawManager::PaintImageListCell(HDC dc, int x, int y, int width, int height, HBITMAP strip, int index,
    int cellWidth, int cellHeight, BOOL useTransparent, COLORREF transparent, DWORD effect, BOOL shadow, int shadowDx,
    int shadowDy, int blurWidth, int blurHeight, COLORREF fill)
{
    if (!strip || cellWidth <= 0 || cellHeight <= 0 || index < 0)
        return;
    SIZE size;
    BitmapSize(strip, &size);
    int columns = size.cx / cellWidth;
    int rows = size.cy / cellHeight;
    if (index >= columns * rows)
        return;
    Section32 cell(cellWidth, cellHeight);
    if (!cell)
        return;
    {
        fln::gdi::MemoryDC source(nullptr, strip);
        BitBlt(cell.dc(), 0, 0, cellWidth, cellHeight, source.dc(), (index % columns) * cellWidth,
            (index / columns) * cellHeight, SRCCOPY);
    }
    HBITMAP cellBitmap = cell.Release();
    PaintBitmap(dc, x, y, width, height, cellBitmap, useTransparent, transparent, effect, shadow, shadowDx, shadowDy,
        blurWidth, blurHeight, fill);
    DeleteObject(cellBitmap);
}
