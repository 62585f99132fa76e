#include "controls/ModuleVersion.h"

#include <gtest/gtest.h>

namespace {

TEST(ModuleVersionTest, ReadsTheProgramsOwnVersion)
{
    CNGModuleVersion version;
    EXPECT_EQ(version.dwSignature, 0u);
    EXPECT_TRUE(version.GetValue(L"FileVersion").IsEmpty());

    ASSERT_TRUE(version.GetFileVersionInfo(L""));
    EXPECT_EQ(version.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(version.dwFileVersionMS, (4u << 16) | 2u);
    EXPECT_EQ(version.dwFileVersionLS, 7u);
    EXPECT_EQ(version.Language(), 0x407);
    EXPECT_EQ(version.CodePage(), 1252);
    EXPECT_EQ(version.GetValue(L"FileVersion"), CString(L"4.2.0.7"));
    EXPECT_EQ(version.GetValue(L"productname"), CString(L"Formulon"));
    EXPECT_TRUE(version.GetValue(L"NoSuchKey").IsEmpty());

    wchar_t path[260];
    GetModuleFileNameW(nullptr, path, 260);
    CNGModuleVersion byPath;
    EXPECT_TRUE(byPath.GetFileVersionInfo(path));
    EXPECT_EQ(byPath.GetValue(L"CompanyName"), CString(L"Formulon developers"));
}

TEST(ModuleVersionTest, AModuleThatIsNotLoadedGivesFalseAndNoValues)
{
    CNGModuleVersion version;
    ASSERT_TRUE(version.GetFileVersionInfo(nullptr));
    EXPECT_FALSE(version.GetFileVersionInfo(L"/usr/lib/not-loaded.so"));
    EXPECT_EQ(version.dwSignature, 0u);
    EXPECT_EQ(version.CodePage(), 1252);
    EXPECT_TRUE(version.GetValue(L"FileVersion").IsEmpty());
}

}
