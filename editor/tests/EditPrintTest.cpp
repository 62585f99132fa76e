#include "editor/EditPrint.h"

#include "EditViewFixture.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/PreviewView.h"
#include "platform/mfc/Print.h"
#include "platform/print/Printers.h"
#include "platform/print/tests/PdfFile.h"

#include <gtest/gtest.h>

#include <regex>

using namespace edittest;
using namespace fln::print;
using namespace fln::print::testing;

namespace {

class EditPrint : public EditViewTest {
protected:
    void TearDown() override
    {
        AfxSelectPrinter(nullptr, nullptr);
        EditViewTest::TearDown();
    }
    // Prints the model to a PDF file through the view's direct print command; the pages' text.
    std::vector<std::string> PrintPages()
    {
        const std::string output = m_dir.File("script.pdf");
        AfxSelectPrinter(NewDevNames(kPdfPrinterName, std::wstring(output.begin(), output.end()), false), nullptr);
        Command(ID_FILE_PRINT_DIRECT);
        EXPECT_TRUE(m_messages.texts.empty());
        return pdfPages(output);
    }
    // Runs the view's preparation on the PDF printer's DC and hands over its print information.
    template <typename Check>
    void Paginated(Check check)
    {
        HDC printer = CreatePrinterDC(kPdfPrinterName, nullptr, nullptr);
        ASSERT_NE(printer, nullptr);
        CDC dc;
        dc.Attach(printer);
        CPrintInfo info;
        m_view->OnBeginPrinting(&dc, &info);
        ASSERT_NE(m_view->GetPrintInfo(), nullptr);
        check(*m_view->GetPrintInfo(), dc, info);
        m_view->OnEndPrinting(&dc, &info);
        EXPECT_EQ(m_view->GetPrintInfo(), nullptr);
        ::DeleteDC(dc.Detach());
    }

    ScopedPrinterList m_printers { { { kPdfPrinterName, L"", true, true } } };
    TempDir m_dir;
};

TEST_F(EditPrint, PagesHaveTheMarginsRowsAndMaximumPageOfThePrinter)
{
    SetText(Lines(130).c_str());
    Paginated([&](const SECEditPrintInfo& print, CDC& dc, CPrintInfo& info) {
        const int dpi = dc.GetDeviceCaps(LOGPIXELSY);
        const int row = print.m_font.m_nLineHeight;
        EXPECT_EQ(print.m_font.m_nLineHeight, print.m_font.GetMetrics().tmHeight + print.m_font.GetMetrics().tmExternalLeading);
        EXPECT_NEAR(print.m_font.GetMetrics().tmHeight, 10 * dpi / 72, 10 * dpi / 72 / 3) << "the screen font's points at the printer's resolution";
        EXPECT_EQ(print.m_rectHeader, CRect(dpi / 2, dpi / 2, dc.GetDeviceCaps(HORZRES) - dpi / 2, dpi / 2 + 2 * row));
        EXPECT_EQ(print.m_rectFooter.bottom, dc.GetDeviceCaps(VERTRES) - dpi / 2);
        EXPECT_EQ(print.m_rectFooter.Height(), 2 * row);
        EXPECT_EQ(print.m_rectBody.top, print.m_rectHeader.bottom);
        EXPECT_EQ(print.m_rectBody.bottom, print.m_rectFooter.top);
        EXPECT_EQ(print.m_nRowsPerPage, print.m_rectBody.Height() / row);
        EXPECT_EQ(print.m_rows.size(), 131u);
        EXPECT_EQ(info.GetMaxPage(), (131u + print.m_nRowsPerPage - 1) / print.m_nRowsPerPage);
    });
}

TEST_F(EditPrint, LongLinesContinueOnTheNextRowAtTheFirstCharacterThatDidNotFit)
{
    const std::wstring wide(500, L'x');
    SetText((wide + L"\r\n\r\n\t" + wide).c_str());
    Paginated([&](const SECEditPrintInfo& print, CDC&, CPrintInfo&) {
        const int perRow = print.m_rectBody.Width() / print.m_font.m_nBlankWidth;
        ASSERT_GT(perRow, 20);
        ASSERT_LT(perRow, 250);
        std::vector<SECEditLineCol> expected;
        for (int column = 0; column < 500; column += perRow)
            expected.emplace_back(0, column);
        expected.emplace_back(1, 0); // an empty line is one row
        // The tab is four columns wide: three fewer characters fit into the first row.
        for (int column = 0; column < 501; column += column == 0 ? perRow - 3 : perRow)
            expected.emplace_back(2, column);
        EXPECT_EQ(print.m_rows, expected);
    });
}

TEST_F(EditPrint, ScriptPrintsToPdfWithTitleRowsAndPageNumbers)
{
    SetText((Lines(129) + L"last\tline").c_str());
    const std::vector<std::string> pages = PrintPages();
    ASSERT_GE(pages.size(), 2u);
    int nextLine = 0;
    for (size_t page = 0; page < pages.size(); ++page) {
        SCOPED_TRACE(page);
        const std::string& text = pages[page];
        EXPECT_NE(text.find("Untitled"), std::string::npos) << text;
        EXPECT_NE(text.find("Page: " + std::to_string(page + 1)), std::string::npos) << text;
        EXPECT_NE(text.find("line " + std::to_string(nextLine) + "\n"), std::string::npos) << "each page goes on where the last ended\n" << text;
        while (text.find("line " + std::to_string(nextLine) + "\n") != std::string::npos)
            ++nextLine;
    }
    EXPECT_EQ(nextLine, 129);
    EXPECT_TRUE(std::regex_search(pages.back(), std::regex("\nlast +line\n"))) << "the tab prints as space\n" << pages.back();
}

// A view whose header is less than one row high.
class ShortHeaderView : public SECEditView {
public:
    int GetHeaderHeight(CDC*) override { return GetPrintInfo()->m_font.m_nLineHeight / 2; }
};

TEST_F(EditPrint, AHeaderLessThanARowHighPrintsNoTitle)
{
    m_frame.DestroyWindow();
    ASSERT_TRUE(m_frame.CreateEx(0, nullptr, L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 300, nullptr, nullptr));
    m_view = new ShortHeaderView;
    m_view->SetEdit(&m_edit);
    ASSERT_TRUE(m_view->CreateEditWindow(&m_frame, CRect(0, 0, m_width, m_height), 1, WS_CHILD | WS_VISIBLE));
    SetText(L"only line");
    const std::vector<std::string> pages = PrintPages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].find("Untitled"), std::string::npos) << pages[0];
    EXPECT_NE(pages[0].find("only line"), std::string::npos) << pages[0];
    EXPECT_NE(pages[0].find("Page: 1"), std::string::npos) << pages[0];
}

