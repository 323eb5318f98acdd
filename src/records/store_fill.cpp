// RecordFile::suspendKeys: filling a new file without index upkeep.
#include "records/store.h"
#include "records/store_errors.h"
#include "records/store_impl.h"

namespace tdx {

using namespace store;

bool RecordFile::suspendKeys() {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (s.readOnly) {
    error_ = err::Error::of(err::AccessDenied);
    return false;
  }
  std::string sql;
  for (const auto& k : s.schema.keys()) sql += "DROP INDEX IF EXISTS main." + k.index + ";";
  int rc = exec(s.handle(), sql.c_str());
  error_ = rc == SQLITE_OK ? err::Error{} : fromSqlite(s.handle(), rc, Phase::Write);
  s.dropReadAhead();
  if (s.inTransaction && sqlite3_get_autocommit(s.handle())) s.inTransaction = false;
  return !error_;
}

}  // namespace tdx
