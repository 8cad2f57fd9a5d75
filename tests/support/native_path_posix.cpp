#include "support/native_path.h"

std::string native_path(const std::string& path) {
    return path;
}
