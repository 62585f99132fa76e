#include "platform/user/PressTracker.h"

namespace fln::user {

void PressTracker::PressMouse()
{
    m_source = Source::Mouse;
    m_inside = true;
}

void PressTracker::MoveMouse(bool inside)
{
    if (ByMouse())
        m_inside = inside;
}

bool PressTracker::ReleaseMouse(bool inside)
{
    if (!ByMouse())
        return false;
    Cancel();
    return inside;
}

void PressTracker::PressKey()
{
    if (Active())
        return;
    m_source = Source::Key;
    m_inside = true;
}

bool PressTracker::ReleaseKey()
{
    if (m_source != Source::Key)
        return false;
    Cancel();
    return true;
}

void PressTracker::Cancel()
{
    m_source = Source::None;
    m_inside = false;
}

} // namespace fln::user
