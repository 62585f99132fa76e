#include "app/DateFile.h"

#include "app/DlgCalendarView.h"
#include "app/FlnApp.h"
#include "platform/base/MessageBox.h"
#include "res/Formulon.h"

#include <filesystem>
#include <optional>
#include <string>

const wchar_t kDateFileFilter[] = L"Parameter (.fmd)|*.fmd|"
                                  L"Text Files (.txt)|*.txt|"
                                  L"All Supported Files (.fmd;.txt;)|*.fmd;*.txt;|"
                                  L"All Files (*.*)|*.*|";

namespace {

constexpr const wchar_t* InputSection = L"TAB_DATEFORMEL";
constexpr const wchar_t* ChecksSection = L"CHECKS";
constexpr const wchar_t* FormatSection = L"FORMAT";

CString ProgramNameAndVersion()
{
    CString text;
    if (!text.LoadString(IDS_PROGRAM_TITLE))
        text = L"Formulon";
    return text;
}

// A whole decimal number in the range, or nothing.
std::optional<int> IntegerIn(const CString& text, int lowest, int highest)
{
    CString digits = text;
    digits.Trim();
    if (digits.IsEmpty() || digits.GetLength() > 4)
        return std::nullopt;
    for (wchar_t ch : digits.str()) {
        if (ch < L'0' || ch > L'9')
            return std::nullopt;
    }
    const int value = std::stoi(digits.str());
    if (value < lowest || value > highest)
        return std::nullopt;
    return value;
}

} // namespace

DatePageContent CDateFile::ContentOf(const CDlgCalendarView& view)
{
    return { view.m_strInput, view.m_bViewTooltips, static_cast<int>(view.m_nDateFormat) };
}

void CDateFile::Put(CIniFile& ini, const DatePageContent& content)
{
    ini.SetBool(L"INFO", L"Name", true);
    ini.SetString(L"INFO", L"Version", ProgramNameAndVersion());
    ini.SetString(InputSection, L"f", content.input);
    ini.SetInt(ChecksSection, L"ViewTooltips", content.viewTooltips ? 1 : 0);
    ini.SetInt(FormatSection, L"DateFormat", content.dateFormat);
}

BOOL CDateFile::Save(CIniFile& ini, const CString& path, const DatePageContent& content)
{
    ini.SetFileName(path);
    ini.RemoveAll();
    Put(ini, content);
    return ini.WriteFile();
}

BOOL CDateFile::Save(CDlgCalendarView& view, const CString& path)
{
    return Save(view.m_iniFile, path, ContentOf(view));
}

CDateFile::LoadResult CDateFile::Load(CDlgCalendarView& view, const CString& path)
{
    CIniFile& ini = view.m_iniFile;
    ini.SetFileName(path);
    if (!ini.Load() && ini.GetSections().empty()) {
        // A file that is there but holds no sections at all is not a date file.
        std::error_code error;
        if (std::filesystem::is_regular_file(std::filesystem::path(path.ToUtf8()), error))
            return LoadResult::Foreign;
        view.SetDateFormat(CDlgCalendarView::DateFormat::DayMonthYearDots);
        return LoadResult::Missing;
    }
    if (ini.FindSection(InputSection) < 0 && ini.FindSection(ChecksSection) < 0 && ini.FindSection(FormatSection) < 0)
        return LoadResult::Foreign;

    // Every value is checked before the page takes any.
    const CString input = ini.GetString(InputSection, L"f", view.m_strInput);
    const CString tooltips = ini.GetValue(ChecksSection, L"ViewTooltips");
    const CString format = ini.GetValue(FormatSection, L"DateFormat");
    const std::optional<int> tooltipFlag = tooltips.IsEmpty() ? std::optional<int>(0) : IntegerIn(tooltips, 0, 1);
    const std::optional<int> dateFormat = format.IsEmpty() ? std::optional<int>(1) : IntegerIn(format, 1, 3);
    if (input.GetLength() > CDlgCalendarView::InputLimit || !tooltipFlag || !dateFormat)
        return LoadResult::Damaged;

    view.m_strInput = input;
    view.m_bViewTooltips = *tooltipFlag != 0;
    view.SetDateFormat(static_cast<CDlgCalendarView::DateFormat>(*dateFormat));
    if (view.m_hWnd)
        view.UpdateData(FALSE);
    return LoadResult::Loaded;
}

void CDateFile::OnSaveContent(CDlgCalendarView& view)
{
    CString file = view.m_strFileName;
    CFlnApp* app = GetFlnApp();
    if (!app || !app->PromptFileName(file, IDS_SAVE_CONTENT_TITLE, CFlnApp::ContentFileDialogFlags, FALSE, nullptr, kDateFileFilter))
        return;
    view.m_strFileName = file;
    if (!Save(view, file))
        AfxMessageBox(L"The date file could not be written:\n" + file, MB_ICONEXCLAMATION | MB_OK);
}

void CDateFile::OnLoadContent(CDlgCalendarView& view)
{
    CString file = view.m_strFileName;
    CFlnApp* app = GetFlnApp();
    if (!app || !app->PromptFileName(file, IDS_LOAD_CONTENT_TITLE, CFlnApp::ContentFileDialogFlags, TRUE, nullptr, kDateFileFilter))
        return;
    view.m_strFileName = file;
    switch (Load(view, file)) {
    case LoadResult::Loaded:
        return;
    case LoadResult::Missing:
        AfxMessageBox(L"The date file could not be read:\n" + file, MB_ICONEXCLAMATION | MB_OK);
        return;
    case LoadResult::Foreign:
        AfxMessageBox(L"This is not a date file; nothing was loaded:\n" + file, MB_ICONEXCLAMATION | MB_OK);
        return;
    case LoadResult::Damaged:
        AfxMessageBox(L"The date file is damaged; nothing was loaded:\n" + file, MB_ICONEXCLAMATION | MB_OK);
        return;
    }
}
