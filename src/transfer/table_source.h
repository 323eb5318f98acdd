#pragma once
// A batch run's source that is a dBase exchange table read in file order:
// each live row lands in the source's own record, and progress is the
// row's size in bytes against the size of the table on disk.

#include <cstdint>

#include "exchange/dbf_record.h"
#include "runtime/batch_run.h"
#include "transfer/dbf_file.h"

namespace tdx::transfer {

class TableSource : public rt::BatchSource {
 public:
  explicit TableSource(DbfFile& file) : file_(&file), row_(file.layout()) {}

  // The row last read.
  const dbf::Record& row() const { return row_; }

  std::int64_t total() override;
  bool open() override;
  bool next(std::int64_t& progress) override;
  const err::Error& error() const override { return error_; }
  void send(std::string_view command) override { file_->send(command); }

 private:
  DbfFile* file_;
  dbf::Record row_;
  std::uint32_t lastRecno_ = 0;
  err::Error error_;
};

}  // namespace tdx::transfer
