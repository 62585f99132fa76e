// The editor's view by its pixels: colour runs, the selection, whitespace marks, the gutter and
// its markers; the font information it measures with; its scroll bars and origin.

#include "EditViewFixture.h"

#include "platform/gdi/SysColors.h"

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
