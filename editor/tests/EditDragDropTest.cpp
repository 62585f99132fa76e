// Dragging text with the mouse: within a view, between two views of different documents, the
// keys of the drag (Ctrl copies, Esc cancels), a read-only target, and the grey drop caret.

#include "EditViewFixture.h"

using namespace edittest;
using namespace pixel_checks;

namespace {

// A document whose read-only state a test can set.
class LockableEdit : public SECEdit {
public:
    BOOL IsReadOnly() const override { return m_locked; }
    BOOL m_locked = FALSE;
};

class EditDragDrop : public EditViewTest {
protected:
    EditDragDrop() { m_height = 100; }

    void SetUp() override
    {
        EditViewTest::SetUp();
        m_other.AttachLangConfig(m_language.get());
        m_other.ResetContent();
        m_otherView = new SECEditView;
        m_otherView->SetEdit(&m_other);
        ASSERT_TRUE(m_otherView->CreateEditWindow(&m_frame, CRect(0, 120, m_width, 220), 2, WS_CHILD | WS_VISIBLE));
        m_otherView->OnInitialUpdate();
        m_view->SetFocus();
        Pump();
    }
    void TearDown() override
    {
        m_frame.DestroyWindow();
        m_other.AttachLangConfig(nullptr);
        EditViewTest::TearDown();
    }

    std::wstring OtherText() { return edittest::AllText(m_other); }
    POINT OtherAt(int line, int column)
    {
        CPoint point = m_otherView->GetEditController()->LineColToPoint({ line, column });
        return ScreenPoint(m_otherView->m_hWnd, point.x, point.y + m_otherView->GetLineHeight() / 2);
    }
    // Presses at from, moves to to (holding Ctrl from the start when asked) and releases there.
    void Drag(POINT from, POINT to, bool control = false)
    {
        headless->Advance(2000); // no double click with an earlier press
        if (control)
            headless->InjectKey(VK_CONTROL, true);
        headless->InjectMouseMove(from);
        headless->InjectButton(1, true, from);
        headless->InjectMouseMove(to);
        headless->InjectButton(1, false, to);
        if (control)
            headless->InjectKey(VK_CONTROL, false);
        Pump();
    }

    LockableEdit m_other;
    SECEditView* m_otherView = nullptr;
};

struct InViewCase {
    const char* name;
    const wchar_t* text;
    SECEditLineColPair selection;
    SECEditLineCol pressAt;
    SECEditLineCol dropAt;
    bool control;
    const wchar_t* after;
    const wchar_t* selectedAfter;
};

TEST_F(EditDragDrop, WithinAViewMovesCopiesOrCancels)
{
    const InViewCase cases[] = {
        { "a move to the next line", L"one two\r\nthree", { 0, 0, 0, 4 }, { 0, 2 }, { 1, 5 }, false, L"two\r\nthreeone ", L"one " },
        { "Ctrl copies", L"copy me", { 0, 0, 0, 4 }, { 0, 2 }, { 0, 7 }, true, L"copy mecopy", L"copy" },
        { "a drop onto the selection cancels", L"abcdef", { 0, 1, 0, 5 }, { 0, 2 }, { 0, 3 }, false, L"abcdef", L"" },
        { "a press without a move is a click", L"abcdef", { 0, 1, 0, 5 }, { 0, 2 }, { 0, 2 }, false, L"abcdef", L"" },
    };
    for (const InViewCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetText(c.text);
        C().SetSelection(c.selection);
        Drag(At(c.pressAt.m_nLine, c.pressAt.m_nCol), At(c.dropAt.m_nLine, c.dropAt.m_nCol), c.control);
        EXPECT_EQ(Text(), c.after);
        EXPECT_EQ(Selected(), c.selectedAfter) << "the dropped text is selected";
        EXPECT_EQ(::GetCapture(), nullptr);
        Press('Z', Ctrl);
        EXPECT_EQ(Text(), c.text) << "one undo step";
    }
}

TEST_F(EditDragDrop, AColumnBlockLandsAsABlock)
{
    SetText(L"ab12\r\ncd34\r\nef56\r\ngh78");
    C().SetSelection(0, 0, 1, 2, SECEditController::SelectColumn);
    Drag(At(0, 1), At(2, 2));
    EXPECT_EQ(Text(), L"12\r\n34\r\nefab56\r\nghcd78");
}

TEST_F(EditDragDrop, BetweenTwoDocumentsAMoveDeletesTheSourceAndACopyKeepsIt)
{
    for (bool control : { false, true }) {
        SCOPED_TRACE(control ? "copy" : "move");
        SetText(L"take this");
        m_other.SetText(L"into ");
        C().SetSelection(0, 5, 0, 9);
        Drag(At(0, 6), OtherAt(0, 5), control);
        EXPECT_EQ(OtherText(), L"into this");
        EXPECT_EQ(Text(), control ? L"take this" : L"take ");
    }
}

TEST_F(EditDragDrop, BetweenTwoViewsOfOneDocumentAMoveTakesTheTextOutOnce)
{
    m_otherView->SetEdit(&m_edit);
    SetText(L"one two three");
    C().SetSelection(0, 0, 0, 4);
    Drag(At(0, 2), OtherAt(0, 13));
    EXPECT_EQ(Text(), L"two threeone ");
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"one two three") << "one undo step";
}

