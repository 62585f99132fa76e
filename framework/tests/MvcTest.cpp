#include "framework/Mvc.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace divuzura::foundation;

namespace {

struct RecordingObserver : IObserver {
    explicit RecordingObserver(std::vector<RecordingObserver*>* calls = nullptr) : calls(calls) {}
    bool QueryGuid(GUID_REF, void** object) override { *object = nullptr; return false; }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    void OnUpdate(ISubject*, IMessage*) override
    {
        if (calls)
            calls->push_back(this);
    }
    std::vector<RecordingObserver*>* calls;
    ULONG refs = 0;
};

// Counts live instances so the tests see which commands the history destroyed.
struct TestCommand : CMvcCommand {
    explicit TestCommand(int* live, bool undoable = true, bool executes = true)
        : live(live), executes(executes)
    {
        ++*live;
        SetUndoable(undoable);
    }
    ~TestCommand() override { --*live; }
    BOOL Execute() override { ++executed; return executes; }
    BOOL Unexecute() override { ++unexecuted; return TRUE; }
    int* live;
    bool executes;
    int executed = 0;
    int unexecuted = 0;
};

TEST(ObserverCollection, EmptyArrayYieldsNothing)
{
    ObserverArray array;
    Iterator_T<IObserver*> it(&array);
    EXPECT_FALSE(it.First());
    EXPECT_TRUE(it.IsEnd());
    EXPECT_EQ(it.Get(), nullptr);
    EXPECT_EQ(array.Find(nullptr), -1);
}

TEST(ObserverCollection, FindRemoveAndWrappingSearch)
{
    RecordingObserver a, b;
    ObserverArray array;
    array.Add(&a);
    array.Add(&b);
    array.Add(&a);
    EXPECT_EQ(array.Find(&b), 1);

    CCIterPos_T<int> pos(2);
    EXPECT_TRUE(array.FindNext(pos, &a));
    EXPECT_EQ(pos.m_pos, 0) << "the search continues from the start";
    EXPECT_TRUE(array.FindPrev(pos, &b));
    EXPECT_EQ(pos.m_pos, 1);

    array.Remove(&a);
    EXPECT_EQ(array.GetCount(), 1);
    EXPECT_EQ(array.Find(&a), -1);
}

TEST(ObserverCollection, OutOfRangeWritesThrowAndLeaveTheArray)
{
    RecordingObserver a;
    ObserverArray array;
    array.Add(&a);
    CCIterPos_T<int> past(1);
    const auto throwsInvalidArgument = [](auto operation) {
        try {
            operation();
        } catch (CInvalidArgException* exception) {
            exception->Delete();
            return true;
        }
        return false;
    };
    EXPECT_TRUE(throwsInvalidArgument([&] { array.SetAt(past, &a); }));
    EXPECT_TRUE(throwsInvalidArgument([&] { array.RemoveAt(past); }));
    CCIterPos_T<int> negative(-1);
    EXPECT_TRUE(throwsInvalidArgument([&] { array.InsertAt(negative, &a); }));
    EXPECT_EQ(array.GetCount(), 1);
    EXPECT_EQ(array.GetAt(past), nullptr);
    EXPECT_EQ(array.GetAtPtr(past), nullptr);

    CCIterPos_T<int> beyond(3);
    array.InsertAt(beyond, &a);
    EXPECT_EQ(array.GetCount(), 4) << "inserting past the end grows the array";
}

TEST(ObserverCollection, IteratorSkipsRefusedElements)
{
    struct SkipNull : Iterator_T<IObserver*> {
        using Iterator_T::Iterator_T;
        bool Accept(IObserver* observer) const override { return observer != nullptr; }
    };
    RecordingObserver a, b;
    ObserverArray array;
    array.Add(nullptr);
    array.Add(&a);
    array.Add(nullptr);
    array.Add(&b);
    SkipNull it(&array);
    EXPECT_EQ(it.First() ? it.Get() : nullptr, &a);
    EXPECT_EQ(it.GetNext(), &b);
    EXPECT_EQ(it.GetNext(), nullptr);
    EXPECT_EQ(it.GetLast(), &b);
    EXPECT_EQ(it.GetPrev(), &a);
}

TEST(Model, NotifiesEveryObserverButTheExcludedOne)
{
    std::vector<RecordingObserver*> calls;
    RecordingObserver a(&calls), b(&calls), c(&calls);
    {
        CMvcModel model;
        model.AddObserver(&a);
        model.AddObserver(&b);
        model.AddObserver(&c);
        model.AddObserver(nullptr);
        EXPECT_EQ(a.refs, 1u);
        model.UpdateAllObservers(&b, nullptr);
        EXPECT_EQ(calls, (std::vector<RecordingObserver*> { &a, &c }));
        calls.clear();
        model.UpdateAllObservers(nullptr, nullptr);
        EXPECT_EQ(calls.size(), 3u);
        model.RemoveObserver(&a);
        EXPECT_EQ(a.refs, 0u);
    }
    EXPECT_EQ(b.refs, 0u) << "the model releases its observers when it goes";
    EXPECT_EQ(c.refs, 0u);
}

TEST(TransactionModel, HistoryHolds256StepsAndDestroysTheOldest)
{
    int live = 0;
    {
        MvcTransactionModel model;
        std::vector<TestCommand*> commands;
        for (int i = 0; i < 257; ++i) {
            commands.push_back(new TestCommand(&live));
            model.Log(commands.back());
        }
        EXPECT_EQ(live, 256) << "the first command fell off the history";
        for (int i = 0; i < 256; ++i)
            EXPECT_EQ(model.Undo(), commands[256 - i]);
        EXPECT_EQ(model.Undo(), nullptr);
        EXPECT_EQ(model.Redo(), commands[1]);
        EXPECT_EQ(model.GetUndoCount() + model.GetRedoCount(), 256);
    }
    EXPECT_EQ(live, 0);
}

TEST(TransactionModel, LoggingAfterUndoClearsTheRedoStack)
{
    int live = 0;
    MvcTransactionModel model;
    auto* first = new TestCommand(&live);
    model.Log(first);
    model.Log(new TestCommand(&live));
    model.Undo();
    EXPECT_EQ(model.GetRedoCount(), 1);
    model.Log(new TestCommand(&live));
    EXPECT_EQ(model.GetRedoCount(), 0);
    EXPECT_EQ(live, 2);
    EXPECT_EQ(model.Redo(), nullptr);
    EXPECT_EQ(first->unexecuted, 0);
}

TEST(TransactionModel, NonUndoableCommandsArePassedOver)
{
    int live = 0;
    MvcTransactionModel model;
    auto* undoable = new TestCommand(&live);
    auto* passive = new TestCommand(&live, false);
    model.Log(undoable);
    model.Log(passive);
    EXPECT_EQ(model.Undo(), undoable);
    EXPECT_EQ(passive->unexecuted, 0);
    EXPECT_EQ(undoable->unexecuted, 1);
    EXPECT_EQ(model.Redo(), undoable);
    EXPECT_EQ(model.Redo(), nullptr) << "the passive command was redone in passing, without executing";
    EXPECT_EQ(passive->executed, 0);
    EXPECT_EQ(model.GetUndoCount(), 2);
}

TEST(TransactionModel, FailedDoLeavesTheStacksAlone)
{
    int live = 0;
    MvcTransactionModel model;
    auto failing = std::make_unique<TestCommand>(&live, true, false);
    EXPECT_EQ(model.Do(failing.get()), 0);
    EXPECT_EQ(model.GetUndoCount(), 0);
    EXPECT_EQ(model.Do(new TestCommand(&live)), 1);
    EXPECT_EQ(model.GetUndoCount(), 1);
}

} // namespace
