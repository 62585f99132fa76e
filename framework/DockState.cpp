#include "framework/DockState.h"

#include "framework/ControlBar.h"
#include "framework/ToolkitFrame.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>
#include <cwchar>

IMPLEMENT_SERIAL(SECDockState, CDockState, 1)

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

// Keys of the profile section of one bar.
struct ProfileStore {
    CWinApp* app;
    CString section;

    void WriteInt(LPCWSTR key, long long value) { app->WriteProfileInt(section, key, static_cast<int>(value)); }
    void WriteFlag(LPCWSTR key, BOOL value) { WriteInt(key, value ? 1 : 0); }
    void WriteText(LPCWSTR key, const CString& value) { app->WriteProfileString(section, key, value); }
    int ReadInt(LPCWSTR key, int fallback) const { return app->GetProfileInt(section, key, fallback); }
    BOOL ReadFlag(LPCWSTR key, BOOL fallback) const { return ReadInt(key, fallback) != 0; }
    CString ReadText(LPCWSTR key) const { return app->GetProfileString(section, key, L""); }
};

struct NodeSink {
    SECPersistentTreeNode& node;

    void WriteInt(const CString& key, long long value) { node.SetIntValue(key, value); }
    void WriteFlag(const CString& key, BOOL value) { node.SetBoolValue(key, value); }
    void WriteText(const CString& key, const CString& value) { node.SetStringValue(key, value); }
};

struct NodeSource {
    const SECPersistentTreeNode& node;

    int ReadInt(const CString& key, int fallback) const
    {
        int value = fallback;
        node.GetIntValue(key, value, fallback);
        return value;
    }
    // A count is read whole, so that a huge stored one is not cut down to a plausible one.
    long long ReadCount(const CString& key) const
    {
        long long value = 0;
        node.GetIntValue(key, value);
        return value;
    }
    BOOL ReadFlag(const CString& key, BOOL fallback) const
    {
        BOOL value = fallback;
        node.GetBoolValue(key, value, fallback);
        return value;
    }
    CString ReadText(const CString& key) const
    {
        CString value;
        node.GetStringValue(key, value);
        return value;
    }
};

CString Numbered(LPCWSTR format, int index)
{
    CString text;
    text.Format(format, index);
    return text;
}

// The child of that name, made when missing and emptied when present, so that saving over an
// earlier layout leaves none of its values behind.
SECPersistentTreeNode* FreshChild(SECPTNFactory& factory, SECPersistentTreeNode& parent, const CString& name)
{
    SECPersistentTreeNode* child = parent.FindChild(name);
    if (!child)
        return factory.CreateNode(name, &parent);
    while (!child->GetPairs().empty()) {
        const CString key = child->GetPairs().front()->key;
        child->DeleteValue(key);
    }
    return child;
}

// The toolkit's fields are written and read the same way in the profile and the tree; only the
// store differs. A sink has WriteInt, WriteFlag and WriteText; a source the matching readers,
// each taking the value a missing key gives.
template <typename Sink>
void WriteToolkitFields(const SECControlBarInfo& info, Sink& sink)
{
    sink.WriteInt(L"Style", info.m_dwStyle);
    sink.WriteInt(L"ExStyle", info.m_dwExStyle);
    sink.WriteFlag(L"PrevFloating", info.m_bPrevFloating);
    sink.WriteFlag(L"MDIChild", info.m_bMDIChild);
    sink.WriteFlag(L"AutoHide", info.m_bAutoHide);
    sink.WriteFlag(L"AutoHidePinned", info.m_bAutoHidePinned);
    sink.WriteInt(L"LastAlignedDocking", info.m_dwLastAlignedDocking);
    sink.WriteText(L"PctWidth", FormatPctWidth(info.m_fPctWidth));
    sink.WriteInt(L"MRUFloatCX", info.m_szFloat.cx);
    sink.WriteInt(L"MRUFloatCY", info.m_szFloat.cy);
    sink.WriteInt(L"MRUHorzDockCX", info.m_szHorzDock.cx);
    sink.WriteInt(L"MRUHorzDockCY", info.m_szHorzDock.cy);
    sink.WriteInt(L"MRUVertDockCX", info.m_szVertDock.cx);
    sink.WriteInt(L"MRUVertDockCY", info.m_szVertDock.cy);
    sink.WriteInt(L"MRUDockingState", info.m_dwMRUDockingState);
    sink.WriteInt(L"DockingStyle", info.m_dwDockStyle);
    sink.WriteInt(L"TypeID", info.m_nTypeID);
    sink.WriteText(L"ClassName", info.m_strClassName);
    sink.WriteText(L"WindowName", info.m_strWindowName);
    sink.WriteInt(L"ResourceID", info.m_nResourceID);
}

