#pragma once
// "zdrndbf.dbf" as the packaging check holds it: a plain dBase table of the
// working folder (found in any case), opened with recovery like a record
// file, emptied at every run and appended to.

#include <filesystem>
#include <string>

#include "exchange/dbf_table.h"
#include "runtime/foreign_file.h"

namespace tdx::reports {

class ZdrndbfFile : public rt::ForeignFile {
 public:
  explicit ZdrndbfFile(const std::filesystem::path& folder);

  // Appends one row; false with error().
  bool append(const dbf::Record& row);

  std::string messageName() const override { return "zdrndbf.dbf"; }
  bool isOpen() const override { return table_.isOpen(); }
  bool open() override;
  bool create() override;
  bool close() override;
  void send(std::string_view command) override { table_.send(command); }
  const err::Error& error() const override { return error_; }

 private:
  bool fail(const err::Error& e);
  std::filesystem::path path_;
  dbf::Table table_;
  err::Error error_;
};

}  // namespace tdx::reports
