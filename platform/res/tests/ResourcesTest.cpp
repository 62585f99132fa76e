// Finding, loading and reading the resources of data/everything.rc, compiled by the build and
// linked into this test.

#include "platform/base/ErrorCodes.h"
#include "platform/res/Resources.h"

#include "data/everything.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::string Bytes(HRSRC resource)
{
    auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    return std::string(data, SizeofResource(nullptr, resource));
}

TEST(FindResource, FindsByOrdinalByNameAndByHashNumber)
{
    HRSRC about = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(FindResourceW(nullptr, L"#100", L"#5"), about);
    EXPECT_EQ(FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG), about);
    EXPECT_EQ(FindResourceExW(nullptr, RT_DIALOG, MAKEINTRESOURCEW(IDD_ABOUT), 0x0409), about);

    // Custom types and names are compared without regard to case.
    HRSRC notes = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_NOTES), L"rtf");
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(Bytes(notes), "{\\rtf1 Formulon notes}");
    HRSRC named = FindResourceW(nullptr, L"named", L"Custom");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(Bytes(named), std::string("\x01\0\x02\0", 4));
    HRSRC quoted = FindResourceW(nullptr, L"QUOTED NAME", MAKEINTRESOURCEW(300));
    ASSERT_NE(quoted, nullptr);
    EXPECT_EQ(Bytes(quoted), std::string("x\0", 2));
}

TEST(FindResource, ReportsWhatIsMissing)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* type;
        DWORD error;
    };
    const Case cases[] = {
        { MAKEINTRESOURCEW(999), RT_DIALOG, ERROR_RESOURCE_NAME_NOT_FOUND },
        { MAKEINTRESOURCEW(IDD_ABOUT), MAKEINTRESOURCEW(77), ERROR_RESOURCE_TYPE_NOT_FOUND },
        { L"NAMED", L"NOSUCHTYPE", ERROR_RESOURCE_TYPE_NOT_FOUND },
        { L"#100x", RT_DIALOG, ERROR_RESOURCE_NAME_NOT_FOUND }, // not a number: a name no dialog has
        { L"#70000", RT_DIALOG, ERROR_RESOURCE_NAME_NOT_FOUND },
        { MAKEINTRESOURCEW(IDR_NOTES), RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND },
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(FindResourceW(nullptr, c.name, c.type), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(FindResourceW(nullptr, nullptr, RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceW(reinterpret_cast<HMODULE>(0x1234), MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG), nullptr);
}

TEST(LoadResource, RejectsHandlesItDidNotGive)
{
    int notAResource = 0;
    auto bogus = reinterpret_cast<HRSRC>(&notAResource);
    EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    HRSRC blob = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_BLOB), RT_RCDATA);
    EXPECT_EQ(FreeResource(LoadResource(nullptr, blob)), FALSE);
}

TEST(LoadResource, RawBlockHoldsBytesWordsAndDoubleWords)
{
    // "ab", L"c", 0x1234, 0x56789ABCL, (1 + 2) * 3 | ~0xFFF0 - -1, 7 / 2 & NOT 0
    const std::string expected("ab" "c\0" "\x34\x12" "\xBC\x9A\x78\x56" "\x19\x00" "\x03\x00", 14);
    EXPECT_EQ(Bytes(FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_BLOB), RT_RCDATA)), expected);
}

TEST(LoadString, CopiesCutsAndTerminates)
{
    wchar_t buffer[64];
    EXPECT_EQ(LoadStringW(nullptr, IDS_HELLO, buffer, 64), 5);
    EXPECT_STREQ(buffer, L"Hello");
    EXPECT_EQ(LoadStringW(nullptr, IDS_HELLO, buffer, 3), 2);
    EXPECT_STREQ(buffer, L"He");
    EXPECT_EQ(LoadStringW(nullptr, IDS_HELLO, buffer, 1), 0);
    EXPECT_STREQ(buffer, L"");

    EXPECT_EQ(LoadStringW(nullptr, IDS_LAST_IN_BLOCK, buffer, 64), 23);
    EXPECT_STREQ(buffer, L"Last of the first block");
    EXPECT_EQ(LoadStringW(nullptr, IDS_ESCAPES, buffer, 64), 43);
    EXPECT_STREQ(buffer, L"Tab\tnew line\nquote\"\" backslash\\ octalA hexB");
    // Characters beyond 16 bits were stored as surrogate pairs and come back whole.
    EXPECT_EQ(LoadStringW(nullptr, IDS_UNICODE, buffer, 64), 9);
    EXPECT_STREQ(buffer, L"Grüße ∑ \U0001D11E");
}

