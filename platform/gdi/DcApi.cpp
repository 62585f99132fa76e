// Device contexts, their modes and coordinates, clipping, stock objects and the creation of
// pens, brushes and fonts.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontRendering.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Stock.h"
#include "platform/gdi/Surface.h"
#include "platform/base/MulDiv.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <cmath>
#include <mutex>
#include <utility>

using namespace fln::gdi;

namespace {

SIZE g_screenSize { 1280, 1024 };

template<typename T>
HGDIOBJ addObject(std::shared_ptr<T> object)
{
    return object ? ObjectTable::add(std::move(object)) : nullptr;
}

LOGFONTW makeLogFont(LONG height, LONG weight, const wchar_t* face, BYTE pitchAndFamily)
{
    LOGFONTW lf {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfPitchAndFamily = pitchAndFamily;
    std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

} // namespace

namespace fln::gdi {

LOGFONTW stockFont(int index)
{
    // Sizes at 96 DPI, grown with the screen's.
    auto scaled = [](LONG height) { return static_cast<LONG>(MulDiv(height, CurrentFontRendering().dpi, 96)); };
    switch (index) {
    case DEFAULT_GUI_FONT: return makeLogFont(scaled(-11), FW_NORMAL, L"MS Shell Dlg", VARIABLE_PITCH | FF_SWISS);
    case ANSI_VAR_FONT: return makeLogFont(scaled(-11), FW_NORMAL, L"MS Sans Serif", VARIABLE_PITCH | FF_SWISS);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: return makeLogFont(scaled(13), FW_NORMAL, L"Courier", FIXED_PITCH | FF_MODERN);
    default: return makeLogFont(scaled(16), FW_BOLD, L"System", VARIABLE_PITCH | FF_SWISS);
    }
}

constexpr int StockFonts[] = { OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT };

void rescaleStockFonts()
{
    for (int font : StockFonts)
        std::static_pointer_cast<FontObject>(stockObject(font))->logFont = stockFont(font);
}

std::shared_ptr<GdiObject> stockObject(int index)
{
    static std::once_flag once;
    static std::map<int, std::shared_ptr<GdiObject>>* objects;
    std::call_once(once, [] {
        objects = new std::map<int, std::shared_ptr<GdiObject>>;
        auto add = [](int i, std::shared_ptr<GdiObject> object) {
            object->isStock = true;
            ObjectTable::add(object);
            (*objects)[i] = std::move(object);
        };
        auto brush = [](COLORREF color) {
            auto b = std::make_shared<BrushObject>(BS_SOLID);
            b->color = color;
            return b;
        };
        add(WHITE_BRUSH, brush(RGB(255, 255, 255)));
        add(LTGRAY_BRUSH, brush(RGB(192, 192, 192)));
        add(GRAY_BRUSH, brush(RGB(128, 128, 128)));
        add(DKGRAY_BRUSH, brush(RGB(64, 64, 64)));
        add(BLACK_BRUSH, brush(RGB(0, 0, 0)));
        add(NULL_BRUSH, std::make_shared<BrushObject>(BS_NULL));
        add(DC_BRUSH, brush(RGB(255, 255, 255)));
        add(WHITE_PEN, std::make_shared<PenObject>(PS_SOLID, 1, RGB(255, 255, 255)));
        add(BLACK_PEN, std::make_shared<PenObject>(PS_SOLID, 1, RGB(0, 0, 0)));
        add(NULL_PEN, std::make_shared<PenObject>(PS_NULL, 1, RGB(0, 0, 0)));
        add(DC_PEN, std::make_shared<PenObject>(PS_SOLID, 1, RGB(0, 0, 0)));
        for (int font : StockFonts)
            add(font, std::make_shared<FontObject>(stockFont(font)));
        add(DEFAULT_PALETTE, std::make_shared<PaletteObject>());
        auto bitmap = BitmapObject::create(1, 1, 1);
        add(-1, bitmap);
    });
    auto it = objects->find(index);
    return it == objects->end() ? nullptr : it->second;
}

std::shared_ptr<BitmapObject> defaultBitmap() { return std::static_pointer_cast<BitmapObject>(stockObject(-1)); }

SIZE screenSize() { return g_screenSize; }

const Region* regionOf(HRGN region)
{
    auto object = ObjectTable::find<RegionObject>(region, ObjectKind::Region);
    return object ? &object->region : nullptr;
}

HRGN createRegionHandle(const Region& region)
{
    return static_cast<HRGN>(addObject(std::make_shared<RegionObject>(region)));
}

} // namespace fln::gdi

void SetScreenSize(SIZE size) { g_screenSize = size; }

// ---- device contexts

HDC CreateCompatibleDC(HDC)
{
    return static_cast<HDC>(addObject(std::make_shared<DeviceContext>(DeviceContext::Kind::Memory)));
}

HDC CreateDCW(LPCWSTR driver, LPCWSTR, LPCWSTR, const void*)
{
    if (driver && std::wcscmp(driver, L"DISPLAY") != 0) // printers come with the printing layer
        return nullptr;
    return static_cast<HDC>(addObject(std::make_shared<DeviceContext>(DeviceContext::Kind::Screen)));
}

HDC CreateICW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData)
{
    return CreateDCW(driver, device, output, initData);
}

HDC CreateSurfaceDC(cairo_surface_t* surface, const Region& visible, POINT origin)
{
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return nullptr;
    auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::Surface);
    dc->setSurface(surface, visible, origin);
    return static_cast<HDC>(addObject(dc));
}

