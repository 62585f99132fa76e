// Bars that float in the main window: a workbook hosts each in a sheet of its own.

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/Workbook.h"

#include "platform/mfc/DockContext.h"
#include "platform/user/ResourceHandles.h"

#include "DockingFixture.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT ID_BAR = 0xE830;

class MdiFloatTest : public DockingFixture {
protected:
    void SetUp() override
    {
        DockingFixture::SetUp();
        book = static_cast<SECWorkbookWnd*>(frame);
        ASSERT_TRUE(bar.Create(book, L"Tools", WS_VISIBLE | CBRS_LEFT, CBRS_EX_CONTEXTMENU | CBRS_EX_MDIFLOAT, ID_BAR));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        book->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
        Pump();
    }
    CFrameWnd* NewFrame() override { return new SECWorkbookWnd; }
    // The command of the bar's context menu.
    void Toggle()
    {
        bar.SendMessage(WM_COMMAND, ID_SEC_FLOATINMAINWINDOW);
        Pump();
    }
    SECControlBarWorksheet* Sheet() const { return dynamic_cast<SECControlBarWorksheet*>(book->GetMDIFloatFrame(&bar)); }
    CRect ScreenRectOfFloatingFrame() const
    {
        CRect rect;
        ::GetWindowRect(::GetAncestor(bar.m_hWnd, GA_ROOT), &rect);
        return rect;
    }

    SECWorkbookWnd* book = nullptr;
    SECControlBar bar;
};

