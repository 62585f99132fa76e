#pragma once
// The manager of the tool bars a user makes: it finds a free id for a new bar, makes the bar
// from a run-time class, shares one bitmap store and one drag state among its bars, and
// broadcasts to them. Nothing in the program creates one, so every frame's pointer to it stays
// null; it stands ready for a frame that wants user tool bars. Beside it, the process-wide colour
// table and the menu-item record size of the bitmap menus.

#include "platform/mfc/ControlBar.h"

#include <array>
#include <vector>

class SECBmpMgr;
class SECToolBarManager;

// What the manager asks of the tool bars it serves. The tool-bar class lives above this layer
// and implements it; the manager finds its bars by this interface.
class SECManagedToolBar {
public:
    virtual ~SECManagedToolBar() = default;
    virtual BOOL CreateManagedBar(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id, LPCWSTR title) = 0;
    virtual void SetBmpMgr(SECBmpMgr* manager) = 0;
    virtual SECBmpMgr* GetBmpMgr() const = 0;
    virtual void RecalcButtonSizes() = 0;
    // A notification for the buttons of a command id.
    virtual void InformBtn(UINT id, UINT code, void* data) = 0;

    SECToolBarManager* m_pManager = nullptr;
    BOOL m_bMadeByManager = FALSE;
};

// The drag state the manager's bars share while one of them is dragged; reference counted.
class SharedDragState {
public:
    SharedDragState* AddRef()
    {
        ++m_references;
        return this;
    }
    // Deletes the record with its last reference; the references left.
    ULONG Release();
    void Set(BOOL flag, const CRect& rect)
    {
        m_flag = flag;
        m_rect = rect;
    }
    BOOL m_flag = FALSE;
    CRect m_rect;

private:
    ~SharedDragState() = default;
    ULONG m_references = 1;
};

class SECToolBarManager : public CObject {
    DECLARE_DYNAMIC(SECToolBarManager)
public:
    // The ids of user tool bars: [first, end).
    static constexpr UINT kFirstUserBarId = 59424, kEndUserBarId = 59648;
    // The string resource of a new bar's title ("%d": the bar's number).
    static constexpr UINT kUserBarTitle = 20674;

    explicit SECToolBarManager(CFrameWnd* frame);
    ~SECToolBarManager() override;
    SECToolBarManager(const SECToolBarManager&) = delete;
    SECToolBarManager& operator=(const SECToolBarManager&) = delete;

    void GetBarSizes(int& first, int& second) const
    {
        first = m_nBarSizes[0];
        second = m_nBarSizes[1];
    }
    // Passes the notification to every tool bar of the frame.
    void ForEachToolBar(UINT id, UINT code, void* data) const;
    // Sends the registered message "WM_BARNOTIFY" to every listed bar that still exists.
    void BroadcastBarMessage(WPARAM wParam, LPARAM lParam) const;
    // The screen rectangle of the current drop target; empty without one.
    void GetDropRect(CRect& rect) const;
    // Makes a tool bar of the manager's class with the first free user id; null when all ids are
    // taken or the bar cannot be made.
    CControlBar* CreateUserToolBar(LPCWSTR title = nullptr);
    // The bar takes its button size from the shared bitmap store.
    void SizeNewBar(SECManagedToolBar* bar) const;
    // The shared drag state, with a reference for the caller.
    SharedDragState* AddRefDragState() { return m_pDragState->AddRef(); }

    CFrameWnd* m_pFrame = nullptr;
    CRuntimeClass* m_pToolBarClass = nullptr;
    SECBmpMgr* m_pBmpMgr = nullptr;
    std::vector<HWND> m_barList;
    HWND m_hDropWindow = nullptr;
    // 0: new bars start in customise mode (not built); 1: CBRS_TOOLTIPS; 2: CBRS_FLYBY; 3: flat buttons with a gripper.
    std::array<DWORD, 4> m_config {};
    std::array<int, 2> m_nBarSizes {};
    // Set while the user customises the bars (nothing in the program does); the frames then lay
    // out at once inside the dialog, ignore hit tests on themselves and cannot be closed.
    BOOL m_bCustomizing = FALSE;

private:
    SharedDragState* m_pDragState = nullptr;
};

// ---- the bitmap menus' process-wide helpers
// The menu colours, in this order: button face, highlight, highlight, shadow, selection, menu,
// grey text, selected text, menu text.
enum MenuColor { kMenuFace, kMenuHighlight, kMenuHighlight2, kMenuShadow, kMenuSelection, kMenuBack, kMenuGrayText,
    kMenuSelectedText, kMenuText, kMenuColorCount };
const std::array<COLORREF, kMenuColorCount>& MenuSysColors();
// Fills the table from the system colours (at start and after WM_SYSCOLORCHANGE).
void InitMenuSysColors();
// The size to put into a MENUITEMINFOW's cbSize.
UINT GetMenuItemInfoSize();
