#pragma once
// The toolkit's saved bar layout: every record carries, beyond the platform's, the bar's sizes
// for each placement, its share of a dock row, its styles and what makes it again (class and
// window name). Four forms: the profile (SaveState/LoadState with a profile name), a persistent
// tree (SaveState/LoadState with nodes), an archive (Serialize), and the frame itself (GetState
// collects it, SetState applies it). A layout that names a bar the frame lacks makes that bar
// again when its class is a toolkit control bar; anything else in a damaged or foreign layout is
// ignored.

#include "framework/PersistentTree.h"
#include "platform/base/Archive.h"
#include "platform/mfc/DockState.h"

class CFrameWnd;
class SECControlBar;
class SECDockState;

class SECControlBarInfo : public CControlBarInfo {
public:
    BOOL SaveState(LPCWSTR profileName, int index) const override;
    BOOL LoadState(LPCWSTR profileName, int index, const CDockState& state) override;
    // The tree form: a node "Bar-<index>" made under parentNode. FALSE, and nothing written, for
    // a null node, a node that cannot be made, or the record of a dock bar holding no bars.
    virtual BOOL SaveState(SECPTNFactory& factory, SECPersistentTreeNode* parentNode, int index) const;
    // FALSE for a null node or a damaged record (no bar id, a contained-id count no layout has).
    virtual BOOL LoadState(const SECPersistentTreeNode* node, const CDockState& state);
    virtual void SaveBaseState(SECPersistentTreeNode& node) const;
    virtual void SaveToolkitState(SECPersistentTreeNode& node) const;
    virtual BOOL LoadBaseState(const SECPersistentTreeNode& node, const CDockState& state);
    virtual void LoadToolkitState(const SECPersistentTreeNode& node);
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
    // The archive form keeps no auto-hide fields: a record read from it leaves a bar's own.
    bool m_bAutoHideStored = true;
    UINT m_nTypeID = 0;
};

class SECDockState : public CDockState {
    DECLARE_SERIAL(SECDockState)
public:
    static constexpr DWORD kVersion = 2;

    using CDockState::LoadState;
    using CDockState::SaveState;

    std::unique_ptr<CControlBarInfo> CreateBarInfo() const override { return std::make_unique<SECControlBarInfo>(); }

    // FALSE (and nothing done) without a frame.
    BOOL GetState(CFrameWnd* frame);
    BOOL SetState(CFrameWnd* frame);
    // The tree form, under a child node "DockState" of the given node; a layout saved there before
    // is replaced. FALSE for a null node.
    BOOL SaveState(SECPTNFactory& factory, SECPersistentTreeNode* parentNode) const;
    // FALSE, and the state left empty, without a "DockState" child or with a bar count no layout
    // has; records that are missing or damaged are skipped.
    BOOL LoadState(const SECPersistentTreeNode* node);
    // Stores the layout, or loads one: a damaged archive leaves the state empty and throws.
    void Serialize(CArchive& archive) override;

    // The registered class of that exact name, or null.
    static CRuntimeClass* FindRuntimeClass(LPCWSTR className);
    // Makes the bar a docked record names when its class is a toolkit control bar; null otherwise.
    SECControlBar* CreateMissingBar(const SECControlBarInfo& info, CFrameWnd* frame) const;

    DWORD m_dwVersion = kVersion;
};

// The text a share of a dock row is kept as: millionths, "1000000" for the whole row.
CString FormatPctWidth(float share);
float ParsePctWidth(const CString& text);
