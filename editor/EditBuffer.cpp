#include "editor/EditBuffer.h"

#include "editor/ScriptEncoding.h"

#include "platform/base/TextEncoding.h"

#include <algorithm>
#include <cwctype>
#include <new>
#include <string_view>
#include <tuple>
#include <sys/mman.h>

namespace {

EditRegexFactory& RegexFactory()
{
    static EditRegexFactory factory;
    return factory;
}

// A wide piece bigger than this is not kept for the next, smaller one.
constexpr size_t KeptWidenedPiece = 1 << 16;

template <typename Char>
int CountLineFeeds(const Char* text, int length, int& charsAfterLast)
{
    int count = 0;
    charsAfterLast = length;
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\n') {
            ++count;
            charsAfterLast = length - i - 1;
        }
    }
    return count;
}

} // namespace

void* AllocateEditPages(size_t bytes)
{
    void* pages = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        throw std::bad_alloc();
    return pages;
}

void FreeEditPages(void* pages, size_t bytes)
{
    ::munmap(pages, bytes);
}

void IEditRegexSearch::SearchAll(const wchar_t* text, int length, std::vector<std::pair<int, int>>& matches)
{
    for (int from = 0; from <= length;) {
        int start = 0, matched = 0;
        if (!Search(text + from, length - from, start, matched) || start < 0 || matched < 0 || from + start + matched > length)
            return;
        matches.emplace_back(from + start, matched);
        from += start + std::max(matched, 1);
    }
}

EditRegexFactory SetEditRegexFactory(EditRegexFactory factory)
{
    std::swap(RegexFactory(), factory);
    return factory;
}

void SECEditBlockBuffer::Clear()
{
    m_narrow = {};
    m_wide = {};
    m_bWide = false;
    m_widened = {};
    m_gapStart = m_gapEnd = 0;
    m_lines.assign(1, { 0, -1 });
    m_nKnownLines = 1;
    m_nLineCount = 1;
    m_lineEnd1 = L'\n';
    m_lineEnd2 = L'\r';
}

wchar_t SECEditBlockBuffer::At(int offset) const
{
    if (offset < 0 || offset >= GetTextLength())
        return L'\0';
    const size_t stored = offset < m_gapStart ? offset : offset + GapLength();
    return WithArray([stored](const auto& array) { return static_cast<wchar_t>(array[stored]); });
}

void SECEditBlockBuffer::Widen()
{
    if (m_bWide)
        return;
    // The gap is not copied: its pages stay untouched.
    m_wide.resize(m_narrow.size());
    std::copy(m_narrow.begin(), m_narrow.begin() + m_gapStart, m_wide.begin());
    std::copy(m_narrow.begin() + m_gapEnd, m_narrow.end(), m_wide.begin() + m_gapEnd);
    m_narrow = {};
    m_bWide = true;
}

void SECEditBlockBuffer::MoveGap(int offset)
{
    WithArray([this, offset](auto& array) {
        auto* data = array.data();
        if (offset < m_gapStart)
            std::copy_backward(data + offset, data + m_gapStart, data + m_gapEnd);
        else if (offset > m_gapStart)
            std::copy(data + m_gapEnd, data + m_gapEnd + (offset - m_gapStart), data + m_gapStart);
    });
    const int gap = GapLength();
    m_gapStart = offset;
    m_gapEnd = offset + gap;
}

void SECEditBlockBuffer::EnsureGap(int length)
{
    if (GapLength() >= length)
        return;
    const int newGap = GapToOpen(length);
    WithArray([this, newGap](auto& array) {
        std::remove_reference_t<decltype(array)> grown(static_cast<size_t>(GetTextLength()) + newGap);
        std::copy(array.begin(), array.begin() + m_gapStart, grown.begin());
        std::copy(array.begin() + m_gapEnd, array.end(), grown.begin() + m_gapStart + newGap);
        array.swap(grown);
    });
    m_gapEnd = m_gapStart + newGap;
}

