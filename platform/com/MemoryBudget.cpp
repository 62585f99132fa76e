#include "platform/com/MemoryBudget.h"

#include <cstdint>
#include <cstdlib>

namespace {

thread_local MemoryBudget* t_current = nullptr;

// Sits in front of every charged block; 16 bytes keep the block aligned for any element.
struct alignas(16) BlockHeader {
    MemoryBudget* budget;
    size_t size;
};

BlockHeader* HeaderOf(void* block) { return static_cast<BlockHeader*>(block) - 1; }

} // namespace

MemoryBudget::Ptr MemoryBudget::Create(size_t limit) { return Ptr(new MemoryBudget(limit)); }

bool MemoryBudget::TryCharge(size_t bytes)
{
    size_t used = m_used.load();
    do {
        if (bytes > m_limit || used > m_limit - bytes) return false;
    } while (!m_used.compare_exchange_weak(used, used + bytes));
    return true;
}

void MemoryBudget::Release()
{
    if (--m_refs == 0) delete this;
}

MemoryBudgetScope::MemoryBudgetScope(MemoryBudget* budget) : m_previous(t_current) { t_current = budget; }

MemoryBudgetScope::~MemoryBudgetScope() { t_current = m_previous; }

MemoryBudget* MemoryBudgetScope::Current() { return t_current; }

bool MemoryCharge::Take(MemoryBudget* budget, size_t bytes)
{
    Drop();
    if (!budget)
        return true;
    if (!budget->TryCharge(bytes))
        return false;
    budget->AddRef();
    m_budget = budget;
    m_bytes = bytes;
    return true;
}

void MemoryCharge::Drop()
{
    if (!m_budget)
        return;
    m_budget->Refund(m_bytes);
    m_budget->Release();
    m_budget = nullptr;
    m_bytes = 0;
}

void* AllocateCharged(size_t bytes)
{
    MemoryBudget* budget = t_current;
    if (bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
    if (budget && !budget->TryCharge(bytes)) return nullptr;
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
    if (!header) {
        if (budget) budget->Refund(bytes);
        return nullptr;
    }
    if (budget) budget->AddRef();
    header->budget = budget;
    header->size = bytes;
    return header + 1;
}

void* ReallocateCharged(void* block, size_t bytes)
{
    if (!block) return AllocateCharged(bytes);
    if (bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
    BlockHeader* header = HeaderOf(block);
    MemoryBudget* budget = header->budget;
    size_t old = header->size;
    // The growth is charged before the block grows; a shrink is refunded once it happened.
    if (budget && bytes > old && !budget->TryCharge(bytes - old)) return nullptr;
    auto* moved = static_cast<BlockHeader*>(std::realloc(header, sizeof(BlockHeader) + bytes));
    if (!moved) {
        if (budget && bytes > old) budget->Refund(bytes - old);
        return nullptr;
    }
    moved->size = bytes;
    if (budget && bytes < old) budget->Refund(old - bytes);
    return moved + 1;
}

void FreeCharged(void* block)
{
    if (!block) return;
    BlockHeader* header = HeaderOf(block);
    if (MemoryBudget* budget = header->budget) {
        budget->Refund(header->size);
        budget->Release();
    }
    std::free(header);
}
