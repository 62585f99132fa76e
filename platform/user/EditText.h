#pragma once
// The text of an edit control, without its window: the characters, the selection, the one-level
// undo record, the text limit, word breaks and the breaking of text into display lines. Positions
// are character indexes into the text; a line break is the pair CR LF and no position ever falls
// between its two characters.

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fln::user {

// How a change joins the undo record: a run of typing, of Backspace or of Delete presses undoes
// as one step; anything else starts a new step.
enum class EditKind { Other, Typing, Backspace, Delete };

class EditText {
public:
    static constexpr int kDefaultLimit = 32767;
    static constexpr int kMaximumLimit = 0x7FFFFFFE;

    const std::wstring& Text() const { return m_text; }
    int Length() const { return static_cast<int>(m_text.size()); }

    // The selection runs from the anchor to the caret, in either direction.
    int Anchor() const { return m_anchor; }
    int Caret() const { return m_caret; }
    int SelectionStart() const { return std::min(m_anchor, m_caret); }
    int SelectionEnd() const { return std::max(m_anchor, m_caret); }
    bool HasSelection() const { return m_anchor != m_caret; }
    std::wstring SelectedText() const;
    // Both ends are clamped to the text and moved off the middle of a line break.
    void SetSelection(int anchor, int caret);
    int ClampPosition(int position) const;

    // Replaces everything: the selection goes to the start, the undo record is emptied and the
    // text counts as unmodified. The limit does not apply.
    void SetText(std::wstring text);

    struct ReplaceResult {
        bool changed = false;   // the text is different now
        bool truncated = false; // the limit cut the insertion short
    };
    // Replaces the selection with as much of text as the limit leaves room for (never half a
    // line break) and puts the caret after it. Records the change for undo and marks the text
    // modified.
    ReplaceResult ReplaceSelection(std::wstring_view text, EditKind kind = EditKind::Other);

    // The one undo step: undoing swaps it with its inverse, so a second undo redoes. The
    // restored text ends up selected.
    bool CanUndo() const { return m_undo.has_value(); }
    bool Undo();
    void EmptyUndo() { m_undo.reset(); }

    int Limit() const { return m_limit; }
    void SetLimit(int limit); // 0 means the largest limit; text already longer is kept
    bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // Word moves as Ctrl+Left and Ctrl+Right make them: words are separated by spaces, tabs
    // and line breaks; a move right ends at the start of the next word.
    int WordLeft(int position) const;
    int WordRight(int position) const;
    // What a double click at position selects: the word there with the blanks after it, or a
    // run of blanks.
    std::pair<int, int> WordAt(int position) const;
    // One character left or right, a line break counting as one.
    int CharacterLeft(int position) const;
    int CharacterRight(int position) const;

private:
    struct UndoRecord {
        int position = 0;
        std::wstring removed;
        int insertedLength = 0;
        EditKind kind = EditKind::Other;
    };
    void Record(int start, std::wstring removed, int insertedLength, EditKind kind);

    std::wstring m_text;
    int m_anchor = 0;
    int m_caret = 0;
    int m_limit = kDefaultLimit;
    bool m_modified = false;
    std::optional<UndoRecord> m_undo;
};

// One display line: its characters start at `start`; `length` of them show; a hard line break of
// `breakLength` characters (0 or 2) follows. A wrapped line keeps its trailing blanks.
struct EditLine {
    int start = 0;
    int length = 0;
    int breakLength = 0;
    int End() const { return start + length; }
    int Next() const { return start + length + breakLength; }
};

// The right edge, in pixels from the start of text, of each of its characters.
using CharacterEdges = std::function<std::vector<int>(std::wstring_view text)>;

// Splits text at its line breaks and, when wrapWidth > 0, wraps each paragraph at blanks so that
// the visible part of every line fits wrapWidth (a word longer than a line is cut where it no
// longer fits, keeping at least one character). Always at least one line.
std::vector<EditLine> BreakLines(std::wstring_view text, int wrapWidth, const CharacterEdges& edges);
// The line holding position; a position at a wrap belongs to the next line.
int LineOfPosition(const std::vector<EditLine>& lines, int position);

} // namespace fln::user
