#pragma once
// A page of the main window in a small frame that stands in for the main window, on the headless
// ground every window test shares: the test names its document, frame and view classes, and gets
// the page shown at its fitted size, messages pumped through the application as its loop does,
// and helpers that reach the page's controls by id.

#include "platform/comctl/CommCtrl.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "platform/user/tests/HeadlessWindowTest.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

template <class Frame, class View>
class PageTest : public HeadlessWindowTest {
protected:
    PageTest(CRuntimeClass* document, CRuntimeClass* frameClass, CRuntimeClass* viewClass)
        : m_classes { document, frameClass, viewClass }
    {
    }

    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        InitCommonControls();
        SetMessageBeepHook([this](UINT type) { beeps.push_back(type); });
        app = std::make_unique<CWinApp>(L"FLN");
        app->AddDocTemplate(new CSingleDocTemplate(0, m_classes[0], m_classes[1], m_classes[2]));
        app->OnFileNew();
        frame = dynamic_cast<Frame*>(AfxGetMainWnd());
        ASSERT_NE(frame, nullptr);
        view = dynamic_cast<View*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        view->ResizeParentToFit(FALSE);
        frame->ShowWindow(SW_SHOW);
        Pump();
    }
    void TearDown() override
    {
        SetMessageBeepHook({});
        HeadlessWindowTest::TearDown();
        app.reset();
    }
    bool PreTranslate(MSG& message) override { return app && app->PreTranslateMessage(&message); }

    HWND Item(UINT id) const { return ::GetDlgItem(view->m_hWnd, static_cast<int>(id)); }
    CString TextOf(UINT id) const
    {
        wchar_t text[2048] {};
        ::GetWindowTextW(Item(id), text, 2048);
        return text;
    }
    void SetTextOf(UINT id, const wchar_t* text) { ::SetWindowTextW(Item(id), text); }
    // A button click as the button reports it (a menu command when the page has no such button).
    void Command(UINT id)
    {
        ::SendMessageW(view->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
        Pump();
    }
    void PressKeys(std::initializer_list<UINT> ids)
    {
        for (UINT id : ids)
            Command(id);
    }
    // The selection of an edit control of the page.
    std::pair<int, int> SelectionOf(UINT edit) const
    {
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageW(Item(edit), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return { static_cast<int>(start), static_cast<int>(end) };
    }
    bool Checked(UINT id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // The menu's check mark as the frame's menu would show it.
    int CheckOf(UINT id)
    {
        struct Probe : CCmdUI {
            int check = -1;
            void SetCheck(int value) override { check = value; }
        } probe;
        probe.m_nID = id;
        probe.DoUpdate(view, FALSE);
        return probe.check;
    }
    COLORREF PixelOf(UINT id, int x, int y)
    {
        Pump();
        return PixelAt(Item(id), x, y);
    }
    // Whether any pixel of the control has the colour.
    bool Shows(UINT id, COLORREF colour)
    {
        Pump();
        RECT client {};
        ::GetClientRect(Item(id), &client);
        return AnyPixelOf(Item(id), client, colour);
    }
    POINT CentreOf(UINT id) const
    {
        RECT rect {};
        ::GetWindowRect(Item(id), &rect);
        return { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
    }

    TempSettingsFolder settings;
    std::unique_ptr<CWinApp> app;
    Frame* frame = nullptr;
    View* view = nullptr;
    std::vector<UINT> beeps;

private:
    CRuntimeClass* m_classes[3];
};
