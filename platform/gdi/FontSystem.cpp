#include "platform/gdi/FontSystem.h"
#include "platform/gdi/Stock.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <utility>
#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

namespace fln::gdi {

namespace {

constexpr wchar_t DefaultFace[] = L"MS Sans Serif";
constexpr int DefaultEmHeight = 12;
// Taller than any screen: a font asked for larger (a size from a damaged setting, say) is realised
// at this height, where pango's units (1024 to the pixel) and a glyph's bitmap stay in bounds.
constexpr long MaxEmHeight = 4096;

// Letter frequencies of the classic average-width definition: lower-case letters and the space.
constexpr struct {
    wchar_t letter;
    int weight;
} AverageWidthWeights[] = { { L'a', 64 }, { L'b', 14 }, { L'c', 27 }, { L'd', 35 }, { L'e', 100 }, { L'f', 20 },
    { L'g', 14 }, { L'h', 42 }, { L'i', 63 }, { L'j', 3 }, { L'k', 6 }, { L'l', 35 }, { L'm', 20 }, { L'n', 56 },
    { L'o', 56 }, { L'p', 17 }, { L'q', 4 }, { L'r', 49 }, { L's', 56 }, { L't', 71 }, { L'u', 31 }, { L'v', 10 },
    { L'w', 18 }, { L'x', 3 }, { L'y', 18 }, { L'z', 2 }, { L' ', 166 } };

std::wstring faceOf(const LOGFONTW& font)
{
    std::wstring face(font.lfFaceName, std::find(font.lfFaceName, font.lfFaceName + LF_FACESIZE, L'\0'));
    return face.empty() ? DefaultFace : face;
}

PangoFontDescription* describe(const LOGFONTW& font, int emHeight)
{
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, toUtf8(faceOf(font)).c_str());
    int weight = font.lfWeight <= 0 ? FW_NORMAL : std::clamp<int>(font.lfWeight, 100, 1000);
    pango_font_description_set_weight(description, static_cast<PangoWeight>(weight));
    pango_font_description_set_style(description, font.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(description, std::max(1, emHeight) * PANGO_SCALE);
    return description;
}

// A font's vertical metrics in pango units, as pango_font_get_metrics reports them for the hinted
// metrics every context here asks for: the extents rounded up to whole pixels. Read from the
// font's HarfBuzz font, since pango_font_get_metrics also lays out a sample sentence for widths
// that are not used here, which would cost a start milliseconds per font.
struct VerticalMetrics {
    int ascent;
    int descent;
    int underlinePosition; // above the baseline, so below it is negative
    int underlineThickness;
    int strikeoutPosition;
};

VerticalMetrics verticalMetricsOf(PangoFont* font)
{
    hb_font_t* shaper = pango_font_get_hb_font(font);
    hb_font_extents_t extents {};
    hb_font_get_extents_for_direction(shaper, HB_DIRECTION_LTR, &extents);
    VerticalMetrics metrics { PANGO_UNITS_CEIL(extents.ascender), PANGO_UNITS_CEIL(-extents.descender), -PANGO_SCALE, PANGO_SCALE, 0 };
    metrics.strikeoutPosition = metrics.ascent / 2;
    // A face without the value keeps the default, as it does for pango.
    auto read = [shaper](hb_ot_metrics_tag_t tag, int& value) {
        hb_position_t position = 0;
        if (hb_ot_metrics_get_position(shaper, tag, &position) && position != 0)
            value = position;
    };
    read(HB_OT_METRICS_TAG_UNDERLINE_OFFSET, metrics.underlinePosition);
    read(HB_OT_METRICS_TAG_UNDERLINE_SIZE, metrics.underlineThickness);
    read(HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, metrics.strikeoutPosition);
    return metrics;
}

} // namespace

std::string toUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// ---- RealizedFont

RealizedFont::RealizedFont(const LOGFONTW& logFont, int pixelHeight, PangoContext* context, Smoothing smoothing)
    : m_logFont(logFont)
    , m_context(static_cast<PangoContext*>(g_object_ref(context)))
    , m_smoothing(smoothing)
    , m_latinWidths(256, -1)
{
    PangoFontMap* map = pango_context_get_font_map(context);
    // Loads the font at `em` and keeps it loaded when `keep` is given.
    auto loadMetrics = [&](int em, int& ascent, int& descent, PangoFont** keep = nullptr) {
        PangoFontDescription* description = describe(logFont, em);
        PangoFont* font = pango_font_map_load_font(map, context, description);
        pango_font_description_free(description);
        if (!font) {
            ascent = em, descent = 0;
            return;
        }
        VerticalMetrics metrics = verticalMetricsOf(font);
        ascent = PANGO_PIXELS(metrics.ascent);
        descent = PANGO_PIXELS(metrics.descent);
        m_underlineOffset = std::max(1, PANGO_PIXELS(-metrics.underlinePosition));
        m_lineThickness = std::max(1, PANGO_PIXELS(metrics.underlineThickness));
        m_strikeoutOffset = PANGO_PIXELS(metrics.strikeoutPosition);
        if (m_realFace.empty()) {
            PangoFontDescription* real = pango_font_describe(font);
            if (const char* family = pango_font_description_get_family(real))
                for (const char* p = family; *p; ++p)
                    m_realFace += static_cast<wchar_t>(static_cast<unsigned char>(*p));
            pango_font_description_free(real);
        }
        if (keep)
            *keep = font;
        else
            g_object_unref(font);
    };

    if (pixelHeight < 0) {
        m_emHeight = static_cast<int>(std::min(-static_cast<long>(pixelHeight), MaxEmHeight));
    } else if (pixelHeight > 0) {
        // A cell height: find the em whose ascent + descent is that height.
        constexpr int Probe = 1000;
        int ascent = 0, descent = 0;
        loadMetrics(Probe, ascent, descent);
        m_emHeight = static_cast<int>(std::clamp(std::lround(double(pixelHeight) * Probe / std::max(1, ascent + descent)), 1L, MaxEmHeight));
    } else {
        m_emHeight = DefaultEmHeight;
    }
    m_realFace.clear();
    PangoFont* font = nullptr;
    loadMetrics(m_emHeight, m_ascent, m_descent, &font);
    m_description = describe(logFont, m_emHeight);

    measurePrintableAscii(font);
    m_font = font;
    long weighted = 0;
    for (auto [letter, weight] : AverageWidthWeights)
        weighted += long(charWidth(letter)) * weight;
    m_aveCharWidth = static_cast<int>((weighted + 500) / 1000);
    for (wchar_t c = 0x20; c < 0x7F; ++c)
        m_maxCharWidth = std::max(m_maxCharWidth, charWidth(c));
    m_fixedPitch = charWidth(L'i') == charWidth(L'W');
}

RealizedFont::~RealizedFont()
{
    if (m_description)
        pango_font_description_free(m_description);
    if (m_font)
        g_object_unref(m_font);
    g_object_unref(m_context);
}

std::wstring RealizedFont::faceName() const { return m_realFace; }

TEXTMETRICW RealizedFont::textMetrics() const
{
    TEXTMETRICW tm {};
    tm.tmHeight = height();
    tm.tmAscent = m_ascent;
    tm.tmDescent = m_descent;
    tm.tmInternalLeading = std::max(0, height() - m_emHeight);
    tm.tmExternalLeading = 0;
    tm.tmAveCharWidth = m_aveCharWidth;
    tm.tmMaxCharWidth = m_maxCharWidth;
    tm.tmWeight = m_logFont.lfWeight <= 0 ? FW_NORMAL : m_logFont.lfWeight;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = m_logFont.lfItalic ? 0xFF : 0;
    tm.tmUnderlined = m_logFont.lfUnderline ? 0xFF : 0;
    tm.tmStruckOut = m_logFont.lfStrikeOut ? 0xFF : 0;
    // The fixed-pitch bit is set for variable-pitch fonts, as the interface defines it.
    tm.tmPitchAndFamily = static_cast<BYTE>((m_fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE
        | (m_logFont.lfPitchAndFamily & 0xF0));
    tm.tmCharSet = m_logFont.lfCharSet;
    return tm;
}

int RealizedFont::charWidth(wchar_t c) const
{
    if (static_cast<uint32_t>(c) < 0x20) // control characters (tabs, line ends) take no room
        return 0;
    auto code = static_cast<uint32_t>(c);
    if (code < 256 && m_latinWidths[code] >= 0)
        return m_latinWidths[code];
    if (code >= 256)
        if (auto it = m_otherWidths.find(c); it != m_otherWidths.end())
            return it->second;
    FontSystem& fonts = FontSystem::instance();
    std::lock_guard lock(fonts.mutex());
    PangoLayout* layout = createLayout(std::wstring_view(&c, 1));
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    int width = PANGO_PIXELS(logical.width);
    if (code < 256)
        m_latinWidths[code] = width;
    else
        m_otherWidths.emplace(c, width);
    return width;
}

void RealizedFont::measurePrintableAscii(PangoFont* font)
{
    constexpr wchar_t First = 0x20, Last = 0x7E;
    constexpr unsigned Count = Last - First + 1;
    // The font's own advances are those a layout gives, rounded the same way, as long as the font
    // has every character; otherwise a layout finds the fallback fonts.
    if (font) {
        hb_font_t* shaper = pango_font_get_hb_font(font);
        std::array<hb_codepoint_t, Count> characters, glyphs;
        std::iota(characters.begin(), characters.end(), First);
        constexpr unsigned Stride = sizeof(hb_codepoint_t);
        if (hb_font_get_nominal_glyphs(shaper, Count, characters.data(), Stride, glyphs.data(), Stride) == Count) {
            std::array<hb_position_t, Count> advances;
            hb_font_get_glyph_h_advances(shaper, Count, glyphs.data(), Stride, advances.data(), sizeof(hb_position_t));
            for (unsigned i = 0; i < Count; ++i)
                m_latinWidths[First + i] = PANGO_PIXELS(advances[i]);
            std::copy(glyphs.begin(), glyphs.end(), m_printableGlyphs.begin());
            m_hasPrintableGlyphs = true;
            return;
        }
    }
    std::wstring printable;
    for (wchar_t c = First; c <= Last; ++c)
        printable += c;
    FontSystem& fonts = FontSystem::instance();
    std::lock_guard lock(fonts.mutex());
    PangoLayout* layout = createLayout(printable);
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    // One byte per character in UTF-8, so a character's index is its offset from the first.
    do {
        PangoRectangle logical;
        pango_layout_iter_get_char_extents(iter, &logical);
        int index = pango_layout_iter_get_index(iter);
        if (index >= 0 && index <= Last - First)
            m_latinWidths[First + index] = PANGO_PIXELS(logical.width);
    } while (pango_layout_iter_next_char(iter));
    pango_layout_iter_free(iter);
    g_object_unref(layout);
}

PangoLayout* RealizedFont::createLayout(std::wstring_view text) const
{
    PangoLayout* layout = pango_layout_new(m_context);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    pango_layout_set_font_description(layout, m_description ? m_description : nullptr);
    std::wstring shown(text);
    for (wchar_t& c : shown)
        if (static_cast<uint32_t>(c) < 0x20)
            c = 0x200B; // zero width, one character for one, so indices stay
    std::string utf8 = toUtf8(shown);
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));

    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_font_features_new("kern 0, liga 0, clig 0"));
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
    return layout;
}

