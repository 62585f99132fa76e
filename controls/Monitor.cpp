#include "controls/Monitor.h"

CMonitor CMonitor::FromPoint(POINT point)
{
    CMonitor monitor;
    monitor.Attach(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
    return monitor;
}

void CMonitor::GetMonitorRect(RECT* rect) const
{
    MONITORINFO info { sizeof info };
    if (m_hMonitor && GetMonitorInfoW(m_hMonitor, &info))
        *rect = info.rcMonitor;
    else
        SetRectEmpty(rect);
}
