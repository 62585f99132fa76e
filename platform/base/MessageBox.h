#pragma once
// The one message box of the layers that have no windows: a hook that the window layer fills
// with its real message box, and that tests replace to capture or answer the box.

#include "platform/base/WinTypes.h"

#include <functional>

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONSTOP = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_APPLMODAL = 0x0;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// (text, caption, type) -> the id of the button pressed. Caption may be null (the program's title).
using MessageBoxHandler = std::function<int(const wchar_t* text, const wchar_t* caption, UINT type)>;

// Installs the handler and returns the one it replaced. With no handler installed the box
// is written to standard error and answered with its default button.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);
int ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type);
