// What the demo asks of the system: this program run again as a child session,
// a fresh folder and today's date. One file per platform (demo_system_posix.cpp,
// demo_system_win32.cpp).
#pragma once

#include <string>
#include <vector>

struct child_result {
    int status = -1;  // the exit status; -1 when the child did not start or end normally
    std::string out;
    std::string err;
};

// Runs this program with `args`, feeding `input` on its standard input, and
// waits for it; its output is collected through files in the folder `scratch`.
child_result run_self(const std::vector<std::string>& args, const std::string& input,
                      const std::string& scratch);

// Creates a new, empty folder in the system's temporary folder, its name
// starting with `prefix`; raises when it cannot.
std::string make_fresh_directory(const std::string& prefix);

// Today's local date as YYYY-MM-DD.
std::string local_date_today();
