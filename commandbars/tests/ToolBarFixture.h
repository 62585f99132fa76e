#pragma once
// A docking frame that records the commands and notifications its tool bars send and answers
// their command-UI requests from a table, and the resources of toolbar.rc.

#include "commandbars/CustomToolBar.h"
#include "framework/FrameWnd.h"
#include "framework/tests/DockingFixture.h"

#include <functional>
#include <map>
#include <vector>

// ---- toolbar.rc
constexpr UINT IDR_TB_EDIT = 1000, IDR_TB_LARGE = 1001, IDR_TB_NOBITMAP = 1002, IDB_TB_ALONE = 1003, IDM_TB_MENU = 1010;
constexpr UINT ID_TB_NEW = 1101, ID_TB_OPEN = 1102, ID_TB_SAVE = 1103, ID_TB_CUT = 1104, ID_TB_COPY = 1105,
               ID_TB_PASTE = 1106, ID_TB_PRINT = 1107, ID_TB_CALC = 1108, ID_TB_HELP = 1109;
// IDR_TB_EDIT's order; 0 is a separator.
inline constexpr UINT kEditBar[] = { ID_TB_NEW, 0, ID_TB_OPEN, ID_TB_SAVE, 0, ID_TB_CUT, ID_TB_COPY, ID_TB_PASTE, 0,
    ID_TB_PRINT, 0, ID_TB_CALC, ID_TB_HELP };

// Handles every command of toolbar.rc but ID_TB_HELP, which has no handler.
class CommandFrame : public SECFrameWnd {
public:
    struct UiState {
        BOOL enable = TRUE;
        int check = -1; // -1: not set
    };
    struct Notification {
        UINT code;
        int button;
        int index;
        UINT_PTR a, b;
    };
    std::vector<UINT> commands;
    std::vector<Notification> notifications;
    std::vector<WPARAM> prompts; // the ids of WM_SETMESSAGESTRING
    std::map<UINT, UiState> ui;
    std::function<void()> whileCommandRuns; // as a modal box would, inside the command

protected:
    void OnToolCommand(UINT id)
    {
        commands.push_back(id);
        if (whileCommandRuns)
            whileCommandRuns();
    }
    LRESULT OnPrompt(WPARAM id, LPARAM text)
    {
        prompts.push_back(id);
        return OnSetMessageString(id, text);
    }
    void OnUpdateTool(CCmdUI* state)
    {
        const auto found = ui.find(state->m_nID);
        if (found == ui.end())
            return state->Enable(TRUE);
        state->Enable(found->second.enable);
        if (found->second.check >= 0)
            state->SetCheck(found->second.check);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == TBN_DROPDOWN || header->code == SEC_TBN_DROPMENU) {
            const auto* notify = reinterpret_cast<const SECBtnNotify*>(lParam);
            notifications.push_back({ header->code, notify->toolBar.iItem, notify->nIndex, notify->a, notify->b });
            return TRUE;
        }
        return SECFrameWnd::OnNotify(wParam, lParam, result);
    }
    DECLARE_MESSAGE_MAP()
};

class ToolBarFixture : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new CommandFrame; }
    CommandFrame& Frame() { return *static_cast<CommandFrame*>(frame); }

    // A bar docked at the top of the frame, laid out and painted.
    void MakeBar(SECCustomToolBar& bar, DWORD ctrlStyle = SEC_TBS_FLAT, UINT resource = IDR_TB_EDIT)
    {
        ASSERT_TRUE(bar.CreateEx(ctrlStyle, frame, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM, AFX_IDW_TOOLBAR));
        ASSERT_TRUE(bar.LoadToolBar(resource));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&bar);
        frame->RecalcLayout();
        frame->UpdateWindow();
        Pump();
    }
    POINT ScreenPointOf(const SECCustomToolBar& bar, CPoint client) const
    {
        bar.ClientToScreen(&client);
        return client;
    }
    // The middle of a button, in the bar's client area.
    static CPoint Middle(const SECCustomToolBar& bar, int index) { return bar.GetButton(index)->GetRect().CenterPoint(); }

    void MoveTo(const SECCustomToolBar& bar, CPoint client)
    {
        headless->InjectMouseMove(ScreenPointOf(bar, client));
        Pump();
    }
    void Press(const SECCustomToolBar& bar, CPoint client, bool down)
    {
        headless->InjectButton(1, down, ScreenPointOf(bar, client));
        Pump();
    }
    void Click(const SECCustomToolBar& bar, CPoint client)
    {
        MoveTo(bar, client);
        Press(bar, client, true);
        Press(bar, client, false);
    }
};
