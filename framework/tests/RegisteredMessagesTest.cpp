#include "framework/RegisteredMessages.h"

#include "framework/ControlBar.h"
#include "framework/DialogBar.h"
#include "framework/DockState.h"
#include "framework/SysCommandEx.h"
#include "platform/user/WinUser.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// Whoever registers one of the names, here or in another module, gets the toolkit's number, so
// a frame answers a menu bar whichever of them registered the message.
TEST(RegisteredMessagesTest, EachNameHasOneNumberWhoeverRegistersIt)
{
    struct Case {
        UINT (*shared)();
        const wchar_t* name;
    };
    const Case cases[] = {
        { SECGetMenuMessage, L"WM_SECGETMENU" },
        { SECMenuProdMessage, L"WM_SEC_MENUPROD" },
        { SECNoDelayHideMessage, L"WM_NODELAYHIDE" },
        { SECBarNotifyMessage, L"WM_BARNOTIFY" },
        { SECSysCommandExMessage, L"Divuzura::WM_SYSCOMMANDEX" },
    };
    std::set<UINT> numbers;
    for (const Case& c : cases) {
        const UINT number = c.shared();
        EXPECT_GE(number, 0xC000u) << c.name;
        EXPECT_LE(number, 0xFFFFu) << c.name;
        EXPECT_EQ(RegisterWindowMessageW(c.name), number) << c.name;
        numbers.insert(number);
    }
    EXPECT_EQ(numbers.size(), std::size(cases)) << "every name its own number";
    EXPECT_EQ(nsSysCommandEx::SysCommandExMessage(), SECSysCommandExMessage());

    const UINT format = SECColumnSelectClipboardFormat();
    EXPECT_GE(format, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatW(L"MSDEVColumnSelect"), format);
    EXPECT_EQ(numbers.count(format), 0u);
}

} // namespace

// A saved layout names its classes: the toolkit's bar and layout classes are made again by name.
TEST(RegisteredMessagesTest, TheToolkitsBarAndLayoutClassesAreMadeByName)
{
    for (CRuntimeClass* record : { RUNTIME_CLASS(SECControlBar), RUNTIME_CLASS(SECDialogBar), RUNTIME_CLASS(SECDockState) }) {
        const char* name = record->m_lpszClassName;
        ASSERT_EQ(CRuntimeClass::FromName(name), record) << name;
        std::unique_ptr<CObject> object(CRuntimeClass::FromName(name)->CreateObject());
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object->GetRuntimeClass(), record) << name;
    }
}
