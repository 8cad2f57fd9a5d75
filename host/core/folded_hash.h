// The hash under which the host finds a path without regard to letter case: the
// hash of the lower-cased path.
#pragma once

#include <cstddef>
#include <string_view>

size_t folded_path_hash(std::string_view path);
