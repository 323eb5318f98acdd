#include "exchange/csv_reader.h"

#include <gtest/gtest.h>

#include "exchange/number_text.h"
#include "support/temp_folder.h"

namespace tdx::csv {
namespace {

using tdx::test::TempFolder;
using tdx::test::writeFile;

std::string pad(std::string s, std::size_t width) {
  s.resize(width, ' ');
  return s;
}

std::vector<std::string> padded(std::vector<std::string> values) {
  for (std::size_t k = 0; k < values.size(); ++k) values[k] = pad(values[k], std::size_t(kOfferWidths[k]));
  return values;
}

TEST(CsvLine, FieldsAreCutToTheirWidths) {
  struct Case {
    const char* line;
    std::vector<std::string> fields;
  } cases[] = {
      {"123;AB1234;12,3456;0;9,5;13,5", {"123", "AB1234", "12,3456", "0", "9,5", "13,5"}},
      {"1;X;1;0,000000001;22", {"1", "X", "1", "0,000000", "22", ""}},
      {"123456789;ABCDEFGH;1;2;3;4", {"12345678", "ABCDEF", "1", "2", "3", "4"}},
      {"1234;AB1234;15,5;0;9,5;", {"1234", "AB1234", "15,5", "0", "9,5", ""}},
      {"1;2", {"1", "2", "", "", "", ""}},
      {"", {"", "", "", "", "", ""}},
      {"1;2;3;4;5;6;7;8", {"1", "2", "3", "4", "5", "6"}},
      {"\"12;3\";\"A\"\"B\";\"x\";4", {"12;3", "A\"B", "x", "4", "", ""}},
      {"\"ab\"cd;e", {"abcd", "e", "", "", "", ""}},
      {"\"unclosed;still one field", {"unclosed", "", "", "", "", ""}},
      {"a\"b;\"\"", {"a\"b", "", "", "", "", ""}},
      {" \"x\";", {" \"x\"", "", "", "", "", ""}},
      {"\xC8" "a;\xE8\x9A\x9E", {"\xC8" "a", "\xE8\x9A\x9E", "", "", "", ""}},
  };
  std::vector<std::string> fields;
  for (const auto& c : cases) {
    splitLine(c.line, kOfferWidths, fields);
    EXPECT_EQ(fields, padded(c.fields)) << c.line;
  }
}

TEST(CsvLine, TheOffersLineReadsAsNumbers) {
  std::vector<std::string> f;
  splitLine("123;AB1234;12,3456;0;9,5;13,5", kOfferWidths, f);
  EXPECT_EQ(readNumber(f[Sifr]), 123);
  EXPECT_EQ(f[Idzdr], "AB1234");
  EXPECT_EQ(readNumber(f[Ncena]), *Decimal::parse("12.3456"));
  EXPECT_EQ(readNumber(f[Popust]), 0);
  EXPECT_EQ(readNumber(f[Pddv]), *Decimal::parse("9.5"));
  splitLine("1;X;1;0,000000001", kOfferWidths, f);
  EXPECT_EQ(readNumber(f[Popust]), 0);  // its first 8 characters are 0,000000
}

std::vector<std::vector<std::string>> readAll(Reader& r, std::vector<std::uint64_t>* offsets = nullptr) {
  std::vector<std::vector<std::string>> lines;
  std::vector<std::string> f;
  while (r.readNext(f)) {
    lines.push_back(f);
    if (offsets) offsets->push_back(r.lineOffset());
  }
  EXPECT_EQ(r.error().code, err::EndOfFile) << r.error().driverText;
  return lines;
}

TEST(CsvReader, LinesEndWithCrLfOrLf) {
  TempFolder dir("csv");
  auto p = dir / "paralela.csv";
  writeFile(p, "1;A\r\n2;B\n\r\n3;C\r\n4;D");
  Reader r;
  ASSERT_TRUE(r.open(p));
  EXPECT_EQ(r.size(), 19u);
  std::vector<std::uint64_t> offsets;
  auto lines = readAll(r, &offsets);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0][Idzdr], pad("A", 6));  // no CR left in the last field
  EXPECT_EQ(lines[1][Idzdr], pad("B", 6));
  EXPECT_EQ(lines[2], padded({"", "", "", "", "", ""}));  // an empty line is a record
  EXPECT_EQ(lines[4][Sifr], pad("4", 8));  // the last line needs no line end
  EXPECT_EQ(offsets, (std::vector<std::uint64_t>{0, 5, 9, 11, 16}));
  EXPECT_EQ(r.position(), r.size());

