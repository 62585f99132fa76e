#include "platform/comdlg/FileDialogModel.h"

#include "platform/base/CString.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

namespace fln::comdlg {

namespace {

std::filesystem::path Native(const std::wstring& path)
{
    return std::filesystem::path(WideToUtf8(path));
}

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
        [](wchar_t x, wchar_t y) { return std::towlower(x) < std::towlower(y); });
}

bool MatchFrom(std::wstring_view name, std::wstring_view pattern)
{
    // Iterative match with one backtrack point: linear in practice, never exponential.
    std::size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || std::towlower(pattern[p]) == std::towlower(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::vector<FileType> ParseFilter(const wchar_t* filter)
{
    std::vector<FileType> types;
    if (!filter)
        return types;
    while (*filter) {
        std::wstring description = filter;
        filter += description.size() + 1;
        std::wstring patterns = filter;
        if (patterns.empty()) // a description without patterns ends the list
            break;
        filter += patterns.size() + 1;
        FileType type { std::move(description), {} };
        std::size_t start = 0;
        while (start <= patterns.size()) {
            std::size_t end = std::min(patterns.find(L';', start), patterns.size());
            std::wstring pattern = patterns.substr(start, end - start);
            std::erase(pattern, L' ');
            if (!pattern.empty())
                type.patterns.push_back(pattern);
            start = end + 1;
        }
        if (!type.patterns.empty())
            types.push_back(std::move(type));
    }
    return types;
}

bool MatchesPattern(std::wstring_view name, std::wstring_view pattern)
{
    if (pattern == L"*.*" || pattern == L"*")
        return true;
    return MatchFrom(name, pattern);
}

bool MatchesAny(std::wstring_view name, const std::vector<std::wstring>& patterns)
{
    return patterns.empty() || std::any_of(patterns.begin(), patterns.end(), [&](const std::wstring& pattern) { return MatchesPattern(name, pattern); });
}

std::vector<FolderEntry> ListFolder(const std::wstring& folder, const std::vector<std::wstring>& patterns)
{
    std::vector<FolderEntry> folders, files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(Native(folder), error), end; !error && it != end; it.increment(error)) {
        auto name = Utf8ToWide(it->path().filename().string());
        if (!name || name->empty() || (*name)[0] == L'.')
            continue;
        std::error_code statError;
        if (it->is_directory(statError))
            folders.push_back({ *name, true });
        else if (MatchesAny(*name, patterns))
            files.push_back({ *name, false });
    }
    auto byName = [](const FolderEntry& a, const FolderEntry& b) { return LessIgnoringCase(a.name, b.name); };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

std::wstring ParentFolder(const std::wstring& folder)
{
    std::size_t slash = folder.rfind(L'/');
    if (slash == std::wstring::npos || slash == 0)
        return L"/";
    return folder.substr(0, slash);
}

std::wstring JoinPath(const std::wstring& folder, std::wstring_view name)
{
    return folder == L"/" ? L"/" + std::wstring(name) : folder + L"/" + std::wstring(name);
}

std::wstring FileNameOf(const std::wstring& path)
{
    return path.substr(path.rfind(L'/') + 1);
}

std::size_t ExtensionOffset(const std::wstring& path)
{
    std::size_t nameStart = path.rfind(L'/') + 1;
    std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot <= nameStart || dot + 1 == path.size())
        return std::wstring::npos;
    return dot + 1;
}

std::wstring ResolveTypedPath(const std::wstring& folder, std::wstring_view typed, const std::wstring& home)
{
    std::wstring text(typed);
    std::replace(text.begin(), text.end(), L'\\', L'/');
    if (text == L"~" || text.starts_with(L"~/"))
        text = home + text.substr(1);
    else if (!text.starts_with(L"/"))
        text = folder + L"/" + text;

    std::vector<std::wstring> steps;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.find(L'/', start), text.size());
        std::wstring step = text.substr(start, end - start);
        if (step == L"..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != L".") {
            steps.push_back(std::move(step));
        }
        start = end + 1;
    }
    std::wstring path;
    for (const auto& step : steps)
        path += L"/" + step;
    return path.empty() ? L"/" : path;
}

std::vector<Place> LookInPlaces(const std::wstring& folder, const UserFolders& places)
{
    std::vector<Place> list { { L"/", L"/", 0 } };
    int depth = 0;
    std::size_t start = 1;
    while (start < folder.size()) {
        std::size_t end = std::min(folder.find(L'/', start), folder.size());
        list.push_back({ folder.substr(0, end), folder.substr(start, end - start), ++depth });
        start = end + 1;
    }
    const std::pair<const std::wstring*, const wchar_t*> userPlaces[] = {
        { &places.home, L"Home" }, { &places.desktop, L"Desktop" }, { &places.documents, L"Documents" }
    };
    for (const auto& [path, label] : userPlaces) {
        const std::wstring& folderPath = *path;
        bool listed = std::any_of(list.begin(), list.end(), [&](const Place& place) { return place.path == folderPath; });
        if (!folderPath.empty() && !listed && FolderExists(folderPath))
            list.push_back({ folderPath, label, 0 });
    }
    return list;
}

bool FolderExists(const std::wstring& path)
{
    std::error_code error;
    return std::filesystem::is_directory(Native(path), error);
}

bool FileExists(const std::wstring& path)
{
    std::error_code error;
    return std::filesystem::exists(Native(path), error) && !std::filesystem::is_directory(Native(path), error);
}

} // namespace fln::comdlg
