#pragma once
// The saved layout of a frame's control bars. A CControlBarInfo records one bar (where it is
// docked or floating, whether it shows, where it was last docked and floated) or one dock bar
// (the ids of its bars row by row, 0 ending each row). CDockState holds the records of a whole
// frame, with the screen size they were taken on: points and rectangles read back on a screen of
// another size are scaled to it and kept within reach of the pointer.

#include "platform/base/CString.h"
#include "platform/base/Geometry.h"
#include "platform/base/RunTimeClass.h"
#include "platform/mfc/BarStyles.h"

#include <memory>
#include <vector>

class CControlBar;
class CDockState;

class CControlBarInfo {
public:
    virtual ~CControlBarInfo() = default;
    // Writes the record into the section "<profileName>-Bar<index>"; FALSE (nothing written) for
    // the record of a dock bar that holds at most one row break and nothing else.
    virtual BOOL SaveState(LPCWSTR profileName, int index) const;
    virtual BOOL LoadState(LPCWSTR profileName, int index, const CDockState& state);
    BOOL IsEmptyDockBar() const;
    // The record's fields through any key/value store (the profile here, a persistent tree in the
    // toolkit): sink.WriteInt/WriteFlag(key, value); source.ReadInt/ReadFlag(key, fallback) and
    // source.ReadCount(key). Reading gives FALSE for a damaged record.
    template<typename Sink>
    void WriteFields(Sink& sink) const;
    template<typename Source>
    BOOL ReadFields(const Source& source, const CDockState& state);

    UINT m_nBarID = 0;
    BOOL m_bVisible = TRUE;
    BOOL m_bFloating = FALSE;
    BOOL m_bHorz = TRUE;
    BOOL m_bDockBar = FALSE;
    CPoint m_pointPos { -1, -1 };
    int m_nMRUWidth = 32767;
    BOOL m_bDocking = FALSE;
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;
    std::vector<UINT> m_arrBarID; // a dock bar's bars; 0 ends a row
    CControlBar* m_pBar = nullptr;  // the bar the record was taken from or is applied to
};

// The profile section of the record at that index: "<profileName>-Bar<index>".
CString AfxBarSection(LPCWSTR profileName, int index);

class CDockState : public CObject {
    DECLARE_DYNAMIC(CDockState)
public:
    // The most records and contained ids read back; a larger count is damage, not a layout.
    static constexpr int kMaxRecords = 1024;

    CDockState();

    void SaveState(LPCWSTR profileName) const;
    void LoadState(LPCWSTR profileName);
    // A new, empty record of the kind this state keeps.
    virtual std::unique_ptr<CControlBarInfo> CreateBarInfo() const { return std::make_unique<CControlBarInfo>(); }
    void Clear() { m_arrBarInfo.clear(); }

    // The screen size of this machine (that of the virtual screen).
    CSize GetScreenSize() const { return m_rectDevice.Size(); }
    // The screen size the records were taken on; points are scaled when it differs from ours.
    void SetScreenSize(CSize size);
    CPoint ScalePoint(CPoint point) const;
    CRect ScaleRectPos(CRect rect) const;

    std::vector<std::unique_ptr<CControlBarInfo>> m_arrBarInfo;

private:
    CRect m_rectDevice;
    CRect m_rectClip;
    CSize m_sizeLogical;
    BOOL m_bScaling = FALSE;
};

template<typename Sink>
void CControlBarInfo::WriteFields(Sink& sink) const
{
    sink.WriteInt(L"BarID", static_cast<int>(m_nBarID));
    if (!m_bVisible)
        sink.WriteFlag(L"Visible", FALSE);
    if (m_bFloating) {
        sink.WriteFlag(L"Horz", m_bHorz);
        sink.WriteFlag(L"Floating", TRUE);
    }
    if (m_pointPos.x != -1)
        sink.WriteInt(L"XPos", m_pointPos.x);
    if (m_pointPos.y != -1)
        sink.WriteInt(L"YPos", m_pointPos.y);
    if (m_nMRUWidth != 32767)
        sink.WriteInt(L"MRUWidth", m_nMRUWidth);
    if (m_bDocking) {
        sink.WriteFlag(L"Docking", TRUE);
        sink.WriteInt(L"MRUDockID", static_cast<int>(m_uMRUDockID));
        sink.WriteInt(L"MRUDockLeftPos", m_rectMRUDockPos.left);
        sink.WriteInt(L"MRUDockTopPos", m_rectMRUDockPos.top);
        sink.WriteInt(L"MRUDockRightPos", m_rectMRUDockPos.right);
        sink.WriteInt(L"MRUDockBottomPos", m_rectMRUDockPos.bottom);
        sink.WriteInt(L"MRUFloatStyle", static_cast<int>(m_dwMRUFloatStyle));
        sink.WriteInt(L"MRUFloatXPos", m_ptMRUFloatPos.x);
        sink.WriteInt(L"MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    if (m_arrBarID.size() > 1) {
        sink.WriteInt(L"Bars", static_cast<int>(m_arrBarID.size()));
        for (size_t i = 0; i < m_arrBarID.size(); ++i) {
            CString key;
            key.Format(L"Bar#%d", static_cast<int>(i));
            sink.WriteInt(key, static_cast<int>(m_arrBarID[i]));
        }
    }
}

template<typename Source>
BOOL CControlBarInfo::ReadFields(const Source& source, const CDockState& state)
{
    m_nBarID = static_cast<UINT>(source.ReadInt(L"BarID", 0));
    m_bDockBar = m_nBarID >= AFX_IDW_DOCKBAR_TOP && m_nBarID <= AFX_IDW_DOCKBAR_FLOAT; // the dock bars' own ids
    m_bVisible = source.ReadFlag(L"Visible", TRUE);
    m_bHorz = source.ReadFlag(L"Horz", TRUE);
    m_bFloating = source.ReadFlag(L"Floating", FALSE);
    m_pointPos = state.ScalePoint(CPoint(source.ReadInt(L"XPos", -1), source.ReadInt(L"YPos", -1)));
    m_nMRUWidth = source.ReadInt(L"MRUWidth", 32767);
    m_bDocking = source.ReadFlag(L"Docking", FALSE);
    if (m_bDocking) {
        m_uMRUDockID = static_cast<UINT>(source.ReadInt(L"MRUDockID", 0));
        m_rectMRUDockPos = state.ScaleRectPos(CRect(source.ReadInt(L"MRUDockLeftPos", 0), source.ReadInt(L"MRUDockTopPos", 0),
            source.ReadInt(L"MRUDockRightPos", 0), source.ReadInt(L"MRUDockBottomPos", 0)));
        m_dwMRUFloatStyle = static_cast<DWORD>(source.ReadInt(L"MRUFloatStyle", 0));
        m_ptMRUFloatPos = state.ScalePoint(CPoint(source.ReadInt(L"MRUFloatXPos", 0), source.ReadInt(L"MRUFloatYPos", 0)));
    }
    m_arrBarID.clear();
    const long long bars = source.ReadCount(L"Bars");
    if (bars < 0 || bars > CDockState::kMaxRecords)
        return FALSE; // damaged: a count no layout has
    for (int i = 0; i < bars; ++i) {
        CString key;
        key.Format(L"Bar#%d", i);
        m_arrBarID.push_back(static_cast<UINT>(source.ReadInt(key, 0)));
    }
    return m_nBarID != 0;
}
