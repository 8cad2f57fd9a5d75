// menu list / run: the track context menu.
#include <cstdio>
#include <stdexcept>

#include "host/cli/commands.h"
#include "host/core/context_menu.h"
#include "host/core/host_session.h"

namespace {

int menu_list(host_session& session, const command_args& args) {
    if (!args.empty())
        throw usage_error("no arguments expected");
    for (const auto& command : context_menu_commands(session.registry())) {
        std::printf("%s\t%s\t%s\n", command.full_name().c_str(), command.description.c_str(),
                    guid_to_string(command.guid).c_str());
    }
    return 0;
}

int menu_run(host_session& session, const command_args& args) {
    if (args.size() < 2)
        throw usage_error("a command name and at least one TRACK are needed");
    metadb_handle_list selection;
    for (size_t i = 1; i < args.size(); ++i) {
        selection.add_item(session.tracks().track(parse_track_argument(args[i])));
    }
    auto found = find_context_menu_commands(session.registry(), args[0]);
    if (found.empty()) {
        throw std::runtime_error("no context-menu command '" + args[0] +
                                 "'; see 'sonarith-host menu list'");
    }
    run_context_menu_command(found.front(), selection);
    if (found.size() > 1) {
        // Say which one ran, so that a command hidden behind another of the same
        // name is noticed and can be reached by its GUID.
        std::fprintf(stderr,
                     "sonarith-host menu run: %zu commands are called '%s'; ran the first, %s "
                     "(run another by its GUID from 'menu list')\n",
                     found.size(), found.front().full_name().c_str(),
                     guid_to_string(found.front().guid).c_str());
    }
    return 0;
}

}  // namespace

std::vector<command_info> menu_commands() {
    return {
        {"menu list", "", "list the track context menu: PATH/NAME, description, GUID", menu_list},
        {"menu run", "DISPLAY_NAME TRACK...",
         "run a context-menu command on these tracks (its name as menu list shows it, or its "
         "GUID)",
         menu_run},
    };
}
