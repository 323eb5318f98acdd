#pragma once
// The change log of an offer import ("LOG.DBF"): recreated empty by every
// import with its heading row, then one row per row or line read, filled
// when that offer's net price was lowered to the registry price and blank
// otherwise; at the end copied to "LOG.XLS" for the spreadsheet.

#include <filesystem>
#include <string_view>

#include "exchange/dbf_record.h"
#include "records/layouts.h"
#include "transfer/dbf_file.h"

namespace tdx::rt { class Context; }

namespace tdx::transfer {

class ChangeLog {
 public:
  explicit ChangeLog(const std::filesystem::path& folder);

  // The table, for the run's list of files.
  DbfFile& file() { return file_; }

  // Anew and empty, held, with its heading row; failures go to the stop box.
  void recreate(rt::Context& ctx);

  // The record of the row being imported: cleared, then filled when a price
  // was lowered.
  dbf::Record& record() { return record_; }
  void clearRecord() { record_.clear(); }
  // A lowered price as the dBase import logs it: from the imported row.
  void fillFromRow(const dbf::Record& row, const Paralela& capped);
  // As the semicolon import logs it: the registry's name, the line's
  // identifier, the offer as imported.
  void fillFromLine(const Zdravnet& registry, std::string_view idzdr, const Decimal& offered,
                    const Paralela& capped);

  // Appends the record, filled or blank; a failure goes to the stop box.
  bool append(rt::Context& ctx);

  // "LOG.XLS", replacing an earlier copy; a copy that fails is not told
  // (a spreadsheet may hold the old one open).
  void copyForSpreadsheet(const std::filesystem::path& folder);

 private:
  DbfFile file_;
  dbf::Record record_;
};

// The spreadsheet copy and the name it is opened by.
inline constexpr const char* kLogCopyName = "LOG.XLS";
inline constexpr const char* kLogDocumentName = "log.xls";

}  // namespace tdx::transfer
