#include "platform/gdi/Objects.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace fln::gdi {

namespace {

// The largest bitmap made: 2^27 pixels (512 MB), more than a page printed at 1200 DPI.
constexpr long long MaxPixels = 1LL << 27;

struct Table {
    std::mutex mutex;
    std::unordered_map<HGDIOBJ, std::shared_ptr<GdiObject>> objects;
    uintptr_t next = 0x10000;
};

Table& table()
{
    static Table* instance = new Table; // lives until exit: objects may be released from static destructors
    return *instance;
}

} // namespace

HGDIOBJ ObjectTable::add(std::shared_ptr<GdiObject> object)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(t.next);
    t.next += 4;
    object->m_handle = handle;
    t.objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<GdiObject> ObjectTable::find(HGDIOBJ handle)
{
    if (!handle)
        return nullptr;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    return it == t.objects.end() || it->second->deletePending ? nullptr : it->second;
}

bool ObjectTable::destroy(HGDIOBJ handle)
{
    Table& t = table();
    std::shared_ptr<GdiObject> doomed; // destroyed outside the lock
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    if (it == t.objects.end() || it->second->deletePending)
        return false;
    if (it->second->isStock)
        return true;
    if (it->second->selections > 0) {
        it->second->deletePending = true;
        return true;
    }
    doomed = std::move(it->second);
    t.objects.erase(it);
    return true;
}

void ObjectTable::released(GdiObject& object)
{
    if (--object.selections > 0 || !object.deletePending)
        return;
    Table& t = table();
    std::shared_ptr<GdiObject> doomed;
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(object.handle());
    if (it != t.objects.end()) {
        doomed = std::move(it->second);
        t.objects.erase(it);
    }
}

// ---- bitmaps

BitmapObject::~BitmapObject()
{
    if (m_surface)
        cairo_surface_destroy(m_surface);
    std::free(m_bits);
}

std::shared_ptr<BitmapObject> BitmapObject::create(int width, int height, int bitsPixel)
{
    if (width <= 0 || height <= 0 || width > 0x8000 || height > 0x8000 || (long long)width * height > MaxPixels)
        return nullptr;
    std::shared_ptr<BitmapObject> bitmap(new BitmapObject);
    bitmap->m_width = width;
    bitmap->m_height = height;
    bitmap->m_bitsPixel = bitsPixel == 1 ? 1 : 32;
    bitmap->m_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(bitmap->m_surface) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    // New bitmaps are black, like fresh device memory would be shown.
    cairo_surface_flush(bitmap->m_surface);
    std::memset(cairo_image_surface_get_data(bitmap->m_surface), 0,
        static_cast<size_t>(cairo_image_surface_get_stride(bitmap->m_surface)) * height);
    cairo_surface_mark_dirty(bitmap->m_surface);
    return bitmap;
}

