// The "Edit" control class: single-line and multi-line text entry with the system caret, mouse
// and keyboard selection, the clipboard and the X PRIMARY selection, one level of undo, a context
// menu, scroll bars and the EM_ messages. The text itself lives in EditText.

#include "platform/user/ControlSupport.h"
#include "platform/user/EditText.h"
#include "platform/user/SystemClasses.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <climits>
#include <cstring>
#include <cwctype>

namespace fln::user {
namespace {

constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollInterval = 100;
constexpr int kTabStopInAverageCharacters = 8;
// The context menu's commands are the messages they send; Select All sends EM_SETSEL.
constexpr UINT kSelectAllCommand = EM_SETSEL;

class EditControl {
public:
    explicit EditControl(HWND window) : m_window(window) {}

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    // Set by WM_NCDESTROY: the object goes once the outermost message returns.
    bool doomed = false;
    int depth = 0;

private:
    // ---- style and geometry
    DWORD Style() const { return StyleOf(m_window); }
    bool Has(DWORD style) const { return (Style() & style) != 0; }
    bool IsMultiLine() const { return Has(ES_MULTILINE); }
    bool IsReadOnly() const { return Has(ES_READONLY); }
    bool IsPassword() const { return Has(ES_PASSWORD) && m_passwordChar; }
    bool Wraps() const { return IsMultiLine() && !Has(ES_AUTOHSCROLL) && !Has(WS_HSCROLL); }
    bool ScrollsHorizontally() const { return !Wraps() && (IsMultiLine() || Has(ES_AUTOHSCROLL)); }
    bool ShowsSelection() const { return m_focused || Has(ES_NOHIDESEL); }
    HFONT Font() const { return m_font ? m_font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }
    RECT FormatRect() const;
    int FormatWidth() const;
    int VisibleLines() const;
    int FontMargin() const { return std::max(1, m_averageWidth / 5); }

    // ---- measuring and layout
    std::wstring DisplayText(std::wstring_view text) const;
    std::vector<int> Edges(std::wstring_view text);
    std::vector<int> LineEdges(int line);
    int LineWidth(int line);
    int LineLeft(int line);
    void Relayout();
    void FontChanged();
    POINT PositionOf(int position);
    int PositionInLine(int line, int x);
    int PositionAt(POINT point);

    // ---- scrolling
    bool ScrollCaretIntoView();
    void ClampScroll();
    void ScrollTo(int firstLine, int xOffset);
    void UpdateScrollBars();
    void SetScrollBar(int bar, int maximum, int page, int position);
    void OnScroll(int bar, WORD code);

    // ---- painting and invalidation
    HBRUSH ControlColors(HDC dc);
    void Paint(HDC dc);
    void DrawRun(HDC dc, const std::wstring& text, const std::vector<int>& edges, int from, int to, int left, int top);
    void InvalidateRange(int from, int to);
    void InvalidateFromLine(int line);
    void InvalidateSelectionChange(int oldStart, int oldEnd);
    void PlaceCaret();

    // ---- selection
    void Select(int anchor, int caret, bool scroll = true);
    void MoveCaret(int position, bool extend);
    void SelectAllByUser();
    void PublishPrimary();

    // ---- changes; every change of text ends in TextChanged
    std::wstring ApplyCase(std::wstring_view text) const;
    std::wstring TextWithSelectionReplaced(std::wstring_view text) const;
    bool FitsWithoutScrolling(const std::wstring& text);
    void Insert(std::wstring_view text, EditKind kind);
    void InsertPasted(std::wstring text);
    void TextChanged(int changeStart, bool notifyChange = true);
    void Notify(WORD code);
    bool Undo();
    void Copy();
    void Cut();
    void Clear();
    void Paste();
    void DeleteAround(bool forward, bool word);

    // ---- handlers
    LRESULT OnCreate(const CREATESTRUCTW* create);
    LRESULT OnSetText(LPCWSTR text);
    LRESULT OnGetText(int capacity, LPWSTR buffer) const;
    LRESULT OnGetDlgCode(const MSG* message) const;
    void OnSetFont(HFONT font, bool redraw);
    void OnSetFocus();
    void OnKillFocus();
    void OnKeyDown(UINT key);
    void OnChar(wchar_t character);
    void OnLButtonDown(POINT point, WPARAM keys);
    void OnMouseMove(POINT point);
    void OnLButtonDblClk(POINT point);
    void OnMButtonUp(POINT point);
    void OnContextMenu(POINT screenPoint);
    void OnAutoScrollTimer();
    void StopTracking();
    void MoveHorizontally(bool forward, bool extend, bool word);
    void MoveVertically(int lines, bool extend);
    void MoveToLineEdge(bool end, bool extend, bool wholeText);
    LRESULT OnSetSel(int start, int end);
    LRESULT OnGetSel(DWORD* start, DWORD* end) const;
    LRESULT OnReplaceSel(bool canUndo, LPCWSTR text);
    LRESULT OnGetLine(int line, LPWSTR buffer);
    LRESULT OnLineIndex(int line) const;
    LRESULT OnLineLength(int position) const;
    LRESULT OnLineFromChar(int position) const;
    LRESULT OnLineScroll(int characters, int lines);
    LRESULT OnScrollMessage(WORD code);
    LRESULT OnPosFromChar(int position);
    LRESULT OnCharFromPos(POINT point);
    LRESULT OnSetMargins(WPARAM which, LPARAM margins);
    LRESULT OnSetRect(const RECT* rect, bool redraw);
    LRESULT OnSetPasswordChar(wchar_t character);
    LRESULT OnSetReadOnly(bool readOnly);
    void OnWheel(int delta);

