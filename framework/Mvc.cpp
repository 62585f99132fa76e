#include "framework/Mvc.h"

namespace divuzura::foundation {

void NotifyObservers(ObserverArray& observers, ISubject* subject, IObserver* sender, IMessage* message)
{
    Iterator_T<IObserver*> it(&observers);
    for (it.First(); IObserver* observer = it.Get(); it.Next()) {
        if (observer != sender)
            observer->OnUpdate(subject, message);
    }
}

bool CMvcCommand::QueryGuid(GUID_REF guid, void** object)
{
    if (&guid == &IID_IMessage) {
        *object = static_cast<IMessage*>(this);
        return true;
    }
    *object = nullptr;
    return false;
}

CMvcModel::~CMvcModel()
{
    for (int i = m_observers.GetCount() - 1; i >= 0; --i)
        m_observers[i]->Release();
    m_observers.RemoveAll();
}

bool CMvcModel::QueryGuid(GUID_REF guid, void** object)
{
    if (&guid == &IID_ISubject || &guid == &IID_IQueryGuid) {
        *object = static_cast<ISubject*>(this);
        return true;
    }
    if (&guid == &IID_IRefCount) {
        *object = static_cast<IRefCount*>(this);
        return true;
    }
    *object = nullptr;
    return false;
}

void CMvcModel::AddObserver(IObserver* observer)
{
    if (!observer)
        return;
    observer->AddRef();
    m_observers.Add(observer);
}

void CMvcModel::RemoveObserver(IObserver* observer)
{
    for (int i = m_observers.GetCount() - 1; i >= 0; --i) {
        if (m_observers[i] == observer) {
            m_observers.RemoveAt(i);
            observer->Release();
        }
    }
}

void CMvcModel::UpdateAllObservers(IObserver* exclude, IMessage* message)
{
    // Walk a copy: an observer may leave the list while it is being told.
    ObserverArray observers;
    observers.Copy(m_observers);
    NotifyObservers(observers, this, exclude, message);
}

MvcTransactionModel::MvcTransactionModel()
{
    SetHistorySize(DefaultHistorySize);
}

MvcTransactionModel::~MvcTransactionModel()
{
    ClearStack(m_history);
    ClearStack(m_redo);
}

void MvcTransactionModel::ClearStack(CCStack_T<CMvcCommand*>& stack)
{
    while (CMvcCommand* command = stack.Pop())
        delete command;
}

void MvcTransactionModel::Reset()
{
    ClearStack(m_history);
    ClearStack(m_redo);
}

void MvcTransactionModel::SetHistorySize(int size)
{
    m_history.SetCapacity(size);
    m_redo.SetCapacity(size);
}

LONG MvcTransactionModel::Log(CMvcCommand* command)
{
    if (CMvcCommand* oldest = m_history.Push(command)) {
        OnDiscard(oldest, TRUE);
        delete oldest;
    }
    while (CMvcCommand* undone = m_redo.Pop()) {
        OnDiscard(undone, FALSE);
        delete undone;
    }
    return 1;
}

LONG MvcTransactionModel::Do(CMvcCommand* command)
{
    if (!command->Execute())
        return 0;
    return Log(command);
}

CMvcCommand* MvcTransactionModel::Undo()
{
    CMvcCommand* command = m_history.Pop();
    if (!command)
        return nullptr;
    if (command->IsUndoable())
        command->Unexecute();
    delete m_redo.Push(command);
    if (!command->IsUndoable())
        return Undo();
    return command;
}

CMvcCommand* MvcTransactionModel::Redo()
{
    CMvcCommand* command = m_redo.Pop();
    if (!command)
        return nullptr;
    if (command->IsUndoable())
        command->Execute();
    delete m_history.Push(command);
    if (!command->IsUndoable())
        return Redo();
    return command;
}

} // namespace divuzura::foundation
