#pragma once
// Colour wells: a grid of colour cells picked with the mouse or the arrow keys. SECColorWell is
// the child-window form; SECPopupColorWell drops down under a SECWellButton, which shows the
// chosen colour; an "&Other..." button under the grid opens the colour dialog, and a colour
// chosen there sits in a custom cell beside it.

#include "commandbars/OwnerDrawButton.h"
#include "platform/comdlg/CommDlg.h"

#include <vector>

namespace divuzura::foundation {

// A well's choice (wParam: the sender's control id, 0 from a pop-up; lParam: the COLORREF), and
// a pop-up's request for the colour dialog (no arguments).
constexpr UINT WM_SEC_COLORSELECTED = 0x465, WM_SEC_OTHERCOLOR = 0x466;
constexpr UINT ID_SEC_OTHERCOLOR = 59953, IDS_SEC_OTHERCOLOR = 23100;
// How a cell was selected: by key, by the mouse passing over it (pop-up), by a click.
enum class SECCellSelect { Key = 0, Hover = 1, Click = 2 };
// Style bit of a well in a pop-up: wider margins.
constexpr DWORD SEC_WELL_POPUP = 0x1;

class SECColorWell;

// The "&Other..." button under a well's grid.
class SECOtherButton : public CButton {
    DECLARE_DYNAMIC(SECOtherButton)
protected:
    LRESULT OnGetDlgCode(WPARAM, LPARAM) { return DLGC_BUTTON | DLGC_WANTTAB; }
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* next);
    DECLARE_MESSAGE_MAP()

private:
    SECColorWell* Well() const;
};

class SECColorWell : public CWnd {
    DECLARE_DYNAMIC(SECColorWell)
public:
    SECColorWell();
    ~SECColorWell() override;

    // The well's size comes from its grid; rect gives only its position (in dialog units with convert).
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, BOOL showOther = TRUE, BOOL convert = FALSE);
    using CWnd::Create;
    virtual void SetColorDialogFlags(DWORD flags) { m_dwColorDialogFlags = flags; }
    virtual void SetCustomColors(COLORREF* colours) { m_pCustomColors = colours; }
    // Back to the default grid and margins.
    virtual void Reset();

    // Selects the cell of a colour, or puts it in the custom cell when the Other button exists;
    // FALSE when neither.
    BOOL SelectColor(COLORREF colour);
    COLORREF GetColor() const;
    int GetRows() const { return m_nRows; }
    int GetColumns() const { return m_nColumns; }
    // The selected cell; the custom cell is (columns - 1, rows).
    CPoint GetSelectedCell() const { return m_selected; }
    BOOL IsCustomColorShown() const { return m_bCustomShown; }
    CButton* GetOtherButton() const { return m_pOther; }
    // A cell's rectangle in the client area.
    CRect CellRect(int column, int row) const;
    // The cell under a point, or (-1, -1).
    CPoint CellFromPoint(CPoint point) const;

    // Runs the colour dialog from the current colour and selects its choice.
    virtual void OnOther();

