#pragma once
// The window-free half of an update check: fetching the version file, deciding what it offers
// against the running version, and recording a completed check in the profile.

#include "app/VersionFile.h"
#include "platform/base/Time.h"

#include <atomic>
#include <optional>

class CWinApp;

struct VersionDownload {
    DWORD error = 0;                  // 0 exactly when file holds the version file
    std::optional<CVersionFile> file;
};

struct VersionDownloadTimeouts {
    DWORD connect = 15000; // milliseconds
    DWORD receive = 15000; // without a byte from the server
};

// Fetches and reads the version file at address (http or https). A failure of the transfer gives
// its Internet error code, a file larger than CVersionFile::kMaxSize ERROR_FILE_TOO_LARGE and an
// empty or malformed one ERROR_INVALID_DATA. Setting *cancel from another thread ends it early with
// ERROR_INTERNET_OPERATION_CANCELLED.
VersionDownload DownloadVersionFile(const CString& address, const VersionDownloadTimeouts& timeouts = {},
                                    const std::atomic<bool>* cancel = nullptr);

// What the user is told about a check that failed with error: a file that is no version file or
// is too large is named as such; any other failure is the server's or the connection's, told as
// `unreachable`.
CString DescribeCheckFailure(DWORD error, const CString& unreachable);

// What the version file offers the running program, for the user to be told.
struct UpdateOffer {
    enum class Verdict {
        NewRelease,       // the released version is newer
        NewDevelopment,   // the development version is newer (only when development versions count)
        UpToDate,         // this is the released version
        NewerThanRelease, // this is newer than the released version
        MoreThanUpToDate, // this is newer than the development version too
    };
    Verdict verdict = Verdict::UpToDate;
    CString version;         // the newer version, or the one this was compared with
    CString description;     // of the newer version
    CString downloadAddress; // of the newer version; empty unless it is an http or https address
};

UpdateOffer EvaluateVersionFile(const CVersionFile& file, const CString& localVersion, bool developmentVersions);

// Records a completed check in the section "Options" of the profile: the check time, and the web
// links the file names ("WebSite", "Email" and "AboutMe" only when given; "FAQ",
// "DiscussionBoard", "KnownBugs" and "MailingList" always, so that an empty one clears the link).
// A failed download records nothing and returns false.
bool RecordVersionCheck(CWinApp& app, const VersionDownload& download, __time64_t now);
