#include "ToolBarFixture.h"

#include "commandbars/TBMenuBtn.h"
#include "platform/user/tests/PixelChecks.h"

namespace {

// A bar whose buttons come from a menu's records, as a menu bar's do.
class MenuButtonBar : public SECCustomToolBar {
public:
    void UseMenuButtons(const SECBtnMapEntry* table) { m_pMenuBtnMap = table; }
};

class TBMenuBtnTest : public ToolBarFixture {
protected:
    SECMenuButtonRecords records;
    MenuButtonBar bar;

    void MakeMenuBar()
    {
        int count = 0;
        ASSERT_TRUE(BuildMenuButtonRecords(&records, count, 1, IDM_TB_MENU));
        bar.UseMenuButtons(records.Table());
        ASSERT_TRUE(bar.CreateEx(SEC_TBS_FLAT, frame, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, AFX_IDW_TOOLBAR));
        std::vector<UINT> ids;
        for (int i = 0; i < records.GetCount(); ++i)
            ids.push_back(records.Table()[i].nID);
        bar.SetButtons(ids.data(), static_cast<int>(ids.size()));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&bar);
        frame->RecalcLayout();
        frame->UpdateWindow();
        Pump();
    }
    SECTBMenuBtn& Button(int index) { return *static_cast<SECTBMenuBtn*>(bar.GetButton(index)); }
};

TEST_F(TBMenuBtnTest, TheMnemonicIsTheCharacterAfterTheFirstAmpersand)
{
    struct Case {
        const wchar_t* title;
        UINT mnemonic;
    };
    const Case cases[] = {
        { L"E&xit", L'X' },
        { L"&file", L'F' },
        { L"A&&B", L'&' },
        { L"Help&", 0 },
        { L"None", 0 },
        { L"&Größe", L'G' },
        { L"Ma&ß", L'ß' }, // no single upper-case letter: it stays
        { L"", 0 },
    };
    for (const Case& c : cases) {
        SECTBMenuBtn button;
        button.m_strTitle = c.title;
        button.ComputeMnemonic();
        EXPECT_EQ(button.m_cMnemonic, c.mnemonic) << static_cast<int>(&c - cases);
    }
}

TEST_F(TBMenuBtnTest, AMenuGivesOneRecordPerPopup)
{
    int count = 0;
    ASSERT_TRUE(BuildMenuButtonRecords(nullptr, count, 1, IDM_TB_MENU));
    EXPECT_EQ(count, 4) << "only counted";
    EXPECT_EQ(records.GetCount(), 0);

    ASSERT_TRUE(BuildMenuButtonRecords(&records, count, 2, IDM_TB_MENU));
    EXPECT_EQ(count, 8);
    ASSERT_EQ(records.GetCount(), 4);
    const wchar_t* titles[] = { L"&File", L"&View", L"A&&B", L"Help&" };
    for (int i = 0; i < 4; ++i) {
        const SECBtnMapEntry& record = records.Table()[i];
        EXPECT_EQ(record.pClass, &SECTBMenuBtn::s_buttonClass);
        EXPECT_EQ(record.nID, SECMenuButtonRecords::kFirstCommand + i);
        EXPECT_EQ(record.dwStyle, SEC_TBBS_ALWAYSENABLED | SEC_TBBS_VCENTER);
        EXPECT_EQ(record.extra[SECTBMenuBtn::kMenuId], IDM_TB_MENU);
        EXPECT_EQ(record.extra[SECTBMenuBtn::kPopupIndex], static_cast<UINT_PTR>(i));
        EXPECT_STREQ(reinterpret_cast<const wchar_t*>(record.extra[SECTBMenuBtn::kTitle]), titles[i]);
        EXPECT_EQ(record.extra[SECTBMenuBtn::kMask], 2u);
    }
    EXPECT_EQ(records.Table()[4].pClass, nullptr) << "the table ends";

    EXPECT_FALSE(BuildMenuButtonRecords(&records, count, 4, 4242)) << "no such menu";
    EXPECT_EQ(count, 8);
    EXPECT_EQ(records.GetCount(), 4);
}

TEST_F(TBMenuBtnTest, ABarMakesMenuButtonsFromItsRecords)
{
    MakeMenuBar();
    ASSERT_EQ(bar.GetButtonCount(), 4);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, *bar.GetMenuFont());
    for (int i = 0; i < 4; ++i) {
        SECTBMenuBtn& button = Button(i);
        EXPECT_EQ(button.m_nType, SECStdBtn::kMenu);
        EXPECT_EQ(button.m_nImage, 0);
        EXPECT_EQ(button.m_nMenuId, IDM_TB_MENU);
        EXPECT_EQ(button.m_nPopupIndex, i);
        CRect extent;
        ::DrawTextW(dc, button.m_strTitle, -1, &extent, DT_CALCRECT | DT_SINGLELINE);
        EXPECT_EQ(CSize(button.m_cx, button.m_cy), CSize(extent.Width() + 10, extent.Height() + 6)) << i;
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    EXPECT_EQ(Button(0).m_cMnemonic, static_cast<UINT>(L'F'));
    EXPECT_EQ(Button(1).GetRect().left, Button(0).GetRect().right);
}

TEST_F(TBMenuBtnTest, APressAsksTheOwnerToDropThePopup)
{
    MakeMenuBar();
    const CPoint view = Middle(bar, 1);
    MoveTo(bar, view);
    Press(bar, view, true);
    ASSERT_EQ(Frame().notifications.size(), 1u);
    const auto& drop = Frame().notifications[0];
    EXPECT_EQ(drop.code, SEC_TBN_DROPMENU);
    EXPECT_EQ(drop.button, static_cast<int>(SECMenuButtonRecords::kFirstCommand + 1));
    EXPECT_EQ(drop.index, 1);
    EXPECT_EQ(drop.a, IDM_TB_MENU);
    EXPECT_EQ(drop.b, 1u);
    EXPECT_EQ(bar.GetTrackedButton(), 1);
    EXPECT_EQ(bar.GetHotItem(), 1);
    EXPECT_TRUE(bar.GetButtonStyle(1) & TBBS_PRESSED) << "pressed while the popup is open";
    EXPECT_EQ(::GetCapture(), nullptr);
    Press(bar, view, false);
    EXPECT_TRUE(Frame().commands.empty());

    // The hot button keeps to the tracked one while the pointer moves over the others.
    MoveTo(bar, Middle(bar, 2));
    EXPECT_EQ(bar.GetHotItem(), 1);
    bar.EndTracking();
    EXPECT_FALSE(bar.IsTracking());
    EXPECT_FALSE(bar.GetButtonStyle(1) & TBBS_PRESSED);
    EXPECT_EQ(bar.GetHotItem(), 2) << "back to the button under the pointer";
}

TEST_F(TBMenuBtnTest, MenuButtonsHaveTheMenuLook)
{
    MakeMenuBar();
    bar.SetButtonStyle(1, bar.GetButtonStyle(1) | SEC_TBBS_HOT);
    bar.SetButtonStyle(2, bar.GetButtonStyle(2) | TBBS_PRESSED);
    bar.SetButtonStyle(3, bar.GetButtonStyle(3) | TBBS_DISABLED);
    bar.UpdateWindow();
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(bar.m_hWnd, "toolbar-menu.png"));
}

} // namespace
