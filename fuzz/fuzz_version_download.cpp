// Downloads the update check's version file from a local server that answers each request with
// the input's bytes as they stand: status line, headers (lengths, chunking, redirects) and body.
// Every address, a redirect's included, reaches that server through the proxy setting, so no input
// leaves the machine. Whatever the server answers, the download ends within its time-outs with the
// version file or an error code, never both, and a body it took is no larger than the limit.

#include "app/VersionCheck.h"
#include "fuzz/FuzzSupport.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Answers every connection with the current answer, after reading the request's head.
class AnsweringServer {
public:
    AnsweringServer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0
            || ::listen(m_listener, 16) < 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) < 0)
            std::abort();
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    int Port() const { return m_port; }
    void SetAnswer(std::string_view answer)
    {
        std::lock_guard lock(m_mutex);
        m_answer = answer;
    }

private:
    [[noreturn]] void Serve()
    {
        for (;;) {
            const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0)
                continue;
            ReadHead(connection);
            std::string answer;
            {
                std::lock_guard lock(m_mutex);
                answer = m_answer;
            }
            for (std::size_t sent = 0; sent < answer.size();) {
                const ssize_t count = ::send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
                if (count <= 0)
                    break;
                sent += static_cast<std::size_t>(count);
            }
            ::shutdown(connection, SHUT_RDWR);
            ::close(connection);
        }
    }
    // Up to the blank line that ends a request's head, or a short wait.
    static void ReadHead(int connection)
    {
        std::string head;
        char buffer[1024];
        pollfd watched { connection, POLLIN, 0 };
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 && ::poll(&watched, 1, 500) > 0) {
            const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
            if (count <= 0)
                break;
            head.append(buffer, static_cast<std::size_t>(count));
        }
    }

    int m_listener = -1;
    int m_port = 0;
    std::mutex m_mutex;
    std::string m_answer;
    std::thread m_thread;
};

AnsweringServer& Server()
{
    static AnsweringServer* server = [] {
        auto* made = new AnsweringServer;
        const std::string proxy = "http://127.0.0.1:" + std::to_string(made->Port());
        for (const char* name : { "http_proxy", "https_proxy", "HTTPS_PROXY", "ALL_PROXY" })
            ::setenv(name, proxy.c_str(), 1);
        ::unsetenv("no_proxy");
        ::unsetenv("NO_PROXY");
        return made;
    }();
    return *server;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Server().SetAnswer(std::string_view(reinterpret_cast<const char*>(data), size));
    const VersionDownload download = DownloadVersionFile(L"http://updates.formulon.invalid/version.txt", { 1000, 1000 });
    if ((download.error == 0) != download.file.has_value())
        __builtin_trap();
    if (download.file && size == 0)
        __builtin_trap();
    return 0;
}
