#include "platform/mfc/DocTemplate.h"

#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"
#include "platform/res/Resources.h"
#include "platform/user/ResourceHandles.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, CRuntimeClass* documentClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass)
    : m_nIDResource(resourceId)
    , m_pDocClass(documentClass)
    , m_pFrameClass(frameClass)
    , m_pViewClass(viewClass)
{
    LPWSTR text = nullptr;
    int length = LoadStringW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, resourceId, reinterpret_cast<LPWSTR>(&text), 0);
    if (length > 0 && text)
        m_strDocStrings = CString(text, length);
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument* document : m_documents)
        document->m_pDocTemplate = nullptr;
}

BOOL CDocTemplate::GetDocString(CString& text, DocStringIndex index) const
{
    return AfxExtractSubString(text, m_strDocStrings, index);
}

CDocument* CDocTemplate::CreateNewDocument()
{
    CObject* made = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    auto* document = dynamic_cast<CDocument*>(made);
    if (!document) {
        delete made;
        return nullptr;
    }
    AddDocument(document);
    return document;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* document, CFrameWnd* other)
{
    CCreateContext context;
    context.m_pCurrentFrame = other;
    context.m_pCurrentDoc = document;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* made = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    auto* frame = dynamic_cast<CFrameWnd*>(made);
    if (!frame) {
        delete made;
        return nullptr;
    }
    CWnd* main = AfxGetMainWnd();
    CWnd* parent = dynamic_cast<CSingleDocTemplate*>(this) || main == nullptr ? nullptr : main;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, parent, &context)) {
        delete frame; // a frame whose window was never made does not delete itself
        return nullptr;
    }
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* document, BOOL makeVisible)
{
    frame->InitialUpdateFrame(document, makeVisible);
}

void CDocTemplate::AddDocument(CDocument* document)
{
    document->m_pDocTemplate = this;
    m_documents.push_back(document);
}

void CDocTemplate::RemoveDocument(CDocument* document)
{
    std::erase(m_documents, document);
    document->m_pDocTemplate = nullptr;
}

BOOL CDocTemplate::SaveAllModified()
{
    for (CDocument* document : std::vector<CDocument*>(m_documents))
        if (!document->SaveModified())
            return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    for (CDocument* document : std::vector<CDocument*>(m_documents))
        document->OnCloseDocument();
}

void CDocTemplate::SetDefaultTitle(CDocument* document)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title = L"Untitled";
    if (dynamic_cast<CMultiDocTemplate*>(this)) {
        CString number;
        number.Format(L"%d", ++m_nUntitledCount);
        title += number;
    }
    document->SetTitle(title);
}

// One document at a time.

void CSingleDocTemplate::AddDocument(CDocument* document)
{
    if (m_documents.empty())
        CDocTemplate::AddDocument(document);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCWSTR path, BOOL makeVisible)
{
    CDocument* document = m_documents.empty() ? nullptr : m_documents.front();
    bool created = false;
    CFrameWnd* frame = nullptr;
    if (document) {
        if (!document->SaveModified())
            return nullptr;
        if (!document->Views().empty())
            frame = document->Views().front()->GetParentFrame();
    } else {
        document = CreateNewDocument();
        if (!document)
            return nullptr;
        created = true;
        document->m_bAutoDelete = FALSE; // the frame's first view is not there yet
        frame = CreateNewFrame(document, nullptr);
        document->m_bAutoDelete = TRUE;
        if (!frame) {
            delete document;
            return nullptr;
        }
    }
    BOOL loaded = path ? document->OnOpenDocument(path) : document->OnNewDocument();
    if (!loaded) {
        if (created)
            frame->DestroyWindow(); // takes the document along
        else if (document->GetPathName().IsEmpty())
            SetDefaultTitle(document); // its contents were lost in the attempt
        return nullptr;
    }
    if (path)
        document->SetPathName(path);
    else
        SetDefaultTitle(document);
    if (created && !AfxGetMainWnd())
        AfxGetApp()->m_pMainWnd = frame;
    InitialUpdateFrame(frame, document, makeVisible);
    return document;
}

// Any number of documents.

CMultiDocTemplate::CMultiDocTemplate(UINT resourceId, CRuntimeClass* documentClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass)
    : CDocTemplate(resourceId, documentClass, frameClass, viewClass)
{
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    m_hMenuShared = LoadMenuW(instance, MAKEINTRESOURCEW(resourceId));
    m_hAccelTable = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId));
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    if (m_hMenuShared)
        DestroyMenu(m_hMenuShared);
    if (m_hAccelTable)
        DestroyAcceleratorTable(m_hAccelTable);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCWSTR path, BOOL makeVisible)
{
    CDocument* document = CreateNewDocument();
    if (!document)
        return nullptr;
    document->m_bAutoDelete = FALSE;
    CFrameWnd* frame = CreateNewFrame(document, nullptr);
    document->m_bAutoDelete = TRUE;
    if (!frame) {
        delete document;
        return nullptr;
    }
    BOOL loaded = path ? document->OnOpenDocument(path) : document->OnNewDocument();
    if (!loaded) {
        frame->DestroyWindow();
        return nullptr;
    }
    if (path)
        document->SetPathName(path);
    else
        SetDefaultTitle(document);
    InitialUpdateFrame(frame, document, makeVisible);
    return document;
}

// The document manager.

CDocManager::~CDocManager()
{
    for (CDocTemplate* docTemplate : m_templates)
        delete docTemplate;
}

void CDocManager::AddDocTemplate(CDocTemplate* docTemplate)
{
    m_templates.push_back(docTemplate);
}

CDocument* CDocManager::OpenDocumentFile(LPCWSTR path)
{
    if (!path || m_templates.empty())
        return nullptr;
    for (CDocTemplate* docTemplate : m_templates)
        for (CDocument* document : docTemplate->Documents())
            if (document->GetPathName().CompareNoCase(path) == 0) {
                if (!document->Views().empty())
                    if (CFrameWnd* frame = document->Views().front()->GetParentFrame())
                        frame->ActivateFrame();
                return document;
            }
    return m_templates.front()->OpenDocumentFile(path);
}

void CDocManager::OnFileNew()
{
    if (!m_templates.empty())
        m_templates.front()->OpenDocumentFile(nullptr);
}

BOOL CDocManager::SaveAllModified()
{
    return std::ranges::all_of(m_templates, [](CDocTemplate* docTemplate) { return docTemplate->SaveAllModified(); });
}

void CDocManager::CloseAllDocuments(BOOL endSession)
{
    for (CDocTemplate* docTemplate : m_templates)
        docTemplate->CloseAllDocuments(endSession);
}

int CDocManager::GetOpenDocumentCount() const
{
    int count = 0;
    for (CDocTemplate* docTemplate : m_templates)
        count += static_cast<int>(docTemplate->Documents().size());
    return count;
}
