#pragma once
// How a record file's layout and keys become one SQLite table with its
// indexes, and the check that an existing database is exactly that.
//
// Table: named as the file's label; `_id` (the row id, never reused, the
// record's Position), one column per field named as its label without the
// prefix, `_rev` (raised by every write, for change detection), then one
// derived column per text field that a key orders: `_ck_<FIELD>` holds the
// Slovenian case-insensitive collation key, `_cb_<FIELD>` the raw
// Windows-1250 bytes (for a case-sensitive key). Keys order by those byte
// strings, so the indexes need no collation of ours and the sqlite3 shell
// can read and query the file.

#include <sqlite3.h>

#include <string>
#include <vector>

#include "records/catalogue.h"
#include "records/errors.h"

namespace tdx::store {

enum class ValueKind { Int, Collation, Bytes };

// One component of a key as the index holds it.
struct Component {
  int field;           // index into FileDef::fields
  ValueKind kind;      // Int for numbers; texts by collation key or raw bytes
  std::string column;  // quoted column name
};

struct KeyPlan {
  const KeyDef* def;
  std::string index;  // quoted index name (the key's name)
  std::vector<Component> components;
  std::string optWhere;  // the partial-index condition of an OPT key, or ""
  std::string createSql;
};

struct DerivedColumn {
  int field;
  ValueKind kind;  // Collation or Bytes
  std::string column;
};

class Schema {
 public:
  explicit Schema(const FileDef& def);
  const FileDef& def() const { return *def_; }

  const std::string& table() const { return table_; }
  const std::vector<std::string>& fieldColumns() const { return fieldColumns_; }
  const std::vector<DerivedColumn>& derived() const { return derived_; }
  const std::vector<KeyPlan>& keys() const { return keys_; }
  const KeyPlan* key(Key id) const;
  // The derived column of a text field, or nullptr.
  const DerivedColumn* derivedOf(int field, ValueKind kind) const;

  const std::string& createTableSql() const { return createTable_; }
  // "_id,_rev,<fields>": the columns every read selects, in this order.
  const std::string& selectColumns() const { return select_; }
  static constexpr int kIdColumn = 0, kRevColumn = 1, kFirstFieldColumn = 2;
  // Parameters: the fields (1..n), then the derived columns.
  const std::string& insertSql() const { return insert_; }
  // Same parameters, then the row id and the revision it was read with.
  const std::string& updateSql() const { return update_; }

 private:
  const FileDef* def_;
  std::string table_;
  std::vector<std::string> fieldColumns_;
  std::vector<DerivedColumn> derived_;
  std::vector<KeyPlan> keys_;
  std::string createTable_, select_, insert_, update_;
};

// Marks of our files in the database header: the application id, and in
// the user version a fingerprint of the collation the derived columns
// were computed with (a changed collation makes the keys invalid).
inline constexpr int kApplicationId = 0x54445831;  // "TDX1"
int collationFingerprint();

// Checks an open database against the schema: 47 when the table is
// missing, different, or the file is not marked as ours; with `keys`, 46
// when an index is missing, different or foreign, or the collation changed.
err::Error verifySchema(sqlite3* db, const Schema& s, bool keys);
// Creates the table and its indexes in an empty database.
err::Error createSchema(sqlite3* db, const Schema& s);
// Recreates what is missing or wrong and rebuilds the indexes (all, or one
// key's), recomputing the derived columns first when the collation changed.
err::Error rebuildKeys(sqlite3* db, const Schema& s, const KeyPlan* only);

}  // namespace tdx::store
