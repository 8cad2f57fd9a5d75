// The host's track context menu: the commands of every registered
// `contextmenu_item` provider, built afresh each time it is shown, and running one
// of them on a selection.
#pragma once

#include <string>
#include <vector>

#include "host/core/service_registry.h"
#include "sdk/contextmenu.h"

// Tells providers that the track context menu is calling.
inline constexpr GUID context_menu_caller = {
    0xD5A6E5F1, 0x3C2B, 0x4B0E, {0x9B, 0x61, 0x6E, 0x0F, 0x2B, 0x6C, 0x1A, 0x47}};

// One command as the menu shows it.
struct context_menu_command {
    service_ptr_t<contextmenu_item> provider;
    unsigned index = 0;
    std::string path;  // submenus, "/"-separated; empty at the top level
    std::string name;
    std::string description;
    GUID guid = guid_null;

    // "PATH/NAME", or NAME alone at the top level.
    std::string full_name() const;
};

// Every command of every provider, in registry order and then command order.
std::vector<context_menu_command> context_menu_commands(const service_registry& registry);

// The commands that `word` names, in menu order: those whose full name is `word`
// (two providers, or two display names such as "Rate" and "/Rate", may give the
// same one), or those whose GUID in text form is `word`, letter case aside.
std::vector<context_menu_command> find_context_menu_commands(const service_registry& registry,
                                                             const std::string& word);

// Runs `command` on `tracks`, as if the user picked it from the menu built for that
// selection. Raises std::runtime_error when it is not offered for the selection.
void run_context_menu_command(const context_menu_command& command,
                              const contextmenu_tracks& tracks);

// Runs the first command that `word` names (see find_context_menu_commands).
// Raises std::runtime_error when no command has that name or it is not offered
// for the selection.
void run_context_menu_command(const service_registry& registry, const std::string& word,
                              const contextmenu_tracks& tracks);
