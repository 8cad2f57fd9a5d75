#include "tracking/storage_statistics.h"

#include <string>

#include "service/report_error.h"
#include "service/tagshelf_impl.h"

namespace {

std::string count_text(int64_t count) {
    return count < 0 ? "unknown" : std::to_string(count);
}

}  // namespace

void format_storage_statistics(string_base& out) {
    out.reset();
    // The label is taken before the reader: the reader holds the store lock, and
    // asking for the active storage while holding it could wait on a thread that
    // holds the switch lock and wants this store.
    auto storage = tagshelf_impl::instance().active_storage();
    service_ptr_t<tagshelf_reader> reader;
    if (!storage.is_valid() || !tagshelf_impl::instance().get_reader(reader)) {
        out.set_string("\r\nNone");
        return;
    }
    try {
        out.add_string(storage->get_name());
        out.add_string("\r\n\r\nFile entries: ");
        out.add_string(count_text(reader->get_entry_count()).c_str());
        out.add_string("     Values: ");
        out.add_string(count_text(int64_t(reader->get_total_value_count())).c_str());
    } catch (...) {
        report_current_error("Couldn't read storage statistics", true);
    }
}
