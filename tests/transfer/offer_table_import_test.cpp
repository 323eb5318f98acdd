// The offer imports from "PARALDBF.DBF": uvparaladd replaces every offer,
// uvparvdat updates the first offer of each medicine; both cap at the
// registry price and log each lowered price.

#include <gtest/gtest.h>

#include <cstring>

#include "exchange/dbf_table.h"
#include "import_fixture.h"
#include "records/store.h"
#include "transfer/import_steps.h"

namespace tdx::transfer::imports {
namespace {

namespace fs = std::filesystem;

class OfferTableImport : public ImportTest {};

struct PriceCase {
  const char* what;
  TableRow row;
  const char* ncena;  // after the import: the capped price
  const char* ncenaAz;
  const char* ncenaKf;
  const char* bcenaAz;
  const char* bcena;
  const char* loggedOffer;  // nullptr: a blank log row
  const char* loggedCap;
};

TEST_F(OfferTableImport, ReplacingCapsAtTheRegistryPriceAndLogsEachLoweredPrice) {
  writeRegistry({{"CAP010", "10"}, {"FREE00", "0"}});
  auto row = [](const char* idzdr, const char* ncena, int pakir = 7, const char* kfaktor = "1") {
    TableRow r;
    r.idzdr = idzdr;
    r.ncena = ncena;
    r.popust = "5";
    r.pddv = "9.5";
    r.kfaktor = kfaktor;
    r.pakir = pakir;
    return r;
  };
  const PriceCase cases[] = {
      {"offered above the registry price", row("CAP010", "12"), "10", "10", "10", "10.4025", "1.4861", "12", "10"},
      {"offered at the registry price", row("CAP010", "10"), "10", "10", "10", "10.4025", "1.4861", nullptr, nullptr},
      {"offered below it", row("CAP010", "8"), "8", "8", "8", "8.322", "1.1889", nullptr, nullptr},
      {"registry price 0: no cap", row("FREE00", "10"), "10", "10", "10", "10.4025", "1.4861", nullptr, nullptr},
      {"not in the registry", row("NONE00", "12"), "12", "0", "0", "0", "0", nullptr, nullptr},
      {"no units per pack", row("CAP010", "10", 0), "10", "10", "10", "10.4025", "0", nullptr, nullptr},
      {"factor 0 is 1", row("FREE00", "10", 7, "0"), "10", "10", "10", "10.4025", "1.4861", nullptr, nullptr},
  };
  std::vector<TableRow> rows;
  for (const auto& c : cases) rows.push_back(c.row);
  writeTable(rows);

  run("uvparaladd");

  auto got = offers();
  ASSERT_EQ(got.size(), std::size(cases));
  auto log = logRows();
  ASSERT_EQ(log.size(), std::size(cases) + 1);  // the heading, then one per row
  EXPECT_EQ(std::string(log[0].text("IMEZD")).substr(0, 43), "Seznam spremenjenih cen pri uvozu podatkov:");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const PriceCase& c = cases[i];
    const Paralela& p = got[i];
    SCOPED_TRACE(c.what);
    EXPECT_EQ(p.ncena.get(), dec(c.ncena));
    EXPECT_EQ(p.ncena_az.get(), dec(c.ncenaAz));
    EXPECT_EQ(p.ncena_kf.get(), dec(c.ncenaKf));
    EXPECT_EQ(p.bcena_az.get(), dec(c.bcenaAz));
    EXPECT_EQ(p.bcena.get(), dec(c.bcena));
    EXPECT_EQ(p.kfaktor.get(), Decimal(1));
    EXPECT_EQ(p.pakiranje.get(), c.row.pakir);
    EXPECT_EQ(p.em.view(), "tableta");  // from the row, never from the registry
    const dbf::Record& l = log[i + 1];
    if (c.loggedOffer) {
      EXPECT_EQ(l.number("NCENA"), dec(c.loggedOffer));
      EXPECT_EQ(l.number("CENAJAZMP"), dec(c.loggedCap));
      EXPECT_EQ(l.text("IDZDR"), c.row.idzdr);
      EXPECT_EQ(std::string(l.text("IMEZD")).substr(0, 8), "Ponujeno");
    } else {
      EXPECT_EQ(std::string(cp1250::trimRight(l.text("IMEZD"))), "");
      EXPECT_TRUE(l.number("NCENA").isZero());
    }
  }
  EXPECT_EQ(lines().back(), "open: LOG.XLS");
  EXPECT_EQ(tdx::test::readFile(dir / "LOG.XLS"), tdx::test::readFile(dir / "LOG.DBF"));
}

TEST_F(OfferTableImport, ReplacingTakesTheItemAndTheTextsFromTheRow) {
  TableRow r;
  r.skup = 28;
  r.posk = 3;
  r.sklop = 12;
  r.sifr = "1234    ";
  r.idzdr = "AB1234";
  r.sort = 99;
  writeTable({r});
  run("uvparaladd");
  auto got = offers();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].skup.get(), 28);
  EXPECT_EQ(got[0].posk.get(), 3);
  EXPECT_EQ(got[0].sklop.get(), 12);
  EXPECT_EQ(got[0].sifr.get(), 1234);
  EXPECT_EQ(got[0].sort.get(), 99);
  EXPECT_EQ(got[0].idzdr.view(), "AB1234");
  EXPECT_EQ(got[0].imezd.view(), "Ponujeno");
  EXPECT_TRUE(got[0].doba.blank());
}

