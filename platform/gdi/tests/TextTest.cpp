#include "Canvas.h"
#include "platform/gdi/FontSystem.h"

#include <pango/pangocairo.h>

#include <cstring>
#include <numeric>

namespace {

HFONT makeFont(int height, const wchar_t* face, int weight = FW_NORMAL, bool italic = false)
{
    return CreateFontW(height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

// A canvas with a font selected for its lifetime.
struct TextCanvas : TestCanvas {
    TextCanvas(int width, int height, HFONT font)
        : TestCanvas(width, height)
        , font(font)
        , previousFont(SelectObject(dc, font))
    {
    }
    ~TextCanvas()
    {
        SelectObject(dc, previousFont);
        DeleteObject(font);
    }
    HFONT font;
    HGDIOBJ previousFont;
};

// Realises every face, size, weight and slant the program's windows can ask for, in each of the
// renderings, and hands each font to `check` with a description for its messages.
template<typename Check>
void ForEachFontVariant(std::initializer_list<fln::gdi::FontRendering> renderings, Check&& check)
{
    const wchar_t* faces[] = { L"MS Sans Serif", L"Tahoma", L"Times Roman", L"Arial Narrow", L"Courier New", L"Verdana" };
    for (const fln::gdi::FontRendering& rendering : renderings) {
        ScopedFontRendering settings(rendering);
        for (const wchar_t* face : faces)
            for (int height : { -8, -11, -13, -16, -21, -32, 15, 16 })
                for (int weight : { FW_NORMAL, FW_SEMIBOLD, FW_BOLD })
                    for (bool italic : { false, true }) {
                        LOGFONTW lf {};
                        lf.lfWeight = weight;
                        lf.lfItalic = italic;
                        std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
                        auto font = fln::gdi::FontSystem::instance().realize(lf, height);
                        std::string description = fln::gdi::toUtf8(face) + " " + std::to_string(height) + " " + std::to_string(weight)
                            + (italic ? " italic" : "") + (rendering.antialias ? " smoothed" : "");
                        std::lock_guard lock(fln::gdi::FontSystem::instance().mutex());
                        check(*font, description);
                        if (::testing::Test::HasFatalFailure())
                            return;
                    }
    }
}

std::wstring PrintableAscii()
{
    std::wstring printable(0x7F - 0x20, L' ');
    std::iota(printable.begin(), printable.end(), L' ');
    return printable;
}

int widthOf(HDC dc, const wchar_t* text)
{
    SIZE size {};
    GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &size);
    return size.cx;
}

} // namespace

TEST(Fonts, DialogFontMetrics)
{
    TextCanvas canvas(10, 10, makeFont(-11, L"MS Sans Serif"));
    TEXTMETRICW tm {};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
    EXPECT_EQ(tm.tmAscent, 10);
    EXPECT_EQ(tm.tmDescent, 3);
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_EQ(tm.tmAveCharWidth, 5);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH); // set for a variable pitch
    wchar_t face[LF_FACESIZE] {};
    GetTextFaceW(canvas.dc, LF_FACESIZE, face);
    EXPECT_STREQ(face, L"DejaVu Sans") << "the face whose letters measure as the dialog font's at this size";
}

TEST(Fonts, FaceNamesMapToTheProgramsFonts)
{
    struct Case {
        const wchar_t* face;
        const wchar_t* real;
    } cases[] = { { L"Courier New", L"Liberation Mono" }, { L"Times New Roman", L"Liberation Serif" }, { L"Tahoma", L"DejaVu Sans" },
        { L"Arial", L"Liberation Sans" }, { L"No Such Face", L"Liberation Sans" } };
    for (const Case& c : cases) {
        TextCanvas canvas(4, 4, makeFont(-12, c.face));
        wchar_t face[LF_FACESIZE] {};
        GetTextFaceW(canvas.dc, LF_FACESIZE, face);
        EXPECT_STREQ(face, c.real) << c.face;
    }
    // Tahoma takes the condensed cut, Verdana the normal one.
    TextCanvas tahoma(4, 4, makeFont(-12, L"Tahoma"));
    TextCanvas verdana(4, 4, makeFont(-12, L"Verdana"));
    EXPECT_LT(widthOf(tahoma.dc, L"Formulon"), widthOf(verdana.dc, L"Formulon"));
    // Courier New is fixed pitch.
    TextCanvas mono(4, 4, makeFont(-12, L"Courier New"));
    EXPECT_EQ(widthOf(mono.dc, L"iiii"), widthOf(mono.dc, L"WWWW"));
}

