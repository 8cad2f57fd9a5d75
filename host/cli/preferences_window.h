// The preferences dialog as the page commands (prefs ..., storage ...) use it.
// Each command opens the dialog on a page and closes it when done, as a user who
// opens the preferences for one change. Inside a shell the dialog stays open from
// one command to the next, as a user keeps it open while making several changes
// (a line selected by one command is still selected for the next), and closes
// when the shell ends.
#pragma once

#include <functional>

#include "host/ui/preferences_dialog.h"

class host_session;

// While one lives, the page commands of `session` leave the dialog open between
// commands; the last one to go closes it.
class keep_preferences_open {
public:
    explicit keep_preferences_open(host_session& session);
    ~keep_preferences_open();
    keep_preferences_open(const keep_preferences_open&) = delete;
    keep_preferences_open& operator=(const keep_preferences_open&) = delete;

private:
    host_session& m_session;
};

// How a page command finds the page that a shell keeps open.
enum class page_view {
    // As the previous command left it: selections and typed text stay.
    as_left,
    // Opened afresh, so that it shows what is true now. A page fills its controls
    // only when it is created and after its own actions, so a page kept open does
    // not see a write or a switch made elsewhere in between.
    current,
};

// Runs `use` on the dialog open on `page`, opening it first when it is not, and
// answers what `use` answers.
int with_preferences_page(host_session& session, const service_ptr_t<preferences_page>& page,
                          const std::function<int(preferences_dialog&)>& use,
                          page_view view = page_view::as_left);
