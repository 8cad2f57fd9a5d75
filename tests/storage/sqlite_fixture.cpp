#include "storage/sqlite_fixture.h"

#include <algorithm>

#include "sdk/lists.h"

raw_database::raw_database(const std::string& path) {
    if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
        ADD_FAILURE() << "cannot open " << path << ": " << sqlite3_errmsg(m_db);
}

raw_database::~raw_database() {
    sqlite3_close(m_db);
}

int raw_database::exec(const std::string& sql) {
    char* error = nullptr;
    int result = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error);
    m_error = error ? error : "";
    sqlite3_free(error);
    return result;
}

void raw_database::must(const std::string& sql) {
    ASSERT_EQ(exec(sql), SQLITE_OK) << sql << ": " << m_error;
}

std::vector<std::string> raw_database::column(const std::string& sql) {
    std::vector<std::string> out;
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
        << sqlite3_errmsg(m_db);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        out.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
    }
    sqlite3_finalize(statement);
    return out;
}

std::vector<sqlite_row> raw_database::rows() {
    std::vector<sqlite_row> out;
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(
                  m_db, "SELECT url, subsong, fieldname, value FROM quicktag ORDER BY rowid", -1,
                  &statement, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(m_db);
    auto text = [&](int column) {
        const unsigned char* t = sqlite3_column_text(statement, column);
        return std::string(t ? reinterpret_cast<const char*>(t) : "NULL");
    };
    while (statement && sqlite3_step(statement) == SQLITE_ROW)
        out.push_back({text(0), sqlite3_column_int64(statement, 1), text(2), text(3)});
    sqlite3_finalize(statement);
    return out;
}

void raw_database::insert(const std::vector<sqlite_row>& rows) {
    must("BEGIN");
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(m_db, "INSERT INTO quicktag VALUES (?,?,?,?)", -1, &statement, nullptr),
        SQLITE_OK);
    // The text "NULL" stands for an SQL NULL, as rows() reads it back.
    auto bind = [&](int index, const std::string& text) {
        if (text == "NULL")
            sqlite3_bind_null(statement, index);
        else
            sqlite3_bind_text(statement, index, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
    };
    for (const auto& row : rows) {
        sqlite3_reset(statement);
        bind(1, row.url);
        sqlite3_bind_int64(statement, 2, row.subsong);
        bind(3, row.fieldname);
        bind(4, row.value);
        EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE) << sqlite3_errmsg(m_db);
    }
    sqlite3_finalize(statement);
    must("COMMIT");
}

SqliteStorage::SqliteStorage() = default;

SqliteStorage::~SqliteStorage() {
    // The method and its store live as long as the module: leave them closed and
    // empty for the next test.
    storage().close();
}

service_ptr_t<tagshelf_reader_writer> SqliteStorage::writer() {
    service_ptr_t<tagshelf_reader_writer> out;
    storage().get_writer(out);
    return out;
}

service_ptr_t<tagshelf_reader> SqliteStorage::reader() {
    service_ptr_t<tagshelf_reader> out;
    storage().get_reader(out);
    return out;
}

tagshelf_handle_ptr SqliteStorage::handle(tagshelf_reader& accessor, const std::string& name,
                                          uint32_t subsong) {
    tagshelf_handle_ptr out;
    accessor.get_handle(out, track(name, subsong));
    return out;
}

store_contents SqliteStorage::contents() {
    auto reader = this->reader();
    tagshelf_handle_list handles;
    reader->enum_handles(handles);
    store_contents out;
    for (size_t i = 0; i < handles.get_count(); ++i) {
        // What a user sees: the entry that lookups find.
        metadb_handle_ptr track;
        handles[i]->get_metadb_handle(track);
        tagshelf_handle_ptr found;
        reader->get_handle(found, track);
        x_info_impl info;
        reader->get_info(found, info);
        if (info.get_field_count() == 0)
            continue;
        const playable_location& location = found->get_location();
        if (out.count({location.get_path(), location.get_subsong()}))
            continue;
        field_map& fields = out[{location.get_path(), location.get_subsong()}];
        for (size_t f = 0; f < info.get_field_count(); ++f) {
            auto& values = fields[info.get_field_name(f)];
            for (size_t v = 0; v < info.get_value_count(f); ++v)
                values.push_back(info.get_value(f, v));
            std::sort(values.begin(), values.end());
        }
    }
    return out;
}

void SqliteStorage::reopen() {
    storage().close();
    storage().open(nullptr);
}
