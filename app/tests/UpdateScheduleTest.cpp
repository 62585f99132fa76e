#include "app/UpdateSchedule.h"

#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr __time64_t kDay = 86400;
constexpr __time64_t kEndOf32BitTime = 2147483648; // 19 January 2038, 03:14:08

TEST(UpdateScheduleTest, IsCheckDueAfterTheInterval)
{
    for (__time64_t lastCheck : {__time64_t(1700000000), kEndOf32BitTime - 3 * kDay, kEndOf32BitTime + 5, __time64_t(4102444800)}) {
        for (int days : {1, 7, 30, 90}) {
            SCOPED_TRACE(testing::Message() << "last check " << lastCheck << ", every " << days << " days");
            UpdateSchedule schedule{true, days, lastCheck};
            EXPECT_FALSE(schedule.IsCheckDue(lastCheck));
            EXPECT_FALSE(schedule.IsCheckDue(lastCheck + days * kDay - 1));
            EXPECT_TRUE(schedule.IsCheckDue(lastCheck + days * kDay));
            EXPECT_TRUE(schedule.IsCheckDue(lastCheck + days * kDay + 1));
        }
    }
}

TEST(UpdateScheduleTest, IntervalBelowOneDayIsAlwaysDue)
{
    for (int days : {0, -1}) {
        EXPECT_TRUE((UpdateSchedule{true, days, kEndOf32BitTime}.IsCheckDue(kEndOf32BitTime)));
        EXPECT_TRUE((UpdateSchedule{true, days, 0}.IsCheckDue(0)));
    }
}

TEST(UpdateScheduleTest, CheckingOffIsNeverDue)
{
    for (int days : {0, 1, 90}) EXPECT_FALSE((UpdateSchedule{false, days, 0}.IsCheckDue(kEndOf32BitTime + 100 * kDay)));
}

TEST(UpdateScheduleTest, ALastCheckInTheFutureOrDamagedDoesNotHoldTheCheckOff)
{
    __time64_t now = kEndOf32BitTime + 10;
    EXPECT_TRUE((UpdateSchedule{true, 7, now + kDay}.IsCheckDue(now)));
    EXPECT_TRUE((UpdateSchedule{true, 90, INT64_MAX}.IsCheckDue(now)));
    EXPECT_TRUE((UpdateSchedule{true, 90, INT64_MIN}.IsCheckDue(now)));
    // The 32-bit low half of a time after 2038 would lie in 1901; the full time does not.
    EXPECT_FALSE((UpdateSchedule{true, 7, now - kDay}.IsCheckDue(now)));
}

class LastUpdateCheckTest : public testing::Test {
protected:
    LastUpdateCheckTest() { m_app.SetRegistryKey(L"Formulon"); }

    TempSettingsFolder m_folder;
    CWinApp m_app{L"FLN"};
};

TEST_F(LastUpdateCheckTest, KeepsAll64Bits)
{
    EXPECT_EQ(ReadLastUpdateCheck(m_app), 0);
    for (__time64_t time : {__time64_t(1700000000), kEndOf32BitTime, kEndOf32BitTime * 2 + 7, __time64_t(253402300799)}) {
        WriteLastUpdateCheck(m_app, time);
        EXPECT_EQ(ReadLastUpdateCheck(m_app), time);
    }
}

TEST_F(LastUpdateCheckTest, ReadsAnOld32BitValue)
{
    m_app.WriteProfileInt(L"Options", L"Last update check", 1700000000);
    EXPECT_EQ(ReadLastUpdateCheck(m_app), 1700000000);
    m_app.WriteProfileInt(L"Options", L"Last update check", static_cast<int>(0x90000000u)); // 2046
    EXPECT_EQ(ReadLastUpdateCheck(m_app), 0x90000000);
}

TEST_F(LastUpdateCheckTest, AProfileFileKeepsIt)
{
    CWinApp iniApp{L"FLN"};
    std::string path = m_folder.root() + "/fln-test.ini";
    iniApp.m_pszProfileName = CString(std::wstring(path.begin(), path.end()));
    iniApp.WriteProfileInt(L"Options", L"Last update check", static_cast<int>(0x90000000u));
    EXPECT_EQ(ReadLastUpdateCheck(iniApp), 0x90000000);
    WriteLastUpdateCheck(iniApp, kEndOf32BitTime * 3);
    EXPECT_EQ(ReadLastUpdateCheck(iniApp), kEndOf32BitTime * 3);
}

} // namespace
