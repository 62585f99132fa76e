#pragma once
// An application and a headless screen for the tab tests, a window that records what a tab
// control or tab window tells its parent, and the form pages the tab windows hold.

#include "framework/TabControl.h"
#include "platform/comctl/tests/ComctlTestSupport.h"
#include "platform/mfc/FormView.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <vector>

constexpr UINT IDD_TAB_PAGE = 400;
constexpr UINT IDC_PAGE_FIRST = 410, IDC_PAGE_SECOND = 411;

// What a tab stands for, in tests that need no pages.
class TabClient : public CObject {};

// One WM_TAB* message as its receiver saw it.
struct TabNotice {
    UINT message;
    int index;
    TABACTIVATEINFO record; // for WM_TABACTIVATED
};

inline bool operator==(const TabNotice& a, const TabNotice& b)
{
    return a.message == b.message && a.index == b.index
        && (a.message != WM_TABACTIVATED
            || (a.record.controlId == b.record.controlId && a.record.newIndex == b.record.newIndex
                && a.record.previousIndex == b.record.previousIndex && a.record.newClient == b.record.newClient
                && a.record.previousClient == b.record.previousClient));
}

inline void PrintTo(const TabNotice& notice, std::ostream* out)
{
    *out << "{0x" << std::hex << notice.message << std::dec << ", " << notice.index;
    if (notice.message == WM_TABACTIVATED)
        *out << ", id " << notice.record.controlId << ", " << notice.record.newIndex << " <- " << notice.record.previousIndex;
    *out << "}";
}

inline TabNotice Activated(UINT id, int index, int previous, CObject* client, CObject* previousClient)
{
    return { WM_TABACTIVATED, index, { id, index, previous, client, previousClient } };
}

// A frame that records the WM_TAB* messages it gets.
class TabListener : public CFrameWnd {
public:
    std::vector<TabNotice> notices;

protected:
    LRESULT Record(UINT message, WPARAM wParam, LPARAM lParam)
    {
        TabNotice notice { message, static_cast<int>(wParam), {} };
        if (message == WM_TABACTIVATED && lParam)
            notice.record = *reinterpret_cast<const TABACTIVATEINFO*>(lParam);
        notices.push_back(notice);
        return 0;
    }
    LRESULT OnActivated(WPARAM wParam, LPARAM lParam) { return Record(WM_TABACTIVATED, wParam, lParam); }
    LRESULT OnDoubleClicked(WPARAM wParam, LPARAM lParam) { return Record(WM_TABDBLCLICKED, wParam, lParam); }
    LRESULT OnSelectionCleared(WPARAM wParam, LPARAM lParam) { return Record(WM_TABSELCLEARED, wParam, lParam); }
    LRESULT OnReactivated(WPARAM wParam, LPARAM lParam) { return Record(WM_TABREACTIVATED, wParam, lParam); }
    DECLARE_MESSAGE_MAP()
};

class TabTest : public CommonControlTest {
protected:
    void SetUp() override
    {
        CommonControlTest::SetUp();
        app.SetRegistryKey(L"Formulon Tests");
        listener = new TabListener; // a frame deletes itself with its window
        ASSERT_TRUE(listener->Create(nullptr, L"Tabs", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450)));
        app.m_pMainWnd = listener;
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        CommonControlTest::TearDown();
        AfxDeleteTempObjects();
    }

    TempSettingsFolder settings;
    CWinApp app { L"FrameworkTabTest" };
    TabListener* listener = nullptr;
};
