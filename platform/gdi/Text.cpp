// Text output and measuring: TextOut, ExtTextOut, TabbedTextOut, extents and metrics.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextRender.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <numbers>
#include <numeric>
#include <utility>
#include <pango/pangocairo.h>

using namespace fln::gdi;

namespace fln::gdi {

namespace {

bool isPrintableAscii(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0x20 && c < 0x7F; });
}

// Text with given advances as one layout whose glyphs are moved to them, so that it keeps its
// text as the layout does at the cost of one layout, not one a character. Printable ASCII only,
// where each byte of the layout's text is one character.
void showPlaced(cairo_t* cr, const RealizedFont& font, std::wstring_view text, const std::vector<int>& advances, int x, int baseline)
{
    PangoLayout* layout = font.createLayout(text);
    PangoLayoutLine* line = pango_layout_get_line(layout, 0);
    for (GSList* runs = line ? line->runs : nullptr; runs; runs = runs->next) {
        auto* run = static_cast<PangoGlyphItem*>(runs->data);
        PangoGlyphString* glyphs = run->glyphs;
        for (int i = 0; i < glyphs->num_glyphs; ++i) {
            // A cluster's advance goes to its last glyph.
            const int cluster = glyphs->log_clusters[i];
            const bool last = i + 1 == glyphs->num_glyphs || glyphs->log_clusters[i + 1] != cluster;
            const int end = i + 1 == glyphs->num_glyphs ? run->item->length : glyphs->log_clusters[i + 1];
            int width = 0;
            for (int c = cluster; last && c < end; ++c)
                width += advances[static_cast<size_t>(run->item->offset + c)];
            glyphs->glyphs[i].geometry.width = width * PANGO_SCALE;
        }
    }
    cairo_move_to(cr, x, baseline);
    if (line)
        pango_cairo_show_layout_line(cr, line);
    g_object_unref(layout);
}

} // namespace

std::vector<int> textAdvances(const DeviceContext& dc, const RealizedFont& font, std::wstring_view text)
{
    std::vector<int> advances(text.size());
    int extra = dc.state.justifyBreaks > 0 ? dc.state.justifyExtra : 0;
    int perBreak = dc.state.justifyBreaks > 0 ? extra / dc.state.justifyBreaks : 0;
    int remainder = dc.state.justifyBreaks > 0 ? extra % dc.state.justifyBreaks : 0;
    for (size_t i = 0; i < text.size(); ++i) {
        advances[i] = font.charWidth(text[i]) + dc.state.charExtra;
        if (text[i] == L' ' && dc.state.justifyBreaks > 0) {
            advances[i] += perBreak;
            if (remainder > 0)
                advances[i] += 1, --remainder;
        }
    }
    return advances;
}

