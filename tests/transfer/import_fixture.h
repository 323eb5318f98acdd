#pragma once
// A working folder for the import tests: the registry, the items, the
// offers and the exchange files written as the tests need them, the
// imports run headless, and what they left read back.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "exchange/dbf_record.h"
#include "records/layouts.h"
#include "records/store.h"
#include "runtime/context.h"
#include "runtime/headless_ui.h"
#include "runtime/procedure.h"
#include "support/temp_folder.h"

namespace tdx::transfer::imports {

Decimal dec(const char* text);

// A registered medicine.
struct Medicine {
  std::string idzdr;
  const char* ncena = "0";
  int kolenote = 1;
  std::string name = "Zdravilo";
};

// A row of "PARALDBF.DBF" (texts in Windows-1250).
struct TableRow {
  std::string sifr = "1";
  std::string idzdr;
  const char* ncena = "0";
  const char* popust = "0";
  const char* pddv = "9.5";
  const char* kfaktor = "1";
  int sort = 0;
  int pakir = 1;
  int skup = 1, posk = 1, sklop = 1;
  std::string imezd = "Ponujeno";
  std::string em = "tableta";
};

// A tender item.
struct Item {
  int skup = 1, posk = 1, sklop = 1;
  int sifr = 1;
};

class ImportTest : public ::testing::Test {
 protected:
  ImportTest();

  void writeRegistry(const std::vector<Medicine>& medicines);
  void writeItems(const std::vector<Item>& items);
  // Offers as the offer form leaves them: only what a test looks at is set.
  void writeOffers(const std::vector<Paralela>& offers, const char* diskName = "paralela.dat");
  void writeTable(const std::vector<TableRow>& rows);
  void writeCsv(const std::string& bytes);

  // Runs a procedure to its end (headless, a started run has ended by then).
  void run(const char* procedure);

  // In file order; an offers file that does not open fails the test.
  std::vector<Paralela> offers(const char* diskName = "paralela.dat");
  std::vector<dbf::Record> logRows();
  std::vector<std::string> lines() const { return ui.transcript(); }

  tdx::test::TempFolder dir{"import"};
  rt::HeadlessUi ui;
  rt::Session session{ui, dir.path()};
  rt::Program program{session};
};

Paralela blankOffer();

}  // namespace tdx::transfer::imports
