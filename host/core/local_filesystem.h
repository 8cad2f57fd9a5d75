// The host's file system for local files: plain paths and "file://" URLs, opened
// for reading, for reading and writing, or created empty (replacing a file that is
// there). Failures raise exception_io with the system's own reason.
#pragma once

#include <string>

#include "sdk/file.h"

class local_filesystem : public filesystem {
public:
    // Local paths are "file://" URLs and paths without a URL scheme.
    bool is_our_path(const char* path) override;
    // "file://" followed by the absolute, normalized file-system path.
    bool get_canonical_path(const char* path, string_base& out) override;
    void open(service_ptr_t<file>& out, const char* path, t_open_mode mode,
              abort_callback& abort) override;
    bool exists(const char* path, abort_callback& abort) override;

    // The file-system path that a local path or URL names.
    static std::string to_native(const char* path);
};
