#include "platform/mfc/DataExchange.h"
#include "platform/mfc/PropertySheet.h"
#include "platform/mfc/WinApp.h"

#include "ModalTestSupport.h"

namespace {

constexpr UINT IDD_PAGE_GENERAL = 210, IDD_PAGE_OUTPUT = 211;
constexpr int IDC_DIGITS = 310, IDC_NAME = 301;

std::vector<CString> events;

class GeneralPage : public CPropertyPage {
public:
    GeneralPage() : CPropertyPage(IDD_PAGE_GENERAL) {}
    int digits = 10;
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, IDC_DIGITS, digits);
        DDV_MinMaxInt(dx, digits, 1, 15);
    }
    BOOL OnApply() override
    {
        events.push_back(L"general applied");
        return CPropertyPage::OnApply();
    }
    void OnReset() override { events.push_back(L"general reset"); }
};

class OutputPage : public CPropertyPage {
public:
    OutputPage() : CPropertyPage(IDD_PAGE_OUTPUT) {}
    CString name { L"result" };
    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, IDC_NAME, name); }
    BOOL OnSetActive() override
    {
        events.push_back(L"output shown");
        return CPropertyPage::OnSetActive();
    }
    BOOL OnApply() override
    {
        events.push_back(L"output applied");
        return CPropertyPage::OnApply();
    }
    void OnReset() override { events.push_back(L"output reset"); }
};

class PropertySheetTest : public ModalTest {
protected:
    void SetUp() override
    {
        ModalTest::SetUp();
        events.clear();
        sheet.AddPage(&general);
        sheet.AddPage(&output);
    }
    void Click(HWND sheetWindow, int id) { ::SendMessageW(::GetDlgItem(sheetWindow, id), BM_CLICK, 0, 0); }
    // The user picks a tab: the tab control asks, then tells, as a click on it does.
    void PickTab(int index)
    {
        CTabCtrl* tabs = sheet.GetTabControl();
        CRect item;
        tabs->GetItemRect(index, &item);
        tabs->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.CenterPoint().x, item.CenterPoint().y));
        tabs->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(item.CenterPoint().x, item.CenterPoint().y));
    }

    CPropertySheet sheet { L"Options" };
    GeneralPage general;
    OutputPage output;
};

TEST_F(PropertySheetTest, PagesAreTabsMadeWhenFirstShownAndOkAppliesThoseMade)
{
    WhenWaiting({
        [&](HWND s) {
            wchar_t caption[32];
            ::GetWindowTextW(s, caption, 32);
            EXPECT_STREQ(caption, L"Options");
            EXPECT_EQ(sheet.GetTabControl()->GetItemCount(), 2);
            TCITEMW item {};
            wchar_t text[32];
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 32;
            sheet.GetTabControl()->GetItem(1, &item);
            EXPECT_STREQ(text, L"Output") << "the template's caption names the tab";
            EXPECT_NE(general.m_hWnd, nullptr);
            EXPECT_EQ(output.m_hWnd, nullptr) << "made when first shown";
            EXPECT_TRUE(::IsChild(s, general.m_hWnd));
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(general.m_hWnd, IDC_DIGITS));
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(s, ID_APPLY_NOW)));
            // The page lies inside the tab control's display area.
            CRect page, tabs;
            general.GetWindowRect(&page);
            sheet.GetTabControl()->GetWindowRect(&tabs);
            EXPECT_TRUE(tabs.PtInRect(page.TopLeft()) && tabs.PtInRect(CPoint(page.right - 1, page.bottom - 1)));
            ::SetDlgItemTextW(general.m_hWnd, IDC_DIGITS, L"12");
        },
        [&](HWND) { PickTab(1); },
        [&](HWND) {
            EXPECT_EQ(sheet.GetActiveIndex(), 1);
            EXPECT_FALSE(general.IsWindowVisible());
            EXPECT_TRUE(output.IsWindowVisible());
            EXPECT_EQ(general.digits, 12) << "leaving a page reads it back";
            ::SetDlgItemTextW(output.m_hWnd, IDC_NAME, L"x0");
        },
        [&](HWND s) { Click(s, IDOK); },
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(output.name, CString(L"x0"));
    EXPECT_EQ(events, (std::vector<CString> { L"output shown", L"general applied", L"output applied" }));
}

TEST_F(PropertySheetTest, APageThatRefusesToBeLeftKeepsTheTabAndTheSheetOpen)
{
    WhenWaiting({
        [&](HWND) { ::SetDlgItemTextW(general.m_hWnd, IDC_DIGITS, L"99"); },
        [&](HWND) { PickTab(1); },
        [&](HWND s) {
            EXPECT_EQ(sheet.GetActiveIndex(), 0);
            EXPECT_EQ(sheet.GetTabControl()->GetCurSel(), 0);
            EXPECT_EQ(output.m_hWnd, nullptr);
            Click(s, IDOK);
        },
        [&](HWND s) {
            EXPECT_TRUE(::IsWindowVisible(s)) << "OK is refused too";
            Click(s, IDCANCEL);
        },
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], CString(L"Please enter an integer between 1 and 15."));
    EXPECT_EQ(events, (std::vector<CString> { L"general reset" })) << "only pages made are reset";
}

TEST_F(PropertySheetTest, ApplyIsEnabledByAChangeAndAppliesWithoutClosing)
{
    WhenWaiting({
        [&](HWND s) {
            general.SetModified();
            EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(s, ID_APPLY_NOW)));
            Click(s, ID_APPLY_NOW);
        },
        [&](HWND s) {
            EXPECT_TRUE(::IsWindowVisible(s));
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(s, ID_APPLY_NOW))) << "applied: nothing left to apply";
            EXPECT_FALSE(general.IsModified());
            Click(s, IDCANCEL);
        },
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(events, (std::vector<CString> { L"general applied", L"general reset" }));
}

TEST_F(PropertySheetTest, NoApplyButtonWhenTheSheetSaysSo)
{
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet.m_psh.nStartPage = 1;
    WhenWaiting({
        [&](HWND s) {
            EXPECT_EQ(::GetDlgItem(s, ID_APPLY_NOW), nullptr);
            EXPECT_EQ(sheet.GetActivePage(), &output);
            Click(s, IDCANCEL);
        },
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

} // namespace

namespace {

TEST_F(PropertySheetTest, ThePageShownIsAskedWhenTheProgramChangesPagesToo)
{
    WhenWaiting({
        [&](HWND) {
            ::SetDlgItemTextW(general.m_hWnd, IDC_DIGITS, L"0");
            EXPECT_FALSE(sheet.SetActivePage(1)) << "the page refuses to be left";
            EXPECT_EQ(sheet.GetActiveIndex(), 0);
            ::SetDlgItemTextW(general.m_hWnd, IDC_DIGITS, L"3");
            EXPECT_TRUE(sheet.SetActivePage(&output));
            EXPECT_EQ(general.digits, 3);
        },
        [&](HWND s) { Click(s, IDCANCEL); },
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes.size(), 1u);
}

} // namespace
