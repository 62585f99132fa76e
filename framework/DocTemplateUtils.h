#pragma once
// Finds the application's document templates by their registry names or by the classes of a
// document, its view and its frame, and tells the resource id a frame was loaded with.

#include "platform/mfc/DocTemplate.h"

#include <vector>

using SECDocTemplateList = std::vector<CDocTemplate*>;

class SECDocTemplateUtils {
public:
    // With useFileTypeId, templates are named by their file-type id (document string 5), else by
    // their file-type name (string 6).
    explicit SECDocTemplateUtils(BOOL useFileTypeId = TRUE) : m_bUseFileTypeId(useFileTypeId) {}
    virtual ~SECDocTemplateUtils() = default;

    // The template's 0-based place among the templates of that name; -1 when it is not one of them.
    virtual int GetTemplateIndex(CDocTemplate* docTemplate, const CString& name) const;
    // The n-th (0-based) template of that name, the last one when there are fewer; null for none.
    virtual CDocTemplate* FindTemplate(const CString& name, int n) const;
    // The template that made this document, view and frame; null unless all three are given.
    virtual CDocTemplate* FindDocTemplate(CDocument* document, CView* view, CFrameWnd* frame) const;
    // The resource id the frame was loaded with; 0 for none.
    virtual UINT GetFrameResourceId(const CFrameWnd* frame) const;
    virtual BOOL CollectTemplates(SECDocTemplateList& list) const;
    virtual BOOL FilterByViewAndFrame(SECDocTemplateList& list, const CView* view, const CFrameWnd* frame) const;
    virtual BOOL FilterByFrameResource(SECDocTemplateList& list, const CFrameWnd* frame) const;
    virtual BOOL FilterByDocument(SECDocTemplateList& list, const CDocument* document) const;
    // out: the one template of the list; TRUE when the list holds at most one.
    virtual BOOL PickSingle(const SECDocTemplateList& list, CDocTemplate*& out) const;
    virtual BOOL IsDockableFrame(const CRuntimeClass* frameClass) const;
    // The template's frame class; with `dockable`, the dockable frame class a template records
    // beside it, which no template of this library does (null).
    virtual CRuntimeClass* GetTemplateFrameClass(const CDocTemplate* docTemplate, BOOL dockable) const;

    BOOL m_bUseFileTypeId;

private:
    bool HasName(const CDocTemplate* docTemplate, const CString& name) const;
};
