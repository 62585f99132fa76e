#pragma once
// The menu bar's keyboard and popup tracking for a frame: Alt or F10 released alone highlights
// the first menu button (keyboard mode), the arrows move along the bar, Enter or Down opens the
// popup, Left and Right in an open popup slide to the neighbouring one, Esc backs out a level,
// Alt+letter opens a popup at once, Alt+Space the system menu, and with a popup open the mouse
// over another title switches popups. Three thread hooks carry it: a message filter while a
// popup is open, keyboard and mouse hooks while in keyboard mode. Only one bar tracks at a time.

#include "commandbars/BmpMenuPlugIn.h"

#include <optional>

class SECMenuBar;
struct SECBtnNotify;

class SECMenuBarMessages {
public:
    virtual ~SECMenuBarMessages() = default;

    void SetMenuBar(SECMenuBar* bar) { m_pMenuBar = bar; }
    SECMenuBar* GetMenuBar() const { return m_pMenuBar; }

    // Asks the frame to slide to the next (forward) or previous popup once the key is handled.
    virtual void PostMenuProd(BOOL forward);
    // Leaves keyboard mode and closes an open popup.
    virtual void CancelMenu();
    virtual BOOL SwitchMenu(UINT menuId);
    // In keyboard mode: opens the highlighted button's popup, or the system menu without one.
    virtual void OpenSelected();
    virtual void OnHookMouseMove(POINT screen);
    virtual void OnAltInMenu() { m_bAltHandled = TRUE; }
    // A click while the system menu is open: on the frame's icon it closes the menu (a double
    // click runs its default command); TRUE eats it.
    virtual BOOL OnSysMenuClick(const MSG& message);
    virtual CFrameWnd* GetFrame() const = 0;
    virtual void TrackPopup(HMENU menu, const SECBtnNotify& request);
    virtual void TrackSysMenu(HMENU menu);
    virtual BOOL PreTranslateMessage(MSG* message);
    virtual void OnMenuSelect() { m_bMenuSelected = TRUE; }
    virtual void OnMenuProd();
    virtual BOOL OnMenuBarNotify(NMHDR* header, LRESULT* result);
    virtual void OnInitMenuPopup(HMENU menu);
    virtual void OnUninitMenuPopup();
    // TRUE when the command was the system icon's menu, which opens through the bar.
    virtual BOOL OnSysCommand(UINT id);
    virtual void OnNcActivate(BOOL active);

    static BOOL IsTrackingSysMenu();
    // The bar of the open popup (null when none).
    static HWND OpenPopupBar();

protected:
    // The frame's system-icon area in screen coordinates.
    CRect SystemIconRect() const;
    void OpenSystemMenuFromKeyboard();
    BOOL OpenMnemonic(wchar_t ch);
    // F10 bound to an accelerator of the active frame with the current modifiers.
    BOOL IsF10Accelerator() const;
    BOOL MnemonicOfActiveView(wchar_t ch) const;
    HMENU MenuOfRequest(UINT code, const SECBtnNotify& request) const;

    SECMenuBar* m_pMenuBar = nullptr;
    BOOL m_bOpenFirstItem = FALSE;
    BOOL m_bMenuSelected = FALSE;
    BOOL m_bForward = TRUE;
    BOOL m_bAltHandled = FALSE;
    // Popup levels open; Esc on the last one returns to keyboard mode.
    int m_nOpenLevels = 0;
    BOOL m_bBackToKeyboardMode = FALSE;

    friend class MenuHooks;
};

class SECMenuBarFeature : public SECBmpMenuPlugIn, public SECMenuBarMessages {
public:
    SECMenuBarFeature() = default;
    ~SECMenuBarFeature() override;

    CFrameWnd* GetFrame() const override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL IsTrackingSysMenu() const override { return SECMenuBarMessages::IsTrackingSysMenu(); }
};
