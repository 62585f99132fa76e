// The syntax colouring of the text model: each line becomes colour runs on demand, cached per
// line; multi-line tags are recorded as comment spans so that later lines are coloured as part
// of them.

#include "editor/Edit.h"

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <string>

namespace {

bool IsWhitespace(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

// The length the runs cover; -1 when one runs to the line's end.
long long RunsTotal(const SECEditLineColor& runs)
{
    long long total = 0;
    bool toLineEnd = false;
    for (const SECEditTextColor* run = runs.GetData(), *end = run + runs.GetSize(); run != end; ++run) {
        total += run->m_nLength;
        toLineEnd |= run->m_nLength == 0;
    }
    return toLineEnd ? -1 : total;
}

// A run of a line and the column it begins at.
struct RunAt {
    INT_PTR index = 0;
    long long start = 0;
};

// The run that holds column (or the end of the runs for a column past them), walked to from the
// nearest of a run known, the line's start and the end of the runs, which cover total columns.
RunAt LocateRun(const SECEditLineColor& runs, long long total, long long column, RunAt known)
{
    const SECEditTextColor* const data = runs.GetData();
    const INT_PTR size = runs.GetSize();
    RunAt at = std::llabs(column - known.start) < column ? known : RunAt {};
    if (total - column < std::llabs(column - at.start))
        at = { size, total };
    while (at.index > 0 && at.start > column)
        at.start -= data[--at.index].m_nLength;
    while (at.index < size && at.start + data[at.index].m_nLength <= column)
        at.start += data[at.index++].m_nLength;
    return at;
}

// Places in a line's runs before an edit at column.
struct RunPlaces {
    int tokenEnd = 0;       // the last end of a keyword, tag or operator at or before limit
    INT_PTR afterToken = 0; // the run after it
    INT_PTR before = -1;    // the run that holds the character before column
    int beforeStart = 0;
    bool unknown = false;   // a run to the line's end leaves the places unknown
};

// The runs cover total columns; known is a run where the last look-up found one, so that an
// edit in a line of millions of runs walks a few of them. A run of the longest length may be a
// piece of a longer one, whose end is no token's.
RunPlaces FindRunPlaces(const SECEditLineColor& runs, long long total, int column, int limit, int plain, RunAt known)
{
    RunPlaces places;
    const SECEditTextColor* const data = runs.GetData();
    const INT_PTR size = runs.GetSize();
    places.unknown = size > 0 && data[size - 1].m_nLength == 0; // a line in a comment, or empty
    if (places.unknown || column <= 0 || size == 0)
        return places;
    known = LocateRun(runs, total, column - 1, known);
    // A place kept from an earlier look-up that does not fit these runs walks to a start before
    // the line's: nothing found from it can be trusted.
    places.unknown = known.start < 0 || (known.index == 0 && known.start != 0);
    if (places.unknown || known.index >= size)
        return places;
    places.before = known.index;
    places.beforeStart = static_cast<int>(known.start);
    long long start = known.start;
    for (INT_PTR i = known.index; i >= 0; --i) {
        const long long end = start + data[i].m_nLength;
        if (end <= limit && data[i].m_nColorGroup != plain && data[i].m_nLength != SECEditLineColor::MaxRunLength) {
            places.tokenEnd = static_cast<int>(end);
            places.afterToken = i + 1;
            break;
        }
        if (i > 0)
            start -= data[i - 1].m_nLength;
    }
    return places;
}

} // namespace

int SECEdit::IsKeyword(const wchar_t* text, int length, USHORT& group) const
{
    return m_pLangConfig ? m_pLangConfig->IsKeyword(text, length, group) : 0;
}

const SECEditKeywordInfo* SECEdit::FindTagAt(const wchar_t* text, int remaining, int tokenLength, int kind) const
{
    return m_pLangConfig ? m_pLangConfig->FindTag(text, remaining, tokenLength, kind) : nullptr;
}

// The length of the token at text: a run of whitespace, or an optional keyword-start or word
// character, word or keyword-middle characters, and at most one keyword-end character.
static int TokenEnd(const ISECEditLangConfig& config, const wchar_t* text, int length)
{
    if (length <= 0)
        return 0;
    if (IsWhitespace(text[0])) {
        int end = 1;
        while (end < length && IsWhitespace(text[end]))
            ++end;
        return end;
    }
    auto isWordChar = [&](wchar_t ch) { return !IsWhitespace(ch) && !config.IsCharOfClass(ch, CharClassDelimiter); };
    int end = 0;
    if (isWordChar(text[0]) || config.IsCharOfClass(text[0], CharClassKeywordStart))
        ++end;
    else
        return 0;
    while (end < length && (isWordChar(text[end]) || config.IsCharOfClass(text[end], CharClassKeywordMiddle)))
        ++end;
    if (end < length && config.IsCharOfClass(text[end], CharClassKeywordEnd))
        ++end;
    return end;
}

void SECEdit::FlushPlainText(SECEditLineColor& colors, int& pending)
{
    if (pending == 0)
        return;
    colors.AddRun(pending, m_pLangConfig->GetBuiltinColorGroupIndex(BuiltinText));
    pending = 0;
}

int SECEdit::ColorKeyword(const wchar_t* text, int position, int tokenLength, int& pending, SECEditLineColor& colors)
{
    USHORT group = 0;
    // Keywords never hold blanks: a run of whitespace needs no look-up.
    if (tokenLength <= 0 || IsWhitespace(text[position]) || !IsKeyword(text + position, tokenLength, group))
        return 0;
    FlushPlainText(colors, pending);
    colors.AddRun(tokenLength, group);
    return tokenLength;
}

int SECEdit::ColorTag(int line, const wchar_t* text, int position, int tokenLength, int remaining, int& pending, SECEditLineColor& colors)
{
    const SECEditKeywordInfo* tag = FindTagAt(text + position, remaining, tokenLength, TagAny);
    if (!tag)
        return 0;
    FlushPlainText(colors, pending);
    return tag->m_bMultiLine ? ColorMultiLineTag(line, position, remaining, *tag, colors)
                             : ColorSingleLineTag(line, position, *tag, colors);
}

int SECEdit::ColorOperator(const wchar_t* text, int position, int& pending, SECEditLineColor& colors)
{
    if (!m_pLangConfig->IsCharOfClass(text[position], CharClassOperator))
        return 0;
    FlushPlainText(colors, pending);
    colors.AddRun(1, m_pLangConfig->GetBuiltinColorGroupIndex(BuiltinOperator));
    return 1;
}

int SECEdit::ColorToken(int line, const wchar_t* text, int position, int tokenLength, int remaining, int& pending, SECEditLineColor& colors)
{
    if (int consumed = ColorKeyword(text, position, tokenLength, pending, colors))
        return consumed;
    if (int consumed = ColorTag(line, text, position, tokenLength, remaining, pending, colors))
        return consumed;
    if (int consumed = ColorOperator(text, position, pending, colors))
        return consumed;
    const int consumed = std::max(tokenLength, 1);
    pending += consumed;
    return consumed;
}

int SECEdit::ColorSingleLineTag(int line, int position, const SECEditKeywordInfo& tag, SECEditLineColor& colors)
{
    SECEditLineCol end;
    FindTagEnd(end, line, position + tag.m_strBeginTag.GetLength(), tag);
    const int length = (end.m_nLine == line ? end.m_nCol : GetLineLength(line)) - position;
    colors.AddRun(length, tag.m_nColorGroup);
    return std::max(length, 1);
}

int SECEdit::ColorMultiLineTag(int line, int position, int remaining, const SECEditKeywordInfo& tag, SECEditLineColor& colors)
{
    SECEditLineCol end;
    FindTagEnd(end, line, position + tag.m_strBeginTag.GetLength(), tag);
    if (end.m_nLine == line) {
        const int length = end.m_nCol - position;
        colors.AddRun(length, tag.m_nColorGroup);
        return std::max(length, 1);
    }

    colors.AddRun(remaining, tag.m_nColorGroup);
    SECEditMLComment span(line, position, end.m_nLine, end.m_nCol);
    span.m_nColorGroup = tag.m_nColorGroup;
    // A line coloured again from its start finds the spans that begin on it known already.
    const bool known = std::any_of(m_comments.GetData(), m_comments.GetData() + m_comments.GetSize(),
                                   [&](const SECEditMLComment& other) { return other.m_start == span.m_start; });
    if (!known)
        m_comments.Add(span);
    SECEditPaintMsg paint(line, end.m_nLine);
    paint.AddRef();
    UpdateAllObservers(nullptr, &paint);
    ColorSpanLines(span, line + 1);
    return remaining;
}

void SECEdit::ColorSpanLines(const SECEditMLComment& span, int firstLine)
{
    const SECEditLineCol& end = span.m_end;
    if (firstLine <= m_colorResume.line && m_colorResume.line <= end.m_nLine)
        m_colorResume = {};
    for (int between = firstLine; between < end.m_nLine; ++between) {
        SECEditLineColor& runs = m_lineColors[between];
        runs.Drop();
        runs.AddRun(0, span.m_nColorGroup);
    }
    SECEditLineColor& endRuns = m_lineColors[end.m_nLine];
    endRuns.Drop();
    endRuns.AddRun(end.m_nCol, span.m_nColorGroup);
    m_nFirstStaleLine = std::max(m_nFirstStaleLine, end.m_nLine + 1);
    if (end.m_nCol > 0) {
        m_continuation = end;
        m_bContinuation = true;
    }
}

const SECEditMLComment* SECEdit::SpanInto(int line) const
{
    // The spans follow one another through the text: the first that ends on the line or after.
    const SECEditMLComment* const first = m_comments.GetData();
    const SECEditMLComment* const last = first + m_comments.GetSize();
    const SECEditMLComment* span = std::lower_bound(first, last, line, [](const SECEditMLComment& s, int l) { return s.m_end.m_nLine < l; });
    return span != last && span->m_start.m_nLine < line ? span : nullptr;
}

void SECEdit::ColorLineFromItsStart(int line)
{
    const SECEditMLComment* span = SpanInto(line);
    if (!span) {
        ColorLine(line, 0);
        return;
    }
    m_bContinuation = false;
    ColorSpanLines(*span, line);
    FollowContinuations();
}

void SECEdit::FindTagEnd(SECEditLineCol& end, int line, int column, const SECEditKeywordInfo& tag)
{
    const int lineLength = std::max(GetLineLength(line), 0);
    if (tag.m_strEndTag.IsEmpty()) {
        end = { line, lineLength };
        return;
    }
    const SECEditLineCol limit = tag.m_bMultiLine ? SECEditLineCol(GetLastLine(), GetLineLength(GetLastLine()))
                                                  : SECEditLineCol(line, lineLength);
    const bool honourEscape = !tag.m_bMultiLine && !tag.m_strEscapeChar.IsEmpty();
    const wchar_t escape = honourEscape ? tag.m_strEscapeChar[0] : 0;

    EditFindRequest request;
    request.pattern = tag.m_strEndTag;
    request.matchCase = m_pLangConfig->GetMatchCase();
    SECEditLineCol from(line, std::min(column, lineLength));
    while (from < limit) {
        int hitLine = 0, hitColumn = 0;
        if (!Find(from.m_nLine, from.m_nCol, hitLine, hitColumn, request, limit.m_nLine, limit.m_nCol))
            break;
        if (honourEscape) {
            CString copy;
            const wchar_t* chars = nullptr;
            GetLineText(hitLine, copy, chars);
            int escapes = 0;
            for (int c = hitColumn - 1; c >= column && chars[c] == escape; --c)
                ++escapes;
            if (escapes % 2 == 1) {
                from = { hitLine, hitColumn + tag.m_strEndTag.GetLength() };
                continue;
            }
        }
        end = { hitLine, hitColumn + tag.m_strEndTag.GetLength() };
        return;
    }
    end = limit;
}

void SECEdit::ColorLine(int line, int fromColumn)
{
    ColorLineResuming(line, fromColumn, 0);
}

void SECEdit::ColorLineResuming(int line, int fromColumn, int pending)
{
    m_bContinuation = false;
    ColorLineFrom(line, fromColumn, pending);
    FollowContinuations();
}

void SECEdit::FollowContinuations()
{
    while (m_bContinuation) {
        m_bContinuation = false;
        ColorLineFrom(m_continuation.m_nLine, m_continuation.m_nCol);
    }
}

namespace {

// The characters of a line that a scan reads, copied from the model as the scan reaches them: the
// scan calls back into the model, which may move its text, and a scan that stops early should not
// copy the whole of a long line. Indexed by column; the pages of columns never copied are never
// touched.
class LineCopy {
public:
    LineCopy(SECEdit& edit, int line, int length, int from) : m_edit(edit), m_line(line), m_length(length), m_copied(from)
    {
        if (length > static_cast<int>(std::size(m_local))) {
            m_heap = std::make_unique_for_overwrite<wchar_t[]>(static_cast<size_t>(length));
            m_text = m_heap.get();
        }
    }
    const wchar_t* Text() const { return m_text; }
    int Copied() const { return m_copied; }
    // Copies the columns up to upTo (at most the line's end); false when the model cannot give them.
    bool Reach(int upTo)
    {
        upTo = std::min(upTo, m_length);
        m_edit.ForEachLinePiece(m_line, m_copied, upTo, [this](const wchar_t* chars, int count, int column) {
            std::copy(chars, chars + count, m_text + column);
            m_copied = column + count;
            return true;
        });
        return m_copied >= upTo;
    }

private:
    SECEdit& m_edit;
    int m_line;
    int m_length;
    int m_copied;
    wchar_t m_local[256];
    std::unique_ptr<wchar_t[]> m_heap;
    wchar_t* m_text = m_local;
};

} // namespace

template <typename Stop>
void SECEdit::ScanLine(int line, int fromColumn, int length, int& pending, SECEditLineColor& colors, Stop stop)
{
    // Read ahead of the scan: more than any tag's begin text, so that only a long token asks for more.
    const int lookAhead = std::max(4096, LongestBeginTag() + 1);
    LineCopy copy(*this, line, length, fromColumn);
    const wchar_t* const text = copy.Text();
    for (int position = fromColumn; position < length;) {
        if (!copy.Reach(position + lookAhead))
            return;
        int tokenLength = TokenEnd(*m_pLangConfig, text + position, copy.Copied() - position);
        // A token that runs to the end of what was copied may go on.
        while (position + tokenLength == copy.Copied() && copy.Copied() < length) {
            if (!copy.Reach(position + 2 * tokenLength))
                return;
            tokenLength = TokenEnd(*m_pLangConfig, text + position, copy.Copied() - position);
        }
        position += ColorToken(line, text, position, tokenLength, length - position, pending, colors);
        if (position < length && !copy.Reach(position + 1))
            return;
        if (stop(position, pending, text))
            return;
    }
}

void SECEdit::ColorLineFrom(int line, int fromColumn, int pending)
{
    if (!m_pLangConfig || line < 0 || line >= static_cast<int>(m_lineColors.size()))
        return;
    SECEditLineColor& colors = m_lineColors[line];
    if (line == m_colorResume.line) {
        // The runs still hold the line before its edit: only those before the edit stay.
        if (colors.GetSize() == m_colorResume.oldRuns)
            colors.SetSize(m_colorResume.runs);
        m_colorResume = {};
    }
    m_nFirstStaleLine = std::max(m_nFirstStaleLine, line + 1);
    const int length = GetLineLength(line);
    if (length < 0)
        return;
    if (length == 0) {
        colors.Drop();
        colors.AddRun(0, 0);
        return;
    }
    if (fromColumn == 0)
        colors.RemoveAll();
    if (fromColumn >= length)
        return;
    ScanLine(line, fromColumn, length, pending, colors, [](int, int, const wchar_t*) { return false; });
    FlushPlainText(colors, pending);
    colors.FreeExtra(); // a large text keeps hundreds of thousands of these
    m_colorsFit = { line, colors.GetSize(), m_lastChange.version };
}

void SECEdit::RecolorEdited()
{
    const ColorResume resume = std::exchange(m_colorResume, {});
    const int line = resume.line;
    SECEditLineColor& runs = m_lineColors[line];
    m_nFirstStaleLine = std::max(m_nFirstStaleLine, line + 1);
    const int length = GetLineLength(line);
    if (length <= 0) {
        runs.Drop();
        return;
    }
    const int plain = m_pLangConfig->GetBuiltinColorGroupIndex(BuiltinText);
    // The old run that holds the place the scan reached, and where it begins in the old text.
    INT_PTR next = resume.runs;
    long long nextStart = resume.column - resume.pending;
    INT_PTR rejoin = resume.oldRuns;
    SECEditLineColor fresh;
    int pending = resume.pending;
    m_bContinuation = false;
    ScanLine(line, resume.column, length, pending, fresh, [&](int position, int& waiting, const wchar_t* text) {
        if (position < resume.editEnd || position >= length)
            return false;
        const long long old = position - resume.lengthChange;
        while (next < resume.oldRuns && nextStart + runs[next].m_nLength <= old)
            nextStart += runs[next++].m_nLength;
        if (next >= resume.oldRuns)
            return false;
        // Where one run ends and the next begins the old scan passed between two tokens too, unless
        // the runs are the pieces of one too long for a run.
        const bool betweenRuns = nextStart == old && (next == 0 || runs[next - 1].m_nLength != SECEditLineColor::MaxRunLength);
        if (runs[next].m_nColorGroup != plain) {
            if (!betweenRuns)
                return false;
            FlushPlainText(fresh, waiting);
            rejoin = next;
            return true;
        }
        // In plain text it did where a word follows blanks (the blank is past the edit, as it was).
        const bool wordAfterBlanks = position > resume.editEnd && IsWhitespace(text[position - 1]) && !IsWhitespace(text[position]);
        if (!betweenRuns && !wordAfterBlanks)
            return false;
        // From here both scans gather the same plain text up to the same end: the text waiting
        // joins the rest of the old plain run.
        long long stretch = waiting - (old - nextStart);
        while (next < resume.oldRuns && runs[next].m_nColorGroup == plain)
            stretch += runs[next++].m_nLength;
        fresh.AddRun(static_cast<int>(stretch), plain);
        waiting = 0;
        rejoin = next;
        return true;
    });
    FlushPlainText(fresh, pending);
    runs.Splice(resume.runs, rejoin, fresh);
    m_colorsFit = { line, runs.GetSize(), m_lastChange.version, resume.runs, resume.column - resume.pending };
    FollowContinuations();
}

int SECEdit::LongestBeginTag() const
{
    std::vector<const SECEditKeywordInfo*> tags;
    m_pLangConfig->GetTags(tags, TagAny);
    int longest = 1;
    for (const SECEditKeywordInfo* tag : tags)
        longest = std::max(longest, tag->m_strBeginTag.GetLength());
    return longest;
}

BOOL SECEdit::NextTagSpan(int line, int& start, int& end)
{
    CString copy;
    const int length = CopyLineText(line, copy);
    if (length < 0 || start >= length || !m_pLangConfig)
        return FALSE;
    const wchar_t* text = copy.GetString();
    for (int position = std::max(start, 0); position < length;) {
        const int tokenLength = TokenEnd(*m_pLangConfig, text + position, length - position);
        if (const SECEditKeywordInfo* tag = FindTagAt(text + position, length - position, tokenLength, TagSingleLine)) {
            SECEditLineCol tagEnd;
            FindTagEnd(tagEnd, line, position + tag->m_strBeginTag.GetLength(), *tag);
            start = position;
            end = tagEnd.m_nCol;
            return TRUE;
        }
        position += std::max(tokenLength, 1);
    }
    return FALSE;
}

BOOL SECEdit::FindEnclosingSpan(const SECEditLineCol& position, int& start, int& end)
{
    return EnclosingSpanFrom(position, 0, start, end);
}

bool SECEdit::EnclosingSpanFrom(const SECEditLineCol& position, int fromColumn, int& start, int& end)
{
    if (position.m_nCol <= fromColumn)
        return false;
    int from = fromColumn;
    for (;;) {
        int spanStart = from, spanEnd = 0;
        if (!NextTagSpan(position.m_nLine, spanStart, spanEnd) || spanStart > position.m_nCol)
            return false;
        if (position.m_nCol <= spanEnd) {
            start = spanStart;
            end = spanEnd;
            return true;
        }
        if (spanEnd <= from)
            return false;
        from = spanEnd;
    }
}

void SECEdit::DropSpansFrom(INT_PTR first)
{
    // The tags of the spans dropped are found again from the line the first begins on.
    if (first < m_comments.GetSize())
        m_nFirstStaleLine = std::min(m_nFirstStaleLine, m_comments[first].Normalized().m_start.m_nLine);
    for (INT_PTR i = first; i < m_comments.GetSize(); ++i) {
        const SECEditLineColPair span = m_comments[i].Normalized();
        for (int line = span.m_start.m_nLine; line <= span.m_end.m_nLine && line < static_cast<int>(m_lineColors.size()); ++line)
            m_lineColors[line].Drop();
        SECEditPaintMsg paint(span.m_start.m_nLine, span.m_end.m_nLine);
        paint.AddRef();
        UpdateAllObservers(nullptr, &paint);
    }
    if (first < m_comments.GetSize())
        m_comments.RemoveAt(first, m_comments.GetSize() - first);
}

void SECEdit::DropSpansTouching(const SECEditLineColPair& range)
{
    for (INT_PTR i = 0; i < m_comments.GetSize(); ++i) {
        if (m_comments[i].Overlaps(range) || m_comments[i].Normalized().m_start > range.Normalized().m_start) {
            DropSpansFrom(i);
            return;
        }
    }
}

void SECEdit::KeepColorsAround(int line, int column, int lengthChange)
{
    const ColorResume previous = std::exchange(m_colorResume, {});
    SECEditLineColor& runs = m_lineColors[line];
    const bool spanned = std::any_of(m_comments.GetData(), m_comments.GetData() + m_comments.GetSize(), [&](const SECEditMLComment& span) {
        const SECEditLineColPair bounds = span.Normalized();
        return bounds.m_start.m_nLine <= line && line <= bounds.m_end.m_nLine;
    });
    if (spanned || !m_pLangConfig) {
        runs.Drop();
        return;
    }
    // The edited columns: this edit's, joined with those of the edits before it that the line was
    // not coloured again after.
    int editStart = column;
    int editEnd = column + std::max(-lengthChange, 0);
    int change = lengthChange;
    if (previous.line == line) {
        if (previous.version + 1 != m_lastChange.version || runs.GetSize() != previous.oldRuns) {
            runs.Drop();
            return;
        }
        editStart = std::min(previous.editStart, editStart);
        editEnd = std::max(previous.editEnd, editEnd);
        change += previous.lengthChange;
    }
    editEnd += lengthChange;

    const int plain = m_pLangConfig->GetBuiltinColorGroupIndex(BuiltinText);
    // A tag coloured as plain text leaves no mark in the runs of where it lies: they are no guide.
    std::vector<const SECEditKeywordInfo*> tags;
    m_pLangConfig->GetTags(tags, TagAny);
    if (std::any_of(tags.begin(), tags.end(), [&](const SECEditKeywordInfo* tag) { return tag->m_nColorGroup == plain; })) {
        runs.Drop();
        return;
    }
    // The runs hold the line as it was, else they are no guide. Runs just coloured are known to,
    // and so is a run that a look-up in them found.
    const int length = std::max(GetLineLength(line), 0);
    const bool fitted = m_colorsFit.line == line && m_colorsFit.version + 1 == m_lastChange.version && m_colorsFit.runs == runs.GetSize();
    if (previous.line != line && !fitted && RunsTotal(runs) != length - change) {
        runs.Drop();
        return;
    }
    // A tag's begin text that reaches into the edit may now start before it: the place kept lies
    // the longest begin text before the edit.
    const int reach = LongestBeginTag();
    const RunAt known = fitted ? RunAt { m_colorsFit.cursor, m_colorsFit.cursorStart } : RunAt {};
    const RunPlaces places = FindRunPlaces(runs, length - change, editStart, editStart - reach, plain, known);
    if (places.unknown) {
        runs.Drop();
        return;
    }
    const int tokenEnd = places.tokenEnd;
    const INT_PTR afterToken = places.afterToken, before = places.before;
    const int beforeStart = places.beforeStart;
    ColorResume resume { line, tokenEnd, 0, afterToken, runs.GetSize(), editStart, editEnd, change, m_lastChange.version };
    // In plain text the scan passes between tokens where a word follows blanks: a later such
    // place, not far back from the edit, keeps more.
    if (before >= 0 && runs[before].m_nColorGroup == plain && beforeStart >= tokenEnd) {
        const int lowest = std::max(beforeStart + 1, editStart - 4096);
        const int from = std::max(lowest - 1, 0);
        const wchar_t* text = nullptr;
        if (editStart - reach >= lowest && GetLinePointer(text, line, from, line, editStart) == editStart - from) {
            for (int at = editStart - reach; at >= lowest; --at) {
                if (IsWhitespace(text[at - 1 - from]) && !IsWhitespace(text[at - from])) {
                    resume.column = at;
                    resume.pending = at - beforeStart;
                    resume.runs = before;
                    break;
                }
            }
        }
    }
    m_colorResume = resume;
}

void SECEdit::AbandonColorResume()
{
    if (m_colorResume.line >= 0 && m_colorResume.line < static_cast<int>(m_lineColors.size()))
        m_lineColors[m_colorResume.line].Drop();
    m_colorResume = {};
}

void SECEdit::DropAllColors()
{
    m_colorResume = {};
    m_nFirstStaleLine = 0;
    for (SECEditLineColor& runs : m_lineColors)
        runs.Drop();
    m_comments.RemoveAll();
}

void SECEdit::ColorRange(int line)
{
    std::vector<const SECEditKeywordInfo*> tags;
    m_pLangConfig->GetTags(tags, TagMultiLine);
    // Each tag's first begin text outside a string, kept while it still lies ahead, so that every
    // tag's search covers the range once however many comments are coloured on the way.
    struct NextBegin {
        SECEditLineCol at;
        bool searched = false;
        bool none = false;
    };
    std::vector<NextBegin> next(tags.size());
    const SECEditLineCol limit(line, 0);
    while (m_nFirstStaleLine < line) {
        // The search starts where the scan of the first stale line starts between tokens: past
        // the end of a tag that an earlier line leaves open. Only the first round can start so:
        // each later one starts on a line after the last one coloured, which the tags it opened
        // ended before.
        SECEditLineCol from(m_nFirstStaleLine, 0);
        if (const SECEditMLComment* span = SpanInto(m_nFirstStaleLine)) {
            m_nFirstStaleLine = span->m_end.m_nLine;
            if (m_nFirstStaleLine >= line)
                break;
            from = span->m_end;
        }
        SECEditLineCol best = limit;
        for (size_t t = 0; t < tags.size(); ++t) {
            NextBegin& begin = next[t];
            if (begin.none || (begin.searched && from <= begin.at)) {
                if (!begin.none && begin.at < best)
                    best = begin.at;
                continue;
            }
            begin = { limit, true, true };
            EditFindRequest request;
            request.pattern = tags[t]->m_strBeginTag;
            SECEditLineCol at = from;
            int hitLine = 0, hitColumn = 0;
            while (at < limit && Find(at.m_nLine, at.m_nCol, hitLine, hitColumn, request, line, 0)) {
                int spanStart = 0, spanEnd = 0;
                const int lineStart = hitLine == from.m_nLine ? from.m_nCol : 0;
                // A begin text right after a string's end lies outside it, as the scan of the
                // line finds it.
                if (!EnclosingSpanFrom({ hitLine, hitColumn }, lineStart, spanStart, spanEnd) || hitColumn == spanEnd) {
                    begin = { { hitLine, hitColumn }, true, false };
                    break;
                }
                at = { hitLine, hitColumn + tags[t]->m_strBeginTag.GetLength() };
            }
            if (!begin.none && begin.at < best)
                best = begin.at;
        }
        if (best == limit) {
            m_nFirstStaleLine = line;
            break;
        }
        ColorLineFromItsStart(best.m_nLine);
    }
}

SECEditLineColor* SECEdit::GetLineColor(int line)
{
    if (!m_bColoring || !m_pLangConfig || line < 0 || line >= static_cast<int>(m_lineColors.size()) || line > GetLastLine())
        return nullptr;
    if (line >= m_nFirstStaleLine)
        ColorRange(line);
    if (m_colorResume.line == line) {
        if (m_colorResume.version == m_lastChange.version && m_lineColors[line].GetSize() == m_colorResume.oldRuns)
            RecolorEdited();
        else
            AbandonColorResume();
    }
    if (m_lineColors[line].IsEmpty())
        ColorLineFromItsStart(line);
    SECEditLineColor* runs = &m_lineColors[line];

    if (GetLineFlag(line, SECEDIT_FLAG_HIGHLIGHT)) {
        for (int group = 0; group < m_pLangConfig->GetColorGroupCount(); ++group) {
            if (m_pLangConfig->GetColorGroup(group)->m_strDisplayName.CompareNoCase(L"Highlight") == 0) {
                // The cached runs stay: clearing the flag shows the ordinary colours again.
                m_highlight.RemoveAll();
                m_highlight.AddRun(std::max(GetLineLength(line), 0), group);
                return &m_highlight;
            }
        }
    }
    return runs;
}

SECEditLineColor SECEdit::CopyLineColor(int line, int fromColumn, int toColumn, int* firstColumn)
{
    SECEditLineColor copy;
    long long start = 0;
    if (const SECEditLineColor* runs = GetLineColor(line)) {
        const SECEditTextColor* const data = runs->GetData();
        const INT_PTR size = runs->GetSize();
        // The first run: where the runs cover the line as coloured, looked for from the nearest of
        // the line's ends and the run found last; else from the start, up to a run to the line's end.
        INT_PTR first = 0;
        const bool fitted = runs == &m_lineColors[line] && m_colorsFit.line == line && m_colorsFit.version == m_lastChange.version
            && m_colorsFit.runs == size && size > 0 && data[size - 1].m_nLength != 0;
        if (fitted) {
            const RunAt at = LocateRun(*runs, GetLineLength(line), fromColumn, { m_colorsFit.cursor, m_colorsFit.cursorStart });
            first = at.index;
            start = at.start;
            m_colorsFit.cursor = at.index;
            m_colorsFit.cursorStart = at.start;
        } else {
            for (; first < size && data[first].m_nLength != 0 && start + data[first].m_nLength <= fromColumn; ++first)
                start += data[first].m_nLength;
        }
        INT_PTR last = first;
        for (long long end = start; last < size && (last == first || end < toColumn) && (last == first || data[last - 1].m_nLength != 0); ++last)
            end += data[last].m_nLength;
        copy.SetSize(last - first);
        std::copy(data + first, data + last, copy.GetData());
    }
    if (firstColumn)
        *firstColumn = static_cast<int>(start);
    return copy;
}
