#include "platform/base/MessageBox.h"

#include "platform/base/CString.h"

#include <cstdio>
#include <utility>

namespace {

MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

int DefaultButton(UINT type)
{
    bool second = (type & 0xF00) == MB_DEFBUTTON2;
    switch (type & 0xF) {
    case MB_OKCANCEL: return second ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE: return second ? IDRETRY : IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return second ? IDNO : IDYES;
    case MB_RETRYCANCEL: return second ? IDCANCEL : IDRETRY;
    default: return IDOK;
    }
}

} // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

int ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    if (Handler()) return Handler()(text ? text : L"", caption, type);
    std::fprintf(stderr, "%s%s%s\n", caption ? WideToUtf8(caption).c_str() : "", caption ? ": " : "",
                 WideToUtf8(text ? text : L"").c_str());
    return DefaultButton(type);
}

int AfxMessageBox(const wchar_t* text, UINT type, UINT /*helpId*/)
{
    return ShowMessageBox(text, nullptr, type);
}