int drawTextLine(DeviceContext& dc, const TextDrawing& drawing)
{
    auto font = dc.font();
    std::vector<int> natural;
    const std::vector<int>* advances = drawing.advances;
    if (!advances) {
        natural = textAdvances(dc, *font, drawing.text);
        advances = &natural;
    }
    int width = std::accumulate(advances->begin(), advances->end(), 0);
    if (drawing.text.empty() && !drawing.opaqueBackground)
        return 0;

    // The text box relative to the reference point, before rotation.
    int left = 0, top = 0;
    if ((drawing.align & TA_CENTER) == TA_CENTER)
        left = -width / 2;
    else if (drawing.align & TA_RIGHT)
        left = -width;
    if ((drawing.align & TA_BASELINE) == TA_BASELINE)
        top = -font->ascent();
    else if (drawing.align & TA_BOTTOM)
        top = -font->height();
    int height = font->height();

    const LOGFONTW& logFont = dc.state.font ? dc.state.font->logFont : font->logFont();
    double angle = logFont.lfEscapement / 10.0 * std::numbers::pi / 180.0;
    double cosA = std::cos(angle), sinA = std::sin(angle);
    // The mask covers the rotated box with a margin for italic overhang and antialiasing.
    int pad = height / 2 + 2;
    double corners[4][2] = { { double(left - pad), double(top) }, { double(left + width + pad), double(top) },
        { double(left + width + pad), double(top + height) }, { double(left - pad), double(top + height) } };
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (auto& c : corners) {
        // Counter-clockwise on the screen, where y grows downwards.
        double rx = c[0] * cosA + c[1] * sinA, ry = -c[0] * sinA + c[1] * cosA;
        minX = std::min(minX, rx), maxX = std::max(maxX, rx), minY = std::min(minY, ry), maxY = std::max(maxY, ry);
    }
    int maskLeft = static_cast<int>(std::floor(minX)) - 1, maskTop = static_cast<int>(std::floor(minY)) - 1;
    int maskWidth = static_cast<int>(std::ceil(maxX)) + 1 - maskLeft, maskHeight = static_cast<int>(std::ceil(maxY)) + 1 - maskTop;

    Canvas canvas(dc);
    if (!canvas.valid())
        return width;
    // Only the part of the mask that can show is rendered.
    RECT shown { drawing.reference.x + maskLeft, drawing.reference.y + maskTop, drawing.reference.x + maskLeft + maskWidth,
        drawing.reference.y + maskTop + maskHeight };
    RECT clipBox = canvas.clip().bounds();
    if (!IntersectRect(&shown, &shown, &clipBox) || (drawing.clip && !IntersectRect(&shown, &shown, drawing.clip)))
        return width;
    maskLeft = shown.left - drawing.reference.x, maskTop = shown.top - drawing.reference.y;
    maskWidth = shown.right - shown.left, maskHeight = shown.bottom - shown.top;

    // Monochrome text stays crisp to its underlines and turned edges; subpixel glyphs need a
    // colour mask to keep their per-channel coverage.
    bool crisp = font->smoothing() == Smoothing::Monochrome;
    bool perChannel = font->smoothing() == Smoothing::Subpixel;
    // The glyphs and rules, drawn at the text box's origin. With keepText the glyphs carry their
    // text (a layout's clusters), so that a printed page's text can be searched.
    auto trace = [&](cairo_t* cr, bool keepText) {
        std::lock_guard lock(FontSystem::instance().mutex());
        bool natural = !drawing.advances && dc.state.charExtra == 0 && dc.state.justifyBreaks == 0;
        auto show = [&](std::wstring_view piece, int x) {
            if (!keepText && font->showPrintableAscii(cr, piece, x, top + font->ascent()))
                return;
            PangoLayout* layout = font->createLayout(piece);
            cairo_move_to(cr, x, top + font->ascent());
            pango_cairo_show_layout_line(cr, pango_layout_get_line_readonly(layout, 0));
            g_object_unref(layout);
        };
        if (natural) {
            show(drawing.text, left);
        } else if (keepText && isPrintableAscii(drawing.text)) {
            showPlaced(cr, *font, drawing.text, *advances, left, top + font->ascent());
        } else {
            int x = left;
            for (size_t i = 0; i < drawing.text.size(); ++i) {
                show(drawing.text.substr(i, 1), x);
                x += (*advances)[i];
            }
        }
        auto rule = [&](int x, int ruleWidth, int y) {
            cairo_rectangle(cr, x, y, ruleWidth, font->lineThickness());
            cairo_fill(cr);
        };
        int underlineTop = top + font->ascent() + font->underlineOffset();
        if (logFont.lfUnderline)
            rule(left, width, underlineTop);
        if (logFont.lfStrikeOut)
            rule(left, width, top + font->ascent() - font->strikeoutOffset());
        int mnemonic = drawing.underlinedIndex;
        if (mnemonic >= 0 && mnemonic < static_cast<int>(drawing.text.size()))
            rule(left + std::accumulate(advances->begin(), advances->begin() + mnemonic, 0), (*advances)[mnemonic], underlineTop);
    };
    auto render = [&](bool background) {
        bool channels = perChannel && !background;
        // Two-level glyphs meet an 8-bit image only on pixman's slow general path (it clears
        // scan-line buffers for every glyph): they go onto a 32-bit one.
        bool wide = channels || crisp;
        cairo_surface_t* mask = cairo_image_surface_create(wide ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_A8, maskWidth, maskHeight);
        if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(mask);
            return;
        }
        cairo_t* cr = cairo_create(mask);
        cairo_translate(cr, -maskLeft, -maskTop);
        cairo_rotate(cr, -angle);
        cairo_set_antialias(cr, crisp || (background && angle == 0) ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_DEFAULT);
        if (background) {
            cairo_rectangle(cr, left, top, width, height);
            cairo_fill(cr);
        } else {
            if (channels)
                cairo_set_source_rgb(cr, 1, 1, 1);
            trace(cr, false);
        }
        cairo_destroy(cr);
        cairo_surface_flush(mask);
        using Coverage = Canvas::Coverage;
        Coverage coverage = channels ? Coverage::PerChannel : crisp ? Coverage::Thresholded : Coverage::Blended;
        canvas.blendMask(cairo_image_surface_get_data(mask), cairo_image_surface_get_stride(mask), drawing.reference.x + maskLeft,
            drawing.reference.y + maskTop, maskWidth, maskHeight, background ? canvas.realize(dc.state.bkColor) : canvas.realize(dc.state.textColor),
            drawing.clip, coverage);
        cairo_surface_destroy(mask);
    };
    if (drawing.opaqueBackground && width > 0) {
        if (angle == 0) {
            RECT box { drawing.reference.x + left, drawing.reference.y + top, drawing.reference.x + left + width, drawing.reference.y + top + height };
            if (drawing.clip)
                IntersectRect(&box, &box, drawing.clip);
            canvas.fillRect(box, Ink::solid(canvas.realize(dc.state.bkColor)));
        } else {
            render(true);
        }
    }
    if (drawing.text.empty())
        return width;
    if (cairo_surface_t* layer = dc.textLayer()) {
        // A printed page keeps its text as glyphs, within the same clip as the pixels.
        cairo_t* cr = cairo_create(layer);
        for (const RECT& r : canvas.clip().rects())
            cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
        cairo_clip(cr);
        if (drawing.clip) {
            cairo_rectangle(cr, drawing.clip->left, drawing.clip->top, drawing.clip->right - drawing.clip->left, drawing.clip->bottom - drawing.clip->top);
            cairo_clip(cr);
        }
        cairo_translate(cr, drawing.reference.x, drawing.reference.y);
        cairo_rotate(cr, -angle);
        COLORREF color = dc.state.textColor;
        cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
        trace(cr, true);
        cairo_destroy(cr);
    } else {
        render(false);
    }
    return width;
}

} // namespace fln::gdi

