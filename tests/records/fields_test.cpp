#include "records/fields.h"

#include <gtest/gtest.h>

#include <vector>

namespace tdx {
namespace {

std::vector<std::uint8_t> encoded(int digits, std::int64_t units) {
  std::vector<std::uint8_t> b(std::size_t(digits / 2 + 1), 0xEE);
  packed::encode(b.data(), digits, units);
  return b;
}

TEST(Packed, ByteLayout) {
  // Sign nibble first (0 or D), then the digits most significant first.
  EXPECT_EQ(encoded(11, 123456), (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x12, 0x34, 0x56}));
  EXPECT_EQ(encoded(11, -123456), (std::vector<std::uint8_t>{0xD0, 0x00, 0x00, 0x12, 0x34, 0x56}));
  EXPECT_EQ(encoded(5, 99999), (std::vector<std::uint8_t>{0x09, 0x99, 0x99}));
  EXPECT_EQ(encoded(5, 0), (std::vector<std::uint8_t>{0x00, 0x00, 0x00}));
  // An even digit count leaves the first digit nibble as a zero.
  EXPECT_EQ(encoded(4, -9999), (std::vector<std::uint8_t>{0xD0, 0x99, 0x99}));
}

TEST(Packed, RoundTripsAtTheLimits) {
  for (int digits : {1, 2, 5, 7, 9, 11, 13, 15, 18}) {
    std::int64_t top = packed::limit(digits) - 1;
    for (std::int64_t v : {std::int64_t(0), std::int64_t(1), std::int64_t(-1), top, -top, top / 3, -(top / 7)}) {
      auto b = encoded(digits, v);
      EXPECT_EQ(packed::decode(b.data(), digits), v) << digits << " digits, " << v;
    }
  }
  EXPECT_EQ(packed::limit(11), 100000000000);
  EXPECT_THROW(packed::limit(19), std::invalid_argument);
}

TEST(Packed, DamagedBytesStayInRange) {
  // Nibbles above 9 (not written by us) read as 9, never past the field.
  std::uint8_t junk[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(packed::decode(junk, 11), 99999999999);
  std::uint8_t odd[3] = {0xC0, 0x1A, 0x00};  // unknown sign nibble: positive
  EXPECT_EQ(packed::decode(odd, 5), 1900);
}

TEST(DecField, StoresRoundedAndRefusesWhatDoesNotFit) {
  using Price = Dec<11, 4>;
  Price f{};
  f = *Decimal::parse("1.50075");
  EXPECT_EQ(f.units(), 15008);
  f = *Decimal::parse("-9999999.99994");
  EXPECT_EQ(f.get(), *Decimal::parse("-9999999.9999"));
  EXPECT_TRUE(Price::fits(*Decimal::parse("9999999.99994")));
  EXPECT_FALSE(Price::fits(*Decimal::parse("9999999.99995")));
  EXPECT_THROW(f = *Decimal::parse("9999999.99995"), FieldOverflow);
  EXPECT_EQ(f.get(), *Decimal::parse("-9999999.9999"));  // unchanged
  try {
    f = Decimal(10000000);
    FAIL();
  } catch (const FieldOverflow& e) {
    EXPECT_EQ(e.value(), Decimal(10000000));
    EXPECT_NE(std::string(e.what()).find("DECIMAL(11,4)"), std::string::npos);
  }
  // Too large even to scale to the places: still the refusal of the field.
  for (const char* huge : {"99999999999999999999999999999999999999", "9999999999999999999999999999999999.5"}) {
    EXPECT_THROW(f = *Decimal::parse(huge), FieldOverflow) << huge;
    EXPECT_FALSE(Price::fits(*Decimal::parse(huge))) << huge;
  }
  EXPECT_EQ(f.get(), *Decimal::parse("-9999999.9999"));
}

}  // namespace
}  // namespace tdx
