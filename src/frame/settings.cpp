// The component's settings stream. The component has no persistent settings yet,
// so it writes nothing and ignores what it reads.
#include "frame/component_client.h"

void write_settings(stream_writer&, abort_callback&) {}
void read_settings(stream_reader&, abort_callback&) {}
