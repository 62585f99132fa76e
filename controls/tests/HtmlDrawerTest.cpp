#include "controls/HtmlDrawer.h"
#include "platform/sys/Shell.h"
#include "platform/user/tests/UserTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>
#include <cstdio>
#include <utility>

namespace {

constexpr COLORREF White = RGB(255, 255, 255);

// A white 32-bit canvas in memory.
class Canvas {
public:
    Canvas(int width, int height)
        : width(width)
        , height(height)
    {
        BITMAPINFO info {};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
        Clear();
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    void Clear()
    {
        RECT all { 0, 0, width, height };
        FillSolidRect(dc, &all, White);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // The bounds of the pixels for which pick is true, empty when none.
    template<typename Pick>
    RECT Bounds(Pick pick, RECT area = { 0, 0, 0, 0 }) const
    {
        if (IsRectEmpty(&area))
            area = { 0, 0, width, height };
        RECT found { INT_MAX, INT_MAX, INT_MIN, INT_MIN };
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (!pick(At(x, y)))
                    continue;
                found = { std::min<LONG>(found.left, x), std::min<LONG>(found.top, y), std::max<LONG>(found.right, x + 1),
                    std::max<LONG>(found.bottom, y + 1) };
            }
        }
        return found.left == INT_MAX ? RECT {} : found;
    }

    int width, height;
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
};

bool Empty(const RECT& r) { return IsRectEmpty(&r); }
bool IsDark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }
// Mostly one primary: text drawn in that colour, antialiased or not.
bool IsReddish(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 110 && GetBValue(c) < 110; }
bool IsBluish(COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 110 && GetGValue(c) < 110; }

class HtmlDrawerTest : public UserTest {
protected:
    SIZE Measure(std::wstring_view text)
    {
        SIZE size {};
        drawer.MeasureText(canvas.dc, text, &size);
        return size;
    }
    SIZE Draw(std::wstring_view text, RECT rect = { 0, 0, 0, 0 })
    {
        SIZE size = Measure(text);
        if (IsRectEmpty(&rect))
            rect = { 0, 0, size.cx, size.cy };
        canvas.Clear();
        drawer.DrawText(canvas.dc, rect);
        return size;
    }

    Canvas canvas { 400, 300 };
    CPPHtmlDrawer drawer;
};

TEST_F(HtmlDrawerTest, EmptyTextMeasuresNothingAndDrawsNothing)
{
    for (const wchar_t* text : { L"", L"<b></b>", L"<unknown>" }) {
        EXPECT_EQ(Draw(text).cx, 0) << text;
        EXPECT_TRUE(Empty(canvas.Bounds([](COLORREF c) { return c != White; }))) << text;
    }
}

TEST_F(HtmlDrawerTest, EachPassLeavesTheDeviceContextAsItFoundIt)
{
    HFONT font = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Serif");
    HGDIOBJ previous = SelectObject(canvas.dc, font);
    SetTextColor(canvas.dc, RGB(1, 2, 3));
    SetBkColor(canvas.dc, RGB(4, 5, 6));
    SetBkMode(canvas.dc, OPAQUE);
    Draw(L"<font color=red bkgnd=blue size=7>styled</font><table border=1><tr><td>cell</td></tr></table>");
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(canvas.dc), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE);
    SelectObject(canvas.dc, previous);
    DeleteObject(font);
}

TEST_F(HtmlDrawerTest, ImageListItemsComeFromTheDrawersList)
{
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    Canvas cell(16, 16);
    RECT all { 0, 0, 16, 16 };
    FillSolidRect(cell.dc, &all, RGB(0, 0, 200));
    SelectObject(cell.dc, cell.old);
    ASSERT_EQ(ImageList_Add(list, cell.bitmap, nullptr), 0);
    SelectObject(cell.dc, cell.bitmap);
    EXPECT_EQ(Draw(L"<ilst index=0>").cx, 0); // no list yet
    drawer.SetImageList(list);
    EXPECT_EQ(Draw(L"<ilst index=0>").cx - 1, 16);
    EXPECT_EQ(canvas.At(8, 8), RGB(0, 0, 200));
    EXPECT_EQ(Draw(L"<ilst index=1>").cx, 0);
    drawer.SetImageList(nullptr);
    ImageList_Destroy(list);
}

