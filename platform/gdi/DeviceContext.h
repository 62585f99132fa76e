#pragma once
// The object behind an HDC (internal to platform/gdi): the drawing state that SaveDC keeps, the
// target pixels (a bitmap, or a caller's cairo surface with an origin and a visible region) and
// the coordinate mapping.

#include "platform/gdi/FontSystem.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Surface.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <utility>
#include <vector>

namespace fln::gdi {

struct DcState {
    std::shared_ptr<PenObject> pen;
    std::shared_ptr<BrushObject> brush;
    std::shared_ptr<FontObject> font;
    std::shared_ptr<BitmapObject> bitmap; // memory DCs
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    int mapMode = MM_TEXT;
    POINT windowOrg {};
    POINT viewportOrg {};
    SIZE windowExt { 1, 1 };
    SIZE viewportExt { 1, 1 };
    POINT brushOrg {};
    POINT position {};
    UINT textAlign = TA_LEFT | TA_TOP;
    int justifyExtra = 0;
    int justifyBreaks = 0;
    int charExtra = 0;
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);
    std::optional<Region> clip; // device units
};

// A pattern of pixels laid on the device from the brush origin; `opaque` marks the pixels a
// transparent hatch paints (empty: all).
struct Ink {
    int width = 1;
    int height = 1;
    std::vector<uint32_t> pixels { 0 };
    std::vector<uint8_t> opaque;
    POINT origin {};
    int rop2 = R2_COPYPEN;
    bool empty = false; // a null brush or pen

    static Ink solid(uint32_t pixel, int rop2 = R2_COPYPEN);
    bool isSolid() const { return width == 1 && height == 1 && opaque.empty(); }
    uint32_t at(int x, int y) const;
    bool paints(int x, int y) const;
};

uint32_t applyRop2(int rop2, uint32_t pen, uint32_t destination);
uint32_t applyRop3(BYTE code, uint32_t pattern, uint32_t source, uint32_t destination);

class DeviceContext;

// Pixel access for one drawing operation, in device coordinates, clipped. Created per operation:
// it synchronises DIB sections and tells cairo about the changed pixels when it ends.
class Canvas {
public:
    enum class Access { ReadWrite, Read };
    explicit Canvas(DeviceContext& dc, Access access = Access::ReadWrite);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool valid() const { return m_pixels != nullptr; }
    DeviceContext& owner() const { return m_dc; }
    bool sharesPixelsWith(const Canvas& other) const { return m_pixels == other.m_pixels; }
    bool monochrome() const { return m_monochrome; }
    const Region& clip() const { return *m_clip; }
    uint32_t realize(COLORREF color) const { return m_monochrome ? toMonoPixel(toPixel(color)) : toPixel(color); }

    uint32_t& pixel(int x, int y) { return m_pixels[static_cast<size_t>(y + m_origin.y) * m_stride + x + m_origin.x]; }
    bool visible(int x, int y) const { return m_clip->contains(x, y); }
    // The target's pixels in device units, clip aside: what a source can give.
    RECT targetBounds() const { return RECT { -m_origin.x, -m_origin.y, m_width - m_origin.x, m_height - m_origin.y }; }
    bool hasAlpha() const { return m_hasAlpha; }
    void fillSpan(int y, int left, int right, const Ink& ink);
    void fillRect(const RECT& rect, const Ink& ink);
    void fillRegion(const Region& region, const Ink& ink);
    void fillRows(const SpanRows& rows, const Ink& ink);
    void plot(int x, int y, const Ink& ink) { fillSpan(y, x, x + 1, ink); }
    // How a mask's coverage meets the pixels: Blended masks hold 8 bits a pixel; Thresholded masks
    // 32, their coverage in the alpha bits; PerChannel masks 32, one coverage per colour channel,
    // laid out as this canvas's pixels.
    enum class Coverage { Blended, Thresholded, PerChannel };
    // Lays `color` over the pixels through a coverage mask whose (0, 0) is device (left, top),
    // within `limit` when given. Monochrome targets always threshold.
    void blendMask(const uint8_t* mask, int stride, int left, int top, int width, int height, uint32_t color, const RECT* limit,
        Coverage coverage);
    // Marks device rows [top, bottom) as written: a caller writing through pixel() says so (a
    // printed page looks for its ink in the written rows only).
    void touchRows(int top, int bottom)
    {
        m_touchedTop = std::min(m_touchedTop, top);
        m_touchedBottom = std::max(m_touchedBottom, bottom);
    }

private:
    DeviceContext& m_dc;
    Access m_access;
    uint32_t* m_pixels = nullptr;
    int m_stride = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_monochrome = false;
    bool m_hasAlpha = false;
    POINT m_origin {};
    const Region* m_clip = &s_nothing; // the DC's own clip, which no drawing changes
    int m_touchedTop = INT_MAX;
    int m_touchedBottom = INT_MIN;
    static const Region s_nothing;
};

