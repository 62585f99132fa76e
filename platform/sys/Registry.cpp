#include "platform/sys/Registry.h"

#include "platform/base/CString.h"
#include "platform/sys/AtomicFile.h"
#include "platform/sys/Folders.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwctype>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

// File format, one UTF-8 text file:
//   [HKEY_CURRENT_USER\Software\Formulon\FLN]
//   @="default value"
//   "Name"="text with \"quotes\", \\ and \n escaped"
//   "Count"=dword:0000002a
//   "WP"=hex:2c,00,00,00
//   "Other"=hex(7):41,00,...
// Every key has its own section, empty keys too; lines starting with ";" are comments.

namespace {

constexpr size_t kMaxKeyNameLength = 255;
constexpr const char* kFileName = "/registry.txt";

int CompareNames(std::wstring_view a, std::wstring_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wint_t x = std::towlower(a[i]), y = std::towlower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    std::wstring name;
    std::vector<std::unique_ptr<Key>> subkeys;  // sorted by name
    std::vector<Value> values;                  // in the order first set

    Key* FindSubkey(std::wstring_view subName)
    {
        auto it = LowerBound(subName);
        return it != subkeys.end() && CompareNames((*it)->name, subName) == 0 ? it->get() : nullptr;
    }

    Key& AddSubkey(std::wstring_view subName)
    {
        auto key = std::make_unique<Key>();
        key->name = subName;
        return **subkeys.insert(LowerBound(subName), std::move(key));
    }

    Value* FindValue(std::wstring_view valueName)
    {
        auto it = std::find_if(values.begin(), values.end(),
                               [&](const Value& v) { return CompareNames(v.name, valueName) == 0; });
        return it == values.end() ? nullptr : &*it;
    }

private:
    std::vector<std::unique_ptr<Key>>::iterator LowerBound(std::wstring_view subName)
    {
        return std::lower_bound(subkeys.begin(), subkeys.end(), subName,
                                [](const auto& key, std::wstring_view n) { return CompareNames(key->name, n) < 0; });
    }
};

using KeyPath = std::vector<std::wstring>;

enum class Root { ClassesRoot, CurrentUser, LocalMachine, Users };

struct OpenKey {
    Root root;
    KeyPath path;
};

std::optional<Root> PredefinedRoot(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT) return Root::ClassesRoot;
    if (key == HKEY_CURRENT_USER) return Root::CurrentUser;
    if (key == HKEY_LOCAL_MACHINE) return Root::LocalMachine;
    if (key == HKEY_USERS) return Root::Users;
    return std::nullopt;
}

// Splits "a\b\\c\" into its names; empty steps are skipped. False for a name no key can have.
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

// ---- text form ----

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

std::wstring TextOf(const std::vector<BYTE>& data)
{
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
    return text;
}

std::vector<BYTE> DataOfText(std::wstring_view text)
{
    std::vector<BYTE> data((text.size() + 1) * sizeof(wchar_t), 0);
    if (!text.empty()) std::memcpy(data.data(), text.data(), text.size() * sizeof(wchar_t));
    return data;
}

