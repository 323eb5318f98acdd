#pragma once
// The store: record files on SQLite.
//
// Each record file is one SQLite database under its disk name in the working
// folder ("podatki.dat", "zdravnet.tps", ...), one table with a column per
// field (texts as readable UTF-8, decimals as integers scaled by their
// places), keys as real indexes in the declared order and attributes, and a
// hidden revision per record for change detection. Rollback-journal mode, so
// a closed file is one file.
//
// A RecordFile is one open of one file by one context (window). Every
// operation returns true on success; otherwise error() tells what failed,
// with the codes of records/errors.h. The procedures see the store only
// through this interface.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/catalogue.h"
#include "records/errors.h"

namespace tdx {

enum class Access { ReadWrite, ReadOnly };
enum class Share { DenyNone, DenyWrite, DenyAll };
struct OpenMode {
  Access access = Access::ReadWrite;
  Share share = Share::DenyNone;
  static OpenMode shared() { return {}; }
  static OpenMode exclusive() { return {Access::ReadWrite, Share::DenyAll}; }
};

// Where a record stands in its file (its row id); 0 is no record.
struct Position {
  std::int64_t id = 0;
  explicit operator bool() const { return id != 0; }
  bool operator==(const Position&) const = default;
};

// A condition on one field for an ordered view: numbers compare as numbers
// (decimals by their scaled units), texts as Windows-1250 bytes without
// trailing blanks (case-insensitively when `nocase`).
struct Condition {
  enum class Op { Eq, Ne, Lt, Le, Gt, Ge };
  int field;  // index into FileDef::fields
  Op op = Op::Eq;
  std::int64_t number = 0;
  std::string text;
  bool nocase = false;
  static Condition eq(int field, std::int64_t v) { return {field, Op::Eq, v, {}, false}; }
  static Condition eqText(int field, std::string text, bool nocase = false) {
    return {field, Op::Eq, 0, std::move(text), nocase};
  }
};

class RecordFile;

// Where a row stands in an ordered view: opaque to callers.
struct Bookmark {
  std::vector<std::string> keyBytes;  // encoded key components
  std::int64_t id = 0;
  explicit operator bool() const { return id != 0; }
};

// One row of an ordered view.
struct ViewRow {
  RecordBuffer record;
  Bookmark mark;
  Position position() const { return Position{mark.id}; }
};

// An ordered, filtered, range-limited reading of a file for browse lists,
// reports and batch runs. Reading a page from any place, forwards or
// backwards, is an index seek, never a scan of the file. The view holds no
// database statement open between calls, so writers are never blocked by a
// reader that stands still.
class OrderedView {
 public:
  // `order`: a key, or nullopt for file order. `where`: conditions ANDed
  // (a range on leading key components among them reads as a range).
  OrderedView(RecordFile& file, std::optional<Key> order, std::vector<Condition> where = {});
  ~OrderedView();
  OrderedView(OrderedView&&) noexcept;
  OrderedView& operator=(OrderedView&&) noexcept;

