// Title formatting as the track database offers it: each format_title call runs
// the evaluator with the display hooks registered with the host at that moment.
#pragma once

#include "host/core/service_registry.h"
#include "host/core/tracks.h"

// The formatter for track_database::set_formatter. The registry must outlive it.
// The formatter answers false, leaving `out` alone, for a script object that this
// host did not compile, and when a hook lets an exception out.
track_formatter make_track_formatter(const service_registry& registry);
