#include "app/VersionCheckThread.h"

#include "platform/net/InternetSession.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

struct CVersionCheck::Run {
    std::mutex mutex;
    std::condition_variable ended;
    bool running = true;
    std::atomic<bool> cancel = false;
    VersionDownload result;
};

CVersionCheck::CVersionCheck(const VersionDownloadTimeouts& timeouts) : m_timeouts(timeouts) {}

CVersionCheck::~CVersionCheck()
{
    if (!m_thread.joinable()) return;
    m_run->cancel = true;
    bool ended = false;
    {
        std::unique_lock lock(m_run->mutex);
        ended = m_run->ended.wait_for(lock, std::chrono::milliseconds(kStopWaitMs), [this] { return !m_run->running; });
    }
    if (ended)
        m_thread.join(); // it only has to return
    else
        m_thread.detach();
}

BOOL CVersionCheck::SetNotify(HWND window, UINT message, UINT id)
{
    if (IsRunning() || !window || !IsWindow(window)) return FALSE;
    m_notifyWindow = window;
    m_notifyMessage = message;
    m_notifyId = id;
    return TRUE;
}

BOOL CVersionCheck::Start(const CString& address)
{
    if (IsRunning()) return FALSE;
    if (m_thread.joinable()) m_thread.join(); // the last run's thread, which has ended
    auto run = std::make_shared<Run>();
    struct Notice {
        HWND window;
        UINT message, id;
    } notice{m_notifyWindow, m_notifyMessage, m_notifyId};
    m_notifyWindow = nullptr;
    m_notifyMessage = m_notifyId = 0;
    try {
        m_thread = std::thread([run, notice, timeouts = m_timeouts, url = address.str()] {
            VersionDownload download = DownloadVersionFile(CString(url), timeouts, &run->cancel);
            const DWORD error = download.error;
            {
                std::lock_guard lock(run->mutex);
                run->result = std::move(download);
                run->running = false;
            }
            run->ended.notify_all();
            // Posted after the result is in place, so the window finds it when the message comes.
            if (notice.window && !run->cancel) {
                if (notice.message == WM_COMMAND)
                    PostMessageW(notice.window, WM_COMMAND, notice.id, 0);
                else
                    PostMessageW(notice.window, notice.message, 0, static_cast<LPARAM>(error));
            }
        });
    } catch (const std::system_error&) {
        return FALSE; // no thread: not running
    }
    m_run = std::move(run);
    return TRUE;
}

bool CVersionCheck::IsRunning() const
{
    if (!m_run) return false;
    std::lock_guard lock(m_run->mutex);
    return m_run->running;
}

VersionDownload CVersionCheck::TakeResult()
{
    if (!m_run) return {ERROR_INTERNET_CANNOT_CONNECT, std::nullopt};
    std::lock_guard lock(m_run->mutex);
    if (m_run->running) return {ERROR_INTERNET_TIMEOUT, std::nullopt};
    return std::move(m_run->result);
}