  // Back to a line by its offset.
  ASSERT_TRUE(r.seek(11));
  std::vector<std::string> f;
  ASSERT_TRUE(r.readNext(f));
  EXPECT_EQ(f[Sifr], pad("3", 8));
  EXPECT_EQ(r.lineBytes(), 5u);
}

TEST(CsvReader, ADosEndOfFileIsNotARecord) {
  TempFolder dir("csv");
  auto p = dir / "paralela.csv";
  writeFile(p, "1;A\r\n\x1A");
  Reader r;
  ASSERT_TRUE(r.open(p));
  EXPECT_EQ(readAll(r).size(), 1u);
}

TEST(CsvReader, AnOverlongLineIsAnErrorWithItsNumber) {
  TempFolder dir("csv");
  auto p = dir / "paralela.csv";
  writeFile(p, "1;A\r\n" + std::string(200000, 'x') + "\r\n3;C\r\n");
  Reader r;
  ASSERT_TRUE(r.open(p));
  std::vector<std::string> f;
  ASSERT_TRUE(r.readNext(f));
  EXPECT_FALSE(r.readNext(f));
  EXPECT_EQ(r.error().code, err::InvalidFile);
  EXPECT_NE(r.error().driverText.find("line 2"), std::string::npos) << r.error().driverText;
  // The reader stands after the long line and can go on.
  ASSERT_TRUE(r.readNext(f));
  EXPECT_EQ(f[Sifr], pad("3", 8));
  EXPECT_EQ(r.lineNumber(), 3u);

  // A line of exactly the limit is still a line.
  writeFile(p, std::string(kMaxLineBytes, '7'));
  ASSERT_TRUE(r.open(p));
  ASSERT_TRUE(r.readNext(f));
  EXPECT_EQ(f[Sifr], "77777777");
}

TEST(CsvReader, AMissingFileIsCreatedEmptyWhenAsked) {
  TempFolder dir("csv");
  auto p = dir / "paralela.csv";
  Reader r;
  EXPECT_FALSE(r.open(p));
  EXPECT_EQ(r.error().code, err::FileNotFound);
  ASSERT_TRUE(r.open(p, true));
  EXPECT_TRUE(std::filesystem::exists(p));
  EXPECT_TRUE(readAll(r).empty());
}

// A list pages up by finding the line before the one it shows: walking
// backwards must meet exactly the line starts that reading forwards meets,
// across block boundaries, for a last line with or without its line end.
TEST(CsvReader, WalkingBackwardsMeetsTheLineStartsOfReadingForwards) {
  TempFolder dir("csv");
  for (bool lastLineEnded : {true, false}) {
    std::string bytes;
    std::vector<std::uint64_t> starts;
    for (int i = 0; i < 40; ++i) {
      starts.push_back(bytes.size());
      // Some lines longer than a read-ahead block, some empty.
      std::size_t len = i % 7 == 3 ? 70000 + std::size_t(i) : i % 5 == 0 ? 0 : std::size_t(i * 13);
      bytes += std::string(len, char('a' + i % 26));
      if (i % 2) bytes += '\r';
      if (i < 39 || lastLineEnded) bytes += '\n';
    }
    writeFile(dir / "lines.csv", bytes);
    Reader r;
    ASSERT_TRUE(r.open(dir / "lines.csv"));
    std::uint64_t at = r.size();
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
      std::uint64_t start = 99;
      ASSERT_TRUE(r.lineStartBefore(at, start));
      ASSERT_EQ(start, *it) << "before " << at;
      at = start;
    }
    std::uint64_t start = 99;
    ASSERT_TRUE(r.lineStartBefore(0, start));
    EXPECT_EQ(start, 0u);
    // The line that holds a byte in the middle of a long line.
    ASSERT_TRUE(r.lineStartBefore(starts[3] + 5000, start));
    EXPECT_EQ(start, starts[3]);
  }
}

}  // namespace
}  // namespace tdx::csv
