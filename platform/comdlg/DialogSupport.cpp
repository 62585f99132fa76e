#include "platform/comdlg/DialogSupport.h"

namespace fln::comdlg {

namespace {
thread_local DWORD t_extendedError = 0;
}

void SetExtendedError(DWORD code)
{
    t_extendedError = code;
}

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace fln::comdlg

DWORD CommDlgExtendedError()
{
    return fln::comdlg::t_extendedError;
}
