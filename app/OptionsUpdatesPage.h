#pragma once
// The "Updates" page of the options sheet: whether and how often the program looks for a newer
// version, the address of the version file, whether development versions count, and "Check Now",
// which checks at once and waits for the result with the sheet disabled (at most a minute; the
// download's own time-outs are shorter).

#include "controls/HtmlStaticCtrl.h"
#include "controls/NGPropertySheet.h"

class CUpdater;

class COptionsUpdatesPage : public CNGPropertyPage {
public:
    static constexpr UINT_PTR kPollTimer = 1;
    static constexpr UINT kPollPeriodMs = 500;
    static constexpr DWORD kCheckWaitMs = 60000;

    explicit COptionsUpdatesPage(CUpdater& updater);

    BOOL m_bCheckForUpdates = TRUE;
    int m_nCheckInterval = 0;     // days, 0 to 90
    int m_nDevelopmentChoice = 0; // 0 release versions only, 1 release and development versions
    CString m_strVersionFileURL;  // empty or an http or https address
    CNGHtmlStaticCtrl m_wndNote;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCheckClicked();
    void OnCheckNow();
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    // Keeps the window alive until the check has ended or kCheckWaitMs have passed.
    void WaitForCheck();
    void EnableInterval();

    CUpdater& m_updater;
};
