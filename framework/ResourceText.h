#pragma once
// Texts of the toolkit's menus: a string resource, or the built-in text when the program has none.

#include "platform/base/CString.h"

inline CString ResourceText(UINT id, LPCWSTR fallback)
{
    CString text;
    return text.LoadString(id) && !text.IsEmpty() ? text : CString(fallback);
}
