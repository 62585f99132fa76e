#include "platform/base/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int OpenRegularFile(const std::string& path, int flags, mode_t mode)
{
    int fd = ::open(path.c_str(), flags | O_NONBLOCK, mode);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        int error = S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
        ::close(fd);
        errno = error;
        return -1;
    }
    if (!(flags & O_NONBLOCK)) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}
