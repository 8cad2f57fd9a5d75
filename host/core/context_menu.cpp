#include "host/core/context_menu.h"

#include <cctype>
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

namespace {

bool same_guid_text(const std::string& word, const GUID& guid) {
    const std::string text = guid_to_string(guid);
    if (word.size() != text.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(word[i])) != text[i])
            return false;
    }
    return true;
}

}  // namespace

std::vector<context_menu_command> find_context_menu_commands(const service_registry& registry,
                                                             const std::string& word) {
    std::vector<context_menu_command> found;
    for (auto& command : context_menu_commands(registry)) {
        if (command.full_name() == word || same_guid_text(word, command.guid))
            found.push_back(std::move(command));
    }
    return found;
}

void run_context_menu_command(const context_menu_command& command,
                              const contextmenu_tracks& tracks) {
    std::unique_ptr<contextmenu_item_node_root> node(command.provider->item_node(command.index));
    string8 shown;
    unsigned flags = 0;
    if (!node || !node->get_display_data(shown, flags, tracks, context_menu_caller)) {
        throw std::runtime_error("the command '" + command.full_name() +
                                 "' is not offered for this selection");
    }
    node->execute(tracks, context_menu_caller);
}

void run_context_menu_command(const service_registry& registry, const std::string& word,
                              const contextmenu_tracks& tracks) {
    auto found = find_context_menu_commands(registry, word);
    if (found.empty()) {
        throw std::runtime_error("no context-menu command '" + word +
                                 "'; see 'sonarith-host menu list'");
    }
    run_context_menu_command(found.front(), tracks);
}
