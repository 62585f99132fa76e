// The Graph page in the program: its tab shows the "KSys" tool bar and menu 138, its Charts
// commands switch the chart, painting reads the Formula page without validating or changing it,
// an unusable x interval is explained in the status bar, and a new size repaints the chart.

#include "app/tests/ProgramTestSupport.h"
#include "diagrams/D2KSys.h"
#include "diagrams/KSysView.h"
#include "diagrams/tests/Canvas.h"
#include "platform/mfc/Menu.h"
#include "platform/user/tests/PixelChecks.h"
#include "res/Formulon.h"

namespace {

constexpr int kFormulaTab = 0;

class GraphPageTest : public ProgramTest {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    void ShowTab(int index)
    {
        Frame().m_wndTab.ActivateTab(index);
        Pump();
    }
    // The Graph tab's place depends on which pages before it the program has.
    int GraphTab()
    {
        for (int index = 0; index < Frame().m_wndTab.GetTabCount(); ++index)
            if (dynamic_cast<CKSysView*>(Frame().m_wndTab.GetPage(index)))
                return index;
        return -1;
    }
    CKSysView& Graph() { return *dynamic_cast<CKSysView*>(Frame().m_wndTab.GetPage(GraphTab())); }
    CControlBar& DiagramBar() { return *Frame().GetControlBar(IDW_DIAGRAM_BAR); }
    std::vector<COLORREF> GraphPixels()
    {
        CRect client;
        Graph().GetClientRect(&client);
        HDC dc = ::GetDC(Graph().m_hWnd);
        std::vector<COLORREF> pixels = pixel_checks::PixelsOf(dc, client);
        ::ReleaseDC(Graph().m_hWnd, dc);
        return pixels;
    }
    // What the diagram draws of `formula` over [xa, xb] in `mode` at the page's present size.
    std::vector<COLORREF> ChartAtPageSize(const wchar_t* formula, double xa, double xb, int mode)
    {
        CRect client;
        Graph().GetClientRect(&client);
        Canvas canvas(client.Width(), client.Height());
        CD2KSys diagram(RECT { 0, 0, 100, 100 });
        for (int constant = 1; constant <= 7; ++constant)
            m_app->FormulaParser.SetFunctConst(constant, 1);
        diagram.SetPlotArea(0, 0, client.Width(), client.Height(), xa, xb);
        diagram.Bestimmung_der_Funktionswerte(m_app->FormulaParser, formula);
        diagram.m_nMode = mode;
        diagram.Draw(canvas.Dc());
        return canvas.Pixels();
    }
    void SetInterval(const wchar_t* xa, const wchar_t* xb)
    {
        SetFieldText(IDC_VALUE_XA, xa);
        SetFieldText(IDC_VALUE_XB, xb);
    }
};

TEST_F(GraphPageTest, TheTabShowsItsToolBarAndMenuAndLeavingHidesTheBar)
{
    ASSERT_GT(GraphTab(), kFormulaTab);
    EXPECT_FALSE(DiagramBar().IsWindowVisible());
    CString title;
    DiagramBar().GetWindowText(title);
    EXPECT_EQ(title, CString(L"KSys"));

    ShowTab(GraphTab());
    EXPECT_TRUE(DiagramBar().IsWindowVisible());
    EXPECT_EQ(Frame().GetMenuResource(), static_cast<UINT>(IDR_GRAPHPAGE));

    // Menu 138's Charts items, enabled and unchecked while the page has the focus, with their prompts.
    HMENU menu = LoadMenuW(m_app->m_hInstance, MAKEINTRESOURCEW(IDR_GRAPHPAGE));
    ASSERT_NE(menu, nullptr);
    wchar_t text[64] {};
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    GetMenuStringW(menu, 1, text, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"&Charts");
    HMENU charts = GetSubMenu(menu, 1);
    Frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(charts), 1);
    struct Item {
        UINT id;
        const wchar_t *text, *prompt;
    };
    const Item items[] = {
        { ID_CHART_PHYSICAL, L"&Physical Coordinate Diagram", L"Physical Coordinate Diagram\nPhysical Coordinate Diagram" },
        { ID_CHART_MATHEMATICAL, L"&Mathematical Coordinate Diagram", L"Mathematical Coordinate Diagram\nMathematical Coordinate Diagram" },
        { ID_CHART_POLAR, L"&Polar Coordinate Diagram", L"Polar Coordinate Diagram\nPolar Coordinate Diagram" },
    };
    ASSERT_EQ(GetMenuItemCount(charts), 3);
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(GetMenuItemID(charts, index), items[index].id);
        GetMenuStringW(charts, index, text, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), items[index].text);
        EXPECT_EQ(GetMenuState(charts, items[index].id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0u);
        CString prompt;
        prompt.LoadString(items[index].id);
        EXPECT_EQ(std::wstring(prompt.GetString()), items[index].prompt);
    }
    DestroyMenu(menu);

    ShowTab(kFormulaTab);
    EXPECT_FALSE(DiagramBar().IsWindowVisible());
    EXPECT_EQ(Frame().GetMenuResource(), static_cast<UINT>(IDR_MAINFRAME));
}