TEST_F(HtmlDrawerTest, StylesNestAndUnmatchedClosingTagsAreIgnored)
{
    Draw(L"<font color=red>RRR<font color=blue>BBB</font></b>RRR</font>");
    const int lineHeight = drawer.Lines().at(0).height;
    RECT red = canvas.Bounds(IsReddish), blue = canvas.Bounds(IsBluish);
    ASSERT_FALSE(IsRectEmpty(&red));
    ASSERT_FALSE(IsRectEmpty(&blue));
    // Red before and after the blue run: the closing </b> changed nothing.
    EXPECT_LT(red.left, blue.left);
    EXPECT_GT(red.right, blue.right);
    EXPECT_LE(red.bottom, lineHeight + 1);
}

TEST_F(HtmlDrawerTest, BoldDoublesTheWeightAndItalicToggles)
{
    const int plain = Measure(L"Weight of the words").cx;
    const int bold = Measure(L"<b>Weight of the words</b>").cx;
    const int bolder = Measure(L"<b><b>Weight of the words</b></b>").cx;
    EXPECT_GT(bold, plain);
    EXPECT_GE(bolder, bold);
    // An italic run inside an italic run is upright again: it measures like plain text.
    EXPECT_EQ(Measure(L"<i><i>Upright again</i></i>").cx, Measure(L"Upright again").cx);
}

TEST_F(HtmlDrawerTest, LineBreaksAdvanceByLineHeights)
{
    const int one = Measure(L"a").cy - 1;
    struct Case {
        const wchar_t* text;
        int lines;
    } cases[] = { { L"a<br>b", 2 }, { L"a<br 3>b", 4 }, { L"a\nb\nc", 3 }, { L"a<br>", 1 }, { L"a<br><br>b", 3 } };
    for (const auto& c : cases)
        EXPECT_EQ(Measure(c.text).cy - 1, c.lines * one) << c.text;
    Measure(L"a<br 2>b");
    EXPECT_EQ(drawer.Lines().size(), 2u); // one record for the line the count repeats
}

TEST_F(HtmlDrawerTest, WrapsAtTheMaximumWidthAndAlwaysAdvances)
{
    drawer.SetMaxWidth(100);
    struct Case {
        const wchar_t* text;
    } cases[] = {
        { L"Several short words wrap onto a few lines of text" },
        { L"Averyveryveryverylongwordwithoutanybreaks" },
        { L"<center>Averyveryveryverylongwordwithoutanybreaks</center>" },
        { L"<right>Averyveryveryverylongwordwithoutanybreaks</right>" },
        { L"<indent size=95>Averyverylongword</indent>" },
        { L"<indent size=400>Averyverylongword</indent>" },
    };
    for (const auto& c : cases) {
        SIZE size = Measure(c.text);
        EXPECT_LE(size.cx, 101) << c.text;
        EXPECT_GT(drawer.Lines().size(), 1u) << c.text;
        for (const auto& line : drawer.Lines())
            EXPECT_GT(line.height, 0) << c.text;
    }
    // The long word after other text moves to the next line whole.
    Measure(L"Hi Averyveryveryverylongword");
    ASSERT_GE(drawer.Lines().size(), 2u);
    EXPECT_EQ(drawer.Lines()[0].width, Measure(L"Hi").cx - 1);
}

TEST_F(HtmlDrawerTest, AlignmentPlacesLinesInTheRectangle)
{
    struct Case {
        const wchar_t* text;
        int align;
    } cases[] = { { L"Text", 0 }, { L"<center>Text</center>", 1 }, { L"<right>Text</right>", 2 } };
    const RECT area { 0, 0, 300, 40 };
    for (const auto& c : cases) {
        Draw(c.text, area);
        RECT ink = canvas.Bounds(IsDark);
        ASSERT_FALSE(IsRectEmpty(&ink)) << c.text;
        int middle = (ink.left + ink.right) / 2;
        if (c.align == 0) {
            EXPECT_LT(ink.left, 5) << c.text;
        }
        if (c.align == 1) {
            EXPECT_NEAR(middle, 150, 4) << c.text;
        }
        if (c.align == 2) {
            EXPECT_GT(ink.right, 295) << c.text;
        }
    }
}