HDC CreatePageDC(cairo_surface_t* pixels, PageDevice device)
{
    HDC handle = pixels ? CreateSurfaceDC(pixels, Region(RECT { 0, 0, cairo_image_surface_get_width(pixels), cairo_image_surface_get_height(pixels) }), {}) : nullptr;
    if (handle)
        DeviceContext::from(handle)->setPage(std::move(device));
    return handle;
}

BOOL SetPageTextLayer(HDC handle, cairo_surface_t* layer)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc || !dc->page())
        return FALSE;
    dc->setTextLayer(layer);
    return TRUE;
}

std::vector<std::pair<int, int>> TakePageWrittenRows(HDC handle)
{
    FLN_DC_OR({});
    return dc->takeWrittenRows();
}

BOOL SetSurfaceDCVisible(HDC handle, const Region& visible, POINT origin)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc || dc->type() != DeviceContext::Kind::Surface)
        return FALSE;
    dc->setSurface(dc->surface(), visible, origin);
    return TRUE;
}

BOOL GetDCOrgEx(HDC handle, LPPOINT origin)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc || !origin)
        return FALSE;
    *origin = dc->origin();
    return TRUE;
}

BOOL DeleteDC(HDC dc) { return DeviceContext::from(dc) && ObjectTable::destroy(dc); }

int SaveDC(HDC handle)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int savedDC)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc)
        return FALSE;
    int depth = static_cast<int>(dc->saved.size());
    int target = savedDC < 0 ? depth + savedDC + 1 : savedDC;
    if (target < 1 || target > depth)
        return FALSE;
    DcState state = std::move(dc->saved[target - 1]);
    dc->saved.resize(target - 1);
    dc->restoreState(std::move(state));
    return TRUE;
}

namespace {

int pageCaps(DeviceContext& dc, const PageDevice& page, int index)
{
    cairo_surface_t* pixels = dc.surface();
    SIZE area = page.printable;
    if (area.cx <= 0 || area.cy <= 0)
        area = { cairo_image_surface_get_width(pixels), cairo_image_surface_get_height(pixels) };
    switch (index) {
    case TECHNOLOGY: return DT_RASPRINTER;
    case HORZRES: return area.cx;
    case VERTRES: return area.cy;
    case HORZSIZE: return MulDiv(area.cx, 254, page.dpi.cx * 10);
    case VERTSIZE: return MulDiv(area.cy, 254, page.dpi.cy * 10);
    case LOGPIXELSX: return page.dpi.cx;
    case LOGPIXELSY: return page.dpi.cy;
    case PHYSICALWIDTH: return page.paper.cx;
    case PHYSICALHEIGHT: return page.paper.cy;
    case PHYSICALOFFSETX: return page.offset.x;
    case PHYSICALOFFSETY: return page.offset.y;
    case ASPECTX:
    case ASPECTY: return page.dpi.cx;
    case ASPECTXY: return static_cast<int>(page.dpi.cx * 1.41421356);
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case BITSPIXEL: return 24;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    default: return 0;
    }
}

} // namespace

