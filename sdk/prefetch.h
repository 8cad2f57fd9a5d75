// Asking the processor to start loading memory that is read soon, so that a walk
// over scattered objects waits for several cache misses at once instead of one
// after another. A hint only: it changes no result.
#pragma once

#if defined(_MSC_VER) && !defined(__clang__)
#include <xmmintrin.h>
#endif

inline void prefetch_for_reading(const void* address) {
#if defined(_MSC_VER) && !defined(__clang__)
    _mm_prefetch(static_cast<const char*>(address), _MM_HINT_T0);
#else
    __builtin_prefetch(address, 0, 3);
#endif
}
