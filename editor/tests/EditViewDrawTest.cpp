// The editor's view by its pixels: colour runs, the selection, whitespace marks, the gutter and
// its markers; the font information it measures with; its scroll bars and origin.

#include "EditViewFixture.h"

#include "platform/gdi/SysColors.h"

#include <fstream>

using namespace edittest;

namespace {

using EditView = EditViewTest;

COLORREF Pixel(SECEditView& view, int x, int y)
{
    return pixel_checks::PixelsOf(CClientDC(&view), CRect(x, y, x + 1, y + 1)).front();
}

// The colours met along one row of the client area, each once, in order.
std::vector<COLORREF> RowColours(SECEditView& view, int y, int from, int to)
{
    std::vector<COLORREF> colours;
    for (COLORREF c : pixel_checks::PixelsOf(CClientDC(&view), CRect(from, y, to, y + 1)))
        if (colours.empty() || colours.back() != c)
            colours.push_back(c);
    return colours;
}

TEST_F(EditView, FontInformationMeasuresTheLanguagesFont)
{
    SECEditFontInfo* font = m_edit.GetFontInfo();
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(font->GetFontCount(), 1);
    EXPECT_GT(font->m_nLineHeight, 10);
    EXPECT_GT(font->m_nAveCharWidth, 4);
    EXPECT_EQ(font->m_nBlankWidth, font->m_nAveCharWidth) << "a fixed-pitch font";
    EXPECT_EQ(font->m_nLineHeight, font->GetMetrics().tmHeight);
    // A new size rebuilds it.
    const int height = font->m_nLineHeight;
    m_language->SetSize(m_language->GetSize() * 2);
    SECEditMsg message(SECEDIT_INVALIDATE_COLORING);
    message.AddRef();
    m_edit.OnUpdate(m_language.get(), &message);
    EXPECT_GT(m_edit.GetFontInfo()->m_nLineHeight, height * 3 / 2);
}

TEST_F(EditView, TextIsDrawnInItsColourRunsWithTheSelectionAbove)
{
    SECEditColorGroup* keyword = m_language->GetColorGroup(4);
    keyword->m_foreground = RGB(0, 0, 255);
    keyword->m_bForeAutomatic = FALSE;
    SetText(L"Dim abc\r\nxyz");
    m_view->Invalidate(FALSE);
    Pump();
    const int h = m_view->GetLineHeight(), w = m_view->GetCharWidth();
    const int gutter = C().GetGutterWidth();
    EXPECT_EQ(gutter, 20);
    // "Dim" is blue ink on white, "abc" black.
    const std::vector<COLORREF> dim = RowColours(*m_view, h / 2, gutter, gutter + 3 * w);
    EXPECT_NE(std::find(dim.begin(), dim.end(), RGB(0, 0, 255)), dim.end());
    const std::vector<COLORREF> abc = RowColours(*m_view, h / 2, gutter + 4 * w, gutter + 7 * w);
    EXPECT_NE(std::find(abc.begin(), abc.end(), RGB(0, 0, 0)), abc.end());
    EXPECT_EQ(std::find(abc.begin(), abc.end(), RGB(0, 0, 255)), abc.end());
    EXPECT_EQ(Pixel(*m_view, gutter + 20 * w, h / 2), RGB(255, 255, 255));

    // A stream selection over two lines: its text in the selection's colours (the text's
    // crossed), and one blank column after the end of the first line.
    C().SetSelection(0, 4, 1, 1);
    Pump();
    EXPECT_EQ(Pixel(*m_view, gutter + 4 * w + 1, 1), RGB(0, 0, 0)) << "selected background";
    EXPECT_EQ(Pixel(*m_view, gutter + 7 * w + w / 2, 1), RGB(0, 0, 0)) << "one blank column selected";
    EXPECT_EQ(Pixel(*m_view, gutter + 9 * w, 1), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(*m_view, gutter + 2 * w, h + 1), RGB(255, 255, 255)) << "the selection ends at column 1";
}

TEST_F(EditView, PictureWithGutterMarkersWhitespaceAndSelection)
{
    C().SetLineNumberMode(0); // line numbers and markers
    m_language->SetShowWhitespace(TRUE);
    SetText(L"Dim x\r\n\tIf x Then\r\n  ' a comment\r\nEnd If\r\n{ spans\r\nlines }");
    m_edit.SetLineFlag(1, SECEditController::BookmarkFlag, TRUE);
    m_edit.SetLineFlag(3, SECEditController::RoundMarkerFlag, TRUE);
    C().SetSelection(3, 1, 4, 3);
    ::SetFocus(nullptr);
    m_view->Invalidate(FALSE);
    Pump();
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(m_view->m_hWnd, CRect(0, 0, 240, 6 * m_view->GetLineHeight() + 4), "editor_view.png"));
}

