// reparalela: the offered medicines of a subgroup under their items.

#include <algorithm>

#include "report_fixture.h"
#include "runtime/stdfiles.h"

namespace tdx::reports::test {
namespace {

class ParallelReportTest : public ReportTest {
 protected:
  void SetUp() override {
    parties();
    groups();
  }

  void subgroup() {
    store(FileId::Podatki, {item(28, 1, 1, 2001, "Amlodipin 5 mg", [](Podatki& p) { p.koli = Decimal(12345); }),
                            item(28, 1, 1, 2002, "Brez ponudb"), item(28, 1, 1, 2003, "Cetirizin prvi sklop"),
                            item(28, 1, 2, 2003, "Cetirizin drugi sklop"), item(28, 2, 1, 2004, "Drugi")});
    store(FileId::Paralela,
          {offer(28, 1, 1, 2001, "A1", "2", [](Paralela& p) { p.ean = "3838989123456"; }),
           offer(28, 1, 1, 2001, "A9", "1", [](Paralela& p) { p.sort = kWithdrawnSort; }),
           offer(28, 1, 1, 2001, "A0", "0"), offer(28, 1, 1, 2003, "C1", "1"), offer(28, 1, 2, 2003, "C2", "1"),
           offer(28, 2, 1, 2004, "D1", "1")});
  }
};

TEST_F(ParallelReportTest, OffersUnderTheirItemsAllListed) {
  subgroup();
  start("reparalela");
  ASSERT_EQ(previews, 1) << ::testing::PrintToString(messages());
  EXPECT_TRUE(messages().empty());

  Row header = rowOf("00002001");
  EXPECT_EQ(header[22], "Amlodipin 5 mg");
  EXPECT_EQ(header[228], "12.345");
  // Zero price and withdrawn offers are listed like any other, in key order.
  const auto all = texts();
  std::vector<std::string> offers;
  for (const auto& t : all)
    if (t == "A0" || t == "A9" || t == "A1" || t == "C1" || t == "C2" || t == "D1") offers.push_back(t);
  EXPECT_EQ(offers, (std::vector<std::string>{"A0", "A9", "A1", "C1", "C2"}));
  EXPECT_EQ(rowOf("A1")[23], "3838989123456");
  EXPECT_EQ(rowOf("A1")[265], "2001");

  // No lot level: both lots' offers of code 2003 under one header; an item
  // without offers does not appear.
  EXPECT_EQ(count("00002003"), 1);
  EXPECT_EQ(count("Cetirizin prvi sklop"), 1);
  EXPECT_EQ(count("Cetirizin drugi sklop"), 0);
  EXPECT_EQ(count("Brez ponudb"), 0);
  EXPECT_EQ(count("ŽIG IN PODPIS:"), 1);
  EXPECT_EQ(count("SPECIFIKACIJA PONUDBE - PARALELE"), 1);
  EXPECT_EQ(shownName, (dir / "Paralele_28_1.pdf").string());
}

TEST_F(ParallelReportTest, ItemsWithoutOffersShowNothing) {
  store(FileId::Podatki, {item(28, 1, 1, 2002, "Brez ponudb")});
  store(FileId::Paralela, {offer(28, 2, 1, 2004, "D1", "1")});
  start("reparalela");
  EXPECT_EQ(previews, 0);
  EXPECT_TRUE(messages().empty());
}

// Called by the offers browser: on its context, modal, and the browser's
// own open files and record buffers are as they were.
TEST_F(ParallelReportTest, RunsOnTheCallersContextAndLeavesItsFilesAsTheyWere) {
  subgroup();
  session.globals().psk = 28;
  session.globals().pps = 1;
  rt::Context browser(session);
  rt::useFile(browser, FileId::Paralela);
  browser.buf(FileId::Paralela) = offer(28, 1, 1, 2001, "A1", "2");
  const RecordBuffer before = browser.buf(FileId::Paralela);

  ASSERT_TRUE(program.call("reparalela", browser));
  EXPECT_EQ(previews, 1);
  EXPECT_TRUE(ui.lastModal);
  EXPECT_EQ(ui.lastSpec.positionName, "reparalela");
  EXPECT_EQ(browser.uses(FileId::Paralela), 1);
  EXPECT_TRUE(browser.file(FileId::Paralela).isOpen());
  for (FileId id : {FileId::Podatki, FileId::Ponudnik, FileId::Kupec, FileId::Pskupine, FileId::Skupine}) {
    EXPECT_EQ(browser.uses(id), 0);
    EXPECT_FALSE(browser.file(id).isOpen());
  }
  EXPECT_TRUE(browser.buf(FileId::Paralela) == before);
  rt::releaseFile(browser, FileId::Paralela);
}

TEST_F(ParallelReportTest, ProgressCountsAgainstFiveHundredOffers) {
  std::vector<RecordBuffer> offers;
  for (int i = 0; i < 30; ++i) offers.push_back(offer(28, 1, 1, 2001, "X" + std::to_string(i), "1"));
  store(FileId::Podatki, {item(28, 1, 1, 2001, "Amlodipin")});
  store(FileId::Paralela, offers);
  start("reparalela");
  EXPECT_EQ(ui.progressLog(), (std::vector<std::string>{"title: Generating Report", "percent: 0% Completed", "text: ",
                                                        "percent:   1% Completed", "percent:   2% Completed",
                                                        "percent:   3% Completed", "percent:   4% Completed",
                                                        "percent:   5% Completed", "percent:   6% Completed"}));
}

TEST_F(ParallelReportTest, MoreThanFiveHundredOffersStayAtAHundredPercent) {
  std::vector<RecordBuffer> offers;
  for (int i = 0; i < 530; ++i) offers.push_back(offer(28, 1, 1, 2001, "X" + std::to_string(i), "1"));
  store(FileId::Podatki, {item(28, 1, 1, 2001, "Amlodipin")});
  store(FileId::Paralela, offers);
  start("reparalela");
  const auto& log = ui.progressLog();
  EXPECT_EQ(log.back(), "percent: 100% Completed");
  EXPECT_EQ(std::count(log.begin(), log.end(), "percent: 100% Completed"), 1);
  EXPECT_EQ(log.size(), 3u + 100u);
  EXPECT_EQ(previews, 1);
}

TEST_F(ParallelReportTest, CancellingShowsNothing) {
  std::vector<RecordBuffer> offers;
  for (int i = 0; i < 60; ++i) offers.push_back(offer(28, 1, 1, 2001, "X" + std::to_string(i), "1"));
  store(FileId::Podatki, {item(28, 1, 1, 2001, "Amlodipin")});
  store(FileId::Paralela, offers);
  ui.cancelAfterTicks(1);
  start("reparalela");
  EXPECT_EQ(previews, 0);
  EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace tdx::reports::test
