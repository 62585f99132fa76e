#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Stock.h"

#include <cmath>
#include <cstring>

namespace fln::gdi {

// ---- inks and raster operations

Ink Ink::solid(uint32_t pixel, int rop2)
{
    Ink ink;
    ink.pixels[0] = pixel;
    ink.rop2 = rop2;
    return ink;
}

static int wrap(int value, int size)
{
    int m = value % size;
    return m < 0 ? m + size : m;
}

uint32_t Ink::at(int x, int y) const
{
    if (isSolid())
        return pixels[0];
    return pixels[static_cast<size_t>(wrap(y - origin.y, height)) * width + wrap(x - origin.x, width)];
}

bool Ink::paints(int x, int y) const
{
    return opaque.empty() || opaque[static_cast<size_t>(wrap(y - origin.y, height)) * width + wrap(x - origin.x, width)];
}

uint32_t applyRop2(int rop2, uint32_t pen, uint32_t destination)
{
    switch (rop2) {
    case R2_COPYPEN: return pen;
    case R2_XORPEN: return (pen ^ destination) & 0xFFFFFF;
    case R2_NOT: return ~destination & 0xFFFFFF;
    case R2_NOP: return destination;
    default: break;
    }
    // The code minus one is the truth table over (pen, destination) bits: index = P * 2 + D.
    unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
    uint32_t result = 0;
    for (int i = 0; i < 4; ++i)
        if (table & (1u << i))
            result |= ((i & 2) ? pen : ~pen) & ((i & 1) ? destination : ~destination);
    return result & 0xFFFFFF;
}

uint32_t applyRop3(BYTE code, uint32_t pattern, uint32_t source, uint32_t destination)
{
    switch (code) {
    case 0xCC: return source;
    case 0xF0: return pattern;
    case 0x88: return source & destination;
    case 0xEE: return source | destination;
    case 0x66: return source ^ destination;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFF;
    case 0x55: return ~destination & 0xFFFFFF;
    case 0x5A: return pattern ^ destination;
    case 0xAA: return destination;
    default: break;
    }
    uint32_t result = 0;
    for (int i = 0; i < 8; ++i)
        if (code & (1u << i))
            result |= ((i & 4) ? pattern : ~pattern) & ((i & 2) ? source : ~source) & ((i & 1) ? destination : ~destination);
    return result & 0xFFFFFF;
}

// ---- Canvas

const Region Canvas::s_nothing;

Canvas::Canvas(DeviceContext& dc, Access access)
    : m_dc(dc)
    , m_access(access)
{
    cairo_surface_t* surface = dc.surface();
    if (!surface)
        return;
    if (auto bitmap = dc.bitmap()) {
        bitmap->loadFromBits();
        m_monochrome = bitmap->isMonochrome();
    }
    cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32)
        return;
    cairo_surface_flush(surface);
    m_pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
    m_stride = cairo_image_surface_get_stride(surface) / 4;
    m_width = cairo_image_surface_get_width(surface);
    m_height = cairo_image_surface_get_height(surface);
    m_hasAlpha = format == CAIRO_FORMAT_ARGB32;
    m_origin = dc.origin();
    m_clip = &dc.effectiveClip();
}

Canvas::~Canvas()
{
    if (!m_pixels)
        return;
    if (m_access == Access::Read)
        return;
    if (m_touchedTop < m_touchedBottom && m_dc.page())
        m_dc.noteWrittenRows(std::max(m_touchedTop + m_origin.y, 0), std::min(m_touchedBottom + m_origin.y, m_height));
    cairo_surface_mark_dirty(m_dc.surface());
    if (auto bitmap = m_dc.bitmap())
        bitmap->storeToBits();
}

void Canvas::fillSpan(int y, int left, int right, const Ink& ink)
{
    if (ink.empty || left >= right || !m_pixels)
        return;
    const Band* band = m_clip->bandAt(y);
    if (!band)
        return;
    touchRows(y, y + 1);
    uint32_t alpha = m_hasAlpha ? 0xFF000000 : 0;
    for (const Span& span : band->spans) {
        int l = std::max(left, span.left), r = std::min(right, span.right);
        if (span.left >= right)
            break;
        if (l >= r)
            continue;
        uint32_t* row = &pixel(0, y);
        if (ink.isSolid() && ink.rop2 == R2_COPYPEN) {
            std::fill(row + l, row + r, ink.pixels[0] | alpha);
            continue;
        }
        for (int x = l; x < r; ++x) {
            if (!ink.paints(x, y))
                continue;
            row[x] = applyRop2(ink.rop2, ink.at(x, y), row[x] & 0xFFFFFF) | alpha;
        }
    }
}

