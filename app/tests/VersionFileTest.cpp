#include "app/VersionFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CompareVersionsTest, ComparesComponentByComponent)
{
    struct Case {
        const wchar_t* first;
        const wchar_t* second;
        int expected;
    };
    const Case cases[] = {
        {L"3.1.0.25", L"3.1.0.25", 0},
        {L"3, 1, 0, 26", L"3.1.0.25", 1},
        {L"3.1", L"3.1.0.0", 0},
        {L"1.300", L"2.0", -1},           // no carry from one component into the next
        {L"2.0", L"1.300", 1},
        {L"1.0.0.256", L"1.0.1.0", -1},
        {L"0.0.0", L"3.1.0.25", -1},
        {L"", L"0", 0},
        {L"3..1", L"3.1", 0},             // empty pieces are skipped
        {L" 4. 2", L"4.2", 0},            // leading blanks
        {L"1.2.3.4.9", L"1.2.3.4", 0},    // only four components count
        {L"99999999999999999999", L"4294967295", 0}, // a silly length saturates
        {L"4294967295.0", L"4294967294.9", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareVersions(c.first, c.second), c.expected)
            << testing::PrintToString(std::wstring(c.first)) << " against " << testing::PrintToString(std::wstring(c.second));
    }
}

TEST(VersionFileTest, ReadsBothSectionsWithAnyLineEnds)
{
    auto file = CVersionFile::Parse("; the latest versions\r\n[Formulon]\r\nVersion = 3, 1, 0, 26\r\n"
                                    "Description=Faster plots\r\nDownloads=https://example.invalid/get\r\n\r\n"
                                    "[formulon beta]\nversion=3.2\nDownloads=http://example.invalid/beta");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetValue(L"Formulon", L"Version"), L"3, 1, 0, 26");
    EXPECT_EQ(file->GetValue(L"FORMULON", L"description"), L"Faster plots");
    EXPECT_EQ(file->GetValue(L"Formulon Beta", L"Version"), L"3.2");
    EXPECT_EQ(file->GetValue(L"Formulon Beta", L"Description", L"none"), L"none");
    EXPECT_EQ(file->CompareVersion(L"Formulon", L"3.1.0.25"), 1);
    EXPECT_EQ(file->GetDownloadAddress(L"Formulon Beta"), L"http://example.invalid/beta");
}

TEST(VersionFileTest, ASectionWithoutAVersionHasVersionZero)
{
    auto file = CVersionFile::Parse("[Formulon]\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->CompareVersion(L"Formulon", L"1.0"), -1);
}

TEST(VersionFileTest, LongValuesAreCut)
{
    auto file = CVersionFile::Parse("[Formulon]\nDescription=" + std::string(400, 'd') + "\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetValue(L"Formulon", L"Description").GetLength(), CVersionFile::kMaxValueLength);
}

// Read as a profile: what the program does not read is passed over, and a key of the wrong
// section is not taken.
TEST(VersionFileTest, PassesOverWhatTheProgramDoesNotRead)
{
    const std::pair<const char*, std::string> cases[] = {
        {"an unknown key", "[Formulon]\nVersion=3.1\nReleaseDate=2026-12-01\n"},
        {"an unknown section", "[Formulon]\nVersion=3.1\n[Mirrors]\nVersion=latest\nFirst=\x01\n"},
        {"an unknown section first", "[Mirrors]\nEurope=https://example.invalid\n[Formulon]\nVersion=3.1\n"},
        {"a key before any section", "Version=9.9\n[Formulon]\nVersion=3.1\n"},
        {"a line without =", "[Formulon]\nVersion=3.1\nthis is no key\n"},
        {"a link key in the development section", "[Formulon]\nVersion=3.1\n[Formulon Beta]\nWebSite=http://x.invalid\n"},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        auto file = CVersionFile::Parse(text);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->GetValue(L"Formulon", L"Version"), L"3.1");
        EXPECT_EQ(file->GetValue(L"Formulon Beta", L"WebSite", L"none"), L"none");
        EXPECT_EQ(file->GetValue(L"Mirrors", L"Version", L"none"), L"none");
    }
}

// Read as a profile: a value's enclosing quotes are not part of it.
TEST(VersionFileTest, DropsEnclosingQuotesAsAProfileReaderDoes)
{
    auto file = CVersionFile::Parse("[Formulon]\nVersion=\"4.3\"\nDescription = 'Faster plots' \n"
                                    "Downloads=\"https://example.invalid/get\"\n"
                                    "[Formulon Beta]\nVersion='4.4'\nDescription=\"say \"hi\"\"\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetValue(L"Formulon", L"Version"), L"4.3");
    EXPECT_EQ(file->CompareVersion(L"Formulon", L"4.2"), 1);
    EXPECT_EQ(file->GetValue(L"Formulon", L"Description"), L"Faster plots");
    EXPECT_EQ(file->GetDownloadAddress(L"Formulon"), L"https://example.invalid/get");
    EXPECT_EQ(file->CompareVersion(L"Formulon Beta", L"4.3"), 1);
    EXPECT_EQ(file->GetValue(L"Formulon Beta", L"Description"), L"say \"hi\"");
    // Quotes that do not enclose the value stay in it, and such a version is still no number.
    for (const char* version : {"\"4.3", "4.3\"", "\"4.3'", "\""})
        EXPECT_FALSE(CVersionFile::Parse(std::string("[Formulon]\nVersion=") + version + "\n")) << version;
}

TEST(VersionFileTest, RefusesWhatItCannotUse)
{
    const std::pair<const char*, std::string> cases[] = {
        {"version that is no number", "[Formulon]\nVersion=latest\n"},
        {"empty version", "[Formulon]\nVersion=\n"},
        {"development version that is no number", "[Formulon]\nVersion=1.0\n[Formulon Beta]\nVersion=soon\n"},
        {"an HTML page", "<html><body>Not here</body></html>\n"},
        {"no section of the program's", "[Other]\nVersion=2.0\n"},
        {"an empty file", ""},
        {"a control character in a value read", "[Formulon]\nDescription=a\x01" "b\n"},
        {"a NUL byte", std::string("[Formulon]\nVersion=1.0\n\0\n", 25)},
        {"oversized", "[Formulon]\nVersion=1.0\n" + std::string(CVersionFile::kMaxSize, ';')},
    };
    for (const auto& [name, text] : cases) EXPECT_FALSE(CVersionFile::Parse(text)) << name;
    EXPECT_TRUE(CVersionFile::Parse("[Formulon]\n;" + std::string(CVersionFile::kMaxSize - 13, ';')));
}

TEST(VersionFileTest, HandsOnlyWebAddressesToTheShell)
{
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"https://example.invalid/get", L"https://example.invalid/get"},
        {"HTTP://example.invalid/get", L"HTTP://example.invalid/get"},
        {"file:///usr/bin/xterm", L""},
        {"javascript:alert(1)", L""},
        {"/usr/bin/xterm", L""},
        {"--help", L""},
        {"", L""},
    };
    for (const auto& [downloads, expected] : cases) {
        auto file = CVersionFile::Parse(std::string("[Formulon]\nVersion=9\nDownloads=") + downloads + "\n");
        ASSERT_TRUE(file);
        EXPECT_EQ(file->GetDownloadAddress(L"Formulon"), expected) << downloads;
    }
}

} // namespace
