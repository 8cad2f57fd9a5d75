#include "support/native_path.h"

#include <algorithm>

std::string native_path(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '/', '\\');
    // Wine shows the build machine's file system as drive Z:, where the build's
    // own paths (the host program, the sources) are found.
    if (native.size() > 1 && native[0] == '\\' && native[1] != '\\')
        native.insert(0, "Z:");
    return native;
}
