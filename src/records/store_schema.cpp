#include "records/store_schema.h"

#include <cstdint>
#include <map>

#include "records/cp1250.h"
#include "records/store_errors.h"
#include "records/store_sqlite.h"

namespace tdx::store {

namespace {

bool isText(FieldType t) { return t == FieldType::String || t == FieldType::CString || t == FieldType::Memo; }

const char* sqlType(FieldType t) { return isText(t) ? "TEXT" : "INTEGER"; }

std::string derivedName(const FieldDef& f, ValueKind kind) {
  return (kind == ValueKind::Collation ? "_ck_" : "_cb_") + std::string(f.name);
}

std::string joined(const std::vector<std::string>& parts, const char* sep) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += sep;
    out += parts[i];
  }
  return out;
}

std::int64_t pragmaInt(sqlite3* db, const char* sql, int& rc) {
  sqlite3_stmt* s = nullptr;
  rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
  std::int64_t v = 0;
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) {
      v = sqlite3_column_int64(s, 0);
      rc = SQLITE_OK;
    }
  }
  sqlite3_finalize(s);
  return v;
}

// The SQL of every index on our table, by name (NULL sql: an index SQLite
// made for a constraint, which our table never has).
err::Error readIndexes(sqlite3* db, const Schema& s, std::map<std::string, std::string>& out,
                       std::string* tableSql, bool* tableFound) {
  sqlite3_stmt* q = nullptr;
  int rc = sqlite3_prepare_v2(db, "SELECT type,name,tbl_name,sql FROM sqlite_schema", -1, &q, nullptr);
  if (rc != SQLITE_OK) return fromSqlite(db, rc, Phase::Open);
  std::string label(s.def().label);
  while ((rc = sqlite3_step(q)) == SQLITE_ROW) {
    std::string_view type = columnText(q, 0), name = columnText(q, 1), tbl = columnText(q, 2);
    std::string sql(columnText(q, 3));
    if (type == "table" && name == label) {
      if (tableFound) *tableFound = true;
      if (tableSql) *tableSql = sql;
    } else if (type == "index" && tbl == label) {
      out[std::string(name)] = sqlite3_column_type(q, 3) == SQLITE_NULL ? std::string("\x01") : sql;
    }
  }
  sqlite3_finalize(q);
  if (rc != SQLITE_DONE) return fromSqlite(db, rc, Phase::Open);
  return {};
}

std::string unquoted(const std::string& q) { return q.size() >= 2 ? q.substr(1, q.size() - 2) : q; }

}  // namespace

