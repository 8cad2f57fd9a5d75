#include "service/my_initquit.h"

#include "service/report_error.h"
#include "service/tagshelf_impl.h"

my_initquit& my_initquit::instance() {
    static service_impl_single_t<my_initquit> instance;
    return instance;
}

void my_initquit::on_init() {
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
