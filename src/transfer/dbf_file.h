#pragma once
// An exchange table of the working folder as a batch run holds it: the
// table under its name (in any case), opened with recovery like a record
// file, recreated empty by the exports, and its indexes rebuilt at the end.

#include <cstdint>
#include <filesystem>
#include <string>

#include "exchange/dbf_layout.h"
#include "exchange/dbf_table.h"
#include "runtime/foreign_file.h"

namespace tdx::transfer {

class DbfFile : public rt::ForeignFile {
 public:
  DbfFile(const std::filesystem::path& folder, const dbf::Layout& layout);

  dbf::Table& table() { return table_; }
  const dbf::Layout& layout() const { return *layout_; }
  const std::filesystem::path& path() const { return path_; }

  std::string messageName() const override;
  bool isOpen() const override { return table_.isOpen(); }
  bool open() override;
  bool create() override;
  bool close() override;
  void send(std::string_view command) override { table_.send(command); }
  const err::Error& error() const override { return error_; }

  // The exports' recreation: an open that denies writing, closed again
  // (its errors do not matter), the table created anew and empty, then
  // held with all others denied. False when the creation failed (error()
  // tells why); the last open's failure is left to the run's open.
  bool recreate();

  // Appends one row; false with error() when it was refused or could not
  // be written (a failed batch may take earlier rows with it, see rows()).
  bool append(const dbf::Record& row);
  // Rows of this open that are in the table: appended and not lost to a
  // failed write. Still valid after close().
  std::uint32_t rows() const { return table_.recordCount() - rowsAtOpen_; }

  // Closes the table, opens it again with all others denied, rebuilds
  // every index of its layout from all rows and closes it. False with the
  // first failure in error().
  bool rebuildIndexes();

 private:
  bool fail(const err::Error& e);
  bool openWith(OpenMode mode);

  const dbf::Layout* layout_;
  std::filesystem::path path_;
  dbf::Table table_;
  std::uint32_t rowsAtOpen_ = 0;
  err::Error error_;
};

}  // namespace tdx::transfer
