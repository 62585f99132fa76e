#pragma once
// The tooltip's drawing toolkit: colour arithmetic, gradient and pattern backgrounds, frames and
// lines, semi-transparent copies, soft shadows, and bitmaps, icons and image-list cells drawn with
// effects, transparency and a shadow. Everything draws on the caller's device contexts; the
// per-pixel work runs on 32-bit DIB sections in memory.

#include "controls/CeXDib.h"
#include "platform/gdi/Gdi.h"

class CPPDrawManager {
public:
    // Background effects (PaintBackground).
    enum : int {
        EFFECT_TRANSPARENT = -1,
        EFFECT_SOLID = 0,
        EFFECT_HGRADIENT,
        EFFECT_VGRADIENT,
        EFFECT_HCGRADIENT,
        EFFECT_VCGRADIENT,
        EFFECT_3HGRADIENT,
        EFFECT_3VGRADIENT,
        EFFECT_NOISE,
        EFFECT_DIAGSHADE,
        EFFECT_HSHADE,
        EFFECT_VSHADE,
        EFFECT_HBUMP,
        EFFECT_VBUMP,
        EFFECT_SOFTBUMP,
        EFFECT_HARDBUMP,
        EFFECT_METAL,
    };
    // Image effects (bits).
    enum : DWORD {
        IMAGE_EFFECT_NONE = 0x0,
        IMAGE_EFFECT_GRAYEN = 0x1,
        IMAGE_EFFECT_DARKEN = 0x2,
        IMAGE_EFFECT_LIGHTEN = 0x4,
        IMAGE_EFFECT_MONOCHROME = 0x8,
        IMAGE_EFFECT_SHADOW = 0x100,
        IMAGE_EFFECT_SOFT_SHADOW = 0x200,
        IMAGE_EFFECT_INVERT = 0x8000,
        IMAGE_EFFECT_MASK = 0x8008,
    };
    // Line and frame styles.
    enum : int { PEN_NULL = 0, PEN_SOLID, PEN_DASH, PEN_DOT, PEN_DASHDOT, PEN_DASHDOTDOT, PEN_DOUBLE };

    virtual ~CPPDrawManager() = default;

    static void IconSize(HICON icon, SIZE* size);
    static void BitmapSize(HBITMAP bitmap, SIZE* size);
    // pixel: 0x00RRGGBB as read from a 32-bit bitmap.
    static DWORD ToGrey(DWORD pixel);
    static COLORREF ToInverse(COLORREF color);
    static COLORREF ScaleColour(COLORREF color, double factor);
    static COLORREF BrightenColour(COLORREF color, double factor);
    static COLORREF BlendColours(COLORREF a, double weightA, COLORREF b, double weightB);
    static HICON ResizeIcon(HICON icon, int width, int height);

    void PaintBackground(HDC dc, int effect, const RECT* rect, COLORREF color1, COLORREF color2, COLORREF color3,
        DWORD granularity, DWORD blendPercent);
    static void TileCopy(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
        int tileWidth, int tileHeight);
    static void PaintFrame(HDC dc, const RECT* rect, COLORREF topLeft, COLORREF bottomRight, int style, int penWidth);
    static void PaintLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color, int style, int penWidth);
    static void BlendCopy(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
        int percent);
    static void AlphaCopy(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY);
    // A new 32-bit bitmap of the picture with the effects applied; null on failure.
    HBITMAP ApplyImageEffect(HBITMAP bitmap, int width, int height, DWORD effect, BOOL useTransparent,
        COLORREF transparent, COLORREF fill);
    static void PaintShadow(HDC dc, int x, int y, int width, int height, HBITMAP mask, BOOL soft, int blurWidth,
        int blurHeight);
    void PaintBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, BOOL useTransparent,
        COLORREF transparent, DWORD effect, BOOL shadow, int shadowDx, int shadowDy, int blurWidth, int blurHeight,
        COLORREF fill);
    void PaintIcon(HDC dc, int x, int y, int width, int height, HICON icon, DWORD effect, BOOL shadow, int shadowDx,
        int shadowDy, int blurWidth, int blurHeight, COLORREF fill);
    void PaintImageListCell(HDC dc, int x, int y, int width, int height, HBITMAP strip, int index, int cellWidth,
        int cellHeight, BOOL useTransparent, COLORREF transparent, DWORD effect, BOOL shadow, int shadowDx,
        int shadowDy, int blurWidth, int blurHeight, COLORREF fill);

private:
    void PaintPattern(HDC dc, int effect, const RECT& rect, COLORREF color1, COLORREF color2, COLORREF color3,
        int granularity, DWORD blendPercent);
    static void PaintGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool horizontal);
    // Two gradients meeting at the middle of the rectangle: from -> middle, then middle -> to.
    static void PaintSplitGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF middle, COLORREF to, bool horizontal);
    void DrawImage(HDC dc, int x, int y, int width, int height, HBITMAP image, HBITMAP mask);

    CCeXDib m_dib;
    int m_hasAlpha = 0;
};
