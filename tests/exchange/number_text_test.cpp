#include "exchange/number_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tdx {
namespace {

Decimal d(const char* text) { return *Decimal::parse(text); }

TEST(ReadNumber, FollowsTheTextRule) {
  struct Case {
    const char* text;
    const char* value;
  } cases[] = {
      {"12,3456", "12.3456"},  {"0,000000", "0"},  {"1234,56", "1234.56"}, {"15.5", "15.5"},
      {"15,5", "15.5"},        {"abc", "0"},       {"-0,5", "-0.5"},       {" 7x", "7"},
      {"", "0"},               {"     ", "0"},     {"-", "0"},             {"*****", "0"},
      {"  -12.50  ", "-12.5"}, {"0012", "12"},     {"12.3.4", "12.3"},     {"1 234", "1"},
      {"1.5E3", "1.5"},        {"+5", "0"},        {".5", "0.5"},          {"5.", "5"},
      {"- 5", "0"},            {"-0", "0"},        {"9,5", "9.5"},         {"13,5", "13.5"},
      {"\t7", "0"},            {"1,2,3", "1.2"},   {"123;", "123"},
  };
  for (const auto& c : cases) EXPECT_EQ(readNumber(c.text), d(c.value)) << '"' << c.text << '"';
}

TEST(ReadNumber, KeepsManyDigitsExactly) {
  EXPECT_EQ(readNumber("1234567890123456789.123456789012345678"),
            d("1234567890123456789.123456789012345678"));
  EXPECT_EQ(readNumber("0.000000000000000001"), d("0.000000000000000001"));
  // Decimals past the 18th cannot matter to any field and are dropped.
  EXPECT_EQ(readNumber("0.0000000000000000019"), d("0.000000000000000001"));
}

TEST(ReadNumber, AHugeNumberStaysHuge) {
  // 45 digits: no field holds it, and it must not come back as a plausible
  // smaller number that a column would accept.
  Decimal v = readNumber(std::string(45, '9'));
  EXPECT_GT(v, Decimal(1) * Decimal(1000000000) * Decimal(1000000000) * Decimal(1000000000) * Decimal(1000000000));
  EXPECT_EQ(readNumber("-" + std::string(60, '7') + ".5").sign(), -1);
}

}  // namespace
}  // namespace tdx
