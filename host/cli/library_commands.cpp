// library add / remove / list: media-library membership.
#include <cstdio>

#include "host/cli/commands.h"
#include "host/core/host_session.h"

namespace {

void need_tracks(const command_args& args) {
    if (args.empty())
        throw usage_error("at least one TRACK is needed");
}

int library_add(host_session& session, const command_args& args) {
    need_tracks(args);
    for (const auto& argument : args) {
        auto location = parse_track_argument(argument);
        if (!session.library().add(location)) {
            std::printf("already in the library: %s\n", describe_location(location).c_str());
        }
    }
    return 0;
}

int library_remove(host_session& session, const command_args& args) {
    need_tracks(args);
    int status = 0;
    for (const auto& argument : args) {
        auto location = parse_track_argument(argument);
        if (!session.library().remove(location)) {
            std::fprintf(stderr, "not in the library: %s\n", describe_location(location).c_str());
            status = 1;
        }
    }
    return status;
}

int library_list(host_session& session, const command_args& args) {
    if (!args.empty())
        throw usage_error("no arguments expected");
    for (const auto& item : session.library().items()) {
        std::printf("%s\n", describe_location(item).c_str());
    }
    return 0;
}

}  // namespace

std::vector<command_info> library_commands() {
    return {
        {"library add", "TRACK...", "add tracks to the media library", library_add},
        {"library remove", "TRACK...", "remove tracks from the media library", library_remove},
        {"library list", "", "list the media library", library_list},
    };
}
