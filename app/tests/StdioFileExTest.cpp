#include "app/StdioFileEx.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

class StdioFileEx : public testing::Test {
protected:
    StdioFileEx()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fln-stdio-XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
    }
    ~StdioFileEx() override { std::filesystem::remove_all(m_dir); }

    std::wstring Path(const char* name) const { return CString((m_dir + "/" + name).c_str()).str(); }
    std::string Read(const char* name) const
    {
        std::ifstream in(m_dir + "/" + name, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    void Write(const char* name, const std::string& bytes) const { std::ofstream(m_dir + "/" + name, std::ios::binary) << bytes; }

    std::vector<std::wstring> Lines(const char* name)
    {
        CStdioFileEx file;
        EXPECT_TRUE(file.Open(Path(name).c_str(), CFile::modeRead | CFile::typeText));
        std::vector<std::wstring> lines;
        CString line;
        while (file.ReadString(line))
            lines.push_back(line.str());
        return lines;
    }

    std::string m_dir;
};

TEST_F(StdioFileEx, ReadsBothEncodingsWithoutMarksOrLineEnds)
{
    Write("u.txt", std::string("\xFF\xFE" "a\0b\0c\0\r\0\n\0l\0a\0s\0t\0", 20));
    EXPECT_EQ(Lines("u.txt"), (std::vector<std::wstring> { L"abc", L"last" }));
    EXPECT_TRUE(CStdioFileEx::HasByteOrderMark(Path("u.txt").c_str()));

    Write("a.txt", "abc\r\n\xC3\xA9t\xC3\xA9\nlast");
    EXPECT_EQ(Lines("a.txt"), (std::vector<std::wstring> { L"abc", L"\u00E9t\u00E9", L"last" }));
    EXPECT_FALSE(CStdioFileEx::HasByteOrderMark(Path("a.txt").c_str()));

    Write("e.txt", "");
    EXPECT_TRUE(Lines("e.txt").empty());
    EXPECT_FALSE(CStdioFileEx::HasByteOrderMark(Path("missing.txt").c_str()));
}

TEST_F(StdioFileEx, WritesUtf16WithOneMarkOnlyWhenAsked)
{
    {
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(Path("w.txt").c_str(), CFile::modeCreate | CFile::modeWrite | CStdioFileEx::modeWriteUtf16));
        file.WriteString(L"a\n");
        file.WriteString(L"b");
        file.Close();
    }
    EXPECT_EQ(Read("w.txt"), std::string("\xFF\xFE" "a\0\n\0b\0", 8));
    EXPECT_EQ(Lines("w.txt"), (std::vector<std::wstring> { L"a", L"b" }));

    {
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(Path("n.txt").c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        file.WriteString(L"x\n\u20AC");
        file.Close();
    }
    EXPECT_EQ(Read("n.txt"), "x\n\xE2\x82\xAC") << "every character fits the 8-bit encoding: no substitutes";
}

} // namespace
