#pragma once
// Owns a file descriptor; closing keeps errno, so that a failure's reason survives the clean-up.

#include <cerrno>
#include <unistd.h>
#include <utility>

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

    void Reset()
    {
        if (m_fd < 0)
            return;
        const int saved = errno;
        ::close(m_fd);
        errno = saved;
        m_fd = -1;
    }

private:
    int m_fd;
};
