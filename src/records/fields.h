#pragma once
// Field types of the record layouts, byte for byte.
//
// Every type here is a plain array of bytes (alignment 1), so a layout struct
// built from them has exactly the offsets and size of the record it stands
// for, checked with static_assert next to each layout.

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "records/cp1250.h"
#include "records/decimal.h"

namespace tdx {

// A value that does not fit the field it is stored into. Never wrapped,
// never cut: the caller reports it.
class FieldOverflow : public std::range_error {
 public:
  FieldOverflow(const std::string& what, Decimal value)
      : std::range_error(what), value_(value) {}
  const Decimal& value() const { return value_; }

 private:
  Decimal value_;
};

// SHORT: signed 16-bit little-endian.
struct Short {
  std::uint8_t b[2];
  std::int16_t get() const { return std::int16_t(b[0] | (b[1] << 8)); }
  void set(std::int16_t v) {
    b[0] = std::uint8_t(v);
    b[1] = std::uint8_t(std::uint16_t(v) >> 8);
  }
  operator std::int16_t() const { return get(); }  // NOLINT
  Short& operator=(std::int16_t v) { set(v); return *this; }
};

// LONG: signed 32-bit little-endian.
struct Long {
  std::uint8_t b[4];
  std::int32_t get() const {
    return std::int32_t(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                        (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24));
  }
  void set(std::int32_t v) {
    auto u = std::uint32_t(v);
    b[0] = std::uint8_t(u); b[1] = std::uint8_t(u >> 8);
    b[2] = std::uint8_t(u >> 16); b[3] = std::uint8_t(u >> 24);
  }
  operator std::int32_t() const { return get(); }  // NOLINT
  Long& operator=(std::int32_t v) { set(v); return *this; }
};

// STRING(n): Windows-1250 bytes padded with blanks on the right.
template <int N>
struct Str {
  char b[N];
  static constexpr int width = N;
  // The whole field, padding included.
  std::string_view raw() const { return {b, std::size_t(N)}; }
  // Without trailing blanks.
  std::string_view view() const { return cp1250::trimRight(raw()); }
  std::string utf8() const { return cp1250::toUtf8(view()); }
  bool blank() const { return view().empty(); }
  // Windows-1250 bytes; a longer value is cut to the width (the record-file
  // assignment rule; callers that must refuse check fits() first).
  void set(std::string_view bytes) {
    auto n = bytes.size() < std::size_t(N) ? bytes.size() : std::size_t(N);
    std::memcpy(b, bytes.data(), n);
    std::memset(b + n, ' ', N - n);
  }
  static bool fits(std::string_view bytes) { return cp1250::trimRight(bytes).size() <= std::size_t(N); }
  void clear() { std::memset(b, ' ', N); }
  Str& operator=(std::string_view bytes) { set(bytes); return *this; }
  template <int M>
  Str& operator=(const Str<M>& other) { set(other.view()); return *this; }
};

// CSTRING(n): at most n-1 Windows-1250 bytes ended by a zero byte.
template <int N>
struct CStr {
  char b[N];
  static constexpr int width = N - 1;
  std::string_view view() const {
    std::size_t n = 0;
    while (n < std::size_t(N) && b[n] != '\0') ++n;
    return cp1250::trimRight({b, n});
  }
  std::string utf8() const { return cp1250::toUtf8(view()); }
  bool blank() const { return view().empty(); }
  void set(std::string_view bytes) {
    auto n = bytes.size() < std::size_t(N - 1) ? bytes.size() : std::size_t(N - 1);
    std::memcpy(b, bytes.data(), n);
    std::memset(b + n, 0, N - n);
  }
  static bool fits(std::string_view bytes) { return cp1250::trimRight(bytes).size() <= std::size_t(N - 1); }
  void clear() { std::memset(b, 0, N); }
  CStr& operator=(std::string_view bytes) { set(bytes); return *this; }
};

// A value as a refusal message shows it: rounded to `places`, or in its
// shortest form when it is too large even to be scaled. Never throws, so a
// refusal is always the FieldOverflow it means to be.
std::string valueText(const Decimal& v, int places) noexcept;

namespace packed {
// Packed decimal of `digits` digits: (digits / 2 + 1) bytes, the first nibble
// the sign (0 positive, 0xD negative), then the digits most significant first.
// `units` is the value scaled by its places. Throws nothing: the caller has
// checked the range.
void encode(std::uint8_t* out, int digits, std::int64_t units);
std::int64_t decode(const std::uint8_t* in, int digits);
// 10^digits: the first scaled value that does not fit.
std::int64_t limit(int digits);
}  // namespace packed

// DECIMAL(d,p): packed decimal, d significant digits, p of them decimals.
template <int D, int P>
struct Dec {
  static_assert(D <= 18 && P <= D);
  static constexpr int digits = D;
  static constexpr int places = P;
  std::uint8_t b[D / 2 + 1];

  std::int64_t units() const { return packed::decode(b, D); }
  Decimal get() const { return Decimal::fromUnits(units(), P); }
  operator Decimal() const { return get(); }  // NOLINT
  // Does v, rounded to the places, fit the digits?
  static bool fits(const Decimal& v) {
    auto u = v.toUnits(P);
    return u && *u < packed::limit(D) && *u > -packed::limit(D);
  }
  // Stores v rounded half away from zero; throws FieldOverflow when it does
  // not fit (a stored field is never wrapped or cut).
  void set(const Decimal& v) {
    auto u = v.toUnits(P);
    if (!u || *u >= packed::limit(D) || *u <= -packed::limit(D))
      throw FieldOverflow("value " + valueText(v, P) + " does not fit DECIMAL(" +
                              std::to_string(D) + "," + std::to_string(P) + ")",
                          v);
    packed::encode(b, D, *u);
  }
  void setUnits(std::int64_t u) { set(Decimal::fromUnits(u, P)); }
  Dec& operator=(const Decimal& v) { set(v); return *this; }
  Dec& operator=(int v) { set(Decimal(v)); return *this; }
  bool isZero() const { return units() == 0; }
};

}  // namespace tdx
