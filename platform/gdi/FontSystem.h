#pragma once
// Fonts on pango (internal to platform/gdi): the program's own fontconfig configuration, one pango
// context with fixed hinting at 96 DPI (so that text pixels do not depend on the machine's
// settings), and fonts realised from LOGFONT with the metrics the drawing interface reports.

#include "platform/gdi/GdiTypes.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

typedef struct _PangoContext PangoContext;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoLayout PangoLayout;

namespace fln::gdi {

std::string toUtf8(std::wstring_view text);

class RealizedFont {
public:
    RealizedFont(const LOGFONTW& logFont, int pixelHeight);
    ~RealizedFont();
    RealizedFont(const RealizedFont&) = delete;
    RealizedFont& operator=(const RealizedFont&) = delete;

    const LOGFONTW& logFont() const { return m_logFont; }
    int ascent() const { return m_ascent; }
    int descent() const { return m_descent; }
    int height() const { return m_ascent + m_descent; }
    int aveCharWidth() const { return m_aveCharWidth; }
    int maxCharWidth() const { return m_maxCharWidth; }
    std::wstring faceName() const;
    TEXTMETRICW textMetrics() const;

    // Advance of one character; text widths are sums of these (no kerning, no ligatures).
    int charWidth(wchar_t c) const;

    // A one-line layout of the text with this font's attributes; the caller unrefs it.
    PangoLayout* createLayout(PangoContext* context, std::wstring_view text, int underlinedIndex = -1) const;

private:
    LOGFONTW m_logFont;
    PangoFontDescription* m_description = nullptr;
    int m_emHeight = 0;
    int m_ascent = 0;
    int m_descent = 0;
    int m_aveCharWidth = 0;
    int m_maxCharWidth = 0;
    bool m_fixedPitch = false;
    std::wstring m_realFace;
    mutable std::vector<int> m_latinWidths; // advances of U+0000..U+00FF, -1 until measured
    mutable std::unordered_map<wchar_t, int> m_otherWidths;
};

class FontSystem {
public:
    static FontSystem& instance();
    // Every use of pango goes through this lock: pango is not thread-safe.
    std::recursive_mutex& mutex() { return m_mutex; }
    PangoContext* context() const { return m_context; }
    // The font for a LOGFONT at a device height (the lfHeight already in device units).
    std::shared_ptr<RealizedFont> realize(const LOGFONTW& logFont, LONG deviceHeight);

private:
    FontSystem();
    std::recursive_mutex m_mutex;
    PangoContext* m_context = nullptr;
    std::unordered_map<std::string, std::shared_ptr<RealizedFont>> m_cache;
};

} // namespace fln::gdi
