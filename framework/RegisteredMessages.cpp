#include "framework/RegisteredMessages.h"

#include "platform/user/WinUser.h"

UINT SECGetMenuMessage()
{
    static const UINT message = RegisterWindowMessageW(L"WM_SECGETMENU");
    return message;
}

UINT SECMenuProdMessage()
{
    static const UINT message = RegisterWindowMessageW(L"WM_SEC_MENUPROD");
    return message;
}

UINT SECNoDelayHideMessage()
{
    static const UINT message = RegisterWindowMessageW(L"WM_NODELAYHIDE");
    return message;
}

UINT SECBarNotifyMessage()
{
    static const UINT message = RegisterWindowMessageW(L"WM_BARNOTIFY");
    return message;
}

UINT SECSysCommandExMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Divuzura::WM_SYSCOMMANDEX");
    return message;
}

UINT SECColumnSelectClipboardFormat()
{
    static const UINT format = RegisterClipboardFormatW(L"MSDEVColumnSelect");
    return format;
}
