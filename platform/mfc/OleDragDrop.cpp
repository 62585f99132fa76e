// The framework's drag-and-drop classes on the window layer's drag and drop.

#include "platform/mfc/OleDragDrop.h"

#include <cstring>

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT format) const
{
    const std::vector<BYTE>* bytes = m_data ? m_data->Get(format) : nullptr;
    if (!bytes)
        return nullptr;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, std::max<std::size_t>(bytes->size(), 1));
    if (memory && !bytes->empty()) {
        std::memcpy(::GlobalLock(memory), bytes->data(), bytes->size());
        ::GlobalUnlock(memory);
    }
    return memory;
}

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL memory)
{
    if (!memory)
        return;
    const auto* start = static_cast<const BYTE*>(::GlobalLock(memory));
    m_data.Set(format, std::vector<BYTE>(start, start + ::GlobalSize(memory)));
    ::GlobalUnlock(memory);
    ::GlobalFree(memory);
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD effects)
{
    DWORD effect = DROPEFFECT_NONE;
    return ::DoDragDrop(m_data, effects, &effect) == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

BOOL COleDropTarget::Register(CWnd* window)
{
    Revoke();
    if (!window || ::RegisterDragDrop(window->GetSafeHwnd(), this) != S_OK)
        return FALSE;
    m_hWnd = window->GetSafeHwnd();
    m_pWnd = window;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::RevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
    m_pWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
void COleDropTarget::OnDragLeave(CWnd*) {}
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }

CPoint COleDropTarget::ClientPoint(POINT screen) const
{
    ::ScreenToClient(m_hWnd, &screen);
    return screen;
}

void COleDropTarget::DragEnter(const DragData& data, DWORD keyState, POINT screen, DWORD& effect)
{
    m_dataObject.Attach(&data);
    effect &= OnDragEnter(m_pWnd, &m_dataObject, keyState, ClientPoint(screen));
}

void COleDropTarget::DragOver(DWORD keyState, POINT screen, DWORD& effect)
{
    effect &= OnDragOver(m_pWnd, &m_dataObject, keyState, ClientPoint(screen));
}

void COleDropTarget::DragLeave()
{
    OnDragLeave(m_pWnd);
    m_dataObject.Attach(nullptr);
}

void COleDropTarget::Drop(const DragData& data, DWORD, POINT screen, DWORD& effect)
{
    m_dataObject.Attach(&data);
    if (!OnDrop(m_pWnd, &m_dataObject, effect, ClientPoint(screen)))
        effect = DROPEFFECT_NONE;
    m_dataObject.Attach(nullptr);
}
