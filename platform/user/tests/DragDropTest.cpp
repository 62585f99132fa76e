// The drag loop of DoDragDrop: which target hears of each step, the effect the keys ask for,
// the drop, Esc and a drop where no window takes it.

#include "platform/base/CString.h"
#include "platform/user/tests/UserTestSupport.h"

#include <string>
#include <vector>

namespace {

// A target that notes each call; a drop there copies with Ctrl and moves otherwise.
class NotingTarget : public DropTarget {
public:
    void DragEnter(const DragData& data, DWORD keyState, POINT, DWORD& effect) override
    {
        calls.push_back("enter " + WideToUtf8(data.Text()));
        effect &= Wanted(keyState);
    }
    void DragOver(DWORD keyState, POINT, DWORD& effect) override
    {
        effect &= Wanted(keyState);
        calls.push_back(effect == DROPEFFECT_COPY ? "over copy" : "over move");
    }
    void DragLeave() override { calls.push_back("leave"); }
    void Drop(const DragData& data, DWORD, POINT, DWORD& effect) override
    {
        calls.push_back((effect == DROPEFFECT_COPY ? "drop copy " : "drop move ") + WideToUtf8(data.Text()));
    }
    std::vector<std::string> calls;

private:
    static DWORD Wanted(DWORD keyState) { return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE; }
};

class DragDrop : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        top = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
        left = Child(top, { 0, 0, 100, 100 }, 1);
        right = Child(top, { 100, 0, 200, 100 }, 2);
        inner = Child(right, { 10, 10, 60, 60 }, 3); // takes no drops of its own: its parent does
        ASSERT_EQ(RegisterDragDrop(left, &leftTarget), S_OK);
        ASSERT_EQ(RegisterDragDrop(right, &rightTarget), S_OK);
        SetFocus(left);
        SetCapture(left);
        data.SetText(L"abc");
        Pump();
    }
    POINT In(HWND window, int x = 20, int y = 20) { return ScreenPoint(window, x, y); }
    HRESULT Run(DWORD& effect) { return DoDragDrop(data, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect); }

    HWND top = nullptr, left = nullptr, right = nullptr, inner = nullptr;
    NotingTarget leftTarget, rightTarget;
    DragData data;
};

TEST_F(DragDrop, TheTargetUnderThePointerFollowsTheDragAndCtrlTurnsTheMoveIntoACopy)
{
    headless->InjectMouseMove(In(left));
    headless->InjectMouseMove(In(inner));
    headless->InjectKey(VK_CONTROL, true);
    headless->InjectMouseMove(In(inner, 30, 30));
    headless->InjectButton(1, false, In(inner, 30, 30));
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(Run(effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    ASSERT_FALSE(leftTarget.calls.empty());
    EXPECT_EQ(leftTarget.calls.front(), "enter abc");
    EXPECT_EQ(leftTarget.calls.back(), "leave") << "the pointer went on to the right window";
    EXPECT_EQ(rightTarget.calls, (std::vector<std::string> { "enter abc", "over copy", "over copy", "over copy", "drop copy abc" }));
    EXPECT_EQ(GetCapture(), nullptr);
    headless->InjectKey(VK_CONTROL, false);
    Pump(); // Ctrl held would stay so for the tests after this one
}

TEST_F(DragDrop, EscCancelsAndADropWhereNoWindowTakesItIsRefused)
{
    // Every target the drag met has been left, and none had a drop.
    auto allLeft = [&] {
        for (const auto* target : { &leftTarget, &rightTarget }) {
            EXPECT_TRUE(target->calls.empty() || target->calls.back() == "leave");
            EXPECT_EQ(std::ranges::count_if(target->calls, [](const std::string& call) { return call.starts_with("drop"); }), 0);
        }
    };
    headless->InjectMouseMove(In(right));
    headless->InjectKey(VK_ESCAPE, true);
    headless->InjectButton(1, false, In(right)); // after the drag: an ordinary release
    DWORD effect = DROPEFFECT_MOVE;
    EXPECT_EQ(Run(effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    allLeft();
    headless->InjectKey(VK_ESCAPE, false);
    Pump();

    SetCapture(left);
    headless->InjectMouseMove(In(right));
    headless->InjectMouseMove(In(top, 250, 150)); // the top-level window, outside both children
    headless->InjectButton(1, false, In(top, 250, 150));
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(Run(effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_FALSE(rightTarget.calls.empty()) << "the drag went over the right window";
    allLeft();
}

} // namespace
