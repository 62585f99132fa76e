#pragma once
// SECEditViewport: draws one SECEdit into its host window (lines in their colour runs, the
// selection, whitespace markers and the gutter), converts between the window's pixels and the
// document's, whose logical origin is the scroll position, and scrolls (ScrollTo, the one path
// of every scroll). What it shows of the caret and the selection it asks the presentation state,
// which its controller is.

#include "editor/Edit.h"
#include "editor/EditLineMeasure.h"
#include "framework/MvcViewport.h"

class SECEditController;

// What the viewport asks its controller while it draws and converts coordinates.
class ISECEditPresentationState {
public:
    virtual ~ISECEditPresentationState() = default;
    // A non-empty column selection exists.
    virtual BOOL IsColumnSelection() const = 0;
    // The selection, start before end; a line selection runs from column 0 of its first line
    // to column 0 of the line after its last (or the end of the document).
    virtual BOOL GetSelection(int& startLine, int& startCol, int& endLine, int& endCol) const = 0;
    virtual int GetSelectionMode() const = 0;
    virtual BOOL HasSelection() const = 0;
    // The pixel rectangle of a column selection being dragged, in document coordinates.
    virtual BOOL GetDragRect(RECT* rect) const = 0;
    virtual BOOL KeepSelectionShown() const = 0;
    // The columns of a column selection's block on a line.
    virtual void GetColumnRange(int line, int& startCol, int& endCol) = 0;
    virtual int GetGutterWidth() const = 0;
    // Document point to line and column and back; dc is the DC measured on (null: the view's).
    virtual SECEditLineCol PointToLineCol(CPoint point, BOOL tabRule, CDC* dc = nullptr) = 0;
    virtual CPoint LineColToPoint(const SECEditLineCol& position, CDC* dc = nullptr) = 0;
    virtual void OnUpdate(divuzura::foundation::ISubject* subject, divuzura::foundation::IMessage* message) = 0;
};

class SECEditViewport : public divuzura::foundation::MvcViewport {
public:
    SECEditViewport();
    ~SECEditViewport() override;

    // Takes the host window, makes the controller and plugs it in.
    BOOL Create(CWnd* host, const CRect& bounds) override;
    // Loads the gutter's pattern brush (bitmap IDB_EDIT_GUTTER), replacing an earlier one.
    BOOL OnCreate() override;
    // Shows a model (null: none); the viewport observes it.
    void AttachEdit(SECEdit* edit);
    virtual SECEdit* GetEdit() const { return m_pEdit; }
    virtual SECEditFontInfo* GetFontInfo() const { return m_pEdit ? m_pEdit->GetFontInfo() : nullptr; }
    virtual SECEditController* GetEditController() const { return m_pController.get(); }
    virtual ISECEditLangConfig* GetLangConfig() const { return m_pEdit ? m_pEdit->GetLangConfig() : nullptr; }
    virtual ISECEditPresentationState* GetPresentationState() const;

    int GetLineHeight() const;
    int GetCharWidth() const;
    int GetGutterWidth() const;
    // The widths of the model's lines, kept for the latest long one; the controller measures by them too.
    SECEditLineWidths& GetLineWidths() { return m_lineWidths; }
    // Width: the maximum line length in characters; height: all lines.
    CSize GetLogExtent() const;
    // Snapped down to whole characters and lines, never negative.
    void SetLogOrigin(int x, int y) override;
    // After the line height or the character width changed (a new font): the line and column that
    // were at the top left are put there again, so the same text stays at the top.
    void KeepTopLeftText();
    // The part of the document the client area shows.
    CRect GetVisibleRect() const { return GetVisibleLogicalRect(); }
    // The first line and the first column the window shows.
    int GetTopLine() const;
    int GetLeftColumn() const;
    // Whole lines, and whole columns right of the gutter, the window shows.
    int GetVisibleLineCount() const;
    int GetVisibleColumnCount() const;
    // Every scroll goes here. Makes line the first line and column the first column the window
    // shows, kept between 0 and the last ones that still fill the window (a view that a resize or
    // a deletion left further is never pushed further, nor pulled back while anything is hidden);
    // tells the host (its scroll bars) and the controller (its caret), and moves the window's
    // pixels so that only the uncovered band is painted, at once. FALSE when nothing moved.
    BOOL ScrollTo(int line, int column);

