#pragma once
// Reading rows in key order or file order from any place, forwards or
// backwards, as index seeks only.
//
// "After (v, id)" in an index on (c1..cm) is read as up to m+1 seeks, each
// an equality on a prefix and one strict inequality on the next column:
// (c1..cm = v, _id > id), (c1..cm-1 = v, cm > vm), ..., (c1 > v1). SQLite
// seeks each directly; a row-value comparison (c1..cm,_id) > (...) would
// instead walk through every row that ties on the key.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "records/catalogue.h"
#include "records/errors.h"
#include "records/store_codec.h"
#include "records/store_schema.h"
#include "records/store_sqlite.h"

namespace tdx::store {

// A place in an order.
struct Cursor {
  enum class At {
    Start,  // at the ends: forwards from the first row, backwards from the last
    End,    // the same (for readers that think of the far end)
    Row,    // at a row: reading continues after (or before) it
    From,   // at a key value (or a position in file order), inclusive both ways
  };
  At at = At::Start;
  KeyValues key;        // Row and From in key order
  std::int64_t id = 0;  // Row: the row; From in file order: the position
  static Cursor start() { return {}; }
  static Cursor end() { return {At::End, {}, 0}; }
};

// A bound parameter of a filter term.
struct Param {
  enum class Kind { Int, Text, Blob } kind = Kind::Int;
  std::int64_t number = 0;
  std::string bytes;
};

// Extra conditions ANDed into every read ("AND ..." terms with '?'), and
// how many leading key components they fix by equality (reads never leave
// that range, so seeks outside it are skipped).
struct Filter {
  std::string sql;
  std::vector<Param> params;
  std::size_t fixed = 0;
};

struct Row {
  explicit Row(const FileDef& def) : record(def) {}
  std::int64_t id = 0, rev = 0;
  RecordBuffer record;
  KeyValues key;  // in key order only
};

// Rows read into storage that is used again: rows[0, count) are the rows
// read, the ones after them are kept only for their buffers. A sequential
// read refills the same batch over and over, without allocating per row.
struct RowBatch {
  std::vector<Row> rows;
  std::size_t count = 0;
};

// The SELECT of one seek (exposed so a test can ask SQLite for its plan).
// `level` -1: no bound; m (the key's length): the rows that tie with the
// cursor's key after its row id; j < m: equality on j components and a
// strict inequality on the next one.
std::string seekSql(const Schema& schema, const KeyPlan* key, const Filter& filter, int level, bool forward);

// Up to n rows strictly after (forwards) or before (backwards) the cursor,
// in reading order; `tiesOnly` keeps to rows whose key equals the cursor's.
// `key` nullptr: file order.
err::Error readRows(sqlite3* db, StmtCache& stmts, const Schema& schema, const KeyPlan* key, const Filter& filter,
                    const Cursor& cursor, bool forward, int n, std::vector<Row>& out, bool tiesOnly = false);
err::Error readRows(sqlite3* db, StmtCache& stmts, const Schema& schema, const KeyPlan* key, const Filter& filter,
                    const Cursor& cursor, bool forward, int n, RowBatch& out, bool tiesOnly = false);
// The row at a position; false in `found` when there is none.
err::Error readById(sqlite3* db, StmtCache& stmts, const Schema& schema, std::int64_t id, Row& out, bool& found);
// Rows in a key (or the file) that pass the filter.
err::Error countRows(sqlite3* db, StmtCache& stmts, const Schema& schema, const KeyPlan* key, const Filter& filter,
                     std::int64_t& count);

}  // namespace tdx::store
