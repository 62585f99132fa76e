#include "platform/sys/PrivateProfile.h"

#include "platform/base/CaseFolding.h"
#include "platform/base/CString.h"
#include "platform/base/ErrorCodes.h"
#include "platform/base/NativePath.h"
#include "platform/base/TextEncoding.h"
#include "platform/sys/AtomicFile.h"
#include "platform/sys/Folders.h"

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr std::wstring_view kBlanks = L" \t\r\n\v\f";

std::wstring_view Trimmed(std::wstring_view text)
{
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

bool IsComment(std::wstring_view trimmedLine) { return !trimmedLine.empty() && trimmedLine.front() == L';'; }

// What a line says: its text up to the first NUL (which no name or value can hold, since the
// functions hand them out NUL-terminated), without the blanks around it. The line itself is
// kept whole.
std::wstring_view LineText(std::wstring_view line) { return Trimmed(line.substr(0, line.find(L'\0'))); }

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::wstring_view> HeaderName(std::wstring_view line)
{
    line = LineText(line);
    if (line.empty() || line.front() != L'[') return std::nullopt;
    size_t close = line.find(L']');
    if (close == std::wstring_view::npos) return std::nullopt;
    return Trimmed(line.substr(1, close - 1));
}

struct Entry {
    std::wstring_view key;
    std::wstring_view value;
    bool hasEquals = false;
};

// A line inside a section, read as key and value; nothing for blank lines and comments.
std::optional<Entry> EntryOf(std::wstring_view line)
{
    line = LineText(line);
    if (line.empty() || IsComment(line)) return std::nullopt;
    size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) return Entry { line, {}, false };
    return Entry { Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)), true };
}

// An entry as the section lists give it: "key=value", or the line itself without an equals sign.
std::wstring ListedEntry(const Entry& entry)
{
    std::wstring line(entry.key);
    if (entry.hasEquals) line += L"=" + std::wstring(entry.value);
    return line;
}

// The lines a section write puts into the file: a line break inside an entry starts another
// line, and empty lines are dropped.
void AppendEntryLines(std::wstring_view entry, std::vector<std::wstring>& lines)
{
    while (!entry.empty()) {
        size_t end = std::min(entry.find_first_of(L"\r\n"), entry.size());
        if (end > 0) lines.emplace_back(entry.substr(0, end));
        entry.remove_prefix(end);
        if (entry.starts_with(L"\r\n")) entry.remove_prefix(2);
        else if (!entry.empty()) entry.remove_prefix(1);
    }
}

// An INI file as lines, with what is needed to write it back as it was.
class IniText {
public:
    std::vector<std::wstring> lines;
    TextFileEncoding encoding = TextFileEncoding::Ansi;
    std::wstring newline = L"\n";  // a file keeps the line ends it has

    static IniText FromBytes(std::string_view bytes)
    {
        IniText ini;
        DecodedText decoded = DecodeTextFile(bytes);
        ini.encoding = decoded.encoding;
        std::wstring_view text = decoded.text;
        // Lines end in CR LF, LF or a lone CR (as older editors wrote); the first break found is
        // the one the file is written back with.
        bool firstBreak = true;
        while (!text.empty()) {
            size_t end = std::min(text.find_first_of(L"\r\n"), text.size());
            ini.lines.emplace_back(text.substr(0, end));
            size_t breakLength = end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n' ? 2 : 1;
            if (end < text.size() && std::exchange(firstBreak, false))
                ini.newline = std::wstring(text.substr(end, breakLength));
            text.remove_prefix(std::min(end + breakLength, text.size()));
        }
        return ini;
    }

    std::string ToBytes() const
    {
        std::wstring text;
        for (const auto& line : lines) text += line + newline;
        return EncodeTextFile(text, encoding);
    }

    // Lines [first, end) of the first section of that name; header is the "[name]" line.
    struct Range {
        size_t header, first, end;
    };

    std::optional<Range> FindSection(std::wstring_view name) const
    {
        for (size_t i = 0; i < lines.size(); ++i) {
            auto header = HeaderName(lines[i]);
            if (header && SameName(*header, name)) return Range { i, i + 1, SectionEnd(i + 1) };
        }
        return std::nullopt;
    }

    // The first section of each name, under its folded name: FindSection's answers in one pass.
    std::unordered_map<std::wstring, Range> SectionIndex() const
    {
        std::unordered_map<std::wstring, Range> index;
        for (size_t i = 0; i < lines.size(); ++i)
            if (auto header = HeaderName(lines[i])) index.try_emplace(FoldedName(*header), Range { i, i + 1, SectionEnd(i + 1) });
        return index;
    }

