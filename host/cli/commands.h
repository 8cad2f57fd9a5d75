// The commands of sonarith-host. Each group lives in its own file and lists its
// commands in a table; run_command dispatches one command line.
#pragma once

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

class host_session;

using command_args = std::vector<std::string>;

struct command_info {
    std::string name;   // "library add"
    std::string usage;  // "TRACK..."
    std::string help;   // one line
    // Answers the exit status.
    std::function<int(host_session&, const command_args&)> run;
};

// A command line that cannot run: printed with the command's usage, exit status 2.
class usage_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every command, in the order `--help` lists them.
const std::vector<command_info>& all_commands();
// Runs one command (its words, without the program's options). Errors are
// reported on standard error; answers the exit status.
int run_command(host_session& session, const command_args& words);
// Writes the list of commands, or of the commands of `group` ("fields") alone.
void print_command_help(FILE* out, const std::string& group = "");

// The command tables of each group.
std::vector<command_info> library_commands();
std::vector<command_info> fields_commands();
std::vector<command_info> demo_commands();
std::vector<command_info> shell_commands();
std::vector<command_info> file_commands();
std::vector<command_info> format_commands();
std::vector<command_info> prefs_commands();
std::vector<command_info> storage_commands();
std::vector<command_info> menu_commands();
