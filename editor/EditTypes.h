#pragma once
// The editor's small value types: a line/column position, a range of two positions, the
// selection, multi-line comment spans and the colour runs of one line.

#include "platform/base/Array.h"

#include <algorithm>

// A 0-based line and column; columns count characters of the line.
class SECEditLineCol {
public:
    SECEditLineCol() = default;
    SECEditLineCol(int line, int column) : m_nLine(line), m_nCol(column) {}
    virtual ~SECEditLineCol() = default;

    friend bool operator==(const SECEditLineCol& a, const SECEditLineCol& b) { return a.m_nLine == b.m_nLine && a.m_nCol == b.m_nCol; }
    friend bool operator!=(const SECEditLineCol& a, const SECEditLineCol& b) { return !(a == b); }
    friend bool operator<(const SECEditLineCol& a, const SECEditLineCol& b)
    {
        return a.m_nLine < b.m_nLine || (a.m_nLine == b.m_nLine && a.m_nCol < b.m_nCol);
    }
    friend bool operator>(const SECEditLineCol& a, const SECEditLineCol& b) { return b < a; }
    friend bool operator<=(const SECEditLineCol& a, const SECEditLineCol& b) { return !(b < a); }
    friend bool operator>=(const SECEditLineCol& a, const SECEditLineCol& b) { return !(a < b); }

    // Moves the position to follow an insertion or deletion of the range; 0 when the position
    // lies before the edit (or, for a deletion, at its start), else 1.
    int AdjustForEdit(const class SECEditLineColPair& range, BOOL insert);

    int m_nLine = 0;
    int m_nCol = 0;
};

// Two positions; the end may lie before the start.
class SECEditLineColPair {
public:
    SECEditLineColPair() = default;
    SECEditLineColPair(const SECEditLineCol& start, const SECEditLineCol& end) : m_start(start), m_end(end) {}
    SECEditLineColPair(int startLine, int startCol, int endLine, int endCol)
        : m_start(startLine, startCol), m_end(endLine, endCol) {}
    virtual ~SECEditLineColPair() = default;

    void SetStart(int line, int column) { m_start = { line, column }; }
    void SetEnd(int line, int column) { m_end = { line, column }; }
    bool IsOrdered() const { return m_start <= m_end; }
    bool IsEmpty() const { return m_start == m_end; }
    SECEditLineColPair Normalized() const { return IsOrdered() ? *this : SECEditLineColPair(m_end, m_start); }

    friend bool operator==(const SECEditLineColPair& a, const SECEditLineColPair& b)
    {
        const SECEditLineColPair x = a.Normalized(), y = b.Normalized();
        return x.m_start == y.m_start && x.m_end == y.m_end;
    }
    friend bool operator!=(const SECEditLineColPair& a, const SECEditLineColPair& b) { return !(a == b); }

    bool EndsAfter(const SECEditLineColPair& other) const { return Normalized().m_end > other.Normalized().m_end; }
    bool Contains(const SECEditLineCol& position) const;
    bool Overlaps(const SECEditLineColPair& other) const;
    BOOL AdjustForEdit(const SECEditLineColPair& range, BOOL insert);

    SECEditLineCol m_start;
    SECEditLineCol m_end;
};

// The anchor (start) and the caret end; mode 2 counts as a selection even when both are equal.
class SECEditSelection : public SECEditLineColPair {
public:
    SECEditLineCol GetAnchor() const { return m_start; }
    SECEditLineCol GetCaretEnd() const { return m_end; }
    SECEditLineCol GetFirst() const { return std::min(m_start, m_end); }
    SECEditLineCol GetLast() const { return std::max(m_start, m_end); }
    void GetFirst(int& line, int& column) const { Split(GetFirst(), line, column); }
    void GetLast(int& line, int& column) const { Split(GetLast(), line, column); }

    void Clear() { Set({}, {}, 1); }
    void SetCaret(const SECEditLineCol& position, int mode) { Set(position, position, mode); }
    void Set(const SECEditLineCol& start, const SECEditLineCol& end, int mode)
    {
        m_start = start;
        m_end = end;
        m_nMode = mode;
    }
    void Set(int startLine, int startCol, int endLine, int endCol, int mode) { Set({ startLine, startCol }, { endLine, endCol }, mode); }
    bool HasSelection() const { return m_start != m_end || m_nMode == 2; }
    // Moves the caret end; reports the lines to repaint and whether the end changed.
    bool MoveEnd(int line, int column, int& firstLine, int& lastLine);

    int m_nMode = 1;

private:
    static void Split(const SECEditLineCol& p, int& line, int& column) { line = p.m_nLine; column = p.m_nCol; }
};

// The span of one multi-line tag, from its begin text to its end text.
class SECEditMLComment : public SECEditLineColPair {
public:
    using SECEditLineColPair::SECEditLineColPair;
    int m_nTagIndex = -1;
    USHORT m_nColorGroup = 0; // the tag's group, in which the span's lines are coloured
};

// The spans of the whole text, sorted by their end positions.
class SECEditMLCommentArray : public CArray<SECEditMLComment, const SECEditMLComment&> {
public:
    INT_PTR Add(const SECEditMLComment& span);
};

// One colour run: a length in characters (0: to the end of the line) and a colour-group index.
struct SECEditTextColor {
    USHORT m_nLength = 0;
    USHORT m_nColorGroup = 0;
};

// The colour runs of one line, from column 0; an empty array means all "Text".
class SECEditLineColor : public CArray<SECEditTextColor, const SECEditTextColor&> {
public:
    // A run longer than a run's length field holds goes in as several of the same group.
    void AddRun(int length, int group)
    {
        for (; length > MaxRunLength; length -= MaxRunLength)
            Add({ MaxRunLength, static_cast<USHORT>(group) });
        Add({ static_cast<USHORT>(length), static_cast<USHORT>(group) });
    }
    static constexpr USHORT MaxRunLength = 0xFFFF;
    // Puts runs in place of the runs [first, last), moving those after them once.
    void Splice(INT_PTR first, INT_PTR last, const SECEditLineColor& runs)
    {
        const INT_PTR common = std::min(last - first, runs.GetSize());
        std::copy(runs.GetData(), runs.GetData() + common, GetData() + first);
        if (runs.GetSize() > common) {
            InsertAt(first + common, SECEditTextColor {}, runs.GetSize() - common);
            std::copy(runs.GetData() + common, runs.GetData() + runs.GetSize(), GetData() + first + common);
        } else {
            RemoveAt(first + common, last - first - common);
        }
    }
    // Drops the runs and their storage.
    void Drop()
    {
        RemoveAll();
        FreeExtra();
    }
};
