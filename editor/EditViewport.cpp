#include "editor/EditViewport.h"

#include "editor/EditController.h"
#include "framework/MemDC.h"
#include "editor/EditResource.h"
#include "platform/gdi/SysColors.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>
#include <climits>
#include <vector>

using namespace divuzura::foundation;

namespace {

// How far left of the clip a line's drawing starts, for the glyphs that overhang their cell.
constexpr int OverhangMargin = 32;

// The part of [start, end) that lies in [from, to).
bool Overlap(int start, int end, int from, int to)
{
    return start < to && from < end;
}

} // namespace

bool SECEditViewport::EditObserver::QueryGuid(GUID_REF guid, void** object)
{
    if (&guid == &IID_IObserver) {
        *object = static_cast<IObserver*>(this);
        return true;
    }
    return false;
}

SECEditViewport::SECEditViewport() = default;

SECEditViewport::~SECEditViewport()
{
    AttachEdit(nullptr);
}

BOOL SECEditViewport::Create(CWnd* host, const CRect& bounds)
{
    if (!MvcViewport::Create(host, bounds))
        return FALSE;
    if (!m_pController)
        m_pController = std::make_unique<SECEditController>();
    m_pController->Initialize(this, m_pEdit);
    return TRUE;
}

void SECEditViewport::AttachEdit(SECEdit* edit)
{
    if (edit == m_pEdit)
        return;
    if (m_pEdit)
        m_pEdit->RemoveObserver(&m_observer);
    m_pEdit = edit;
    if (m_pEdit)
        m_pEdit->AddObserver(&m_observer);
    if (m_pController && GetSafeHwnd())
        m_pController->Initialize(this, m_pEdit);
    InvalidateAll();
    ScrollRangeChanged();
}

ISECEditPresentationState* SECEditViewport::GetPresentationState() const
{
    return m_pController.get();
}

int SECEditViewport::GetLineHeight() const
{
    const SECEditFontInfo* font = GetFontInfo();
    return font ? font->m_nLineHeight : 0;
}

int SECEditViewport::GetCharWidth() const
{
    const SECEditFontInfo* font = GetFontInfo();
    return font ? font->m_nAveCharWidth : 0;
}

int SECEditViewport::GetGutterWidth() const
{
    const ISECEditPresentationState* state = GetPresentationState();
    return state ? state->GetGutterWidth() : 0;
}

CSize SECEditViewport::GetLogExtent() const
{
    if (!m_pEdit || !GetFontInfo())
        return { 0, 0 };
    // Pixels are ints: a text wider or taller than they reach is shown as far as they do.
    const auto pixels = [](long long count, int size) { return static_cast<int>(std::min<long long>(count * size, INT_MAX)); };
    return { pixels(m_pEdit->GetMaxLineLength(), GetCharWidth()), pixels(m_pEdit->GetLineCount(), GetLineHeight()) };
}

void SECEditViewport::SetLogOrigin(int x, int y)
{
    const int w = GetCharWidth(), h = GetLineHeight();
    x = std::max(x, 0);
    y = std::max(y, 0);
    m_topLeft = { h > 0 ? y / h : 0, w > 0 ? x / w : 0 };
    MvcViewport::SetLogOrigin(w > 0 ? x - x % w : x, h > 0 ? y - y % h : y);
}

void SECEditViewport::KeepTopLeftText()
{
    const SECEditLineCol topLeft = m_topLeft;
    SetLogOrigin(topLeft.m_nCol * GetCharWidth(), topLeft.m_nLine * GetLineHeight());
}

int SECEditViewport::GetTopLine() const
{
    const int h = GetLineHeight();
    return h > 0 ? GetLogOrigin().y / h : 0;
}

int SECEditViewport::GetLeftColumn() const
{
    const int w = GetCharWidth();
    return w > 0 ? GetLogOrigin().x / w : 0;
}

int SECEditViewport::GetVisibleLineCount() const
{
    const int h = GetLineHeight();
    return h > 0 ? GetVisibleRect().Height() / h : 0;
}