    std::vector<std::wstring_view> SectionNames() const
    {
        std::vector<std::wstring_view> names;
        for (const auto& line : lines)
            if (auto header = HeaderName(line)) names.push_back(*header);
        return names;
    }

    std::optional<size_t> FindKey(const Range& section, std::wstring_view key) const
    {
        for (size_t i = section.first; i < section.end; ++i) {
            auto entry = EntryOf(lines[i]);
            if (entry && SameName(entry->key, key)) return i;
        }
        return std::nullopt;
    }

    // The line after the last non-blank line of the section: where a new entry goes.
    size_t InsertionPoint(const Range& section) const
    {
        size_t at = section.end;
        while (at > section.first && Trimmed(lines[at - 1]).empty()) --at;
        return at;
    }

    // Appends "[name]", after a blank line when the file has text.
    Range AppendSection(std::wstring_view name)
    {
        while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();
        if (!lines.empty()) lines.emplace_back();
        lines.push_back(L"[" + std::wstring(name) + L"]");
        return Range { lines.size() - 1, lines.size(), lines.size() };
    }

    // Puts the given lines in place of the entries of the first section of each name (blank lines
    // after them stay, as the gap before the next section) and appends the sections the file
    // lacks, in one pass over the file.
    void ReplaceSections(const std::vector<PrivateProfileSection>& replacements)
    {
        std::unordered_map<std::wstring, size_t> wanted;
        for (size_t i = 0; i < replacements.size(); ++i) wanted.emplace(FoldedName(Trimmed(replacements[i].name)), i);
        std::vector<bool> placed(replacements.size(), false);
        std::vector<std::wstring> result;
        result.reserve(lines.size());
        for (size_t at = 0; at < lines.size();) {
            auto header = HeaderName(lines[at]);
            size_t end = header ? SectionEnd(at + 1) : at + 1;
            auto found = header ? wanted.find(FoldedName(*header)) : wanted.end();
            if (found == wanted.end() || placed[found->second]) {
                result.insert(result.end(), lines.begin() + static_cast<std::ptrdiff_t>(at), lines.begin() + static_cast<std::ptrdiff_t>(end));
            } else {
                placed[found->second] = true;
                const Range range { at, at + 1, end };
                const auto& replacement = replacements[found->second].lines;
                result.push_back(lines[at]);
                result.insert(result.end(), replacement.begin(), replacement.end());
                result.insert(result.end(), lines.begin() + static_cast<std::ptrdiff_t>(InsertionPoint(range)), lines.begin() + static_cast<std::ptrdiff_t>(end));
            }
            at = end;
        }
        lines = std::move(result);
        for (size_t i = 0; i < replacements.size(); ++i) {
            if (placed[i] || wanted.at(FoldedName(Trimmed(replacements[i].name))) != i) continue;
            AppendSection(Trimmed(replacements[i].name));
            lines.insert(lines.end(), replacements[i].lines.begin(), replacements[i].lines.end());
        }
    }

    void RemoveSection(const Range& section)
    {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(section.header),
                    lines.begin() + static_cast<std::ptrdiff_t>(section.end));
    }

private:
    size_t SectionEnd(size_t from) const
    {
        while (from < lines.size() && !HeaderName(lines[from])) ++from;
        return from;
    }
};

// The lines of a file's bytes, read in the encoding IniText reads them in, each decoded only up to
// kLongestProfileLine characters: one pass over the bytes, and no line costs more than that cut.
class CutLines {
public:
    explicit CutLines(std::string_view bytes)
    {
        if (bytes.starts_with("\xFF\xFE")) {
            m_utf16 = true;
            bytes.remove_prefix(2);
            m_bytes = bytes.substr(0, bytes.size() & ~size_t { 1 });  // an odd last byte is no character
            return;
        }
        if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        m_bytes = bytes;
        m_utf8 = IsUtf8(bytes);
    }

