// Counts every allocation the program makes through operator new, so a benchmark
// can say what one operation allocates.
#pragma once

#include <cstdint>

// Allocations made since the program started.
uint64_t allocations_so_far();
