#include "storage/sqlite/tagshelf_storage_sqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "frame/host_ops.h"
#include "sdk/file.h"
#include "sdk/utf8.h"
#include "storage/sqlite/queries.h"
#include "storage/sqlite/sqlite_error.h"
#include "storage/sqlite/tagshelf_accessor_sqlite_write.h"

namespace {

const char* const create_table_sql =
    "CREATE TABLE quicktag (url text NOT NULL,subsong integer(8) NOT NULL default "
    "'0',fieldname text,value text)";

// Every write deletes the rows of one location before inserting its new ones;
// without an index on the location each such DELETE reads the whole table. The
// subsong comes first so that the index cannot give the loading scan its order:
// walking an index in url order fetches the rows from all over the file, and
// over a million entries takes half as long again as reading the table through
// and sorting it. Lookups of a location give both columns, in either order.
const char* const create_index_sql =
    "CREATE INDEX IF NOT EXISTS quicktag_location ON quicktag (subsong, url)";

// How long a statement waits for another program (a database browser, a backup
// tool) that holds the file for a moment, before it fails with "database is
// locked".
constexpr int busy_wait_milliseconds = 5000;

// Creates the table of a new database file; raises with the message sqlite3_exec gave.
void create_table(sqlite3* connection) {
    char* error = nullptr;
    if (sqlite3_exec(connection, create_table_sql, nullptr, nullptr, &error) == SQLITE_OK)
        return;
    std::string message = error ? error : sqlite3_errmsg(connection);
    sqlite3_free(error);
    throw sqlite_error(message);
}

// The number of leading bytes `a` and `b` have in common, compared eight at a time.
size_t common_prefix(std::string_view a, std::string_view b) {
    const size_t length = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y)
            break;
    }
    while (i < length && a[i] == b[i])
        ++i;
    return i;
}

// The rows of one location as they arrive from the ordered scan.
class row_group {
public:
    explicit row_group(tagshelf_store& store) : m_loader(store) {}

    // Whether the row at url/subsong continues the current group: the same subsong
    // and the same path without regard to letter case. This runs for every row:
    // the rows of one location nearly always repeat its url byte for byte, and the
    // next location's url shares a long leading part with it, so only what follows
    // the bytes both have in common goes through the case-insensitive comparison.
    bool continues(std::string_view url, int64_t subsong) const {
        if (subsong != m_subsong)
            return false;
        size_t same = common_prefix(url, m_path);
        if (same == url.size() && same == m_path.size())
            return true;
        // Back to just after an ASCII byte, so that the common part is whole
        // characters (no multi-byte character holds an ASCII byte): those compare
        // equal in any case, and the rest decides.
        while (same > 0 && static_cast<unsigned char>(url[same - 1]) >= 0x80)
            --same;
        return stricmp_utf8_ex(url.data() + same, url.size() - same, m_path.data() + same,
                               m_path.size() - same) == 0;
    }
    // Stores the current group and starts an empty one at url/subsong.
    void restart(const char* url, int64_t subsong) {
        flush();
        m_path = url;
        m_subsong = subsong;
        // Kept as storage for the next group's fields.
        m_fields.clear();
    }
    void add(const char* name, const char* value) { m_fields.add_value(name, value); }
    // Stores the last group and puts the store in order.
    void finish() {
        flush();
        m_loader.commit();
    }

private:
    // A group is stored when it names a location: a path, and a subsong that an
    // unsigned 32-bit index can hold (rows of older builds may hold negative ones).
    void flush() {
        if (m_path.empty() || m_subsong < 0 || m_subsong > std::numeric_limits<uint32_t>::max())
            return;
        // The path's buffer stays for the next group's url.
        m_loader.add(m_path, uint32_t(m_subsong), m_fields);
        m_path.clear();
    }

    tagshelf_store::bulk_loader m_loader;
    std::string m_path;
    int64_t m_subsong = 0;
    x_info_impl m_fields;
};

}  // namespace

std::string tagshelf_storage_sqlite::database_path() {
    return host_ops::profile_file("tagshelf_sqlite.db");
}

void tagshelf_storage_sqlite::open(save_hook) {
    close();
    std::string path = database_path();
    bool existed = uFindFirstFile(path.c_str());
    sqlite3* connection = nullptr;
    if (sqlite3_open(path.c_str(), &connection) != SQLITE_OK) {
        std::string message = connection ? sqlite3_errmsg(connection) : "out of memory";
        sqlite3_close(connection);
        throw sqlite_error(message);
    }
    sqlite3_busy_timeout(connection, busy_wait_milliseconds);
    try {
        // A file that exists is used as it is: a file without the table fails
        // below instead of being changed.
        if (!existed)
            create_table(connection);
        sqlite_query::prepare_all(connection);
        // Only now: the statements prepared, the table is known to exist, so a file
        // without it has failed above with SQLite's own message. The index only
        // makes writes faster, so a file that cannot take it (a read-only one)
        // opens as it did without; a file that another connection holds fails at
        // the load's transaction below with the same message as before.
        sqlite3_exec(connection, create_index_sql, nullptr, nullptr, nullptr);
        m_connection = connection;
        load();
    } catch (...) {
        store().remove_all();
        sqlite_query::finalize_all();
        sqlite3_close(connection);
        m_connection = nullptr;
        throw;
    }
}

void tagshelf_storage_sqlite::load() {
    tagshelf_store& target = store();
    target.remove_all();
    queries::begin_transaction.run();
    // Rows arrive ordered by url, not by the store's hash order: the bulk loader
    // sorts once at the end, where inserting one entry at a time would move the
    // table for every entry. Groups of paths equal without regard to letter case
    // need not be adjacent; the loader keeps the first spelling and the fields of
    // the group read last, as storing them one at a time would.
    row_group group(target);
    query_read_all& rows = queries::read_all;
    for (bool row = rows.first(); row; row = rows.next()) {
        const char* url = rows.text(query_read_all::url);
        int64_t subsong = rows.number(query_read_all::subsong);
        if (!url)
            url = "";
        if (!group.continues(url, subsong))
            group.restart(url, subsong);
        const char* name = rows.text(query_read_all::fieldname);
        const char* value = rows.text(query_read_all::value);
        if (name && value)
            group.add(name, value);
    }
    group.finish();
    queries::end_transaction.run();
}

void tagshelf_storage_sqlite::close() {
    store().remove_all();
    sqlite_query::finalize_all();
    if (m_connection) {
        sqlite3_close(m_connection);
        m_connection = nullptr;
    }
}

void tagshelf_storage_sqlite::get_writer(service_ptr_t<tagshelf_reader_writer>& out) {
    out = make_service<tagshelf_accessor_sqlite_write>(store());
}

void tagshelf_storage_sqlite::get_reader(service_ptr_t<tagshelf_reader>& out) {
    make_reader(out);
}

service_impl_single_t<tagshelf_storage_sqlite>& tagshelf_storage_sqlite_instance() {
    static service_impl_single_t<tagshelf_storage_sqlite> instance;
    return instance;
}