    // The next line without its break (CR LF, LF or a lone CR); nothing after the last.
    std::optional<std::wstring> Next()
    {
        if (m_bytes.empty()) return std::nullopt;
        return m_utf16 ? NextUtf16() : NextNarrow();
    }

private:
    std::wstring NextNarrow()
    {
        const size_t end = std::min(m_bytes.find_first_of("\r\n"), m_bytes.size());
        const std::string_view line = m_bytes.substr(0, end);
        const bool crlf = end + 1 < m_bytes.size() && m_bytes[end] == '\r' && m_bytes[end + 1] == '\n';
        m_bytes.remove_prefix(std::min(end + (crlf ? 2 : 1), m_bytes.size()));
        if (!m_utf8) return Windows1252ToWide(line.substr(0, kLongestProfileLine));
        size_t cut = 0;  // a character starts at every byte that does not continue one
        for (size_t characters = 0; cut < line.size(); ++cut)
            if ((static_cast<unsigned char>(line[cut]) & 0xC0) != 0x80 && ++characters > kLongestProfileLine) break;
        return NarrowToWide(line.substr(0, cut));
    }

    std::wstring NextUtf16()
    {
        auto unitAt = [this](size_t at) {
            return static_cast<char16_t>(static_cast<unsigned char>(m_bytes[at]) | static_cast<unsigned char>(m_bytes[at + 1]) << 8);
        };
        size_t end = 0, cut = std::string_view::npos, characters = 0;
        for (bool afterHigh = false; end < m_bytes.size(); end += 2) {
            const char16_t unit = unitAt(end);
            if (unit == u'\r' || unit == u'\n') break;
            const bool joinsPair = afterHigh && unit >= 0xDC00 && unit <= 0xDFFF;  // read as one character with the unit before
            afterHigh = !joinsPair && unit >= 0xD800 && unit <= 0xDBFF;
            if (!joinsPair && ++characters == kLongestProfileLine + 1) cut = end;
        }
        const std::string_view line = m_bytes.substr(0, std::min(cut, end));
        const bool crlf = end + 3 < m_bytes.size() && unitAt(end) == u'\r' && unitAt(end + 2) == u'\n';
        m_bytes.remove_prefix(std::min(end + (crlf ? 4 : 2), m_bytes.size()));
        return Utf16LeToWide(line);
    }

    std::string_view m_bytes;
    bool m_utf16 = false;
    bool m_utf8 = false;
};

std::string ResolvePath(LPCWSTR fileName)
{
    std::string path = NativePath(fileName);
    if (!path.empty() && path.front() == '/') return path;
    return SettingsFolder() + "/" + path;
}

// The file's text; an empty file when it is missing or unreadable (the last error tells which).
IniText ReadIni(LPCWSTR fileName)
{
    auto bytes = ReadFileBytes(ResolvePath(fileName));
    if (!bytes) {
        SetLastError(ErrnoToSystemError(errno));
        return {};
    }
    return IniText::FromBytes(*bytes);
}

// Copies one text the way the string query does: cut to size - 1 characters.
DWORD CopyText(std::wstring_view text, LPWSTR buffer, DWORD size)
{
    if (!buffer || size == 0) return 0;
    size_t count = std::min<size_t>(text.size(), size - 1);
    std::wmemcpy(buffer, text.data(), count);
    buffer[count] = L'\0';
    return static_cast<DWORD>(count);
}

// Copies a list as NUL-separated items with a final NUL; a list that does not fit is cut and
// still ends with two NULs, and the result is size - 2.
template <typename Items>
DWORD CopyList(const Items& items, LPWSTR buffer, DWORD size)
{
    if (!buffer || size == 0) return 0;
    if (size == 1) {
        buffer[0] = L'\0';
        return 0;
    }
    std::wstring list;
    for (const auto& item : items) {
        list += item;
        list += L'\0';
    }
    if (list.size() + 1 <= size) {
        std::wmemcpy(buffer, list.data(), list.size());
        buffer[list.size()] = L'\0';
        return static_cast<DWORD>(list.size());
    }
    std::wmemcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = L'\0';
    buffer[size - 1] = L'\0';
    return size - 2;
}

// Runs a change on the freshly read file under the lock of its folder and writes the result.
template <typename Change>
BOOL ChangeIni(LPCWSTR fileName, Change change)
{
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = ResolvePath(fileName);
    if (path.starts_with(SettingsFolder() + "/")) EnsureSettingsFolder();
    FolderWriteLock lock(FolderOf(FinalTarget(path)));
    if (!lock.held()) {
        SetLastError(ErrnoToSystemError(errno));  // unserialised, a write could lose another's
        return FALSE;
    }
    IniText ini;
    if (auto bytes = ReadFileBytes(path))
        ini = IniText::FromBytes(*bytes);
    else if (errno != ENOENT) {
        SetLastError(ErrnoToSystemError(errno));  // never replace a file that could not be read
        return FALSE;
    }
    if (!change(ini)) return TRUE;  // nothing to change
    if (!ReplaceFileAtomically(path, ini.ToBytes())) {
        SetLastError(ErrnoToSystemError(errno));
        return FALSE;
    }
    return TRUE;
}

