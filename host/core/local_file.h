// Local files through the system's own calls, for the host's file system
// (local_filesystem.cpp): one file per platform (local_file_posix.cpp,
// local_file_win32.cpp). Paths are the system's, in UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "sdk/file.h"

// Opens the regular file at `native` in `mode`; raises exception_io with the
// system's reason when it cannot.
service_ptr_t<file> open_local_file(const std::string& native, filesystem::t_open_mode mode);

// Whether anything exists at `native`.
bool local_path_exists(const std::string& native);

// The length of the root that an absolute `native` path in the system's plain
// form begins with: 1 for "/" on POSIX, 3 for "C:\" on Windows; 0 for any
// other path.
size_t local_root_length(std::string_view native);
