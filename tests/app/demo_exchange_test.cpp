// The demo's exchange files serve the imports as they are: every item code
// is in the price list, and every line of the semicolon file becomes an
// offer under its item.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/procedures.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "support/temp_folder.h"
#include "tendrix_runner.h"

namespace tdx::test {
namespace {

TEST(DemoExchange, PriceListAndSemicolonOffersImportWithoutComplaint) {
  TempFolder dir("demo-exchange");
  auto demo = runTendrix({"demo", dir.path().string(), "--items", "80", "--registry", "400"});
  ASSERT_EQ(demo.status, 0) << demo.err;
  for (const char* f : {"CENIKDBF.DBF", "KIDENT.NTX", "paralela.csv"})
    EXPECT_TRUE(std::filesystem::exists(dir / f)) << f;
  const std::string csv = readFile(dir / "paralela.csv");
  const auto lines = std::count(csv.begin(), csv.end(), '\n');
  ASSERT_GT(lines, 0);

  rt::HeadlessUi ui;
  rt::Session session(ui, dir.path());
  rt::Program program(session);
  session.setProgram(&program);
  app::registerAllProcedures(program);

  program.start("uvdbfvdat");
  EXPECT_TRUE(ui.transcript().empty());  // no item code missing from the price list

  ui.clear();
  program.start("uvcsvparaladd");
  char count[16];
  std::snprintf(count, sizeof count, "%10lld", static_cast<long long>(lines));
  EXPECT_EQ(ui.transcript().size(), 2u);
  EXPECT_EQ(ui.transcript().back(), "Obvestilo: Dodanih: " + std::string(count) + " zapisov!");
}

}  // namespace
}  // namespace tdx::test