bool RealizedFont::showPrintableAscii(cairo_t* cr, std::wstring_view text, double x, double baseline) const
{
    if (!m_hasPrintableGlyphs)
        return false;
    std::vector<cairo_glyph_t> glyphs;
    glyphs.reserve(text.size());
    // Kerning and ligatures are off in every layout, so a glyph's place is the advances before it.
    for (wchar_t c : text) {
        if (c < 0x20 || c > 0x7E)
            return false;
        glyphs.push_back(cairo_glyph_t { m_printableGlyphs[c - 0x20], x, baseline });
        x += m_latinWidths[c];
    }
    cairo_set_scaled_font(cr, pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(m_font)));
    cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    return true;
}

// ---- FontSystem

FontSystem& FontSystem::instance()
{
    static FontSystem* fonts = new FontSystem; // kept to the end: fonts may be used from static destructors
    return *fonts;
}

FontSystem::FontSystem()
{
    FcConfig* config = FcConfigCreate();
    // An absolute path: a relative one would be looked up among the system's files. A file whose
    // folders hold no fonts is as good as none.
    auto hasFonts = [config] {
        FcFontSet* fonts = FcConfigGetFonts(config, FcSetSystem);
        return fonts && fonts->nfont > 0;
    };
    bool loaded = FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(FLN_FONTS_CONF), FcTrue) && FcConfigBuildFonts(config) && hasFonts();
    // The font map starts a thread that loads fontconfig's current configuration; made ours
    // first, it spares the loading of the system's one, which would go unused.
    if (loaded)
        FcConfigSetCurrent(config);
    m_fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
    if (loaded)
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(m_fontMap), config);
    else
        std::fprintf(stderr, "Formulon: cannot load the font configuration %s; using the system's fonts\n", FLN_FONTS_CONF);
    FcConfigDestroy(config); // the font map holds its own reference
}

