#include "platform/sys/PrivateProfile.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/TextEncoding.h"
#include "platform/sys/AtomicFile.h"

#include "TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    TempSettingsFolder folder;
    std::string path = folder.root() + "/test.ini";
    std::wstring name = std::wstring(path.begin(), path.end());

    void Write(const std::string& bytes) { TempSettingsFolder::WriteAll(path, bytes); }
    std::string Bytes() const { return TempSettingsFolder::ReadAll(path); }

    std::wstring Get(const wchar_t* section, const wchar_t* key, const wchar_t* fallback = L"<default>")
    {
        wchar_t buffer[256];
        GetPrivateProfileStringW(section, key, fallback, buffer, 256, name.c_str());
        return buffer;
    }

    // Splits a NUL-separated list as the query functions return it.
    static std::vector<std::wstring> Items(const wchar_t* list)
    {
        std::vector<std::wstring> items;
        for (; *list; list += std::wcslen(list) + 1) items.emplace_back(list);
        return items;
    }
    std::vector<std::wstring> Section(const wchar_t* section)
    {
        wchar_t buffer[1024];
        GetPrivateProfileSectionW(section, buffer, 1024, name.c_str());
        return Items(buffer);
    }
    std::vector<std::wstring> SectionNames()
    {
        wchar_t buffer[1024];
        GetPrivateProfileSectionNamesW(buffer, 1024, name.c_str());
        return Items(buffer);
    }
};

using Lines = std::vector<std::wstring>;

TEST_F(PrivateProfileTest, ReadsValuesAsTheFileHasThem)
{
    Write("; comment\r\n"
          "[Info]\r\n"
          "  Speed =  12 \r\n"
          "Quoted=\"  padded  \"\r\n"
          "Eq=a=b=c\r\n"
          "Empty=\r\n"
          "; Hidden=1\r\n"
          "bare line\r\n"
          "\r\n"
          "[ Second ]\r\n"
          "x=1\r\n"
          "[info]\r\n"
          "Speed=99\r\n");
    EXPECT_EQ(Get(L"Info", L"speed"), L"12");
    EXPECT_EQ(Get(L"INFO", L"Quoted"), L"  padded  ");
    EXPECT_EQ(Get(L"Info", L"Eq"), L"a=b=c");
    EXPECT_EQ(Get(L"Info", L"Empty"), L"");
    EXPECT_EQ(Get(L"Info", L"Hidden"), L"<default>");
    EXPECT_EQ(Get(L"Second", L"x"), L"1");
    EXPECT_EQ(Get(L"Missing", L"x", L"fallback  "), L"fallback");
    EXPECT_EQ(SectionNames(), (Lines { L"Info", L"Second", L"info" }));
    EXPECT_EQ(Section(L"info"), (Lines { L"Speed=12", L"Quoted=\"  padded  \"", L"Eq=a=b=c", L"Empty=", L"bare line" }));
    EXPECT_EQ(Section(L"Nothing"), Lines {});

    wchar_t keys[256];
    GetPrivateProfileStringW(L"Info", nullptr, L"", keys, 256, name.c_str());
    EXPECT_EQ(Items(keys), (Lines { L"Speed", L"Quoted", L"Eq", L"Empty", L"bare line" }));
}

TEST_F(PrivateProfileTest, LinesEndingInALoneCarriageReturnAreReadAndKept)
{
    Write("[A]\rx=1\ry=2\r\r[B]\rz=3\r");
    EXPECT_EQ(Get(L"A", L"y"), L"2");
    EXPECT_EQ(Get(L"B", L"z"), L"3");
    ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"x", L"10", name.c_str()));
    EXPECT_EQ(Bytes(), "[A]\rx=10\ry=2\r\r[B]\rz=3\r");

    Write("[A]\nx=1\r\ny=2\r");  // mixed: every kind ends a line
    EXPECT_EQ(Section(L"A"), (Lines { L"x=1", L"y=2" }));
}

