#include "commandbars/ColorWell.h"
#include "commandbars/tests/HeadlessFrameTest.h"
#include "platform/user/tests/PixelChecks.h"

#include <functional>
#include <vector>

using namespace divuzura::foundation;

namespace {

constexpr UINT kWellId = 40, kButtonId = 41;
// The red, green and blue fields of the colour dialog.
constexpr int kRedField = 0x2C2, kGreenField = 0x2C3, kBlueField = 0x2C4;

// A window that records the colours its wells report.
class Host : public CWnd {
public:
    std::vector<std::pair<UINT, COLORREF>> reports;

protected:
    LRESULT OnColorSelected(WPARAM id, LPARAM colour)
    {
        reports.emplace_back(static_cast<UINT>(id), static_cast<COLORREF>(colour));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Host, CWnd)
    ON_MESSAGE(WM_SEC_COLORSELECTED, OnColorSelected)
END_MESSAGE_MAP()

class ColorWellTest : public HeadlessFrameTest {
protected:
    void SetUp() override
    {
        HeadlessFrameTest::SetUp();
        ASSERT_TRUE(host.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 150, 180), frame, 1));
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        HeadlessFrameTest::TearDown();
    }
    // Answers the next colour dialog with a colour and OK.
    void AnswerColourDialog(COLORREF colour)
    {
        answered = false;
        SetModalLoopHook([this, colour](HWND dialog) {
            if (answered || !::GetDlgItem(dialog, kRedField))
                return;
            answered = true;
            ::SetDlgItemInt(dialog, kRedField, GetRValue(colour), FALSE);
            ::SetDlgItemInt(dialog, kGreenField, GetGValue(colour), FALSE);
            ::SetDlgItemInt(dialog, kBlueField, GetBValue(colour), FALSE);
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
    }
    CPoint CellCentre(SECColorWell& well, int column, int row)
    {
        return ScreenPoint(&well, well.CellRect(column, row).CenterPoint().x, well.CellRect(column, row).CenterPoint().y);
    }

    Host host;
    bool answered = false;
};

TEST_F(ColorWellTest, TheGridIsLaidOutFromTheDialogBaseUnits)
{
    SECColorWell well;
    ASSERT_TRUE(well.Create(WS_VISIBLE, CRect(10, 10, 0, 0), &host, kWellId));
    const LONG base = ::GetDialogBaseUnits();
    const CSize cell(LOWORD(base) * 5 / 2, HIWORD(base) * 5 / 4);
    CRect place = PlaceInParent(&well);
    EXPECT_EQ(place.TopLeft(), CPoint(10, 10));
    EXPECT_EQ(place.Width(), 4 * cell.cx + 2 * (3 + 4) - 2);
    EXPECT_EQ(place.Height(), 5 * cell.cy + 2 * (3 + 5) - 2 + cell.cy + 2 + 6);
    EXPECT_EQ(well.CellRect(1, 2), CRect(CPoint(3 + cell.cx + 2, 3 + 2 * (cell.cy + 2)), cell));
    EXPECT_EQ(well.CellRect(3, 5).top, 3 + 5 * (cell.cy + 2) + 5) << "the custom cell sits lower";
    EXPECT_EQ(well.SendMessage(WM_GETDLGCODE), 131);

    SECColorWell plain;
    ASSERT_TRUE(plain.Create(WS_VISIBLE, CRect(100, 10, 0, 0), &host, kWellId + 1, FALSE));
    EXPECT_EQ(plain.SendMessage(WM_GETDLGCODE), 129);
    EXPECT_EQ(plain.GetOtherButton(), nullptr);
}

TEST_F(ColorWellTest, ArrowsMoveTheSelectionWithWrapAround)
{
    SECColorWell well;
    ASSERT_TRUE(well.Create(WS_VISIBLE, CRect(10, 10, 0, 0), &host, kWellId));
    well.SetFocus();
    struct Case {
        CPoint from;
        UINT key;
        CPoint to;
    };
    const Case withoutCustom[] = {
        { { 1, 1 }, VK_LEFT, { 0, 1 } },
        { { 0, 1 }, VK_LEFT, { 3, 0 } },
        { { 0, 0 }, VK_LEFT, { 3, 4 } },
        { { 3, 4 }, VK_RIGHT, { 0, 0 } },
        { { 3, 1 }, VK_RIGHT, { 0, 2 } },
        { { 2, 0 }, VK_UP, { 2, 4 } },
        { { 2, 4 }, VK_DOWN, { 2, 0 } },
    };
    for (const Case& c : withoutCustom) {
        ASSERT_TRUE(well.SelectColor(RGB(0, 0, 0)));
        well.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(well.CellRect(c.from.x, c.from.y).CenterPoint().x, well.CellRect(c.from.x, c.from.y).CenterPoint().y));
        Key(c.key);
        EXPECT_EQ(well.GetSelectedCell(), c.to) << c.from.x << "," << c.from.y << " key " << c.key;
    }
    // With a custom colour, the custom cell joins the walk.
    ASSERT_TRUE(well.SelectColor(RGB(1, 2, 3)));
    const Case withCustom[] = {
        { { 3, 4 }, VK_RIGHT, { 3, 5 } },
        { { 3, 5 }, VK_RIGHT, { 0, 0 } },
        { { 0, 0 }, VK_LEFT, { 3, 5 } },
        { { 3, 5 }, VK_LEFT, { 3, 4 } },
        { { 3, 4 }, VK_DOWN, { 3, 5 } },
        { { 3, 5 }, VK_DOWN, { 3, 0 } },
        { { 3, 0 }, VK_UP, { 3, 5 } },
        { { 1, 4 }, VK_DOWN, { 1, 0 } },
    };
    for (const Case& c : withCustom) {
        well.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(well.CellRect(c.from.x, c.from.y).CenterPoint().x, well.CellRect(c.from.x, c.from.y).CenterPoint().y));
        Key(c.key);
        EXPECT_EQ(well.GetSelectedCell(), c.to) << c.from.x << "," << c.from.y << " key " << c.key;
    }
}

