#pragma once
// CFlnDoc: the program's one document, "FLN.Document" for automation. It holds the VBScript
// page's text model; closing the program with a changed script asks Save / Don't Save / Cancel,
// and "Save" runs the saver the script page plugs in. An end that cannot ask keeps the changed
// script as a recovery copy (ScriptRecovery.h).

#include "editor/Edit.h"
#include "platform/mfc/Document.h"

#include <functional>
#include <optional>
#include <string>

class RecoveryCopyOnce;

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

    // For an end that asks nothing: a changed script is kept as this end's recovery copy, and
    // stderr says where.
    void KeepChangedScriptForRecovery(RecoveryCopyOnce& copy);
    // Hands the script as it now stands to the copy's snapshot when it changed since the last one,
    // at most once per SnapshotIntervalMs (of the display's clock, now); when a change must wait for
    // that, the milliseconds to wait, else 0.
    static constexpr DWORD SnapshotIntervalMs = 1000;
    DWORD RefreshRecoverySnapshot(RecoveryCopyOnce& copy, DWORD now);
    // The same at once, whatever the interval: before work that may hold the window.
    void TakeRecoverySnapshot(RecoveryCopyOnce& copy, DWORD now);

    double TestFLNFkt(double x) { return x * 10; }

    SECEdit m_edit;

protected:
    void OnFinalRelease() override;
    DECLARE_DISPATCH_MAP()

private:
    // The text when it has changes to keep, as UTF-8.
    std::optional<std::string> ChangedScriptText();
    // Whether the text or its modified state changed since the last snapshot.
    bool ChangedSinceSnapshot();

    // Notes each change the text model reports, for the snapshot.
    class ChangeNote final : public divuzura::foundation::IObserver {
    public:
        bool QueryGuid(divuzura::foundation::GUID_REF guid, void** object) override;
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        void OnUpdate(divuzura::foundation::ISubject*, divuzura::foundation::IMessage*) override { changed = true; }
        bool changed = false;
    };

    ScriptSaver m_saveScript;
    ChangeNote m_changes;
    bool m_snapshotTaken = false;
    bool m_snapshotModified = false;
    DWORD m_lastSnapshot = 0;
};

// "FLN.Document": {95998540-5789-11D5-9653-B7E6BDCD620B}.
extern const CLSID CLSID_FlnDocument;
COleObjectFactory& DocumentFactory();
