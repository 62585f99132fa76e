#include "commandbars/Calendar.h"

#include "datecore/Clock.h"
#include "datecore/DateLocale.h"
#include "platform/mfc/Dc.h"

#include <algorithm>
#include <cmath>
#include <functional>

IMPLEMENT_DYNCREATE(SECCalendar, CWnd)

namespace {

constexpr double ColumnEdges[] = { 0.0, 0.143, 0.286, 0.429, 0.572, 0.715, 0.858, 1.0 };
constexpr double RowEdges[] = { 0.25, 0.375, 0.5, 0.625, 0.75, 0.875, 1.0 };
constexpr double TitleBottom = 0.175;
constexpr double DayBarBottom = 0.25;
// The longest move by a day or a week that the keys may ask for.
constexpr double MaxStepDays = 3615897;
constexpr DWORD PanelSelectFlags = SECPanel::FlagSelectable | SECPanel::FlagHighlightable;

bool SameMonth(const COleDateTime& a, const COleDateTime& b)
{
    return a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth();
}

COleDateTime FirstOfMonth(const COleDateTime& date)
{
    return COleDateTime(date.GetYear(), date.GetMonth(), 1, 0, 0, 0);
}

bool IsCtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

} // namespace

BEGIN_MESSAGE_MAP(SECCalendar, CWnd)
ON_WM_PAINT()
ON_WM_NCHITTEST()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
ON_WM_RBUTTONDOWN()
ON_WM_KEYDOWN()
ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
ON_WM_SYSCOLORCHANGE()
ON_COMMAND(ID_CALENDAR_NEXT_MONTH, OnNextMonthButton)
ON_COMMAND(ID_CALENDAR_PREV_YEAR, OnPrevYearButton)
ON_COMMAND(ID_CALENDAR_NEXT_YEAR, OnNextYearButton)
ON_COMMAND(ID_CALENDAR_PREV_MONTH, OnPrevMonthButton)
ON_MESSAGE(WM_CALENDAR_PICKED, OnPickAndClose)
ON_MESSAGE(WM_CALENDAR_DISMISS, OnDismissAndClose)
END_MESSAGE_MAP()

SECCalendar::SECCalendar()
    : m_DisplayedDate(1970, 1, 1, 0, 0, 0)
{
    m_Title.SetCalendar(this);
    m_DayBar.SetCalendar(this);
    m_DayBar.SetFirstWeekday(CurrentDateLocale().firstDayOfWeek);
    for (SECDayBox& cell : m_Cells)
        cell.SetCalendar(this);
}

SECCalendar::~SECCalendar()
{
    // The title's buttons are children of this window: destroy it while they still exist.
    if (m_hWnd)
        DestroyWindow();
}

