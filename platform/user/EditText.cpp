#include "platform/user/EditText.h"

namespace fln::user {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsLineBreakCharacter(wchar_t c) { return c == L'\r' || c == L'\n'; }
bool IsDelimiter(wchar_t c) { return IsBlank(c) || IsLineBreakCharacter(c); }

bool IsLineBreakAt(std::wstring_view text, size_t position)
{
    return position + 1 < text.size() && text[position] == L'\r' && text[position + 1] == L'\n';
}

} // namespace

std::wstring EditText::SelectedText() const
{
    return m_text.substr(static_cast<size_t>(SelectionStart()), static_cast<size_t>(SelectionEnd() - SelectionStart()));
}

int EditText::ClampPosition(int position) const
{
    position = std::clamp(position, 0, Length());
    if (position > 0 && IsLineBreakAt(m_text, static_cast<size_t>(position - 1)))
        --position;
    return position;
}

void EditText::SetSelection(int anchor, int caret)
{
    m_anchor = ClampPosition(anchor);
    m_caret = ClampPosition(caret);
}

void EditText::SetText(std::wstring text)
{
    m_text = std::move(text);
    m_anchor = m_caret = 0;
    m_undo.reset();
    m_modified = false;
}

void EditText::SetLimit(int limit)
{
    m_limit = limit <= 0 ? kMaximumLimit : std::min(limit, kMaximumLimit);
}

EditText::ReplaceResult EditText::ReplaceSelection(std::wstring_view text, EditKind kind)
{
    ReplaceResult result;
    int start = SelectionStart();
    int selected = SelectionEnd() - start;
    int room = std::max(0, m_limit - (Length() - selected));
    if (static_cast<int>(text.size()) > room) {
        result.truncated = true;
        size_t cut = static_cast<size_t>(room);
        if (cut > 0 && IsLineBreakAt(text, cut - 1))
            --cut;
        bool nothingFits = cut == 0 && !text.empty();
        text = text.substr(0, cut);
        if (nothingFits)
            return result; // the selection stays rather than vanish for nothing
    }
    if (selected == 0 && text.empty())
        return result;
    std::wstring removed = m_text.substr(static_cast<size_t>(start), static_cast<size_t>(selected));
    m_text.replace(static_cast<size_t>(start), static_cast<size_t>(selected), text);
    Record(start, std::move(removed), static_cast<int>(text.size()), kind);
    m_anchor = m_caret = start + static_cast<int>(text.size());
    m_modified = true;
    result.changed = true;
    return result;
}

void EditText::Record(int start, std::wstring removed, int insertedLength, EditKind kind)
{
    if (m_undo && kind != EditKind::Other && m_undo->kind == kind) {
        UndoRecord& last = *m_undo;
        switch (kind) {
        case EditKind::Typing:
            if (removed.empty() && last.position + last.insertedLength == start) {
                last.insertedLength += insertedLength;
                return;
            }
            break;
        case EditKind::Backspace:
            if (insertedLength == 0 && last.insertedLength == 0 && start + static_cast<int>(removed.size()) == last.position) {
                last.removed.insert(0, removed);
                last.position = start;
                return;
            }
            break;
        case EditKind::Delete:
            if (insertedLength == 0 && last.insertedLength == 0 && start == last.position) {
                last.removed += removed;
                return;
            }
            break;
        case EditKind::Other:
            break;
        }
    }
    m_undo = UndoRecord { start, std::move(removed), insertedLength, kind };
}

bool EditText::Undo()
{
    if (!m_undo)
        return false;
    UndoRecord step = std::move(*m_undo);
    auto position = static_cast<size_t>(step.position);
    std::wstring inserted = m_text.substr(position, static_cast<size_t>(step.insertedLength));
    m_text.replace(position, static_cast<size_t>(step.insertedLength), step.removed);
    m_anchor = step.position;
    m_caret = step.position + static_cast<int>(step.removed.size());
    m_undo = UndoRecord { step.position, std::move(inserted), static_cast<int>(step.removed.size()), EditKind::Other };
    m_modified = true;
    return true;
}

int EditText::CharacterLeft(int position) const
{
    position = ClampPosition(position);
    if (position >= 2 && IsLineBreakAt(m_text, static_cast<size_t>(position - 2)))
        return position - 2;
    return std::max(0, position - 1);
}

