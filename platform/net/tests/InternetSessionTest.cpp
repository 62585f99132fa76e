#include "platform/net/InternetSession.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/net/tests/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

class InternetSessionTest : public testing::Test {
protected:
    // A proxy set in the environment must not stand between the tests and their own server.
    void SetUp() override { setenv("no_proxy", "127.0.0.1", 1); }

    // The body at path, or the failure code.
    std::pair<std::string, DWORD> Fetch(const std::wstring& url)
    {
        try {
            auto file = session.OpenURL(url.c_str(), 1, INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_DONT_CACHE);
            std::string body;
            char buffer[7]; // small, so that reading takes several turns
            while (UINT count = file->Read(buffer, sizeof buffer)) body.append(buffer, count);
            file->Close();
            return {body, 0};
        } catch (CInternetException* error) {
            DWORD code = error->m_dwError;
            error->Delete();
            return {std::string(), code};
        }
    }

    LoopbackHttpServer server;
    CInternetSession session;
};

TEST_F(InternetSessionTest, ReadsTheBodyOfAnAddress)
{
    server.Route("/file.txt", {200, "[Section]\r\nKey=Value\r\n"});
    EXPECT_EQ(Fetch(server.Url("/file.txt")), std::make_pair(std::string("[Section]\r\nKey=Value\r\n"), DWORD(0)));
}

TEST_F(InternetSessionTest, FollowsRedirectsBetweenWebAddresses)
{
    server.Route("/moved", {302, "", "Location: /here\r\n"});
    server.Route("/here", {200, "arrived"});
    EXPECT_EQ(Fetch(server.Url("/moved")).first, "arrived");
}

TEST_F(InternetSessionTest, EveryFailureHasItsOwnCode)
{
    struct Case {
        const char* name;
        LoopbackHttpServer::Response response;
        DWORD expected;
    };
    const Case cases[] = {
        {"missing", {404, "not found"}, ERROR_INTERNET_ITEM_NOT_FOUND},
        {"server error", {500, "broken"}, ERROR_HTTP_INVALID_SERVER_RESPONSE},
        {"redirect to a file", {301, "", "Location: file:///etc/passwd\r\n"}, ERROR_HTTP_REDIRECT_FAILED},
        {"redirect to ftp", {302, "", "Location: ftp://127.0.0.1/x\r\n"}, ERROR_HTTP_REDIRECT_FAILED},
        {"redirect loop", {302, "", "Location: /case\r\n"}, ERROR_HTTP_REDIRECT_FAILED},
        {"oversized", {200, std::string(5000, 'x')}, ERROR_FILE_TOO_LARGE},
    };
    session.SetMaxBodySize(4096);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Route("/case", c.response);
        EXPECT_EQ(Fetch(server.Url("/case")), std::make_pair(std::string(), c.expected));
    }
}

TEST_F(InternetSessionTest, AStalledServerEndsInATimeOut)
{
    server.Route("/stall", {.stall = true});
    session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 200);
    EXPECT_EQ(Fetch(server.Url("/stall")).second, ERROR_INTERNET_TIMEOUT);
    EXPECT_EQ(server.RequestCount(), 1);
}

TEST_F(InternetSessionTest, AnotherThreadCanCancelATransfer)
{
    // The time-outs alone would hold the transfer for a minute; the flag ends it within a second.
    server.Route("/stall", {.stall = true});
    session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 30000);
    std::atomic<bool> cancel = false;
    session.SetCancelFlag(&cancel);
    std::thread canceller([&] {
        WaitUntil([&] { return server.RequestCount() > 0; });
        cancel = true;
    });
    EXPECT_EQ(Fetch(server.Url("/stall")).second, ERROR_INTERNET_OPERATION_CANCELLED) << "the flag, not a time-out, ended it";
    canceller.join();
}

TEST_F(InternetSessionTest, AServerThatTricklesCannotHoldTheTransfer)
{
    // A byte every 50 ms never trips the receive time-out, but the 10 s body outlasts the whole
    // transfer's bound of 300 + 2 x 300 ms.
    server.Route("/trickle", {.body = std::string(200, 'x'), .trickleMs = 50});
    session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 300);
    session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 300);
    EXPECT_EQ(Fetch(server.Url("/trickle")).second, ERROR_INTERNET_TIMEOUT);
}

TEST_F(InternetSessionTest, OnlyWebAddressesAreOpened)
{
    for (const wchar_t* url : {L"file:///etc/passwd", L"ftp://127.0.0.1/x", L"", L"127.0.0.1/x", L"javascript:alert(1)"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(url)));
        EXPECT_EQ(Fetch(url).second, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    }
    EXPECT_EQ(server.RequestCount(), 0);
}

TEST(WebAddressTest, OnlyHttpAndHttpsWithoutBlanks)
{
    struct Case {
        const wchar_t* url;
        bool web;
    };
    const Case cases[] = {
        {L"http://host/file", true}, {L"HTTPS://host", true},  {L"https://", false},
        {L"http:/host", false},      {L"file:///x", false},    {L"ftp://host", false},
        {L"mailto:a@b", false},      {L" http://host", false}, {L"http://host/a b", false},
        {L"http://host\n", false},  {L"http://ho\tst", false}, {L"http://host/\x7f", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsWebAddress(c.url), c.web) << testing::PrintToString(std::wstring(c.url));
}

TEST_F(InternetSessionTest, NoServerListeningCannotConnect)
{
    std::wstring url;
    {
        LoopbackHttpServer gone;
        url = gone.Url("/x");
    }
    EXPECT_EQ(Fetch(url).second, ERROR_INTERNET_CANNOT_CONNECT);
}

TEST_F(InternetSessionTest, ATimeOutOfZeroKeepsAFiniteOne)
{
    session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 0);
    session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 5000);
    EXPECT_EQ(session.QueryOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT), CInternetSession::kDefaultTimeout);
    EXPECT_EQ(session.QueryOption(INTERNET_OPTION_CONNECT_TIMEOUT), 5000u);
    try {
        session.SetOption(99, 1);
        ADD_FAILURE() << "an unknown option was accepted";
    } catch (CInternetException* error) {
        EXPECT_EQ(error->m_dwError, ERROR_INTERNET_INVALID_OPTION);
        error->Delete();
    }
}

TEST_F(InternetSessionTest, WithoutTheDownloadLibraryNothingIsFetchedAndTheMessageNamesIt)
{
    DownloadLibrary missing("libfln-no-such-library.so.0");
    ScopedDownloadLibrary use(missing);
    server.Route("/file.txt", {200, "body"});
    EXPECT_EQ(Fetch(server.Url("/file.txt")).second, DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(server.RequestCount(), 0);
    EXPECT_EQ(InternetErrorText(ERROR_MOD_NOT_FOUND), CString(L"The download library (libcurl.so.4) is not installed."));
}

} // namespace
