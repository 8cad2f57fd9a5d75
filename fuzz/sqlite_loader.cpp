// The SQLite method's loader over a table of arbitrary rows: the fuzz bytes are
// decoded into rows of any column types (text with any bytes, blobs, numbers,
// nulls), inserted into a fresh database file, and the method opens it. What it
// loaded is written back through one writer and must load again the same.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>

#include "frame/host_ops.h"
#include "fuzz_support.h"
#include "sdk/utf8.h"
#include "storage/sqlite/tagshelf_storage_sqlite.h"

namespace {

// Reads the fuzz bytes as a sequence of small pieces.
class cursor {
public:
    cursor(const uint8_t* data, size_t size) : m_data(data), m_left(size) {}
    bool empty() const { return m_left == 0; }
    uint8_t byte() {
        if (!m_left)
            return 0;
        --m_left;
        return *m_data++;
    }
    std::string bytes(size_t count) {
        count = std::min(count, m_left);
        std::string text(reinterpret_cast<const char*>(m_data), count);
        m_data += count;
        m_left -= count;
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_left;
};

// Binds one column: a type byte, then its content.
void bind_column(sqlite3_stmt* insert, int column, cursor& in) {
    const uint8_t kind = in.byte();
    switch (kind % 5) {
        case 0:
            sqlite3_bind_null(insert, column);
            break;
        case 1: {
            int64_t number = 0;
            for (int i = 0; i < 8; ++i)
                number = int64_t(uint64_t(number) << 8 | in.byte());
            sqlite3_bind_int64(insert, column, (kind & 0x80) ? number : number % 16);
            break;
        }
        case 2:
            sqlite3_bind_double(insert, column, double(int8_t(in.byte())) / 4);
            break;
        case 3: {
            const std::string blob = in.bytes(in.byte() % 16);
            sqlite3_bind_blob(insert, column, blob.data(), int(blob.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const std::string text = in.bytes(in.byte() % 16);
            sqlite3_bind_text(insert, column, text.data(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
    }
}

void make_database(const std::string& path, const uint8_t* data, size_t size) {
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        std::abort();
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; CREATE TABLE quicktag (url "
                 "text NOT NULL,subsong integer(8) NOT NULL default '0',fieldname text,value "
                 "text); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO quicktag VALUES (?,?,?,?)", -1, &insert, nullptr);
    cursor in(data, size);
    while (!in.empty()) {
        sqlite3_reset(insert);
        for (int column = 1; column <= 4; ++column)
            bind_column(insert, column, in);
        sqlite3_step(insert);  // a row that breaks NOT NULL is left out
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The store's content without the orders that the table does not keep: one item
// per value, its location and field name compared as the store compares them.
std::multiset<std::tuple<std::string, uint32_t, std::string, std::string>> content(
    const tagshelf_store& store) {
    std::multiset<std::tuple<std::string, uint32_t, std::string, std::string>> items;
    for (const storage_entry* entry : store.entries()) {
        const packed_fields::view fields(entry->fields);
        string8 path;
        uAddStringLower(path, std::string(entry->location.path()).c_str());
        for (size_t f = 0; f < fields.get_field_count(); ++f) {
            string8 name;
            uAddStringLower(name, fields.get_field_name(f));
            for (size_t v = 0; v < fields.get_value_count(f); ++v)
                items.emplace(path.str(), entry->location.get_subsong(), name.str(),
                              fields.get_value(f, v));
        }
    }
    return items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_host();
    tagshelf_storage_sqlite& storage = tagshelf_storage_sqlite_instance();
    make_database(tagshelf_storage_sqlite::database_path(), data, size);
    try {
        storage.open(nullptr);
    } catch (const std::runtime_error&) {
        return 0;
    }
    tagshelf_store& store = tagshelf_storage_sqlite::store();
    const auto loaded = content(store);

    // Everything loaded, written again through one writer.
    struct item {
        std::string path;
        uint32_t subsong;
        x_info_impl fields;
    };
    std::vector<item> items;
    for (const storage_entry* entry : store.entries())
        items.push_back({std::string(entry->location.path()), entry->location.get_subsong(),
                         entry->fields.unpack()});
    {
        service_ptr_t<tagshelf_reader_writer> writer;
        storage.get_writer(writer);
        writer->remove_all();
        for (const item& it : items) {
            tagshelf_handle_ptr handle;
            writer->get_handle(handle,
                               host_ops::track_for(playable_location_impl(it.path, it.subsong)));
            writer->set_info(handle, it.fields);
        }
    }
    storage.close();
    storage.open(nullptr);
    fuzz_check(content(store) == loaded, "database load, write, load");
    storage.close();
    return 0;
}
