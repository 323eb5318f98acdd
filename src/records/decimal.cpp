#include "records/decimal.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace tdx {

namespace {

using Int = Decimal::Int;
using U128 = unsigned __int128;

constexpr Int kIntMax = Int((~U128(0)) >> 1);

constexpr std::array<Int, 39> makePow10() {
  std::array<Int, 39> t{};
  t[0] = 1;
  for (int i = 1; i < 39; ++i) t[i] = t[i - 1] * 10;
  return t;
}
constexpr auto kPow10 = makePow10();

constexpr std::array<std::uint64_t, 20> makePow5() {
  std::array<std::uint64_t, 20> t{};
  t[0] = 1;
  for (int i = 1; i < 20; ++i) t[i] = t[i - 1] * 5;
  return t;
}
constexpr auto kPow5 = makePow5();

[[noreturn]] void overflow(const char* what) {
  throw DecimalOverflow(std::string("decimal overflow in ") + what);
}

void checkPlaces(int places) {
  if (places < 0 || places > 38) throw std::invalid_argument("decimal places out of range 0..38");
}

// Magnitudes are taken in unsigned arithmetic, so even the most negative
// 128-bit value has one.
U128 magnitude(Int v) { return v < 0 ? U128(0) - U128(v) : U128(v); }

int ctz128(U128 v) {
  auto lo = std::uint64_t(v);
  return lo ? __builtin_ctzll(lo) : 64 + __builtin_ctzll(std::uint64_t(v >> 64));
}

U128 gcd128(U128 a, U128 b) {
  if (a == 0) return b;
  if (b == 0) return a;
  // Values read from fields are small: the 64-bit gcd is much cheaper.
  if ((a >> 64) == 0 && (b >> 64) == 0) return std::gcd(std::uint64_t(a), std::uint64_t(b));
  int shift = ctz128(a | b);
  a >>= ctz128(a);
  do {
    b >>= ctz128(b);
    if (a > b) std::swap(a, b);
    b -= a;
  } while (b != 0);
  return a << shift;
}

// 256-bit unsigned, only as wide as the exact comparisons and the rounding
// of values with huge denominators need.
struct U256 {
  U128 hi = 0, lo = 0;
};

U256 mul256(U128 a, U128 b) {
  U128 a0 = std::uint64_t(a), a1 = a >> 64, b0 = std::uint64_t(b), b1 = b >> 64;
  U128 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  U128 mid = (p00 >> 64) + std::uint64_t(p01) + std::uint64_t(p10);
  return {p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64), (mid << 64) | std::uint64_t(p00)};
}

int cmp256(const U256& a, const U256& b) {
  if (a.hi != b.hi) return a.hi < b.hi ? -1 : 1;
  if (a.lo != b.lo) return a.lo < b.lo ? -1 : 1;
  return 0;
}

// n / d with the quotient known to fit 128 bits (n.hi < d).
U128 div256(const U256& n, U128 d, U128& rem) {
  U128 r = n.hi, q = 0;
  for (int i = 127; i >= 0; --i) {
    bool carry = (r >> 127) != 0;
    r = (r << 1) | ((n.lo >> i) & 1);
    q <<= 1;
    if (carry || r >= d) {
      r -= d;  // wraps back into range when carry was set
      q |= 1;
    }
  }
  rem = r;
  return q;
}

// round(m * 10^p / d) half away from zero, for m < d: the fraction of a value
// scaled to p places. The result is at most 10^p.
U128 roundScaledFraction(U128 m, U128 d, int p) {
  if (m == 0) return 0;
  U128 scale = U128(kPow10[p]);
  U128 q, r;
  U128 prod;
  if (!__builtin_mul_overflow(m, scale, &prod)) {
    q = prod / d;
    r = prod % d;
  } else {
    q = div256(mul256(m, scale), d, r);
  }
  if (r >= d - r) ++q;
  return q;
}

// The value scaled by 10^places and rounded half away from zero; false when
// it leaves the 128-bit range.
bool scaledUnits(Int num, Int den, int places, Int& out) {
  Int whole = num / den;
  Int rem = num % den;
  Int units;
  if (__builtin_mul_overflow(whole, kPow10[places], &units)) return false;
  Int frac = Int(roundScaledFraction(magnitude(rem), U128(den), places));
  if (rem < 0) frac = -frac;
  return !__builtin_add_overflow(units, frac, &out);
}