int GetDeviceCaps(HDC handle, int index)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc)
        return 0;
    if (const auto& page = dc->page())
        return pageCaps(*dc, *page, index);
    SIZE size = g_screenSize; // every DC here is compatible with the screen
    switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return size.cx;
    case VERTRES: return size.cy;
    case HORZSIZE: return size.cx * 254 / (10 * CurrentFontRendering().dpi);
    case VERTSIZE: return size.cy * 254 / (10 * CurrentFontRendering().dpi);
    case BITSPIXEL: return 32; // the device's, whatever bitmap a memory DC holds
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case NUMBRUSHES:
    case NUMPENS: return -1;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return CurrentFontRendering().dpi;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    default: return 0;
    }
}

HGDIOBJ GetStockObject(int index)
{
    if (index < 0)
        return nullptr;
    auto object = stockObject(index);
    return object ? object->handle() : nullptr;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ objectHandle)
{
    DeviceContext* dc = DeviceContext::from(handle);
    auto object = ObjectTable::find(objectHandle);
    if (!dc || !object)
        return nullptr;
    HGDIOBJ previous = nullptr;
    switch (object->kind()) {
    case ObjectKind::Pen:
        previous = dc->state.pen ? dc->state.pen->handle() : nullptr;
        dc->select(dc->state.pen, std::static_pointer_cast<PenObject>(object));
        return previous;
    case ObjectKind::Brush:
        previous = dc->state.brush ? dc->state.brush->handle() : nullptr;
        dc->select(dc->state.brush, std::static_pointer_cast<BrushObject>(object));
        return previous;
    case ObjectKind::Font:
        previous = dc->state.font ? dc->state.font->handle() : nullptr;
        dc->select(dc->state.font, std::static_pointer_cast<FontObject>(object));
        return previous;
    case ObjectKind::Bitmap: {
        if (dc->type() != DeviceContext::Kind::Memory)
            return nullptr;
        auto bitmap = std::static_pointer_cast<BitmapObject>(object);
        if (bitmap == dc->state.bitmap)
            return objectHandle;
        if (bitmap->selections > 0 && !bitmap->isStock) // a bitmap lives in one DC at a time
            return nullptr;
        previous = dc->state.bitmap ? dc->state.bitmap->handle() : nullptr;
        dc->select(dc->state.bitmap, bitmap);
        dc->clipChanged();
        return previous;
    }
    case ObjectKind::Region:
        return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(SelectClipRgn(handle, static_cast<HRGN>(objectHandle))));
    default: return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc)
        return nullptr;
    auto handleOf = [](const auto& object) -> HGDIOBJ { return object ? object->handle() : nullptr; };
    switch (type) {
    case OBJ_PEN: return handleOf(dc->state.pen);
    case OBJ_BRUSH: return handleOf(dc->state.brush);
    case OBJ_FONT: return handleOf(dc->state.font);
    case OBJ_BITMAP: return handleOf(dc->state.bitmap);
    case OBJ_PAL: return GetStockObject(DEFAULT_PALETTE);
    default: return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ handle)
{
    auto object = ObjectTable::find(handle);
    if (!object || object->kind() == ObjectKind::DeviceContext || object->kind() == ObjectKind::Icon)
        return FALSE;
    object.reset();
    return ObjectTable::destroy(handle);
}

DWORD GetObjectType(HGDIOBJ handle)
{
    auto object = ObjectTable::find(handle);
    if (!object)
        return 0;
    switch (object->kind()) {
    case ObjectKind::Pen: return static_cast<PenObject&>(*object).extended ? OBJ_EXTPEN : OBJ_PEN;
    case ObjectKind::Brush: return OBJ_BRUSH;
    case ObjectKind::Font: return OBJ_FONT;
    case ObjectKind::Bitmap: return OBJ_BITMAP;
    case ObjectKind::Region: return OBJ_REGION;
    case ObjectKind::Palette: return OBJ_PAL;
    case ObjectKind::DeviceContext:
        return static_cast<DeviceContext&>(*object).type() == DeviceContext::Kind::Memory ? OBJ_MEMDC : OBJ_DC;
    default: return 0;
    }
}

