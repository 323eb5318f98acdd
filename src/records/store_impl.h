#pragma once
// The open state behind a RecordFile, shared by the store's own modules
// (the record file itself and its ordered views).

#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "records/file_lock.h"
#include "records/store.h"
#include "records/store_range.h"
#include "records/store_schema.h"
#include "records/store_sqlite.h"

namespace tdx {

struct RecordFile::Impl {
  explicit Impl(const FileDef& def) : schema(def) {}

  store::Schema schema;
  store::DbHandle db;  // null while closed
  store::StmtCache stmts;
  store::FileLock lock;
  std::filesystem::path file;
  bool readOnly = false;

  // An encrypted file lives in memory while open and is sealed back at
  // close when it changed. Each open has its own copy, so only an exclusive
  // open may change it: two writers would each seal their own copy and the
  // last one would silently undo the other's writes.
  bool sealed = false;
  bool exclusive = false;
  bool dirty = false;
  std::string password;

  // Streamed writing: a transaction opened by the first write after
  // stream() or flush(), committed by the next flush() or close().
  bool streaming = false;
  bool inTransaction = false;

  // Sequential reading: the order, the last record handed out, and the
  // rows already read ahead in the current direction (those from
  // readAheadAt on are still to come).
  const store::KeyPlan* seqKey = nullptr;
  store::Cursor cursor;
  store::RowBatch readAhead;
  std::size_t readAheadAt = 0;
  bool readAheadForward = true;
  int batch = 0;

  std::int64_t currentRev = 0;  // revision of the current record as read

  sqlite3* handle() const { return db.get(); }
  // The rows' buffers stay for the next batch; only what they hold is
  // forgotten.
  void dropReadAhead() {
    readAhead.count = 0;
    readAheadAt = 0;
    batch = 0;
  }
};

}  // namespace tdx