TEST_F(HtmlDrawerTest, JustifiedLinesReachTheRightEdgeButTheLastDoesNot)
{
    drawer.SetMaxWidth(160);
    Draw(L"<justify>Justified words are spread so that every wrapped line ends at the right edge of the tip</justify>",
        { 0, 0, 160, 300 });
    const auto& lines = drawer.Lines();
    ASSERT_GE(lines.size(), 3u);
    int top = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        RECT ink = canvas.Bounds(IsDark, { 0, top, 170, top + lines[i].height });
        ASSERT_FALSE(IsRectEmpty(&ink)) << i;
        if (i + 1 < lines.size())
            EXPECT_GE(ink.right, 156) << i;
        else
            EXPECT_LT(ink.right, 150);
        top += lines[i].height;
    }
}

TEST_F(HtmlDrawerTest, RulesTakePercentOfTheBlockWidth)
{
    const int text = Measure(L"A line of some width").cx - 1;
    EXPECT_EQ(Measure(L"A line of some width<br><hr>").cx - 1, text + 1);
    EXPECT_EQ(Measure(L"A line of some width<br><hr width=50%>").cx - 1, text);
    Measure(L"<hr width=50%><hr width=50%>");
    EXPECT_EQ(drawer.Lines().at(0).percentWidth, 100);
    EXPECT_EQ(Measure(L"<hr width=40>").cx - 1, 40);

    auto isRed = [](COLORREF c) { return c == RGB(255, 0, 0); };
    Draw(L"<hr width=100 size=1 color=red>", { 0, 0, 200, 40 });
    RECT red = canvas.Bounds(isRed);
    EXPECT_EQ(red.left, 0);
    EXPECT_EQ(red.right, 100);
    EXPECT_EQ(red.bottom - red.top, 1);
    Draw(L"<hr width=50% size=3 color=red>", { 0, 0, 200, 40 });
    red = canvas.Bounds(isRed);
    EXPECT_EQ(red.bottom - red.top, 3);
    EXPECT_NEAR(red.right - red.left, 100, 2);
}

TEST_F(HtmlDrawerTest, TextAfterRulesStaysInsideTheMeasuredHeight)
{
    drawer.SetCssStyles(L"hr {color:white}");
    SIZE size = Draw(L"<hr><br><hr><br><hr><br><hr><br>Last line with descenders gjpqy", { 0, 0, 300, 300 });
    RECT ink = canvas.Bounds(IsDark);
    ASSERT_FALSE(Empty(ink));
    EXPECT_LE(ink.bottom, size.cy);
}

TEST_F(HtmlDrawerTest, TabsStepToStops)
{
    const int a = Measure(L"a").cx - 1;
    EXPECT_EQ(Measure(L"<t>").cx - 1, 32);
    EXPECT_EQ(Measure(L"a<t>").cx - 1, 32);
    EXPECT_EQ(Measure(L"a\t\t").cx - 1, 64);
    EXPECT_EQ(Measure(L"<t 2>a").cx - 1, 64 + a);
    drawer.SetTabSize(10);
    EXPECT_EQ(Measure(L"<t 3>").cx - 1, 30);
}

TEST_F(HtmlDrawerTest, TablesSpanColumnsAndDrawBordersAndFills)
{
    Draw(L"<table border=1 bordercolor=red bgcolor=yellow cellpadding=2><tr><td colspan=2>A rather wide cell</td></tr>"
         L"<tr><td>a</td><td>b</td></tr></table>");
    ASSERT_EQ(drawer.Tables().size(), 1u);
    const auto& table = drawer.Tables()[0];
    ASSERT_EQ(table.columnWidths.size(), 2u);
    ASSERT_EQ(table.rowHeights.size(), 2u);
    const auto& wide = table.rows[0][0];
    EXPECT_EQ(wide.columnSpan, 2);
    EXPECT_EQ(table.rows[0][1].columnSpan, -1);
    // The spanning cell widened both columns equally, the odd pixel to the second.
    EXPECT_EQ(table.columnWidths[0] + table.columnWidths[1], wide.width);
    EXPECT_EQ(table.columnWidths[1] - table.columnWidths[0], wide.width % 2);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(2, 2), RGB(255, 255, 0));
}

