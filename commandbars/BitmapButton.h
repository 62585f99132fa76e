#pragma once
// A button with a picture beside, above, below or instead of its caption. The picture is a
// bitmap resource whose greys, black and white follow the system colours.

#include "commandbars/OwnerDrawButton.h"
#include "framework/SysColorBitmap.h"

namespace divuzura::foundation {

// Where the picture sits against the caption.
enum SECBitmapAlign : int { SEC_IMAGE_LEFT = 0, SEC_IMAGE_RIGHT = 1, SEC_IMAGE_TOP = 2, SEC_IMAGE_BOTTOM = 3, SEC_IMAGE_ONLY = 4 };

using ::SECLoadSysColorBitmap;

class SECBitmapButton : public SECOwnerDrawButton {
    DECLARE_DYNAMIC(SECBitmapButton)
public:
    static constexpr int kMarginX = 5, kMarginY = 5;

    virtual BOOL AttachButton(UINT id, int alignment, UINT bitmapId, CWnd* parent, DWORD options = 0);
    virtual BOOL Create(LPCWSTR caption, DWORD style, int alignment, UINT bitmapId, const RECT& rect, CWnd* parent,
        UINT id, DWORD options = 0);
    using SECOwnerDrawButton::AttachButton;
    using SECOwnerDrawButton::Create;

    // Places the picture and the caption in the client area.
    virtual void LayoutImageAndText();
    // Resizes the button to hold its picture and caption with the margins.
    void SizeToContent();

    int GetAlignment() const { return m_nAlignment; }
    const CRect& GetImageRect() const { return m_rcImage; }
    const CRect& GetTextRect() const { return m_rcText; }

protected:
    // Loads the picture (again after a change of the system colours); FALSE when it cannot.
    virtual BOOL LoadImage();
    void DrawContent(CDC* dc, const DRAWITEMSTRUCT& item, const CRect& content) override;
    void DrawFocus(CDC* dc, const DRAWITEMSTRUCT& item) override;
    void DrawFocusRect(CDC* dc, const CRect& rect) override;

    void OnSysColorChange();
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

    UINT m_nBitmapId = 0;
    CBitmap m_bitmap;
    int m_nAlignment = SEC_IMAGE_LEFT;

private:
    CSize ImageSize() const;
    HFONT ButtonFont() const;
    // Where the content was last drawn from, against the client area.
    CPoint m_contentOffset;
    CRect m_rcImage, m_rcText;
};

} // namespace divuzura::foundation
