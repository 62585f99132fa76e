#pragma once
// Named shared memory: file mappings backed by the paging file, shared by every process of the
// user that opens the same name. A mapping lives as long as a handle or a view of it exists in
// any process; the last one to go removes it, so a later creation starts afresh.
// Guard the content with a named CMutex (platform/sys/Mutex.h) of an agreed name.

#include "platform/base/WinTypes.h"

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));

constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;

constexpr DWORD FILE_MAP_COPY = 0x0001;
constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0x000F001F;

constexpr LONG ERROR_MAPPED_ALIGNMENT = 1132;
constexpr LONG ERROR_INVALID_ADDRESS = 487;

// Views start at multiples of this many bytes into their mapping.
constexpr DWORD kFileMappingGranularity = 0x10000;

// Makes a mapping of sizeHigh:sizeLow bytes, all zero, or opens the existing one of that name, in
// which case GetLastError() is ERROR_ALREADY_EXISTS (else 0) and the existing size stands. A
// named object is made readable by this user only; one of that name that another user owns, or
// that others may open, is refused (ERROR_ACCESS_DENIED), by OpenFileMappingW too.
// Only the paging file (INVALID_HANDLE_VALUE) backs mappings; a null or empty name makes one that
// no other process can open. Returns null on failure (GetLastError).
HANDLE CreateFileMappingW(HANDLE file, const void* securityAttributes, DWORD protect, DWORD sizeHigh, DWORD sizeLow,
                          LPCWSTR name);

// Opens the mapping of that name for FILE_MAP_READ, FILE_MAP_WRITE or FILE_MAP_ALL_ACCESS;
// null with ERROR_FILE_NOT_FOUND when no process has it.
HANDLE OpenFileMappingW(DWORD access, BOOL inheritHandle, LPCWSTR name);

// Maps bytes of the mapping from offset (a multiple of kFileMappingGranularity) into memory; 0
// bytes maps up to the end. FILE_MAP_COPY gives a private copy. Null on failure (GetLastError).
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);

// Unmaps the view that starts at address (as MapViewOfFile returned it).
BOOL UnmapViewOfFile(LPCVOID address);

// Whether the object behind the view (as MapViewOfFile returned it) still holds all of its bytes.
// Another process of the user can shrink a named object, and touching a page past its new end
// kills the process (SIGBUS): check before each access of a view that others can open.
BOOL IsViewOfFileWhole(LPCVOID address);

// Copies bytes into, or out of, a view that another process can shrink at any moment, even
// between IsViewOfFileWhole and the copy: the kernel does the copy, so a page that has gone makes
// the copy fail (FALSE, ERROR_INVALID_ADDRESS) instead of raising SIGBUS. A failed copy into a
// view may have written part of the bytes.
BOOL CopyIntoView(void* view, const void* bytes, SIZE_T count);
BOOL CopyOutOfView(void* bytes, const void* view, SIZE_T count);

// Closes a mapping handle; the views stay valid until they are unmapped.
BOOL CloseHandle(HANDLE handle);

inline HANDLE CreateFileMapping(HANDLE file, const void* security, DWORD protect, DWORD high, DWORD low, LPCWSTR name)
{
    return CreateFileMappingW(file, security, protect, high, low, name);
}
inline HANDLE OpenFileMapping(DWORD access, BOOL inherit, LPCWSTR name) { return OpenFileMappingW(access, inherit, name); }