BOOL SECCalendar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context)
{
    LoadSysColors();
    InitFonts();
    m_pNotifyWnd = parent;
    LPCWSTR windowClass = AfxRegisterWndClass(GetClassStyle(), LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
    // A drop-down calendar is a popup window of its own; every other one is a child of its page.
    DWORD kind = (style & WS_POPUP) ? 0 : WS_CHILD;
    if (!CreateEx(0, windowClass, L"SECCalendar", style | kind | WS_CLIPCHILDREN, rect, parent, id, context))
        return FALSE;

    const CRect empty;
    BOOL made = TRUE;
    for (SECDayBox& cell : m_Cells)
        made &= cell.Create(empty, this, FALSE, FALSE, m_dwOtherMonthStyle, m_dwFlags, m_nBorderWidth);
    DWORD partFlags = m_dwFlags & ~PanelSelectFlags;
    made &= m_DayBar.Create(empty, this, FALSE, FALSE, m_dwCurrentMonthStyle, partFlags, m_nBorderWidth);
    made &= m_Title.Create(empty, this, FALSE, FALSE, m_dwCurrentMonthStyle | SECPanel::StyleCentred, partFlags, m_nBorderWidth);

    if (static_cast<DATE>(m_DisplayedDate) == 0.0) {
        SYSTEMTIME today;
        GetLocalTime(&today);
        m_DisplayedDate = COleDateTime(today.wYear, today.wMonth, today.wDay, 0, 0, 0);
    }
    SetDisplayDate(m_DisplayedDate, FALSE);

    if (made) {
        LayoutPanels();
        if (m_dwFlags & FitFontsOnCreate)
            FitFonts();
        m_Title.SetButtonFont(&m_TitleFont);
        ApplyPanelColors();
    }
    m_bCreated = TRUE;
    UpdateWindow();
    SetFocus();
    return made;
}

// ---- moves

BOOL SECCalendar::NextDay(BOOL fromSelection) { return MoveBy(1, fromSelection); }
BOOL SECCalendar::PrevDay(BOOL fromSelection) { return MoveBy(-1, fromSelection); }

BOOL SECCalendar::NextWeek(BOOL fromSelection)
{
    SetFocus();
    return MoveBy(7, fromSelection);
}

BOOL SECCalendar::PrevWeek(BOOL fromSelection)
{
    SetFocus();
    return MoveBy(-7, fromSelection);
}

BOOL SECCalendar::MoveBy(double days, BOOL fromSelection)
{
    if (std::fabs(days) > MaxStepDays)
        return FALSE;
    return fromSelection ? AdvanceSel(COleDateTimeSpan(days)) : AdvancePage(COleDateTimeSpan(days));
}

COleDateTime SECCalendar::MoveBase(BOOL fromSelection) const
{
    // Without a selected cell a move from the selection starts from the displayed date.
    return fromSelection && m_pSelectedCell ? m_pSelectedCell->GetDayDate() : m_DisplayedDate;
}

BOOL SECCalendar::NextMonth(BOOL fromSelection)
{
    COleDateTime base = MoveBase(fromSelection);
    COleDateTime target = FirstOfMonth(base) + COleDateTimeSpan(27.0);
    while (target.GetStatus() == COleDateTime::valid && target.GetDay() != 1)
        target += COleDateTimeSpan(1.0);
    return MoveTo(target, base, fromSelection);
}

BOOL SECCalendar::PrevMonth(BOOL fromSelection)
{
    COleDateTime base = MoveBase(fromSelection);
    COleDateTime target = FirstOfMonth(base) - COleDateTimeSpan(27.0);
    while (target.GetStatus() == COleDateTime::valid && target.GetDay() != 1)
        target -= COleDateTimeSpan(1.0);
    return MoveTo(target, base, fromSelection);
}

BOOL SECCalendar::NextYear(BOOL fromSelection)
{
    COleDateTime base = MoveBase(fromSelection);
    int year = base.GetYear(), month = base.GetMonth(), day = base.GetDay();
    if (!IsValidDate(year, 12, 31)) {
        Beep();
        return FALSE;
    }
    if (month == 2 && day == 29)
        day = 28;
    return MoveTo(COleDateTime(year + 1, month, day, 0, 0, 0), base, fromSelection);
}

BOOL SECCalendar::PrevYear(BOOL fromSelection)
{
    COleDateTime base = MoveBase(fromSelection);
    int year = base.GetYear(), month = base.GetMonth(), day = base.GetDay();
    if (!IsValidDate(year - 1, 12, 31)) {
        Beep();
        return FALSE;
    }
    if (month == 2 && day == 29)
        day = 28;
    return MoveTo(COleDateTime(year - 1, month, day, 0, 0, 0), base, fromSelection);
}

BOOL SECCalendar::MoveTo(const COleDateTime& target, const COleDateTime& base, BOOL fromSelection)
{
    if (target.GetStatus() != COleDateTime::valid)
        return FALSE;
    SetFocus();
    COleDateTimeSpan span = target - base;
    BOOL moved = fromSelection ? AdvanceSel(span) : AdvancePage(span);
    // After a month or year move the selection keeps its place in the grid.
    if (moved && m_pSelectedCell && m_pSelectedCell->IsInUse())
        SelectDate(m_pSelectedCell->GetDayDate(), TRUE);
    return moved;
}

BOOL SECCalendar::IsValidDateAfter(const COleDateTime& date, const COleDateTimeSpan& span, int daysPerMonth) const
{
    double total = span.GetTotalDays();
    long long days = static_cast<long long>(total + (total < 0 ? -0.5 : 0.5) / 86400.0);
    long long years = days / 365;
    long long rest = days - 365 * years;
    long long months = rest / daysPerMonth;
    long long year = date.GetYear() + years;
    long long month = date.GetMonth() + months;
    long long day = date.GetDay() + rest - daysPerMonth * months;
    if (std::llabs(year) > 100000)
        return FALSE;
    return IsValidDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

BOOL SECCalendar::AdvancePage(const COleDateTimeSpan& span)
{
    if (!IsValidDateAfter(m_DisplayedDate, span, 31)) {
        Beep();
        return FALSE;
    }
    COleDateTime moved = m_DisplayedDate + span;
    NormalizeDate(moved);
    return SetDisplayDate(moved, TRUE);
}

BOOL SECCalendar::AdvanceSel(const COleDateTimeSpan& span)
{
    if (!m_pSelectedCell) {
        Beep();
        return FALSE;
    }
    COleDateTime from = m_pSelectedCell->GetDayDate();
    if (!IsValidDateAfter(from, span, 28)) {
        Beep();
        return FALSE;
    }
    COleDateTime moved = from + span;
    NormalizeDate(moved);
    if (!SameMonth(moved, from))
        SetDisplayDate(moved, TRUE);
    return SelectDate(moved, TRUE);
}

// ---- selection and marks

BOOL SECCalendar::SelectDate(COleDateTime date, BOOL select)
{
    if (!IsValidDate(date.GetYear(), date.GetMonth(), date.GetDay()))
        return FALSE;
    NormalizeDate(date);
    if (select)
        m_SelectedDate = m_FocusDate = date;
    m_bSelectionRemembered = select;
    for (SECDayBox& cell : m_Cells) {
        if (cell.IsInUse() && cell.GetDayDate() == date) {
            cell.Select(select, TRUE);
            if (select)
                m_pSelectedCell = &cell;
            else if (m_pSelectedCell == &cell)
                m_pSelectedCell = nullptr;
            auto lParam = reinterpret_cast<LPARAM>(&cell);
            if (m_bCreated && m_pNotifyWnd) {
                m_pNotifyWnd->PostMessage(WM_CALENDAR_SELECT, select, lParam);
                if (m_dwFlags & PickOnSelect)
                    m_pNotifyWnd->PostMessage(WM_CALENDAR_PICKED, select, lParam);
            }
        } else if (cell.IsSelected()) {
            cell.Select(FALSE, TRUE);
        }
    }
    if (m_bCreated)
        SetFocus();
    return TRUE;
}

BOOL SECCalendar::ToggleSelectDate(COleDateTime date)
{
    NormalizeDate(date);
    auto cell = std::find_if(m_Cells.begin(), m_Cells.end(),
        [&](const SECDayBox& box) { return box.IsInUse() && box.GetDayDate() == date; });
    if (cell == m_Cells.end())
        return FALSE;
    SelectDate(date, !cell->IsSelected());
    if (m_dwFlags & PickOnSelect)
        PickAndClose();
    return TRUE;
}

BOOL SECCalendar::HighlightDate(COleDateTime date, BOOL on)
{
    NormalizeDate(date);
    for (SECDayBox& cell : m_Cells) {
        if (!cell.IsInUse() || !(cell.GetDayDate() == date))
            continue;
        cell.Highlight(on, TRUE);
        if (m_pNotifyWnd && m_pNotifyWnd->m_hWnd)
            m_pNotifyWnd->PostMessage(WM_CALENDAR_HIGHLIGHT, on, reinterpret_cast<LPARAM>(&cell));
    }
    auto place = std::lower_bound(m_HighlightedDates.begin(), m_HighlightedDates.end(), date);
    bool present = place != m_HighlightedDates.end() && *place == date;
    if (on && !present)
        m_HighlightedDates.insert(place, date);
    else if (!on && present)
        m_HighlightedDates.erase(place);
    return TRUE;
}

BOOL SECCalendar::ToggleHighlightDate(COleDateTime date)
{
    NormalizeDate(date);
    // The list, not the cell, says whether the day is marked: a cell of an adjacent month takes no mark.
    return HighlightDate(date, !IsHighlightedDate(date));
}

BOOL SECCalendar::IsHighlightedDate(COleDateTime date) const
{
    NormalizeDate(date);
    return std::binary_search(m_HighlightedDates.begin(), m_HighlightedDates.end(), date);
}

COLORREF SECCalendar::SetDateColor(COleDateTime date, COLORREF colour)
{
    NormalizeDate(date);
    COLORREF previous = SECPanel::DefaultHighlightColor;
    for (SECDayBox& cell : m_Cells) {
        if (cell.IsInUse() && cell.GetDayDate() == date) {
            previous = cell.GetHighlightColor();
            cell.SetHighlightColor(colour);
        }
    }
    return previous;
}

// ---- the displayed month

BOOL SECCalendar::IsValidDate(int year, int month, int day) const
{
    if (day < 1) {
        int borrowed = -day / 28 + 1;
        day += borrowed * 28;
        month -= borrowed;
    } else if (day > 31) {
        int carried = (day - 32) / 28 + 1;
        day -= carried * 28;
        month += carried;
    }
    if (month < 1) {
        int borrowed = -month / 12 + 1;
        month += borrowed * 12;
        year -= borrowed;
    } else if (month > 12) {
        int carried = (month - 13) / 12 + 1;
        month -= carried * 12;
        year += carried;
    }
    return year >= 100 && year <= 9999;
}

BOOL SECCalendar::SetDisplayDate(COleDateTime date, BOOL redraw)
{
    if (m_bCreated && (m_dwFlags & FixedDate)) {
        Beep();
        return FALSE;
    }
    if (!IsValidDate(date.GetYear(), date.GetMonth(), date.GetDay())) {
        Beep();
        return FALSE;
    }
    m_DisplayedDate = date;
    NormalizeDate(m_DisplayedDate);
    m_Title.ShowDate(m_DisplayedDate);
    FillDays();
    if (redraw && m_hWnd) {
        InvalidateRect(nullptr, FALSE);
        UpdateWindow();
    }
    return TRUE;
}

void SECCalendar::NormalizeDate(COleDateTime& date)
{
    if (date.GetStatus() == COleDateTime::valid)
        date.SetDate(date.GetYear(), date.GetMonth(), date.GetDay());
}

void SECCalendar::FillDays()
{
    m_FocusDate = m_DisplayedDate;
    COleDateTime day = FirstOfMonth(m_DisplayedDate);
    const int firstWeekday = m_DayBar.GetFirstWeekday();
    const COleDateTime firstDay(100, 1, 1, 0, 0, 0);
    const COleDateTime lastDay(9999, 12, 31, 0, 0, 0);
    int index = 0;
    BOOL inMonth = FALSE;
    if (day == firstDay) {
        // Nothing lies before 1 January 100: the weeks start with blanks.
        int blanks = ((day.GetDayOfWeek() - firstWeekday) % 7 + 7) % 7;
        for (; index < blanks; ++index)
            m_Cells[index].SetInUse(FALSE);
    } else {
        while (day.GetDayOfWeek() != firstWeekday)
            day -= COleDateTimeSpan(1.0);
    }
    for (; index < CellCount; ++index) {
        if (day.GetStatus() != COleDateTime::valid || day > lastDay)
            break;
        FillCell(index, day, inMonth);
    }
    for (; index < CellCount; ++index) {
        m_Cells[index].SetInUse(FALSE);
        m_Cells[index].SetFlags(m_dwFlags & ~PanelSelectFlags);
    }
}

void SECCalendar::FillCell(int index, COleDateTime& day, BOOL& inMonth)
{
    NormalizeDate(day);
    if (day.GetDay() == 1)
        inMonth = !inMonth;
    SECDayBox& cell = m_Cells[index];
    cell.SetDayDate(day);
    cell.SetStyle(inMonth ? m_dwCurrentMonthStyle : m_dwOtherMonthStyle);
    // A cell that now lies in an adjacent month must not keep the state of its earlier day.
    cell.SetFlags(m_dwFlags);
    cell.Select(FALSE, FALSE);
    cell.Highlight(FALSE, FALSE);
    cell.SetOutsideMonth(!inMonth);
    cell.Highlight(IsHighlightedDate(day), FALSE);
    if (m_bSelectionRemembered && day == m_SelectedDate && cell.Select(TRUE, FALSE)) {
        m_FocusDate = m_SelectedDate;
        m_pSelectedCell = &cell;
    }
    day += COleDateTimeSpan(1.0);
}

// ---- looks

void SECCalendar::LoadSysColors()
{
    m_DayTextColor = m_TitleTextColor = GetSysColor(COLOR_WINDOWTEXT);
    m_DayBarTextColor = GetSysColor(COLOR_BTNTEXT);
    m_GrayTextColor = GetSysColor(COLOR_GRAYTEXT);
}

void SECCalendar::ApplyPanelColors()
{
    m_Title.SetTextColor(m_TitleTextColor);
    m_Title.SetGrayTextColor(m_GrayTextColor);
    m_DayBar.SetTextColor(m_DayBarTextColor);
    m_DayBar.SetGrayTextColor(m_GrayTextColor);
    for (SECDayBox& cell : m_Cells) {
        cell.SetTextColor(m_DayTextColor);
        cell.SetGrayTextColor(m_GrayTextColor);
    }
}

void SECCalendar::Beep() { MessageBeep(MB_ICONEXCLAMATION); }

void SECCalendar::InitFonts()
{
    LOGFONT system {};
    ::GetObjectW(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    m_TitleLogFont = m_DayBarLogFont = m_DayLogFont = system;
    for (LOGFONT* description : { &m_TitleLogFont, &m_DayBarLogFont, &m_DayLogFont }) {
        wcscpy(description->lfFaceName, L"Arial");
        description->lfQuality = 1;
    }
    m_TitleLogFont.lfHeight *= 2;
    m_TitleLogFont.lfWidth *= 2;
    m_TitleLogFont.lfOutPrecision = 2;
    m_TitleLogFont.lfPitchAndFamily = 2;
    m_DayBarLogFont.lfOutPrecision = 7;
    m_DayLogFont.lfOutPrecision = 7;
    RecreateFonts();
}

void SECCalendar::RecreateFonts()
{
    for (auto [font, description] : { std::pair { &m_TitleFont, &m_TitleLogFont }, std::pair { &m_DayBarFont, &m_DayBarLogFont },
             std::pair { &m_DayFont, &m_DayLogFont } }) {
        font->DeleteObject();
        font->CreateFontIndirect(description);
    }
}

namespace {

// Scales a font description's height and width (a width of 0 follows the height).
void ScaleFont(LOGFONT& font, double factor)
{
    auto scaled = [&](LONG size) {
        LONG magnitude = std::labs(size);
        LONG next = static_cast<LONG>(magnitude * factor);
        if (factor < 1)
            next = std::max<LONG>(1, std::min(next, magnitude - 1)); // at least one unit smaller
        return size < 0 ? -next : next;
    };
    font.lfHeight = scaled(font.lfHeight);
    font.lfWidth = scaled(font.lfWidth);
}

// Grows `font` (doubling) while what `measure` gives in it is smaller than `room`, then shrinks it
// by tenths until it fits; it stops once the measure is below 3 pixels.
void FitFont(CDC& dc, LOGFONT& font, CSize room, const std::function<CSize(CDC*)>& measure)
{
    if (room.cx <= 0 || room.cy <= 0) {
        font.lfHeight = font.lfWidth = 0;
        return;
    }
    auto measured = [&] {
        CFont made;
        made.CreateFontIndirect(&font);
        CFont* old = dc.SelectObject(&made);
        CSize size = measure(&dc);
        dc.SelectObject(old);
        return size;
    };
    auto fits = [&](CSize size) { return size.cx <= room.cx && size.cy <= room.cy; };
    if (font.lfHeight == 0)
        font.lfHeight = -room.cy;
    CSize size = measured();
    for (int doubling = 0; fits(size) && doubling < 8; ++doubling) {
        ScaleFont(font, 2.0);
        size = measured();
    }
    while (!fits(size) && size.cx >= 3 && size.cy >= 3 && std::labs(font.lfHeight) > 1) {
        ScaleFont(font, 0.9);
        size = measured();
    }
}

} // namespace

void SECCalendar::FitFonts()
{
    CClientDC screen(nullptr);
    FitFont(screen, m_TitleLogFont, m_Title.GetRect().Size(), [&](CDC* dc) { return m_Title.GetTitleSize(dc); });
    FitFont(screen, m_DayBarLogFont, m_DayBar.GetRect().Size(), [&](CDC* dc) { return m_DayBar.GetBarSize(dc); });
    FitFont(screen, m_DayLogFont, m_Cells[0].GetRect().Size(), [&](CDC* dc) { return m_Cells[0].GetCellSize(dc); });
    RecreateFonts();
}

void SECCalendar::LayoutPanels()
{
    CRect client;
    GetClientRect(&client);
    int width = client.Width() - 1;
    int height = client.Height() - 1;
    m_Title.SetRect(CRect(0, 0, width, static_cast<int>(TitleBottom * height)));
    m_DayBar.SetRect(CRect(0, static_cast<int>(TitleBottom * height), width, static_cast<int>(DayBarBottom * height)));
    width = client.Width();
    height = client.Height();
    for (int index = 0; index < CellCount; ++index) {
        int column = index % 7, row = index / 7;
        m_Cells[index].SetRect(CRect(static_cast<int>(ColumnEdges[column] * width), static_cast<int>(RowEdges[row] * height),
            static_cast<int>(ColumnEdges[column + 1] * width) - 1, static_cast<int>(RowEdges[row + 1] * height) - 1));
    }
}

BOOL SECCalendar::SetFlags(DWORD flags)
{
    m_dwFlags = flags;
    return TRUE;
}

BOOL SECCalendar::SetCurrentMonthStyle(DWORD style)
{
    m_dwCurrentMonthStyle = style;
    return TRUE;
}

BOOL SECCalendar::SetOtherMonthStyle(DWORD style)
{
    m_dwOtherMonthStyle = style;
    return TRUE;
}

void SECCalendar::SetAutoSize(BOOL on) { m_dwFlags = on ? m_dwFlags | AutoSize : m_dwFlags & ~AutoSize; }

void SECCalendar::ComputeContentSize(CRect& rect, CDC* dc)
{
    if (!m_DayFont.m_hObject)
        InitFonts();
    CClientDC screen(nullptr);
    CDC* measure = dc ? dc : &screen;
    SECDayBox& sample = m_Cells[0];
    sample.SetFlags(m_dwFlags);
    sample.SetStyle(m_dwOtherMonthStyle);
    sample.SetBorderWidth(m_nBorderWidth);
    m_Title.SetStyle(m_dwCurrentMonthStyle | SECPanel::StyleCentred);
    m_DayBar.SetStyle(m_dwCurrentMonthStyle);
    CFont* old = measure->SelectObject(&m_DayFont);
    CSize cell = sample.GetCellSize(measure);
    measure->SelectObject(&m_DayBarFont);
    CSize bar = m_DayBar.GetBarSize(measure);
    measure->SelectObject(&m_TitleFont);
    CSize title = m_Title.GetTitleSize(measure);
    measure->SelectObject(old);
    rect.right = rect.left + std::max({ 7 * cell.cx, bar.cx, title.cx });
    rect.bottom = rect.top + title.cy + bar.cy + 6 * cell.cy;
}

// ---- messages

void SECCalendar::OnPaint()
{
    CPaintDC dc(this);
    CFont* old = dc.SelectObject(&m_TitleFont);
    if (dc.RectVisible(m_Title.GetRect()))
        m_Title.Draw(&dc);
    dc.SelectObject(&m_DayBarFont);
    if (dc.RectVisible(m_DayBar.GetRect()))
        m_DayBar.Draw(&dc);
    dc.SelectObject(&m_DayFont);
    for (SECDayBox& cell : m_Cells)
        if (dc.RectVisible(cell.GetRect()))
            cell.Draw(&dc);
    dc.SelectObject(old);
}

LRESULT SECCalendar::OnNcHitTest(CPoint point)
{
    LRESULT hit = CWnd::OnNcHitTest(point);
    if (!(m_dwFlags & SizableBorder) && hit >= HTLEFT && hit <= HTBORDER)
        return HTCLIENT;
    return hit;
}

SECDayBox* SECCalendar::CellAt(CPoint point)
{
    auto cell = std::find_if(m_Cells.begin(), m_Cells.end(), [&](const SECDayBox& box) { return box.HitTest(point); });
    return cell == m_Cells.end() ? nullptr : &*cell;
}

void SECCalendar::OnLButtonDown(UINT flags, CPoint point)
{
    CWnd::OnLButtonDown(flags, point);
    SECDayBox* cell = CellAt(point);
    if (!cell)
        return;
    m_bRestoreOnCancel = FALSE;
    if (SameMonth(m_SelectedDate, m_DisplayedDate)) {
        m_SavedSelection = m_SelectedDate;
        m_bRestoreOnCancel = TRUE;
    }
    cell->OnClick();
    if (cell->IsSelected() && (m_dwFlags & DragSelect)) {
        SetCapture();
        m_bTracking = TRUE;
    }
}

void SECCalendar::OnMouseMove(UINT, CPoint point)
{
    if (!m_bTracking)
        return;
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
        if (SECDayBox* cell = CellAt(point); cell && !cell->IsSelected())
            cell->OnClick();
    } else if (m_pSelectedCell && m_pSelectedCell->IsSelected()) {
        SelectDate(m_pSelectedCell->GetDayDate(), FALSE);
    }
}

void SECCalendar::OnLButtonUp(UINT, CPoint point)
{
    if (!m_bTracking)
        return;
    StopTracking();
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
        if (SECDayBox* cell = CellAt(point))
            cell->OnClick();
        if (m_dwFlags & PickOnDoubleClick)
            PickAndClose();
    } else {
        RestoreSelection();
    }
}

LRESULT SECCalendar::OnCancelMode(WPARAM, LPARAM)
{
    if (m_bTracking) {
        StopTracking();
        RestoreSelection();
    }
    return Default();
}

void SECCalendar::StopTracking()
{
    m_bTracking = FALSE;
    ReleaseCapture();
}

void SECCalendar::RestoreSelection()
{
    if (m_bRestoreOnCancel)
        SelectDate(m_SavedSelection, TRUE);
}

void SECCalendar::OnLButtonDblClk(UINT, CPoint point)
{
    for (SECDayBox& cell : m_Cells)
        if (cell.HitTest(point))
            cell.OnDoubleClick();
}

void SECCalendar::OnRButtonDown(UINT, CPoint point)
{
    for (SECDayBox& cell : m_Cells)
        if (cell.HitTest(point))
            cell.OnRightClick();
}

void SECCalendar::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (!(m_dwFlags & KeyboardOn))
        return;
    const bool ctrl = IsCtrlDown();
    switch (key) {
    case VK_CANCEL:
    case VK_ESCAPE:
        DismissAndClose();
        break;
    case VK_RETURN:
        if (m_pSelectedCell && m_pSelectedCell->IsSelected())
            PickAndClose();
        else
            DismissAndClose();
        break;
    case VK_SPACE:
        ToggleSelectDate(m_FocusDate);
        break;
    case VK_HOME:
        SelectDate(FirstOfMonth(m_DisplayedDate), TRUE);
        break;
    case VK_END: {
        COleDateTime last = FirstOfMonth(m_DisplayedDate) + COleDateTimeSpan(31.0);
        while (last.GetStatus() != COleDateTime::valid || !SameMonth(last, m_DisplayedDate))
            last -= COleDateTimeSpan(1.0);
        SelectDate(last, TRUE);
        break;
    }
    case VK_LEFT:
    case VK_NUMPAD4:
        ctrl ? PrevMonth(FALSE) : PrevDay(TRUE);
        break;
    case VK_RIGHT:
    case VK_NUMPAD6:
        ctrl ? NextMonth(FALSE) : NextDay(TRUE);
        break;
    case VK_UP:
    case VK_NUMPAD8:
        ctrl ? PrevYear(FALSE) : PrevWeek(TRUE);
        break;
    case VK_DOWN:
    case VK_NUMPAD2:
        ctrl ? NextYear(FALSE) : NextWeek(TRUE);
        break;
    case VK_PRIOR:
        ctrl ? PrevYear(FALSE) : PrevMonth(FALSE);
        break;
    case VK_NEXT:
        ctrl ? NextYear(FALSE) : NextMonth(FALSE);
        break;
    default:
        break;
    }
    CWnd::OnKeyDown(key, repeat, flags);
}

