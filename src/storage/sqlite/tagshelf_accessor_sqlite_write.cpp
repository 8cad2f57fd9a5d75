#include "storage/sqlite/tagshelf_accessor_sqlite_write.h"

#include <sqlite3.h>

#include <exception>
#include <string>
#include <vector>

#include "frame/host_ops.h"
#include "storage/sqlite/queries.h"
#include "storage/sqlite/sqlite_error.h"

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
    : tagshelf_accessor_plain(store), m_lock(store), m_undo(store) {
    // Raising here destroys m_lock, which releases the store lock again.
    queries::begin_transaction.run();
}

writer::~tagshelf_accessor_sqlite_write() {
    if (m_failure)
        return;  // rolled back and reported when the statement failed
    std::string reason;
    try {
        queries::end_transaction.run();
        return;
    } catch (const std::exception& error) {
        reason = error.what();
    } catch (...) {
        reason = "unknown error";
    }
    give_up(reason.c_str());
    try {
        host_ops::console_print("ERROR : Couldn't save changes to the SQLite database (" + reason +
                                ")");
    } catch (...) {
        // Nothing more can be done from a release.
    }
}

template <class Change>
void writer::write(Change&& change) {
    if (m_failure) {
        throw sqlite_error(
            "Nothing more is written through this writer after an earlier "
            "change failed (" +
            *m_failure + ")");
    }
    try {
        change();
    } catch (const std::exception& error) {
        give_up(error.what());
        throw;
    } catch (...) {
        give_up("unknown error");
        throw;
    }
}

void writer::give_up(const char* reason) noexcept {
    m_failure = reason;
    // A transaction left open would make every later writer fail to begin and
    // would lose all later changes when the database closes. SQLite rolls back by
    // itself after some failures (a full disk, an I/O error); the rest end here.
    sqlite3* connection = sqlite_query::connection();
    if (connection && !sqlite3_get_autocommit(connection))
        sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
    try {
        m_undo.take_back();
    } catch (...) {
        // Out of memory while putting entries back: those not yet back stay as
        // the write left them until the next load.
    }
}

bool writer::has_no_rows(const storage_entry& entry) {
    // After this writer's own clear, only its own writes have added rows, and each
    // of those stored an entry for the location; remove_info deleted the rows of
    // every entry it unstored. So when the store holds no entry for the location,
    // the table holds no row of it either.
    return m_cleared && !store().find(entry.location);
}

void writer::write_entry(const storage_entry& entry, bool rows_may_exist) {
    if (rows_may_exist)
        queries::remove_info.run(entry.location);
    const packed_fields::view fields(entry.fields);
    for (size_t i = 0, n = fields.get_field_count(); i < n; ++i) {
        const char* name = fields.get_field_name(i);
        for (size_t j = 0, m = fields.get_value_count(i); j < m; ++j)
            queries::add_value.run(entry.location, name, fields.get_value(i, j));
    }
}

void writer::remove_all() {
    write([&] {
        // Should the DELETE fail, rows of earlier writes of this writer may be left.
        m_cleared = false;
        m_undo.remove_all();
        queries::clear.run();
        m_cleared = true;
    });
}

void writer::set_info(const tagshelf_handle_ptr& handle, const x_info& info) {
    write([&] {
        storage_entry& entry = entry_of(handle);
        const bool rows_may_exist = !has_no_rows(entry);
        m_undo.note(entry);
        tagshelf_accessor_plain::set_info(handle, info);
        write_entry(entry, rows_may_exist);
    });
}

void writer::set_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                            const list_base_const_t<const x_info*>& infos) {
    // Copying a whole storage in clears the table first and then writes every
    // entry here: the DELETE before each would look for rows that cannot be
    // there. Whether a location has rows is asked just before its entry is
    // stored, so a location given twice (or by two handles) has rows from its
    // second time on. The entries are stored by the plain accessor's set_info
    // itself: its set_info_multi would call this writer's set_info, which writes
    // every entry's rows, and the rows would then be written twice.
    write([&] {
        const size_t count = handles.get_count();
        std::vector<bool> rows_may_exist(count);
        for (size_t i = 0; i < count; ++i) {
            storage_entry& entry = entry_of(handles[i]);
            rows_may_exist[i] = !has_no_rows(entry);
            m_undo.note(entry);
            tagshelf_accessor_plain::set_info(handles[i], *infos[i]);
        }
        for (size_t i = 0; i < count; ++i)
            write_entry(entry_of(handles[i]), rows_may_exist[i]);
    });
}

void writer::copy_info(const tagshelf_handle_ptr& source, const tagshelf_handle_ptr& target) {
    write([&] {
        storage_entry& entry = entry_of(target);
        const bool rows_may_exist = !has_no_rows(entry);
        m_undo.note(entry);
        tagshelf_accessor_plain::copy_info(source, target);
        // Also for source and target the same entry: its rows are written again.
        write_entry(entry, rows_may_exist);
    });
}

void writer::remove_info(const tagshelf_handle_ptr& handle) {
    write([&] {
        storage_entry& entry = entry_of(handle);
        m_undo.note(entry);
        tagshelf_accessor_plain::remove_info(handle);
        try {
            queries::remove_info.run(entry.location);
        } catch (...) {
            // The entry is gone from the store but its rows may not be.
            m_cleared = false;
            throw;
        }
    });
}

void writer::add_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) {
    write([&] {
        storage_entry& entry = entry_of(handle);
        m_undo.note(entry);
        tagshelf_accessor_plain::add_value(handle, name, value);
        // The value joins the field under its stored spelling; the row takes that
        // spelling too, so that a later removal of the field finds it.
        queries::add_value.run(entry.location, stored_name(entry, name).c_str(), value);
    });
}

void writer::remove_field(const tagshelf_handle_ptr& handle, const char* name) {
    write([&] {
        storage_entry& entry = entry_of(handle);
        std::string spelling = stored_name(entry, name);
        m_undo.note(entry);
        tagshelf_accessor_plain::remove_field(handle, name);
        queries::remove_field.run(entry.location, spelling.c_str());
    });
}

void writer::set_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) {
    write([&] {
        storage_entry& entry = entry_of(handle);
        std::string spelling = stored_name(entry, name);
        m_undo.note(entry);
        tagshelf_accessor_plain::set_value(handle, name, value);
        queries::remove_field.run(entry.location, spelling.c_str());
        queries::add_value.run(entry.location, name, value);
    });
}
