#include "exchange/dbf_numbers.h"

#include <cstdint>

namespace tdx::dbf {

namespace {

constexpr int kMaxFastDecimals = 18;

constexpr std::int64_t pow10(int n) {
  std::int64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// Every row of an export formats a dozen numbers, nearly all of them read
// from fields and so already whole multiples of 10^-decimals. Those need no
// rounding: their scaled value is exact in 64 bits and its digits are the
// text. false leaves anything else (a value that needs rounding, or one too
// large for 64 bits) to the general path, which gives the same text.
bool formatExact(const Decimal& value, int width, int decimals, std::optional<std::string>& out) {
  if (decimals < 0 || decimals > kMaxFastDecimals) return false;
  const Decimal::Int num = value.numerator(), den = value.denominator();
  const std::int64_t scale = pow10(decimals);
  if (den > scale || scale % std::int64_t(den) != 0) return false;
  if (num > INT64_MAX || num < -INT64_MAX) return false;
  std::int64_t units = 0;
  if (__builtin_mul_overflow(std::int64_t(num), scale / std::int64_t(den), &units)) return false;

  // Digits from the right: `decimals` of them after the point, at least one
  // before it, then the sign.
  char text[48];
  char* end = text + sizeof text;
  char* p = end;
  std::uint64_t m = units < 0 ? 0 - std::uint64_t(units) : std::uint64_t(units);
  for (int i = 0; i < decimals; ++i, m /= 10) *--p = char('0' + m % 10);
  if (decimals > 0) *--p = '.';
  do {
    *--p = char('0' + m % 10);
    m /= 10;
  } while (m != 0);
  if (units < 0) *--p = '-';
  const std::size_t length = std::size_t(end - p);
  if (length > std::size_t(width)) {
    out.reset();
    return true;
  }
  out.emplace(std::size_t(width) - length, ' ');
  out->append(p, length);
  return true;
}

}  // namespace

std::optional<std::string> formatNumeric(const Decimal& value, int width, int decimals) {
  std::optional<std::string> exact;
  if (formatExact(value, width, decimals, exact)) return exact;
  std::string text;
  try {
    text = value.toString(decimals);
  } catch (const DecimalOverflow&) {
    return std::nullopt;
  }
  if (text.size() > std::size_t(width)) return std::nullopt;
  return std::string(std::size_t(width) - text.size(), ' ') + text;
}

}  // namespace tdx::dbf
