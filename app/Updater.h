#pragma once
// CUpdater: the update check as the user meets it. It keeps the check's settings in the profile
// section "Options", says whether a check is due, starts one on a worker thread, evaluates the
// finished check on the window thread and tells the user; its options sheet sets the schedule
// and the address of the version file. That address has no built-in value: until the user sets
// one, the menu command says so and offers the options.

#include "app/UpdateSchedule.h"
#include "app/VersionCheck.h"
#include "app/VersionCheckThread.h"
#include "platform/base/CString.h"

#include <memory>

class CWnd;

class CUpdater {
public:
    CUpdater();
    virtual ~CUpdater();
    CUpdater(const CUpdater&) = delete;
    CUpdater& operator=(const CUpdater&) = delete;

    // Reads every setting from the profile, each with its present value as the default.
    virtual BOOL LoadSettings();

    BOOL IsCheckDue() const;
    // A worker exists and its download runs.
    BOOL IsChecking() const;
    // The menu command: when a check is due, starts one that posts ID_UPDATE_CHECK_DONE to the
    // main window when it ends (TRUE); with no version file address set, or no check due (checking
    // turned off, or the interval not over), says why and offers the options instead.
    BOOL CheckIfDue();
    // Starts a check of the version file at address, telling window as CVersionCheck::SetNotify
    // says (no window: nobody is told). A check that runs already is returned unchanged. Null
    // when no check could start.
    CVersionCheck* StartCheck(const CString& address, HWND window, UINT message, UINT id);
    // ID_UPDATE_CHECK_DONE: evaluates the finished check for the user, whose result box also leads
    // to the options; a failed check is reported with its cause, changes nothing and offers the
    // options. A notice with no finished check waiting is ignored.
    void OnCheckDone();
    // Evaluates the finished check, records it (the check time and the server's links) and
    // shows what it found: a newer version always, the other verdicts when interactive. The
    // worker is gone afterwards. Returns 0, or the error code of a check that failed, did not
    // end in time or was never started; such a check records nothing and shows nothing.
    virtual DWORD CheckForUpdate(BOOL developmentVersions, BOOL interactive);
    // The "Options" sheet with the "Updates" page; the settings change when it ends with OK.
    virtual INT_PTR ShowOptions(CWnd* parent);

    // Each stores a changed value in the profile; the flags also post the window message
    // registered under their key to the main window. TRUE when the value changed.
    BOOL SetCheckForUpdates(BOOL check);
    BOOL SetCheckDevVersions(BOOL check);
    // Only an empty text or an http or https address is kept.
    BOOL SetVersionFileURL(const CString& address);

    // The download's time-outs (tests shorten them).
    void SetTimeouts(const VersionDownloadTimeouts& timeouts) { m_timeouts = timeouts; }

    BOOL m_bMailingListPrompt = TRUE;
    CString m_strEmailURL;
    CString m_strWebURL;
    CString m_strFAQURL;
    CString m_strDiscussionBoardURL;
    CString m_strKnownBugsURL;
    CString m_strMailingListURL;
    CString m_strAboutMeURL;
    CString m_strDevStudioVersion;
    CString m_strVersionFileURL;
    BOOL m_bCheckForUpdates = TRUE;
    int m_nCheckInterval = 0; // days
    BOOL m_bCheckDevVersions = FALSE;
    __time64_t m_lastCheck;

protected:
    // Posts the window message registered under key to the main window.
    virtual void NotifySettingChanged(LPCWSTR key);

private:
    BOOL SetFlagSetting(LPCWSTR key, BOOL& field, BOOL value);
    void LoadLinks();
    void ShowVerdict(const struct UpdateOffer& offer, BOOL interactive);
    void AddOptionsButton(class CNGMessageBox& box) const;
    // Tells the reason and asks whether to open the options.
    void OfferOptions(const CString& reason);

    VersionDownloadTimeouts m_timeouts;
    std::unique_ptr<CVersionCheck> m_worker;
    bool m_bOfferOptions = false; // the result boxes offer the options (the menu's check)
};

// "Now" in seconds since 1970, from the program's clock.
__time64_t CurrentTime64();
