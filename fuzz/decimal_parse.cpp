// Decimal text and dBase doubles: whatever arrives must be refused cleanly
// or read exactly, and what we print must read back as the same value.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "records/decimal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tdx::Decimal;
  if (size == 0) return 0;
  int places = data[0] % 19;
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  if (auto v = Decimal::parse(text)) {
    // Exact text of a parsed value is a finite decimal: it reads back equal.
    auto again = Decimal::parse(v->toExactString());
    if (!again || *again != *v) std::abort();
    try {
      auto shown = Decimal::parse(v->toString(places));
      if (!shown || *shown != v->rounded(places)) std::abort();
      if (auto units = v->toUnits(places); units && Decimal::fromUnits(*units, places) != v->rounded(places))
        std::abort();
    } catch (const tdx::DecimalOverflow&) {
      // 38 digits scaled by more places leave 128 bits: refused, not wrapped.
    }
    Decimal sum = *v;
    try {
      sum = *v + *v - *v;
    } catch (const tdx::DecimalOverflow&) {
    }
    if (sum != *v) std::abort();
  }

  if (size >= 9) {
    double d;
    std::memcpy(&d, data + 1, sizeof d);
    try {
      Decimal v = Decimal::fromDouble(d, places);
      if (v.rounded(places) != v) std::abort();
      (void)v.toDouble();
    } catch (const tdx::DecimalOverflow&) {
    }
  }
  return 0;
}
