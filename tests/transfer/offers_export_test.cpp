#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "exchange/dbf_table.h"
#include "export_fixture.h"
#include "runtime/batch_run.h"

namespace tdx::transfer::test {
namespace {

const dbf::Layout& P = dbf::kParaldbf;

Decimal dec(const char* text) { return *Decimal::parse(text); }

std::string padded(std::string_view text, std::size_t width) {
  std::string s(text);
  s.resize(width, ' ');
  return s;
}

// An item and two offers for it, one for an item that is not there.
class OffersExportTest : public ExportTest {
 protected:
  void storeSample() {
    store(FileId::Podatki,
          {item(28, 1, 1, 1234,
                [](Podatki& p) {
                  p.nazi = "\xC8" "aj \x9A" "ipkov";  // "Čaj šipkov"
                  p.faob = "zeli\x9A\xE8" "e";
                  p.koli = dec("12.60");
                  p.koliane = dec("3.40");
                }),
           item(28, 1, 1, 99, [](Podatki& p) { p.koli = dec("2.50"); })});
    store(FileId::Paralela,
          {offer(28, 1, 1, 1234,
                 [](Paralela& p) {
                   p.doba = "12345678";
                   p.imezd = "\x8E" "alfa 10 mg";
                   p.proiz = "Krka";
                   p.prpak = "\x9A" "katla, 20 tablet";
                   p.ean = "3838989123456";
                   p.idzdr = "A12345";
                   p.em = "tableta";
                   p.ncena = dec("12.3456");
                   p.popust = dec("5");
                   p.pddv = dec("9.5");
                   p.bcena = dec("13.5");
                   p.sort = 2;
                   p.pakiranje = 20;
                   p.kfaktor = dec("1");
                   p.ncena_kf = dec("246.912");
                   p.ncena_az = dec("99");  // never exported
                 }),
           offer(28, 1, 2, 777, [](Paralela& p) {
             p.kfaktor = dec("1");
             p.pakiranje = 1;
           })});
  }
};

TEST_F(OffersExportTest, NoOffersGiveAnEmptyTableWithEmptyIndexesAndZeroRows) {
  run("izparvdbf1");
  EXPECT_TRUE(rows(P).empty());
  EXPECT_TRUE(keys("KCRTNA.NTX").empty());
  EXPECT_TRUE(keys("KIDZDR.NTX").empty());
  EXPECT_EQ(transcript(), (std::vector<std::string>{": Dodanih: 0 zapisov!"}));
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].icon, rt::Icon::None);
  EXPECT_EQ(ui.messages()[0].buttons, (std::vector<std::string>{"&OK"}));
  // The missing record files were created empty on the way.
  EXPECT_TRUE(std::filesystem::exists(dir / "paralela.dat"));
  EXPECT_TRUE(std::filesystem::exists(dir / "podatki.dat"));
  EXPECT_EQ(ui.progressLog(), (std::vector<std::string>{"title: Processing Records", "percent: 0% Completed",
                                                        "text: Poteka prenos v paraldbf.dbf"}));
}

TEST_F(OffersExportTest, RowsCarryTheOfferAndItsItemInTheirColumns) {
  storeSample();
  // What both exports write alike, then the price columns each writes.
  const std::map<std::string, std::string> common = {
      {"SKUP", "28"}, {"POSK", " 1"}, {"SKLOP", "  1"}, {"SIFR", "1234    "},
      {"NAZI", padded("\xC8" "aj \x9A" "ipkov", 200)}, {"FAOB", padded("zeli\x9A\xE8" "e", 250)},
      {"DOBA", "12345678"}, {"IMEZD", padded("\x8E" "alfa 10 mg", 100)}, {"PROIZ", padded("Krka", 30)},
      {"PRPAK", padded("\x9A" "katla, 20 tablet", 150)}, {"EAN", "3838989123456"}, {"IDZDR", "A12345"},
      {"LKOLI", "        13"}, {"OKOLI", "         3"}, {"PAKIR", "        20"}, {"EM", padded("tableta", 30)},
  };
  const std::map<std::string, std::string> withPrices = {
      {"NCENA", "        12.3456"}, {"POPUST", " 5.00"}, {"PDDV", " 9.50"}, {"BCENA", "        13.5000"},
      {"SORT", " 2"}, {"KFAKTOR", "1.000000"}, {"NCENA_KF", "       246.9120"},
  };
  const std::map<std::string, std::string> withoutPrices = {
      {"NCENA", "         0.0000"}, {"POPUST", " 0.00"}, {"PDDV", " 0.00"}, {"BCENA", "         0.0000"},
      {"SORT", " 0"}, {"KFAKTOR", "0.000000"}, {"NCENA_KF", "         0.0000"},
  };
  for (auto [procedure, prices] : {std::pair{"izparvdbf1", &withPrices}, std::pair{"izparvdbf", &withoutPrices}}) {
    SCOPED_TRACE(procedure);
    ui.clear();
    run(procedure);
    EXPECT_EQ(transcript(), (std::vector<std::string>{": Dodanih: 2 zapisov!"}));
    auto out = rows(P);
    ASSERT_EQ(out.size(), 2u);
    auto expected = common;
    expected.insert(prices->begin(), prices->end());
    ASSERT_EQ(expected.size(), P.columns.size());
    for (const auto& [column, bytes] : expected) EXPECT_EQ(out[0][col(P, column)], bytes) << column;

    // The offer whose item is missing: the item's texts blank, its
    // quantities zero, the offer's own columns as they are.
    EXPECT_EQ(out[1][col(P, "SIFR")], "777     ");
    EXPECT_EQ(out[1][col(P, "SKLOP")], "  2");
    EXPECT_EQ(out[1][col(P, "NAZI")], std::string(200, ' '));
    EXPECT_EQ(out[1][col(P, "FAOB")], std::string(250, ' '));
    EXPECT_EQ(out[1][col(P, "LKOLI")], "         0");
    EXPECT_EQ(out[1][col(P, "OKOLI")], "         0");
    EXPECT_EQ(out[1][col(P, "PAKIR")], "         1");
  }
}