Schema::Schema(const FileDef& def) : def_(&def), table_(quoted(def.label)) {
  for (const auto& f : def.fields) fieldColumns_.push_back(quoted(f.name));

  // Derived columns in field order, each made once even when several keys
  // order by the same text.
  auto wants = [&](int field, ValueKind kind) {
    for (const auto& k : def.keys)
      for (int c : k.components)
        if (c == field && (k.nocase ? ValueKind::Collation : ValueKind::Bytes) == kind) return true;
    return false;
  };
  for (int i = 0; i < int(def.fields.size()); ++i) {
    if (!isText(def.fields[i].type)) continue;
    for (ValueKind kind : {ValueKind::Collation, ValueKind::Bytes})
      if (wants(i, kind)) derived_.push_back({i, kind, quoted(derivedName(def.fields[i], kind))});
  }

  std::vector<std::string> columns{"\"_id\" INTEGER PRIMARY KEY AUTOINCREMENT"};
  for (std::size_t i = 0; i < def.fields.size(); ++i)
    columns.push_back(fieldColumns_[i] + " " + sqlType(def.fields[i].type) + " NOT NULL");
  columns.push_back("\"_rev\" INTEGER NOT NULL");
  for (const auto& d : derived_) columns.push_back(d.column + " BLOB NOT NULL");
  createTable_ = "CREATE TABLE " + table_ + "(" + joined(columns, ", ") + ") STRICT";

  std::vector<std::string> selected{"\"_id\"", "\"_rev\""};
  for (const auto& c : fieldColumns_) selected.push_back(c);
  select_ = joined(selected, ",");

  std::vector<std::string> written = fieldColumns_;
  for (const auto& d : derived_) written.push_back(d.column);
  std::vector<std::string> marks(written.size(), "?");
  insert_ = "INSERT INTO " + table_ + "(" + joined(written, ",") + ",\"_rev\") VALUES(" + joined(marks, ",") + ",1)";
  std::vector<std::string> sets;
  for (const auto& c : written) sets.push_back(c + "=?");
  update_ = "UPDATE " + table_ + " SET " + joined(sets, ",") + ",\"_rev\"=\"_rev\"+1 WHERE \"_id\"=? AND \"_rev\"=?";

  for (const auto& k : def.keys) {
    KeyPlan plan{&k, quoted(k.name), {}, {}, {}};
    std::vector<std::string> cols, blanks;
    for (int c : k.components) {
      const auto& f = def.fields[c];
      if (isText(f.type)) {
        ValueKind kind = k.nocase ? ValueKind::Collation : ValueKind::Bytes;
        plan.components.push_back({c, kind, quoted(derivedName(f, kind))});
        blanks.push_back(fieldColumns_[c] + "<>''");
      } else {
        plan.components.push_back({c, ValueKind::Int, fieldColumns_[c]});
        blanks.push_back(fieldColumns_[c] + "<>0");
      }
      cols.push_back(plan.components.back().column);
    }
    if (k.opt) plan.optWhere = "(" + joined(blanks, " OR ") + ")";
    plan.createSql = std::string(k.dup ? "CREATE INDEX " : "CREATE UNIQUE INDEX ") + plan.index + " ON " + table_ +
                     "(" + joined(cols, ",") + ")" + (k.opt ? " WHERE " + plan.optWhere : "");
    keys_.push_back(std::move(plan));
  }
}

const KeyPlan* Schema::key(Key id) const {
  for (const auto& k : keys_)
    if (k.def->id == id) return &k;
  return nullptr;
}

const DerivedColumn* Schema::derivedOf(int field, ValueKind kind) const {
  for (const auto& d : derived_)
    if (d.field == field && d.kind == kind) return &d;
  return nullptr;
}

int collationFingerprint() {
  static const int value = [] {
    // FNV-1a over the key of every single byte and of a few pairs: any change
    // to the weights shows.
    std::uint32_t h = 2166136261u;
    auto mix = [&](const std::string& s) {
      for (unsigned char c : s) h = (h ^ c) * 16777619u;
      h = (h ^ 0xFFu) * 16777619u;
    };
    for (int b = 1; b < 256; ++b) mix(cp1250::collationKey(std::string(1, char(b))));
    mix(cp1250::collationKey("\xE8" "aj ") );
    mix(cp1250::collationKey("Dz\x9E"));
    return int((h & 0x7FFFFFFFu) | 1u);
  }();
  return value;
}

err::Error verifySchema(sqlite3* db, const Schema& s, bool keys) {
  std::map<std::string, std::string> indexes;
  std::string tableSql;
  bool found = false;
  if (auto e = readIndexes(db, s, indexes, &tableSql, &found)) return e;
  auto foreign = [&](const std::string& why) {
    return err::Error::driver(err::InvalidFile, 0, std::string(s.def().diskName) + ": " + why);
  };
  if (!found) return foreign("no table " + std::string(s.def().label));
  if (tableSql != s.createTableSql()) return foreign("the columns do not match the layout");
  int rc = 0;
  if (pragmaInt(db, "PRAGMA application_id", rc) != kApplicationId || rc != SQLITE_OK)
    return rc != SQLITE_OK ? fromSqlite(db, rc, Phase::Open) : foreign("not a record file");
  if (!keys) return {};

  auto invalid = [&](const std::string& why) {
    return err::Error::driver(err::InvalidKey, 0, std::string(s.def().diskName) + ": " + why);
  };
  for (const auto& k : s.keys()) {
    auto it = indexes.find(unquoted(k.index));
    if (it == indexes.end()) return invalid("key " + std::string(k.def->name) + " is missing");
    if (it->second != k.createSql) return invalid("key " + std::string(k.def->name) + " is not as declared");
    indexes.erase(it);
  }
  if (!indexes.empty()) return invalid("index " + indexes.begin()->first + " is not one of the file's keys");
  if (!s.derived().empty()) {
    auto version = pragmaInt(db, "PRAGMA user_version", rc);
    if (rc != SQLITE_OK) return fromSqlite(db, rc, Phase::Open);
    if (version != collationFingerprint()) return invalid("the keys were built with another collation");
  }
  return {};
}

