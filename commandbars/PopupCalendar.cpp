#include "commandbars/PopupCalendar.h"

#include "platform/mfc/Dc.h"

IMPLEMENT_DYNCREATE(SECPopupCalendar, SECCalendar)

BEGIN_MESSAGE_MAP(SECPopupCalendar, SECCalendar)
ON_WM_ACTIVATE()
END_MESSAGE_MAP()

SECPopupCalendar::SECPopupCalendar()
{
    SetFlags(PopupFlags);
    SetCurrentMonthStyle(SECPanel::StyleReserved | SECPanel::Style3dSelected | SECPanel::StyleCentred);
    SetOtherMonthStyle(0x181);
}

BOOL SECPopupCalendar::CreatePopup(DWORD style, const RECT& anchor, CWnd* notify, UINT id)
{
    if (m_hWnd)
        DestroyWindow();
    SetAutoSize(TRUE);
    CRect rect(0, 0, 0, 0);
    {
        CClientDC dc(notify);
        ComputeContentSize(rect, &dc);
    }
    DWORD windowStyle = (style & ~AlignLeft) | WS_POPUP;
    AdjustWindowRectEx(&rect, windowStyle, FALSE, 0);
    rect.OffsetRect(-rect.left, -rect.top);

    MONITORINFO monitor { sizeof monitor };
    GetMonitorInfo(MonitorFromPoint({ anchor.left, anchor.top }, MONITOR_DEFAULTTONEAREST), &monitor);
    CPoint place = PlaceBeside(style, anchor, rect.Size(), monitor.rcWork);
    rect.OffsetRect(place);
    if (!Create(windowStyle, rect, notify, id))
        return FALSE;
    SetFocus();
    return TRUE;
}

CPoint SECPopupCalendar::PlaceBeside(DWORD style, const RECT& anchor, CSize size, const RECT& workArea)
{
    CPoint place;
    if (style & AlignLeft) {
        place.x = anchor.left;
        if (place.x + size.cx >= workArea.right)
            place.x = anchor.right - size.cx;
    } else {
        place.x = anchor.right;
        if (place.x + size.cx >= workArea.right)
            place.x = anchor.left - size.cx;
    }
    place.y = anchor.bottom;
    if (place.y + size.cy >= workArea.bottom)
        place.y = anchor.top - size.cy;
    return place;
}

void SECPopupCalendar::OnActivate(UINT state, CWnd* other, BOOL minimized)
{
    SECCalendar::OnActivate(state, other, minimized);
    if (state != WA_INACTIVE || !IsWindowVisible())
        return;
    SECDayBox* selected = GetSelectedDayBox();
    if (m_bCloseWithPick && selected && selected->IsSelected())
        PickAndClose();
    else
        DismissAndClose();
}
