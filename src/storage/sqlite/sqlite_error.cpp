#include "storage/sqlite/sqlite_error.h"

#include <sqlite3.h>

void throw_sqlite_error(sqlite3* connection) {
    // Without a connection SQLite has no message of its own to give.
    throw sqlite_error(connection ? sqlite3_errmsg(connection)
                                  : "The SQLite database is not open.");
}
