// GetOpenFileNameW and GetSaveFileNameW: a "Look in" box, the folder's list, the file name and the
// file type, driven by the keyboard as much as by the mouse.

#include "platform/comdlg/CommDlg.h"
#include "platform/comdlg/DialogSupport.h"
#include "platform/comdlg/DialogTemplate.h"
#include "platform/comdlg/FileDialogModel.h"
#include "platform/comdlg/FileIcons.h"
#include "platform/comdlg/FolderMemory.h"

#include "platform/base/CString.h"
#include "platform/base/MessageBox.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/sys/Folders.h"

#include <unistd.h>

namespace fln::comdlg {

namespace {

constexpr int kUpId = psh3;
constexpr int kListId = lst1, kLookInId = cmb2, kTypeId = cmb1, kNameId = edt1;

std::wstring Wide(const std::string& utf8)
{
    return Utf8ToWide(utf8).value_or(std::wstring());
}

UserFolders CurrentUserFolders()
{
    return { Wide(SpecialFolder(CSIDL_PROFILE)), Wide(SpecialFolder(CSIDL_DESKTOPDIRECTORY)), Wide(SpecialFolder(CSIDL_PERSONAL)) };
}

std::wstring WorkingFolder()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? Wide(buffer) : std::wstring(L"/");
}

class FileDialog {
public:
    FileDialog(OPENFILENAMEW& request, bool save)
        : m_request(request)
        , m_save(save)
        , m_title(request.lpstrTitle ? request.lpstrTitle : save ? L"Save As" : L"Open")
        , m_types(ParseFilter(request.lpstrFilter))
        , m_places(CurrentUserFolders())
    {
    }