TEST(Fonts, PositiveHeightIsTheCellHeight)
{
    TextCanvas canvas(4, 4, makeFont(20, L"Arial"));
    TEXTMETRICW tm {};
    GetTextMetricsW(canvas.dc, &tm);
    EXPECT_NEAR(tm.tmHeight, 20, 1);
    EXPECT_GT(tm.tmInternalLeading, 0);
}

TEST(Fonts, BoldIsWiderAndLogFontRoundTrips)
{
    HFONT font = makeFont(-13, L"Arial", FW_BOLD, true);
    LOGFONTW lf {};
    ASSERT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    TextCanvas bold(4, 4, font);
    TextCanvas normal(4, 4, makeFont(-13, L"Arial"));
    EXPECT_GT(widthOf(bold.dc, L"Formulon"), widthOf(normal.dc, L"Formulon"));
}

// A font's ASCII advances come from the font itself; laid out, each character must take the same room.
TEST(Fonts, AdvancesAreThoseOfALayout)
{
    using fln::gdi::HintStyle;
    const std::wstring printable = PrintableAscii();
    ForEachFontVariant({ {}, { true, HintStyle::Slight, fln::gdi::SubpixelOrder::None } }, [&](const fln::gdi::RealizedFont& font, const std::string& description) {
        PangoLayout* layout = font.createLayout(printable);
        PangoLayoutIter* iter = pango_layout_get_iter(layout);
        do {
            PangoRectangle logical;
            pango_layout_iter_get_char_extents(iter, &logical);
            wchar_t c = printable.at(static_cast<size_t>(pango_layout_iter_get_index(iter)));
            ASSERT_EQ(font.charWidth(c), PANGO_PIXELS(logical.width)) << "'" << char(c) << "' of " << description;
        } while (pango_layout_iter_next_char(iter));
        pango_layout_iter_free(iter);
        g_object_unref(layout);
    });
}

// Printable ASCII skips the layout: its glyphs must land exactly where a layout puts them, in
// every face, size, weight, slant and smoothing the program can ask for.
TEST(Fonts, PrintableTextIsDrawnAsItsLayoutWould)
{
    using fln::gdi::HintStyle;
    using fln::gdi::SubpixelOrder;
    const std::wstring texts[] = { PrintableAscii(), L"AVAST ffi fl Te.Yo LT 1/7 = 0.142857142857", L"x" };
    auto draw = [](const std::wstring& text, auto&& show) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1400, 60);
        cairo_t* cr = cairo_create(surface);
        cairo_move_to(cr, 3, 40);
        show(cr, text);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        std::vector<unsigned char> pixels(data, data + cairo_image_surface_get_stride(surface) * cairo_image_surface_get_height(surface));
        cairo_surface_destroy(surface);
        return pixels;
    };
    ForEachFontVariant({ {}, { true, HintStyle::Slight, SubpixelOrder::None }, { true, HintStyle::Full, SubpixelOrder::Rgb } },
        [&](const fln::gdi::RealizedFont& font, const std::string& description) {
            for (const std::wstring& text : texts) {
                auto laidOut = draw(text, [&](cairo_t* cr, const std::wstring& shown) {
                    PangoLayout* layout = font.createLayout(shown);
                    pango_cairo_show_layout_line(cr, pango_layout_get_line_readonly(layout, 0));
                    g_object_unref(layout);
                });
                auto direct = draw(text, [&](cairo_t* cr, const std::wstring& shown) {
                    EXPECT_TRUE(font.showPrintableAscii(cr, shown, 3, 40));
                });
                ASSERT_TRUE(laidOut == direct) << fln::gdi::toUtf8(text) << " in " << description;
            }
        });
}

