#pragma once
// A small HTTP server for tests, on 127.0.0.1 and a port the system picks, serving canned answers
// by path on a thread of its own. A route may stall: it answers nothing and keeps the connection
// open until the client closes it or the server goes, so a client's time-out is what ends the wait;
// or it may trickle its body a byte at a time.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttpServer {
public:
    struct Response {
        int status = 200;
        std::string body;
        std::string extraHeaders; // each line ending in "\r\n"
        bool stall = false;
        int trickleMs = 0; // when set, the body goes one byte at a time with this pause between
    };

    LoopbackHttpServer()
    {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || listen(m_listener, 8) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("the loopback server could not listen");
        m_port = ntohs(address.sin_port);
        m_stop = eventfd(0, EFD_CLOEXEC);
        m_thread = std::thread([this] { Serve(); });
    }

    ~LoopbackHttpServer()
    {
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(m_stop, &one, sizeof one);
        m_thread.join();
        close(m_listener);
        close(m_stop);
    }

    void Route(const std::string& path, Response response)
    {
        std::lock_guard lock(m_mutex);
        m_routes[path] = std::move(response);
    }

    std::wstring Url(const std::string& path) const
    {
        std::string url = "http://127.0.0.1:" + std::to_string(m_port) + path;
        return std::wstring(url.begin(), url.end());
    }

    int RequestCount() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    // Waits for fd to become readable or the server to stop; false when stopping.
    bool WaitReadable(int fd) const
    {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_stop, POLLIN, 0}};
        return poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN);
    }

    // Waits ms milliseconds; false when the server stops meanwhile.
    bool WaitQuiet(int ms) const
    {
        pollfd stop{m_stop, POLLIN, 0};
        return poll(&stop, 1, ms) == 0;
    }

    void Serve()
    {
        while (WaitReadable(m_listener)) {
            int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) continue;
            Answer(connection);
            close(connection);
        }
    }

    void Answer(int connection)
    {
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
            if (!WaitReadable(connection)) return;
            ssize_t count = read(connection, buffer, sizeof buffer);
            if (count <= 0) return;
            request.append(buffer, count);
        }
        std::size_t pathStart = request.find(' ') + 1;
        std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);

        Response response{404, "not here"};
        {
            std::lock_guard lock(m_mutex);
            ++m_requests;
            if (auto found = m_routes.find(path); found != m_routes.end()) response = found->second;
        }
        if (response.stall) {
            // Until the client gives up and closes, or the server goes.
            while (WaitReadable(connection) && read(connection, buffer, sizeof buffer) > 0) {
            }
            return;
        }
        std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " Canned\r\nContent-Length: "
                            + std::to_string(response.body.size()) + "\r\nConnection: close\r\n" + response.extraHeaders
                            + "\r\n" + response.body;
        std::size_t headerSize = reply.size() - response.body.size();
        for (std::size_t sent = 0; sent < reply.size();) {
            std::size_t chunk = reply.size() - sent;
            if (response.trickleMs > 0) {
                if (sent >= headerSize && !WaitQuiet(response.trickleMs)) return;
                chunk = sent < headerSize ? headerSize - sent : 1;
            }
            ssize_t count = send(connection, reply.data() + sent, chunk, MSG_NOSIGNAL);
            if (count <= 0) return;
            sent += count;
        }
    }

    int m_listener = -1;
    int m_stop = -1;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::map<std::string, Response> m_routes;
    int m_requests = 0;
    std::thread m_thread;
};
