#pragma once
// A static text turned into a hyperlink: drawn underlined in a link colour that changes on hover
// and after a visit, a hand cursor, a click that opens the target, and a context menu to open the
// link, copy it, save it as an Internet shortcut in the favourites folder or on the desktop, or
// show its properties.

#include "platform/base/CString.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/mfc/GdiObjects.h"
#include "platform/mfc/Wnd.h"

#include <string>

// The file name a link's text gives an Internet shortcut: folder separators and the characters a
// file name cannot hold are dropped, blanks and dots trimmed at the ends; "Link" when nothing is left.
CString ShortcutFileName(const CString& text);

class CHLinkCtrl : public CWnd {
public:
    enum LinkState { StateNormal = 0, StateVisited = 1, StateHover = 2 };
    // Menu commands.
    static constexpr UINT ID_LINK_OPEN = 291, ID_LINK_COPY = 286, ID_LINK_FAVORITES = 289, ID_LINK_DESKTOP = 290,
                          ID_LINK_PROPERTIES = 288;

    CHLinkCtrl();

    void SetLinkUrl(const CString& target) { m_target = target; }
    const CString& LinkUrl() const { return m_target; }
    void SetToolTipText(const CString& text) { m_toolTipText = text; }
    void SetToolTipEnabled(BOOL enable);
    void SetActive(BOOL active) { m_active = active; }
    void SetContextMenuEnabled(BOOL enabled) { m_contextMenuEnabled = enabled; }
    void SetColours(COLORREF normal, COLORREF visited, COLORREF hover);
    int LinkState() const { return m_linkState; }

    // Inside the control with its tooltip on: the control as the tool, and a copy of the tooltip
    // text in lpszText that the caller releases with free(); 1. Otherwise -1.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override;

    // The link's context menu; the caller destroys it.
    static HMENU BuildContextMenu();
    // The commands, also reached through the menu. Open returns whether the target was opened.
    BOOL Open();
    void CopyShortcut();
    // Saves a shortcut named after the control's text in the special folder; returns its path,
    // empty when nothing could be saved.
    std::string AddShortcutTo(int csidl);
    // The link's text and address in a modal property sheet over the control's parent.
    void ShowProperties();

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnContextMenu(CWnd* window, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void EndHover();

    CString m_target;
    HCURSOR m_handCursor;
    HCURSOR m_inactiveCursor;
    COLORREF m_normalColour = RGB(0, 0, 255);
    COLORREF m_visitedColour = RGB(128, 0, 128);
    COLORREF m_hoverColour = RGB(255, 0, 0);
    int m_linkState = StateNormal;
    int m_stateBeforeHover = StateNormal;
    BOOL m_menuShowing = FALSE;
    CFont m_linkFont;
    BOOL m_contextMenuEnabled = TRUE;
    BOOL m_active = TRUE;
    BOOL m_toolTipEnabled = FALSE;
    CString m_toolTipText;
};
