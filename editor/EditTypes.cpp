#include "editor/EditTypes.h"

int SECEditLineCol::AdjustForEdit(const SECEditLineColPair& range, BOOL insert)
{
    const SECEditLineColPair edit = range.Normalized();
    const SECEditLineCol& s = edit.m_start;
    const SECEditLineCol& e = edit.m_end;
    if (*this < s)
        return 0;
    if (insert) {
        if (m_nLine == s.m_nLine)
            m_nCol += e.m_nCol - s.m_nCol;
        m_nLine += e.m_nLine - s.m_nLine;
        return 1;
    }
    if (*this == s)
        return 0;
    if (*this <= e) {
        *this = s;
        return 1;
    }
    if (m_nLine == e.m_nLine)
        m_nCol = s.m_nCol + (m_nCol - e.m_nCol);
    m_nLine -= e.m_nLine - s.m_nLine;
    return 1;
}

bool SECEditLineColPair::Contains(const SECEditLineCol& position) const
{
    const SECEditLineColPair n = Normalized();
    return n.m_start <= position && position <= n.m_end;
}

bool SECEditLineColPair::Overlaps(const SECEditLineColPair& other) const
{
    if (other.m_end <= SECEditLineCol(0, 0) || other.m_end <= other.m_start)
        return Contains(other.m_start);
    return Contains(other.m_start) || Contains(other.m_end) || other.Contains(m_start) || other.Contains(m_end);
}

BOOL SECEditLineColPair::AdjustForEdit(const SECEditLineColPair& range, BOOL insert)
{
    const int startMoved = m_start.AdjustForEdit(range, insert);
    const int endMoved = m_end.AdjustForEdit(range, insert);
    return startMoved || endMoved;
}

bool SECEditSelection::MoveEnd(int line, int column, int& firstLine, int& lastLine)
{
    const SECEditLineCol old = m_end;
    m_end = { line, column };
    firstLine = std::min(old.m_nLine, line);
    lastLine = std::max(old.m_nLine, line);
    return old != m_end;
}

INT_PTR SECEditMLCommentArray::Add(const SECEditMLComment& span)
{
    for (INT_PTR i = GetSize() - 1; i >= 0; --i) {
        if (GetAt(i).m_end < span.m_end) {
            InsertAt(i + 1, span);
            return i + 1;
        }
    }
    InsertAt(0, span);
    return 0;
}
