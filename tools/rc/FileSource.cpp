#include "tools/rc/FileSource.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fln::rc {

std::optional<std::string> DiskFileSource::Read(const std::string& path)
{
    if (!Exists(path))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return std::nullopt;
    return contents;
}

bool DiskFileSource::Exists(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::optional<std::string> MemoryFileSource::Read(const std::string& path)
{
    auto found = m_files.find(path);
    if (found == m_files.end())
        return std::nullopt;
    return found->second;
}

}
