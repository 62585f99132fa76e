#include "commandbars/MenuButton.h"
#include "commandbars/tests/HeadlessFrameTest.h"
#include "platform/mfc/Dialog.h"
#include "platform/user/tests/PixelChecks.h"

#include <algorithm>
#include <vector>

using namespace divuzura::foundation;

namespace {

constexpr UINT IDB_BUTTON_PICTURE = 3101, IDM_BUTTON_MENU = 3200, IDD_BUTTONS = 3300, IDC_MENU_BUTTON = 3301,
               IDC_BITMAP_BUTTON = 3302, IDC_PLAIN_BUTTON = 3303, IDM_FIRST = 3401;

// A menu button that counts how often its menu dropped.
class CountingMenuButton : public SECMenuButton {
public:
    int drops = 0;
    void OnClick() override
    {
        ++drops;
        SECMenuButton::OnClick();
    }
};

// The test dialog with its menu and bitmap buttons attached, recording the commands it gets.
class ButtonsDialog : public CDialog {
public:
    ButtonsDialog() : CDialog(IDD_BUTTONS) {}
    std::vector<UINT> commands;
    CountingMenuButton menuButton;
    SECBitmapButton bitmapButton;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        CMenu menu;
        menu.LoadMenu(MAKEINTRESOURCEW(IDM_BUTTON_MENU));
        EXPECT_TRUE(menuButton.AttachButton(IDC_MENU_BUTTON, this, ::GetSubMenu(menu, 0)));
        ::RemoveMenu(menu, 0, MF_BYPOSITION); // the button owns the popup now
        EXPECT_TRUE(bitmapButton.AttachButton(IDC_BITMAP_BUTTON, SEC_IMAGE_ONLY, IDB_BUTTON_PICTURE, this, SEC_ODB_DEFAULTWHENFOCUSED));
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back(LOWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
};

class ButtonsTest : public HeadlessFrameTest {
protected:
    void SetUp() override
    {
        HeadlessFrameTest::SetUp();
        ASSERT_TRUE(dialog.Create(IDD_BUTTONS, frame));
        dialog.ShowWindow(SW_SHOW);
        Pump();
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        HeadlessFrameTest::TearDown();
    }
    CPoint Centre(CWnd* window) const
    {
        CRect rect;
        window->GetClientRect(&rect);
        return ScreenPoint(window, rect.CenterPoint().x, rect.CenterPoint().y);
    }
    // Runs the steps one at a time, each time a modal loop (the menu's) waits.
    void WhenWaiting(std::vector<std::function<void(HWND)>> steps)
    {
        pending = std::move(steps);
        next = 0;
        SetModalLoopHook([this](HWND modal) {
            if (next < pending.size())
                pending[next++](modal);
        });
    }
    void InjectClick(CPoint screen)
    {
        headless->InjectMouseMove(screen);
        headless->InjectButton(1, true, screen);
        headless->InjectButton(1, false, screen);
    }
    void InjectKey(unsigned key)
    {
        headless->InjectKey(key, true);
        headless->InjectKey(key, false);
    }
    static DWORD ButtonType(CWnd* button) { return button->GetStyle() & 0xF; }

