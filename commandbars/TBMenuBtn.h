#pragma once
// The tool-bar button that stands for one top-level popup of a menu resource: it shows the
// popup's title, owns its mnemonic, and on a press asks its bar to drop the popup. A menu bar is
// made of these; BuildMenuButtonRecords makes the records of its button table from a menu.

#include "commandbars/CustomToolBar.h"

#include <deque>
#include <vector>

class SECTBMenuBtn : public SECStdBtn {
public:
    // The class of these buttons in a bar's button table.
    static const SECButtonClass s_buttonClass;

    // The layout of the initialisation data in a button-table record.
    enum InitData { kMenuId, kPopupIndex, kTitle, kMask };

    SECTBMenuBtn() { m_nType = kMenu; }

    // Takes the menu id, popup index, title (a const wchar_t*) and mask from the data.
    void Init(SECCustomToolBar* bar, const UINT_PTR* initData) override;
    // Opens the popup on the press itself; the bar never captures the mouse for it.
    BOOL BtnPressDown(CPoint point) override;
    // The title's extent in the bar's menu font, plus 10 across and 6 down.
    void AdjustSize() override;
    // Asks the bar to drop this button's popup.
    virtual void OpenMenu();
    // The upper-cased character after the title's first "&"; 0 without one or when it ends the title.
    void ComputeMnemonic();

    CString m_strTitle;
    UINT m_nMenuId = 0;
    int m_nPopupIndex = 0;
    UINT m_cMnemonic = 0;
    DWORD m_dwMenuMask = 0;

protected:
    // A face of the menu look: a thin raised frame when hot, a thin sunken one when pressed or
    // checked, and the title in the menu font (grey when disabled).
    void DrawButtonFace(SECBtnDrawData& data, CRect& face, CPoint& image) override;
    // The title carries every state: there is no picture to grey or half-tone.
    void DrawDisabled(SECBtnDrawData&, const CRect&, CPoint) override {}
    void DrawChecked(SECBtnDrawData&, const CRect&, CPoint) override {}
    void DrawIndeterminate(SECBtnDrawData&, const CRect&, CPoint) override {}
};

// The button-table records of menu buttons and the titles they point at. The table always ends
// with a record without a class, and titles keep their place while records are added.
class SECMenuButtonRecords {
public:
    SECMenuButtonRecords() { m_records.push_back({}); }
    const SECBtnMapEntry* Table() const { return m_records.data(); }
    int GetCount() const { return static_cast<int>(m_records.size()) - 1; }
    const std::deque<CString>& Titles() const { return m_titles; }
    void Add(UINT menuId, int popupIndex, const CString& title, DWORD mask);
    // Buttons get command ids from this one on, shared by all menus of the table.
    static constexpr UINT kFirstCommand = 0x80000001;

private:
    std::vector<SECBtnMapEntry> m_records;
    std::deque<CString> m_titles;
    UINT m_nextCommand = kFirstCommand;
};

// Counts the top-level items of the menu resource into counter and, with records, adds one
// menu-button record per item with that mask. FALSE when the menu cannot be loaded or read.
BOOL BuildMenuButtonRecords(SECMenuButtonRecords* records, int& counter, DWORD mask, UINT menuId);
