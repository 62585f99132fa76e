#include "framework/DocTemplateUtils.h"

#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>

bool SECDocTemplateUtils::HasName(const CDocTemplate* docTemplate, const CString& name) const
{
    CString text;
    docTemplate->GetDocString(text, m_bUseFileTypeId ? CDocTemplate::regFileTypeId : CDocTemplate::regFileTypeName);
    return text == name;
}

int SECDocTemplateUtils::GetTemplateIndex(CDocTemplate* docTemplate, const CString& name) const
{
    SECDocTemplateList list;
    if (!docTemplate || !CollectTemplates(list))
        return -1;
    int index = -1;
    for (CDocTemplate* candidate : list) {
        if (!HasName(candidate, name))
            continue;
        ++index;
        if (candidate == docTemplate)
            return index;
    }
    return -1;
}

CDocTemplate* SECDocTemplateUtils::FindTemplate(const CString& name, int n) const
{
    SECDocTemplateList list;
    if (n < 0 || !CollectTemplates(list))
        return nullptr;
    CDocTemplate* found = nullptr;
    int matches = 0;
    for (CDocTemplate* candidate : list) {
        if (matches > n)
            break;
        if (HasName(candidate, name)) {
            found = candidate;
            ++matches;
        }
    }
    return found;
}

CDocTemplate* SECDocTemplateUtils::FindDocTemplate(CDocument* document, CView* view, CFrameWnd* frame) const
{
    if (!document || !view || !frame)
        return nullptr;
    SECDocTemplateList list;
    CollectTemplates(list);
    CDocTemplate* single = nullptr;
    if (PickSingle(list, single))
        return single;
    FilterByViewAndFrame(list, view, frame);
    if (PickSingle(list, single))
        return single;
    FilterByFrameResource(list, frame);
    if (PickSingle(list, single))
        return single;
    FilterByDocument(list, document);
    if (PickSingle(list, single))
        return single;
    CDocTemplate* own = document->GetDocTemplate();
    return std::ranges::find(list, own) != list.end() ? own : list.front();
}

UINT SECDocTemplateUtils::GetFrameResourceId(const CFrameWnd* frame) const
{
    return frame ? frame->m_nIDHelp : 0;
}

BOOL SECDocTemplateUtils::CollectTemplates(SECDocTemplateList& list) const
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    if (app->m_pDocManager)
        std::ranges::copy(app->m_pDocManager->Templates(), std::back_inserter(list));
    return TRUE;
}

BOOL SECDocTemplateUtils::FilterByViewAndFrame(SECDocTemplateList& list, const CView* view, const CFrameWnd* frame) const
{
    if (!view || !frame)
        return FALSE;
    CRuntimeClass* frameClass = frame->GetRuntimeClass();
    BOOL dockable = IsDockableFrame(frameClass);
    std::erase_if(list, [&](const CDocTemplate* candidate) {
        return candidate->GetViewClass() != view->GetRuntimeClass() || GetTemplateFrameClass(candidate, dockable) != frameClass;
    });
    return TRUE;
}

BOOL SECDocTemplateUtils::FilterByFrameResource(SECDocTemplateList& list, const CFrameWnd* frame) const
{
    if (!frame)
        return FALSE;
    UINT id = GetFrameResourceId(frame);
    std::erase_if(list, [id](const CDocTemplate* candidate) { return candidate->m_nIDResource != id; });
    return TRUE;
}

BOOL SECDocTemplateUtils::FilterByDocument(SECDocTemplateList& list, const CDocument* document) const
{
    if (!document)
        return FALSE;
    std::erase_if(list, [document](const CDocTemplate* candidate) { return candidate->GetDocClass() != document->GetRuntimeClass(); });
    return TRUE;
}

BOOL SECDocTemplateUtils::PickSingle(const SECDocTemplateList& list, CDocTemplate*& out) const
{
    out = nullptr;
    if (list.size() > 1)
        return FALSE;
    if (!list.empty())
        out = list.front();
    return TRUE;
}

BOOL SECDocTemplateUtils::IsDockableFrame(const CRuntimeClass* frameClass) const
{
    // Looked up by name, so that the lookup needs no link to the dockable frame.
    const CRuntimeClass* dockable = CRuntimeClass::FromName("SECDockableFrame");
    return frameClass && dockable && frameClass->IsDerivedFrom(dockable);
}

CRuntimeClass* SECDocTemplateUtils::GetTemplateFrameClass(const CDocTemplate* docTemplate, BOOL dockable) const
{
    if (!docTemplate)
        return nullptr;
    return dockable ? nullptr : docTemplate->GetFrameClass();
}