int GetObjectW(HGDIOBJ handle, int size, LPVOID buffer)
{
    auto object = ObjectTable::find(handle);
    if (!object)
        return 0;
    auto copyOut = [&](const auto& value) {
        int needed = static_cast<int>(sizeof(value));
        if (!buffer)
            return needed;
        int count = std::min(size, needed);
        if (count <= 0)
            return 0;
        std::memcpy(buffer, &value, count);
        return count;
    };
    switch (object->kind()) {
    case ObjectKind::Pen: {
        auto& pen = static_cast<PenObject&>(*object);
        return copyOut(LOGPEN { static_cast<UINT>(pen.style), POINT { pen.width, 0 }, pen.color });
    }
    case ObjectKind::Brush: {
        auto& brush = static_cast<BrushObject&>(*object);
        ULONG_PTR hatch = brush.style == BS_HATCHED ? static_cast<ULONG_PTR>(brush.hatch) : reinterpret_cast<ULONG_PTR>(brush.patternBitmap);
        return copyOut(LOGBRUSH { brush.style, brush.color, hatch });
    }
    case ObjectKind::Font: return copyOut(static_cast<FontObject&>(*object).logFont);
    case ObjectKind::Bitmap: {
        auto& bitmap = static_cast<BitmapObject&>(*object);
        if (bitmap.isDib() && size >= static_cast<int>(sizeof(DIBSECTION))) {
            DIBSECTION section {};
            section.dsBm = bitmap.info();
            section.dsBmih = bitmap.dibHeader();
            return copyOut(section);
        }
        return copyOut(bitmap.info());
    }
    case ObjectKind::Palette: {
        WORD entries = 20;
        return copyOut(entries);
    }
    default: return 0;
    }
}

BOOL GdiFlush() { return TRUE; }

// ---- modes

COLORREF SetTextColor(HDC handle, COLORREF color) { FLN_DC_OR(CLR_INVALID); return std::exchange(dc->state.textColor, color); }
COLORREF GetTextColor(HDC handle) { FLN_DC_OR(CLR_INVALID); return dc->state.textColor; }
COLORREF SetBkColor(HDC handle, COLORREF color) { FLN_DC_OR(CLR_INVALID); return std::exchange(dc->state.bkColor, color); }
COLORREF GetBkColor(HDC handle) { FLN_DC_OR(CLR_INVALID); return dc->state.bkColor; }
// Sets one of the DC's mode fields when the new mode is one it knows; returns the old mode, or 0.
static int ExchangeMode(HDC handle, int DcState::*field, int mode, bool known)
{
    FLN_DC_OR(0);
    return known ? std::exchange(dc->state.*field, mode) : 0;
}

int SetBkMode(HDC handle, int mode) { return ExchangeMode(handle, &DcState::bkMode, mode, mode == TRANSPARENT || mode == OPAQUE); }
int GetBkMode(HDC handle) { FLN_DC_OR(0); return dc->state.bkMode; }
int SetROP2(HDC handle, int mode) { return ExchangeMode(handle, &DcState::rop2, mode, mode >= R2_BLACK && mode <= R2_WHITE); }
int GetROP2(HDC handle) { FLN_DC_OR(0); return dc->state.rop2; }
int SetPolyFillMode(HDC handle, int mode) { return ExchangeMode(handle, &DcState::polyFillMode, mode, mode == ALTERNATE || mode == WINDING); }
int GetPolyFillMode(HDC handle) { FLN_DC_OR(0); return dc->state.polyFillMode; }
int SetStretchBltMode(HDC handle, int mode)
{
    return ExchangeMode(handle, &DcState::stretchMode, mode, mode >= BLACKONWHITE && mode <= HALFTONE);
}
int GetStretchBltMode(HDC handle) { FLN_DC_OR(0); return dc->state.stretchMode; }
COLORREF SetDCBrushColor(HDC handle, COLORREF color) { FLN_DC_OR(CLR_INVALID); return std::exchange(dc->state.dcBrushColor, color); }
COLORREF SetDCPenColor(HDC handle, COLORREF color) { FLN_DC_OR(CLR_INVALID); return std::exchange(dc->state.dcPenColor, color); }

