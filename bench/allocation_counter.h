// Counts every allocation the program makes through operator new, so a benchmark
// can say what one operation allocates, and keeps the bytes those allocations
// hold, so that it can say what a structure costs in memory.
#pragma once

#include <cstdint>

// Allocations made since the program started.
uint64_t allocations_so_far();
// Bytes that the allocator holds for the operator-new allocations still live,
// counted as the usable size it gave each one.
uint64_t allocated_bytes();
// The most allocated_bytes() has been since the last reset_peak_bytes().
uint64_t peak_allocated_bytes();
// Starts a new peak at what is allocated now.
void reset_peak_bytes();
