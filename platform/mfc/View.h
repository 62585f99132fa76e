#pragma once
// Views show a document inside a frame. A view is a child window that owns itself (it deletes
// itself after its window is gone), draws in OnDraw and hears about document changes in OnUpdate.
// CScrollView keeps a scroll position over a larger logical area and moves the drawing origin.

#include "platform/mfc/Frame.h"

class CPrintInfo;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const;

    virtual void OnDraw(CDC* dc) = 0;
    virtual void OnPrepareDC(CDC* dc) {}
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    // A change of the document, told by CDocument::UpdateAllViews; by default, a repaint.
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    virtual void OnActivateView(BOOL activate, CView* activated, CView* deactivated);

    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    // The scroll-bar control (SB_HORZ, SB_VERT) the view uses in place of its own: the shared
    // bar of the splitter it is a pane of, or null.
    virtual CWnd* GetScrollBarCtrl(int bar) const;

    // Printing (Print.h). The print commands, for a view's message map: OnFilePrint serves both
    // ID_FILE_PRINT and ID_FILE_PRINT_DIRECT.
    void OnFilePrint();
    virtual BOOL OnPreparePrinting(CPrintInfo* info);
    BOOL DoPreparePrinting(CPrintInfo* info);
    virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info) {}
    // For a printed page (info set): by default ends a run of unknown length after page 1.
    virtual void OnPrepareDC(CDC* dc, CPrintInfo* info);
    virtual void OnPrint(CDC* dc, CPrintInfo* info); // by default OnDraw
    virtual void OnEndPrinting(CDC* dc, CPrintInfo* info) {}
    // Print preview (PreviewView.h), for ID_FILE_PRINT_PREVIEW.
    void OnFilePrintPreview();

    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
        int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr) override;
    using CWnd::CreateEx;

protected:
    // A view owns itself once its window was made; one whose creation failed is left to its maker.
    void PostNcDestroy() override
    {
        if (m_bWindowMade)
            delete this;
    }
    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    void OnPaint();
    int OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    CDocument* m_pDocument = nullptr;
    BOOL m_bWindowMade = FALSE;
    friend class CDocument;
};

class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    // The logical size of the whole drawing, in MM_TEXT units, and the steps of a page and a line.
    void SetScrollSizes(int mapMode, SIZE total, SIZE page = { 0, 0 }, SIZE line = { 0, 0 });
    CPoint GetScrollPosition() const { return m_position; }
    // Moves to a position, kept inside the area that can be shown.
    void ScrollToPosition(POINT position);
    CSize GetTotalSize() const { return m_total; }
    // Grows or shrinks the parent frame until the view shows the whole drawing without scroll
    // bars; with shrinkOnly the frame only gets smaller.
    void ResizeParentToFit(BOOL shrinkOnly = TRUE);

    void OnPrepareDC(CDC* dc) override;

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnHScroll(UINT code, int position, CWnd* bar);
    void OnVScroll(UINT code, int position, CWnd* bar);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    CPoint Clamp(CPoint position) const;
    void ScrollBy(int code, bool horizontal, int thumb);
    // Shows a scroll bar for each direction in which the client area is smaller than the drawing,
    // and sets its range, page and position.
    void UpdateBars();

    int m_mapMode = MM_TEXT;
    CSize m_total;
    CSize m_page;
    CSize m_line;
    CPoint m_position;
    bool m_updatingBars = false;
};
