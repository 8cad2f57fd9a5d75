// Executes one quick-tag command on a selection of tracks.
#pragma once

#include <string_view>

#include "sdk/contextmenu.h"

// Writes every field of `field_names` on every track of `tracks`, with the value
// of the same position in `values` (empty when there is none). Both texts are
// "|"-separated lists; a field name starting with "#" appends a value instead of
// replacing the field. With `titleformat` each value is a script formatted per
// track, with the local date and time as extra fields; a script that does not
// compile or format skips that field on that track. With `remove_empty` an empty
// result removes a replaced field and adds nothing to an appended one.
//
// One writer of the tagshelf service serves the whole command. The first failure
// stops it and is reported to the user; writes made before it stay.
void run_quicktag_command(std::string_view field_names, const contextmenu_tracks& tracks,
                          std::string_view values, bool titleformat, bool remove_empty);
