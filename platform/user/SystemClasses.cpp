// The table of system control classes, registered on first use.

#include "platform/user/SystemClasses.h"

#include <cwctype>

namespace fln::user {
namespace {

struct SystemClass {
    LPCWSTR name;
    ATOM (*registerClass)();
};

constexpr SystemClass kSystemClasses[] = {
    { L"Button", RegisterButtonClass },
    { L"Static", RegisterStaticClass },
    { L"Edit", RegisterEditClass },
    { L"#32770", RegisterDialogClass },
    { L"ListBox", RegisterListBoxClass },
    { L"ComboBox", RegisterComboBoxClass },
    { L"ComboLBox", RegisterComboListClass },
    { L"ScrollBar", RegisterScrollBarClass },
    { L"MDIClient", RegisterMdiClientClass },
    { nullptr, nullptr }, // the table ends here
};

bool SameNameIgnoringCase(LPCWSTR a, LPCWSTR b)
{
    for (; *a && *b; ++a, ++b) {
        if (std::towlower(*a) != std::towlower(*b))
            return false;
    }
    return *a == *b;
}

} // namespace

bool RegisterSystemClass(LPCWSTR className)
{
    if (!className || IS_INTRESOURCE(className))
        return false;
    for (const SystemClass& entry : kSystemClasses) {
        if (entry.name && SameNameIgnoringCase(entry.name, className))
            return entry.registerClass() != 0;
    }
    return false;
}

} // namespace fln::user
