#pragma once
// Base classes of option dialogs. A page notices by itself when the user changes one of its
// controls: it reads its data back (ControlsToData), hands the control's id to its own command
// handlers and marks itself modified, which lights the sheet's Apply button. Enter inside a page
// first moves the focus on (the control left reports its change), then is the sheet's OK; the sheet
// shows the title-bar help button and remembers where it was last moved to.

#include "platform/mfc/PropertySheet.h"

class CNGPropertySheet;

class CNGPropertyPage : public CPropertyPage {
    DECLARE_DYNAMIC(CNGPropertyPage)
public:
    CNGPropertyPage(UINT templateId, UINT captionId = 0, UINT headerTitleId = 0, UINT headerSubTitleId = 0);

    BOOL OnApply() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    // Fills the controls from the page's data (UpdateData(FALSE) once the window exists).
    virtual void DataToControls();
    // Reads the controls back after the control with this id changed; on success the id goes to
    // the page's command handlers and the page is marked modified.
    virtual void ControlsToData(UINT id);

    // FALSE when the page has no control with that id.
    BOOL EnableControl(UINT id, BOOL enable);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // The page's own child that holds the window, or null.
    HWND DirectChildOf(HWND window) const;
    CNGPropertySheet* Sheet() const;

    bool m_deactivating = false;
};

class CNGPropertySheet : public CPropertySheet {
    DECLARE_DYNAMIC(CNGPropertySheet)
public:
    explicit CNGPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
    explicit CNGPropertySheet(LPCWSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);

    // Where the sheet opens (its top-left corner); empty for the usual place.
    void SetStartRect(const CRect& rect) { m_startRect = rect; }
    // The window rectangle after the last move, to open there next time.
    const CRect& LastRect() const { return m_lastRect; }

    // Told by the pages when one is shown or about to be left.
    virtual void OnPageActivated(CNGPropertyPage*) {}
    virtual void OnPageDeactivating(CNGPropertyPage*) {}

    BOOL OnInitDialog() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnMove(int x, int y);
    // Context help for the control asked about (F1) or clicked with the right button.
    BOOL OnHelpInfo(HELPINFO* help);
    void OnContextMenu(CWnd* window, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    CRect m_startRect;
    CRect m_lastRect;
};
