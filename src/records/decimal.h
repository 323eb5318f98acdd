#pragma once
// Exact decimal arithmetic for prices, rates, quantities and amounts.
//
// A Decimal is an exact rational number (numerator / denominator in 128-bit
// integers, always reduced). Sums, products and quotients are exact; nothing
// is rounded until a value is stored into a field of fixed places, where it is
// rounded half away from zero. A division by zero gives 0, as the price rules
// require. Arithmetic that would leave the 128-bit range throws
// DecimalOverflow rather than wrapping.

#include <compare>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tdx {

class DecimalOverflow : public std::overflow_error {
 public:
  using std::overflow_error::overflow_error;
};

class Decimal {
 public:
  using Int = __int128;

  constexpr Decimal() = default;
  constexpr Decimal(int v) : num_(v) {}  // NOLINT: whole numbers convert implicitly
  constexpr Decimal(long v) : num_(v) {}  // NOLINT
  constexpr Decimal(long long v) : num_(v) {}  // NOLINT

  // units / 10^places, e.g. fromUnits(123456, 4) == 12.3456
  static Decimal fromUnits(std::int64_t units, int places);
  // num / den exactly (den == 0 gives 0).
  static Decimal ratio(Int num, Int den);

  // Reads "12.3456", "-0,5", "  7", "+3.", ".5". Either '.' or ',' separates
  // the decimals. Leading/trailing blanks are allowed; anything else (thousands
  // separators, exponents, a second separator, no digits) gives nullopt.
  static std::optional<Decimal> parse(std::string_view text);

  // The dBase boundary: a binary double converted with explicit rounding to
  // `places` decimals (half away from zero on the shortest decimal text that
  // round-trips the double, so 0.1 is 0.1 and not 0.1000000000000000055...).
  // A NaN, an infinity or a value beyond 38 digits throws DecimalOverflow:
  // a damaged number in a table is reported, never read as some value.
  static Decimal fromDouble(double v, int places);
  double toDouble() const;

  Decimal operator-() const;
  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  // Exact quotient; a division by zero gives 0.
  friend Decimal operator/(const Decimal& a, const Decimal& b);
  Decimal& operator+=(const Decimal& b) { return *this = *this + b; }
  Decimal& operator-=(const Decimal& b) { return *this = *this - b; }
  Decimal& operator*=(const Decimal& b) { return *this = *this * b; }
  Decimal& operator/=(const Decimal& b) { return *this = *this / b; }

  friend bool operator==(const Decimal& a, const Decimal& b) {
    return a.num_ == b.num_ && a.den_ == b.den_;
  }
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

  // Rounded half away from zero to `places` decimals (places >= 0).
  Decimal rounded(int places) const;
  // Toward zero to a whole number (a decimal stored into an integer field).
  Decimal truncated() const;
  // The value rounded to `places` and scaled: 12.34567 at 4 places -> 123457.
  // nullopt when the scaled value does not fit in 64 bits.
  std::optional<std::int64_t> toUnits(int places) const;
  // Whole number toward zero; nullopt when out of 64-bit range.
  std::optional<std::int64_t> toInt64() const;

  // Rounded to `places`, '.' separator, leading "-" for negatives, a zero
  // before the point: "12.3456", "-0.50", "0.0000", "7" (places 0).
  std::string toString(int places) const;
  // Shortest exact text when the value has a finite decimal expansion
  // ("12.5", "-3"), else rounded to 18 places. For diagnostics and tests.
  std::string toExactString() const;

  int sign() const { return num_ > 0 ? 1 : (num_ < 0 ? -1 : 0); }
  bool isZero() const { return num_ == 0; }
  bool isInteger() const { return den_ == 1; }
  Int numerator() const { return num_; }
  Int denominator() const { return den_; }

 private:
  constexpr Decimal(Int num, Int den, int /*raw*/) : num_(num), den_(den) {}
  Int num_ = 0;
  Int den_ = 1;  // > 0, gcd(num_, den_) == 1
};

// 10^n as a 128-bit integer, 0 <= n <= 38.
Decimal::Int pow10i(int n);

}  // namespace tdx
