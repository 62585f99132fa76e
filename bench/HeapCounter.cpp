#include "bench/HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<size_t> g_current { 0 };
std::atomic<size_t> g_peak { 0 };

void* Allocate(size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const size_t now = g_current += malloc_usable_size(p);
    size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now))
        ;
    return p;
}

void Free(void* p)
{
    if (!p)
        return;
    g_current -= malloc_usable_size(p);
    std::free(p);
}

} // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }

namespace bench {

size_t StartHeapPeak()
{
    const size_t now = g_current.load();
    g_peak = now;
    return now;
}

size_t HeapPeakSince(size_t start)
{
    return g_peak.load() - start;
}

} // namespace bench