void SECEditBlockBuffer::Reserve(size_t characters)
{
    const auto needed = static_cast<long long>(characters) - GetTextLength();
    if (needed > GapLength()) {
        MoveGap(GetTextLength());
        const int gap = static_cast<int>(needed + std::max<long long>(GrowthStep, static_cast<long long>(characters) / 8));
        WithArray([this, gap](auto& array) {
            std::remove_reference_t<decltype(array)> grown(static_cast<size_t>(GetTextLength()) + gap);
            std::copy(array.begin(), array.begin() + m_gapStart, grown.begin());
            array.swap(grown);
        });
        m_gapEnd = m_gapStart + gap;
    }
}

template <typename Array>
const typename Array::value_type* SECEditBlockBuffer::Piece(Array& array, int from, int to)
{
    static const typename Array::value_type empty{};
    if (array.empty())
        return &empty;
    if (from < m_gapStart && to > m_gapStart) {
        // Move the fewer characters.
        if (to - m_gapStart < m_gapStart - from)
            MoveGap(to);
        else
            MoveGap(from);
    }
    return array.data() + (from < m_gapStart ? from : from + GapLength());
}

const wchar_t* SECEditBlockBuffer::Contiguous(int from, int to)
{
    if (m_bWide)
        return Piece(m_wide, from, to);
    const unsigned char* piece = Piece(m_narrow, from, to);
    const auto count = static_cast<size_t>(std::max(to - from, 0));
    if (m_widened.capacity() > KeptWidenedPiece && count < m_widened.capacity() / 4)
        m_widened = {};
    m_widened.assign(piece, piece + count);
    return m_widened.data();
}

template <typename Predicate>
int SECEditBlockBuffer::FindForward(int from, Predicate isWanted) const
{
    return WithArray([&](const auto& array) {
        const auto* data = array.data();
        if (from < m_gapStart) {
            const auto* hit = std::find_if(data + from, data + m_gapStart, isWanted);
            if (hit != data + m_gapStart)
                return static_cast<int>(hit - data);
            from = m_gapStart;
        }
        const auto* end = data + array.size();
        const auto* hit = std::find_if(data + from + GapLength(), end, isWanted);
        return static_cast<int>(hit - data) - GapLength();
    });
}

bool SECEditBlockBuffer::IndexLine(int line)
{
    if (line < 0 || line >= m_nLineCount)
        return false;
    const int textLength = GetTextLength();
    while (m_nKnownLines <= line) {
        const LineInfo& last = m_lines[m_nKnownLines - 1];
        const int lf = FindForward(last.start, [](wchar_t ch) { return ch == L'\n'; });
        if (lf >= textLength)
            return false; // the line count and the text disagree; never index past the text
        m_lines[m_nKnownLines] = { lf + 1, -1 };
        ++m_nKnownLines;
    }
    return true;
}

int SECEditBlockBuffer::LineColToOffset(int line, int column)
{
    if (column < 0 || !IndexLine(line))
        return -1;
    if (column > 0 && column > GetLineLengthWithEnd(line))
        return -1;
    return m_lines[line].start + column;
}

BOOL SECEditBlockBuffer::OffsetToLineCol(int offset, int& line, int& column)
{
    if (offset < 0 || offset > GetTextLength())
        return FALSE;
    if (m_nLineCount == 1) {
        line = 0;
        column = offset;
        return TRUE;
    }
    int low = 0, high = m_nLineCount - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (!IndexLine(mid))
            return FALSE;
        if (m_lines[mid].start <= offset)
            low = mid;
        else
            high = mid - 1;
    }
    line = low;
    column = offset - m_lines[low].start;
    return TRUE;
}

int SECEditBlockBuffer::GetLineLengthWithEnd(int line)
{
    if (!IndexLine(line))
        return -1;
    if (line + 1 < m_nLineCount && IndexLine(line + 1))
        return m_lines[line + 1].start - m_lines[line].start;
    return GetTextLength() - m_lines[line].start;
}

int SECEditBlockBuffer::GetLineLength(int line)
{
    if (!IndexLine(line))
        return -1;
    LineInfo& info = m_lines[line];
    if (info.length != -1)
        return info.length;
    const wchar_t end1 = m_lineEnd1, end2 = m_lineEnd2;
    info.length = FindForward(info.start, [end1, end2](wchar_t ch) { return ch == end1 || ch == end2; }) - info.start;
    return info.length;
}

