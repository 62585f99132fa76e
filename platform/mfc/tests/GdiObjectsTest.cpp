#include "platform/mfc/Dc.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/Menu.h"

#include <gtest/gtest.h>

TEST(MfcGdi, SelectingReturnsThePreviousObjectWhichSurvivesItsTemporaryWrapper)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    CDC screen;
    ASSERT_TRUE(screen.CreateDC(L"DISPLAY", nullptr, nullptr, nullptr));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 10, 10));
    CBitmap* previousBitmap = dc.SelectObject(&bitmap);
    ASSERT_NE(previousBitmap, nullptr);
    EXPECT_TRUE(previousBitmap->IsKindOf(RUNTIME_CLASS(CBitmap)));
    HGDIOBJ firstBitmap = previousBitmap->m_hObject; // the wrapper lives only until the program is idle

    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* previousPen = dc.SelectObject(&pen);
    ASSERT_NE(previousPen, nullptr);
    HGDIOBJ stockPen = previousPen->m_hObject;
    EXPECT_EQ(stockPen, GetStockObject(BLACK_PEN));
    dc.MoveTo(0, 5);
    dc.LineTo(10, 5);
    EXPECT_EQ(dc.GetPixel(3, 5), RGB(255, 0, 0));
    dc.SelectObject(previousPen);
    AfxDeleteTempObjects();
    EXPECT_EQ(GetObjectType(stockPen), OBJ_PEN) << "a temporary wrapper leaves its object alone";
    EXPECT_EQ(CPen::FromHandle(static_cast<HPEN>(pen.m_hObject)), &pen) << "an owner is found by its handle";

    HGDIOBJ owned = pen.m_hObject;
    {
        CBrush brush(RGB(0, 0, 255));
        dc.FillRect(CRect(0, 0, 2, 2), &brush);
        EXPECT_EQ(dc.GetPixel(1, 1), RGB(0, 0, 255));
    }
    EXPECT_TRUE(pen.DeleteObject());
    EXPECT_EQ(GetObjectType(owned), 0u);
    dc.SelectObject(firstBitmap);
}

TEST(MfcGdi, RegionsCombineAndCompare)
{
    CRgn left, right, both, expected;
    left.CreateRectRgn(0, 0, 10, 10);
    right.CreateRectRgn(10, 0, 20, 10);
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(both.CombineRgn(&left, &right, RGN_OR), SIMPLEREGION);
    expected.CreateRectRgn(0, 0, 20, 10);
    EXPECT_TRUE(both.EqualRgn(&expected));
    both.OffsetRgn(5, 5);
    EXPECT_TRUE(both.PtInRegion(24, 14));
    EXPECT_FALSE(both.PtInRegion(4, 4));
}

TEST(MfcGdi, MenusAndImageListsWrapTheirHandles)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreateMenu());
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, 7, L"&Seven");
    menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), L"&File");
    CMenu* sub = menu.GetSubMenu(0);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->GetMenuItemID(0), 7u);
    CString text;
    sub->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(text, CString(L"&Seven"));
    AfxDeleteTempObjects();
    EXPECT_TRUE(IsMenu(menu.GetSubMenu(0)->m_hMenu));

    CImageList images;
    ASSERT_TRUE(images.Create(4, 4, ILC_COLOR24 | ILC_MASK, 1, 1));
    CDC screen;
    screen.CreateDC(L"DISPLAY", nullptr, nullptr, nullptr);
    CBitmap strip;
    strip.CreateCompatibleBitmap(&screen, 8, 4);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&strip);
    dc.FillSolidRect(0, 0, 4, 4, RGB(255, 0, 255));
    dc.FillSolidRect(4, 0, 4, 4, RGB(0, 200, 0));
    dc.SelectObject(old);
    EXPECT_EQ(images.Add(&strip, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 2);
    EXPECT_EQ(images.GetIconSize().cx, 4);

    CBitmap target;
    target.CreateCompatibleBitmap(&screen, 4, 4);
    old = dc.SelectObject(&target);
    dc.FillSolidRect(0, 0, 4, 4, RGB(1, 2, 3));
    images.Draw(&dc, 0, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(1, 2, 3)) << "the mask colour is transparent";
    images.Draw(&dc, 1, CPoint(0, 0), ILD_NORMAL);
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(0, 200, 0));
    dc.SelectObject(old);
}