Smoothing FontSystem::smoothingFor(const LOGFONTW& logFont) const
{
    bool subpixels = m_rendering.subpixels != SubpixelOrder::None;
    switch (logFont.lfQuality) {
    case NONANTIALIASED_QUALITY: return Smoothing::Monochrome;
    case ANTIALIASED_QUALITY: return Smoothing::Grey;
    case CLEARTYPE_QUALITY: return subpixels ? Smoothing::Subpixel : Smoothing::Grey;
    default: return !m_rendering.antialias ? Smoothing::Monochrome : subpixels ? Smoothing::Subpixel : Smoothing::Grey;
    }
}

PangoContext* FontSystem::context(Smoothing smoothing)
{
    PangoContext*& context = m_contexts[static_cast<int>(smoothing)];
    if (context)
        return context;
    context = pango_font_map_create_context(m_fontMap);
    cairo_font_options_t* options = cairo_font_options_create();
    static constexpr cairo_antialias_t Antialias[] = { CAIRO_ANTIALIAS_NONE, CAIRO_ANTIALIAS_GRAY, CAIRO_ANTIALIAS_SUBPIXEL };
    cairo_font_options_set_antialias(options, Antialias[static_cast<int>(smoothing)]);
    static constexpr cairo_subpixel_order_t Orders[] = { CAIRO_SUBPIXEL_ORDER_DEFAULT, CAIRO_SUBPIXEL_ORDER_RGB,
        CAIRO_SUBPIXEL_ORDER_BGR, CAIRO_SUBPIXEL_ORDER_VRGB, CAIRO_SUBPIXEL_ORDER_VBGR };
    if (smoothing == Smoothing::Subpixel)
        cairo_font_options_set_subpixel_order(options, Orders[static_cast<int>(m_rendering.subpixels)]);
    static constexpr cairo_hint_style_t Hints[] = { CAIRO_HINT_STYLE_NONE, CAIRO_HINT_STYLE_SLIGHT, CAIRO_HINT_STYLE_MEDIUM,
        CAIRO_HINT_STYLE_FULL };
    cairo_font_options_set_hint_style(options, Hints[static_cast<int>(m_rendering.hinting)]);
    // Whole-pixel advances whatever the hinting: a text's width stays the sum of its characters'.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    // Font heights arrive in device pixels already; the resolution only has to be fixed.
    pango_cairo_context_set_resolution(context, 96);
    pango_context_set_round_glyph_positions(context, TRUE);
    pango_context_set_language(context, pango_language_from_string("en"));
    return context;
}

