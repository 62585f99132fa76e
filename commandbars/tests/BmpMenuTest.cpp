#include "MenuFrame.h"

#include "framework/RegisteredMessages.h"
#include "platform/user/tests/PixelChecks.h"

namespace {

class BmpMenuTest : public MenuBarFixture {
protected:
    SECBmpMenuPlugIn& PlugIn() { return *dynamic_cast<SECBmpMenuPlugIn*>(Frame().GetMenuPlugIn()); }
    // The popup the frame shows for a popup of a menu, with its items converted.
    HMENU OpenedPopup(UINT menuId, int index)
    {
        HMENU popup = reinterpret_cast<HMENU>(frame->SendMessage(SECGetMenuMessage(), menuId, index));
        frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), index);
        return popup;
    }
    static UINT TypeOf(HMENU menu, int index)
    {
        MENUITEMINFOW item { sizeof item };
        item.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, static_cast<UINT>(index), TRUE, &item);
        return item.fType;
    }
};

// A frame without a menu bar, with bitmap menus on or off at its creation.
class BareFrameBmpMenuTest : public DockingFixture, public testing::WithParamInterface<bool> {
protected:
    CFrameWnd* NewFrame() override
    {
        auto* bare = new SECFrameWnd;
        bare->EnableBmpMenus(GetParam(), TRUE);
        bare->SetMenuBitmapColor(RGB(255, 0, 255), TRUE);
        return bare;
    }
    SECFrameWnd& Frame() const { return *static_cast<SECFrameWnd*>(frame); }
};

TEST_P(BareFrameBmpMenuTest, MakesTheBitmapMenusOnlyWhenOnWithTheFramesColour)
{
    auto* plugIn = dynamic_cast<SECBmpMenuPlugIn*>(Frame().GetMenuPlugIn());
    if (!GetParam()) {
        EXPECT_EQ(Frame().GetMenuPlugIn(), nullptr);
        return;
    }
    ASSERT_NE(plugIn, nullptr);
    EXPECT_EQ(dynamic_cast<SECMenuBarFeature*>(plugIn), nullptr);
    EXPECT_TRUE(plugIn->IsPluggedIn());
    EXPECT_EQ(plugIn->GetTransparentColor(), RGB(255, 0, 255));
    // It sees the frame's popups and converts their items.
    HMENU menu = LoadMenuW(AfxGetApp()->m_hInstance, MAKEINTRESOURCEW(IDR_MB_CALC));
    HMENU popup = GetSubMenu(menu, 1);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 1);
    EXPECT_NE(plugIn->RecordsOf(popup), nullptr);
    DestroyMenu(menu);
}

INSTANTIATE_TEST_SUITE_P(Switch, BareFrameBmpMenuTest, testing::Bool());

// Copy (highlighted, with its image), Paste (disabled, embossed), Grid (checked with its image:
// sunken and dithered), Axes (checked without one: the check mark) and a submenu.
TEST_F(BmpMenuTest, ItemsShowTheirToolBarImagesAndCheckMarks)
{
    ::testing::AssertionResult drawn = ::testing::AssertionFailure() << "no popup";
    SetModalLoopHook([&](HWND) {
        drawn = pixel_checks::MatchesExpectedImage(GetCapture(), "menubar-edit-popup.png");
        EndMenu();
    });
    AltWith('E');
    Run();
    EXPECT_TRUE(drawn);
}

TEST_F(BmpMenuTest, ASelectedItemWithoutAnImageIsHighlightedAcross)
{
    ::testing::AssertionResult drawn = ::testing::AssertionFailure() << "no popup";
    int step = 0;
    SetModalLoopHook([&](HWND) {
        if (step++ == 0) {
            Press(VK_DOWN); // to Open..., beside no image
            return;
        }
        drawn = pixel_checks::MatchesExpectedImage(GetCapture(), "menubar-file-popup.png");
        EndMenu();
    });
    AltWith('F');
    Run();
    EXPECT_TRUE(drawn);
}

