#include "framework/MemDC.h"

#include "platform/display/HeadlessDisplay.h"
#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using divuzura::foundation::SECMemDC;

// A white memory DC standing for a window's DC.
class Target {
public:
    Target()
    {
        CDC screen;
        screen.Attach(::GetDC(nullptr));
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, 100, 80);
        ::ReleaseDC(nullptr, screen.Detach());
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 100, 80, RGB(255, 255, 255));
    }
    ~Target() { dc.SelectObject(old); }
    COLORREF DevicePixel(int x, int y)
    {
        const CPoint origin = dc.GetViewportOrg();
        dc.SetViewportOrg(0, 0);
        const COLORREF color = dc.GetPixel(x, y);
        dc.SetViewportOrg(origin.x, origin.y);
        return color;
    }

    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};

class MemDCTest : public ::testing::Test {
protected:
    void SetUp() override { SetCurrentDisplay(std::make_unique<HeadlessDisplay>()); }
};

TEST_F(MemDCTest, WhatIsDrawnShowsOnTheTargetWhenTheDCGoes)
{
    struct Case {
        CRect rect;
        CPoint viewportOrigin;
        BOOL useTargetMapping;
    };
    const Case cases[] = {
        { CRect(0, 0, 40, 30), CPoint(0, 0), TRUE },
        { CRect(10, 20, 50, 60), CPoint(0, 0), TRUE },
        { CRect(10, 20, 50, 60), CPoint(0, 0), FALSE },
        { CRect(10, 20, 50, 60), CPoint(5, -7), TRUE },
        { CRect(10, 20, 50, 60), CPoint(5, -7), FALSE },
    };
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.left << "," << c.rect.top << " origin " << c.viewportOrigin.x << ","
                                        << c.viewportOrigin.y << (c.useTargetMapping ? " taken over" : ""));
        Target target;
        target.dc.SetViewportOrg(c.viewportOrigin.x, c.viewportOrigin.y);
        {
            SECMemDC memory(&target.dc, c.rect, TRUE, c.useTargetMapping);
            memory.FillSolidRect(&c.rect, blue);
            memory.SetPixel(c.rect.left, c.rect.top, red);
            EXPECT_EQ(target.dc.GetPixel(c.rect.left + 5, c.rect.top + 5), RGB(255, 255, 255)) << "nothing before the copy";
        }
        EXPECT_EQ(target.dc.GetPixel(c.rect.left, c.rect.top), red) << "the corner lands at the same place";
        EXPECT_EQ(target.dc.GetPixel(c.rect.right - 1, c.rect.bottom - 1), blue);
        EXPECT_EQ(target.dc.GetPixel(c.rect.right, c.rect.bottom), RGB(255, 255, 255)) << "nothing outside the rectangle";
        if (c.rect.left > 0) {
            EXPECT_EQ(target.dc.GetPixel(c.rect.left - 1, c.rect.top - 1), RGB(255, 255, 255));
        }
    }
}

TEST_F(MemDCTest, AnEmptyRectangleCopiesNothing)
{
    Target target;
    {
        SECMemDC memory(&target.dc, CRect(30, 30, 30, 30));
        memory.FillSolidRect(0, 0, 100, 80, RGB(0, 0, 0));
    }
    for (CPoint point : { CPoint(30, 30), CPoint(0, 0), CPoint(99, 79) })
        EXPECT_EQ(target.DevicePixel(point.x, point.y), RGB(255, 255, 255));
}

TEST_F(MemDCTest, ANullTargetIsRefused)
{
    bool refused = false;
    try {
        SECMemDC memory(nullptr, CRect(0, 0, 10, 10));
    } catch (CInvalidArgException* error) {
        refused = true;
        error->Delete();
    }
    EXPECT_TRUE(refused);
}

} // namespace