BOOL SECEditBlockBuffer::InsertText(SECEditLineColPair& range, const wchar_t* text, int length)
{
    const int offset = LineColToOffset(range.m_start.m_nLine, range.m_start.m_nCol);
    if (offset < 0 || !text)
        return FALSE; // nothing was inserted, whatever the range's end says
    if (length < 0)
        length = static_cast<int>(std::wstring_view(text).size());
    if (length == 0) {
        range.m_end = range.m_start;
        return TRUE;
    }

    if (!m_bWide && std::any_of(text, text + length, [](wchar_t ch) { return static_cast<unsigned>(ch) > 0xFF; }))
        Widen();
    MoveGap(offset);
    EnsureGap(length);
    WithArray([&](auto& array) {
        using Char = typename std::remove_reference_t<decltype(array)>::value_type;
        std::transform(text, text + length, array.begin() + m_gapStart, [](wchar_t ch) { return static_cast<Char>(ch); });
    });
    m_gapStart += length;

    int charsAfterLast = 0;
    const int added = CountLineFeeds(text, length, charsAfterLast);
    const int startLine = range.m_start.m_nLine;
    m_nLineCount += added;
    m_lines.resize(m_nLineCount);
    m_nKnownLines = std::max(1, std::min(m_nKnownLines, startLine + 1));
    KeepLengthAcross(startLine, range.m_start.m_nCol, text, length);

    range.m_end.m_nLine = startLine + added;
    range.m_end.m_nCol = added > 0 ? charsAfterLast : range.m_start.m_nCol + length;
    return range.IsOrdered();
}

void SECEditBlockBuffer::KeepLengthAcross(int line, int column, const wchar_t* text, int length)
{
    LineInfo& info = m_lines[line];
    const bool lineEnd = std::any_of(text, text + length, [&](wchar_t ch) { return ch == m_lineEnd1 || ch == m_lineEnd2; });
    // Characters put before the line's end lengthen it; else it is measured again.
    info.length = !lineEnd && info.length >= 0 && column <= info.length ? info.length + length : -1;
}

BOOL SECEditBlockBuffer::DeleteText(const SECEditLineColPair& range)
{
    const SECEditLineColPair n = range.Normalized();
    const int from = LineColToOffset(n.m_start.m_nLine, n.m_start.m_nCol);
    const int to = LineColToOffset(n.m_end.m_nLine, n.m_end.m_nCol);
    if (from < 0 || to < 0)
        return FALSE;
    if (from == to)
        return TRUE;

    MoveGap(from);
    int unused = 0;
    const int removedLines = WithArray([&](const auto& array) { return CountLineFeeds(array.data() + m_gapEnd, to - from, unused); });
    const bool lineEndRemoved = WithArray([&](const auto& array) {
        return std::any_of(array.data() + m_gapEnd, array.data() + m_gapEnd + (to - from), [&](auto ch) { return ch == m_lineEnd1 || ch == m_lineEnd2; });
    });
    m_gapEnd += to - from;

    const int startLine = n.m_start.m_nLine;
    m_nLineCount -= removedLines;
    m_lines.resize(m_nLineCount);
    m_nKnownLines = std::max(1, std::min(m_nKnownLines, startLine + 1));
    LineInfo& info = m_lines[startLine];
    // Characters taken from before the line's end shorten it; else it is measured again.
    info.length = !lineEndRemoved && info.length >= 0 && n.m_start.m_nCol < info.length ? info.length - (to - from) : -1;
    return TRUE;
}

bool SECEditBlockBuffer::RangeOffsets(int startLine, int startCol, int endLine, int endCol, int& from, int& to)
{
    const int start = LineColToOffset(startLine, startCol);
    int end;
    if (endLine == -1 || endCol == -1) {
        const int withEnd = GetLineLengthWithEnd(startLine);
        end = withEnd < 0 ? -1 : m_lines[startLine].start + withEnd;
    } else {
        end = LineColToOffset(endLine, endCol);
    }
    if (start < 0 || end < 0)
        return false;
    std::tie(from, to) = std::minmax(start, end);
    return true;
}