TEST_F(GraphPageTest, TheChartsCommandsSwitchTheModeAndRepaint)
{
    SetFieldText(kFormulaField, L"SIN(x)");
    ShowTab(GraphTab());
    EXPECT_EQ(Graph().DiagramMode, DiagramMathematical);
    EXPECT_EQ(GraphPixels(), ChartAtPageSize(L"SIN(x)", -12, 12, DiagramMathematical));
    struct Case {
        UINT command;
        int mode;
    };
    // The commands come through the frame, as from the menu and the tool bar.
    for (Case c : { Case { ID_CHART_PHYSICAL, DiagramPhysical }, { ID_CHART_POLAR, DiagramPolar }, { ID_CHART_POLAR, DiagramPolar },
                    { ID_CHART_MATHEMATICAL, DiagramMathematical } }) {
        SCOPED_TRACE(c.command);
        Frame().SendMessage(WM_COMMAND, c.command);
        Pump();
        EXPECT_EQ(Graph().DiagramMode, c.mode);
        EXPECT_EQ(GraphPixels(), ChartAtPageSize(L"SIN(x)", -12, 12, c.mode));
    }
    // The tool bar carries the three commands, physical first.
    auto& bar = static_cast<SECCustomToolBar&>(DiagramBar());
    ASSERT_EQ(bar.GetButtonCount(), 3);
    EXPECT_EQ(bar.GetButton(0)->m_nID, static_cast<UINT>(ID_CHART_PHYSICAL));
    EXPECT_EQ(bar.GetButton(1)->m_nID, static_cast<UINT>(ID_CHART_MATHEMATICAL));
    EXPECT_EQ(bar.GetButton(2)->m_nID, static_cast<UINT>(ID_CHART_POLAR));
    EXPECT_EQ(bar.GetImageWidth(), 32);
    EXPECT_EQ(bar.GetImageHeight(), 32);
}

TEST_F(GraphPageTest, PaintingNeitherValidatesNorChangesTheFormulaPage)
{
    SetFieldText(kFormulaField, L" sin ( x ) ");
    SetFieldText(kFieldA, L"not a number");
    ShowTab(GraphTab());
    Graph().Invalidate(TRUE);
    Pump();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(FieldText(kFormulaField), CString(L" sin ( x ) "));
    EXPECT_EQ(FieldText(kFieldA), CString(L"not a number"));
    EXPECT_EQ(GraphPixels(), ChartAtPageSize(L"SIN(x)", -12, 12, DiagramMathematical));
}

TEST_F(GraphPageTest, AnIntervalWithoutPointsIsExplainedInTheStatusBar)
{
    struct Case {
        const wchar_t *xa, *xb;
        UINT reason;
    };
    for (Case c : { Case { L"3", L"3", IDS_GRAPH_INTERVAL_EMPTY },
                    { L"1", L"1.00000000000001", IDS_GRAPH_INTERVAL_UNUSABLE } }) {
        SCOPED_TRACE(c.xa);
        SetFieldText(kFormulaField, L"x");
        SetInterval(c.xa, c.xb);
        ShowTab(GraphTab());
        Graph().Invalidate(TRUE);
        Pump();
        CString expected;
        expected.LoadString(c.reason);
        EXPECT_EQ(Frame().m_wndStatusBar.GetPaneText(0), expected);
        const std::vector<COLORREF> pixels = GraphPixels();
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), RGB(255, 0, 0)), 0);
        EXPECT_GT(std::count(pixels.begin(), pixels.end(), RGB(0, 0, 0)), 100);
        ShowTab(kFormulaTab);
    }
    // A usable interval again: the explanation goes with the next chart, but only while it is shown.
    SetInterval(L"-12", L"12");
    ShowTab(GraphTab());
    EXPECT_EQ(Frame().m_wndStatusBar.GetPaneText(0), CString(L"Ready"));
    ShowTab(kFormulaTab);
    SetInterval(L"3", L"3");
    ShowTab(GraphTab());
    Frame().SetMessageText(L"Result = 2");
    SetInterval(L"-12", L"12");
    Graph().Invalidate(TRUE);
    Pump();
    EXPECT_EQ(Frame().m_wndStatusBar.GetPaneText(0), CString(L"Result = 2"));
}

// xa above xb is the interval from xb to xa: its curve is drawn, and nothing needs explaining.
TEST_F(GraphPageTest, AnIntervalFromRightToLeftIsDrawn)
{
    SetFieldText(kFormulaField, L"SIN(x)");
    SetInterval(L"10", L"-10");
    ShowTab(GraphTab());
    Graph().Invalidate(TRUE);
    Pump();
    EXPECT_EQ(GraphPixels(), ChartAtPageSize(L"SIN(x)", -10, 10, DiagramMathematical));
    EXPECT_EQ(Frame().m_wndStatusBar.GetPaneText(0), CString(L"Ready"));
}

TEST_F(GraphPageTest, ANewSizeRepaintsTheChartToIt)
{
    SetFieldText(kFormulaField, L"x^2");
    ShowTab(GraphTab());
    CRect before;
    Graph().GetClientRect(&before);
    CRect frame;
    Frame().GetWindowRect(&frame);
    Frame().SetWindowPos(nullptr, 0, 0, frame.Width() + 120, frame.Height() + 60, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    CRect after;
    Graph().GetClientRect(&after);
    EXPECT_EQ(after.Width(), before.Width() + 120);
    EXPECT_EQ(after.Height(), before.Height() + 60);
    EXPECT_EQ(GraphPixels(), ChartAtPageSize(L"x^2", -12, 12, DiagramMathematical));
}

// The picture the real program under X must show too (ProgramX11Test), kept for people to look at.
TEST_F(GraphPageTest, SineOnTheGraphPage)
{
    SetFieldText(kFormulaField, L"SIN(x)");
    ShowTab(GraphTab());
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(Graph().m_hWnd, "graph_page_sin.png"));
}

} // namespace