TEST_F(HtmlDrawerTest, TableModelsStayInsideTheGrid)
{
    struct Case {
        const wchar_t* text;
        size_t rows, columns;
    } cases[] = {
        { L"<table><tr><td rowspan=5>a</td><td>b</td></tr></table>", 1, 2 },
        { L"<table><tr><td rowspan=2>a</td><td>b</td></tr><tr><td>c</td><td>d</td><td>e</td></tr></table>", 2, 3 },
        { L"<table><tr><td rowspan=2>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>", 2, 2 },
        { L"<table><tr><td colspan=99999>a</td></tr><tr><td>b</td></tr></table>", 2, 256 },
        { L"<table></table>", 0, 0 },
        { L"<table><tr></tr></table>", 1, 0 },
    };
    for (const auto& c : cases) {
        Draw(c.text, { 0, 0, 400, 300 });
        ASSERT_EQ(drawer.Tables().size(), 1u) << c.text;
        const auto& table = drawer.Tables()[0];
        EXPECT_EQ(table.rows.size(), c.rows) << c.text;
        EXPECT_EQ(table.columnWidths.size(), c.columns) << c.text;
        for (size_t r = 0; r < table.rows.size(); ++r) {
            for (size_t col = 0; col < table.rows[r].size(); ++col) {
                const auto& cell = table.rows[r][col];
                if (cell.columnSpan > 0) {
                    EXPECT_LE(col + cell.columnSpan, c.columns) << c.text;
                    EXPECT_LE(r + cell.rowSpan, c.rows) << c.text;
                }
            }
        }
    }
}

TEST_F(HtmlDrawerTest, NestedTablesGetTheirOwnModels)
{
    Draw(L"<table><tr><td>out<table><tr><td>in</td><td>x</td></tr></table></td></tr></table>after");
    ASSERT_EQ(drawer.Tables().size(), 2u);
    EXPECT_EQ(drawer.Tables()[0].columnWidths.size(), 1u);
    EXPECT_EQ(drawer.Tables()[1].columnWidths.size(), 2u);
    EXPECT_GT(drawer.Tables()[0].columnWidths[0], drawer.Tables()[1].columnWidths[0]);
}

TEST_F(HtmlDrawerTest, LinksLeaveHotAreasAndHoverRedrawsInTheHoverStyle)
{
    drawer.SetCssStyles(L"a:link {color:red} a:hover {color:blue}");
    Draw(L"Go <a href=\"https://example.org\">there</a> or <a msg=\"note\">here</a>", { 0, 0, 300, 40 });
    const auto& areas = drawer.HotAreas();
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_EQ(areas[0].linkKind, 1);
    EXPECT_EQ(areas[0].target, L"https://example.org");
    EXPECT_EQ(areas[1].linkKind, 2);
    EXPECT_EQ(areas[1].linkIndex, 1);
    EXPECT_FALSE(Empty(canvas.Bounds(IsReddish)));
    EXPECT_TRUE(Empty(canvas.Bounds(IsBluish)));

    HWND owner = TopLevel();
    drawer.SetCallbackRepaint(owner, WM_USER + 0x65, 0);
    POINT over { (areas[0].rect.left + areas[0].rect.right) / 2, (areas[0].rect.top + areas[0].rect.bottom) / 2 };
    EXPECT_TRUE(drawer.OnMouseOver(over));
    EXPECT_TRUE(drawer.OnMouseOver(over));
    EXPECT_EQ(drawer.GetHoveredLink(), 0);
    EXPECT_FALSE(drawer.OnMouseOver({ 399, 299 }));
    EXPECT_FALSE(drawer.OnMouseOver({ 399, 299 }));
    std::vector<WPARAM> notified;
    for (const auto& entry : MessageLog::Instance().entries) {
        if (entry.message == WM_USER + 0x65)
            notified.push_back(entry.wParam);
    }
    EXPECT_EQ(notified, (std::vector<WPARAM> { 0, static_cast<WPARAM>(-2) }));

    drawer.OnMouseOver(over);
    canvas.Clear();
    drawer.DrawText(canvas.dc, { 0, 0, 300, 40 });
    RECT blue = canvas.Bounds(IsBluish);
    EXPECT_FALSE(IsRectEmpty(&blue));
    EXPECT_LE(blue.right, drawer.HotAreas()[0].rect.right + 1);
}

