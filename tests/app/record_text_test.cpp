#include "app/record_text.h"

#include <gtest/gtest.h>

#include <sstream>

#include "records/layouts.h"

namespace tdx::app::rtext {
namespace {

std::vector<Row> readAll(const std::string& text, std::optional<ReadError>* error = nullptr) {
  std::istringstream in(text);
  RowReader reader(in);
  std::vector<Row> rows;
  Row row;
  while (reader.next(row)) rows.push_back(row);
  if (error) *error = reader.error();
  return rows;
}

TEST(RecordText, QuotesOnlyWhatNeedsIt) {
  struct Case {
    const char* value;
    const char* written;
  } cases[] = {
      {"plain text", "plain text"},
      {"", ""},
      {"a;b", "\"a;b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"one\nline", "\"one\nline\""},
      {"  leading blanks", "  leading blanks"},
  };
  for (const auto& c : cases) {
    std::string out;
    appendQuoted(out, c.value);
    EXPECT_EQ(out, c.written);
    // Whatever is written reads back as the value it came from.
    auto rows = readAll("x;" + out + ";y\n");
    ASSERT_EQ(rows.size(), 1u) << c.value;
    EXPECT_EQ(rows[0].values, (std::vector<std::string>{"x", c.value, "y"}));
  }
}

TEST(RecordText, RowsSpanLinesAndSkipBlankOnes) {
  std::optional<ReadError> error;
  auto rows = readAll("\xEF\xBB\xBF" "A;B\r\n\r\n1;\"memo\r\nsecond; line\"\n\n2;;\n3;\"\"\"q\"\"\"", &error);
  EXPECT_FALSE(error);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].values, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(rows[0].line, 1);
  EXPECT_EQ(rows[1].values, (std::vector<std::string>{"1", "memo\r\nsecond; line"}));
  EXPECT_EQ(rows[1].line, 3);
  EXPECT_EQ(rows[2].values, (std::vector<std::string>{"2", "", ""}));
  EXPECT_EQ(rows[2].line, 6);
  EXPECT_EQ(rows[3].values, (std::vector<std::string>{"3", "\"q\""}));
  EXPECT_EQ(rows[3].line, 7);

  // A last line end cut to its carriage return still ends the line.
  for (const char* text : {"A;B\r\n1;2\r", "A;B\r\n1;\"2\"\r"}) {
    rows = readAll(text, &error);
    EXPECT_FALSE(error) << text;
    ASSERT_EQ(rows.size(), 2u) << text;
    EXPECT_EQ(rows[1].values, (std::vector<std::string>{"1", "2"})) << text;
  }
}

TEST(RecordText, MalformedRowsAreErrorsWithTheirLine) {
  struct Case {
    std::string text;
    int line, value;
    const char* reason;
  } cases[] = {
      {"A;B\n1;\"open\nstill open", 2, 1, "quoted value not closed"},
      {"A;B\n1;\"closed\"x\n", 2, 1, "text after the closing quote"},
      {"A\n" + std::string(kMaxLineBytes + 1, 'x') + "\n", 2, -1, "line longer than 1048576 bytes"},
      {"A\n\"" + std::string(kMaxLineBytes + 1, 'x') + "\"\n", 2, -1, "line longer than 1048576 bytes"},
  };
  for (const auto& c : cases) {
    std::optional<ReadError> error;
    readAll(c.text, &error);
    ASSERT_TRUE(error) << c.reason;
    EXPECT_EQ(error->line, c.line);
    EXPECT_EQ(error->value, c.value);
    EXPECT_EQ(error->reason, c.reason);
  }
}

TEST(RecordText, ValuesAreFormattedByTheirFieldType) {
  RecordBuffer buf(FileId::Paralela);
  auto& p = buf.as<Paralela>();
  p.skup = 28;
  p.sifr = -12345;
  p.ncena.setUnits(123456);  // 12.3456
  p.popust.setUnits(-50);    // -0.50
  p.imezd.set("\xE8" "rni;\"ov\"   ");  // "črni;"ov"" with trailing blanks
  std::string line;
  appendRecordLine(line, buf);
  EXPECT_EQ(line.substr(0, line.find(";\"")),
            "28;0;0;-12345;");
  EXPECT_NE(line.find(";\"črni;\"\"ov\"\"\";"), std::string::npos) << line;
  EXPECT_NE(line.find(";12.3456;-0.50;0.00;0.0000;0;0;0.0000;0.0000;0.000000;0.0000\n"), std::string::npos) << line;
  EXPECT_EQ(headerLine(buf.def()).substr(0, 28), "PAR:SKUP;PAR:POSK;PAR:SKLOP;");
  EXPECT_EQ(headerLine(fileDef(FileId::Opism)), "OMAT:SIFR;OMAT:OPIS");
}

const FieldDef& fieldOf(FileId id, std::string_view name) {
  const FileDef& def = fileDef(id);
  return def.fields[std::size_t(def.findField(name))];
}

TEST(RecordText, ValuesAreParsedOrRefusedWithAReason) {
  struct Case {
    FileId file;
    const char* field;
    std::string text;
    const char* stored;  // formatted back; nullptr when refused
    const char* reason = "";
  } cases[] = {
      {FileId::Paralela, "NCENA", "12,34565", "12.3457"},       // half away from zero
      {FileId::Paralela, "NCENA", "-0.00005", "-0.0001"},
      {FileId::Paralela, "NCENA", " 7 ", "7.0000"},
      {FileId::Paralela, "NCENA", "", "0.0000"},
      {FileId::Paralela, "NCENA", "9999999.99994", "9999999.9999"},
      {FileId::Paralela, "NCENA", "9999999.99995", nullptr, "9999999.99995 does not fit DECIMAL(11,4)"},
      {FileId::Paralela, "NCENA", "1.000.000", nullptr, "\"1.000.000\" is not a number"},
      {FileId::Paralela, "SKUP", "-32768", "-32768"},
      {FileId::Paralela, "SKUP", "32768", nullptr, "32768 is outside -32768..32767"},
      {FileId::Paralela, "SKUP", "2.5", nullptr, "\"2.5\" is not a whole number"},
      {FileId::Paralela, "PAKIRANJE", "2147483647", "2147483647"},
      {FileId::Paralela, "PAKIRANJE", "99999999999999999999", nullptr,
       "99999999999999999999 is outside -2147483648..2147483647"},
      {FileId::Paralela, "IMEZD", "Žarek čšž €", "Žarek čšž €"},
      {FileId::Paralela, "IMEZD", "Ωmega", nullptr, "\"Ω\" is not a Windows-1250 character"},
      {FileId::Paralela, "IMEZD", "\xC3", nullptr, "not valid UTF-8"},
      {FileId::Paralela, "IMEZD", std::string("a\0b", 3), nullptr, "contains a zero byte"},
      {FileId::Paralela, "IDZDR", "123456   ", "123456"},   // trailing blanks do not count
      {FileId::Paralela, "IDZDR", "1234567", nullptr, "text of 7 characters does not fit 6"},
      {FileId::Zdravnet, "FAOB", std::string(80, 'x'), nullptr},  // CSTRING(81) holds 80
      {FileId::Zdravnet, "FAOB", std::string(81, 'x'), nullptr, "text of 81 characters does not fit 80"},
      {FileId::Opism, "OPIS", std::string(5000, 'y'), nullptr},
      {FileId::Opism, "OPIS", std::string(4999, 'y') + "č", nullptr},  // characters, not UTF-8 bytes
      {FileId::Opism, "OPIS", std::string(5001, 'y'), nullptr, "text of 5001 characters does not fit 5000"},
  };
  for (const auto& c : cases) {
    RecordBuffer buf(c.file);
    const FieldDef& f = fieldOf(c.file, c.field);
    auto reason = parseValue(f, c.text, buf);
    if (c.reason[0]) {
      ASSERT_TRUE(reason) << c.field << " " << c.text;
      EXPECT_EQ(*reason, c.reason);
    } else {
      ASSERT_FALSE(reason) << c.field << " " << c.text << ": " << *reason;
      EXPECT_EQ(formatValue(buf, f), c.stored ? std::string(c.stored) : c.text);
    }
  }
}

TEST(RecordText, HeaderNamesFieldsOnce) {
  const FileDef& def = fileDef(FileId::Paralela);
  ReadError e;
  auto h = parseHeader(def, Row{1, {"ncena", " PAR:SKUP ", "Par:Imezd"}}, e);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->fields, (std::vector<int>{def.findField("NCENA"), 0, def.findField("IMEZD")}));

