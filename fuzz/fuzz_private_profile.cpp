// Reads arbitrary bytes as an INI file (settings copied from another machine, edited by hand or
// damaged) through the private-profile functions: every section and key is listed and read, and
// a change keeps every line of the file and the file's encoding. (Every call reads the file
// again, so only the first sections and keys are read one by one.)

#include "fuzz/FuzzSupport.h"
#include "platform/base/CString.h"
#include "platform/base/TextEncoding.h"
#include "platform/sys/PrivateProfile.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

// The entries of a NUL-separated list as the functions return it.
std::vector<std::wstring> ListOf(const std::vector<wchar_t>& buffer, DWORD length)
{
    std::vector<std::wstring> items;
    for (DWORD at = 0; at < length && buffer[at];) {
        items.emplace_back(&buffer[at]);
        at += static_cast<DWORD>(items.back().size()) + 1;
    }
    return items;
}

// Lines end in CR LF, LF or a lone CR.
std::vector<std::wstring> LinesOf(const std::string& bytes)
{
    std::vector<std::wstring> lines;
    const std::wstring text = DecodeTextFile(bytes).text;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find_first_of(L"\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// Blank as the reader takes it: a new section drops the blank lines at the end of the file.
bool IsBlank(const std::wstring& line) { return line.find_first_not_of(L" \t\r\n\v\f") == std::wstring::npos; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzz::ScratchFolder scratch;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::ScratchFile file(scratch, "fuzz.ini", bytes);
    const std::wstring name = NarrowToWide(file.path().string());

    constexpr DWORD kSize = 1 << 14;
    constexpr std::size_t kReadEach = 4;
    std::vector<wchar_t> buffer(kSize);
    DWORD length = GetPrivateProfileSectionNamesW(buffer.data(), kSize, name.c_str());
    if (length >= kSize)
        __builtin_trap();
    const std::vector<std::wstring> sections = ListOf(buffer, length);
    for (std::size_t i = 0; i < sections.size() && i < kReadEach; ++i) {
        const std::wstring& section = sections[i];
        std::vector<wchar_t> lines(kSize);
        if (GetPrivateProfileSectionW(section.c_str(), lines.data(), kSize, name.c_str()) >= kSize)
            __builtin_trap();
        std::vector<wchar_t> keys(kSize);
        DWORD keysLength = GetPrivateProfileStringW(section.c_str(), nullptr, L"", keys.data(), kSize, name.c_str());
        const std::vector<std::wstring> names = ListOf(keys, keysLength);
        for (std::size_t k = 0; k < names.size() && k < kReadEach; ++k) {
            const std::wstring& key = names[k];
            wchar_t value[64];
            if (GetPrivateProfileStringW(section.c_str(), key.c_str(), L"-", value, 64, name.c_str()) >= 64)
                __builtin_trap();
            GetPrivateProfileIntW(section.c_str(), key.c_str(), -1, name.c_str());
        }
    }

    // A new key keeps every line that was there, in order (blank lines at the end aside), and the encoding.
    wchar_t existing[8];
    if (GetPrivateProfileStringW(L"Fuzz Mark", L"Mark", L"", existing, 8, name.c_str()) != 0)
        return 0;
    if (!WritePrivateProfileStringW(L"Fuzz Mark", L"Mark", L"1", name.c_str()))
        __builtin_trap();
    const std::string rewritten = fuzz::ReadWholeFile(file.path());
    const std::vector<std::wstring> before = LinesOf(bytes), after = LinesOf(rewritten);
    size_t found = 0;
    for (const std::wstring& line : before) {
        while (found < after.size() && after[found] != line)
            ++found;
        if (found == after.size() && !IsBlank(line))
            __builtin_trap();
        found = std::min(found + 1, after.size());
    }
    if (DecodeTextFile(rewritten).encoding != DecodeTextFile(bytes).encoding)
        __builtin_trap();
    return 0;
}
