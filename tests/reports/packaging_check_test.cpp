// preveripakiranje: offers whose medicine the registry lists with another
// pack size go to "zdrndbf.dbf", which is emptied at every run.

#include <gtest/gtest.h>

#include "exchange/dbf_table.h"
#include "report_fixture.h"

namespace tdx::reports::test {
namespace {

namespace fs = std::filesystem;

RecordBuffer medicine(const char* code, int units, const char* atc = "N02BE01") {
  RecordBuffer b(FileId::Zdravnet);
  b.clear();
  auto& r = b.as<Zdravnet>();
  r.idzdr = code;
  r.kolenote = std::int16_t(units);
  r.atc = atc;
  r.imeregistr = "Registrirano ime";
  return b;
}

class PackagingCheck : public ReportTest {
 protected:
  std::vector<dbf::Record> found() {
    std::vector<dbf::Record> out;
    dbf::Table t;
    EXPECT_TRUE(t.open(dir / "zdrndbf.dbf", dbf::kZdrndbf)) << t.error().describe();
    dbf::Record r(dbf::kZdrndbf);
    while (t.readNext(r)) out.push_back(r);
    return out;
  }
  void check() {
    ui.clear();
    program.start("preveripakiranje");
  }
};

TEST_F(PackagingCheck, OffersWithAnotherPackSizeThanTheRegistryAreListed) {
  store(FileId::Podatki, {item(28, 1, 1, 1234, "Paracetamol 500 mg"), item(28, 1, 2, 55, "Ibuprofen 400 mg")});
  store(FileId::Zdravnet, {medicine("AB1234", 10, "N02BE01"), medicine("CD5678", 20)});
  store(FileId::Paralela, {
                              offer(28, 1, 1, 1234, "AB1234", "1", [](Paralela& p) { p.pakiranje = 12; }),
                              offer(28, 1, 2, 55, "AB1234", "1", [](Paralela& p) { p.pakiranje = 30; }),
                              offer(28, 1, 2, 55, "CD5678", "1"),  // 20 units, as registered
                              offer(28, 1, 2, 55, "XX0000", "1"),  // not registered
                              offer(28, 1, 2, 99, "AB1234", "1"),  // no such item
                          });
  check();
  auto rows = found();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(std::string(rows[0].text("SIFRA")), "1234    ");
  EXPECT_EQ(rows[0].text("IDZDR"), "AB1234");
  EXPECT_EQ(std::string(cp1250::trimRight(rows[0].text("IMEREGISTR"))), "Zdravilo AB1234");
  EXPECT_EQ(rows[0].number("KOLENOTE"), Decimal(12));  // the offer's, not the registry's
  EXPECT_EQ(std::string(cp1250::trimRight(rows[0].text("ATC"))), "N02BE01");
  EXPECT_EQ(std::string(cp1250::trimRight(rows[0].text("UCINKOVINA"))), "Paracetamol 500 mg");
  EXPECT_TRUE(cp1250::trimRight(rows[0].text("STATUS")).empty());
  EXPECT_TRUE(cp1250::trimRight(rows[0].text("PAKIRANJE")).empty());
  EXPECT_TRUE(rows[0].number("NCENA").isZero());
  // Two offers of one medicine with a wrong pack size: two rows.
  EXPECT_EQ(rows[1].number("KOLENOTE"), Decimal(30));
  EXPECT_EQ(std::string(cp1250::trimRight(rows[2].text("UCINKOVINA"))), "");
  EXPECT_EQ(messages(), (std::vector<std::string>{": Preveri 3 zdravil!"}));
}

TEST_F(PackagingCheck, ACodeRegisteredInAnotherLetterCaseIsNotTheSameMedicine) {
  store(FileId::Podatki, {item(28, 1, 1, 1, "Postavka")});
  store(FileId::Zdravnet, {medicine("ab1234", 10)});
  store(FileId::Paralela, {offer(28, 1, 1, 1, "AB1234", "1")});
  check();
  EXPECT_TRUE(found().empty());
  EXPECT_EQ(messages(), (std::vector<std::string>{": Preveri 0 zdravil!"}));
}

TEST_F(PackagingCheck, WithoutOffersTheListIsEmptiedAndTheCountIsZero) {
  store(FileId::Podatki, {});
  store(FileId::Zdravnet, {medicine("AB1234", 10)});
  store(FileId::Paralela, {});
  {
    // What an earlier registry export left there.
    dbf::Table t;
    ASSERT_TRUE(t.create(dir / "zdrndbf.dbf", dbf::kZdrndbf));
    ASSERT_TRUE(t.open(dir / "zdrndbf.dbf", dbf::kZdrndbf, OpenMode::exclusive()));
    dbf::Record r(dbf::kZdrndbf);
    r.setText("IDZDR", "OLD000");
    ASSERT_TRUE(t.append(r));
    ASSERT_TRUE(t.close());
  }
  check();
  EXPECT_TRUE(found().empty());
  EXPECT_EQ(messages(), (std::vector<std::string>{": Preveri 0 zdravil!"}));
}

}  // namespace
}  // namespace tdx::reports::test
