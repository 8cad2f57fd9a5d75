#include "support/process_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>

size_t resident_bytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    if (!(statm >> pages >> resident))
        return 0;
    return resident * size_t(sysconf(_SC_PAGESIZE));
}

void release_free_memory() {
    malloc_trim(0);
}

size_t small_block_extra_bytes() {
    return 0;
}
