#include "app/Updater.h"

#include "app/OptionsUpdatesPage.h"
#include "controls/ModuleVersion.h"
#include "controls/NGPropertySheet.h"
#include "controls/RichMessageBox.h"
#include "datecore/Clock.h"
#include "platform/base/StringFormat.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/Wnd.h"
#include "platform/net/InternetSession.h"
#include "platform/user/ResourceHandles.h"
#include "platform/sys/Shell.h"
#include "res/Formulon.h"
#include "res/Updates.h"

#include <string>
#include <utility>

namespace {

constexpr const wchar_t* kSection = L"Options";
// The publisher's own addresses, as the About box shows them.
constexpr const wchar_t* kBuiltInWebSite = L"https://formulon.example.org";
constexpr const wchar_t* kBuiltInEmail = L"developer@formulon.example.org";

constexpr UINT kInformationIcon = OIC_INFORMATION, kExclamationIcon = OIC_WARNING;
// The result boxes' button that opens the options.
constexpr INT_PTR kOptionsButton = 100;

// text as literal text inside RTF: the version file is the server's, never mark-up of ours.
std::wstring RtfText(const CString& text)
{
    std::wstring rtf;
    for (wchar_t ch : text.view()) {
        if (ch == L'\\' || ch == L'{' || ch == L'}') {
            rtf += L'\\';
            rtf += ch;
        } else if (ch < 0x20) {
            rtf += L' ';
        } else if (ch > 0x7E) {
            rtf += L"\\u" + std::to_wstring(static_cast<short>(ch)) + L'?';
        } else {
            rtf += ch;
        }
    }
    return rtf;
}

CWinApp* Profile()
{
    return AfxGetApp();
}

CString ProgramVersion()
{
    CNGModuleVersion version;
    version.GetFileVersionInfo(nullptr);
    return version.GetValue(L"FileVersion");
}

} // namespace

__time64_t CurrentTime64()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return SystemTimeToUnixSeconds(now).value_or(0);
}

CUpdater::CUpdater() : m_strEmailURL(kBuiltInEmail), m_strWebURL(kBuiltInWebSite), m_lastCheck(CurrentTime64())
{
    m_strFAQURL = m_strWebURL + L"/faq.html";
    m_strDiscussionBoardURL = m_strWebURL + L"/forum";
    m_strKnownBugsURL = m_strWebURL + L"/limitations.html";
    m_strMailingListURL = m_strWebURL + L"/mailing_list.html";
    m_strAboutMeURL = m_strWebURL;
}

CUpdater::~CUpdater() = default;

BOOL CUpdater::LoadSettings()
{
    CWinApp* app = Profile();
    if (!app) return TRUE;
    auto flag = [&](LPCWSTR key, BOOL& field) { field = app->GetProfileInt(kSection, key, field) ? TRUE : FALSE; };
    flag(L"Mailing List Prompt", m_bMailingListPrompt);
    LoadLinks();
    m_strDevStudioVersion = app->GetProfileString(kSection, L"DevStudio Version", m_strDevStudioVersion);
    // Only a web address is a source; anything else in the profile counts as none.
    const CString source = app->GetProfileString(kSection, L"Version File URL", m_strVersionFileURL);
    m_strVersionFileURL = IsWebAddress(source.view()) ? source : CString();
    flag(L"Check for updates", m_bCheckForUpdates);
    m_nCheckInterval = static_cast<int>(app->GetProfileInt(kSection, L"Update check interval", m_nCheckInterval));
    flag(L"Check for updated development versions", m_bCheckDevVersions);
    m_lastCheck = ReadLastUpdateCheck(*app);
    return TRUE;
}

void CUpdater::LoadLinks()
{
    CWinApp* app = Profile();
    if (!app) return;
    for (auto [key, field] : {std::pair{L"Email URL", &m_strEmailURL}, {L"Web URL", &m_strWebURL}, {L"FAQ URL", &m_strFAQURL},
                              {L"Discussion Board URL", &m_strDiscussionBoardURL}, {L"Known Bugs URL", &m_strKnownBugsURL},
                              {L"Mailing List URL", &m_strMailingListURL}, {L"About Me URL", &m_strAboutMeURL}})
        *field = app->GetProfileString(kSection, key, *field);
}

