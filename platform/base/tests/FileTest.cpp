#include "platform/base/Archive.h"
#include "platform/base/Collections.h"
#include "platform/base/File.h"
#include "platform/base/TextEncoding.h"

#include "ThrowsException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fln-file-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::wstring PathOf(const char* name) const
    {
        std::string path = folder + "/" + name;
        return std::wstring(path.begin(), path.end());
    }
    std::string Bytes(const char* name) const
    {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Put(const char* name, const std::string& bytes) const { std::ofstream(folder + "/" + name, std::ios::binary) << bytes; }

    std::string folder;
};

TEST_F(FileTest, ReadWriteSeekAndLength)
{
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("a.bin").c_str(), CFile::modeCreate | CFile::modeReadWrite));
    file.Write("hello world", 11);
    EXPECT_EQ(file.GetLength(), 11u);
    EXPECT_EQ(file.Seek(-5, CFile::end), 6u);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 16), 5u);  // short only at the end
    EXPECT_STREQ(buffer, "world");
    file.SetLength(5);
    file.SeekToBegin();
    EXPECT_EQ(file.Read(buffer, 16), 5u);
    EXPECT_EQ(file.GetFileName(), L"a.bin");
    EXPECT_EQ(file.GetFileTitle(), L"a");
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(ThrowsException<CFileException>([&] { file.Read(buffer, 1); }));
}

TEST_F(FileTest, FailuresNameTheirCause)
{
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(PathOf("missing.txt").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, CString(PathOf("missing.txt")));
    EXPECT_FALSE(file.Open(CString(folder.c_str()), CFile::modeRead, &error));  // a folder is no file
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);

    try {
        CFile thrown(PathOf("missing.txt").c_str(), CFile::modeRead);
        FAIL();
    } catch (CFileException* caught) {
        EXPECT_EQ(caught->m_cause, CFileException::fileNotFound);
        caught->Delete();
    }

    // modeCreate | modeNoTruncate keeps what is there.
    Put("keep.txt", "kept");
    ASSERT_TRUE(file.Open(PathOf("keep.txt").c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 4u);
    file.Close();
    CFile::Rename(PathOf("keep.txt").c_str(), PathOf("moved.txt").c_str());
    CFile::Remove(PathOf("moved.txt").c_str());
    EXPECT_TRUE(ThrowsException<CFileException>([&] { CFile::Remove(PathOf("moved.txt").c_str()); }));
}

TEST_F(FileTest, TextLinesReadWithTheirEndsRemoved)
{
    Put("t.txt", "abc\r\nK\xC3\xB6nig\n\xE9t\xE9\nlast");
    CStdioFile file;
    ASSERT_TRUE(file.Open(PathOf("t.txt").c_str(), CFile::modeRead | CFile::typeText));
    CString line;
    std::vector<std::wstring> lines;
    while (file.ReadString(line)) lines.push_back(line.str());
    EXPECT_EQ(lines, (std::vector<std::wstring> { L"abc", L"K\x00f6nig", L"\x00e9t\x00e9", L"last" }));
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_TRUE(line.IsEmpty());

    Put("empty.txt", "");
    ASSERT_TRUE(file.Open(PathOf("empty.txt").c_str(), CFile::modeRead));
    EXPECT_FALSE(file.ReadString(line));
}

TEST_F(FileTest, BinaryLinesAreUtf16AndKeepTheirCarriageReturn)
{
    Put("u.txt", EncodeTextFile(L"abc\r\nz\U0001F600\n", TextFileEncoding::Utf16LeBom));
    CStdioFile file(PathOf("u.txt").c_str(), CFile::modeRead | CFile::typeBinary);
    char mark[2];
    ASSERT_EQ(file.Read(mark, 2), 2u);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"abc\r");
    wchar_t buffer[8];
    ASSERT_NE(file.ReadString(buffer, 8), nullptr);
    EXPECT_STREQ(buffer, L"z\U0001F600\n");  // this form keeps the line feed
    EXPECT_EQ(file.ReadString(buffer, 8), nullptr);
}