int SECEditViewport::GetVisibleColumnCount() const
{
    const int w = GetCharWidth();
    return w > 0 ? std::max(GetVisibleRect().Width() - GetGutterWidth(), 0) / w : 0;
}

// ---- scrolling -----------------------------------------------------------------------------

BOOL SECEditViewport::ScrollTo(int line, int column)
{
    const int h = GetLineHeight(), w = GetCharWidth();
    if (h <= 0 || w <= 0)
        return FALSE;
    // The last first line (column) that still fills the window. A view that a resize or a
    // deletion left further stays there, unless everything fits, when it goes back to the start
    // as the scroll bars' update would take it.
    const auto limit = [](int total, int shown, int first) { return total > shown ? std::max(total - shown, first) : 0; };
    const CSize extent = GetLogExtent();
    const int top = GetTopLine(), left = GetLeftColumn();
    line = std::clamp(line, 0, limit(extent.cy / h, GetVisibleLineCount(), top));
    column = std::clamp(column, 0, limit(extent.cx / w, GetVisibleColumnCount(), left));
    if (line == top && column == left)
        return FALSE;
    SetLogOrigin(column * w, line * h);
    // The scroll bars follow; they are the frame's and leave the text's pixels as they are.
    ScrollRangeChanged();
    if (HWND window = GetSafeHwnd()) {
        // Only the text's pixels move (not the caret's: the blit hides it). The gutter stays, its
        // pattern fixed to the window, and is painted again when the lines move past it.
        CRect text;
        ::GetClientRect(window, &text);
        text.left = std::min<LONG>(GetGutterWidth(), text.right);
        ::ScrollWindow(window, (left - column) * w, (top - line) * h, &text, &text);
        if (line != top)
            InvalidateGutter();
        if (m_pController)
            m_pController->OnCaretMoved();
        ::UpdateWindow(window);
    }
    return TRUE;
}

// ---- notifications -----------------------------------------------------------------------