TEST_F(HtmlDrawerTest, ClicksOpenTargetsOrSendMessages)
{
    Draw(L"<a href=\"https://example.org/x\">open</a> <a msg=\"remark\">tell</a>", { 0, 0, 300, 40 });
    ASSERT_EQ(drawer.HotAreas().size(), 2u);
    auto centre = [&](int i) {
        const RECT& r = drawer.HotAreas()[i].rect;
        return POINT { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    };
    std::vector<std::string> opened;
    ShellLauncher previous = SetShellLauncher([&](const std::vector<std::string>& arguments) {
        opened.push_back(arguments.back());
        return true;
    });
    HWND owner = TopLevel();
    std::wstring told;
    MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_APP + 7)
            told = reinterpret_cast<const wchar_t*>(wParam);
        return std::nullopt;
    };
    drawer.SetCallbackMessage(owner, WM_APP + 7);
    drawer.OnClick(centre(0), 11);
    drawer.OnClick(centre(1), 12);
    drawer.OnClick({ 399, 299 }, 13);
    SetShellLauncher(previous);
    EXPECT_EQ(opened, (std::vector<std::string> { "https://example.org/x" }));
    EXPECT_EQ(told, L"remark");
    EXPECT_EQ(drawer.GetLastClickedId(), 12u);
}

TEST_F(HtmlDrawerTest, PicturesComeOnlyFromRegisteredHandles)
{
    Canvas picture(20, 10);
    RECT all { 0, 0, 20, 10 };
    FillSolidRect(picture.dc, &all, RGB(0, 128, 0));
    SelectObject(picture.dc, picture.old);
    HBITMAP bitmap = picture.bitmap;
    const std::wstring tag = L"<bmp handle=" + std::to_wstring(reinterpret_cast<uintptr_t>(bitmap)) + L">";

    // A number the program never registered is not a picture: no room, nothing drawn.
    EXPECT_EQ(Draw(L"<bmp handle=12345>").cx, 0);
    EXPECT_EQ(Draw(tag).cx, 0);

    drawer.RegisterImage(bitmap);
    SIZE size = Draw(tag);
    EXPECT_EQ(size.cx - 1, 20);
    EXPECT_EQ(size.cy - 1, 10);
    EXPECT_EQ(canvas.At(5, 5), RGB(0, 128, 0));
    EXPECT_EQ(Draw(L"<bmp handle=" + std::to_wstring(reinterpret_cast<uintptr_t>(bitmap)) + L" width=50%>").cx - 1, 10);

    // Inside a link: a hot area of the picture's size.
    Draw(L"<a href=x>" + tag + L"</a>");
    ASSERT_EQ(drawer.HotAreas().size(), 1u);
    EXPECT_EQ(drawer.HotAreas()[0].rect.right - drawer.HotAreas()[0].rect.left, 20);
    drawer.UnregisterImage(bitmap);
    EXPECT_EQ(Draw(tag).cx, 0);
    SelectObject(picture.dc, bitmap);
}

TEST_F(HtmlDrawerTest, PictureFilesAreReadForEachPass)
{
    const std::string path = testing::TempDir() + "tip-picture.png";
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 12, 8);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.8, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    ASSERT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
    const std::wstring widePath(path.begin(), path.end());

    SIZE size = Draw(L"<bmp file=\"" + widePath + L"\">");
    EXPECT_EQ(size.cx - 1, 12);
    EXPECT_EQ(size.cy - 1, 8);
    EXPECT_TRUE(IsReddish(canvas.At(6, 4)));
    // A file that cannot be read takes no room.
    EXPECT_EQ(Draw(L"<bmp file=\"/nonexistent/picture.png\">").cx, 0);
    std::remove(path.c_str());
}

// The program's resources (tests/data/controls.rc): a strip of three 16-pixel items (red, green,
// blue), an 8-pixel tile and a two-part string.
constexpr int StripId = 330, TileId = 331, TextId = 332;

TEST_F(HtmlDrawerTest, PicturesAndStringsComeFromTheProgramsResources)
{
    SIZE size = Draw(L"<bmp idres=" + std::to_wstring(StripId) + L">");
    EXPECT_EQ(size.cx - 1, 48);
    EXPECT_EQ(canvas.At(40, 8), RGB(0, 0, 255));
    // No resource of that number, or one in a library (none can be loaded here): no room.
    EXPECT_EQ(Draw(L"<bmp idres=9999>").cx, 0);
    EXPECT_EQ(Draw(L"<bmp srcdll=pictures.dll iddll=" + std::to_wstring(StripId) + L">").cx, 0);
    // The resource library is the program's own resources once one is set.
    EXPECT_EQ(Draw(L"<bmp iddll=" + std::to_wstring(StripId) + L">").cx, 0);
    drawer.SetResourceLibrary(GetModuleHandleW(nullptr));
    EXPECT_EQ(Draw(L"<bmp iddll=" + std::to_wstring(StripId) + L">").cx - 1, 48);

    // A string is its first part, one piece that takes the room of its text.
    const SIZE text = Draw(L"First part");
    EXPECT_EQ(Draw(L"<string idres=" + std::to_wstring(TextId) + L">").cx, text.cx);
    EXPECT_EQ(Draw(L"<string idres=9999>").cx, 0);
    EXPECT_EQ(CPPHtmlDrawer::LoadResourceString(TextId, 1), L"Second part");
    EXPECT_EQ(CPPHtmlDrawer::LoadResourceString(TextId, 2), L"");
}

