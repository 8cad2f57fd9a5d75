// This process's memory as the system counts it, for the tests that bound what a
// large store costs.
#pragma once

#include <cstddef>

// Resident bytes of this process, or 0 where the system does not say.
size_t resident_bytes();
// Gives the allocator's free memory back to the system, so that the resident
// memory counts what is still in use.
void release_free_memory();
