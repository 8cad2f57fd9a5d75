// demo: the component at work, step by step.
#include <cstdio>

#include "host/cli/commands.h"
#include "host/core/host_session.h"
#include "sdk/componentversion.h"

namespace {

int demo(host_session& session, const command_args& args) {
    if (!args.empty())
        throw usage_error("no arguments expected");
    std::printf("Profile: %s\n", session.profile_directory().c_str());
    for (const auto& component : session.components()) {
        std::printf("Loaded component %s\n", component->path().c_str());
    }
    for (const auto& version : session.registry().all<componentversion>()) {
        string8 name, number, about, file;
        version->get_component_name(name);
        version->get_component_version(number);
        version->get_about_message(about);
        version->get_file_name(file);
        std::printf("Component %s %s (%s): %s", name.get_ptr(), number.get_ptr(), file.get_ptr(),
                    about.get_ptr());
    }
    return 0;
}

}  // namespace

std::vector<command_info> demo_commands() {
    return {{"demo", "", "show the component at work on a fresh profile", demo}};
}
