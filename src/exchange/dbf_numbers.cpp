#include "exchange/dbf_numbers.h"

namespace tdx::dbf {

std::optional<std::string> formatNumeric(const Decimal& value, int width, int decimals) {
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
