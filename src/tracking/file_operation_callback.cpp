#include "tracking/file_operation_callback.h"

#include "service/report_error.h"
#include "service/tagshelf_impl.h"

void my_file_operation_callback::files_deleted(const path_list& items) {
    try {
        tagshelf_impl::instance().remove_entries(items);
    } catch (...) {
        report_current_error("Failed to remove tagshelf entries", true);
    }
}

void my_file_operation_callback::files_moved(const path_list& from, const path_list& to) {
    try {
        tagshelf_impl::instance().update_locations(from, to);
    } catch (...) {
        report_current_error("Failed to update locations of tagshelf entries", true);
    }
}

void my_file_operation_callback::files_copied(const path_list&, const path_list&) {}

service_impl_single_t<my_file_operation_callback>& my_file_operation_callback::instance() {
    static service_impl_single_t<my_file_operation_callback> callback;
    return callback;
}
