#include "platform/base/Array.h"
#include "platform/base/CString.h"

#include <gtest/gtest.h>

TEST(CString, SubstringsClampOutOfRangeArguments)
{
    CString s(L"Formulon");
    EXPECT_EQ(s.Mid(4), L"ulon");
    EXPECT_EQ(s.Mid(2, 3), L"rmu");
    EXPECT_EQ(s.Mid(6, 100), L"on");
    EXPECT_EQ(s.Mid(-3, 2), L"Fo");
    EXPECT_EQ(s.Mid(20), L"");
    EXPECT_EQ(s.Left(3), L"For");
    EXPECT_EQ(s.Left(-1), L"");
    EXPECT_EQ(s.Right(2), L"on");
    EXPECT_EQ(s.Right(99), L"Formulon");
    EXPECT_EQ(s.GetAt(99), L'\0');
}

TEST(CString, FindingAndReplacing)
{
    CString s(L"SIN(X)*(1)+(1)*COS(X)");
    EXPECT_EQ(s.Find(L'('), 3);
    EXPECT_EQ(s.Find(L'(', 4), 7);
    EXPECT_EQ(s.Find(L"(1)"), 7);
    EXPECT_EQ(s.Find(L"(1)", 8), 11);
    EXPECT_EQ(s.Find(L"Q"), -1);
    EXPECT_EQ(s.Find(L'X', 99), -1);
    EXPECT_EQ(s.ReverseFind(L'X'), 19);
    EXPECT_EQ(s.FindOneOf(L"*+"), 6);
    EXPECT_EQ(s.Replace(L"(1)", L""), 2);
    EXPECT_EQ(s, L"SIN(X)*+*COS(X)");
    EXPECT_EQ(s.Replace(L'X', L'x'), 2);
    EXPECT_EQ(s.Remove(L'*'), 2);
    EXPECT_EQ(s, L"SIN(x)+COS(x)");
    // Replacing with a text that contains the searched one must not loop.
    CString t(L"aa");
    EXPECT_EQ(t.Replace(L"a", L"aa"), 2);
    EXPECT_EQ(t, L"aaaa");
}

TEST(CString, InsertDeleteAndCase)
{
    CString s(L"x+1");
    EXPECT_EQ(s.Insert(0, L'('), 4);
    EXPECT_EQ(s.Insert(99, L")^2"), 7);
    EXPECT_EQ(s, L"(x+1)^2");
    EXPECT_EQ(s.Delete(5, 99), 5);
    EXPECT_EQ(s.Delete(-1, 2), 5);
    EXPECT_EQ(s, L"(x+1)");
    EXPECT_EQ(CString(L"aBc").MakeUpper(), L"ABC");
    EXPECT_EQ(CString(L"ÄBc").MakeLower(), L"äbc");
    EXPECT_EQ(CString(L"abc").MakeReverse(), L"cba");
    EXPECT_EQ(CString(L"sin").CompareNoCase(L"SIN"), 0);
    EXPECT_LT(CString(L"a").CompareNoCase(L"B"), 0);
    EXPECT_GT(CString(L"b").Compare(L"a"), 0);
}

TEST(CString, Trimming)
{
    EXPECT_EQ(CString(L" \t x \n").Trim(), L"x");
    EXPECT_EQ(CString(L"  x ").TrimLeft(), L"x ");
    EXPECT_EQ(CString(L"  x ").TrimRight(), L"  x");
    EXPECT_EQ(CString(L"00120").Trim(L'0'), L"12");
    EXPECT_EQ(CString(L"[(x)]").Trim(L"[]()"), L"x");
    EXPECT_EQ(CString(L"----").TrimLeft(L'-'), L"");
}

TEST(CString, TokenizeSkipsEmptyTokensAndEnds)
{
    CString s(L";;A;;B;C;");
    int pos = 0;
    std::vector<std::wstring> tokens;
    for (CString t = s.Tokenize(L";", pos); pos != -1; t = s.Tokenize(L";", pos)) tokens.push_back(t.str());
    EXPECT_EQ(tokens, (std::vector<std::wstring>{L"A", L"B", L"C"}));
}

TEST(CString, CountedConstructionTakesExactlyTheCount)
{
    const wchar_t unterminated[3] = {L'a', L'b', L'c'};
    EXPECT_EQ(CString(unterminated, 2), L"ab");
    CString withNul(L"a\0b", 3);
    EXPECT_EQ(withNul.GetLength(), 3);
    EXPECT_EQ(withNul.GetAt(2), L'b');
    EXPECT_EQ(CString(L"abc", -1), L"");
}

TEST(CString, BufferAccess)
{
    CString s(L"abc");
    wchar_t* buffer = s.GetBuffer(10);
    wcscpy(buffer, L"hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"hello");
    EXPECT_EQ(s.GetLength(), 5);
    buffer = s.GetBufferSetLength(3);
    buffer[0] = L'J';
    s.ReleaseBuffer(2);
    EXPECT_EQ(s, L"Je");
}

TEST(CString, NarrowTextIsUtf8OrElseWindows1252)
{
    EXPECT_EQ(CString("Gr\xC3\xBC\xC3\x9F" "e"), L"Grüße");
    EXPECT_EQ(CString("\x80 5 \xE4"), L"€ 5 ä");            // not UTF-8: Windows-1252
    EXPECT_EQ(CString("\xC0\xAF"), L"\u00C0\u00AF");        // overlong UTF-8 is not UTF-8
    EXPECT_EQ(CString(L"π≈3.14 €").ToUtf8(), "\xCF\x80\xE2\x89\x88" "3.14 \xE2\x82\xAC");
    EXPECT_EQ(NarrowToWide(WideToUtf8(L"\U0001F600 x")), L"\U0001F600 x");
}

TEST(CString, FormatUsesTheClassicRuntimeRules)
{
    CString s;
    s.Format(L"%s = %d, %.3lf", L"x", 42, 2.5);
    EXPECT_EQ(s, L"x = 42, 2.500");
    s.AppendFormat(L" [%E]", 1e6);
    EXPECT_EQ(s, L"x = 42, 2.500 [1.000000E+006]");
    EXPECT_EQ(CString(L"a") + L"b" + CString(L"c") + L'd', L"abcd");
}

TEST(CArray, GrowsAndChecksIndices)
{
    CArray<double, double> values;
    values.Add(1.5);
    values.SetAtGrow(3, 4.5);
    EXPECT_EQ(values.GetSize(), 4);
    EXPECT_EQ(values[3], 4.5);
    EXPECT_EQ(values[1], 0.0);
    values.InsertAt(0, -1.0, 2);
    values.RemoveAt(1);
    EXPECT_EQ(values.GetSize(), 5);
    EXPECT_EQ(values[0], -1.0);
    EXPECT_EQ(values[1], 1.5);
    EXPECT_THROW(values.GetAt(5), std::out_of_range);
    EXPECT_THROW(values.RemoveAt(4, 2), std::out_of_range);

    CStringArray names;
    names.Add(L"A");
    names.Add(CString(L"B"));
    EXPECT_EQ(names.GetUpperBound(), 1);
    EXPECT_EQ(names[1], L"B");
}