// A view that tells how far its run got: the rows it paginated and the pages it printed.
class RecordingView : public SECEditView {
public:
    void OnPrint(CDC* dc, CPrintInfo* info) override
    {
        ++pagesPrinted;
        SECEditView::OnPrint(dc, info);
    }
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override
    {
        rowsPaginated = GetPrintInfo()->m_rows.size();
        SECEditView::OnEndPrinting(dc, info);
    }
    int pagesPrinted = 0;
    size_t rowsPaginated = 0;
};

// Cancelled while a long script is cut into rows (here by a quit that comes meanwhile): the rows
// stop there, nothing prints, no file is left and nothing is reported.
TEST_F(EditPrint, ACancelWhileTheRowsAreCutStopsTheRun)
{
    m_frame.DestroyWindow();
    ASSERT_TRUE(m_frame.CreateEx(0, nullptr, L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 300, nullptr, nullptr));
    auto* view = new RecordingView;
    m_view = view;
    m_view->SetEdit(&m_edit);
    ASSERT_TRUE(m_view->CreateEditWindow(&m_frame, CRect(0, 0, m_width, m_height), 1, WS_CHILD | WS_VISIBLE));
    SetText(Lines(2000).c_str());
    const std::string output = m_dir.File("script.pdf");
    AfxSelectPrinter(NewDevNames(kPdfPrinterName, std::wstring(output.begin(), output.end()), false), nullptr);
    PostQuitMessage(0);
    m_view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_LT(view->rowsPaginated, 2000u);
    EXPECT_EQ(view->pagesPrinted, 0);
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_TRUE(m_messages.texts.empty());
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is kept for the main loop";
}

TEST_F(EditPrint, PreviewOutsideAFrameIsReportedAsAFailedCommand)
{
    SetText(L"text");
    Command(ID_FILE_PRINT_PREVIEW);
    ASSERT_EQ(m_messages.texts.size(), 1u);
    EXPECT_EQ(m_messages.texts[0], L"The command could not be carried out.");
    EXPECT_TRUE(m_view->IsWindowVisible());
}

