// InitCommonControlsEx: which classes each group registers.

#include "platform/comctl/CommCtrl.h"
#include "platform/comctl/ControlClasses.h"

namespace {

struct ControlGroup {
    DWORD flag;
    ATOM (*registerClass)();
};

constexpr ControlGroup kGroups[] = {
    { ICC_UPDOWN_CLASS, fln::comctl::RegisterUpDownClass },
    { ICC_TAB_CLASSES, fln::comctl::RegisterTabClass },
    { ICC_BAR_CLASSES, fln::comctl::RegisterStatusBarClass },
    { ICC_PROGRESS_CLASS, fln::comctl::RegisterProgressClass },
    { ICC_BAR_CLASSES | ICC_TAB_CLASSES, fln::comctl::RegisterToolTipClass },
    // The rich edit has no group of its own; it comes with the standard classes.
    { ICC_STANDARD_CLASSES, fln::comctl::RegisterRichEditClass },
    { 0, nullptr }, // the table ends here
};

} // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls)
{
    if (!controls || controls->dwSize != sizeof(INITCOMMONCONTROLSEX))
        return FALSE;
    for (const ControlGroup& group : kGroups) {
        if (group.registerClass && (controls->dwICC & group.flag))
            group.registerClass(); // fails harmlessly when the class is registered already
    }
    return TRUE;
}

void InitCommonControls()
{
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);
}
