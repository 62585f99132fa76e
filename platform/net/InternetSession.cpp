#include "platform/net/InternetSession.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cwctype>
#include <mutex>

IMPLEMENT_DYNAMIC(CInternetException, CException)

namespace {

constexpr const char* kDownloadLibraryFile = "libcurl.so.4";

}

CString CInternetException::Message() const { return InternetErrorText(m_dwError); }

CString InternetErrorText(DWORD error)
{
    switch (error) {
    case ERROR_MOD_NOT_FOUND: return L"The download library (" + CString(kDownloadLibraryFile) + L") is not installed.";
    case ERROR_INTERNET_TIMEOUT: return L"The operation timed out.";
    case ERROR_INTERNET_INVALID_URL:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME: return L"The address is not a valid web address.";
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return L"The server name could not be resolved.";
    case ERROR_INTERNET_ITEM_NOT_FOUND: return L"The requested item was not found on the server.";
    case ERROR_INTERNET_CANNOT_CONNECT: return L"A connection to the server could not be made.";
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET: return L"The connection to the server was lost.";
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR: return L"A secure connection to the server could not be made.";
    case ERROR_HTTP_REDIRECT_FAILED: return L"The server redirected to an address that is not allowed.";
    case ERROR_FILE_TOO_LARGE: return L"The server sent more data than expected.";
    default: return L"The server could not be reached.";
    }
}

void AfxThrowInternetException(DWORD_PTR context, DWORD error)
{
    auto* exception = new CInternetException(error);
    exception->m_dwContext = context;
    throw exception;
}

UINT CInternetFile::Read(void* buffer, UINT count)
{
    std::size_t available = m_body.size() - m_position;
    std::size_t taken = std::min<std::size_t>(count, available);
    std::memcpy(buffer, m_body.data() + m_position, taken);
    m_position += taken;
    return static_cast<UINT>(taken);
}

bool IsWebAddress(std::wstring_view url)
{
    auto startsWithNoCase = [&](std::wstring_view prefix) {
        return url.size() > prefix.size()
               && std::equal(prefix.begin(), prefix.end(), url.begin(),
                             [](wchar_t a, wchar_t b) { return a == static_cast<wchar_t>(std::towlower(b)); });
    };
    bool plain = std::none_of(url.begin(), url.end(), [](wchar_t c) { return c <= L' ' || c == 0x7F; });
    return plain && (startsWithNoCase(L"http://") || startsWithNoCase(L"https://"));
}

// Every libcurl function the session calls, without its "curl_" prefix.
#define FLN_ENUMERATE_DOWNLOAD_FUNCTIONS(F) \
    F(global_init)                          \
    F(easy_init)                            \
    F(easy_setopt)                          \
    F(easy_perform)                         \
    F(easy_getinfo)                         \
    F(easy_cleanup)

struct DownloadFunctions {
#define FLN_DOWNLOAD_POINTER(name) decltype(::curl_##name)* name = nullptr;
    FLN_ENUMERATE_DOWNLOAD_FUNCTIONS(FLN_DOWNLOAD_POINTER)
#undef FLN_DOWNLOAD_POINTER
};

namespace {

std::atomic<DownloadLibrary*> g_replacement = nullptr;

DownloadLibrary& LibraryInUse()
{
    // Never destroyed: a transfer on another thread may still run while the program ends.
    static auto* system = new DownloadLibrary(kDownloadLibraryFile);
    DownloadLibrary* replacement = g_replacement.load(std::memory_order_acquire);
    return replacement ? *replacement : *system;
}

// The state of one transfer, seen by libcurl's callbacks.
struct Transfer {
    const DownloadFunctions& call;
    CURL* curl;
    std::string body;
    std::size_t maxBodySize;
    bool tooLarge = false;
    std::chrono::milliseconds receiveTimeout;
    std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
    curl_off_t lastReceived = 0;
    bool stalled = false;
    const std::atomic<bool>* cancel = nullptr;

    static std::size_t Write(char* data, std::size_t, std::size_t count, void* user)
    {
        auto* transfer = static_cast<Transfer*>(user);
        if (count > transfer->maxBodySize - transfer->body.size()) {
            transfer->tooLarge = true;
            return 0; // ends the transfer with CURLE_WRITE_ERROR
        }
        transfer->body.append(data, count);
        return count;
    }

    // libcurl's low-speed limit counts whole seconds; this ends a connected transfer that has
    // received nothing for the receive time-out, whatever its length.
    static int Progress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t)
    {
        auto* transfer = static_cast<Transfer*>(user);
        if (transfer->cancel && transfer->cancel->load()) return 1;
        auto now = std::chrono::steady_clock::now();
        curl_off_t connectTime = 0;
        transfer->call.easy_getinfo(transfer->curl, CURLINFO_CONNECT_TIME_T, &connectTime);
        if (connectTime == 0 || received != transfer->lastReceived) { // connecting has a time-out of its own
            transfer->lastReceived = received;
            transfer->lastProgress = now;
            return 0;
        }
        if (now - transfer->lastProgress < transfer->receiveTimeout) return 0;
        transfer->stalled = true;
        return 1; // ends the transfer with CURLE_ABORTED_BY_CALLBACK
    }
};

