#include "runtime/pictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tdx::pic {
namespace {

Decimal D(const char* text) { return Decimal::parse(text).value(); }

struct NumberCase {
  const char* picture;
  const char* value;
  std::string shown;
};

// Every number picture the windows, lists and reports use, with the
// examples they are known by, zero in each "b" picture, and the edges of
// sign, rounding and width.
const std::vector<NumberCase> kNumbers = {
    {"@n02b", "5", "05"},
    {"@n02b", "0", "  "},
    {"@n02B", "12", "12"},
    {"@n02b", "100", "##"},
    {"@n04b", "12", "0012"},
    {"@n08b", "123", "00000123"},
    {"@n08b", "0", "        "},
    {"@n08", "123", "00000123"},
    {"@n08", "0", "00000000"},
    {"@n08", "-123", "-0000123"},
    {"@n010.", "1234", "000001.234"},
    {"@N1b", "7", "7"},
    {"@N1b", "0", " "},
    {"@N3", "7", "  7"},
    {"@N3", "100", "100"},
    {"@n6.b", "1234", " 1.234"},
    {"@n6.b", "0", "      "},
    {"@n6.b", "0.4", "      "},  // rounds to zero: blank, not "0"
    {"@n6.", "-0.4", "     0"},   // and never "-0"
    {"@n6.b", "1234567", "######"},
    {"@n7.b", "123456", "123.456"},
    {"@n10.", "1234567", " 1.234.567"},
    {"@n10.", "0", "         0"},
    {"@n10.", "-1234", "    -1.234"},
    {"@n10.b", "0", "          "},
    {"@n_5`2", "9.5", " 9,50"},
    {"@n_5`2", "0.005", " 0,01"},   // half away from zero
    {"@n_5`2", "-0.005", "-0,01"},
    {"@n_5`2b", "0", "     "},
    {"@n5`2", "9.5", " 9,50"},
    {"@n_6`2~%~", "9.5", " 9,50%"},
    {"@n_6`2~%~", "22", "22,00%"},
    {"@n_6`2~%~", "-0.5", "-0,50%"},
    {"@n_6`2~%~", "1000", "######"},  // "_" fill: no full stops, so 1000,00% is too wide
    {"@N_7`2~ %~B", "9.5", " 9,50 %"},
    {"@N_7`2~ %~B", "0", "       "},
    {"@N_10`6~ %~B", "1", "1,000000 %"},
    {"@n_8`6b", "1", "1,000000"},
    {"@n14`4b", "1234.5", "    1.234,5000"},
    {"@n15`4b", "1234.5", "     1.234,5000"},
    {"@n15`4b", "0", "               "},
    {"@n15`4", "12.3456", "        12,3456"},
    {"@n15`4~ €~B", "1234.5", "   1.234,5000 €"},
    {"@n15`4~ €~B", "0.5", "       0,5000 €"},
    {"@n15`4~ €~B", "0", "               "},
    {"@n13`4~ €~B", "1234.5", " 1.234,5000 €"},
    {"@n13`4~ €~B", "12345678", "#############"},
    {"@N15.`4~ €~B", "1234.5", "   1.234,5000 €"},
    {"@n15`2~ €~B", "1234.5", "     1.234,50 €"},
    {"@n15`2~ €~B", "1234567.891", " 1.234.567,89 €"},
    {"@n12`2~ €~B", "1234.5", "  1.234,50 €"},
    {"@n12`2~ €~B", "-1234.5", " -1.234,50 €"},
    {"@n~EUR ~10`2", "5", "  EUR 5,00"},
    {"@n~EUR ~010`2", "5", "EUR 005,00"},
};

TEST(PictureFormat, EveryNumberPictureOfTheSystem) {
  for (const auto& c : kNumbers) {
    SCOPED_TRACE(std::string(c.picture) + " " + c.value);
    const std::string shown = format(c.picture, D(c.value));
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(charCount(shown), static_cast<std::size_t>(picture(c.picture).width));
  }
}

TEST(PictureFormat, DatesTimesTextsAndPageNumbers) {
  EXPECT_EQ(format("@d06.", Date{5, 3, 2022}), "05.03.2022");
  EXPECT_EQ(format("@d06.", Date{31, 12, 2022}), "31.12.2022");
  EXPECT_EQ(format("@d06.b", Date{}), "          ");
  EXPECT_EQ(format("@d06.b", Date{29, 2, 2024}), "29.02.2024");
  EXPECT_EQ(format("@d6.", Date{5, 3, 2022}), " 5.03.2022");
  // An impossible date is never shown as some other date.
  EXPECT_EQ(format("@d06.", Date{29, 2, 2023}), "##########");
  EXPECT_EQ(format("@d06.", Date{}), "##########");

  EXPECT_EQ(format("@t4", Time{9, 5, 9}), " 9:05:09");
  EXPECT_EQ(format("@T4", Time{14, 5, 9}), "14:05:09");
  EXPECT_EQ(format("@t04", Time{9, 5, 9}), "09:05:09");
  EXPECT_EQ(format("@t4", Time{24, 0, 0}), "########");

  EXPECT_EQ(format("@s3", std::string_view("abcdef")), "abc");
  EXPECT_EQ(format("@s3", std::string_view("čšžČŠŽ")), "čšž");  // characters, not bytes
  EXPECT_EQ(format("@s10", std::string_view("ab")), "ab");

  const Picture& page = picture("@pStran:          <<<#p");
  EXPECT_EQ(page.width, 20);
  EXPECT_EQ(formatPage(page, 7), "Stran:             7");
  EXPECT_EQ(formatPage(page, 1234), "Stran:          1234");
  EXPECT_EQ(formatPage(page, 12345), "Stran:          ####");
}

TEST(PictureFormat, AValueOfTheWrongKindIsRefused) {
  EXPECT_THROW(format("@s5", Decimal(1)), BadPicture);
  EXPECT_THROW(format("@n5", std::string_view("x")), BadPicture);
  EXPECT_THROW(format("@n5", Date{1, 1, 2000}), BadPicture);
  EXPECT_THROW(parse("@d06.", "1"), BadPicture);
}

TEST(PictureToken, PartsAreReadOnceAndCached) {
  const Picture& p = picture("@n15`4~ €~B");
  EXPECT_EQ(p.kind, Kind::Number);
  EXPECT_EQ(p.width, 15);
  EXPECT_EQ(p.decimals, 4);
  EXPECT_TRUE(p.grouping);
  EXPECT_EQ(p.after, " €");
  EXPECT_TRUE(p.blankZero);
  EXPECT_EQ(p.numberWidth(), 13);
  EXPECT_EQ(&picture("@n15`4~ €~B"), &p);

  const Picture& rate = picture("@n_6`2~%~");
  EXPECT_EQ(rate.fill, '_');
  EXPECT_FALSE(rate.grouping);
  EXPECT_FALSE(rate.blankZero);
}

TEST(PictureToken, MalformedTokensAreRefusedWithAReason) {
  for (const char* bad : {"", "@", "@x5", "@n", "@n0", "@n0b", "@n5`", "@n5`x", "@n5.2", "@n5bb", "@n~abc",
                          "@n3~abc~", "@n4`3", "@n~EUR ~011`8", "@n999", "@n5`99", "@s", "@s0", "@s5x", "@d5.", "@d06.x", "@t3",
                          "@t4b", "@pStranp", "@p<#", "@p<a#p", "n5"}) {
    SCOPED_TRACE(bad);
    std::string why;
    EXPECT_FALSE(parsePicture(bad, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_THROW(picture(bad), BadPicture);
  }
}

struct EntryCase {
  const char* picture;
  const char* typed;
  const char* value;  // nullptr: refused
};

const std::vector<EntryCase> kEntries = {
    {"@n15`4~ €~B", "1.234,5000 €", "1234.5"},
    {"@n15`4~ €~B", "15,5", "15.5"},
    {"@n15`4~ €~B", "15.5", "15.5"},  // a single point is a decimal point
    {"@n15`4~ €~B", "1234.5", "1234.5"},
    {"@n15`4~ €~B", "123.456,5", "123456.5"},
    {"@n15`4~ €~B", "1.234.567,5", nullptr},  // 1.234.567,5000 € is 16 wide
    {"@n15`4~ €~B", "1.234.567", nullptr},
    {"@n15`2~ €~B", "1.234.567", "1234567"},
    {"@n15`4~ €~B", "€ 12", "12"},
    {"@n15`4~ €~B", "-3,25", "-3.25"},
    {"@n15`4~ €~B", ",5", "0.5"},
    {"@n15`4~ €~B", "", "0"},
    {"@n15`4~ €~B", "   ", "0"},
    {"@n15`4", "12,34567", "12.34567"},  // exact; the field rounds it
    {"@N_7`2~ %~B", "9,5 %", "9.5"},
    {"@N_7`2~ %~B", "9.5%", "9.5"},
    {"@n_6`2~%~", "+22", "22"},
    {"@n5`2", "9,50", "9.5"},
    {"@n10.", "1.234", "1234"},  // as the quantity field shows it
    {"@n10.", "1.234.567", "1234567"},
    {"@n10.", "15.5", "15.5"},
    {"@n10.", " 1.234.567", "1234567"},
    {"@n08", "00000123", "123"},
    {"@n010.", "000001.234", "1234"},  // zeros of the fill are no group of thousands
    {"@n15`4~ €~B", "abc", nullptr},
    {"@n15`4~ €~B", "1,2,3", nullptr},
    {"@n15`4~ €~B", "1.23,5", nullptr},  // full stops not between thousands
    {"@n15`4~ €~B", "1.2.3", nullptr},
    {"@n15`4~ €~B", "12,5.3", nullptr},
    {"@n15`4~ €~B", "1e5", nullptr},
    {"@n15`4~ €~B", "-", nullptr},
    {"@n15`4~ €~B", ".", nullptr},
    {"@n15`4~ €~B", "--5", nullptr},
    {"@n10.", "12345678901", nullptr},  // does not fit the field
    {"@n_6`2~%~", "1000", nullptr},
    {"@n15`4~ €~B", "123456789012345678901234567890123", nullptr},
};

TEST(PictureEntry, TypedTextIsReadBack) {
  for (const auto& c : kEntries) {
    SCOPED_TRACE(std::string(c.picture) + " [" + c.typed + "]");
    Entry e = parse(c.picture, c.typed);
    if (c.value) {
      ASSERT_TRUE(e) << e.error;
      EXPECT_EQ(*e.value, D(c.value));
    } else {
      EXPECT_FALSE(e);
      EXPECT_FALSE(e.error.empty());
    }
  }
  EXPECT_FALSE(parse("@n15`4", std::string(2000, '1')));
}

// What a window shows must read back as the same value, or editing a field
// without changing it would change the record.
TEST(PictureEntry, EveryShownNumberReadsBackAsItsValue) {
  for (const auto& c : kNumbers) {
    const std::string shown = format(c.picture, D(c.value));
    if (shown.find('#') != std::string::npos) continue;
    SCOPED_TRACE(std::string(c.picture) + " [" + shown + "]");
    Entry e = parse(c.picture, shown);
    ASSERT_TRUE(e) << e.error;
    const Decimal expected = shown.find_first_not_of(' ') == std::string::npos
                                 ? Decimal(0)
                                 : D(c.value).rounded(picture(c.picture).decimals);
    EXPECT_EQ(*e.value, expected);
  }
}

}  // namespace
}  // namespace tdx::pic