    BOOL Run()
    {
        DialogTemplate layout(m_title, 280, 164);
        layout.Control(L"Static", L"Look &in:", stc4, SS_LEFT, 7, 8, 40, 8)
            .Control(L"ComboBox", L"", kLookInId, CBS_DROPDOWNLIST | WS_TABSTOP, 50, 6, 172, 150)
            .Control(L"Button", L"&Up", kUpId, BS_PUSHBUTTON | WS_TABSTOP, 226, 5, 46, 14)
            .Control(L"ListBox", L"", kListId, LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 24, 266, 90)
            .Control(L"Static", L"File &name:", stc3, SS_LEFT, 7, 124, 54, 8)
            .Control(L"Edit", L"", kNameId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 64, 122, 150, 12)
            .Control(L"Static", L"Files of &type:", stc2, SS_LEFT, 7, 143, 54, 8)
            .Control(L"ComboBox", L"", kTypeId, CBS_DROPDOWNLIST | WS_TABSTOP, 64, 141, 150, 100)
            .Control(L"Button", m_save ? L"&Save" : L"&Open", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 222, 121, 50, 14)
            .Control(L"Button", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 222, 140, 50, 14);
        INT_PTR result = DialogBoxIndirectParamW(nullptr, layout.Get(), m_request.hwndOwner, Procedure, reinterpret_cast<LPARAM>(this));
        if (result == -1)
            SetExtendedError(CDERR_DIALOGFAILURE);
        return result == IDOK;
    }

private:
    static INT_PTR Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = DialogObject<FileDialog>(dialog, message, lParam);
        if (!self)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG: return self->OnInitDialog(dialog);
        case WM_COMMAND: self->OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
        case WM_MEASUREITEM: reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kFileIconSize + 2; return TRUE;
        case WM_DRAWITEM: self->DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_VKEYTOITEM: return self->OnListKey(LOWORD(wParam));
        }
        return FALSE;
    }

    BOOL OnInitDialog(HWND dialog)
    {
        m_dialog = dialog;
        for (const auto& type : m_types)
            SendDlgItemMessageW(dialog, kTypeId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type.description.c_str()));
        int typeIndex = m_request.nFilterIndex && m_request.nFilterIndex <= m_types.size() ? static_cast<int>(m_request.nFilterIndex) - 1 : 0;
        SendDlgItemMessageW(dialog, kTypeId, CB_SETCURSEL, typeIndex, 0);
        m_patterns = m_types.empty() ? std::vector<std::wstring>() : m_types[typeIndex].patterns;

        std::wstring initialName = m_request.lpstrFile ? m_request.lpstrFile : L"";
        std::wstring folder = InitialFolder();
        if (!initialName.empty()) {
            std::wstring path = ResolveTypedPath(folder, initialName, m_places.home);
            if (FolderExists(ParentFolder(path)))
                folder = ParentFolder(path);
            initialName = FileNameOf(path);
        }
        Navigate(folder);
        SetDlgItemTextW(dialog, kNameId, initialName.c_str());
        HWND name = GetDlgItem(dialog, kNameId);
        SetFocus(name);
        SendMessageW(name, EM_SETSEL, 0, -1);
        return FALSE; // the focus is set
    }

    std::wstring InitialFolder() const
    {
        std::wstring home = m_places.home.empty() ? L"/" : m_places.home;
        for (std::wstring candidate : { std::wstring(m_request.lpstrInitialDir ? m_request.lpstrInitialDir : L""), RememberedFolder(m_title), WorkingFolder() }) {
            if (candidate.empty())
                continue;
            candidate = ResolveTypedPath(home, candidate, home);
            if (FolderExists(candidate))
                return candidate;
        }
        return home;
    }

    void OnCommand(int id, int code)
    {
        switch (id) {
        case IDOK: OnOk(); break;
        case IDCANCEL: EndDialog(m_dialog, IDCANCEL); break;
        case kUpId: Navigate(ParentFolder(m_folder)); break;
        case kListId:
            if (code == LBN_SELCHANGE)
                OnListSelection();
            else if (code == LBN_DBLCLK)
                OnListOpen();
            break;
        case kLookInId:
            if (code == CBN_SELCHANGE) {
                auto index = SendDlgItemMessageW(m_dialog, kLookInId, CB_GETCURSEL, 0, 0);
                if (index >= 0 && static_cast<std::size_t>(index) < m_lookIn.size())
                    Navigate(m_lookIn[static_cast<std::size_t>(index)].path);
            }
            break;
        case kTypeId:
            if (code == CBN_SELCHANGE) {
                auto index = SendDlgItemMessageW(m_dialog, kTypeId, CB_GETCURSEL, 0, 0);
                if (index >= 0 && static_cast<std::size_t>(index) < m_types.size())
                    m_patterns = m_types[static_cast<std::size_t>(index)].patterns;
                FillList();
            }
            break;
        }
    }

    // Backspace in the list goes up a folder; every other key keeps the list's own meaning.
    INT_PTR OnListKey(WORD key)
    {
        if (key != VK_BACK)
            return -1;
        Navigate(ParentFolder(m_folder));
        return -2;
    }

    const FolderEntry* SelectedEntry() const
    {
        auto index = SendDlgItemMessageW(m_dialog, kListId, LB_GETCURSEL, 0, 0);
        return index >= 0 && static_cast<std::size_t>(index) < m_entries.size() ? &m_entries[static_cast<std::size_t>(index)] : nullptr;
    }

    void OnListSelection()
    {
        if (const FolderEntry* entry = SelectedEntry(); entry && !entry->isFolder)
            SetDlgItemTextW(m_dialog, kNameId, entry->name.c_str());
    }

    void OnListOpen()
    {
        const FolderEntry* entry = SelectedEntry();
        if (!entry)
            return;
        if (entry->isFolder)
            Navigate(JoinPath(m_folder, entry->name));
        else
            OnOk();
    }

    void Navigate(const std::wstring& folder)
    {
        if (!FolderExists(folder))
            return;
        m_folder = folder;
        m_lookIn = LookInPlaces(m_folder, m_places);
        SendDlgItemMessageW(m_dialog, kLookInId, CB_RESETCONTENT, 0, 0);
        for (const auto& place : m_lookIn) {
            std::wstring label = std::wstring(static_cast<std::size_t>(place.indent) * 2, L' ') + place.label;
            auto index = SendDlgItemMessageW(m_dialog, kLookInId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
            if (place.path == m_folder)
                SendDlgItemMessageW(m_dialog, kLookInId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
        FillList();
    }

    void FillList()
    {
        m_entries = ListFolder(m_folder, m_patterns);
        HWND list = GetDlgItem(m_dialog, kListId);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const auto& entry : m_entries)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
        if (!m_entries.empty())
            SendMessageW(list, LB_SETCARETINDEX, 0, 0);
    }

    void DrawItem(const DRAWITEMSTRUCT& item)
    {
        if (item.itemID >= m_entries.size())
            return;
        const FolderEntry& entry = m_entries[item.itemID];
        bool selected = item.itemState & ODS_SELECTED;
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
        DrawFileIcon(item.hDC, item.rcItem.left + 1, item.rcItem.top + 1, entry.isFolder ? FileIcon::Folder : FileIcon::Document);

        RECT text = item.rcItem;
        text.left += kFileIconSize + 4;
        SIZE extent {};
        HDC dc = item.hDC;
        GetTextExtentPoint32W(dc, entry.name.c_str(), static_cast<int>(entry.name.size()), &extent);
        text.right = std::min<LONG>(text.right, text.left + extent.cx + 4);
        if (selected)
            FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT inner = text;
        inner.left += 2;
        DrawTextW(dc, entry.name.c_str(), static_cast<int>(entry.name.size()), &inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (item.itemState & ODS_FOCUS)
            DrawFocusRect(dc, &text);
    }

    void OnOk()
    {
        if (GetFocus() == GetDlgItem(m_dialog, kListId)) {
            if (const FolderEntry* entry = SelectedEntry(); entry && entry->isFolder) {
                Navigate(JoinPath(m_folder, entry->name));
                return;
            }
        }
        std::wstring typed = ControlText(m_dialog, kNameId);
        if (typed.empty())
            return;
        if (typed.find_first_of(L"*?") != std::wstring::npos && typed.find_first_of(L"/\\") == std::wstring::npos) {
            m_patterns = { typed };
            FillList();
            return;
        }
        std::wstring path = ResolveTypedPath(m_folder, typed, m_places.home);
        if (FolderExists(path)) {
            Navigate(path);
            SetDlgItemTextW(m_dialog, kNameId, L"");
            return;
        }
        path = WithDefaultExtension(path);
        if (!Validate(path))
            return;
        Finish(path);
    }

    // A name typed without an extension gets the default one; an open dialog first takes an
    // existing file of the name as typed.
    std::wstring WithDefaultExtension(const std::wstring& path) const
    {
        if (!m_request.lpstrDefExt || !*m_request.lpstrDefExt || ExtensionOffset(path) != std::wstring::npos)
            return path;
        if (!m_save && FileExists(path))
            return path;
        return path + L"." + DefaultExtension();
    }

    // The extension the chosen file type names ("*.fm" names "fm"), else the caller's default.
    std::wstring DefaultExtension() const
    {
        const LRESULT index = SendDlgItemMessageW(m_dialog, kTypeId, CB_GETCURSEL, 0, 0);
        if (index >= 0 && static_cast<std::size_t>(index) < m_types.size()) {
            for (const std::wstring& pattern : m_types[static_cast<std::size_t>(index)].patterns) {
                if (pattern.size() > 2 && pattern.starts_with(L"*.") && pattern.find_first_of(L"*?.", 2) == std::wstring::npos)
                    return pattern.substr(2);
            }
        }
        return m_request.lpstrDefExt;
    }

    bool Validate(const std::wstring& path)
    {
        DWORD flags = m_request.Flags;
        if ((flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !FolderExists(ParentFolder(path))) {
            Warn(ParentFolder(path) + L"\nThe path does not exist.\nCheck the path and try again.", MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        if ((flags & OFN_FILEMUSTEXIST) && !FileExists(path)) {
            Warn(FileNameOf(path) + L"\nFile not found.\nPlease verify the correct file name was given.", MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        if (m_save && (flags & OFN_OVERWRITEPROMPT) && FileExists(path))
            return Warn(path + L" already exists.\nDo you want to replace it?", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
        return true;
    }

    int Warn(const std::wstring& text, UINT type)
    {
        int answer = MessageBoxW(m_dialog, text.c_str(), m_title.c_str(), type);
        HWND name = GetDlgItem(m_dialog, kNameId);
        SetFocus(name);
        SendMessageW(name, EM_SETSEL, 0, -1);
        return answer;
    }

    void Finish(const std::wstring& path)
    {
        if (!m_request.lpstrFile || m_request.nMaxFile < path.size() + 1) {
            // The caller learns the size it needs in the first character, as documented.
            if (m_request.lpstrFile && m_request.nMaxFile >= 1)
                m_request.lpstrFile[0] = static_cast<wchar_t>(std::min<std::size_t>(path.size() + 1, 0xFFFF));
            SetExtendedError(FNERR_BUFFERTOOSMALL);
            EndDialog(m_dialog, IDABORT);
            return;
        }
        wcscpy(m_request.lpstrFile, path.c_str());
        std::size_t nameOffset = path.rfind(L'/') + 1;
        std::size_t extension = ExtensionOffset(path);
        m_request.nFileOffset = static_cast<WORD>(nameOffset);
        m_request.nFileExtension = static_cast<WORD>(extension == std::wstring::npos ? 0 : extension);
        if (m_request.lpstrFileTitle && m_request.nMaxFileTitle) {
            std::wstring title = path.substr(nameOffset).substr(0, m_request.nMaxFileTitle - 1);
            wcscpy(m_request.lpstrFileTitle, title.c_str());
        }
        auto typeIndex = SendDlgItemMessageW(m_dialog, kTypeId, CB_GETCURSEL, 0, 0);
        if (typeIndex >= 0)
            m_request.nFilterIndex = static_cast<DWORD>(typeIndex) + 1;
        RememberFolder(m_title, ParentFolder(path));
        EndDialog(m_dialog, IDOK);
    }

    OPENFILENAMEW& m_request;
    bool m_save;
    std::wstring m_title;
    std::vector<FileType> m_types;
    UserFolders m_places;
    HWND m_dialog = nullptr;
    std::wstring m_folder;
    std::vector<std::wstring> m_patterns;
    std::vector<FolderEntry> m_entries;
    std::vector<Place> m_lookIn;
};

BOOL RunFileDialog(LPOPENFILENAMEW request, bool save)
{
    SetExtendedError(0);
    if (!request || request->lStructSize != sizeof(OPENFILENAMEW)) {
        SetExtendedError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    FileDialog dialog(*request, save);
    return dialog.Run();
}

} // namespace

} // namespace fln::comdlg

BOOL GetOpenFileNameW(LPOPENFILENAMEW request)
{
    return fln::comdlg::RunFileDialog(request, false);
}

BOOL GetSaveFileNameW(LPOPENFILENAMEW request)
{
    return fln::comdlg::RunFileDialog(request, true);
}
