#pragma once
// Finding and loading the resources linked into the program (tools/rc compiles them), string
// resources and the program's version information. There is one module, the program: a null
// module handle or GetModuleHandle(nullptr) finds its resources. Names and numeric values are
// the documented ones. Strings come back as wchar_t text; the stored layouts keep UTF-16.

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"
#include "platform/sys/Module.h"

struct HRSRC__;
using HRSRC = HRSRC__*;
using PUINT = UINT*;

#define RT_CURSOR MAKEINTRESOURCEW(1)
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_FONTDIR MAKEINTRESOURCEW(7)
#define RT_FONT MAKEINTRESOURCEW(8)
#define RT_ACCELERATOR MAKEINTRESOURCEW(9)
#define RT_RCDATA MAKEINTRESOURCEW(10)
#define RT_MESSAGETABLE MAKEINTRESOURCEW(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCEW(12)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)
#define RT_VERSION MAKEINTRESOURCEW(16)
#define RT_DLGINCLUDE MAKEINTRESOURCEW(17)
#define RT_HTML MAKEINTRESOURCEW(23)
#define RT_MANIFEST MAKEINTRESOURCEW(24)
#define RT_DLGINIT MAKEINTRESOURCEW(240)
#define RT_TOOLBAR MAKEINTRESOURCEW(241)

constexpr LONG ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr LONG ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr LONG ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// Types and names are ordinals (MAKEINTRESOURCE), "#123" (the ordinal 123) or names compared
// without regard to case. Languages are not told apart: every resource is neutral.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language);
// The resource's data lives as long as the program; loading, locking and freeing cost nothing.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL data);

// Copies string id (cut to size - 1 characters, zero-terminated) and returns its length; 0 with
// an empty buffer when there is no such string. A size of 0 stores a pointer to the whole
// read-only string (zero-terminated here) in *buffer instead.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);

// ---- version information
struct VS_FIXEDFILEINFO {
    DWORD dwSignature; // 0xFEEF04BD
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

// Only the program's own file has version information: an empty name, its full path
// (GetModuleFileName) or its file name. The block holds the version resource (VS_VERSION_INFO
// resource 1) and room for its texts as wchar_t.
DWORD GetFileVersionInfoSizeW(LPCWSTR fileName, LPDWORD handle);
BOOL GetFileVersionInfoW(LPCWSTR fileName, DWORD handle, DWORD size, LPVOID block);
// "\" gives the VS_FIXEDFILEINFO; "\VarFileInfo\Translation" the (language, code page) words;
// "\StringFileInfo\<language><code page>\<name>" a zero-terminated text and its length in
// characters, terminator included. Keys are compared without regard to case.
BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* value, PUINT length);

inline constexpr auto& FindResource = FindResourceW;
inline constexpr auto& FindResourceEx = FindResourceExW;
inline constexpr auto& LoadString = LoadStringW;
inline constexpr auto& GetFileVersionInfoSize = GetFileVersionInfoSizeW;
inline constexpr auto& GetFileVersionInfo = GetFileVersionInfoW;
inline constexpr auto& VerQueryValue = VerQueryValueW;
