#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/Print.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"
#include "platform/print/Printers.h"
#include "platform/print/tests/PdfFile.h"
#include "platform/sys/TerminationSignals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <unistd.h>

using namespace fln::print;
using namespace fln::print::testing;

namespace {

std::vector<std::string> calls;
UINT reportPages = 3; // 0: the view does not know its length
int screenPaints = 0;
std::function<void(UINT page)> duringPage; // runs inside OnPrint

class ReportDocument : public CDocument {
    DECLARE_DYNCREATE(ReportDocument)
};
IMPLEMENT_DYNCREATE(ReportDocument, CDocument)

// A report of `reportPages` pages with a heading and a page footer on each.
class ReportView : public CView {
    DECLARE_DYNCREATE(ReportView)
public:
    void OnDraw(CDC*) override { ++screenPaints; }

protected:
    BOOL OnPreparePrinting(CPrintInfo* info) override
    {
        calls.push_back(info->m_bDirect ? "prepare direct" : "prepare");
        if (reportPages)
            info->SetMaxPage(reportPages);
        return DoPreparePrinting(info);
    }
    void OnBeginPrinting(CDC* dc, CPrintInfo*) override
    {
        calls.push_back("begin");
        int dpi = dc->GetDeviceCaps(LOGPIXELSY);
        LOGFONTW face {};
        face.lfHeight = -11 * dpi / 72;
        wcscpy(face.lfFaceName, L"Arial");
        font.CreateFontIndirect(&face);
    }
    void OnPrint(CDC* dc, CPrintInfo* info) override
    {
        calls.push_back("print " + std::to_string(info->m_nCurPage));
        if (duringPage)
            duringPage(info->m_nCurPage);
        CFont* old = dc->SelectObject(&font);
        CString heading, footer;
        heading.Format(L"Function table part %u", info->m_nCurPage);
        footer.Format(L"Page %u", info->m_nCurPage);
        CRect area = info->m_rectDraw;
        dc->TextOut(area.left + 300, area.top + 300, heading);
        dc->TextOut(area.left + 300, area.bottom - 300, footer);
        dc->SelectObject(old);
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override
    {
        calls.push_back("end");
        font.DeleteObject();
    }
    DECLARE_MESSAGE_MAP()

    CFont font;
};
IMPLEMENT_DYNCREATE(ReportView, CView)
BEGIN_MESSAGE_MAP(ReportView, CView)
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
END_MESSAGE_MAP()

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        folder = std::filesystem::temp_directory_path() / ("fln-mfcprint-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        calls.clear();
        reportPages = 3;
        duringPage = nullptr;
        previousHandler = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(ReportDocument), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(ReportView)));
        app.OnFileNew();
        ASSERT_NE(AfxGetMainWnd(), nullptr);
    }
    void TearDown() override
    {
        AfxSelectPrinter(nullptr, nullptr);
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        AfxDeleteTempObjects();
        SetMessageBoxHandler(std::move(previousHandler));
        std::filesystem::remove_all(folder);
    }

    void printToFile(const std::string& file)
    {
        std::wstring output(file.begin(), file.end());
        AfxSelectPrinter(NewDevNames(kPdfPrinterName, output, false), nullptr);
        calls.clear();
        AfxGetMainWnd()->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    }

    ScopedPrinterList printers { { { kPdfPrinterName, L"", true, true } } };
    CWinApp app { L"PrintTest" };
    std::filesystem::path folder;
    MessageBoxHandler previousHandler;
    std::vector<CString> boxes;
};

TEST_F(PrintTest, DirectPrintRunsEveryPageThroughTheView)
{
    std::string output = (folder / "report.pdf").string();
    printToFile(output);

    std::vector<std::string> expected { "prepare direct", "begin", "print 1", "print 2", "print 3", "end" };
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(pdfInfo(output, "Pages"), "3");
    auto pages = pdfPages(output);
    ASSERT_EQ(pages.size(), 3u);
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i);
        std::string number = std::to_string(i + 1);
        EXPECT_NE(pages[i].find("Function table part " + number), std::string::npos) << pages[i];
        EXPECT_NE(pages[i].find("Page " + number), std::string::npos) << pages[i];
    }
}

TEST_F(PrintTest, AViewThatDoesNotKnowItsLengthPrintsOnePage)
{
    reportPages = 0;
    std::string output = (folder / "one.pdf").string();
    printToFile(output);
    EXPECT_EQ(pdfInfo(output, "Pages"), "1");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "print 1"), 1);
}