void SECEditViewport::InvalidateAll()
{
    if (GetSafeHwnd())
        ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

void SECEditViewport::InvalidateLines(int first, int last)
{
    if (!GetSafeHwnd())
        return;
    const int h = GetLineHeight();
    CRect client;
    ::GetClientRect(GetSafeHwnd(), &client);
    CRect rect(client.left, h * first - GetLogOrigin().y, client.right, client.bottom);
    if (last != -1)
        rect.bottom = std::min<LONG>(client.bottom, h * (last + 1) - GetLogOrigin().y);
    rect.top = std::max(rect.top, client.top);
    if (rect.bottom > rect.top)
        ::InvalidateRect(GetSafeHwnd(), &rect, FALSE);
}

void SECEditViewport::InvalidateGutter()
{
    if (!GetSafeHwnd())
        return;
    CRect client;
    ::GetClientRect(GetSafeHwnd(), &client);
    client.right = client.left + GetGutterWidth();
    ::InvalidateRect(GetSafeHwnd(), &client, FALSE);
}

void SECEditViewport::OnEditUpdate(ISubject* subject, IMessage* message)
{
    ISECEditPresentationState* state = GetPresentationState();
    if (!message) {
        InvalidateAll();
        ScrollRangeChanged();
        return;
    }
    switch (message->GetTypeID()) {
    case SECEDIT_INVALIDATE_GUTTER:
        InvalidateGutter();
        return;
    case SECEDIT_INVALIDATE_LINES: {
        const auto* paint = static_cast<SECEditPaintMsg*>(message);
        InvalidateLines(paint->m_nFirstLine, paint->m_nLastLine);
        return;
    }
    case SECEDIT_COMPOSITE_COMMAND:
        if (auto* group = dynamic_cast<SECEditCompositeCommand*>(message))
            group->NotifyEach(subject, &m_observer);
        return;
    case SECEDIT_INIT_CONTROLLER:
        // A new text (loaded, set or emptied) is shown from its first line and column, where the
        // caret goes.
        SetLogOrigin(0, 0);
        if (state)
            state->OnUpdate(subject, message);
        ScrollRangeChanged();
        InvalidateAll();
        return;
    case SECEDIT_COMMAND: {
        if (state)
            state->OnUpdate(subject, message);
        const auto* command = dynamic_cast<SECEditCommand*>(message);
        if (!command)
            return;
        const SECEditLineColPair range = command->Normalized();
        if (range.m_start.m_nLine == range.m_end.m_nLine) {
            InvalidateLines(range.m_start.m_nLine, range.m_start.m_nLine);
        } else {
            InvalidateLines(range.m_start.m_nLine, -1);
            ScrollRangeChanged();
        }
        return;
    }
    default:
        if (!state)
            return;
        state->OnUpdate(subject, message);
        InvalidateAll();
        ScrollRangeChanged();
        return;
    }
}

// ---- colours -------------------------------------------------------------------------------

void SECEditViewport::GetGroupColors(int group, COLORREF& text, COLORREF& background) const
{
    text = ::GetSysColor(COLOR_WINDOWTEXT);
    background = ::GetSysColor(COLOR_WINDOW);
    const ISECEditLangConfig* config = GetLangConfig();
    if (!config)
        return;
    if (const SECEditColorGroup* base = config->GetColorGroup(BuiltinText)) {
        if (!base->m_bForeAutomatic)
            text = base->m_foreground;
        if (!base->m_bBackAutomatic)
            background = base->m_background;
    }
    const SECEditColorGroup* own = config->GetColorGroup(group);
    if (!own || group == BuiltinText)
        return;
    if (group == BuiltinTextSelection)
        std::swap(text, background);
    if (!own->m_bForeAutomatic)
        text = own->m_foreground;
    if (!own->m_bBackAutomatic)
        background = own->m_background;
}

// ---- drawing -------------------------------------------------------------------------------

void SECEditViewport::Draw(CDC* dc)
{
    SECEditFontInfo* font = GetFontInfo();
    if (!dc || !m_pEdit || !font || font->m_nLineHeight <= 0)
        return;
    const int h = font->m_nLineHeight;
    const int gutter = GetGutterWidth();
    const CPoint origin = GetLogOrigin();
    const int saved = dc->SaveDC();
    dc->SetMapMode(MM_TEXT);
    dc->SetViewportOrg(0, 0);
    dc->SetWindowOrg(0, 0);
    CRect client;
    ::GetClientRect(GetSafeHwnd(), &client);
    const CRect deviceClip = [&] {
        CRect box;
        dc->GetClipBox(&box);
        return box;
    }();
    dc->ExcludeClipRect(0, 0, gutter, client.bottom);
    CRect clip;
    dc->GetClipBox(&clip);
    clip.OffsetRect(origin);

    CFont* old = dc->SelectObject(font->GetTextFont());
    const int tabWidth = m_pEdit->GetTabStopWidth(*font);

    ISECEditPresentationState* state = GetPresentationState();
    const BOOL showSelection = state && state->HasSelection();
    const int mode = state ? state->GetSelectionMode() : 0;
    SECEditLineColPair selection;
    if (showSelection)
        state->GetSelection(selection.m_start.m_nLine, selection.m_start.m_nCol, selection.m_end.m_nLine, selection.m_end.m_nCol);

    const int first = std::max<int>(clip.top / h, 0);
    const int last = std::min<int>(clip.bottom / h, m_pEdit->GetLastLine());
    if (clip.right > clip.left) {
        const SECEditLineMeasure measure(*dc, tabWidth);
        for (int line = first; line <= last; ++line)
            DrawLine(dc, line, measure, tabWidth, clip, showSelection, mode, selection);
        const int below = (last + 1) * h;
        if (below < clip.bottom) {
            COLORREF text, background;
            GetGroupColors(BuiltinText, text, background);
            FillBackground(dc, CRect(clip.left - origin.x, below - origin.y, clip.right - origin.x, clip.bottom - origin.y), background);
        }
    }
    if (showSelection && mode == SECEditController::SelectColumnDrag)
        DrawSelectionFrame(dc);
    dc->SelectObject(old);
    dc->RestoreDC(saved);
    if (gutter > 0 && deviceClip.left < gutter)
        DrawGutter(dc);
}

void SECEditViewport::DrawLine(CDC* dc, int line, const SECEditLineMeasure& measure, int tabWidth, const CRect& clip, BOOL showSelection, int mode,
    const SECEditLineColPair& selection)
{
    SECEditFontInfo* font = GetFontInfo();
    ISECEditLangConfig* config = GetLangConfig();
    ISECEditPresentationState* state = GetPresentationState();
    const CPoint origin = GetLogOrigin();
    const int h = font->m_nLineHeight;
    const int gutter = GetGutterWidth();
    const int y = line * h - origin.y;
    int x = -origin.x;
    const int length = std::max(m_pEdit->GetLineLength(line), 0);
    // Only the columns that reach into the clip are read, laid out and drawn, with a margin for
    // glyphs that overhang their cell: a line of millions of characters costs a short scan.
    int skipped = 0, shown = 0;
    const int first = m_lineWidths.Fit(*m_pEdit, measure, line, length, clip.left - gutter - OverhangMargin, skipped);
    const int end = std::min(m_lineWidths.Fit(*m_pEdit, measure, line, length, clip.right - gutter + OverhangMargin, shown) + 1, length);
    x += skipped;
    // The model may move the text on its next call: keep a copy of the part drawn.
    const wchar_t* text = nullptr;
    m_lineCopy = end > first && m_pEdit->GetLinePointer(text, line, first, line, end) == end - first ? CString(text, end - first) : CString();
    const wchar_t* const visible = m_lineCopy.GetString();

    int selStart = -1, selEnd = -1;
    bool lineSelected = false;
    if (showSelection) {
        const int startLine = selection.m_start.m_nLine, endLine = selection.m_end.m_nLine;
        if (mode == SECEditController::SelectColumn || mode == SECEditController::SelectColumnDrag) {
            if (line >= startLine && line <= endLine && state) {
                state->GetColumnRange(line, selStart, selEnd);
                lineSelected = selEnd > selStart;
            }
        } else if (line >= startLine && line <= endLine && !(line == endLine && selection.m_end.m_nCol == 0 && line > startLine)) {
            selStart = line > startLine ? 0 : selection.m_start.m_nCol;
            selEnd = line < endLine ? length : selection.m_end.m_nCol;
            lineSelected = true;
        }
    }

    const BOOL showWhitespace = config && config->GetShowWhitespace();
    int column = 0;
    SECEditLineColor runs = m_pEdit->CopyLineColor(line, first, end, &column);
    if (runs.IsEmpty())
        runs.AddRun(0, BuiltinText);
    int firstGroup = runs[0].m_nColorGroup;
    for (INT_PTR i = 0; i < runs.GetSize() && column < end && x < clip.right - origin.x; ++i) {
        int count = runs[i].m_nLength == 0 ? length - column : std::min<int>(runs[i].m_nLength, length - column);
        if (count <= 0)
            continue;
        const int from = std::max(column, first), to = std::min(column + count, end);
        column += count;
        if (from >= to)
            continue;
        const BOOL selected = lineSelected && Overlap(from, to, selStart, selEnd);
        x += DrawTextRun(dc, tabWidth, x, y, gutter, visible + (from - first), to - from, from, line, runs[i].m_nColorGroup,
            showWhitespace, selected, selStart, selEnd).cx;
    }
    // Skip the rest of the line's text when it lies right of the clip: the row is done there.
    if (column < length || end < length)
        return;

    const int right = clip.right - origin.x;
    if (x >= right)
        return;
    const int blank = std::max(font->m_nBlankWidth, 1);
    COLORREF textColour, background;
    GetGroupColors(BuiltinText, textColour, background);
    if (m_pEdit->GetLineFlag(line, SECEDIT_FLAG_HIGHLIGHT))
        GetGroupColors(firstGroup, textColour, background);
    FillBackground(dc, CRect(x + gutter, y, right + gutter, y + h), background);

    // Selected blank columns right of the text.
    int blankFrom = -1, blankTo = -1;
    if (lineSelected) {
        const int n = (right - x) / blank + 1;
        if (mode == SECEditController::SelectColumn || mode == SECEditController::SelectColumnDrag) {
            blankFrom = std::max(selStart, length) - length;
            blankTo = selEnd - length;
        } else if (line < selection.m_end.m_nLine) {
            blankFrom = std::max(selStart, length) - length;
            blankTo = config && config->GetVirtualWhitespace() ? n : blankFrom + 1;
        } else if (selEnd > length) {
            blankFrom = std::max(selStart, length) - length;
            blankTo = selEnd - length;
        }
    }
    if (blankTo > blankFrom && blankTo > 0) {
        COLORREF selText, selBack;
        GetGroupColors(BuiltinTextSelection, selText, selBack);
        FillBackground(dc, CRect(x + gutter + std::max(blankFrom, 0) * blank, y, x + gutter + blankTo * blank, y + h), selBack);
    }
}

CSize SECEditViewport::DrawTextRun(CDC* dc, int tabWidth, int x, int y, int lineStartX, const wchar_t* text, int count,
    int startColumn, int line, int colourGroup, BOOL showWhitespace, BOOL selected, int selStart, int selEnd)
{
    if (count <= 0)
        return { 0, GetLineHeight() };
    if (showWhitespace) {
        const wchar_t* end = text + count;
        const wchar_t* white = std::find_if(text, end, [](wchar_t ch) { return ch == L' ' || ch == L'\t'; });
        if (white != end) {
            const int before = static_cast<int>(white - text);
            CSize size = DrawTextRun(dc, tabWidth, x, y, lineStartX, text, before, startColumn, line, colourGroup, FALSE, selected, selStart, selEnd);
            const int at = x + size.cx;
            const CSize blank = DrawTextRun(dc, tabWidth, at, y, lineStartX, white, 1, startColumn + before, line, colourGroup, FALSE, selected, selStart, selEnd);
            const wchar_t marker = m_pEdit->GetWhitespaceChar(*white == L'\t');
            const int oldMode = dc->SetBkMode(TRANSPARENT);
            dc->TextOut(at + lineStartX, y, CString(marker));
            dc->SetBkMode(oldMode);
            const CSize rest = DrawTextRun(dc, tabWidth, at + blank.cx, y, lineStartX, white + 1, count - before - 1,
                startColumn + before + 1, line, colourGroup, TRUE, selected, selStart, selEnd);
            return { size.cx + blank.cx + rest.cx, GetLineHeight() };
        }
    }
    const int runEnd = startColumn + count;
    if (selected && Overlap(startColumn, runEnd, selStart, selEnd)) {
        if (startColumn < selStart) {
            const int before = selStart - startColumn;
            const CSize a = DrawTextRun(dc, tabWidth, x, y, lineStartX, text, before, startColumn, line, colourGroup, FALSE, FALSE, selStart, selEnd);
            const CSize b = DrawTextRun(dc, tabWidth, x + a.cx, y, lineStartX, text + before, count - before, selStart, line, colourGroup, FALSE, TRUE, selStart, selEnd);
            return { a.cx + b.cx, GetLineHeight() };
        }
        if (selEnd < runEnd) {
            const int inside = selEnd - startColumn;
            const CSize a = DrawTextRun(dc, tabWidth, x, y, lineStartX, text, inside, startColumn, line, colourGroup, FALSE, TRUE, selStart, selEnd);
            const CSize b = DrawTextRun(dc, tabWidth, x + a.cx, y, lineStartX, text + inside, count - inside, selEnd, line, colourGroup, FALSE, FALSE, selStart, selEnd);
            return { a.cx + b.cx, GetLineHeight() };
        }
        colourGroup = BuiltinTextSelection;
    }
    COLORREF foreground, background;
    GetGroupColors(colourGroup, foreground, background);
    dc->SetTextColor(foreground);
    dc->SetBkColor(background);
    return DrawTextSegment(dc, tabWidth, x, y, lineStartX, text, count);
}

CSize SECEditViewport::DrawTextSegment(CDC* dc, int tabWidth, int x, int y, int lineStartX, const wchar_t* text, int count)
{
    // Tabs stop at multiples of the tab width counted from the line's start. Drawn opaque, the
    // text fills its own background, tabs included, and answers its extent: one measuring pass.
    const int tabOrigin = lineStartX - GetLogOrigin().x;
    const int oldMode = dc->SetBkMode(OPAQUE);
    const LONG extent = ::TabbedTextOutW(*dc, x + lineStartX, y, text, count, 1, &tabWidth, tabOrigin);
    dc->SetBkMode(oldMode);
    const int width = LOWORD(extent), textHeight = HIWORD(extent);
    const int height = GetLineHeight();
    if (textHeight < height) // the line's leading below the text
        dc->FillSolidRect(CRect(x + lineStartX, y + textHeight, x + lineStartX + width, y + height), dc->GetBkColor());
    return { width, height };
}

void SECEditViewport::DrawSelectionFrame(CDC* dc)
{
    CRect rect;
    ISECEditPresentationState* state = GetPresentationState();
    if (!state || !state->GetDragRect(&rect))
        return;
    rect.OffsetRect(-GetLogOrigin());
    dc->InvertRect(&rect);
}

// ---- the gutter ----------------------------------------------------------------------------

void SECEditViewport::DrawGutter(CDC* dc)
{
    SECEditController* controller = GetEditController();
    if (!dc || !controller || !GetSafeHwnd() || !m_pEdit)
        return;
    const int h = GetLineHeight();
    if (h <= 0)
        return;
    const CRect visible = GetVisibleRect();
    const int first = std::max<int>(visible.top / h, 0);
    const int last = std::min<int>(visible.bottom / h, m_pEdit->GetLastLine());
    CRect rect;
    ::GetClientRect(GetSafeHwnd(), &rect);
    rect.right = rect.left + GetGutterWidth();
    const int saved = dc->SaveDC();
    dc->SetMapMode(MM_TEXT);
    dc->SetViewportOrg(0, 0);
    dc->SetWindowOrg(0, 0);
    dc->IntersectClipRect(&rect);
    {
        // The whole strip, so that the pattern keeps its place whatever part the paint covers.
        SECMemDC gutter(dc, rect);
        DrawGutterBackground(&gutter, rect);
        const int numbers = controller->GetLineNumberGutterWidth();
        const int markers = controller->GetMarkerGutterWidth();
        const bool markersLeft = controller->GetLineNumberMode() == SECEditController::MarkersLeft;
        CRect row(rect.left, rect.top - (visible.top % h), rect.right, rect.top - (visible.top % h) + h);
        for (int line = first; line <= last; ++line, row.OffsetRect(0, h)) {
            CRect numberRow = row, markerRow = row;
            if (markersLeft) {
                markerRow.right = markerRow.left + markers;
                numberRow.left = markerRow.right;
                numberRow.right = numberRow.left + numbers;
            } else {
                numberRow.right = numberRow.left + numbers;
                markerRow.left = numberRow.right;
                markerRow.right = markerRow.left + markers;
            }
            if (numbers > 0)
                DrawLineNumber(line, &gutter, numberRow);
            if (markers > 0)
                DrawGutterMarkers(line, &gutter, markerRow);
        }
    }
    dc->RestoreDC(saved);
}

namespace {

// A monochrome copy of a small bitmap: its white pixels become 1 bits, the others 0 bits.
HBITMAP MonochromeCopy(HBITMAP bitmap)
{
    BITMAP info {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0 || info.bmWidth > 64 || info.bmHeight > 64)
        return nullptr;
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    const int stride = (info.bmWidth + 15) / 16 * 2; // rows of WORDs
    std::vector<BYTE> rows(static_cast<size_t>(stride) * info.bmHeight, 0);
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x)
            if (::GetPixel(memory, x, y) == RGB(255, 255, 255))
                rows[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return ::CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, rows.data());
}

} // namespace