    HWND m_window;
    EditText m_text;
    gdi::MemoryDC m_measure; // holds the control's font
    HFONT m_font = nullptr;
    int m_lineHeight = 16;
    int m_averageWidth = 8;
    int m_leftMargin = 0;
    int m_rightMargin = 0;
    std::optional<RECT> m_formatRect; // set by EM_SETRECT; otherwise the client area less the margins
    std::vector<EditLine> m_lines { EditLine {} };
    int m_widestLine = 0;
    int m_firstLine = 0;
    int m_xOffset = 0; // pixels scrolled to the left
    wchar_t m_passwordChar = L'*';
    bool m_focused = false;
    bool m_tracking = false;
    bool m_autoScrolling = false;
    POINT m_trackPoint {};
};

// ---- geometry

RECT EditControl::FormatRect() const
{
    if (m_formatRect)
        return *m_formatRect;
    RECT rect;
    GetClientRect(m_window, &rect);
    rect.left += m_leftMargin;
    rect.right = std::max(rect.left, rect.right - m_rightMargin);
    return rect;
}

int EditControl::FormatWidth() const
{
    RECT rect = FormatRect();
    return rect.right - rect.left;
}

int EditControl::VisibleLines() const
{
    RECT rect = FormatRect();
    return std::max(1, (rect.bottom - rect.top) / m_lineHeight);
}

std::wstring EditControl::DisplayText(std::wstring_view text) const
{
    if (IsPassword())
        return std::wstring(text.size(), m_passwordChar);
    return std::wstring(text);
}

std::vector<int> EditControl::Edges(std::wstring_view text)
{
    std::wstring shown = DisplayText(text);
    std::vector<int> edges(shown.size());
    HDC dc = m_measure;
    SelectObject(dc, Font());
    int tabStop = std::max(1, m_averageWidth * kTabStopInAverageCharacters);
    int x = 0;
    for (size_t i = 0; i < shown.size();) {
        if (shown[i] == L'\t') {
            x = (x / tabStop + 1) * tabStop;
            edges[i++] = x;
            continue;
        }
        size_t runEnd = std::min(shown.find(L'\t', i), shown.size());
        SIZE size {};
        GetTextExtentExPointW(dc, shown.data() + i, static_cast<int>(runEnd - i), -1, nullptr, edges.data() + i, &size);
        for (size_t k = i; k < runEnd; ++k)
            edges[k] += x;
        x += size.cx;
        i = runEnd;
    }
    return edges;
}

std::vector<int> EditControl::LineEdges(int line)
{
    const EditLine& l = m_lines[static_cast<size_t>(line)];
    return Edges(std::wstring_view(m_text.Text()).substr(static_cast<size_t>(l.start), static_cast<size_t>(l.length)));
}

int EditControl::LineWidth(int line)
{
    std::vector<int> edges = LineEdges(line);
    return edges.empty() ? 0 : edges.back();
}

int EditControl::LineLeft(int line)
{
    RECT format = FormatRect();
    int room = format.right - format.left - LineWidth(line);
    int shift = 0;
    if (room > 0 && Has(ES_CENTER))
        shift = room / 2;
    else if (room > 0 && Has(ES_RIGHT))
        shift = room - 1; // the caret needs a column after the last character
    return format.left - m_xOffset + shift;
}

void EditControl::Relayout()
{
    if (IsMultiLine()) {
        m_lines = BreakLines(m_text.Text(), Wraps() ? std::max(1, FormatWidth()) : 0, [this](std::wstring_view text) { return Edges(text); });
    } else {
        m_lines = { EditLine { 0, m_text.Length(), 0 } };
    }
    m_widestLine = 0;
    for (int line = 0; line < static_cast<int>(m_lines.size()); ++line)
        m_widestLine = std::max(m_widestLine, LineWidth(line));
}

void EditControl::FontChanged()
{
    TEXTMETRICW metrics {};
    SelectObject(m_measure, Font());
    GetTextMetricsW(m_measure, &metrics);
    m_lineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
    m_averageWidth = std::max(1, static_cast<int>(metrics.tmAveCharWidth));
    if (m_focused) {
        DestroyCaret();
        CreateCaret(m_window, nullptr, 1, m_lineHeight);
        ShowCaret(m_window);
    }
}

POINT EditControl::PositionOf(int position)
{
    int line = LineOfPosition(m_lines, position);
    const EditLine& l = m_lines[static_cast<size_t>(line)];
    int offset = std::clamp(position - l.start, 0, l.length);
    int x = LineLeft(line);
    if (offset > 0)
        x += LineEdges(line)[static_cast<size_t>(offset - 1)];
    return { x, FormatRect().top + (line - m_firstLine) * m_lineHeight };
}

// The character boundary nearest to x on that line.
int EditControl::PositionInLine(int line, int x)
{
    const EditLine& l = m_lines[static_cast<size_t>(line)];
    std::vector<int> edges = LineEdges(line);
    int relative = x - LineLeft(line);
    for (int k = 0; k < l.length; ++k) {
        int left = k > 0 ? edges[static_cast<size_t>(k - 1)] : 0;
        if (relative < (left + edges[static_cast<size_t>(k)] + 1) / 2)
            return l.start + k;
    }
    return l.End();
}

int EditControl::PositionAt(POINT point)
{
    int line = 0;
    if (IsMultiLine()) {
        int row = point.y - FormatRect().top;
        row = row < 0 ? -1 - (-1 - row) / m_lineHeight : row / m_lineHeight;
        line = std::clamp(m_firstLine + row, 0, static_cast<int>(m_lines.size()) - 1);
    }
    return PositionInLine(line, point.x);
}

// ---- scrolling

// Brings the caret into view; true when the view moved.
bool EditControl::ScrollCaretIntoView()
{
    int firstLine = m_firstLine, xOffset = m_xOffset;
    if (IsMultiLine()) {
        int caretLine = LineOfPosition(m_lines, m_text.Caret());
        if (caretLine < firstLine)
            firstLine = caretLine;
        else if (caretLine >= firstLine + VisibleLines())
            firstLine = caretLine - VisibleLines() + 1;
    }
    if (ScrollsHorizontally()) {
        int caretX = PositionOf(m_text.Caret()).x - FormatRect().left + m_xOffset;
        int width = FormatWidth();
        if (caretX < xOffset)
            xOffset = std::max(0, caretX - width / 3); // show some of what lies to the left
        else if (caretX >= xOffset + width)
            xOffset = caretX - width + 1;
    }
    bool moved = firstLine != m_firstLine || xOffset != m_xOffset;
    m_firstLine = firstLine;
    m_xOffset = xOffset;
    ClampScroll();
    return moved;
}

// Keeps the view on the text: no blank lines scrolled in below the last line, no blank room
// right of the widest line once it has been scrolled.
void EditControl::ClampScroll()
{
    int lastFirst = std::max(0, static_cast<int>(m_lines.size()) - VisibleLines());
    m_firstLine = IsMultiLine() ? std::clamp(m_firstLine, 0, lastFirst) : 0;
    int lastOffset = std::max(0, m_widestLine - FormatWidth() + 1);
    m_xOffset = ScrollsHorizontally() ? std::clamp(m_xOffset, 0, lastOffset) : 0;
}

void EditControl::ScrollTo(int firstLine, int xOffset)
{
    int oldFirst = m_firstLine, oldOffset = m_xOffset;
    m_firstLine = firstLine;
    m_xOffset = xOffset;
    ClampScroll();
    if (m_firstLine == oldFirst && m_xOffset == oldOffset)
        return;
    InvalidateRect(m_window, nullptr, FALSE);
    UpdateScrollBars();
    PlaceCaret();
}

void EditControl::UpdateScrollBars()
{
    if (!IsMultiLine())
        return;
    if (Has(WS_VSCROLL))
        SetScrollBar(SB_VERT, static_cast<int>(m_lines.size()) - 1, VisibleLines(), m_firstLine);
    if (Has(WS_HSCROLL))
        SetScrollBar(SB_HORZ, std::max(m_widestLine, FormatWidth()) - 1, FormatWidth(), m_xOffset);
}

// A bar that changed is drawn with the next WM_PAINT, after the parent's, rather than at once.
void EditControl::SetScrollBar(int bar, int maximum, int page, int position)
{
    SCROLLINFO old { sizeof old, SIF_RANGE | SIF_PAGE | SIF_POS };
    GetScrollInfo(m_window, bar, &old);
    if (old.nMin == 0 && old.nMax == maximum && static_cast<int>(old.nPage) == page && old.nPos == position)
        return;
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, maximum, static_cast<UINT>(page), position, 0 };
    SetScrollInfo(m_window, bar, &info, FALSE);
    RedrawWindow(m_window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void EditControl::OnScroll(int bar, WORD code)
{
    bool vertical = bar == SB_VERT;
    int line = vertical ? 1 : m_averageWidth;
    int page = vertical ? std::max(1, VisibleLines() - 1) : std::max(1, FormatWidth() - m_averageWidth);
    int position = vertical ? m_firstLine : m_xOffset;
    SCROLLINFO info { sizeof info, SIF_TRACKPOS };
    switch (code) {
    case SB_LINEUP: position -= line; break;
    case SB_LINEDOWN: position += line; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = INT_MAX / 2; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        GetScrollInfo(m_window, bar, &info);
        position = info.nTrackPos;
        break;
    default: return;
    }
    Notify(vertical ? EN_VSCROLL : EN_HSCROLL);
    if (doomed)
        return;
    ScrollTo(vertical ? position : m_firstLine, vertical ? m_xOffset : position);
}

// ---- painting

// The parent picks the colours: WM_CTLCOLORSTATIC for a read-only or disabled edit,
// WM_CTLCOLOREDIT otherwise.
HBRUSH EditControl::ControlColors(HDC dc)
{
    return ParentColours(m_window, IsReadOnly() || !IsWindowEnabled(m_window) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, dc);
}

void EditControl::Paint(HDC dc)
{
    HGDIOBJ oldFont = SelectObject(dc, Font());
    HBRUSH background = ControlColors(dc);
    if (doomed)
        return;
    if (!IsWindowEnabled(m_window))
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    RECT client;
    GetClientRect(m_window, &client);
    FillRect(dc, &client, background);
    SetBkMode(dc, TRANSPARENT);
    COLORREF textColor = GetTextColor(dc);
    RECT format = FormatRect();
    int saved = SaveDC(dc);
    IntersectClipRect(dc, format.left, format.top, format.right, format.bottom);
    int selectionStart = ShowsSelection() ? m_text.SelectionStart() : 0;
    int selectionEnd = ShowsSelection() ? m_text.SelectionEnd() : 0;
    int lastLine = std::min(static_cast<int>(m_lines.size()), m_firstLine + VisibleLines() + 1);
    for (int line = m_firstLine; line < lastLine; ++line) {
        const EditLine& l = m_lines[static_cast<size_t>(line)];
        std::wstring shown = DisplayText(std::wstring_view(m_text.Text()).substr(static_cast<size_t>(l.start), static_cast<size_t>(l.length)));
        std::vector<int> edges = LineEdges(line);
        int left = LineLeft(line);
        int top = format.top + (line - m_firstLine) * m_lineHeight;
        int from = std::clamp(selectionStart - l.start, 0, l.length);
        int to = std::clamp(selectionEnd - l.start, 0, l.length);
        SetTextColor(dc, textColor);
        DrawRun(dc, shown, edges, 0, from, left, top);
        DrawRun(dc, shown, edges, to, l.length, left, top);
        if (from < to) {
            RECT highlight { left + (from > 0 ? edges[static_cast<size_t>(from - 1)] : 0), top, left + edges[static_cast<size_t>(to - 1)], top + m_lineHeight };
            FillRect(dc, &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            DrawRun(dc, shown, edges, from, to, left, top);
        }
    }
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
}

// Draws characters [from, to) of a line, tab by tab.
void EditControl::DrawRun(HDC dc, const std::wstring& text, const std::vector<int>& edges, int from, int to, int left, int top)
{
    while (from < to) {
        if (text[static_cast<size_t>(from)] == L'\t') {
            ++from;
            continue;
        }
        int runEnd = from;
        while (runEnd < to && text[static_cast<size_t>(runEnd)] != L'\t')
            ++runEnd;
        int x = left + (from > 0 ? edges[static_cast<size_t>(from - 1)] : 0);
        TextOutW(dc, x, top, text.data() + from, runEnd - from);
        from = runEnd;
    }
}

void EditControl::InvalidateRange(int from, int to)
{
    if (from == to)
        return;
    POINT a = PositionOf(std::min(from, to));
    POINT b = PositionOf(std::max(from, to));
    RECT client;
    GetClientRect(m_window, &client);
    RECT area = a.y == b.y ? RECT { a.x, a.y, b.x + 1, a.y + m_lineHeight } : RECT { client.left, a.y, client.right, b.y + m_lineHeight };
    InvalidateRect(m_window, &area, FALSE);
}

void EditControl::InvalidateFromLine(int line)
{
    RECT client;
    GetClientRect(m_window, &client);
    client.top = std::max(client.top, FormatRect().top + (line - m_firstLine) * m_lineHeight);
    InvalidateRect(m_window, &client, FALSE);
}

void EditControl::InvalidateSelectionChange(int oldStart, int oldEnd)
{
    if (!ShowsSelection())
        return;
    int newStart = m_text.SelectionStart(), newEnd = m_text.SelectionEnd();
    if (oldStart == oldEnd || newStart == newEnd) {
        InvalidateRange(oldStart, oldEnd);
        InvalidateRange(newStart, newEnd);
        return;
    }
    InvalidateRange(oldStart, newStart);
    InvalidateRange(oldEnd, newEnd);
}

void EditControl::PlaceCaret()
{
    if (!m_focused)
        return;
    POINT caret = PositionOf(m_text.Caret());
    SetCaretPos(caret.x, caret.y);
}

// ---- selection

void EditControl::Select(int anchor, int caret, bool scroll)
{
    int oldStart = m_text.SelectionStart(), oldEnd = m_text.SelectionEnd();
    m_text.SetSelection(anchor, caret);
    if (scroll && ScrollCaretIntoView()) {
        InvalidateRect(m_window, nullptr, FALSE);
        UpdateScrollBars();
    } else {
        InvalidateSelectionChange(oldStart, oldEnd);
    }
    PlaceCaret();
}

void EditControl::MoveCaret(int position, bool extend)
{
    Select(extend ? m_text.Anchor() : position, position);
    if (extend)
        PublishPrimary();
}

void EditControl::SelectAllByUser()
{
    Select(0, m_text.Length());
    PublishPrimary();
}

// What the user selects becomes the X PRIMARY selection; a password never does.
void EditControl::PublishPrimary()
{
    if (m_text.HasSelection() && !Has(ES_PASSWORD))
        SetPrimarySelectionText(m_text.SelectedText());
}

// ---- changes

std::wstring EditControl::ApplyCase(std::wstring_view text) const
{
    std::wstring result(text);
    if (Has(ES_UPPERCASE))
        std::transform(result.begin(), result.end(), result.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    else if (Has(ES_LOWERCASE))
        std::transform(result.begin(), result.end(), result.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return result;
}

std::wstring EditControl::TextWithSelectionReplaced(std::wstring_view text) const
{
    std::wstring result = m_text.Text();
    result.replace(static_cast<size_t>(m_text.SelectionStart()), static_cast<size_t>(m_text.SelectionEnd() - m_text.SelectionStart()), text);
    return result;
}

// Without automatic scrolling an edit holds only what it can show: a single line no wider than
// the format rectangle, or no more lines than fit in it.
bool EditControl::FitsWithoutScrolling(const std::wstring& text)
{
    if (IsMultiLine()) {
        if (Has(ES_AUTOVSCROLL) || Has(WS_VSCROLL))
            return true;
        auto lines = BreakLines(text, Wraps() ? std::max(1, FormatWidth()) : 0, [this](std::wstring_view t) { return Edges(t); });
        return static_cast<int>(lines.size()) <= VisibleLines();
    }
    if (Has(ES_AUTOHSCROLL))
        return true;
    std::vector<int> edges = Edges(text);
    return edges.empty() || edges.back() < FormatWidth();
}

void EditControl::Insert(std::wstring_view inserted, EditKind kind)
{
    std::wstring text = ApplyCase(inserted);
    bool cutShort = false;
    if (!text.empty() && !FitsWithoutScrolling(TextWithSelectionReplaced(text))) {
        size_t low = 0, high = text.size(); // the longest prefix that fits: low fits, high does not
        while (high - low > 1) {
            size_t middle = (low + high) / 2;
            (FitsWithoutScrolling(TextWithSelectionReplaced(std::wstring_view(text).substr(0, middle))) ? low : high) = middle;
        }
        if (low > 0 && text[low - 1] == L'\r' && low < text.size() && text[low] == L'\n')
            --low;
        cutShort = true;
        text.resize(low);
    }
    int changeStart = m_text.SelectionStart();
    EditText::ReplaceResult result { false, false };
    if (!(cutShort && text.empty()))
        result = m_text.ReplaceSelection(text, kind);
    if (cutShort || result.truncated) {
        Notify(EN_MAXTEXT);
        if (doomed)
            return;
    }
    if (result.changed)
        TextChanged(changeStart);
}

// Pasted text keeps to the control's lines: a single-line edit takes the first line only, a
// multi-line edit turns every kind of line end into CR LF.
void EditControl::InsertPasted(std::wstring text)
{
    if (!IsMultiLine()) {
        text.resize(std::min(text.find_first_of(L"\r\n"), text.size()));
    } else {
        std::wstring normalised;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                continue;
            if (text[i] == L'\r' || text[i] == L'\n')
                normalised += L"\r\n";
            else
                normalised += text[i];
        }
        text = std::move(normalised);
    }
    Insert(text, EditKind::Other);
}

// The one place a change of text reaches the screen and the parent: EN_UPDATE once the text is
// laid out, then the repaint, then EN_CHANGE.
void EditControl::TextChanged(int changeStart, bool notifyChange)
{
    Relayout();
    int firstChanged = LineOfPosition(m_lines, changeStart);
    bool scrolled = ScrollCaretIntoView();
    UpdateScrollBars();
    Notify(EN_UPDATE);
    if (doomed)
        return;
    // Rewrapping can pull a word back onto the line above the change.
    InvalidateFromLine(scrolled ? m_firstLine : std::max(firstChanged - 1, m_firstLine));
    UpdateWindow(m_window);
    PlaceCaret();
    if (notifyChange && !doomed)
        Notify(EN_CHANGE);
}

void EditControl::Notify(WORD code)
{
    if (GetParent(m_window))
        NotifyParent(m_window, code);
}

bool EditControl::Undo()
{
    int changeStart = m_text.SelectionStart();
    if (!m_text.Undo())
        return false;
    TextChanged(std::min(changeStart, m_text.SelectionStart()));
    return true;
}

void EditControl::Copy()
{
    if (!m_text.HasSelection() || Has(ES_PASSWORD) || !OpenClipboard(m_window))
        return;
    std::wstring text = m_text.SelectedText();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

void EditControl::Cut()
{
    if (IsReadOnly() || Has(ES_PASSWORD) || !m_text.HasSelection())
        return;
    Copy();
    Clear();
}

void EditControl::Clear()
{
    if (!IsReadOnly() && m_text.HasSelection())
        Insert(L"", EditKind::Other);
}

void EditControl::Paste()
{
    if (IsReadOnly() || !OpenClipboard(m_window))
        return;
    std::wstring text;
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
        auto* characters = static_cast<const wchar_t*>(GlobalLock(memory));
        size_t capacity = GlobalSize(memory) / sizeof(wchar_t);
        text.assign(characters, std::find(characters, characters + capacity, L'\0'));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    if (!text.empty())
        InsertPasted(std::move(text));
}

// Backspace and Delete, with Ctrl a whole word; a selection goes first.
void EditControl::DeleteAround(bool forward, bool word)
{
    if (IsReadOnly()) {
        MessageBeep(0);
        return;
    }
    if (!m_text.HasSelection()) {
        int caret = m_text.Caret();
        int other = forward ? (word ? m_text.WordRight(caret) : m_text.CharacterRight(caret))
                            : (word ? m_text.WordLeft(caret) : m_text.CharacterLeft(caret));
        if (other == caret)
            return;
        m_text.SetSelection(caret, other);
    }
    Insert(L"", forward ? EditKind::Delete : EditKind::Backspace);
}

// ---- handlers

LRESULT EditControl::OnCreate(const CREATESTRUCTW* create)
{
    FontChanged();
    if (create && create->lpszName && !IS_INTRESOURCE(create->lpszName))
        m_text.SetText(ApplyCase(create->lpszName));
    Relayout();
    UpdateScrollBars();
    return 0;
}

// WM_SETTEXT starts afresh: caret at the start, no undo, unmodified. A multi-line edit tells its
// parent of the update but not of a change.
LRESULT EditControl::OnSetText(LPCWSTR text)
{
    m_text.SetText(ApplyCase(text ? text : L""));
    m_firstLine = 0;
    m_xOffset = 0;
    TextChanged(0, !IsMultiLine());
    return TRUE;
}

LRESULT EditControl::OnGetText(int capacity, LPWSTR buffer) const
{
    if (!buffer || capacity <= 0)
        return 0;
    int count = std::min(capacity - 1, m_text.Length());
    std::copy_n(m_text.Text().begin(), count, buffer);
    buffer[count] = 0;
    return count;
}

// Every edit wants characters and arrows. A multi-line edit wants all keys too, except Tab and
// Escape, and Enter unless ES_WANTRETURN: those stay with the dialog.
LRESULT EditControl::OnGetDlgCode(const MSG* message) const
{
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (!IsMultiLine())
        return code;
    code |= DLGC_WANTALLKEYS;
    if (message && message->message == WM_KEYDOWN) {
        bool dialogKey = message->wParam == VK_TAB || message->wParam == VK_ESCAPE || (message->wParam == VK_RETURN && !Has(ES_WANTRETURN));
        if (dialogKey)
            code &= ~DLGC_WANTALLKEYS;
    }
    return code;
}

// A new font resets both margins to the font's own.
void EditControl::OnSetFont(HFONT font, bool redraw)
{
    m_font = font;
    FontChanged();
    m_leftMargin = m_rightMargin = FontMargin();
    Relayout();
    ClampScroll();
    UpdateScrollBars();
    PlaceCaret();
    if (redraw)
        InvalidateRect(m_window, nullptr, FALSE);
}

void EditControl::OnSetFocus()
{
    m_focused = true;
    CreateCaret(m_window, nullptr, 1, m_lineHeight);
    PlaceCaret();
    ShowCaret(m_window);
    if (!Has(ES_NOHIDESEL))
        InvalidateRange(m_text.SelectionStart(), m_text.SelectionEnd());
    Notify(EN_SETFOCUS);
}

void EditControl::OnKillFocus()
{
    StopTracking();
    m_focused = false;
    DestroyCaret();
    if (!Has(ES_NOHIDESEL))
        InvalidateRange(m_text.SelectionStart(), m_text.SelectionEnd());
    Notify(EN_KILLFOCUS);
}

void EditControl::OnKeyDown(UINT key)
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_LEFT: MoveHorizontally(false, shift, control); break;
    case VK_RIGHT: MoveHorizontally(true, shift, control); break;
    case VK_UP: IsMultiLine() ? MoveVertically(-1, shift) : MoveHorizontally(false, shift, control); break;
    case VK_DOWN: IsMultiLine() ? MoveVertically(1, shift) : MoveHorizontally(true, shift, control); break;
    case VK_PRIOR: if (IsMultiLine()) MoveVertically(-VisibleLines(), shift); break;
    case VK_NEXT: if (IsMultiLine()) MoveVertically(VisibleLines(), shift); break;
    case VK_HOME: MoveToLineEdge(false, shift, control); break;
    case VK_END: MoveToLineEdge(true, shift, control); break;
    case VK_DELETE: shift ? Cut() : DeleteAround(true, control); break;
    case VK_INSERT: if (shift) Paste(); else if (control) Copy(); break;
    }
}

void EditControl::OnChar(wchar_t character)
{
    switch (character) {
    case 0x01: SelectAllByUser(); return;     // Ctrl+A
    case 0x03: Copy(); return;                // Ctrl+C
    case 0x16: Paste(); return;               // Ctrl+V
    case 0x18: Cut(); return;                 // Ctrl+X
    case 0x1A: if (!IsReadOnly()) Undo(); return; // Ctrl+Z
    case 0x08: DeleteAround(false, false); return;
    case 0x7F: DeleteAround(false, true); return; // Ctrl+Backspace
    case L'\r':
    case L'\t':
        if (IsMultiLine() && !IsReadOnly())
            Insert(character == L'\r' ? L"\r\n" : L"\t", EditKind::Typing);
        return;
    }
    if (character < 0x20)
        return;
    if (IsReadOnly() || (Has(ES_NUMBER) && !std::iswdigit(character))) {
        MessageBeep(0);
        return;
    }
    Insert(std::wstring_view(&character, 1), EditKind::Typing);
}

void EditControl::MoveHorizontally(bool forward, bool extend, bool word)
{
    if (m_text.HasSelection() && !extend && !word) {
        int edge = forward ? m_text.SelectionEnd() : m_text.SelectionStart();
        Select(edge, edge);
        return;
    }
    int caret = m_text.Caret();
    int target = forward ? (word ? m_text.WordRight(caret) : m_text.CharacterRight(caret))
                         : (word ? m_text.WordLeft(caret) : m_text.CharacterLeft(caret));
    MoveCaret(target, extend);
}

void EditControl::MoveVertically(int lines, bool extend)
{
    int line = LineOfPosition(m_lines, m_text.Caret());
    int target = std::clamp(line + lines, 0, static_cast<int>(m_lines.size()) - 1);
    if (std::abs(lines) > 1)
        ScrollTo(m_firstLine + (target - line), m_xOffset); // a page key turns the page too
    MoveCaret(PositionInLine(target, PositionOf(m_text.Caret()).x), extend);
}

void EditControl::MoveToLineEdge(bool end, bool extend, bool wholeText)
{
    if (wholeText || !IsMultiLine()) {
        MoveCaret(end ? m_text.Length() : 0, extend);
        return;
    }
    const EditLine& line = m_lines[static_cast<size_t>(LineOfPosition(m_lines, m_text.Caret()))];
    MoveCaret(end ? line.End() : line.start, extend);
}

void EditControl::OnLButtonDown(POINT point, WPARAM keys)
{
    if (!m_focused)
        SetFocus(m_window);
    if (doomed)
        return;
    MoveCaret(PositionAt(point), (keys & MK_SHIFT) != 0);
    SetCapture(m_window);
    m_tracking = true;
    m_trackPoint = point;
}

// While the button is held the selection follows the pointer inside the text; outside it, the
// auto-scroll timer moves the text under the pointer.
void EditControl::OnMouseMove(POINT point)
{
    if (!m_tracking)
        return;
    m_trackPoint = point;
    RECT format = FormatRect();
    bool outside = !PtInRect(&format, point);
    POINT inside { std::clamp(point.x, format.left, std::max(format.left, format.right - 1)),
        std::clamp(point.y, format.top, std::max(format.top, format.bottom - 1)) };
    Select(m_text.Anchor(), PositionAt(inside), false);
    if (outside && !m_autoScrolling)
        SetTimer(m_window, kAutoScrollTimer, kAutoScrollInterval, nullptr);
    else if (!outside && m_autoScrolling)
        KillTimer(m_window, kAutoScrollTimer);
    m_autoScrolling = outside;
}

void EditControl::OnAutoScrollTimer()
{
    RECT format = FormatRect();
    POINT point = m_trackPoint;
    int dx = point.x < format.left ? -1 : point.x >= format.right ? 1 : 0;
    int dy = point.y < format.top ? -1 : point.y >= format.bottom ? 1 : 0;
    ScrollTo(m_firstLine + (IsMultiLine() ? dy : 0), m_xOffset + dx * m_averageWidth);
    POINT inside { std::clamp(point.x, format.left, std::max(format.left, format.right - 1)),
        std::clamp(point.y, format.top, std::max(format.top, format.bottom - 1)) };
    Select(m_text.Anchor(), PositionAt(inside), false);
}

void EditControl::StopTracking()
{
    if (m_autoScrolling)
        KillTimer(m_window, kAutoScrollTimer);
    m_autoScrolling = false;
    if (!std::exchange(m_tracking, false))
        return;
    PublishPrimary();
    if (GetCapture() == m_window)
        ReleaseCapture();
}

void EditControl::OnLButtonDblClk(POINT point)
{
    auto [start, end] = Has(ES_PASSWORD) ? std::pair { 0, m_text.Length() } : m_text.WordAt(PositionAt(point));
    Select(start, end);
    PublishPrimary();
}

// A middle click pastes the PRIMARY selection where it points, as X programs do.
void EditControl::OnMButtonUp(POINT point)
{
    if (IsReadOnly())
        return;
    std::wstring text = GetPrimarySelectionText();
    if (!m_focused)
        SetFocus(m_window);
    if (doomed)
        return;
    int position = PositionAt(point);
    Select(position, position);
    if (!text.empty())
        InsertPasted(std::move(text));
}

void EditControl::OnContextMenu(POINT screenPoint)
{
    if (!m_focused)
        SetFocus(m_window);
    if (doomed)
        return;
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        // From the keyboard: the menu opens at the caret.
        screenPoint = PositionOf(m_text.Caret());
        screenPoint.y += m_lineHeight;
        ClientToScreen(m_window, &screenPoint);
    }
    bool selection = m_text.HasSelection(), readOnly = IsReadOnly(), password = Has(ES_PASSWORD);
    auto state = [](bool enabled) { return enabled ? MF_STRING : MF_STRING | MF_GRAYED; };
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, state(m_text.CanUndo() && !readOnly), WM_UNDO, L"&Undo");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, state(selection && !readOnly && !password), WM_CUT, L"Cu&t");
    AppendMenuW(menu, state(selection && !password), WM_COPY, L"&Copy");
    AppendMenuW(menu, state(!readOnly && IsClipboardFormatAvailable(CF_UNICODETEXT)), WM_PASTE, L"&Paste");
    AppendMenuW(menu, state(selection && !readOnly), WM_CLEAR, L"&Delete");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    bool allSelected = m_text.SelectionStart() == 0 && m_text.SelectionEnd() == m_text.Length();
    AppendMenuW(menu, state(!allSelected), kSelectAllCommand, L"Select &All");
    UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, m_window, nullptr));
    DestroyMenu(menu);
    if (doomed || !command)
        return;
    if (command == kSelectAllCommand)
        SelectAllByUser();
    else
        SendMessageW(m_window, command, 0, 0);
}

