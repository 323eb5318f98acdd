#include "records/store_range.h"

#include <algorithm>
#include <limits>

#include "records/store_errors.h"

namespace tdx::store {

namespace {

constexpr std::int64_t kMinId = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMaxId = std::numeric_limits<std::int64_t>::max();

void bindParam(sqlite3_stmt* s, int i, const Param& p) {
  switch (p.kind) {
    case Param::Kind::Int:
      sqlite3_bind_int64(s, i, p.number);
      break;
    case Param::Kind::Text:
      bindText(s, i, p.bytes);
      break;
    case Param::Kind::Blob:
      bindBlob(s, i, p.bytes);
      break;
  }
}

}  // namespace

std::string seekSql(const Schema& schema, const KeyPlan* key, const Filter& filter, int level, bool forward) {
  std::string sql = "SELECT " + schema.selectColumns();
  if (key)
    for (const auto& c : key->components) sql += "," + c.column;
  sql += " FROM " + schema.table();
  if (key) sql += " INDEXED BY " + key->index;
  std::vector<std::string> terms;
  if (key && !key->optWhere.empty()) terms.push_back(key->optWhere);
  const char* gt = forward ? ">?" : "<?";
  if (!key) {
    if (level >= 0) terms.push_back(std::string("\"_id\"") + gt);
  } else if (level >= 0) {
    int m = int(key->components.size());
    for (int i = 0; i < level && i < m; ++i) terms.push_back(key->components[i].column + "=?");
    if (level == m) terms.push_back(std::string("\"_id\"") + gt);
    else terms.push_back(key->components[level].column + gt);
  }
  std::string where;
  for (const auto& t : terms) where += (where.empty() ? "" : " AND ") + t;
  if (!filter.sql.empty()) where += (where.empty() ? "1" : "") + filter.sql;
  if (!where.empty()) sql += " WHERE " + where;
  const char* dir = forward ? "" : " DESC";
  // Equality on every component of a unique key: one row at most, and
  // SQLite would sort it for an ORDER BY.
  int equal = level < 0 ? 0 : level;
  if (key && !key->def->dup && std::max(equal, int(filter.fixed)) >= int(key->components.size()))
    return sql + " LIMIT ?";
  sql += " ORDER BY ";
  if (key)
    for (const auto& c : key->components) sql += c.column + dir + ",";
  // A unique key has no ties to break (and SQLite would sort to honour
  // the row id there).
  if (key && !key->def->dup) sql.pop_back();
  else sql += std::string("\"_id\"") + dir;
  sql += " LIMIT ?";
  return sql;
}

namespace {

err::Error runSeek(sqlite3* db, StmtCache& stmts, const Schema& schema, const KeyPlan* key, const Filter& filter,
                   int level, bool forward, const KeyValues& values, std::int64_t id, int limit,
                   RowBatch& out) {
  auto sql = seekSql(schema, key, filter, level, forward);
  sqlite3_stmt* s = stmts.get(db, sql);
  if (!s) return fromSqlite(db, sqlite3_errcode(db), Phase::Read);
  StmtUse use(s);
  int p = 1;
  // Placeholders in the order of the text: the filter's terms come after
  // the seek's in the WHERE clause.
  if (level >= 0) {
    if (!key) {
      sqlite3_bind_int64(s, p++, id);
    } else {
      int m = int(key->components.size());
      for (int i = 0; i < level && i < m; ++i) bindKeyValue(s, p++, values[i]);
      if (level == m) sqlite3_bind_int64(s, p++, id);
      else bindKeyValue(s, p++, values[level]);
    }
  }
  for (const auto& param : filter.params) bindParam(s, p++, param);
  sqlite3_bind_int(s, p, limit);
  int rc;
  const int keyColumn = Schema::kFirstFieldColumn + int(schema.def().fields.size());
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    if (out.count == out.rows.size()) out.rows.emplace_back(schema.def());
    Row& row = out.rows[out.count];
    row.id = sqlite3_column_int64(s, Schema::kIdColumn);
    row.rev = sqlite3_column_int64(s, Schema::kRevColumn);
    // A reused row held a record of this file (or is new and cleared).
    if (auto e = readRecordOver(s, schema, row.record)) return e;
    if (key) readKeyValues(s, *key, keyColumn, row.key);
    else row.key.clear();
    ++out.count;
  }
  if (rc != SQLITE_DONE) return fromSqlite(db, rc, Phase::Read);
  return {};
}

}  // namespace