TEST_F(ColorWellTest, AColourOutsideTheGridGoesToTheCustomCellOnlyWithAnOtherButton)
{
    SECColorWell well;
    ASSERT_TRUE(well.Create(WS_VISIBLE, CRect(10, 10, 0, 0), &host, kWellId));
    EXPECT_TRUE(well.SelectColor(RGB(0xFF, 0, 0)));
    EXPECT_EQ(well.GetSelectedCell(), CPoint(1, 3));
    const int otherWidth = PlaceInParent(well.GetOtherButton()).Width();
    EXPECT_TRUE(well.SelectColor(RGB(1, 2, 3)));
    EXPECT_TRUE(well.IsCustomColorShown());
    EXPECT_EQ(well.GetColor(), RGB(1, 2, 3));
    const int narrowed = PlaceInParent(well.GetOtherButton()).Width();
    EXPECT_EQ(narrowed, otherWidth - well.CellRect(0, 0).Width() - 2);
    EXPECT_TRUE(well.SelectColor(RGB(4, 5, 6)));
    EXPECT_EQ(PlaceInParent(well.GetOtherButton()).Width(), narrowed) << "only the first custom colour narrows it";
    EXPECT_TRUE(host.reports.empty()) << "selecting by program tells nobody";

    SECColorWell plain;
    ASSERT_TRUE(plain.Create(WS_VISIBLE, CRect(100, 10, 0, 0), &host, kWellId + 1, FALSE));
    plain.SelectColor(RGB(0, 0x80, 0));
    EXPECT_FALSE(plain.SelectColor(RGB(1, 2, 3)));
    EXPECT_EQ(plain.GetColor(), RGB(0, 0x80, 0));
}

TEST_F(ColorWellTest, AClickSelectsAndReportsACell)
{
    SECColorWell well;
    ASSERT_TRUE(well.Create(WS_VISIBLE, CRect(10, 10, 0, 0), &host, kWellId));
    Click(CellCentre(well, 2, 1));
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0], std::make_pair(kWellId, RGB(0x00, 0x80, 0x80)));
    EXPECT_EQ(::GetFocus(), well.m_hWnd);
    // Through the host, whose pixels include the well's Other button.
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(host.m_hWnd, "statusbar-colorwell.png"));
}

