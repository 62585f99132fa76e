#pragma once
// Bitmap menus: a plug-in of a frame that turns the items of the frame's popup menus into
// owner-drawn items showing the tool-bar image of the same command beside the text, with check
// marks, embossed disabled images and the items' mnemonics (WM_MENUCHAR).

#include "framework/FrameMenuBar.h"
#include "platform/mfc/GdiObjects.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

class SECBmpMgr;

// What the plug-in keeps of an item it converted: the item data points at it.
struct SECBmpMenuItemInfo {
    UINT id = 0;          // 0 for an item with a submenu
    CString text;         // label, then a tab and the accelerator text
    wchar_t mnemonic = 0; // upper case; 0 without one
    BOOL isDefault = FALSE;
};

// The upper-cased character after the first '&' of a text; 0 without one or at its end.
wchar_t MnemonicOf(const CString& text);

class SECBmpMenuPlugIn : public SECFrameMenuPlugIn {
    DECLARE_DYNCREATE(SECBmpMenuPlugIn)
public:
    // Checked items without a check bitmap of their own show the system's check mark.
    SECBmpMenuPlugIn();
    ~SECBmpMenuPlugIn() override;

    BOOL LoadToolBarResource(UINT toolBarId) override;
    // Shares another store of images (one reference taken, the old one released).
    void SetBmpMgr(SECBmpMgr* manager) override;
    SECBmpMgr* GetBmpMgr() const { return m_pBmpMgr; }
    // For frames that forward WM_INITMENUPOPUP themselves.
    void HandleInitMenuPopup(WPARAM wParam, LPARAM lParam);

    // Without `use`, an image's transparent colour is the top-left pixel of its strip.
    void SetTransparentColor(COLORREF colour, BOOL use) override;
    virtual COLORREF GetTransparentColor() const { return m_clrTransparent; }
    // Forgets the records of items that are gone and of menus that were destroyed.
    virtual void CleanUpMenus();

    // The records of a menu the plug-in knows (null for others).
    const std::vector<std::unique_ptr<SECBmpMenuItemInfo>>* RecordsOf(HMENU menu) const;
    BOOL IsForeignItem(UINT id) const { return m_foreignItems.contains(id); }

protected:
    void OnInitMenuPopup(HMENU menu, UINT index, BOOL systemMenu);
    void OnMeasureItem(MEASUREITEMSTRUCT* item);
    void OnDrawItem(const DRAWITEMSTRUCT* item);
    LRESULT OnMenuChar(wchar_t typed, UINT flags, HMENU menu);
    void OnSysColorChange();
    void OnSettingChange();
    DECLARE_MESSAGE_MAP()

    // Draws the image box at the item's left edge and moves rect's left edge past it.
    virtual void DrawItemImage(const DRAWITEMSTRUCT* item, HDC dc, RECT& rect, HBITMAP image, int imageIndex, SIZE imageSize);
    virtual void DrawCheckedBackground(HDC dc, int x, int y, SIZE size, HDC image, int sourceX);
    virtual void DrawDisabledImage(HDC dc, int x, int y, SIZE size, HDC image, int sourceX);

private:
    struct MenuInfo {
        std::vector<std::unique_ptr<SECBmpMenuItemInfo>> items;
    };

    SECBmpMenuItemInfo* RecordOf(ULONG_PTR data) const;
    HFONT MenuFont(BOOL bold);
    HBRUSH DitherBrush();
    // The image box's width: images of the store, or a smaller check bitmap, in a common column.
    SIZE ImageSize() const;
    // The colour set by SetTransparentColor, else the strip's top-left pixel.
    COLORREF TransparentColour(HDC image) const;
    void DrawLabel(HDC dc, const RECT& area, const CString& text, COLORREF colour) const;
    // Every converted item is made plain and owner-drawn again, so that it is measured anew.
    void RemeasureItems();
    void RestoreItems();

    std::map<HMENU, MenuInfo> m_menus;
    std::set<UINT> m_foreignItems;
    SECBmpMgr* m_pBmpMgr;
    CFont m_menuFont, m_boldMenuFont;
    HBRUSH m_hDitherBrush = nullptr;
    COLORREF m_clrTransparent = RGB(192, 192, 192);
    BOOL m_bUseTransparent = FALSE;
};
