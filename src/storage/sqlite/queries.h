// The SQL statements of the SQLite storage, one class each, with a typed call per
// statement. The statements live in the `queries` namespace for the life of the
// module; the table is "quicktag" with one row per value.
#pragma once

#include <cstdint>

#include "sdk/metadb.h"
#include "storage/sqlite/sqlite_query.h"

// Deletes the rows of one field of one location; the name is compared exactly.
class query_remove_field final : public sqlite_query {
public:
    const char* get_sql() const override {
        return "DELETE FROM quicktag WHERE (url = ?) AND (subsong = ?) AND (fieldname = ?)";
    }
    void run(const playable_location& location, const char* name) {
        execute(location.get_path(), int64_t(location.get_subsong()), name);
    }
};

// Inserts one value row.
class query_add_value final : public sqlite_query {
public:
    const char* get_sql() const override { return "INSERT INTO quicktag VALUES (?,?,?,?)"; }
    void run(const playable_location& location, const char* name, const char* value) {
        execute(location.get_path(), int64_t(location.get_subsong()), name, value);
    }
};

// Deletes every row of one location.
class query_remove_info final : public sqlite_query {
public:
    const char* get_sql() const override {
        return "DELETE FROM quicktag WHERE (url = ?) AND (subsong = ?)";
    }
    void run(const playable_location& location) {
        execute(location.get_path(), int64_t(location.get_subsong()));
    }
};

// The whole table, the rows of one url and subsong together. Columns: url,
// subsong, fieldname, value.
class query_read_all final : public sqlite_query {
public:
    enum column { url, subsong, fieldname, value };

    const char* get_sql() const override {
        return "SELECT url, subsong, fieldname, value FROM quicktag ORDER BY url, subsong";
    }
    // Starts the scan; true when it delivered a first row.
    bool first() {
        reset();
        return step();
    }
    // The following row; false at the end.
    bool next() { return step(); }
    const char* text(column which) const { return column_text(which); }
    int64_t number(column which) const { return column_int64(which); }
};

class query_begin_transaction final : public sqlite_query {
public:
    const char* get_sql() const override { return "BEGIN EXCLUSIVE TRANSACTION"; }
    void run() { execute(); }
};

class query_end_transaction final : public sqlite_query {
public:
    const char* get_sql() const override { return "END TRANSACTION"; }
    void run() { execute(); }
};

// Deletes every row.
class query_clear final : public sqlite_query {
public:
    const char* get_sql() const override { return "DELETE FROM quicktag"; }
    void run() { execute(); }
};

namespace queries {
extern query_remove_field remove_field;
extern query_add_value add_value;
extern query_remove_info remove_info;
extern query_read_all read_all;
extern query_begin_transaction begin_transaction;
extern query_end_transaction end_transaction;
extern query_clear clear;
}  // namespace queries