LRESULT SECCalendar::OnGetDlgCode(WPARAM, LPARAM)
{
    // On a page the arrows move through the days, not to the next control.
    return (m_dwFlags & KeyboardOn) ? DLGC_WANTARROWS : 0;
}

void SECCalendar::OnSysColorChange()
{
    LoadSysColors();
    ApplyPanelColors();
    CWnd::OnSysColorChange();
    InvalidateRect(nullptr, TRUE);
    UpdateWindow();
}

LRESULT SECCalendar::OnPickAndClose(WPARAM wParam, LPARAM lParam)
{
    if (m_pNotifyWnd && m_pNotifyWnd->m_hWnd)
        m_pNotifyWnd->PostMessage(WM_CALENDAR_PICKED, wParam, lParam);
    HideIfDropDown();
    return 0;
}

LRESULT SECCalendar::OnDismissAndClose(WPARAM wParam, LPARAM lParam)
{
    if (m_pNotifyWnd && m_pNotifyWnd->m_hWnd)
        m_pNotifyWnd->PostMessage(WM_CALENDAR_DISMISS, wParam, lParam);
    HideIfDropDown();
    return 0;
}

void SECCalendar::HideIfDropDown()
{
    // A calendar that lives on a page stays: nothing would show it again.
    if (GetStyle() & WS_POPUP)
        ShowWindow(SW_HIDE);
}