TEST(Fonts, TextBeyondPrintableAsciiIsLeftToALayout)
{
    auto font = fln::gdi::FontSystem::instance().realize(LOGFONTW { .lfFaceName = L"MS Sans Serif" }, -11);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 20);
    cairo_t* cr = cairo_create(surface);
    std::lock_guard lock(fln::gdi::FontSystem::instance().mutex());
    for (const wchar_t* text : { L"2\u00B2", L"a\tb", L"\u03C0r" })
        EXPECT_FALSE(font->showPrintableAscii(cr, text, 0, 15));
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

TEST(TextMeasuring, ExtentIsTheSumOfCharacterWidths)
{
    TextCanvas canvas(4, 4, makeFont(-11, L"MS Sans Serif"));
    const wchar_t* text = L"Sin(x) = 0.5";
    int widths[256] {};
    ASSERT_TRUE(GetCharWidthW(canvas.dc, 0, 255, widths));
    int sum = 0;
    for (const wchar_t* p = text; *p; ++p)
        sum += widths[*p];
    SIZE size {};
    GetTextExtentPoint32W(canvas.dc, text, static_cast<int>(std::wcslen(text)), &size);
    EXPECT_EQ(size.cx, sum);
    EXPECT_EQ(size.cy, 13);
    GetTextExtentPoint32W(canvas.dc, L"", 0, &size);
    EXPECT_EQ(size.cx, 0);
    // Control characters take no room when measured as plain text.
    GetTextExtentPoint32W(canvas.dc, L"a\tb", 3, &size);
    EXPECT_EQ(size.cx, widths[L'a'] + widths[L'b']);
    EXPECT_FALSE(GetTextExtentPoint32W(canvas.dc, nullptr, 3, &size));

    int fit = 0;
    int partial[4] {};
    GetTextExtentExPointW(canvas.dc, L"WWWW", 4, widths[L'W'] * 2 + 1, &fit, partial, &size);
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(partial[3], 4 * widths[L'W']);
}

TEST(TextMeasuring, JustificationSpreadsOverSpaces)
{
    TextCanvas canvas(4, 4, makeFont(-11, L"MS Sans Serif"));
    int plain = widthOf(canvas.dc, L"a b c");
    SetTextJustification(canvas.dc, 7, 2);
    EXPECT_EQ(widthOf(canvas.dc, L"a b c"), plain + 7);
    SetTextJustification(canvas.dc, 0, 0);
    EXPECT_EQ(widthOf(canvas.dc, L"a b c"), plain);
}

TEST(TextOutput, TextSitsInItsCellAndHonoursAlignment)
{
    TextCanvas canvas(120, 40, makeFont(-11, L"MS Sans Serif"));
    SetBkMode(canvas.dc, TRANSPARENT);
    int width = widthOf(canvas.dc, L"HHH");
    TextOutW(canvas.dc, 10, 5, L"HHH", 3);
    CRect ink = canvas.inkBounds(120, 40);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 10 + width);
    EXPECT_GE(ink.top, 5 + 2); // below the internal leading
    EXPECT_EQ(ink.bottom, 5 + 10); // 'H' stands on the baseline

    // Right and baseline alignment put the text's right end and baseline at the point.
    RECT all { 0, 0, 120, 40 };
    FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextAlign(canvas.dc, TA_RIGHT | TA_BASELINE);
    TextOutW(canvas.dc, 100, 30, L"HHH", 3);
    ink = canvas.inkBounds(120, 40);
    EXPECT_LE(ink.right, 100);
    EXPECT_GE(ink.left, 100 - width);
    EXPECT_EQ(ink.bottom, 30);
}