void EditControl::OnWheel(int delta)
{
    UINT linesPerNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    int lines = -delta * static_cast<int>(linesPerNotch) / WHEEL_DELTA;
    if (lines == 0)
        return;
    Notify(EN_VSCROLL);
    if (!doomed)
        ScrollTo(m_firstLine + lines, m_xOffset);
}

// Start -1 removes the selection; an end below zero means the end of the text. The caret goes
// to the end given; a single-line edit scrolls it into view.
LRESULT EditControl::OnSetSel(int start, int end)
{
    if (start == -1) {
        Select(m_text.Caret(), m_text.Caret(), false);
        return 0;
    }
    if (end < 0)
        end = m_text.Length();
    if (start < 0)
        start = m_text.Length();
    Select(start, end, !IsMultiLine());
    return 0;
}

LRESULT EditControl::OnGetSel(DWORD* start, DWORD* end) const
{
    auto first = static_cast<DWORD>(m_text.SelectionStart()), last = static_cast<DWORD>(m_text.SelectionEnd());
    if (start)
        *start = first;
    if (end)
        *end = last;
    if (first > 0xFFFF || last > 0xFFFF)
        return -1;
    return MAKELRESULT(static_cast<WORD>(first), static_cast<WORD>(last));
}

LRESULT EditControl::OnReplaceSel(bool canUndo, LPCWSTR text)
{
    if (!text)
        return 0; // no text is no request, not a request to delete
    Insert(text, EditKind::Other);
    if (!canUndo)
        m_text.EmptyUndo();
    return 0;
}