TEST_F(PrintTest, WithoutAPrinterTheUserIsToldAndNothingPrints)
{
    ScopedPrinterList none({});
    for (UINT command : { ID_FILE_PRINT_DIRECT, ID_FILE_PRINT }) {
        SCOPED_TRACE(command);
        calls.clear();
        boxes.clear();
        AfxGetMainWnd()->SendMessage(WM_COMMAND, command, 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(std::wstring(boxes[0].GetString()).find(L"No printers are installed"), std::wstring::npos);
        EXPECT_EQ(calls.size(), 1u) << "only the preparation ran";
    }
}

TEST_F(PrintTest, AJobThatCannotStartIsReportedAndEndsCleanly)
{
    std::string output = (folder / "missing" / "report.pdf").string();
    printToFile(output);
    std::vector<std::string> expected { "prepare direct", "begin", "end" };
    EXPECT_EQ(calls, expected);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], CString(L"The document could not be printed."));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

std::wstring dialogText(HWND dialog, int id)
{
    wchar_t text[256] {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

// While the pages print, a box says what prints where and which page of how many; the main window
// is disabled but paints, as the messages are handled between pages; afterwards all is as before.
TEST_F(PrintTest, APrintingBoxCountsThePagesWhileTheWindowKeepsPainting)
{
    std::string output = (folder / "report.pdf").string();
    HWND main = AfxGetMainWnd()->m_hWnd;
    std::vector<std::wstring> pagesShown;
    int paintsAtPageOne = 0;
    duringPage = [&](UINT page) {
        HWND box = FindWindowW(nullptr, L"Printing");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(IsWindowVisible(box));
        EXPECT_EQ(GetWindow(box, GW_OWNER), main);
        EXPECT_FALSE(IsWindowEnabled(main));
        EXPECT_EQ(dialogText(box, CPrintingDialog::kDocumentId), L"Untitled");
        EXPECT_EQ(dialogText(box, CPrintingDialog::kDestinationId), L"to " + std::wstring(output.begin(), output.end()));
        pagesShown.push_back(dialogText(box, CPrintingDialog::kPageId));
        if (page == 1) {
            paintsAtPageOne = screenPaints;
            RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
        if (page == 2) {
            EXPECT_GT(screenPaints, paintsAtPageOne) << "the window painted between the pages";
        }
    };
    printToFile(output);

    EXPECT_EQ(pagesShown, (std::vector<std::wstring> { L"Page 1 of 3", L"Page 2 of 3", L"Page 3 of 3" }));
    EXPECT_EQ(FindWindowW(nullptr, L"Printing"), nullptr);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(pdfInfo(output, "Pages"), "3");
    EXPECT_TRUE(boxes.empty());
}

// Cancel, Esc, the box closed (as a request to end the program closes it) or the program told to
// quit: the run stops after the page being printed, leaves no file and reports nothing.
TEST_F(PrintTest, ACancelledRunStopsAfterItsPageAndLeavesNoFile)
{
    struct Way {
        const char* name;
        std::function<void(HWND box)> cancel;
    } ways[] = {
        { "Cancel", [](HWND box) { PostMessageW(box, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL))); } },
        { "Esc", [](HWND box) { PostMessageW(GetDlgItem(box, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0); } },
        { "closed", [](HWND box) { PostMessageW(box, WM_CLOSE, 0, 0); } },
        { "quit", [](HWND) { PostQuitMessage(3); } },
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        std::string output = (folder / "cancelled.pdf").string();
        duringPage = [&](UINT page) {
            if (page == 2)
                way.cancel(FindWindowW(nullptr, L"Printing"));
        };
        printToFile(output);
        EXPECT_EQ(calls, (std::vector<std::string> { "prepare direct", "begin", "print 1", "print 2", "end" }));
        EXPECT_TRUE(boxes.empty());
        std::string left;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().filename().string().rfind("cancelled", 0) == 0)
                left += entry.path().filename().string() + " ";
        }
        EXPECT_EQ(left, "");
        EXPECT_TRUE(IsWindowEnabled(AfxGetMainWnd()->m_hWnd));
        MSG quit;
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), std::string(way.name) == "quit")
            << "a quit is kept for the main loop";
    }
}

// A request to end the program (SIGTERM) while pages print reaches the program between pages,
// through the wait sources the abort procedure runs; the program closes its modal windows, the
// printing box among them, and the run ends after its page.
TEST_F(PrintTest, ATerminationSignalEndsTheRunAfterItsPage)
{
    int requests = 0;
    TerminationSignals signals([&](int) {
        ++requests;
        if (HWND box = FindWindowW(nullptr, L"Printing"))
            PostMessageW(box, WM_CLOSE, 0, 0);
    });
    std::string output = (folder / "signalled.pdf").string();
    duringPage = [](UINT page) {
        if (page == 2)
            ::raise(SIGTERM);
    };
    printToFile(output);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(calls, (std::vector<std::string> { "prepare direct", "begin", "print 1", "print 2", "end" }));
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_TRUE(boxes.empty());
}

} // namespace