BOOL SECEditViewport::OnCreate()
{
    if (!MvcViewport::OnCreate())
        return FALSE;
    m_pGutterBrush.reset();
    HBITMAP loaded = ::LoadBitmapW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, MAKEINTRESOURCEW(IDB_EDIT_GUTTER));
    if (HBITMAP pattern = MonochromeCopy(loaded)) {
        if (HBRUSH brush = ::CreatePatternBrush(pattern)) {
            m_pGutterBrush = std::make_unique<CBrush>();
            m_pGutterBrush->Attach(brush);
        }
        ::DeleteObject(pattern);
    }
    if (loaded)
        ::DeleteObject(loaded);
    return TRUE;
}

void SECEditViewport::DrawGutterBackground(CDC* dc, const CRect& rect)
{
    dc->SetBkColor(RGB(255, 255, 255));
    dc->SetTextColor(::GetSysColor(COLOR_SCROLLBAR));
    if (m_pGutterBrush) {
        dc->FillRect(&rect, m_pGutterBrush.get());
        return;
    }
    dc->FillSolidRect(&rect, ::GetSysColor(COLOR_SCROLLBAR));
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    CPen* old = dc->SelectObject(&pen);
    dc->MoveTo(rect.right - 1, rect.top);
    dc->LineTo(rect.right - 1, rect.bottom);
    dc->SelectObject(old);
}

