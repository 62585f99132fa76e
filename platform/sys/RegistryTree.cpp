#include "platform/sys/RegistryTree.h"

#include "platform/base/CaseFolding.h"
#include "platform/base/CString.h"
#include "platform/sys/Registry.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <optional>
#include <unordered_map>

// The text form, one UTF-8 text file:
//   [HKEY_CURRENT_USER\Software\Formulon\FLN]
//   @="default value"
//   "Name"="text with \"quotes\", \\ and \n escaped"
//   "Count"=dword:0000002a
//   "WP"=hex:2c,00,00,00
//   "Other"=hex(7):41,00,...
// Every key has its own section, empty keys too; lines starting with ";" are comments.

namespace {

constexpr size_t kMaxKeyNameLength = 255;

} // namespace

int CompareRegistryNames(std::wstring_view a, std::wstring_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wint_t x = std::towlower(a[i]), y = std::towlower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameRegistryName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

RegistryKey* RegistryKey::FindSubkey(std::wstring_view subName)
{
    auto it = LowerBound(subName);
    return it != subkeys.end() && CompareRegistryNames((*it)->name, subName) == 0 ? it->get() : nullptr;
}

RegistryKey& RegistryKey::AddSubkey(std::wstring_view subName)
{
    auto key = std::make_unique<RegistryKey>();
    key->name = subName;
    return **subkeys.insert(LowerBound(subName), std::move(key));
}

RegistryValue* RegistryKey::FindValue(std::wstring_view valueName)
{
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const RegistryValue& v) { return SameRegistryName(v.name, valueName); });
    return it == values.end() ? nullptr : &*it;
}

void RegistryKey::Clear()
{
    subkeys.clear();
    values.clear();
}

std::vector<std::unique_ptr<RegistryKey>>::iterator RegistryKey::LowerBound(std::wstring_view subName)
{
    return std::lower_bound(subkeys.begin(), subkeys.end(), subName, [](const auto& key, std::wstring_view n) {
        return CompareRegistryNames(key->name, n) < 0;
    });
}

bool SplitKeyPath(LPCWSTR text, KeyPath& path)
{
    if (!text) return true;
    std::wstring_view rest(text);
    while (!rest.empty()) {
        size_t end = std::min(rest.find(L'\\'), rest.size());
        std::wstring_view step = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (step.empty()) continue;
        if (step.size() > kMaxKeyNameLength) return false;
        if (std::any_of(step.begin(), step.end(), [](wchar_t ch) { return ch < 0x20; })) return false;
        path.emplace_back(step);
    }
    return true;
}

namespace {

void AppendQuoted(std::wstring& out, std::wstring_view text)
{
    out += L'"';
    for (wchar_t ch : text) {
        switch (ch) {
        case L'"': out += L"\\\""; break;
        case L'\\': out += L"\\\\"; break;
        case L'\n': out += L"\\n"; break;
        case L'\r': out += L"\\r"; break;
        default: out += ch;
        }
    }
    out += L'"';
}

} // namespace

std::wstring TextOfValueData(const std::vector<BYTE>& data)
{
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
    return text;
}

std::vector<BYTE> ValueDataOfText(std::wstring_view text)
{
    std::vector<BYTE> data((text.size() + 1) * sizeof(wchar_t), 0);
    if (!text.empty()) std::memcpy(data.data(), text.data(), text.size() * sizeof(wchar_t));
    return data;
}