TEST(LoadString, MissingStringsGiveNothing)
{
    wchar_t buffer[8] = L"xxxxxxx";
    EXPECT_EQ(LoadStringW(nullptr, 2, buffer, 8), 0); // an empty slot in a present block
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(LoadStringW(nullptr, IDS_EMPTY_NEIGHBOUR - 1, buffer, 8), 0);
    EXPECT_EQ(LoadStringW(nullptr, 5000, buffer, 8), 0); // no such block
    EXPECT_EQ(LoadStringW(nullptr, 0x10005, buffer, 8), 0);
    EXPECT_EQ(LoadStringW(nullptr, IDS_HELLO, nullptr, 8), 0);
}

TEST(LoadString, SizeZeroGivesAPointerToTheText)
{
    const wchar_t* text = nullptr;
    EXPECT_EQ(LoadStringW(nullptr, IDS_EMPTY_NEIGHBOUR, reinterpret_cast<LPWSTR>(&text), 0), 26);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wstring(text, 26), L"Neighbour of an empty slot");
}

TEST(LoadString, CStringLoadsOrKeepsItsText)
{
    CString text(L"before");
    EXPECT_FALSE(text.LoadString(4711));
    EXPECT_EQ(text, L"before");
    EXPECT_TRUE(text.LoadString(IDS_HELLO));
    EXPECT_EQ(text, L"Hello");
}

class VersionInfo : public testing::Test {
protected:
    void SetUp() override
    {
        DWORD handle = 99;
        const DWORD size = GetFileVersionInfoSizeW(nullptr, &handle);
        ASSERT_GT(size, 0u);
        EXPECT_EQ(handle, 0u);
        block.assign(size, 0xCC);
        ASSERT_TRUE(GetFileVersionInfoW(nullptr, 0, size, block.data()));
    }

    std::wstring Text(const wchar_t* path)
    {
        LPVOID value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), path, &value, &length))
            return L"<none>";
        return std::wstring(static_cast<const wchar_t*>(value), length - 1) + L"|" + std::to_wstring(length);
    }

    std::vector<BYTE> block;
};

TEST_F(VersionInfo, FixedInformation)
{
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, value, sizeof info);
    EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.dwStrucVersion, 0x00010000u);
    EXPECT_EQ(info.dwFileVersionMS, 0x00030001u);
    EXPECT_EQ(info.dwFileVersionLS, 0x00000019u);
    EXPECT_EQ(info.dwProductVersionMS, 0x00030001u);
    EXPECT_EQ(info.dwProductVersionLS, 0u);
    EXPECT_EQ(info.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(info.dwFileOS, 0x40004u);
    EXPECT_EQ(info.dwFileType, 1u);
}

TEST_F(VersionInfo, TextsByLanguageAndCodePage)
{
    EXPECT_EQ(Text(L"\\StringFileInfo\\040904b0\\FileVersion"), L"3.1.0.25|9");
    EXPECT_EQ(Text(L"\\StringFileInfo\\040904B0\\companyname"), L"Formulon developers|20");
    EXPECT_EQ(Text(L"\\StringFileInfo\\040904b0\\ProductName"), L"Formulon ∑|11");
    EXPECT_EQ(Text(L"\\StringFileInfo\\040904b0\\Empty"), L"|1");
    EXPECT_EQ(Text(L"\\StringFileInfo\\040904b0\\Clef"), L"\U0001D11E|2"); // one wchar_t and the terminator
    EXPECT_EQ(Text(L"\\StringFileInfo\\040904b0\\Missing"), L"<none>");
    EXPECT_EQ(Text(L"\\StringFileInfo\\04070000\\FileVersion"), L"<none>");
    // A block has no value of its own.
    EXPECT_EQ(Text(L"\\StringFileInfo"), L"<none>");
}

TEST_F(VersionInfo, Translation)
{
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    WORD words[2];
    std::memcpy(words, value, 4);
    EXPECT_EQ(words[0], 0x0409);
    EXPECT_EQ(words[1], 1200);
}

TEST_F(VersionInfo, OnlyTheProgramsOwnFileAndAWholeBlock)
{
    wchar_t path[4096];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, 4096), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeW(path, nullptr), block.size());
    const wchar_t* name = std::wcsrchr(path, L'/') + 1;
    EXPECT_EQ(GetFileVersionInfoSizeW(name, nullptr), block.size());
    EXPECT_EQ(GetFileVersionInfoSizeW(L"/usr/bin/other", nullptr), 0u);

    std::vector<BYTE> small(block.size() - 1);
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoW(nullptr, 0, static_cast<DWORD>(small.size()), small.data()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(VersionResource, CanBeQueriedWhereItIsLocked)
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_VERSION);
    ASSERT_NE(resource, nullptr);
    LPCVOID data = LockResource(LoadResource(nullptr, resource));
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data, L"\\", &value, &length));
    EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS, 0x00030001u);
    ASSERT_TRUE(VerQueryValueW(data, L"\\StringFileInfo\\040904b0\\FileVersion", &value, &length));
    EXPECT_STREQ(static_cast<const wchar_t*>(value), L"3.1.0.25");
}

}