  EXPECT_FALSE(parseHeader(def, Row{1, {"PAR:SKUP", "PAR:BOGUS"}}, e));
  EXPECT_EQ(describe(e, def, nullptr), "line 1, PAR:BOGUS: not a field of PARALELA");
  EXPECT_FALSE(parseHeader(def, Row{1, {"RZDR:IDZDR"}}, e));
  EXPECT_EQ(describe(e, def, nullptr), "line 1, RZDR:IDZDR: not a field of PARALELA");
  EXPECT_FALSE(parseHeader(def, Row{1, {"SKUP", "par:skup"}}, e));
  EXPECT_EQ(describe(e, def, nullptr), "line 1, PAR:SKUP: named twice");
}

TEST(RecordText, RowsFillNamedFieldsAndClearTheRest) {
  const FileDef& def = fileDef(FileId::Paralela);
  ReadError e;
  auto h = *parseHeader(def, Row{1, {"PAR:NCENA", "PAR:SKUP"}}, e);
  RecordBuffer buf(def);
  buf.as<Paralela>().sort = 99;  // left over from an earlier row
  EXPECT_FALSE(parseRow(h, Row{2, {"1,5", "28"}}, buf));
  EXPECT_EQ(buf.as<Paralela>().skup.get(), 28);
  EXPECT_EQ(buf.as<Paralela>().ncena.units(), 15000);
  EXPECT_EQ(buf.as<Paralela>().sort.get(), 0);

  auto missing = parseRow(h, Row{3, {"1"}}, buf);
  ASSERT_TRUE(missing);
  EXPECT_EQ(describe(*missing, def, &h), "line 3, PAR:SKUP: missing value");
  auto extra = parseRow(h, Row{4, {"1", "2", "3"}}, buf);
  ASSERT_TRUE(extra);
  EXPECT_EQ(describe(*extra, def, &h), "line 4: 3 values, the header names 2");
  auto bad = parseRow(h, Row{5, {"x", "2"}}, buf);
  ASSERT_TRUE(bad);
  EXPECT_EQ(describe(*bad, def, &h), "line 5, PAR:NCENA: \"x\" is not a number");
}

}  // namespace
}  // namespace tdx::app::rtext
