#include "TabTestSupport.h"

namespace {

constexpr UINT ID_TABS = 321;

class TabControlTest : public TabTest {
protected:
    void SetUp() override
    {
        TabTest::SetUp();
        ASSERT_TRUE(tabs.Create(WS_VISIBLE, CRect(0, 0, 300, 30), listener, ID_TABS));
    }
    // Tabs for a, b, c..., the first `active` one made active, and the parent's log cleared.
    void AddTabs(int count, int active = -1)
    {
        for (int i = 0; i < count; ++i)
            tabs.AddTab(CString(static_cast<wchar_t>(L'A' + i)), &clients[i]);
        if (active >= 0)
            tabs.ActivateTab(active);
        listener->notices.clear();
    }
    int Active() const
    {
        int index = -1;
        return tabs.GetActiveTab(index) ? index : -1;
    }

    SECTabControlBase tabs;
    TabClient clients[5];
};

TEST_F(TabControlTest, ActivationTellsTheParentOnce)
{
    AddTabs(3);
    EXPECT_EQ(Active(), -1);
    tabs.ActivateTab(1);
    tabs.ActivateTab(1);
    tabs.ActivateTab(2);
    EXPECT_EQ(listener->notices, (std::vector<TabNotice> {
        Activated(ID_TABS, 1, -1, &clients[1], nullptr),
        Activated(ID_TABS, 2, 1, &clients[2], &clients[1]),
    }));
    EXPECT_EQ(Active(), 2);
    EXPECT_FALSE(tabs.GetTab(1)->m_selected);
    EXPECT_TRUE(tabs.GetTab(2)->m_selected);
}

TEST_F(TabControlTest, DeletingATabKeepsATabActive)
{
    struct Case {
        const char* name;
        int count, active, deleted;
        int activeAfter;    // -1: none
        int notifiedIndex;  // -1: nothing sent
    };
    const Case cases[] = {
        { "the active last tab: the new last one", 3, 2, 2, 1, 1 },
        { "the only tab: none, silently", 1, 0, 0, -1, -1 },
        { "the active middle tab: the one moving in", 3, 1, 1, 1, 1 },
        { "a tab before the active one: its new index", 3, 2, 0, 1, 1 },
        { "a tab after the active one: nothing", 3, 0, 2, 0, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        while (tabs.GetTabCount())
            tabs.DeleteTab(0);
        tabs.ClearSelection();
        AddTabs(c.count, c.active);
        const CObject* expectedClient = c.activeAfter < 0 ? nullptr
            : &clients[c.activeAfter < c.deleted ? c.activeAfter : c.activeAfter + 1];
        tabs.DeleteTab(c.deleted);
        EXPECT_EQ(tabs.GetTabCount(), c.count - 1);
        EXPECT_EQ(Active(), c.activeAfter);
        if (c.activeAfter >= 0) {
            EXPECT_EQ(tabs.GetTab(c.activeAfter)->m_client, expectedClient);
        }
        if (c.notifiedIndex < 0) {
            EXPECT_TRUE(listener->notices.empty());
        } else {
            ASSERT_EQ(listener->notices.size(), 1u);
            EXPECT_EQ(listener->notices[0].index, c.notifiedIndex);
            EXPECT_EQ(listener->notices[0].record.newClient, expectedClient);
        }
    }
}

TEST_F(TabControlTest, SelectingMarksWithoutActivating)
{
    AddTabs(3, 0);
    tabs.SelectTab(2);
    EXPECT_TRUE(tabs.GetTab(2)->m_selected);
    EXPECT_EQ(Active(), 0);
    EXPECT_EQ(listener->notices, (std::vector<TabNotice> { { WM_TABACTIVATED, 0, { ID_TABS, 2, 0, &clients[2], &clients[0] } } }));

    listener->notices.clear();
    tabs.ClearSelection();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(tabs.GetTab(i)->m_selected);
    EXPECT_EQ(Active(), -1);
    EXPECT_EQ(listener->notices, (std::vector<TabNotice> { { WM_TABSELCLEARED, 0, {} } }));

    listener->notices.clear();
    tabs.ActivateTab(1);
    tabs.NotifyActiveTabClicked();
    ASSERT_EQ(listener->notices.size(), 2u);
    EXPECT_EQ(listener->notices[1], (TabNotice { WM_TABREACTIVATED, 1, {} }));
}

TEST_F(TabControlTest, TabsAreFoundByTheirClients)
{
    AddTabs(3);
    tabs.AddTab(L"again", &clients[1]);
    int index = -1;
    EXPECT_TRUE(tabs.FindTab(&clients[1], index));
    EXPECT_EQ(index, 3) << "the later of two tabs with one client";
    EXPECT_FALSE(tabs.FindTab(&clients[4], index));
    EXPECT_TRUE(tabs.TabExistsForClient(&clients[0]));
    EXPECT_TRUE(tabs.TabExists(3));
    EXPECT_FALSE(tabs.TabExists(4));
    EXPECT_FALSE(tabs.TabExists(-1));

    CString label = L"untouched";
    BOOL selected = 7;
    CObject* client = &clients[4];
    HMENU menu = nullptr;
    DWORD_PTR extra = 99;
    EXPECT_FALSE(tabs.GetTabInfo(4, label, selected, client, menu, extra));
    EXPECT_EQ(label, CString(L"untouched"));
    EXPECT_EQ(client, &clients[4]);
    EXPECT_EQ(extra, 99u);
    tabs.InsertTab(0, L"first", &clients[4], nullptr, 12);
    EXPECT_TRUE(tabs.GetTabInfo(0, label, selected, client, menu, extra));
    EXPECT_EQ(label, CString(L"first"));
    EXPECT_EQ(client, &clients[4]);
    EXPECT_EQ(extra, 12u);
    EXPECT_FALSE(selected);
}

TEST_F(TabControlTest, IndicesOutOfRangeChangeNothing)
{
    AddTabs(2, 0);
    EXPECT_EQ(tabs.InsertTab(5, L"far", &clients[3]), nullptr);
    tabs.DeleteTab(2);
    tabs.DeleteTab(-1);
    tabs.RenameTab(7, L"x");
    tabs.ActivateTab(2);
    tabs.SelectTab(-3);
    EXPECT_EQ(tabs.GetTabCount(), 2);
    EXPECT_EQ(Active(), 0);
    EXPECT_TRUE(listener->notices.empty());
}

TEST_F(TabControlTest, RenamingChangesTheLabel)
{
    AddTabs(2);
    tabs.RenameTab(1, L"Renamed");
    EXPECT_EQ(tabs.GetTab(1)->m_label, CString(L"Renamed"));
}

} // namespace
