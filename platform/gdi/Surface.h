#pragma once
// Device contexts on surfaces the caller owns: the window layer creates the window, client, paint
// and whole-window DCs of each top-level window this way, on that window's backing surface.

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"

#include <cairo.h>
#include <memory>
#include <utility>
#include <vector>

// A DC drawing on `surface` (an RGB24 or ARGB32 image surface; referenced, not copied). Device point
// (0, 0) is surface pixel `origin`; drawing is limited to `visible`, given in surface pixels (a
// window's visible part less its clipped children, say). SelectClipRgn and the other clip calls
// narrow it further; they cannot widen it. Delete the DC with DeleteDC.
HDC CreateSurfaceDC(cairo_surface_t* surface, const fln::gdi::Region& visible, POINT origin);
// Moves an existing surface DC (a window moved, or its visible part changed).
BOOL SetSurfaceDCVisible(HDC dc, const fln::gdi::Region& visible, POINT origin);
// The surface pixel of device point (0, 0).
BOOL GetDCOrgEx(HDC dc, LPPOINT origin);

// A printed page: a surface DC on the printable area's pixels that GetDeviceCaps describes as a
// printer. Its text can go as glyphs onto a text layer instead (see SetPageTextLayer). A preview
// page describes the printer while its pixels are fewer: it maps the printer's units onto them.
struct PageDevice {
    SIZE dpi { 600, 600 };
    SIZE paper {};     // the whole sheet, in the printer's pixels
    POINT offset {};   // the printable area's top left on the sheet
    SIZE printable {}; // HORZRES and VERTRES; empty: the size of the DC's pixels
    std::shared_ptr<void> owner; // what the print layer keeps with the DC; released with it
};
HDC CreatePageDC(cairo_surface_t* pixels, PageDevice device);
// Sends the page DC's text to `layer` (a vector surface in device units, laid over the pixels when
// the page is put out) so that the document keeps its text; null sends it into the pixels again.
BOOL SetPageTextLayer(HDC dc, cairo_surface_t* layer);
// The rows of a page DC's pixels that drawing has written since the last call, as [top, bottom)
// runs of the pixels' rows in order: the only rows where a page can have ink that was not there.
std::vector<std::pair<int, int>> TakePageWrittenRows(HDC dc);

// The screen's size in pixels, for screen DCs and GetDeviceCaps(HORZRES/VERTRES); the display layer
// sets it (1280 x 1024 until then).
void SetScreenSize(SIZE size);

namespace fln::gdi {
// Copies what the screen shows in `area` (screen pixels) into `target`, an RGB24 image surface of
// the area's size; false when the screen cannot be read. A screen DC is a copy source through it:
// the display layer sets it, and without it copies from the screen fail.
using ScreenReader = bool (*)(const RECT& area, cairo_surface_t* target);
void SetScreenReader(ScreenReader reader);
} // namespace fln::gdi

namespace fln::gdi {
// The region behind an HRGN (null for an invalid handle), for the window layer's own regions.
const Region* regionOf(HRGN region);
// A new HRGN holding a copy of the region.
HRGN createRegionHandle(const Region& region);
} // namespace fln::gdi