FontRendering FontSystem::rendering()
{
    std::lock_guard lock(m_mutex);
    return m_rendering;
}

void FontSystem::setRendering(const FontRendering& rendering)
{
    std::lock_guard lock(m_mutex);
    if (rendering == m_rendering)
        return;
    m_rendering = rendering;
    for (PangoContext*& context : m_contexts)
        if (context)
            g_object_unref(std::exchange(context, nullptr));
    m_cache.clear();
}

size_t FontSystem::CacheKeyHash::operator()(const CacheKey& key) const
{
    size_t hash = std::hash<std::wstring>()(key.face);
    for (size_t part : { size_t(key.height), size_t(key.weight), size_t(key.styles), size_t(key.smoothing) })
        hash = hash * 31 + part;
    return hash;
}

std::shared_ptr<RealizedFont> FontSystem::realize(const LOGFONTW& logFont, LONG deviceHeight)
{
    std::lock_guard lock(m_mutex);
    Smoothing smoothing = smoothingFor(logFont);
    unsigned styles = (logFont.lfItalic ? 1u : 0u) | (logFont.lfUnderline ? 2u : 0u) | (logFont.lfStrikeOut ? 4u : 0u);
    CacheKey key { faceOf(logFont), deviceHeight, logFont.lfWeight, styles, smoothing };
    if (auto it = m_cache.find(key); it != m_cache.end())
        return it->second;
    LOGFONTW adjusted = logFont;
    adjusted.lfHeight = deviceHeight;
    auto font = std::make_shared<RealizedFont>(adjusted, deviceHeight, context(smoothing), smoothing);
    m_cache.emplace(std::move(key), font);
    return font;
}

void SetFontRendering(const FontRendering& rendering)
{
    FontRendering kept = rendering;
    kept.dpi = std::clamp(kept.dpi, 48, 480);
    FontSystem::instance().setRendering(kept);
    rescaleStockFonts();
}

FontRendering CurrentFontRendering() { return FontSystem::instance().rendering(); }

} // namespace fln::gdi

#if defined(__SANITIZE_ADDRESS__)
#    define FLN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#    if __has_feature(address_sanitizer)
#        define FLN_ADDRESS_SANITIZER 1
#    endif
#endif
#if defined(FLN_ADDRESS_SANITIZER)
// pango keeps fontconfig patterns in caches it never frees; the leak checker reports them at exit
// with stacks that end inside the library. They are not ours to free. Likewise, now and then a
// scaled font that pango makes while shaping (a glyph table of a few hundred bytes) loses its last
// reference inside the libraries; this code never makes a scaled font itself, so a leak through
// cairo_scaled_font_create is never one of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:cairo_scaled_font_create\n";
}
#endif
