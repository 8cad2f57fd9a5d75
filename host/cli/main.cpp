// sonarith-host: a stand-in media player host that loads components and drives
// them the way the real host does. Each run is one whole host session.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/cli/commands.h"
#include "host/cli/demo.h"
#include "host/cli/program.h"
#include "host/core/host_session.h"
#include "host/core/profile.h"

namespace {

void print_usage(FILE* out) {
    std::fprintf(out,
                 "usage: sonarith-host [--profile DIR] [--answer yes|no] [--file PATH] "
                 "[--component PATH] [--wait SECONDS] [--verbose] COMMAND ...\n\n"
                 "Options:\n"
                 "  --profile DIR      profile directory (default $SONARITH_PROFILE, else "
                 "%s)\n"
                 "  --answer yes|no    how message boxes are answered (default: yes/OK)\n"
                 "  --file PATH        the path a file dialog answers (default: cancelled)\n"
                 "  --component PATH   load one more component library\n"
                 "  --wait SECONDS     how long to wait for another session of the profile to "
                 "end (default 60)\n"
                 "  --verbose          also print the host's own events\n\n"
                 "Commands:\n",
                 default_profile_description);
    print_command_help(out);
    std::fprintf(out,
                 "\nCOMMAND --help prints one command's usage; a group's first word with --help "
                 "(fields --help) lists the group's commands.\n");
}

// Reads the options that stand before the command; answers the index of the
// command's first word, or -1 after an error.
int parse_options(int argc, char** argv, host_options& options) {
    int i = 1;
    for (; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "sonarith-host: %s needs a value\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "--profile") {
            const char* v = value("--profile");
            if (!v)
                return -1;
            options.profile_directory = v;
        } else if (arg == "--answer") {
            const char* v = value("--answer");
            if (!v)
                return -1;
            if (std::strcmp(v, "yes") == 0) {
                options.answer = true;
            } else if (std::strcmp(v, "no") == 0) {
                options.answer = false;
            } else {
                std::fprintf(stderr, "sonarith-host: --answer takes yes or no, not '%s'\n", v);
                return -1;
            }
        } else if (arg == "--file") {
            const char* v = value("--file");
            if (!v)
                return -1;
            options.file_answer = v;
        } else if (arg == "--component") {
            const char* v = value("--component");
            if (!v)
                return -1;
            options.extra_components.push_back(v);
        } else if (arg == "--wait") {
            const char* v = value("--wait");
            if (!v)
                return -1;
            char* end = nullptr;
            const double seconds = std::strtod(v, &end);
            if (end == v || *end || !(seconds >= 0 && seconds <= 1e6)) {
                std::fprintf(stderr, "sonarith-host: --wait takes a number of seconds, not '%s'\n",
                             v);
                return -1;
            }
            options.wait_seconds = seconds;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg.rfind("--", 0) == 0 && arg != "--help") {
            std::fprintf(stderr, "sonarith-host: unknown option %s; try --help\n", arg.c_str());
            return -1;
        } else {
            break;
        }
    }
    return i;
}

}  // namespace

int main(int argc, char** argv) {
    prepare_console();
    std::vector<std::string> arguments = program_arguments(argc, argv);
    std::vector<char*> argument_pointers;
    for (auto& argument : arguments)
        argument_pointers.push_back(argument.data());
    argument_pointers.push_back(nullptr);
    argc = int(arguments.size());
    argv = argument_pointers.data();

    host_options options;
    int first = parse_options(argc, argv, options);
    if (first < 0)
        return 2;
    if (first >= argc || std::strcmp(argv[first], "--help") == 0 ||
        std::strcmp(argv[first], "help") == 0) {
        print_usage(first >= argc ? stderr : stdout);
        return first >= argc ? 2 : 0;
    }
    command_args words(argv + first, argv + argc);
    try {
        // The demo makes a fresh profile of its own and runs its own sessions.
        if (words[0] == "demo") {
            try {
                return run_demo(options, command_args(words.begin() + 1, words.end()));
            } catch (const usage_error& e) {
                std::fprintf(stderr, "sonarith-host demo: %s\nusage: sonarith-host demo\n",
                             e.what());
                return 2;
            }
        }
        host_session session(options);
        session.load_components();
        session.start();
        int status = run_command(session, words);
        session.stop();
        // An error a component reported, a settings file it could not read whole,
        // or a save that failed, fails the session whatever its command answered,
        // so that a script can tell that a write may not have been kept.
        if (status == 0 && session.failed())
            status = 1;
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sonarith-host: %s\n", e.what());
        return 1;
    }
}
