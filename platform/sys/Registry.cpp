#include "platform/sys/Registry.h"

#include "platform/base/CString.h"
#include "platform/sys/AtomicFile.h"
#include "platform/sys/Folders.h"
#include "platform/sys/RegistryTree.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr const char* kFileName = "/registry.txt";

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

// The write batch of one thread (see RegistryWriteBatch): the folder lock it holds from its first
// change, whether a change waits to be written, and the first failure.
struct RegistryBatchState {
    std::thread::id owner;
    std::unique_ptr<FolderWriteLock> lock;
    bool pending = false;
    LSTATUS failure = ERROR_SUCCESS;
};

// The registry as last read from (or written to) its file, with the open handles.
class Store {
public:
    static Store& Instance()
    {
        static Store store;
        return store;
    }

    std::mutex mutex;

    std::optional<RegistryBatchState> batch;
    std::condition_variable batchEnded;

    bool InOwnBatch() const { return batch && batch->owner == std::this_thread::get_id(); }

    // Makes the trees match the file; with force, reads it even when it looks unchanged. A file
    // that holds what the trees were read from or written as is not parsed again, so a write
    // costs what it changes and not a reading of the whole registry.
    void Refresh(bool force)
    {
        std::string path = SettingsFolder() + kFileName;
        FileStamp stamp = StampOf(path);
        if (!force && path == m_path && stamp == m_stamp) return;
        bool samePath = path == m_path;
        m_path = path;
        m_stamp = stamp;
        auto bytes = ReadFileBytes(m_path);
        if (samePath && bytes && m_known && *bytes == *m_known) return;
        Load(bytes);
    }

    RegistryKey* RootKey(Root root)
    {
        switch (root) {
        case Root::ClassesRoot: return &m_classesRoot;
        case Root::CurrentUser: return &m_currentUser;
        default: return nullptr;  // not kept here: always empty, never written
        }
    }

    RegistryKey* Find(Root root, const KeyPath& path)
    {
        RegistryKey* key = RootKey(root);
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
        std::string bytes = RegistryFileText(m_currentUser, m_classesRoot);
        if ((m_damaged && !KeepDamagedCopy()) || !ReplaceFileAtomically(m_path, bytes)) {
            LSTATUS status = errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_CANTWRITE;
            m_known.reset();
            Refresh(true);
            return status;
        }
        m_damaged = false;
        m_stamp = StampOf(m_path);
        m_known = std::move(bytes);
        return ERROR_SUCCESS;
    }

    // Why the file could not be read, as a registry error.
    LSTATUS UnreadableStatus() const
    {
        return m_unreadableErrno == EACCES || m_unreadableErrno == EPERM ? ERROR_ACCESS_DENIED
                                                                         : static_cast<LSTATUS>(ErrnoToSystemError(m_unreadableErrno));
    }
    bool Unreadable() const { return m_unreadableErrno != 0; }

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

    // Reads the trees from the file's bytes (none: the file is missing or unreadable).
    void Load(const std::optional<std::string>& bytes)
    {
        m_classesRoot.Clear();
        m_currentUser.Clear();
        m_damaged = false;
        m_unreadableErrno = !bytes && errno != ENOENT ? errno : 0;
        m_known = bytes;
        if (bytes) m_damaged = !ParseRegistryText(NarrowToWide(*bytes), m_currentUser, m_classesRoot);
    }

    // A file with lines this program cannot read is kept beside the new one, so that rewriting
    // the registry never silently drops them; an earlier copy is never overwritten. False (with
    // errno) when the copy cannot be made: then the file must not be rewritten.
    bool KeepDamagedCopy()
    {
        std::string copy = m_path + ".damaged";
        struct stat info {};
        for (int n = 1; ::lstat(copy.c_str(), &info) == 0; ++n) copy = m_path + ".damaged-" + std::to_string(n);
        return m_known && ReplaceFileAtomically(copy, *m_known);
    }