std::string unitsText(Int units, int places) {
  U128 m = magnitude(units);
  char digits[48];
  int n = 0;
  do {
    digits[n++] = char('0' + int(m % 10));
    m /= 10;
  } while (m != 0);
  while (n <= places) digits[n++] = '0';
  std::string s;
  s.reserve(std::size_t(n) + 2);
  if (units < 0) s += '-';
  for (int i = n - 1; i >= 0; --i) {
    s += digits[i];
    if (i == places && places > 0) s += '.';
  }
  return s;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

Decimal::Int pow10i(int n) {
  checkPlaces(n);
  return kPow10[n];
}

Decimal Decimal::ratio(Int num, Int den) {
  if (den == 0 || num == 0) return Decimal();
  bool negative = (num < 0) != (den < 0);
  U128 n = magnitude(num), d = magnitude(den);
  U128 g = gcd128(n, d);
  n /= g;
  d /= g;
  // The most negative value is refused too, so negation can never overflow.
  if (n > U128(kIntMax) || d > U128(kIntMax)) overflow("ratio");
  return Decimal(negative ? -Int(n) : Int(n), Int(d), 0);
}

Decimal Decimal::fromUnits(std::int64_t units, int places) {
  checkPlaces(places);
  if (units == 0) return Decimal();
  if (places == 0) return Decimal(static_cast<long long>(units));
  if (places <= 19) {
    // Every field read comes through here. The denominator is 2^p * 5^p, so
    // reducing means stripping twos and fives: no general gcd needed.
    std::uint64_t m = units < 0 ? 0 - std::uint64_t(units) : std::uint64_t(units);
    int twos = __builtin_ctzll(m);
    if (twos > places) twos = places;
    m >>= twos;
    int fives = 0;
    while (fives < places && m % 5 == 0) {
      m /= 5;
      ++fives;
    }
    std::uint64_t den = (std::uint64_t(1) << (places - twos)) * kPow5[places - fives];
    Int n = Int(m);
    return Decimal(units < 0 ? -n : n, Int(den), 0);
  }
  return ratio(units, kPow10[places]);
}

std::optional<Decimal> Decimal::parse(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  std::string_view t = text.substr(b, e - b);
  if (t.empty()) return std::nullopt;
  bool negative = false;
  std::size_t i = 0;
  if (t[0] == '+' || t[0] == '-') {
    negative = t[0] == '-';
    ++i;
  }
  std::size_t intBegin = i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  std::string_view intDigits = t.substr(intBegin, i - intBegin);
  std::string_view fracDigits;
  if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
    std::size_t fracBegin = ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    fracDigits = t.substr(fracBegin, i - fracBegin);
  }
  if (i != t.size() || (intDigits.empty() && fracDigits.empty())) return std::nullopt;
  while (!intDigits.empty() && intDigits.front() == '0') intDigits.remove_prefix(1);
  while (!fracDigits.empty() && fracDigits.back() == '0') fracDigits.remove_suffix(1);
  if (intDigits.size() + fracDigits.size() > 38) return std::nullopt;
  Int num = 0;
  for (char c : intDigits) num = num * 10 + (c - '0');
  for (char c : fracDigits) num = num * 10 + (c - '0');
  return ratio(negative ? -num : num, kPow10[fracDigits.size()]);
}

Decimal Decimal::fromDouble(double v, int places) {
  checkPlaces(places);
  if (!(v == v) || v == std::numeric_limits<double>::infinity() ||
      v == -std::numeric_limits<double>::infinity())
    throw DecimalOverflow("not a finite number");
  // Fixed notation of the shortest text that reads back as the same double:
  // the digits a person typed into the spreadsheet, not the binary tail.
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (res.ec != std::errc()) throw DecimalOverflow("double out of range");
  std::string_view t(buf, std::size_t(res.ptr - buf));
  bool negative = !t.empty() && t[0] == '-';
  if (negative) t.remove_prefix(1);
  auto dot = t.find('.');
  std::string_view intDigits = t.substr(0, dot);
  std::string_view fracDigits = dot == std::string_view::npos ? std::string_view() : t.substr(dot + 1);
  while (!intDigits.empty() && intDigits.front() == '0') intDigits.remove_prefix(1);
  if (intDigits.size() + std::size_t(places) > 38) throw DecimalOverflow("double out of range");
  U128 units = 0;
  for (char c : intDigits) units = units * 10 + U128(c - '0');
  for (int k = 0; k < places; ++k)
    units = units * 10 + U128(std::size_t(k) < fracDigits.size() ? fracDigits[std::size_t(k)] - '0' : 0);
  // The text is exact, so the first dropped digit alone decides: 5 and up is
  // at least half, and half goes away from zero.
  if (std::size_t(places) < fracDigits.size() && fracDigits[std::size_t(places)] >= '5') ++units;
  if (units > U128(kIntMax)) throw DecimalOverflow("double out of range");
  return ratio(negative ? -Int(units) : Int(units), kPow10[places]);
}

