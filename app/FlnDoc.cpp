#include "app/FlnDoc.h"

#include "app/FlnApp.h"
#include "app/ScriptRecovery.h"
#include "res/Formulon.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

const CLSID CLSID_FlnDocument = { 0x95998540, 0x5789, 0x11D5, { 0x96, 0x53, 0xB7, 0xE6, 0xBD, 0xCD, 0x62, 0x0B } };

COleObjectFactory& DocumentFactory()
{
    static COleObjectFactory factory(CLSID_FlnDocument, RUNTIME_CLASS(CFlnDoc), TRUE, L"FLN.Document");
    return factory;
}

IMPLEMENT_DYNCREATE(CFlnDoc, CDocument)

BEGIN_DISPATCH_MAP(CFlnDoc, CDocument)
    DISP_FUNCTION(CFlnDoc, "TestFLNFkt", TestFLNFkt, VT_R8, VTS_R8)
END_DISPATCH_MAP()

CFlnDoc::CFlnDoc()
{
    EnableAutomation();
    AfxOleLockApp();
}

CFlnDoc::~CFlnDoc()
{
    AfxOleUnlockApp();
}

void CFlnDoc::OnFinalRelease()
{
    CDocument::OnFinalRelease();
    if (CFlnApp* app = GetFlnApp())
        app->OnAutomationObjectGone();
}

BOOL CFlnDoc::IsModified()
{
    return m_edit.IsModified();
}

BOOL CFlnDoc::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString question;
    question.LoadString(IDS_SAVE_SCRIPT_QUESTION);
    switch (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return m_saveScript && m_saveScript();
    case IDNO:
        return TRUE;
    default:
        return FALSE;
    }
}

void CFlnDoc::KeepChangedScriptForRecovery()
{
    if (!IsModified())
        return;
    CString text;
    m_edit.GetAllText(text);
    if (const std::optional<std::string> copy = KeepRecoveryCopy(text.ToUtf8()))
        std::fprintf(stderr, "formulon: the changed script was kept in %s\n", copy->c_str());
    else
        std::fprintf(stderr, "formulon: the changed script could not be kept in %s: %s\n", RecoveryFolder().c_str(), std::strerror(errno));
}
