#include "exchange/dbf_table.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "exchange/dbf_header.h"
#include "sample_rows.h"
#include "support/temp_folder.h"

namespace tdx::dbf {
namespace {

using tdx::test::readFile;
using tdx::test::TempFolder;
using tdx::test::writeFile;

Decimal d(const char* text) { return *Decimal::parse(text); }

unsigned byteAt(const std::string& s, std::size_t i) { return static_cast<unsigned char>(s.at(i)); }
std::uint32_t u16(const std::string& s, std::size_t i) { return byteAt(s, i) | (byteAt(s, i + 1) << 8); }
std::uint32_t u32(const std::string& s, std::size_t i) { return u16(s, i) | (u16(s, i + 2) << 16); }

// A table of `rows` sample rows, closed.
void writeSamples(const std::filesystem::path& p, const Layout& layout, int rows) {
  Table t;
  ASSERT_TRUE(t.create(p, layout)) << t.error().driverText;
  ASSERT_TRUE(t.open(p, layout, OpenMode::exclusive())) << t.error().driverText;
  Record r(layout);
  for (int i = 0; i < rows; ++i) {
    test::fillSample(r, i);
    ASSERT_TRUE(t.append(r)) << t.error().driverText;
  }
  ASSERT_TRUE(t.close());
}

TEST(DbfTable, EveryLayoutRoundTrips) {
  TempFolder dir("dbf");
  for (const Layout* layout : {&kParaldbf, &kCenikdbf, &kPodatdbf, &kLog, &kZdrndbf}) {
    SCOPED_TRACE(std::string(layout->label));
    auto p = dir / std::string(layout->fileName);
    writeSamples(p, *layout, 3);
    EXPECT_EQ(std::filesystem::file_size(p), 32 + 32 * layout->columns.size() + 1 + 3 * layout->recordLength() + 1);

    Table t;
    ASSERT_TRUE(t.open(p, *layout)) << t.error().driverText;
    EXPECT_EQ(t.recordCount(), 3u);
    Record got(*layout), want(*layout);
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(t.readNext(got)) << t.error().driverText;
      test::fillSample(want, i);
      for (std::size_t k = 0; k < layout->columns.size(); ++k) {
        if (layout->columns[k].type == ColumnType::Character)
          EXPECT_EQ(got.text(int(k)), want.text(int(k))) << layout->columns[k].name;
        else
          EXPECT_EQ(got.number(int(k)), want.number(int(k))) << layout->columns[k].name;
      }
    }
    EXPECT_FALSE(t.readNext(got));
    EXPECT_EQ(t.error().code, err::EndOfFile);
  }
}

TEST(DbfTable, HeaderBytes) {
  TempFolder dir("dbf");
  auto p = dir / "LOG.DBF";
  writeSamples(p, kLog, 2);
  std::string f = readFile(p);
  const std::size_t headerLength = 32 + 32 * 10 + 1;
  Date now = today();
  EXPECT_EQ(byteAt(f, 0), 0x03u);
  EXPECT_EQ(int(byteAt(f, 1)), now.year - 1900);
  EXPECT_EQ(int(byteAt(f, 2)), now.month);
  EXPECT_EQ(int(byteAt(f, 3)), now.day);
  EXPECT_EQ(u32(f, 4), 2u);
  EXPECT_EQ(u16(f, 8), headerLength);
  EXPECT_EQ(u16(f, 10), 162u);
  EXPECT_EQ(byteAt(f, 29), 0xC8u);
  for (std::size_t i = 12; i < 32; ++i)
    if (i != 29) {
      EXPECT_EQ(byteAt(f, i), 0u) << "reserved byte " << i;
    }
  // CENAJAZMP: nine letters, NUL-padded to 11, type N, width 15, 4 decimals.
  std::string d3 = f.substr(32 + 32 * 2, 32);
  EXPECT_EQ(d3.substr(0, 11), std::string("CENAJAZMP\0\0", 11));
  EXPECT_EQ(d3[11], 'N');
  EXPECT_EQ(byteAt(d3, 16), 15u);
  EXPECT_EQ(byteAt(d3, 17), 4u);
  EXPECT_EQ(d3.substr(18), std::string(14, '\0'));
  EXPECT_EQ(f[32 + 32 * 0 + 11], 'C');
  EXPECT_EQ(byteAt(f, 32 + 16), 100u);
  EXPECT_EQ(f[headerLength - 1], '\x0D');
  EXPECT_EQ(f[headerLength], ' ');  // the first record's deletion flag
  EXPECT_EQ(f.back(), '\x1A');
  EXPECT_EQ(f.size(), headerLength + 2 * 162 + 1);
}

TEST(DbfTable, AnEmptyTableIsItsHeaderAndTheEndMarker) {
  TempFolder dir("dbf");
  auto p = dir / "PARALDBF.DBF";
  Table t;
  ASSERT_TRUE(t.create(p, kParaldbf));
  std::string f = readFile(p);
  EXPECT_EQ(f.size(), 32 + 32 * 23 + 1 + 1u);
  EXPECT_EQ(u32(f, 4), 0u);
  EXPECT_EQ(f.back(), '\x1A');
  ASSERT_TRUE(t.open(p, kParaldbf));
  Record r(kParaldbf);
  EXPECT_FALSE(t.readNext(r));
  EXPECT_EQ(t.error().code, err::EndOfFile);
}

TEST(DbfTable, ColumnsAreWrittenInTheirFixedForms) {
  TempFolder dir("dbf");
  auto p = dir / "PARALDBF.DBF";
  Table t;
  ASSERT_TRUE(t.create(p, kParaldbf));
  ASSERT_TRUE(t.open(p, kParaldbf, OpenMode::exclusive()));
  Record r(kParaldbf);
  r.setText("SIFR", "1234");
  r.setText("EAN", "38389895123459999");  // longer than 13: cut
  r.setText("imezd", "\xC8" "aj");         // names without regard to case
  r.setNumber("LKOLI", d("12.60"));
  r.setNumber("OKOLI", d("3.40"));
  r.setNumber("KFAKTOR", 1);
  r.setNumber("NCENA", d("-0.5"));
  r.setNumber("SORT", d("2.5"));
  r.setNumber("SKUP", d("-2.5"));
  ASSERT_TRUE(t.append(r));
  ASSERT_TRUE(t.close());

  std::string f = readFile(p);
  std::string row = f.substr(32 + 32 * 23 + 1, 898);
  auto field = [&](std::string_view name) {
    int off = 1;
    for (const auto& c : kParaldbf.columns) {
      if (c.name == name) return row.substr(std::size_t(off), std::size_t(c.width));
      off += c.width;
    }
    return std::string("?");
  };
  EXPECT_EQ(field("SIFR"), "1234    ");
  EXPECT_EQ(field("EAN"), "3838989512345");
  EXPECT_EQ(field("IMEZD"), "\xC8" "aj" + std::string(97, ' '));
  EXPECT_EQ(field("LKOLI"), "        13");
  EXPECT_EQ(field("OKOLI"), "         3");
  EXPECT_EQ(field("KFAKTOR"), "1.000000");
  EXPECT_EQ(field("NCENA"), "        -0.5000");
  EXPECT_EQ(field("SORT"), " 3");
  EXPECT_EQ(field("SKUP"), "-3");
  EXPECT_EQ(field("POPUST"), " 0.00");  // a cleared number is 0, not blank
}

TEST(DbfTable, ANumberThatDoesNotFitRefusesTheRowAndWritesNothing) {
  TempFolder dir("dbf");
  auto p = dir / "PARALDBF.DBF";
  Table t;
  ASSERT_TRUE(t.create(p, kParaldbf));
  ASSERT_TRUE(t.open(p, kParaldbf, OpenMode::exclusive()));
  Record r(kParaldbf);
  r.setText("SIFR", "1");
  ASSERT_TRUE(t.append(r));
  r.setText("SIFR", "2");
  r.setNumber("KFAKTOR", 10);
  EXPECT_FALSE(t.append(r));
  EXPECT_EQ(t.error().code, err::FieldOverflow);
  EXPECT_NE(t.error().driverText.find("KFAKTOR"), std::string::npos) << t.error().driverText;
  EXPECT_NE(t.error().driverText.find("10"), std::string::npos) << t.error().driverText;
  r.setNumber("KFAKTOR", 1);
  r.setText("SIFR", "3");
  ASSERT_TRUE(t.append(r));
  ASSERT_TRUE(t.close());

  ASSERT_TRUE(t.open(p, kParaldbf));
  EXPECT_EQ(t.recordCount(), 2u);
  ASSERT_TRUE(t.readNext(r));
  EXPECT_EQ(r.text("SIFR"), "1       ");
  ASSERT_TRUE(t.readNext(r));
  EXPECT_EQ(r.text("SIFR"), "3       ");
}

// The records of a hand-made LOG table: header from our writer, rows as given.
std::string logFile(const std::vector<std::string>& rows) {
  std::string f = encodeHeader(kLog, std::uint32_t(rows.size()), Date{2024, 3, 15});
  for (const auto& r : rows) f += r;
  return f + '\x1A';
}
std::string logRow(char flag, std::string_view cenajazmp) {
  std::string row(162, ' ');
  row[0] = flag;
  row.replace(1, 5, "IMEZD");
  row.replace(1 + 100 + 6, 15, std::string(cenajazmp).append(15, ' ').substr(0, 15));
  return row;
}

TEST(DbfTable, NumericFieldsReadByTheNumberRule) {
  TempFolder dir("dbf");
  auto p = dir / "LOG.DBF";
  const char* fields[] = {"               ", "       12.3456 ", "12a            ", "***************",
                          "  -0,5         ", "1.5E3          "};
  const char* values[] = {"0", "12.3456", "12", "0", "-0.5", "1.5"};
  std::vector<std::string> rows;
  for (const char* f : fields) rows.push_back(logRow(' ', f));
  writeFile(p, logFile(rows));
  Table t;
  ASSERT_TRUE(t.open(p, kLog)) << t.error().driverText;
  Record r(kLog);
  for (const char* v : values) {
    ASSERT_TRUE(t.readNext(r));
    EXPECT_EQ(r.number("CENAJAZMP"), d(v)) << v;
  }
}

TEST(DbfTable, DeletedRowsAreSkippedInFileOrderButKeepTheirNumbers) {
  TempFolder dir("dbf");
  auto p = dir / "LOG.DBF";
  writeFile(p, logFile({logRow(' ', "1"), logRow('*', "2"), logRow(' ', "3"), logRow('*', "4")}));
  Table t;
  ASSERT_TRUE(t.open(p, kLog));
  EXPECT_EQ(t.recordCount(), 4u);
  Record r(kLog);
  ASSERT_TRUE(t.readNext(r));
  EXPECT_EQ(r.number("CENAJAZMP"), 1);
  ASSERT_TRUE(t.readNext(r));
  EXPECT_EQ(r.number("CENAJAZMP"), 3);
  EXPECT_EQ(t.recordNumber(), 3u);
  EXPECT_FALSE(t.readNext(r));
  ASSERT_TRUE(t.read(2, r));
  EXPECT_TRUE(r.deleted());
  EXPECT_EQ(r.number("CENAJAZMP"), 2);
  EXPECT_FALSE(t.read(5, r));
  EXPECT_EQ(t.error().code, err::EndOfFile);
}

TEST(DbfTable, OpenRefusesWhatIsNotATableOfTheLayout) {
  TempFolder dir("dbf");
  const std::string good = logFile({logRow(' ', "1"), logRow(' ', "2")});
  auto patched = [&](std::size_t at, std::string bytes) {
    std::string f = good;
    f.replace(at, bytes.size(), bytes);
    return f;
  };
  struct Case {
    const char* what;
    std::string bytes;
    const char* reason;  // part of the text that says what did not match
  } cases[] = {
      {"empty file", "", "shorter"},
      {"a text file", std::string(200, 'x'), "version"},
      {"one row short", good.substr(0, good.size() - 1 - 162), "counts 2 records"},
      {"half a row more", good.substr(0, good.size() - 1) + std::string(80, ' '), "counts 2 records"},
      {"junk instead of the end marker", good.substr(0, good.size() - 1) + "x", "counts 2 records"},
      {"header length past the file", patched(8, std::string("\xFF\xFF", 2)), "header length"},
      {"record length wrong", patched(10, std::string("\xA3\x00", 2)), "record length"},
      {"a column renamed", patched(32 + 32, std::string("IDZDX", 5)), "column 2 is IDZDX, expected IDZDR"},
      {"a column's type", patched(32 + 32 * 7 + 11, "C"), "column 8 (SKUP) has type C, expected N"},
      {"a terminator after nine columns", patched(32 + 32 * 9, std::string("\x0D", 1)), "record length"},
  };
  for (const auto& c : cases) {
    auto p = dir / "LOG.DBF";
    writeFile(p, c.bytes);
    Table t;
    EXPECT_FALSE(t.open(p, kLog)) << c.what;
    EXPECT_EQ(t.error().code, err::InvalidFile) << c.what;
    EXPECT_NE(t.error().driverText.find(c.reason), std::string::npos) << c.what << ": " << t.error().driverText;
    EXPECT_FALSE(t.isOpen());
  }

  // A PARALDBF table is not a LOG table either.
  auto p = dir / "PARALDBF.DBF";
  writeSamples(p, kParaldbf, 1);
  Table t;
  EXPECT_FALSE(t.open(p, kLog));
  EXPECT_EQ(t.error().code, err::InvalidFile);
  EXPECT_NE(t.error().driverText.find("23 columns"), std::string::npos) << t.error().driverText;

  EXPECT_FALSE(t.open(dir / "MISSING.DBF", kLog));
  EXPECT_EQ(t.error().code, err::FileNotFound);
}

TEST(DbfTable, AcceptsTheFormsOtherWritersUse) {
  TempFolder dir("dbf");
  auto p = dir / "LOG.DBF";
  std::string f = logFile({logRow(' ', "7")});
  // Lower-case column names, no end marker, and a header with two terminator
  // bytes (as some engines write it).
  for (std::size_t k = 0; k < 10; ++k)
    for (std::size_t i = 0; i < 10; ++i) {
      char& c = f[32 + 32 * k + i];
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
  f.pop_back();
  f.insert(32 + 32 * 10 + 1, 1, '\0');
  f[8] = char(32 + 32 * 10 + 2);
  f[9] = char((32 + 32 * 10 + 2) >> 8);
  writeFile(p, f);
  Table t;
  ASSERT_TRUE(t.open(p, kLog)) << t.error().driverText;
  Record r(kLog);
  ASSERT_TRUE(t.readNext(r));
  EXPECT_EQ(r.number("CENAJAZMP"), 7);
  EXPECT_EQ(r.text("IMEZD").substr(0, 5), "IMEZD");
}

// A spreadsheet may save a column wider than we declare it: the file's own
// widths place the fields.
TEST(DbfTable, ReadsAndWritesWithTheFilesOwnWidths) {
  TempFolder dir("dbf");
  static constexpr Column wide[] = {
      {"IMEZD", ColumnType::Character, 120, 0}, {"IDZDR", ColumnType::Character, 6, 0},
      {"CENAJAZMP", ColumnType::Numeric, 16, 2}, {"NCENA", ColumnType::Numeric, 15, 4},
      {"POPUST", ColumnType::Numeric, 5, 2},     {"PDDV", ColumnType::Numeric, 5, 2},
      {"SIFR", ColumnType::Character, 8, 0},     {"SKUP", ColumnType::Numeric, 2, 0},
      {"POSK", ColumnType::Numeric, 2, 0},       {"SKLOP", ColumnType::Numeric, 3, 0},
  };
  static constexpr Layout wideLog{"LOG", "LOG.DBF", wide, {}};
  auto p = dir / "LOG.DBF";
  Table t;
  ASSERT_TRUE(t.create(p, wideLog));
  ASSERT_TRUE(t.open(p, wideLog, OpenMode::exclusive()));
  Record w(wideLog);
  w.setText("IMEZD", std::string(110, 'x'));
  w.setNumber("CENAJAZMP", d("10.5"));
  ASSERT_TRUE(t.append(w));
  ASSERT_TRUE(t.close());

  ASSERT_TRUE(t.open(p, kLog, OpenMode::exclusive())) << t.error().driverText;
  Record r(kLog);
  ASSERT_TRUE(t.readNext(r));
  EXPECT_EQ(r.text("IMEZD"), std::string(100, 'x'));  // cut to our width
  EXPECT_EQ(r.number("CENAJAZMP"), d("10.5"));
  r.setNumber("CENAJAZMP", d("1.255"));
  ASSERT_TRUE(t.append(r));
  ASSERT_TRUE(t.close());
  ASSERT_TRUE(t.open(p, wideLog));
  ASSERT_TRUE(t.read(2, w));
  EXPECT_EQ(w.number("CENAJAZMP"), d("1.26"));  // the file's two decimals
}

TEST(DbfTable, SharingModes) {
  TempFolder dir("dbf");
  auto p = dir / "LOG.DBF";
  writeSamples(p, kLog, 1);
  Table a, b;
  ASSERT_TRUE(a.open(p, kLog, OpenMode::exclusive()));
  EXPECT_FALSE(b.open(p, kLog));
  EXPECT_EQ(b.error().code, err::FileLocked);
  EXPECT_FALSE(b.create(p, kLog));
  EXPECT_EQ(b.error().code, err::FileLocked);
  EXPECT_FALSE(a.open(p, kLog));
  EXPECT_EQ(a.error().code, err::AlreadyOpen);
  ASSERT_TRUE(a.close());

  ASSERT_TRUE(a.open(p, kLog));
  ASSERT_TRUE(b.open(p, kLog));  // two shared opens
  Table c;
  EXPECT_FALSE(c.open(p, kLog, {Access::ReadWrite, Share::DenyWrite}));
  EXPECT_EQ(c.error().code, err::FileLocked);
  // Writing through a shared open while another open reads would interleave
  // with nobody's knowledge: refused, and both opens go on reading.
  Record r(kLog);
  EXPECT_FALSE(a.append(r));
  EXPECT_EQ(a.error().code, err::FileLocked);
  EXPECT_TRUE(b.readNext(r));
  EXPECT_TRUE(a.readNext(r));
  ASSERT_TRUE(b.close());
  // Alone, the shared open may write.
  ASSERT_TRUE(a.append(r));
  ASSERT_TRUE(a.close());
  ASSERT_TRUE(a.open(p, kLog, {Access::ReadOnly, Share::DenyNone}));
  EXPECT_EQ(a.recordCount(), 2u);
  EXPECT_FALSE(a.append(r));
  EXPECT_EQ(a.error().code, err::AccessDenied);
}

// Runs `work` in a child process that ends without closing anything, as a
// crash would.
template <class F>
void crashAfter(F work) {
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    work();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
}

TEST(DbfTable, ACrashNeverLeavesAHeaderThatCountsMissingRows) {
  TempFolder dir("dbf");
  auto p = dir / "PARALDBF.DBF";
  const std::uint64_t headerLength = 32 + 32 * 23 + 1;
  {
    Table t;
    ASSERT_TRUE(t.create(p, kParaldbf));
  }
  crashAfter([&] {
    Table t;
    if (!t.open(p, kParaldbf, OpenMode::exclusive())) _exit(1);
    Record r(kParaldbf);
    for (int i = 0; i < 700; ++i) t.append(r);  // several batches reach the file
    t.flush();
    for (int i = 0; i < 700; ++i) t.append(r);
    _exit(0);
  });
  std::string f = readFile(p);
  std::uint32_t counted = u32(f, 4);
  EXPECT_EQ(counted, 700u);
  EXPECT_GE((f.size() - headerLength) / 898, counted);

  // The flushed rows are all there; the file says plainly that it holds more.
  Table t;
  EXPECT_FALSE(t.open(p, kParaldbf));
  EXPECT_EQ(t.error().code, err::InvalidFile);
}

TEST(DbfTable, ReadingWhileWritingSeesTheRowsAppended) {
  TempFolder dir("dbf");
  auto p = dir / "LOG.DBF";
  Table t;
  ASSERT_TRUE(t.create(p, kLog));
  ASSERT_TRUE(t.open(p, kLog, OpenMode::exclusive()));
  Record r(kLog);
  for (int i = 1; i <= 3; ++i) {
    r.setNumber("SKUP", i);
    ASSERT_TRUE(t.append(r));
  }
  t.rewind();
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(t.readNext(r));
    EXPECT_EQ(r.number("SKUP"), i);
  }
  EXPECT_FALSE(t.readNext(r));
  ASSERT_TRUE(t.close());
}

TEST(DbfRecord, DoublesMeetDecimalsOnlyAtTheBoundary) {
  Record r(kParaldbf);
  int ncena = r.column("NCENA");
  r.setNumberFromDouble(ncena, 0.1 + 0.2);  // 0.30000000000000004
  EXPECT_EQ(r.number(ncena), d("0.3"));
  r.setNumberFromDouble(r.column("LKOLI"), 12.6);
  EXPECT_EQ(r.number("LKOLI"), 13);
  r.setNumber(ncena, d("12.3456"));
  EXPECT_DOUBLE_EQ(r.numberAsDouble(ncena), 12.3456);
  EXPECT_THROW(r.column("NOSUCH"), std::logic_error);
  EXPECT_THROW(r.text("NCENA"), std::logic_error);
  r.clear();
  EXPECT_EQ(r.number(ncena), 0);
  EXPECT_EQ(r.text("EAN"), std::string(13, ' '));
}

}  // namespace
}  // namespace tdx::dbf
