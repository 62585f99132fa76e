#include "framework/Workbook.h"

#include "platform/mfc/WinApp.h"
#include "platform/user/tests/PixelChecks.h"

#include <gtest/gtest.h>

#include "DockingFixture.h"

// Points compared by the geometry's own comparison.
constexpr bool operator==(const POINT& a, const POINT& b);

namespace {

TEST(SheetTabGeometry, TheWidthIsSharedAndCapped)
{
    EXPECT_EQ(SheetTabWidth(200, 4, 90), 51);
    EXPECT_EQ(SheetTabWidth(200, 1, 90), 90);
    EXPECT_EQ(SheetTabWidth(200, 3, 90), 68);
}

TEST(SheetTabGeometry, TheFrontTabIsWiderAndDeeperUnlessFlat)
{
    SheetTabMetrics metrics;
    metrics.tabWidth = 50;
    auto back = SheetTabPolygon(1, false, 10, 100, metrics);
    const std::array<POINT, 7> expectedBack { { { 60, 104 }, { 60, 125 }, { 62, 127 }, { 108, 127 }, { 110, 125 }, { 110, 104 }, { 60, 104 } } };
    EXPECT_EQ(back, expectedBack);
    auto front = SheetTabPolygon(1, true, 10, 100, metrics);
    const std::array<POINT, 7> expectedFront { { { 58, 104 }, { 58, 125 }, { 60, 129 }, { 110, 129 }, { 112, 125 }, { 112, 104 }, { 58, 104 } } };
    EXPECT_EQ(front, expectedFront);
    metrics.flatLook = true;
    EXPECT_EQ(SheetTabPolygon(1, true, 10, 100, metrics), expectedBack);
}

TEST(SheetTabGeometry, LongLabelsLoseLettersForAnEllipsis)
{
    auto measure = [](const std::wstring& text) { return static_cast<int>(text.size()) * 6; };
    struct Case {
        const wchar_t* label;
        int width;
        const wchar_t* shown;
    };
    const Case cases[] = {
        { L"Sheet", 30, L"Sheet" },        // fits
        { L"Worksheet", 48, L"Works..." }, // one step
        { L"Worksheet", 30, L"Wo..." },
        { L"Worksheet", 0, L"..." },       // never fits
        { L"abc", 0, L"abc" },             // too short to shorten
        { L"", 0, L"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortenSheetLabel(c.label, c.width, measure), c.shown) << c.label << " in " << c.width;
}

class WorkbookTest : public HeadlessAppFixture {
protected:
    void SetUp() override
    {
        HeadlessAppFixture::SetUp();
        book = new SECWorkbookWnd;
        ASSERT_TRUE(book->Create(nullptr, L"Book", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 380, 260)));
        app.m_pMainWnd = book;
        book->ShowIcons(FALSE);
        book->SetTabsVisible(TRUE);
        Pump();
    }
    SECWorksheetWnd* NewSheet(LPCWSTR title)
    {
        auto* sheet = new SECWorksheetWnd;
        if (!sheet->LoadFrame(0, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, book)) {
            delete sheet;
            return nullptr;
        }
        sheet->SetTitle(title);
        sheet->OnUpdateFrameTitle(TRUE);
        sheet->ActivateFrame();
        Pump();
        return sheet;
    }
    CRect Client() const
    {
        CRect client;
        ::GetWindowRect(book->m_hWndMDIClient, &client);
        ::MapWindowPoints(nullptr, book->m_hWnd, reinterpret_cast<POINT*>(&client), 2);
        return client;
    }
    std::array<POINT, 7> Polygon(SECWorksheetWnd* sheet) const
    {
        std::array<POINT, 7> points;
        book->GetTabPolygon(sheet, points);
        return points;
    }
    COLORREF Pixel(int x, int y)
    {
        book->UpdateWindow();
        HDC dc = ::GetDC(book->m_hWnd);
        COLORREF colour = ::GetPixel(dc, x, y);
        ::ReleaseDC(book->m_hWnd, dc);
        return colour;
    }
    void ClickAt(CPoint client)
    {
        book->ClientToScreen(&client);
        headless->InjectMouseMove(client);
        headless->InjectButton(1, true, client);
        headless->InjectButton(1, false, client);
        Pump();
    }

    SECWorkbookWnd* book = nullptr;
};

TEST_F(WorkbookTest, SheetsJoinTheRowInOrderAndShareItsWidth)
{
    EXPECT_EQ(book->TabWidth(), 100); // before the first recomputation
    SECWorksheetWnd* first = NewSheet(L"One");
    ASSERT_TRUE(first);
    EXPECT_EQ(book->TabWidth(), 90);
    SECWorksheetWnd* second = NewSheet(L"Two");
    SECWorksheetWnd* third = NewSheet(L"Three");
    SECWorksheetWnd* fourth = NewSheet(L"Four");
    ASSERT_EQ(book->Sheets().size(), 4u);
    EXPECT_EQ(fourth->m_nTabIndex, 3);
    EXPECT_EQ(book->TabWidth(), SheetTabWidth(Client().Width(), 4, 90));
    // The tab row lies under the client.
    EXPECT_EQ(Polygon(first)[0].y, Client().bottom + 4);
    EXPECT_EQ(Polygon(second)[0].x, Client().left + book->TabWidth());

    // A hidden sheet takes no place: the tabs after it move left.
    second->ShowWindow(SW_HIDE);
    EXPECT_EQ(Polygon(third)[0].x, Client().left + book->TabWidth());

    // A sheet that goes leaves the others renumbered.
    third->DestroyWindow();
    Pump();
    ASSERT_EQ(book->Sheets().size(), 3u);
    EXPECT_EQ(fourth->m_nTabIndex, 2);
    EXPECT_EQ(book->TabWidth(), SheetTabWidth(Client().Width(), 3, 90));
}

TEST_F(WorkbookTest, AClickOnATabActivatesItsSheet)
{
    SECWorksheetWnd* first = NewSheet(L"One");
    SECWorksheetWnd* second = NewSheet(L"Two");
    ASSERT_EQ(book->MDIGetActive(), second);
    auto tab = Polygon(first);
    ClickAt({ tab[0].x + 20, tab[0].y + 10 });
    EXPECT_EQ(book->MDIGetActive(), first);
    EXPECT_FALSE(first->m_bPressed);
    // The active tab comes to the front: wider and deeper.
    EXPECT_EQ(Polygon(first)[2].y, Polygon(second)[2].y + 2);
    // A click beside the tabs changes nothing.
    ClickAt({ Client().right - 3, tab[0].y + 10 });
    EXPECT_EQ(book->MDIGetActive(), first);
}

TEST_F(WorkbookTest, TabsAreDrawnRaisedWithTheActiveOneInFront)
{
    NewSheet(L"Alpha");
    SECWorksheetWnd* second = NewSheet(L"A rather long title");
    book->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    auto front = Polygon(second);
    // The black bottom edge of the front tab, its face, and the highlight of its left edge.
    EXPECT_EQ(Pixel(front[3].x - 5, front[3].y - 1), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(front[0].x + 4, front[0].y + 6), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(front[0].x, front[0].y + 8), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(book->m_hWnd, "workbook-tabs.png"));
}

TEST_F(WorkbookTest, TheFlatLookSeparatesTheTabsByLines)
{
    SECWorksheetWnd* first = NewSheet(L"One");
    NewSheet(L"Two");
    NewSheet(L"Three"); // the front tab's light left line covers the separator before it
    book->SetFlatLook(TRUE);
    book->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    auto back = Polygon(first);
    EXPECT_EQ(Pixel(back[4].x - 1, back[0].y + 8), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_NE(Pixel(back[0].x + 30, back[0].y + 2), GetSysColor(COLOR_BTNFACE)); // no face behind a back tab
}

TEST_F(WorkbookTest, RepaintingATabInvalidatesItsPlaceOnly)
{
    SECWorksheetWnd* first = NewSheet(L"One");
    NewSheet(L"Two");
    book->UpdateWindow();
    book->InvalidateTab(first);
    CRect update;
    ASSERT_TRUE(::GetUpdateRect(book->m_hWnd, &update, FALSE));
    int x0 = Client().left;
    EXPECT_EQ(update, CRect(x0 - 2, Client().bottom + 4, x0 + book->TabWidth() + 4, Client().bottom + 4 + 23 + 4));
}

TEST_F(WorkbookTest, AShortenedLabelHasTheWholeLabelAsItsTip)
{
    SECWorksheetWnd* first = NewSheet(L"A title far too long for any tab");
    SECWorksheetWnd* second = NewSheet(L"Two");
    EXPECT_FALSE(book->FitsLabel(first));
    EXPECT_TRUE(book->FitsLabel(second));
    TOOLINFO tool { sizeof tool };
    auto tab = Polygon(first);
    EXPECT_EQ(book->OnToolHitTest({ tab[0].x + 10, tab[0].y + 10 }, &tool), 1);
    EXPECT_STREQ(tool.lpszText, L"A title far too long for any tab");
    auto fitting = Polygon(second);
    EXPECT_EQ(book->OnToolHitTest({ fitting[0].x + 10, fitting[0].y + 10 }, nullptr), -1);
}

} // namespace
