#include "framework/MsgFilter.h"

IMPLEMENT_DYNCREATE(SECMsgFilter, CObject)
IMPLEMENT_DYNCREATE(SECNcMsgFilter, SECMsgFilter)

SECMsgFilter::DescriptorTable::~DescriptorTable()
{
    for (INT_PTR i = 0; i < GetSize(); ++i)
        delete GetAt(i);
}

SECMsgFilter::SECMsgFilter(CWnd* window, int id)
    : m_id(id)
    , m_window(window)
{
}

SECMsgFilter::~SECMsgFilter()
{
    if (!m_ownsChildren)
        return;
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i)
        delete m_children[i];
}

SECMsgFilter* SECMsgFilter::Clone() const
{
    auto* clone = dynamic_cast<SECMsgFilter*>(GetRuntimeClass()->CreateObject());
    if (!clone)
        return nullptr;
    clone->m_id = m_id;
    clone->m_enabled = m_enabled;
    clone->m_window = m_window;
    // A class that installs children when made gets these clones in their place.
    for (INT_PTR i = 0; i < clone->m_children.GetSize(); ++i)
        delete clone->m_children[i];
    clone->m_children.RemoveAll();
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
        if (SECMsgFilter* child = m_children[i]->Clone())
            clone->m_children.Add(child);
    }
    return clone;
}

void SECMsgFilter::SetWnd(CWnd* window, BOOL recursive)
{
    m_window = window;
    if (!recursive)
        return;
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i)
        m_children[i]->SetWnd(window, TRUE);
}

UINT SECMsgFilter::Filter(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return m_enabled ? WindowProc(message, wParam, lParam, result) : 0;
}

UINT SECMsgFilter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return FilterChildren(message, wParam, lParam, result);
}

UINT SECMsgFilter::FilterChildren(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!m_enabled)
        return 0;
    UINT gathered = 0;
    // A child may install or remove filters while it runs: index afresh each turn.
    for (INT_PTR i = 0; i < m_children.GetSize() && !(gathered & MsgFilterStop); ++i) {
        if (SECMsgFilter* child = m_children[i]; child && child->m_enabled)
            gathered |= child->Filter(message, wParam, lParam, result);
    }
    return gathered;
}

SECMsgFilter* SECMsgFilter::FindOrCreate(int id, CRuntimeClass* filterClass, int depth)
{
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
        if (m_children[i]->m_id == id)
            return m_children[i];
    }
    if (depth != 0) {
        for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
            if (SECMsgFilter* found = m_children[i]->FindOrCreate(id, nullptr, depth - 1))
                return found;
        }
    }
    if (!filterClass)
        return nullptr;
    CObject* object = filterClass->CreateObject();
    auto* filter = dynamic_cast<SECMsgFilter*>(object);
    if (!filter) {
        delete object; // a class that is no filter installs nothing
        return nullptr;
    }
    filter->SetWnd(m_window, TRUE);
    filter->m_id = id;
    m_children.Add(filter);
    return filter;
}

SECMsgFilter* SECMsgFilter::Install(const Descriptor& descriptor, BOOL enable)
{
    SECMsgFilter* parent = descriptor.parentId == RootId ? this : FindOrCreate(descriptor.parentId, nullptr, -1);
    if (!parent)
        return nullptr;
    SECMsgFilter* filter = parent->FindOrCreate(descriptor.id, enable ? descriptor.filterClass : nullptr, 0);
    if (filter && (enable || !(descriptor.flags & Descriptor::KeepStateWhenDisabled)))
        filter->m_enabled = enable;
    return filter;
}

void SECMsgFilter::InstallTable(const DescriptorTable& table, const BOOL* enableFlags)
{
    for (INT_PTR i = 0; i < table.GetSize(); ++i)
        Install(*table[i], enableFlags[i]);
}

void SECMsgFilter::InstallAll(const DescriptorTable& table, BOOL enable)
{
    for (INT_PTR i = 0; i < table.GetSize(); ++i)
        Install(*table[i], enable);
}

UINT SECMsgFilter::FilterMessage(LRESULT* result, const MSG* message)
{
    if (!message)
        message = AfxGetCurrentMessage();
    return Filter(message->message, message->wParam, message->lParam, result);
}
