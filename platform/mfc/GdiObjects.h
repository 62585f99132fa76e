#pragma once
// Owners of drawing objects: each deletes its handle when it goes away, unless the handle was
// detached. FromHandle wraps a handle the caller does not own in a temporary object that lives
// until the program is next idle (AfxDeleteTempObjects).

#include "platform/base/RunTimeClass.h"
#include "platform/gdi/Gdi.h"

class CGdiObject : public CObject {
    DECLARE_DYNAMIC(CGdiObject)
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    ~CGdiObject() override { DeleteObject(); }

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, LPVOID buffer) const { return ::GetObjectW(m_hObject, size, buffer); }
    UINT GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }
    BOOL CreateStockObject(int index) { return Attach(::GetStockObject(index)); }

    // A temporary wrapper of the matching class (CPen, CBrush, CFont, CBitmap, CRgn...).
    static CGdiObject* FromHandle(HGDIOBJ object);
};

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
    BOOL CreatePenIndirect(const LOGPEN* pen) { return Attach(::CreatePenIndirect(pen)); }
    static CPen* FromHandle(HPEN pen) { return static_cast<CPen*>(CGdiObject::FromHandle(pen)); }
};

class CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    CBrush(int hatch, COLORREF color) { CreateHatchBrush(hatch, color); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    BOOL CreateHatchBrush(int hatch, COLORREF color) { return Attach(::CreateHatchBrush(hatch, color)); }
    BOOL CreatePatternBrush(class CBitmap* bitmap);
    BOOL CreateBrushIndirect(const LOGBRUSH* brush) { return Attach(::CreateBrushIndirect(brush)); }
    BOOL CreateSysColorBrush(int index);
    static CBrush* FromHandle(HBRUSH brush) { return static_cast<CBrush*>(CGdiObject::FromHandle(brush)); }
};

class CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTW* font) { return Attach(::CreateFontIndirectW(font)); }
    // A font of the face at a height in tenths of a point (96 logical units to the inch).
    BOOL CreatePointFont(int tenthsOfPoint, LPCWSTR face);
    int GetLogFont(LOGFONTW* font) const { return GetObject(sizeof *font, font); }
    static CFont* FromHandle(HFONT font) { return static_cast<CFont*>(CGdiObject::FromHandle(font)); }
};

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
    {
        return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
    }
    BOOL CreateBitmapIndirect(const BITMAP* bitmap) { return Attach(::CreateBitmapIndirect(bitmap)); }
    BOOL CreateCompatibleBitmap(class CDC* dc, int width, int height);
    int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof *bitmap, bitmap); }
    static CBitmap* FromHandle(HBITMAP bitmap) { return static_cast<CBitmap*>(CGdiObject::FromHandle(bitmap)); }
};

class CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int left, int top, int right, int bottom) { return Attach(::CreateRectRgn(left, top, right, bottom)); }
    BOOL CreateRectRgnIndirect(const RECT* rect) { return Attach(::CreateRectRgnIndirect(rect)); }
    BOOL CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
    {
        return Attach(::CreateRoundRectRgn(left, top, right, bottom, cornerWidth, cornerHeight));
    }
    BOOL CreateEllipticRgn(int left, int top, int right, int bottom) { return Attach(::CreateEllipticRgn(left, top, right, bottom)); }
    BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode)
    {
        return Attach(::CreatePolygonRgn(points, count, fillMode));
    }
    int CombineRgn(const CRgn* a, const CRgn* b, int mode)
    {
        return ::CombineRgn(*this, a ? static_cast<HRGN>(a->m_hObject) : nullptr, b ? static_cast<HRGN>(b->m_hObject) : nullptr, mode);
    }
    int CopyRgn(const CRgn* source) { return ::CombineRgn(*this, *source, nullptr, RGN_COPY); }
    BOOL EqualRgn(const CRgn* other) const { return ::EqualRgn(*this, *other); }
    int OffsetRgn(int dx, int dy) { return ::OffsetRgn(*this, dx, dy); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
    int GetRgnBox(LPRECT box) const { return ::GetRgnBox(*this, box); }
    BOOL SetRectRgn(int left, int top, int right, int bottom) { return ::SetRectRgn(*this, left, top, right, bottom); }
    static CRgn* FromHandle(HRGN region) { return static_cast<CRgn*>(CGdiObject::FromHandle(region)); }
};

// Every surface here has true colour, so a palette is only ever a handle passed along.
class CPalette : public CGdiObject {
    DECLARE_DYNAMIC(CPalette)
public:
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
    static CPalette* FromHandle(HPALETTE palette) { return static_cast<CPalette*>(CGdiObject::FromHandle(palette)); }
};

// Deletes the temporary wrappers FromHandle made (drawing objects, DCs, windows, menus).
void AfxDeleteTempObjects();
