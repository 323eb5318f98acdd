#include <gtest/gtest.h>

#include <map>

#include "export_fixture.h"

namespace tdx::transfer::test {
namespace {

const dbf::Layout& D = dbf::kPodatdbf;

Decimal dec(const char* text) { return *Decimal::parse(text); }

std::string padded(std::string_view text, std::size_t width) {
  std::string s(text);
  s.resize(width, ' ');
  return s;
}

class ItemsExportTest : public ExportTest {
 protected:
  std::string order() {
    std::string out;
    for (const auto& r : rows(D))
      out += r[col(D, "SKUP")] + r[col(D, "POSK")] + r[col(D, "SKLOP")] + r[col(D, "SIFR")] + "|";
    return out;
  }
};

TEST_F(ItemsExportTest, ItemsGoInGroupSubgroupLotCodeOrderWithTheirColumnsConverted) {
  store(FileId::Podatki,
        {item(29, 1, 1, 5), item(28, 2, 1, 5), item(28, 1, 2, 3), item(28, 1, 1, 9),
         item(28, 1, 1, 4, [](Podatki& p) {
           p.nazi = "\xC8" "aj";
           p.faob = "zeli\x9A\xE8" "e";
           p.enme = "vre\xE8" "ka";
           p.koli = dec("12.60");
           p.koliane = dec("99");  // not exported
           p.ncena = dec("1.2345");
           p.davek = dec("9.5");
           p.cena = dec("1.3518");
           p.doba = "12345678";
           p.proiz = "Krka";
           p.paral = "Lekadol";
           p.katal = "ABCDEFGHIJKLMNOP";
         })});
  run("izdatvdbf");
  EXPECT_EQ(order(), "28 1  1       4|28 1  1       9|28 1  2       3|28 2  1       5|29 1  1       5|");

  const std::map<std::string, std::string> expected = {
      {"SKUP", "28"},
      {"POSK", " 1"},
      {"SKLOP", "  1"},
      {"SIFR", "       4"},
      {"NAZI", padded("\xC8" "aj", 200)},
      {"FAOB", padded("zeli\x9A\xE8" "e", 250)},
      {"ENME", padded("vre\xE8" "ka", 30)},
      {"KOLI", "             13"},
      {"NCENA", "         1.2345"},
      {"DAVEK", " 9.50"},
      {"CENA", "         1.3518"},
      {"DOBA", "12345678"},
      {"PROIZ", padded("Krka", 30)},
      {"PARAL", padded("Lekadol", 40)},
      {"KATAL", "ABCDEFGHIJKL"},
  };
  ASSERT_EQ(expected.size(), D.columns.size());
  auto out = rows(D);
  for (const auto& [column, bytes] : expected) EXPECT_EQ(out[0][col(D, column)], bytes) << column;

  // The unique index keeps the first row of a code that occurs twice.
  std::vector<std::uint32_t> recnos;
  for (const auto& k : keys("KSIFRA.NTX")) recnos.push_back(k.recno);
  EXPECT_EQ(recnos, (std::vector<std::uint32_t>{3, 1, 4, 2}));

  EXPECT_EQ(tdx::test::readFile(dir / "PODATDBF.XLS"), tdx::test::readFile(dir / "PODATDBF.DBF"));
  EXPECT_EQ(transcript(), (std::vector<std::string>{"open: PODATDBF.XLS"}));
  EXPECT_EQ(ui.progressLog()[2], "text: Prenos podatkov v PodatDBF.dbf");
}

TEST_F(ItemsExportTest, WithoutItemsAnEmptyTableIsStillCopiedAndOpened) {
  run("izdatvdbf");
  EXPECT_TRUE(std::filesystem::exists(dir / "podatki.dat"));
  EXPECT_TRUE(rows(D).empty());
  EXPECT_TRUE(keys("KSIFRA.NTX").empty());
  EXPECT_EQ(tdx::test::readFile(dir / "PODATDBF.XLS"), tdx::test::readFile(dir / "PODATDBF.DBF"));
  EXPECT_EQ(transcript(), (std::vector<std::string>{"open: PODATDBF.XLS"}));
}

TEST_F(ItemsExportTest, ACancelledExportStillIndexesCopiesAndOpensWhatItWrote) {
  std::vector<RecordBuffer> items;
  for (int i = 0; i < 60; ++i) items.push_back(item(28, 1, 1, 100 + i));
  store(FileId::Podatki, items);
  ui.cancelAfterTicks(1);
  run("izdatvdbf");
  EXPECT_EQ(rows(D).size(), 25u);
  EXPECT_EQ(keys("KSIFRA.NTX").size(), 25u);
  EXPECT_EQ(tdx::test::readFile(dir / "PODATDBF.XLS"), tdx::test::readFile(dir / "PODATDBF.DBF"));
  EXPECT_EQ(transcript(), (std::vector<std::string>{"open: PODATDBF.XLS"}));
}

TEST_F(ItemsExportTest, ARowThatCannotBeWrittenIsToldNotHidden) {
  store(FileId::Podatki, {item(28, 1, 1, 76), item(28, 1, 1, 77, [](Podatki& p) { p.davek = dec("999.99"); })});
  run("izdatvdbf");
  EXPECT_EQ(transcript(),
            (std::vector<std::string>{"Stop: Value Does Not Fit Field (PODATDBF.DAVEK: 999.99 does not fit N(5,2)) 77",
                                      "open: PODATDBF.XLS"}));
  EXPECT_EQ(order(), "28 1  1      76|");
}

}  // namespace
}  // namespace tdx::transfer::test
