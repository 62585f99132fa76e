// Running out of memory while a tree is built or derived: the entry points report the failure,
// never evaluate a half-built tree, and free what they had built (the leak checker watches).

#include "engine/FunctionTree.h"
#include "engine/FunctionTreeBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>

namespace {

// The allocation that fails: counts down to 0 and fails there; -1 lets every allocation through.
long s_allocationsBeforeFailure = -1;

class FailingAllocation {
public:
    explicit FailingAllocation(long allocationsBefore) { s_allocationsBeforeFailure = allocationsBefore; }
    ~FailingAllocation() { s_allocationsBeforeFailure = -1; }
    static bool Failed() { return s_failed; }
    static void Reset() { s_failed = false; }

    static bool ShouldFail()
    {
        if (s_allocationsBeforeFailure < 0)
            return false;
        if (s_allocationsBeforeFailure-- > 0)
            return false;
        s_failed = true;
        return true;
    }

private:
    static inline bool s_failed = false;
};

} // namespace

void* operator new(std::size_t size)
{
    if (FailingAllocation::ShouldFail())
        throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

constexpr const wchar_t* Formula = L"SIN(X)*X^2+LN(X)/(X+1)-GAMMA(3)*COS(2*X)";

TEST(FunctionTreeAllocation, DerivativeReportsEachFailedAllocation)
{
    CString expectedText;
    int error = 0;
    const double expected = EvaluateDerivativeTree(Formula, 1.5, &expectedText, &error);
    ASSERT_EQ(error, FunctionTreeOk);

    int failures = 0;
    for (long allocation = 0;; ++allocation) {
        CString text;
        error = 42;
        FailingAllocation::Reset();
        CString formula = Formula;  // made before the failures start; moved in below
        double value;
        {
            const FailingAllocation failing(allocation);
            value = EvaluateDerivativeTree(std::move(formula), 1.5, &text, &error);
        }
        if (!FailingAllocation::Failed()) {
            // Every allocation of the call succeeded: the normal result.
            EXPECT_EQ(value, expected);
            EXPECT_EQ(text, expectedText);
            break;
        }
        ++failures;
        EXPECT_EQ(error, FunctionTreeFailed) << "allocation " << allocation;
        EXPECT_EQ(text, CString(L"Err"));
        EXPECT_EQ(value, 0.0);
    }
    EXPECT_GT(failures, 50);
}

TEST(FunctionTreeAllocation, EvaluationReportsEachFailedAllocation)
{
    int error = 0;
    const double expected = EvaluateTree(Formula, 1.5, &error);
    ASSERT_EQ(error, FunctionTreeOk);

    int failures = 0;
    for (long allocation = 0;; ++allocation) {
        error = 42;
        FailingAllocation::Reset();
        CString formula = Formula;
        double value;
        {
            const FailingAllocation failing(allocation);
            value = EvaluateTree(std::move(formula), 1.5, &error);
        }
        if (!FailingAllocation::Failed()) {
            EXPECT_EQ(value, expected);
            EXPECT_EQ(error, FunctionTreeOk);
            break;
        }
        ++failures;
        EXPECT_EQ(error, FunctionTreeFailed) << "allocation " << allocation;
        EXPECT_EQ(value, 0.0);
    }
    EXPECT_GT(failures, 20);
}

} // namespace
