#pragma once
// Points XDG_CONFIG_HOME at a fresh temporary folder for the lifetime of a test.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

// Sets (or unsets) an environment variable for a scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_previous = old;
        ::setenv(name, value.c_str(), 1);
    }
    // Unsets it for the scope.
    explicit ScopedEnv(const char* name) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_previous = old;
        ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_previous)
            ::setenv(m_name, m_previous->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

class TempSettingsFolder {
public:
    TempSettingsFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fln-settings-XXXXXX").string();
        m_root = ::mkdtemp(pattern.data());
        const char* old = std::getenv("XDG_CONFIG_HOME");
        if (old) m_previous = old;
        m_hadPrevious = old != nullptr;
        ::setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    }
    ~TempSettingsFolder()
    {
        if (m_hadPrevious)
            ::setenv("XDG_CONFIG_HOME", m_previous.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    // The folder the program keeps its settings in.
    std::string settings() const { return m_root + "/Formulon"; }
    std::string root() const { return m_root; }

    static std::string ReadAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteAll(const std::string& path, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

private:
    std::string m_root;
    std::string m_previous;
    bool m_hadPrevious = false;
};
