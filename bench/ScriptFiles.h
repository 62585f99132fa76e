#pragma once
// The large scripts the editor's benchmarks load, written once into the temporary folder, and the
// process's resident memory they are measured by.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

constexpr int ScriptLineCount = 400000;
constexpr size_t ScriptLineBytes = 50; // 20 MB in all

// The file of that name in the temporary folder, written with the text made by makeText when it is
// not there yet.
template <typename MakeText>
std::filesystem::path WrittenOnce(const char* name, MakeText makeText)
{
    const auto path = std::filesystem::temp_directory_path() / name;
    if (!std::filesystem::exists(path))
        std::ofstream(path, std::ios::binary) << makeText();
    return path;
}

// 400,000 lines of statements, 20 MB.
inline std::filesystem::path ScriptFile()
{
    return WrittenOnce("fln-bench-editview.vbs", [] {
        std::string text;
        text.reserve(ScriptLineCount * ScriptLineBytes);
        char line[128];
        for (int i = 0; i < ScriptLineCount; ++i) {
            int n = std::snprintf(line, sizeof line, i % 2 ? "If value%d > %d Then total = total + value" : "Dim value%d : value%d = Len(\"text\")", i, i % 97);
            std::string padded(line, n);
            padded.resize(ScriptLineBytes - 2, ' ');
            text += padded + "\r\n";
        }
        return text;
    });
}

// 20 MB in 650,000 short lines, as a real script of that size has them.
inline std::filesystem::path ShortLinesFile()
{
    return WrittenOnce("fln-bench-short-lines.vbs", [] {
        std::string text;
        text.reserve(ScriptLineCount * ScriptLineBytes);
        char line[64];
        for (int i = 0; text.size() < ScriptLineCount * ScriptLineBytes; ++i) {
            const int n = std::snprintf(line, sizeof line, i % 3 ? "  total%d = total%d + %d\r\n" : "If total%d > 0 Then Call f(%d)\r\n", i % 9973, i % 9973, i % 89);
            text.append(line, n);
        }
        return text;
    });
}

// One line of statements, 20 MB, with no line end.
inline std::filesystem::path LongLineFile()
{
    return WrittenOnce("fln-bench-editview-longline.vbs", [] {
        const std::string statement = "total = total + Len(\"text\") : ";
        std::string text;
        text.reserve(ScriptLineCount * ScriptLineBytes + statement.size());
        while (text.size() < ScriptLineCount * ScriptLineBytes)
            text += statement;
        return text;
    });
}

inline double FileMiB(const std::filesystem::path& path)
{
    return static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
}

// The process's resident memory now (VmRSS) or at its highest since the last reset (VmHWM), in MiB.
inline double ResidentMiB(const char* key = "VmRSS:")
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(std::string(key).size())) / 1024.0;
    return 0;
}

inline void ResetResidentPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

} // namespace bench