int EditText::CharacterRight(int position) const
{
    position = ClampPosition(position);
    if (IsLineBreakAt(m_text, static_cast<size_t>(position)))
        return position + 2;
    return std::min(Length(), position + 1);
}

int EditText::WordLeft(int position) const
{
    position = ClampPosition(position);
    while (position > 0 && IsDelimiter(m_text[static_cast<size_t>(position - 1)]))
        --position;
    while (position > 0 && !IsDelimiter(m_text[static_cast<size_t>(position - 1)]))
        --position;
    return position;
}

int EditText::WordRight(int position) const
{
    position = ClampPosition(position);
    while (position < Length() && !IsDelimiter(m_text[static_cast<size_t>(position)]))
        ++position;
    while (position < Length() && IsDelimiter(m_text[static_cast<size_t>(position)]))
        ++position;
    return position;
}

std::pair<int, int> EditText::WordAt(int position) const
{
    position = ClampPosition(position);
    auto at = [this](int i) { return m_text[static_cast<size_t>(i)]; };
    int c = position < Length() ? position : position - 1;
    if (c > 0 && IsLineBreakCharacter(at(c)) && !IsLineBreakCharacter(at(c - 1)))
        --c; // a click past the end of a line means its last character
    if (c < 0 || IsLineBreakCharacter(at(c)))
        return { position, position };
    int start = c, end = c;
    if (IsBlank(at(c))) {
        while (start > 0 && IsBlank(at(start - 1)))
            --start;
        while (end < Length() && IsBlank(at(end)))
            ++end;
        return { start, end };
    }
    while (start > 0 && !IsDelimiter(at(start - 1)))
        --start;
    while (end < Length() && !IsDelimiter(at(end)))
        ++end;
    while (end < Length() && IsBlank(at(end)))
        ++end;
    return { start, end };
}

namespace {

// Wraps one paragraph (no line breaks inside) starting at offset in the whole text.
void WrapParagraph(std::wstring_view paragraph, int offset, int wrapWidth, const CharacterEdges& measure, std::vector<EditLine>& lines)
{
    int end = static_cast<int>(paragraph.size());
    if (wrapWidth <= 0 || end == 0) {
        lines.push_back({ offset, end, 0 });
        return;
    }
    std::vector<int> edges = measure(paragraph);
    auto blank = [&](int i) { return IsBlank(paragraph[static_cast<size_t>(i)]); };
    int lineStart = 0;
    while (lineStart < end) {
        int base = lineStart > 0 ? edges[static_cast<size_t>(lineStart - 1)] : 0;
        int fit = lineStart;
        while (fit < end && edges[static_cast<size_t>(fit)] - base <= wrapWidth)
            ++fit;
        int cut = end;
        if (fit < end) {
            if (blank(fit)) {
                cut = fit;
            } else {
                cut = fit;
                while (cut > lineStart && !blank(cut - 1))
                    --cut;
                if (cut == lineStart)
                    cut = std::max(fit, lineStart + 1); // a word longer than the line
            }
            while (cut < end && blank(cut))
                ++cut; // blanks stay at the end of the line they follow
        }
        lines.push_back({ offset + lineStart, cut - lineStart, 0 });
        lineStart = cut;
    }
}

} // namespace

std::vector<EditLine> BreakLines(std::wstring_view text, int wrapWidth, const CharacterEdges& edges)
{
    std::vector<EditLine> lines;
    size_t start = 0;
    for (;;) {
        size_t lineBreak = text.find(L"\r\n", start);
        size_t end = lineBreak == std::wstring_view::npos ? text.size() : lineBreak;
        WrapParagraph(text.substr(start, end - start), static_cast<int>(start), wrapWidth, edges, lines);
        if (lineBreak == std::wstring_view::npos)
            break;
        lines.back().breakLength = 2;
        start = lineBreak + 2;
    }
    return lines;
}

int LineOfPosition(const std::vector<EditLine>& lines, int position)
{
    auto after = std::upper_bound(lines.begin(), lines.end(), position, [](int p, const EditLine& line) { return p < line.start; });
    return after == lines.begin() ? 0 : static_cast<int>(after - lines.begin()) - 1;
}

} // namespace fln::user
