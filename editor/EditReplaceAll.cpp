#include "editor/EditReplaceAll.h"

#include <algorithm>
#include <climits>

namespace {

bool IsLineEnd(wchar_t ch)
{
    return ch == L'\n' || ch == L'\r';
}

// Display columns from a start column, tabs going to the next multiple of tab.
long long Advance(long long column, wchar_t ch, int tab)
{
    return ch == L'\t' ? column + tab - column % tab : column + 1;
}

// The width the rest of a line of the piece (from a match's end to the line's end) adds to a line
// that reaches some column before it, asked for rests in order. After a tab the columns are the same
// whatever came before, up to a multiple of tab: so the width after the rest's first tab is a
// difference of columns counted once along the line from its first tab on.
class RestOfLine {
public:
    RestOfLine(std::wstring_view piece, int tab) : m_piece(piece), m_tab(tab) {}

    // The column the line reaches when the rest from `from` follows text that ends at column.
    long long End(size_t from, long long column)
    {
        if (from >= m_lineEnd || !m_started)
            StartLine(from);
        if (m_tabAt < from || m_tabAt == NoTab)
            FindTab(from);
        if (m_tabAt == NoTab)
            return column + static_cast<long long>(m_lineEnd - from);
        const long long beforeTab = column + static_cast<long long>(m_tabAt - from);
        return (beforeTab / m_tab + 1) * m_tab + (m_lineWidth - m_afterTab);
    }

private:
    static constexpr size_t NoTab = static_cast<size_t>(-1);

    // The line that holds from: its end, and its width from its first tab at or after from on.
    void StartLine(size_t from)
    {
        m_started = true;
        m_lineEnd = from;
        while (m_lineEnd < m_piece.size() && !IsLineEnd(m_piece[m_lineEnd]))
            ++m_lineEnd;
        m_cursor = from;
        while (m_cursor < m_lineEnd && m_piece[m_cursor] != L'\t')
            ++m_cursor;
        m_column = 0;
        m_lineWidth = 0;
        for (size_t i = m_cursor; i < m_lineEnd; ++i)
            m_lineWidth = Advance(m_lineWidth, m_piece[i], m_tab);
        m_tabAt = NoTab;
    }
    // The first tab at or after from, and the column just after it, counted from the line's first.
    void FindTab(size_t from)
    {
        m_tabAt = NoTab;
        for (; m_cursor < m_lineEnd; ++m_cursor) {
            const wchar_t ch = m_piece[m_cursor];
            m_column = Advance(m_column, ch, m_tab);
            if (ch == L'\t' && m_cursor >= from) {
                m_tabAt = m_cursor++;
                m_afterTab = m_column;
                return;
            }
        }
    }

    std::wstring_view m_piece;
    int m_tab;
    bool m_started = false;
    size_t m_lineEnd = 0;
    size_t m_cursor = 0;     // how far the columns are counted
    long long m_column = 0;  // the column at m_cursor, from the line's first tab
    long long m_lineWidth = 0;
    size_t m_tabAt = NoTab;  // the last tab found
    long long m_afterTab = 0;
};

// Text appended to a line that reaches column: the column its last line reaches, and whether a
// line it ends was wider than maximum.
struct Appended {
    long long column = 0;
    bool tooWide = false;
};

Appended Append(long long column, std::wstring_view text, int tab, long long maximum)
{
    Appended result { column, false };
    for (const wchar_t ch : text) {
        if (IsLineEnd(ch)) {
            result.tooWide |= result.column > maximum;
            result.column = 0;
        } else {
            result.column = Advance(result.column, ch, tab);
        }
    }
    return result;
}

// How many characters of the piece go between two asks of keepGoing.
constexpr size_t AskEvery = 1 << 16;

} // namespace

EditReplaceAllText BuildReplaceAllText(std::wstring_view piece, const std::vector<EditMatch>& matches,
                                       const std::function<CString(std::wstring_view matched)>& replacement,
                                       EditLineWidthLimit limit, const std::function<bool()>& keepGoing)
{
    EditReplaceAllText result;
    const int tab = std::max(limit.tab, 1);
    std::wstring& out = result.text;
    out.reserve(piece.size() + piece.size() / 8);
    RestOfLine rest(piece, tab);
    long long column = 0; // the column out's last line reaches
    size_t copied = 0; // piece[0, copied) is in out
    size_t nextAsk = AskEvery;
    for (const EditMatch& match : matches) {
        const size_t start = static_cast<size_t>(match.offset);
        const size_t end = start + static_cast<size_t>(match.length);
        if (start < copied || end > piece.size())
            continue; // not in order: never expected from a search
        if (keepGoing && start >= nextAsk) {
            nextAsk = start + AskEvery;
            if (!keepGoing()) {
                result.cancelled = true;
                return result;
            }
        }
        const std::wstring_view before = piece.substr(copied, start - copied);
        out.append(before);
        column = Append(column, before, tab, LLONG_MAX).column;
        copied = start;

        const CString with = replacement(piece.substr(start, end - start));
        const std::wstring_view replacementText = with.view();
        const Appended replaced = Append(column, replacementText, tab, limit.maximum);
        if (replaced.tooWide || rest.End(end, replaced.column) > limit.maximum) {
            result.lineTooLong = true;
            break;
        }
        out.append(replacementText);
        column = replaced.column;
        copied = end;
        result.endOfLast = static_cast<int>(out.size());
        ++result.replaced;
    }
    out.append(piece.substr(copied));
    return result;
}

std::vector<EditReplaceAllBlock> SplitReplaceAllBlocks(ISECEditBuffer& buffer, const std::vector<EditMatch>& matches, int blockChars)
{
    // The matches come in order, so one pass down the lines finds the line of each.
    const int lineCount = buffer.GetLineCount();
    int line = 0;
    auto lineStart = [&](int l) { return l < lineCount ? buffer.LineColToOffset(l, 0) : INT_MAX; };
    auto lineOf = [&](int offset) {
        while (lineStart(line + 1) <= offset)
            ++line;
        return line;
    };
    std::vector<EditReplaceAllBlock> blocks;
    for (size_t i = 0; i < matches.size(); ++i) {
        const int start = matches[i].offset, end = start + matches[i].length;
        const int startLine = lineOf(start), endLine = lineOf(end);
        EditReplaceAllBlock* block = blocks.empty() ? nullptr : &blocks.back();
        const bool joins = block && (startLine <= block->lastLine || end - block->start <= blockChars);
        if (!joins) {
            blocks.push_back({ i, i, startLine, startLine, lineStart(startLine) });
            block = &blocks.back();
        }
        block->last = i + 1;
        block->lastLine = std::max(block->lastLine, endLine);
    }
    return blocks;
}
