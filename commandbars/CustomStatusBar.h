#pragma once
// The status bar with panes it draws itself: each pane may have its own text and background
// colours, text alignment, a bitmap in place of text, its own mouse cursor and a child window
// placed over it. A progress bar can take over the bar from the first pane onward for a while,
// with a text of its own in the first pane.

#include "commandbars/ProgressCtrl.h"
#include "commandbars/StatusBar.h"

#include <memory>

// Which members of a pane description are given.
constexpr UINT SBP_ID = 0x1, SBP_STYLE = 0x2, SBP_WIDTH = 0x4, SBP_TEXT = 0x8, SBP_TEXTALIGN = 0x10,
               SBP_FOREGROUND = 0x20, SBP_BACKGROUND = 0x40, SBP_BITMAP = 0x80, SBP_CURSOR = 0x100,
               SBP_ALL = 0x1FF;
// How a pane window is placed over its pane.
constexpr UINT SBP_KEEPWIDTH = 0x1, SBP_KEEPHEIGHT = 0x2, SBP_INSET = 0x4;

// One pane read or written in one call; the mask names the members that count.
struct SECPaneInfo {
    SECPaneInfo();
    int iIndex = 0;
    UINT nID = 0;
    UINT nStyle = 0;
    int cxWidth = 0;
    CString strText;
    COLORREF crTextForeground;
    COLORREF crTextBackground;
    CBitmap* pBitmap = nullptr; // not owned
    HCURSOR hCursor = nullptr;
    UINT nTextAlign = TA_LEFT;   // TA_LEFT, TA_RIGHT or TA_CENTER
    UINT nMask = 0;
};

class SECCustomStatusBar : public SECStatusBar {
    DECLARE_DYNAMIC(SECCustomStatusBar)
public:
    SECCustomStatusBar();
    ~SECCustomStatusBar() override;

    // The base's panes, every one drawn here.
    BOOL SetIndicators(const UINT* ids, int count) override;

    // With fitBitmap a bitmap sets the pane's width, and the bar grows to its height.
    void SetPaneInfoEx(const SECPaneInfo& info, BOOL fitBitmap = FALSE);
    // Fills the members the record's mask names, for the pane of its index.
    void GetPaneInfoEx(SECPaneInfo& info) const;

    // A pane's rectangle from the control's part edges and borders; empty when unknown.
    CRect GetPaneRect(int index) const;
    // The pane under a point of the client area, -1 when none.
    int PaneFromPoint(CPoint point) const;

    // A window kept over a pane (nullptr removes it); flags: SBP_KEEPWIDTH, SBP_KEEPHEIGHT, SBP_INSET.
    void SetPaneWindow(int index, CWnd* window, UINT flags = SBP_INSET);
    CWnd* GetPaneWindow(int index) const;
    virtual void ShowPaneWindows(BOOL show);
    virtual void RepositionPaneWindows();

    // Puts a progress bar over the bar, right of the text in the first pane when there is one.
    virtual void ShowProgress(LPCWSTR text, int lower = 0, int upper = 100, BOOL pumpMessages = TRUE,
        DWORD progressStyle = SEC_PROG_DEFAULT, int step = 10);
    virtual void HideProgress();
    SECProgressCtrl* GetProgressCtrl() const { return m_pProgress.get(); }

    void DrawItem(LPDRAWITEMSTRUCT item) override;

protected:
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    LRESULT OnSetFont(WPARAM font, LPARAM redraw);
    LRESULT OnIdleUpdateCmdUI(WPARAM disableIfNoHandler, LPARAM);
    LRESULT OnSetText(WPARAM, LPARAM text);
    DECLARE_MESSAGE_MAP()

private:
    struct CustomPane {
        COLORREF foreground;
        COLORREF background;
        CBitmap* bitmap = nullptr;
        HCURSOR cursor = nullptr;
        UINT align = TA_LEFT;
        UINT mask = 0;
        CWnd* window = nullptr;
        UINT windowFlags = 0;
    };
    bool IsValidPane(int index) const { return index >= 0 && static_cast<size_t>(index) < m_custom.size(); }
    void DestroyProgress();

    std::vector<CustomPane> m_custom;
    std::unique_ptr<SECProgressCtrl> m_pProgress;
    std::unique_ptr<SECPaneInfo> m_pSavedPane; // the first pane as it was before the progress text
};
