#include "platform/mfc/CommonDialogs.h"

#include "platform/mfc/WinApp.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr INT_PTR Answer(BOOL confirmed)
{
    return confirmed ? IDOK : IDCANCEL;
}

} // namespace

CCommonDialog::CCommonDialog(CWnd* parentWnd)
    : m_parentWnd(parentWnd)
{
}

HWND CCommonDialog::OwnerWindow() const
{
    CWnd* owner = m_parentWnd ? m_parentWnd : AfxGetMainWnd();
    return owner ? owner->GetSafeHwnd() : nullptr;
}

// ---- CFileDialog

CFileDialog::CFileDialog(BOOL openFileDialog, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags, LPCWSTR filter, CWnd* parentWnd)
    : CCommonDialog(parentWnd)
    , m_openFileDialog(openFileDialog)
    , m_defaultExtension(defaultExtension ? defaultExtension : L"")
{
    if (fileName)
        wcsncpy(m_fileName, fileName, MAX_PATH_LENGTH - 1);
    if (filter) {
        // '|' separates the pieces; the list ends with an empty piece.
        for (const wchar_t* c = filter; *c; ++c)
            m_filter.push_back(*c == L'|' ? L'\0' : *c);
        m_filter.insert(m_filter.end(), { L'\0', L'\0' });
    }
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_fileName;
    m_ofn.nMaxFile = MAX_PATH_LENGTH;
    m_ofn.lpstrFileTitle = m_fileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH_LENGTH;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
    m_ofn.lpstrDefExt = m_defaultExtension.IsEmpty() ? nullptr : static_cast<LPCWSTR>(m_defaultExtension);
    m_ofn.Flags = flags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = OwnerWindow();
    return Answer(m_openFileDialog ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn));
}

CString CFileDialog::GetPathName() const
{
    return m_ofn.lpstrFile;
}

CString CFileDialog::GetFileName() const
{
    return m_ofn.lpstrFile + m_ofn.nFileOffset;
}

CString CFileDialog::GetFileExt() const
{
    return m_ofn.nFileExtension ? CString(m_ofn.lpstrFile + m_ofn.nFileExtension) : CString();
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

// ---- CFontDialog

CFontDialog::CFontDialog(const LOGFONTW* initial, DWORD flags, HDC printerDc, CWnd* parentWnd)
    : CCommonDialog(parentWnd)
{
    m_cf.lStructSize = sizeof m_cf;
    m_cf.hDC = printerDc;
    m_cf.lpLogFont = &m_lf;
    m_cf.lpszStyle = m_styleName;
    m_cf.Flags = flags | CF_USESTYLE;
    if (initial) {
        m_lf = *initial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
}

INT_PTR CFontDialog::DoModal()
{
    m_cf.hwndOwner = OwnerWindow();
    return Answer(ChooseFontW(&m_cf));
}

// ---- CColorDialog

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parentWnd)
    : CCommonDialog(parentWnd)
{
    m_cc.lStructSize = sizeof m_cc;
    m_cc.rgbResult = initial;
    m_cc.Flags = flags | (initial ? CC_RGBINIT : 0);
    m_cc.lpCustColors = GetSavedCustomColors();
}

INT_PTR CColorDialog::DoModal()
{
    m_cc.hwndOwner = OwnerWindow();
    return Answer(ChooseColorW(&m_cc));
}

COLORREF* CColorDialog::GetSavedCustomColors()
{
    static COLORREF saved[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    };
    return saved;
}
