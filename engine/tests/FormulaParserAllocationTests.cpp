// Calculate is called text to value for every point of a curve and every step of a root search,
// so once its buffers have grown it must not touch the heap (numbers beyond 15 significant digits
// aside, which go through the general conversion). This binary counts every allocation, and can
// make the next one fail.

#include "engine/FormulaParser.h"
#include "engine/PhysConst.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> s_allocations { 0 };
std::atomic<bool> s_failNextAllocation { false };

void* CountedAllocation(std::size_t size) noexcept
{
    ++s_allocations;
    if (s_failNextAllocation.exchange(false))
        return nullptr;
    return std::malloc(size ? size : 1);
}
} // namespace

void* operator new(std::size_t size)
{
    if (void* block = CountedAllocation(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace {

TEST(FormulaParserAllocationTest, RepeatedCalculationsAllocateNothing)
{
    const CString formulas[] = {
        L"2.2*x+1.1",
        L"1.5*x^9+2.25*x^8-3.125*x^7+4*x^6-5.5*x^5+6.75*x^4-7*x^3+8.5*x^2-9.25*x+10",
        L"SQR(SIN(x)^2+COS(x)^2)*ARCTAN(x)",
        L"((x+1))*[2,5]-(1)*x+3*(1)",  // every normalising pass
        L"_h_BAR_MeVs*_c/(1+x^2)",
        L"KGV(12,18)+GGT(12,18)",
        L"SQR(-1)+1/0",                // error messages
        L"2#3",                        // an error position
    };
    CPhysConst constants;
    CFormulaParser parser(constants);
    CString errText;
    int errPos = 0;
    auto calculateAll = [&] {
        for (const CString& formula : formulas) {
            for (BOOL normalise : { FALSE, TRUE })
                parser.Calculate(formula, 0.5, &errPos, &errText, normalise);
        }
    };
    calculateAll();  // lets the buffers grow to their size
    errText.Preallocate(256);

    const long before = s_allocations;
    for (int round = 0; round < 10; ++round)
        calculateAll();
    EXPECT_EQ(s_allocations - before, 0);
}

// Running out of memory inside a calculation is reported as a system error, not thrown at the caller.
TEST(FormulaParserAllocationTest, FailedAllocationIsReportedAsSystemError)
{
    CPhysConst constants;
    CFormulaParser parser(constants);
    CString errText;
    errText.Preallocate(256);
    int errPos = -1;
    const CString formula(L"[1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20]");

    s_failNextAllocation = true;  // the normalised copy of the formula is the first to need memory
    double value = parser.Calculate(formula, 1.0, &errPos, &errText, TRUE);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(errText.Left(14), L"System Error: ");
    EXPECT_GT(errText.GetLength(), 14);

    EXPECT_EQ(parser.Calculate(formula, 1.0, &errPos, &errText, TRUE), 210.0);
    EXPECT_EQ(errText, L"");
}

} // namespace
