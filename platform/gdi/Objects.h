#pragma once
// The objects behind GDI handles (internal to platform/gdi). Every handle is a key in one table
// that owns its object; a device context keeps the objects selected into it alive, so that
// deleting a selected object only marks it, and it goes when it is no longer selected.

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"

#include <cairo.h>
#include <memory>
#include <vector>

namespace fln::gdi {

enum class ObjectKind { Pen, Brush, Font, Bitmap, Region, Palette, DeviceContext, Icon };

class GdiObject {
public:
    explicit GdiObject(ObjectKind kind) : m_kind(kind) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    ObjectKind kind() const { return m_kind; }
    HGDIOBJ handle() const { return m_handle; }

    bool isStock = false;
    int selections = 0; // how many device contexts hold it selected
    bool deletePending = false;

private:
    friend class ObjectTable;
    ObjectKind m_kind;
    HGDIOBJ m_handle = nullptr;
};

class ObjectTable {
public:
    static HGDIOBJ add(std::shared_ptr<GdiObject> object);
    static std::shared_ptr<GdiObject> find(HGDIOBJ handle);
    template<typename T>
    static std::shared_ptr<T> find(HGDIOBJ handle, ObjectKind kind)
    {
        auto object = find(handle);
        return object && object->kind() == kind ? std::static_pointer_cast<T>(object) : nullptr;
    }
    // Removes the handle now, or when the object is deselected if it is selected somewhere.
    static bool destroy(HGDIOBJ handle);
    // Called when a device context lets go of an object.
    static void released(GdiObject& object);
};

// Pixel rows of 32-bit 0x00RRGGBB values (cairo's RGB24 layout).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
    uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

constexpr uint32_t toPixel(COLORREF color) { return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color); }
constexpr COLORREF toColorRef(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }
// The nearest of black and white, as colours are realised on a monochrome bitmap.
constexpr uint32_t toMonoPixel(uint32_t pixel)
{
    unsigned luma = ((pixel >> 16) & 0xFF) * 30 + ((pixel >> 8) & 0xFF) * 59 + (pixel & 0xFF) * 11;
    return luma >= 128 * 100 ? 0xFFFFFF : 0;
}

class PenObject : public GdiObject {
public:
    PenObject(int style, int width, COLORREF color) : GdiObject(ObjectKind::Pen), style(style), width(width), color(color) {}
    int style; // PS_ style with type, cap and join bits
    int width;
    COLORREF color;
    bool extended = false; // made by ExtCreatePen
    int lineStyle() const { return style & PS_STYLE_MASK; }
};

class BrushObject : public GdiObject {
public:
    explicit BrushObject(UINT style) : GdiObject(ObjectKind::Brush), style(style) {}
    UINT style;
    COLORREF color = 0;
    int hatch = 0;
    // A pattern brush's own copy of the bitmap; a monochrome one takes the text and background
    // colours of the device context it paints in (0 bits text colour, 1 bits background).
    std::shared_ptr<Pixels> pattern;
    bool patternMono = false;
    HBITMAP patternBitmap = nullptr;
};

class FontObject : public GdiObject {
public:
    explicit FontObject(const LOGFONTW& font) : GdiObject(ObjectKind::Font), logFont(font) {}
    LOGFONTW logFont;
};

class RegionObject : public GdiObject {
public:
    explicit RegionObject(Region region) : GdiObject(ObjectKind::Region), region(std::move(region)) {}
    Region region;
};

class PaletteObject : public GdiObject {
public:
    PaletteObject() : GdiObject(ObjectKind::Palette) {}
};

// A bitmap: always a cairo RGB24 image surface, top row first. A device-dependent bitmap of one bit
// per pixel holds only black and white. A DIB section also keeps its bits in the caller's format;
// the surface mirrors them, and the two are synchronised around every use (a top-down 32-bit DIB
// section shares its bits with the surface and needs no copy).
class BitmapObject : public GdiObject {
public:
    ~BitmapObject() override;
    static std::shared_ptr<BitmapObject> create(int width, int height, int bitsPixel);
    // A DIB section; null for a format that is not supported. `copyBits` initialises it.
    static std::shared_ptr<BitmapObject> createDib(const BITMAPINFO* info, UINT usage, const void* copyBits = nullptr);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPixel() const { return m_bitsPixel; }
    bool isMonochrome() const { return m_bitsPixel == 1 && !m_isDib; }
    bool isDib() const { return m_isDib; }
    cairo_surface_t* surface() const { return m_surface; }
    uint32_t* row(int y) const;

    // DIB sections: bits -> surface before a use, surface -> bits after a change.
    void loadFromBits();
    void storeToBits();

    void* dibBits() const { return m_bits; }
    int dibStride() const { return m_dibStride; }
    const BITMAPINFOHEADER& dibHeader() const { return m_header; }
    const std::vector<RGBQUAD>& colorTable() const { return m_colors; }
    BITMAP info() const;
    Pixels copyPixels(RECT area) const;

private:
    BitmapObject() : GdiObject(ObjectKind::Bitmap) {}
    uint8_t* dibRow(int y) const;

    int m_width = 0;
    int m_height = 0;
    int m_bitsPixel = 32;
    cairo_surface_t* m_surface = nullptr;
    bool m_isDib = false;
    bool m_sharesBits = false;
    uint8_t* m_bits = nullptr;
    int m_dibStride = 0;
    BITMAPINFOHEADER m_header {};
    std::vector<RGBQUAD> m_colors;
    std::vector<uint8_t> m_syncedBits; // the bits as the surface last mirrored them
};

// Icons and cursors: a mask (AND) and a colour (XOR) bitmap, held as private copies.
class IconObject : public GdiObject {
public:
    IconObject() : GdiObject(ObjectKind::Icon) {}
    bool isIcon = true;
    POINT hotSpot {};
    std::shared_ptr<BitmapObject> mask;
    std::shared_ptr<BitmapObject> color; // null for a monochrome icon (mask twice as high)
    std::vector<uint8_t> alpha; // opacity per colour pixel, top row first, from a 32-bit colour DIB; empty: none
    int width() const;
    int height() const;
};

// A copy of a bitmap as a new, independent bitmap object of the same format.
std::shared_ptr<BitmapObject> cloneBitmap(const BitmapObject& source);

} // namespace fln::gdi
