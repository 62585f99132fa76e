#pragma once
// A button that drops a popup menu down (or out to its right) when pressed, with an arrow beside
// its caption, or alone when it has none. The menu's commands go to the button's parent.

#include "commandbars/BitmapButton.h"
#include "platform/mfc/Menu.h"

namespace divuzura::foundation {

// Where the menu drops.
constexpr int SEC_MENU_BELOW = 0, SEC_MENU_RIGHT = 1;

class SECMenuButton : public SECBitmapButton {
    DECLARE_DYNAMIC(SECMenuButton)
public:
    ~SECMenuButton() override;

    // Takes over the dialog's button; the button owns the menu from now on.
    virtual BOOL AttachButton(UINT id, CWnd* parent, HMENU menu, int direction = SEC_MENU_BELOW, DWORD options = 0);
    virtual BOOL Create(LPCWSTR caption, DWORD style, HMENU menu, int direction, const RECT& rect, CWnd* parent, UINT id,
        DWORD options = 0);
    using SECBitmapButton::AttachButton;
    using SECBitmapButton::Create;

    CMenu& GetMenu() { return m_menu; }
    int GetDirection() const { return m_nDirection; }
    // Whether the menu is showing.
    BOOL IsTracking() const { return m_bTracking; }

    void DrawItem(LPDRAWITEMSTRUCT item) override;
    void OnClick() override;
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    // Takes the menu and direction; returns the alignment of the arrow: right of a caption, or alone.
    virtual int SetupMenu(LPCWSTR caption, HMENU menu, int direction);
    // The arrow is drawn here in the system colours rather than read from a resource.
    BOOL LoadImage() override;
    void PostNcDestroy() override;

    void OnLButtonUp(UINT keys, CPoint point);
    void OnKeyUp(UINT key, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

private:
    CMenu m_menu;
    int m_nDirection = SEC_MENU_BELOW;
    BOOL m_bPaintEnabled = TRUE;
    BOOL m_bTracking = FALSE;
    BOOL m_bKeyDownSeen = FALSE;
};

} // namespace divuzura::foundation
