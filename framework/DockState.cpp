#include "framework/DockState.h"

#include "framework/ControlBar.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>
#include <cwchar>

IMPLEMENT_DYNAMIC(SECDockState, CDockState)

namespace {

void ThrowDamaged()
{
    AfxThrowArchiveException(CArchiveException::badIndex);
}

// A count read from an archive, refused when no layout could have it.
DWORD CheckedCount(DWORD count)
{
    if (count > static_cast<DWORD>(CDockState::kMaxRecords))
        ThrowDamaged();
    return count;
}

template <typename T>
void Exchange(CArchive& archive, T& value)
{
    if (archive.IsStoring())
        archive << value;
    else
        archive >> value;
}

void ExchangeFlag(CArchive& archive, BOOL& flag)
{
    DWORD value = flag ? 1 : 0;
    Exchange(archive, value);
    flag = value != 0;
}

void ExchangeSize(CArchive& archive, CSize& size)
{
    std::int32_t cx = size.cx, cy = size.cy;
    Exchange(archive, cx);
    Exchange(archive, cy);
    size = CSize(cx, cy);
}

void ExchangePoint(CArchive& archive, CPoint& point)
{
    CSize size(point.x, point.y);
    ExchangeSize(archive, size);
    point = CPoint(size.cx, size.cy);
}

// Stored sizes below 1 are damage: they read back as 0.
CSize Repaired(CSize size)
{
    return CSize(size.cx < 1 ? 0 : size.cx, size.cy < 1 ? 0 : size.cy);
}

} // namespace

CString FormatPctWidth(float share)
{
    CString text;
    text.Format(L"%d", static_cast<int>(share / 0.000001f));
    return text;
}

float ParsePctWidth(const CString& text)
{
    return static_cast<float>(std::wcstol(text, nullptr, 10)) * 0.000001f;
}

BOOL SECControlBarInfo::SaveState(LPCWSTR profileName, int index) const
{
    if (!CControlBarInfo::SaveState(profileName, index))
        return FALSE;
    CWinApp* app = AfxGetApp();
    const CString section = AfxBarSection(profileName, index);
    auto write = [&](LPCWSTR key, DWORD value) { app->WriteProfileInt(section, key, static_cast<int>(value)); };
    write(L"Style", m_dwStyle);
    write(L"ExStyle", m_dwExStyle);
    write(L"PrevFloating", m_bPrevFloating);
    write(L"MDIChild", m_bMDIChild);
    app->WriteProfileString(section, L"PctWidth", FormatPctWidth(m_fPctWidth));
    write(L"MRUFloatCX", static_cast<DWORD>(m_szFloat.cx));
    write(L"MRUFloatCY", static_cast<DWORD>(m_szFloat.cy));
    write(L"MRUHorzDockCX", static_cast<DWORD>(m_szHorzDock.cx));
    write(L"MRUHorzDockCY", static_cast<DWORD>(m_szHorzDock.cy));
    write(L"MRUVertDockCX", static_cast<DWORD>(m_szVertDock.cx));
    write(L"MRUVertDockCY", static_cast<DWORD>(m_szVertDock.cy));
    write(L"MRUDockingState", m_dwMRUDockingState);
    write(L"DockingStyle", m_dwDockStyle);
    write(L"TypeID", m_nTypeID);
    app->WriteProfileString(section, L"ClassName", m_strClassName);
    app->WriteProfileString(section, L"WindowName", m_strWindowName);
    write(L"ResourceID", m_nResourceID);
    write(L"AutoHide", m_bAutoHide);
    write(L"AutoHidePinned", m_bAutoHidePinned);
    write(L"LastAlignedDocking", m_dwLastAlignedDocking);
    return TRUE;
}

