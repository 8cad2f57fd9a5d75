#include "support/process_memory.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <malloc.h>
#include <psapi.h>

size_t resident_bytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.WorkingSetSize;
}

void release_free_memory() {
    _heapmin();
}

size_t small_block_extra_bytes() {
    return 16;
}
