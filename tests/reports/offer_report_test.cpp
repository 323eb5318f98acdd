// rescenami: what the priced offer specification shows and counts.

#include <sqlite3.h>

#include <cstdio>
#include <regex>

#include "report_fixture.h"
#include "reports/report_start.h"
#include "records/store.h"

namespace tdx::reports::test {
namespace {

// Columns of the offer line (millimetres from the band's edge).
constexpr int kRegistryCode = 2, kNetPrice = 176, kGrossPrice = 228, kValue = 250, kOrder = 269, kWithdrawn = 238;
// Columns of the item line.
constexpr int kItemName = 2, kCode = 105, kFirstPrice = 264;

class OfferReportTest : public ReportTest {
 protected:
  void SetUp() override {
    parties();
    groups();
  }

  // One item for every rule of the offer lines.
  void subgroupWithEveryCase() {
    store(FileId::Podatki,
          {item(28, 1, 1, 1001, "Acetilsalicilna kislina 100 mg"),
           item(28, 1, 1, 1002, "Bisoprolol 5 mg", [](Podatki& p) { p.koli = Decimal(1000); }),
           item(28, 1, 1, 1003, "Ceftriakson 1 g", [](Podatki& p) { p.koli = Decimal(200); }),
           item(28, 1, 1, 1004, "Deksametazon 4 mg", [](Podatki& p) { p.koli = Decimal(3000); }),
           item(28, 1, 1, 1005, "Enalapril 10 mg", [](Podatki& p) { p.koli = Decimal(10); }),
           // Another subgroup: never printed.
           item(28, 2, 1, 1006, "Fluorouracil 50 mg/ml")});
    store(FileId::Paralela,
          {offer(28, 1, 1, 1002, "B0", "0"), offer(28, 1, 1, 1002, "BN", "-1"),
           offer(28, 1, 1, 1002, "B1", "2.5", [](Paralela& p) { p.ncena = D("2.2831"); }),
           offer(28, 1, 1, 1003, "C9", "1", [](Paralela& p) { p.sort = kWithdrawnSort; }),
           offer(28, 1, 1, 1003, "C1", "1.5", [](Paralela& p) {
             p.ncena = D("1.3699");
             p.sort = 1;
           }),
           offer(28, 1, 1, 1004, "D2", "5.1", [](Paralela& p) { p.ncena = D("4.6575"); }),
           offer(28, 1, 1, 1004, "D1", "4.9275", [](Paralela& p) { p.ncena = D("4.5"); }),
           offer(28, 1, 1, 1005, "E1", "12.3445", [](Paralela& p) {
             p.ncena = D("10");
             p.ncena_kf = D("11.274");
           }),
           offer(28, 2, 1, 1006, "F1", "7")});
    store(FileId::Opism, {description(1001, "Zahtevana farmacevtska oblika: tableta.")});
  }
};

TEST_F(OfferReportTest, ItemAndOfferLinesFollowThePriceRules) {
  subgroupWithEveryCase();
  start("rescenami");
  ASSERT_EQ(previews, 1) << ::testing::PrintToString(messages());
  EXPECT_TRUE(messages().empty()) << ::testing::PrintToString(messages());

  // An item without offers: its line, "Z.št." blank.
  Row a = rowOf("Acetilsalicilna kislina 100 mg");
  EXPECT_EQ(a[kCode], "00001001");
  EXPECT_EQ(a.count(kFirstPrice), 0u);
  EXPECT_EQ(a[176], "Zahtevana farmacevtska oblika: tableta.");

  // Zero and negative gross prices are not printed.
  EXPECT_EQ(count("B0"), 0);
  EXPECT_EQ(count("BN"), 0);
  Row b1 = rowOf("B1");
  EXPECT_EQ(b1[kGrossPrice], "2,5000 €");
  EXPECT_EQ(b1[kValue], "2.500,00 €");
  // "Z.št." shows the first offer in key order: the negative one.
  EXPECT_EQ(rowOf("Bisoprolol 5 mg")[kFirstPrice], "-001");

  // The withdrawn cheapest offer is marked and worth nothing on the page.
  Row c9 = rowOf("C9");
  EXPECT_EQ(c9.count(kValue), 0u);
  EXPECT_EQ(c9[kOrder], "99");
  EXPECT_EQ(rowOf("Odstop od ponudbe!").count(kWithdrawn), 1u);
  EXPECT_EQ(count("Odstop od ponudbe!"), 1);
  EXPECT_EQ(rowOf("C1")[kValue], "300,00 €");

  // Two valid offers: both printed, the cheaper first.
  EXPECT_EQ(rowOf("D1")[kValue], "14.782,50 €");
  EXPECT_EQ(rowOf("D2")[kValue], "15.300,00 €");
  const auto all = texts();
  EXPECT_LT(std::find(all.begin(), all.end(), "D1"), std::find(all.begin(), all.end(), "D2"));

  // The corrected net price is shown.
  Row e1 = rowOf("E1");
  EXPECT_EQ(e1[kNetPrice], "11,2740 €");
  EXPECT_EQ(e1[kValue], "123,45 €");  // 123.445, half away from zero

  EXPECT_EQ(count("F1"), 0);
  EXPECT_EQ(count("Fluorouracil 50 mg/ml"), 0);
}

TEST_F(OfferReportTest, TotalsCountEachItemsFirstCountedOfferWithTheUncorrectedNetPrice) {
  subgroupWithEveryCase();
  start("rescenami");
  ASSERT_TRUE(shown);
  // With VAT: B1 2500.00 + C1 300.00 + D1 14782.50 + E1 123.45 (D2 and the
  // withdrawn C9 add nothing). Without VAT: 2283.10 + 273.98 + 13500.00 +
  // 100.00 (E1's PAR:NCENA, not the 11.274 shown).
  Row totals = rowOf("Končna ponudbena vrednost (brez DDV/vrednost DDV/z DDV):");
  EXPECT_EQ(totals[168], "16.157,08 €");
  EXPECT_EQ(totals[207], "1.548,87 €");
  EXPECT_EQ(totals[245], "17.705,95 €");
  EXPECT_EQ(count("ŽIG IN PODPIS:"), 1);
}

TEST_F(OfferReportTest, HeaderOnEveryPageWithDateAndPageNumber) {
  std::vector<RecordBuffer> items;
  for (int i = 0; i < 120; ++i) items.push_back(item(28, 1, 1, 3000 + i, "Zdravilo " + std::to_string(1000 + i)));
  store(FileId::Podatki, items);
  start("rescenami");
  ASSERT_TRUE(shown);
  ASSERT_GE(shown->pages.size(), 3u);

  const pic::Date d = today();
  char date[16];
  std::snprintf(date, sizeof date, "%02d.%02d.%04d", d.day, d.month, d.year);
  for (std::size_t p = 0; p < shown->pages.size(); ++p) {
    std::vector<std::string> page;
    for (const auto& it : shown->pages[p].items)
      if (auto* t = std::get_if<report::TextItem>(&it)) page.push_back(t->text);
    auto has = [&](const std::string& s) { return std::find(page.begin(), page.end(), s) != page.end(); };
    EXPECT_TRUE(has("SPECIFIKACIJA PONUDBE S CENAMI - priloga Predračuna (OBR-8)")) << "page " << p + 1;
    EXPECT_TRUE(has(date)) << "page " << p + 1;
    char number[40];
    std::snprintf(number, sizeof number, "Stran:          %4zu", p + 1);
    EXPECT_TRUE(has(number)) << "page " << p + 1;
    EXPECT_TRUE(has("Lekarna Žalec d.o.o.") && has("Splošna bolnišnica Celje") && has("Splošni sklop"));
  }
  EXPECT_EQ(shownName, (dir / "OBR-8_28_1.pdf").string());
}

TEST_F(OfferReportTest, ASubgroupWithoutItemsShowsNothing) {
  store(FileId::Podatki, {item(28, 2, 1, 1, "Drugi sklop")});
  start("rescenami");
  EXPECT_EQ(previews, 0);
  EXPECT_TRUE(messages().empty()) << ::testing::PrintToString(messages());
  EXPECT_EQ(ui.progressLog().front(), "title: Generating Report");
}

TEST_F(OfferReportTest, ProgressTextsCountAgainstAThousandItems) {
  std::vector<RecordBuffer> items;
  for (int i = 0; i < 60; ++i) items.push_back(item(28, 1, 1, 3000 + i, "Zdravilo " + std::to_string(i)));
  store(FileId::Podatki, items);
  start("rescenami");
  EXPECT_EQ(ui.lastSpec.positionName, "rescenami");
  EXPECT_FALSE(ui.lastModal);
  EXPECT_EQ(ui.progressLog(), (std::vector<std::string>{"title: Generating Report", "percent: 0% Completed",
                                                        "text: Poteka priprava izpisa...", "percent:   1% Completed",
                                                        "percent:   2% Completed", "percent:   3% Completed",
                                                        "percent:   4% Completed", "percent:   5% Completed",
                                                        "percent:   6% Completed"}));
}

TEST_F(OfferReportTest, CancellingShowsNothing) {
  std::vector<RecordBuffer> items;
  for (int i = 0; i < 60; ++i) items.push_back(item(28, 1, 1, 3000 + i, "Zdravilo " + std::to_string(i)));
  store(FileId::Podatki, items);
  ui.cancelAfterTicks(1);
  start("rescenami");
  EXPECT_EQ(previews, 0);
  EXPECT_TRUE(messages().empty());
}

TEST_F(OfferReportTest, TheWorkFileIsRecreatedEmpty) {
  subgroupWithEveryCase();
  RecordBuffer old(FileId::Zdrapcen);
  old.clear();
  old.as<Zdrapcen>().sifr = 1;
  store(FileId::Zdrapcen, {old});
  start("rescenami");
  RecordFile f(fileDef(FileId::Zdrapcen), dir.path());
  ASSERT_TRUE(f.open());
  EXPECT_EQ(f.records(), 0);
}

// A work file that cannot be made is told in the stop box; going on, the
// report is made without it rather than the program ended over a file the
// report never writes to.
TEST_F(OfferReportTest, AWorkFileThatCannotBeMadeIsToldAndTheReportGoesOn) {
  subgroupWithEveryCase();
  std::filesystem::create_directory(dir / "zdrapcen.tps");
  start("rescenami");
  ASSERT_EQ(messages().size(), 1u) << ::testing::PrintToString(messages());
  EXPECT_EQ(messages()[0].rfind("Stop: ", 0), 0u) << messages()[0];
  EXPECT_EQ(previews, 1);
}

// The same item code ends one lot and begins the next: each item shows and
// counts only its own offers.
TEST_F(OfferReportTest, OffersOfTheSameCodeInTheNextLotStayWithTheirItem) {
  store(FileId::Podatki, {item(28, 1, 1, 500, "Prvi sklop"), item(28, 1, 2, 500, "Drugi sklop")});
  store(FileId::Paralela, {offer(28, 1, 2, 500, "L2", "3")});
  start("rescenami");
  ASSERT_TRUE(shown);
  EXPECT_EQ(count("L2"), 1);
  EXPECT_EQ(rowOf("Prvi sklop").count(kFirstPrice), 0u);
  Row totals = rowOf("Končna ponudbena vrednost (brez DDV/vrednost DDV/z DDV):");
  EXPECT_EQ(totals[245], "300,00 €");
}

// The items browser moving its highlight while the report runs changes
// pps; the report stays with the subgroup it began.
TEST_F(OfferReportTest, ASubgroupChangedDuringTheRunDoesNotMixIntoTheReport) {
  std::vector<RecordBuffer> items;
  for (int i = 0; i < 40; ++i) items.push_back(item(28, 1, 1, 3000 + i, "Prvi " + std::to_string(i)));
  for (int i = 0; i < 5; ++i) items.push_back(item(28, 2, 1, 4000 + i, "Drugi " + std::to_string(i)));
  store(FileId::Podatki, items);
  ui.afterTick = [this](int) { session.globals().pps = 2; };
  start("rescenami");
  ASSERT_TRUE(shown);
  EXPECT_EQ(count("Prvi 39"), 1);
  EXPECT_EQ(count("Drugi 0"), 0);
}

TEST_F(OfferReportTest, AReadErrorNamesTheItemsFileAndShowsThePagesSoFar) {
  std::vector<RecordBuffer> items;
  for (int i = 0; i < 200; ++i) items.push_back(item(28, 1, 1, 3000 + i, "Zdravilo " + std::to_string(1000 + i)));
  store(FileId::Podatki, items);
  ui.afterTick = [this](int tick) {
    if (tick != 1) return;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "podatki.dat").string().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "DROP TABLE PODATKI", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  };
  start("rescenami");
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_TRUE(std::regex_search(messages()[0], std::regex("^Record Retrieval Error: Error: \\(.*\\) attempting to access "
                                                          "a record from the podatki file\\.  Returning to previous window\\.$")))
      << messages()[0];
  ASSERT_EQ(previews, 1);
  EXPECT_EQ(count("Zdravilo 1000"), 1);
  EXPECT_EQ(count("Zdravilo 1199"), 0);
  EXPECT_EQ(count("ŽIG IN PODPIS:"), 1);
}

}  // namespace
}  // namespace tdx::reports::test