BOOL SetBrushOrgEx(HDC handle, int x, int y, LPPOINT previous)
{
    FLN_DC_OR(FALSE);
    if (previous)
        *previous = dc->state.brushOrg;
    dc->state.brushOrg = POINT { x, y };
    return TRUE;
}
BOOL GetBrushOrgEx(HDC handle, LPPOINT origin)
{
    FLN_DC_OR(FALSE);
    if (!origin)
        return FALSE;
    *origin = dc->state.brushOrg;
    return TRUE;
}
COLORREF GetNearestColor(HDC handle, COLORREF color)
{
    FLN_DC_OR(CLR_INVALID);
    return dc->monochrome() ? toColorRef(toMonoPixel(toPixel(color))) : (color & 0xFFFFFF);
}

// ---- coordinates

int SetMapMode(HDC handle, int mode)
{
    FLN_DC_OR(0);
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return 0;
    int previous = dc->state.mapMode;
    dc->state.mapMode = mode;
    auto fixed = [dc](LONG perInch) {
        dc->state.windowExt = SIZE { perInch, perInch };
        int dpi = CurrentFontRendering().dpi;
        dc->state.viewportExt = SIZE { dpi, -dpi };
    };
    switch (mode) {
    case MM_TEXT: dc->state.windowExt = dc->state.viewportExt = SIZE { 1, 1 }; break;
    case MM_LOMETRIC:
    case MM_ISOTROPIC: fixed(254); break;
    case MM_HIMETRIC: fixed(2540); break;
    case MM_LOENGLISH: fixed(100); break;
    case MM_HIENGLISH: fixed(1000); break;
    case MM_TWIPS: fixed(1440); break;
    case MM_ANISOTROPIC: break;
    }
    return previous;
}
int GetMapMode(HDC handle) { FLN_DC_OR(0); return dc->state.mapMode; }

static BOOL setPoint(POINT& field, int x, int y, LPPOINT previous)
{
    if (previous)
        *previous = field;
    field = POINT { x, y };
    return TRUE;
}
static BOOL getPoint(const POINT& field, LPPOINT out)
{
    if (!out)
        return FALSE;
    *out = field;
    return TRUE;
}
static BOOL getSize(const SIZE& field, LPSIZE out)
{
    if (!out)
        return FALSE;
    *out = field;
    return TRUE;
}

BOOL SetWindowOrgEx(HDC handle, int x, int y, LPPOINT previous) { FLN_DC_OR(FALSE); return setPoint(dc->state.windowOrg, x, y, previous); }
BOOL GetWindowOrgEx(HDC handle, LPPOINT origin) { FLN_DC_OR(FALSE); return getPoint(dc->state.windowOrg, origin); }
BOOL OffsetWindowOrgEx(HDC handle, int dx, int dy, LPPOINT previous)
{
    FLN_DC_OR(FALSE);
    return setPoint(dc->state.windowOrg, dc->state.windowOrg.x + dx, dc->state.windowOrg.y + dy, previous);
}
BOOL SetViewportOrgEx(HDC handle, int x, int y, LPPOINT previous) { FLN_DC_OR(FALSE); return setPoint(dc->state.viewportOrg, x, y, previous); }
BOOL GetViewportOrgEx(HDC handle, LPPOINT origin) { FLN_DC_OR(FALSE); return getPoint(dc->state.viewportOrg, origin); }
BOOL OffsetViewportOrgEx(HDC handle, int dx, int dy, LPPOINT previous)
{
    FLN_DC_OR(FALSE);
    return setPoint(dc->state.viewportOrg, dc->state.viewportOrg.x + dx, dc->state.viewportOrg.y + dy, previous);
}

// In MM_ISOTROPIC the viewport shrinks on one axis so that a logical unit is as wide as it is high.
static void keepIsotropic(DcState& s)
{
    if (s.mapMode != MM_ISOTROPIC || !s.windowExt.cx || !s.windowExt.cy)
        return;
    double sx = std::abs(double(s.viewportExt.cx) / s.windowExt.cx), sy = std::abs(double(s.viewportExt.cy) / s.windowExt.cy);
    if (sx < sy)
        s.viewportExt.cy = (s.viewportExt.cy < 0 ? -1 : 1) * static_cast<LONG>(std::lround(sx * std::abs(s.windowExt.cy)));
    else if (sy < sx)
        s.viewportExt.cx = (s.viewportExt.cx < 0 ? -1 : 1) * static_cast<LONG>(std::lround(sy * std::abs(s.windowExt.cx)));
}

