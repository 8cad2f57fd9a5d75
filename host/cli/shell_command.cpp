// shell: one host session that runs commands read from standard input, so a
// script can drive many steps without restarting the host. The preferences page
// the page commands open stays open until the shell ends.
#include <unistd.h>
#include <cstdio>
#include <iostream>
#include <string>

#include "host/cli/commands.h"
#include "host/cli/preferences_window.h"
#include "host/cli/shell_words.h"
#include "host/core/host_session.h"

namespace {

int shell(host_session& session, const command_args& args) {
    if (!args.empty())
        throw usage_error("no arguments expected");
    const bool interactive = isatty(STDIN_FILENO);
    // The preferences stay open from one command to the next, as a user keeps them
    // open while making several changes; they close when the shell ends.
    keep_preferences_open keep_open(session);
    int status = 0;
    std::string line;
    for (;;) {
        if (interactive) {
            std::fputs("sonarith> ", stdout);
            std::fflush(stdout);
        }
        if (!std::getline(std::cin, line))
            break;
        command_args words;
        try {
            words = split_shell_words(line);
        } catch (const std::invalid_argument& e) {
            std::fprintf(stderr, "sonarith-host shell: %s\n", e.what());
            status = 2;
            continue;
        }
        if (words.empty())
            continue;
        if (words[0] == "exit" || words[0] == "quit")
            break;
        if (words[0] == "help") {
            std::printf("Commands (one per line; exit or end of input ends the shell):\n");
            print_command_help(stdout);
            status = 0;
            continue;
        }
        if (words[0] == "shell") {
            std::fprintf(stderr, "sonarith-host shell: already in the shell\n");
            status = 2;
            continue;
        }
        status = run_command(session, words);
        std::fflush(stdout);
    }
    if (interactive)
        std::fputs("\n", stdout);
    return status;
}

}  // namespace

std::vector<command_info> shell_commands() {
    return {{"shell", "", "run commands from standard input in one host session", shell}};
}
