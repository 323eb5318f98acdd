// Pop-up menu descriptions of any bytes: every entry between "|" but a lone
// "-" is one choice, greyed by a leading "~"; never a crash.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/popup_items.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view spec(reinterpret_cast<const char*>(data), size);
  auto items = tdx::rt::popupItems(spec);
  std::size_t expected = 0;
  if (!spec.empty()) {
    std::size_t start = 0;
    for (;;) {
      auto bar = spec.find('|', start);
      auto part = spec.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
      if (part != "-") ++expected;
      if (bar == std::string_view::npos) break;
      start = bar + 1;
    }
  }
  if (items.size() != expected) std::abort();
  for (const auto& i : items)
    if (i.text.find('|') != std::string::npos) std::abort();
  return 0;
}
