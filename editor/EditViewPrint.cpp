// Printing and print preview of the editor's view: pages of text rows cut at the body's width,
// under a header with the document's title and over a footer with the page number.

#include "editor/EditPrint.h"
#include "editor/EditResource.h"
#include "editor/EditView.h"

#include "platform/mfc/Document.h"
#include "platform/mfc/Print.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kLinesBetweenAbortChecks = 256;

// The number of characters of text that fit into width, by the controller's bisection. It is
// asked about prefixes that double in length, so that no extent it measures grows far past the
// width (the extents are 16-bit quantities).
int CharsThatFit(SECEditController& controller, CDC& dc, const wchar_t* text, int length, int width, int tabWidth)
{
    int prefix = std::min(length, 64);
    for (;;) {
        const int fit = controller.CharsInWidth(&dc, text, prefix, width, tabWidth);
        if (fit < prefix || prefix == length)
            return fit;
        prefix = static_cast<int>(std::min<long long>(2ll * prefix, length));
    }
}

} // namespace

CSize PreviewTabbedTextOut(CDC& dc, int x, int y, const wchar_t* text, int count, int tabWidth, int tabOrigin)
{
    if (count <= 0)
        return {};
    TEXTMETRICW metrics {};
    dc.GetTextMetrics(&metrics);
    if (tabWidth <= 0) {
        int space = 0;
        tabWidth = 8 * (::GetCharWidthW(dc, L' ', L' ', &space) ? space : metrics.tmAveCharWidth);
    }
    const UINT align = ::GetTextAlign(dc);
    if (align & TA_UPDATECP) {
        POINT current {};
        ::GetCurrentPositionEx(dc, &current);
        x = current.x;
        y = current.y;
    }
    // Each character's offset from x and width, as the DC measures them.
    std::vector<int> offsets(static_cast<size_t>(count));
    std::vector<int> widths(static_cast<size_t>(count));
    long long position = 0;
    for (int i = 0; i < count; ++i) {
        offsets[i] = static_cast<int>(std::min<long long>(position, INT_MAX));
        if (text[i] == L'\t') {
            const long long from = x + position - tabOrigin;
            position = (from / tabWidth + 1) * tabWidth + tabOrigin - x;
            continue;
        }
        if (!::GetCharWidthW(dc, static_cast<UINT>(text[i]), static_cast<UINT>(text[i]), &widths[i]))
            widths[i] = metrics.tmAveCharWidth - metrics.tmOverhang;
        position += widths[i];
    }
    const int extent = static_cast<int>(std::min<long long>(position, INT_MAX));
    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left -= extent / 2;
    else if (align & TA_RIGHT)
        left -= extent;
    dc.SetTextAlign(align & ~(TA_UPDATECP | TA_CENTER | TA_RIGHT));
    // Each run between tabs in one call, every character at its place.
    for (int start = 0; start < count;) {
        if (text[start] == L'\t') {
            ++start;
            continue;
        }
        int end = start;
        while (end < count && text[end] != L'\t')
            ++end;
        ::ExtTextOutW(dc, left + offsets[start], y, 0, nullptr, text + start, static_cast<UINT>(end - start), widths.data() + start);
        start = end;
    }
    dc.SetTextAlign(align);
    if (align & TA_UPDATECP)
        dc.MoveTo((align & TA_CENTER) == TA_CENTER ? x : (align & TA_RIGHT) ? left : left + extent, y);
    return { extent, metrics.tmHeight };
}

BOOL SECEditView::OnPreparePrinting(CPrintInfo* info)
{
    return DoPreparePrinting(info);
}

