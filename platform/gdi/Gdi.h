#pragma once
// The drawing interface: device contexts, drawing objects, shapes, text, bitmaps, raster operations
// and regions, drawn as the classic system draws them: aliased, right and bottom edges excluded,
// line end points not drawn. Coordinates are logical units mapped by the context's mapping mode.
// Device contexts draw on bitmaps (memory DCs) or on window surfaces (platform/gdi/Surface.h).
// Handles may be made and deleted on any thread; one DC is drawn on by one thread at a time, and
// text is drawn and measured under one lock.

#include "platform/gdi/GdiTypes.h"

// ---- device contexts
HDC CreateCompatibleDC(HDC reference); // a memory DC holding a 1 x 1 monochrome bitmap
// A DC on the screen: "DISPLAY" (or null) is the only device; it draws nowhere but measures and
// answers GetDeviceCaps like a window DC.
HDC CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData);
// An information context: the same, for measuring only.
HDC CreateICW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc); // the new depth, 0 on failure
BOOL RestoreDC(HDC dc, int savedDC); // > 0: that depth; < 0: relative to the current one
int GetDeviceCaps(HDC dc, int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object); // the previous object; a region gives its complexity
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
HGDIOBJ GetStockObject(int index);
// An object still selected into a DC goes when it is deselected (its handle is invalid at once);
// stock objects and system colour brushes are never deleted.
BOOL DeleteObject(HGDIOBJ object);
DWORD GetObjectType(HGDIOBJ object);
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
BOOL GdiFlush();

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int mode);
int GetROP2(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF SetDCPenColor(HDC dc, COLORREF color);
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT previous);
BOOL GetBrushOrgEx(HDC dc, LPPOINT origin);
COLORREF GetNearestColor(HDC dc, COLORREF color);

// ---- coordinates
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT previous);
BOOL GetWindowOrgEx(HDC dc, LPPOINT origin);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT previous);
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous);
BOOL GetViewportOrgEx(HDC dc, LPPOINT origin);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT previous);
BOOL SetWindowExtEx(HDC dc, int cx, int cy, LPSIZE previous); // only in MM_ISOTROPIC and MM_ANISOTROPIC
BOOL GetWindowExtEx(HDC dc, LPSIZE extent);
BOOL SetViewportExtEx(HDC dc, int cx, int cy, LPSIZE previous);
BOOL GetViewportExtEx(HDC dc, LPSIZE extent);
BOOL LPtoDP(HDC dc, LPPOINT points, int count);
BOOL DPtoLP(HDC dc, LPPOINT points, int count);

// ---- clipping (regions and SelectClipRgn in device units; rectangles in logical units)
int SelectClipRgn(HDC dc, HRGN region); // null removes the clip; the region is copied
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, LPRECT rect);
int GetClipRgn(HDC dc, HRGN region); // 1 with a clip region, 0 without, -1 on error
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* rect);

// ---- pens and brushes
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap); // the bitmap is copied; it may be deleted afterwards
HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);

// ---- lines and shapes (the current pen outlines, the current brush fills)
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
BOOL GetCurrentPositionEx(HDC dc, LPPOINT position);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylineCount);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygonCount);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y); // CLR_INVALID outside the clip or the surface

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);

// ---- bitmaps and raster operations
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bitmap);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height); // monochrome on a fresh memory DC
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info, UINT usage);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int sourceX, int sourceY, UINT startScan,
    UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
    int sourceHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits);

// Raster operations combine pattern (the brush), source and destination bit by bit as the code's
// truth table says. A colour source on a monochrome destination gives white where it equals the
// source DC's background colour and black elsewhere; a monochrome source on a colour destination
// gives the destination DC's text colour for black and its background colour for white.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
    int sourceHeight, DWORD rop);
BOOL MaskBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, HBITMAP mask,
    int maskX, int maskY, DWORD rop);
// Moves the pixels of `scroll` (the whole clip box when null), limited to `clip`, by (dx, dy);
// the part of that area the move did not fill is returned as a region and as its bounds.
BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect);
constexpr DWORD MAKEROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000) | fore; }