// The rows of the preview's sheet with ink in the left third of the sheet, where the text is.
int InkedRowsOnTheSheet(HWND preview)
{
    RECT client;
    ::GetClientRect(preview, &client);
    HDC dc = ::GetDC(preview);
    const int middle = client.bottom / 2;
    int left = -1, right = -1;
    for (int x = 0; x < client.right; ++x) {
        if (::GetPixel(dc, x, middle) == RGB(255, 255, 255)) {
            left = left < 0 ? x : left;
            right = x;
        }
    }
    int rows = 0;
    for (int y = CPreviewView::kBarHeight; left >= 0 && y < client.bottom; ++y) {
        for (int x = left + 1; x < left + (right - left) / 3; ++x) {
            if (pixel_checks::IsDark(::GetPixel(dc, x, y))) {
                ++rows;
                break;
            }
        }
    }
    ::ReleaseDC(preview, dc);
    return rows;
}

TEST_F(EditPrint, PreviewInAFrameShowsThePagesAndEndsTheRunOnClose)
{
    SetText(Lines(200).c_str());
    auto* frame = new CFrameWnd; // deletes itself with its window
    ASSERT_TRUE(frame->Create(nullptr, L"Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 700, 600)));
    auto* view = new SECEditView;
    view->SetEdit(&m_edit);
    ASSERT_TRUE(view->CreateEditWindow(frame, CRect(0, 0, 600, 500), AFX_IDW_PANE_FIRST, WS_CHILD | WS_VISIBLE));
    frame->SetActiveView(view);
    frame->RecalcLayout();
    Pump();

    frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    Pump();
    auto* preview = dynamic_cast<CPreviewView*>(frame->GetActiveView());
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(m_messages.texts.empty());
    EXPECT_FALSE(view->IsWindowVisible());
    ASSERT_NE(view->GetPrintInfo(), nullptr);
    EXPECT_EQ(view->GetPrintInfo()->m_rows.size(), 201u);
    preview->UpdateWindow();
    EXPECT_GT(InkedRowsOnTheSheet(preview->m_hWnd), 150) << "the first page shows some sixty lines of text";

    ::SendMessageW(::GetDlgItem(preview->m_hWnd, AFX_ID_PREVIEW_CLOSE), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(view->GetPrintInfo(), nullptr);
    EXPECT_TRUE(view->IsWindowVisible());
    frame->DestroyWindow();
}

TEST_F(EditPrint, TabbedTextOutPlacesCharactersByTheirWidthsAndHonoursAlignment)
{
    CDC& dc = m_edit.GetFontInfo()->GetInfoDC();
    const int blank = m_edit.GetFontInfo()->m_nBlankWidth;
    struct Case {
        const wchar_t* text;
        UINT align;
        int x;
        int extent;
        int expectedCurrentX; // after the output, with TA_UPDATECP
    };
    // "ab\tc" from x = 10 with stops every 8 blanks from 0: a, b, then c at 8 blanks.
    const int tabbed = 8 * blank + blank - 10;
    const Case cases[] = {
        { L"ab\tc", TA_LEFT, 10, tabbed, -1 },
        { L"ab\tc", TA_UPDATECP, 10, tabbed, 10 + tabbed },
        { L"ab", TA_UPDATECP | TA_RIGHT, 100, 2 * blank, 100 - 2 * blank },
        { L"ab", TA_UPDATECP | TA_CENTER, 100, 2 * blank, 100 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.align);
        dc.SetTextAlign(c.align);
        dc.MoveTo(c.x, 0);
        const CSize size = PreviewTabbedTextOut(dc, 10, 0, c.text, static_cast<int>(std::wcslen(c.text)), 8 * blank, 0);
        EXPECT_EQ(size.cx, c.extent);
        POINT current {};
        ::GetCurrentPositionEx(dc, &current);
        if (c.expectedCurrentX >= 0) {
            EXPECT_EQ(current.x, c.expectedCurrentX);
        }
        EXPECT_EQ(::GetTextAlign(dc), c.align) << "the alignment is put back";
    }
    dc.SetTextAlign(TA_LEFT);
}

} // namespace
