#include "host/cli/preferences_window.h"

#include <memory>

#include "host/core/host_session.h"

namespace {

// The dialog kept open between commands, and for whom.
struct kept_dialog {
    host_session* session = nullptr;
    int keepers = 0;
    preferences_page* page = nullptr;
    std::unique_ptr<preferences_dialog> dialog;

    void close() {
        if (dialog)
            dialog->close();
        dialog.reset();
        page = nullptr;
    }
};

kept_dialog& kept() {
    static kept_dialog state;
    return state;
}

}  // namespace

keep_preferences_open::keep_preferences_open(host_session& session) : m_session(session) {
    kept_dialog& state = kept();
    if (state.session != &session) {
        state.close();
        state.session = &session;
        state.keepers = 0;
    }
    ++state.keepers;
}

keep_preferences_open::~keep_preferences_open() {
    kept_dialog& state = kept();
    if (state.session != &m_session || --state.keepers > 0)
        return;
    state.close();
    state.session = nullptr;
}

int with_preferences_page(host_session& session, const service_ptr_t<preferences_page>& page,
                          const std::function<int(preferences_dialog&)>& use, page_view view) {
    kept_dialog& state = kept();
    if (state.session != &session || state.keepers == 0) {
        preferences_dialog dialog(session.dialog_windows(), session.get_main_window());
        dialog.open(page);
        int status = use(dialog);
        dialog.close();
        return status;
    }
    if (!state.dialog || state.page != page.get_ptr() || view == page_view::current ||
        !session.dialog_windows().is_window(state.dialog->page_window())) {
        state.close();
        auto dialog = std::make_unique<preferences_dialog>(session.dialog_windows(),
                                                           session.get_main_window());
        dialog->open(page);
        state.dialog = std::move(dialog);
        state.page = page.get_ptr();
    }
    return use(*state.dialog);
}
