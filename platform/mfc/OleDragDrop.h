#pragma once
// The framework's drag and drop of data: a data source that caches data blocks by clipboard
// format and runs the drag, the data object a target reads from, and a drop target that a
// window registers and whose handlers a class overrides.

#include "platform/mfc/Wnd.h"

using DROPEFFECT = DWORD;
using CLIPFORMAT = WORD;

// The data of a drag as a target sees it.
class COleDataObject {
public:
    COleDataObject() = default;
    explicit COleDataObject(const DragData* data) : m_data(data) {}
    void Attach(const DragData* data) { m_data = data; }
    BOOL IsDataAvailable(CLIPFORMAT format) const { return m_data && m_data->Has(format); }
    // A copy of the format's bytes in a new block that the caller frees; null when absent.
    HGLOBAL GetGlobalData(CLIPFORMAT format) const;

private:
    const DragData* m_data = nullptr;
};

// Data offered by this program: cached blocks that a drag carries.
class COleDataSource {
public:
    COleDataSource() = default;
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;
    // Takes the block over (it is copied and freed).
    void CacheGlobalData(CLIPFORMAT format, HGLOBAL memory);
    // Runs the drag; answers what the drop did (DROPEFFECT_NONE when cancelled or refused).
    DROPEFFECT DoDragDrop(DWORD effects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    const DragData& GetData() const { return m_data; }

private:
    DragData m_data;
};

// A window's drop target. Points given to the handlers are in the window's client coordinates.
class COleDropTarget : private DropTarget {
public:
    COleDropTarget() = default;
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;
    ~COleDropTarget() override { Revoke(); }

    BOOL Register(CWnd* window);
    void Revoke();

    virtual DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point);
    virtual void OnDragLeave(CWnd* window);
    virtual BOOL OnDrop(CWnd* window, COleDataObject* data, DROPEFFECT dropEffect, CPoint point);

private:
    void DragEnter(const DragData& data, DWORD keyState, POINT screen, DWORD& effect) override;
    void DragOver(DWORD keyState, POINT screen, DWORD& effect) override;
    void DragLeave() override;
    void Drop(const DragData& data, DWORD keyState, POINT screen, DWORD& effect) override;
    CPoint ClientPoint(POINT screen) const;

    HWND m_hWnd = nullptr;
    CWnd* m_pWnd = nullptr;
    COleDataObject m_dataObject;
};
