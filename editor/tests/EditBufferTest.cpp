#include "editor/EditBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace {

void Insert(SECEditBlockBuffer& buffer, int line, int column, const wchar_t* text)
{
    SECEditLineColPair range(line, column, 0, 0);
    ASSERT_TRUE(buffer.InsertText(range, text, -1));
}

CString AllText(SECEditBlockBuffer& buffer)
{
    CString text;
    const int last = buffer.GetLineCount() - 1;
    buffer.GetText(text, 0, 0, last, buffer.GetLineLengthWithEnd(last));
    return text;
}

TEST(EditBuffer, EmptyBufferHasOneEmptyLine)
{
    SECEditBlockBuffer buffer;
    EXPECT_EQ(buffer.GetLineCount(), 1);
    EXPECT_EQ(buffer.GetLineLength(0), 0);
    CString text = L"x";
    EXPECT_TRUE(buffer.GetText(text, 0, 0, -1, -1));
    EXPECT_EQ(text, L"");
    EXPECT_EQ(buffer.GetLineLength(1), -1);
    EXPECT_EQ(buffer.LineColToOffset(1, 0), -1);
}

TEST(EditBuffer, CarriageReturnEndsTheLineTextButOnlyLineFeedStartsALine)
{
    SECEditBlockBuffer buffer;
    Insert(buffer, 0, 0, L"a\r\nb");
    EXPECT_EQ(buffer.GetLineCount(), 2);
    EXPECT_EQ(buffer.GetLineLength(0), 1);
    EXPECT_EQ(buffer.GetLineLengthWithEnd(0), 3);
    EXPECT_EQ(buffer.LineColToOffset(1, 0), 3);
    EXPECT_EQ(buffer.LineColToOffset(0, 4), -1) << "a column past the line end is no position";

    Insert(buffer, 1, 1, L"\rc");
    EXPECT_EQ(buffer.GetLineCount(), 2) << "a lone CR makes no line";
    EXPECT_EQ(buffer.GetLineLength(1), 1);
}

TEST(EditBuffer, TextWithoutLineFeedIsOneLine)
{
    SECEditBlockBuffer buffer;
    const std::wstring longLine(100000, L'x');
    Insert(buffer, 0, 0, longLine.c_str());
    EXPECT_EQ(buffer.GetLineCount(), 1);
    EXPECT_EQ(buffer.GetLineLength(0), 100000);
}

TEST(EditBuffer, InsertReportsTheEndAndDeleteJoinsLines)
{
    SECEditBlockBuffer buffer;
    Insert(buffer, 0, 0, L"one\ntwo\nthree");
    SECEditLineColPair range(1, 1, 0, 0);
    ASSERT_TRUE(buffer.InsertText(range, L"X\nYZ", -1));
    EXPECT_EQ(range.m_end, SECEditLineCol(2, 2));
    EXPECT_EQ(AllText(buffer), L"one\ntX\nYZwo\nthree");
    EXPECT_EQ(buffer.GetLineCount(), 4);
    EXPECT_EQ(buffer.GetLineLength(3), 5);

    ASSERT_TRUE(buffer.DeleteText(SECEditLineColPair(2, 4, 0, 1)));
    EXPECT_EQ(AllText(buffer), L"o\nthree");
    EXPECT_EQ(buffer.GetLineCount(), 2);
    EXPECT_FALSE(buffer.DeleteText(SECEditLineColPair(0, 0, 5, 0)));
    EXPECT_EQ(buffer.GetLineCount(), 2);

    SECEditLineColPair invalid(7, 0, 0, 0);
    EXPECT_FALSE(buffer.InsertText(invalid, L"lost", -1));
    SECEditLineColPair invalidWithAnEndAfterIt(7, 0, 9, 0);
    EXPECT_FALSE(buffer.InsertText(invalidWithAnEndAfterIt, L"lost", -1)) << "nothing inserted is no success";
    EXPECT_EQ(AllText(buffer), L"o\nthree");
}

TEST(EditBuffer, DeletingThroughALineEndByColumnCountsTheLine)
{
    SECEditBlockBuffer buffer;
    Insert(buffer, 0, 0, L"ab\ncd");
    // (0, 3) is the offset just past the line feed, the same place as (1, 0).
    ASSERT_TRUE(buffer.DeleteText(SECEditLineColPair(0, 2, 0, 3)));
    EXPECT_EQ(buffer.GetLineCount(), 1);
    EXPECT_EQ(AllText(buffer), L"abcd");
}

