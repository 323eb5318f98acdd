#pragma once
// A working folder with the tender's files written through the store, the
// program with the reports registered, and the finished pages as the
// preview received them, read back as rows of positioned texts.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "records/catalogue.h"
#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "runtime/report_page.h"
#include "support/temp_folder.h"

namespace tdx::reports::test {

Decimal D(const char* text);

RecordBuffer item(std::int16_t group, std::int16_t subgroup, std::int16_t lot, std::int32_t code,
                  std::string_view name, const std::function<void(Podatki&)>& more = {});
RecordBuffer offer(std::int16_t group, std::int16_t subgroup, std::int16_t lot, std::int32_t code,
                   std::string_view registryCode, const char* grossPrice, const std::function<void(Paralela&)>& more = {});
RecordBuffer description(std::int32_t code, std::string_view utf8);

// The headless runtime, with a hook after every timer tick of a progress
// window (to change the world while a report runs).
class HookedUi : public rt::HeadlessUi {
 public:
  std::function<void(int tick)> afterTick;
  void runProgress(std::shared_ptr<rt::TimedTask> task, const rt::ProgressSpec& spec, bool modal) override;
  rt::ProgressSpec lastSpec;
  bool lastModal = false;
};

// The texts of one printed line: by their column (millimetres from the
// band's left edge, rounded), leading and trailing blanks dropped.
using Row = std::map<int, std::string>;

class ReportTest : public ::testing::Test {
 protected:
  ReportTest();

  // Creates the file anew with these records, in this order.
  void store(FileId file, const std::vector<RecordBuffer>& records);
  // A bidder and a buyer (blank names where asked), group 28 "Zdravila"
  // with subgroup 1 "Splošni sklop".
  void parties(std::string_view bidderName = "Lekarna Žalec d.o.o.", std::string_view buyer1 = "Splošna bolnišnica Celje");
  void groups();
  // Starts the report as the items browser would (psk, pps set).
  void start(const std::string& procedure, std::int16_t group = 28, std::int16_t subgroup = 1);

  // Every text of the shown pages, in page order.
  std::vector<std::string> texts() const;
  // The line (same page, same top) of the first text equal to `text`.
  Row rowOf(const std::string& text) const;
  // How many texts equal `text`.
  int count(const std::string& text) const;
  std::vector<std::string> messages() const { return ui.transcript(); }

  tdx::test::TempFolder dir{"reports"};
  HookedUi ui;
  rt::Session session{ui, dir.path()};
  rt::Program program{session};
  std::optional<report::Document> shown;
  std::string shownName;
  int previews = 0;
};

}  // namespace tdx::reports::test
