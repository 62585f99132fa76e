#pragma once
// The version file the update check downloads: a small INI-style text naming the latest released
// version in the section "Formulon" and the latest development version in "Formulon Beta", each
// with its description and download address, and the program's web links in "Formulon".
//
// The file is read as a profile reader reads it: other sections, other keys and lines without "="
// are passed over, and enclosing quotes are dropped from a value (Version="4.3" is 4.3). It comes from a server, so a file larger than kMaxSize bytes, one with a NUL,
// one with neither section, or one where a key the program reads holds a control character or a
// "Version" that is not a version number, is refused as a whole.

#include "platform/base/CString.h"

#include <map>
#include <optional>
#include <string_view>

// Compares two version texts such as "3.1.0.25" or "3, 1, 0, 26" component by component: commas
// count as dots, empty pieces are skipped, the first four components are read as decimal numbers
// (leading blanks allowed, a missing one is 0). Returns 1 when first is newer, -1 when older, 0
// when they are the same version.
int CompareVersions(std::wstring_view first, std::wstring_view second);

class CVersionFile {
public:
    static constexpr std::size_t kMaxSize = 4096;
    // Values are cut to this many characters.
    static constexpr int kMaxValueLength = 258;

    static constexpr const wchar_t* kReleaseSection = L"Formulon";
    static constexpr const wchar_t* kDevelopmentSection = L"Formulon Beta";

    // The file's contents, or nothing when they are malformed.
    static std::optional<CVersionFile> Parse(std::string_view bytes);

    // The value of key in section (both in any case), or defaultValue when there is none.
    CString GetValue(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue = L"") const;
    // CompareVersions of the section's "Version" (0.0.0 when there is none) with localVersion.
    int CompareVersion(LPCWSTR section, const CString& localVersion) const;
    // The section's "Downloads" address when it is an http or https address, else empty: nothing
    // else from the file is ever handed to the shell.
    CString GetDownloadAddress(LPCWSTR section) const;

private:
    // Keyed by "section\nkey" in lower case.
    std::map<std::wstring, CString> m_values;
};