// Edits at scattered places move the gap back and forth; every read must still see the text a
// plain string holds after the same edits.
TEST(EditBuffer, ScatteredEditsMatchAPlainString)
{
    SECEditBlockBuffer buffer;
    std::wstring reference;
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    auto lineStart = [&reference](int line) {
        size_t offset = 0;
        for (int i = 0; i < line; ++i)
            offset = reference.find(L'\n', offset) + 1;
        return offset;
    };
    // The text is stored a byte a character until the first character above U+00FF comes.
    const wchar_t latin[] = L"abc \t\n\rx\u00E9z";
    const wchar_t wide[] = L"abc \t\n\rx\u03A9z";
    bool tookWide = false;
    for (int step = 0; step < 1500; ++step) {
        const wchar_t* alphabet = step < 750 ? latin : wide;
        ASSERT_EQ(buffer.IsWide(), tookWide) << step;
        const int lines = buffer.GetLineCount();
        const int line = static_cast<int>(next(lines));
        const int length = buffer.GetLineLength(line);
        const int column = static_cast<int>(next(length + 1));
        const size_t offset = lineStart(line) + column;
        if (next(3) != 0) {
            std::wstring text;
            for (unsigned n = next(40) + 1; n > 0; --n)
                text += alphabet[next(10)];
            SECEditLineColPair range(line, column, 0, 0);
            ASSERT_TRUE(buffer.InsertText(range, text.c_str(), static_cast<int>(text.size())));
            reference.insert(offset, text);
            tookWide = tookWide || text.find(L'\u03A9') != std::wstring::npos;
        } else {
            const size_t count = std::min<size_t>(next(60), reference.size() - offset);
            int endLine = 0, endColumn = 0;
            ASSERT_TRUE(buffer.OffsetToLineCol(static_cast<int>(offset + count), endLine, endColumn));
            ASSERT_TRUE(buffer.DeleteText(SECEditLineColPair(line, column, endLine, endColumn)));
            reference.erase(offset, count);
        }
        ASSERT_EQ(buffer.GetLineCount(), static_cast<int>(std::count(reference.begin(), reference.end(), L'\n')) + 1) << step;
        // The edited line (whose length was known before the edit) and one other.
        for (const int probe : { line, static_cast<int>(next(buffer.GetLineCount())) }) {
            const size_t start = lineStart(probe);
            const size_t end = std::min(reference.find_first_of(L"\r\n", start), reference.size());
            CString text;
            ASSERT_TRUE(buffer.GetText(text, probe, 0, probe, buffer.GetLineLength(probe))) << step;
            ASSERT_EQ(text.str(), reference.substr(start, end - start)) << step;
        }
    }
    EXPECT_TRUE(buffer.IsWide());
    EXPECT_EQ(AllText(buffer).str(), reference);
    EditFindRequest request;
    request.pattern = L"xz";
    int line = 0, column = 0;
    const size_t hit = reference.find(L"xz");
    ASSERT_NE(hit, std::wstring::npos);
    ASSERT_GT(buffer.Find(0, 0, line, column, request), 0);
    EXPECT_EQ(static_cast<size_t>(buffer.LineColToOffset(line, column)), hit);
}

TEST(EditBuffer, OffsetsMapBackToLinesAndColumns)
{
    SECEditBlockBuffer buffer;
    Insert(buffer, 0, 0, L"ab\ncde\n\nf");
    struct Case {
        int offset, line, column;
    };
    for (const Case c : { Case { 0, 0, 0 }, Case { 2, 0, 2 }, Case { 3, 1, 0 }, Case { 6, 1, 3 }, Case { 7, 2, 0 }, Case { 8, 3, 0 }, Case { 9, 3, 1 } }) {
        int line = -1, column = -1;
        ASSERT_TRUE(buffer.OffsetToLineCol(c.offset, line, column)) << c.offset;
        EXPECT_EQ(line, c.line) << c.offset;
        EXPECT_EQ(column, c.column) << c.offset;
    }
    int line = 0, column = 0;
    EXPECT_FALSE(buffer.OffsetToLineCol(10, line, column));
}

struct FindCase {
    const wchar_t* pattern;
    bool forward, wrap, matchCase, wholeWord;
    int startLine, startColumn;
    int line, column; // -1: not found
};

