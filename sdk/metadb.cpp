#include "sdk/metadb.h"

#include "sdk/utf8.h"

bool playable_location::equals(const playable_location& other) const {
    return get_subsong() == other.get_subsong() && stricmp_utf8(get_path(), other.get_path()) == 0;
}