void SECEditViewport::DrawGutterMarkers(int line, CDC* dc, const CRect& rect)
{
    DrawGutterHookBefore(line, dc, rect);
    DrawBoxMarker(line, dc, rect);
    DrawRoundMarker(line, dc, rect);
    DrawGutterHookAfter(line, dc, rect);
}

void SECEditViewport::DrawBoxMarker(int line, CDC* dc, const CRect& rect)
{
    if (!m_pEdit->GetLineFlag(line, SECEditController::BookmarkFlag))
        return;
    CBrush brush(RGB(0, 255, 255));
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOWFRAME));
    CBrush* oldBrush = dc->SelectObject(&brush);
    CPen* oldPen = dc->SelectObject(&pen);
    CRect box = rect;
    box.right -= 1;
    dc->RoundRect(&box, CPoint(6, 6));
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
}

void SECEditViewport::DrawRoundMarker(int line, CDC* dc, const CRect& rect)
{
    if (!m_pEdit->GetLineFlag(line, SECEditController::RoundMarkerFlag))
        return;
    int size = std::min(rect.Width(), rect.Height()) - 3;
    size -= size % 2 == 0 ? 1 : 0;
    if (size <= 3)
        return;
    CRect square(rect.left + 2, rect.top + 1, rect.left + 2 + size, rect.top + 1 + size);
    if (rect.Height() > rect.Width())
        square.OffsetRect(0, (rect.Height() - size) / 2 - 1);
    CBrush brush(RGB(128, 0, 0));
    CPen pen(PS_SOLID, 1, RGB(128, 0, 0));
    CBrush* oldBrush = dc->SelectObject(&brush);
    CPen* oldPen = dc->SelectObject(&pen);
    dc->Ellipse(square.left, square.top, square.right, square.bottom);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
}

void SECEditViewport::DrawLineNumber(int line, CDC* dc, const CRect& rect)
{
    SECEditController* controller = GetEditController();
    const int mode = controller->GetLineNumberMode();
    if (mode == SECEditController::LineNumbersNone || mode == SECEditController::MarkersOnly)
        return;
    SECEditFontInfo* font = controller->GetGutterFontInfo();
    if (!font || font->GetFontCount() == 0)
        return;
    CFont* old = dc->SelectObject(font->GetTextFont());
    dc->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    dc->TextOut(rect.left, rect.top + (rect.Height() - font->m_nLineHeight) / 2, controller->FormatLineNumber(line + 1));
    dc->SetBkMode(oldMode);
    dc->SelectObject(old);
}