// A NUL in a line would end a name or value where the caller reads it, and cut the NUL-separated
// lists short, hiding the lines after it: a line's text ends at its first NUL. The line stays
// whole in the file.
TEST_F(PrivateProfileTest, ALineEndsAtANulAndTheLinesAfterItStayVisible)
{
    using namespace std::string_literals;
    const std::string file = "[S]\r\nf(x)=sin\t\0\0\0A\r\nname\0=hidden\r\nnext=1\r\n"s;
    Write(file);
    EXPECT_EQ(SectionNames(), (Lines { L"S" }));
    EXPECT_EQ(Section(L"S"), (Lines { L"f(x)=sin", L"name", L"next=1" }));
    EXPECT_EQ(Get(L"S", L"f(x)"), L"sin");
    EXPECT_EQ(Get(L"S", L"next"), L"1");
    ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"next", L"2", name.c_str()));
    EXPECT_EQ(Bytes(), "[S]\r\nf(x)=sin\t\0\0\0A\r\nname\0=hidden\r\nnext=2\r\n"s);
}

TEST_F(PrivateProfileTest, IntegersReadLikeTheClassicRuntime)
{
    Write("[N]\nplain=42\nblank= 42x\nneg=-5\nword=x\nempty=\nbig=99999999999\n");
    struct Case {
        const wchar_t* key;
        UINT expected;
    } cases[] = {
        { L"plain", 42 }, { L"blank", 42 }, { L"neg", static_cast<UINT>(-5) },
        { L"word", 0 },   { L"empty", 7 },  { L"missing", 7 }, { L"big", 0xFFFFFFFFu },
    };
    for (const auto& c : cases) EXPECT_EQ(GetPrivateProfileIntW(L"N", c.key, 7, name.c_str()), c.expected) << c.key;
}

TEST_F(PrivateProfileTest, SmallBuffersAreCutAndSaySo)
{
    Write("[Alpha]\nk=abcdef\n[Beta]\n");
    wchar_t buffer[5];
    EXPECT_EQ(GetPrivateProfileStringW(L"Alpha", L"k", L"", buffer, 5, name.c_str()), 4u);
    EXPECT_EQ(std::wstring(buffer), L"abcd");

    // "Alpha\0Beta\0\0" needs 12; a 9-character buffer keeps 7 characters and two NULs.
    wchar_t list[9];
    EXPECT_EQ(GetPrivateProfileSectionNamesW(list, 9, name.c_str()), 7u);
    EXPECT_EQ(std::wstring(list), L"Alpha");
    EXPECT_EQ(std::wstring(list + 6), L"B");
    EXPECT_EQ(list[8], L'\0');
    EXPECT_EQ(GetPrivateProfileSectionNamesW(list, 0, name.c_str()), 0u);
}

TEST_F(PrivateProfileTest, AMissingFileReadsAsEmpty)
{
    EXPECT_EQ(Get(L"A", L"b", L"dflt"), L"dflt");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    wchar_t buffer[8] = { L'x', L'x' };
    EXPECT_EQ(GetPrivateProfileSectionNamesW(buffer, 8, name.c_str()), 0u);
    EXPECT_EQ(buffer[0], L'\0');
}

