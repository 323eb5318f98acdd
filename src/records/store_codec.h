#pragma once
// Records to rows and back, at the boundary where Windows-1250 meets the
// UTF-8 of the database; key values of records for seeks and bookmarks.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/catalogue.h"
#include "records/errors.h"
#include "records/store_schema.h"

namespace tdx::store {

// One key component's value as the index orders it: numbers as integers,
// texts as byte strings (collation key or raw bytes) compared with memcmp.
struct KeyValue {
  bool blob = false;
  std::int64_t number = 0;
  std::string bytes;
  bool operator==(const KeyValue&) const = default;
};
using KeyValues = std::vector<KeyValue>;

// <0, 0, >0 in index order.
int compare(const KeyValue& a, const KeyValue& b);

// Binds the record's fields and derived columns as parameters 1..n+m of an
// insert or update. Fails (nothing is bound for good) when a text holds a
// byte that has no character in Windows-1250 or a memo exceeds its length.
err::Error bindRecord(sqlite3_stmt* s, const Schema& schema, const RecordBuffer& buf);
// Fills the buffer from a row selected with Schema::selectColumns(). A value
// that does not fit its field is reported, never cut or wrapped.
err::Error readRecord(sqlite3_stmt* s, const Schema& schema, RecordBuffer& buf);
// The same into a buffer that holds a record of this file as read before
// (or a cleared one): every field is written over, and the bytes between
// fields keep what they held, so it is not cleared first.
err::Error readRecordOver(sqlite3_stmt* s, const Schema& schema, RecordBuffer& buf);

// The key value of a record (what an index would hold for it).
KeyValues keyValuesOf(const KeyPlan& key, const RecordBuffer& buf);
// The key value from result columns starting at `firstColumn`.
KeyValues readKeyValues(sqlite3_stmt* s, const KeyPlan& key, int firstColumn);
// The same into `out`, reusing what it holds (a sequential read fills the
// same rows batch after batch).
void readKeyValues(sqlite3_stmt* s, const KeyPlan& key, int firstColumn, KeyValues& out);
void bindKeyValue(sqlite3_stmt* s, int param, const KeyValue& v);

// A component's value from a text typed by the user (a locator): texts as
// their collation key or bytes, numbers parsed (decimals scaled). false
// when a number does not read.
bool keyValueFromText(const FieldDef& f, ValueKind kind, std::string_view text, KeyValue& out);

// Bookmark bytes of a component value, and back.
std::string encodeKeyValue(const KeyValue& v);
bool decodeKeyValue(ValueKind kind, std::string_view bytes, KeyValue& out);

// SQL functions tdx_ck(text) and tdx_cp(text): the collation key and the
// Windows-1250 bytes of a stored text, for conditions on texts that have
// no derived column and for recomputing the derived columns.
void registerFunctions(sqlite3* db);

}  // namespace tdx::store
