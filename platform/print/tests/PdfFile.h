#pragma once
// Reads back a PDF that a test printed: its pages' text and its pages as pixels, through the
// command-line tools of poppler.

#include <cairo.h>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fln::print::testing {

inline std::string runCommand(const std::string& command)
{
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, n);
    return output;
}

// The text of each page, in reading order.
inline std::vector<std::string> pdfPages(const std::string& path)
{
    std::string text = runCommand("pdftotext -layout '" + path + "' - 2>/dev/null");
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t feed; (feed = text.find('\f', start)) != std::string::npos; start = feed + 1)
        pages.push_back(text.substr(start, feed - start));
    return pages;
}

// A value of pdfinfo's report ("Pages", "Page size"...).
inline std::string pdfInfo(const std::string& path, const std::string& key)
{
    std::string info = runCommand("pdfinfo '" + path + "' 2>/dev/null");
    size_t at = info.find(key + ":");
    if (at == std::string::npos)
        return {};
    size_t value = info.find_first_not_of(' ', at + key.size() + 1);
    return info.substr(value, info.find('\n', value) - value);
}

// Page `page` (from 1) rendered at `dpi`; the caller destroys the surface.
inline cairo_surface_t* pdfPageImage(const std::string& path, int page, int dpi)
{
    std::filesystem::path stem = std::filesystem::path(path).replace_extension("");
    std::string p = std::to_string(page);
    runCommand("pdftoppm -png -singlefile -r " + std::to_string(dpi) + " -f " + p + " -l " + p + " '" + path + "' '" + stem.string() + "'");
    return cairo_image_surface_create_from_png((stem.string() + ".png").c_str());
}

} // namespace fln::print::testing
