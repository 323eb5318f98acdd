// The list over the semicolon file: pages read where they are, forwards and
// backwards, from the ends and from the thumb, in bounded memory.

#include "reports/csv_browse.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tdx::reports {
namespace {

std::vector<CsvColumn> codeOnly() { return {{rt::BrowseColumn{}, "@n_8", csv::Sifr, true}}; }

class CsvBrowseTest : public ::testing::Test {
 protected:
  void write(int lines, std::string extra = {}) {
    std::string text;
    for (int i = 1; i <= lines; ++i) text += std::to_string(i) + ";AB" + std::to_string(i) + ";1;0;9,5;\r\n";
    tdx::test::writeFile(dir / "paralela.csv", text + extra);
    ASSERT_TRUE(reader.open(dir / "paralela.csv"));
  }
  // The codes on the page, and the highlighted one.
  std::string page(const CsvBrowse& l) const {
    std::string out;
    for (int r = 0; r < l.rows(); ++r) out += (r ? " " : "") + std::string(r == l.current() ? "*" : "") + l.cell(r, 0);
    return out;
  }
  tdx::test::TempFolder dir{"csvbrowse"};
  csv::Reader reader;
};

TEST_F(CsvBrowseTest, MovesReadOnlyTheLinesThatScrollIn) {
  write(20);
  CsvBrowse l(reader, codeOnly(), 4);
  int newSelections = 0;
  l.onNewSelection = [&] { ++newSelections; };
  ASSERT_TRUE(l.reload());
  EXPECT_EQ(page(l), "*1 2 3 4");
  for (int i = 0; i < 4; ++i) l.down();
  EXPECT_EQ(page(l), "2 3 4 *5");
  l.pageDown();
  EXPECT_EQ(page(l), "6 7 8 *9");
  l.end();
  EXPECT_EQ(page(l), "17 18 19 *20");
  EXPECT_EQ(l.thumb(), 100);
  l.down();  // nothing after the last line
  EXPECT_EQ(page(l), "17 18 19 *20");
  for (int i = 0; i < 4; ++i) l.up();
  EXPECT_EQ(page(l), "*16 17 18 19");
  l.pageUp();
  EXPECT_EQ(page(l), "*12 13 14 15");
  l.scrollBy(2);
  EXPECT_EQ(page(l), "*14 15 16 17");
  EXPECT_EQ(l.current(), 0);  // its line scrolled away: the first on the page
  l.home();
  EXPECT_EQ(page(l), "*1 2 3 4");
  EXPECT_EQ(l.thumb(), 0);
  l.pageUp();
  EXPECT_EQ(page(l), "*1 2 3 4");
  EXPECT_GT(newSelections, 8);
}

TEST_F(CsvBrowseTest, TheThumbStandsForWhereTheLineIsInTheFile) {
  write(100);
  CsvBrowse l(reader, codeOnly(), 5);
  l.reload();
  l.dragThumb(50);
  ASSERT_EQ(l.rows(), 5);
  const int at = std::stoi(l.cell(l.current(), 0));
  EXPECT_NEAR(at, 50, 3);
  EXPECT_NEAR(l.thumb(), 50, 2);
  l.dragThumb(99);
  EXPECT_EQ(l.cell(l.rows() - 1, 0), "100");  // too few lines follow: the page ends with the last one
  l.dragThumb(100);
  EXPECT_EQ(page(l), "96 97 98 99 *100");
}

TEST_F(CsvBrowseTest, TheDosEndMarkAndAMissingLastLineEndAreNoLines) {
  write(3, "4;X;1;0;9,5\r\n\x1A");
  CsvBrowse l(reader, codeOnly(), 3);
  l.end();
  EXPECT_EQ(page(l), "2 3 *4");
  l.up();
  l.up();
  l.up();
  EXPECT_EQ(page(l), "*1 2 3");
}

TEST_F(CsvBrowseTest, ALineTooLongToReadIsReportedOnce) {
  write(3, std::string(70000, 'x') + "\r\n5;X;1\r\n");
  CsvBrowse l(reader, codeOnly(), 10);
  int errors = 0;
  l.onError = [&](const err::Error& e) {
    ++errors;
    EXPECT_EQ(e.code, err::InvalidFile);
  };
  l.reload();
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(page(l), "*1 2 3");
}

}  // namespace
}  // namespace tdx::reports
