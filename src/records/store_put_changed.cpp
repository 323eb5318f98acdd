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
  if (!impl_->db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (buf.def().id != def_->id || asRead.def().id != def_->id) {
    error_ = err::Error::driver(err::DriverError, 0,
                                "a record of " + std::string(buf.def().label) + " given to " + std::string(def_->label));
    return false;
  }
  return writeBack(buf, partialUpdateSql(impl_->schema, buf, asRead));
}

}  // namespace tdx
