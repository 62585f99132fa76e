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
    m_bContinuation = false;
    ColorLineFrom(line, fromColumn);
    while (m_bContinuation) {
        m_bContinuation = false;
        ColorLineFrom(m_continuation.m_nLine, m_continuation.m_nCol);
    }
}

void SECEdit::ColorLineFrom(int line, int fromColumn)
{
    if (!m_pLangConfig || line < 0 || line >= static_cast<int>(m_lineColors.size()))
        return;
    m_nFirstStaleLine = line + 1;

    // The scan calls back into the model, which may move the text: it works on a copy, kept on
    // the stack for lines of ordinary length.
    CString spill;
    const wchar_t* source = nullptr;
    const int length = GetLineText(line, spill, source);
    if (length < 0)
        return;
    wchar_t local[256];
    std::wstring heap;
    const wchar_t* text = local;
    if (length <= static_cast<int>(std::size(local))) {
        std::copy(source, source + length, local);
    } else {
        heap.assign(source, length);
        text = heap.c_str();
    }

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

    int pending = 0;
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

void SECEdit::DropAllColors()
{
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
    if (m_lineColors[line].IsEmpty())
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
