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
