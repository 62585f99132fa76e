#pragma once
// A document: the data the views show, with a title, a path, a modified flag and its views. It is
// stored and loaded through Serialize. Closing the last view's frame closes the document, which
// deletes itself.

#include "platform/mfc/CmdTarget.h"

#include <vector>

class CDocTemplate;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCWSTR title);
    const CString& GetPathName() const { return m_strPathName; }
    // The path, and the title from its file name.
    virtual void SetPathName(LPCWSTR path, BOOL addToRecentFiles = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return m_views; }
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCWSTR path);
    // Writes through a temporary file beside the path, so a failed save leaves the old file.
    virtual BOOL OnSaveDocument(LPCWSTR path);
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // Asks whether to save a modified document: FALSE when the user cancels or the save fails.
    virtual BOOL SaveModified();
    virtual BOOL CanCloseFrame(class CFrameWnd* frame);
    virtual void OnChangedViewList();

    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

    BOOL m_bAutoDelete = TRUE;

protected:
    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_views;
    BOOL m_bModified = FALSE;
    friend class CDocTemplate;
};
