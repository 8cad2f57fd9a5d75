// Runs the real sonarith-host program, as a user would from a shell.
#pragma once

#include <string>
#include <vector>

struct host_run {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs sonarith-host with `args` (options first), feeding `input` on standard input.
host_run run_host(const std::vector<std::string>& args, const std::string& input = "");

// A fresh, empty directory under the system's temporary folder, removed when the
// object goes.
class temp_directory {
public:
    temp_directory();
    ~temp_directory();
    temp_directory(const temp_directory&) = delete;
    temp_directory& operator=(const temp_directory&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
