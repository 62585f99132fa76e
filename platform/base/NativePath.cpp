#include "platform/base/NativePath.h"

#include "platform/base/CString.h"

std::string NativePath(std::wstring_view path)
{
    std::wstring native;
    native.reserve(path.size());
    for (wchar_t ch : path) {
        if (ch == L'\\') ch = L'/';
        if (ch == L'/' && !native.empty() && native.back() == L'/') continue;
        native += ch;
    }
    return WideToUtf8(native);
}