TEST_F(PrivateProfileTest, WritingChangesOnlyTheLinesItMust)
{
    Write("; keep me\r\n[A]\r\nx=1\r\n; note\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringW(L"a", L"X", L"10", name.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"new", L"n", name.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"C", L"c", L"c", name.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"B", L"z", nullptr, name.c_str()));
    EXPECT_EQ(Bytes(), "; keep me\r\n[A]\r\nX=10\r\n; note\r\ny=2\r\nnew=n\r\n\r\n[B]\r\n\r\n[C]\r\nc=c\r\n");
    ASSERT_TRUE(WritePrivateProfileStringW(L"B", nullptr, nullptr, name.c_str()));
    EXPECT_EQ(SectionNames(), (Lines { L"A", L"C" }));
    // Deleting what is not there succeeds and leaves the file alone.
    EXPECT_TRUE(WritePrivateProfileStringW(L"Q", L"q", nullptr, name.c_str()));
}

TEST_F(PrivateProfileTest, WritingCreatesTheFileAndRefusesTextThatWouldBreakIt)
{
    ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"k", L"v", name.c_str()));
    EXPECT_EQ(Bytes(), "[S]\nk=v\n");
    EXPECT_FALSE(WritePrivateProfileStringW(L"S", L"k", L"two\nlines", name.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(WritePrivateProfileStringW(L"S", L"a=b", L"v", name.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringW(L"S]", L"k", L"v", name.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringW(nullptr, L"k", L"v", name.c_str()));
    EXPECT_EQ(Bytes(), "[S]\nk=v\n");
    // A folder that does not exist: nothing is written, and the failure is reported.
    EXPECT_FALSE(WritePrivateProfileStringW(L"S", L"k", L"v", (name + L".d/x.ini").c_str()));
}

TEST_F(PrivateProfileTest, SectionsAreReplacedWhole)
{
    Write("[A]\nold=1\n; gone\n\n[B]\nb=2\n");
    // Entries are NUL-separated; a line break inside one also starts a new line.
    const wchar_t lines[] = L"k1=v1\r\nk2=v2\0k3=\0";
    ASSERT_TRUE(WritePrivateProfileSectionW(L"A", lines, name.c_str()));
    EXPECT_EQ(Bytes(), "[A]\nk1=v1\nk2=v2\nk3=\n\n[B]\nb=2\n");
    ASSERT_TRUE(WritePrivateProfileSectionW(L"Empty", L"\0", name.c_str()));
    EXPECT_EQ(SectionNames(), (Lines { L"A", L"B", L"Empty" }));
    EXPECT_EQ(Section(L"Empty"), Lines {});
    ASSERT_TRUE(WritePrivateProfileSectionW(L"B", nullptr, name.c_str()));
    EXPECT_EQ(SectionNames(), (Lines { L"A", L"Empty" }));
}

// The whole-file pair reads every section in one pass and replaces several in one write, as the
// one-section functions would have, one after the other.
TEST_F(PrivateProfileTest, WholeFileReadingAndWritingMatchTheSectionFunctions)
{
    Write("; head\nloose=line\n[A]\nold=1\n; gone\n\n[b]\n b = 2 \nbare\n[A]\nsecond=yes\n[Other]\nkept=1\n");
    const auto read = ReadPrivateProfileSections(name.c_str());
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), 4u);
    EXPECT_EQ((*read)[1].name, L"b");
    EXPECT_EQ((*read)[1].lines, (Lines { L"b=2", L"bare" }));
    EXPECT_EQ((*read)[2].lines, Lines { L"second=yes" });

    const std::vector<PrivateProfileSection> sections = {
        { L"a", { L"k1=v1\r\nk2=v2", L"k3=" } }, { L"B", {} }, { L"New", { L"n=1" } }, { L"Bad]", { L"x=1" } }
    };
    EXPECT_FALSE(WritePrivateProfileSections(sections, name.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Bytes(), "; head\nloose=line\n[A]\nk1=v1\nk2=v2\nk3=\n\n[b]\n[A]\nsecond=yes\n[Other]\nkept=1\n\n[New]\nn=1\n");

    errno = 0;
    EXPECT_FALSE(ReadPrivateProfileSections((name + L".missing").c_str()).has_value());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// The whole-file reader cuts each line to kLongestProfileLine characters as it reads, on a
// character boundary whatever the encoding, and goes on with the next line after the cut one.
TEST_F(PrivateProfileTest, TheWholeFileReaderCutsEachLineAtTheLongestLine)
{
    const size_t room = kLongestProfileLine - 2;  // the characters after "f="
    const std::wstring pair = L"\U0001F600";
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring expected;  // the first line of section S; "g=1" follows it
    };
    const Case cases[] = {
        { "a line over the cut", "[S]\nf=" + std::string(room + 100, 'x') + "\ng=1\n", L"f=" + std::wstring(room, L'x') },
        { "a line exactly at the cut", "[S]\nf=" + std::string(room, 'y') + "\ng=1\n", L"f=" + std::wstring(room, L'y') },
        { "CR LF line ends", "[S]\r\nf=" + std::string(room + 1, 'z') + "\r\ng=1\r\n", L"f=" + std::wstring(room, L'z') },
        { "UTF-8 cut after a three-byte character, before a four-byte one",
          "[S]\nf=" + std::string(room - 1, 'a') + "\xE6\xBC\xA2\xF0\x9F\x98\x80\ng=1\n", L"f=" + std::wstring(room - 1, L'a') + L"\x6f22" },
        { "UTF-8 with a mark", "\xEF\xBB\xBF[S]\nf=" + std::string(room + 1, 'b') + "\xC3\xB6\ng=1\n", L"f=" + std::wstring(room, L'b') },
        { "Windows-1252", "[S]\nf=" + std::string(room + 5, '\xE9') + "\ng=1\n", L"f=" + std::wstring(room, L'\x00e9') },
        { "UTF-16 keeps a surrogate pair whole at the cut",
          EncodeTextFile(L"[S]\r\nf=" + std::wstring(room - 1, L'c') + pair + L"dd\r\ng=1\r\n", TextFileEncoding::Utf16LeBom),
          L"f=" + std::wstring(room - 1, L'c') + pair },
        { "UTF-16 cut before a pair", EncodeTextFile(L"[S]\nf=" + std::wstring(room, L'e') + pair + L"\ng=1\n", TextFileEncoding::Utf16LeBom),
          L"f=" + std::wstring(room, L'e') },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write(c.bytes);
        const auto read = ReadPrivateProfileSections(name.c_str());
        ASSERT_TRUE(read.has_value());
        ASSERT_EQ(read->size(), 1u);
        EXPECT_EQ((*read)[0].lines, (Lines { c.expected, L"g=1" }));
    }
}

TEST_F(PrivateProfileTest, Utf16FilesAreReadAndWrittenBackAsUtf16)
{
    Write(EncodeTextFile(L"[Info]\r\nName=K\x00f6nig \x6f22 \U0001F600\r\n", TextFileEncoding::Utf16LeBom));
    EXPECT_EQ(Get(L"Info", L"Name"), L"K\x00f6nig \x6f22 \U0001F600");
    ASSERT_TRUE(WritePrivateProfileStringW(L"Info", L"More", L"\x00e9", name.c_str()));
    EXPECT_EQ(Bytes(),
              EncodeTextFile(L"[Info]\r\nName=K\x00f6nig \x6f22 \U0001F600\r\nMore=\x00e9\r\n", TextFileEncoding::Utf16LeBom));
}

TEST_F(PrivateProfileTest, Utf8AndLegacyBytesAreRead)
{
    Write("\xEF\xBB\xBF[S]\nu=\xC3\xA9\n");
    EXPECT_EQ(Get(L"S", L"u"), L"\x00e9");
    Write("[S]\nu=\xE9t\xE9\n");  // Windows-1252
    EXPECT_EQ(Get(L"S", L"u"), L"\x00e9t\x00e9");
}

TEST_F(PrivateProfileTest, EveryEncodingIsWrittenBackAsItWas)
{
    struct Case {
        const char* what;
        std::string before;
        const wchar_t* value;
        std::string after;
    } cases[] = {
        { "Windows-1252", "[Info]\r\nName=K\xF6nig\r\n", L"\x00e9\x20ac", "[Info]\r\nName=K\xF6nig\r\nMore=\xE9\x80\r\n" },
        { "UTF-8", "[Info]\nName=K\xC3\xB6nig\n", L"\x00e9", "[Info]\nName=K\xC3\xB6nig\nMore=\xC3\xA9\n" },
        { "UTF-8 with its mark", "\xEF\xBB\xBF[Info]\nName=x\n", L"\x00e9", "\xEF\xBB\xBF[Info]\nName=x\nMore=\xC3\xA9\n" },
        // A character Windows-1252 lacks turns the file into UTF-8 rather than into question marks.
        { "Windows-1252, new text it cannot hold", "[Info]\r\nName=K\xF6nig\r\n", L"\x6f22",
          "[Info]\r\nName=K\xC3\xB6nig\r\nMore=\xE6\xBC\xA2\r\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write(c.before);
        ASSERT_TRUE(WritePrivateProfileStringW(L"Info", L"More", c.value, name.c_str()));
        EXPECT_EQ(Bytes(), c.after);
        EXPECT_EQ(Get(L"Info", L"More"), c.value);
    }
}

TEST_F(PrivateProfileTest, SavingKeepsLinksAndRefusesAReadOnlyFile)
{
    std::string real = folder.root() + "/real.ini", link = folder.root() + "/link.ini", second = folder.root() + "/second.ini";
    Write("[S]\nk=old\n");
    std::filesystem::rename(path, real);
    std::filesystem::create_symlink("real.ini", link);
    std::filesystem::create_hard_link(real, second);
    std::wstring linkName(link.begin(), link.end());
    ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"k", L"new", linkName.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(TempSettingsFolder::ReadAll(real), "[S]\nk=new\n");
    EXPECT_EQ(TempSettingsFolder::ReadAll(second), "[S]\nk=new\n");

    ASSERT_EQ(::chmod(real.c_str(), 0444), 0);
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(WritePrivateProfileStringW(L"S", L"k", L"lost", linkName.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(TempSettingsFolder::ReadAll(real), "[S]\nk=new\n");
}

TEST_F(PrivateProfileTest, NamesWithoutAFolderLiveInTheSettingsFolderAndBackslashesSeparate)
{
    ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"k", L"v", L"Fln.ini"));
    EXPECT_EQ(TempSettingsFolder::ReadAll(folder.settings() + "/Fln.ini"), "[S]\nk=v\n");
    std::wstring doubled;
    for (wchar_t ch : name) doubled += ch == L'/' ? std::wstring(L"\\\\") : std::wstring(1, ch);
    ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"k", L"w", doubled.c_str()));
    EXPECT_EQ(Get(L"S", L"k"), L"w");
}

TEST_F(PrivateProfileTest, AFailedWriteLeavesTheOldFileWhole)
{
    std::string before = "[Big]\nvalue=" + std::string(64, 'x') + "\n";
    Write(before);
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;  // every write past 16 bytes fails
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    BOOL written = WritePrivateProfileStringW(L"Big", L"more", L"y", name.c_str());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(Bytes(), before);
    // Only the file and the settings folder are there: no temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.root()), {}), 2);
}

// The lock that serialises the writes of a user's file lies in the settings folder, never beside
// the file; the settings folder's own files keep their lock there too.
TEST_F(PrivateProfileTest, TheWriteLockLiesOnlyInTheSettingsFolder)
{
    const std::string documents = folder.root() + "/documents";
    std::filesystem::create_directories(documents);
    const std::string userFile = documents + "/page.fm";
    ASSERT_TRUE(WritePrivateProfileStringW(L"INFO", L"Name", L"1", std::wstring(userFile.begin(), userFile.end()).c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"INFO", L"Name", L"1", L"Fln.ini"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(documents))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string> { "page.fm" });
    const std::string lock = FolderWriteLock::LockFileFor(documents);
    EXPECT_EQ(FolderOf(lock), folder.settings());
    EXPECT_TRUE(std::filesystem::exists(lock));
    EXPECT_EQ(FolderWriteLock::LockFileFor(folder.settings()), folder.settings() + "/" + FolderWriteLock::kLockFileName);
    EXPECT_TRUE(std::filesystem::exists(folder.settings() + "/" + FolderWriteLock::kLockFileName));
    EXPECT_NE(FolderWriteLock::LockFileFor(folder.root()), lock) << "each folder has a lock of its own";
}

} // namespace
