// Runs the real sonarith-host program, as a user would from a shell.
#pragma once

#include <string>
#include <vector>

#include "support/native_path.h"

struct host_run {
    int status = -1;    // the exit status, or -1 when the host did not exit by itself
    std::string out;    // standard output
    std::string err;    // standard error
    long peak_kib = 0;  // the peak resident memory in KiB; 0 where the system does not say
};

// Runs sonarith-host with `args` (options first), feeding `input` on standard input.
host_run run_host(const std::vector<std::string>& args, const std::string& input = "");

// The command line that starts sonarith-host with `args`, for a test_process of
// its own (a session fed as it goes).
std::vector<std::string> host_command(const std::vector<std::string>& args);

// The words that come before a program of this build on a command line: a build
// for another processor runs its programs through the emulator of its tests.
std::vector<std::string> emulator_command();

// A fresh, empty directory under the system's temporary folder, removed when the
// object goes.
class temp_directory {
public:
    temp_directory();
    ~temp_directory();
    temp_directory(const temp_directory&) = delete;
    temp_directory& operator=(const temp_directory&) = delete;
    const std::string& path() const { return m_path; }
    // The path of `name` ('/' between its parts) inside, in the system's notation.
    std::string file(const std::string& name) const { return native_path(m_path + "/" + name); }

private:
    std::string m_path;
};
