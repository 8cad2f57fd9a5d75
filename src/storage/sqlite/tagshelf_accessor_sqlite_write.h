// The SQLite method's writer. It holds the store lock for its whole life and one
// exclusive database transaction inside it: begun when it is made, ended when its
// last reference goes, before the lock is released. Every writing operation first
// changes the store, then runs the statements that make the same change in the
// table, so that the next load gives what the store shows. The writer is all or
// nothing: when a statement or the commit fails, the transaction is rolled back
// and the store put back as the database still holds it.
#pragma once

#include <optional>
#include <string>

#include "storage/accessors.h"
#include "storage/sqlite/tagshelf_storage_sqlite.h"
#include "storage/store_undo_log.h"

class tagshelf_storage_sqlite::tagshelf_accessor_sqlite_write : public tagshelf_accessor_plain {
public:
    // Takes the lock, then begins the transaction; when that fails, the lock is
    // released again and sqlite_error is raised.
    explicit tagshelf_accessor_sqlite_write(tagshelf_store& store);
    // Ends the transaction, then releases the lock. When the commit fails, the
    // transaction is rolled back, the store taken back and the failure printed on
    // the host console.
    ~tagshelf_accessor_sqlite_write();

    // The writing operations raise SQLite's error when a statement fails, having
    // taken back every change of this writer; after that each of them raises at
    // once and changes nothing.

    void remove_all() override;
    void set_info(const tagshelf_handle_ptr& handle, const x_info& info) override;
    void set_info_multi(const list_base_const_t<tagshelf_handle_ptr>& handles,
                        const list_base_const_t<const x_info*>& infos) override;
    void copy_info(const tagshelf_handle_ptr& source, const tagshelf_handle_ptr& target) override;
    void remove_info(const tagshelf_handle_ptr& handle) override;
    void add_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) override;
    void remove_field(const tagshelf_handle_ptr& handle, const char* name) override;
    void set_value(const tagshelf_handle_ptr& handle, const char* name, const char* value) override;

private:
    // Whether the table provably holds no row for the entry's location: this
    // writer cleared the table, and the store holds no entry for the location.
    // Asked before the write stores the entry.
    bool has_no_rows(const storage_entry& entry);
    // Replaces the entry's rows by one row per value it now holds; the DELETE of
    // the old rows is left out when there can be none.
    static void write_entry(const storage_entry& entry, bool rows_may_exist);
    // Runs one writing operation, which notes in m_undo each entry before it
    // changes it; when it raises, the whole write is given up.
    template <class Change>
    void write(Change&& change);
    // Rolls the transaction back, if SQLite has not already, and takes back every
    // change made through this writer; `reason` is the first failure's text.
    void give_up(const char* reason) noexcept;

    store_lock_hold m_lock;
    store_undo_log m_undo;
    // Set once a statement failed: the text of that first failure.
    std::optional<std::string> m_failure;
    // Set while the table holds only rows that this writer's own writes made
    // after it cleared the table.
    bool m_cleared = false;
};
