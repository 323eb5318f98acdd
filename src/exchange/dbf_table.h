#pragma once
// A dBase III table opened against one of our layouts.
//
// Opening checks the header and the columns (names without regard to case,
// and types, in order); the widths and decimals the file states are the ones
// used for its records. A bad header, other columns, or a record count that
// disagrees with the file size (beyond the optional 1Ah end marker) is error
// 47 with the reason in driverText.
//
// Reading goes forward in file order with read-ahead. Rows marked deleted
// are skipped by readNext (they keep their record numbers, and the index
// builder still sees them through readNextRaw). A numeric field reads by the
// number-reading rule: blank is 0, junk reads up to the first character that
// does not fit.
//
// Appending is streamed: rows collect in a buffer and go to the file in
// batches; the header's record count is rewritten only on flush() and
// close(), after the rows themselves are on disk, so a crash can leave rows
// the header does not count but never a header that counts rows the file
// does not hold. A row with a number that does not fit its column is refused
// whole (75, naming the column and the value); a failed write of a batch is
// reported by the append or flush that wrote it, and the header then counts
// only the rows that reached the file.
//
// Sharing: see raw_file.h. Appending through a shared open first takes the
// file exclusively (32 when someone else has it open), so two writers never
// interleave their rows.
//
// Every operation returns true on success; otherwise error() tells what
// failed, with the codes of records/errors.h.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "exchange/dbf_header.h"
#include "exchange/dbf_layout.h"
#include "exchange/dbf_record.h"
#include "exchange/raw_file.h"
#include "records/errors.h"
#include "records/store.h"

namespace tdx::ntx {
class Index;
}

namespace tdx::dbf {

class Table {
 public:
  Table() = default;
  ~Table() { close(); }
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // Makes `path` a new, empty table of the layout, replacing an existing
  // file and its rows. 32 while any other open holds the file. The table is
  // not left open.
  bool create(const std::filesystem::path& path, const Layout& layout);
  // 2 when missing, 5 when not permitted, 32 when the sharing mode is
  // refused, 47 when it is not a table of the layout, 52 when this object is
  // already open.
  bool open(const std::filesystem::path& path, const Layout& layout, OpenMode mode = OpenMode::shared());
  // Flushes pending rows; the file is closed even when that fails.
  bool close();
  bool isOpen() const { return file_.isOpen(); }

  bool append(const Record& record);
  bool flush();
  // Driver options ("QUICKSCAN=on"): accepted and ignored, reading always
  // reads ahead.
  bool send(std::string_view /*command*/) { return true; }

  // The next readNext starts again at the first record.
  void rewind() { next_ = 1; }
  // The next live record in file order; 33 after the last.
  bool readNext(Record& record);
  // The next record, deleted ones included, as its raw bytes (deletion flag
  // first). The bytes stay valid until the next read.
  bool readNextRaw(std::string_view& bytes, std::uint32_t& recno);
  // Record `recno` (1-based) even when deleted; readNext continues after it.
  // 33 when there is no such record.
  bool read(std::uint32_t recno, Record& record);
  // The first live record whose key equals the value of the index's column
  // in `record` (set that column, then get). The index must be one built on
  // a column of this table: 46 otherwise, or when it points past the table.
  // 35 when no live record has the key.
  bool get(ntx::Index& index, Record& record);

  std::uint32_t recordCount() const { return count_; }
  // The record last read (0 before the first).
  std::uint32_t recordNumber() const { return current_; }
  std::uint32_t recordLength() const { return header_.recordLength; }
  // For progress in bytes: the size at opening.
  std::uint64_t fileSize() const { return sizeAtOpen_; }
  const Header& header() const { return header_; }
  const Layout& layout() const { return *layout_; }
  const std::filesystem::path& path() const { return path_; }
  const err::Error& error() const { return error_; }

 private:
  bool fail(err::Error e);
  bool failFile();
  // A row of another layout is a programming error: std::logic_error.
  void checkLayout(const Record& record) const;
  bool spill();
  bool fetch(std::uint32_t recno, std::string_view& bytes);
  void decode(std::string_view bytes, Record& record) const;
  bool encode(const Record& record, std::string& out);
  std::uint64_t offsetOf(std::uint32_t recno) const {
    return header_.headerLength + std::uint64_t(recno - 1) * header_.recordLength;
  }

  RawFile file_;
  std::filesystem::path path_;
  const Layout* layout_ = &kLog;
  Header header_;
  bool writable_ = false;
  std::uint64_t sizeAtOpen_ = 0;
  std::uint32_t count_ = 0;         // records, those still in the write buffer included
  std::uint32_t onDisk_ = 0;        // records written to the file
  std::uint32_t headerCount_ = 0;   // what the header on disk says
  std::string writeBuffer_;
  std::string readBuffer_;
  std::uint32_t readFirst_ = 0;     // record number of the first record in readBuffer_
  std::uint32_t readRecords_ = 0;
  std::uint32_t next_ = 1;
  std::uint32_t current_ = 0;
  err::Error error_;
};

}  // namespace tdx::dbf
