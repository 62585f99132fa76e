#pragma once
// The registry: trees of keys holding named, typed values. HKEY_CURRENT_USER and
// HKEY_CLASSES_ROOT are kept together in one text file, <settings folder>/registry.txt
// (see Folders.h). Every change re-reads the file under an exclusive lock of the folder and
// replaces it atomically (see AtomicFile.h), so two processes writing at once lose nothing and a
// crash never leaves a half-written file; a change that cannot take the lock fails. Key and value names compare without regard to case.
//
// The functions return ERROR_SUCCESS or a system error code:
//   ERROR_FILE_NOT_FOUND      the key or value does not exist
//   ERROR_INVALID_HANDLE      the key handle is not open (or was closed)
//   ERROR_KEY_DELETED         the key behind an open handle has been deleted
//   ERROR_ACCESS_DENIED       a key with subkeys cannot be deleted, a root that is not kept here, or
//                             a registry file the user made read-only
//   ERROR_INVALID_PARAMETER   a null required pointer, a bad name or data that does not fit the type
//   ERROR_MORE_DATA           the caller's buffer is too small; the size needed is returned
//   ERROR_NO_MORE_ITEMS       an enumeration index past the end
//   ERROR_CANTWRITE           the file could not be written (nor, for a file with lines that cannot
//                             be read, its copy kept aside); nothing was changed

#include "platform/base/ErrorCodes.h"
#include "platform/base/FileTime.h"

#include <string>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000003));

// Value types. REG_SZ data are wchar_t units including the terminating NUL.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// Access rights are accepted and not enforced: the user owns every key kept here.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_EXECUTE = 0x20019;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0x0;
constexpr DWORD REG_OPTION_VOLATILE = 0x1;
constexpr DWORD REG_CREATED_NEW_KEY = 0x1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 0x2;

// A null or empty subKey opens (or creates) another handle to key itself.
LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                        REGSAM access, const void* security, PHKEY result, LPDWORD disposition);
LSTATUS RegCloseKey(HKEY key);

// A null or empty name is the key's default value. data may be null to ask for type and size;
// *dataSize is in bytes, on return the size of the value (also with ERROR_MORE_DATA).
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize);
// REG_DWORD takes exactly 4 bytes; REG_SZ and REG_EXPAND_SZ keep the text up to the first NUL.
LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD dataSize);
// Sets a value of the key below `key`, making the keys on the way that are missing, in one change
// of the file.
LSTATUS RegSetKeyValueW(HKEY key, LPCWSTR subKey, LPCWSTR name, DWORD type, const void* data, DWORD dataSize);
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name);
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise).
LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey);

// Subkeys come in alphabetical order, values in the order they were first set. *nameSize is in
// characters: on input the buffer size, on success the length without the terminator.
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved,
                      LPWSTR keyClass, LPDWORD classSize, FILETIME* lastWriteTime);
LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved,
                      LPDWORD type, LPBYTE data, LPDWORD dataSize);

// The file the registry is kept in.
std::string RegistryFilePath();

// Gathers the changes this thread makes while it lives into one write of the file (each change
// alone rewrites and flushes the whole file), for a program that saves many values at once. From
// its first change to its end it holds the folder lock, so the other threads' changes wait for it
// and the thread must write no other file of the settings folder meanwhile. Each change answers
// as it would alone; Commit (or the destructor) writes them and tells whether that worked. A batch
// made inside another of the same thread joins it.
class RegistryWriteBatch {
public:
    RegistryWriteBatch();
    ~RegistryWriteBatch();
    RegistryWriteBatch(const RegistryWriteBatch&) = delete;
    RegistryWriteBatch& operator=(const RegistryWriteBatch&) = delete;

    // Writes the gathered changes and ends the batch; later calls return the same result.
    LSTATUS Commit();

private:
    bool m_open = true;
    LSTATUS m_result = ERROR_SUCCESS;
};

inline constexpr auto& RegOpenKeyEx = RegOpenKeyExW;
inline constexpr auto& RegCreateKeyEx = RegCreateKeyExW;
inline constexpr auto& RegQueryValueEx = RegQueryValueExW;
inline constexpr auto& RegSetValueEx = RegSetValueExW;
inline constexpr auto& RegSetKeyValue = RegSetKeyValueW;
inline constexpr auto& RegDeleteValue = RegDeleteValueW;
inline constexpr auto& RegDeleteKey = RegDeleteKeyW;
inline constexpr auto& RegEnumKeyEx = RegEnumKeyExW;
inline constexpr auto& RegEnumValue = RegEnumValueW;
