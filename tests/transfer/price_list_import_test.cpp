// uvdbfvdat: prices, manufacturer, product and catalogue number of each
// tender item from the price list, found by the item code.

#include <gtest/gtest.h>

#include "exchange/dbf_table.h"
#include "import_fixture.h"

namespace tdx::transfer::imports {
namespace {

namespace fs = std::filesystem;

struct PriceRow {
  int sifr;
  const char* ncena;
  const char* davek;
  const char* cena = "999";  // the list's own gross price, never used
};

class PriceListImport : public ImportTest {
 protected:
  void writePriceList(const std::vector<PriceRow>& rows) {
    dbf::Table t;
    const fs::path path = dir / "CENIKDBF.DBF";
    ASSERT_TRUE(t.create(path, dbf::kCenikdbf));
    ASSERT_TRUE(t.open(path, dbf::kCenikdbf, OpenMode::exclusive()));
    dbf::Record r(dbf::kCenikdbf);
    for (const auto& row : rows) {
      r.clear();
      r.setNumber("SIFR", row.sifr);
      r.setNumber("NCENA", dec(row.ncena));
      r.setNumber("DAVEK", dec(row.davek));
      r.setNumber("CENA", dec(row.cena));
      r.setText("PROIZ", "Proizvajalec " + std::to_string(row.sifr));
      r.setText("PARAL", "Paralela " + std::to_string(row.sifr));
      r.setText("KATAL", "KAT-" + std::to_string(row.sifr) + "-ABCDEFGHIJ");
      ASSERT_TRUE(t.append(r));
    }
    ASSERT_TRUE(t.close());
  }

  std::vector<Podatki> items() {
    std::vector<Podatki> out;
    RecordFile f(fileDef(FileId::Podatki), dir.path());
    EXPECT_TRUE(f.open());
    RecordBuffer buf(FileId::Podatki);
    while (f.next(buf)) out.push_back(buf.as<Podatki>());
    return out;
  }
};

TEST_F(PriceListImport, ItemsTakeThePricesOfTheirCodeAndTheGrossPriceIsComputed) {
  writeItems({{1, 1, 1, 10}, {1, 1, 2, 20}, {1, 1, 3, 1234}});
  writePriceList({{20, "0.33333", "22"}, {10, "10", "9.5"}});
  // A stale index from elsewhere: the import builds its own.
  tdx::test::writeFile(dir / "KIDENT.NTX", std::string(1024, 'x'));
  run("uvdbfvdat");

  auto got = items();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].ncena.get(), Decimal(10));
  EXPECT_EQ(got[0].davek.get(), dec("9.5"));
  EXPECT_EQ(got[0].cena.get(), dec("10.95"));
  EXPECT_EQ(got[0].proiz.view(), "Proizvajalec 10");
  EXPECT_EQ(got[0].paral.view(), "Paralela 10");
  EXPECT_EQ(std::string(got[0].katal.raw()), "KAT-10-ABCDE             ");
  EXPECT_EQ(got[1].ncena.get(), dec("0.3333"));
  EXPECT_EQ(got[1].cena.get(), dec("0.4066"));
  // Not in the list: told, and left as it was.
  EXPECT_TRUE(got[2].ncena.isZero());
  EXPECT_TRUE(got[2].proiz.blank());
  EXPECT_EQ(got[2].nazi.view(), "Postavka 1234");
  EXPECT_EQ(lines(), (std::vector<std::string>{": V datoteki CenikDVK.Dbf ne obstaja šifra 1234"}));
}

TEST_F(PriceListImport, WithoutAPriceListEveryItemIsToldAsMissing) {
  writeItems({{1, 1, 1, 10}, {1, 1, 2, 20}});
  run("uvdbfvdat");
  auto l = lines();
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[0], "Stop: File Not Found (CENIKDBF.DBF: No such file or directory)");
  EXPECT_EQ(l[1], ": V datoteki CenikDVK.Dbf ne obstaja šifra 10");
  EXPECT_EQ(l[2], ": V datoteki CenikDVK.Dbf ne obstaja šifra 20");
  EXPECT_TRUE(fs::exists(dir / "CENIKDBF.DBF"));
}

TEST_F(PriceListImport, AnEmptyItemsFileChangesNothingAndSaysNothing) {
  writeItems({});
  writePriceList({{10, "10", "9.5"}});
  run("uvdbfvdat");
  EXPECT_TRUE(lines().empty());
  EXPECT_TRUE(items().empty());
}

TEST_F(PriceListImport, APriceTooLargeForTheItemIsToldAndTheItemKept) {
  writeItems({{1, 1, 1, 10}});
  writePriceList({{10, "9999999999.5", "9.5"}});
  run("uvdbfvdat");
  auto got = items();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_TRUE(got[0].ncena.isZero());
  EXPECT_TRUE(got[0].proiz.blank());
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0],
            "Stop: Value Does Not Fit Field (POD:NCENA: 9999999999.5 does not fit DECIMAL(13,4)) 10");
}

}  // namespace
}  // namespace tdx::transfer::imports