std::shared_ptr<BitmapObject> BitmapObject::createDib(const BITMAPINFO* info, UINT usage, const void* copyBits)
{
    if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    int bits = header.biBitCount;
    bool supported = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (!supported || header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight == 0
        || header.biWidth > 0x8000 || std::abs(header.biHeight) > 0x8000
        || (long long)header.biWidth * std::abs(header.biHeight) > MaxPixels)
        return nullptr;
    std::shared_ptr<BitmapObject> bitmap(new BitmapObject);
    bitmap->m_isDib = true;
    bitmap->m_width = header.biWidth;
    bitmap->m_height = std::abs(header.biHeight);
    bitmap->m_bitsPixel = bits;
    bitmap->m_header = header;
    bitmap->m_header.biSize = sizeof(BITMAPINFOHEADER);
    bitmap->m_dibStride = ((bitmap->m_width * bits + 31) / 32) * 4;
    bitmap->m_header.biSizeImage = static_cast<DWORD>(bitmap->m_dibStride) * bitmap->m_height;
    if (bits <= 8) {
        size_t count = header.biClrUsed && header.biClrUsed < (1u << bits) ? header.biClrUsed : (1u << bits);
        bitmap->m_colors.assign(info->bmiColors, info->bmiColors + count);
        if (usage == DIB_PAL_COLORS) // indices into the default palette: black and white at its ends
            for (auto& c : bitmap->m_colors) {
                BYTE v = reinterpret_cast<const WORD*>(&c)[0] ? 0xFF : 0;
                c = { v, v, v, 0 };
            }
        bitmap->m_colors.resize(size_t(1) << bits, RGBQUAD { 0, 0, 0, 0 });
    }
    size_t size = static_cast<size_t>(bitmap->m_dibStride) * bitmap->m_height;
    bitmap->m_bits = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!bitmap->m_bits)
        return nullptr;
    if (copyBits)
        std::memcpy(bitmap->m_bits, copyBits, size);
    bitmap->m_sharesBits = bits == 32 && header.biHeight < 0;
    if (bitmap->m_sharesBits)
        bitmap->m_surface = cairo_image_surface_create_for_data(bitmap->m_bits, CAIRO_FORMAT_RGB24, bitmap->m_width,
            bitmap->m_height, bitmap->m_dibStride);
    else
        bitmap->m_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, bitmap->m_width, bitmap->m_height);
    if (cairo_surface_status(bitmap->m_surface) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    bitmap->loadFromBits();
    return bitmap;
}

uint32_t* BitmapObject::row(int y) const
{
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(m_surface) + static_cast<size_t>(y) * cairo_image_surface_get_stride(m_surface));
}

uint8_t* BitmapObject::dibRow(int y) const
{
    int stored = m_header.biHeight < 0 ? y : m_height - 1 - y;
    return m_bits + static_cast<size_t>(stored) * m_dibStride;
}