    ButtonsDialog dialog;
    std::vector<std::function<void(HWND)>> pending;
    size_t next = 0;
};

TEST_F(ButtonsTest, AnAttachedButtonStaysOwnerDrawnWhateverStyleItIsGiven)
{
    EXPECT_EQ(ButtonType(&dialog.bitmapButton), static_cast<DWORD>(BS_OWNERDRAW));
    dialog.bitmapButton.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(ButtonType(&dialog.bitmapButton), static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(dialog.bitmapButton.SendMessage(WM_GETDLGCODE), DLGC_BUTTON);
}

TEST_F(ButtonsTest, AFocusedButtonWithTheOptionStandsInAsTheDefault)
{
    CWnd* ok = dialog.GetDlgItem(IDOK);
    CWnd* plain = dialog.GetDlgItem(IDC_PLAIN_BUTTON);
    plain->SetFocus();
    ASSERT_EQ(dialog.SendMessage(DM_GETDEFID), MAKELRESULT(IDOK, DC_HASDEFID));
    dialog.bitmapButton.SetFocus();
    EXPECT_EQ(LOWORD(dialog.SendMessage(DM_GETDEFID)), IDC_BITMAP_BUTTON);
    EXPECT_EQ(ButtonType(ok), static_cast<DWORD>(BS_PUSHBUTTON));
    EXPECT_EQ(dialog.bitmapButton.SendMessage(WM_GETDLGCODE), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);

    Key(VK_RETURN);
    EXPECT_EQ(dialog.commands, std::vector<UINT> { IDC_BITMAP_BUTTON }) << "Enter presses the stand-in";

    plain->SetFocus();
    Pump();
    EXPECT_EQ(LOWORD(dialog.SendMessage(DM_GETDEFID)), IDOK) << "the default goes back when the focus leaves";
}

TEST_F(ButtonsTest, ADoubleClickIsTwoClicks)
{
    const CPoint centre = Centre(&dialog.bitmapButton);
    headless->InjectMouseMove(centre);
    for (int i = 0; i < 2; ++i) {
        headless->InjectButton(1, true, centre);
        headless->InjectButton(1, false, centre);
    }
    Pump();
    EXPECT_EQ(dialog.commands, (std::vector<UINT> { IDC_BITMAP_BUTTON, IDC_BITMAP_BUTTON }));
}

TEST_F(ButtonsTest, AMissingBitmapFailsTheAttachment)
{
    SECBitmapButton button;
    EXPECT_FALSE(button.AttachButton(IDC_PLAIN_BUTTON, SEC_IMAGE_LEFT, 3999, &dialog));
    EXPECT_EQ(button.m_hWnd, nullptr);
}

TEST_F(ButtonsTest, TheImageAndCaptionAreLaidOutByAlignment)
{
    struct Case {
        int alignment;
        CRect image, text; // in a 60 x 30 button, whose layout area is 57 x 27; the picture is 10 x 8
    };
    const Case cases[] = {
        { SEC_IMAGE_LEFT, CRect(5, 9, 15, 17), CRect(16, 0, 57, 27) },
        { SEC_IMAGE_RIGHT, CRect(42, 9, 52, 17), CRect(0, 0, 41, 27) },
        { SEC_IMAGE_TOP, CRect(23, 5, 33, 13), CRect(0, 14, 57, 27) },
        { SEC_IMAGE_BOTTOM, CRect(23, 14, 33, 22), CRect(0, 0, 57, 13) },
        { SEC_IMAGE_ONLY, CRect(23, 9, 33, 17), CRect() },
    };
    for (const Case& c : cases) {
        SECBitmapButton button;
        ASSERT_TRUE(button.Create(L"Go", WS_CHILD | WS_VISIBLE, c.alignment, IDB_BUTTON_PICTURE, CRect(0, 0, 60, 30), frame, 10));
        EXPECT_EQ(button.GetImageRect(), c.image) << c.alignment;
        EXPECT_EQ(button.GetTextRect(), c.text) << c.alignment;
        button.DestroyWindow();
    }
}

TEST_F(ButtonsTest, TheMenuButtonsArrowSitsRightOfItsCaptionOrAlone)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    SECMenuButton alone;
    ASSERT_TRUE(alone.Create(L"", WS_CHILD | WS_VISIBLE, menu.Detach(), SEC_MENU_BELOW, CRect(0, 0, 30, 20), frame, 11));
    EXPECT_EQ(alone.GetAlignment(), SEC_IMAGE_ONLY);
    EXPECT_EQ(alone.GetImageRect(), CRect(CPoint((27 - 7) / 2, (17 - 4) / 2), CSize(7, 4)));
    EXPECT_EQ(dialog.menuButton.GetAlignment(), SEC_IMAGE_RIGHT);
    CRect client;
    dialog.menuButton.GetClientRect(&client);
    EXPECT_EQ(dialog.menuButton.GetImageRect().right, client.Width() - 3 - SECBitmapButton::kMarginX);
}

TEST_F(ButtonsTest, TheMenuDropsBelowTheButtonAndItsCommandReachesTheParent)
{
    CRect button;
    dialog.menuButton.GetWindowRect(&button);
    CRect popup;
    WhenWaiting({ [&](HWND menu) {
        ::GetWindowRect(menu, &popup);
        InjectKey(VK_DOWN);
        InjectKey(VK_RETURN);
    } });
    Click(Centre(&dialog.menuButton));
    Pump();
    EXPECT_EQ(popup.TopLeft(), CPoint(button.left, button.bottom));
    EXPECT_EQ(dialog.menuButton.drops, 1);
    EXPECT_EQ(dialog.commands, std::vector<UINT> { IDM_FIRST });
}

// While its menu is open the button stays as it was last drawn, even when it is painted again
// meanwhile (its window uncovered, say); after the menu it is drawn afresh.
TEST_F(ButtonsTest, TheButtonStaysDrawnWhileItsMenuIsOpen)
{
    auto pixels = [&] {
        CRect client;
        dialog.menuButton.GetClientRect(&client);
        HDC dc = ::GetDC(dialog.menuButton.m_hWnd);
        std::vector<COLORREF> all = pixel_checks::PixelsOf(dc, client);
        ::ReleaseDC(dialog.menuButton.m_hWnd, dc);
        return all;
    };
    std::vector<COLORREF> shown, repainted;
    WhenWaiting({ [&](HWND) {
        shown = pixels();
        dialog.menuButton.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        repainted = pixels();
        InjectKey(VK_ESCAPE);
    } });
    Click(Centre(&dialog.menuButton));
    Pump();
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](COLORREF c) { return c == ::GetSysColor(COLOR_BTNTEXT); }))
        << "the caption and the arrow show";
    EXPECT_EQ(repainted, shown);
}