// ---- regions
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygonCount, int fillMode);
HRGN ExtCreateRegion(const void* transform, DWORD size, const RGNDATA* data); // transform must be null
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode); // the result's complexity, ERROR on failure
int OffsetRgn(HRGN region, int dx, int dy);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
int GetRgnBox(HRGN region, LPRECT box);
// The region as rectangles; with a null buffer (or a size too small) the size needed.
DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL PaintRgn(HDC dc, HRGN region);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height);
BOOL InvertRgn(HDC dc, HRGN region);

// ---- fonts and text
HFONT CreateFontIndirectW(const LOGFONTW* font);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
    DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
    LPCWSTR face);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
int GetTextFaceW(HDC dc, int size, LPWSTR face); // the face actually used
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size);
BOOL GetCharWidthW(HDC dc, UINT first, UINT last, LPINT widths);
inline constexpr auto& GetCharWidth32W = GetCharWidthW;
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
// Spreads `extra` logical units over the next `breakCount` spaces of each TextOut and extent.
BOOL SetTextJustification(HDC dc, int extra, int breakCount);
int SetTextCharacterExtra(HDC dc, int extra);
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx);
// Tabs advance to the given stops (relative to tabOrigin): none → every 8 average characters; one
// → every stops[0] units. Returns the extent as MAKELONG(width, height).
LONG TabbedTextOutW(HDC dc, int x, int y, LPCWSTR text, int count, int tabCount, const INT* stops, int tabOrigin);
DWORD GetTabbedTextExtentW(HDC dc, LPCWSTR text, int count, int tabCount, const INT* stops);
// Text in a rectangle with the DT_ flags; count -1 for a null-terminated text. Returns the height
// of the text (with DT_VCENTER or DT_BOTTOM, the offset from the top to its bottom), 0 on failure.
int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
int DrawTextExW(HDC dc, LPWSTR text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params);

// ---- icons and cursors (pairs of a mask and a colour bitmap)
HICON CreateIconIndirect(const ICONINFO* info);
BOOL GetIconInfo(HICON icon, ICONINFO* info); // the bitmaps returned are copies the caller deletes
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// cx, cy 0: the icon's own size; a brush draws the icon over that background off screen first.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH background, UINT flags);

// ---- the classic look
BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state);
// Inverts every other pixel of the rectangle's border through a checked pattern; twice restores it.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
// Draws text, an icon, a bitmap or a callback's drawing, normal, disabled (embossed), mono (in the
// brush) or union (dithered). A zero size means the item's own size.
BOOL DrawStateW(HDC dc, HBRUSH brush, DRAWSTATEPROC output, LPARAM data, WPARAM wData, int x, int y, int cx, int cy,
    UINT flags);
// Fills rectangles between pairs of vertices, shading from the first vertex's colour to the
// second's across (GRADIENT_FILL_RECT_H) or down (GRADIENT_FILL_RECT_V); the second colour is
// reached at the far, excluded edge. Triangles are not drawn (FALSE).
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* meshes, ULONG meshCount, ULONG mode);
// Shorthands the drawing code and the DC classes share: a solid fill in a colour, and a one-pixel
// frame in a top-left and a bottom-right colour.
void FillSolidRect(HDC dc, const RECT* rect, COLORREF color);
void Draw3dRect(HDC dc, const RECT* rect, COLORREF topLeft, COLORREF bottomRight);

inline constexpr auto& CreateDC = CreateDCW;
inline constexpr auto& CreateIC = CreateICW;
inline constexpr auto& GetObject = GetObjectW;
inline constexpr auto& CreateFontIndirect = CreateFontIndirectW;
inline constexpr auto& CreateFont = CreateFontW;
inline constexpr auto& GetTextMetrics = GetTextMetricsW;
inline constexpr auto& GetTextFace = GetTextFaceW;
inline constexpr auto& GetTextExtentPoint32 = GetTextExtentPoint32W;
inline constexpr auto& GetTextExtentExPoint = GetTextExtentExPointW;
inline constexpr auto& GetCharWidth = GetCharWidthW;
inline constexpr auto& GetCharWidth32 = GetCharWidthW;
inline constexpr auto& TextOut = TextOutW;
inline constexpr auto& ExtTextOut = ExtTextOutW;
inline constexpr auto& TabbedTextOut = TabbedTextOutW;
inline constexpr auto& GetTabbedTextExtent = GetTabbedTextExtentW;
inline constexpr auto& DrawText = DrawTextW;
inline constexpr auto& DrawTextEx = DrawTextExW;
inline constexpr auto& DrawState = DrawStateW;
