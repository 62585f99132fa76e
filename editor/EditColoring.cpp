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
    for (int between = line + 1; between < end.m_nLine; ++between) {
        if (between == m_colorResume.line)
            m_colorResume = {};
        SECEditLineColor& runs = m_lineColors[between];
        runs.Drop();
        runs.AddRun(0, tag.m_nColorGroup);
    }
    SECEditMLComment span(line, position, end.m_nLine, end.m_nCol);
    m_comments.Add(span);
    SECEditPaintMsg paint(line, end.m_nLine);
    paint.AddRef();
    UpdateAllObservers(nullptr, &paint);

    SECEditLineColor& endRuns = m_lineColors[end.m_nLine];
    endRuns.Drop();
    endRuns.AddRun(end.m_nCol, tag.m_nColorGroup);
    m_nFirstStaleLine = end.m_nLine + 1;
    if (end.m_nCol > 0) {
        m_continuation = end;
        m_bContinuation = true;
    }
    return remaining;
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
    while (m_bContinuation) {
        m_bContinuation = false;
        ColorLineFrom(m_continuation.m_nLine, m_continuation.m_nCol);
    }
}

void SECEdit::ColorLineFrom(int line, int fromColumn, int pending)
{
    if (line == m_colorResume.line)
        m_colorResume = {};
    if (!m_pLangConfig || line < 0 || line >= static_cast<int>(m_lineColors.size()))
        return;
    m_nFirstStaleLine = line + 1;

    // The scan calls back into the model, which may move the text: it works on a copy of the
    // part it reads (the scan looks ahead only), kept on the stack for lines of ordinary length.
    CString spill;
    const wchar_t* source = nullptr;
    const int length = GetLineText(line, spill, source);
    if (length < 0)
        return;
    wchar_t local[256];
    std::unique_ptr<wchar_t[]> heap;
    wchar_t* text = local;
    if (length > static_cast<int>(std::size(local))) {
        heap = std::make_unique_for_overwrite<wchar_t[]>(static_cast<size_t>(length));
        text = heap.get();
    }
    const int copyFrom = std::clamp(fromColumn, 0, length);
    std::copy(source + copyFrom, source + length, text + copyFrom);

    SECEditLineColor& colors = m_lineColors[line];
    if (length == 0) {
        colors.Drop();
        colors.AddRun(0, 0);
        return;
    }
    if (fromColumn == 0)
        colors.RemoveAll();
    if (fromColumn >= length)
        return;

    for (int position = fromColumn; position < length;) {
        const int tokenLength = TokenEnd(*m_pLangConfig, text + position, length - position);
        position += ColorToken(line, text, position, tokenLength, length - position, pending, colors);
    }
    FlushPlainText(colors, pending);
    colors.FreeExtra(); // a large text keeps hundreds of thousands of these
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
    if (position.m_nCol == 0)
        return FALSE;
    int from = 0;
    for (;;) {
        int spanStart = from, spanEnd = 0;
        if (!NextTagSpan(position.m_nLine, spanStart, spanEnd) || spanStart > position.m_nCol)
            return FALSE;
        if (position.m_nCol <= spanEnd) {
            start = spanStart;
            end = spanEnd;
            return TRUE;
        }
        if (spanEnd <= from)
            return FALSE;
        from = spanEnd;
    }
}