void BitmapObject::loadFromBits()
{
    if (!m_isDib || m_sharesBits)
        return;
    size_t size = static_cast<size_t>(m_dibStride) * m_height;
    if (m_syncedBits.size() == size && std::memcmp(m_syncedBits.data(), m_bits, size) == 0)
        return; // nobody wrote to the bits since
    m_syncedBits.assign(m_bits, m_bits + size);
    cairo_surface_flush(m_surface);
    std::vector<uint32_t> palette(m_colors.size());
    for (size_t i = 0; i < m_colors.size(); ++i)
        palette[i] = (m_colors[i].rgbRed << 16) | (m_colors[i].rgbGreen << 8) | m_colors[i].rgbBlue;
    for (int y = 0; y < m_height; ++y) {
        const uint8_t* in = dibRow(y);
        uint32_t* out = row(y);
        for (int x = 0; x < m_width; ++x) {
            switch (m_bitsPixel) {
            case 1: out[x] = palette[(in[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: out[x] = palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: out[x] = palette[in[x]]; break;
            case 16: {
                unsigned v = in[2 * x] | (in[2 * x + 1] << 8);
                unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                out[x] = (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
                break;
            }
            case 24: out[x] = (in[3 * x + 2] << 16) | (in[3 * x + 1] << 8) | in[3 * x]; break;
            case 32: out[x] = (in[4 * x + 2] << 16) | (in[4 * x + 1] << 8) | in[4 * x]; break;
            }
        }
    }
    cairo_surface_mark_dirty(m_surface);
}

void BitmapObject::storeToBits()
{
    if (!m_isDib || m_sharesBits)
        return;
    cairo_surface_flush(m_surface);
    auto nearestIndex = [this](uint32_t pixel) {
        int best = 0;
        long bestDistance = -1;
        for (size_t i = 0; i < m_colors.size(); ++i) {
            long dr = long((pixel >> 16) & 0xFF) - m_colors[i].rgbRed;
            long dg = long((pixel >> 8) & 0xFF) - m_colors[i].rgbGreen;
            long db = long(pixel & 0xFF) - m_colors[i].rgbBlue;
            long distance = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || distance < bestDistance)
                best = static_cast<int>(i), bestDistance = distance;
            if (distance == 0)
                break;
        }
        return best;
    };
    for (int y = 0; y < m_height; ++y) {
        uint8_t* out = dibRow(y);
        const uint32_t* in = row(y);
        uint32_t lastPixel = 0;
        int lastIndex = -1;
        for (int x = 0; x < m_width; ++x) {
            uint32_t p = in[x] & 0xFFFFFF;
            int index = 0;
            if (m_bitsPixel <= 8) {
                if (lastIndex < 0 || p != lastPixel)
                    lastIndex = nearestIndex(p), lastPixel = p;
                index = lastIndex;
            }
            switch (m_bitsPixel) {
            case 1: out[x >> 3] = static_cast<uint8_t>((out[x >> 3] & ~(0x80 >> (x & 7))) | (index ? 0x80 >> (x & 7) : 0)); break;
            case 4: out[x >> 1] = static_cast<uint8_t>((x & 1) ? (out[x >> 1] & 0xF0) | index : (out[x >> 1] & 0x0F) | (index << 4)); break;
            case 8: out[x] = static_cast<uint8_t>(index); break;
            case 16: {
                unsigned v = (((p >> 19) & 31) << 10) | (((p >> 11) & 31) << 5) | ((p >> 3) & 31);
                out[2 * x] = v & 0xFF, out[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                break;
            }
            case 24: out[3 * x] = p & 0xFF, out[3 * x + 1] = (p >> 8) & 0xFF, out[3 * x + 2] = (p >> 16) & 0xFF; break;
            case 32: out[4 * x] = p & 0xFF, out[4 * x + 1] = (p >> 8) & 0xFF, out[4 * x + 2] = (p >> 16) & 0xFF; break;
            }
        }
    }
    m_syncedBits.assign(m_bits, m_bits + static_cast<size_t>(m_dibStride) * m_height);
}

BITMAP BitmapObject::info() const
{
    BITMAP bm {};
    bm.bmWidth = m_width;
    bm.bmHeight = m_height;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(m_bitsPixel);
    bm.bmWidthBytes = m_isDib ? m_dibStride : ((m_width * m_bitsPixel + 15) / 16) * 2;
    bm.bmBits = m_isDib ? m_bits : nullptr;
    return bm;
}

Pixels BitmapObject::copyPixels(RECT area) const
{
    Pixels pixels;
    area.left = std::max<LONG>(area.left, 0), area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, m_width), area.bottom = std::min<LONG>(area.bottom, m_height);
    if (area.left >= area.right || area.top >= area.bottom)
        return pixels;
    cairo_surface_flush(m_surface);
    pixels.width = area.right - area.left;
    pixels.height = area.bottom - area.top;
    pixels.data.reserve(static_cast<size_t>(pixels.width) * pixels.height);
    for (int y = area.top; y < area.bottom; ++y) {
        const uint32_t* r = row(y);
        for (int x = area.left; x < area.right; ++x)
            pixels.data.push_back(r[x] & 0xFFFFFF);
    }
    return pixels;
}

std::shared_ptr<BitmapObject> cloneBitmap(const BitmapObject& source)
{
    std::shared_ptr<BitmapObject> copy;
    if (source.isDib()) {
        std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
        bmi->bmiHeader = source.dibHeader();
        if (!source.colorTable().empty())
            std::memcpy(bmi->bmiColors, source.colorTable().data(), source.colorTable().size() * sizeof(RGBQUAD));
        const_cast<BitmapObject&>(source).loadFromBits(); // the bits may have been written directly
        copy = BitmapObject::createDib(bmi, DIB_RGB_COLORS, source.dibBits());
    } else {
        copy = BitmapObject::create(source.width(), source.height(), source.bitsPixel());
        if (copy) {
            cairo_surface_flush(source.surface());
            cairo_surface_flush(copy->surface());
            for (int y = 0; y < source.height(); ++y)
                std::memcpy(copy->row(y), source.row(y), static_cast<size_t>(source.width()) * 4);
            cairo_surface_mark_dirty(copy->surface());
        }
    }
    return copy;
}

int IconObject::width() const { return mask ? mask->width() : 0; }
int IconObject::height() const { return mask ? (color ? mask->height() : mask->height() / 2) : 0; }

} // namespace fln::gdi
