// UTF-8 from the screen and the command line: a text either converts and
// comes back byte for byte, or is refused with the character that did not fit.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "records/cp1250.h"

namespace {
int sign(int v) { return (v > 0) - (v < 0); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace cp = tdx::cp1250;
  std::string_view input(reinterpret_cast<const char*>(data), size);

  std::string bad;
  if (auto bytes = cp::fromUtf8(input, &bad)) {
    if (cp::toUtf8(*bytes) != input) std::abort();
  } else if (bad.empty() || input.find(bad) == std::string_view::npos) {
    std::abort();
  }

  // The same input as Windows-1250 bytes: the comparison and the keys that
  // the indexes store must agree, and folding must not change the order.
  std::size_t half = size / 2;
  std::string_view a = input.substr(0, half), b = input.substr(half);
  std::string ka = cp::collationKey(a), kb = cp::collationKey(b);
  int byKey = sign(ka.compare(kb));
  if (sign(cp::compareNoCase(a, b)) != byKey) std::abort();
  if (cp::equalNoCase(a, b) != (byKey == 0)) std::abort();
  if (cp::collationKey(cp::upper(a)) != ka) std::abort();
  if (ka.find('\0') != std::string::npos) std::abort();
  std::size_t n = cp::trimRight(a).size();
  bool prefix = n <= b.size() && cp::collationKey(b.substr(0, n)) == cp::collationKey(a.substr(0, n));
  if (cp::startsWithNoCase(b, a) != prefix) std::abort();
  return 0;
}
