#pragma once
// The OEM code page of the user's language. Linux has no code pages; the one that the user's
// language and territory (LC_ALL, LC_CTYPE or LANG, such as "ja_JP.UTF-8") would have on a
// classic desktop stands in for it, so that code choosing a character set by it still chooses.

#include "platform/base/WinTypes.h"

#include <string_view>

// The OEM code page of a locale name: 932 Japanese, 936 simplified Chinese, 949 Korean, 950
// traditional Chinese, 437 for every other language.
UINT OemCodePageOfLocale(std::string_view locale);
// The user's OEM code page.
UINT GetOEMCP();