namespace {

void AppendValue(std::wstring& out, const RegistryValue& value)
{
    if (value.name.empty())
        out += L'@';
    else
        AppendQuoted(out, value.name);
    out += L'=';
    if (value.type == REG_SZ) {
        AppendQuoted(out, TextOfValueData(value.data));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number;
        std::memcpy(&number, value.data.data(), 4);
        wchar_t digits[16];
        swprintf(digits, 16, L"dword:%08x", number);
        out += digits;
    } else {
        wchar_t prefix[32];
        if (value.type == REG_BINARY)
            swprintf(prefix, 32, L"hex:");
        else
            swprintf(prefix, 32, L"hex(%x):", value.type);
        out += prefix;
        for (size_t i = 0; i < value.data.size(); ++i) {
            wchar_t byte[4];
            swprintf(byte, 4, i ? L",%02x" : L"%02x", value.data[i]);
            out += byte;
        }
    }
    out += L'\n';
}

void AppendKey(std::string& out, const RegistryKey& key, const std::wstring& path)
{
    out += WideToUtf8(L'[' + path + L"]\n");
    for (const RegistryValue& value : key.values) {
        if (value.fileLine.empty()) {
            std::wstring line;
            AppendValue(line, value);
            value.fileLine = WideToUtf8(line);
        }
        out += value.fileLine;
    }
    out += '\n';
    for (const auto& subkey : key.subkeys) AppendKey(out, *subkey, path + L'\\' + subkey->name);
}

// Reads a quoted text at the start of line (past the opening quote on entry); moves line past it.
// A NUL is damage: no name or text the registry functions take holds one, and the writer never
// writes one.
std::optional<std::wstring> ReadQuoted(std::wstring_view& line)
{
    if (line.empty() || line.front() != L'"') return std::nullopt;
    std::wstring text;
    for (size_t i = 1; i < line.size(); ++i) {
        wchar_t ch = line[i];
        if (ch == L'"') {
            line.remove_prefix(i + 1);
            return text;
        }
        if (ch == L'\\' && i + 1 < line.size()) {
            ch = line[++i];
            if (ch == L'n') ch = L'\n';
            else if (ch == L'r') ch = L'\r';
        }
        if (ch == L'\0') return std::nullopt;
        text += ch;
    }
    return std::nullopt;
}

std::optional<std::vector<BYTE>> ReadHexBytes(std::wstring_view text)
{
    std::vector<BYTE> bytes;
    while (!text.empty()) {
        if (text.size() < 2 || !std::iswxdigit(text[0]) || !std::iswxdigit(text[1])) return std::nullopt;
        bytes.push_back(static_cast<BYTE>(std::stoul(std::wstring(text.substr(0, 2)), nullptr, 16)));
        text.remove_prefix(2);
        if (!text.empty()) {
            if (text.front() != L',') return std::nullopt;
            text.remove_prefix(1);
        }
    }
    return bytes;
}

std::optional<RegistryValue> ParseValueLine(std::wstring_view line)
{
    RegistryValue value;
    if (!line.empty() && line.front() == L'@') {
        line.remove_prefix(1);
    } else {
        auto name = ReadQuoted(line);
        if (!name) return std::nullopt;
        value.name = std::move(*name);
    }
    if (line.empty() || line.front() != L'=') return std::nullopt;
    line.remove_prefix(1);

    if (!line.empty() && line.front() == L'"') {
        auto text = ReadQuoted(line);
        if (!text || !line.empty()) return std::nullopt;
        value.type = REG_SZ;
        value.data = ValueDataOfText(*text);
        return value;
    }
    if (line.starts_with(L"dword:")) {
        line.remove_prefix(6);
        if (line.size() != 8 || !std::all_of(line.begin(), line.end(), [](wchar_t c) { return std::iswxdigit(c); }))
            return std::nullopt;
        DWORD number = static_cast<DWORD>(std::stoul(std::wstring(line), nullptr, 16));
        value.type = REG_DWORD;
        value.data.resize(4);
        std::memcpy(value.data.data(), &number, 4);
        return value;
    }
    if (line.starts_with(L"hex:")) {
        value.type = REG_BINARY;
        line.remove_prefix(4);
    } else if (line.starts_with(L"hex(")) {
        size_t close = line.find(L"):");
        if (close == std::wstring_view::npos || close == 4 || close > 12) return std::nullopt;
        std::wstring digits(line.substr(4, close - 4));
        if (!std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return std::iswxdigit(c); }))
            return std::nullopt;
        value.type = static_cast<DWORD>(std::stoul(digits, nullptr, 16));
        line.remove_prefix(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = ReadHexBytes(line);
    if (!bytes) return std::nullopt;
    value.data = std::move(*bytes);
    return value;
}

// Adds what a text holds to the trees. A key may hold thousands of values or subkeys, so each key
// the text reaches gets an index of them by name, and its new subkeys are appended and put in
// order once at the end: reading takes time linear in the text, sorting aside.
class TextReader {
public:
    TextReader(RegistryKey& currentUser, RegistryKey& classesRoot)
        : m_currentUser(currentUser)
        , m_classesRoot(classesRoot)
    {
    }
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;
    // Puts the subkeys the text added out of order in order.
    ~TextReader()
    {
        for (auto& [key, index] : m_indexes)
            if (index.unsorted)
                std::sort(key->subkeys.begin(), key->subkeys.end(),
                          [](const auto& a, const auto& b) { return CompareRegistryNames(a->name, b->name) < 0; });
    }