TEST_F(HtmlDrawerTest, StripItemsAreDrawnByIndexAndAnimatedBySpeed)
{
    const std::wstring strip = L"<ilst idres=" + std::to_wstring(StripId) + L" cx=16";
    struct Case {
        int index;
        COLORREF color;
    } cases[] = { { 0, RGB(255, 0, 0) }, { 1, RGB(0, 255, 0) }, { 2, RGB(0, 0, 255) } };
    for (const Case& c : cases) {
        EXPECT_EQ(Draw(strip + L" index=" + std::to_wstring(c.index) + L">").cx - 1, 16) << c.index;
        EXPECT_EQ(canvas.At(8, 8), c.color) << c.index;
    }
    EXPECT_EQ(Draw(strip + L" index=3>").cx, 0); // past the strip's last item

    // Speed 2: the frame moves every second tick and wraps after the last item.
    Draw(strip + L" index=1 speed=2>");
    ASSERT_TRUE(drawer.HasAnimation());
    EXPECT_FALSE(drawer.AdvanceAnimation());
    EXPECT_TRUE(drawer.AdvanceAnimation());
    drawer.DrawText(canvas.dc, { 0, 0, 16, 16 });
    EXPECT_EQ(canvas.At(8, 8), RGB(0, 0, 255));
    drawer.AdvanceAnimation();
    drawer.AdvanceAnimation();
    drawer.DrawText(canvas.dc, { 0, 0, 16, 16 });
    EXPECT_EQ(canvas.At(8, 8), RGB(255, 0, 0));

    // Nothing to animate: no strip, or a picture without a speed.
    Draw(L"<ilst idres=9999 speed=2>");
    EXPECT_FALSE(drawer.HasAnimation());
    EXPECT_FALSE(drawer.AdvanceAnimation());
    Draw(strip + L" index=0>");
    EXPECT_FALSE(drawer.HasAnimation());
}

TEST_F(HtmlDrawerTest, ATableBackgroundPictureIsTiledFromItsCorner)
{
    const SIZE size = Draw(L"<table background=\"idres: " + std::to_wstring(TileId) + L"\"><tr><td width=40 height=20></td></tr></table>");
    ASSERT_GE(size.cx, 20);
    ASSERT_GE(size.cy, 12);
    // The tile's blue top-left quarter repeats every 8 pixels.
    EXPECT_EQ(canvas.At(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(9, 9), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(5, 5), RGB(0, 255, 0));
    Draw(L"<table background=\"idres: 9999\"><tr><td width=40 height=20></td></tr></table>");
    EXPECT_EQ(canvas.At(5, 5), White);
}

TEST_F(HtmlDrawerTest, DrawingReplaysTheMeasuredLinesWhateverTheHoverStyle)
{
    // The hover style changes the font size, so cutting the text anew would give other lines.
    drawer.SetCssStyles(L"a:hover {font-size: 40px}");
    drawer.SetMaxWidth(120);
    Draw(L"<a href=x>a link whose words wrap over several lines</a> and more words after it", { 0, 0, 120, 300 });
    const size_t pieces = drawer.HotAreas().size();
    ASSERT_GT(pieces, 1u);
    drawer.OnMouseOver({ drawer.HotAreas()[0].rect.left + 1, drawer.HotAreas()[0].rect.top + 1 });
    canvas.Clear();
    drawer.DrawText(canvas.dc, { 0, 0, 120, 300 });
    EXPECT_EQ(drawer.HotAreas().size(), pieces);
    // A narrower rectangle than measured still draws the measured pieces.
    canvas.Clear();
    drawer.DrawText(canvas.dc, { 0, 0, 30, 300 });
    EXPECT_EQ(drawer.HotAreas().size(), pieces);
}

} // namespace
