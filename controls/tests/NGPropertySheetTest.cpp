#include "controls/NGPropertySheet.h"
#include "controls/tests/ControlTestSupport.h"

#include "platform/mfc/DataExchange.h"

#include <deque>
#include <functional>
#include <vector>

namespace {

constexpr UINT IDD_OPTIONS_PAGE = 301;
constexpr int IDC_COUNT = 320, IDC_WRAP = 321, IDC_RED = 322, IDC_GREEN = 323, IDC_LIST = 324;

class OptionsPage : public CNGPropertyPage {
public:
    OptionsPage() : CNGPropertyPage(IDD_OPTIONS_PAGE) {}
    int count = 3;
    int wrap = 0;
    int colour = 0;
    int item = -1;
    std::vector<UINT> routed; // the ids that reached the page's command handlers

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, IDC_COUNT, count);
        DDX_Check(dx, IDC_WRAP, wrap);
        DDX_Radio(dx, IDC_RED, colour);
        DDX_LBIndex(dx, IDC_LIST, item);
    }
    BOOL OnInitDialog() override
    {
        for (const wchar_t* text : { L"one", L"two" })
            ::SendDlgItemMessageW(m_hWnd, IDC_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        return CNGPropertyPage::OnInitDialog();
    }
    void OnControl(UINT id) { routed.push_back(id); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(OptionsPage, CNGPropertyPage)
    ON_COMMAND_RANGE(IDC_COUNT, IDC_LIST, OnControl)
END_MESSAGE_MAP()

class CountingSheet : public CNGPropertySheet {
public:
    CountingSheet() : CNGPropertySheet(L"Options") {}
    int activated = 0, deactivating = 0;
    void OnPageActivated(CNGPropertyPage*) override { ++activated; }
    void OnPageDeactivating(CNGPropertyPage*) override { ++deactivating; }
};

class NGPropertySheetTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        sheet.AddPage(&page);
        sheet.AddPage(&second);
    }
    void TearDown() override
    {
        SetModalLoopHook(nullptr);
        ControlTest::TearDown();
    }
    // Runs the sheet modally, one step each time its queue runs empty; the last step closes it.
    INT_PTR Run(std::deque<std::function<void(HWND)>> steps)
    {
        pending = std::move(steps);
        SetModalLoopHook([this](HWND sheetWindow) {
            if (pending.empty())
                return;
            auto step = std::move(pending.front());
            pending.pop_front();
            step(sheetWindow);
            PostMessageW(sheetWindow, WM_NULL, 0, 0);
        });
        INT_PTR result = sheet.DoModal();
        EXPECT_TRUE(pending.empty()) << "the sheet closed before its last step";
        return result;
    }
    HWND Item(int id) const { return ::GetDlgItem(page.m_hWnd, id); }
    void Notify(int id, UINT code) { ::SendMessageW(page.m_hWnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id))); }

    CountingSheet sheet;
    OptionsPage page;
    OptionsPage second;
    std::deque<std::function<void(HWND)>> pending;
};

TEST_F(NGPropertySheetTest, AChangedControlIsReadBackAndMarksThePageModified)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        bool changes;
        UINT reported; // the id routed to the page's handlers after the read
    };
    const Case cases[] = {
        { "check box clicked", [this] { ::SendMessageW(Item(IDC_WRAP), BM_CLICK, 0, 0); }, true, IDC_WRAP },
        { "radio button clicked: reported by its group's first", [this] { ::SendMessageW(Item(IDC_GREEN), BM_CLICK, 0, 0); }, true, IDC_RED },
        { "list selection", [this] {
             ::SendMessageW(Item(IDC_LIST), LB_SETCURSEL, 1, 0);
             Notify(IDC_LIST, LBN_SELCHANGE); }, true, IDC_LIST },
        { "edit typed in, then left", [this] {
             ::SetWindowTextW(Item(IDC_COUNT), L"42");
             ::SendMessageW(Item(IDC_COUNT), EM_SETMODIFY, TRUE, 0);
             Notify(IDC_COUNT, EN_KILLFOCUS); }, true, IDC_COUNT },
        { "edit left unchanged", [this] { Notify(IDC_COUNT, EN_KILLFOCUS); }, false, 0 },
        { "edit text changing", [this] { Notify(IDC_COUNT, EN_CHANGE); }, false, 0 },
    };
    Run({ [&](HWND s) {
        for (const Case& c : cases) {
            page.SetModified(FALSE);
            page.routed.clear();
            c.act();
            EXPECT_EQ(page.IsModified(), c.changes) << c.what;
            EXPECT_EQ(::IsWindowEnabled(::GetDlgItem(s, ID_APPLY_NOW)), c.changes) << c.what;
            if (c.changes) {
                EXPECT_EQ(page.routed.back(), c.reported) << c.what;
            }
        }
        EXPECT_EQ(page.wrap, 1);
        EXPECT_EQ(page.colour, 1);
        EXPECT_EQ(page.item, 1);
        EXPECT_EQ(page.count, 42);
        EXPECT_EQ(::SendMessageW(Item(IDC_COUNT), EM_GETMODIFY, 0, 0), 0) << "the edit's change was taken";
    },
        [&](HWND s) {
            page.SetModified(TRUE);
            ::SendMessageW(::GetDlgItem(s, ID_APPLY_NOW), BM_CLICK, 0, 0);
            EXPECT_FALSE(page.IsModified()) << "applied";
            ::SendMessageW(::GetDlgItem(s, IDCANCEL), BM_CLICK, 0, 0);
        } });
}

