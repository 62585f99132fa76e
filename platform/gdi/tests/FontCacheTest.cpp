// A user's first start finds the fonts in the system's caches: fontconfig scans the font files
// (tens of milliseconds) and writes a cache of its own only where no cache is valid.

#include "platform/gdi/FontSystem.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(FontCache, ANewUsersFirstFontsComeFromTheSystemsCaches)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_empty(FLN_SYSTEM_FONT_CACHE_DIR, error) || error)
        GTEST_SKIP() << "the system has no font caches at " << FLN_SYSTEM_FONT_CACHE_DIR;
    TempSettingsFolder home;
    ScopedEnv cache("XDG_CACHE_HOME", home.root() + "/cache");
    // The first font of this process loads the configuration.
    auto font = fln::gdi::FontSystem::instance().realize(LOGFONTW { .lfFaceName = L"MS Sans Serif" }, -11);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->faceName(), L"DejaVu Sans"); // the dialog font's face at this size
    EXPECT_FALSE(fs::exists(home.root() + "/cache/fontconfig")) << "the fonts were scanned and cached for the user";
}
