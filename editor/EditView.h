#pragma once
// SECEditView: the code editor's window. A view holding a viewport on its SECEdit, which draws the
// text, and the viewport's controller, which gets the keys and the mouse first; the view keeps the
// scroll bars, turns their codes into scrolls of the viewport, and prints (EditViewPrint.cpp).

#include "editor/EditController.h"
#include "editor/EditPrint.h"
#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/View.h"

#include <optional>

class SECEditView : public CView {
    DECLARE_DYNAMIC(SECEditView)
public:
    SECEditView();
    ~SECEditView() override;

    // The model the view shows: the page's document's; null here.
    virtual SECEdit* GetEdit() { return m_pEdit; }
    // A view without a document shows the model given here.
    void SetEdit(SECEdit* edit);
    // The editor's window class: I-beam cursor, double clicks, no background.
    static LPCWSTR WindowClass();
    // Makes the window as a child of that class.
    BOOL CreateEditWindow(CWnd* parent, const CRect& rect, UINT id, DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER);

    SECEditViewport& GetViewport() { return m_viewport; }
    SECEditController* GetEditController() { return m_viewport.GetEditController(); }
    int GetLineHeight() const { return m_viewport.GetLineHeight(); }
    int GetCharWidth() const { return m_viewport.GetCharWidth(); }
    virtual void UpdateScrollBars();

    void OnDraw(CDC* dc) override { m_viewport.Draw(dc); }
    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    // Scroll requests by the keys of another window: whether the view can move that way.
    BOOL OnScroll(UINT code, UINT position, BOOL doScroll);

    void OnVScroll(UINT code, UINT position, CWnd* bar);
    void OnHScroll(UINT code, UINT position, CWnd* bar);

    // Printing: pages of rows cut at the body's width (no word wrap) under a header with the
    // title and over a footer with the page number, half an inch in from every edge.
    BOOL OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnPrint(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;
    virtual void PaginateLines(CDC* dc);
    virtual void DeflateMargins(CDC* dc, CRect& rect);
    virtual int GetHeaderHeight(CDC* dc);
    virtual int GetFooterHeight(CDC* dc);
    virtual void PrintHeader(CDC* dc, CPrintInfo* info, const CRect& rect);
    virtual void PrintBody(CDC* dc, CPrintInfo* info, const CRect& rect);
    virtual void PrintFooter(CDC* dc, CPrintInfo* info, const CRect& rect);
    // The run's print information; null outside a run.
    const SECEditPrintInfo* GetPrintInfo() const { return m_pPrintInfo.get(); }


protected:
    int OnCreate(LPCREATESTRUCT create);
    // Lets go of the model before the view leaves its document, which the document's end frees.
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    // The first line (column) a scroll bar's code asks for, the bar's first being first and its
    // page page; none for the codes that do not scroll. The viewport keeps it in range.
    static std::optional<int> ScrollBarTarget(UINT code, UINT position, int first, int page);

    SECEdit* m_pEdit = nullptr;
    SECEditViewport m_viewport;
    std::unique_ptr<SECEditPrintInfo> m_pPrintInfo;
};
