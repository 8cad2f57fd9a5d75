// prefs show / render / tab / click / check / select / type: the preferences page
// opened in the host's preferences dialog, shown as text or HTML, or driven by a
// user's action on one of its controls. The page is closed at the end of each
// command, as when the user leaves it, except inside a shell, which keeps it open
// from one command to the next.
#include <charconv>
#include <cstdio>
#include <fstream>

#include "host/cli/commands.h"
#include "host/cli/preferences_window.h"
#include "host/core/host_session.h"
#include "host/ui/preferences_dialog.h"

namespace {

// Runs `use` on the first registered page.
template <class F>
int with_page(host_session& session, F use) {
    auto pages = preferences_dialog::pages(session.registry());
    if (pages.empty())
        throw std::runtime_error("no preferences page is registered; no loaded component has one");
    return with_preferences_page(session, pages.front(), use);
}

int parse_number(const std::string& text, const char* what) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw usage_error(std::string(what) + " must be a number, not '" + text + "'");
    return value;
}

void need_count(const command_args& args, size_t count, const char* names) {
    if (args.size() < count)
        throw usage_error(std::string("missing ") + names);
    if (args.size() > count)
        throw usage_error("too many arguments; quote a TEXT that has spaces");
}

int prefs_show(host_session& session, const command_args& args) {
    if (args.size() > 1)
        throw usage_error("too many arguments");
    return with_page(session, [&](preferences_dialog& dialog) {
        // Without a word, the tab the user has in front of them; "all": every tab.
        std::optional<int> tab;
        if (args.empty()) {
            if (dialog.selected_tab() >= 0)
                tab = dialog.selected_tab();
        } else if (args[0] != "all") {
            tab = dialog.find_tab(args[0]);
        }
        std::fputs(dialog.describe(tab).c_str(), stdout);
        return 0;
    });
}

int prefs_render(host_session& session, const command_args& args) {
    need_count(args, 1, "FILE.html");
    return with_page(session, [&](preferences_dialog& dialog) {
        std::string html = dialog.render_html();
        std::ofstream out(args[0], std::ios::binary | std::ios::trunc);
        out << html;
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + args[0]);
        std::printf("wrote %s\n", args[0].c_str());
        return 0;
    });
}

int prefs_tab(host_session& session, const command_args& args) {
    need_count(args, 1, "N");
    return with_page(session, [&](preferences_dialog& dialog) {
        dialog.select_tab(dialog.find_tab(args[0]));
        return 0;
    });
}

int prefs_click(host_session& session, const command_args& args) {
    need_count(args, 1, "ID");
    int id = parse_number(args[0], "ID");
    return with_page(session, [&](preferences_dialog& dialog) {
        session.dialog_windows().click(dialog.reveal_control(id));
        return 0;
    });
}

int prefs_check(host_session& session, const command_args& args) {
    need_count(args, 2, "ID and on|off");
    int id = parse_number(args[0], "ID");
    if (args[1] != "on" && args[1] != "off")
        throw usage_error("the state must be on or off, not '" + args[1] + "'");
    return with_page(session, [&](preferences_dialog& dialog) {
        session.dialog_windows().set_check(dialog.reveal_control(id), args[1] == "on");
        return 0;
    });
}

int prefs_select(host_session& session, const command_args& args) {
    need_count(args, 2, "ID and INDEX");
    int id = parse_number(args[0], "ID");
    int index = args[1] == "none" ? -1 : parse_number(args[1], "INDEX");
    return with_page(session, [&](preferences_dialog& dialog) {
        session.dialog_windows().select(dialog.reveal_control(id), index);
        return 0;
    });
}

int prefs_type(host_session& session, const command_args& args) {
    need_count(args, 2, "ID and TEXT");
    int id = parse_number(args[0], "ID");
    return with_page(session, [&](preferences_dialog& dialog) {
        session.dialog_windows().type_text(dialog.reveal_control(id), args[1]);
        return 0;
    });
}

}  // namespace

std::vector<command_info> prefs_commands() {
    return {
        {"prefs show", "[general|commands|N|all]",
         "print the selected tab of the preferences page (or that tab, or all): every control "
         "with its id, kind, text and state",
         prefs_show},
        {"prefs render", "FILE.html", "draw the preferences page as an HTML file", prefs_render},
        {"prefs tab", "N", "open tab N (a number or a word of its name)", prefs_tab},
        {"prefs click", "ID", "click a button or check box of the preferences page", prefs_click},
        {"prefs check", "ID on|off", "tick or untick a check box", prefs_check},
        {"prefs select", "ID INDEX", "select line INDEX of a combo or list box (none: no line)",
         prefs_select},
        {"prefs type", "ID TEXT", "type TEXT over the text of an edit", prefs_type},
    };
}
