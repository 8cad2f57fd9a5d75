#include "host/core/context_menu.h"

#include <memory>
#include <stdexcept>

std::string context_menu_command::full_name() const {
    return path.empty() ? name : path + "/" + name;
}

std::vector<context_menu_command> context_menu_commands(const service_registry& registry) {
    std::vector<context_menu_command> commands;
    for (const auto& provider : registry.all<contextmenu_item>()) {
        unsigned count = provider->item_count();
        for (unsigned i = 0; i < count; ++i) {
            context_menu_command command;
            command.provider = provider;
            command.index = i;
            string8 text;
            provider->item_path(i, text);
            command.path = text.str();
            provider->item_name(i, text);
            command.name = text.str();
            if (provider->item_description(i, text))
                command.description = text.str();
            command.guid = provider->item_guid(i);
            commands.push_back(std::move(command));
        }
    }
    return commands;
}

void run_context_menu_command(const service_registry& registry, const std::string& full_name,
                              const contextmenu_tracks& tracks) {
    for (const auto& command : context_menu_commands(registry)) {
        if (command.full_name() != full_name)
            continue;
        std::unique_ptr<contextmenu_item_node_root> node(
            command.provider->item_node(command.index));
        if (!node)
            break;
        string8 shown;
        unsigned flags = 0;
        if (!node->get_display_data(shown, flags, tracks, context_menu_caller)) {
            throw std::runtime_error("the command '" + full_name +
                                     "' is not offered for this selection");
        }
        node->execute(tracks, context_menu_caller);
        return;
    }
    throw std::runtime_error("no context-menu command '" + full_name +
                             "'; see 'sonarith-host menu list'");
}
