// The component's one client object and its settings stream.
#pragma once

#include "sdk/component.h"

component_client* component_client_instance();

// Writes / reads every configuration variable of the component.
void write_settings(stream_writer& out, abort_callback& abort);
void read_settings(stream_reader& in, abort_callback& abort);
