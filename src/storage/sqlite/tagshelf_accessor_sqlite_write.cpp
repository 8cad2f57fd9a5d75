#include "storage/sqlite/tagshelf_accessor_sqlite_write.h"

#include <sqlite3.h>

#include <exception>
#include <string>

#include "frame/host_ops.h"
#include "storage/sqlite/queries.h"

namespace {

// The spelling under which the entry holds the field that `name` finds (names
// match without regard to letter case, SQL compares them exactly), or `name` itself
// when the entry has no such field.
std::string stored_name(const storage_entry& entry, const char* name) {
    const packed_fields::view fields(entry.fields);
    size_t index = fields.find_field(name, text_to_terminator);
    return index == x_info::npos ? std::string(name) : fields.get_field_name(index);
}

}  // namespace

using writer = tagshelf_storage_sqlite::tagshelf_accessor_sqlite_write;

writer::tagshelf_accessor_sqlite_write(tagshelf_store& store)
    : tagshelf_accessor_plain(store), m_lock(store.mutex()) {
    // Raising here destroys m_lock, which releases the store lock again.
    queries::begin_transaction.run();
}

writer::~tagshelf_accessor_sqlite_write() {
    try {
        queries::end_transaction.run();
    } catch (const std::exception& error) {
        abandon_transaction(error.what());
    } catch (...) {
        abandon_transaction("unknown error");
    }
}

void writer::abandon_transaction(const char* reason) noexcept {
    // A transaction left open would make every later writer fail to begin and
    // would lose all later changes when the database closes: roll it back so the
    // next writer starts clean. This writer's changes stay in memory until the next
    // load, and the console says that they were not saved.
    sqlite3* connection = sqlite_query::connection();
    if (connection && !sqlite3_get_autocommit(connection))
        sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
    try {
        host_ops::console_print(
            std::string("ERROR : Couldn't save changes to the SQLite database (") + reason + ")");
    } catch (...) {
        // Nothing more can be done from a release.
    }
}

void writer::write_entry(const storage_entry& entry) {
    queries::remove_info.run(entry.location);
    const packed_fields::view fields(entry.fields);
    for (size_t i = 0, n = fields.get_field_count(); i < n; ++i) {
        const char* name = fields.get_field_name(i);
        for (size_t j = 0, m = fields.get_value_count(i); j < m; ++j)
            queries::add_value.run(entry.location, name, fields.get_value(i, j));
    }
}

void writer::remove_all() {
    tagshelf_accessor_plain::remove_all();
    queries::clear.run();
}

void writer::set_info(const tagshelf_handle_ptr& handle, const x_info& info) {
    tagshelf_accessor_plain::set_info(handle, info);
    write_entry(entry_of(handle));
}

void writer::set_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                            const list_base_const_t<const x_info*>& infos) {
    tagshelf_accessor_plain::set_info_multi(handles, infos);
    for (size_t i = 0, n = handles.get_count(); i < n; ++i)
        write_entry(entry_of(handles[i]));
}

void writer::copy_info(const tagshelf_handle_ptr& source, const tagshelf_handle_ptr& target) {
    tagshelf_accessor_plain::copy_info(source, target);
    // Also for source and target the same entry: its rows are written again.
    write_entry(entry_of(target));
}

void writer::remove_info(const tagshelf_handle_ptr& handle) {
    tagshelf_accessor_plain::remove_info(handle);
    queries::remove_info.run(entry_of(handle).location);
}

void writer::add_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) {
    tagshelf_accessor_plain::add_value(handle, name, value);
    // The value joins the field under its stored spelling; the row takes that
    // spelling too, so that a later removal of the field finds it.
    const storage_entry& entry = entry_of(handle);
    queries::add_value.run(entry.location, stored_name(entry, name).c_str(), value);
}

void writer::remove_field(const tagshelf_handle_ptr& handle, const char* name) {
    const storage_entry& entry = entry_of(handle);
    std::string spelling = stored_name(entry, name);
    tagshelf_accessor_plain::remove_field(handle, name);
    queries::remove_field.run(entry.location, spelling.c_str());
}

void writer::set_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) {
    const storage_entry& entry = entry_of(handle);
    std::string spelling = stored_name(entry, name);
    tagshelf_accessor_plain::set_value(handle, name, value);
    queries::remove_field.run(entry.location, spelling.c_str());
    queries::add_value.run(entry.location, name, value);
}
