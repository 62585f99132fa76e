#pragma once
// What the common dialogs share: the extended error of the last call, the object behind a
// running dialog (DialogObject.h), and control text helpers. Internal to platform/comdlg.

#include "platform/comdlg/CommDlg.h"
#include "platform/user/DialogObject.h"

#include <string>

namespace fln::comdlg {

void SetExtendedError(DWORD code);

using fln::user::DialogObject;

std::wstring ControlText(HWND dialog, int id);

} // namespace fln::comdlg
