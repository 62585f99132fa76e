#pragma once
// A frame window per test with an application around it, on the headless ground every window test
// shares.

#include "framework/tests/DockingFixture.h"
#include "platform/mfc/Frame.h"

#include <gtest/gtest.h>

class HeadlessFrameTest : public HeadlessAppFixture {
protected:
    void SetUp() override
    {
        HeadlessAppFixture::SetUp();
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 100, 800, 300)));
        app.m_pMainWnd = frame;
    }
    // Messages go through the application first, as its loop sends them (dialog keys included).
    bool PreTranslate(MSG& message) override { return AfxGetApp() && AfxGetApp()->PreTranslateMessage(&message); }
    // What the program does when it has nothing else to do: lay out, update the command UI.
    void Idle()
    {
        Pump();
        frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        Pump();
    }
    using HeadlessWindowTest::ScreenPoint;
    static CPoint ScreenPoint(CWnd* window, int x, int y)
    {
        CPoint point(x, y);
        window->ClientToScreen(&point);
        return point;
    }
    using HeadlessWindowTest::PixelAt;
    static COLORREF PixelAt(CWnd* window, int x, int y) { return PixelAt(window->m_hWnd, x, y); }
    using HeadlessAppFixture::PlaceInParent;
    static CRect PlaceInParent(CWnd* window) { return PlaceInParent(window->m_hWnd); }

    CFrameWnd* frame = nullptr;
};
