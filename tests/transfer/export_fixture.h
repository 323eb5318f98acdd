#pragma once
// A working folder with record files written through the store, the
// program with this folder's procedures, and readers for what the exports
// leave behind: rows of a table as its bytes and values, keys of an index.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "exchange/dbf_layout.h"
#include "exchange/dbf_record.h"
#include "records/catalogue.h"
#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "support/temp_folder.h"

namespace tdx::transfer::test {

// One row of a table as written: its columns' bytes, and its values as our
// reader sees them.
struct TableRow {
  std::vector<std::string> raw;  // per column, padding included
  dbf::Record record;
  const std::string& operator[](std::size_t column) const { return raw.at(column); }
};

struct IndexKey {
  std::string key;
  std::uint32_t recno;
  bool operator==(const IndexKey&) const = default;
};

RecordBuffer item(std::int16_t group, std::int16_t subgroup, std::int16_t lot, std::int32_t code,
                  const std::function<void(Podatki&)>& more = {});
RecordBuffer offer(std::int16_t group, std::int16_t subgroup, std::int16_t lot, std::int32_t code,
                   const std::function<void(Paralela&)>& more = {});
RecordBuffer medicine(std::string_view id, const std::function<void(Zdravnet&)>& more = {});

class ExportTest : public ::testing::Test {
 protected:
  ExportTest();

  // Creates the file anew with these records, in this order.
  void store(FileId file, const std::vector<RecordBuffer>& records);
  // Starts a procedure as the main frame would; headless, it has ended
  // when this returns.
  void run(const std::string& procedure);

  std::vector<TableRow> rows(const dbf::Layout& layout, const std::string& fileName = {});
  std::vector<IndexKey> keys(const std::string& ntxFile);
  // The column's index in a layout.
  static std::size_t col(const dbf::Layout& layout, std::string_view name) { return std::size_t(*layout.find(name)); }
  const std::vector<std::string>& transcript() const { return ui.transcript(); }

  tdx::test::TempFolder dir{"export"};
  rt::HeadlessUi ui;
  rt::Session session{ui, dir.path()};
  rt::Program program{session};
};

}  // namespace tdx::transfer::test