void Canvas::blendMask(const uint8_t* mask, int maskStride, int left, int top, int width, int height, uint32_t color, const RECT* limit,
    Coverage coverage)
{
    if (!m_pixels)
        return;
    touchRows(top, top + height);
    uint32_t alpha = m_hasAlpha ? 0xFF000000 : 0;
    // One channel: f over b with coverage a (0..255).
    auto mix = [](uint32_t fg, uint32_t bg, unsigned a, int shift) {
        unsigned f = (fg >> shift) & 0xFF, b = (bg >> shift) & 0xFF;
        return ((f * a + b * (255 - a) + 127) / 255) << shift;
    };
    for (int row = 0; row < height; ++row) {
        int y = top + row;
        if (limit && (y < limit->top || y >= limit->bottom))
            continue;
        const Band* band = m_clip->bandAt(y);
        if (!band)
            continue;
        const uint8_t* line = mask + static_cast<size_t>(row) * maskStride;
        for (const Span& span : band->spans) {
            int l = std::max(span.left, left), r = std::min(span.right, left + width);
            if (limit)
                l = std::max<int>(l, limit->left), r = std::min<int>(r, limit->right);
            for (int x = l; x < r; ++x) {
                uint32_t& d = pixel(x, y);
                if (coverage == Coverage::PerChannel) {
                    uint32_t c;
                    std::memcpy(&c, line + 4 * (x - left), 4);
                    if (!(c & 0xFFFFFF))
                        continue;
                    if (m_monochrome) {
                        if (((c >> 8) & 0xFF) >= 128)
                            d = color | alpha;
                        continue;
                    }
                    d = mix(color, d, (c >> 16) & 0xFF, 16) | mix(color, d, (c >> 8) & 0xFF, 8) | mix(color, d, c & 0xFF, 0) | alpha;
                    continue;
                }
                unsigned a;
                if (coverage == Coverage::Thresholded) {
                    uint32_t c;
                    std::memcpy(&c, line + 4 * (x - left), 4);
                    a = c >> 24;
                } else {
                    a = line[x - left];
                }
                if (!a)
                    continue;
                if (m_monochrome || coverage == Coverage::Thresholded) {
                    if (a >= 128)
                        d = color | alpha;
                    continue;
                }
                d = mix(color, d, a, 16) | mix(color, d, a, 8) | mix(color, d, a, 0) | alpha;
            }
        }
    }
}

void Canvas::fillRect(const RECT& rect, const Ink& ink)
{
    RECT box = m_clip->bounds();
    for (int y = std::max(rect.top, box.top); y < std::min(rect.bottom, box.bottom); ++y)
        fillSpan(y, rect.left, rect.right, ink);
}

void Canvas::fillRegion(const Region& region, const Ink& ink)
{
    Region visible = region & *m_clip;
    for (const Band& band : visible.bands())
        for (int y = band.top; y < band.bottom; ++y)
            for (const Span& span : band.spans)
                fillSpan(y, span.left, span.right, ink);
}

void Canvas::fillRows(const SpanRows& rows, const Ink& ink)
{
    for (size_t i = 0; i < rows.rows.size(); ++i)
        for (const Span& span : rows.rows[i])
            fillSpan(rows.top + static_cast<int>(i), span.left, span.right, ink);
}

// ---- DeviceContext

DeviceContext::DeviceContext(Kind kind)
    : GdiObject(ObjectKind::DeviceContext)
    , m_type(kind)
{
    select(state.pen, std::static_pointer_cast<PenObject>(stockObject(BLACK_PEN)));
    select(state.brush, std::static_pointer_cast<BrushObject>(stockObject(WHITE_BRUSH)));
    select(state.font, std::static_pointer_cast<FontObject>(stockObject(SYSTEM_FONT)));
    if (kind == Kind::Memory)
        select(state.bitmap, defaultBitmap());
}

