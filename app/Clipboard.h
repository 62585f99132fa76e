#pragma once
// The pages' copy of a result text: the clipboard as Unicode text.

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

// TRUE when the text is on the clipboard; FALSE when the clipboard could not be opened or filled.
BOOL CopyTextToClipboard(HWND owner, const CString& text);
