// storage use / stats / clear / remove-dead: the storage maintenance of the Tag
// Shelf preferences page, done the way a user does it there: open the page,
// choose in the storage combo box, tick, click, answer the questions (--answer),
// and read what the page then shows.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "host/cli/commands.h"
#include "host/cli/preferences_window.h"
#include "host/core/host_session.h"
#include "host/ui/preferences_dialog.h"

namespace {

// The page and the controls these commands use, as the user sees them there.
constexpr const char* page_name = "Tag Shelf";
constexpr int storage_method_combo = 1081;
constexpr int copy_data_box = 1082;
constexpr int switch_button = 1022;
constexpr int statistics_label = 1086;
constexpr int clear_contents_button = 1032;
constexpr int remove_dead_entries_button = 1029;

// A METHOD word and the start of the label its line in the combo box carries.
struct method_word {
    const char* word;
    const char* label_start;
};
constexpr method_word method_words[] = {
    {"none", "None (disabled)"},
    {"config", "Sonarith config file"},
    {"sqlite", "SQLite database"},
    {"text", "Text file"},
};

// Runs `use` on the Tag Shelf page as it shows the storage now, never as a page
// kept open since before a write or a switch.
template <class F>
int with_tagshelf_page(host_session& session, F use) {
    for (const auto& page : preferences_dialog::pages(session.registry())) {
        const char* name = page->page_name();
        if (name && std::string(name) == page_name)
            return with_preferences_page(session, page, use, page_view::current);
    }
    throw std::runtime_error(
        "the \"Tag Shelf\" preferences page is not registered; is the component loaded?");
}

window_state state_of(host_session& session, HWND control) {
    std::optional<window_state> window = session.dialog_windows().state(control);
    if (!window)
        throw std::runtime_error("a control of the preferences page went away");
    return *std::move(window);
}

// The statistics label's text with its CR LF line breaks as plain line breaks.
std::string statistics_text(host_session& session, preferences_dialog& dialog) {
    std::string text;
    for (char c : state_of(session, dialog.reveal_control(statistics_label)).text) {
        if (c != '\r')
            text += c;
    }
    return text;
}

void print_statistics(host_session& session, preferences_dialog& dialog) {
    std::printf("%s\n", statistics_text(session, dialog).c_str());
}

const char* label_start_of(const std::string& word) {
    for (const auto& method : method_words) {
        if (word == method.word)
            return method.label_start;
    }
    throw usage_error("unknown storage method '" + word + "'; choose none, config, sqlite or text");
}

// The combo box line whose label starts with `label_start`.
int find_method_line(const window_state& combo, const std::string& word, const char* label_start) {
    std::string start(label_start);
    for (size_t i = 0; i < combo.items.size(); ++i) {
        if (combo.items[i].compare(0, start.size(), start) == 0)
            return int(i);
    }
    std::string offered;
    for (const auto& item : combo.items)
        offered += "\n  " + item;
    throw std::runtime_error("the page offers no " + word +
                             " storage method; it offers:" + offered);
}

int storage_use(host_session& session, const command_args& args) {
    std::string word;
    bool copy = false;
    for (const auto& arg : args) {
        if (arg == "--copy") {
            copy = true;
        } else if (word.empty()) {
            word = arg;
        } else {
            throw usage_error("too many arguments");
        }
    }
    if (word.empty())
        throw usage_error("missing METHOD");
    const char* label_start = label_start_of(word);

    return with_tagshelf_page(session, [&](preferences_dialog& dialog) {
        user_windows& windows = session.dialog_windows();
        HWND combo = dialog.reveal_control(storage_method_combo);
        int line = find_method_line(state_of(session, combo), word, label_start);
        std::string label = state_of(session, combo).items[size_t(line)];
        if (state_of(session, combo).selection == line) {
            std::printf("%s is already the active storage method\n", label.c_str());
            return 0;
        }
        windows.select(combo, line);
        if (copy) {
            HWND copy_box = dialog.reveal_control(copy_data_box);
            if (!state_of(session, copy_box).enabled) {
                throw std::runtime_error(
                    "--copy needs a storage method in use to copy from and one to copy into");
            }
            windows.set_check(copy_box, true);
        }
        windows.click(dialog.reveal_control(switch_button));

        // After a switch the page shows the active method again and disables Switch;
        // a declined copy leaves the page as it was, a failed switch shows the old
        // method.
        HWND switch_control = dialog.reveal_control(switch_button);
        if (state_of(session, switch_control).enabled ||
            state_of(session, combo).selection != line) {
            std::fprintf(stderr, "sonarith-host storage use: the storage method is unchanged\n");
            return 1;
        }
        print_statistics(session, dialog);
        return 0;
    });
}

int storage_stats(host_session& session, const command_args& args) {
    if (!args.empty())
        throw usage_error("too many arguments");
    return with_tagshelf_page(session, [&](preferences_dialog& dialog) {
        print_statistics(session, dialog);
        return 0;
    });
}

// Clicks a maintenance button, which the page offers only while a storage is active.
int click_maintenance(host_session& session, const command_args& args, int button,
                      const char* action) {
    if (!args.empty())
        throw usage_error("too many arguments");
    return with_tagshelf_page(session, [&](preferences_dialog& dialog) {
        HWND control = dialog.reveal_control(button);
        if (!state_of(session, control).enabled) {
            throw std::runtime_error(std::string("no storage method is in use, so there is "
                                                 "nothing to ") +
                                     action + "; choose one with: storage use config|sqlite|text");
        }
        session.dialog_windows().click(control);
        print_statistics(session, dialog);
        return 0;
    });
}

int storage_clear(host_session& session, const command_args& args) {
    return click_maintenance(session, args, clear_contents_button, "clear");
}

int storage_remove_dead(host_session& session, const command_args& args) {
    return click_maintenance(session, args, remove_dead_entries_button, "clean");
}

}  // namespace

std::vector<command_info> storage_commands() {
    return {
        {"storage use", "none|config|sqlite|text [--copy]",
         "switch the storage method on the preferences page (--copy: copy all data over)",
         storage_use},
        {"storage stats", "",
         "print the active storage method and its numbers of entries and values", storage_stats},
        {"storage clear", "", "remove all data from the active storage (asks first)",
         storage_clear},
        {"storage remove-dead", "", "remove the entries of files that no longer exist (asks first)",
         storage_remove_dead},
    };
}
