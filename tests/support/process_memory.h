// This process's memory as the system counts it, for the tests that bound what a
// large store costs.
#pragma once

#include <cstddef>

// Resident bytes of this process, or 0 where the system does not say.
size_t resident_bytes();
// Gives the allocator's free memory back to the system, so that the resident
// memory counts what is still in use.
void release_free_memory();
// What the allocator takes for a small block (a dozen bytes asked) beyond what
// glibc's takes, which the memory bounds are set for: 0 with glibc; 16 with the
// Windows heap, which (as Wine's measures) gives such a block 48 bytes where
// glibc gives 32.
size_t small_block_extra_bytes();
