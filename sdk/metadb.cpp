#include "sdk/metadb.h"

#include <stdexcept>

#include "sdk/utf8.h"

bool playable_location::equals(const playable_location& other) const {
    return get_subsong() == other.get_subsong() && stricmp_utf8(get_path(), other.get_path()) == 0;
}

void fixed_location::set_path(const char*) {
    throw std::logic_error("This location cannot change.");
}

void fixed_location::set_subsong(uint32_t) {
    throw std::logic_error("This location cannot change.");
}
