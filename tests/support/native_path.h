// Paths as this system writes them: the tests build paths with '/', and the host
// and the component answer in the system's own notation.
#pragma once

#include <string>

// `path` in this system's notation: unchanged on POSIX; on Windows with
// backslashes, and a path rooted without a drive (one of the build machine's,
// seen under Wine) on the drive that maps that machine's root.
std::string native_path(const std::string& path);

// The host's name of the file at `path`: "file://" and its native path.
inline std::string file_url(const std::string& path) {
    return "file://" + native_path(path);
}