TEST_F(EditView, GutterWidthFollowsTheModeAndTheLineCount)
{
    EXPECT_EQ(C().GetMarkerGutterWidth(), 20);
    EXPECT_EQ(C().GetLineNumberGutterWidth(), 0);
    C().SetLineNumberMode(SECEditController::LineNumbersOnly);
    SetText(Lines(1233).c_str());
    EXPECT_EQ(m_edit.GetLineCount(), 1234);
    EXPECT_EQ(C().GetLineNumberGutterWidth(), 32);
    EXPECT_EQ(C().GetMarkerGutterWidth(), 0);
    EXPECT_EQ(C().FormatLineNumber(7), L"0007");
    C().SetLineNumberMode(SECEditController::LineNumbersNone);
    EXPECT_EQ(C().GetGutterWidth(), 0);
}

TEST_F(EditView, ScrollBarsAndScrollCodes)
{
    SetText(Lines(100).c_str());
    Press(VK_HOME, Ctrl);
    const int page = m_view->GetViewport().GetVisibleLineCount();
    SCROLLINFO info { sizeof info, SIF_ALL };
    ::GetScrollInfo(m_view->m_hWnd, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 100);
    EXPECT_EQ(static_cast<int>(info.nPage), page);
    m_view->OnVScroll(SB_THUMBPOSITION, 3, nullptr);
    EXPECT_EQ(m_view->GetViewport().GetTopLine(), 3);
    m_view->OnVScroll(SB_PAGEUP, 0, nullptr);
    EXPECT_EQ(m_view->GetViewport().GetTopLine(), 0) << "a page up from line 3 scrolls by 3";
    const int maxTop = 101 - page;
    m_view->OnVScroll(SB_THUMBPOSITION, maxTop, nullptr);
    m_view->OnVScroll(SB_LINEDOWN, 0, nullptr);
    EXPECT_EQ(m_view->GetViewport().GetTopLine(), maxTop);
    ::GetScrollInfo(m_view->m_hWnd, SB_VERT, &info);
    EXPECT_EQ(info.nPos, maxTop);
    EXPECT_TRUE(m_view->OnScroll(MAKEWORD(0xFF, SB_LINEUP), 0, FALSE));
    EXPECT_FALSE(m_view->OnScroll(MAKEWORD(0xFF, SB_LINEDOWN), 0, FALSE));
}

TEST_F(EditView, OriginSnapsToWholeCharactersAndLines)
{
    SECEditViewport& viewport = m_view->GetViewport();
    const int w = viewport.GetCharWidth(), h = viewport.GetLineHeight();
    viewport.SetLogOrigin(4 * w + w / 2, 2 * h + h - 1);
    EXPECT_EQ(viewport.GetLogOrigin(), CPoint(4 * w, 2 * h));
    viewport.SetLogOrigin(-5, -5);
    EXPECT_EQ(viewport.GetLogOrigin(), CPoint(0, 0));
}

TEST_F(EditView, CaretMovedFarRightScrollsEightCharactersFurther)
{
    SetText(std::wstring(200, L'x').c_str());
    Press(VK_END);
    const CRect visible = m_view->GetViewport().GetVisibleRect();
    const int w = m_view->GetCharWidth();
    const CPoint caret = C().LineColToPoint(Caret());
    EXPECT_LE(caret.x + 8 * w, visible.right + w);
    EXPECT_GE(caret.x + 7 * w, visible.right - w);
}

TEST_F(EditView, ColourRunsStayValidAcrossEdits)
{
    SetText(L"Dim a\r\nDim b");
    m_edit.SetLineFlag(0, SECEDIT_FLAG_HIGHLIGHT, TRUE);
    m_edit.SetLineFlag(1, SECEDIT_FLAG_HIGHLIGHT, TRUE);
    const SECEditLineColor first = m_edit.CopyLineColor(0);
    const SECEditLineColor second = m_edit.CopyLineColor(1);
    m_edit.InsertText(0, 0, L"xx");
    ASSERT_EQ(first.GetSize(), 1);
    EXPECT_EQ(first[0].m_nLength, 5) << "the copy keeps the line's own length";
    EXPECT_EQ(second[0].m_nLength, 5);
}

} // namespace

namespace {

// The width of text[0, count) in the view's font, summed piece by piece from the system's extent
// of each run between tabs, each piece far narrower than 16 bits of pixels.
int ReferenceWidth(SECEditView& view, SECEdit& edit, const std::wstring& text, int count)
{
    SECEditFontInfo& font = *view.GetViewport().GetFontInfo();
    CDC& dc = font.GetInfoDC();
    const int tab = edit.GetTabStopWidth(font);
    long long x = 0;
    for (int from = 0; from < count;) {
        if (text[from] == L'\t') {
            x = (x / tab + 1) * tab;
            ++from;
            continue;
        }
        const int to = std::min<int>({ count, from + 1000, static_cast<int>(std::find(text.begin() + from, text.begin() + count, L'\t') - text.begin()) });
        SIZE size {};
        ::GetTextExtentPoint32W(dc, text.data() + from, to - from, &size);
        x += size.cx;
        from = to;
    }
    return static_cast<int>(x);
}

} // namespace