TEST_F(EditDragDrop, EscCancelsTheDrag)
{
    SetText(L"stay here");
    C().SetSelection(0, 0, 0, 4);
    headless->Advance(2000);
    const POINT from = At(0, 2), to = At(0, 9);
    headless->InjectMouseMove(from);
    headless->InjectButton(1, true, from);
    headless->InjectMouseMove(to);
    headless->InjectKey(VK_ESCAPE, true);
    headless->InjectKey(VK_ESCAPE, false);
    headless->InjectButton(1, false, to);
    Pump();
    EXPECT_EQ(Text(), L"stay here");
    EXPECT_EQ(Selected(), L"");
    EXPECT_EQ(Caret(), SECEditLineCol(0, 2)) << "the caret stays where the press put it";
}

TEST_F(EditDragDrop, AReadOnlyTargetRefusesTheDrop)
{
    SetText(L"keep this");
    m_other.SetText(L"locked");
    m_other.m_locked = TRUE;
    C().SetSelection(0, 5, 0, 9);
    Drag(At(0, 6), OtherAt(0, 2));
    EXPECT_EQ(OtherText(), L"locked");
    EXPECT_EQ(Text(), L"keep this");
}

TEST_F(EditDragDrop, AGreyDropCaretFollowsThePointerAndHidesOverTheDraggedText)
{
    SetText(L"drag me\r\nto here");
    C().SetSelection(0, 0, 0, 4);
    headless->Advance(2000);
    // A strip of the second line around the drop point.
    CPoint drop = C().LineColToPoint({ 1, 3 });
    drop -= m_view->GetViewport().GetLogOrigin();
    const RECT area { drop.x - 6, drop.y, drop.x + 6, drop.y + m_view->GetLineHeight() };
    auto pixels = [&] {
        HDC dc = ::GetDC(m_view->m_hWnd);
        auto result = PixelsOf(dc, area);
        ::ReleaseDC(m_view->m_hWnd, dc);
        return result;
    };
    const std::vector<COLORREF> before = pixels();
    std::vector<COLORREF> withCaret, overSelection;
    int step = 0;
    SetModalLoopHook([&](HWND) {
        switch (step++) {
        case 0:
            withCaret = pixels();
            headless->InjectMouseMove(At(0, 2));
            break;
        case 1:
            overSelection = pixels();
            headless->InjectKey(VK_ESCAPE, true);
            break;
        }
    });
    const POINT from = At(0, 2);
    headless->InjectMouseMove(from);
    headless->InjectButton(1, true, from);
    headless->InjectMouseMove(At(1, 3));
    Pump();
    SetModalLoopHook({});
    headless->InjectKey(VK_ESCAPE, false);
    headless->InjectButton(1, false, from);
    Pump();
    ASSERT_EQ(step, 2);
    EXPECT_TRUE(MatchesExpectedPixels(withCaret, area.right - area.left, area.bottom - area.top, "editor_drop_caret.png"));
    EXPECT_NE(withCaret, before);
    EXPECT_EQ(overSelection, before) << "over the dragged text the caret hides";
}

} // namespace
