#pragma once
// The model side of the model-view-controller layer: interface queries, reference counts,
// observers and subjects, messages, undoable commands, and the model with an undo history.

#include "framework/Collections.h"
#include "platform/base/CString.h"

namespace divuzura::foundation {

// An interface identifier: the address of a unique object names the interface.
struct InterfaceId {
    const char* name;
};
using GUID_REF = const InterfaceId&;

inline constexpr InterfaceId IID_IQueryGuid { "IQueryGuid" };
inline constexpr InterfaceId IID_IRefCount { "IRefCount" };
inline constexpr InterfaceId IID_ISubject { "ISubject" };
inline constexpr InterfaceId IID_IObserver { "IObserver" };
inline constexpr InterfaceId IID_IMessage { "IMessage" };

class IQueryGuid {
public:
    virtual ~IQueryGuid() = default;
    // Answers the part of the object that implements the interface, else false and null.
    virtual bool QueryGuid(GUID_REF guid, void** object) = 0;
};

class IRefCount {
public:
    virtual ~IRefCount() = default;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

class IMessage : public IQueryGuid, public IRefCount {
public:
    virtual UINT GetTypeID() const = 0;
    virtual void GetDescription(CString& text) const = 0;
};

class ISubject;

class IObserver : public IQueryGuid, public IRefCount {
public:
    virtual void OnUpdate(ISubject* subject, IMessage* message) = 0;
};

class ISubject : public IQueryGuid, public IRefCount {
public:
    virtual void AddObserver(IObserver* observer) = 0;
    virtual void RemoveObserver(IObserver* observer) = 0;
    virtual void UpdateAllObservers(IObserver* exclude, IMessage* message) = 0;
};

using ObserverArray = CCArray_T<IObserver*>;

// Calls OnUpdate(subject, message) on every observer of the array except the sender, in order.
void NotifyObservers(ObserverArray& observers, ISubject* subject, IObserver* sender, IMessage* message);

// Reference counting for heap objects that are released, never deleted directly.
template <typename Interface>
class CRefCountImpl : public Interface {
public:
    ULONG AddRef() override { return ++m_refCount; }
    ULONG Release() override
    {
        const ULONG count = --m_refCount;
        if (count == 0)
            delete this;
        return count;
    }

protected:
    ULONG m_refCount = 0;
};

// An undoable change. The history deletes commands directly; the count serves message use.
class CMvcCommand : public CRefCountImpl<IMessage> {
public:
    bool QueryGuid(GUID_REF guid, void** object) override;
    UINT GetTypeID() const override { return 0; }
    void GetDescription(CString& text) const override { text.Empty(); }
    virtual BOOL IsUndoable() const { return m_undoable; }
    virtual void SetUndoable(BOOL undoable) { m_undoable = undoable; }
    virtual BOOL Execute() { return TRUE; }
    virtual BOOL Unexecute() { return TRUE; }

private:
    BOOL m_undoable = TRUE;
};

// A subject that keeps its observers; owned by its holder, so its counts free nothing.
class CMvcModel : public ISubject {
public:
    CMvcModel() = default;
    CMvcModel(const CMvcModel&) = delete;
    CMvcModel& operator=(const CMvcModel&) = delete;
    ~CMvcModel() override;

    bool QueryGuid(GUID_REF guid, void** object) override;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    void AddObserver(IObserver* observer) override;
    void RemoveObserver(IObserver* observer) override;
    void UpdateAllObservers(IObserver* exclude, IMessage* message) override;
    virtual BOOL IsModified() const { return FALSE; }
    virtual void Reset() {}

    int GetObserverCount() const { return m_observers.GetCount(); }

protected:
    ObserverArray m_observers;
};

// A model whose changes are commands kept in a bounded undo history and a redo stack.
class MvcTransactionModel : public CMvcModel {
public:
    static constexpr int DefaultHistorySize = 256;

    MvcTransactionModel();
    ~MvcTransactionModel() override;

    BOOL IsModified() const override { return TRUE; }
    void Reset() override;
    virtual LONG Log(CMvcCommand* command);
    virtual LONG Do(CMvcCommand* command);
    virtual CMvcCommand* Undo();
    virtual CMvcCommand* Redo();

    void SetHistorySize(int size);
    CMvcCommand* PeekUndo() const { return m_history.Peek(); }
    CMvcCommand* PeekRedo() const { return m_redo.Peek(); }
    int GetUndoCount() const { return m_history.GetCount(); }
    int GetRedoCount() const { return m_redo.GetCount(); }

protected:
    // Takes the newest command off the history without undoing it; the caller owns it.
    CMvcCommand* PopHistory() { return m_history.Pop(); }
    // Called by Log just before a command leaves the history for good: the oldest done step
    // pushed out of a full history (done), or an undone step dropped from the redo stack.
    virtual void OnDiscard(CMvcCommand* command, BOOL done) {}

private:
    static void ClearStack(CCStack_T<CMvcCommand*>& stack);

    CCStack_T<CMvcCommand*> m_history;
    CCStack_T<CMvcCommand*> m_redo;
};

} // namespace divuzura::foundation