bool HasLineBreak(std::wstring_view text) { return text.find_first_of(L"\r\n") != std::wstring_view::npos; }

} // namespace

struct PrivateProfileSnapshot::Text {
    IniText ini;
    std::unordered_map<std::wstring, IniText::Range> sections = ini.SectionIndex();

    std::optional<IniText::Range> FindSection(std::wstring_view name) const
    {
        auto found = sections.find(FoldedName(name));
        return found == sections.end() ? std::nullopt : std::optional(found->second);
    }
};

PrivateProfileSnapshot::PrivateProfileSnapshot(LPCWSTR fileName)
    : m_text(std::make_unique<Text>(Text { fileName ? ReadIni(fileName) : IniText() }))
{
    if (!fileName) SetLastError(ERROR_INVALID_PARAMETER);
}

PrivateProfileSnapshot::~PrivateProfileSnapshot() = default;

DWORD PrivateProfileSnapshot::GetString(LPCWSTR section, LPCWSTR key, LPCWSTR defaultText, LPWSTR buffer, DWORD size) const
{
    const IniText& ini = m_text->ini;
    if (!section) return CopyList(SectionNames(), buffer, size);
    if (!key) {
        std::vector<std::wstring_view> keys;
        if (auto range = m_text->FindSection(section))
            for (size_t i = range->first; i < range->end; ++i)
                if (auto entry = EntryOf(ini.lines[i])) keys.push_back(entry->key);
        return CopyList(keys, buffer, size);
    }
    return CopyText(String(section, key, defaultText), buffer, size);
}

std::wstring_view PrivateProfileSnapshot::String(LPCWSTR section, LPCWSTR key, LPCWSTR defaultText) const
{
    const IniText& ini = m_text->ini;
    if (auto range = m_text->FindSection(section))
        if (auto line = ini.FindKey(*range, key)) return ProfileValueWithoutQuotes(EntryOf(ini.lines[*line])->value);
    std::wstring_view fallback = defaultText ? defaultText : L"";
    return fallback.substr(0, fallback.find_last_not_of(L' ') + 1);
}

UINT PrivateProfileSnapshot::GetInt(LPCWSTR section, LPCWSTR key, INT defaultValue) const
{
    wchar_t text[64];
    if (!section || !key || GetString(section, key, L"", text, 64) == 0)
        return static_cast<UINT>(defaultValue);
    const wchar_t* at = text;
    while (std::iswspace(*at)) ++at;
    bool negative = *at == L'-';
    if (*at == L'-' || *at == L'+') ++at;
    long long value = 0;
    for (; *at >= L'0' && *at <= L'9'; ++at) value = std::min(value * 10 + (*at - L'0'), 0xFFFFFFFFLL);
    return static_cast<UINT>(negative ? -value : value);
}

DWORD PrivateProfileSnapshot::GetSection(LPCWSTR section, LPWSTR buffer, DWORD size) const
{
    if (!section) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return CopyList(std::vector<std::wstring>(), buffer, size);
    }
    return CopyList(SectionLines(section), buffer, size);
}

std::vector<std::wstring_view> PrivateProfileSnapshot::SectionNames() const { return m_text->ini.SectionNames(); }

std::vector<std::wstring> PrivateProfileSnapshot::SectionLines(LPCWSTR section) const
{
    const IniText& ini = m_text->ini;
    std::vector<std::wstring> entries;
    if (auto range = section ? m_text->FindSection(section) : std::nullopt) {
        for (size_t i = range->first; i < range->end; ++i) {
            if (auto entry = EntryOf(ini.lines[i])) entries.push_back(ListedEntry(*entry));
        }
    }
    return entries;
}

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultText, LPWSTR buffer, DWORD size,
                               LPCWSTR fileName)
{
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return CopyText({}, buffer, size);
    }
    return PrivateProfileSnapshot(fileName).GetString(section, key, defaultText, buffer, size);
}

UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName)
{
    if (!section || !key)
        return static_cast<UINT>(defaultValue);
    return PrivateProfileSnapshot(fileName).GetInt(section, key, defaultValue);
}

DWORD GetPrivateProfileSectionW(LPCWSTR section, LPWSTR buffer, DWORD size, LPCWSTR fileName)
{
    if (!section || !fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return CopyList(std::vector<std::wstring>(), buffer, size);
    }
    return PrivateProfileSnapshot(fileName).GetSection(section, buffer, size);
}

