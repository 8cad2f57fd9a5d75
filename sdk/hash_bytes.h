// A fast, well-mixed 64-bit hash of a byte string, for hash tables that the host
// and components keep in memory. Its values may change between builds: nothing
// stored or shown depends on them.
#pragma once

#include <cstdint>
#include <string_view>

uint64_t hash_bytes(std::string_view bytes, uint64_t seed = 0);
