#include "host/core/folded_hash.h"

#include <string>

#include <absl/hash/hash.h>
#include <absl/strings/string_view.h>

#include "sdk/utf8.h"

size_t folded_path_hash(std::string_view path) {
    // Kept per thread, so that hashing allocates nothing.
    thread_local std::string lower;
    lower.clear();
    utf8_append_lower(lower, path);
    // Abseil's own string view takes its fast string hash; a std::string_view
    // would be handed to std::hash.
    return absl::Hash<absl::string_view>{}(absl::string_view(lower));
}
