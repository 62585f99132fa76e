#pragma once
// Document templates tie a document class to the frame and view classes that show it, with the
// resource id of the frame's menu, accelerators and document strings. The document manager keeps
// the templates and opens, creates, saves and closes documents through them.

#include "platform/mfc/Document.h"
#include "platform/mfc/Frame.h"

#include <memory>
#include <vector>

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    // Parts of the document string (resource id), separated by line feeds.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CDocTemplate(UINT resourceId, CRuntimeClass* documentClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass);
    ~CDocTemplate() override;

    virtual BOOL GetDocString(CString& text, DocStringIndex index) const;
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* document, CFrameWnd* other);
    virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* document, BOOL makeVisible = TRUE);
    // A new document (null path) or one read from the path, in a new frame; null on failure.
    virtual CDocument* OpenDocumentFile(LPCWSTR path, BOOL makeVisible = TRUE) = 0;
    virtual void AddDocument(CDocument* document);
    virtual void RemoveDocument(CDocument* document);
    std::vector<CDocument*> Documents() const { return m_documents; }
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL endSession);
    virtual void SetDefaultTitle(CDocument* document);

    UINT m_nIDResource;
    CRuntimeClass* GetDocClass() const { return m_pDocClass; }
    CRuntimeClass* GetFrameClass() const { return m_pFrameClass; }
    CRuntimeClass* GetViewClass() const { return m_pViewClass; }

protected:
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
    std::vector<CDocument*> m_documents;
    int m_nUntitledCount = 0;
};

// One document at a time, reused for each new or opened document.
class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    using CDocTemplate::CDocTemplate;
    CDocument* OpenDocumentFile(LPCWSTR path, BOOL makeVisible = TRUE) override;
    void AddDocument(CDocument* document) override;
};

// Any number of documents, each in its own frame. The menu and accelerators of the resource id
// are shared by the frames: an MDI frame shows them while one of them is active.
class CMultiDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT resourceId, CRuntimeClass* documentClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass);
    ~CMultiDocTemplate() override;
    CDocument* OpenDocumentFile(LPCWSTR path, BOOL makeVisible = TRUE) override;

    HMENU m_hMenuShared = nullptr;
    HACCEL m_hAccelTable = nullptr;
};

class CDocManager {
public:
    virtual ~CDocManager();
    // Takes ownership of the template.
    void AddDocTemplate(CDocTemplate* docTemplate);
    const std::vector<CDocTemplate*>& Templates() const { return m_templates; }
    // An open document of that path is activated instead of being read again.
    virtual CDocument* OpenDocumentFile(LPCWSTR path);
    virtual void OnFileNew();
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL endSession);
    int GetOpenDocumentCount() const;

private:
    std::vector<CDocTemplate*> m_templates;
};
