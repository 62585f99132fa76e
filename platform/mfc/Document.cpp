#include "platform/mfc/Document.h"

#include "platform/base/Archive.h"
#include "platform/base/Exceptions.h"
#include "platform/base/File.h"
#include "platform/base/MessageBox.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>
#include <filesystem>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

CDocument::~CDocument()
{
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCWSTR title)
{
    m_strTitle = title ? title : L"";
    for (CView* view : m_views)
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(LPCWSTR path, BOOL addToRecentFiles)
{
    m_strPathName = path ? path : L"";
    SetTitle(std::filesystem::path(m_strPathName.GetString()).filename().wstring().c_str());
    if (addToRecentFiles)
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* view)
{
    m_views.push_back(view);
    view->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* view)
{
    std::erase(m_views, view);
    view->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    // A document that lost its last view closes.
    if (m_views.empty() && m_bAutoDelete)
        OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject)
{
    for (CView* view : std::vector<CView*>(m_views))
        if (view != sender)
            view->OnUpdate(sender, hint, hintObject);
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName = CString();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCWSTR path)
{
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        AfxMessageBox((L"Cannot open the file " + CString(path) + L".").GetString(), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    DeleteContents();
    try {
        CArchive archive(&file, CArchive::load);
        Serialize(archive);
        archive.Close();
    } catch (CException* exception) {
        exception->Delete();
        // What was there is gone: the document no longer stands for any file, so that saving it
        // cannot overwrite one with what is left.
        DeleteContents();
        m_strPathName = CString();
        SetModifiedFlag(FALSE);
        AfxMessageBox((L"The file " + CString(path) + L" could not be read.").GetString(), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCWSTR path)
{
    std::filesystem::path target(path);
    std::filesystem::path temporary = target;
    temporary += L".saving";
    try {
        {
            CFile file(temporary.wstring().c_str(), CFile::modeCreate | CFile::modeWrite);
            CArchive archive(&file, CArchive::store);
            Serialize(archive);
            archive.Close();
            file.Close();
        }
        std::filesystem::rename(temporary, target);
    } catch (CException* exception) {
        exception->Delete();
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        AfxMessageBox((L"The file " + CString(path) + L" could not be saved.").GetString(), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    } catch (const std::filesystem::filesystem_error&) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        AfxMessageBox((L"The file " + CString(path) + L" could not be saved.").GetString(), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    switch (AfxMessageBox((L"Save changes to " + name + L"?").GetString(), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        // Without a path there is nowhere to save to without asking for one.
        return !m_strPathName.IsEmpty() && OnSaveDocument(m_strPathName);
    default:
        return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* frame)
{
    // Only the last frame showing the document asks to save it.
    for (CView* view : m_views)
        if (view->GetParentFrame() != frame)
            return TRUE;
    return SaveModified();
}

void CDocument::OnCloseDocument()
{
    BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE; // closing the frames must not close the document again
    std::vector<CFrameWnd*> frames;
    for (CView* view : m_views)
        if (CFrameWnd* frame = view->GetParentFrame(); frame && std::ranges::find(frames, frame) == frames.end())
            frames.push_back(frame);
    for (CFrameWnd* frame : frames)
        if (::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (CCmdTarget::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(id, code, extra, handlerInfo);
}