BOOL CUpdater::IsCheckDue() const
{
    return UpdateSchedule{m_bCheckForUpdates != FALSE, m_nCheckInterval, m_lastCheck}.IsCheckDue(CurrentTime64());
}

BOOL CUpdater::IsChecking() const
{
    return m_worker && m_worker->IsRunning();
}

BOOL CUpdater::CheckIfDue()
{
    if (m_strVersionFileURL.IsEmpty()) {
        OfferOptions(L"No update source is configured: the address of the version file is not set.");
        return FALSE;
    }
    if (!IsCheckDue()) {
        OfferOptions(m_bCheckForUpdates ? CString(FormatWide(L"Updates are checked every %d days, and the last check was less than "
                                                             L"%d days ago.", m_nCheckInterval, m_nCheckInterval).c_str())
                                        : CString(L"Checking for updates is turned off."));
        return FALSE;
    }
    CWnd* main = AfxGetMainWnd();
    return StartCheck(m_strVersionFileURL, main ? main->m_hWnd : nullptr, WM_COMMAND, ID_UPDATE_CHECK_DONE) != nullptr;
}

void CUpdater::OfferOptions(const CString& reason)
{
    if (AfxMessageBox(reason + L"\n\nDo you want to change the update options now?", MB_YESNO | MB_ICONINFORMATION) == IDYES)
        ShowOptions(AfxGetMainWnd());
}

CVersionCheck* CUpdater::StartCheck(const CString& address, HWND window, UINT message, UINT id)
{
    if (!m_worker) m_worker = std::make_unique<CVersionCheck>(m_timeouts);
    if (m_worker->IsRunning()) return m_worker.get();
    if (window) m_worker->SetNotify(window, message, id);
    if (!m_worker->Start(address)) {
        m_worker.reset();
        return nullptr;
    }
    return m_worker.get();
}

void CUpdater::OnCheckDone()
{
    if (!m_worker || m_worker->IsRunning()) return;
    // The menu's check ends in a box that also leads to the options.
    const bool offered = std::exchange(m_bOfferOptions, true);
    const DWORD error = CheckForUpdate(m_bCheckDevVersions, TRUE);
    m_bOfferOptions = offered;
    if (error != 0) OfferOptions(DescribeCheckFailure(error, L"Could not load version info! Internet Connection may fail!"));
}

DWORD CUpdater::CheckForUpdate(BOOL developmentVersions, BOOL interactive)
{
    if (!m_worker) return ERROR_INTERNET_CANNOT_CONNECT;
    VersionDownload download = m_worker->TakeResult();
    m_worker.reset(); // a download still under way is cancelled
    if (download.error || !download.file) return download.error ? download.error : ERROR_INVALID_DATA;

    const __time64_t now = CurrentTime64();
    if (CWinApp* app = Profile(); app && RecordVersionCheck(*app, download, now)) LoadLinks();
    m_lastCheck = now;
    ShowVerdict(EvaluateVersionFile(*download.file, ProgramVersion(), developmentVersions), interactive);
    return 0;
}

