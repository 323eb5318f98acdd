#pragma once
// A batch run's source that is the semicolon-separated offers file: line
// by line in file order, progress in bytes against the size of the file.

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/batch_run.h"
#include "runtime/semicolon_file.h"

namespace tdx::transfer {

class CsvSource : public rt::BatchSource {
 public:
  explicit CsvSource(rt::SemicolonFile& file) : file_(&file) {}

  // The fields of the line last read (Windows-1250, blank-padded).
  const std::vector<std::string>& fields() const { return fields_; }

  std::int64_t total() override;
  bool open() override;
  bool next(std::int64_t& progress) override;
  const err::Error& error() const override { return error_; }
  void send(std::string_view command) override { file_->send(command); }

 private:
  rt::SemicolonFile* file_;
  std::vector<std::string> fields_;
  err::Error error_;
};

}  // namespace tdx::transfer
