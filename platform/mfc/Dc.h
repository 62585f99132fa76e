#pragma once
// Device contexts as objects. CDC owns a DC it made (CreateCompatibleDC, CreateDC) and deletes it;
// CClientDC, CWindowDC and CPaintDC borrow a window's DC for their lifetime. SelectObject returns
// the object it replaced as a temporary wrapper, so that it can be selected back.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/mfc/GdiObjects.h"
#include "platform/user/WinUser.h"

class CWnd;

class CDC : public CObject {
    DECLARE_DYNAMIC(CDC)
public:
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

    CDC() = default;
    ~CDC() override;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC dc);
    HDC Detach();
    BOOL DeleteDC();
    BOOL CreateCompatibleDC(CDC* reference);
    BOOL CreateDC(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData);
    static CDC* FromHandle(HDC dc);

    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    CGdiObject* SelectStockObject(int index) { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(index))); }
    CPen* SelectObject(CPen* pen) { return static_cast<CPen*>(Select(pen)); }
    CBrush* SelectObject(CBrush* brush) { return static_cast<CBrush*>(Select(brush)); }
    CFont* SelectObject(CFont* font) { return static_cast<CFont*>(Select(font)); }
    CBitmap* SelectObject(CBitmap* bitmap) { return static_cast<CBitmap*>(Select(bitmap)); }
    CGdiObject* SelectObject(CGdiObject* object) { return Select(object); }
    int SelectObject(CRgn* region) { return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, region->m_hObject))); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    CFont* GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
    CBitmap* GetCurrentBitmap() const { return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP))); }

    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    int SetPolyFillMode(int mode) { return ::SetPolyFillMode(m_hDC, mode); }
    UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }

    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    int GetMapMode() const { return ::GetMapMode(m_hDC); }
    CPoint SetViewportOrg(int x, int y);
    CPoint SetWindowOrg(int x, int y);
    CPoint OffsetViewportOrg(int dx, int dy);
    CPoint GetViewportOrg() const;
    void LPtoDP(LPPOINT points, int count = 1) const { ::LPtoDP(m_hDC, points, count); }
    void DPtoLP(LPPOINT points, int count = 1) const { ::DPtoLP(m_hDC, points, count); }
    void LPtoDP(LPRECT rect) const { ::LPtoDP(m_hDC, reinterpret_cast<LPPOINT>(rect), 2); }
    void DPtoLP(LPRECT rect) const { ::DPtoLP(m_hDC, reinterpret_cast<LPPOINT>(rect), 2); }

    int SelectClipRgn(CRgn* region) { return ::SelectClipRgn(m_hDC, region ? static_cast<HRGN>(region->m_hObject) : nullptr); }
    int IntersectClipRect(int left, int top, int right, int bottom) { return ::IntersectClipRect(m_hDC, left, top, right, bottom); }
    int IntersectClipRect(const RECT* r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
    int ExcludeClipRect(int left, int top, int right, int bottom) { return ::ExcludeClipRect(m_hDC, left, top, right, bottom); }
    int ExcludeClipRect(const RECT* r) { return ExcludeClipRect(r->left, r->top, r->right, r->bottom); }
    int GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
    BOOL RectVisible(const RECT* rect) const { return ::RectVisible(m_hDC, rect); }

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
    BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
    BOOL Rectangle(int left, int top, int right, int bottom) { return ::Rectangle(m_hDC, left, top, right, bottom); }
    BOOL Rectangle(const RECT* r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
    BOOL RoundRect(const RECT* r, POINT corner) { return ::RoundRect(m_hDC, r->left, r->top, r->right, r->bottom, corner.x, corner.y); }
    BOOL Ellipse(int left, int top, int right, int bottom) { return ::Ellipse(m_hDC, left, top, right, bottom); }
    BOOL Ellipse(const RECT* r) { return Ellipse(r->left, r->top, r->right, r->bottom); }
    COLORREF SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }

    void FillRect(const RECT* rect, CBrush* brush) { ::FillRect(m_hDC, rect, *brush); }
    void FrameRect(const RECT* rect, CBrush* brush) { ::FrameRect(m_hDC, rect, *brush); }
    void InvertRect(const RECT* rect) { ::InvertRect(m_hDC, rect); }
    void FillSolidRect(const RECT* rect, COLORREF color) { ::FillSolidRect(m_hDC, rect, color); }
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) { ::Draw3dRect(m_hDC, rect, topLeft, bottomRight); }
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }
    BOOL DrawFrameControl(LPRECT rect, UINT type, UINT state) { return ::DrawFrameControl(m_hDC, rect, type, state); }
    void DrawFocusRect(const RECT* rect) { ::DrawFocusRect(m_hDC, rect); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    BOOL FillRgn(CRgn* region, CBrush* brush) { return ::FillRgn(m_hDC, *region, *brush); }
    BOOL FrameRgn(CRgn* region, CBrush* brush, int width, int height) { return ::FrameRgn(m_hDC, *region, *brush, width, height); }

    BOOL PatBlt(int x, int y, int width, int height, DWORD rop) { return ::PatBlt(m_hDC, x, y, width, height, rop); }
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX, sourceY, rop);
    }
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, int sourceWidth,
        int sourceHeight, DWORD rop)
    {
        return ::StretchBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX, sourceY, sourceWidth,
            sourceHeight, rop);
    }

    BOOL TextOut(int x, int y, const CString& text) { return ::TextOutW(m_hDC, x, y, text, text.GetLength()); }
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const CString& text, const INT* dx)
    {
        return ::ExtTextOutW(m_hDC, x, y, options, rect, text, static_cast<UINT>(text.GetLength()), dx);
    }
    int DrawText(const CString& text, LPRECT rect, UINT format) { return ::DrawTextW(m_hDC, text, text.GetLength(), rect, format); }
    int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) { return ::DrawTextW(m_hDC, text, count, rect, format); }
    CSize GetTextExtent(const CString& text) const;
    CSize GetTextExtent(LPCWSTR text, int count) const;
    BOOL GetTextMetrics(TEXTMETRICW* metrics) const { return ::GetTextMetricsW(m_hDC, metrics); }

protected:
    CGdiObject* Select(CGdiObject* object);
};

// The client area of a window, for drawing outside WM_PAINT.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

// The whole window, non-client area included.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* window);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};

// BeginPaint and EndPaint around a WM_PAINT handler.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps {};

protected:
    HWND m_hWnd;
};
