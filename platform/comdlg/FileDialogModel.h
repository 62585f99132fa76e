#pragma once
// What the file dialog knows without a window: the filter string, folder listings, the places of
// the "Look in" box, and how a typed name becomes a path. Paths are absolute, '/'-separated and
// without a trailing separator (the root is "/").

#include <string>
#include <string_view>
#include <vector>

namespace fln::comdlg {

struct FileType {
    std::wstring description;
    std::vector<std::wstring> patterns; // "*.fm", "*.*"...
};

// "Text (*.txt)\0*.txt\0All\0*.*\0\0" as a list of types; a pair without a pattern is dropped.
std::vector<FileType> ParseFilter(const wchar_t* filter);

// Case-insensitive wildcard match of a file name: '*' any run, '?' one character; "*.*" matches
// names without an extension too.
bool MatchesPattern(std::wstring_view name, std::wstring_view pattern);
bool MatchesAny(std::wstring_view name, const std::vector<std::wstring>& patterns);

struct FolderEntry {
    std::wstring name;
    bool isFolder = false;
    bool operator==(const FolderEntry&) const = default;
};

// The folder's entries: subfolders first, then the files that match a pattern, each group sorted
// case-insensitively; hidden (dot) entries are left out. An unreadable folder lists nothing.
std::vector<FolderEntry> ListFolder(const std::wstring& folder, const std::vector<std::wstring>& patterns);

std::wstring ParentFolder(const std::wstring& folder);
std::wstring JoinPath(const std::wstring& folder, std::wstring_view name);
std::wstring FileNameOf(const std::wstring& path);
// The extension's start in a path's last component (after its last '.'), or npos.
std::size_t ExtensionOffset(const std::wstring& path);

// A typed name made into a clean absolute path: relative to the folder, or absolute; "~" and "~/x"
// start at home; '\' separates too; "." and ".." steps are resolved.
std::wstring ResolveTypedPath(const std::wstring& folder, std::wstring_view typed, const std::wstring& home);

struct Place {
    std::wstring path;
    std::wstring label;
    int indent = 0; // the depth of a parent of the current folder
    bool operator==(const Place&) const = default;
};

struct UserFolders {
    std::wstring home, desktop, documents;
};

// The "Look in" list: the file system root, the parents of the folder down to the folder itself
// (indented by depth), then the user's places that are not already listed and exist.
std::vector<Place> LookInPlaces(const std::wstring& folder, const UserFolders& places);

bool FolderExists(const std::wstring& path);
bool FileExists(const std::wstring& path);

} // namespace fln::comdlg
