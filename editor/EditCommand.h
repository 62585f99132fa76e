#pragma once
// Every change of the editor's text is a command: the model logs it for undo and sends it to its
// observers as the change notification.

#include "editor/EditTypes.h"
#include "framework/Mvc.h"

#include <list>
#include <string>
#include <string_view>

class SECEdit;

// The text an undo step keeps, a byte a character while every character is below U+0100, so
// that the text a replace-all takes out of a big script costs the undo list little.
class SECEditCommandText {
public:
    SECEditCommandText& operator=(std::wstring_view text);
    void Append(std::wstring_view text);
    CString Get() const;
    int GetLength() const { return static_cast<int>(m_bWide ? m_wide.size() : m_narrow.size()); }
    bool IsEmpty() const { return GetLength() == 0; }

private:
    std::string m_narrow;
    std::wstring m_wide; // once a character is not
    bool m_bWide = false;
};

// One insertion or deletion of text at a range.
class SECEditCommand : public divuzura::foundation::CMvcCommand, public SECEditLineColPair {
public:
    enum Kind { Delete = 0, Insert = 1 };

    SECEditCommand(SECEdit* model, int kind) : m_pEdit(model), m_nKind(kind), m_bTextPresent(kind) {}

    UINT GetTypeID() const override;
    void GetDescription(CString& text) const override;
    BOOL IsUndoable() const override { return m_bValid; }
    BOOL Execute() override;
    BOOL Unexecute() override;
    virtual BOOL RemoveText();
    virtual BOOL InsertText();

    BOOL IsTextPresent() const { return m_bTextPresent; }
    CString GetText() const { return m_text.Get(); }
    void SetText(const CString& text) { m_text = text.view(); }
    // Takes in an insertion typed right after this one, so that one undo removes both; false
    // when the other is no insertion that starts where this one ends.
    bool MergeFollowingInsertion(const SECEditCommand& next);

private:
    BOOL Run(bool insert);

    SECEditCommandText m_text;
    SECEdit* m_pEdit;
    int m_nKind;
    BOOL m_bTextPresent;
    BOOL m_bValid = TRUE;
};

// A group of commands undone and redone as one step; owns its members.
class SECEditCompositeCommand : public divuzura::foundation::CMvcCommand {
public:
    ~SECEditCompositeCommand() override;

    UINT GetTypeID() const override;
    void GetDescription(CString& text) const override { text = L"SECEditCompositeCommand"; }
    BOOL Execute() override;
    BOOL Unexecute() override;

    virtual int GetCount() const { return static_cast<int>(m_commands.size()); }
    virtual BOOL AreAllUndoable() const;
    virtual void NotifyEach(divuzura::foundation::ISubject* subject, divuzura::foundation::IObserver* observer);
    virtual BOOL Add(divuzura::foundation::CMvcCommand* command);
    virtual BOOL CanAdd(divuzura::foundation::CMvcCommand* command) const;

private:
    bool Holds(const divuzura::foundation::CMvcCommand* command) const;

    std::list<divuzura::foundation::CMvcCommand*> m_commands;
};

// The replacement of one range by a text: the deletion, then the insertion, as one undo step.
// Where the text has as many lines as the range, each line keeps its flags and data, both ways.
class SECEditReplaceCommand : public SECEditCompositeCommand {
public:
    explicit SECEditReplaceCommand(SECEdit* model) : m_pEdit(model) {}

    // The lines the range covered and the last line of the text that took its place.
    void SetLines(int first, int oldLast, int newLast);
    BOOL Execute() override;
    BOOL Unexecute() override;

private:
    BOOL KeepingLineData(bool redo);

    SECEdit* m_pEdit;
    int m_nFirstLine = 0;
    int m_nOldLastLine = 0;
    int m_nNewLastLine = 0;
};
