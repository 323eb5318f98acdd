#include "records/decimal.h"

#include <gtest/gtest.h>

#include <limits>

namespace tdx {
namespace {

Decimal d(std::string_view text) {
  auto v = Decimal::parse(text);
  if (!v) throw std::runtime_error("bad test literal " + std::string(text));
  return *v;
}

TEST(Decimal, ArithmeticIsExact) {
  EXPECT_EQ(d("0.1") + d("0.2"), d("0.3"));
  EXPECT_EQ(d("1.0005") * d("1.5"), d("1.50075"));
  EXPECT_EQ(d("10") - d("10.0001"), d("-0.0001"));
  // A third times three is one again: nothing was rounded on the way.
  EXPECT_EQ(Decimal(1) / Decimal(3) * Decimal(3), Decimal(1));
  EXPECT_EQ((Decimal(2) / Decimal(3)).toString(4), "0.6667");
  EXPECT_EQ(Decimal(-7) / Decimal(2), d("-3.5"));
  EXPECT_EQ(Decimal(7) / Decimal(-2), d("-3.5"));
}

TEST(Decimal, ValuesAreKeptReduced) {
  Decimal v = Decimal::fromUnits(125000, 4);
  EXPECT_EQ(v.numerator(), 25);
  EXPECT_EQ(v.denominator(), 2);
  EXPECT_EQ(v, d("12.5"));
  EXPECT_EQ(Decimal::ratio(-6, -4), Decimal::ratio(3, 2));
  EXPECT_EQ(Decimal::ratio(6, -4).numerator(), -3);
  EXPECT_EQ(d("-0.000"), Decimal());
}

TEST(Decimal, DivisionByZeroGivesZero) {
  EXPECT_EQ(Decimal(5) / Decimal(0), Decimal(0));
  EXPECT_EQ(Decimal::ratio(5, 0), Decimal(0));
  Decimal v = 7;
  v /= Decimal();
  EXPECT_TRUE(v.isZero());
}

TEST(Decimal, OrderingAcrossDenominators) {
  EXPECT_LT(Decimal(1) / Decimal(3), d("0.3334"));
  EXPECT_GT(Decimal(1) / Decimal(3), d("0.3333"));
  EXPECT_LT(d("-2"), d("-1.5"));
  EXPECT_LT(d("-0.0001"), Decimal());
  EXPECT_EQ(d("2.50") <=> d("2.5"), std::strong_ordering::equal);
  // Cross products beyond 128 bits still compare exactly.
  Decimal big = Decimal::ratio(pow10i(37) + 1, pow10i(36) * 3);
  Decimal near = Decimal::ratio(pow10i(37) + 2, pow10i(36) * 3 + 1);
  EXPECT_GT(big, near);
  EXPECT_LT(-big, -near);
}

struct RoundCase {
  const char* value;
  int places;
  const char* expected;
};

TEST(Decimal, RoundsHalfAwayFromZero) {
  const RoundCase cases[] = {
      {"1.50075", 4, "1.5008"},  {"-1.50075", 4, "-1.5008"}, {"1.50074999", 4, "1.5007"},
      {"2.5", 0, "3"},           {"-2.5", 0, "-3"},          {"0.5", 0, "1"},
      {"-0.4999", 0, "0"},       {"4.92749", 4, "4.9275"},   {"0.00005", 4, "0.0001"},
      {"-0.00005", 4, "-0.0001"}, {"0.00004", 4, "0"},      {"12.3456", 6, "12.3456"},
  };
  for (const auto& c : cases) EXPECT_EQ(d(c.value).rounded(c.places), d(c.expected)) << c.value << " @" << c.places;
  // Halves of thirds: 1/6 = 0.1666.. and 5/6 = 0.8333..
  EXPECT_EQ((Decimal(1) / Decimal(6)).rounded(2), d("0.17"));
  EXPECT_EQ((Decimal(-5) / Decimal(6)).rounded(2), d("-0.83"));
}

TEST(Decimal, TruncatesTowardZero) {
  EXPECT_EQ(d("12.99").truncated(), Decimal(12));
  EXPECT_EQ(d("-12.99").truncated(), Decimal(-12));
  EXPECT_EQ(d("-12.99").toInt64(), -12);
}

TEST(Decimal, ToUnits) {
  EXPECT_EQ(d("12.34567").toUnits(4), 123457);
  EXPECT_EQ(d("-12.34565").toUnits(4), -123457);
  EXPECT_EQ(Decimal(0).toUnits(4), 0);
  EXPECT_EQ(Decimal::fromUnits(-987654321, 6), d("-987.654321"));
  EXPECT_EQ(Decimal(std::numeric_limits<long long>::max()).toUnits(0), std::numeric_limits<std::int64_t>::max());
  EXPECT_FALSE(Decimal(std::numeric_limits<long long>::max()).toUnits(1).has_value());
  EXPECT_FALSE(Decimal::ratio(pow10i(30), 1).toInt64().has_value());
}

TEST(Decimal, ParseTable) {
  struct Case {
    const char* text;
    const char* exact;  // nullptr: refused
  };
  const Case cases[] = {
      {"12.3456", "12.3456"}, {"-0,5", "-0.5"}, {"  7", "7"},   {"+3.", "3"},    {".5", "0.5"},
      {"7  ", "7"},           {"\t-1.25\t", "-1.25"},           {"000012.5000", "12.5"},
      {"0", "0"},             {"-0", "0"},      {"", nullptr},  {"   ", nullptr}, {".", nullptr},
      {"-", nullptr},         {"+.", nullptr},  {"1.000,5", nullptr}, {"1,000.5", nullptr},
      {"1e5", nullptr},       {"12a", nullptr}, {"- 5", nullptr}, {"1 000", nullptr}, {"--1", nullptr},
      {"1.2.3", nullptr},     {"0x10", nullptr},
      // 38 significant digits fit, 39 do not; padding zeros do not count.
      {"12345678901234567890123456789012345678", "12345678901234567890123456789012345678"},
      {"123456789012345678901234567890123456789", nullptr},
      {"0.10000000000000000000000000000000000000000000", "0.1"},
  };
  for (const auto& c : cases) {
    auto v = Decimal::parse(c.text);
    if (!c.exact) {
      EXPECT_FALSE(v.has_value()) << '"' << c.text << '"';
    } else {
      ASSERT_TRUE(v.has_value()) << '"' << c.text << '"';
      EXPECT_EQ(v->toExactString(), c.exact) << '"' << c.text << '"';
    }
  }
}

TEST(Decimal, ToStringTable) {
  struct Case {
    Decimal value;
    int places;
    const char* text;
  };
  const Case cases[] = {
      {d("12.3456"), 4, "12.3456"}, {d("-0.5"), 2, "-0.50"},  {Decimal(0), 4, "0.0000"}, {Decimal(7), 0, "7"},
      {d("0.05"), 1, "0.1"},        {d("-0.05"), 1, "-0.1"},  {d("-0.04"), 1, "0.0"},     {d("1234567.5"), 0, "1234568"},
      {Decimal(1) / Decimal(3), 3, "0.333"},                  {d("-3"), 2, "-3.00"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value.toString(c.places), c.text);
  EXPECT_EQ(d("12.5").toExactString(), "12.5");
  EXPECT_EQ(d("-3").toExactString(), "-3");
  EXPECT_EQ(Decimal::ratio(1, 8).toExactString(), "0.125");
  EXPECT_EQ((Decimal(2) / Decimal(3)).toExactString(), "0.666666666666666667");
}

TEST(Decimal, FromDoubleAtTheDbaseBoundary) {
  // The shortest text of a double is what was typed, not its binary tail.
  EXPECT_EQ(Decimal::fromDouble(0.1, 4), d("0.1"));
  EXPECT_EQ(Decimal::fromDouble(0.00015, 4), d("0.0002"));  // binary 0.000149999..
  EXPECT_EQ(Decimal::fromDouble(-0.00015, 4), d("-0.0002"));
  EXPECT_EQ(Decimal::fromDouble(98.55, 1), d("98.6"));      // binary 98.549999..
  EXPECT_EQ(Decimal::fromDouble(2.675, 2), d("2.68"));      // binary 2.67499999..
  EXPECT_EQ(Decimal::fromDouble(12.34564999, 4), d("12.3456"));
  EXPECT_EQ(Decimal::fromDouble(9.5, 2), d("9.5"));
  EXPECT_EQ(Decimal::fromDouble(-0.0, 2), Decimal());
  EXPECT_EQ(Decimal::fromDouble(1e-300, 4), Decimal());
  EXPECT_EQ(Decimal::fromDouble(123456789.0, 0), Decimal(123456789));
  EXPECT_EQ(Decimal::fromDouble(0.5, 0), Decimal(1));
  EXPECT_THROW(Decimal::fromDouble(1e300, 4), DecimalOverflow);
  EXPECT_THROW(Decimal::fromDouble(std::numeric_limits<double>::quiet_NaN(), 2), DecimalOverflow);
  EXPECT_THROW(Decimal::fromDouble(std::numeric_limits<double>::infinity(), 2), DecimalOverflow);

  EXPECT_EQ(d("0.1").toDouble(), 0.1);
  EXPECT_EQ(d("-12.3456").toDouble(), -12.3456);
  EXPECT_EQ(d("1234567890123456789.25").toDouble(), 1234567890123456789.25);
  for (double v : {0.1, 2.675, 1e-5, 98.55, 4.9275, -1234.5678})
    EXPECT_EQ(Decimal::fromDouble(v, 6).toDouble(), v) << v;
}

TEST(Decimal, OverflowThrowsInsteadOfWrapping) {
  Decimal huge = Decimal::ratio(pow10i(38), 1);
  EXPECT_THROW(huge + huge, DecimalOverflow);
  EXPECT_THROW(huge * Decimal(2), DecimalOverflow);
  EXPECT_THROW(-huge - huge, DecimalOverflow);
  EXPECT_THROW(huge.toString(4), DecimalOverflow);
  EXPECT_THROW(Decimal::ratio(pow10i(38), 3) * Decimal::ratio(pow10i(38), 7), DecimalOverflow);
  // Cross-reduction keeps products that fit from overflowing on the way.
  EXPECT_EQ(Decimal::ratio(pow10i(38), 7) * Decimal::ratio(7, pow10i(38)), Decimal(1));
  EXPECT_EQ(huge / huge, Decimal(1));
}

}  // namespace
}  // namespace tdx
