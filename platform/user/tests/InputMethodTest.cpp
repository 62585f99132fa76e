// Input-method contexts: the spot and font a window gives reach its top-level window's input
// method in that window's coordinates, the caret carries the spot along, and a composition reaches
// the focus window as its start, the typed text and its end, in that order.

#include "UserTestSupport.h"

#include "platform/gdi/MemoryDC.h"
#include "platform/user/WindowTree.h"

namespace {

class InputMethodTest : public UserTest {
protected:
    NativeWindowId NativeOf(HWND window) { return fln::user::WindowTree::Instance().Find(window)->native; }
};

TEST_F(InputMethodTest, TheSpotIsTakenInTheContextWindowsClientCoordinates)
{
    HWND top = TopLevel(WS_POPUP | WS_BORDER | WS_VISIBLE);
    HWND child = Child(top, { 30, 40, 200, 150 });
    HIMC context = ImmGetContext(child);
    ASSERT_TRUE(context);
    COMPOSITIONFORM form { CFS_FORCE_POSITION, { 5, 7 }, {} };
    EXPECT_TRUE(ImmSetCompositionWindow(context, &form));
    EXPECT_TRUE(ImmReleaseContext(child, context));
    // One pixel of border around the popup's client area, then the child's place.
    auto spot = headless->CompositionSpot(NativeOf(top));
    ASSERT_TRUE(spot);
    EXPECT_EQ(spot->x, 1 + 30 + 5);
    EXPECT_EQ(spot->y, 1 + 40 + 7);

    // The default style leaves the spot to the caret.
    form = { CFS_DEFAULT, { 90, 90 }, {} };
    EXPECT_TRUE(ImmSetCompositionWindow(context, &form));
    EXPECT_EQ(headless->CompositionSpot(NativeOf(top))->x, 36);

    // No window, no context; a dead window's context sets nothing.
    EXPECT_FALSE(ImmGetContext(nullptr));
    DestroyWindow(child);
    EXPECT_FALSE(ImmSetCompositionWindow(context, &form));
    EXPECT_FALSE(ImmSetCompositionWindow(ImmGetContext(top), nullptr));
}

TEST_F(InputMethodTest, TheCaretCarriesTheSpot)
{
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE);
    HWND child = Child(top, { 10, 20, 200, 150 });
    ASSERT_TRUE(CreateCaret(child, nullptr, 2, 16));
    SetCaretPos(33, 44);
    auto spot = headless->CompositionSpot(NativeOf(top));
    ASSERT_TRUE(spot);
    EXPECT_EQ(spot->x, 43);
    EXPECT_EQ(spot->y, 64);
    DestroyCaret();
}

TEST_F(InputMethodTest, TheFontIsMeasuredOnTheScreen)
{
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE);
    LOGFONTW font {};
    font.lfHeight = -20;
    wcscpy(font.lfFaceName, L"Courier New");
    HIMC context = ImmGetContext(top);
    ASSERT_TRUE(ImmSetCompositionFontW(context, &font));

    HFONT made = CreateFontIndirectW(&font);
    const TEXTMETRICW metrics = fln::gdi::FontMetrics(made);
    DeleteObject(made);

    auto given = headless->CompositionFontOf(NativeOf(top));
    ASSERT_TRUE(given);
    EXPECT_EQ(given->face, L"Courier New");
    EXPECT_EQ(given->height, metrics.tmHeight);
    EXPECT_EQ(given->ascent, metrics.tmAscent);
    EXPECT_GT(given->ascent, 0);
    EXPECT_FALSE(ImmSetCompositionFontW(context, nullptr));
}

TEST_F(InputMethodTest, ACompositionReachesTheFocusWindowInOrder)
{
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE);
    HWND child = Child(top, { 0, 0, 100, 100 });
    SetFocus(child);
    Pump();
    MessageLog::Instance().entries.clear();

    headless->InjectCompositionStart();
    headless->InjectCompositionCommit(L"\u65E5\u672C");
    headless->InjectCompositionEnd();
    Pump();

    auto& entries = MessageLog::Instance().entries;
    std::vector<std::pair<UINT, WPARAM>> seen;
    for (const auto& entry : entries) {
        if (entry.window == child && (entry.message == WM_IME_STARTCOMPOSITION || entry.message == WM_IME_ENDCOMPOSITION || entry.message == WM_CHAR))
            seen.push_back({ entry.message, entry.message == WM_CHAR ? entry.wParam : 0 });
    }
    const std::vector<std::pair<UINT, WPARAM>> expected { { WM_IME_STARTCOMPOSITION, 0 }, { WM_CHAR, 0x65E5 }, { WM_CHAR, 0x672C },
        { WM_IME_ENDCOMPOSITION, 0 } };
    EXPECT_EQ(seen, expected);
}

}