BOOL SetWindowExtEx(HDC handle, int cx, int cy, LPSIZE previous)
{
    FLN_DC_OR(FALSE);
    if (previous)
        *previous = dc->state.windowExt;
    if (dc->state.mapMode != MM_ISOTROPIC && dc->state.mapMode != MM_ANISOTROPIC)
        return TRUE;
    if (cx == 0 || cy == 0)
        return FALSE;
    dc->state.windowExt = SIZE { cx, cy };
    keepIsotropic(dc->state);
    return TRUE;
}
BOOL GetWindowExtEx(HDC handle, LPSIZE extent) { FLN_DC_OR(FALSE); return getSize(dc->state.windowExt, extent); }
BOOL SetViewportExtEx(HDC handle, int cx, int cy, LPSIZE previous)
{
    FLN_DC_OR(FALSE);
    if (previous)
        *previous = dc->state.viewportExt;
    if (dc->state.mapMode != MM_ISOTROPIC && dc->state.mapMode != MM_ANISOTROPIC)
        return TRUE;
    if (cx == 0 || cy == 0)
        return FALSE;
    dc->state.viewportExt = SIZE { cx, cy };
    keepIsotropic(dc->state);
    return TRUE;
}
BOOL GetViewportExtEx(HDC handle, LPSIZE extent) { FLN_DC_OR(FALSE); return getSize(dc->state.viewportExt, extent); }

BOOL LPtoDP(HDC handle, LPPOINT points, int count)
{
    FLN_DC_OR(FALSE);
    for (int i = 0; points && i < count; ++i)
        points[i] = dc->toDevice(points[i]);
    return TRUE;
}
BOOL DPtoLP(HDC handle, LPPOINT points, int count)
{
    FLN_DC_OR(FALSE);
    for (int i = 0; points && i < count; ++i)
        points[i] = dc->toLogical(points[i]);
    return TRUE;
}

// ---- clipping

static int applyClip(DeviceContext& dc, const Region* region, int mode)
{
    if (mode == RGN_COPY) {
        dc.state.clip = region ? std::optional<Region>(*region) : std::nullopt;
    } else {
        if (!region)
            return ERROR;
        Region current = dc.state.clip ? *dc.state.clip : dc.effectiveClip();
        switch (mode) {
        case RGN_AND: current = current & *region; break;
        case RGN_OR: current = current | *region; break;
        case RGN_XOR: current = current ^ *region; break;
        case RGN_DIFF: current = current - *region; break;
        default: return ERROR;
        }
        dc.state.clip = std::move(current);
    }
    dc.clipChanged();
    return dc.effectiveClip().complexity();
}

int SelectClipRgn(HDC handle, HRGN region) { return ExtSelectClipRgn(handle, region, RGN_COPY); }

int ExtSelectClipRgn(HDC handle, HRGN region, int mode)
{
    FLN_DC_OR(ERROR);
    const Region* r = regionOf(region);
    if (region && !r)
        return ERROR;
    if (!region && mode != RGN_COPY)
        return ERROR;
    return applyClip(*dc, r, mode);
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom)
{
    FLN_DC_OR(ERROR);
    Region rect(dc->toDevice(RECT { left, top, right, bottom }));
    return applyClip(*dc, &rect, RGN_AND);
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom)
{
    FLN_DC_OR(ERROR);
    Region rect(dc->toDevice(RECT { left, top, right, bottom }));
    return applyClip(*dc, &rect, RGN_DIFF);
}

int OffsetClipRgn(HDC handle, int dx, int dy)
{
    FLN_DC_OR(ERROR);
    if (dc->state.clip) {
        POINT a = dc->toDevice(POINT { 0, 0 }), b = dc->toDevice(POINT { dx, dy });
        dc->state.clip->offset(b.x - a.x, b.y - a.y);
        dc->clipChanged();
    }
    return dc->effectiveClip().complexity();
}

int GetClipBox(HDC handle, LPRECT rect)
{
    FLN_DC_OR(ERROR);
    if (!rect)
        return ERROR;
    RECT box = dc->effectiveClip().bounds();
    POINT a = dc->toLogical(POINT { box.left, box.top }), b = dc->toLogical(POINT { box.right, box.bottom });
    *rect = RECT { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) };
    return dc->effectiveClip().complexity();
}

