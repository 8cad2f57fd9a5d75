#include "service/my_initquit.h"

#include <string>

#include "frame/component_state.h"
#include "frame/host_ops.h"
#include "service/report_error.h"
#include "service/tagshelf_impl.h"

my_initquit& my_initquit::instance() {
    static service_impl_single_t<my_initquit> instance;
    return instance;
}

void my_initquit::on_init() {
    try {
        // The settings were read before the console could be used.
        for (const std::string& damage : component_state::take_settings_damage())
            host_ops::console_print("ERROR : " + damage);
    } catch (...) {
        // The console is the only report of this; nothing else to tell.
    }
    try {
        tagshelf_impl::instance().storage_active();
    } catch (...) {
        report_current_error("Storage initialization failed", false);
    }
}

void my_initquit::on_quit() {
    try {
        tagshelf_impl::instance().shutdown();
    } catch (...) {
        report_current_error("Closing storage failed", false);
    }
}