TEST(TextOutput, OpaqueModeFillsTheCell)
{
    TextCanvas canvas(60, 20, makeFont(-11, L"MS Sans Serif"));
    SetBkColor(canvas.dc, RGB(0, 0, 255));
    TextOutW(canvas.dc, 5, 3, L"ab", 2);
    int width = widthOf(canvas.dc, L"ab");
    EXPECT_EQ(canvas.at(5, 3), RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(5 + width - 1, 3 + 12), RGB(0, 0, 255));
    EXPECT_TRUE(canvas.isWhite(5 + width, 3));
    EXPECT_TRUE(canvas.isWhite(5, 3 + 13));
}

TEST(TextOutput, EscapementTurnsTheText)
{
    HFONT font = CreateFontW(-11, 0, 900, 900, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"MS Sans Serif");
    TextCanvas canvas(40, 80, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    TextOutW(canvas.dc, 10, 70, L"HHHHHH", 6);
    CRect ink = canvas.inkBounds(40, 80);
    EXPECT_GT(ink.Height(), ink.Width()); // runs upwards
    EXPECT_LE(ink.bottom, 70);
    EXPECT_GE(ink.left, 10);
}

TEST(TextOutput, TabbedTextGoesToTheStops)
{
    TextCanvas canvas(200, 20, makeFont(-11, L"MS Sans Serif"));
    int stops[] = { 50 };
    LONG extent = TabbedTextOutW(canvas.dc, 0, 0, L"a\tb", 3, 1, stops, 0);
    EXPECT_EQ(LOWORD(extent), 50 + widthOf(canvas.dc, L"b"));
    EXPECT_EQ(HIWORD(extent), 13);
    DWORD measured = GetTabbedTextExtentW(canvas.dc, L"a\tb\tc", 5, 1, stops);
    EXPECT_EQ(LOWORD(measured), 100 + widthOf(canvas.dc, L"c"));
    // Without stops a tab is eight average characters.
    measured = GetTabbedTextExtentW(canvas.dc, L"\tx", 2, 0, nullptr);
    EXPECT_EQ(LOWORD(measured), 8 * 5 + widthOf(canvas.dc, L"x"));
}

TEST(DrawText, CalcRectOfOneLine)
{
    TextCanvas canvas(4, 4, makeFont(-11, L"MS Sans Serif"));
    RECT r { 10, 20, 10, 20 };
    int height = DrawTextW(canvas.dc, L"Degrees", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(height, 13);
    EXPECT_EQ(CRect(r), CRect(10, 20, 10 + widthOf(canvas.dc, L"Degrees"), 33));
    // The prefix character takes no room.
    RECT p { 0, 0, 0, 0 };
    DrawTextW(canvas.dc, L"&Degrees", -1, &p, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(p.right, widthOf(canvas.dc, L"Degrees"));
    DrawTextW(canvas.dc, L"&Degrees", -1, &p, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(p.right, widthOf(canvas.dc, L"&Degrees"));
}

TEST(DrawText, WordBreakWrapsAtBlanksAndCalcRectBoundsTheLines)
{
    TextCanvas canvas(4, 4, makeFont(-11, L"MS Sans Serif"));
    int lineWidth = std::max(widthOf(canvas.dc, L"alpha beta"), widthOf(canvas.dc, L"gamma delta"));
    RECT r { 0, 0, lineWidth, 0 };
    EXPECT_EQ(DrawTextW(canvas.dc, L"alpha beta gamma delta", -1, &r, DT_CALCRECT | DT_WORDBREAK), 26);
    EXPECT_EQ(r.right, lineWidth);
    // A wider rectangle shrinks to the longest line.
    RECT wider { 0, 0, lineWidth + widthOf(canvas.dc, L"ga"), 0 };
    DrawTextW(canvas.dc, L"alpha beta gamma delta", -1, &wider, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(wider.right, lineWidth);
    // Lines and explicit breaks.
    RECT wide { 0, 0, 1000, 0 };
    EXPECT_EQ(DrawTextW(canvas.dc, L"one\r\ntwo\nthree", -1, &wide, DT_CALCRECT), 39);
    EXPECT_EQ(wide.right, widthOf(canvas.dc, L"three"));
    // A word wider than the rectangle stays whole and widens the calculated rectangle.
    RECT narrow { 0, 0, 10, 0 };
    EXPECT_EQ(DrawTextW(canvas.dc, L"Hyperbolic", -1, &narrow, DT_CALCRECT | DT_WORDBREAK), 13);
    EXPECT_EQ(narrow.right, widthOf(canvas.dc, L"Hyperbolic"));
}

TEST(DrawText, WordBreakLineCount)
{
    TextCanvas canvas(4, 4, makeFont(-11, L"MS Sans Serif"));
    struct Case {
        const wchar_t* text;
        const wchar_t* widthOfLongestLine;
        int lines;
    } cases[] = {
        { L"aaa bbb ccc", L"aaa bbb", 2 },
        { L"aaa bbb ccc", L"aaa bbb ccc", 1 },
        { L"aaa    bbb", L"aaa", 2 }, // blanks at the break vanish
        { L"aaa bbb ccc", L"aaa", 3 },
    };
    for (const Case& c : cases) {
        RECT r { 0, 0, widthOf(canvas.dc, c.widthOfLongestLine), 0 };
        EXPECT_EQ(DrawTextW(canvas.dc, c.text, -1, &r, DT_CALCRECT | DT_WORDBREAK), 13 * c.lines) << c.text;
    }
}

TEST(DrawText, EllipsisShortensToTheRectangle)
{
    TextCanvas canvas(200, 20, makeFont(-11, L"MS Sans Serif"));
    SetBkMode(canvas.dc, TRANSPARENT);
    wchar_t text[64] = L"Hyperbolic cosine of x";
    int limit = widthOf(canvas.dc, L"Hyperbolic co");
    RECT r { 0, 0, limit, 16 };
    DrawTextExW(canvas.dc, text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    EXPECT_EQ(std::wstring(text).substr(std::wcslen(text) - 3), L"...");
    EXPECT_LE(widthOf(canvas.dc, text), limit);
    EXPECT_EQ(std::wstring(text).rfind(L"Hyperbolic", 0), 0u);
    CRect ink = canvas.inkBounds(200, 20);
    EXPECT_LE(ink.right, limit);

    wchar_t path[64] = L"C:\\Formulas\\Physics\\constants.txt";
    int pathLimit = widthOf(canvas.dc, L"C:\\Form...\\constants.txt");
    RECT p { 0, 0, pathLimit, 16 };
    DrawTextExW(canvas.dc, path, -1, &p, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT, nullptr);
    std::wstring shortened = path;
    EXPECT_NE(shortened.find(L"...\\constants.txt"), std::wstring::npos) << shortened;
    EXPECT_EQ(shortened.rfind(L"C:\\", 0), 0u);
}

TEST(DrawText, AlignmentInTheRectangle)
{
    TextCanvas canvas(100, 40, makeFont(-11, L"MS Sans Serif"));
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT r { 0, 0, 100, 40 };
    int offset = DrawTextW(canvas.dc, L"HH", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    int width = widthOf(canvas.dc, L"HH");
    CRect ink = canvas.inkBounds(100, 40);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 50, 2);
    EXPECT_GE(ink.left, (100 - width) / 2);
    EXPECT_EQ(offset, (40 - 13) / 2 + 13);
    RECT all { 0, 0, 100, 40 };
    FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTextW(canvas.dc, L"HH", -1, &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    ink = canvas.inkBounds(100, 40);
    EXPECT_LE(ink.right, 100);
    EXPECT_GE(ink.left, 100 - width);
    EXPECT_EQ(ink.bottom, 40 - 3);
}

TEST(DrawText, PrefixUnderlinesTheMnemonicWithOneRow)
{
    TextCanvas canvas(60, 20, makeFont(-11, L"MS Sans Serif"));
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT r { 0, 0, 60, 20 };
    DrawTextW(canvas.dc, L"H&ex", -1, &r, DT_SINGLELINE);
    int h = widthOf(canvas.dc, L"H"), e = widthOf(canvas.dc, L"e");
    TEXTMETRICW tm {};
    GetTextMetricsW(canvas.dc, &tm);
    // One whole row, a blank row below the baseline, under 'e' alone.
    auto rowInk = [&](int y, int from, int to) {
        int ink = 0;
        for (int x = from; x < to; ++x)
            ink += canvas.isBlack(x, y);
        return ink;
    };
    EXPECT_EQ(rowInk(tm.tmAscent + 1, h, h + e), e);
    EXPECT_EQ(rowInk(tm.tmAscent + 1, 0, h) + rowInk(tm.tmAscent + 1, h + e, 60), 0);
    EXPECT_EQ(rowInk(tm.tmAscent, h, h + e), 0);
    EXPECT_EQ(rowInk(tm.tmAscent + 2, h, h + e), 0);
    // "&&" is one ampersand.
    RECT calc { 0, 0, 0, 0 };
    DrawTextW(canvas.dc, L"A&&B", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right, widthOf(canvas.dc, L"A&B"));
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip)
{
    TextCanvas canvas(100, 20, makeFont(-11, L"MS Sans Serif"));
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT r { 0, 0, 12, 20 };
    DrawTextW(canvas.dc, L"WWWWWW", -1, &r, DT_SINGLELINE);
    EXPECT_LE(canvas.inkBounds(100, 20).right, 12);
    DrawTextW(canvas.dc, L"WWWWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(canvas.inkBounds(100, 20).right, 12);
}

TEST(TextOutput, UnderlineAndAliasedQuality)
{
    auto inkRows = [](HFONT font) {
        TextCanvas canvas(40, 20, font);
        SetBkMode(canvas.dc, TRANSPARENT);
        TextOutW(canvas.dc, 2, 2, L"oo", 2);
        return canvas.inkBounds(40, 20);
    };
    CRect plain = inkRows(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
    CRect underlined = inkRows(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, TRUE, 0, 0, 0, 0, 0, 0, L"Arial"));
    EXPECT_GT(underlined.bottom, plain.bottom); // below the baseline
    EXPECT_LE(underlined.bottom, 2 + 13);

    TextCanvas aliased(40, 20, CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, L"Arial"));
    SetBkMode(aliased.dc, TRANSPARENT);
    TextOutW(aliased.dc, 2, 2, L"Wo", 2);
    int grey = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            grey += !aliased.isWhite(x, y) && !aliased.isBlack(x, y);
    EXPECT_EQ(grey, 0);
}

TEST(TextOutput, TextOnAMonochromeBitmapIsBlackAndWhite)
{
    TestCanvas mono(40, 16, 1);
    HFONT font = makeFont(-11, L"MS Sans Serif");
    HGDIOBJ old = SelectObject(mono.dc, font);
    SetBkMode(mono.dc, TRANSPARENT);
    TextOutW(mono.dc, 2, 1, L"Wave", 4);
    int black = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 40; ++x) {
            EXPECT_TRUE(mono.isBlack(x, y) || mono.isWhite(x, y));
            black += mono.isBlack(x, y);
        }
    EXPECT_GT(black, 10);
    SelectObject(mono.dc, old);
    DeleteObject(font);
}

TEST(DrawText, ExMarginsAndLengthDrawn)
{
    TextCanvas canvas(4, 4, makeFont(-11, L"MS Sans Serif"));
    wchar_t text[] = L"Degrees";
    DRAWTEXTPARAMS params { sizeof(DRAWTEXTPARAMS), 0, 4, 6, 0 };
    RECT r { 10, 0, 10, 0 };
    DrawTextExW(canvas.dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE, &params);
    EXPECT_EQ(r.right, 10 + 4 + widthOf(canvas.dc, L"Degrees") + 6);
    EXPECT_EQ(params.uiLengthDrawn, 7u);
    DRAWTEXTPARAMS wrong { 3, 0, 0, 0, 0 };
    EXPECT_EQ(DrawTextExW(canvas.dc, text, -1, &r, DT_SINGLELINE, &wrong), 0);
}

TEST(TextOutput, ExtTextOutPlacesCharactersAtTheGivenAdvancesAndClips)
{
    TextCanvas canvas(80, 20, makeFont(-11, L"MS Sans Serif"));
    SetBkMode(canvas.dc, TRANSPARENT);
    INT advances[] = { 30, 30 };
    ExtTextOutW(canvas.dc, 0, 0, 0, nullptr, L"II", 2, advances);
    bool first = false, second = false;
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 20; ++y) {
            if (canvas.isWhite(x, y))
                continue;
            EXPECT_TRUE(x < 5 || (x >= 30 && x < 35)) << x;
            (x < 30 ? first : second) = true;
        }
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
    // ETO_OPAQUE fills the rectangle; ETO_CLIPPED keeps the text inside it.
    RECT box { 40, 2, 50, 14 };
    SetBkColor(canvas.dc, RGB(0, 0, 255));
    ExtTextOutW(canvas.dc, 40, 2, ETO_OPAQUE | ETO_CLIPPED, &box, L"WWWW", 4, nullptr);
    EXPECT_EQ(canvas.at(40, 2), RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(49, 13), RGB(0, 0, 255));
    for (int y = 0; y < 20; ++y)
        for (int x = 50; x < 80; ++x)
            EXPECT_TRUE(canvas.isWhite(x, y)) << x << "," << y;
}

namespace {

// The distinct kinds of pixel a text leaves on white: black, grey (equal channels) and coloured.
struct InkKinds {
    int black = 0, grey = 0, coloured = 0;
};

InkKinds inkKinds(const TestCanvas& canvas, int width, int height)
{
    InkKinds kinds;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = canvas.at(x, y);
            if (canvas.isBlack(x, y))
                ++kinds.black;
            else if (canvas.isWhite(x, y))
                continue;
            else if (GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c))
                ++kinds.grey;
            else
                ++kinds.coloured;
        }
    return kinds;
}

} // namespace

TEST(TextRendering, TheClassicDefaultIsCrispWithOnePixelStems)
{
    ASSERT_EQ(fln::gdi::CurrentFontRendering(), fln::gdi::FontRendering {});
    TextCanvas canvas(40, 16, makeFont(-11, L"MS Sans Serif"));
    SetBkMode(canvas.dc, TRANSPARENT);
    TextOutW(canvas.dc, 0, 0, L"Hill", 4);
    InkKinds kinds = inkKinds(canvas, 40, 16);
    EXPECT_GT(kinds.black, 20);
    EXPECT_EQ(kinds.grey + kinds.coloured, 0);
    // Every stem of these letters is one pixel wide: apart from the H's bar, no run of ink in a
    // row is longer than one pixel.
    int longRuns = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 1; x < 40; ++x)
            longRuns += canvas.isBlack(x - 1, y) && canvas.isBlack(x, y);
    EXPECT_LE(longRuns, widthOf(canvas.dc, L"H"));
}

TEST(TextRendering, SettingsChooseTheSmoothingAndKeepTheWidths)
{
    using fln::gdi::FontRendering;
    using fln::gdi::HintStyle;
    using fln::gdi::SubpixelOrder;
    struct Case {
        const char* name;
        FontRendering rendering;
        BYTE quality;
        bool grey, coloured;
    };
    const Case cases[] = {
        { "classic", {}, DEFAULT_QUALITY, false, false },
        { "grey", { true, HintStyle::Full, SubpixelOrder::None }, DEFAULT_QUALITY, true, false },
        { "slight hinting", { true, HintStyle::Slight, SubpixelOrder::None }, DEFAULT_QUALITY, true, false },
        { "subpixel", { true, HintStyle::Full, SubpixelOrder::Rgb }, DEFAULT_QUALITY, false, true },
        { "vertical subpixel", { true, HintStyle::Full, SubpixelOrder::VerticalBgr }, DEFAULT_QUALITY, false, true },
        { "the font asks for crisp", { true, HintStyle::Full, SubpixelOrder::Rgb }, NONANTIALIASED_QUALITY, false, false },
        { "the font asks for smooth", {}, ANTIALIASED_QUALITY, true, false },
    };
    TextCanvas reference(80, 16, makeFont(-11, L"Arial"));
    const int width = widthOf(reference.dc, L"Wave Hill");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedFontRendering settings(c.rendering);
        TextCanvas canvas(80, 16, CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, c.quality, 0, L"Arial"));
        SetBkMode(canvas.dc, TRANSPARENT);
        TextOutW(canvas.dc, 2, 1, L"Wave Hill", 9);
        InkKinds kinds = inkKinds(canvas, 80, 16);
        EXPECT_GT(kinds.black + kinds.grey + kinds.coloured, 20);
        EXPECT_EQ(kinds.coloured > 0, c.coloured);
        if (!c.coloured) { // subpixel smoothing leaves grey where all three stripes are half covered
            EXPECT_EQ(kinds.grey > 0, c.grey);
        }
        if (c.rendering.hinting == HintStyle::Full) {
            EXPECT_EQ(widthOf(canvas.dc, L"Wave Hill"), width);
        }
        EXPECT_LE(canvas.inkBounds(80, 16).right, 2 + width + 1);
    }
}

