// brparalelacsv: the semicolon offers file and the stored offers, each in a
// list of its own, through the headless window host.

#include <gtest/gtest.h>

#include "report_fixture.h"
#include "runtime/browse.h"

namespace tdx::reports::test {
namespace {

namespace fs = std::filesystem;
using rt::HeadlessWindow;

class CsvOffersBrowser : public ReportTest {
 protected:
  void browse(std::function<void(HeadlessWindow&)> script) {
    ui.windowHost().onOpen("brparalelacsv", std::move(script));
    program.start("brparalelacsv");
  }
  static std::vector<std::string> column(rt::BrowseList& l, int c) {
    std::vector<std::string> out;
    for (int r = 0; r < l.rows(); ++r) out.push_back(l.cell(r, c));
    return out;
  }
};

TEST_F(CsvOffersBrowser, AMissingFileIsCreatedEmptyAndTheCloseButtonLeaves) {
  store(FileId::Paralela, {});
  bool ran = false;
  browse([&](HeadlessWindow& w) {
    ran = true;
    EXPECT_EQ(w.title(), "Pregled CSV datoteke paralela.csv");
    EXPECT_EQ(w.list("?Browse:1")->rows(), 0);
    EXPECT_EQ(w.list("?Browse:2")->rows(), 0);
    EXPECT_EQ(w.text("?Close"), "&Close");
    EXPECT_TRUE(w.press("?Close"));
    EXPECT_FALSE(w.isOpen());
  });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(fs::exists(dir / "paralela.csv"));
  EXPECT_EQ(tdx::test::readFile(dir / "paralela.csv"), "");
  EXPECT_TRUE(messages().empty());
}

TEST_F(CsvOffersBrowser, TextsOfTheFileAreShownThroughNumericPictures) {
  store(FileId::Paralela, {});
  tdx::test::writeFile(dir / "paralela.csv",
                       "1234;AB1234;15,5;0;9,5;16,97\r\n00000077;CD5678;1234.56;2,5;22;x\r\nabc;;junk;;;\r\n");
  browse([&](HeadlessWindow& w) {
    auto* l = w.list("?Browse:1");
    ASSERT_EQ(l->rows(), 3);
    EXPECT_EQ(column(*l, 0), (std::vector<std::string>{"00001234", "00000077", ""}));
    EXPECT_EQ(column(*l, 1), (std::vector<std::string>{"AB1234", "CD5678", ""}));
    EXPECT_EQ(column(*l, 2), (std::vector<std::string>{"15,5000", "1.234,5600", ""}));
    EXPECT_EQ(column(*l, 3), (std::vector<std::string>{"", "2,50", ""}));
    EXPECT_EQ(column(*l, 4), (std::vector<std::string>{"9,50", "22,00", "0,00"}));
    EXPECT_EQ(column(*l, 5), (std::vector<std::string>{"16,9700", "", ""}));
    w.press("?Close");
  });
}

TEST_F(CsvOffersBrowser, OffersOfOneMedicineStandTogetherAndTheListsMoveApart) {
  store(FileId::Paralela, {
                              offer(28, 1, 1, 10, "CC0001", "3"),
                              offer(28, 1, 1, 20, "AA0001", "1"),
                              offer(28, 1, 2, 30, "cc0001", "2"),
                              offer(28, 1, 2, 40, "BB0001", "4"),
                              offer(28, 1, 3, 50, "AA0001", "5"),
                          });
  std::string csv;
  for (int i = 1; i <= 60; ++i) csv += std::to_string(i) + ";AA0001;" + std::to_string(i) + ";0;9,5;\r\n";
  tdx::test::writeFile(dir / "paralela.csv", csv);
  browse([&](HeadlessWindow& w) {
    auto* left = w.list("?Browse:1");
    auto* right = w.list("?Browse:2");
    EXPECT_EQ(column(*right, 0), (std::vector<std::string>{"AA0001", "AA0001", "BB0001", "CC0001", "cc0001"}));
    EXPECT_EQ(column(*right, 1), (std::vector<std::string>{"00000020", "00000050", "00000040", "00000010", "00000030"}));

    ASSERT_TRUE(w.move("?Browse:1", rt::ListMove::End));
    EXPECT_EQ(left->cell(left->current(), 0), "00000060");
    EXPECT_EQ(right->current(), 0);
    ASSERT_TRUE(w.move("?Browse:2", rt::ListMove::Down));
    ASSERT_TRUE(w.move("?Browse:2", rt::ListMove::Down));
    EXPECT_EQ(right->cell(right->current(), 0), "BB0001");
    EXPECT_EQ(left->cell(left->current(), 0), "00000060");
    ASSERT_TRUE(w.move("?Browse:1", rt::ListMove::Up));
    EXPECT_EQ(left->cell(left->current(), 0), "00000059");
    EXPECT_EQ(right->cell(right->current(), 0), "BB0001");

    // A typed letter finds the first offer whose code starts with it.
    ASSERT_TRUE(w.alert("?Browse:2", rt::AlertKey::Character, U'c'));
    EXPECT_EQ(right->cell(right->current(), 0), "CC0001");
    EXPECT_TRUE(w.alert("?Browse:2", rt::AlertKey::RightClick));
    EXPECT_EQ(w.lastPopup(), "");
    EXPECT_TRUE(w.isOpen());
    w.press("?Close");
  });
  // "&Close" left the highlighted offer in the buffer, read from the file.
  EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace tdx::reports::test