class DeviceContext : public GdiObject {
public:
    enum class Kind { Memory, Surface, Screen };
    explicit DeviceContext(Kind kind);
    ~DeviceContext() override;

    static DeviceContext* from(HDC dc);

    Kind type() const { return m_type; }
    DcState state;
    std::vector<DcState> saved;

    // The target surface; null for a screen DC.
    cairo_surface_t* surface() const;
    std::shared_ptr<BitmapObject> bitmap() const { return state.bitmap; }
    bool monochrome() const { return state.bitmap && state.bitmap->isMonochrome(); }
    void setSurface(cairo_surface_t* surface, const Region& visible, POINT origin);
    POINT origin() const { return m_origin; }
    // A printed page's device, and the vector surface its text goes to (null: into the pixels).
    void setPage(PageDevice device) { m_page = std::move(device); }
    void setTextLayer(cairo_surface_t* layer);
    const std::optional<PageDevice>& page() const { return m_page; }
    cairo_surface_t* textLayer() const { return m_textLayer; }
    // A page's rows that drawing has written since they were last taken, as [top, bottom) runs of
    // the pixels' rows in order.
    void noteWrittenRows(int top, int bottom);
    std::vector<std::pair<int, int>> takeWrittenRows() { return std::exchange(m_writtenRows, {}); }
    // The pixels a drawing may change, in device units.
    const Region& effectiveClip();
    void clipChanged() { m_clipValid = false; }

    // Selection with the bookkeeping for deferred deletion.
    template<typename T>
    void select(std::shared_ptr<T>& slot, std::shared_ptr<T> object)
    {
        if (object)
            ++object->selections;
        if (slot)
            ObjectTable::released(*slot);
        slot = std::move(object);
    }
    void restoreState(DcState&& from);

    // Logical <-> device.
    POINT toDevice(POINT p) const;
    POINT toLogical(POINT p) const;
    RECT toDevice(const RECT& r) const;
    int widthToDevice(int width) const;
    int heightToDevice(int height) const;
    bool isIdentityMapping() const;

    Ink brushInk(const BrushObject* brush, bool monochrome) const;
    Ink brushInk(bool monochrome) const { return brushInk(state.brush.get(), monochrome); }
    std::shared_ptr<RealizedFont> font() const;
    const PenObject* currentPen() const;

private:
    Kind m_type;
    cairo_surface_t* m_surface = nullptr;
    Region m_visible; // surface DCs, in surface pixels
    POINT m_origin {};
    std::optional<PageDevice> m_page;
    cairo_surface_t* m_textLayer = nullptr;
    std::vector<std::pair<int, int>> m_writtenRows; // a page's, see takeWrittenRows
    Region m_clipCache;
    bool m_clipValid = false;
    std::shared_ptr<BitmapObject> m_clipBitmap; // the bitmap the cached clip was made for
};

// A cairo context on the DC's target, clipped, with device units as user units.
cairo_t* createCairo(DeviceContext& dc);

// Opens an API function taking `HDC handle`: `dc` is its DeviceContext, and a handle that is not
// a DC returns `fail` at once.
#define FLN_DC_OR(fail)                              \
    DeviceContext* dc = DeviceContext::from(handle); \
    if (!dc)                                         \
        return fail

} // namespace fln::gdi
