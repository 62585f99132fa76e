#pragma once
// A docking frame with a menu bar of the three menus of menubar.rc (the first one shown), the
// images of IDR_MB_IMAGES beside their items and Paste disabled; it records the commands it gets
// and the popups that open. The fixture pumps as the program does and types keys.

#include "commandbars/MenuBar.h"
#include "commandbars/MenuBarFeature.h"
#include "framework/FrameWnd.h"
#include "framework/tests/DockingFixture.h"

#include <functional>
#include <vector>

// ---- menubar.rc
constexpr UINT IDR_MB_CALC = 2001, IDR_MB_GRAPH = 2002, IDR_MB_SCRIPT = 2003, IDR_MB_EMPTY = 2004, IDR_MB_IMAGES = 2010,
               IDR_MB_MISSING = 2099;
constexpr UINT ID_MB_NEW = 2101, ID_MB_OPEN = 2102, ID_MB_COPY = 2111, ID_MB_PASTE = 2112, ID_MB_DEEP = 2115, ID_MB_CHART = 2121,
               ID_MB_RUN = 2141, ID_MB_RESET = 2142;

class MenuFrame : public SECFrameWnd {
public:
    MenuFrame()
    {
        SetMenuBar(&menuBar);
        m_nIDHelp = IDR_MB_CALC;
    }
    SECMenuBar menuBar;
    std::vector<UINT> commands;
    std::vector<HMENU> opened;

protected:
    int OnCreate(LPCREATESTRUCT create)
    {
        if (SECFrameWnd::OnCreate(create) == -1 || !menuBar.CreateEx(0x300, this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR))
            return -1;
        menuBar.SetMenuInfo(3, IDR_MB_CALC, IDR_MB_GRAPH, IDR_MB_SCRIPT);
        menuBar.SwitchMenu(IDR_MB_CALC);
        LoadMenuBitmaps(IDR_MB_IMAGES);
        return 0;
    }
    void OnMenuCommand(UINT id) { commands.push_back(id); }
    void OnUpdatePaste(CCmdUI* state) { state->Enable(FALSE); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITMENUPOPUP)
            opened.push_back(reinterpret_cast<HMENU>(wParam));
        return SECFrameWnd::WindowProc(message, wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

// Pumps as the program's loop does: each message is offered for pre-translation first.
inline void RunMessages(CWinApp& app)
{
    MSG message;
    for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (app.PreTranslateMessage(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class MenuBarFixture : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new MenuFrame; }
    void SetUp() override
    {
        DockingFixture::SetUp();
        Bar().EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&Bar());
        frame->RecalcLayout();
        frame->UpdateWindow();
        Run();
    }
    void TearDown() override
    {
        SetModalLoopHook(nullptr);
        DockingFixture::TearDown();
    }
    MenuFrame& Frame() { return *static_cast<MenuFrame*>(frame); }
    SECMenuBar& Bar() { return Frame().menuBar; }
    void Run() { RunMessages(app); }
    void Press(unsigned key)
    {
        headless->InjectKey(key, true);
        headless->InjectKey(key, false);
    }
    void AltWith(unsigned key)
    {
        headless->InjectKey(VK_MENU, true);
        Press(key);
        headless->InjectKey(VK_MENU, false);
    }
    // Runs each step when a menu loop waits, in turn; past the last step, any open menu ends.
    void OnEachWait(std::vector<std::function<void()>> steps)
    {
        SetModalLoopHook([steps = std::move(steps), next = size_t { 0 }](HWND) mutable {
            if (next < steps.size())
                steps[next++]();
            else
                EndMenu();
        });
    }
};
