#pragma once
// The buttons of a customisable tool bar. Each button is an object that keeps its command id,
// style, image and place, tests hits, follows a press and draws itself; the bar lays the buttons
// out and routes the mouse to them. All buttons of a bar draw through the bar's one
// SECBtnDrawData, a set of memory DCs and brushes reused for every paint.

#include "platform/base/Geometry.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/gdi/Gdi.h"

class SECCustomToolBar;

// ---- the button style bits: the classic bar's, then the toolkit's own
constexpr DWORD TBBS_BUTTON = 0x0, TBBS_SEPARATOR = 0x1, TBBS_CHECKBOX = 0x2, TBBS_DROPDOWN = 0x8,
                TBBS_CHECKED = 0x10000, TBBS_PRESSED = 0x20000, TBBS_DISABLED = 0x40000, TBBS_HIDDEN = 0x80000,
                TBBS_INDETERMINATE = 0x100000, TBBS_WRAPPED = 0x200000;
constexpr DWORD SEC_TBBS_HOT = 0x2000000, SEC_TBBS_ALWAYSENABLED = 0x10000000, SEC_TBBS_VCENTER = 0x20000000;

// ---- what a drop-down button tells its bar's owner (WM_NOTIFY)
constexpr UINT TBN_FIRST = static_cast<UINT>(-700);
constexpr UINT TBN_DROPDOWN = TBN_FIRST - 10;

struct TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    DWORD_PTR dwData;
    INT_PTR iString;
};

struct NMTOOLBARW {
    NMHDR hdr;
    int iItem;
    TBBUTTON tbButton;
    int cchText;
    LPWSTR pszText;
};
using NMTOOLBAR = NMTOOLBARW;

// The record a button sends with its notifications: the tool-bar record (iItem is the button's
// command id), then the button's place in its bar and two values of the notification's own.
struct SECBtnNotify {
    NMTOOLBARW toolBar;
    int nIndex;
    UINT_PTR a;
    UINT_PTR b;
};

// The memory DCs, bitmaps and brushes the buttons of one bar compose their faces with. The face
// is drawn into the work bitmap at (0, 0) and copied to the button's place in one operation.
class SECBtnDrawData {
public:
    SECBtnDrawData();
    virtual ~SECBtnDrawData();
    SECBtnDrawData(const SECBtnDrawData&) = delete;
    SECBtnDrawData& operator=(const SECBtnDrawData&) = delete;

    virtual void SetTransparentColor(COLORREF color, BOOL use);
    // The set colour; without one, the top-left pixel of a selected image bitmap of 16 or more
    // bits per pixel; otherwise light grey.
    virtual COLORREF GetTransparentColor() const;

    // Makes the bitmaps for a paint of buttons up to that size on that DC; FALSE when they cannot
    // be made, which ends the paint of the buttons.
    BOOL PrepareDraw(HDC target, int width, int height);
    // Deselects what a paint selected; the bitmaps stay for the next paint.
    void EndDraw();
    // Selects an image bitmap into the image DC (null deselects it).
    void SelectImage(HBITMAP bitmap);

    HDC m_hdcMask = nullptr;  // monochrome: which pixels of an image are its background
    HDC m_hdcImage = nullptr; // the selected strip of images
    HDC m_hdcWork = nullptr;  // where a face is composed
    HBRUSH m_hDitherBrush = nullptr;
    HBITMAP m_hMaskBitmap = nullptr;
    HBITMAP m_hWorkBitmap = nullptr;
    HBITMAP m_hImageBitmap = nullptr; // the image bitmap selected, or null
    CSize m_szBitmaps;

private:
    void Free();

    HGDIOBJ m_previousMask = nullptr, m_previousImage = nullptr, m_previousWork = nullptr;
    COLORREF m_clrTransparent = RGB(192, 192, 192);
    BOOL m_bUseTransparent = FALSE;
};

class SECStdBtn {
public:
    // Kinds of button (m_nType).
    static constexpr int kPlain = 0, kLargest = 1, kMenu = 3;

