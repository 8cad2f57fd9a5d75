#include "host/cli/commands.h"

#include <cstdio>

namespace {

std::vector<command_info> build_table() {
    std::vector<command_info> table;
    for (auto group :
         {library_commands, fields_commands, format_commands, file_commands, prefs_commands,
          storage_commands, menu_commands, shell_commands, demo_commands}) {
        auto commands = group();
        table.insert(table.end(), commands.begin(), commands.end());
    }
    return table;
}

// The command whose name is the longest match of the leading words.
const command_info* match(const command_args& words, size_t& used) {
    const command_info* best = nullptr;
    size_t best_words = 0;
    for (const auto& command : all_commands()) {
        std::vector<std::string> parts;
        size_t start = 0;
        while (start <= command.name.size()) {
            size_t space = command.name.find(' ', start);
            if (space == std::string::npos)
                space = command.name.size();
            parts.push_back(command.name.substr(start, space - start));
            start = space + 1;
        }
        if (parts.size() > words.size() || parts.size() <= best_words)
            continue;
        bool same = true;
        for (size_t i = 0; i < parts.size(); ++i)
            same = same && parts[i] == words[i];
        if (same) {
            best = &command;
            best_words = parts.size();
        }
    }
    used = best_words;
    return best;
}

}  // namespace

const std::vector<command_info>& all_commands() {
    static const std::vector<command_info> table = build_table();
    return table;
}

void print_command_help(FILE* out, const std::string& group) {
    for (const auto& command : all_commands()) {
        if (!group.empty() && command.name.rfind(group + " ", 0) != 0)
            continue;
        std::string line = command.name + (command.usage.empty() ? "" : " " + command.usage);
        std::fprintf(out, "  %-42s %s\n", line.c_str(), command.help.c_str());
    }
}

namespace {

// Whether `word` is the first word of commands of several words ("fields").
bool is_group(const std::string& word) {
    for (const auto& command : all_commands()) {
        if (command.name.rfind(word + " ", 0) == 0)
            return true;
    }
    return false;
}

void print_group_help(FILE* out, const std::string& group) {
    std::fprintf(out, "usage: sonarith-host %s COMMAND ...\n\nCommands:\n", group.c_str());
    print_command_help(out, group);
}

// A group word with no command of the group after it: `GROUP --help` lists the
// group's commands on standard output; the group alone, or with a word that is
// none of its commands, lists them as an error.
int answer_group(const command_args& words) {
    const std::string& group = words[0];
    if (words.size() > 1 && (words[1] == "--help" || words[1] == "-h")) {
        print_group_help(stdout, group);
        return 0;
    }
    if (words.size() > 1) {
        std::fprintf(stderr, "sonarith-host: unknown %s command '%s'\n", group.c_str(),
                     words[1].c_str());
    } else {
        std::fprintf(stderr, "sonarith-host %s: a command is missing\n", group.c_str());
    }
    print_group_help(stderr, group);
    return 2;
}

}  // namespace

int run_command(host_session& session, const command_args& words) {
    if (words.empty()) {
        std::fprintf(stderr, "sonarith-host: no command given; try --help\n");
        return 2;
    }
    size_t used = 0;
    const command_info* command = match(words, used);
    if (!command && is_group(words[0]))
        return answer_group(words);
    if (!command) {
        std::fprintf(stderr, "sonarith-host: unknown command '%s'; try --help\n", words[0].c_str());
        return 2;
    }
    command_args args(words.begin() + std::ptrdiff_t(used), words.end());
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("usage: sonarith-host %s %s\n  %s\n", command->name.c_str(),
                    command->usage.c_str(), command->help.c_str());
        return 0;
    }
    try {
        return command->run(session, args);
    } catch (const usage_error& e) {
        std::fprintf(stderr, "sonarith-host %s: %s\nusage: sonarith-host %s %s\n",
                     command->name.c_str(), e.what(), command->name.c_str(),
                     command->usage.c_str());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sonarith-host %s: %s\n", command->name.c_str(), e.what());
        return 1;
    }
}
