// The plumbing the common controls share.

#include "platform/comctl/ControlWindow.h"

#include "platform/gdi/Gdi.h"
#include "platform/user/ControlSupport.h"

namespace fln::comctl {

ATOM RegisterControlClass(LPCWSTR name, WNDPROC procedure, UINT style)
{
    return fln::user::RegisterControlClass(name, procedure, sizeof(void*), style);
}

LRESULT NotifyParent(HWND control, UINT code, NMHDR& header)
{
    int id = GetDlgCtrlID(control);
    header = { control, static_cast<UINT_PTR>(id), code };
    HWND parent = GetParent(control);
    return parent ? SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header)) : 0;
}

HFONT FontOr(HFONT font)
{
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace fln::comctl