    // The key a "[HKEY_...\path]" header names, made when missing; null for a header of no kept tree.
    RegistryKey* KeyOfHeader(std::wstring_view header)
    {
        KeyPath path;
        std::wstring text(header);
        if (!SplitKeyPath(text.c_str(), path) || path.empty()) return nullptr;
        RegistryKey* key = CompareRegistryNames(path[0], m_currentUser.name) == 0   ? &m_currentUser
                           : CompareRegistryNames(path[0], m_classesRoot.name) == 0 ? &m_classesRoot
                                                                                     : nullptr;
        for (size_t i = 1; key && i < path.size(); ++i) key = &Subkey(*key, path[i]);
        return key;
    }

    // A value named again replaces the earlier one in its place.
    void SetValue(RegistryKey& key, RegistryValue value)
    {
        auto [found, added] = IndexOf(key).values.try_emplace(FoldedName(value.name), key.values.size());
        if (added)
            key.values.push_back(std::move(value));
        else
            key.values[found->second] = std::move(value);
    }

private:
    struct Index {
        std::unordered_map<std::wstring, size_t> values;  // positions in the key's values
        std::unordered_map<std::wstring, RegistryKey*> subkeys;
        bool unsorted = false;
    };

    Index& IndexOf(RegistryKey& key)
    {
        auto [found, added] = m_indexes.try_emplace(&key);
        if (added) {
            for (size_t i = 0; i < key.values.size(); ++i) found->second.values.try_emplace(FoldedName(key.values[i].name), i);
            for (const auto& sub : key.subkeys) found->second.subkeys.emplace(FoldedName(sub->name), sub.get());
        }
        return found->second;
    }

    RegistryKey& Subkey(RegistryKey& key, std::wstring_view name)
    {
        Index& index = IndexOf(key);
        RegistryKey*& sub = index.subkeys[FoldedName(name)];
        if (!sub) {
            index.unsorted |= !key.subkeys.empty() && CompareRegistryNames(key.subkeys.back()->name, name) > 0;
            key.subkeys.push_back(std::make_unique<RegistryKey>());
            sub = key.subkeys.back().get();
            sub->name = name;
        }
        return *sub;
    }

    RegistryKey& m_currentUser;
    RegistryKey& m_classesRoot;
    std::unordered_map<RegistryKey*, Index> m_indexes;
};

} // namespace

std::string RegistryFileText(const RegistryKey& currentUser, const RegistryKey& classesRoot)
{
    std::string text = "; Formulon settings\n\n";
    AppendKey(text, currentUser, currentUser.name);
    AppendKey(text, classesRoot, classesRoot.name);
    return text;
}

bool ParseRegistryText(std::wstring_view text, RegistryKey& currentUser, RegistryKey& classesRoot)
{
    bool whole = true;
    TextReader reader(currentUser, classesRoot);
    RegistryKey* current = nullptr;
    while (!text.empty()) {
        size_t end = std::min(text.find(L'\n'), text.size());
        std::wstring_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        if (line.empty() || line.front() == L';') continue;
        if (line.front() == L'[') {
            current = line.back() == L']' ? reader.KeyOfHeader(line.substr(1, line.size() - 2)) : nullptr;
            whole &= current != nullptr;
            continue;
        }
        auto value = current ? ParseValueLine(line) : std::nullopt;
        if (!value) {
            whole = false;
            continue;
        }
        reader.SetValue(*current, std::move(*value));
    }
    return whole;
}