// Keys typed in a page are the sheet's: Enter takes the change of the control left and is OK, Esc
// is Cancel, whichever control of the page has the focus.
TEST_F(NGPropertySheetTest, EnterInAPageTakesTheControlsChangeAndIsOkAndEscIsCancel)
{
    auto press = [&](unsigned key) {
        headless->InjectKey(key, true);
        headless->InjectKey(key, false);
    };
    EXPECT_EQ(Run({ [&](HWND) {
                       ::SetFocus(Item(IDC_COUNT));
                       ::SetWindowTextW(Item(IDC_COUNT), L"7");
                       ::SendMessageW(Item(IDC_COUNT), EM_SETMODIFY, TRUE, 0);
                       press(VK_RETURN);
                   } }),
        IDOK);
    EXPECT_EQ(page.count, 7) << "the control left was read back";
    EXPECT_EQ(page.routed, std::vector<UINT> { IDC_COUNT }) << "and reported as a change";

    page.routed.clear();
    EXPECT_EQ(Run({ [&](HWND) {
                       ::SetFocus(Item(IDC_WRAP));
                       press(VK_ESCAPE);
                   } }),
        IDCANCEL);
    EXPECT_TRUE(page.routed.empty());
}

TEST_F(NGPropertySheetTest, TheSheetHasTheHelpButtonOpensWhereAskedAndRemembersWhereItWent)
{
    sheet.SetStartRect(CRect(40, 30, 300, 200));
    Run({ [&](HWND s) {
        EXPECT_TRUE(::GetWindowLongW(s, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
        CRect window;
        ::GetWindowRect(s, &window);
        EXPECT_EQ(window.TopLeft(), CPoint(40, 30));
        ::SetWindowPos(s, nullptr, 70, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::GetWindowRect(s, &window);
        EXPECT_EQ(sheet.LastRect(), window);

        EXPECT_EQ(sheet.activated, 1);
        // The user picks the second tab: the tab control asks, then tells.
        CRect tab;
        sheet.GetTabControl()->GetItemRect(1, &tab);
        sheet.GetTabControl()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab.CenterPoint().x, tab.CenterPoint().y));
        sheet.GetTabControl()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(tab.CenterPoint().x, tab.CenterPoint().y));
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        EXPECT_EQ(sheet.deactivating, 1);
        EXPECT_EQ(sheet.activated, 2);

        EXPECT_TRUE(page.EnableControl(IDC_WRAP, FALSE));
        EXPECT_FALSE(::IsWindowEnabled(Item(IDC_WRAP)));
        EXPECT_FALSE(page.EnableControl(999, FALSE));
        ::SendMessageW(::GetDlgItem(s, IDCANCEL), BM_CLICK, 0, 0);
    } });
}

TEST_F(NGPropertySheetTest, F1AndTheRightButtonAskForTheControlsHelpTopic)
{
    struct Request {
        UINT command;
        DWORD id, topic;
    };
    std::vector<Request> requests;
    HelpViewer previous = SetHelpViewer([&](HWND, LPCWSTR file, UINT command, ULONG_PTR data) {
        EXPECT_NE(CString(file).Find(L".hlp"), -1) << "the program's help file";
        auto* pair = reinterpret_cast<const DWORD*>(data);
        requests.push_back({ command, pair[0], pair[1] });
        return FALSE;
    });
    Run({ [&](HWND s) {
        ::SetFocus(Item(IDC_COUNT));
        ::SendMessageW(Item(IDC_COUNT), WM_KEYDOWN, VK_F1, 0);
        // A right click on the sheet's own face names the control under the pointer: the OK button.
        CRect ok;
        ::GetWindowRect(::GetDlgItem(s, IDOK), &ok);
        ::SendMessageW(s, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(s), MAKELPARAM(ok.CenterPoint().x, ok.CenterPoint().y));
        ::SendMessageW(::GetDlgItem(s, IDCANCEL), BM_CLICK, 0, 0);
    } });
    SetHelpViewer(std::move(previous));
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].command, HELP_WM_HELP);
    EXPECT_EQ(requests[0].id, static_cast<DWORD>(IDC_COUNT));
    EXPECT_EQ(requests[0].topic, static_cast<DWORD>(IDC_COUNT) + 0x50000);
    EXPECT_EQ(requests[1].command, HELP_CONTEXTMENU);
    EXPECT_EQ(requests[1].id, static_cast<DWORD>(IDOK));
}

TEST(WinHelpTest, WithoutAViewerTheUserIsToldOnceThatTheHelpFileIsMissing)
{
    std::vector<CString> boxes;
    MessageBoxHandler previous = SetMessageBoxHandler([&](const wchar_t* text, const wchar_t*, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    EXPECT_FALSE(::WinHelpW(nullptr, L"/opt/formulon/formulon.hlp", HELP_CONTEXT, 7));
    EXPECT_FALSE(::WinHelpW(nullptr, L"/opt/formulon/formulon.hlp", HELP_FINDER, 0));
    EXPECT_TRUE(::WinHelpW(nullptr, L"/opt/formulon/formulon.hlp", HELP_QUIT, 0));
    SetMessageBoxHandler(std::move(previous));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], CString(L"Cannot find the help file /opt/formulon/formulon.hlp."));
}

} // namespace
