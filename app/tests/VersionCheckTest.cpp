#include "app/UpdateSchedule.h"
#include "app/VersionCheck.h"

#include "platform/mfc/WinApp.h"
#include "platform/net/InternetSession.h"
#include "platform/net/tests/LoopbackHttpServer.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

namespace {

using Verdict = UpdateOffer::Verdict;

const CString kLocalVersion = L"3.1.0.25";
constexpr __time64_t kNow = 2200000000; // after 2038

class VersionCheckTest : public testing::Test {
protected:
    VersionCheckTest() { m_app.SetRegistryKey(L"Formulon"); }

    VersionDownload Download(const std::string& path, VersionDownloadTimeouts timeouts = {})
    {
        return DownloadVersionFile(CString(m_server.Url(path)), timeouts);
    }

    // A profile with a check and links already recorded, to see that a failed check changes none.
    void RecordEarlierCheck()
    {
        WriteLastUpdateCheck(m_app, 1700000000);
        m_app.WriteProfileString(L"Options", L"FAQ URL", L"https://example.invalid/faq");
    }
    void ExpectEarlierCheckKept()
    {
        EXPECT_EQ(ReadLastUpdateCheck(m_app), 1700000000);
        EXPECT_EQ(m_app.GetProfileString(L"Options", L"FAQ URL"), L"https://example.invalid/faq");
    }

    ScopedEnv m_noProxy{"no_proxy", "127.0.0.1"};
    TempSettingsFolder m_folder;
    CWinApp m_app{L"FLN"};
    LoopbackHttpServer m_server;
};

TEST_F(VersionCheckTest, TellsWhatTheServerOffers)
{
    struct Case {
        const char* name;
        std::string file;
        bool developmentVersions;
        Verdict verdict;
        const wchar_t* version;
        const wchar_t* downloadAddress;
    };
    const std::string release = "[Formulon]\r\nVersion=3.1.0.25\r\nDownloads=https://example.invalid/get\r\n";
    const Case cases[] = {
        {"newer release", "[Formulon]\nVersion=3, 1, 0, 26\nDescription=Faster\nDownloads=https://example.invalid/get\n",
         false, Verdict::NewRelease, L"3, 1, 0, 26", L"https://example.invalid/get"},
        {"equal", release, false, Verdict::UpToDate, L"3.1.0.25", L""},
        {"older release", "[Formulon]\nVersion=3.0\n", false, Verdict::NewerThanRelease, L"3.0", L""},
        {"1.300 is older than 3.1", "[Formulon]\nVersion=1.300\n", false, Verdict::NewerThanRelease, L"1.300", L""},
        {"newer development version", release + "[Formulon Beta]\nVersion=3.2\nDownloads=http://example.invalid/beta\n",
         true, Verdict::NewDevelopment, L"3.2", L"http://example.invalid/beta"},
        {"development versions not asked for", release + "[Formulon Beta]\nVersion=3.2\n", false, Verdict::UpToDate,
         L"3.1.0.25", L""},
        {"more than up to date", release + "[Formulon Beta]\nVersion=3.1.0.24\n", true, Verdict::MoreThanUpToDate,
         L"3.1.0.24", L""},
        {"no development section", release, true, Verdict::MoreThanUpToDate, L"3.1.0.25", L""},
        {"newer, with a key and a section the program does not read",
         "[Formulon]\nVersion=3.2\nReleaseDate=2026-12-01\nDownloads=https://example.invalid/get\n[Mirrors]\nEurope=x\n",
         false, Verdict::NewRelease, L"3.2", L"https://example.invalid/get"},
        {"newer, but a download address that is no web address",
         "[Formulon]\nVersion=4\nDownloads=file:///usr/bin/xterm\n", false, Verdict::NewRelease, L"4", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_server.Route("/version.txt", {200, c.file});
        VersionDownload download = Download("/version.txt");
        ASSERT_EQ(download.error, 0u);
        ASSERT_TRUE(download.file);
        UpdateOffer offer = EvaluateVersionFile(*download.file, kLocalVersion, c.developmentVersions);
        EXPECT_EQ(offer.verdict, c.verdict);
        EXPECT_EQ(offer.version, c.version);
        EXPECT_EQ(offer.downloadAddress, c.downloadAddress);
    }
}

TEST_F(VersionCheckTest, AFailedCheckHasAnErrorAndChangesNothing)
{
    struct Case {
        const char* name;
        LoopbackHttpServer::Response response;
        DWORD error;
    };
    const Case cases[] = {
        {"missing file", {404, "<html>Not found</html>"}, ERROR_INTERNET_ITEM_NOT_FOUND},
        {"malformed file", {200, "<html><body>Welcome</body></html>"}, ERROR_INVALID_DATA},
        {"oversized file", {200, "[Formulon]\nVersion=9\n" + std::string(CVersionFile::kMaxSize, ';')}, ERROR_FILE_TOO_LARGE},
        {"redirect to another scheme", {302, "", "Location: file:///etc/passwd\r\n"}, ERROR_HTTP_REDIRECT_FAILED},
        {"stalled server", {.stall = true}, ERROR_INTERNET_TIMEOUT},
    };
    RecordEarlierCheck();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_server.Route("/version.txt", c.response);
        VersionDownload download = Download("/version.txt", {.connect = 2000, .receive = 200});
        EXPECT_EQ(download.error, c.error);
        EXPECT_FALSE(download.file);
        EXPECT_FALSE(RecordVersionCheck(m_app, download, kNow));
        ExpectEarlierCheckKept();
    }
}

TEST_F(VersionCheckTest, ACompletedCheckRecordsItsTimeAndTheLinks)
{
    m_app.WriteProfileString(L"Options", L"Web URL", L"https://example.invalid/old");
    m_app.WriteProfileString(L"Options", L"Known Bugs URL", L"https://example.invalid/bugs");
    m_server.Route("/version.txt", {200, "[Formulon]\nVersion=3.1.0.25\nFAQ=https://example.invalid/faq\nWebSite=\n"});

    EXPECT_TRUE(RecordVersionCheck(m_app, Download("/version.txt"), kNow));
    EXPECT_EQ(ReadLastUpdateCheck(m_app), kNow);
    EXPECT_EQ(m_app.GetProfileString(L"Options", L"FAQ URL"), L"https://example.invalid/faq");
    EXPECT_EQ(m_app.GetProfileString(L"Options", L"Web URL"), L"https://example.invalid/old"); // kept when empty
    EXPECT_EQ(m_app.GetProfileString(L"Options", L"Known Bugs URL", L"absent"), L""); // cleared when empty
}

} // namespace
