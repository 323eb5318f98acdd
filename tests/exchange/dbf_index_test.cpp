// Indexes built from tables, and records found through them.
#include <gtest/gtest.h>

#include "exchange/dbf_table.h"
#include "exchange/ntx_build.h"
#include "exchange/ntx_read.h"
#include "exchange/table_copy.h"
#include "support/temp_folder.h"

namespace tdx::dbf {
namespace {

using tdx::test::readFile;
using tdx::test::TempFolder;
using tdx::test::writeFile;

Decimal d(const char* text) { return *Decimal::parse(text); }

struct Offer {
  const char* ean;
  const char* idzdr;
  bool deleted;
};

void writeOffers(const std::filesystem::path& p, const std::vector<Offer>& offers) {
  Table t;
  ASSERT_TRUE(t.create(p, kParaldbf));
  ASSERT_TRUE(t.open(p, kParaldbf, OpenMode::exclusive()));
  Record r(kParaldbf);
  int n = 0;
  for (const auto& o : offers) {
    r.clear();
    r.setText("EAN", o.ean);
    r.setText("IDZDR", o.idzdr);
    r.setText("SIFR", std::to_string(++n));
    r.setDeleted(o.deleted);
    ASSERT_TRUE(t.append(r));
  }
  ASSERT_TRUE(t.close());
}

std::vector<std::uint32_t> recnosIn(const std::filesystem::path& p) {
  ntx::Index ix;
  EXPECT_TRUE(ix.open(p));
  EXPECT_TRUE(ix.seek(""));
  std::vector<std::uint32_t> out;
  ntx::Entry e;
  while (ix.next(e)) out.push_back(e.recno);
  return out;
}

TEST(DbfIndex, TheOffersIndexesCoverEveryRowDeletedOnesToo) {
  TempFolder dir("idx");
  auto p = dir / "PARALDBF.DBF";
  writeOffers(p, {{"5901234123457", "B", false},
                  {"3838989500001", "a", false},
                  {"3838989500001", "A", true},
                  {"0012345678905", "A", false}});
  Table t;
  ASSERT_TRUE(t.open(p, kParaldbf, OpenMode::exclusive()));
  err::Error e;
  ASSERT_TRUE(ntx::buildIndexes(t, e)) << e.driverText;
  EXPECT_EQ(recnosIn(dir / "KCRTNA.NTX"), (std::vector<std::uint32_t>{4, 2, 3, 1}));
  // Raw bytes, no case folding: "A" (0x41) before "B" before "a" (0x61).
  EXPECT_EQ(recnosIn(dir / "KIDZDR.NTX"), (std::vector<std::uint32_t>{3, 4, 1, 2}));
  std::string header = readFile(dir / "KIDZDR.NTX").substr(22, 6);
  EXPECT_EQ(header, std::string("IDZDR\0", 6));

  ntx::Index kcrtna, kidzdr;
  ASSERT_TRUE(kcrtna.open(dir / "KCRTNA.NTX"));
  ASSERT_TRUE(kidzdr.open(dir / "KIDZDR.NTX"));
  Record r(kParaldbf);
  r.setText("EAN", "3838989500001");
  ASSERT_TRUE(t.get(kcrtna, r)) << t.error().driverText;
  EXPECT_EQ(r.text("SIFR"), "2       ");
  EXPECT_EQ(t.recordNumber(), 2u);
  // The first key "A" is a deleted row: the next live one is found.
  r.clear();
  r.setText("IDZDR", "A");
  ASSERT_TRUE(t.get(kidzdr, r));
  EXPECT_EQ(r.text("SIFR"), "4       ");
  r.clear();
  r.setText("IDZDR", "C");
  EXPECT_FALSE(t.get(kidzdr, r));
  EXPECT_EQ(t.error().code, err::RecordNotFound);
  r.setText("EAN", "383898950000");  // a prefix is not the key
  EXPECT_FALSE(t.get(kcrtna, r));
  EXPECT_EQ(t.error().code, err::RecordNotFound);
}

TEST(DbfIndex, ANumericUniqueKeyFindsTheFirstRowOfAValue) {
  TempFolder dir("idx");
  auto p = dir / "CENIKDBF.DBF";
  Table t;
  ASSERT_TRUE(t.create(p, kCenikdbf));
  ASSERT_TRUE(t.open(p, kCenikdbf, OpenMode::exclusive()));
  Record r(kCenikdbf);
  const int codes[] = {1234, 7, 1234, -5, 99999999};
  for (int i = 0; i < 5; ++i) {
    r.setNumber("SIFR", codes[i]);
    r.setNumber("NCENA", Decimal(i + 1));
    ASSERT_TRUE(t.append(r));
  }
  err::Error e;
  ASSERT_TRUE(ntx::buildIndexes(t, e)) << e.driverText;
  EXPECT_EQ(recnosIn(dir / "KIDENT.NTX"), (std::vector<std::uint32_t>{4, 2, 1, 5}));

  ntx::Index kident;
  ASSERT_TRUE(kident.open(dir / "KIDENT.NTX"));
  EXPECT_TRUE(kident.unique());
  r.clear();
  r.setNumber("SIFR", d("1234.0"));
  ASSERT_TRUE(t.get(kident, r));
  EXPECT_EQ(r.number("NCENA"), 1);
  r.setNumber("SIFR", -5);
  ASSERT_TRUE(t.get(kident, r));
  EXPECT_EQ(r.number("NCENA"), 4);
  r.setNumber("SIFR", 123456789);  // wider than the column: nobody's key
  EXPECT_FALSE(t.get(kident, r));
  EXPECT_EQ(t.error().code, err::RecordNotFound);
}

TEST(DbfIndex, AnIndexOfAnotherTableIsRefused) {
  TempFolder dir("idx");
  auto offers = dir / "PARALDBF.DBF";
  writeOffers(offers, {{"1", "A", false}});
  Table t;
  ASSERT_TRUE(t.open(offers, kParaldbf, OpenMode::exclusive()));
  err::Error e;
  ASSERT_TRUE(ntx::buildIndexes(t, e));

  auto items = dir / "CENIKDBF.DBF";
  Table c;
  ASSERT_TRUE(c.create(items, kCenikdbf));
  ASSERT_TRUE(c.open(items, kCenikdbf));
  ntx::Index kcrtna;
  ASSERT_TRUE(kcrtna.open(dir / "KCRTNA.NTX"));
  Record r(kCenikdbf);
  EXPECT_FALSE(c.get(kcrtna, r));
  EXPECT_EQ(c.error().code, err::InvalidKey);

  // An index that points past the end of its table.
  ASSERT_TRUE(t.close());
  writeOffers(offers, {});
  ASSERT_TRUE(t.open(offers, kParaldbf));
  Record o(kParaldbf);
  o.setText("EAN", "1");
  EXPECT_FALSE(t.get(kcrtna, o));
  EXPECT_EQ(t.error().code, err::InvalidKey);
}

TEST(DbfIndex, AnEmptyTableGetsEmptyIndexes) {
  TempFolder dir("idx");
  auto p = dir / "PARALDBF.DBF";
  writeOffers(p, {});
  Table t;
  ASSERT_TRUE(t.open(p, kParaldbf, OpenMode::exclusive()));
  err::Error e;
  ASSERT_TRUE(ntx::buildIndexes(t, e));
  EXPECT_EQ(std::filesystem::file_size(dir / "KCRTNA.NTX"), 2048u);
  EXPECT_EQ(std::filesystem::file_size(dir / "KIDZDR.NTX"), 2048u);
}

TEST(TableCopy, ReplacesTheTargetByteForByte) {
  TempFolder dir("idx");
  auto p = dir / "PARALDBF.DBF";
  writeOffers(p, {{"1", "A", false}, {"2", "B", false}});
  writeFile(dir / "PARALDBF.XLS", std::string(100000, 'o'));
  err::Error e;
  ASSERT_TRUE(copyTable(p, dir / "PARALDBF.XLS", e)) << e.driverText;
  EXPECT_EQ(readFile(dir / "PARALDBF.XLS"), readFile(p));
  EXPECT_FALSE(std::filesystem::exists(dir / "PARALDBF.XLS.new"));

  // A table still being written is not copied half-done.
  Table t;
  ASSERT_TRUE(t.open(p, kParaldbf, OpenMode::exclusive()));
  EXPECT_FALSE(copyTable(p, dir / "PARALDBF.XLS", e));
  EXPECT_EQ(e.code, err::FileLocked);
  ASSERT_TRUE(t.close());
  EXPECT_FALSE(copyTable(dir / "NONE.DBF", dir / "NONE.XLS", e));
  EXPECT_EQ(e.code, err::FileNotFound);
}

}  // namespace
}  // namespace tdx::dbf
