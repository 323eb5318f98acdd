#pragma once
// The semicolon-separated offers file, opened the way record files are
// opened: with recovery, a missing file created empty when allowed. The
// import reads it through its reader, the browser pages through it.

#include <filesystem>
#include <string>

#include "exchange/csv_reader.h"
#include "runtime/foreign_file.h"

namespace tdx::rt {

class SemicolonFile : public ForeignFile {
 public:
  // The file's name as the program holds it ("paralela.csv"), found in the
  // folder in any case.
  SemicolonFile(const std::filesystem::path& folder, const std::string& name);

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

}  // namespace tdx::rt
