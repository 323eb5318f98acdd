#include "records/fields.h"

#include <charconv>

namespace tdx {

std::string valueText(const Decimal& v, int places) noexcept {
  try {
    return v.toString(places);
  } catch (...) {
  }
  try {
    if (v.isInteger()) return v.toExactString();
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v.toDouble());
    return std::string(buf, res.ptr);
  } catch (...) {
    return "(too large)";
  }
}

}  // namespace tdx

namespace tdx::packed {

namespace {

constexpr std::uint8_t kNegative = 0xD;

// Two digit nibbles of one byte as a number 0..99. A nibble above 9 (a
// damaged byte) reads as 9, so a decoded value never leaves its field's range.
struct PairTable {
  std::uint8_t v[256];
};
constexpr PairTable makePairs() {
  PairTable t{};
  for (int b = 0; b < 256; ++b) {
    int hi = b >> 4, lo = b & 0xF;
    t.v[b] = std::uint8_t((hi > 9 ? 9 : hi) * 10 + (lo > 9 ? 9 : lo));
  }
  return t;
}
constexpr PairTable kPairs = makePairs();

// 0..99 as the byte of its two digit nibbles.
struct BcdTable {
  std::uint8_t v[100];
};
constexpr BcdTable makeBcd() {
  BcdTable t{};
  for (int i = 0; i < 100; ++i) t.v[i] = std::uint8_t(((i / 10) << 4) | (i % 10));
  return t;
}
constexpr BcdTable kBcd = makeBcd();

constexpr std::int64_t kLimit[19] = {
    1LL,
    10LL,
    100LL,
    1000LL,
    10000LL,
    100000LL,
    1000000LL,
    10000000LL,
    100000000LL,
    1000000000LL,
    10000000000LL,
    100000000000LL,
    1000000000000LL,
    10000000000000LL,
    100000000000000LL,
    1000000000000000LL,
    10000000000000000LL,
    100000000000000000LL,
    1000000000000000000LL,
};

}  // namespace

// Layout: byte 0 holds the sign nibble and the first digit nibble, every
// further byte two digits. With an even digit count the first digit nibble is
// a leading zero that carries no digit.
void encode(std::uint8_t* out, int digits, std::int64_t units) {
  int bytes = digits / 2 + 1;
  std::uint64_t m = units < 0 ? 0 - std::uint64_t(units) : std::uint64_t(units);
  // Two digits per step: one division by a constant, one table look-up.
  for (int i = bytes - 1; i >= 1; --i) {
    std::uint64_t q = m / 100;
    out[i] = kBcd.v[m - q * 100];
    m = q;
  }
  std::uint8_t first = (digits % 2 == 1) ? std::uint8_t(m % 10) : 0;
  out[0] = std::uint8_t(((units < 0 ? kNegative : 0) << 4) | first);
}

std::int64_t decode(const std::uint8_t* in, int digits) {
  int bytes = digits / 2 + 1;
  std::uint64_t m = 0;
  if (digits % 2 == 1) {
    std::uint8_t first = in[0] & 0xF;
    m = first > 9 ? 9 : first;
  }
  for (int i = 1; i < bytes; ++i) m = m * 100 + kPairs.v[in[i]];
  bool negative = (in[0] >> 4) == kNegative;
  return negative ? -std::int64_t(m) : std::int64_t(m);
}

std::int64_t limit(int digits) {
  if (digits < 0 || digits > 18) throw std::invalid_argument("packed decimal of more than 18 digits");
  return kLimit[digits];
}

}  // namespace tdx::packed
