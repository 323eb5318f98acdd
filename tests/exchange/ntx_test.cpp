#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "exchange/ntx_build.h"
#include "exchange/ntx_format.h"
#include "exchange/ntx_key.h"
#include "exchange/ntx_read.h"
#include "support/temp_folder.h"

namespace tdx::ntx {
namespace {

using tdx::test::readFile;
using tdx::test::TempFolder;
using tdx::test::writeFile;

std::uint32_t u16(const std::string& s, std::size_t i) { return get16(s.data() + i); }
std::uint32_t u32(const std::string& s, std::size_t i) { return get32(s.data() + i); }

// Keys in record order: record i + 1 has keys[i].
KeyList listOf(const std::vector<std::string>& keys, int keySize) {
  KeyList list(keySize);
  for (std::size_t i = 0; i < keys.size(); ++i) list.add(keys[i], std::uint32_t(i + 1));
  return list;
}

void build(const std::filesystem::path& p, const std::vector<std::string>& keys, int keySize, bool unique = false,
           std::string expression = "EAN", int decimals = 0) {
  err::Error e;
  ASSERT_TRUE(writeIndex(p, {expression, keySize, decimals, unique}, listOf(keys, keySize), e)) << e.driverText;
}

// Everything from the first key not below `from`.
std::vector<Entry> scan(const std::filesystem::path& p, std::string_view from = {}) {
  Index ix;
  EXPECT_TRUE(ix.open(p)) << ix.error().driverText;
  EXPECT_TRUE(ix.seek(from)) << ix.error().driverText;
  std::vector<Entry> out;
  Entry e;
  while (ix.next(e)) out.push_back(e);
  EXPECT_EQ(ix.error().code, err::EndOfFile) << ix.error().driverText;
  return out;
}

std::string ean(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%013d", i);
  return buf;
}

// Walks the tree straight from the bytes and checks the shape a reader may
// rely on: leaves all at one depth, pages other than the root at least half
// full, the extra item zero but for its link, keys in order.
struct Shape {
  int leafDepth = -1;
  std::size_t keys = 0, pages = 0;
  std::string last;
};
void walk(const std::string& f, std::uint32_t page, int depth, bool root, Shape& s) {
  ASSERT_LT(std::size_t(page) + kPageSize, f.size() + 1);
  ++s.pages;
  const int keySize = int(u16(f, 14)), max = int(u16(f, 18));
  const char* p = f.data() + page;
  const int n = int(get16(p));
  ASSERT_LE(n, max);
  if (!root) {
    ASSERT_GE(n, max / 2) << "page " << page;
  }
  const char* extra = p + get16(p + 2 + 2 * n);
  EXPECT_EQ(get32(extra + 4), 0u) << "extra item's record number, page " << page;
  EXPECT_EQ(std::string(extra + 8, std::size_t(keySize)), std::string(std::size_t(keySize), '\0'));
  const bool leaf = get32(extra) == 0;
  if (leaf) {
    if (s.leafDepth < 0) s.leafDepth = depth;
    ASSERT_EQ(depth, s.leafDepth) << "page " << page;
  }
  for (int i = 0; i <= n; ++i) {
    const char* item = p + get16(p + 2 + 2 * i);
    if (!leaf) walk(f, get32(item), depth + 1, false, s);
    if (i == n) break;
    std::string key(item + 8, std::size_t(keySize));
    EXPECT_LE(s.last, key);
    s.last = key;
    ++s.keys;
  }
}

TEST(Ntx, AnEmptyIndexIsAHeaderAndOneEmptyPage) {
  TempFolder dir("ntx");
  auto p = dir / "KCRTNA.NTX";
  build(p, {}, 13);
  std::string f = readFile(p);
  ASSERT_EQ(f.size(), 2048u);
  EXPECT_EQ(u16(f, 0), 6u);
  EXPECT_EQ(u32(f, 4), 1024u);
  EXPECT_EQ(u32(f, 8), 0u);
  EXPECT_EQ(u16(f, 12), 21u);
  EXPECT_EQ(u16(f, 14), 13u);
  EXPECT_EQ(u16(f, 18), 42u);
  EXPECT_EQ(u16(f, 20), 21u);
  EXPECT_EQ(f.substr(22, 4), std::string("EAN\0", 4));
  EXPECT_EQ(u16(f, 1024), 0u);
  for (int i = 0; i <= 42; ++i) EXPECT_EQ(u16(f, 1024 + 2 + 2 * std::size_t(i)), 88u + 21u * unsigned(i));
  EXPECT_EQ(f.substr(1024 + 88), std::string(1024 - 88, '\0'));
  EXPECT_TRUE(scan(p).empty());
}

TEST(Ntx, OneLeafIsLaidOutAsTheFormatDescribes) {
  TempFolder dir("ntx");
  auto p = dir / "KCRTNA.NTX";
  build(p, {"3838989512345", "3838989500001", "5901234123457", "3838989500018", "0012345678905"}, 13);
  std::string f = readFile(p);
  ASSERT_EQ(f.size(), 2048u);
  EXPECT_EQ(u16(f, 0x400), 5u);
  EXPECT_EQ(u16(f, 0x402), 0x58u);
  EXPECT_EQ(u16(f, 0x40c), 0xc1u);
  EXPECT_EQ(u16(f, 0x402 + 2 * 42), 0x3cau);
  EXPECT_EQ(u32(f, 0x458), 0u);
  EXPECT_EQ(u32(f, 0x45c), 5u);
  EXPECT_EQ(f.substr(0x460, 13), "0012345678905");
  EXPECT_EQ(u32(f, 0x46d + 4), 2u);
  EXPECT_EQ(f.substr(0x4ac + 8, 13), "5901234123457");
  EXPECT_EQ(f.substr(0x4c1, 21), std::string(21, '\0'));

  std::vector<std::uint32_t> recnos;
  for (const auto& e : scan(p)) recnos.push_back(e.recno);
  EXPECT_EQ(recnos, (std::vector<std::uint32_t>{5, 2, 4, 1, 3}));
}

TEST(Ntx, TreesOfEverySizeKeepTheirShape) {
  TempFolder dir("ntx");
  struct Case {
    int keys, depth;
  } cases[] = {{1, 1}, {42, 1}, {43, 2}, {100, 2}, {1848, 2}, {1849, 3}, {79506, 3}, {100000, 4}};
  std::mt19937 rng(7);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    std::vector<std::string> keys;
    for (int i = 0; i < c.keys; ++i) keys.push_back(ean(i));
    std::shuffle(keys.begin(), keys.end(), rng);
    auto p = dir / "K.NTX";
    build(p, keys, 13);
    std::string f = readFile(p);
    Shape s;
    walk(f, u32(f, 4), 1, true, s);
    EXPECT_EQ(s.leafDepth, c.depth);
    EXPECT_EQ(s.keys, std::size_t(c.keys));
    EXPECT_EQ(f.size(), kPageSize * (1 + s.pages));  // no page unused
    EXPECT_EQ(u32(f, 4), f.size() - kPageSize);      // the root comes last

    auto all = scan(p);
    ASSERT_EQ(all.size(), std::size_t(c.keys));
    for (std::size_t i = 0; i < all.size(); ++i) {
      ASSERT_EQ(all[i].key, ean(int(i)));
      ASSERT_EQ(keys[all[i].recno - 1], all[i].key);
    }
    // Seeks land on the first key not below the value, wherever it sits.
    Index ix;
    ASSERT_TRUE(ix.open(p));
    for (int probe : {0, c.keys / 3, c.keys / 2, c.keys - 1}) {
      ASSERT_TRUE(ix.seek(ean(probe)));
      Entry e;
      ASSERT_TRUE(ix.next(e));
      EXPECT_EQ(e.key, ean(probe));
    }
    ASSERT_TRUE(ix.seek(ean(c.keys)));
    Entry e;
    EXPECT_FALSE(ix.next(e));
    EXPECT_EQ(ix.error().code, err::EndOfFile);
  }
}

TEST(Ntx, DuplicatesComeInRecordOrderAndUniqueKeepsTheFirst) {
  TempFolder dir("ntx");
  auto p = dir / "K.NTX";
  // Runs of equal keys far longer than a page, so that equal keys also sit
  // on both sides of the separators above them.
  std::vector<std::string> keys;
  for (int i = 0; i < 3000; ++i) keys.push_back(std::string(1, "BAC"[i % 3]) + "     ");
  build(p, keys, 6, false, "IDZDR");
  auto all = scan(p);
  ASSERT_EQ(all.size(), 3000u);
  for (std::size_t i = 1; i < all.size(); ++i) {
    ASSERT_LE(all[i - 1].key, all[i].key);
    if (all[i - 1].key == all[i].key) {
      ASSERT_LT(all[i - 1].recno, all[i].recno);
    }
  }
  auto fromB = scan(p, "B");
  ASSERT_FALSE(fromB.empty());
  EXPECT_EQ(fromB.front().recno, 1u);
  EXPECT_EQ(fromB.size(), 2000u);
  Index ix;
  ASSERT_TRUE(ix.open(p));
  std::uint32_t recno = 0;
  ASSERT_TRUE(ix.find("C", recno));
  EXPECT_EQ(recno, 3u);

  build(p, keys, 6, true, "IDZDR");
  auto unique = scan(p);
  ASSERT_EQ(unique.size(), 3u);
  EXPECT_EQ(unique[0].recno, 2u);
  EXPECT_EQ(unique[1].recno, 1u);
  EXPECT_EQ(unique[2].recno, 3u);
  EXPECT_EQ(readFile(p)[278], 1);
}

TEST(Ntx, NumericKeysSortByValue) {
  struct Case {
    const char* value;
    const char* key;
  } cases[] = {{"12.5", "0000012.50"}, {"0", "0000000.00"}, {"1234567.89", "1234567.89"},
               {"-1.25", ",,,,,,+.*'"}, {"-0.001", "0000000.00"}, {"-999999.99", ",######.##"}};
  for (const auto& c : cases) {
    auto key = numericKey(*Decimal::parse(c.value), 10, 2);
    ASSERT_TRUE(key) << c.value;
    EXPECT_EQ(*key, c.key) << c.value;
  }
  EXPECT_FALSE(numericKey(Decimal(10000000), 10, 2));

  TempFolder dir("ntx");
  auto p = dir / "K.NTX";
  std::vector<Decimal> values;
  for (int i = -600; i <= 600; i += 7) values.push_back(Decimal::fromUnits(i * 1013, 2));
  std::shuffle(values.begin(), values.end(), std::mt19937(3));
  std::vector<std::string> keys;
  for (const auto& v : values) keys.push_back(*numericKey(v, 10, 2));
  build(p, keys, 10, false, "NCENA", 2);
  EXPECT_EQ(u16(readFile(p), 16), 2u);  // the decimals
  auto all = scan(p);
  ASSERT_EQ(all.size(), values.size());
  for (std::size_t i = 1; i < all.size(); ++i)
    EXPECT_LT(values[all[i - 1].recno - 1], values[all[i].recno - 1]) << all[i - 1].key << " " << all[i].key;
}

TEST(Ntx, SeekComparesTheLeadingBytes) {
  TempFolder dir("ntx");
  auto p = dir / "KCRTNA.NTX";
  build(p, {"3838989512345", "3838989500001", "5901234123457", "3838989500018", "0012345678905"}, 13);
  EXPECT_EQ(scan(p, "3838").front().key, "3838989500001");
  EXPECT_EQ(scan(p, "383898951").front().key, "3838989512345");
  EXPECT_EQ(scan(p, "4").front().key, "5901234123457");
  EXPECT_TRUE(scan(p, "9").empty());
  EXPECT_EQ(scan(p, "").size(), 5u);
  Index ix;
  ASSERT_TRUE(ix.open(p));
  std::uint32_t recno = 0;
  ASSERT_TRUE(ix.find("3838989512345", recno));
  EXPECT_EQ(recno, 1u);
  EXPECT_FALSE(ix.find("38389895", recno));  // an exact find: blank-padded
  EXPECT_EQ(ix.error().code, err::RecordNotFound);
}

// Scans a damaged file to the end or the first error; a bounded loop, so a
// reader that walked in circles would fail here instead of hanging.
err::Error damageFound(const std::filesystem::path& p) {
  Index ix;
  if (!ix.open(p)) return ix.error();
  if (!ix.seek("")) return ix.error();
  Entry e;
  for (int i = 0; i < 1000000 && ix.next(e);) ++i;
  if (ix.error().code == err::EndOfFile) return err::Error{};
  return ix.error();
}

TEST(Ntx, DamagedFilesAreErrorsNotCrashes) {
  TempFolder dir("ntx");
  auto p = dir / "K.NTX";
  // 1849 keys of 13 bytes: three levels; leaves first, then the middle
  // pages, the root last.
  std::vector<std::string> keys;
  for (int i = 0; i < 1849; ++i) keys.push_back(ean(i));
  build(p, keys, 13);
  const std::string good = readFile(p);
  const std::size_t root = u32(good, 4), base = 88;
  const std::size_t rootItem0 = root + u16(good, root + 2);
  const std::size_t middle = u32(good, rootItem0);  // an inner page
  auto patched = [&](std::size_t at, std::uint32_t v, int bytes) {
    std::string f = good;
    for (int i = 0; i < bytes; ++i) f[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
    return f;
  };
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"signature", patched(0, 0x4242, 2)},
      {"key size 0", patched(14, 0, 2)},
      {"item size", patched(12, 22, 2)},
      {"too many keys per page", patched(18, 60, 2)},
      {"root outside the file", patched(4, 0x100000, 4)},
      {"root not on a page", patched(4, 1025, 4)},
      {"root is the header", patched(4, 0, 4)},
      {"cut short", good.substr(0, good.size() - 512)},
      {"count above max", patched(root, 43, 2)},
      {"slot outside the page", patched(root + 2, 1020, 2)},
      {"slot inside the table", patched(root + 2, 4, 2)},
      {"child is the root", patched(rootItem0, std::uint32_t(root), 4)},
      {"child is its own parent", patched(middle + base, std::uint32_t(middle), 4)},
      {"child outside the file", patched(rootItem0, 0x7FFFFC00, 4)},
      {"a leaf among inner items", patched(rootItem0, 0, 4)},
      {"leaf at another depth", patched(rootItem0, 1024, 4)},
      {"record number 0", patched(1024 + base + 4, 0, 4)},
      {"keys out of order", patched(1024 + base + 8, '9', 1)},
  };
  for (const auto& c : cases) {
    writeFile(p, c.bytes);
    err::Error e = damageFound(p);
    EXPECT_EQ(e.code, err::InvalidKey) << c.what << ": " << e.driverText;
    EXPECT_FALSE(e.driverText.empty()) << c.what;
  }
  writeFile(p, good);
  EXPECT_FALSE(damageFound(p)) << "the undamaged file reads";
}

}  // namespace
}  // namespace tdx::ntx
