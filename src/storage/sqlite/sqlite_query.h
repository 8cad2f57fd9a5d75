// A prepared SQL statement of the SQLite storage. Every statement is a static
// object that links itself into one module-wide chain when the library loads; the
// storage prepares the whole chain when it opens the database and finalises it when
// it closes, so nothing is compiled per operation.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class sqlite_query {
public:
    sqlite_query(const sqlite_query&) = delete;
    sqlite_query& operator=(const sqlite_query&) = delete;

    // The statement's SQL text.
    virtual const char* get_sql() const = 0;

    // Prepares every statement of the chain on `connection`. On the first failure
    // the statements already prepared are finalised and sqlite_error is raised.
    static void prepare_all(sqlite3* connection);
    // Finalises every prepared statement; errors are not reported.
    static void finalize_all() noexcept;
    // The connection the chain is prepared on, or null while it is not.
    static sqlite3* connection() { return s_connection; }

protected:
    // Links the statement at the head of the chain.
    sqlite_query();
    ~sqlite_query() = default;

    // Resets the statement, binds `args` as its parameters 1, 2, ... and steps it
    // once. Raises sqlite_error unless every call succeeds and the step finishes
    // the statement; raises std::logic_error when the number of arguments is not
    // the statement's parameter count. Text is bound without copying: it need only
    // live until this call returns.
    template <class... Args>
    void execute(const Args&... args) {
        reset_for_parameters(int(sizeof...(Args)));
        [[maybe_unused]] int index = 0;
        (bind(++index, args), ...);
        step_to_done();
    }

    // Resets the statement for a new run; raises sqlite_error when it cannot.
    void reset();
    // Steps once: true for a row, false when the statement is done; raises
    // sqlite_error on anything else.
    bool step();
    // Column values of the current row. Text is null for an SQL NULL and stays
    // valid until the next step or reset.
    const char* column_text(int column) const;
    int64_t column_int64(int column) const;

private:
    void reset_for_parameters(int count);
    void bind(int index, const char* text);
    void bind(int index, const std::string& text) { bind(index, text.c_str()); }
    void bind(int index, int64_t number);
    void step_to_done();
    [[noreturn]] void fail_step();
    void check(int result);

    static sqlite_query*& chain_head();
    static inline sqlite3* s_connection = nullptr;

    sqlite_query* m_next;
    sqlite3_stmt* m_statement = nullptr;
};
