#include "app/tests/FlnViewTestSupport.h"

#include "engine/FormulaEngine.h"
#include "controls/BalloonHelp.h"

namespace {

TEST_F(FlnViewTest, TheControlsStandAtTheRectanglesOfTheForm)
{
    int children = 0;
    for (HWND child = ::GetWindow(view->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(children, 108);
    struct Place {
        UINT id;
        RECT dialogUnits;
    };
    const Place places[] = {
        { IDC_PAGE_TABS, { 5, 4, 5 + 286, 4 + 76 } }, { IDC_FORMULA, { 11, 20, 11 + 273, 20 + 44 } },
        { IDC_OUTPUT, { 92, 65, 92 + 194, 65 + 13 } }, { IDC_KEY_EQUALS, { 183, 137, 183 + 18, 137 + 40 } },
        { 237, { 166, 137, 166 + 12, 137 + 26 } }, { 213, { 124, 165, 124 + 26, 165 + 12 } },
        { 187, { 216, 94, 216 + 12, 94 + 12 } }, { IDC_PHYS_VALUE, { 230, 195, 230 + 58, 195 + 12 } },
    };
    for (const Place& place : places) {
        RECT expected = place.dialogUnits;
        ::MapDialogRect(view->m_hWnd, &expected);
        RECT actual {};
        ::GetWindowRect(Item(place.id), &actual);
        ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_TRUE(::EqualRect(&expected, &actual)) << "control " << place.id;
    }
    // The up-downs of the variables join the right edge of their fields.
    RECT field {};
    RECT spin {};
    ::GetWindowRect(Item(166), &field);
    ::GetWindowRect(Item(267), &spin);
    EXPECT_EQ(spin.left, field.right);
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_RETURN)));
    EXPECT_EQ(view->m_nNumberFormat, 1) << "a first run starts in Floating";
}

} // namespace

namespace {
TEST_F(FlnViewTest, Snapshot)
{
    Pump();
    WriteWindowPng(view->m_hWnd, "/tmp/fln_page.png");
}
}
