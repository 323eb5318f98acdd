#pragma once
// The semicolon-separated offers file as a batch run holds it: opened with
// recovery like a record file (a missing file is created empty), and read
// line by line in file order with progress in bytes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/csv_reader.h"
#include "runtime/batch_run.h"
#include "runtime/foreign_file.h"

namespace tdx::transfer {

class CsvFile : public rt::ForeignFile {
 public:
  // The file's name as the program holds it ("paralela.csv"), found in the
  // folder in any case.
  CsvFile(const std::filesystem::path& folder, const std::string& name);

  csv::Reader& reader() { return reader_; }
  const std::filesystem::path& path() const { return path_; }

  std::string messageName() const override;
  bool isOpen() const override { return reader_.isOpen(); }
  bool open() override;
  bool create() override;
  bool close() override;
  void send(std::string_view command) override { reader_.send(command); }
  const err::Error& error() const override { return error_; }

 private:
  std::filesystem::path path_;
  csv::Reader reader_;
  err::Error error_;
};

class CsvSource : public rt::BatchSource {
 public:
  explicit CsvSource(CsvFile& file) : file_(&file) {}

  // The fields of the line last read (Windows-1250, blank-padded).
  const std::vector<std::string>& fields() const { return fields_; }

  std::int64_t total() override;
  bool open() override;
  bool next(std::int64_t& progress) override;
  const err::Error& error() const override { return error_; }
  void send(std::string_view command) override { file_->send(command); }

 private:
  CsvFile* file_;
  std::vector<std::string> fields_;
  err::Error error_;
};

}  // namespace tdx::transfer
