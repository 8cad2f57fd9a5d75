// The storage method that keeps fields in an SQLite database file in the profile
// directory. It writes every change at once: each writer is one exclusive
// transaction, and each writing operation changes the store and then the table the
// same way. Reads never touch the file: the whole table is read into the store
// when the method opens.
#pragma once

#include <string>

#include "sdk/service.h"
#include "storage/storage_impl.h"

struct sqlite3;

class tagshelf_storage_sqlite : public tagshelf_storage_impl<storage_tag_sqlite> {
public:
    static constexpr GUID method_guid = {
        0x4D8C0737, 0x63D6, 0x40DD, {0x8C, 0xCD, 0x60, 0x6B, 0x3B, 0xBD, 0x49, 0x61}};

    class tagshelf_accessor_sqlite_write;

    const char* get_name() override { return "SQLite database (sonarith\\tagshelf_sqlite.db)"; }
    const GUID& get_guid() override { return method_guid; }
    // Opens the database (creating it with its table when the file does not exist)
    // and reads the table into the store. On failure the method stays closed with
    // an empty store and sqlite_error carries SQLite's message.
    void open(save_hook hook) override;
    // Empties the store and closes the database; does not fail.
    void close() override;
    // A writer with its transaction begun. Raises sqlite_error when the transaction
    // cannot begin (another connection holds the database, or this thread already
    // has a writer of this method); the store lock is then not held.
    void get_writer(service_ptr_t<tagshelf_reader_writer>& out) override;
    // A reader of the store; no database work.
    void get_reader(service_ptr_t<tagshelf_reader>& out) override;

    // The database file: "tagshelf_sqlite.db" in the profile directory.
    static std::string database_path();
    bool is_open() const { return m_connection != nullptr; }

private:
    // Reads every row into the store, in one transaction.
    void load();

    sqlite3* m_connection = nullptr;
};

// The registered instance.
service_impl_single_t<tagshelf_storage_sqlite>& tagshelf_storage_sqlite_instance();
