#include "platform/comctl/CommCtrl.h"

#include <gtest/gtest.h>

namespace {

constexpr LPCWSTR kClasses[] = { UPDOWN_CLASSW, WC_TABCONTROLW, STATUSCLASSNAMEW, PROGRESS_CLASSW };

bool Registered(LPCWSTR name)
{
    WNDCLASSEXW info { sizeof info };
    return GetClassInfoExW(nullptr, name, &info);
}

} // namespace

TEST(ControlGroups, EachGroupRegistersItsClasses)
{
    struct Case {
        DWORD groups;
        std::vector<LPCWSTR> registered;
    } cases[] = {
        { ICC_UPDOWN_CLASS, { UPDOWN_CLASSW } },
        { ICC_TAB_CLASSES, { WC_TABCONTROLW } },
        { ICC_BAR_CLASSES, { STATUSCLASSNAMEW } },
        { ICC_PROGRESS_CLASS, { PROGRESS_CLASSW } },
        { ICC_WIN95_CLASSES, { UPDOWN_CLASSW, WC_TABCONTROLW, STATUSCLASSNAMEW, PROGRESS_CLASSW } },
        { ICC_DATE_CLASSES, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.groups);
        for (LPCWSTR name : kClasses)
            UnregisterClassW(name, nullptr);
        INITCOMMONCONTROLSEX init { sizeof init, c.groups };
        EXPECT_TRUE(InitCommonControlsEx(&init));
        for (LPCWSTR name : kClasses) {
            bool expected = std::find(c.registered.begin(), c.registered.end(), name) != c.registered.end();
            EXPECT_EQ(Registered(name), expected) << std::string(name, name + wcslen(name));
        }
        EXPECT_TRUE(InitCommonControlsEx(&init)); // again: the classes stay as they are
    }
    INITCOMMONCONTROLSEX wrongSize { sizeof(INITCOMMONCONTROLSEX) + 1, ICC_WIN95_CLASSES };
    EXPECT_FALSE(InitCommonControlsEx(&wrongSize));
    EXPECT_FALSE(InitCommonControlsEx(nullptr));
}
