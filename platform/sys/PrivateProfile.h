#pragma once
// Private-profile (INI) files: "[section]" headers followed by "key=value" lines; lines starting
// with ";" are comments. Section and key names compare without regard to case; names and values
// are read without the blanks around them.
//
// File names may use "\" or "/" as separators; a name that is not absolute ("Fln.ini") lies in the
// settings folder (see Folders.h). Files are read as UTF-16LE when they start with FF FE, else as
// UTF-8 (Windows-1252 where the bytes are not valid UTF-8), and written back in the encoding they
// had (new files in UTF-8; Windows-1252 files stay so while the text fits that code page). Every
// write re-reads the file under a lock of its folder and replaces it atomically (see AtomicFile.h:
// links are kept, a read-only file is refused with ERROR_ACCESS_DENIED), keeping comments and the
// lines it does not change.

#include "platform/base/WinTypes.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The value of key in section, without enclosing quotes, or defaultText (without its trailing
// blanks) when there is none. A null section lists the section names, a null key the section's
// key names, each NUL-terminated with one more NUL at the end. Returns the characters copied
// without the final NUL; a value cut to fit gives size - 1, a cut list size - 2.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultText, LPWSTR buffer, DWORD size,
                               LPCWSTR fileName);

// A value as the functions above hand it over: a pair of enclosing double or single quotes is
// dropped ("4.3" reads 4.3). For readers of profile text that does not come from a file.
std::wstring_view ProfileValueWithoutQuotes(std::wstring_view value);

// The value read as a decimal integer (leading blanks and a sign allowed, reading stops at the
// first other character, no digits give 0); defaultValue when the key is missing or empty.
UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName);

// Every "key=value" (and every other non-comment) line of the section, NUL-separated, with one
// more NUL at the end. Returns the characters copied without the final NUL (size - 2 when cut).
DWORD GetPrivateProfileSectionW(LPCWSTR section, LPWSTR buffer, DWORD size, LPCWSTR fileName);

// The names of all sections, in the list form above.
DWORD GetPrivateProfileSectionNamesW(LPWSTR buffer, DWORD size, LPCWSTR fileName);

// The file read once, for a reader that asks for many of its values: each question is answered
// as the function above of the same name answers it for the file as it was when read.
class PrivateProfileSnapshot {
public:
    explicit PrivateProfileSnapshot(LPCWSTR fileName);
    ~PrivateProfileSnapshot();
    PrivateProfileSnapshot(const PrivateProfileSnapshot&) = delete;
    PrivateProfileSnapshot& operator=(const PrivateProfileSnapshot&) = delete;

    DWORD GetString(LPCWSTR section, LPCWSTR key, LPCWSTR defaultText, LPWSTR buffer, DWORD size) const;
    // The value GetString copies for a section and a key (both given), whole; valid while the
    // snapshot lives.
    std::wstring_view String(LPCWSTR section, LPCWSTR key, LPCWSTR defaultText) const;
    UINT GetInt(LPCWSTR section, LPCWSTR key, INT defaultValue) const;
    DWORD GetSection(LPCWSTR section, LPWSTR buffer, DWORD size) const;
    // The items of the two lists above, whole and without a buffer to copy them to: the section
    // names (valid while the snapshot lives), and a section's entry lines.
    std::vector<std::wstring_view> SectionNames() const;
    std::vector<std::wstring> SectionLines(LPCWSTR section) const;

private:
    struct Text;
    std::unique_ptr<Text> m_text;
};

// Sets key in section (adding either as needed); a null value deletes the key, a null key the
// whole section. Names and values that would not survive as one line (line breaks, "=" in a key,
// "]" in a section name) are refused with ERROR_INVALID_PARAMETER. FALSE on failure (GetLastError).
BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName);

// Replaces the lines of the section by the given NUL-separated list (ending with two NULs); a
// line break inside an entry starts another line. A null list deletes the section.
BOOL WritePrivateProfileSectionW(LPCWSTR section, LPCWSTR lines, LPCWSTR fileName);

// One section of a file as the whole-file functions below hand it over: its name and its entry
// lines ("key=value", or a line without "="), in order, as GetPrivateProfileSectionW lists them.
struct PrivateProfileSection {
    std::wstring name;
    std::vector<std::wstring> lines;
};

// The longest line the whole-file reader keeps, in characters: a longer line (a huge value written
// by hand or by another program) is cut to it as it is read, so that reading costs one pass over
// the file's bytes and never more memory for a line than this.
inline constexpr size_t kLongestProfileLine = 8192;

// Every section of the file in file order (a name that occurs twice gives two sections), read in
// one pass over the file, each line cut to kLongestProfileLine. Nothing, with the reason as the
// last error, when it cannot be read.
std::optional<std::vector<PrivateProfileSection>> ReadPrivateProfileSections(LPCWSTR fileName);
// The same for the bytes of a file.
std::vector<PrivateProfileSection> PrivateProfileSectionsOfBytes(std::string_view bytes);

// Replaces the lines of each given section as WritePrivateProfileSectionW does, all in one change
// of the file: one reading, one pass and one atomic replacement, so a kill leaves either none or
// all of the sections changed. A section name that WritePrivateProfileSectionW refuses is left
// out, and the result is then FALSE with ERROR_INVALID_PARAMETER.
BOOL WritePrivateProfileSections(const std::vector<PrivateProfileSection>& sections, LPCWSTR fileName);

inline constexpr auto& GetPrivateProfileString = GetPrivateProfileStringW;
inline constexpr auto& GetPrivateProfileInt = GetPrivateProfileIntW;
inline constexpr auto& GetPrivateProfileSection = GetPrivateProfileSectionW;
inline constexpr auto& GetPrivateProfileSectionNames = GetPrivateProfileSectionNamesW;
inline constexpr auto& WritePrivateProfileString = WritePrivateProfileStringW;
inline constexpr auto& WritePrivateProfileSection = WritePrivateProfileSectionW;
