#pragma once
// Fonts on pango (internal to platform/gdi): the program's own fontconfig configuration, pango
// contexts whose smoothing and hinting come only from FontRendering (so that text pixels do not
// depend on the machine's fontconfig), and fonts realised from LOGFONT with the metrics the
// drawing interface reports.

#include "platform/gdi/FontRendering.h"
#include "platform/gdi/GdiTypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

typedef struct _PangoContext PangoContext;
typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFont PangoFont;
typedef struct _cairo cairo_t;

namespace fln::gdi {

std::string toUtf8(std::wstring_view text);

// How glyph edges are drawn: Monochrome glyphs have only full pixels; Subpixel glyphs carry one
// coverage per colour channel.
enum class Smoothing { Monochrome, Grey, Subpixel };

class RealizedFont {
public:
    // Measured and later drawn through `context` (referenced for the font's lifetime), whose
    // hinting decides the advances.
    RealizedFont(const LOGFONTW& logFont, int pixelHeight, PangoContext* context, Smoothing smoothing);
    ~RealizedFont();
    RealizedFont(const RealizedFont&) = delete;
    RealizedFont& operator=(const RealizedFont&) = delete;

    const LOGFONTW& logFont() const { return m_logFont; }
    int ascent() const { return m_ascent; }
    int descent() const { return m_descent; }
    int height() const { return m_ascent + m_descent; }
    int aveCharWidth() const { return m_aveCharWidth; }
    int maxCharWidth() const { return m_maxCharWidth; }
    Smoothing smoothing() const { return m_smoothing; }
    std::wstring faceName() const;
    TEXTMETRICW textMetrics() const;

    // Advance of one character; text widths are sums of these (no kerning, no ligatures).
    int charWidth(wchar_t c) const;

    // Underlines and strike-outs are whole rows drawn by the text code, so that they stay crisp:
    // their tops in rows below (above) the baseline, and their thickness.
    int underlineOffset() const { return m_underlineOffset; }
    int strikeoutOffset() const { return m_strikeoutOffset; }
    int lineThickness() const { return m_lineThickness; }

    // A one-line layout of the text in this font (no lines); the caller holds the font system's
    // lock and unrefs the layout.
    PangoLayout* createLayout(std::wstring_view text) const;

    // Draws `text` with its baseline's left end at (x, baseline) as a layout of it would, without
    // the layout's cost, when every character is printable ASCII that this font has: its nominal
    // glyphs, each at the sum of the advances before it. False, drawing nothing, otherwise. The
    // caller holds the font system's lock.
    bool showPrintableAscii(cairo_t* cr, std::wstring_view text, double x, double baseline) const;

private:
    // The advances of U+0020..U+007E, which the metrics need, read from `font` (the one realised).
    void measurePrintableAscii(PangoFont* font);

    LOGFONTW m_logFont;
    PangoContext* m_context = nullptr;
    Smoothing m_smoothing = Smoothing::Monochrome;
    PangoFontDescription* m_description = nullptr;
    int m_emHeight = 0;
    int m_ascent = 0;
    int m_descent = 0;
    int m_aveCharWidth = 0;
    int m_maxCharWidth = 0;
    int m_underlineOffset = 1;
    int m_strikeoutOffset = 3;
    int m_lineThickness = 1;
    bool m_fixedPitch = false;
    std::wstring m_realFace;
    PangoFont* m_font = nullptr; // the font a layout's first font would be
    std::array<uint32_t, 0x7F - 0x20> m_printableGlyphs {}; // of U+0020..U+007E, when m_font has them all
    bool m_hasPrintableGlyphs = false;
    mutable std::vector<int> m_latinWidths; // advances of U+0000..U+00FF, -1 until measured
    mutable std::unordered_map<wchar_t, int> m_otherWidths;
};

class FontSystem {
public:
    static FontSystem& instance();
    // Every use of pango goes through this lock: pango is not thread-safe.
    std::recursive_mutex& mutex() { return m_mutex; }
    // The font for a LOGFONT at a device height (the lfHeight already in device units).
    std::shared_ptr<RealizedFont> realize(const LOGFONTW& logFont, LONG deviceHeight);

    FontRendering rendering();
    // The families the program's font configuration offers come from here (FontEnumeration.cpp).
    PangoFontMap* fontMap() const { return m_fontMap; }
    // Fonts realised before keep their look; the cache forgets them.
    void setRendering(const FontRendering& rendering);

private:
    FontSystem();
    // The font's quality asks for a smoothing; the default quality follows the settings.
    Smoothing smoothingFor(const LOGFONTW& logFont) const;
    PangoContext* context(Smoothing smoothing);

    // What makes two LOGFONTs one realised font. Compared without formatting text: a window's
    // paint asks for its device context's font hundreds of times.
    struct CacheKey {
        std::wstring face;
        LONG height;
        LONG weight;
        unsigned styles; // italic, underline, strike-out
        Smoothing smoothing;
        bool operator==(const CacheKey&) const = default;
    };
    struct CacheKeyHash {
        size_t operator()(const CacheKey& key) const;
    };

    std::recursive_mutex m_mutex;
    PangoFontMap* m_fontMap = nullptr;
    FontRendering m_rendering;
    PangoContext* m_contexts[3] {}; // by Smoothing, made on first use
    std::unordered_map<CacheKey, std::shared_ptr<RealizedFont>, CacheKeyHash> m_cache;
};

} // namespace fln::gdi