BOOL SECEditBlockBuffer::GetText(CString& text, int startLine, int startCol, int endLine, int endCol)
{
    int from = 0, to = 0;
    if (!RangeOffsets(startLine, startCol, endLine, endCol, from, to))
        return FALSE;
    // Copied straight from the array: a copy needs no wide piece first.
    text = WithArray([&](auto& array) {
        const auto* piece = Piece(array, from, to);
        return CString(std::wstring(piece, piece + (to - from)));
    });
    return TRUE;
}

int SECEditBlockBuffer::GetTextPointer(const wchar_t*& text, int startLine, int startCol, int endLine, int endCol)
{
    text = nullptr;
    int from = 0, to = 0;
    if (!RangeOffsets(startLine, startCol, endLine, endCol, from, to))
        return -1;
    // A caller that reads a very long line again and again (typing in it, painting it) would
    // have it copied wide every time: such text is stored wide from then on.
    if (to - from > WidenedPieceLimit)
        Widen();
    text = Contiguous(from, to);
    return to - from;
}

bool SECEditBlockBuffer::IsWordDelimiter(wchar_t ch)
{
    static constexpr std::wstring_view delimiters = L"\t \\\"'`~-=!@#$%^&*()_+[]{}|;:.,<>/?";
    return delimiters.find(ch) != std::wstring_view::npos;
}

bool SECEditBlockBuffer::IsWholeWord(int offset, int length)
{
    auto isLineBound = [this](wchar_t ch) { return ch == m_lineEnd1 || ch == m_lineEnd2 || ch == L'\0'; };
    const wchar_t before = At(offset - 1);
    const wchar_t after = At(offset + length);
    return (isLineBound(before) || IsWordDelimiter(before)) && (isLineBound(after) || IsWordDelimiter(after));
}

// text points at the character of the offset.
template <typename Char>
bool SECEditBlockBuffer::MatchAt(const Char* text, int offset, const EditFindRequest& request)
{
    const wchar_t* pattern = request.pattern.GetString();
    const int length = request.pattern.GetLength();
    for (int i = 0; i < length; ++i) {
        const wchar_t ch = text[i];
        if (request.matchCase ? ch != pattern[i] : std::towlower(ch) != std::towlower(pattern[i]))
            return false;
    }
    return !request.wholeWord || IsWholeWord(offset, length);
}

// The offset of the first (forward) or last match lying wholly inside [from, to), or -1.
int SECEditBlockBuffer::FindInRange(int from, int to, bool forward, const EditFindRequest& request)
{
    const int length = request.pattern.GetLength();
    from = std::max(from, 0);
    to = std::min(to, GetTextLength());
    if (to - from < length)
        return -1;
    return WithArray([&](auto& array) { return FindInPiece(Piece(array, from, to), from, to, forward, request); });
}

// range holds the characters [from, to).
template <typename Char>
int SECEditBlockBuffer::FindInPiece(const Char* range, int from, int to, bool forward, const EditFindRequest& request)
{
    const int length = request.pattern.GetLength();
    if (forward && request.matchCase && !request.wholeWord) {
        if constexpr (sizeof(Char) == 1) {
            const std::wstring_view wide = request.pattern.view();
            if (std::any_of(wide.begin(), wide.end(), [](wchar_t ch) { return static_cast<unsigned>(ch) > 0xFF; }))
                return -1; // the text holds no such character
            std::string pattern(wide.size(), '\0');
            std::transform(wide.begin(), wide.end(), pattern.begin(), [](wchar_t ch) { return static_cast<char>(ch); });
            const std::string_view text(reinterpret_cast<const char*>(range), to - from);
            const size_t hit = text.find(pattern);
            return hit == std::string_view::npos ? -1 : from + static_cast<int>(hit);
        } else {
            const std::wstring_view text(range, to - from);
            const size_t hit = text.find(request.pattern.view());
            return hit == std::wstring_view::npos ? -1 : from + static_cast<int>(hit);
        }
    }
    if (forward) {
        for (int p = from; p <= to - length; ++p)
            if (MatchAt(range + (p - from), p, request))
                return p;
    } else {
        for (int p = to - length; p >= from; --p)
            if (MatchAt(range + (p - from), p, request))
                return p;
    }
    return -1;
}

