#include "app/VersionInfo.h"

#include "platform/base/CString.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <utime.h>

namespace {

TEST(VersionInfo, ReadsTheProgramsFileVersion)
{
    CVersionInfo info(MAKEINTRESOURCEW(1));
    DWORD high = 0, low = 0;
    ASSERT_TRUE(info.GetFixedFileVersion(high, low));
    EXPECT_EQ(high, 0x00040002u);
    EXPECT_EQ(low, 0u);
    CString text;
    ASSERT_TRUE(info.GetFileVersionText(text));
    EXPECT_EQ(text, L"4.2.0.0");
}

TEST(VersionInfo, WithoutAResourceTheVersionPartIsEmpty)
{
    CVersionInfo missing(MAKEINTRESOURCEW(77));
    CString text = L"kept";
    EXPECT_FALSE(missing.GetFileVersionText(text));
    EXPECT_EQ(text, L"kept");
    EXPECT_EQ(missing.GetVersionLine(L"/nonexistent/formulon"), L"V  ");
}

TEST(VersionInfo, TheLineCarriesTheVersionAndTheFileTime)
{
    setenv("TZ", "UTC", 1);
    tzset();
    std::string path = (std::filesystem::temp_directory_path() / "fln-version-line").string();
    std::ofstream(path) << "x";
    std::tm written { .tm_sec = 3, .tm_min = 5, .tm_hour = 9, .tm_mday = 1, .tm_mon = 0, .tm_year = 108 };
    utimbuf times { timegm(&written), timegm(&written) };
    ASSERT_EQ(utime(path.c_str(), &times), 0);
    EXPECT_EQ(CVersionInfo(MAKEINTRESOURCEW(1)).GetVersionLine(CString(path.c_str())), L"V4.2.0.0  01.01.2008 09:05:03");
    std::filesystem::remove(path);
}

TEST(VersionInfo, ATimeTooLongForItsBufferGivesEmptyText)
{
    CString format;
    for (int i = 0; i < 30; ++i)
        format += L"%Y-%m";
    EXPECT_EQ(CVersionInfo::FormatFileTime(0, format), L"");
    EXPECT_EQ(CVersionInfo::FormatFileTime(0, L"%Y"), L"1970");
}

} // namespace