err::Error readRows(sqlite3* db, StmtCache& stmts, const Schema& schema, const KeyPlan* key, const Filter& filter,
                    const Cursor& cursor, bool forward, int n, std::vector<Row>& out, bool tiesOnly) {
  RowBatch batch;
  auto e = readRows(db, stmts, schema, key, filter, cursor, forward, n, batch, tiesOnly);
  batch.rows.erase(batch.rows.begin() + std::ptrdiff_t(batch.count), batch.rows.end());
  out = std::move(batch.rows);
  return e;
}

err::Error readRows(sqlite3* db, StmtCache& stmts, const Schema& schema, const KeyPlan* key, const Filter& filter,
                    const Cursor& cursor, bool forward, int n, RowBatch& out, bool tiesOnly) {
  out.count = 0;
  if (n <= 0) return {};
  using At = Cursor::At;
  if (cursor.at == At::Start || cursor.at == At::End)
    return runSeek(db, stmts, schema, key, filter, -1, forward, {}, 0, n, out);

  if (!key) {
    std::int64_t id = cursor.id;
    if (cursor.at == At::From) id = forward ? (id == kMinId ? id : id - 1) : (id == kMaxId ? id : id + 1);
    return runSeek(db, stmts, schema, nullptr, filter, 0, forward, {}, id, n, out);
  }

  int m = int(key->components.size());
  if (int(cursor.key.size()) != m) return mismatch("a bookmark that does not belong to this key");
  std::int64_t id = cursor.id;
  if (cursor.at == At::From) id = forward ? kMinId : kMaxId;
  int lowest = tiesOnly ? m : int(filter.fixed);
  // In a unique key nothing ties with the cursor's row, except for a
  // From cursor, whose own value is wanted.
  int highest = key->def->dup || cursor.at == At::From ? m : m - 1;
  for (int level = highest; level >= lowest && int(out.count) < n; --level)
    if (auto e = runSeek(db, stmts, schema, key, filter, level, forward, cursor.key, id, n - int(out.count), out))
      return e;
  return {};
}

err::Error readById(sqlite3* db, StmtCache& stmts, const Schema& schema, std::int64_t id, Row& out, bool& found) {
  found = false;
  std::string sql = "SELECT " + schema.selectColumns() + " FROM " + schema.table() + " WHERE \"_id\"=?";
  sqlite3_stmt* s = stmts.get(db, sql);
  if (!s) return fromSqlite(db, sqlite3_errcode(db), Phase::Read);
  StmtUse use(s);
  sqlite3_bind_int64(s, 1, id);
  int rc = sqlite3_step(s);
  if (rc == SQLITE_DONE) return {};
  if (rc != SQLITE_ROW) return fromSqlite(db, rc, Phase::Read);
  out.id = id;
  out.rev = sqlite3_column_int64(s, Schema::kRevColumn);
  if (auto e = readRecord(s, schema, out.record)) return e;
  found = true;
  return {};
}

err::Error countRows(sqlite3* db, StmtCache& stmts, const Schema& schema, const KeyPlan* key, const Filter& filter,
                     std::int64_t& count) {
  count = 0;
  std::string sql = "SELECT count(*) FROM " + schema.table();
  if (key) sql += " INDEXED BY " + key->index;
  std::string where = key && !key->optWhere.empty() ? key->optWhere : std::string();
  if (!filter.sql.empty()) where += (where.empty() ? "1" : "") + filter.sql;
  if (!where.empty()) sql += " WHERE " + where;
  sqlite3_stmt* s = stmts.get(db, sql);
  if (!s) return fromSqlite(db, sqlite3_errcode(db), Phase::Read);
  StmtUse use(s);
  int p = 1;
  for (const auto& param : filter.params) bindParam(s, p++, param);
  int rc = sqlite3_step(s);
  if (rc != SQLITE_ROW) return fromSqlite(db, rc, Phase::Read);
  count = sqlite3_column_int64(s, 0);
  return {};
}

}  // namespace tdx::store
