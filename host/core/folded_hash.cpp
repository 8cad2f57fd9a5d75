#include "host/core/folded_hash.h"

#include <string>

#include "sdk/hash_bytes.h"
#include "sdk/utf8.h"

size_t folded_path_hash(std::string_view path) {
    // Kept per thread, so that hashing allocates nothing.
    thread_local std::string lower;
    lower.clear();
    utf8_append_lower(lower, path);
    return size_t(hash_bytes(lower));
}
