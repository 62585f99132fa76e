#pragma once
// The monitor under a point, and its full rectangle.

#include "platform/base/RunTimeClass.h"
#include "platform/user/WinUser.h"

class CMonitor : public CObject {
public:
    CMonitor() = default;
    CMonitor(const CMonitor& other) : CObject(), m_hMonitor(other.m_hMonitor) {}
    CMonitor& operator=(const CMonitor& other)
    {
        m_hMonitor = other.m_hMonitor;
        return *this;
    }

    // The monitor nearest the point.
    static CMonitor FromPoint(POINT point);
    void Attach(HMONITOR monitor) { m_hMonitor = monitor; }
    HMONITOR GetHandle() const { return m_hMonitor; }
    // The monitor's whole rectangle (not its work area); empty without a monitor.
    void GetMonitorRect(RECT* rect) const;

private:
    HMONITOR m_hMonitor = nullptr;
};