BOOL SECControlBarInfo::LoadState(LPCWSTR profileName, int index, const CDockState& state)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    const CString section = AfxBarSection(profileName, index);
    auto read = [&](LPCWSTR key, DWORD fallback) { return static_cast<DWORD>(app->GetProfileInt(section, key, static_cast<int>(fallback))); };
    const int x = static_cast<int>(read(L"XPos", static_cast<DWORD>(-1)));
    const BOOL loaded = CControlBarInfo::LoadState(profileName, index, state);
    m_pointPos.x = x;
    m_dwStyle = read(L"Style", 0);
    m_dwExStyle = read(L"ExStyle", 0);
    m_bPrevFloating = read(L"PrevFloating", 0) != 0;
    m_bMDIChild = read(L"MDIChild", 0) != 0;
    m_fPctWidth = std::max(0.0f, ParsePctWidth(app->GetProfileString(section, L"PctWidth", L"")));
    auto size = [&](LPCWSTR cx, LPCWSTR cy) {
        return Repaired(CSize(static_cast<int>(read(cx, 0)), static_cast<int>(read(cy, 0))));
    };
    m_szFloat = size(L"MRUFloatCX", L"MRUFloatCY");
    m_szHorzDock = size(L"MRUHorzDockCX", L"MRUHorzDockCY");
    m_szVertDock = size(L"MRUVertDockCX", L"MRUVertDockCY");
    m_dwMRUDockingState = read(L"MRUDockingState", m_dwMRUDockingState);
    m_dwDockStyle = read(L"DockingStyle", m_dwDockStyle);
    m_nTypeID = read(L"TypeID", 0);
    m_strClassName = app->GetProfileString(section, L"ClassName", L"");
    m_strWindowName = app->GetProfileString(section, L"WindowName", L"");
    m_nResourceID = read(L"ResourceID", m_nResourceID);
    m_bAutoHide = read(L"AutoHide", 0) != 0;
    m_bAutoHidePinned = read(L"AutoHidePinned", 1) != 0;
    m_dwLastAlignedDocking = read(L"LastAlignedDocking", 0);
    return loaded;
}

void SECControlBarInfo::Serialize(CArchive& archive, const SECDockState& state)
{
    const bool loading = archive.IsLoading();
    const bool withMRU = state.m_dwVersion > 1;
    DWORD id = m_nBarID;
    Exchange(archive, id);
    m_nBarID = id;
    ExchangeFlag(archive, m_bVisible);
    ExchangeFlag(archive, m_bFloating);
    ExchangeFlag(archive, m_bHorz);
    ExchangePoint(archive, m_pointPos);
    if (loading) {
        m_bDockBar = m_nBarID >= AFX_IDW_DOCKBAR_TOP && m_nBarID <= AFX_IDW_DOCKBAR_FLOAT;
        if (withMRU)
            m_pointPos = state.ScalePoint(m_pointPos);
    }
    if (withMRU) {
        DWORD width = static_cast<DWORD>(m_nMRUWidth);
        Exchange(archive, width);
        m_nMRUWidth = static_cast<int>(width);
        ExchangeFlag(archive, m_bDocking);
        if (m_bDocking) {
            DWORD dockId = m_uMRUDockID;
            Exchange(archive, dockId);
            m_uMRUDockID = dockId;
            CPoint topLeft = m_rectMRUDockPos.TopLeft(), bottomRight = m_rectMRUDockPos.BottomRight();
            ExchangePoint(archive, topLeft);
            ExchangePoint(archive, bottomRight);
            Exchange(archive, m_dwMRUFloatStyle);
            ExchangePoint(archive, m_ptMRUFloatPos);
            if (loading) {
                m_rectMRUDockPos = state.ScaleRectPos(CRect(topLeft, bottomRight));
                m_ptMRUFloatPos = state.ScalePoint(m_ptMRUFloatPos);
            }
        }
    }
    Exchange(archive, m_dwStyle);
    Exchange(archive, m_dwExStyle);
    ExchangeFlag(archive, m_bPrevFloating);
    ExchangeFlag(archive, m_bMDIChild);
    CString share = FormatPctWidth(m_fPctWidth);
    Exchange(archive, share);
    if (loading)
        m_fPctWidth = ParsePctWidth(share);
    ExchangeSize(archive, m_szFloat);
    ExchangeSize(archive, m_szHorzDock);
    ExchangeSize(archive, m_szVertDock);
    Exchange(archive, m_dwMRUDockingState);
    Exchange(archive, m_dwDockStyle);
    DWORD type = m_nTypeID;
    Exchange(archive, type);
    m_nTypeID = type;
    DWORD count = static_cast<DWORD>(m_arrBarID.size());
    Exchange(archive, count);
    if (loading)
        m_arrBarID.assign(CheckedCount(count), 0);
    for (UINT& contained : m_arrBarID) {
        DWORD value = contained;
        Exchange(archive, value);
        contained = value;
    }
}