protected:
    virtual void DrawCell(CDC* dc, int column, int row);
    virtual void DrawSelectedCell(CDC* dc, int column, int row);
    virtual void NotifyColor();
    virtual void SelectCell(int column, int row, SECCellSelect how);
    virtual void CreateColorPalette();
    virtual void SetDefaultGrid();
    // Lets a derived well change the grid's colours.
    virtual void CustomizeColors(COLORREF* colours, int count) {}
    virtual UINT GetClassStyle() const { return 0; }
    virtual BOOL HasCellMargin() const { return TRUE; }
    // The well's window rectangle at (x, y) of the parent, in pixels.
    virtual CRect CalcWindowRect(CWnd* parent, int x, int y, BOOL convert);

    bool IsCustomCell(CPoint cell) const { return cell == CustomCell(); }
    CPoint CustomCell() const { return CPoint(m_nColumns - 1, m_nRows); }
    void InvalidateCell(CPoint cell);
    // The cell an arrow key moves the selection to, with wrap-around.
    CPoint CellAfterKey(UINT key) const;
    // Runs the colour dialog from a colour; TRUE with the choice on OK.
    BOOL ChooseOtherColor(COLORREF& colour, CWnd* owner) const;
    BOOL CreateOtherButton();
    LPCWSTR RegisterClass() const;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnLButtonDown(UINT keys, CPoint point);
    void OnMouseMove(UINT keys, CPoint point);
    void OnSetFocus(CWnd* previous);
    void OnKillFocus(CWnd* next);
    void OnSysColorChange();
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    void OnOtherClicked() { OnOther(); }
    DECLARE_MESSAGE_MAP()

    std::vector<COLORREF> m_colours; // the grid row by row, then the custom colour
    int m_nRows = 5, m_nColumns = 4;
    CSize m_cell;
    int m_nMarginX = 2, m_nMarginY = 2;
    CPoint m_selected;
    BOOL m_bFocus = FALSE;
    BOOL m_bPopupCapture = FALSE;
    BOOL m_bShowOther = FALSE;
    BOOL m_bCustomShown = FALSE;
    DWORD m_dwColorDialogFlags = CC_RGBINIT | CC_FULLOPEN;
    COLORREF* m_pCustomColors = nullptr;
    SECOtherButton* m_pOther = nullptr;
};

class SECWellButton;

class SECPopupColorWell : public SECColorWell {
    DECLARE_DYNAMIC(SECPopupColorWell)
public:
    // Drops down under the button's screen rectangle (above it or left of its right edge when the
    // screen ends), takes the focus and the mouse.
    virtual BOOL CreatePopup(DWORD style, const RECT& buttonRect, CWnd* parent, BOOL showOther, SECWellButton* notify);
    void OnOther() override;
    BOOL IsActive() const { return m_bActive; }

protected:
    void SelectCell(int column, int row, SECCellSelect how) override;
    UINT GetClassStyle() const override { return CS_SAVEBITS; }
    BOOL HasCellMargin() const override { return FALSE; }
    void PostNcDestroy() override { m_bActive = FALSE; }

    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnLButtonDown(UINT keys, CPoint point);
    void OnKillFocus(CWnd* next);
    DECLARE_MESSAGE_MAP()

private:
    void Close();

    SECWellButton* m_pNotify = nullptr;
    CRect m_rcButton; // the well button's screen rectangle, where clicks are ignored
    BOOL m_bActive = FALSE;
};

// A button that shows a colour and drops a colour well down when pressed.
class SECWellButton : public SECOwnerDrawButton {
    DECLARE_DYNAMIC(SECWellButton)
public:
    SECWellButton();
    ~SECWellButton() override;

    void SetColor(COLORREF colour);
    COLORREF GetColor() const { return m_colour; }
    void SetShowOtherButton(BOOL show) { m_bShowOther = show; }
    virtual void SetColorDialogFlags(DWORD flags) { m_dwColorDialogFlags = flags; }
    virtual DWORD GetColorDialogFlags() const { return m_dwColorDialogFlags; }
    virtual void SetCustomColors(COLORREF* colours) { m_pCustomColors = colours; }
    virtual BOOL OpenPopup();
    SECPopupColorWell* GetPopup() const { return m_pPopup; }

    void OnClick() override;

protected:
    void DrawContent(CDC* dc, const DRAWITEMSTRUCT& item, const CRect& content) override;
    void DrawFocusRect(CDC* dc, const CRect& rect) override;

    LRESULT OnColorSelected(WPARAM, LPARAM colour);
    LRESULT OnOtherColor(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    SECPopupColorWell* m_pPopup = nullptr; // owned
    COLORREF m_colour = RGB(0, 0, 0);
    BOOL m_bShowOther = TRUE;
    DWORD m_dwColorDialogFlags = CC_RGBINIT | CC_FULLOPEN;
    COLORREF* m_pCustomColors = nullptr;
};

} // namespace divuzura::foundation