TEST(EditBuffer, FindsPlainAndWholeWordText)
{
    SECEditBlockBuffer buffer;
    Insert(buffer, 0, 0, L"ab xaby\r\nAB ab.\nab\n\u00C9t\u00E9");
    const FindCase cases[] = {
        { L"ab", true, false, true, false, 0, 0, 0, 0 },
        { L"ab", true, false, true, false, 0, 1, 0, 4 },
        { L"ab", true, false, true, true, 0, 1, 1, 3 },     // not inside xaby; before a full stop
        { L"AB", true, false, false, false, 0, 1, 0, 4 },   // any case
        { L"AB", true, false, true, false, 0, 1, 1, 0 },
        { L"ab", true, false, true, true, 1, 4, 2, 0 },     // at the start of a line, before the end
        { L"ab", true, false, true, true, 2, 1, -1, -1 },
        { L"ab", true, true, true, true, 2, 1, 0, 0 },      // wraps to the start
        { L"ab", false, false, true, false, 1, 3, 0, 4 },     // AB on line 1 differs in case
        { L"ab", false, false, false, true, 1, 2, 1, 0 },
        { L"ab", false, false, true, true, 0, 5, 0, 0 },
        { L"ab", false, true, true, false, 0, 0, 2, 0 },    // backward wraps to the end
        { L"zz", true, true, true, false, 0, 0, -1, -1 },
        { L"", true, true, true, false, 0, 0, -1, -1 },
        { L"t\u00E9", true, false, true, false, 0, 0, 3, 1 }, // characters stored a byte each
        { L"t\u00E9", false, false, true, false, 3, 3, 3, 1 },
        { L"t\u0229", true, true, true, false, 0, 0, -1, -1 }, // one the bytes cannot hold
    };
    for (const FindCase& c : cases) {
        EditFindRequest request;
        request.pattern = c.pattern;
        request.forward = c.forward;
        request.wrap = c.wrap;
        request.matchCase = c.matchCase;
        request.wholeWord = c.wholeWord;
        int line = -1, column = -1;
        const int found = buffer.Find(c.startLine, c.startColumn, line, column, request);
        SCOPED_TRACE(testing::Message() << "pattern " << CString(c.pattern).ToUtf8() << " from " << c.startLine << "," << c.startColumn
                                        << (c.forward ? " forward" : " backward"));
        if (c.line < 0) {
            EXPECT_EQ(found, 0);
        } else {
            EXPECT_GT(found, 0);
            EXPECT_EQ(line, c.line);
            EXPECT_EQ(column, c.column);
        }
    }
    EXPECT_FALSE(buffer.IsWide());
}

TEST(EditBuffer, APointerIntoAVeryLongLineWidensTheTextForGood)
{
    SECEditBlockBuffer buffer;
    const std::wstring line(SECEditBlockBuffer::WidenedPieceLimit + 10, L'\u00E9');
    Insert(buffer, 0, 0, (L"short\n" + line).c_str());
    const wchar_t* chars = nullptr;
    ASSERT_EQ(buffer.GetTextPointer(chars, 0, 0, 0, 5), 5);
    EXPECT_EQ(std::wstring_view(chars, 5), L"short");
    CString copy;
    ASSERT_TRUE(buffer.GetText(copy, 1, 0, 1, buffer.GetLineLength(1)));
    EXPECT_EQ(copy.str(), line);
    EXPECT_FALSE(buffer.IsWide()) << "neither a short piece nor a copy widens the text";
    ASSERT_EQ(buffer.GetTextPointer(chars, 1, 0, 1, buffer.GetLineLength(1)), static_cast<int>(line.size()));
    EXPECT_TRUE(buffer.IsWide());
    EXPECT_EQ(std::wstring_view(chars, line.size()), line);
}

TEST(EditBuffer, FindStopsAtTheStopPosition)
{
    SECEditBlockBuffer buffer;
    Insert(buffer, 0, 0, L"abc abc");
    EditFindRequest request;
    request.pattern = L"abc";
    int line = 0, column = 0;
    EXPECT_EQ(buffer.Find(0, 1, line, column, request, 0, 6), 0) << "the second abc ends after the stop";
    EXPECT_EQ(buffer.Find(0, 1, line, column, request, 0, 7), 3);
    EXPECT_EQ(column, 4);
}