void AppendValue(std::wstring& out, const Value& value)
{
    if (value.name.empty())
        out += L'@';
    else
        AppendQuoted(out, value.name);
    out += L'=';
    if (value.type == REG_SZ) {
        AppendQuoted(out, TextOf(value.data));
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

void AppendKey(std::wstring& out, const Key& key, const std::wstring& path)
{
    out += L'[' + path + L"]\n";
    for (const Value& value : key.values) AppendValue(out, value);
    out += L'\n';
    for (const auto& subkey : key.subkeys) AppendKey(out, *subkey, path + L'\\' + subkey->name);
}

// Reads a quoted text at the start of line (past the opening quote on entry); moves line past it.
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

std::optional<Value> ParseValueLine(std::wstring_view line)
{
    Value value;
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
        value.data = DataOfText(*text);
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

struct FileStamp {
    bool exists = false;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};

    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileStamp StampOf(const std::string& path)
{
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return stamp;
    stamp.exists = true;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    return stamp;
}

// The registry as last read from (or written to) its file, with the open handles.
class Store {
public:
    static Store& Instance()
    {
        static Store store;
        return store;
    }

    std::mutex mutex;

    // Makes the trees match the file; with force, reads it even when it looks unchanged.
    void Refresh(bool force)
    {
        std::string path = SettingsFolder() + kFileName;
        FileStamp stamp = StampOf(path);
        if (!force && path == m_path && stamp == m_stamp) return;
        m_path = path;
        m_stamp = stamp;
        Load();
    }

    Key* RootKey(Root root)
    {
        switch (root) {
        case Root::ClassesRoot: return &m_classesRoot;
        case Root::CurrentUser: return &m_currentUser;
        default: return nullptr;  // not kept here: always empty, never written
        }
    }

    Key* Find(Root root, const KeyPath& path)
    {
        Key* key = RootKey(root);
        if (!key) return path.empty() ? &m_empty : nullptr;
        for (const auto& name : path) {
            key = key->FindSubkey(name);
            if (!key) return nullptr;
        }
        return key;
    }

    // Writes the trees to the file. On failure the trees are read back from the file, so that
    // memory never holds a change the file does not.
    LSTATUS Save()
    {
        if (m_damaged) KeepDamagedCopy();
        std::wstring text = L"; Formulon settings\n\n";
        AppendKey(text, m_currentUser, m_currentUser.name);
        AppendKey(text, m_classesRoot, m_classesRoot.name);
        if (!ReplaceFileAtomically(m_path, WideToUtf8(text))) {
            Refresh(true);
            return ERROR_CANTWRITE;
        }
        m_damaged = false;
        m_stamp = StampOf(m_path);
        return ERROR_SUCCESS;
    }

    bool Unreadable() const { return m_unreadable; }

    HKEY AddHandle(OpenKey key)
    {
        m_nextHandle += 4;
        m_handles[m_nextHandle] = std::move(key);
        return reinterpret_cast<HKEY>(m_nextHandle);
    }

    bool CloseHandle(HKEY key) { return m_handles.erase(reinterpret_cast<ULONG_PTR>(key)) == 1; }

    const OpenKey* Lookup(HKEY key)
    {
        auto it = m_handles.find(reinterpret_cast<ULONG_PTR>(key));
        return it == m_handles.end() ? nullptr : &it->second;
    }

private:
    Store()
    {
        m_classesRoot.name = L"HKEY_CLASSES_ROOT";
        m_currentUser.name = L"HKEY_CURRENT_USER";
    }

    void Load()
    {
        m_classesRoot.subkeys.clear();
        m_classesRoot.values.clear();
        m_currentUser.subkeys.clear();
        m_currentUser.values.clear();
        m_damaged = false;
        m_unreadable = false;
        auto bytes = ReadFileBytes(m_path);
        if (!bytes) {
            m_unreadable = errno != ENOENT;
            return;
        }
        Parse(NarrowToWide(*bytes));
    }

    void Parse(std::wstring_view text)
    {
        Key* current = nullptr;
        while (!text.empty()) {
            size_t end = std::min(text.find(L'\n'), text.size());
            std::wstring_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
            if (line.empty() || line.front() == L';') continue;
            if (line.front() == L'[') {
                current = line.back() == L']' ? KeyOfHeader(line.substr(1, line.size() - 2)) : nullptr;
                m_damaged |= current == nullptr;
                continue;
            }
            auto value = current ? ParseValueLine(line) : std::nullopt;
            if (!value) {
                m_damaged = true;
                continue;
            }
            if (Value* existing = current->FindValue(value->name))
                *existing = std::move(*value);
            else
                current->values.push_back(std::move(*value));
        }
    }

    Key* KeyOfHeader(std::wstring_view header)
    {
        KeyPath path;
        std::wstring text(header);
        if (!SplitKeyPath(text.c_str(), path) || path.empty()) return nullptr;
        Key* key = CompareNames(path[0], m_currentUser.name) == 0   ? &m_currentUser
                   : CompareNames(path[0], m_classesRoot.name) == 0 ? &m_classesRoot
                                                                     : nullptr;
        for (size_t i = 1; key && i < path.size(); ++i) {
            Key* sub = key->FindSubkey(path[i]);
            key = sub ? sub : &key->AddSubkey(path[i]);
        }
        return key;
    }

    // A file with lines this program cannot read is kept beside the new one, once, so that
    // rewriting the registry never silently drops them.
    void KeepDamagedCopy()
    {
        std::string copy = m_path + ".damaged";
        struct stat info {};
        if (::stat(copy.c_str(), &info) == 0) return;
        if (auto bytes = ReadFileBytes(m_path)) ReplaceFileAtomically(copy, *bytes);
    }

    std::string m_path;
    FileStamp m_stamp;
    bool m_damaged = false;
    bool m_unreadable = false;
    Key m_classesRoot;
    Key m_currentUser;
    Key m_empty;
    std::map<ULONG_PTR, OpenKey> m_handles;
    ULONG_PTR m_nextHandle = 0x1000;
};

// The root and path an HKEY stands for, or an error.
LSTATUS Resolve(Store& store, HKEY key, OpenKey& out)
{
    if (auto root = PredefinedRoot(key)) {
        out = OpenKey { *root, {} };
        return ERROR_SUCCESS;
    }
    const OpenKey* open = store.Lookup(key);
    if (!open) return ERROR_INVALID_HANDLE;
    out = *open;
    return ERROR_SUCCESS;
}

// Finds the key behind an open handle (ERROR_KEY_DELETED when it has gone).
LSTATUS FindOpenKey(Store& store, HKEY handle, Key*& key)
{
    OpenKey open;
    if (LSTATUS status = Resolve(store, handle, open); status != ERROR_SUCCESS) return status;
    key = store.Find(open.root, open.path);
    return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// As FindOpenKey, for a change: the roots not kept here refuse it.
LSTATUS FindWritableKey(Store& store, HKEY handle, Key*& key)
{
    OpenKey open;
    if (LSTATUS status = Resolve(store, handle, open); status != ERROR_SUCCESS) return status;
    if (!store.RootKey(open.root)) return ERROR_ACCESS_DENIED;
    key = store.Find(open.root, open.path);
    return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// Runs a change on freshly read trees under the folder lock and saves the result when the
// change reports one.
template <typename Change>
LSTATUS WriteTransaction(Change change)
{
    Store& store = Store::Instance();
    std::lock_guard guard(store.mutex);
    if (!EnsureSettingsFolder()) return ERROR_CANTWRITE;
    FolderWriteLock folderLock(SettingsFolder());
    store.Refresh(true);
    if (store.Unreadable()) return ERROR_ACCESS_DENIED;
    bool changed = false;
    LSTATUS status = change(store, changed);
    if (status == ERROR_SUCCESS && changed) status = store.Save();
    return status;
}

LSTATUS CopyData(const Value& value, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    if (type) *type = value.type;
    if (!dataSize) return ERROR_SUCCESS;
    DWORD needed = static_cast<DWORD>(value.data.size());
    if (data && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed) std::memcpy(data, value.data.data(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LSTATUS CopyName(std::wstring_view name, LPWSTR buffer, LPDWORD size)
{
    if (!buffer || !size) return ERROR_INVALID_PARAMETER;
    if (*size <= name.size()) {
        *size = static_cast<DWORD>(name.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::wmemcpy(buffer, name.data(), name.size());
    buffer[name.size()] = L'\0';
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

std::wstring_view ValueName(LPCWSTR name) { return name ? std::wstring_view(name) : std::wstring_view(); }

} // namespace

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Store& store = Store::Instance();
    std::lock_guard guard(store.mutex);
    OpenKey open;
    if (LSTATUS status = Resolve(store, key, open); status != ERROR_SUCCESS) return status;
    if (!SplitKeyPath(subKey, open.path)) return ERROR_FILE_NOT_FOUND;
    store.Refresh(false);
    if (!store.Find(open.root, open.path)) return ERROR_FILE_NOT_FOUND;
    *result = store.AddHandle(std::move(open));
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, const void*, PHKEY result,
                        LPDWORD disposition)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    return WriteTransaction([&](Store& store, bool& changed) -> LSTATUS {
        OpenKey open;
        if (LSTATUS status = Resolve(store, key, open); status != ERROR_SUCCESS) return status;
        if (!SplitKeyPath(subKey, open.path)) return ERROR_INVALID_PARAMETER;
        Key* parent = store.RootKey(open.root);
        if (!parent) return ERROR_ACCESS_DENIED;
        for (const auto& name : open.path) {
            Key* sub = parent->FindSubkey(name);
            if (!sub) {
                sub = &parent->AddSubkey(name);
                changed = true;
            }
            parent = sub;
        }
        if (disposition) *disposition = changed ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        *result = store.AddHandle(std::move(open));
        return ERROR_SUCCESS;
    });
}

LSTATUS RegCloseKey(HKEY key)
{
    if (PredefinedRoot(key)) return ERROR_SUCCESS;
    Store& store = Store::Instance();
    std::lock_guard guard(store.mutex);
    return store.CloseHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    Store& store = Store::Instance();
    std::lock_guard guard(store.mutex);
    store.Refresh(false);
    Key* found = nullptr;
    if (LSTATUS status = FindOpenKey(store, key, found); status != ERROR_SUCCESS) return status;
    const Value* value = found->FindValue(ValueName(name));
    if (!value) return ERROR_FILE_NOT_FOUND;
    return CopyData(*value, type, data, dataSize);
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    if (!data && dataSize) return ERROR_INVALID_PARAMETER;
    Value value;
    value.name = ValueName(name);
    value.type = type;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::vector<BYTE> raw(data, data + dataSize);
        value.data = DataOfText(TextOf(raw));
    } else if (type == REG_DWORD) {
        if (dataSize != 4) return ERROR_INVALID_PARAMETER;
        value.data.assign(data, data + 4);
    } else {
        value.data.assign(data, data + dataSize);
    }
    return WriteTransaction([&](Store& store, bool& changed) -> LSTATUS {
        Key* found = nullptr;
        if (LSTATUS status = FindWritableKey(store, key, found); status != ERROR_SUCCESS) return status;
        if (Value* existing = found->FindValue(value.name)) {
            existing->type = value.type;
            existing->data = std::move(value.data);
        } else {
            found->values.push_back(std::move(value));
        }
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name)
{
    return WriteTransaction([&](Store& store, bool& changed) -> LSTATUS {
        Key* found = nullptr;
        if (LSTATUS status = FindWritableKey(store, key, found); status != ERROR_SUCCESS) return status;
        auto it = std::find_if(found->values.begin(), found->values.end(),
                               [&](const Value& v) { return CompareNames(v.name, ValueName(name)) == 0; });
        if (it == found->values.end()) return ERROR_FILE_NOT_FOUND;
        found->values.erase(it);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey)
{
    KeyPath relative;
    if (!SplitKeyPath(subKey, relative)) return ERROR_FILE_NOT_FOUND;
    if (relative.empty()) return ERROR_INVALID_PARAMETER;
    return WriteTransaction([&](Store& store, bool& changed) -> LSTATUS {
        Key* parent = nullptr;
        if (LSTATUS status = FindWritableKey(store, key, parent); status != ERROR_SUCCESS) return status;
        for (size_t i = 0; i + 1 < relative.size(); ++i) {
            parent = parent->FindSubkey(relative[i]);
            if (!parent) return ERROR_FILE_NOT_FOUND;
        }
        Key* doomed = parent->FindSubkey(relative.back());
        if (!doomed) return ERROR_FILE_NOT_FOUND;
        if (!doomed->subkeys.empty()) return ERROR_ACCESS_DENIED;
        std::erase_if(parent->subkeys, [&](const auto& sub) { return sub.get() == doomed; });
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD, LPWSTR keyClass,
                      LPDWORD classSize, FILETIME* lastWriteTime)
{
    Store& store = Store::Instance();
    std::lock_guard guard(store.mutex);
    store.Refresh(false);
    Key* found = nullptr;
    if (LSTATUS status = FindOpenKey(store, key, found); status != ERROR_SUCCESS) return status;
    if (index >= found->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    if (LSTATUS status = CopyName(found->subkeys[index]->name, name, nameSize); status != ERROR_SUCCESS)
        return status;
    // Keys carry no class and no time stamp here.
    if (keyClass && classSize && *classSize) keyClass[0] = L'\0';
    if (classSize) *classSize = 0;
    if (lastWriteTime) *lastWriteTime = FILETIME {};
    return ERROR_SUCCESS;
}

LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize)
{
    Store& store = Store::Instance();
    std::lock_guard guard(store.mutex);
    store.Refresh(false);
    Key* found = nullptr;
    if (LSTATUS status = FindOpenKey(store, key, found); status != ERROR_SUCCESS) return status;
    if (index >= found->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& value = found->values[index];
    if (LSTATUS status = CopyName(value.name, name, nameSize); status != ERROR_SUCCESS) return status;
    return CopyData(value, type, data, dataSize);
}