DWORD GetPrivateProfileSectionNamesW(LPWSTR buffer, DWORD size, LPCWSTR fileName)
{
    return GetPrivateProfileStringW(nullptr, nullptr, nullptr, buffer, size, fileName);
}

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName)
{
    if (!section && !key && !value) return TRUE;  // nothing is cached, so there is nothing to flush
    std::wstring_view sectionName = section ? Trimmed(section) : std::wstring_view();
    std::wstring_view keyName = key ? Trimmed(key) : std::wstring_view();
    bool valid = section && !HasLineBreak(sectionName) && sectionName.find(L']') == std::wstring_view::npos &&
                 (!key || (!HasLineBreak(keyName) && keyName.find(L'=') == std::wstring_view::npos && !keyName.empty() &&
                           keyName.front() != L'[' && keyName.front() != L';')) &&
                 (!value || !HasLineBreak(value));
    if (!valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return ChangeIni(fileName, [&](IniText& ini) {
        auto range = ini.FindSection(sectionName);
        if (!key) {
            if (!range) return false;
            while (range) {
                ini.RemoveSection(*range);
                range = ini.FindSection(sectionName);
            }
            return true;
        }
        std::optional<size_t> line;
        if (range) line = ini.FindKey(*range, keyName);
        if (!value) {
            if (!line) return false;
            ini.lines.erase(ini.lines.begin() + static_cast<std::ptrdiff_t>(*line));
            return true;
        }
        std::wstring text = std::wstring(keyName) + L"=" + value;
        if (line) {
            ini.lines[*line] = std::move(text);
        } else {
            if (!range) range = ini.AppendSection(sectionName);
            ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(ini.InsertionPoint(*range)), std::move(text));
        }
        return true;
    });
}

namespace {

bool IsSectionName(std::wstring_view name) { return !HasLineBreak(name) && name.find(L']') == std::wstring_view::npos; }

} // namespace

BOOL WritePrivateProfileSectionW(LPCWSTR section, LPCWSTR lines, LPCWSTR fileName)
{
    if (!section || !IsSectionName(Trimmed(section))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!lines) {
        return ChangeIni(fileName, [&](IniText& ini) {
            auto range = ini.FindSection(Trimmed(section));
            if (!range) return false;
            ini.RemoveSection(*range);
            return true;
        });
    }
    PrivateProfileSection replacement { std::wstring(Trimmed(section)), {} };
    for (const wchar_t* entry = lines; *entry; entry += std::wcslen(entry) + 1) AppendEntryLines(entry, replacement.lines);
    return WritePrivateProfileSections({ replacement }, fileName);
}

std::optional<std::vector<PrivateProfileSection>> ReadPrivateProfileSections(LPCWSTR fileName)
{
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    auto bytes = ReadFileBytes(ResolvePath(fileName));
    if (!bytes) {
        SetLastError(ErrnoToSystemError(errno));
        return std::nullopt;
    }
    return PrivateProfileSectionsOfBytes(*bytes);
}

std::vector<PrivateProfileSection> PrivateProfileSectionsOfBytes(std::string_view bytes)
{
    std::vector<PrivateProfileSection> sections;
    CutLines lines(bytes);
    while (auto line = lines.Next()) {
        if (auto header = HeaderName(*line))
            sections.push_back({ std::wstring(*header), {} });
        else if (auto entry = EntryOf(*line); entry && !sections.empty())
            sections.back().lines.push_back(ListedEntry(*entry));
    }
    return sections;
}

BOOL WritePrivateProfileSections(const std::vector<PrivateProfileSection>& sections, LPCWSTR fileName)
{
    std::vector<PrivateProfileSection> replacements;
    replacements.reserve(sections.size());
    bool refused = false;
    for (const auto& section : sections) {
        if (!IsSectionName(Trimmed(section.name))) {
            refused = true;
            continue;
        }
        PrivateProfileSection& replacement = replacements.emplace_back(PrivateProfileSection { section.name, {} });
        for (const auto& entry : section.lines) AppendEntryLines(entry, replacement.lines);
    }
    if (!ChangeIni(fileName, [&](IniText& ini) {
            ini.ReplaceSections(replacements);
            return !replacements.empty();
        }))
        return FALSE;
    if (refused) SetLastError(ERROR_INVALID_PARAMETER);
    return !refused;
}

std::wstring_view ProfileValueWithoutQuotes(std::wstring_view value)
{
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}
