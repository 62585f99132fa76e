#pragma once
// The menu bar: a dockable tool bar whose buttons are the top-level popups of one or more menu
// resources. Each menu gets a bit; only the buttons of the current menu show. A pressed or
// chosen button asks its frame to drop its popup (SECMenuBarFeature tracks it). In keyboard mode
// (Alt or F10 released alone) one button is highlighted and no popup is open.

#include "commandbars/CustomToolBar.h"
#include "commandbars/TBMenuBtn.h"
#include "framework/FrameMenuBar.h"

#include <map>
#include <memory>
#include <vector>

// What the menu bar tells its frame, beside SEC_TBN_DROPMENU.
constexpr UINT SEC_TBN_CLOSEMENU = static_cast<UINT>(-2121);
constexpr UINT SEC_TBN_ENTERKEYBOARDMODE = static_cast<UINT>(-2122);
constexpr UINT SEC_TBN_LEAVEKEYBOARDMODE = static_cast<UINT>(-2123);

// The menu a frame loads as its own beside an MDI child; stands for the main window's menu here.
constexpr UINT SEC_IDR_MDIFRAME_MENU = 20514;

class SECMenuBar : public SECCustomToolBar, public SECFrameMenuBar {
    DECLARE_DYNCREATE(SECMenuBar)
public:
    SECMenuBar();
    ~SECMenuBar() override;

    BOOL CreateEx(DWORD ctrlStyle, CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
        UINT id = AFX_IDW_TOOLBAR, LPCWSTR title = nullptr) override;

    // Makes the buttons of the menus' top-level popups, one bit per menu that loads (in argument
    // order). FALSE when the menus hold no items.
    BOOL SetMenuInfo(int count, UINT menuId, ...);
    BOOL SetMenuInfo(const std::vector<UINT>& menuIds);
    // Shows the buttons of that menu (for SEC_IDR_MDIFRAME_MENU without its own bit, those of the
    // menu the main window was loaded with); FALSE, nothing changed, for a menu the bar lacks.
    BOOL SwitchMenu(UINT menuId) override;
    // Shows the menu buttons whose mask shares a bit with `mask`.
    void ShowMenuButtons(DWORD mask, BOOL relayout);
    void RebuildButtons(BOOL noRedraw);
    // A new button shows or hides as the current menu says.
    void InsertButton(int index, UINT id, BOOL separator = FALSE, BOOL noRedraw = FALSE) override;
    DWORD GetMenuMask(UINT menuId) const;
    DWORD GetCurrentMask() const { return m_dwCurrentMask; }
    UINT GetCurrentMenuId() const override { return m_nCurrentMenu; }

    // The first visible menu button whose mnemonic is ch (upper case); -1 when none.
    int FindMnemonic(wchar_t ch) const;
    BOOL IsMenuButton(int index) const;
    int FirstVisibleMenuButton(BOOL forward = TRUE) const;
    // The next (or previous) visible menu button after the tracked one; -1 past either end.
    int NextMenuButton(BOOL forward) const;

    // ---- keyboard mode
    BOOL IsKeyboardMode() const { return m_bKeyboardMode; }
    // Highlights the button in keyboard mode (-1: none, the mode stays).
    void SetTrackedButton(int index) override;
    // Leaves keyboard mode and drops the highlight.
    void EndTracking() override;
    // The button under a client point becomes the highlighted one.
    void HotTrackAt(CPoint point);
    // Leaves keyboard mode, then presses the menu button, which drops its popup; FALSE for a
    // button that is no menu button.
    BOOL DropMenuOf(int index);
    // Asks the frame to drop its system menu.
    void OpenSystemMenu();

    // ---- while a popup is open
    void DropButtonMenu(SECStdBtn* button, UINT menuId, int popupIndex) override;
    // A mouse message over the bar while a popup is open; TRUE eats it.
    virtual BOOL OnMenuMouse(const MSG& message);
    // The popup closed: the tracked button is released.
    virtual void OnMenuClosed();

    CFont* GetMenuFont() const override;
    BOOL IsFlat() const override { return TRUE; }

    // SECFrameMenuBar
    CControlBar* GetMenuControlBar() override { return this; }
    BOOL IsMenuTitleAt(CPoint point) const override;
    SECFrameMenuPlugIn* CreateMenuPlugIn() override;

protected:
    void OnSettingChange(UINT flags, LPCWSTR section);
    // A floating menu bar cannot be closed: its floating frame loses the close button.
    void OnWindowPosChanged(WINDOWPOS* position);
    DECLARE_MESSAGE_MAP()

private:
    // Sends a notification of the bar itself (no button): index -1, a 0, b -1.
    void SendBarNotify(UINT code);
    void Relayout(BOOL erase);
    void CreateMenuFontFromMetrics();

    std::map<UINT, DWORD> m_menuMasks;
    std::unique_ptr<SECMenuButtonRecords> m_records;
    CFont m_menuFont;
    DWORD m_dwCurrentMask = static_cast<DWORD>(-1);
    UINT m_nCurrentMenu = 0;
    BOOL m_bKeyboardMode = FALSE;
};