double Decimal::toDouble() const {
  constexpr Int kExact = Int(1) << 53;
  // Both exact in a double: one correctly rounded division.
  if (num_ <= kExact && num_ >= -kExact && den_ <= kExact) return double(num_) / double(den_);
  U128 d = U128(den_) >> ctz128(U128(den_));
  while (d % 5 == 0) d /= 5;
  if (d == 1) {
    // A finite decimal: let the library round its exact text once.
    try {
      return std::strtod(toExactString().c_str(), nullptr);
    } catch (const DecimalOverflow&) {
    }
  }
  return double(static_cast<long double>(num_) / static_cast<long double>(den_));
}

Decimal Decimal::operator-() const { return Decimal(-num_, den_, 0); }

Decimal operator+(const Decimal& a, const Decimal& b) {
  using I = Decimal::Int;
  if (a.den_ == b.den_) {
    I n;
    if (__builtin_add_overflow(a.num_, b.num_, &n)) overflow("addition");
    return Decimal::ratio(n, a.den_);
  }
  I g = I(gcd128(U128(a.den_), U128(b.den_)));
  I x, y, n, d;
  if (__builtin_mul_overflow(a.num_, b.den_ / g, &x) || __builtin_mul_overflow(b.num_, a.den_ / g, &y) ||
      __builtin_add_overflow(x, y, &n) || __builtin_mul_overflow(a.den_ / g, b.den_, &d))
    overflow("addition");
  return Decimal::ratio(n, d);
}

Decimal operator-(const Decimal& a, const Decimal& b) { return a + (-b); }

Decimal operator*(const Decimal& a, const Decimal& b) {
  using I = Decimal::Int;
  if (a.num_ == 0 || b.num_ == 0) return Decimal();
  // Cross-reduce first so that the products stay as small as the result.
  I g1 = I(gcd128(magnitude(a.num_), U128(b.den_)));
  I g2 = I(gcd128(magnitude(b.num_), U128(a.den_)));
  I n, d;
  if (__builtin_mul_overflow(a.num_ / g1, b.num_ / g2, &n) ||
      __builtin_mul_overflow(a.den_ / g2, b.den_ / g1, &d))
    overflow("multiplication");
  return Decimal::ratio(n, d);
}

Decimal operator/(const Decimal& a, const Decimal& b) {
  if (b.num_ == 0) return Decimal();
  // The reciprocal of a reduced fraction is reduced.
  Decimal reciprocal(b.num_ < 0 ? -b.den_ : b.den_, b.num_ < 0 ? -b.num_ : b.num_, 0);
  return a * reciprocal;
}

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
  using I = Decimal::Int;
  if (a.den_ == b.den_) return a.num_ <=> b.num_;
  int sa = a.sign(), sb = b.sign();
  if (sa != sb || sa == 0) return sa <=> sb;
  I l, r;
  if (!__builtin_mul_overflow(a.num_, b.den_, &l) && !__builtin_mul_overflow(b.num_, a.den_, &r))
    return l <=> r;
  int c = cmp256(mul256(magnitude(a.num_), U128(b.den_)), mul256(magnitude(b.num_), U128(a.den_)));
  if (sa < 0) c = -c;
  return c <=> 0;
}

Decimal Decimal::rounded(int places) const {
  checkPlaces(places);
  if (den_ == 1) return *this;
  Int units;
  if (!scaledUnits(num_, den_, places, units)) overflow("rounding");
  return ratio(units, kPow10[places]);
}

Decimal Decimal::truncated() const { return Decimal(num_ / den_, 1, 0); }

std::optional<std::int64_t> Decimal::toUnits(int places) const {
  checkPlaces(places);
  Int units;
  if (!scaledUnits(num_, den_, places, units)) return std::nullopt;
  if (units > std::numeric_limits<std::int64_t>::max() || units < std::numeric_limits<std::int64_t>::min())
    return std::nullopt;
  return std::int64_t(units);
}

std::optional<std::int64_t> Decimal::toInt64() const {
  Int whole = num_ / den_;
  if (whole > std::numeric_limits<std::int64_t>::max() || whole < std::numeric_limits<std::int64_t>::min())
    return std::nullopt;
  return std::int64_t(whole);
}

std::string Decimal::toString(int places) const {
  checkPlaces(places);
  Int units;
  if (!scaledUnits(num_, den_, places, units)) overflow("formatting");
  return unitsText(units, places);
}

std::string Decimal::toExactString() const {
  U128 d = U128(den_);
  int twos = ctz128(d);
  d >>= twos;
  int fives = 0;
  while (d % 5 == 0) {
    d /= 5;
    ++fives;
  }
  int k = twos > fives ? twos : fives;
  if (d == 1 && k <= 38) {
    // den divides 10^k, and k is the least such power: the text ends in a
    // non-zero digit.
    Int units;
    if (!__builtin_mul_overflow(num_, kPow10[k] / den_, &units)) return unitsText(units, k);
  }
  return toString(18);
}

}  // namespace tdx