template <typename Source>
void ReadToolkitFields(SECControlBarInfo& info, const Source& source)
{
    auto dword = [&](LPCWSTR key, DWORD fallback) { return static_cast<DWORD>(source.ReadInt(key, static_cast<int>(fallback))); };
    info.m_dwStyle = dword(L"Style", 0);
    info.m_dwExStyle = dword(L"ExStyle", 0);
    info.m_bPrevFloating = source.ReadFlag(L"PrevFloating", FALSE);
    info.m_bMDIChild = source.ReadFlag(L"MDIChild", FALSE);
    info.m_bAutoHide = source.ReadFlag(L"AutoHide", FALSE);
    info.m_bAutoHidePinned = source.ReadFlag(L"AutoHidePinned", TRUE);
    info.m_dwLastAlignedDocking = dword(L"LastAlignedDocking", 0);
    info.m_fPctWidth = std::max(0.0f, ParsePctWidth(source.ReadText(L"PctWidth")));
    auto size = [&](LPCWSTR cx, LPCWSTR cy) { return Repaired(CSize(source.ReadInt(cx, 0), source.ReadInt(cy, 0))); };
    info.m_szFloat = size(L"MRUFloatCX", L"MRUFloatCY");
    info.m_szHorzDock = size(L"MRUHorzDockCX", L"MRUHorzDockCY");
    info.m_szVertDock = size(L"MRUVertDockCX", L"MRUVertDockCY");
    info.m_dwMRUDockingState = dword(L"MRUDockingState", info.m_dwMRUDockingState);
    info.m_dwDockStyle = dword(L"DockingStyle", info.m_dwDockStyle);
    info.m_nTypeID = dword(L"TypeID", 0);
    info.m_strClassName = source.ReadText(L"ClassName");
    info.m_strWindowName = source.ReadText(L"WindowName");
    info.m_nResourceID = dword(L"ResourceID", info.m_nResourceID);
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
    ProfileStore store { AfxGetApp(), AfxBarSection(profileName, index) };
    WriteToolkitFields(*this, store);
    return TRUE;
}

BOOL SECControlBarInfo::LoadState(LPCWSTR profileName, int index, const CDockState& state)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    const ProfileStore store { app, AfxBarSection(profileName, index) };
    // The profile keeps x as written: the base load's scaling of it is undone.
    const int x = store.ReadInt(L"XPos", -1);
    const BOOL loaded = CControlBarInfo::LoadState(profileName, index, state);
    m_pointPos.x = x;
    ReadToolkitFields(*this, store);
    return loaded;
}

BOOL SECControlBarInfo::SaveState(SECPTNFactory& factory, SECPersistentTreeNode* parentNode, int index) const
{
    if (!parentNode || IsEmptyDockBar())
        return FALSE;
    SECPersistentTreeNode* node = FreshChild(factory, *parentNode, Numbered(L"Bar-%d", index));
    if (!node)
        return FALSE;
    SaveBaseState(*node);
    SaveToolkitState(*node);
    return TRUE;
}

BOOL SECControlBarInfo::LoadState(const SECPersistentTreeNode* node, const CDockState& state)
{
    if (!node)
        return FALSE;
    const BOOL loaded = LoadBaseState(*node, state);
    LoadToolkitState(*node);
    return loaded;
}

void SECControlBarInfo::SaveBaseState(SECPersistentTreeNode& node) const
{
    NodeSink sink { node };
    WriteFields(sink);
}

void SECControlBarInfo::SaveToolkitState(SECPersistentTreeNode& node) const
{
    NodeSink sink { node };
    WriteToolkitFields(*this, sink);
}

BOOL SECControlBarInfo::LoadBaseState(const SECPersistentTreeNode& node, const CDockState& state)
{
    return ReadFields(NodeSource { node }, state);
}

void SECControlBarInfo::LoadToolkitState(const SECPersistentTreeNode& node)
{
    ReadToolkitFields(*this, NodeSource { node });
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
        m_bAutoHideStored = false;
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
    // Auto-hidden bars go back on their strips: the layout has them floating, hidden.
    if (auto* toolkitFrame = dynamic_cast<SECToolkitFrame*>(frame))
        for (auto& record : m_arrBarInfo)
            if (auto* bar = dynamic_cast<SECControlBar*>(record->m_pBar))
                toolkitFrame->RestoreAutoHide(bar);
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

BOOL SECDockState::SaveState(SECPTNFactory& factory, SECPersistentTreeNode* parentNode) const
{
    if (!parentNode)
        return FALSE;
    SECPersistentTreeNode* node = FreshChild(factory, *parentNode, L"DockState");
    if (!node)
        return FALSE;
    int written = 0;
    for (const auto& record : m_arrBarInfo)
        if (auto* info = dynamic_cast<const SECControlBarInfo*>(record.get()); info && info->SaveState(factory, node, written))
            ++written;
    NodeSink sink { *node };
    sink.WriteInt(L"Bars", written);
    const CSize screen = GetScreenSize();
    sink.WriteInt(L"ScreenCX", screen.cx);
    sink.WriteInt(L"ScreenCY", screen.cy);
    return TRUE;
}

BOOL SECDockState::LoadState(const SECPersistentTreeNode* node)
{
    Clear();
    const SECPersistentTreeNode* layout = node ? node->FindChild(L"DockState") : nullptr;
    if (!layout)
        return FALSE;
    const NodeSource source { *layout };
    const long long bars = source.ReadCount(L"Bars");
    SetScreenSize(CSize(source.ReadInt(L"ScreenCX", 0), source.ReadInt(L"ScreenCY", 0)));
    m_dwVersion = kVersion;
    if (bars < 0 || bars > kMaxRecords)
        return FALSE; // damaged: keep the layout the frame has
    for (int i = 0; i < bars; ++i) {
        const SECPersistentTreeNode* barNode = layout->FindChild(Numbered(L"Bar-%d", i));
        auto info = std::make_unique<SECControlBarInfo>();
        if (info->LoadState(barNode, *this))
            m_arrBarInfo.push_back(std::move(info));
    }
    return TRUE;
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
