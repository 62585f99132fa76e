#pragma once
// CFlnDoc: the program's one document, "FLN.Document" for automation. It holds the VBScript
// page's text model; closing the program with a changed script asks Save / Don't Save / Cancel,
// and "Save" runs the saver the script page plugs in. An end that cannot ask keeps the changed
// script as a recovery copy (ScriptRecovery.h).

#include "editor/Edit.h"
#include "platform/mfc/Document.h"

#include <functional>

class CFlnDoc : public CDocument {
    DECLARE_DYNCREATE(CFlnDoc)
public:
    CFlnDoc();
    ~CFlnDoc() override;

    BOOL IsModified() override;
    BOOL SaveModified() override;
    void DeleteContents() override {}

    // Saves the script under a name the user chooses; FALSE when the user cancelled or it failed.
    using ScriptSaver = std::function<BOOL()>;
    void SetScriptSaver(ScriptSaver saver) { m_saveScript = std::move(saver); }

    // For an end that asks nothing: a changed script is kept as a recovery copy, and stderr says where.
    void KeepChangedScriptForRecovery();

    double TestFLNFkt(double x) { return x * 10; }

    SECEdit m_edit;

protected:
    void OnFinalRelease() override;
    DECLARE_DISPATCH_MAP()

private:
    ScriptSaver m_saveScript;
};

// "FLN.Document": {95998540-5789-11D5-9653-B7E6BDCD620B}.
extern const CLSID CLSID_FlnDocument;
COleObjectFactory& DocumentFactory();