TEST_F(BmpMenuTest, ItemsAreConvertedOnceAndTheirTextsComeBack)
{
    HMENU edit = OpenedPopup(IDR_MB_CALC, 1);
    ASSERT_TRUE(edit);
    const auto* records = PlugIn().RecordsOf(edit);
    ASSERT_TRUE(records);
    EXPECT_EQ(records->size(), 5u); // the submenu's item too
    EXPECT_EQ((*records)[0]->id, 2111u);
    EXPECT_EQ((*records)[0]->mnemonic, L'C');
    EXPECT_EQ((*records)[4]->id, 0u);
    EXPECT_TRUE(TypeOf(edit, 0) & MFT_OWNERDRAW);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
    EXPECT_EQ(PlugIn().RecordsOf(edit)->size(), 5u);

    // The system menu and system commands stay as they are.
    HMENU system = ::GetSystemMenu(frame->m_hWnd, FALSE);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
    HMENU own = CreatePopupMenu();
    AppendMenuW(own, MF_STRING, SC_CLOSE, L"&Close");
    AppendMenuW(own, MF_OWNERDRAW, 2199, nullptr); // drawn by somebody else
    AppendMenuW(own, MF_STRING, 2198, L"&Mine");
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(own), 0);
    EXPECT_FALSE(TypeOf(system, 0) & MFT_OWNERDRAW);
    EXPECT_EQ(PlugIn().RecordsOf(system), nullptr);
    EXPECT_FALSE(TypeOf(own, 0) & MFT_OWNERDRAW);
    EXPECT_TRUE(PlugIn().IsForeignItem(2199));
    EXPECT_EQ(PlugIn().RecordsOf(own)->size(), 1u);
    MEASUREITEMSTRUCT foreign { ODT_MENU, 0, 2199, 0, 0, 0 };
    frame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&foreign));
    EXPECT_EQ(foreign.itemHeight, 0u); // left to its owner

    // A destroyed menu loses its records at the next clean-up.
    DestroyMenu(own);
    PlugIn().CleanUpMenus();
    EXPECT_EQ(PlugIn().RecordsOf(own), nullptr);
    EXPECT_NE(PlugIn().RecordsOf(edit), nullptr);
}

TEST_F(BmpMenuTest, ItemsAreMeasuredForTheirImageAndText)
{
    HMENU file = OpenedPopup(IDR_MB_CALC, 0);
    MENUITEMINFOW item { sizeof item };
    item.fMask = MIIM_DATA | MIIM_ID;
    GetMenuItemInfoW(file, 0, TRUE, &item);
    MEASUREITEMSTRUCT measure { ODT_MENU, 0, item.wID, 0, 0, item.dwItemData };
    frame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    HDC dc = GetDC(nullptr);
    NONCLIENTMETRICSW metrics { sizeof metrics };
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
    HGDIOBJ old = SelectObject(dc, font);
    RECT text {};
    DrawTextW(dc, L"&New\tCtrl+N", -1, &text, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(measure.itemWidth, static_cast<UINT>(text.right + 16 + 30));
    EXPECT_EQ(measure.itemHeight, static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), 15 + 4)));
}

TEST_F(BmpMenuTest, RepeatedMnemonicsSelectTheNextItemAndASingleOneChooses)
{
    Frame().SetMenuResource(IDR_MB_SCRIPT);
    HMENU script = OpenedPopup(IDR_MB_SCRIPT, 0);
    struct Case {
        wchar_t typed;
        LRESULT expected;
    };
    for (Case c : { Case { L'r', MAKELRESULT(0, MNC_SELECT) }, Case { L'S', MAKELRESULT(2, MNC_EXECUTE) }, Case { L'q', 0 } })
        EXPECT_EQ(frame->SendMessage(WM_MENUCHAR, MAKEWPARAM(c.typed, MF_POPUP), reinterpret_cast<LPARAM>(script)), c.expected) << static_cast<int>(c.typed);

    // In the open popup: the first item is highlighted, so "r" moves to Reset, and again to Run.
    std::vector<UINT> steps;
    int step = 0;
    SetModalLoopHook([&](HWND) {
        if (step++ < 2) {
            Press('R');
            return;
        }
        Press(VK_RETURN);
    });
    AltWith('S');
    Run();
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_MB_RUN });
    step = 1;
    Frame().commands.clear();
    AltWith('S');
    Run();
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_MB_RESET });
}

} // namespace