TEST_F(OffersExportTest, OffersComeInKeyOrderAndBothIndexesCoverEveryRow) {
  // Stored out of order: the export reads group, subgroup, lot, code, gross
  // price, sort position.
  auto o = [](std::int16_t g, std::int16_t s, std::int16_t l, std::int32_t code, const char* bcena, std::int16_t sort,
              const char* ean, const char* id) {
    return offer(g, s, l, code, [=](Paralela& p) {
      p.bcena = dec(bcena);
      p.sort = sort;
      p.ean = ean;
      p.idzdr = id;
    });
  };
  store(FileId::Paralela, {o(29, 1, 1, 5, "1", 0, "300", "B2"), o(28, 2, 1, 5, "1", 0, "100", "B1"),
                           o(28, 1, 2, 5, "1", 0, "200", "A1"), o(28, 1, 1, 9, "1", 0, "100", ""),
                           o(28, 1, 1, 5, "2", 0, "", "A1"), o(28, 1, 1, 5, "1", 3, "250", "C"),
                           o(28, 1, 1, 5, "1", 1, "100", "B1")});
  run("izparvdbf1");
  std::vector<std::string> order;
  for (const auto& r : rows(P))
    order.push_back(r[col(P, "SKUP")] + r[col(P, "POSK")] + r[col(P, "SKLOP")] + "|" + r[col(P, "SIFR")] + "|" +
                    r[col(P, "BCENA")].substr(9) + "|" + r[col(P, "SORT")]);
  EXPECT_EQ(order, (std::vector<std::string>{"28 1  1|5       |1.0000| 1", "28 1  1|5       |1.0000| 3",
                                             "28 1  1|5       |2.0000| 0", "28 1  1|9       |1.0000| 0",
                                             "28 1  2|5       |1.0000| 0", "28 2  1|5       |1.0000| 0",
                                             "29 1  1|5       |1.0000| 0"}));
  // Keys sorted, duplicates in record order.
  EXPECT_EQ(keys("KCRTNA.NTX"),
            (std::vector<IndexKey>{{std::string(13, ' '), 3}, {padded("100", 13), 1}, {padded("100", 13), 4},
                                   {padded("100", 13), 6}, {padded("200", 13), 5}, {padded("250", 13), 2},
                                   {padded("300", 13), 7}}));
  EXPECT_EQ(keys("KIDZDR.NTX"),
            (std::vector<IndexKey>{{"      ", 4}, {"A1    ", 3}, {"A1    ", 5}, {"B1    ", 1}, {"B1    ", 6},
                                   {"B2    ", 7}, {"C     ", 2}}));
}