TEST_F(OfferTableImport, TheClosingCountIsRightAlignedWithThousands) {
  struct Case {
    std::int64_t rows;
    const char* text;
  } cases[] = {{0, "Dodanih:          0 zapisov!"}, {5, "Dodanih:          5 zapisov!"},
               {1234, "Dodanih:      1.234 zapisov!"}, {1234567, "Dodanih:  1.234.567 zapisov!"}};
  rt::Context ctx(session);
  for (const auto& c : cases) {
    ui.clear();
    reportImportCount(ctx, "Dodanih: ", c.rows);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, c.text);
    EXPECT_EQ(ui.messages()[0].caption, "Obvestilo");
    EXPECT_EQ(ui.messages()[0].icon, rt::Icon::Information);
  }
}

// What each backup file holds is told by the number of offers in it.
std::vector<Paralela> someOffers(int n) { return std::vector<Paralela>(std::size_t(n), blankOffer()); }

TEST_F(OfferTableImport, BackupsKeepTheTwoMostRecentSetsOfOffers) {
  struct Case {
    const char* what;
    int bak, ba1;  // offers in the backups before the import (-1: none)
    int bakAfter, ba1After;
  } cases[] = {
      {"no backups yet", -1, -1, 3, -1},
      {"one backup", 2, -1, 3, 2},
      {"both backups: the older one goes", 2, 1, 3, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* f : {"paralela.bak", "paralela.ba1"}) fs::remove(dir / f);
    writeOffers(someOffers(3));
    if (c.bak >= 0) writeOffers(someOffers(c.bak), "paralela.bak");
    if (c.ba1 >= 0) writeOffers(someOffers(c.ba1), "paralela.ba1");
    writeTable({TableRow{}});
    run("uvparaladd");
    EXPECT_EQ(offers().size(), 1u);
    EXPECT_EQ(int(offers("paralela.bak").size()), c.bakAfter);
    if (c.ba1After < 0) EXPECT_FALSE(fs::exists(dir / "paralela.ba1"));
    else EXPECT_EQ(int(offers("paralela.ba1").size()), c.ba1After);
  }
}

TEST_F(OfferTableImport, OffersInUseElsewhereAreLeftAsTheyWere) {
  writeOffers(someOffers(4));
  writeTable({TableRow{}, TableRow{}});
  // The earlier import's log, which the refusal still copies and opens.
  tdx::test::writeFile(dir / "LOG.DBF", "earlier log");
  const std::string before = tdx::test::readFile(dir / "paralela.dat");
  {
    RecordFile other(fileDef(FileId::Paralela), dir.path());
    ASSERT_TRUE(other.open());
    run("uvparaladd");
  }
  EXPECT_EQ(lines(), (std::vector<std::string>{
                         "Obvestilo: Datoteka paralela.dat bo izbrisana! Dodani bodo zapisi iz paraldbf.dbf...",
                         "Opozorilo: Zaprite vsa programska okna in poskusite znova!",
                         "Obvestilo: Dodanih:          0 zapisov!", "open: LOG.XLS"}));
  EXPECT_EQ(tdx::test::readFile(dir / "paralela.dat"), before);
  EXPECT_FALSE(fs::exists(dir / "paralela.bak"));
  EXPECT_EQ(tdx::test::readFile(dir / "LOG.XLS"), "earlier log");
}

TEST_F(OfferTableImport, RowsThatCannotBeStoredAreToldAndNotCounted) {
  writeTable({TableRow{}, TableRow{}});
  // A spreadsheet may widen a column; a value wider than its field is
  // refused instead of being cut into another number.
  {
    dbf::Table t;
    ASSERT_TRUE(t.open(dir / "PARALDBF.DBF", dbf::kParaldbf, OpenMode::exclusive()));
    dbf::Record r(dbf::kParaldbf);
    r.setText("SIFR", "77");
    r.setNumber("PAKIR", dec("9999999999"));
    ASSERT_TRUE(t.append(r));
    ASSERT_TRUE(t.close());
  }
  run("uvparaladd");
  EXPECT_EQ(offers().size(), 2u);
  EXPECT_EQ(logRows().size(), 4u);
  EXPECT_EQ(lines()[1],
            "Stop: Value Does Not Fit Field (PARALDBF.PAKIR: 9999999999 does not fit PAR:PAKIRANJE) 77");
  EXPECT_EQ(lines()[2], "Obvestilo: Dodanih:          2 zapisov!");
}