TEST_F(ColorWellTest, OtherAsksTheColourDialogAndKeepsItsChoice)
{
    SECColorWell well;
    ASSERT_TRUE(well.Create(WS_VISIBLE, CRect(10, 10, 0, 0), &host, kWellId));
    AnswerColourDialog(RGB(10, 20, 30));
    Click(ScreenPoint(well.GetOtherButton(), 5, 5));
    EXPECT_TRUE(answered);
    EXPECT_EQ(well.GetColor(), RGB(10, 20, 30));
    EXPECT_EQ(well.GetSelectedCell(), CPoint(3, 5));
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0], std::make_pair(kWellId, RGB(10, 20, 30)));
}

class WellButtonTest : public ColorWellTest {
protected:
    void SetUp() override
    {
        ColorWellTest::SetUp();
        ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(20, 20, 70, 42), &host, kButtonId));
        button.SetColor(RGB(0, 0, 0x80));
        Pump();
    }
    SECPopupColorWell* Popup() const { return button.GetPopup() && button.GetPopup()->IsActive() ? button.GetPopup() : nullptr; }
    SECWellButton button;
};

TEST_F(WellButtonTest, ThePopupDropsBelowTheButtonAtItsColour)
{
    Click(ScreenPoint(&button, 10, 10));
    SECPopupColorWell* popup = Popup();
    ASSERT_NE(popup, nullptr);
    CRect buttonRect, popupRect;
    button.GetWindowRect(&buttonRect);
    popup->GetWindowRect(&popupRect);
    EXPECT_EQ(popupRect.TopLeft(), CPoint(buttonRect.left, buttonRect.bottom));
    EXPECT_EQ(popup->GetSelectedCell(), CPoint(0, 1)) << "navy is the fifth colour";
    EXPECT_EQ(::GetFocus(), popup->m_hWnd);
    EXPECT_EQ(::GetCapture(), popup->m_hWnd);

    Key(VK_ESCAPE);
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_TRUE(host.reports.empty()) << "Escape chooses nothing";
}

TEST_F(WellButtonTest, KeysAndClicksInThePopupChooseAColour)
{
    Click(ScreenPoint(&button, 10, 10));
    ASSERT_NE(Popup(), nullptr);
    Key(VK_RIGHT);
    Key(VK_RETURN);
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_EQ(button.GetColor(), RGB(0x80, 0x00, 0x80));
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0], std::make_pair(kButtonId, RGB(0x80, 0x00, 0x80)));

    Click(ScreenPoint(&button, 10, 10));
    ASSERT_NE(Popup(), nullptr);
    Click(CellCentre(*Popup(), 3, 4));
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_EQ(button.GetColor(), RGB(0xFF, 0xFF, 0xFF));

    // A click elsewhere closes it and chooses nothing.
    Click(ScreenPoint(&button, 10, 10));
    ASSERT_NE(Popup(), nullptr);
    Click(ScreenPoint(&host, 140, 170));
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_EQ(host.reports.size(), 2u);
}

TEST_F(WellButtonTest, OtherInThePopupGoesThroughTheColourDialog)
{
    Click(ScreenPoint(&button, 10, 10));
    ASSERT_NE(Popup(), nullptr);
    AnswerColourDialog(RGB(200, 100, 50));
    Click(ScreenPoint(Popup()->GetOtherButton(), 5, 5));
    Pump();
    EXPECT_TRUE(answered);
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_EQ(button.GetColor(), RGB(200, 100, 50));
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0].second, RGB(200, 100, 50));
}

TEST_F(WellButtonTest, TheButtonShowsItsColourBesideTheArrow)
{
    EXPECT_EQ(PixelAt(&button, 10, 10), RGB(0, 0, 0x80));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(button.m_hWnd, "statusbar-wellbutton.png"));
}

} // namespace