TEST(TextRendering, TheDpiIsKeptWithinReason)
{
    struct Case {
        int asked, kept;
    };
    for (Case c : { Case { 96, 96 }, Case { 192, 192 }, Case { 0, 48 }, Case { -5, 48 }, Case { 100000, 480 } }) {
        ScopedFontRendering settings({ false, fln::gdi::HintStyle::Full, fln::gdi::SubpixelOrder::None, c.asked });
        EXPECT_EQ(fln::gdi::CurrentFontRendering().dpi, c.kept) << c.asked;
    }
    EXPECT_EQ(fln::gdi::CurrentFontRendering().dpi, 96);
}

TEST(TextRendering, TheDpiSetsTheLogicalInchAndTheStockFontSizes)
{
    for (int dpi : { 96, 120, 192 }) {
        SCOPED_TRACE(dpi);
        ScopedFontRendering settings({ false, fln::gdi::HintStyle::Full, fln::gdi::SubpixelOrder::None, dpi });
        TestCanvas canvas(10, 10);
        EXPECT_EQ(GetDeviceCaps(canvas.dc, LOGPIXELSX), dpi);
        EXPECT_EQ(GetDeviceCaps(canvas.dc, LOGPIXELSY), dpi);
        // An inch of the fixed mapping modes is the logical inch.
        SetMapMode(canvas.dc, MM_LOENGLISH);
        POINT inch { 100, -100 };
        LPtoDP(canvas.dc, &inch, 1);
        EXPECT_EQ(inch.x, dpi);
        EXPECT_EQ(inch.y, dpi);
        SetMapMode(canvas.dc, MM_TEXT);
        // The stock interface font is 8 points: 11 pixels at 96 DPI.
        LOGFONTW gui {};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
        EXPECT_EQ(gui.lfHeight, -((11 * dpi + 48) / 96)); // halves round away from zero
        HGDIOBJ old = SelectObject(canvas.dc, GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW tm {};
        GetTextMetricsW(canvas.dc, &tm);
        EXPECT_NEAR(tm.tmHeight, 13.0 * dpi / 96, 1.0);
        SelectObject(canvas.dc, old);
    }
    LOGFONTW gui {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    EXPECT_EQ(gui.lfHeight, -11);
}
