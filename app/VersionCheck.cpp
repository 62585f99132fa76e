#include "app/VersionCheck.h"

#include "app/UpdateSchedule.h"
#include "platform/base/StringFormat.h"
#include "platform/mfc/WinApp.h"
#include "platform/net/InternetSession.h"

#include <string>

VersionDownload DownloadVersionFile(const CString& address, const VersionDownloadTimeouts& timeouts,
                                    const std::atomic<bool>* cancel)
{
    VersionDownload download;
    try {
        CInternetSession session;
        session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connect);
        session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, timeouts.receive);
        session.SetMaxBodySize(CVersionFile::kMaxSize);
        session.SetCancelFlag(cancel);
        std::unique_ptr<CInternetFile> file =
            session.OpenURL(address, 1, INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_DONT_CACHE);
        std::string bytes;
        char buffer[1024];
        while (UINT count = file->Read(buffer, sizeof buffer)) bytes.append(buffer, count);
        // An empty answer is no version file (read as one, it would say "0.0.0").
        if (!bytes.empty()) download.file = CVersionFile::Parse(bytes);
        if (!download.file) download.error = ERROR_INVALID_DATA;
    } catch (CInternetException* error) {
        download.error = error->m_dwError;
        error->Delete();
    }
    return download;
}

CString DescribeCheckFailure(DWORD error, const CString& unreachable)
{
    switch (error) {
    case ERROR_INVALID_DATA: return L"The update source sent no valid version file.";
    // Without the download library no connection is to blame: the message names what is missing.
    case ERROR_MOD_NOT_FOUND: return L"Could not load version info! " + InternetErrorText(error);
    case ERROR_FILE_TOO_LARGE:
        return CString(FormatWide(L"The update source sent a file larger than a version file may be (%u bytes).",
                                  static_cast<unsigned>(CVersionFile::kMaxSize)).c_str());
    default: return unreachable;
    }
}

UpdateOffer EvaluateVersionFile(const CVersionFile& file, const CString& localVersion, bool developmentVersions)
{
    using Verdict = UpdateOffer::Verdict;
    auto offer = [&](Verdict verdict, LPCWSTR section) {
        return UpdateOffer{verdict, file.GetValue(section, L"Version"), file.GetValue(section, L"Description"),
                           file.GetDownloadAddress(section)};
    };
    int development = developmentVersions ? file.CompareVersion(CVersionFile::kDevelopmentSection, localVersion) : 0;
    if (development > 0) return offer(Verdict::NewDevelopment, CVersionFile::kDevelopmentSection);
    int release = file.CompareVersion(CVersionFile::kReleaseSection, localVersion);
    if (release > 0) return offer(Verdict::NewRelease, CVersionFile::kReleaseSection);

    CString released = file.GetValue(CVersionFile::kReleaseSection, L"Version");
    if (development < 0) {
        CString latest = file.GetValue(CVersionFile::kDevelopmentSection, L"Version");
        return UpdateOffer{Verdict::MoreThanUpToDate, latest.IsEmpty() ? released : latest};
    }
    return UpdateOffer{release < 0 ? Verdict::NewerThanRelease : Verdict::UpToDate, released};
}

bool RecordVersionCheck(CWinApp& app, const VersionDownload& download, __time64_t now)
{
    if (download.error || !download.file) return false;
    WriteLastUpdateCheck(app, now);

    struct Link {
        LPCWSTR fileKey;
        LPCWSTR profileKey;
        bool emptyClears;
    };
    static constexpr Link kLinks[] = {
        {L"WebSite", L"Web URL", false},
        {L"Email", L"Email URL", false},
        {L"FAQ", L"FAQ URL", true},
        {L"DiscussionBoard", L"Discussion Board URL", true},
        {L"KnownBugs", L"Known Bugs URL", true},
        {L"MailingList", L"Mailing List URL", true},
        {L"AboutMe", L"About Me URL", false},
    };
    for (const Link& link : kLinks) {
        CString value = download.file->GetValue(CVersionFile::kReleaseSection, link.fileKey);
        // A link the file leaves out is cleared, also where the profile held none (the built-in one).
        if (value.IsEmpty() && !link.emptyClears) continue;
        app.WriteProfileString(L"Options", link.profileKey, value);
    }
    return true;
}
