#pragma once
// Every translation of a failure below the store (SQLite, the operating
// system, a value in a file that does not fit its field) into the error
// codes of records/errors.h happens here, so one code always means one thing.

#include <sqlite3.h>

#include <string>

#include "records/errors.h"

namespace tdx::store {

// What the store was doing: the same SQLite code means a foreign file on
// open but a damaged one on a later read.
enum class Phase { Open, Read, Write };

// An SQLite failure: 47 for a file that is not a database (or not one that
// can be read, on open), 40 for a duplicate unique key, 5 for a refusal of
// the file system, otherwise 90 with the engine's text and extended code.
err::Error fromSqlite(sqlite3* db, int rc, Phase phase);
// An operating-system failure (errno) on one of our own file operations.
err::Error fromErrno(int errnoValue, const std::string& what);
// A value stored in a file that does not fit its field (an edited or
// damaged file): 90, so the message shows what and where.
err::Error mismatch(const std::string& what);

}  // namespace tdx::store