// The buffer's first WORD gives its size in characters; the line is copied without a null.
LRESULT EditControl::OnGetLine(int line, LPWSTR buffer)
{
    if (!buffer)
        return 0;
    WORD capacity;
    std::memcpy(&capacity, buffer, sizeof capacity);
    if (!IsMultiLine())
        line = 0;
    if (line < 0 || line >= static_cast<int>(m_lines.size()))
        return 0;
    const EditLine& l = m_lines[static_cast<size_t>(line)];
    int count = std::min(static_cast<int>(capacity), l.length);
    std::copy_n(m_text.Text().begin() + l.start, count, buffer);
    return count;
}

LRESULT EditControl::OnLineIndex(int line) const
{
    if (line == -1)
        line = LineOfPosition(m_lines, m_text.Caret());
    if (line < 0 || line >= static_cast<int>(m_lines.size()))
        return -1;
    return m_lines[static_cast<size_t>(line)].start;
}

// For -1: the characters on the selection's lines that are not selected.
LRESULT EditControl::OnLineLength(int position) const
{
    if (position == -1) {
        const EditLine& first = m_lines[static_cast<size_t>(LineOfPosition(m_lines, m_text.SelectionStart()))];
        const EditLine& last = m_lines[static_cast<size_t>(LineOfPosition(m_lines, m_text.SelectionEnd()))];
        return (m_text.SelectionStart() - first.start) + std::max(0, last.End() - m_text.SelectionEnd());
    }
    return m_lines[static_cast<size_t>(LineOfPosition(m_lines, m_text.ClampPosition(position)))].length;
}

