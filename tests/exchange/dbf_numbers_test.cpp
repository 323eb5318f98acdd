#include "exchange/dbf_numbers.h"

#include <gtest/gtest.h>

namespace tdx::dbf {
namespace {

Decimal d(const char* text) { return *Decimal::parse(text); }

TEST(FormatNumeric, RightAlignedWithExactlyItsDecimals) {
  struct Case {
    const char* value;
    int width, decimals;
    const char* text;
  } cases[] = {
      {"12.60", 10, 0, "        13"},   {"3.40", 10, 0, "         3"},   {"1", 8, 6, "1.000000"},
      {"-0.50", 5, 2, "-0.50"},         {"2.5", 3, 0, "  3"},            {"-2.5", 3, 0, " -3"},
      {"0", 5, 2, " 0.00"},             {"-0.004", 5, 2, " 0.00"},       {"12.3456", 15, 4, "        12.3456"},
      {"0.33335", 15, 4, "         0.3334"}, {"-9", 2, 0, "-9"},         {"99", 2, 0, "99"},
      {"10", 9, 2, "    10.00"},      {"1234567.89", 10, 2, "1234567.89"},
  };
  for (const auto& c : cases) {
    auto text = formatNumeric(d(c.value), c.width, c.decimals);
    ASSERT_TRUE(text) << c.value;
    EXPECT_EQ(*text, c.text) << c.value << " in N(" << c.width << "," << c.decimals << ")";
  }
}

TEST(FormatNumeric, RefusesWhatDoesNotFit) {
  struct Case {
    const char* value;
    int width, decimals;
  } cases[] = {
      {"10", 8, 6},         // the correction factor column holds less than 10
      {"99.995", 5, 2},     // rounds up to 100.00
      {"-99", 2, 0},        // the sign needs a place too
      {"100", 2, 0},
      {"12345678901", 10, 0},
  };
  for (const auto& c : cases)
    EXPECT_FALSE(formatNumeric(d(c.value), c.width, c.decimals)) << c.value << " in N(" << c.width << ","
                                                                  << c.decimals << ")";
}

}  // namespace
}  // namespace tdx::dbf
