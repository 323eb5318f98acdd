#include "records/store_sqlite.h"

namespace tdx::store {

sqlite3_stmt* StmtCache::get(sqlite3* db, const std::string& sql) {
  auto it = stmts_.find(sql);
  if (it != stmts_.end()) return it->second.get();
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v3(db, sql.c_str(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr) !=
          SQLITE_OK ||
      !s) {
    sqlite3_finalize(s);
    return nullptr;
  }
  stmts_.emplace(sql, StmtHandle(s));
  return s;
}

int exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

std::string quoted(std::string_view identifier) {
  std::string q = "\"";
  for (char c : identifier) {
    if (c == '"') q += '"';
    q += c;
  }
  q += '"';
  return q;
}

}  // namespace tdx::store
