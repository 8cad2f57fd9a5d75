#include "storage/sqlite/sqlite_query.h"

#include <sqlite3.h>

#include <cstring>
#include <stdexcept>

#include "storage/sqlite/sqlite_error.h"

sqlite_query*& sqlite_query::chain_head() {
    static sqlite_query* head = nullptr;
    return head;
}

sqlite_query::sqlite_query() : m_next(chain_head()) {
    chain_head() = this;
}

void sqlite_query::prepare_all(sqlite3* connection) {
    finalize_all();
    s_connection = connection;
    for (sqlite_query* query = chain_head(); query; query = query->m_next) {
        const char* sql = query->get_sql();
        if (sqlite3_prepare_v2(connection, sql, int(std::strlen(sql)), &query->m_statement,
                               nullptr) != SQLITE_OK) {
            // Read the message before finalising, which would overwrite it.
            std::string message = sqlite3_errmsg(connection);
            finalize_all();
            throw sqlite_error(message);
        }
    }
}

void sqlite_query::finalize_all() noexcept {
    for (sqlite_query* query = chain_head(); query; query = query->m_next) {
        sqlite3_finalize(query->m_statement);
        query->m_statement = nullptr;
    }
    s_connection = nullptr;
}

void sqlite_query::check(int result) {
    if (result != SQLITE_OK)
        throw_sqlite_error(s_connection);
}

void sqlite_query::reset() {
    if (!m_statement)
        throw_sqlite_error(nullptr);
    check(sqlite3_reset(m_statement));
}

void sqlite_query::reset_for_parameters(int count) {
    reset();
    int expected = sqlite3_bind_parameter_count(m_statement);
    if (count != expected) {
        throw std::logic_error(std::string("\"") + get_sql() + "\" takes " +
                               std::to_string(expected) + " parameters, not " +
                               std::to_string(count));
    }
}

void sqlite_query::bind(int index, const char* text) {
    check(sqlite3_bind_text(m_statement, index, text, -1, SQLITE_STATIC));
}

void sqlite_query::bind(int index, int64_t number) {
    check(sqlite3_bind_int64(m_statement, index, number));
}

bool sqlite_query::step() {
    int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    fail_step();
}

void sqlite_query::step_to_done() {
    if (sqlite3_step(m_statement) != SQLITE_DONE)
        fail_step();
}

void sqlite_query::fail_step() {
    // A reset reports the failed step again, so the next run of this statement
    // would fail on a busy file that is long free. Reset now, keeping the message.
    std::string message = sqlite3_errmsg(s_connection);
    sqlite3_reset(m_statement);
    throw sqlite_error(message);
}

const char* sqlite_query::column_text(int column) const {
    return reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
}

int64_t sqlite_query::column_int64(int column) const {
    return sqlite3_column_int64(m_statement, column);
}
