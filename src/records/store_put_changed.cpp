#include <cstring>
#include <string>
#include <vector>

#include "records/store.h"
#include "records/store_codec.h"
#include "records/store_errors.h"
#include "records/store_impl.h"

namespace tdx {

using namespace store;

namespace {

bool fieldDiffers(const FieldDef& f, const RecordBuffer& a, const RecordBuffer& b) {
  if (f.type == FieldType::Memo) return a.memo() != b.memo();
  return std::memcmp(a.data() + f.offset, b.data() + f.offset, std::size_t(f.size)) != 0;
}

// The parameters keep the numbers bindRecord gives them (fields 1..n, the
// derived columns after them, then the row id and the revision), so the
// record binds as for a full update and the unused numbers simply go
// unread. One statement per set of changed fields, kept by the cache: an
// import changes the same few fields row after row.
std::string partialUpdateSql(const Schema& schema, const RecordBuffer& buf, const RecordBuffer& asRead) {
  const auto& fields = schema.def().fields;
  const int n = int(fields.size());
  std::vector<bool> changed(fields.size());
  std::string sql = "UPDATE " + schema.table() + " SET ";
  for (int i = 0; i < n; ++i) {
    if (!(changed[std::size_t(i)] = fieldDiffers(fields[std::size_t(i)], buf, asRead))) continue;
    sql += schema.fieldColumns()[std::size_t(i)] + "=?" + std::to_string(i + 1) + ",";
  }
  int p = n + 1;
  for (const auto& d : schema.derived()) {
    if (changed[std::size_t(d.field)]) sql += d.column + "=?" + std::to_string(p) + ",";
    ++p;
  }
  sql += "\"_rev\"=\"_rev\"+1 WHERE \"_id\"=?" + std::to_string(p) + " AND \"_rev\"=?" + std::to_string(p + 1);
  return sql;
}

}  // namespace

bool RecordFile::putChanged(RecordBuffer& buf, const RecordBuffer& asRead) {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (buf.def().id != def_->id || asRead.def().id != def_->id) {
    error_ = err::Error::driver(err::DriverError, 0,
                                "a record of " + std::string(buf.def().label) + " given to " + std::string(def_->label));
    return false;
  }
  if (!current_) {
    error_ = err::Error::of(err::EndOfFile);
    return false;
  }
  // The same preconditions as any write of this open.
  if (s.readOnly) {
    error_ = err::Error::of(err::AccessDenied);
    return false;
  }
  if (s.sealed && !s.exclusive) {
    error_ = err::Error::driver(err::AccessDenied, 0,
                                std::string(def_->diskName) + " is changed only when opened exclusively");
    return false;
  }
  if (s.streaming && !s.inTransaction) {
    int rc = exec(s.handle(), "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) {
      error_ = fromSqlite(s.handle(), rc, Phase::Write);
      return false;
    }
    s.inTransaction = true;
  }

  int changed = 0;
  error_.clear();
  if (sqlite3_stmt* stmt = s.stmts.get(s.handle(), partialUpdateSql(s.schema, buf, asRead))) {
    StmtUse use(stmt);
    if (!(error_ = bindRecord(stmt, s.schema, buf))) {
      const int p = int(def_->fields.size() + s.schema.derived().size()) + 1;
      sqlite3_bind_int64(stmt, p, current_.id);
      sqlite3_bind_int64(stmt, p + 1, s.currentRev);
      int rc = sqlite3_step(stmt);
      if (rc != SQLITE_DONE) error_ = fromSqlite(s.handle(), rc, Phase::Write);
      else changed = sqlite3_changes(s.handle());
    }
  } else {
    error_ = fromSqlite(s.handle(), sqlite3_errcode(s.handle()), Phase::Write);
  }
  // As after any write: the read-ahead may be stale, and a failure may have
  // rolled the streamed transaction back.
  s.dropReadAhead();
  if (changed > 0) s.dirty = true;
  if (s.inTransaction && sqlite3_get_autocommit(s.handle())) s.inTransaction = false;
  if (error_) return false;
  if (changed > 0) {
    ++s.currentRev;
    return true;
  }
  // Nothing matched the revision we read: the record changed or went away.
  Row theirs(*def_);
  bool found = false;
  if ((error_ = readById(s.handle(), s.stmts, s.schema, current_.id, theirs, found))) return false;
  if (!found) {
    error_ = err::Error::of(err::RecordNotFound);
    return false;
  }
  buf = std::move(theirs.record);
  s.currentRev = theirs.rev;
  error_ = err::Error::of(err::ChangedByOther);
  return false;
}

}  // namespace tdx