namespace {

std::wstring_view textOf(LPCWSTR text, int count)
{
    if (!text)
        return {};
    return std::wstring_view(text, count < 0 ? std::wcslen(text) : static_cast<size_t>(count));
}

int toLogicalWidth(const DeviceContext& dc, int width)
{
    if (dc.isIdentityMapping())
        return width;
    return static_cast<int>(std::lround(std::abs(double(width) * dc.state.windowExt.cx / dc.state.viewportExt.cx)));
}

int toLogicalHeight(const DeviceContext& dc, int height)
{
    if (dc.isIdentityMapping())
        return height;
    return static_cast<int>(std::lround(std::abs(double(height) * dc.state.windowExt.cy / dc.state.viewportExt.cy)));
}

} // namespace

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* metrics)
{
    FLN_DC_OR(FALSE);
    if (!metrics)
        return FALSE;
    auto font = dc->font();
    TEXTMETRICW tm = font->textMetrics();
    if (!dc->isIdentityMapping()) {
        for (LONG* v : { &tm.tmHeight, &tm.tmAscent, &tm.tmDescent, &tm.tmInternalLeading, &tm.tmExternalLeading })
            *v = toLogicalHeight(*dc, *v);
        for (LONG* v : { &tm.tmAveCharWidth, &tm.tmMaxCharWidth })
            *v = toLogicalWidth(*dc, *v);
    }
    *metrics = tm;
    return TRUE;
}

