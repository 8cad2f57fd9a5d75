#include "sdk/hash_bytes.h"

// Compiled into this file alone, so that users of the header need no xxHash.
#define XXH_INLINE_ALL
#include <xxhash.h>

uint64_t hash_bytes(std::string_view bytes, uint64_t seed) {
    return XXH3_64bits_withSeed(bytes.data(), bytes.size(), seed);
}
