#pragma once
// The workbook: an MDI frame whose document frames are sheets, with a row of sheet tabs under the
// MDI client. Each visible sheet has a tab with its icon and label; the active sheet's tab is
// drawn last, wider and deeper; a click on a tab activates its sheet.
//
//   SECWorkbookWnd* book = ...;            // loaded like any MDI frame
//   book->SetTabsVisible(TRUE);            // the application turns the tab row on
//   // sheets (SECWorksheetWnd) add themselves when their frames are loaded

#include "framework/DockBar.h"
#include "framework/MdiFrameWnd.h"
#include "platform/mfc/GdiObjects.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class SECWorksheetWnd;

// Private messages between sheets, the client and the workbook: a sheet's frame menu changed
// (to the client), and the active sheet may have changed (to the workbook).
constexpr UINT WM_SECSHEETMENU = 0x084E, WM_SECSHEETCHANGED = 0x084D;

// The geometry of the tab row; the values are the workbook's, in pixels.
struct SheetTabMetrics {
    int tabWidth = 100;
    int tabHeight = 23;
    int cornerCut = 2;
    int activeGrow = 4;
    int activeDrop = 2;
    bool flatLook = false;
};

// The seven points of a tab (the last one closes it): `place` counts the visible tabs before it;
// `front` is the active or pressed tab; `left` and `bottom` are the MDI client's edges.
std::array<POINT, 7> SheetTabPolygon(int place, bool front, int left, int bottom, const SheetTabMetrics& metrics);
// The tab width for a client that wide: its width + 5 shared by the sheets, at most `maxWidth`.
int SheetTabWidth(int clientWidth, int sheets, int maxWidth);
// A label that does not fit loses its last character at a time, its last three becoming "...",
// while it has four or more characters: one that never fits ends as "...".
std::wstring ShortenSheetLabel(std::wstring label, int width, const std::function<int(const std::wstring&)>& measure);

// The MDI client of a workbook: it shrinks by its margins and tells the workbook when a sheet's
// menu (and so perhaps the active sheet) changed.
class SECWorkbookClientWnd : public CWnd {
public:
    int m_marginLeft = 0, m_marginTop = 0, m_marginRight = 0, m_marginBottom = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }
};

class SECWorkbookWnd : public SECMDIFrameWnd {
    DECLARE_DYNCREATE(SECWorkbookWnd)
public:
    // A bar floating in the main window becomes a sheet (SECControlBarWorksheet).
    SECWorkbookWnd();

    // The MDI client's rectangle grown by its margins (frame client coordinates).
    virtual void GetTabAreaRect(CRect& rect) const;
    // Whether a click on a tab may activate its sheet.
    virtual BOOL CanActivateByTab(SECWorksheetWnd* sheet) const;
    virtual void AddSheet(SECWorksheetWnd* sheet);
    virtual void RemoveSheet(SECWorksheetWnd* sheet);
    virtual BOOL FitsLabel(SECWorksheetWnd* sheet) const;
    virtual void GetTabPolygon(SECWorksheetWnd* sheet, std::array<POINT, 7>& points) const;
    virtual CString GetSheetLabel(SECWorksheetWnd* sheet) const;
    virtual void GetLabelRect(const std::array<POINT, 7>& polygon, int iconSize, CRect& rect) const;
    virtual void DrawSheetTab(CDC* dc, SECWorksheetWnd* sheet);
    virtual void DrawTabAreaBorder(CDC* dc);
    virtual void DrawSheetFace(CDC* dc, SECWorksheetWnd* sheet, UINT format);
    virtual HICON GetSheetIcon(SECWorksheetWnd* sheet) const;
    virtual void SetSheetIcon(SECWorksheetWnd* sheet, HICON icon, BOOL redraw);

    void SetTabsVisible(BOOL visible);
    BOOL AreTabsVisible() const { return m_bTabsVisible; }
    void SetFlatLook(BOOL flat);
    void ShowIcons(BOOL show) { m_bShowIcons = show; }
    const std::vector<SECWorksheetWnd*>& Sheets() const { return m_sheets; }
    int TabWidth() const { return m_metrics.tabWidth; }
    // Repaints a sheet's tab, or it and every tab after it.
    void InvalidateTab(SECWorksheetWnd* sheet, BOOL following = FALSE);
    void InvalidateTabRow();

    void RecalcLayout(BOOL notify = TRUE) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT create, CCreateContext* context) override;
    void OnPaint();
    void OnLButtonDown(UINT keys, CPoint point);
    void OnLButtonUp(UINT keys, CPoint point);
    LRESULT OnSheetChanged(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // The number of visible sheets before this one: its place in the row.
    int PlaceOf(const SECWorksheetWnd* sheet) const;
    bool IsFront(const SECWorksheetWnd* sheet) const;
    SECWorksheetWnd* ActiveSheet();
    int TabRowTop() const;
    bool RecomputeTabWidth();
    CRect LabelRectOf(SECWorksheetWnd* sheet) const;
    COLORREF FlatBackground() const;

    std::vector<SECWorksheetWnd*> m_sheets;
    BOOL m_bTabsVisible = FALSE;
    BOOL m_bShowIcons = TRUE;
    SheetTabMetrics m_metrics;
    int m_maxTabWidth = 90;
    CRect m_lastClientRect;
    int m_activeSheetIndex = 0;
    SECWorkbookClientWnd* m_pClient = nullptr;
    CFont m_tabFont;
    CPen m_highlightPen, m_blackPen, m_shadowPen, m_facePen;
    mutable std::wstring m_tipText; // the text of the last tool asked for
};

// One sheet of a workbook: an MDI child with a tab icon.
class SECWorksheetWnd : public SECMDIChildWnd {
    DECLARE_DYNCREATE(SECWorksheetWnd)
public:
    ~SECWorksheetWnd() override;

    // After the frame is made the sheet joins its workbook and takes its tab icon from the same
    // resource id.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;
    SECWorkbookWnd* GetWorkbook() const { return dynamic_cast<SECWorkbookWnd*>(GetMDIFrame()); }
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    void OnUpdateFrameMenu(BOOL active, CWnd* activateWnd, HMENU menuAlt) override;

    HICON m_hIcon = nullptr; // owned
    int m_nTabIndex = -1;
    BOOL m_bPressed = FALSE;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A sheet that holds a control bar floating in the main window. The bar fills the sheet, the
// sheet's caption and tab icon are the bar's, closing the sheet hides the bar, and where the sheet
// is moved is where the bar floats next.
class SECControlBarWorksheet : public SECWorksheetWnd {
    DECLARE_DYNCREATE(SECControlBarWorksheet)
public:
    // The sheet's tab icon comes from its bar, not from the resource.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;
    void RecalcLayout(BOOL notify = TRUE) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    // The bar the sheet holds, or null.
    CControlBar* GetHostedBar() const;

    SECDockBar m_wndDockBar { TRUE };

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Takes the big icon of the first bar that has one as the tab icon, or the system's logo.
    void TakeTabIcon();
};