int GetTextFaceW(HDC handle, int size, LPWSTR face)
{
    FLN_DC_OR(0);
    std::wstring name = dc->font()->faceName();
    if (!face)
        return static_cast<int>(name.size()) + 1;
    if (size <= 0)
        return 0;
    size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
    std::wmemcpy(face, name.data(), n);
    face[n] = L'\0';
    return static_cast<int>(n) + 1;
}

BOOL GetTextExtentPoint32W(HDC handle, LPCWSTR text, int count, LPSIZE size)
{
    FLN_DC_OR(FALSE);
    if (!size || (!text && count > 0) || count < 0)
        return FALSE;
    auto font = dc->font();
    auto advances = textAdvances(*dc, *font, textOf(text, count));
    size->cx = toLogicalWidth(*dc, std::accumulate(advances.begin(), advances.end(), 0));
    size->cy = toLogicalHeight(*dc, font->height());
    return TRUE;
}

BOOL GetTextExtentExPointW(HDC handle, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size)
{
    FLN_DC_OR(FALSE);
    if (!size || (!text && count > 0) || count < 0)
        return FALSE;
    auto font = dc->font();
    auto advances = textAdvances(*dc, *font, textOf(text, count));
    int total = 0, fitting = 0;
    for (size_t i = 0; i < advances.size(); ++i) {
        total += advances[i];
        int logical = toLogicalWidth(*dc, total);
        if (dx)
            dx[i] = logical;
        if (maxExtent < 0 || logical <= maxExtent)
            fitting = static_cast<int>(i) + 1;
    }
    if (fit)
        *fit = fitting;
    size->cx = toLogicalWidth(*dc, total);
    size->cy = toLogicalHeight(*dc, font->height());
    return TRUE;
}

BOOL GetCharWidthW(HDC handle, UINT first, UINT last, LPINT widths)
{
    FLN_DC_OR(FALSE);
    if (!widths || last < first)
        return FALSE;
    auto font = dc->font();
    for (UINT c = first; c <= last; ++c)
        widths[c - first] = toLogicalWidth(*dc, font->charWidth(static_cast<wchar_t>(c)));
    return TRUE;
}

UINT SetTextAlign(HDC handle, UINT align)
{
    FLN_DC_OR(GDI_ERROR);
    return std::exchange(dc->state.textAlign, align);
}

UINT GetTextAlign(HDC handle)
{
    FLN_DC_OR(GDI_ERROR);
    return dc->state.textAlign;
}

BOOL SetTextJustification(HDC handle, int extra, int breakCount)
{
    FLN_DC_OR(FALSE);
    dc->state.justifyExtra = breakCount > 0 ? dc->widthToDevice(extra) * (extra < 0 ? -1 : 1) : 0;
    dc->state.justifyBreaks = std::max(0, breakCount);
    return TRUE;
}

int SetTextCharacterExtra(HDC handle, int extra)
{
    FLN_DC_OR(0x80000000);
    return std::exchange(dc->state.charExtra, extra);
}

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx)
{
    FLN_DC_OR(FALSE);
    if (!text && count > 0)
        return FALSE;
    std::wstring_view content = text ? std::wstring_view(text, count) : std::wstring_view();
    RECT deviceRect {};
    if (rect) {
        deviceRect = dc->toDevice(*rect);
        if (options & ETO_OPAQUE) {
            Canvas canvas(*dc);
            canvas.fillRect(deviceRect, Ink::solid(canvas.realize(dc->state.bkColor)));
        }
    }
    bool updateCP = dc->state.textAlign & TA_UPDATECP;
    POINT reference = dc->toDevice(updateCP ? dc->state.position : POINT { x, y });
    std::vector<int> advances;
    if (dx) {
        for (UINT i = 0; i < count; ++i)
            advances.push_back(dc->widthToDevice(dx[i]));
    }
    TextDrawing drawing;
    drawing.text = content;
    drawing.reference = reference;
    drawing.align = dc->state.textAlign;
    drawing.advances = dx ? &advances : nullptr;
    drawing.clip = rect && (options & ETO_CLIPPED) ? &deviceRect : nullptr;
    drawing.opaqueBackground = dc->state.bkMode == OPAQUE;
    int width = drawTextLine(*dc, drawing);
    if (updateCP) {
        UINT horizontal = dc->state.textAlign & TA_CENTER;
        if (horizontal == TA_LEFT)
            dc->state.position.x += toLogicalWidth(*dc, width);
        else if (horizontal == TA_RIGHT)
            dc->state.position.x -= toLogicalWidth(*dc, width);
    }
    return TRUE;
}