DeviceContext::~DeviceContext()
{
    select(state.pen, {});
    select(state.brush, {});
    select(state.font, {});
    select(state.bitmap, {});
    if (m_surface)
        cairo_surface_destroy(m_surface);
    if (m_textLayer)
        cairo_surface_destroy(m_textLayer);
}

DeviceContext* DeviceContext::from(HDC dc)
{
    // The table keeps the object alive while its handle is valid.
    auto object = ObjectTable::find(dc);
    return object && object->kind() == ObjectKind::DeviceContext ? static_cast<DeviceContext*>(object.get()) : nullptr;
}

cairo_surface_t* DeviceContext::surface() const
{
    if (m_type == Kind::Memory)
        return state.bitmap ? state.bitmap->surface() : nullptr;
    return m_surface;
}

void DeviceContext::setSurface(cairo_surface_t* surface, const Region& visible, POINT origin)
{
    if (surface)
        cairo_surface_reference(surface);
    if (m_surface)
        cairo_surface_destroy(m_surface);
    m_surface = surface;
    m_visible = visible;
    if (surface)
        m_visible = m_visible & Region(RECT { 0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface) });
    m_origin = origin;
    m_clipValid = false;
}

void DeviceContext::noteWrittenRows(int top, int bottom)
{
    if (top >= bottom)
        return;
    // Kept sorted and apart: the runs this one meets are merged into it.
    auto first = std::lower_bound(m_writtenRows.begin(), m_writtenRows.end(), top, [](const auto& run, int y) { return run.second < y; });
    auto last = first;
    while (last != m_writtenRows.end() && last->first <= bottom) {
        top = std::min(top, last->first);
        bottom = std::max(bottom, last->second);
        ++last;
    }
    m_writtenRows.insert(m_writtenRows.erase(first, last), { top, bottom });
}

void DeviceContext::setTextLayer(cairo_surface_t* layer)
{
    if (layer)
        cairo_surface_reference(layer);
    if (m_textLayer)
        cairo_surface_destroy(m_textLayer);
    m_textLayer = layer;
}

const Region& DeviceContext::effectiveClip()
{
    if (m_clipValid && m_clipBitmap == state.bitmap)
        return m_clipCache;
    Region base;
    switch (m_type) {
    case Kind::Memory:
        if (state.bitmap)
            base = Region(RECT { 0, 0, state.bitmap->width(), state.bitmap->height() });
        break;
    case Kind::Surface:
        base = m_visible;
        base.offset(-m_origin.x, -m_origin.y);
        break;
    case Kind::Screen: {
        SIZE size = screenSize();
        base = Region(RECT { 0, 0, size.cx, size.cy });
        break;
    }
    }
    m_clipCache = state.clip ? base & *state.clip : base;
    m_clipBitmap = state.bitmap;
    m_clipValid = true;
    return m_clipCache;
}

void DeviceContext::restoreState(DcState&& from)
{
    auto pen = from.pen;
    auto brush = from.brush;
    auto font = from.font;
    auto bitmap = from.bitmap;
    DcState next = std::move(from);
    next.pen = state.pen, next.brush = state.brush, next.font = state.font, next.bitmap = state.bitmap;
    state = std::move(next);
    select(state.pen, pen);
    select(state.brush, brush);
    select(state.font, font);
    select(state.bitmap, bitmap);
    m_clipValid = false;
}

bool DeviceContext::isIdentityMapping() const
{
    return state.mapMode == MM_TEXT || (state.windowExt.cx == state.viewportExt.cx && state.windowExt.cy == state.viewportExt.cy);
}

static LONG scale(LONG value, LONG numerator, LONG denominator)
{
    return denominator ? static_cast<LONG>(std::lround(double(value) * numerator / denominator)) : value;
}

POINT DeviceContext::toDevice(POINT p) const
{
    if (isIdentityMapping())
        return POINT { p.x - state.windowOrg.x + state.viewportOrg.x, p.y - state.windowOrg.y + state.viewportOrg.y };
    return POINT { scale(p.x - state.windowOrg.x, state.viewportExt.cx, state.windowExt.cx) + state.viewportOrg.x,
        scale(p.y - state.windowOrg.y, state.viewportExt.cy, state.windowExt.cy) + state.viewportOrg.y };
}