void CUpdater::ShowVerdict(const UpdateOffer& offer, BOOL interactive)
{
    using Verdict = UpdateOffer::Verdict;
    CNGMessageBox box(AfxGetMainWnd());
    CString text;
    switch (offer.verdict) {
    case Verdict::NewRelease:
    case Verdict::NewDevelopment: {
        text.LoadString(offer.verdict == Verdict::NewDevelopment ? IDS_NEW_DEVELOPMENT_VERSION : IDS_NEW_RELEASE_VERSION);
        box.SetCaption(text);
        box.SetStandardIcon(kInformationIcon);
        box.FormatMessageFromResource(IDR_UPDATE_AVAILABLE, L"RTF", RtfText(offer.version).c_str(),
                                      RtfText(offer.description).c_str());
        box.AddButton(IDYES, FALSE, FALSE, L"&Yes");
        box.AddButton(IDNO, TRUE, TRUE, L"&No");
        AddOptionsButton(box);
        // The address is an http or https one or empty; the opener gets it as one argument.
        const INT_PTR answer = box.DoModal();
        if (answer == IDYES && !offer.downloadAddress.IsEmpty())
            ShellExecuteW(GetDesktopWindow(), L"open", offer.downloadAddress.str().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        if (answer == kOptionsButton) ShowOptions(AfxGetMainWnd());
        return;
    }
    case Verdict::UpToDate:
        box.SetCaption(L"Version up to date");
        box.FormatMessageFromId(IDS_VERSION_UP_TO_DATE);
        box.SetStandardIcon(kInformationIcon);
        box.AddButton(IDOK, TRUE, TRUE, L"OK");
        break;
    case Verdict::NewerThanRelease:
    case Verdict::MoreThanUpToDate: {
        const bool more = offer.verdict == Verdict::MoreThanUpToDate;
        box.SetCaption(more ? L"Version more than up to date!" : L"Version up to date");
        box.FormatMessage(more ? L"Congratulations! This %sversion of Formulon (%s) is newer than the current released version (%s)"
                               : L"This %s version of Formulon (%s) is newer than the current released version (%s)",
                          L"", ProgramVersion().str().c_str(), offer.version.str().c_str());
        box.SetStandardIcon(more ? kExclamationIcon : kInformationIcon);
        box.AddButton(IDOK, TRUE, TRUE, L"&Ok");
        break;
    }
    }
    if (!interactive) return;
    AddOptionsButton(box);
    if (box.DoModal() == kOptionsButton) ShowOptions(AfxGetMainWnd());
}

void CUpdater::AddOptionsButton(CNGMessageBox& box) const
{
    if (m_bOfferOptions) box.AddButton(kOptionsButton, FALSE, FALSE, L"O&ptions...");
}

INT_PTR CUpdater::ShowOptions(CWnd* parent)
{
    CNGPropertySheet sheet(L"Options", parent, 0);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    COptionsUpdatesPage page(*this);
    page.m_bCheckForUpdates = m_bCheckForUpdates;
    page.m_nCheckInterval = m_nCheckInterval;
    page.m_nDevelopmentChoice = m_bCheckDevVersions ? 1 : 0;
    page.m_strVersionFileURL = m_strVersionFileURL;
    sheet.AddPage(&page);
    const INT_PTR result = sheet.DoModal();
    if (result == IDOK) {
        SetCheckForUpdates(page.m_bCheckForUpdates);
        m_nCheckInterval = page.m_nCheckInterval;
        SetCheckDevVersions(page.m_nDevelopmentChoice == 1);
        SetVersionFileURL(page.m_strVersionFileURL);
        if (CWinApp* app = Profile()) app->WriteProfileInt(kSection, L"Update check interval", m_nCheckInterval);
    }
    return result;
}

BOOL CUpdater::SetCheckForUpdates(BOOL check)
{
    return SetFlagSetting(L"Check for updates", m_bCheckForUpdates, check);
}

BOOL CUpdater::SetCheckDevVersions(BOOL check)
{
    return SetFlagSetting(L"Check for updated development versions", m_bCheckDevVersions, check);
}

BOOL CUpdater::SetFlagSetting(LPCWSTR key, BOOL& field, BOOL value)
{
    value = value ? TRUE : FALSE;
    if (field == value) return FALSE;
    field = value;
    if (CWinApp* app = Profile()) app->WriteProfileInt(kSection, key, value);
    NotifySettingChanged(key);
    return TRUE;
}

BOOL CUpdater::SetVersionFileURL(const CString& address)
{
    if (address == m_strVersionFileURL || !(address.IsEmpty() || IsWebAddress(address.view()))) return FALSE;
    m_strVersionFileURL = address;
    if (CWinApp* app = Profile()) app->WriteProfileString(kSection, L"Version File URL", address);
    return TRUE;
}

void CUpdater::NotifySettingChanged(LPCWSTR key)
{
    if (CWnd* main = AfxGetMainWnd()) PostMessageW(main->m_hWnd, RegisterWindowMessageW(key), 0, 0);
}