TEST_F(FileTest, WriteStringWritesTheFileEncodingWithoutTranslation)
{
    {
        CStdioFile text(PathOf("w8.txt").c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        text.WriteString(L"\x00e9\n");
        CStdioFile binary(PathOf("w16.txt").c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        binary.WriteString(L"a\n");
    }  // the destructors close and flush
    EXPECT_EQ(Bytes("w8.txt"), "\xC3\xA9\n");
    EXPECT_EQ(Bytes("w16.txt"), std::string("a\0\n\0", 4));
}

class CPoint3 : public CObject {
    DECLARE_SERIAL(CPoint3)
public:
    int x = 0, y = 0, z = 0;
    CPoint3* next = nullptr;
    void Serialize(CArchive& archive) override
    {
        if (archive.IsStoring()) {
            archive << x << y << z << static_cast<CObject*>(next);
        } else {
            CObject* linked;
            archive >> x >> y >> z >> linked;
            next = static_cast<CPoint3*>(linked);
        }
    }
};
IMPLEMENT_SERIAL(CPoint3, CObject, 3)

class COtherSchema : public CObject {
    DECLARE_SERIAL(COtherSchema)
};
IMPLEMENT_SERIAL(COtherSchema, CObject, 1)

TEST_F(FileTest, ArchivesRoundTripNumbersStringsAndObjectGraphs)
{
    std::wstring path = PathOf("a.dat");
    CPoint3 a, b;
    a.x = 1, a.y = -2, a.z = 3;
    b.x = 4;
    a.next = &b;
    b.next = &a;  // a cycle: the second visit is a back-reference
    std::wstring longText(70000, L'x');
    longText[5] = L'\x4e2d';
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store, 64);
        archive << BYTE(200) << WORD(60000) << DWORD(0xDEADBEEF) << -7 << 2.5 << 1.5f << LONGLONG(-1) << true;
        archive << CString(L"K\x00f6nig \U0001F600") << CString() << CString(longText);
        archive.WriteCount(70000);
        archive << &a << static_cast<CObject*>(nullptr);
        archive.Close();
    }
    CFile file(path.c_str(), CFile::modeRead);
    CArchive archive(&file, CArchive::load, 64);
    BYTE b8;
    WORD w;
    DWORD d;
    int i;
    double f64;
    float f32;
    LONGLONG big;
    bool flag;
    CString s1, s2, s3;
    archive >> b8 >> w >> d >> i >> f64 >> f32 >> big >> flag >> s1 >> s2 >> s3;
    EXPECT_EQ(b8, 200);
    EXPECT_EQ(w, 60000);
    EXPECT_EQ(d, 0xDEADBEEFu);
    EXPECT_EQ(i, -7);
    EXPECT_EQ(f64, 2.5);
    EXPECT_EQ(f32, 1.5f);
    EXPECT_EQ(big, -1);
    EXPECT_TRUE(flag);
    EXPECT_EQ(s1, L"K\x00f6nig \U0001F600");
    EXPECT_TRUE(s2.IsEmpty());
    EXPECT_EQ(s3.str(), longText);
    EXPECT_EQ(archive.ReadCount(), 70000u);

    std::unique_ptr<CObject> loaded(archive.ReadObject(RUNTIME_CLASS(CPoint3)));
    auto* first = static_cast<CPoint3*>(loaded.get());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->y, -2);
    ASSERT_NE(first->next, nullptr);
    EXPECT_EQ(first->next->x, 4);
    EXPECT_EQ(first->next->next, first);
    std::unique_ptr<CObject> second(first->next);
    EXPECT_EQ(archive.ReadObject(nullptr), nullptr);
    EXPECT_TRUE(ThrowsException<CArchiveException>([&] { archive >> i; }));
}

TEST_F(FileTest, DamagedOrForeignArchivesThrowAndLeakNothing)
{
    auto load = [&](const std::string& bytes, const CRuntimeClass* required) -> int {
        Put("bad.dat", bytes);
        CFile file(PathOf("bad.dat").c_str(), CFile::modeRead);
        CArchive archive(&file, CArchive::load);
        try {
            delete archive.ReadObject(required);
            return -1;
        } catch (CArchiveException* error) {
            int cause = error->m_cause;
            error->Delete();
            return cause;
        }
    };
    auto newClass = [](const char* name, WORD schema) {
        std::string bytes("\xFF\xFF\xFF\xFF", 4);
        bytes += static_cast<char>(schema & 0xFF);
        bytes += static_cast<char>(schema >> 8);
        bytes += static_cast<char>(std::strlen(name));
        bytes += '\0';
        return bytes + name;
    };
    EXPECT_EQ(load(std::string("\x05\x00\x00\x00", 4), nullptr), CArchiveException::badIndex);
    EXPECT_EQ(load(newClass("NoSuchClass", 1), nullptr), CArchiveException::badClass);
    EXPECT_EQ(load(newClass("CPoint3", 2), nullptr), CArchiveException::badSchema);
    EXPECT_EQ(load(newClass("COtherSchema", 1), RUNTIME_CLASS(CPoint3)), CArchiveException::badClass);
    // The class is right but its data stops short: the half-made object is deleted.
    EXPECT_EQ(load(newClass("CPoint3", 3) + "\x01\x00", nullptr), CArchiveException::endOfFile);
    // A count far beyond what the file holds.
    Put("n.dat", std::string("\xFF\xFF\xFF\xFF\xFF\x7F\x01\x00\x00\x00", 10));
    {
        CFile numbersFile(PathOf("n.dat").c_str(), CFile::modeRead);
        CArchive numbersArchive(&numbersFile, CArchive::load);
        CDWordArray numbers;
        EXPECT_TRUE(ThrowsException<CArchiveException>([&] { numbers.Serialize(numbersArchive); }));
        EXPECT_EQ(numbers.GetSize(), 1);
    }
    // A string whose length runs past the end of the file.
    Put("s.dat", "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\x7F" "ab");
    CFile file(PathOf("s.dat").c_str(), CFile::modeRead);
    CArchive archive(&file, CArchive::load);
    CString text;
    EXPECT_TRUE(ThrowsException<CArchiveException>([&] { archive >> text; }));
}

TEST_F(FileTest, CollectionsStoreTheirElements)
{
    std::wstring path = PathOf("c.dat");
    {
        CMap<CString, LPCWSTR, WORD, WORD> keywords;
        keywords[L"Dim"] = 1;
        keywords[L"End"] = 2;
        CStringList names;
        names.AddTail(L"one");
        names.AddTail(L"two");
        CDWordArray numbers;
        numbers.Add(7);
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store);
        keywords.Serialize(archive);
        names.Serialize(archive);
        numbers.Serialize(archive);
    }
    CFile file(path.c_str(), CFile::modeRead);
    CArchive archive(&file, CArchive::load);
    CMap<CString, LPCWSTR, WORD, WORD> keywords;
    CStringList names;
    CDWordArray numbers;
    keywords.Serialize(archive);
    names.Serialize(archive);
    numbers.Serialize(archive);
    WORD group = 0;
    EXPECT_TRUE(keywords.Lookup(L"End", group));
    EXPECT_EQ(group, 2);
    EXPECT_EQ(keywords.GetCount(), 2);
    EXPECT_EQ(names.GetTail(), L"two");
    ASSERT_EQ(numbers.GetSize(), 1);
    EXPECT_EQ(numbers[0], 7u);
}

} // namespace
