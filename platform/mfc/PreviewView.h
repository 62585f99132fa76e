#pragma once
// Print preview: a view that stands in for the printed view inside its frame and shows the pages
// as the printer will put them, one or two at a time, at three zoom steps. Its bar along the top
// has Print, Next Page, Prev Page, One/Two Page, Zoom In, Zoom Out and Close. Each page is drawn
// by the printed view's OnPrint on a page that describes the printer and maps its units onto the
// screen.

#include "platform/mfc/Print.h"
#include "platform/mfc/View.h"

#include <memory>
#include <vector>

constexpr UINT AFX_ID_PREVIEW_CLOSE = 0xE300, AFX_ID_PREVIEW_NUMPAGE = 0xE301, AFX_ID_PREVIEW_NEXT = 0xE302,
               AFX_ID_PREVIEW_PREV = 0xE303, AFX_ID_PREVIEW_PRINT = 0xE304, AFX_ID_PREVIEW_ZOOMIN = 0xE305,
               AFX_ID_PREVIEW_ZOOMOUT = 0xE306;

class CPreviewView : public CView {
    DECLARE_DYNAMIC(CPreviewView)
public:
    // Starts a preview of `printed` with the printer chosen in `info` (taken over); FALSE when the
    // window could not be made.
    static BOOL Start(CView* printed, std::unique_ptr<CPrintInfo> info);

    UINT GetCurrentPage() const { return m_info->m_nCurPage; }
    UINT GetPagesShown() const { return m_info->m_nNumPreviewPages; }
    int GetZoom() const { return m_zoom; }
    static constexpr int kBarHeight = 28;
    static constexpr int kMaxZoom = 2;

    void OnDraw(CDC* dc) override;

protected:
    CPreviewView(CView* printed, std::unique_ptr<CPrintInfo> info);
    ~CPreviewView() override;

    int OnCreate(LPCREATESTRUCT create);
    void OnSize(UINT type, int cx, int cy);
    void OnPreviewClose();
    void OnNumPageChange();
    void OnNextPage();
    void OnPrevPage();
    void OnPreviewPrint();
    void OnZoomIn();
    void OnZoomOut();
    DECLARE_MESSAGE_MAP()

private:
    void Changed();
    void DrawPage(CDC& dc, UINT page, const CRect& sheet, double scale);
    bool LastPageShown() const;

    CView* m_printed;
    std::unique_ptr<CPrintInfo> m_info;
    int m_zoom = 0;
    std::vector<HWND> m_buttons;
};