TEST_F(MdiFloatTest, ADockedBarBecomesASheetAndGoesBackToItsPlace)
{
    CDockBar* left = AfxFindDockBar(book, AFX_IDW_DOCKBAR_LEFT);
    ASSERT_EQ(bar.m_pDockBar, left);
    const CRect docked = PlaceInParent(bar.m_hWnd);

    Toggle();
    SECControlBarWorksheet* sheet = Sheet();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(SECIsFloatingInMainWindow(&bar));
    EXPECT_EQ(::GetParent(sheet->m_hWnd), book->m_hWndMDIClient);
    EXPECT_EQ(book->Sheets(), std::vector<SECWorksheetWnd*> { sheet });
    EXPECT_EQ(book->MDIGetActive(), sheet);
    EXPECT_TRUE(sheet->IsWindowVisible());
    EXPECT_FALSE(sheet->GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_EQ(sheet->GetWindowText(), CString(L"Tools")); // the bar's title, not the resource's
    EXPECT_EQ(left->FindBar(&bar), -1);
    // The bar fills the sheet.
    CRect client;
    sheet->GetClientRect(&client);
    CRect inSheet;
    bar.GetWindowRect(&inSheet);
    sheet->ScreenToClient(&inSheet);
    EXPECT_EQ(inSheet, client);
    // Resizing the sheet resizes the bar, which keeps that as its floating size.
    sheet->SetWindowPos(nullptr, 0, 0, 260, 180, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    sheet->GetClientRect(&client);
    EXPECT_EQ(bar.m_szFloat, client.Size());

    Toggle();
    EXPECT_FALSE(SECIsFloatingInMainWindow(&bar));
    EXPECT_EQ(bar.m_pDockBar, left);
    EXPECT_EQ(PlaceInParent(bar.m_hWnd), docked);
    EXPECT_TRUE(book->Sheets().empty()); // the emptied sheet went
}

TEST_F(MdiFloatTest, AFloatingBarGoesBackFloatingWhereItsSheetWas)
{
    book->FloatControlBar(&bar, CPoint(300, 200));
    Pump();
    ASSERT_TRUE(bar.IsFloating());
    const HWND miniFrame = ::GetAncestor(bar.m_hWnd, GA_ROOT);
    ASSERT_NE(miniFrame, book->m_hWnd);

    Toggle();
    SECControlBarWorksheet* sheet = Sheet();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(::IsWindow(miniFrame)); // the emptied mini frame went
    // Given a place, the sheet stays inside the client.
    CRect mdiClient;
    ::GetClientRect(book->m_hWndMDIClient, &mdiClient);
    const CRect placed = PlaceInParent(sheet->m_hWnd);
    EXPECT_GE(placed.left, 0);
    EXPECT_LE(placed.left, mdiClient.right);
    EXPECT_LE(placed.top, mdiClient.bottom - 30);

    sheet->SetWindowPos(nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CRect moved;
    sheet->GetWindowRect(&moved);
    Toggle();
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_FALSE(SECIsFloatingInMainWindow(&bar));
    EXPECT_EQ(ScreenRectOfFloatingFrame().TopLeft(), moved.TopLeft());
    EXPECT_TRUE(book->Sheets().empty());
}

TEST_F(MdiFloatTest, BarsWithoutAGivenPlaceCascade)
{
    bar.m_pDockContext->m_ptMRUFloatPos = CPoint(-1, -1);
    Toggle();
    ASSERT_TRUE(Sheet());
    EXPECT_EQ(PlaceInParent(Sheet()->m_hWnd).TopLeft(), CPoint(30, 30));
}

TEST_F(MdiFloatTest, ClosingTheSheetHidesTheBarUntilItIsShownAgain)
{
    Toggle();
    SECControlBarWorksheet* sheet = Sheet();
    ASSERT_TRUE(sheet);
    sheet->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_FALSE(bar.IsVisible());
    ASSERT_TRUE(::IsWindow(sheet->m_hWnd));
    EXPECT_FALSE(sheet->IsWindowVisible());
    EXPECT_EQ(Sheet(), sheet);

    book->ShowControlBar(&bar, TRUE, FALSE);
    Pump();
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_TRUE(sheet->IsWindowVisible());
}

TEST_F(MdiFloatTest, TheSheetsTabIconIsTheBarsOrTheSystemLogo)
{
    Toggle();
    SECControlBarWorksheet* sheet = Sheet();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->m_hIcon); // the logo, kept for the tab only
    EXPECT_FALSE(sheet->SendMessage(WM_GETICON, ICON_BIG));
    Toggle();

    HICON icon = ::LoadIconW(nullptr, IDI_QUESTION);
    bar.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    Toggle();
    sheet = Sheet();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->m_hIcon);
    EXPECT_EQ(sheet->SendMessage(WM_GETICON, ICON_BIG), reinterpret_cast<LRESULT>(sheet->m_hIcon));
}

TEST_F(MdiFloatTest, WithoutAHostClassTheBarStaysDocked)
{
    book->m_pMDIFloatFrameClass = nullptr;
    Toggle();
    EXPECT_FALSE(SECIsFloatingInMainWindow(&bar));
    EXPECT_EQ(bar.m_pDockBar, AfxFindDockBar(book, AFX_IDW_DOCKBAR_LEFT));
    EXPECT_TRUE(book->Sheets().empty());
}

TEST_F(MdiFloatTest, TheContextMenuOffersFloatingInTheMainWindow)
{
    // The items as the bar builds them, then the frame's.
    auto menuOf = [this](CMenu& menu) {
        menu.CreatePopupMenu();
        menu.AppendMenu(MF_STRING, ID_SEC_ALLOWDOCKING, L"Allow Docking");
        menu.AppendMenu(MF_STRING, ID_SEC_HIDE, L"Hide");
        EXPECT_EQ(book->SendMessage(WM_SEC_ADDCONTEXTMENUITEMS, reinterpret_cast<WPARAM>(&bar), reinterpret_cast<LPARAM>(&menu)), 0);
    };
    {
        CMenu menu;
        menuOf(menu);
        ASSERT_EQ(menu.GetMenuItemCount(), 4u);
        EXPECT_TRUE(menu.GetMenuState(2, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(menu.GetMenuItemID(3), ID_SEC_FLOATINMAINWINDOW);
        CString text;
        menu.GetMenuString(ID_SEC_FLOATINMAINWINDOW, text, MF_BYCOMMAND);
        EXPECT_EQ(text, CString(L"Float In Main Window"));
        EXPECT_EQ(menu.GetMenuState(ID_SEC_FLOATINMAINWINDOW, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), 0u);
        EXPECT_EQ(menu.GetMenuState(ID_SEC_ALLOWDOCKING, MF_BYCOMMAND) & MF_GRAYED, 0u);
    }
    Toggle();
    {
        CMenu menu;
        menuOf(menu);
        EXPECT_TRUE(menu.GetMenuState(ID_SEC_FLOATINMAINWINDOW, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_TRUE(menu.GetMenuState(ID_SEC_ALLOWDOCKING, MF_BYCOMMAND) & MF_GRAYED);
    }
    Toggle();
    bar.SetExBarStyle(CBRS_EX_CONTEXTMENU);
    {
        CMenu menu;
        menuOf(menu);
        EXPECT_EQ(menu.GetMenuItemCount(), 2u); // a bar that may not float there is offered nothing
    }
}

TEST_F(MdiFloatTest, TheSavedLayoutPutsTheBarBackInTheMainWindow)
{
    Toggle();
    ASSERT_TRUE(Sheet());
    book->SaveBarState(L"Layout");
    Toggle();
    ASSERT_FALSE(SECIsFloatingInMainWindow(&bar));

    book->LoadBarState(L"Layout");
    Pump();
    EXPECT_TRUE(SECIsFloatingInMainWindow(&bar));
    EXPECT_EQ(book->Sheets().size(), 1u);
}

} // namespace
