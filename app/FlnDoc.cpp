#include "app/FlnDoc.h"

#include "app/FlnApp.h"
#include "app/ScriptRecovery.h"
#include "res/Formulon.h"


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
    m_edit.AddObserver(&m_changes);
}

CFlnDoc::~CFlnDoc()
{
    m_edit.RemoveObserver(&m_changes);
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

std::optional<std::string> CFlnDoc::ChangedScriptText()
{
    if (!IsModified())
        return std::nullopt;
    CString text;
    m_edit.GetAllText(text);
    return text.ToUtf8();
}

void CFlnDoc::KeepChangedScriptForRecovery(RecoveryCopyOnce& copy)
{
    copy.Keep(ChangedScriptText());
}

DWORD CFlnDoc::RefreshRecoverySnapshot(RecoveryCopyOnce& copy, DWORD now)
{
    if (!ChangedSinceSnapshot())
        return 0;
    const DWORD since = now - m_lastSnapshot;
    if (m_snapshotTaken && since < SnapshotIntervalMs)
        return SnapshotIntervalMs - since;
    TakeRecoverySnapshot(copy, now);
    return 0;
}

bool CFlnDoc::ChangedSinceSnapshot()
{
    return m_changes.changed || (IsModified() != FALSE) != m_snapshotModified;
}

void CFlnDoc::TakeRecoverySnapshot(RecoveryCopyOnce& copy, DWORD now)
{
    if (!ChangedSinceSnapshot())
        return;
    const bool modified = IsModified() != FALSE;
    m_changes.changed = false;
    m_snapshotModified = modified;
    m_snapshotTaken = true;
    m_lastSnapshot = now;
    copy.SetSnapshot(ChangedScriptText());
}

bool CFlnDoc::ChangeNote::QueryGuid(divuzura::foundation::GUID_REF guid, void** object)
{
    if (&guid == &divuzura::foundation::IID_IObserver) {
        *object = static_cast<IObserver*>(this);
        return true;
    }
    return false;
}
