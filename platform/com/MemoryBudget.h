#pragma once
// A limit on the memory that the strings (BSTR) and safe arrays made for one owner, such as a
// script engine, may hold at once. While a MemoryBudgetScope is active on a thread, each string
// and array block allocated on that thread is charged to its budget, and refunded when the block
// is freed, on whatever thread and however late. An allocation past the limit fails as if memory
// had run out (a null BSTR, E_OUTOFMEMORY).

#include <atomic>
#include <cstddef>
#include <memory>
#include <utility>

class MemoryBudget {
public:
    struct Releaser {
        void operator()(MemoryBudget* budget) const { budget->Release(); }
    };
    using Ptr = std::unique_ptr<MemoryBudget, Releaser>;

    // A budget held by its owner; the blocks charged to it keep it alive after the owner lets go.
    static Ptr Create(size_t limit);

    size_t used() const { return m_used; }
    size_t limit() const { return m_limit; }
    void SetLimit(size_t limit) { m_limit = limit; }

    // Charges bytes when they fit under the limit.
    bool TryCharge(size_t bytes);
    void Refund(size_t bytes) { m_used -= bytes; }

    // Each block charged to the budget holds a reference, as does the owner's pointer.
    void AddRef() { ++m_refs; }
    void Release();

private:
    explicit MemoryBudget(size_t limit) : m_limit(limit) {}

    std::atomic<size_t> m_used { 0 };
    std::atomic<size_t> m_limit;
    std::atomic<size_t> m_refs { 1 };
};

// Makes a budget the current one of this thread for the scope's lifetime; scopes nest.
class MemoryBudgetScope {
public:
    explicit MemoryBudgetScope(MemoryBudget* budget);
    ~MemoryBudgetScope();
    MemoryBudgetScope(const MemoryBudgetScope&) = delete;
    MemoryBudgetScope& operator=(const MemoryBudgetScope&) = delete;

    static MemoryBudget* Current();

private:
    MemoryBudget* m_previous;
};

// Bytes of something other than a charged block (a compiled text, an object) held against a budget
// for as long as the charge lives.
class MemoryCharge {
public:
    MemoryCharge() = default;
    ~MemoryCharge() { Drop(); }
    MemoryCharge(MemoryCharge&& other) noexcept
        : m_budget(std::exchange(other.m_budget, nullptr)), m_bytes(std::exchange(other.m_bytes, 0)) {}
    MemoryCharge& operator=(MemoryCharge&& other) noexcept
    {
        if (this != &other) {
            Drop();
            m_budget = std::exchange(other.m_budget, nullptr);
            m_bytes = std::exchange(other.m_bytes, 0);
        }
        return *this;
    }

    // Charges bytes to budget (none: nothing is counted) in place of what the charge held; false,
    // holding nothing, when they do not fit.
    bool Take(MemoryBudget* budget, size_t bytes);

private:
    void Drop();

    MemoryBudget* m_budget = nullptr;
    size_t m_bytes = 0;
};

// Memory blocks for strings and arrays, charged to the budget current when they were allocated.
// Null when the budget or the system refuses; a refused reallocation leaves the block as it was.
void* AllocateCharged(size_t bytes);
void* ReallocateCharged(void* block, size_t bytes);
void FreeCharged(void* block);
