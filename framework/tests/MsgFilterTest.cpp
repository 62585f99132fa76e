#include "framework/MsgFilter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<int> seen;

// Notes its id when it sees a message and answers a chosen value after its children.
class RecordingFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(RecordingFilter)
public:
    UINT WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        seen.push_back(m_id);
        return answer | FilterChildren(message, wParam, lParam, result);
    }
    UINT answer = 0;
};
IMPLEMENT_DYNCREATE(RecordingFilter, SECMsgFilter)

class MsgFilterTest : public ::testing::Test {
protected:
    void SetUp() override { seen.clear(); }
    RecordingFilter* Installed(int id, int parentId = SECMsgFilter::RootId, BOOL enable = TRUE, int flags = 0)
    {
        return static_cast<RecordingFilter*>(
            root.Install(SECMsgFilter::Descriptor(id, parentId, RUNTIME_CLASS(RecordingFilter), flags), enable));
    }
    UINT Send()
    {
        LRESULT result = 0;
        return root.Filter(WM_NCLBUTTONDOWN, HTCAPTION, 0, &result);
    }

    SECMsgFilter root;
};

TEST_F(MsgFilterTest, MessagesGoDepthFirstInInstallationOrder)
{
    Installed(1);
    Installed(2);
    Installed(11, 1);
    Installed(21, 2);
    Installed(111, 11);
    Installed(12, 1);
    Send();
    EXPECT_EQ(seen, (std::vector<int> { 1, 11, 111, 12, 2, 21 }));
}

TEST_F(MsgFilterTest, ResultsAreOredAndStopHidesOnlyTheLaterSiblings)
{
    Installed(1)->answer = MsgFilterHandled;
    RecordingFilter* stopper = Installed(2);
    stopper->answer = MsgFilterStop;
    Installed(21, 2)->answer = 0x4;
    Installed(3)->answer = 0x2;
    EXPECT_EQ(Send(), MsgFilterHandled | 0x4 | MsgFilterStop);
    EXPECT_EQ(seen, (std::vector<int> { 1, 2, 21 })) << "its own child runs, the sibling after it does not";

    stopper->answer = 0;
    seen.clear();
    EXPECT_EQ(Send(), MsgFilterHandled | 0x4 | 0x2);
    EXPECT_EQ(seen, (std::vector<int> { 1, 2, 21, 3 }));
}

TEST_F(MsgFilterTest, InstallingTwiceLeavesOneFilter)
{
    RecordingFilter* first = Installed(5);
    EXPECT_EQ(Installed(5), first);
    EXPECT_EQ(root.GetChildCount(), 1);
}

TEST_F(MsgFilterTest, InstallingDisabledFollowsTheKeepStateFlag)
{
    struct Case {
        int flags;
        BOOL enabledAfter;
    } cases[] = { { 0, FALSE }, { SECMsgFilter::Descriptor::KeepStateWhenDisabled, TRUE } };
    for (const Case& c : cases) {
        SetUp();
        SECMsgFilter local;
        SECMsgFilter::Descriptor parent(1, SECMsgFilter::RootId, RUNTIME_CLASS(RecordingFilter), c.flags);
        local.Install(parent, TRUE);
        local.Install(SECMsgFilter::Descriptor(2, 1, RUNTIME_CLASS(RecordingFilter)), TRUE);
        SECMsgFilter* filter = local.Install(parent, FALSE);
        ASSERT_NE(filter, nullptr);
        EXPECT_EQ(filter->IsEnabled(), c.enabledAfter) << c.flags;
        LRESULT result = 0;
        local.Filter(WM_MOUSEMOVE, 0, 0, &result);
        const std::vector<int> expected = c.enabledAfter ? std::vector<int> { 1, 2 } : std::vector<int> {};
        EXPECT_EQ(seen, expected) << "the subtree follows its parent";
    }
}

TEST_F(MsgFilterTest, NothingIsInstalledWithoutItsParentOrWhenDisabled)
{
    EXPECT_EQ(Installed(7, 99), nullptr);
    EXPECT_EQ(Installed(8, SECMsgFilter::RootId, FALSE), nullptr) << "installing disabled creates nothing";
    EXPECT_EQ(root.GetChildCount(), 0);
}

TEST_F(MsgFilterTest, TablesInstallWithOneFlagEachOrOneForAll)
{
    SECMsgFilter::DescriptorTable table;
    table.Add(1, SECMsgFilter::RootId, RUNTIME_CLASS(RecordingFilter));
    table.Add(2, 1, RUNTIME_CLASS(RecordingFilter));
    table.Add(3, SECMsgFilter::RootId, RUNTIME_CLASS(RecordingFilter));
    const BOOL flags[] = { TRUE, TRUE, FALSE };
    root.InstallTable(table, flags);
    Send();
    EXPECT_EQ(seen, (std::vector<int> { 1, 2 }));

    root.InstallAll(table, FALSE);
    seen.clear();
    EXPECT_EQ(Send(), 0u);
    EXPECT_TRUE(seen.empty());
}

TEST_F(MsgFilterTest, FindOrCreateSearchesAsDeepAsAsked)
{
    Installed(1);
    Installed(2, 1);
    Installed(3, 2);
    EXPECT_EQ(root.FindOrCreate(3, nullptr, 0), nullptr);
    EXPECT_EQ(root.FindOrCreate(3, nullptr, 1), nullptr);
    EXPECT_NE(root.FindOrCreate(3, nullptr, 2), nullptr);
    EXPECT_NE(root.FindOrCreate(3, nullptr, -1), nullptr);
    EXPECT_EQ(root.FindOrCreate(4, RUNTIME_CLASS(CObject), 0), nullptr) << "a class that is no filter";
    EXPECT_EQ(root.GetChildCount(), 1);
}

TEST_F(MsgFilterTest, ClonesCarryIdStateWindowAndChildren)
{
    CWnd window;
    root.SetWnd(&window);
    Installed(1);
    Installed(2, 1)->Enable(FALSE);
    std::unique_ptr<SECMsgFilter> clone(root.FindOrCreate(1)->Clone());
    ASSERT_TRUE(clone->IsKindOf(RUNTIME_CLASS(RecordingFilter)));
    EXPECT_EQ(clone->GetId(), 1);
    EXPECT_EQ(clone->GetWnd(), &window);
    ASSERT_EQ(clone->GetChildCount(), 1);
    EXPECT_EQ(clone->GetChild(0)->GetId(), 2);
    EXPECT_FALSE(clone->GetChild(0)->IsEnabled());
    EXPECT_NE(clone->GetChild(0), root.FindOrCreate(2, nullptr, -1));
}

TEST_F(MsgFilterTest, SetWndReachesTheSubtreeOnlyWhenRecursive)
{
    CWnd first, second;
    Installed(1);
    Installed(2, 1);
    root.SetWnd(&first);
    root.SetWnd(&second, FALSE);
    EXPECT_EQ(root.GetWnd(), &second);
    EXPECT_EQ(root.FindOrCreate(2, nullptr, -1)->GetWnd(), &first);
    EXPECT_EQ(Installed(3)->GetWnd(), &second) << "a new filter takes its parent's window";
}

TEST_F(MsgFilterTest, FilterMessageDefaultsToTheMessageBeingHandled)
{
    Installed(1)->answer = MsgFilterHandled;
    const MSG message { nullptr, WM_NCRBUTTONDOWN, HTCAPTION, 0, 0, {} };
    LRESULT result = 0;
    EXPECT_EQ(root.FilterMessage(&result, &message), MsgFilterHandled);
    EXPECT_EQ(seen, (std::vector<int> { 1 }));
}

} // namespace
