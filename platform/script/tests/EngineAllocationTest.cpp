// The engine's use of the heap, in a program of its own whose operator new counts the live bytes
// and can refuse past a limit, as a system out of memory does: text that Eval and Execute compile
// is freed once it has run, and a script that takes all the memory there is ends with "Out of
// memory" while everything around it goes on.

#include "ScriptHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<size_t> s_liveBytes { 0 };
std::atomic<size_t> s_limit { 0 };  // 0: none

void* Allocate(size_t size) noexcept
{
    const size_t limit = s_limit.load();
    if (limit && s_liveBytes.load() + size > limit)
        return nullptr;
    void* block = std::malloc(size ? size : 1);
    if (block)
        s_liveBytes += malloc_usable_size(block);
    return block;
}

void Free(void* block) noexcept
{
    if (!block)
        return;
    s_liveBytes -= malloc_usable_size(block);
    std::free(block);
}

} // namespace

void* operator new(size_t size)
{
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Free(block); }
void operator delete[](void* block) noexcept { Free(block); }
void operator delete(void* block, size_t) noexcept { Free(block); }
void operator delete[](void* block, size_t) noexcept { Free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Free(block); }

namespace {

// "Probe.Mark" notes the live heap at that moment of the script.
class Probe final : public AutomationObject {
public:
    std::vector<size_t> marks;

    Probe()
    {
        marks.reserve(16);
        AddMember(L"Mark", 1, [this](Call&) {
            if (marks.size() < marks.capacity())
                marks.push_back(s_liveBytes.load());
            return S_OK;
        });
    }
};

TEST(EngineAllocation, EvalAndExecuteTextIsFreedOnceItHasRun)
{
    auto* probe = new Probe;
    RunResult r = RunLikeThePage(L"Sub InSub(i)\n"
                                 L" x = Eval(\"i * 2\")\n"
                                 L" Execute \"y = i + x\"\n"
                                 L"End Sub\n"
                                 L"For i = 1 To 10000\n"
                                 L" v = Eval(\"i + 1\")\n"
                                 L" Execute \"w = i\"\n"
                                 L" ExecuteGlobal \"z = i\"\n"
                                 L" InSub i\n"
                                 L" If i = 1000 Then Probe.Mark\n"
                                 L"Next\n"
                                 L"Probe.Mark\n",
                                 {{L"Probe", probe}});
    EXPECT_TRUE(r.errors.empty());
    ASSERT_EQ(probe->marks.size(), 2u);
    // 9,000 turns that kept their five texts would have kept about 60 MB.
    EXPECT_LT(probe->marks[1] - std::min(probe->marks[0], probe->marks[1]), size_t(256) * 1024);
    probe->Release();
}

// The engine's own budget (1 GiB) is far above what the system gives here: the system's refusal
// ends each script, which On Error Resume Next does not hide.
TEST(EngineAllocation, RunningOutOfSystemMemoryEndsTheScriptWithOutOfMemory)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* script;
        ULONG firstInLoop, lastInLoop;  // the lines of the loop's body
    } cases[] = {
        { L"a linked list of objects",
          L"Class Node\n Public NextNode\nEnd Class\nOn Error Resume Next\nDo\n Set n = New Node\n"
          L" Set n.NextNode = head\n Set head = n\nLoop", 5, 7 },
        { L"procedures declared at run time",
          L"On Error Resume Next\nDo\n i = i + 1\n ExecuteGlobal \"Sub P\" & i & \"()\" & vbLf & \"End Sub\"\nLoop", 2, 3 },
        { L"variables declared at run time",
          L"On Error Resume Next\nDo\n i = i + 1\n ExecuteGlobal \"Dim v\" & i\nLoop", 2, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxRecorder boxes;
        s_limit = s_liveBytes.load() + (size_t(24) << 20);
        RunResult r = RunLikeThePage(c.script);
        s_limit = 0;
        EXPECT_EQ(r.start, SCRIPT_E_REPORTED);
        ASSERT_EQ(r.errors.size(), 1u);
        EXPECT_EQ(r.errors[0].code, 7);
        EXPECT_EQ(r.errors[0].description, L"Out of memory");
        EXPECT_GE(r.errors[0].line, c.firstInLoop);
        EXPECT_LE(r.errors[0].line, c.lastInLoop);

        // The engine let go of everything, and the next script runs as usual.
        RunResult next = RunLikeThePage(L"MsgBox \"again\"");
        EXPECT_TRUE(next.errors.empty());
        EXPECT_EQ(boxes.Text(), L"again\n");
    }
}

} // namespace
