#pragma once
// A temporary folder tree for the file dialog's tests, removed at the end of the test.

#include "platform/base/CString.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempTree {
public:
    TempTree()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fln-files-XXXXXX").string();
        m_root = ::mkdtemp(pattern.data());
    }
    ~TempTree() { std::filesystem::remove_all(m_root); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    void Folder(const std::string& relative) { std::filesystem::create_directories(m_root + "/" + relative); }
    void File(const std::string& relative, const std::string& content = "x")
    {
        std::ofstream(m_root + "/" + relative) << content;
    }
    std::string Read(const std::string& relative) const
    {
        std::ifstream in(m_root + "/" + relative);
        return { std::istreambuf_iterator<char>(in), {} };
    }
    std::wstring Path(const std::string& relative = {}) const
    {
        return *Utf8ToWide(relative.empty() ? m_root : m_root + "/" + relative);
    }

private:
    std::string m_root;
};
