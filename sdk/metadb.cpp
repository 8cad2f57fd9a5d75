#include "sdk/metadb.h"

#include <cstring>

#include "sdk/utf8.h"

bool playable_location::equals(const playable_location& other) const {
    if (get_subsong() != other.get_subsong())
        return false;
    // Locations compared are mostly spelt alike, which a byte comparison settles.
    const char* path = get_path();
    const char* other_path = other.get_path();
    return std::strcmp(path, other_path) == 0 || stricmp_utf8(path, other_path) == 0;
}
