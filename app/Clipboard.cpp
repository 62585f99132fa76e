#include "app/Clipboard.h"

#include "platform/user/WinUser.h"

#include <cstring>

BOOL CopyTextToClipboard(HWND owner, const CString& text)
{
    if (!::OpenClipboard(owner))
        return FALSE;
    ::EmptyClipboard();
    const size_t bytes = (static_cast<size_t>(text.GetLength()) + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes);
    BOOL copied = FALSE;
    if (memory) {
        std::memcpy(::GlobalLock(memory), text.GetString(), bytes);
        ::GlobalUnlock(memory);
        copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!copied)
            ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return copied;
}