    void Draw(CDC* dc) override;
    // Repaints lines first..last (last -1: to the end of the window), without erasing.
    virtual void InvalidateLines(int first, int last);
    virtual void InvalidateGutter();
    // Told by the host whenever the origin or the extent changed.
    std::function<void()> m_onScrollRangeChanged;

    // Drawing pieces, in the order Draw uses them.
    virtual void FillBackground(CDC* dc, const RECT& rect, COLORREF colour) { dc->FillSolidRect(&rect, colour); }
    virtual CSize DrawTextRun(CDC* dc, int tabWidth, int x, int y, int lineStartX, const wchar_t* text, int count,
        int startColumn, int line, int colourGroup, BOOL showWhitespace, BOOL selected, int selStart, int selEnd);
    virtual CSize DrawTextSegment(CDC* dc, int tabWidth, int x, int y, int lineStartX, const wchar_t* text, int count);
    virtual void DrawSelectionFrame(CDC* dc);
    // The whole gutter onto dc, the paint's, through an off-screen DC of its own, in client
    // coordinates and clipped to the strip whatever state the text's drawing left on dc.
    virtual void DrawGutter(CDC* dc);
    virtual void DrawGutterBackground(CDC* dc, const CRect& rect);
    virtual void DrawGutterMarkers(int line, CDC* dc, const CRect& rect);
    virtual void DrawGutterHookBefore(int, CDC*, const CRect&) {}
    virtual void DrawGutterHookAfter(int, CDC*, const CRect&) {}
    virtual void DrawBoxMarker(int line, CDC* dc, const CRect& rect);
    virtual void DrawRoundMarker(int line, CDC* dc, const CRect& rect);
    virtual void DrawLineNumber(int line, CDC* dc, const CRect& rect);

    // A colour group's colours with the automatic ones resolved: from "Text", whose own
    // automatic colours are the window's; the selection's crossed from the text's.
    void GetGroupColors(int group, COLORREF& text, COLORREF& background) const;

private:
    // The model's notifications.
    class EditObserver : public divuzura::foundation::IObserver {
    public:
        explicit EditObserver(SECEditViewport& viewport) : m_viewport(viewport) {}
        bool QueryGuid(divuzura::foundation::GUID_REF guid, void** object) override;
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        void OnUpdate(divuzura::foundation::ISubject* subject, divuzura::foundation::IMessage* message) override
        {
            m_viewport.OnEditUpdate(subject, message);
        }

    private:
        SECEditViewport& m_viewport;
    };
    void OnEditUpdate(divuzura::foundation::ISubject* subject, divuzura::foundation::IMessage* message);
    void InvalidateAll();
    void ScrollRangeChanged()
    {
        if (m_onScrollRangeChanged)
            m_onScrollRangeChanged();
    }
    void DrawLine(CDC* dc, int line, const SECEditLineMeasure& measure, int tabWidth, const CRect& clip, BOOL showSelection, int mode,
        const SECEditLineColPair& selection);

    SECEdit* m_pEdit = nullptr;
    std::unique_ptr<SECEditController> m_pController;
    // The gutter's pattern, monochrome so that it paints in the DC's text and background colours.
    std::unique_ptr<CBrush> m_pGutterBrush;
    EditObserver m_observer { *this };
    CString m_lineCopy;
    SECEditLineWidths m_lineWidths;
    // The line and column at the top left, in the metrics the origin was last set in.
    SECEditLineCol m_topLeft;
};