BOOL SECDockState::GetState(CFrameWnd* frame)
{
    if (!frame)
        return FALSE;
    frame->GetDockState(*this);
    // Only toolkit bars and dock bars are kept; a toolkit bar adds its own fields.
    std::erase_if(m_arrBarInfo, [](const std::unique_ptr<CControlBarInfo>& info) {
        return !info->m_bDockBar && !dynamic_cast<SECControlBar*>(info->m_pBar);
    });
    for (auto& info : m_arrBarInfo)
        if (auto* bar = dynamic_cast<SECControlBar*>(info->m_pBar))
            bar->GetBarInfo(static_cast<SECControlBarInfo*>(info.get()));
    return TRUE;
}

BOOL SECDockState::SetState(CFrameWnd* frame)
{
    if (!frame)
        return FALSE;
    // Bind each bar record to its bar, making missing ones where that is safe; records of bars
    // that cannot be had are dropped.
    std::erase_if(m_arrBarInfo, [&](std::unique_ptr<CControlBarInfo>& record) {
        if (record->m_bDockBar)
            return false;
        auto* info = dynamic_cast<SECControlBarInfo*>(record.get());
        CControlBar* bar = frame->GetControlBar(record->m_nBarID);
        if (!bar && info)
            bar = CreateMissingBar(*info, frame);
        record->m_pBar = bar;
        return bar == nullptr;
    });
    for (auto& record : m_arrBarInfo)
        if (auto* bar = dynamic_cast<SECControlBar*>(record->m_pBar))
            if (auto* info = dynamic_cast<SECControlBarInfo*>(record.get()))
                bar->SetBarInfo(*info);
    frame->SetDockState(*this);
    return TRUE;
}

void SECDockState::Serialize(CArchive& archive)
{
    if (archive.IsStoring()) {
        archive << kVersion;
        const CSize screen = GetScreenSize();
        archive << static_cast<std::int32_t>(screen.cx) << static_cast<std::int32_t>(screen.cy);
        archive << static_cast<WORD>(std::min<size_t>(m_arrBarInfo.size(), kMaxRecords));
        m_dwVersion = kVersion;
        for (size_t i = 0; i < m_arrBarInfo.size() && i < kMaxRecords; ++i)
            static_cast<SECControlBarInfo&>(*m_arrBarInfo[i]).Serialize(archive, *this);
        return;
    }
    Clear();
    try {
        archive >> m_dwVersion;
        if (m_dwVersion < 1 || m_dwVersion > kVersion)
            AfxThrowArchiveException(CArchiveException::badSchema); // not a layout we wrote
        if (m_dwVersion > 1) {
            std::int32_t cx = 0, cy = 0;
            archive >> cx >> cy;
            SetScreenSize(CSize(cx, cy));
        }
        WORD count = 0;
        archive >> count;
        CheckedCount(count);
        for (WORD i = 0; i < count; ++i) {
            auto info = std::make_unique<SECControlBarInfo>();
            info->Serialize(archive, *this);
            m_arrBarInfo.push_back(std::move(info));
        }
    } catch (CException*) {
        Clear(); // nothing of a damaged layout is kept
        m_dwVersion = kVersion;
        throw;
    }
    m_dwVersion = kVersion;
}

CRuntimeClass* SECDockState::FindRuntimeClass(LPCWSTR className)
{
    return className && *className ? CRuntimeClass::FromName(className) : nullptr;
}

SECControlBar* SECDockState::CreateMissingBar(const SECControlBarInfo& info, CFrameWnd* frame) const
{
    if (!frame || info.m_bDockBar || info.m_bFloating)
        return nullptr;
    // Only a toolkit control bar is made: a layout names classes, and any other class would be
    // made and then used as a bar.
    CRuntimeClass* barClass = FindRuntimeClass(info.m_strClassName);
    if (!barClass || !barClass->m_pfnCreateObject || !barClass->IsDerivedFrom(RUNTIME_CLASS(SECControlBar)))
        return nullptr;
    CObject* made = barClass->CreateObject();
    auto* bar = dynamic_cast<SECControlBar*>(made);
    if (!bar) {
        delete made;
        return nullptr;
    }
    if (!bar->CreateFromBarInfo(frame, info)) {
        delete bar;
        return nullptr;
    }
    bar->m_bAutoDelete = TRUE; // the frame's bar now: it goes with its window
    bar->EnableDocking(CBRS_ALIGN_ANY);
    return bar;
}
