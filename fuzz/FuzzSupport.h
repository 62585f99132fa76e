#pragma once
// What the fuzz targets share: an input read piece by piece, a file holding an input, and a
// folder of their own that is gone when they end.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace fuzz {

// Reads an input from the front; past its end every read gives zeros and empty pieces.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool More() const { return m_position < m_size; }
    std::size_t Left() const { return m_size - m_position; }

    std::uint8_t Byte() { return More() ? m_data[m_position++] : 0; }
    // Little-endian, as the stored layouts are.
    template<typename T>
    T Number()
    {
        T value {};
        std::uint8_t bytes[sizeof(T)] {};
        for (std::uint8_t& byte : bytes)
            byte = Byte();
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }
    // Up to count bytes.
    std::string_view Take(std::size_t count)
    {
        count = count < Left() ? count : Left();
        std::string_view piece(reinterpret_cast<const char*>(m_data + m_position), count);
        m_position += count;
        return piece;
    }
    // The bytes up to the next NUL (which is passed over), or to the end.
    std::string_view TakeUntilNul()
    {
        const void* nul = std::memchr(m_data + m_position, 0, Left());
        std::size_t length = nul ? static_cast<const std::uint8_t*>(nul) - (m_data + m_position) : Left();
        std::string_view piece = Take(length);
        Byte();
        return piece;
    }
    std::string_view Rest() { return Take(Left()); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

inline std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder, removed with everything in it at the end. It lies in memory (/dev/shm) where the
// system lets it, so that the files a target writes for each input cost no disk work.
class ScratchFolder {
public:
    ScratchFolder()
    {
        for (const std::filesystem::path parent : { std::filesystem::path("/dev/shm"), std::filesystem::temp_directory_path() }) {
            std::string pattern = (parent / "fln-fuzz-XXXXXX").string();
            if (::mkdtemp(pattern.data())) {
                m_path = pattern;
                return;
            }
        }
        std::abort();
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// A file that holds one input, removed when it goes.
class ScratchFile {
public:
    ScratchFile(const ScratchFolder& folder, std::string_view name, std::string_view bytes) : m_path(folder.path() / name)
    {
        WriteWholeFile(m_path, bytes);
    }
    ~ScratchFile()
    {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Makes the bytes the registry file of a new settings folder (XDG_CONFIG_HOME), so that the
// registry reads them whatever the file's time stamp; returns the file's path.
inline std::filesystem::path UseAsRegistryFile(std::string_view bytes)
{
    static ScratchFolder scratch;
    static unsigned turn = 0;
    const std::filesystem::path home = scratch.path() / std::to_string(turn++ % 2);
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home / "Formulon");
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    const std::filesystem::path file = home / "Formulon" / "registry.txt";
    WriteWholeFile(file, bytes);
    return file;
}

} // namespace fuzz
