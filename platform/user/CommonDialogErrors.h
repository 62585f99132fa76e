#pragma once
// The errors every common dialog can report (CommDlgExtendedError, PrintDlgExError): the file,
// font and colour dialogs and the print dialogs share them.

#include "platform/base/WinTypes.h"

constexpr DWORD CDERR_STRUCTSIZE = 0x0001, CDERR_INITIALIZATION = 0x0002;