err::Error createSchema(sqlite3* db, const Schema& s) {
  std::string sql = "BEGIN;" + s.createTableSql() + ";";
  for (const auto& k : s.keys()) sql += k.createSql + ";";
  sql += "PRAGMA application_id=" + std::to_string(kApplicationId) + ";";
  sql += "PRAGMA user_version=" + std::to_string(collationFingerprint()) + ";COMMIT;";
  int rc = exec(db, sql.c_str());
  if (rc != SQLITE_OK) {
    auto e = fromSqlite(db, rc, Phase::Write);
    exec(db, "ROLLBACK");
    return e;
  }
  return {};
}

namespace {
err::Error rebuildKeysIn(sqlite3* db, const Schema& s, const KeyPlan* only);
}  // namespace

err::Error rebuildKeys(sqlite3* db, const Schema& s, const KeyPlan* only) {
  // Every index is built from a full pass over the table: with the whole
  // table in the page cache the passes after the first read no file.
  int rc = 0;
  auto cacheSize = pragmaInt(db, "PRAGMA cache_size", rc);
  exec(db, "PRAGMA cache_size=-65536");
  auto e = rebuildKeysIn(db, s, only);
  exec(db, ("PRAGMA cache_size=" + std::to_string(cacheSize)).c_str());
  return e;
}

namespace {

err::Error rebuildKeysIn(sqlite3* db, const Schema& s, const KeyPlan* only) {
  int rc = exec(db, "SAVEPOINT tdx_build");
  if (rc != SQLITE_OK) return fromSqlite(db, rc, Phase::Write);
  auto fail = [&](int code) {
    auto e = fromSqlite(db, code, Phase::Write);
    exec(db, "ROLLBACK TO tdx_build; RELEASE tdx_build");
    return e;
  };

  if (!s.derived().empty()) {
    auto version = pragmaInt(db, "PRAGMA user_version", rc);
    if (rc != SQLITE_OK) return fail(rc);
    if (version != collationFingerprint()) {
      std::string sql = "UPDATE " + s.table() + " SET ";
      for (std::size_t i = 0; i < s.derived().size(); ++i) {
        const auto& d = s.derived()[i];
        if (i) sql += ",";
        sql += d.column + "=" + (d.kind == ValueKind::Collation ? "tdx_ck(" : "tdx_cp(") +
               s.fieldColumns()[d.field] + ")";
      }
      sql += ";PRAGMA user_version=" + std::to_string(collationFingerprint());
      if ((rc = exec(db, sql.c_str())) != SQLITE_OK) return fail(rc);
    }
  }

  std::map<std::string, std::string> indexes;
  if (auto e = readIndexes(db, s, indexes, nullptr, nullptr)) {
    exec(db, "ROLLBACK TO tdx_build; RELEASE tdx_build");
    return e;
  }
  for (const auto& k : s.keys()) {
    if (only && &k != only) continue;
    auto it = indexes.find(unquoted(k.index));
    std::string sql;
    if (it != indexes.end() && it->second == k.createSql) sql = "REINDEX main." + k.index;
    else sql = "DROP INDEX IF EXISTS main." + k.index + ";" + k.createSql;
    if (it != indexes.end()) indexes.erase(it);
    if ((rc = exec(db, sql.c_str())) != SQLITE_OK) return fail(rc);
  }
  if (!only) {
    // Indexes that are not keys of the file could refuse our writes.
    for (const auto& [name, sql] : indexes) {
      if (sql == "\x01") continue;  // belongs to a constraint; cannot be dropped
      std::string drop = "DROP INDEX main." + quoted(name);
      if ((rc = exec(db, drop.c_str())) != SQLITE_OK) return fail(rc);
    }
  }
  if ((rc = exec(db, "RELEASE tdx_build")) != SQLITE_OK) return fail(rc);
  return {};
}

}  // namespace

}  // namespace tdx::store