TEST_F(ButtonsTest, ClickingTheButtonWhileItsMenuIsOpenOnlyClosesIt)
{
    WhenWaiting({ [&](HWND) { InjectClick(Centre(&dialog.menuButton)); } });
    Click(Centre(&dialog.menuButton));
    Pump();
    EXPECT_EQ(dialog.menuButton.drops, 1);
    EXPECT_FALSE(dialog.menuButton.IsTracking());
    EXPECT_TRUE(dialog.commands.empty());
}

TEST_F(ButtonsTest, SpaceDropsTheMenuOfTheFocusedButton)
{
    dialog.menuButton.SetFocus();
    WhenWaiting({ [&](HWND) { InjectKey(VK_ESCAPE); } });
    Key(VK_SPACE);
    EXPECT_EQ(dialog.menuButton.drops, 1);
}

TEST_F(ButtonsTest, FacesShowTheirStates)
{
    // Normal, focused (the stand-in default), pressed and disabled bitmap buttons with captions.
    SECBitmapButton normal, focused, pressed, disabled;
    const struct {
        SECBitmapButton* button;
        const wchar_t* caption;
        int x;
    } faces[] = { { &normal, L"Pi", 0 }, { &focused, L"&e", 64 }, { &pressed, L"W", 128 }, { &disabled, L"Off", 192 } };
    for (const auto& face : faces)
        ASSERT_TRUE(face.button->Create(face.caption, WS_CHILD | WS_VISIBLE, SEC_IMAGE_LEFT, IDB_BUTTON_PICTURE, CRect(face.x, 0, face.x + 60, 24), frame, 20 + face.x));
    disabled.EnableWindow(FALSE);
    focused.SetFocus();
    pressed.SendMessage(BM_SETSTATE, TRUE);
    Pump();
    HDC dc = ::GetDC(frame->m_hWnd);
    EXPECT_EQ(::GetPixel(dc, 0, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT)) << "a raised edge";
    EXPECT_EQ(::GetPixel(dc, 59, 23), ::GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(::GetPixel(dc, 128, 0), ::GetSysColor(COLOR_WINDOWFRAME)) << "a pressed button is sunken";
    ::ReleaseDC(frame->m_hWnd, dc);
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(normal.m_hWnd, "statusbar-button-normal.png"));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(focused.m_hWnd, "statusbar-button-focused.png"));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(pressed.m_hWnd, "statusbar-button-pressed.png"));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(disabled.m_hWnd, "statusbar-button-disabled.png"));
}

TEST_F(ButtonsTest, TheBitmapsGreysFollowTheSystemColours)
{
    CBitmap bitmap;
    ASSERT_TRUE(SECLoadSysColorBitmap(bitmap, IDB_BUTTON_PICTURE));
    const INT face = COLOR_BTNFACE;
    const COLORREF previous = ::GetSysColor(COLOR_BTNFACE), teal = RGB(0, 0x80, 0x80);
    ::SetSysColors(1, &face, &teal);
    CBitmap recoloured;
    const BOOL loaded = SECLoadSysColorBitmap(recoloured, IDB_BUTTON_PICTURE);
    ::SetSysColors(1, &face, &previous);
    ASSERT_TRUE(loaded);
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap* old = memory.SelectObject(&recoloured);
    EXPECT_EQ(memory.GetPixel(0, 0), teal) << "the light grey corner is the face colour";
    EXPECT_EQ(memory.GetPixel(1, 1), RGB(0xFF, 0xFF, 0xFF));
    memory.SelectObject(old);
    EXPECT_FALSE(SECLoadSysColorBitmap(bitmap, 3999));
}

} // namespace
