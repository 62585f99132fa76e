#pragma once
// Fetching a web address: an Internet session that opens a URL and hands back its body as a file
// to read. The whole transfer happens inside OpenURL, on the calling thread, so a session belongs
// to one thread at a time; every failure throws a CInternetException with a nonzero code.
//
//   CInternetSession session;
//   session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 10000);
//   std::unique_ptr<CInternetFile> file = session.OpenURL(L"https://host/file.txt");
//   char buffer[1024];
//   while (UINT count = file->Read(buffer, sizeof buffer)) { ... }
//
// Only http and https are fetched, a redirect included; no wait is without bound (a time-out of
// 0, which would mean for ever, keeps the default; the receive time-out counts from the last byte
// received, and the whole transfer takes at most the connect time-out plus twice the receive
// time-out) and no body is larger than the session allows.

#include "platform/base/CString.h"
#include "platform/base/ErrorCodes.h"
#include "platform/base/Exceptions.h"
#include "platform/sys/SharedLibrary.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

// Failure codes of the Internet calls (the system's documented values).
constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
constexpr DWORD ERROR_INTERNET_BAD_OPTION_LENGTH = 12010;
constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
constexpr DWORD ERROR_INTERNET_ITEM_NOT_FOUND = 12028;
constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
constexpr DWORD ERROR_INTERNET_SECURITY_CHANNEL_ERROR = 12157;
constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
constexpr DWORD ERROR_HTTP_REDIRECT_FAILED = 12156;

// Options, in milliseconds.
constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
constexpr DWORD INTERNET_OPTION_DATA_RECEIVE_TIMEOUT = 8;

constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
// Flags of OpenURL. Nothing is cached and bodies are passed on as sent, so both are accepted and
// change nothing.
constexpr DWORD INTERNET_FLAG_TRANSFER_ASCII = 0x00000001;
constexpr DWORD INTERNET_FLAG_DONT_CACHE = 0x04000000;
constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;

class CInternetException : public CException {
    DECLARE_DYNAMIC(CInternetException)
public:
    explicit CInternetException(DWORD error) : m_dwError(error) {}

    DWORD m_dwError;
    DWORD_PTR m_dwContext = 0;

protected:
    CString Message() const override;
};

[[noreturn]] void AfxThrowInternetException(DWORD_PTR context, DWORD error);

// The text a user reads for one of the failure codes above (or ERROR_FILE_TOO_LARGE, or
// ERROR_MOD_NOT_FOUND when the download library is not installed).
CString InternetErrorText(DWORD error);

// Whether url is an address this layer fetches: "http://" or "https://" (in any case) and more,
// with no blank or control character anywhere.
bool IsWebAddress(std::wstring_view url);

// A fetched body, read front to back.
class CInternetFile {
public:
    explicit CInternetFile(std::string body, CString url) : m_body(std::move(body)), m_url(std::move(url)) {}

    // Copies up to count bytes into buffer; 0 at the end.
    UINT Read(void* buffer, UINT count);
    void Close()
    {
        m_body.clear();
        m_position = 0;
    }
    const CString& GetFileURL() const { return m_url; }

private:
    std::string m_body;
    std::size_t m_position = 0;
    CString m_url;
};

// libcurl, opened on the first transfer rather than linked into the program: it and the two dozen
// libraries it needs (TLS, Kerberos, LDAP...) would otherwise be loaded and relocated at every
// start, for a check that runs now and then. Without it, OpenURL fails with ERROR_MOD_NOT_FOUND.
struct DownloadFunctions;

class DownloadLibrary {
public:
    explicit DownloadLibrary(const char* fileName);
    ~DownloadLibrary();
    DownloadLibrary(const DownloadLibrary&) = delete;
    DownloadLibrary& operator=(const DownloadLibrary&) = delete;

    // The library's functions, opened, resolved and initialised on the first call; null when the
    // library or one of its functions is missing. The first call's answer stands.
    const DownloadFunctions* Load();

private:
    fln::sys::SharedLibrary m_library;
    std::once_flag m_loaded;
    std::unique_ptr<DownloadFunctions> m_functions;
};

// For tests: sessions use `library` in place of libcurl while this lives.
class ScopedDownloadLibrary {
public:
    explicit ScopedDownloadLibrary(DownloadLibrary& library);
    ~ScopedDownloadLibrary();
    ScopedDownloadLibrary(const ScopedDownloadLibrary&) = delete;
    ScopedDownloadLibrary& operator=(const ScopedDownloadLibrary&) = delete;

private:
    DownloadLibrary* m_previous;
};

class CInternetSession {
public:
    static constexpr DWORD kDefaultTimeout = 30000;
    static constexpr std::size_t kDefaultMaxBodySize = 1 << 20;

    explicit CInternetSession(LPCWSTR agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCWSTR proxyName = nullptr,
                              LPCWSTR proxyBypass = nullptr, DWORD flags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // Sets one of the time-outs above; throws CInternetException (ERROR_INTERNET_INVALID_OPTION)
    // for any other option.
    void SetOption(DWORD option, DWORD value);
    // The time-out in force for the option (after 0 was replaced by the default).
    DWORD QueryOption(DWORD option) const;
    // The largest body OpenURL accepts; a longer one fails with ERROR_FILE_TOO_LARGE
    // (from platform/base/ErrorCodes.h).
    void SetMaxBodySize(std::size_t bytes) { m_maxBodySize = bytes; }
    // A flag another thread may set to end a transfer under way: OpenURL then fails with
    // ERROR_INTERNET_OPERATION_CANCELLED within about a second. The flag must outlive the session.
    void SetCancelFlag(const std::atomic<bool>* cancel) { m_cancel = cancel; }

    // Fetches url (http or https, following redirects to http or https only) and returns its body.
    // A server that answers with an error status fails with ERROR_INTERNET_ITEM_NOT_FOUND (404,
    // 410) or ERROR_HTTP_INVALID_SERVER_RESPONSE.
    std::unique_ptr<CInternetFile> OpenURL(LPCWSTR url, DWORD_PTR context = 1,
                                           DWORD flags = INTERNET_FLAG_TRANSFER_ASCII, LPCWSTR headers = nullptr,
                                           DWORD headersLength = 0);
    void Close() {}

private:
    CString m_agent;
    DWORD_PTR m_context;
    DWORD m_connectTimeout = kDefaultTimeout;
    DWORD m_receiveTimeout = kDefaultTimeout;
    std::size_t m_maxBodySize = kDefaultMaxBodySize;
    const std::atomic<bool>* m_cancel = nullptr;
};
