// Errors of the SQLite storage: standard exceptions whose text is SQLite's own, so
// that the caller that knows the activity can put its context in front of it.
#pragma once

#include <stdexcept>
#include <string>

struct sqlite3;

// A failed SQLite call; what() is SQLite's message.
class sqlite_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises sqlite_error with the connection's latest message (sqlite3_errmsg), read
// before anything is closed.
[[noreturn]] void throw_sqlite_error(sqlite3* connection);
