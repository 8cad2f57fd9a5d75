// The fields the host itself knows for every track, from its location alone:
// %path%, %filename%, %filename_ext%, %directoryname% and %subsong%.
#pragma once

#include <string>
#include <string_view>

#include "sdk/metadb.h"

// Appends the value of the host field `name` (ASCII letter case does not matter)
// and answers true; answers false, writing nothing, for any other name.
bool resolve_host_field(const playable_location& location, std::string_view name, std::string& out);