    std::string m_path;
    std::optional<std::string> m_known;  // the file's bytes as last read or written
    FileStamp m_stamp;
    bool m_damaged = false;
    int m_unreadableErrno = 0;  // why the file could not be read; 0 when it could, or is missing
    RegistryKey m_classesRoot;
    RegistryKey m_currentUser;
    RegistryKey m_empty;
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
LSTATUS FindOpenKey(Store& store, HKEY handle, RegistryKey*& key)
{
    OpenKey open;
    if (LSTATUS status = Resolve(store, handle, open); status != ERROR_SUCCESS) return status;
    key = store.Find(open.root, open.path);
    return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// As FindOpenKey, for a change: the roots not kept here refuse it.
LSTATUS FindWritableKey(Store& store, HKEY handle, RegistryKey*& key)
{
    OpenKey open;
    if (LSTATUS status = Resolve(store, handle, open); status != ERROR_SUCCESS) return status;
    if (!store.RootKey(open.root)) return ERROR_ACCESS_DENIED;
    key = store.Find(open.root, open.path);
    return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// The key below an open key, made with the missing keys on the way (changed when any was).
LSTATUS CreatePath(Store& store, HKEY key, LPCWSTR subKey, OpenKey& open, RegistryKey*& created, bool& changed)
{
    if (LSTATUS status = Resolve(store, key, open); status != ERROR_SUCCESS) return status;
    if (!SplitKeyPath(subKey, open.path)) return ERROR_INVALID_PARAMETER;
    RegistryKey* parent = store.RootKey(open.root);
    if (!parent) return ERROR_ACCESS_DENIED;
    for (const auto& name : open.path) {
        RegistryKey* sub = parent->FindSubkey(name);
        if (!sub) {
            sub = &parent->AddSubkey(name);
            changed = true;
        }
        parent = sub;
    }
    created = parent;
    return ERROR_SUCCESS;
}

std::wstring_view ValueName(LPCWSTR name) { return name ? std::wstring_view(name) : std::wstring_view(); }

// A value as it is kept: texts up to their first NUL, a REG_DWORD in exactly 4 bytes (nothing
// for data that does not fit its type).
std::optional<RegistryValue> MakeValue(LPCWSTR name, DWORD type, const BYTE* data, DWORD dataSize)
{
    if (!data && dataSize) return std::nullopt;
    RegistryValue value;
    value.name = ValueName(name);
    value.type = type;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::vector<BYTE> raw(data, data + dataSize);
        value.data = ValueDataOfText(TextOfValueData(raw));
    } else if (type == REG_DWORD) {
        if (dataSize != 4) return std::nullopt;
        value.data.assign(data, data + 4);
    } else {
        value.data.assign(data, data + dataSize);
    }
    return value;
}

// Setting what a key holds already changes nothing, so that values a program sets again at every
// start leave the file alone.
void StoreValue(RegistryKey& key, RegistryValue value, bool& changed)
{
    if (RegistryValue* existing = key.FindValue(value.name)) {
        if (existing->type == value.type && existing->data == value.data) return;
        value.name = std::move(existing->name);  // a value keeps the name it was first set with
        *existing = std::move(value);
    } else {
        key.values.push_back(std::move(value));
    }
    changed = true;
}

// Runs a change on freshly read trees under the folder lock and saves the result when the
// change reports one.
// Takes the folder lock for the registry file and reads the file afresh; ERROR_SUCCESS when the
// trees may be changed.
LSTATUS LockAndRefresh(Store& store, std::unique_ptr<FolderWriteLock>& lock)
{
    if (!EnsureSettingsFolder()) return ERROR_CANTWRITE;
    lock = std::make_unique<FolderWriteLock>(FolderOf(FinalTarget(SettingsFolder() + kFileName)));
    if (!lock->held()) return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_CANTWRITE;
    store.Refresh(true);
    if (store.Unreadable()) return store.UnreadableStatus();
    return ERROR_SUCCESS;
}

// Runs a change on freshly read trees under the folder lock and saves the result when the
// change reports one; inside the thread's write batch the saving waits for the batch's end.
template <typename Change>
LSTATUS WriteTransaction(Change change)
{
    Store& store = Store::Instance();
    std::unique_lock guard(store.mutex);
    store.batchEnded.wait(guard, [&] { return !store.batch || store.InOwnBatch(); });
    if (store.batch) {
        RegistryBatchState& batch = *store.batch;
        if (!batch.lock && batch.failure == ERROR_SUCCESS) batch.failure = LockAndRefresh(store, batch.lock);
        if (batch.failure != ERROR_SUCCESS) return batch.failure;
        bool changed = false;
        LSTATUS status = change(store, changed);
        batch.pending = batch.pending || (status == ERROR_SUCCESS && changed);
        return status;
    }
    std::unique_ptr<FolderWriteLock> folderLock;
    if (LSTATUS status = LockAndRefresh(store, folderLock); status != ERROR_SUCCESS) return status;
    bool changed = false;
    LSTATUS status = change(store, changed);
    if (status == ERROR_SUCCESS && changed) status = store.Save();
    return status;
}

LSTATUS CopyData(const RegistryValue& value, LPDWORD type, LPBYTE data, LPDWORD dataSize)
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
        RegistryKey* created = nullptr;
        if (LSTATUS status = CreatePath(store, key, subKey, open, created, changed); status != ERROR_SUCCESS) return status;
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
    RegistryKey* found = nullptr;
    if (LSTATUS status = FindOpenKey(store, key, found); status != ERROR_SUCCESS) return status;
    const RegistryValue* value = found->FindValue(ValueName(name));
    if (!value) return ERROR_FILE_NOT_FOUND;
    return CopyData(*value, type, data, dataSize);
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    std::optional<RegistryValue> value = MakeValue(name, type, data, dataSize);
    if (!value) return ERROR_INVALID_PARAMETER;
    return WriteTransaction([&](Store& store, bool& changed) -> LSTATUS {
        RegistryKey* found = nullptr;
        if (LSTATUS status = FindWritableKey(store, key, found); status != ERROR_SUCCESS) return status;
        StoreValue(*found, std::move(*value), changed);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegSetKeyValueW(HKEY key, LPCWSTR subKey, LPCWSTR name, DWORD type, const void* data, DWORD dataSize)
{
    std::optional<RegistryValue> value = MakeValue(name, type, static_cast<const BYTE*>(data), dataSize);
    if (!value) return ERROR_INVALID_PARAMETER;
    return WriteTransaction([&](Store& store, bool& changed) -> LSTATUS {
        OpenKey open;
        RegistryKey* found = nullptr;
        if (LSTATUS status = CreatePath(store, key, subKey, open, found, changed); status != ERROR_SUCCESS) return status;
        StoreValue(*found, std::move(*value), changed);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name)
{
    return WriteTransaction([&](Store& store, bool& changed) -> LSTATUS {
        RegistryKey* found = nullptr;
        if (LSTATUS status = FindWritableKey(store, key, found); status != ERROR_SUCCESS) return status;
        auto it = std::find_if(found->values.begin(), found->values.end(),
                               [&](const RegistryValue& v) { return SameRegistryName(v.name, ValueName(name)); });
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
        RegistryKey* parent = nullptr;
        if (LSTATUS status = FindWritableKey(store, key, parent); status != ERROR_SUCCESS) return status;
        for (size_t i = 0; i + 1 < relative.size(); ++i) {
            parent = parent->FindSubkey(relative[i]);
            if (!parent) return ERROR_FILE_NOT_FOUND;
        }
        RegistryKey* doomed = parent->FindSubkey(relative.back());
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
    RegistryKey* found = nullptr;
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
    RegistryKey* found = nullptr;
    if (LSTATUS status = FindOpenKey(store, key, found); status != ERROR_SUCCESS) return status;
    if (index >= found->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& value = found->values[index];
    if (LSTATUS status = CopyName(value.name, name, nameSize); status != ERROR_SUCCESS) return status;
    return CopyData(value, type, data, dataSize);
}

std::string RegistryFilePath()
{
    return SettingsFolder() + kFileName;
}

RegistryWriteBatch::RegistryWriteBatch()
{
    Store& store = Store::Instance();
    std::unique_lock guard(store.mutex);
    if (store.InOwnBatch()) {
        m_open = false;  // joins the thread's batch, which writes its changes
        return;
    }
    store.batchEnded.wait(guard, [&] { return !store.batch; });
    store.batch.emplace();
    store.batch->owner = std::this_thread::get_id();
}

RegistryWriteBatch::~RegistryWriteBatch()
{
    Commit();
}

LSTATUS RegistryWriteBatch::Commit()
{
    if (!std::exchange(m_open, false)) return m_result;
    Store& store = Store::Instance();
    {
        std::lock_guard guard(store.mutex);
        RegistryBatchState& batch = *store.batch;
        m_result = batch.failure;
        if (m_result == ERROR_SUCCESS && batch.pending) m_result = store.Save();
        store.batch.reset();
    }
    store.batchEnded.notify_all();
    return m_result;
}
