// What the SQLite storage tests share: a fresh host profile with the storage method
// closed, a second connection to its database file for looking at and preparing
// the rows directly, and the store's content as plain values.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "storage/sqlite/tagshelf_storage_sqlite.h"
#include "support/test_host.h"

// One row of the table, as SQLite holds it.
struct sqlite_row {
    std::string url;
    int64_t subsong;
    std::string fieldname;
    std::string value;
    bool operator==(const sqlite_row& o) const {
        return url == o.url && subsong == o.subsong && fieldname == o.fieldname && value == o.value;
    }
};

// A connection of its own to a database file, as another program would have.
class raw_database {
public:
    explicit raw_database(const std::string& path);
    ~raw_database();
    raw_database(const raw_database&) = delete;
    raw_database& operator=(const raw_database&) = delete;

    // Runs SQL; answers SQLITE_OK or the error code, with the message in last_error().
    int exec(const std::string& sql);
    // Runs SQL that must succeed.
    void must(const std::string& sql);
    std::string last_error() const { return m_error; }
    // Every value of the first column of `sql`'s rows, as text ("NULL" for null).
    std::vector<std::string> column(const std::string& sql);
    // The table's rows in the order they were inserted; an SQL NULL reads "NULL".
    std::vector<sqlite_row> rows();
    // Inserts rows in one transaction; a text "NULL" is inserted as an SQL NULL.
    void insert(const std::vector<sqlite_row>& rows);
    sqlite3* get() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
    std::string m_error;
};

// Fields of an entry by name, each with its values; used to compare contents
// without depending on the order in which the table returns a location's rows.
using field_map = std::map<std::string, std::vector<std::string>>;
// For every stored location, the fields of the entry that lookups find, by its
// (path, subsong); locations without fields are left out.
using store_contents = std::map<std::pair<std::string, uint32_t>, field_map>;

class SqliteStorage : public ::testing::Test {
protected:
    SqliteStorage();
    ~SqliteStorage() override;

    tagshelf_storage_sqlite& storage() { return tagshelf_storage_sqlite_instance(); }
    std::string database_file() const { return host.profile() + "/tagshelf_sqlite.db"; }
    // A track path in the profile's music folder, as the host names it.
    std::string path_of(const std::string& name) const {
        return file_url(host.profile() + "/music/" + name);
    }
    metadb_handle_ptr track(const std::string& name, uint32_t subsong = 0) {
        return host.track(name, subsong);
    }
    service_ptr_t<tagshelf_reader_writer> writer();
    service_ptr_t<tagshelf_reader> reader();
    tagshelf_handle_ptr handle(tagshelf_reader& accessor, const std::string& name,
                               uint32_t subsong = 0);
    // What the store shows now, read through a reader.
    store_contents contents();
    // Closes the method and opens it again from the file.
    void reopen();

    test_host host;
};
