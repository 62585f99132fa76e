// Scrolling the editor's view: the scroll bars, keys, wheel, caret following and find all go
// through the viewport's ScrollTo, which keeps the first line and column within the document and
// moves the window's pixels; and the gutter is drawn on the DC the view draws on.

#include "EditViewFixture.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <functional>

using namespace edittest;

namespace {

using EditScroll = EditViewTest;

// The first line and column the view shows.
SECEditLineCol FirstShown(SECEditView& view)
{
    return { view.GetViewport().GetTopLine(), view.GetViewport().GetLeftColumn() };
}

// The positions of the vertical and the horizontal scroll bar.
SECEditLineCol BarPositions(SECEditView& view)
{
    return { ::GetScrollPos(view.m_hWnd, SB_VERT), ::GetScrollPos(view.m_hWnd, SB_HORZ) };
}

std::vector<COLORREF> ClientPixels(SECEditView& view)
{
    CRect client;
    view.GetClientRect(&client);
    return pixel_checks::PixelsOf(CClientDC(&view), client);
}

TEST_F(EditScroll, ScrollToKeepsTheFirstLineAndColumnWithinTheDocument)
{
    SetText(Lines(100).c_str());
    SECEditViewport& viewport = m_view->GetViewport();
    const int lastTop = m_edit.GetLineCount() - viewport.GetVisibleLineCount();
    const int lastLeft = m_edit.GetMaxLineLength() - viewport.GetVisibleColumnCount();
    ASSERT_GT(lastTop, 10);
    ASSERT_GT(lastLeft, 10);
    struct Case {
        const char* name;
        int line, column;
        SECEditLineCol shown;
    };
    const Case cases[] = {
        { "the first line", 0, 0, { 0, 0 } },
        { "above the first line", -3, 0, { 0, 0 } },
        { "a line inside", 7, 0, { 7, 0 } },
        { "the last line that fills the window", lastTop, 0, { lastTop, 0 } },
        { "a line beyond it", lastTop + 1, 0, { lastTop, 0 } },
        { "far beyond the end", INT_MAX, 0, { lastTop, 0 } },
        { "left of the first column", 5, -8, { 5, 0 } },
        { "the last column that fills the window", 5, lastLeft, { 5, lastLeft } },
        { "beyond the last column", 5, INT_MAX, { 5, lastLeft } },
        { "beyond both ends", INT_MAX, INT_MAX, { lastTop, lastLeft } },
        { "before both starts", INT_MIN, INT_MIN, { 0, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        viewport.ScrollTo(3, 3);
        viewport.ScrollTo(c.line, c.column);
        EXPECT_EQ(FirstShown(*m_view), c.shown);
        EXPECT_EQ(BarPositions(*m_view), c.shown) << "the scroll bars follow";
    }
    // A text whose lines all fit does not scroll down.
    SetText(L"short\r\ntext");
    EXPECT_FALSE(viewport.ScrollTo(1, 0));
    EXPECT_EQ(FirstShown(*m_view), SECEditLineCol(0, 0));
}

// Whatever scrolls, the view stops where the last line reaches the window's bottom.
TEST_F(EditScroll, EveryWayOfScrollingStopsAtTheEnd)
{
    SetText(Lines(100).c_str());
    SECEditViewport& viewport = m_view->GetViewport();
    const int lastTop = m_edit.GetLineCount() - viewport.GetVisibleLineCount();
    struct Case {
        const char* name;
        std::function<void()> scroll;
    };
    const Case cases[] = {
        { "Ctrl+Down", [&] { Press(VK_DOWN, Ctrl); } },
        { "the bar's line down", [&] { m_view->OnVScroll(SB_LINEDOWN, 0, nullptr); } },
        { "the bar's page down", [&] { m_view->OnVScroll(SB_PAGEDOWN, 0, nullptr); } },
        { "a wheel notch", [&] {
             headless->InjectWheel(-120, At(lastTop + 1, 1));
             Pump();
         } },
        { "Page Down a line below the top", [&] {
             C().SetCaretPosition(lastTop + 1, 0, FALSE);
             Press(VK_NEXT);
             EXPECT_EQ(Caret().m_nLine, m_edit.GetLastLine()) << "the caret still goes a page down";
         } },
        { "a match on the last text line, put in the middle", [&] {
             _SEC_FIND_REPLACE_STATE& state = GetFindState();
             state = {};
             state.strFind = L"line 99";
             EXPECT_TRUE(C().FindNext(state));
         } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        viewport.ScrollTo(lastTop, 0);
        C().SetCaretPosition(lastTop, 0, FALSE);
        c.scroll();
        EXPECT_EQ(viewport.GetTopLine(), lastTop);
        EXPECT_EQ(::GetScrollPos(m_view->m_hWnd, SB_VERT), lastTop);
    }
}

// The caret at the end of the widest line stops the view at the last column, the caret in it.
TEST_F(EditScroll, CaretFollowingStopsAtTheLastColumn)
{
    SetText(std::wstring(m_edit.GetMaxLineLength(), L'x').c_str());
    Press(VK_END);
    SECEditViewport& viewport = m_view->GetViewport();
    EXPECT_EQ(viewport.GetLeftColumn(), m_edit.GetMaxLineLength() - viewport.GetVisibleColumnCount());
    const CPoint caret = C().LineColToPoint(Caret());
    EXPECT_LE(caret.x, viewport.GetVisibleRect().right);
    EXPECT_FALSE(C().IsCaretHidden());
}

// A thumb dragged three quarters down a 100,000-line script leaves the view on release where the
// drag showed it: past the 65,536 positions that a scroll request itself has room for.
TEST_F(EditScroll, AThumbDraggedPastSixteenBitsStaysWhereItWasLetGo)
{
    SetText(Lines(100000).c_str());
    SECEditViewport& viewport = m_view->GetViewport();
    CRect window;
    m_view->GetWindowRect(&window);
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
    const int arrowHeight = GetSystemMetrics(SM_CYVSCROLL);
    const POINT thumb { window.right - barWidth / 2, window.top + arrowHeight + 2 };
    const POINT to { thumb.x, thumb.y + (window.Height() - barHeight - 2 * arrowHeight) * 3 / 4 };
    int whileDragged = -1;
    DragThumb(thumb, to, [&] { whileDragged = viewport.GetTopLine(); });
    EXPECT_GT(whileDragged, 65536);
    EXPECT_EQ(viewport.GetTopLine(), whileDragged);
    EXPECT_EQ(BarPositions(*m_view), FirstShown(*m_view));
}

// A new font size keeps the line and column that were at the top left there, whether the lines
// grow or shrink, and the scroll bars show them.
TEST_F(EditScroll, ANewFontSizeKeepsTheTopLeftText)
{
    SetText(Lines(300).c_str());
    SECEditViewport& viewport = m_view->GetViewport();
    const int size = m_language->GetSize();
    const SECEditLineCol topLeft(37, 5);
    for (int newSize : { size * 2, size + 3, size }) {
        SCOPED_TRACE(newSize);
        viewport.ScrollTo(topLeft.m_nLine, topLeft.m_nCol);
        ASSERT_EQ(FirstShown(*m_view), topLeft);
        const int lineHeight = m_view->GetLineHeight();
        m_language->SetSize(newSize);
        m_edit.SetFontInfo(nullptr); // rebuilt from the language's settings
        Pump();
        ASSERT_NE(m_view->GetLineHeight(), lineHeight);
        EXPECT_EQ(FirstShown(*m_view), topLeft);
        EXPECT_EQ(viewport.GetLogOrigin(), CPoint(topLeft.m_nCol * m_view->GetCharWidth(), topLeft.m_nLine * m_view->GetLineHeight()));
        EXPECT_EQ(BarPositions(*m_view), topLeft);
    }
}

// A resize can leave the view past the end; a scroll then never pushes it further, and the
// scroll bar's line up still goes one line.
TEST_F(EditScroll, AViewLeftPastTheEndByAResizeIsNotPushedFurther)
{
    SetText(Lines(100).c_str());
    SECEditViewport& viewport = m_view->GetViewport();
    viewport.ScrollTo(INT_MAX, 0);
    const int top = viewport.GetTopLine();
    ::SetWindowPos(m_view->m_hWnd, nullptr, 0, 0, m_width, m_height + 4 * m_view->GetLineHeight(), SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    ASSERT_EQ(viewport.GetTopLine(), top);
    ASSERT_GT(top, m_edit.GetLineCount() - viewport.GetVisibleLineCount());
    Press(VK_DOWN, Ctrl);
    EXPECT_EQ(viewport.GetTopLine(), top);
    m_view->OnVScroll(SB_LINEUP, 0, nullptr);
    EXPECT_EQ(viewport.GetTopLine(), top - 1);
}

// A scroll moves the pixels it can and paints the band it uncovers; with the caret shown and the
// gutter's numbers and markers, that leaves what a full repaint draws. (The scroll bars' redraw
// leaves the text's pixels alone, so a wrong blit would show.)
TEST_F(EditScroll, ABlitScrollLeavesThePixelsOfAFullRepaint)
{
    C().SetLineNumberMode(0); // line numbers and markers
    std::wstring text;
    for (int i = 0; i < 60; ++i)
        text += L"Dim x" + std::to_wstring(i) + L" ' a comment that runs well past the right edge of the window\r\n";
    SetText(text.c_str());
    m_edit.SetLineFlag(7, SECEditController::BookmarkFlag, TRUE);
    m_edit.SetLineFlag(8, SECEditController::RoundMarkerFlag, TRUE);
    Press(VK_HOME, Ctrl);
    C().SetSelection(9, 2, 10, 6); // the caret at its end
    Pump();
    POINT caret;
    ASSERT_TRUE(::GetCaretPos(&caret));
    ASSERT_GT(caret.y, 0) << "the caret is shown in the window";
    ASSERT_FALSE(C().IsCaretHidden());
    SECEditViewport& viewport = m_view->GetViewport();
    struct Case {
        const char* name;
        std::function<void()> scroll;
    };
    const Case cases[] = {
        { "a line down by the bar's code", [&] { m_view->OnVScroll(SB_LINEDOWN, 0, nullptr); } },
        { "a column right by the bar's code", [&] { m_view->OnHScroll(SB_LINERIGHT, 0, nullptr); } },
        { "two lines and three columns at once", [&] { viewport.ScrollTo(viewport.GetTopLine() + 2, viewport.GetLeftColumn() + 3); } },
        { "back up and left at once", [&] { viewport.ScrollTo(0, 0); } },
        { "Ctrl+Down", [&] { Press(VK_DOWN, Ctrl); } },
        { "a wheel notch", [&] {
             headless->InjectWheel(-120, At(m_view->GetViewport().GetTopLine(), 1));
             Pump();
         } },
        { "a page down by the bar's code", [&] { m_view->OnVScroll(SB_PAGEDOWN, 0, nullptr); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SECEditLineCol before = FirstShown(*m_view);
        c.scroll();
        Pump();
        ASSERT_NE(FirstShown(*m_view), before);
        const std::vector<COLORREF> scrolled = ClientPixels(*m_view);
        m_view->Invalidate(FALSE);
        m_view->UpdateWindow();
        const std::vector<COLORREF> repainted = ClientPixels(*m_view);
        EXPECT_EQ(std::mismatch(scrolled.begin(), scrolled.end(), repainted.begin()).first - scrolled.begin(), static_cast<std::ptrdiff_t>(scrolled.size()))
            << "the first pixel that differs, counted along the rows";
    }
}

// Drawn into a DC of the caller's, the gutter lands there, whatever origin the DC had, and as
// the window shows it.
TEST_F(EditScroll, TheGutterIsDrawnOnTheDcTheViewDrawsOn)
{
    SetText(L"Dim a\r\nb\r\nc");
    m_edit.SetLineFlag(1, SECEditController::BookmarkFlag, TRUE);
    m_view->Invalidate(FALSE);
    Pump();
    CClientDC window(m_view);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&window));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&window, m_width, m_height));
    CBitmap* old = memory.SelectObject(&bitmap);
    memory.FillSolidRect(0, 0, m_width, m_height, RGB(1, 2, 3));
    memory.SetViewportOrg(7, 9);
    m_view->GetViewport().Draw(&memory);
    memory.SetViewportOrg(0, 0);
    const CRect strip(0, 0, C().GetGutterWidth(), 3 * m_view->GetLineHeight());
    EXPECT_EQ(pixel_checks::PixelsOf(memory, strip), pixel_checks::PixelsOf(window, strip));
    memory.SelectObject(old);
}

} // namespace
