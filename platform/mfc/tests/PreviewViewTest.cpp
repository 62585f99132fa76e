#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/PreviewView.h"
#include "platform/mfc/WinApp.h"
#include "platform/print/Printers.h"

#include <gtest/gtest.h>


using namespace fln::print;

namespace {

std::vector<std::string> calls;

class BandDocument : public CDocument {
    DECLARE_DYNCREATE(BandDocument)
};
IMPLEMENT_DYNCREATE(BandDocument, CDocument)

// Three pages, each with a black band across one third of it: page 1 the top third, page 2 the
// middle, page 3 the bottom.
class BandView : public CView {
    DECLARE_DYNCREATE(BandView)
public:
    void OnDraw(CDC*) override {}

protected:
    BOOL OnPreparePrinting(CPrintInfo* info) override
    {
        info->SetMaxPage(3);
        return DoPreparePrinting(info);
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { calls.push_back("begin"); }
    void OnPrint(CDC* dc, CPrintInfo* info) override
    {
        CRect page = info->m_rectDraw;
        int third = page.Height() / 3;
        CRect band(page.left, page.top + third * static_cast<int>(info->m_nCurPage - 1), page.right, page.top + third * static_cast<int>(info->m_nCurPage));
        ::FillRect(*dc, &band, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { calls.push_back("end"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(BandView, CView)
BEGIN_MESSAGE_MAP(BandView, CView)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

class PreviewViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        calls.clear();
        previousHandler = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(BandDocument), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(BandView)));
        app.OnFileNew();
        ASSERT_NE(Frame(), nullptr);
        Frame()->MoveWindow(0, 0, 800, 600);
        printed = Frame()->GetActiveView();
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
    }
    CFrameWnd* Frame() { return dynamic_cast<CFrameWnd*>(AfxGetMainWnd()); }
    CPreviewView* Preview() { return dynamic_cast<CPreviewView*>(Frame()->GetActiveView()); }
    void command(UINT id) { Frame()->SendMessage(WM_COMMAND, id, 0); }
    void press(UINT button) { ::SendMessageW(::GetDlgItem(Preview()->m_hWnd, button), BM_CLICK, 0, 0); }
    bool enabled(UINT button) { return ::IsWindowEnabled(::GetDlgItem(Preview()->m_hWnd, button)); }

    // Where the black band lies on the sheet that column x crosses: 0 top third, 1 middle, 2 bottom;
    // -1 when the column crosses no sheet with a band.
    int bandThird(int x)
    {
        CPreviewView* preview = Preview();
        preview->UpdateWindow();
        RECT client;
        preview->GetClientRect(&client);
        CClientDC dc(preview);
        int sheetTop = -1, sheetBottom = -1;
        long bandSum = 0, bandRows = 0;
        for (int y = CPreviewView::kBarHeight + 1; y < client.bottom; ++y) {
            COLORREF pixel = dc.GetPixel(x, y);
            bool white = pixel == RGB(255, 255, 255), black = pixel == RGB(0, 0, 0);
            if (!white && !black)
                continue;
            if (sheetTop < 0)
                sheetTop = y;
            sheetBottom = y;
            if (black)
                bandSum += y, ++bandRows;
        }
        // The sheet's frame is one black row at each end.
        bandRows -= 2, bandSum -= sheetTop + sheetBottom;
        if (sheetTop < 0 || bandRows <= 0)
            return -1;
        double middle = static_cast<double>(bandSum) / bandRows;
        return static_cast<int>(3 * (middle - sheetTop) / (sheetBottom - sheetTop + 1));
    }
    int width()
    {
        RECT client;
        Preview()->GetClientRect(&client);
        return client.right;
    }

    ScopedPrinterList printers { { { kPdfPrinterName, L"", true, true } } };
    CWinApp app { L"PreviewTest" };
    CView* printed = nullptr;
    MessageBoxHandler previousHandler;
    std::vector<CString> boxes;
};

TEST_F(PreviewViewTest, TheBarTurnsThePagesAndThePixelsFollow)
{
    command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(Preview(), nullptr);
    EXPECT_FALSE(printed->IsWindowVisible());
    EXPECT_EQ(calls, std::vector<std::string> { "begin" });

    struct Step {
        UINT button; // 0: none
        UINT page;
        bool prev, next;
    };
    const Step steps[] = { { 0, 1, false, true }, { AFX_ID_PREVIEW_NEXT, 2, true, true }, { AFX_ID_PREVIEW_NEXT, 3, true, false },
        { AFX_ID_PREVIEW_NEXT, 3, true, false }, { AFX_ID_PREVIEW_PREV, 2, true, true } };
    for (const Step& step : steps) {
        if (step.button)
            press(step.button);
        SCOPED_TRACE(step.page);
        EXPECT_EQ(Preview()->GetCurrentPage(), step.page);
        EXPECT_EQ(bandThird(width() / 2), static_cast<int>(step.page) - 1);
        EXPECT_EQ(enabled(AFX_ID_PREVIEW_PREV), step.prev);
        EXPECT_EQ(enabled(AFX_ID_PREVIEW_NEXT), step.next);
    }

    // Two pages side by side: 2 and 3.
    press(AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_EQ(Preview()->GetPagesShown(), 2u);
    EXPECT_FALSE(enabled(AFX_ID_PREVIEW_NEXT));
    int middle = width() / 2;
    EXPECT_EQ(bandThird(middle - middle / 2), 1);
    EXPECT_EQ(bandThird(middle + middle / 2), 2);
    EXPECT_EQ(bandThird(middle), -1) << "the gap between the sheets";
}

TEST_F(PreviewViewTest, ZoomMakesTheSheetLargerWithinItsLimits)
{
    command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(Preview(), nullptr);
    // The sheet's pixels (white paper or black band) along a row near the bottom.
    auto sheetWidth = [&] {
        Preview()->UpdateWindow();
        CClientDC dc(Preview());
        RECT client;
        Preview()->GetClientRect(&client);
        int y = client.bottom - 30, count = 0;
        for (int x = 0; x < width(); ++x) {
            COLORREF pixel = dc.GetPixel(x, y);
            count += pixel == RGB(255, 255, 255) || pixel == RGB(0, 0, 0);
        }
        return count;
    };
    int fitted = sheetWidth();
    EXPECT_FALSE(enabled(AFX_ID_PREVIEW_ZOOMOUT));
    press(AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_GT(sheetWidth(), fitted);
    press(AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_EQ(Preview()->GetZoom(), CPreviewView::kMaxZoom);
    EXPECT_FALSE(enabled(AFX_ID_PREVIEW_ZOOMIN));
    press(AFX_ID_PREVIEW_ZOOMOUT);
    press(AFX_ID_PREVIEW_ZOOMOUT);
    EXPECT_EQ(sheetWidth(), fitted);
}

TEST_F(PreviewViewTest, CloseGivesTheViewBack)
{
    command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(Preview(), nullptr);
    HWND preview = Preview()->m_hWnd;
    press(AFX_ID_PREVIEW_CLOSE);
    EXPECT_FALSE(::IsWindow(preview));
    EXPECT_EQ(Frame()->GetActiveView(), printed);
    EXPECT_TRUE(printed->IsWindowVisible());
    EXPECT_EQ(calls, (std::vector<std::string> { "begin", "end" }));
}

TEST_F(PreviewViewTest, WithoutAPrinterThePreviewFailsWithTheFrameworkMessage)
{
    ScopedPrinterList none({});
    command(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(Frame()->GetActiveView(), printed);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(std::wstring(boxes[0].GetString()).find(L"No printers are installed"), std::wstring::npos);
    EXPECT_EQ(boxes[1], CString(L"The command could not be carried out."));
    EXPECT_TRUE(calls.empty());
}

} // namespace