int GetClipRgn(HDC handle, HRGN region)
{
    FLN_DC_OR(-1);
    auto object = ObjectTable::find<RegionObject>(region, ObjectKind::Region);
    if (!object)
        return -1;
    if (!dc->state.clip)
        return 0;
    object->region = *dc->state.clip;
    return 1;
}

BOOL PtVisible(HDC handle, int x, int y)
{
    FLN_DC_OR(FALSE);
    POINT p = dc->toDevice(POINT { x, y });
    return dc->effectiveClip().contains(p.x, p.y);
}

BOOL RectVisible(HDC handle, const RECT* rect)
{
    FLN_DC_OR(FALSE);
    return rect && dc->effectiveClip().intersects(dc->toDevice(*rect));
}

// ---- pens and brushes

HPEN CreatePen(int style, int width, COLORREF color)
{
    int lineStyle = style & PS_STYLE_MASK;
    if (lineStyle > PS_INSIDEFRAME)
        lineStyle = PS_SOLID;
    return static_cast<HPEN>(addObject(std::make_shared<PenObject>(lineStyle, std::max(width, 1), color & 0xFFFFFF)));
}

HPEN CreatePenIndirect(const LOGPEN* pen)
{
    return pen ? CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor) : nullptr;
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD, const DWORD*)
{
    if (!brush)
        return nullptr;
    bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
    if (!geometric && width != 1)
        return nullptr;
    auto pen = std::make_shared<PenObject>(static_cast<int>(style), std::max<int>(1, static_cast<int>(width)),
        brush->lbStyle == BS_NULL ? 0 : brush->lbColor & 0xFFFFFF);
    if (brush->lbStyle == BS_NULL)
        pen->style = (pen->style & ~PS_STYLE_MASK) | PS_NULL;
    pen->extended = true;
    return static_cast<HPEN>(addObject(pen));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto brush = std::make_shared<BrushObject>(BS_SOLID);
    brush->color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(addObject(brush));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS)
        return nullptr;
    auto brush = std::make_shared<BrushObject>(BS_HATCHED);
    brush->color = color & 0xFFFFFF;
    brush->hatch = hatch;
    return static_cast<HBRUSH>(addObject(brush));
}

HBRUSH CreatePatternBrush(HBITMAP bitmapHandle)
{
    auto bitmap = ObjectTable::find<BitmapObject>(bitmapHandle, ObjectKind::Bitmap);
    if (!bitmap)
        return nullptr;
    bitmap->loadFromBits();
    auto brush = std::make_shared<BrushObject>(BS_PATTERN);
    brush->pattern = std::make_shared<Pixels>(bitmap->copyPixels(RECT { 0, 0, bitmap->width(), bitmap->height() }));
    brush->patternMono = bitmap->isMonochrome();
    brush->patternBitmap = bitmapHandle;
    return static_cast<HBRUSH>(addObject(brush));
}

HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage)
{
    auto* info = static_cast<const BITMAPINFO*>(packedDib);
    if (!info)
        return nullptr;
    size_t colors = info->bmiHeader.biBitCount <= 8 ? (info->bmiHeader.biClrUsed ? info->bmiHeader.biClrUsed : 1u << info->bmiHeader.biBitCount) : 0;
    const auto* bits = reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize + colors * (usage == DIB_PAL_COLORS ? 2 : 4);
    auto bitmap = BitmapObject::createDib(info, usage, bits);
    if (!bitmap)
        return nullptr;
    auto brush = std::make_shared<BrushObject>(BS_DIBPATTERNPT);
    brush->pattern = std::make_shared<Pixels>(bitmap->copyPixels(RECT { 0, 0, bitmap->width(), bitmap->height() }));
    return static_cast<HBRUSH>(addObject(brush));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (!brush)
        return nullptr;
    switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8: return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    case BS_DIBPATTERNPT: return CreateDIBPatternBrushPt(reinterpret_cast<const void*>(brush->lbHatch), brush->lbColor);
    default: return nullptr;
    }
}

// ---- fonts

HFONT CreateFontIndirectW(const LOGFONTW* font)
{
    if (!font)
        return nullptr;
    LOGFONTW copy = *font;
    copy.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return static_cast<HFONT>(addObject(std::make_shared<FontObject>(copy)));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
    DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face)
{
    LOGFONTW lf {};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic != 0);
    lf.lfUnderline = static_cast<BYTE>(underline != 0);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (face)
        std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}
