#include "controls/ResizableFormView.h"
#include "controls/tests/ControlTestSupport.h"

#include <map>

namespace {

constexpr UINT IDD_RESIZABLE = 300;
constexpr UINT IDC_EDIT = 310, IDC_LIST = 311, IDC_LABEL = 312, IDC_FIXED = 313;
constexpr UINT kResizing[] = { IDC_EDIT, IDC_LIST, IDC_LABEL };

class ResizableFormViewTest : public ControlTest {
protected:
    // The view at the size of its template (or at the given size), its initial update done.
    void MakeView(bool initialUpdate = true, SIZE size = { -1, -1 })
    {
        ASSERT_TRUE(view->CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, main.m_hWnd, nullptr));
        templateSize = view->GetTotalSize();
        if (size.cx < 0)
            size = templateSize;
        Resize(size.cx, size.cy);
        for (UINT id : { IDC_EDIT, IDC_LIST, IDC_LABEL, IDC_FIXED })
            templateRects[id] = RectOf(id);
        if (initialUpdate)
            view->OnInitialUpdate();
    }
    void Register()
    {
        for (UINT id : kResizing)
            view->AddControl(id, 0, 0, 100, 100);
        view->AnchorControls();
    }
    void Resize(int width, int height)
    {
        ::SetWindowPos(view->m_hWnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        Pump();
    }
    CRect RectOf(UINT id) const
    {
        CRect rect;
        HWND control = ::GetDlgItem(view->m_hWnd, static_cast<int>(id));
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
        return rect;
    }

    CResizableFormView* view = new CResizableFormView(IDD_RESIZABLE); // deleted with its window
    CSize templateSize;
    std::map<UINT, CRect> templateRects;
};

TEST_F(ResizableFormViewTest, ControlsScaleWithTheViewButNeverBelowTheTemplate)
{
    MakeView();
    Register();
    struct Case {
        int widthTimes2, heightTimes2; // the view's size in halves of the template's
    };
    const Case cases[] = { { 4, 4 }, { 4, 2 }, { 2, 6 }, { 2, 2 }, { 1, 1 }, { 3, 3 } };
    for (const Case& c : cases) {
        Resize(templateSize.cx * c.widthTimes2 / 2, templateSize.cy * c.heightTimes2 / 2);
        for (UINT id : kResizing) {
            const CRect& base = templateRects[id];
            // The template's size is even, and halves round away from zero.
            auto scaled = [](int edge, int times2) { return times2 < 2 ? edge : (edge * times2 + 1) / 2; };
            CRect expected(scaled(base.left, c.widthTimes2), scaled(base.top, c.heightTimes2),
                scaled(base.right, c.widthTimes2), scaled(base.bottom, c.heightTimes2));
            EXPECT_EQ(RectOf(id), expected) << "control " << id << " at " << c.widthTimes2 << "/2 x " << c.heightTimes2 << "/2";
        }
        EXPECT_EQ(RectOf(IDC_FIXED), templateRects[IDC_FIXED]) << "an unregistered control stays";
    }
}

TEST_F(ResizableFormViewTest, MinimisingLaysOutButTheMaximisedNeighbourNotificationsDoNot)
{
    MakeView();
    Register();
    Resize(templateSize.cx * 2, templateSize.cy * 2);
    const CRect laidOut = RectOf(IDC_EDIT);
    ASSERT_NE(laidOut, templateRects[IDC_EDIT]);
    struct Case {
        WPARAM type;
        bool lays;
    };
    for (const Case& c : { Case { SIZE_MAXSHOW, false }, Case { SIZE_MAXHIDE, false }, Case { SIZE_MINIMIZED, true }, Case { SIZE_RESTORED, true } }) {
        const CRect& moved = templateRects[IDC_EDIT];
        ::MoveWindow(::GetDlgItem(view->m_hWnd, IDC_EDIT), moved.left, moved.top, moved.Width(), moved.Height(), TRUE);
        ::SendMessageW(view->m_hWnd, WM_SIZE, c.type, MAKELPARAM(templateSize.cx * 2, templateSize.cy * 2));
        EXPECT_EQ(RectOf(IDC_EDIT), c.lays ? laidOut : moved) << "size type " << c.type;
    }
}

TEST_F(ResizableFormViewTest, NothingMovesBeforeTheInitialUpdateOrForWindowsNeverRegistered)
{
    MakeView(false);
    Register();
    Resize(templateSize.cx * 2, templateSize.cy * 2);
    EXPECT_EQ(RectOf(IDC_EDIT), templateRects[IDC_EDIT]) << "not initialised yet";

    view->AddControl(999, 0, 0, 0, 0); // no such child: ignored
    EXPECT_FALSE(view->AddAnchor(::GetDlgItem(view->m_hWnd, IDC_FIXED), 0, 0, 0, 0));
    view->OnInitialUpdate();
    EXPECT_EQ(CSize(view->InitialSize()), CSize(templateSize.cx * 2, templateSize.cy * 2)) << "the size when the update ran";
    Resize(templateSize.cx * 2 + 2, templateSize.cy * 2 + 2);
    EXPECT_EQ(RectOf(IDC_FIXED), templateRects[IDC_FIXED]);
    EXPECT_GT(RectOf(IDC_EDIT).right, templateRects[IDC_EDIT].right);
}

TEST_F(ResizableFormViewTest, AnchoringInAViewWithoutAreaLeavesTheTemplateLayout)
{
    MakeView(true, { 0, 0 });
    Register();
    Resize(templateSize.cx * 2, templateSize.cy * 2);
    for (UINT id : kResizing)
        EXPECT_EQ(RectOf(id), templateRects[id]) << "control " << id;
}

} // namespace
