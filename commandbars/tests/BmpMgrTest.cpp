// The shared store of tool-bar images: greys that follow the system colours, and large images
// from an alternate resource or stretched from the normal ones.

#include "ToolBarFixture.h"

#include "framework/BmpMgr.h"
#include "platform/mfc/Dc.h"

namespace {

constexpr UINT IDR_TB_GREYS = 1004, ID_TB_GREY = 1124, ID_TB_BIG1 = 1121;

// A store that the test owns: Release deletes it with its last reference.
struct Store {
    SECBmpMgr* manager = new SECBmpMgr;
    ~Store() { manager->Release(); }
    SECBmpMgr* operator->() const { return manager; }
};

COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory.m_hDC, bitmap);
    const COLORREF colour = memory.GetPixel(x, y);
    ::SelectObject(memory.m_hDC, old);
    return colour;
}

CSize SizeOf(HBITMAP bitmap)
{
    BITMAP info {};
    ::GetObjectW(bitmap, sizeof info, &info);
    return CSize(info.bmWidth, info.bmHeight);
}

class BmpMgrTest : public ToolBarFixture {};

TEST_F(BmpMgrTest, GreysFollowTheSystemColoursWhenLoadedAndReloaded)
{
    Store mapped, plain;
    ASSERT_TRUE(mapped->AddToolBarResource(IDR_TB_GREYS));
    ASSERT_TRUE(plain->AddToolBarResource(IDR_TB_GREYS, 0, FALSE));
    const INT face = COLOR_BTNFACE;
    const COLORREF previous = ::GetSysColor(COLOR_BTNFACE), teal = RGB(0, 0x80, 0x80);
    ::SetSysColors(1, &face, &teal);
    mapped->ReloadAll();
    plain->ReloadAll();
    ::SetSysColors(1, &face, &previous);
    HBITMAP bitmap = nullptr;
    int index = -1;
    ASSERT_TRUE(mapped->GetImage(ID_TB_GREY, bitmap, index));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(PixelOf(bitmap, 0, 0), teal) << "light grey is the face colour";
    EXPECT_EQ(PixelOf(bitmap, 1, 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_TRUE(plain->GetImage(ID_TB_GREY, bitmap, index));
    EXPECT_EQ(PixelOf(bitmap, 0, 0), RGB(0xC0, 0xC0, 0xC0)) << "asked not to map";
}

TEST_F(BmpMgrTest, LargeButtonsStretchTheImagesWhenThereIsNoAlternate)
{
    Store store;
    ASSERT_TRUE(store->AddToolBarResource(IDR_TB_EDIT));
    HBITMAP normal = nullptr, large = nullptr;
    int index = -1;
    ASSERT_TRUE(store->GetImage(ID_TB_SAVE, normal, index));
    EXPECT_EQ(store->GetImageSize(), CSize(16, 15));

    store->SetLargeButtons(TRUE);
    EXPECT_EQ(store->GetImageSize(), CSize(22, 24));
    ASSERT_TRUE(store->GetImage(ID_TB_SAVE, large, index));
    ASSERT_NE(large, normal);
    EXPECT_EQ(SizeOf(large), CSize(9 * 22, 24)) << "nine images at the large size";
    // The save image's frame is black three pixels in; stretched, it stays inside its own image.
    EXPECT_EQ(PixelOf(normal, 2 * 16 + 3, 3), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(large, 2 * 22 + 22 * 3 / 16 + 1, 24 * 3 / 15 + 1), RGB(0, 0, 0));

    store->SetLargeButtons(TRUE); // the same mode: nothing is made again
    HBITMAP again = nullptr;
    ASSERT_TRUE(store->GetImage(ID_TB_SAVE, again, index));
    EXPECT_EQ(again, large);
    store->SetLargeButtons(FALSE);
    ASSERT_TRUE(store->GetImage(ID_TB_SAVE, again, index));
    EXPECT_EQ(again, normal);
}

TEST_F(BmpMgrTest, AnAlternateResourceGivesTheLargeImagesAndTheirSize)
{
    Store store;
    ASSERT_TRUE(store->AddToolBarResource(IDR_TB_EDIT));
    ASSERT_TRUE(store->AddToolBarResource(IDR_TB_GREYS, IDR_TB_LARGE)) << "its first image stands for the large one";
    EXPECT_EQ(store->m_szLargeImage, CSize(32, 32)) << "from the first alternate resource";
    HBITMAP normal = nullptr, alternate = nullptr;
    int index = -1;
    ASSERT_TRUE(store->GetImage(ID_TB_GREY, normal, index));
    ASSERT_TRUE(store->GetImage(ID_TB_GREY, alternate, index, TRUE));
    EXPECT_NE(alternate, normal);
    EXPECT_EQ(SizeOf(alternate), CSize(96, 32));

    EXPECT_FALSE(store->AddToolBarResource(IDR_TB_EDIT, IDR_TB_LARGE)) << "three large images cannot stand for nine";
    EXPECT_FALSE(store->AddToolBarResource(IDR_TB_EDIT, IDB_TB_ALONE)) << "an alternate without a tool-bar resource";
    EXPECT_FALSE(store->GetImage(ID_TB_BIG1, normal, index)) << "nothing of a refused resource is kept";
}

TEST_F(BmpMgrTest, TheFrameReloadsItsToolBarsImagesWhenTheSystemColoursChange)
{
    SECCustomToolBar bar;
    MakeBar(bar, SEC_TBS_FLAT, IDR_TB_GREYS);
    SECBmpMgr* store = bar.GetBmpMgr();
    ASSERT_NE(store, nullptr);
    const INT face = COLOR_BTNFACE;
    const COLORREF previous = ::GetSysColor(COLOR_BTNFACE), teal = RGB(0, 0x80, 0x80);
    ::SetSysColors(1, &face, &teal);
    frame->SendMessage(WM_SYSCOLORCHANGE);
    HBITMAP bitmap = nullptr;
    int index = -1;
    const bool found = store->GetImage(ID_TB_GREY, bitmap, index);
    const COLORREF corner = found ? PixelOf(bitmap, 0, 0) : CLR_INVALID;
    ::SetSysColors(1, &face, &previous);
    frame->SendMessage(WM_SYSCOLORCHANGE);
    ASSERT_TRUE(found);
    EXPECT_EQ(corner, teal);
}

} // namespace