POINT DeviceContext::toLogical(POINT p) const
{
    if (isIdentityMapping())
        return POINT { p.x - state.viewportOrg.x + state.windowOrg.x, p.y - state.viewportOrg.y + state.windowOrg.y };
    return POINT { scale(p.x - state.viewportOrg.x, state.windowExt.cx, state.viewportExt.cx) + state.windowOrg.x,
        scale(p.y - state.viewportOrg.y, state.windowExt.cy, state.viewportExt.cy) + state.windowOrg.y };
}

RECT DeviceContext::toDevice(const RECT& r) const
{
    POINT a = toDevice(POINT { r.left, r.top }), b = toDevice(POINT { r.right, r.bottom });
    return RECT { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) };
}

int DeviceContext::widthToDevice(int width) const
{
    return isIdentityMapping() ? width : std::abs(scale(width, state.viewportExt.cx, state.windowExt.cx));
}

int DeviceContext::heightToDevice(int height) const
{
    return isIdentityMapping() ? height : scale(height, std::abs(state.viewportExt.cy), std::abs(state.windowExt.cy));
}

const PenObject* DeviceContext::currentPen() const { return state.pen.get(); }

Ink DeviceContext::brushInk(const BrushObject* brush, bool mono) const
{
    Ink ink;
    ink.rop2 = state.rop2;
    ink.origin = state.brushOrg;
    auto realize = [mono](uint32_t pixel) { return mono ? toMonoPixel(pixel) : pixel; };
    if (!brush || brush->style == BS_NULL) {
        ink.empty = true;
        return ink;
    }
    if (brush->style == BS_SOLID) {
        COLORREF color = brush == stockObject(DC_BRUSH).get() ? state.dcBrushColor : brush->color;
        ink.pixels[0] = realize(toPixel(color));
        return ink;
    }
    if (brush->style == BS_HATCHED) {
        ink.width = ink.height = 8;
        ink.pixels.assign(64, 0);
        uint32_t fore = realize(toPixel(brush->color)), back = realize(toPixel(state.bkColor));
        if (state.bkMode == TRANSPARENT)
            ink.opaque.assign(64, 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                bool on = false;
                switch (brush->hatch) {
                case HS_HORIZONTAL: on = y == 7; break;
                case HS_VERTICAL: on = x == 7; break;
                case HS_FDIAGONAL: on = x == y; break;
                case HS_BDIAGONAL: on = x + y == 7; break;
                case HS_CROSS: on = x == 7 || y == 7; break;
                case HS_DIAGCROSS: on = x == y || x + y == 7; break;
                }
                ink.pixels[y * 8 + x] = on ? fore : back;
                if (!ink.opaque.empty())
                    ink.opaque[y * 8 + x] = on;
            }
        return ink;
    }
    if (brush->pattern && brush->pattern->width > 0) {
        ink.width = brush->pattern->width;
        ink.height = brush->pattern->height;
        ink.pixels = brush->pattern->data;
        uint32_t text = toPixel(state.textColor), back = toPixel(state.bkColor);
        for (uint32_t& p : ink.pixels)
            p = realize(brush->patternMono ? (p ? back : text) : p);
        return ink;
    }
    ink.empty = true;
    return ink;
}

std::shared_ptr<RealizedFont> DeviceContext::font() const
{
    LOGFONTW lf = state.font ? state.font->logFont : stockFont(SYSTEM_FONT);
    LONG height = lf.lfHeight;
    if (!isIdentityMapping() && height != 0)
        height = (height < 0 ? -1 : 1) * std::abs(heightToDevice(std::abs(height)));
    return FontSystem::instance().realize(lf, height);
}

cairo_t* createCairo(DeviceContext& dc)
{
    cairo_t* cr = cairo_create(dc.surface());
    cairo_translate(cr, dc.origin().x, dc.origin().y);
    for (const RECT& r : dc.effectiveClip().rects())
        cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_clip(cr);
    return cr;
}

} // namespace fln::gdi
