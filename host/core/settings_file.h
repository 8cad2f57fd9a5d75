// A component's settings file: whether the component took in all of it, and
// keeping a file aside before it is saved over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/component.h"

// Whether `client`, just given the settings `file`, took in every byte of it. The
// file is a run of records, each a 16-byte GUID, a 32-bit little-endian length
// and that many bytes of data. Written back at once, the settings must give
// every record of the file again byte for byte; records the component adds are
// its defaults for what the file lacked. A record that comes out otherwise, or
// not at all, or bytes that make no whole record, would be lost by the next save.
bool settings_read_in_full(component_client& client, const std::vector<uint8_t>& file);

// Keeps the file at `path` as it is under the first free name of `path` followed
// by ".damaged", ".damaged.2", ".damaged.3" ..., and answers that name. Raises
// when it cannot.
std::string keep_damaged_file(const std::string& path);