template <typename Each>
void SECEditBlockBuffer::ForEachRegexChunk(int from, int to, Each each)
{
    while (from < to) {
        int chunk = std::min(RegexChunk, to - from);
        const wchar_t* begin = Contiguous(from, from + chunk);
        if (from + chunk < to) {
            const wchar_t* lastLf = std::find(std::make_reverse_iterator(begin + chunk), std::make_reverse_iterator(begin), L'\n').base();
            if (lastLf != begin)
                chunk = static_cast<int>(lastLf - begin);
        }
        if (!each(begin, from, chunk))
            return;
        from += chunk;
    }
}

int SECEditBlockBuffer::FindRegex(int from, const EditFindRequest& request, int& matchLength)
{
    const EditRegexFactory& factory = RegexFactory();
    if (!factory)
        return -1;
    std::unique_ptr<IEditRegexSearch> search = factory();
    if (!search || !search->Compile(request.pattern, request.matchCase))
        return -1;
    int hit = -1;
    ForEachRegexChunk(from, GetTextLength(), [&](const wchar_t* begin, int offset, int chunk) {
        int start = 0;
        if (!search->Search(begin, chunk, start, matchLength))
            return true;
        hit = offset + start;
        return false;
    });
    return hit;
}

std::vector<EditMatch> SECEditBlockBuffer::FindAll(int from, int to, const EditFindRequest& request)
{
    std::vector<EditMatch> matches;
    from = std::max(from, 0);
    to = std::min(to, GetTextLength());
    if (request.pattern.IsEmpty() || from >= to)
        return matches;
    if (!request.regularExpression) {
        const int length = request.pattern.GetLength();
        for (int p = from; (p = FindInRange(p, to, true, request)) >= 0; p += length)
            matches.push_back({ p, length });
        return matches;
    }
    const EditRegexFactory& factory = RegexFactory();
    std::unique_ptr<IEditRegexSearch> search = factory ? factory() : nullptr;
    if (!search || !search->Compile(request.pattern, request.matchCase))
        return matches;
    std::vector<std::pair<int, int>> found;
    ForEachRegexChunk(from, to, [&](const wchar_t* begin, int offset, int chunk) {
        found.clear();
        search->SearchAll(begin, chunk, found);
        for (const auto& [start, length] : found)
            if (start >= 0 && length >= 0 && start + length <= chunk)
                matches.push_back({ offset + start, length });
        return true;
    });
    return matches;
}

int SECEditBlockBuffer::Find(int startLine, int startCol, int& line, int& column, const EditFindRequest& request,
                             int stopLine, int stopCol)
{
    const int start = LineColToOffset(startLine, startCol);
    if (start < 0 || request.pattern.IsEmpty())
        return 0;
    int stop = start;
    if (stopLine != -1 || stopCol != -1) {
        stop = LineColToOffset(stopLine, stopCol);
        if (stop < 0)
            stop = start;
    }

    int hit = -1;
    int matchLength = request.pattern.GetLength();
    const int length = matchLength;
    if (request.regularExpression) {
        hit = FindRegex(start, request, matchLength);
    } else if (request.forward) {
        if (start < stop) {
            hit = FindInRange(start, stop, true, request);
        } else {
            hit = FindInRange(start, GetTextLength(), true, request);
            if (hit < 0 && request.wrap)
                hit = FindInRange(0, stop + length - 1, true, request);
        }
    } else {
        if (start > stop) {
            hit = FindInRange(stop, start, false, request);
        } else {
            hit = FindInRange(0, start, false, request);
            if (hit < 0 && request.wrap)
                hit = FindInRange(stop - length + 1, GetTextLength(), false, request);
        }
    }
    if (hit < 0 || !OffsetToLineCol(hit, line, column))
        return 0;
    return std::max(matchLength, 1);
}

BOOL SECEditBlockBuffer::Save(std::string& bytes, BOOL unicode)
{
    const int textLength = GetTextLength();
    if (unicode)
        bytes.append("\xFF\xFE", 2);
    for (int offset = 0; offset < textLength; offset += WritePiece) {
        const int count = std::min(WritePiece, textLength - offset);
        const std::wstring_view piece(Contiguous(offset, offset + count), count);
        bytes += unicode ? WideToUtf16Le(piece) : EncodeUtf8KeepingStrayBytes(piece);
    }
    return TRUE;
}
