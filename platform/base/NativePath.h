#pragma once
// File names as the program writes them ("D:\\Data\\a.fm", "c:\dummy.ini", "/home/u/a.fm") turned into
// the byte paths the file system takes: UTF-8, with every backslash read as a folder separator and
// runs of separators taken as one (so an already doubled "\\" still names one folder step).

#include <string>
#include <string_view>

std::string NativePath(std::wstring_view path);
