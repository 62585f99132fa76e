#pragma once
// CVersionCheck: one download of the version file on a thread of its own, so that a slow or
// stalled server never holds the window. When the download has ended the worker posts a message
// to the window it was given. Every wait is bounded: the download has finite time-outs, and
// destroying a worker whose download still runs cancels it and waits for the thread a short
// while at most (a thread still busy then is left to end on its own and touches nothing of the
// worker's owner).

#include "app/VersionCheck.h"
#include "platform/user/WinUser.h"

#include <memory>
#include <thread>

class CVersionCheck {
public:
    // The longest the destructor waits for a cancelled download's thread.
    static constexpr DWORD kStopWaitMs = 2000;

    explicit CVersionCheck(const VersionDownloadTimeouts& timeouts = {});
    ~CVersionCheck();
    CVersionCheck(const CVersionCheck&) = delete;
    CVersionCheck& operator=(const CVersionCheck&) = delete;

    // Where the end of the next run is posted: WM_COMMAND posts (WM_COMMAND, id, 0), any other
    // message (message, 0, error code). Refused while running and for a window that is not one.
    BOOL SetNotify(HWND window, UINT message, UINT id);
    // Downloads the version file at address; refused while running. The notify target is used
    // for this run and then cleared.
    BOOL Start(const CString& address);
    bool IsRunning() const;
    // The outcome of the last run. Asked while the download still runs, it is a time-out (the
    // caller stopped waiting); the download goes on and its result is dropped.
    VersionDownload TakeResult();

private:
    struct Run;

    VersionDownloadTimeouts m_timeouts;
    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = 0;
    UINT m_notifyId = 0;
    std::shared_ptr<Run> m_run; // shared with the thread, which may outlive the worker
    std::thread m_thread;
};