  // Up to n rows from the first row of the view (forwards), or ending at the
  // last (the rows come back in view order).
  bool first(int n, std::vector<ViewRow>& out);
  bool last(int n, std::vector<ViewRow>& out);
  // Up to n rows after / before a bookmark (exclusive), in view order.
  bool after(const Bookmark& mark, int n, std::vector<ViewRow>& out);
  bool before(const Bookmark& mark, int n, std::vector<ViewRow>& out);
  // Up to n rows from the first row whose key value is not less than the key
  // components in `from` (a locator: texts of a NOCASE key compare without
  // case and as prefixes sort first).
  bool from(const RecordBuffer& from, int n, std::vector<ViewRow>& out);
  // Same, with the leading key component given as text (name locators):
  // the first component that the view's equality conditions leave open.
  // A number that does not read starts at the first row.
  bool fromText(std::string_view leadingText, int n, std::vector<ViewRow>& out);
  // Rows in the view (for scroll bars and progress): a counted query.
  std::int64_t count();
  // The bookmark of a record as this view would order it.
  Bookmark markOf(const RecordBuffer& record, Position pos) const;
  const err::Error& error() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class RecordFile {
 public:
  RecordFile(const FileDef& def, std::filesystem::path folder);
  ~RecordFile();  // closes
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  const FileDef& def() const { return *def_; }
  std::filesystem::path path() const;
  const err::Error& error() const { return error_; }
  void clearError() { error_.clear(); }

  // Opens an existing file: 2 when missing (nothing is created), 32 when the
  // sharing mode conflicts with an open elsewhere (another context or
  // program), 52 when this object is already open, 47 when it is not a
  // database of ours or its columns do not match the layout, 46 when a key
  // is missing or damaged, 91 when an encrypted file's password is wrong.
  // DenyWrite is held like DenyAll. An encrypted file is read into memory;
  // only an exclusive open may change it (5 otherwise), and close() seals
  // the changes back.
  bool open(OpenMode mode = OpenMode::shared(), std::string_view password = {});
  // Creates the file anew, empty (an existing file is replaced, in whatever
  // case it is named; a new one gets the lower-case disk name). The file
  // must not be open anywhere, this object included (32). It is left
  // closed. An encrypted file is sealed with `password` (91 when empty).
  bool create(std::string_view password = {});
  bool close();
  bool isOpen() const;

  // Positioning for next/previous: before the first record in file order, in
  // key order, or before the first record whose key value is not less than
  // the key components in `from`. After the last record read, next fails
  // with 33. Without a value, previous reads from the last record; from a
  // value, it reads the last record whose key is not greater. Turning round
  // reads the record before (after) the one last read.
  bool setFileOrder();
  bool setKey(Key key);
  bool setKey(Key key, const RecordBuffer& from);
  // Continue in file order from a record (inclusive).
  bool setPosition(Position pos);
  bool next(RecordBuffer& buf);
  bool previous(RecordBuffer& buf);

  // The first record whose key value equals the key components in `buf`
  // (35 when none); it becomes the current record.
  bool get(Key key, RecordBuffer& buf);
  // Re-reads the record at a position (35 when it is gone).
  bool reget(Position pos, RecordBuffer& buf);
  // The current record: the one last read or added.
  Position position() const { return current_; }

  // Adds the buffer as a new record (40 on a duplicate unique key); it
  // becomes the current record.
  bool add(RecordBuffer& buf);
  // Writes the buffer over the current record. When someone else changed the
  // record since it was read: 89, and the buffer now holds their version.
  bool put(RecordBuffer& buf);
  // As put(), with the same errors and the same check that nobody changed
  // the record since it was read, but the SET list holds only the fields in
  // which `buf` differs from `asRead` (the record exactly as this open read
  // it): SQLite then leaves alone every key none of whose fields changed,
  // which makes rewriting the prices of many records far cheaper.
  bool putChanged(RecordBuffer& buf, const RecordBuffer& asRead);
  // Deletes the current record.
  bool erase();
  std::int64_t records();

  // Rebuilds the keys (all, or one); opens the file exclusively by itself
  // when it is not open.
  bool build();
  bool build(Key key);
  // Drops the keys of a file this open holds exclusively, for a writer that
  // fills a new file at once: the rows then go in without index upkeep and
  // build() makes every key again in one pass. Until then the file opens
  // nowhere else (46).
  bool suspendKeys();
  // Copies the file into a folder under its own name, consistent even while
  // others write (SQLite's online backup). The copy gets the lower-case disk
  // name, or replaces a file of that name in any case that nobody has open
  // (32 otherwise). An encrypted file's copy is sealed with the same
  // password. Opens the file shared by itself when it is not open.
  bool copyTo(const std::filesystem::path& folder);
  // Streamed writing: the writes until flush() (or close) form one
  // transaction. Batch runs flush at the end of every batch; the file stays
  // streamed after a flush, and the next write opens the next batch.
  bool stream();
  bool flush();
  // Driver options ("QUICKSCAN=on"): accepted and ignored.
  bool send(std::string_view command);

  // For the store's own modules.
  struct Impl;
  Impl* impl() { return impl_.get(); }

 private:
  friend class OrderedView;
  // put() and putChanged() after their own checks: runs `updateSql` (the
  // record bound as for a full update) over the current record.
  bool writeBack(RecordBuffer& buf, const std::string& updateSql);
  const FileDef* def_;
  std::filesystem::path folder_;
  std::unique_ptr<Impl> impl_;
  err::Error error_;
  Position current_;
};

// Does a record file exist in a folder (by its disk name, any case)?
bool recordFileExists(const FileDef& def, const std::filesystem::path& folder);

}  // namespace tdx
