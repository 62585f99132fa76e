#include "platform/mfc/Menu.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT IDR_NOTES = 128, ID_NOTE_EXIT = 0xE141;

TEST(MenuResource, LoadMenuAttachesTheResourceMenuOnce)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_NOTES));
    HMENU loaded = menu.GetSafeHmenu();
    ASSERT_NE(loaded, nullptr);
    HMENU file = GetSubMenu(loaded, 0);
    ASSERT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuItemID(file, 2), ID_NOTE_EXIT);

    EXPECT_FALSE(menu.LoadMenu(IDR_NOTES)) << "a menu is attached already";
    EXPECT_EQ(menu.GetSafeHmenu(), loaded);
    EXPECT_TRUE(menu.DestroyMenu());

    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(999));
    EXPECT_EQ(missing.GetSafeHmenu(), nullptr);
}

} // namespace