void SECEdit::DropSpansFrom(INT_PTR first)
{
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

void SECEdit::KeepColorsBefore(int line, int column, int lengthChange)
{
    SECEditLineColor& runs = m_lineColors[line];
    const bool spanned = std::any_of(m_comments.GetData(), m_comments.GetData() + m_comments.GetSize(), [&](const SECEditMLComment& span) {
        const SECEditLineColPair bounds = span.Normalized();
        return bounds.m_start.m_nLine <= line && line <= bounds.m_end.m_nLine;
    });
    if (spanned || !m_pLangConfig) {
        runs.Drop();
        return;
    }
    const int plain = m_pLangConfig->GetBuiltinColorGroupIndex(BuiltinText);
    // A tag's begin text that reaches into the edit may now start before it: the place kept lies
    // the longest begin text before the column.
    std::vector<const SECEditKeywordInfo*> tags;
    m_pLangConfig->GetTags(tags, TagAny);
    int reach = 1;
    for (const SECEditKeywordInfo* tag : tags)
        reach = std::max(reach, tag->m_strBeginTag.GetLength());
    // The last end of a keyword, tag or operator before that (a run of the longest length may be
    // a piece of a longer one), and the run that holds the character before the column.
    long long total = 0;
    int tokenEnd = 0;
    INT_PTR afterToken = 0, before = -1;
    int beforeStart = 0;
    for (INT_PTR i = 0; i < runs.GetSize(); ++i) {
        if (runs[i].m_nLength == 0) { // a run to the line's end leaves the places unknown
            runs.Drop();
            return;
        }
        const long long start = total;
        total += runs[i].m_nLength;
        if (total <= column - reach && runs[i].m_nColorGroup != plain && runs[i].m_nLength != SECEditLineColor::MaxRunLength) {
            tokenEnd = static_cast<int>(total);
            afterToken = i + 1;
        }
        if (before < 0 && start < column && column <= total) {
            before = i;
            beforeStart = static_cast<int>(start);
        }
    }
    // The runs hold the line as it was, else they are no guide.
    if (total != std::max(GetLineLength(line), 0) - lengthChange) {
        runs.Drop();
        return;
    }
    ColorResume resume { line, tokenEnd, 0, afterToken, m_lastChange.version };
    // In plain text the scan passes between tokens where a word follows blanks: a later such
    // place, not far back from the column, keeps more.
    if (before >= 0 && runs[before].m_nColorGroup == plain && beforeStart >= tokenEnd) {
        CString copy;
        const wchar_t* text = nullptr;
        GetLineText(line, copy, text);
        const int lowest = std::max(beforeStart + 1, column - 4096);
        for (int at = column - reach; at >= lowest; --at) {
            if (IsWhitespace(text[at - 1]) && !IsWhitespace(text[at])) {
                resume = { line, at, at - beforeStart, before, m_lastChange.version };
                break;
            }
        }
    }
    if (resume.column == 0) {
        runs.Drop();
        return;
    }
    runs.SetSize(resume.runs);
    m_colorResume = resume;
}

void SECEdit::DropAllColors()
{
    m_colorResume = {};
    for (SECEditLineColor& runs : m_lineColors)
        runs.Drop();
    m_comments.RemoveAll();
}

void SECEdit::ColorRange(int line)
{
    const SECEditLineColPair range(m_nFirstStaleLine, 0, line, std::max(GetLineLength(line), 0));
    for (INT_PTR i = 0; i < m_comments.GetSize(); ++i) {
        if (m_comments[i].Overlaps(range) || range.Contains(m_comments[i].m_start)) {
            const int spanStart = m_comments[i].Normalized().m_start.m_nLine;
            DropSpansFrom(i);
            m_nFirstStaleLine = spanStart;
            ColorLine(spanStart, 0);
            break;
        }
    }
    if (range.m_start.m_nLine == line)
        return;

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
    while (m_nFirstStaleLine < line) {
        const SECEditLineCol stale(m_nFirstStaleLine, 0);
        const SECEditLineCol limit(line, 0);
        SECEditLineCol best = limit;
        for (size_t t = 0; t < tags.size(); ++t) {
            NextBegin& begin = next[t];
            if (begin.none || (begin.searched && stale <= begin.at)) {
                if (!begin.none && begin.at < best)
                    best = begin.at;
                continue;
            }
            begin = { limit, true, true };
            EditFindRequest request;
            request.pattern = tags[t]->m_strBeginTag;
            SECEditLineCol from = stale;
            int hitLine = 0, hitColumn = 0;
            while (from < limit && Find(from.m_nLine, from.m_nCol, hitLine, hitColumn, request, line, 0)) {
                int spanStart = 0, spanEnd = 0;
                if (!FindEnclosingSpan({ hitLine, hitColumn }, spanStart, spanEnd)) {
                    begin = { { hitLine, hitColumn }, true, false };
                    break;
                }
                from = { hitLine, hitColumn + tags[t]->m_strBeginTag.GetLength() };
            }
            if (!begin.none && begin.at < best)
                best = begin.at;
        }
        if (best == limit) {
            m_nFirstStaleLine = line;
            break;
        }
        ColorLine(best.m_nLine, 0);
    }
}

SECEditLineColor* SECEdit::GetLineColor(int line)
{
    if (!m_bColoring || !m_pLangConfig || line < 0 || line >= static_cast<int>(m_lineColors.size()) || line > GetLastLine())
        return nullptr;
    if (line >= m_nFirstStaleLine)
        ColorRange(line);
    const ColorResume resume = m_colorResume;
    if (resume.line == line && resume.version == m_lastChange.version && m_lineColors[line].GetSize() == resume.runs)
        ColorLineResuming(line, resume.column, resume.pending);
    else if (m_lineColors[line].IsEmpty())
        ColorLine(line, 0);
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

SECEditLineColor SECEdit::CopyLineColor(int line)
{
    SECEditLineColor copy;
    if (const SECEditLineColor* runs = GetLineColor(line))
        copy.Copy(*runs);
    return copy;
}