BOOL TextOutW(HDC handle, int x, int y, LPCWSTR text, int count)
{
    if (count < 0 || (!text && count > 0))
        return FALSE;
    return ExtTextOutW(handle, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

namespace {

// The x of the tab stop after `x` (relative to the origin), in device pixels.
int nextTabStop(int x, int tabCount, const INT* stops, int defaultWidth, int spaceWidth)
{
    if (tabCount <= 0 || !stops)
        return (x / defaultWidth + 1) * defaultWidth;
    if (tabCount == 1) {
        int width = stops[0] > 0 ? stops[0] : defaultWidth;
        return (x / width + 1) * width;
    }
    for (int i = 0; i < tabCount; ++i)
        if (std::abs(stops[i]) > x)
            return std::abs(stops[i]);
    return x + spaceWidth; // past the last stop a tab is one space
}

LONG tabbedText(DeviceContext& dc, int x, int y, std::wstring_view text, int tabCount, const INT* stops, int tabOrigin, bool draw)
{
    auto font = dc.font();
    int defaultWidth = std::max(1, 8 * font->aveCharWidth());
    int spaceWidth = font->charWidth(L' ');
    POINT start = dc.toDevice(POINT { x, y });
    int origin = dc.toDevice(POINT { tabOrigin, 0 }).x;
    int pen = start.x;
    size_t begin = 0;
    std::vector<std::pair<std::wstring_view, int>> pieces;
    while (true) {
        size_t tab = text.find(L'\t', begin);
        std::wstring_view piece = text.substr(begin, tab == std::wstring_view::npos ? std::wstring_view::npos : tab - begin);
        pieces.push_back({ piece, pen });
        auto advances = textAdvances(dc, *font, piece);
        pen += std::accumulate(advances.begin(), advances.end(), 0);
        if (tab == std::wstring_view::npos)
            break;
        pen = origin + nextTabStop(pen - origin, tabCount, stops, defaultWidth, spaceWidth);
        begin = tab + 1;
    }
    int width = pen - start.x;
    if (draw) {
        if (dc.state.bkMode == OPAQUE) {
            Canvas canvas(dc);
            canvas.fillRect(RECT { start.x, start.y, pen, start.y + font->height() }, Ink::solid(canvas.realize(dc.state.bkColor)));
        }
        for (auto [piece, at] : pieces) {
            TextDrawing drawing;
            drawing.text = piece;
            drawing.reference = POINT { at, start.y };
            drawing.align = TA_LEFT | TA_TOP;
            drawTextLine(dc, drawing);
        }
    }
    return static_cast<LONG>(MAKELONG(static_cast<WORD>(toLogicalWidth(dc, width)), static_cast<WORD>(toLogicalHeight(dc, font->height()))));
}

} // namespace

LONG TabbedTextOutW(HDC handle, int x, int y, LPCWSTR text, int count, int tabCount, const INT* stops, int tabOrigin)
{
    FLN_DC_OR(0);
    if (!text && count > 0)
        return 0;
    return tabbedText(*dc, x, y, textOf(text, count), tabCount, stops, tabOrigin, true);
}

DWORD GetTabbedTextExtentW(HDC handle, LPCWSTR text, int count, int tabCount, const INT* stops)
{
    FLN_DC_OR(0);
    if (!text && count > 0)
        return 0;
    return static_cast<DWORD>(tabbedText(*dc, 0, 0, textOf(text, count), tabCount, stops, 0, false));
}
