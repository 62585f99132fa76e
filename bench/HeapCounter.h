#pragma once
// The heap a benchmark holds, counted by the program's own operator new and delete (defined in
// HeapCounter.cpp, which a benchmark links to have them), so that a peak is what the code under
// test allocates rather than the whole process.

#include <cstddef>

namespace bench {

// Begins a measurement: the peak starts at the heap held now, which is returned.
size_t StartHeapPeak();

// The most heap held since the measurement began, above what was held when it began.
size_t HeapPeakSince(size_t start);

} // namespace bench
