#include "app/UpdateSchedule.h"

#include "platform/mfc/WinApp.h"

#include <charconv>
#include <string>

namespace {

constexpr const wchar_t* kSection = L"Options";
constexpr const wchar_t* kLastCheckKey = L"Last update check";
constexpr __time64_t kSecondsPerDay = 86400;

} // namespace

bool UpdateSchedule::IsCheckDue(__time64_t now) const
{
    if (!checkForUpdates) return false;
    if (intervalDays < 1 || lastCheck > now) return true;
    // Subtracted from now, which is a real time, the interval cannot overflow; the stored time may
    // be anything.
    return lastCheck <= now - static_cast<__time64_t>(intervalDays) * kSecondsPerDay;
}

__time64_t ReadLastUpdateCheck(CWinApp& app)
{
    std::string text = app.GetProfileString(kSection, kLastCheckKey).ToUtf8();
    __time64_t time = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), time);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size()) {
        // A profile in a file keeps integers as text too; a negative 32-bit one is an old low half.
        if (time < 0 && time >= INT32_MIN) time = static_cast<std::uint32_t>(time);
        return time;
    }
    return static_cast<__time64_t>(app.GetProfileInt(kSection, kLastCheckKey, 0));
}

void WriteLastUpdateCheck(CWinApp& app, __time64_t time)
{
    app.WriteProfileString(kSection, kLastCheckKey, CString(std::to_wstring(time)));
}
