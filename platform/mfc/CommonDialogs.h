#pragma once
// The common dialogs as classes: the request structure is a public member (m_ofn, m_cf, m_cc) that
// the caller may adjust before DoModal, which answers IDOK or IDCANCEL.

#include "platform/base/CString.h"
#include "platform/comdlg/CommDlg.h"
#include "platform/mfc/Dialog.h"

#include <vector>

// The common dialog's own procedure runs the window, so a derived class's message map sees none
// of its messages; the object has no window of its own.
class CCommonDialog : public CDialog {
public:
    explicit CCommonDialog(CWnd* parentWnd);
    INT_PTR DoModal() override = 0;

protected:
    // The parent given, else the main window.
    HWND OwnerWindow() const;

private:
    CWnd* m_parentWnd;
};

class CFileDialog : public CCommonDialog {
public:
    // filter: "Description|*.a;*.b|...|", as the resource strings write it.
    CFileDialog(BOOL openFileDialog, LPCWSTR defaultExtension = nullptr, LPCWSTR fileName = nullptr,
        DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr, CWnd* parentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    INT_PTR DoModal() override;

    CString GetPathName() const;  // "/home/ann/a.fm"
    CString GetFileName() const;  // "a.fm"
    CString GetFileExt() const;   // "fm"
    CString GetFileTitle() const; // "a"

    OPENFILENAMEW m_ofn {};

private:
    static constexpr int MAX_PATH_LENGTH = 260;

    BOOL m_openFileDialog;
    CString m_defaultExtension;
    std::vector<wchar_t> m_filter;
    wchar_t m_fileName[MAX_PATH_LENGTH] {};
    wchar_t m_fileTitle[MAX_PATH_LENGTH] {};
};

class CFontDialog : public CCommonDialog {
public:
    explicit CFontDialog(const LOGFONTW* initial = nullptr, DWORD flags = CF_EFFECTS | CF_SCREENFONTS, HDC printerDc = nullptr, CWnd* parentWnd = nullptr);
    CFontDialog(const CFontDialog&) = delete;
    CFontDialog& operator=(const CFontDialog&) = delete;

    INT_PTR DoModal() override;

    void GetCurrentFont(LOGFONTW* font) const { *font = m_lf; }
    CString GetFaceName() const { return m_lf.lfFaceName; }
    CString GetStyleName() const { return m_styleName; }
    int GetSize() const { return m_cf.iPointSize; } // tenths of a point
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetWeight() const { return m_lf.lfWeight; }
    BOOL IsStrikeOut() const { return m_lf.lfStrikeOut; }
    BOOL IsUnderline() const { return m_lf.lfUnderline; }
    BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }
    BOOL IsItalic() const { return m_lf.lfItalic; }

    CHOOSEFONTW m_cf {};
    LOGFONTW m_lf {};

private:
    wchar_t m_styleName[LF_FACESIZE] {};
};

class CColorDialog : public CCommonDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parentWnd = nullptr);
    CColorDialog(const CColorDialog&) = delete;
    CColorDialog& operator=(const CColorDialog&) = delete;

    INT_PTR DoModal() override;

    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF color) { m_cc.rgbResult = color; m_cc.Flags |= CC_RGBINIT; }
    // The custom colours used when the caller gives none: kept for the whole run of the program.
    static COLORREF* GetSavedCustomColors();

    CHOOSECOLORW m_cc {};
};