// A view on a file of one line, kept whole however long.
class EditViewOfALongLine : public EditView {
protected:
    void LoadLine(const std::string& bytes)
    {
        {
            std::ofstream file(m_dir.File("line.txt"), std::ios::binary);
            file << bytes;
        }
        ASSERT_TRUE(m_edit.LoadFile(Wide(m_dir.File("line.txt"))));
        Pump();
    }
    TempDir m_dir;
};

// A line far wider than 16 bits of pixels (and long enough that the view keeps its widths along
// it): the caret's place and the column under a point follow every edit, before and inside it.
TEST_F(EditViewOfALongLine, PlacesFollowEdits)
{
    std::wstring line;
    std::string bytes;
    for (int i = 0; line.size() < 3 * SECEditLineWidths::KeptFrom; ++i) {
        line += i % 7 == 0 ? L"\tab\u03B1 " : L"word ";
        bytes += i % 7 == 0 ? "\tab\xCE\xB1 " : "word ";
    }
    LoadLine(bytes);
    ASSERT_EQ(m_edit.GetLineLength(0), static_cast<int>(line.size()));
    const int gutter = C().GetGutterWidth();
    auto expectPlaces = [&](int row, const std::wstring& text) {
        m_view->GetViewport().SetLogOrigin(0, 0); // a point left of the window's text is taken for its first column
        for (int column : { 0, 1, 5000, SECEditLineWidths::Step, SECEditLineWidths::Step * 5 + 3, static_cast<int>(text.size()) - 1, static_cast<int>(text.size()) }) {
            const CPoint point = C().LineColToPoint({ row, column });
            EXPECT_EQ(point.x, gutter + ReferenceWidth(*m_view, m_edit, text, column)) << "column " << column;
            if (column < static_cast<int>(text.size()) && text[column] != L'\t') {
                EXPECT_EQ(C().PointToLineCol(point, TRUE), SECEditLineCol(row, column));
            }
        }
    };
    expectPlaces(0, line);
    Press(VK_END);
    EXPECT_EQ(Caret(), SECEditLineCol(0, static_cast<int>(line.size())));

    m_edit.InsertText(0, SECEditLineWidths::Step * 2 + 1, L"\t\u03B2W");
    line.insert(SECEditLineWidths::Step * 2 + 1, L"\t\u03B2W");
    expectPlaces(0, line);
    m_edit.DeleteText(0, 3, 0, 10);
    line.erase(3, 7);
    expectPlaces(0, line);
    m_edit.InsertText(0, 0, L"first\r\n");
    expectPlaces(1, line);
}

// The end of a line of thousands of blanks: the text there is drawn where the caret stands.
TEST_F(EditViewOfALongLine, ItsEndIsDrawnAtTheCaret)
{
    LoadLine(std::string(70000, ' ') + "END");
    Press(VK_END);
    m_view->UpdateWindow();
    CPoint caret = C().LineColToPoint(Caret());
    caret.Offset(-m_view->GetViewport().GetLogOrigin().x, -m_view->GetViewport().GetLogOrigin().y);
    const int w = m_view->GetCharWidth();
    const RECT ink = pixel_checks::InkBounds(m_view->m_hWnd, CRect(C().GetGutterWidth(), 0, m_width, m_height));
    EXPECT_GE(ink.left, caret.x - 3 * w - 1);
    EXPECT_LE(ink.right, caret.x + 1);
    EXPECT_GE(ink.right, caret.x - w);
}

// A line of millions of characters, wider than any the view used to reach: End takes the view to
// the caret at the line's true end, and text typed there is drawn there.
TEST_F(EditViewOfALongLine, TheViewFollowsTheCaretToTheEndOfALineOfMillions)
{
    const int length = (1 << 22) + 100000;
    LoadLine(std::string(length - 2, ' ') + "ab");
    Press(VK_END);
    ASSERT_EQ(Caret(), SECEditLineCol(0, length));
    for (const wchar_t ch : std::wstring(L" END"))
        Press(ch == L' ' ? VK_SPACE : ch, NoMods, std::wstring(1, ch));
    m_view->UpdateWindow();
    ASSERT_EQ(Caret(), SECEditLineCol(0, length + 4));
    EXPECT_EQ(AllText(m_edit).substr(length - 3), L" ab END");

    const SECEditViewport& viewport = m_view->GetViewport();
    EXPECT_GT(viewport.GetLeftColumn(), length - viewport.GetVisibleColumnCount());
    CPoint caret = C().LineColToPoint(Caret());
    caret.Offset(-viewport.GetLogOrigin().x, -viewport.GetLogOrigin().y);
    const int gutter = C().GetGutterWidth();
    EXPECT_GT(caret.x, gutter);
    EXPECT_LT(caret.x, m_width);
    // "ab END" ends at the caret.
    const int w = m_view->GetCharWidth();
    const RECT ink = pixel_checks::InkBounds(m_view->m_hWnd, CRect(gutter, 0, m_width, m_height));
    EXPECT_LE(ink.right, caret.x + 1);
    EXPECT_GE(ink.right, caret.x - w);
    EXPECT_LE(ink.left, caret.x - 5 * w);
}
