#include "records/store.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>

#include "records/cp1250.h"
#include "records/sealed_image.h"
#include "records/store_codec.h"
#include "records/store_errors.h"
#include "records/store_files.h"
#include "records/store_impl.h"

namespace tdx {

namespace fs = std::filesystem;
using namespace store;

namespace {

// Long enough for another program's commit, short enough that a context of
// this program waiting for another one (which cannot run meanwhile) gives
// up soon.
constexpr int kBusyTimeoutMs = 3000;
// Read-ahead for next/previous grows from a few rows (a look-up reads one
// or two) to this many (a batch run reads on and on): 8, 32, 128, 512,
// 1024. Each batch is up to one seek per key component; a thousand rows of
// about a kilobyte keep that cost out of a long scan, and the memory small.
constexpr int kFirstBatch = 8;
constexpr int kBatchGrowth = 4;
constexpr int kMaxBatch = 1024;

std::string utf8Path(const fs::path& p) {
  auto u = p.u8string();
  return std::string(reinterpret_cast<const char*>(u.data()), u.size());
}

err::Error driverSays(const std::string& text) { return err::Error::driver(err::DriverError, 0, text); }

err::Error notOurs(const FileDef& def, const RecordBuffer& buf) {
  return driverSays("a record of " + std::string(buf.def().label) + " given to " + std::string(def.label));
}

err::Error noSuchKey(const FileDef& def) {
  return driverSays("not a key of " + std::string(def.label));
}

err::Error noFolder(const fs::path& folder) {
  return err::Error::driver(err::PathNotFound, 0, folder.string() + ": folder not found");
}

void configure(sqlite3* db) {
  sqlite3_extended_result_codes(db, 1);
  // Tender files come from outside: nothing in a file's schema may run code
  // or change how the engine treats the file.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  registerFunctions(db);
  // Pages of a browse list come from anywhere in the file; a cache of a
  // few megabytes keeps the indexes and the recently read rows at hand.
  exec(db, "PRAGMA cache_size=-16384");
}

err::Error setDurable(sqlite3* db, Phase phase) {
  int rc = exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
  return rc == SQLITE_OK ? err::Error{} : fromSqlite(db, rc, phase);
}

// What a database file of ours must look like before the engine reads it:
// an SQLite header in rollback-journal mode. A file in WAL mode would grow
// companion files just by being read, and setting its journal mode would
// rewrite it.
err::Error checkHeader(const FileLock& lock, const FileDef& def) {
  auto h = lock.readPrefix(100);
  static const char kMagic[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
  if (h.size() < 100 || std::memcmp(h.data(), kMagic, sizeof kMagic) != 0)
    return err::Error::driver(err::InvalidFile, SQLITE_NOTADB, std::string(def.diskName) + ": not a database");
  if (h[18] != 1 || h[19] != 1)
    return err::Error::driver(err::InvalidFile, SQLITE_NOTADB,
                              std::string(def.diskName) + ": not a rollback-journal database");
  return {};
}

DbHandle openMemory(err::Error& e) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  DbHandle db(raw);
  if (rc != SQLITE_OK) {
    e = fromSqlite(raw, rc, Phase::Open);
    return nullptr;
  }
  configure(raw);
  return db;
}

err::Error serialize(sqlite3* db, std::string& image) {
  sqlite3_int64 size = 0;
  unsigned char* p = sqlite3_serialize(db, "main", &size, 0);
  if (!p) return fromSqlite(db, SQLITE_NOMEM, Phase::Write);
  image.assign(reinterpret_cast<const char*>(p), std::size_t(size));
  sqlite3_free(p);
  return {};
}

err::Error writeSealed(sqlite3* db, std::string_view password, const fs::path& target) {
  std::string image, sealed;
  if (auto e = serialize(db, image)) return e;
  if (auto e = sealImage(image, password, sealed)) return e;
  return writeFileAtomically(target, sealed);
}

void removeTemp(const fs::path& temp) {
  std::error_code ec;
  fs::remove(temp, ec);
  fs::remove(journalOf(temp), ec);
}

// Builds a new, empty database file under a temporary name.
err::Error buildEmptyFile(const fs::path& temp, const Schema& schema) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(utf8Path(temp).c_str(), &raw,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  DbHandle db(raw);
  if (rc != SQLITE_OK) return fromSqlite(raw, rc, Phase::Write);
  configure(raw);
  if (auto e = setDurable(raw, Phase::Write)) return e;
  if (auto e = createSchema(raw, schema)) return e;
  rc = sqlite3_close(db.release());
  if (rc != SQLITE_OK) return fromSqlite(nullptr, rc, Phase::Write);
  return {};
}

// Copies a live database into a new file with the online backup: one step
// for the whole file, so the copy is one consistent state of the source.
err::Error backupInto(sqlite3* source, const fs::path& temp) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(utf8Path(temp).c_str(), &raw,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  DbHandle dest(raw);
  if (rc != SQLITE_OK) return fromSqlite(raw, rc, Phase::Write);
  if (auto e = setDurable(raw, Phase::Write)) return e;
  sqlite3_backup* b = sqlite3_backup_init(raw, "main", source, "main");
  if (!b) return fromSqlite(raw, sqlite3_errcode(raw), Phase::Write);
  for (int waited = 0;; waited += 50) {
    rc = sqlite3_backup_step(b, -1);
    if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited < kBusyTimeoutMs) {
      sqlite3_sleep(50);
      continue;
    }
    break;
  }
  int finish = sqlite3_backup_finish(b);
  if (rc != SQLITE_DONE) return fromSqlite(source, rc, Phase::Read);
  if (finish != SQLITE_OK) return fromSqlite(raw, finish, Phase::Write);
  rc = sqlite3_close(dest.release());
  if (rc != SQLITE_OK) return fromSqlite(nullptr, rc, Phase::Write);
  return {};
}

// A journal left by a program killed before it committed anything is not
// needed (SQLite rolls back a hot one itself on the first read) but would
// stay beside the file. It may go only while nobody writes: under our own
// write lock, taken without waiting, and only when it carries no header.
void clearStaleJournal(sqlite3* db, const fs::path& file) {
  auto journal = journalOf(file);
  std::error_code ec;
  if (!fs::exists(journal, ec)) return;
  sqlite3_busy_timeout(db, 0);
  if (exec(db, "BEGIN IMMEDIATE") == SQLITE_OK) {
    static const unsigned char kJournalMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
    char head[8] = {};
    std::ifstream in(journal, std::ios::binary);
    in.read(head, sizeof head);
    bool headed = in.gcount() == sizeof head && std::memcmp(head, kJournalMagic, sizeof head) == 0;
    in.close();
    if (!headed) fs::remove(journal, ec);
    exec(db, "COMMIT");
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
}

err::Error openImpl(RecordFile::Impl& s, const fs::path& file, LockKind kind, bool readOnly,
                    std::string_view password, bool checkKeys) {
  const FileDef& def = s.schema.def();
  FileLock lock;
  if (auto e = lock.acquire(file, kind)) return e;
  bool sealed = !def.ownerPassword.empty();
  DbHandle db;
  if (sealed) {
    std::string image;
    if (auto e = unsealImage(lock.readAll(), password, image)) return e;
    err::Error e;
    db = openMemory(e);
    if (!db) return e;
    auto* mem = static_cast<unsigned char*>(sqlite3_malloc64(image.size() ? image.size() : 1));
    if (!mem) return fromSqlite(db.get(), SQLITE_NOMEM, Phase::Open);
    std::memcpy(mem, image.data(), image.size());
    unsigned flags = SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE;
    if (readOnly) flags |= SQLITE_DESERIALIZE_READONLY;
    int rc = sqlite3_deserialize(db.get(), "main", mem, sqlite3_int64(image.size()), sqlite3_int64(image.size()),
                                 flags);
    if (rc != SQLITE_OK) return fromSqlite(db.get(), rc, Phase::Open);
  } else {
    if (auto e = checkHeader(lock, def)) return e;
    sqlite3* raw = nullptr;
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX |
                SQLITE_OPEN_EXRESCODE;
    int rc = sqlite3_open_v2(utf8Path(file).c_str(), &raw, flags, nullptr);
    db.reset(raw);
    if (rc != SQLITE_OK) return fromSqlite(raw, rc, Phase::Open);
    configure(raw);
    if (auto e = setDurable(raw, Phase::Open)) return e;
  }
  if (auto e = verifySchema(db.get(), s.schema, checkKeys)) return e;
  if (!sealed && !readOnly) clearStaleJournal(db.get(), file);

  s.db = std::move(db);
  s.lock = std::move(lock);
  s.file = file;
  s.readOnly = readOnly;
  s.sealed = sealed;
  s.exclusive = kind == LockKind::Exclusive;
  s.dirty = false;
  s.password = sealed ? std::string(password) : std::string();
  s.streaming = s.inTransaction = false;
  s.seqKey = nullptr;
  s.cursor = Cursor::start();
  s.dropReadAhead();
  s.currentRev = 0;
  return {};
}

err::Error closeImpl(RecordFile::Impl& s) {
  err::Error e;
  if (s.inTransaction) {
    int rc = exec(s.handle(), "COMMIT");
    if (rc != SQLITE_OK) {
      e = fromSqlite(s.handle(), rc, Phase::Write);
      exec(s.handle(), "ROLLBACK");
    }
  }
  if (s.sealed && s.dirty) {
    auto sealError = writeSealed(s.handle(), s.password, s.file);
    if (!e) e = sealError;
  }
  s.stmts.clear();
  s.db.reset();
  s.lock.release();
  s.streaming = s.inTransaction = false;
  s.dirty = false;
  s.password.clear();
  s.dropReadAhead();
  s.readAhead.rows.clear();
  s.currentRev = 0;
  return e;
}

// In streamed mode the first write opens the batch's transaction.
err::Error sealedNeedsExclusive(const RecordFile::Impl& s) {
  return err::Error::driver(err::AccessDenied, 0,
                            std::string(s.schema.def().diskName) + " is changed only when opened exclusively");
}

err::Error beginWrite(RecordFile::Impl& s) {
  if (s.readOnly) return err::Error::of(err::AccessDenied);
  if (s.sealed && !s.exclusive) return sealedNeedsExclusive(s);
  if (s.streaming && !s.inTransaction) {
    int rc = exec(s.handle(), "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) return fromSqlite(s.handle(), rc, Phase::Write);
    s.inTransaction = true;
  }
  return {};
}

// After a write, successful or not: the read-ahead may be stale, and a
// failure may have rolled the streamed transaction back.
void afterWrite(RecordFile::Impl& s, bool changed) {
  s.dropReadAhead();
  if (changed) s.dirty = true;
  if (s.inTransaction && sqlite3_get_autocommit(s.handle())) s.inTransaction = false;
}

}  // namespace

RecordFile::RecordFile(const FileDef& def, fs::path folder)
    : def_(&def), folder_(std::move(folder)), impl_(std::make_unique<Impl>(def)) {}

RecordFile::~RecordFile() {
  if (impl_ && impl_->db) closeImpl(*impl_);
}

fs::path RecordFile::path() const {
  if (impl_->db) return impl_->file;
  return resolve(folder_, def_->diskName);
}

bool RecordFile::isOpen() const { return impl_->db != nullptr; }

bool RecordFile::open(OpenMode mode, std::string_view password) {
  if (impl_->db) {
    error_ = err::Error::of(err::AlreadyOpen);
    return false;
  }
  std::error_code ec;
  if (!fs::is_directory(folder_, ec)) {
    error_ = noFolder(folder_);
    return false;
  }
  bool exists = false;
  auto file = resolve(folder_, def_->diskName, &exists);
  if (!exists) {
    error_ = err::Error::of(err::FileNotFound);
    return false;
  }
  LockKind kind = mode.share == Share::DenyNone ? LockKind::Shared : LockKind::Exclusive;
  error_ = openImpl(*impl_, file, kind, mode.access == Access::ReadOnly, password, true);
  current_ = {};
  return !error_;
}

bool RecordFile::create(std::string_view password) {
  if (impl_->db) {
    error_ = err::Error::of(err::FileLocked);
    return false;
  }
  std::error_code ec;
  if (!fs::is_directory(folder_, ec)) {
    error_ = noFolder(folder_);
    return false;
  }
  bool exists = false;
  auto target = resolve(folder_, def_->diskName, &exists);
  // Held to the end: nobody may open the old file while it is replaced.
  FileLock hold;
  if (exists) {
    error_ = hold.acquire(target, LockKind::Exclusive);
    if (error_ && error_.code != err::FileNotFound) return false;
  }
  const auto& schema = impl_->schema;
  if (!def_->ownerPassword.empty()) {
    if (password.empty()) {
      error_ = err::Error::of(err::InvalidPassword);
      return false;
    }
    err::Error e;
    auto db = openMemory(e);
    if (db && !(e = createSchema(db.get(), schema))) e = writeSealed(db.get(), password, target);
    error_ = e;
    return !error_;
  }
  fs::path temp;
  if ((error_ = makeTempFile(target, temp))) return false;
  error_ = buildEmptyFile(temp, schema);
  if (!error_) error_ = replaceFile(temp, target);
  if (error_) removeTemp(temp);
  return !error_;
}

bool RecordFile::close() {
  if (!impl_->db) {
    error_.clear();
    return true;
  }
  error_ = closeImpl(*impl_);
  current_ = {};
  return !error_;
}

bool RecordFile::setFileOrder() {
  if (!impl_->db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  impl_->seqKey = nullptr;
  impl_->cursor = Cursor::start();
  impl_->dropReadAhead();
  error_.clear();
  return true;
}

bool RecordFile::setKey(Key key) {
  if (!impl_->db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  const KeyPlan* plan = impl_->schema.key(key);
  if (!plan) {
    error_ = noSuchKey(*def_);
    return false;
  }
  impl_->seqKey = plan;
  impl_->cursor = Cursor::start();
  impl_->dropReadAhead();
  error_.clear();
  return true;
}

bool RecordFile::setKey(Key key, const RecordBuffer& from) {
  if (!setKey(key)) return false;
  if (from.def().id != def_->id) {
    error_ = notOurs(*def_, from);
    return false;
  }
  impl_->cursor = Cursor{Cursor::At::From, keyValuesOf(*impl_->seqKey, from), 0};
  return true;
}

bool RecordFile::setPosition(Position pos) {
  if (!setFileOrder()) return false;
  impl_->cursor = Cursor{Cursor::At::From, {}, pos.id};
  return true;
}

namespace {

// The next row in the sequence, from the read-ahead or a fresh batch;
// nullptr after the last. The row stays valid until the next step.
err::Error stepSequence(RecordFile::Impl& s, bool forward, Row*& row) {
  row = nullptr;
  if (s.readAheadForward != forward) s.dropReadAhead();
  if (s.readAheadAt == s.readAhead.count) {
    s.readAheadForward = forward;
    s.readAheadAt = 0;
    s.batch = s.batch == 0 ? kFirstBatch : std::min(s.batch * kBatchGrowth, kMaxBatch);
    auto e = readRows(s.handle(), s.stmts, s.schema, s.seqKey, Filter{}, s.cursor, forward, s.batch, s.readAhead);
    if (e) {
      s.readAhead.count = 0;
      return e;
    }
  }
  if (s.readAheadAt == s.readAhead.count) return {};
  row = &s.readAhead.rows[s.readAheadAt++];
  s.cursor.at = Cursor::At::Row;
  s.cursor.id = row->id;
  // The row's key is not needed again once the cursor stands on it.
  s.cursor.key.swap(row->key);
  return {};
}

}  // namespace

bool RecordFile::next(RecordBuffer& buf) {
  if (!impl_->db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (buf.def().id != def_->id) {
    error_ = notOurs(*def_, buf);
    return false;
  }
  Row* row = nullptr;
  if ((error_ = stepSequence(*impl_, true, row))) return false;
  if (!row) {
    error_ = err::Error::of(err::EndOfFile);
    return false;
  }
  buf = row->record;
  current_ = Position{row->id};
  impl_->currentRev = row->rev;
  return true;
}

bool RecordFile::previous(RecordBuffer& buf) {
  if (!impl_->db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (buf.def().id != def_->id) {
    error_ = notOurs(*def_, buf);
    return false;
  }
  Row* row = nullptr;
  if ((error_ = stepSequence(*impl_, false, row))) return false;
  if (!row) {
    error_ = err::Error::of(err::EndOfFile);
    return false;
  }
  buf = row->record;
  current_ = Position{row->id};
  impl_->currentRev = row->rev;
  return true;
}

bool RecordFile::get(Key key, RecordBuffer& buf) {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (buf.def().id != def_->id) {
    error_ = notOurs(*def_, buf);
    return false;
  }
  const KeyPlan* plan = s.schema.key(key);
  if (!plan) {
    error_ = noSuchKey(*def_);
    return false;
  }
  Cursor at{Cursor::At::From, keyValuesOf(*plan, buf), 0};
  std::vector<Row> rows;
  if ((error_ = readRows(s.handle(), s.stmts, s.schema, plan, Filter{}, at, true, 1, rows, true))) return false;
  if (rows.empty()) {
    error_ = err::Error::of(err::RecordNotFound);
    return false;
  }
  buf = std::move(rows.front().record);
  current_ = Position{rows.front().id};
  s.currentRev = rows.front().rev;
  return true;
}

bool RecordFile::reget(Position pos, RecordBuffer& buf) {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (buf.def().id != def_->id) {
    error_ = notOurs(*def_, buf);
    return false;
  }
  Row row(*def_);
  bool found = false;
  if ((error_ = readById(s.handle(), s.stmts, s.schema, pos.id, row, found))) return false;
  if (!found) {
    error_ = err::Error::of(err::RecordNotFound);
    return false;
  }
  buf = std::move(row.record);
  current_ = pos;
  s.currentRev = row.rev;
  return true;
}

bool RecordFile::add(RecordBuffer& buf) {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (buf.def().id != def_->id) {
    error_ = notOurs(*def_, buf);
    return false;
  }
  if ((error_ = beginWrite(s))) return false;
  sqlite3_stmt* stmt = s.stmts.get(s.handle(), s.schema.insertSql());
  if (!stmt) {
    error_ = fromSqlite(s.handle(), sqlite3_errcode(s.handle()), Phase::Write);
    return false;
  }
  {
    StmtUse use(stmt);
    if ((error_ = bindRecord(stmt, s.schema, buf))) return false;
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) error_ = fromSqlite(s.handle(), rc, Phase::Write);
  }
  afterWrite(s, !error_);
  if (error_) return false;
  current_ = Position{sqlite3_last_insert_rowid(s.handle())};
  s.currentRev = 1;
  return true;
}

bool RecordFile::put(RecordBuffer& buf) {
  if (!impl_->db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (buf.def().id != def_->id) {
    error_ = notOurs(*def_, buf);
    return false;
  }
  return writeBack(buf, impl_->schema.updateSql());
}

bool RecordFile::writeBack(RecordBuffer& buf, const std::string& updateSql) {
  auto& s = *impl_;
  if (!current_) {
    error_ = err::Error::of(err::EndOfFile);
    return false;
  }
  if ((error_ = beginWrite(s))) return false;
  sqlite3_stmt* stmt = s.stmts.get(s.handle(), updateSql);
  if (!stmt) {
    error_ = fromSqlite(s.handle(), sqlite3_errcode(s.handle()), Phase::Write);
    return false;
  }
  int changed = 0;
  {
    StmtUse use(stmt);
    if ((error_ = bindRecord(stmt, s.schema, buf))) return false;
    int p = int(def_->fields.size() + s.schema.derived().size()) + 1;
    sqlite3_bind_int64(stmt, p, current_.id);
    sqlite3_bind_int64(stmt, p + 1, s.currentRev);
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) error_ = fromSqlite(s.handle(), rc, Phase::Write);
    else changed = sqlite3_changes(s.handle());
  }
  afterWrite(s, changed > 0);
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

bool RecordFile::erase() {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (!current_) {
    error_ = err::Error::of(err::EndOfFile);
    return false;
  }
  if ((error_ = beginWrite(s))) return false;
  std::string sql = "DELETE FROM " + s.schema.table() + " WHERE \"_id\"=?";
  sqlite3_stmt* stmt = s.stmts.get(s.handle(), sql);
  if (!stmt) {
    error_ = fromSqlite(s.handle(), sqlite3_errcode(s.handle()), Phase::Write);
    return false;
  }
  int changed = 0;
  {
    StmtUse use(stmt);
    sqlite3_bind_int64(stmt, 1, current_.id);
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) error_ = fromSqlite(s.handle(), rc, Phase::Write);
    else changed = sqlite3_changes(s.handle());
  }
  afterWrite(s, changed > 0);
  if (error_) return false;
  if (changed == 0) {
    error_ = err::Error::of(err::RecordNotFound);
    return false;
  }
  current_ = {};
  s.currentRev = 0;
  return true;
}

std::int64_t RecordFile::records() {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return 0;
  }
  std::int64_t n = 0;
  error_ = countRows(s.handle(), s.stmts, s.schema, nullptr, Filter{}, n);
  return n;
}

namespace {

err::Error buildImpl(RecordFile::Impl& s, const fs::path& folder, const KeyPlan* only) {
  bool temporary = !s.db;
  if (temporary) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return noFolder(folder);
    bool exists = false;
    auto file = resolve(folder, s.schema.def().diskName, &exists);
    if (!exists) return err::Error::of(err::FileNotFound);
    // Opened without checking the keys: repairing them is the point.
    if (auto e = openImpl(s, file, LockKind::Exclusive, false, s.schema.def().ownerPassword, false)) return e;
  } else if (s.readOnly) {
    return err::Error::of(err::AccessDenied);
  } else if (s.sealed && !s.exclusive) {
    return sealedNeedsExclusive(s);
  }
  auto e = rebuildKeys(s.handle(), s.schema, only);
  if (!e) afterWrite(s, true);
  if (temporary) {
    auto closing = closeImpl(s);
    if (!e) e = closing;
  }
  return e;
}

}  // namespace

bool RecordFile::build() {
  error_ = buildImpl(*impl_, folder_, nullptr);
  return !error_;
}

bool RecordFile::build(Key key) {
  const KeyPlan* plan = impl_->schema.key(key);
  if (!plan) {
    error_ = noSuchKey(*def_);
    return false;
  }
  error_ = buildImpl(*impl_, folder_, plan);
  return !error_;
}

bool RecordFile::copyTo(const fs::path& folder) {
  auto& s = *impl_;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    error_ = noFolder(folder);
    return false;
  }
  bool temporary = !s.db;
  if (temporary) {
    std::error_code ec2;
    if (!fs::is_directory(folder_, ec2)) {
      error_ = noFolder(folder_);
      return false;
    }
    bool exists = false;
    auto file = resolve(folder_, def_->diskName, &exists);
    if (!exists) {
      error_ = err::Error::of(err::FileNotFound);
      return false;
    }
    if ((error_ = openImpl(s, file, LockKind::Shared, true, def_->ownerPassword, false))) return false;
  }
  bool destExists = false;
  auto target = resolve(folder, def_->diskName, &destExists);
  FileLock hold;  // the copy must not replace a file someone has open
  err::Error e;
  if (destExists) {
    e = hold.acquire(target, LockKind::Exclusive);
    if (e.code == err::FileNotFound) e.clear();
  }
  if (!e) {
    if (s.sealed) {
      e = writeSealed(s.handle(), s.password, target);
    } else {
      fs::path temp;
      e = makeTempFile(target, temp);
      if (!e) {
        e = backupInto(s.handle(), temp);
        if (!e) e = replaceFile(temp, target);
        if (e) removeTemp(temp);
      }
    }
  }
  hold.release();
  if (temporary) closeImpl(s);
  error_ = e;
  return !error_;
}

bool RecordFile::stream() {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  if (s.readOnly) {
    error_ = err::Error::of(err::AccessDenied);
    return false;
  }
  s.streaming = true;
  error_.clear();
  return true;
}

bool RecordFile::flush() {
  auto& s = *impl_;
  if (!s.db) {
    error_ = err::Error::of(err::FileNotOpen);
    return false;
  }
  error_.clear();
  if (!s.inTransaction) return true;
  int rc = exec(s.handle(), "COMMIT");
  if (rc != SQLITE_OK) error_ = fromSqlite(s.handle(), rc, Phase::Write);
  s.inTransaction = !sqlite3_get_autocommit(s.handle());
  return !error_;
}

bool RecordFile::send(std::string_view command) {
  auto eq = command.find('=');
  std::string name(cp1250::trimLeft(cp1250::trimRight(command.substr(0, eq))));
  for (auto& c : name) c = char(cp1250::upper((unsigned char)c));
  // QUICKSCAN: the store always reads ahead. RECOVER: SQLite recovers an
  // interrupted transaction by itself on the next open.
  if (name == "QUICKSCAN" || name == "RECOVER") {
    error_.clear();
    return true;
  }
  error_ = driverSays("unknown driver command " + std::string(command));
  return false;
}

bool recordFileExists(const FileDef& def, const fs::path& folder) {
  bool exists = false;
  resolve(folder, def.diskName, &exists);
  return exists;
}

}  // namespace tdx
