#pragma once
// Image lists: rows of equally sized images in one bitmap, each with its part of a mask, drawn
// transparently or as they are.

#include "platform/gdi/GdiTypes.h"

struct IMAGELIST;
using HIMAGELIST = IMAGELIST*;

constexpr UINT ILC_MASK = 0x1, ILC_COLOR = 0x0, ILC_COLORDDB = 0xFE, ILC_COLOR4 = 0x4, ILC_COLOR8 = 0x8,
               ILC_COLOR16 = 0x10, ILC_COLOR24 = 0x18, ILC_COLOR32 = 0x20;
constexpr UINT ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1, ILD_MASK = 0x10, ILD_IMAGE = 0x20, ILD_BLEND25 = 0x2,
               ILD_FOCUS = 0x2, ILD_BLEND50 = 0x4, ILD_SELECTED = 0x4, ILD_BLEND = 0x4;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Adds as many images as the bitmap is wide; returns the index of the first, -1 on failure.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The mask is made from the pixels of the given colour, which become black in the image.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor);
// index -1 appends; returns the index replaced or added.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
BOOL ImageList_Remove(HIMAGELIST list, int index); // -1 removes all
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int cx, int cy, COLORREF background,
    COLORREF foreground, UINT style);
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