void SECEditView::OnBeginPrinting(CDC* dc, CPrintInfo* info)
{
    m_pPrintInfo = std::make_unique<SECEditPrintInfo>();
    SECEditPrintInfo& print = *m_pPrintInfo;
    SECEdit* edit = GetEdit();
    SECEditFontInfo* screen = edit ? edit->GetFontInfo() : nullptr;
    if (!screen || screen->GetFontCount() == 0)
        return;

    LOGFONTW record {};
    screen->GetTextFont()->GetLogFont(&record);
    record.lfHeight = screen->m_nPointSize * dc->GetDeviceCaps(LOGPIXELSY) / -72;
    auto font = std::make_unique<CFont>();
    if (!font->CreateFontIndirect(&record))
        return;
    CFont* old = dc->SelectObject(font.get());
    print.m_font.AddFont(std::move(font));
    print.m_font.Measure(*dc, L' ', TRUE);

    CRect page(0, 0, dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
    DeflateMargins(dc, page);
    print.m_rectHeader = CRect(page.left, page.top, page.right, page.top + GetHeaderHeight(dc));
    print.m_rectFooter = CRect(page.left, page.bottom - GetFooterHeight(dc), page.right, page.bottom);
    print.m_rectBody = CRect(page.left, print.m_rectHeader.bottom, page.right, print.m_rectFooter.top);
    // A row height taller than the body still prints one row a page.
    print.m_nRowsPerPage = std::max(print.m_rectBody.Height() / std::max(print.m_font.m_nLineHeight, 1), 1);

    PaginateLines(dc);
    const size_t rows = print.m_rows.size();
    const size_t pages = rows / print.m_nRowsPerPage + (rows % print.m_nRowsPerPage ? 1 : 0);
    info->SetMaxPage(static_cast<UINT>(std::clamp<size_t>(pages, 1, USHRT_MAX)));
    dc->SelectObject(old);
}

void SECEditView::OnEndPrinting(CDC*, CPrintInfo*)
{
    m_pPrintInfo.reset();
}

void SECEditView::PaginateLines(CDC* dc)
{
    SECEditPrintInfo& print = *m_pPrintInfo;
    print.m_rows.clear();
    SECEdit* edit = GetEdit();
    SECEditController* controller = GetEditController();
    if (!edit || !controller)
        return;
    const int lines = edit->GetLineCount();
    print.m_rows.reserve(static_cast<size_t>(lines));
    const int tabWidth = edit->GetTabStopWidth(print.m_font);
    const int width = print.m_rectBody.Width();
    for (int line = 0; line < lines; ++line) {
        // A long script takes a while: the program's messages are handled meanwhile (the printer's
        // abort procedure), and a cancelled run stops here.
        if (line % kLinesBetweenAbortChecks == 0 && !::QueryAbort(*dc, 0))
            return;
        CString copy;
        const wchar_t* text = nullptr;
        const int length = std::max(edit->GetLineText(line, copy, text), 0);
        const CString kept = text == copy.GetString() ? copy : CString(text, length); // the next call may move text
        int column = 0;
        do {
            print.m_rows.emplace_back(line, column);
            const int remaining = length - column;
            // A body narrower than one character still gets a character a row.
            const int fit = std::max(CharsThatFit(*controller, *dc, kept.GetString() + column, remaining, width, tabWidth), 1);
            column += std::min(fit, remaining);
        } while (column < length);
    }
}

void SECEditView::DeflateMargins(CDC* dc, CRect& rect)
{
    rect.DeflateRect(dc->GetDeviceCaps(LOGPIXELSX) / 2, dc->GetDeviceCaps(LOGPIXELSY) / 2);
}

int SECEditView::GetHeaderHeight(CDC*)
{
    return m_pPrintInfo ? 2 * m_pPrintInfo->m_font.m_nLineHeight : 0;
}

int SECEditView::GetFooterHeight(CDC*)
{
    return m_pPrintInfo ? 2 * m_pPrintInfo->m_font.m_nLineHeight : 0;
}

void SECEditView::OnPrint(CDC* dc, CPrintInfo* info)
{
    if (!m_pPrintInfo || m_pPrintInfo->m_font.GetFontCount() == 0)
        return;
    SECEditPrintInfo& print = *m_pPrintInfo;
    CFont* old = dc->SelectObject(print.m_font.GetTextFont());
    const COLORREF oldText = dc->SetTextColor(0);
    const COLORREF oldBack = dc->SetBkColor(0xFFFFFF);
    // The page is white under the text: filling each character's cell white again would only cost
    // time (at a printer's resolution, most of a page's pixels).
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    if (print.m_rectHeader.Height() > 0)
        PrintHeader(dc, info, print.m_rectHeader);
    PrintBody(dc, info, print.m_rectBody);
    if (print.m_rectFooter.Height() > 0)
        PrintFooter(dc, info, print.m_rectFooter);
    dc->SetBkMode(oldMode);
    dc->SetBkColor(oldBack);
    dc->SetTextColor(oldText);
    dc->SelectObject(old);
}

void SECEditView::PrintHeader(CDC* dc, CPrintInfo*, const CRect& rect)
{
    const int rowHeight = m_pPrintInfo->m_font.m_nLineHeight;
    if (rect.Height() < rowHeight)
        return;
    CString title = GetDocument() ? GetDocument()->GetTitle() : CString();
    if (title.IsEmpty())
        title.LoadString(IDS_EDIT_UNTITLED);
    CRect row(rect.left, rect.top, rect.right, rect.top + rowHeight);
    dc->DrawText(title, &row, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    const int y = rect.top + rowHeight + rowHeight / 2;
    if (y < rect.bottom) {
        dc->MoveTo(rect.left, y);
        dc->LineTo(rect.right, y);
    }
}

void SECEditView::PrintBody(CDC* dc, CPrintInfo* info, const CRect& rect)
{
    SECEditPrintInfo& print = *m_pPrintInfo;
    SECEdit* edit = GetEdit();
    if (!edit)
        return;
    const size_t rows = print.m_rows.size();
    const size_t first = static_cast<size_t>(info->m_nCurPage - 1) * print.m_nRowsPerPage;
    const size_t end = std::min(first + print.m_nRowsPerPage, rows);
    const int tabWidth = edit->GetTabStopWidth(print.m_font);
    int y = rect.top;
    for (size_t row = first; row < end; ++row, y += print.m_font.m_nLineHeight) {
        const SECEditLineCol start = print.m_rows[row];
        CString copy;
        const wchar_t* text = nullptr;
        const int length = std::max(edit->GetLineText(start.m_nLine, copy, text), 0);
        const bool continues = row + 1 < rows && print.m_rows[row + 1].m_nLine == start.m_nLine;
        const int stop = std::min(continues ? print.m_rows[row + 1].m_nCol : length, length);
        if (stop > start.m_nCol)
            PreviewTabbedTextOut(*dc, rect.left, y, text + start.m_nCol, stop - start.m_nCol, tabWidth, rect.left);
    }
}

void SECEditView::PrintFooter(CDC* dc, CPrintInfo* info, const CRect& rect)
{
    const int rowHeight = m_pPrintInfo->m_font.m_nLineHeight;
    int y = rect.top + rowHeight / 2;
    if (y < rect.bottom) {
        dc->MoveTo(rect.left, y);
        dc->LineTo(rect.right, y);
    }
    y += rowHeight / 2;
    if (y + rowHeight <= rect.bottom) {
        CString format, number;
        format.LoadString(IDS_EDIT_PAGE_NUMBER);
        number.Format(format.GetString(), static_cast<int>(info->m_nCurPage));
        dc->TextOut(rect.left, y, number);
    }
}
