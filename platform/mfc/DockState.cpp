#include "platform/mfc/DockState.h"

#include "platform/base/MulDiv.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockState, CObject)

namespace {

CString SummarySection(LPCWSTR profileName)
{
    CString section;
    section.Format(L"%s-Summary", profileName);
    return section;
}

// One profile section, read and written through the application.
class ProfileSection {
public:
    explicit ProfileSection(CString name)
        : m_name(std::move(name))
        , m_app(AfxGetApp())
    {
    }
    bool Usable() const { return m_app != nullptr; }
    void Erase() const { m_app->WriteProfileString(m_name, nullptr, nullptr); }
    void Write(LPCWSTR key, int value) const { m_app->WriteProfileInt(m_name, key, value); }
    int Read(LPCWSTR key, int fallback) const { return static_cast<int>(m_app->GetProfileInt(m_name, key, fallback)); }
    // What the record's fields are written and read through.
    void WriteInt(LPCWSTR key, int value) const { Write(key, value); }
    void WriteFlag(LPCWSTR key, BOOL value) const { Write(key, value ? 1 : 0); }
    int ReadInt(LPCWSTR key, int fallback) const { return Read(key, fallback); }
    BOOL ReadFlag(LPCWSTR key, BOOL fallback) const { return Read(key, fallback) != 0; }
    long long ReadCount(LPCWSTR key) const { return Read(key, 0); }

private:
    CString m_name;
    CWinApp* m_app;
};

} // namespace

CString AfxBarSection(LPCWSTR profileName, int index)
{
    CString section;
    section.Format(L"%s-Bar%d", profileName, index);
    return section;
}

BOOL CControlBarInfo::IsEmptyDockBar() const
{
    return m_bDockBar && m_bVisible && !m_bFloating && m_pointPos == CPoint(-1, -1) && m_arrBarID.size() <= 1;
}

BOOL CControlBarInfo::SaveState(LPCWSTR profileName, int index) const
{
    ProfileSection section(AfxBarSection(profileName, index));
    if (!section.Usable())
        return FALSE;
    section.Erase();
    if (IsEmptyDockBar())
        return FALSE;
    WriteFields(section);
    return TRUE;
}

BOOL CControlBarInfo::LoadState(LPCWSTR profileName, int index, const CDockState& state)
{
    ProfileSection section(AfxBarSection(profileName, index));
    if (!section.Usable())
        return FALSE;
    return ReadFields(section, state);
}

CDockState::CDockState()
{
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    m_rectDevice = CRect(0, 0, width, height);
    // Far enough inside the screen that a floating frame's caption stays within reach.
    m_rectClip.left = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXFRAME);
    m_rectClip.top = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYSMCAPTION) + GetSystemMetrics(SM_CYFRAME);
    m_rectClip.right = m_rectClip.left - GetSystemMetrics(SM_CXSMICON) + width;
    m_rectClip.bottom = m_rectClip.top - GetSystemMetrics(SM_CYSMICON) - GetSystemMetrics(SM_CYFRAME) + height;
}

void CDockState::SetScreenSize(CSize size)
{
    m_sizeLogical = size;
    // A layout with no recorded size (or a damaged one) is taken as it is, never divided by.
    m_bScaling = size.cx > 0 && size.cy > 0 && size != m_rectDevice.Size();
}

CPoint CDockState::ScalePoint(CPoint point) const
{
    if (m_bScaling) {
        const CSize device = m_rectDevice.Size();
        point.x = MulDiv(point.x, device.cx, m_sizeLogical.cx);
        point.y = MulDiv(point.y, device.cy, m_sizeLogical.cy);
    }
    point.x = std::min(point.x, m_rectClip.right);
    point.y = std::min(point.y, m_rectClip.bottom);
    return point;
}

CRect CDockState::ScaleRectPos(CRect rect) const
{
    if (m_bScaling) {
        const CSize device = m_rectDevice.Size();
        rect.OffsetRect(MulDiv(rect.left, device.cx, m_sizeLogical.cx) - rect.left,
            MulDiv(rect.top, device.cy, m_sizeLogical.cy) - rect.top);
    }
    rect.OffsetRect(rect.left > m_rectClip.right ? m_rectClip.right - rect.left : 0,
        rect.top > m_rectClip.bottom ? m_rectClip.bottom - rect.top : 0);
    return rect;
}

void CDockState::SaveState(LPCWSTR profileName) const
{
    int written = 0;
    for (const auto& info : m_arrBarInfo)
        if (info->SaveState(profileName, written))
            ++written;
    ProfileSection summary(SummarySection(profileName));
    if (!summary.Usable())
        return;
    summary.Write(L"Bars", written);
    const CSize screen = GetScreenSize();
    summary.Write(L"ScreenCX", screen.cx);
    summary.Write(L"ScreenCY", screen.cy);
}

void CDockState::LoadState(LPCWSTR profileName)
{
    Clear();
    ProfileSection summary(SummarySection(profileName));
    if (!summary.Usable())
        return;
    const int bars = summary.Read(L"Bars", 0);
    SetScreenSize(CSize(summary.Read(L"ScreenCX", 0), summary.Read(L"ScreenCY", 0)));
    if (bars < 0 || bars > kMaxRecords)
        return; // damaged: keep the layout the frame has
    for (int i = 0; i < bars; ++i) {
        auto info = CreateBarInfo();
        if (info->LoadState(profileName, i, *this))
            m_arrBarInfo.push_back(std::move(info));
    }
}