    SECStdBtn() = default;
    virtual ~SECStdBtn() = default;
    SECStdBtn(const SECStdBtn&) = delete;
    SECStdBtn& operator=(const SECStdBtn&) = delete;

    // ---- state
    virtual void SetVertical(BOOL vertical) { m_bVertical = vertical; }
    virtual void SetStyle(DWORD style) { m_nStyle = style; }
    virtual DWORD GetStyle() const { return m_nStyle; }
    // TRUE when every bit of the mask is set.
    virtual BOOL HasStyle(DWORD mask) const { return (m_nStyle & mask) == mask; }
    virtual void SetPos(int x, int y) { m_x = x, m_y = y; }
    // Invalidates the button's rectangle in its bar.
    virtual void Invalidate(BOOL erase = FALSE) const;
    CRect GetRect() const { return CRect(m_x, m_y, m_x + m_cx, m_y + m_cy); }
    BOOL IsSeparator() const { return (m_nStyle & TBBS_SEPARATOR) != 0; }

    // Stores the bar and takes the initialisation data of the bar's button table (null without a
    // record); then the button takes its size.
    virtual void Init(SECCustomToolBar* bar, const UINT_PTR* initData);
    virtual BOOL CanDrag() const { return TRUE; }
    virtual void Draw(HDC dc, SECBtnDrawData& data);

    // ---- the press: down (TRUE asks the bar to capture the mouse), moves, then up or cancel
    virtual BOOL BtnPressDown(CPoint point);
    virtual void BtnPressMouseMove(CPoint point);
    virtual void BtnPressCancel();
    // The command id when released inside the button, else 0.
    virtual UINT BtnPressUp(CPoint point);

    // Describes the button as a tool whose text is asked for when shown; returns the id.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const;
    // A notification its bar passes on; a hook for button classes that answer one.
    virtual void InformBtn(UINT, void*) {}
    // Takes the bar's separator or button size, and raises the bar's largest button size.
    virtual void AdjustSize();
    // Sends WM_NOTIFY with an SECBtnNotify to the bar's owner; its answer.
    virtual LRESULT SendNotify(UINT code, UINT_PTR a, UINT_PTR b);

    UINT m_nID = 0;
    int m_nImage = 0;
    DWORD m_nStyle = 0;
    int m_x = 0, m_y = 0;
    int m_cx = 23, m_cy = 22;
    int m_nType = kPlain;
    SECCustomToolBar* m_pToolBar = nullptr;
    BOOL m_bVertical = FALSE;

protected:
    // ---- the drawing steps, in the order Draw runs them
    virtual void DrawSeparator(HDC dc);
    virtual void SelectImage(SECBtnDrawData& data);
    // Composes the face in the work DC at (0, 0): the background, the frame and the image (the
    // image of a disabled, checked or indeterminate button is left to its step).
    virtual void DrawButtonFace(SECBtnDrawData& data, CRect& face, CPoint& image);
    virtual void DrawDisabled(SECBtnDrawData& data, const CRect& face, CPoint image);
    virtual void DrawChecked(SECBtnDrawData& data, const CRect& face, CPoint image);
    virtual void DrawIndeterminate(SECBtnDrawData& data, const CRect& face, CPoint image);
    // The button's image at that place of the work DC, its background left out.
    virtual void DrawImage(SECBtnDrawData& data, CPoint at);
    // Copies the composed face to the button's place.
    virtual void Blit(HDC dc, SECBtnDrawData& data);

    // The monochrome mask of the image: white where it shows the background (the transparent,
    // button-face and highlight colours), black where it shows the picture.
    void BuildImageMask(SECBtnDrawData& data) const;
    // The half-tone of checked and indeterminate faces: highlight and face pixels alternating.
    void FillHalftone(SECBtnDrawData& data, const CRect& face) const;
    CSize ImageSize() const;
    CPoint ImageSource() const;
    BOOL IsPressedOrChecked() const { return (m_nStyle & (TBBS_PRESSED | TBBS_CHECKED)) != 0; }
};
