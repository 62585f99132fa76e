#include "app/VersionFile.h"

#include "platform/base/TextEncoding.h"
#include "platform/net/InternetSession.h"
#include "platform/sys/PrivateProfile.h"

#include <algorithm>
#include <array>
#include <cwctype>

namespace {

std::wstring_view TrimBlanks(std::wstring_view text)
{
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::wstring Lower(std::wstring_view text)
{
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return std::towlower(c); });
    return lower;
}

std::wstring ValueKey(std::wstring_view section, std::wstring_view key) { return Lower(section) + L'\n' + Lower(key); }

using VersionComponents = std::array<unsigned long long, 4>;

VersionComponents ComponentsOf(std::wstring_view text)
{
    VersionComponents components{};
    std::size_t index = 0;
    std::size_t start = 0;
    while (index < components.size() && start <= text.size()) {
        std::size_t end = text.find_first_of(L".,", start);
        std::wstring_view piece = text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
        start = end == std::wstring_view::npos ? text.size() + 1 : end + 1;
        if (piece.empty()) continue;
        while (!piece.empty() && std::iswspace(piece.front())) piece.remove_prefix(1);
        unsigned long long value = 0;
        for (wchar_t c : piece) {
            if (c < L'0' || c > L'9') break;
            value = std::min(value * 10 + (c - L'0'), 0xFFFFFFFFull); // a silly length saturates
        }
        components[index++] = value;
    }
    return components;
}

// A version as the file may write it: numbers, separated by dots or commas, blanks around them.
bool IsVersionText(std::wstring_view text)
{
    bool digitSeen = false;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9')
            digitSeen = true;
        else if (c != L'.' && c != L',' && c != L' ')
            return false;
    }
    return digitSeen;
}

bool IsKnownKey(std::wstring_view section, std::wstring_view key)
{
    static constexpr std::wstring_view kVersionKeys[] = {L"version", L"description", L"downloads"};
    static constexpr std::wstring_view kLinkKeys[] = {L"website",     L"email",       L"faq",    L"discussionboard",
                                                      L"knownbugs",   L"mailinglist", L"aboutme"};
    std::wstring lower = Lower(key);
    if (std::find(std::begin(kVersionKeys), std::end(kVersionKeys), lower) != std::end(kVersionKeys)) return true;
    return section == CVersionFile::kReleaseSection
           && std::find(std::begin(kLinkKeys), std::end(kLinkKeys), lower) != std::end(kLinkKeys);
}

} // namespace

int CompareVersions(std::wstring_view first, std::wstring_view second)
{
    VersionComponents a = ComponentsOf(first), b = ComponentsOf(second);
    return a == b ? 0 : a > b ? 1 : -1;
}

std::optional<CVersionFile> CVersionFile::Parse(std::string_view bytes)
{
    if (bytes.size() > kMaxSize) return std::nullopt;
    std::wstring text = DecodeTextFile(bytes).text;
    if (text.find(L'\0') != std::wstring::npos) return std::nullopt;

    CVersionFile file;
    // As a profile reader reads it: lines outside the program's two sections, lines without "=",
    // comments and keys the program does not read are passed over, and a value's enclosing quotes
    // are dropped.
    const wchar_t* section = nullptr;
    bool sectionSeen = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring_view line = TrimBlanks(std::wstring_view(text).substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.back() == L'\r') line = TrimBlanks(line.substr(0, line.size() - 1));
        if (line.empty() || line.front() == L';') continue;

        if (line.front() == L'[') {
            std::wstring name = Lower(line);
            section = name == L"[formulon]" ? kReleaseSection : name == L"[formulon beta]" ? kDevelopmentSection : nullptr;
            sectionSeen = sectionSeen || section;
            continue;
        }
        std::size_t equals = line.find(L'=');
        if (!section || equals == std::wstring_view::npos) continue;
        std::wstring_view key = TrimBlanks(line.substr(0, equals));
        std::wstring_view value = ProfileValueWithoutQuotes(TrimBlanks(line.substr(equals + 1)));
        if (!IsKnownKey(section, key)) continue;
        // The values the program reads are checked: one it could not use refuses the file.
        if (Lower(key) == L"version" && !IsVersionText(value)) return std::nullopt;
        if (std::any_of(value.begin(), value.end(), [](wchar_t c) { return c < L' ' && c != L'\t'; })) return std::nullopt;
        // The first of two equal keys counts, as when a profile is read.
        file.m_values.try_emplace(ValueKey(section, key), CString(std::wstring(value.substr(0, kMaxValueLength))));
    }
    // A text without either section (an error page) is no version file: read as a profile, it
    // would say that the latest version is 0.0.0.
    if (!sectionSeen) return std::nullopt;
    return file;
}

CString CVersionFile::GetValue(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue) const
{
    auto found = m_values.find(ValueKey(section, key));
    return found != m_values.end() ? found->second : CString(defaultValue);
}

int CVersionFile::CompareVersion(LPCWSTR section, const CString& localVersion) const
{
    return CompareVersions(GetValue(section, L"Version", L"0.0.0").GetString(), localVersion.GetString());
}

CString CVersionFile::GetDownloadAddress(LPCWSTR section) const
{
    CString address = GetValue(section, L"Downloads");
    return IsWebAddress(address.GetString()) ? address : CString();
}
