#pragma once
// Where the compiler reads the files a script includes or names (images, custom data). The tool
// reads the disk; tests and the fuzz target hand in files from memory.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fln::rc {

class FileSource {
public:
    virtual ~FileSource() = default;
    // The whole file, or nothing when it cannot be read.
    virtual std::optional<std::string> Read(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
};

class DiskFileSource final : public FileSource {
public:
    std::optional<std::string> Read(const std::string& path) override;
    bool Exists(const std::string& path) override;
};

class MemoryFileSource final : public FileSource {
public:
    void Add(std::string path, std::string contents) { m_files[std::move(path)] = std::move(contents); }
    std::optional<std::string> Read(const std::string& path) override;
    bool Exists(const std::string& path) override { return m_files.count(path) != 0; }

private:
    std::map<std::string, std::string> m_files;
};

}