LRESULT EditControl::OnLineFromChar(int position) const
{
    if (position == -1)
        position = m_text.SelectionStart();
    return LineOfPosition(m_lines, m_text.ClampPosition(position));
}

LRESULT EditControl::OnLineScroll(int characters, int lines)
{
    if (!IsMultiLine())
        return FALSE;
    ScrollTo(m_firstLine + lines, m_xOffset + characters * m_averageWidth);
    return TRUE;
}

LRESULT EditControl::OnScrollMessage(WORD code)
{
    if (!IsMultiLine())
        return FALSE;
    int before = m_firstLine;
    int page = std::max(1, VisibleLines() - 1);
    switch (code) {
    case SB_LINEUP: ScrollTo(m_firstLine - 1, m_xOffset); break;
    case SB_LINEDOWN: ScrollTo(m_firstLine + 1, m_xOffset); break;
    case SB_PAGEUP: ScrollTo(m_firstLine - page, m_xOffset); break;
    case SB_PAGEDOWN: ScrollTo(m_firstLine + page, m_xOffset); break;
    default: return FALSE;
    }
    return MAKELRESULT(static_cast<WORD>(m_firstLine - before), TRUE);
}

// -1 past the end of the text; the end itself is the point after the last character.
LRESULT EditControl::OnPosFromChar(int position)
{
    if (position < 0 || position > m_text.Length())
        return -1;
    POINT point = PositionOf(position);
    return MAKELRESULT(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}

LRESULT EditControl::OnCharFromPos(POINT point)
{
    int position = PositionAt(point);
    return MAKELRESULT(static_cast<WORD>(position), static_cast<WORD>(LineOfPosition(m_lines, position)));
}

LRESULT EditControl::OnSetMargins(WPARAM which, LPARAM margins)
{
    auto pick = [this](WORD value) { return value == EC_USEFONTINFO ? FontMargin() : static_cast<int>(value); };
    if (which & EC_LEFTMARGIN)
        m_leftMargin = pick(LOWORD(margins));
    if (which & EC_RIGHTMARGIN)
        m_rightMargin = pick(HIWORD(margins));
    Relayout();
    ClampScroll();
    UpdateScrollBars();
    PlaceCaret();
    InvalidateRect(m_window, nullptr, FALSE);
    return 0;
}

LRESULT EditControl::OnSetRect(const RECT* rect, bool redraw)
{
    m_formatRect.reset();
    if (rect) {
        RECT normalised = *rect;
        normalised.right = std::max(normalised.left, normalised.right);
        normalised.bottom = std::max(normalised.top, normalised.bottom);
        m_formatRect = normalised;
    }
    Relayout();
    ClampScroll();
    UpdateScrollBars();
    PlaceCaret();
    if (redraw)
        InvalidateRect(m_window, nullptr, FALSE);
    return 0;
}

LRESULT EditControl::OnSetPasswordChar(wchar_t character)
{
    m_passwordChar = character;
    DWORD style = Style();
    SetWindowLongW(m_window, GWL_STYLE, static_cast<LONG>(character ? style | ES_PASSWORD : style & ~ES_PASSWORD));
    Relayout();
    ClampScroll();
    PlaceCaret();
    InvalidateRect(m_window, nullptr, FALSE);
    return 0;
}

LRESULT EditControl::OnSetReadOnly(bool readOnly)
{
    DWORD style = Style();
    SetWindowLongW(m_window, GWL_STYLE, static_cast<LONG>(readOnly ? style | ES_READONLY : style & ~ES_READONLY));
    InvalidateRect(m_window, nullptr, FALSE);
    return TRUE;
}

POINT PointFrom(LPARAM lParam) { return { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }; }

LRESULT EditControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate(reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_SETTEXT: return OnSetText(reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT: return OnGetText(static_cast<int>(wParam), reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH: return m_text.Length();
    case WM_SETFONT: OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_font);
    case WM_GETDLGCODE: return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_ERASEBKGND: return 1; // WM_PAINT fills the background with the parent's brush
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(m_window, &paint);
        Paint(dc);
        if (!wParam)
            EndPaint(m_window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_SIZE:
        Relayout();
        ScrollCaretIntoView();
        UpdateScrollBars();
        PlaceCaret();
        InvalidateRect(m_window, nullptr, FALSE);
        return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED:
        Relayout();
        InvalidateRect(m_window, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam));
        return DefWindowProcW(m_window, message, wParam, lParam); // F1 and the other keys the system answers
    case WM_CHAR: OnChar(static_cast<wchar_t>(wParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(PointFrom(lParam), wParam); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(PointFrom(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(PointFrom(lParam)); return 0;
    case WM_LBUTTONUP: StopTracking(); return 0;
    case WM_CAPTURECHANGED: StopTracking(); return 0;
    case WM_MBUTTONUP: OnMButtonUp(PointFrom(lParam)); return 0;
    case WM_RBUTTONDOWN: if (!m_focused) SetFocus(m_window); return 0;
    case WM_CONTEXTMENU: OnContextMenu(PointFrom(lParam)); return 0;
    case WM_TIMER: if (wParam == kAutoScrollTimer) OnAutoScrollTimer(); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL:
        if (!IsMultiLine())
            break;
        OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case WM_UNDO:
    case EM_UNDO: return Undo() || !IsMultiLine();
    case EM_CANUNDO: return m_text.CanUndo();
    case EM_EMPTYUNDOBUFFER: m_text.EmptyUndo(); return 0;
    case EM_GETSEL: return OnGetSel(reinterpret_cast<DWORD*>(wParam), reinterpret_cast<DWORD*>(lParam));
    case EM_SETSEL: return OnSetSel(static_cast<int>(wParam), static_cast<int>(lParam));
    case EM_REPLACESEL: return OnReplaceSel(wParam != 0, reinterpret_cast<LPCWSTR>(lParam));
    case EM_SCROLLCARET:
        if (ScrollCaretIntoView()) {
            InvalidateRect(m_window, nullptr, FALSE);
            UpdateScrollBars();
            PlaceCaret();
        }
        return TRUE;
    case EM_GETMODIFY: return m_text.Modified();
    case EM_SETMODIFY: m_text.SetModified(wParam != 0); return 0;
    case EM_GETLINECOUNT: return static_cast<LRESULT>(m_lines.size());
    case EM_LINEINDEX: return OnLineIndex(static_cast<int>(wParam));
    case EM_LINELENGTH: return OnLineLength(static_cast<int>(wParam));
    case EM_GETLINE: return OnGetLine(static_cast<int>(wParam), reinterpret_cast<LPWSTR>(lParam));
    case EM_LINEFROMCHAR: return OnLineFromChar(static_cast<int>(wParam));
    case EM_GETFIRSTVISIBLELINE: return IsMultiLine() ? m_firstLine : PositionInLine(0, FormatRect().left);
    case EM_LINESCROLL: return OnLineScroll(static_cast<int>(wParam), static_cast<int>(lParam));
    case EM_SCROLL: return OnScrollMessage(LOWORD(wParam));
    case EM_POSFROMCHAR: return OnPosFromChar(static_cast<int>(wParam));
    case EM_CHARFROMPOS: return OnCharFromPos(PointFrom(lParam));
    case EM_SETMARGINS: return OnSetMargins(wParam, lParam);
    case EM_GETMARGINS: return MAKELRESULT(static_cast<WORD>(m_leftMargin), static_cast<WORD>(m_rightMargin));
    case EM_SETLIMITTEXT: m_text.SetLimit(static_cast<int>(std::min<WPARAM>(wParam, EditText::kMaximumLimit))); return 0;
    case EM_GETLIMITTEXT: return m_text.Limit();
    case EM_SETREADONLY: return OnSetReadOnly(wParam != 0);
    case EM_SETPASSWORDCHAR: return OnSetPasswordChar(static_cast<wchar_t>(wParam));
    case EM_GETPASSWORDCHAR: return Has(ES_PASSWORD) ? m_passwordChar : 0;
    case EM_SETRECT: return OnSetRect(reinterpret_cast<const RECT*>(lParam), true);
    case EM_SETRECTNP: return OnSetRect(reinterpret_cast<const RECT*>(lParam), false);
    case EM_GETRECT:
        if (auto* rect = reinterpret_cast<RECT*>(lParam))
            *rect = FormatRect();
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

// A parent may destroy the edit while the edit tells it of a change: the object then lives on
// until the outermost of its messages returns.
LRESULT EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(new EditControl(window)));
    EditControl* edit = ControlState<EditControl>::Of(window);
    if (!edit)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, 0, 0);
        edit->doomed = true;
        if (edit->depth == 0)
            delete edit;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ++edit->depth;
    LRESULT result = edit->Dispatch(message, wParam, lParam);
    if (--edit->depth == 0 && edit->doomed)
        delete edit;
    return result;
}

} // namespace

ATOM RegisterEditClass()
{
    return RegisterControlClass(L"Edit", EditProcedure, ControlState<EditControl>::kExtraBytes, CS_DBLCLKS, IDC_IBEAM);
}

} // namespace fln::user