// A stand-in for the script runtime's engine: the buffer only hands it pieces of text.
class StdRegexSearch : public IEditRegexSearch {
public:
    bool Compile(const CString& pattern, bool matchCase) override
    {
        auto flags = std::regex::ECMAScript;
        if (!matchCase)
            flags |= std::regex::icase;
        m_regex = std::wregex(pattern.str(), flags);
        return true;
    }
    bool Search(const wchar_t* text, int length, int& start, int& matchLength) override
    {
        std::wcmatch match;
        if (!std::regex_search(text, text + length, match, m_regex))
            return false;
        start = static_cast<int>(match.position(0));
        matchLength = static_cast<int>(match.length(0));
        return true;
    }

private:
    std::wregex m_regex;
};

TEST(EditBuffer, RegularExpressionsGoThroughTheInstalledEngine)
{
    SECEditBlockBuffer buffer;
    std::wstring text;
    for (int i = 0; i < 30000; ++i)
        text += L"filler line " + std::to_wstring(i) + L"\n";
    text += L"Value = 42\n";
    Insert(buffer, 0, 0, text.c_str());

    EditFindRequest request;
    request.pattern = L"value\\s*=\\s*\\d+";
    request.regularExpression = true;
    request.matchCase = false;
    int line = 0, column = 0;
    EXPECT_EQ(buffer.Find(0, 0, line, column, request), 0) << "no engine installed yet";

    const EditRegexFactory previous = SetEditRegexFactory([] { return std::make_unique<StdRegexSearch>(); });
    EXPECT_EQ(buffer.Find(0, 0, line, column, request), 10) << "the match lies beyond the first 256000 characters";
    EXPECT_EQ(line, 30000);
    EXPECT_EQ(column, 0);
    request.matchCase = true;
    EXPECT_EQ(buffer.Find(0, 0, line, column, request), 0);
    SetEditRegexFactory(previous);
}

TEST(EditBuffer, FindAllListsEveryMatchInsideTheRangeLeftToRight)
{
    SECEditBlockBuffer buffer;
    Insert(buffer, 0, 0, L"aaaa Cat cat\r\ncatalog cat");
    struct Case {
        const wchar_t* pattern;
        bool matchCase, wholeWord;
        int from, to;
        std::vector<EditMatch> expected;
    } cases[] = {
        { L"aa", true, false, 0, 100, { { 0, 2 }, { 2, 2 } } }, // never overlapping
        { L"cat", true, false, 0, 100, { { 9, 3 }, { 14, 3 }, { 22, 3 } } },
        { L"cat", false, false, 0, 100, { { 5, 3 }, { 9, 3 }, { 14, 3 }, { 22, 3 } } },
        { L"cat", false, true, 0, 100, { { 5, 3 }, { 9, 3 }, { 22, 3 } } },
        { L"cat", true, false, 10, 24, { { 14, 3 } } }, // wholly inside the range only
        { L"", true, false, 0, 100, {} },
    };
    for (const Case& c : cases) {
        EditFindRequest request;
        request.pattern = c.pattern;
        request.matchCase = c.matchCase;
        request.wholeWord = c.wholeWord;
        EXPECT_EQ(buffer.FindAll(c.from, c.to, request), c.expected) << c.pattern << " " << c.from;
    }

    EditFindRequest request;
    request.pattern = L"c[a-z]*";
    request.regularExpression = true;
    const EditRegexFactory previous = SetEditRegexFactory([] { return std::make_unique<StdRegexSearch>(); });
    const std::vector<EditMatch> words = { { 9, 3 }, { 14, 7 }, { 22, 3 } };
    EXPECT_EQ(buffer.FindAll(0, 100, request), words);
    request.pattern = L"x*";
    EXPECT_EQ(buffer.FindAll(0, 3, request), (std::vector<EditMatch> { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 } }))
        << "empty matches, one per place";
    SetEditRegexFactory(previous);
}

TEST(EditBuffer, SavesUtf16WithMarkOrUtf8)
{
    SECEditBlockBuffer buffer;
    Insert(buffer, 0, 0, L"abc");
    std::string bytes;
    buffer.Save(bytes, TRUE);
    EXPECT_EQ(bytes, std::string("\xFF\xFE" "a\0b\0c\0", 8));
    bytes.clear();
    Insert(buffer, 0, 3, L"\u00E9\r\n\U0001F600");
    buffer.Save(bytes, FALSE);
    EXPECT_EQ(bytes, "abc\xC3\xA9\r\n\xF0\x9F\x98\x80");
    bytes.clear();
    buffer.Save(bytes, TRUE);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x3D\xD8\x00\xDE", 4)) << "characters beyond 16 bits become surrogate pairs";
}

} // namespace
