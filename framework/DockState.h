#pragma once
// The toolkit's saved bar layout: every record carries, beyond the platform's, the bar's sizes
// for each placement, its share of a dock row, its styles and what makes it again (class and
// window name). Three forms: the profile (SaveState/LoadState with a profile name), an archive
// (Serialize), and the frame itself (GetState collects it, SetState applies it). A layout that
// names a bar the frame lacks makes that bar again when its class is a toolkit control bar;
// anything else in a damaged or foreign layout is ignored.

#include "platform/base/Archive.h"
#include "platform/mfc/DockState.h"

class CFrameWnd;
class SECControlBar;
class SECDockState;

class SECControlBarInfo : public CControlBarInfo {
public:
    BOOL SaveState(LPCWSTR profileName, int index) const override;
    BOOL LoadState(LPCWSTR profileName, int index, const CDockState& state) override;
    // The archive form; loading throws a CArchiveException on damaged data.
    void Serialize(CArchive& archive, const SECDockState& state);

    CSize m_szHorzDock, m_szVertDock, m_szFloat;
    DWORD m_dwMRUDockingState = 0;
    DWORD m_dwDockStyle = 0;
    float m_fPctWidth = 0.0f;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    BOOL m_bPrevFloating = FALSE;
    BOOL m_bMDIChild = FALSE;
    CString m_strClassName;
    CString m_strWindowName;
    UINT m_nResourceID = 0;
    BOOL m_bAutoHide = FALSE;
    BOOL m_bAutoHidePinned = FALSE;
    DWORD m_dwLastAlignedDocking = 0;
    UINT m_nTypeID = 0;
};

class SECDockState : public CDockState {
    DECLARE_DYNAMIC(SECDockState)
public:
    static constexpr DWORD kVersion = 2;

    std::unique_ptr<CControlBarInfo> CreateBarInfo() const override { return std::make_unique<SECControlBarInfo>(); }

    // FALSE (and nothing done) without a frame.
    BOOL GetState(CFrameWnd* frame);
    BOOL SetState(CFrameWnd* frame);
    // Stores the layout, or loads one: a damaged archive leaves the state empty and throws.
    void Serialize(CArchive& archive);

    // The registered class of that exact name, or null.
    static CRuntimeClass* FindRuntimeClass(LPCWSTR className);
    // Makes the bar a docked record names when its class is a toolkit control bar; null otherwise.
    SECControlBar* CreateMissingBar(const SECControlBarInfo& info, CFrameWnd* frame) const;

    DWORD m_dwVersion = kVersion;
};

// The text a share of a dock row is kept as: millionths, "1000000" for the whole row.
CString FormatPctWidth(float share);
float ParsePctWidth(const CString& text);
