#include "app/CentredControls.h"

#include "platform/user/WinUser.h"

#include <algorithm>

void CentredControls::Record(HWND form, SIZE reference)
{
    m_form = form;
    m_reference = reference;
    m_applied = {};
    m_controls.clear();
    for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        m_controls.push_back(child);
}

void CentredControls::Layout(int width, int height)
{
    const POINT offset { std::max(0, (width - m_reference.cx) / 2), std::max(0, (height - m_reference.cy) / 2) };
    const int dx = offset.x - m_applied.x;
    const int dy = offset.y - m_applied.y;
    if (!m_form || (dx == 0 && dy == 0))
        return;
    m_applied = offset;
    HDWP positions = ::BeginDeferWindowPos(static_cast<int>(m_controls.size()));
    for (HWND control : m_controls) {
        RECT rect {};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, m_form, reinterpret_cast<POINT*>(&rect), 2);
        positions = ::DeferWindowPos(positions, control, nullptr, rect.left + dx, rect.top + dy, 0, 0,
            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::EndDeferWindowPos(positions);
    ::InvalidateRect(m_form, nullptr, TRUE);
}
