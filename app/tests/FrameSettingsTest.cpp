#include "app/FrameSettings.h"

#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class FrameSettingsTest : public testing::Test {
protected:
    FrameSettingsTest() { m_app.SetRegistryKey(L"Formulon"); }

    TempSettingsFolder m_folder;
    CWinApp m_app { L"FLN" };
};

TEST_F(FrameSettingsTest, AFirstRunTakesTheDefaults)
{
    FrameSettings settings = FrameSettings::Load(m_app);
    EXPECT_FALSE(settings.placement);
    EXPECT_EQ(settings.inputFormulaHeight, 10);
    EXPECT_EQ(settings.inputCalendarHeight, 10);
    EXPECT_EQ(settings.digits, 6);
    EXPECT_EQ(settings.formatOption, 2);
    EXPECT_FALSE(settings.speech);
    EXPECT_TRUE(settings.sharedMemory);
}

TEST_F(FrameSettingsTest, SavedSettingsComeBack)
{
    FrameSettings saved;
    saved.placement = WINDOWPLACEMENT { sizeof(WINDOWPLACEMENT), 0, 1, { -1, -1 }, { -1, -1 }, { 10, 20, 610, 520 } };
    saved.inputFormulaHeight = 14;
    saved.inputCalendarHeight = 18;
    saved.digits = 12;
    saved.formatOption = 3;
    saved.speech = TRUE;
    saved.sharedMemory = FALSE;
    saved.Save(m_app);

    FrameSettings loaded = FrameSettings::Load(m_app);
    ASSERT_TRUE(loaded.placement);
    EXPECT_EQ(loaded.placement->rcNormalPosition.right, 610);
    EXPECT_EQ(loaded.inputFormulaHeight, 14);
    EXPECT_EQ(loaded.inputCalendarHeight, 18);
    EXPECT_EQ(loaded.digits, 12);
    EXPECT_EQ(loaded.formatOption, 3);
    EXPECT_TRUE(loaded.speech);
    EXPECT_FALSE(loaded.sharedMemory);
}

TEST_F(FrameSettingsTest, APlacementOfAnotherSizeIsIgnored)
{
    const BYTE shortRecord[20] = {};
    m_app.WriteProfileBinary(L"FLN", L"WP", shortRecord, sizeof shortRecord);
    EXPECT_FALSE(FrameSettings::Load(m_app).placement);
}

TEST_F(FrameSettingsTest, TheLastContentLivesInTheUsersSettingsFolder)
{
    CString path = LastContentPath();
    EXPECT_EQ(path, CString((m_folder.settings() + "/Fln.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(m_folder.settings()));
}

} // namespace