TEST_F(OfferTableImport, ACancelledImportKeepsTheRowsImportedSoFar) {
  writeOffers(someOffers(5));
  writeTable(std::vector<TableRow>(2500));
  ui.cancelAfterTicks(1);
  run("uvparaladd");
  EXPECT_EQ(offers().size(), 1000u);
  EXPECT_EQ(offers("paralela.bak").size(), 5u);
  EXPECT_EQ(logRows().size(), 1001u);
  EXPECT_EQ(lines()[1], "Obvestilo: Dodanih:      1.000 zapisov!");
  EXPECT_FALSE(fs::exists(dir / "paralela.uvoz"));
}

TEST_F(OfferTableImport, WithoutAnOffersFileOrASourceTheImportStartsFresh) {
  run("uvparaladd");
  EXPECT_TRUE(offers().empty());
  EXPECT_TRUE(fs::exists(dir / "PARALDBF.DBF"));
  EXPECT_FALSE(fs::exists(dir / "paralela.bak"));
  EXPECT_EQ(lines()[1], "Obvestilo: Dodanih:          0 zapisov!");
}

// ---- uvparvdat

Paralela storedOffer(int code, const char* idzdr, const char* ncena) {
  Paralela p = blankOffer();
  p.skup = 1;
  p.sifr = code;
  p.idzdr = idzdr;
  p.ncena = dec(ncena);
  p.ncena_az = dec(ncena);
  p.pddv = dec("22");
  p.kfaktor = Decimal(1);
  p.pakiranje = 10;
  p.em = "ampula";
  p.imezd = "Shranjeno";
  return p;
}

TEST_F(OfferTableImport, UpdatingSetsThePricesOfTheFirstOfferOfEachMedicine) {
  writeRegistry({{"CAP010", "10"}});
  writeOffers({storedOffer(1, "CAP010", "9"), storedOffer(2, "cap010", "9"), storedOffer(3, "OTHER0", "4")});
  TableRow capped;
  capped.sifr = "1";
  capped.idzdr = "CAP010";
  capped.ncena = "12";
  capped.popust = "5";
  capped.pddv = "9.5";
  capped.pakir = 7;
  capped.em = "tableta";
  TableRow unknown = capped;
  unknown.idzdr = "NOSUCH";
  writeTable({capped, unknown});

  run("uvparvdat");

  auto got = offers();
  ASSERT_EQ(got.size(), 3u);
  // The first offer in key order (without case) took the row; its item and
  // texts stay as stored.
  EXPECT_EQ(got[0].ncena.get(), Decimal(10));
  EXPECT_EQ(got[0].ncena_az.get(), Decimal(10));
  EXPECT_EQ(got[0].bcena_az.get(), dec("10.4025"));
  EXPECT_EQ(got[0].bcena.get(), dec("1.4861"));
  EXPECT_EQ(got[0].pakiranje.get(), 7);
  EXPECT_EQ(got[0].em.view(), "tableta");
  EXPECT_EQ(got[0].imezd.view(), "Shranjeno");
  EXPECT_EQ(got[0].sifr.get(), 1);
  EXPECT_EQ(got[1].ncena.get(), Decimal(9));
  EXPECT_EQ(got[2].ncena.get(), Decimal(4));
  auto log = logRows();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[1].number("CENAJAZMP"), Decimal(10));
  EXPECT_EQ(log[1].number("NCENA"), Decimal(12));
  EXPECT_TRUE(log[2].number("NCENA").isZero());
  // The row without an offer changed nothing, but it was handled.
  EXPECT_EQ(lines(), (std::vector<std::string>{"Obvestilo: Spremenjenih:          2 zapisov!", "open: LOG.XLS"}));
}

TEST_F(OfferTableImport, UpdatingWithAnInvalidVatRateTellsTheItemAndKeepsTheOldPrices) {
  writeOffers({storedOffer(1, "AB1234", "9")});
  TableRow r;
  r.sifr = "1234";
  r.idzdr = "AB1234";
  r.ncena = "15";
  r.pddv = "8.5";
  writeTable({r});
  run("uvparvdat");
  auto got = offers();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].ncena.get(), Decimal(9));
  EXPECT_EQ(got[0].pddv.get(), Decimal(22));
  ASSERT_GE(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].caption, "Napaka");
  EXPECT_EQ(ui.messages()[0].text, "Napačna stopnja DDV! Šifra zdravila: 1234    ");
  EXPECT_EQ(lines()[1], "Obvestilo: Spremenjenih:          1 zapisov!");
}

TEST_F(OfferTableImport, UpdatingWithoutANetPriceWritesTheOfferBackUnchanged) {
  writeOffers({storedOffer(1, "AB1234", "9")});
  TableRow r;
  r.idzdr = "AB1234";
  r.ncena = "0";
  r.pddv = "8.5";  // not even looked at
  writeTable({r});
  const auto before = offers();
  run("uvparvdat");
  auto got = offers();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(std::memcmp(&got[0], &before[0], sizeof(Paralela)), 0);
  EXPECT_EQ(lines()[0], "Obvestilo: Spremenjenih:          1 zapisov!");
}

}  // namespace
}  // namespace tdx::transfer::imports
