// Typing through an input method: a composition shows at the caret in the text's font, its
// committed text is typed as one string that one undo takes back, and the caret comes back after it.

#include "EditViewFixture.h"

#include "platform/user/WindowTree.h"

using namespace edittest;

namespace {

class EditComposition : public EditViewTest {
protected:
    NativeWindowId Native() { return fln::user::WindowTree::Instance().Find(m_frame.m_hWnd)->native; }
    // Where the caret's character starts, in the frame's window coordinates.
    POINT CaretInFrame()
    {
        CPoint point = C().LineColToPoint(Caret());
        point -= m_view->GetViewport().GetLogOrigin();
        POINT screen = ScreenPoint(m_view->m_hWnd, point.x, point.y);
        RECT frame;
        ::GetWindowRect(m_frame.m_hWnd, &frame);
        return { screen.x - frame.left, screen.y - frame.top };
    }
};

TEST_F(EditComposition, StartPlacesTheSpotAtTheCaretInTheTextFont)
{
    SetText(Lines(100).c_str());
    struct Case {
        const char* name;
        SECEditLineCol caret;
    } cases[] = { { "at the start", { 0, 0 } }, { "scrolled down", { 80, 4 } }, { "back up", { 3, 2 } } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        C().SetCaretPosition(c.caret.m_nLine, c.caret.m_nCol, FALSE);
        C().EnsureCaretVisible();
        // Something else moved the spot meanwhile: the start puts it back at the caret.
        headless->SetCompositionSpot(Native(), { -1, -1 });
        headless->InjectCompositionStart();
        Pump();
        auto spot = headless->CompositionSpot(Native());
        ASSERT_TRUE(spot);
        const POINT expected = CaretInFrame();
        EXPECT_EQ(spot->x, expected.x);
        EXPECT_EQ(spot->y, expected.y);
        headless->InjectCompositionEnd();
        Pump();
    }
    EXPECT_GT(m_view->GetViewport().GetTopLine(), 0) << "the caret was put back at line 3 from below";

    LOGFONTW font {};
    ASSERT_TRUE(C().GetViewFontInfo()->GetTextFont()->GetLogFont(&font));
    auto given = headless->CompositionFontOf(Native());
    ASSERT_TRUE(given);
    EXPECT_EQ(given->face, font.lfFaceName);
    EXPECT_EQ(given->height, C().GetViewFontInfo()->GetMetrics().tmHeight);
    EXPECT_EQ(given->ascent, C().GetViewFontInfo()->GetMetrics().tmAscent);
}

TEST_F(EditComposition, CommittedTextIsTypedAsOneStringThatOneUndoTakesBack)
{
    Type(L"x ");
    headless->InjectCompositionStart();
    headless->InjectCompositionCommit(L"\u65E5\u672C\u8A9E");
    headless->InjectCompositionEnd();
    Pump();
    EXPECT_EQ(Text(), L"x \u65E5\u672C\u8A9E");
    EXPECT_EQ(Caret(), SECEditLineCol(0, 5));
    Press('Z', Ctrl);
    EXPECT_EQ(Text(), L"x ");
}

TEST_F(EditComposition, EndBringsBackAVisibleCaretAtTheCaretOnlyWithTheFocus)
{
    SetText(L"abc");
    C().SetCaretPosition(0, 2, FALSE);
    headless->InjectCompositionStart();
    Pump();
    // The input method's own drawing had the caret gone.
    ::DestroyCaret();
    headless->InjectCompositionEnd();
    Pump();
    POINT caret {};
    ASSERT_TRUE(::GetCaretPos(&caret));
    EXPECT_FALSE(C().IsCaretHidden());
    CPoint expected = C().LineColToPoint({ 0, 2 });
    expected -= m_view->GetViewport().GetLogOrigin();
    EXPECT_EQ(caret.x, expected.x - 1) << "the caret stands a pixel before its character";
    EXPECT_EQ(caret.y, expected.y);

    // The end of a composition the focus left takes no caret from the window that has it now.
    HWND other = ::CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 220, 100, 20, m_frame.m_hWnd, nullptr, nullptr, nullptr);
    headless->InjectCompositionStart();
    Pump();
    ::SetFocus(other);
    Pump();
    POINT before {};
    ASSERT_TRUE(::GetCaretPos(&before));
    m_view->SendMessage(WM_IME_ENDCOMPOSITION, 0, 0);
    POINT after {};
    ASSERT_TRUE(::GetCaretPos(&after));
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_TRUE(C().IsCaretHidden());
}

}
