#pragma once
// Thin owners of SQLite handles for the store. A statement is always reset
// after use (StmtUse), so no statement stays active between two store
// calls: a context that stands still never blocks another one's write.

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace tdx::store {

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbHandle = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtHandle = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// Prepared statements of one connection by their SQL text, prepared once
// and kept for the life of the connection.
class StmtCache {
 public:
  // nullptr when the SQL does not prepare (the connection's error says why).
  sqlite3_stmt* get(sqlite3* db, const std::string& sql);
  void clear() { stmts_.clear(); }

 private:
  std::map<std::string, StmtHandle, std::less<>> stmts_;
};

// Resets (and unbinds) a statement when the scope ends, whatever happened.
class StmtUse {
 public:
  explicit StmtUse(sqlite3_stmt* s) : s_(s) {}
  ~StmtUse() {
    if (s_) {
      sqlite3_reset(s_);
      sqlite3_clear_bindings(s_);
    }
  }
  StmtUse(const StmtUse&) = delete;
  StmtUse& operator=(const StmtUse&) = delete;
  sqlite3_stmt* get() const { return s_; }

 private:
  sqlite3_stmt* s_;
};

inline void bindBlob(sqlite3_stmt* s, int i, std::string_view bytes) {
  sqlite3_bind_blob64(s, i, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}
inline void bindText(sqlite3_stmt* s, int i, std::string_view utf8) {
  sqlite3_bind_text64(s, i, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}
inline std::string_view columnText(sqlite3_stmt* s, int i) {
  auto p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
  return p ? std::string_view(p, std::size_t(sqlite3_column_bytes(s, i))) : std::string_view();
}
inline std::string_view columnBlob(sqlite3_stmt* s, int i) {
  auto p = static_cast<const char*>(sqlite3_column_blob(s, i));
  return p ? std::string_view(p, std::size_t(sqlite3_column_bytes(s, i))) : std::string_view();
}

// Runs SQL without results (several statements allowed); the SQLite code.
int exec(sqlite3* db, const char* sql);

// "PARALELA" -> "\"PARALELA\"": identifiers quoted so no label can clash
// with an SQL keyword.
std::string quoted(std::string_view identifier);

}  // namespace tdx::store