TEST_F(OffersExportTest, AValueThatDoesNotFitItsColumnIsAFailedRowNamedAndNotCounted) {
  store(FileId::Paralela, {offer(28, 1, 1, 1234, [](Paralela& p) { p.kfaktor = dec("10"); }),
                           offer(28, 1, 1, 1235, [](Paralela& p) { p.kfaktor = dec("9.999999"); }),
                           offer(28, 1, 1, 123456789, [](Paralela& p) { p.kfaktor = dec("1"); })});
  run("izparvdbf1");
  EXPECT_EQ(transcript(),
            (std::vector<std::string>{
                "Stop: Value Does Not Fit Field (PARALDBF.KFAKTOR: 10 does not fit N(8,6)) 1234",
                "Stop: Value Does Not Fit Field (PARALDBF.SIFR: 123456789 does not fit C(8)) 123456789",
                ": Dodanih: 1 zapisov!"}));
  auto out = rows(P);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0][col(P, "KFAKTOR")], "9.999999");
  EXPECT_EQ(keys("KCRTNA.NTX").size(), 1u);

  // Without prices the factor is not written, so it cannot fail.
  ui.clear();
  run("izparvdbf");
  EXPECT_EQ(transcript().back(), ": Dodanih: 2 zapisov!");

  // Abort in the stop box ends the program.
  ui.clear();
  ui.answer("Abort");
  EXPECT_THROW(program.start("izparvdbf1"), rt::ProgramEnd);
  EXPECT_EQ(transcript().back(), "Halt: Value Does Not Fit Field (PARALDBF.KFAKTOR: 10 does not fit N(8,6)) 1234");
}

TEST_F(OffersExportTest, CancellingAfterSomeBatchesKeepsTheRowsWrittenAndIndexesThem) {
  std::vector<RecordBuffer> offers;
  for (int i = 0; i < 80; ++i)
    offers.push_back(offer(28, 1, 1, 1000 + i, [i](Paralela& p) { p.idzdr = std::to_string(900 - i); }));
  store(FileId::Paralela, offers);
  ui.cancelAfterTicks(2);
  run("izparvdbf1");
  EXPECT_EQ(transcript(), (std::vector<std::string>{": Dodanih: 50 zapisov!"}));
  auto out = rows(P);
  ASSERT_EQ(out.size(), 50u);
  EXPECT_EQ(out.back()[col(P, "SIFR")], "1049    ");
  auto ids = keys("KIDZDR.NTX");
  ASSERT_EQ(ids.size(), 50u);
  EXPECT_EQ(ids.front(), (IndexKey{"851   ", 50}));
  EXPECT_EQ(ids.back(), (IndexKey{"900   ", 1}));
  EXPECT_EQ(keys("KCRTNA.NTX").size(), 50u);
}

TEST_F(OffersExportTest, WithAThousandOffersTheProgressAdvancesByWholePercents) {
  std::vector<RecordBuffer> offers;
  for (int i = 0; i < 1000; ++i) offers.push_back(offer(28, 1, 1, i + 1));
  store(FileId::Paralela, offers);
  run("izparvdbf");
  std::vector<std::string> expected = {"title: Processing Records", "percent: 0% Completed",
                                       "text: Poteka prenos v paraldbf.dbf"};
  for (int p = 1; p <= 100; ++p) expected.push_back("percent: " + rt::BatchRun::percentText(p));
  expected.push_back("percent: Process Completed");
  EXPECT_EQ(ui.progressLog(), expected);
  EXPECT_EQ(transcript().back(), ": Dodanih: 1000 zapisov!");
}

TEST_F(OffersExportTest, ATargetHeldElsewhereIsToldAndLeftAsItWas) {
  storeSample();
  run("izparvdbf1");
  const std::string before = tdx::test::readFile(dir / "PARALDBF.DBF");
  dbf::Table held;
  ASSERT_TRUE(held.open(dir / "PARALDBF.DBF", P, OpenMode::exclusive()));
  ui.clear();
  EXPECT_THROW(program.start("izparvdbf1"), rt::ProgramEnd);
  EXPECT_EQ(transcript(),
            (std::vector<std::string>{"Stop: File Is Already Locked (PARALDBF.DBF is in use elsewhere)",
                                      "File Access Error: File (paraldbf.dbf) could not be opened.  Error: File Is "
                                      "Already Locked (32).",
                                      "Halt: Disk Error"}));
  held.close();
  EXPECT_EQ(tdx::test::readFile(dir / "PARALDBF.DBF"), before);
}

TEST_F(OffersExportTest, AnExistingTableInAnotherCaseIsTheOneReplaced) {
  storeSample();
  dbf::Table t;
  ASSERT_TRUE(t.create(dir / "paraldbf.dbf", P));
  run("izparvdbf1");
  EXPECT_FALSE(std::filesystem::exists(dir / "PARALDBF.DBF"));
  EXPECT_EQ(rows(P, "paraldbf.dbf").size(), 2u);
}

}  // namespace
}  // namespace tdx::transfer::test