DWORD ErrorOf(CURLcode code, const Transfer& transfer, long status)
{
    switch (code) {
    case CURLE_OK: return ERROR_SUCCESS;
    case CURLE_UNSUPPORTED_PROTOCOL: return ERROR_HTTP_REDIRECT_FAILED; // the first address was checked
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_TOO_MANY_REDIRECTS: return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_HTTP_RETURNED_ERROR:
        return status == 404 || status == 410 ? ERROR_INTERNET_ITEM_NOT_FOUND : ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_WRITE_ERROR: return transfer.tooLarge ? ERROR_FILE_TOO_LARGE : ERROR_INTERNET_INTERNAL_ERROR;
    case CURLE_ABORTED_BY_CALLBACK:
        if (transfer.stalled) return ERROR_INTERNET_TIMEOUT;
        return transfer.cancel && transfer.cancel->load() ? ERROR_INTERNET_OPERATION_CANCELLED : ERROR_INTERNET_INTERNAL_ERROR;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE: return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE: return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_SEND_ERROR: return ERROR_INTERNET_CONNECTION_RESET;
    case CURLE_WEIRD_SERVER_REPLY: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

} // namespace

DownloadLibrary::DownloadLibrary(const char* fileName) : m_library(fileName) {}

DownloadLibrary::~DownloadLibrary() = default;

const DownloadFunctions* DownloadLibrary::Load()
{
    std::call_once(m_loaded, [this] {
        auto functions = std::make_unique<DownloadFunctions>();
        bool complete = true;
        // Every function is looked up, so that a table is either complete or never used.
#define FLN_RESOLVE_DOWNLOAD_FUNCTION(name) complete = m_library.resolve(functions->name, "curl_" #name) && complete;
        FLN_ENUMERATE_DOWNLOAD_FUNCTIONS(FLN_RESOLVE_DOWNLOAD_FUNCTION)
#undef FLN_RESOLVE_DOWNLOAD_FUNCTION
        if (complete && functions->global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK)
            m_functions = std::move(functions);
    });
    return m_functions.get();
}

ScopedDownloadLibrary::ScopedDownloadLibrary(DownloadLibrary& library)
    : m_previous(g_replacement.exchange(&library, std::memory_order_acq_rel))
{
}

ScopedDownloadLibrary::~ScopedDownloadLibrary() { g_replacement.store(m_previous, std::memory_order_release); }

CInternetSession::CInternetSession(LPCWSTR agent, DWORD_PTR context, DWORD, LPCWSTR, LPCWSTR, DWORD)
    : m_agent(agent), m_context(context)
{
}

void CInternetSession::SetOption(DWORD option, DWORD value)
{
    DWORD timeout = value == 0 ? kDefaultTimeout : value;
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: m_connectTimeout = timeout; break;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT: m_receiveTimeout = timeout; break;
    default: AfxThrowInternetException(m_context, ERROR_INTERNET_INVALID_OPTION);
    }
}

DWORD CInternetSession::QueryOption(DWORD option) const
{
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: return m_connectTimeout;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT: return m_receiveTimeout;
    default: AfxThrowInternetException(m_context, ERROR_INTERNET_INVALID_OPTION);
    }
}

std::unique_ptr<CInternetFile> CInternetSession::OpenURL(LPCWSTR url, DWORD_PTR context, DWORD, LPCWSTR, DWORD)
{
    if (!url || !IsWebAddress(url)) AfxThrowInternetException(context, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    std::string address = WideToUtf8(url);

    const DownloadFunctions* library = LibraryInUse().Load();
    if (!library) AfxThrowInternetException(context, ERROR_MOD_NOT_FOUND);
    const DownloadFunctions& call = *library;
    auto cleanup = [&call](CURL* handle) { call.easy_cleanup(handle); };
    std::unique_ptr<CURL, decltype(cleanup)> handle(call.easy_init(), cleanup);
    if (!handle) AfxThrowInternetException(context, ERROR_INTERNET_INTERNAL_ERROR);
    CURL* curl = handle.get();

    Transfer transfer{.call = call, .curl = curl, .maxBodySize = m_maxBodySize, .receiveTimeout = std::chrono::milliseconds(m_receiveTimeout), .cancel = m_cancel};
    std::string agent = m_agent.IsEmpty() ? std::string("Formulon") : m_agent.ToUtf8();
    call.easy_setopt(curl, CURLOPT_URL, address.c_str());
    call.easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
    call.easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    call.easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    call.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    call.easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    call.easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    call.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L); // safe on any thread
    call.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeout));
    // A server that sends a byte now and then cannot hold the transfer for long either.
    call.easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(m_connectTimeout) + 2L * m_receiveTimeout);
    call.easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_maxBodySize));
    call.easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::Write);
    call.easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    call.easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::Progress);
    call.easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    call.easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    CURLcode code = call.easy_perform(curl);
    long status = 0;
    call.easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (code == CURLE_FILESIZE_EXCEEDED) transfer.tooLarge = true, code = CURLE_WRITE_ERROR;
    if (DWORD error = ErrorOf(code, transfer, status)) AfxThrowInternetException(context, error);
    return std::make_unique<CInternetFile>(std::move(transfer.body), CString(url));
}
