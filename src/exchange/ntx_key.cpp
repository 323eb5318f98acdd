#include "exchange/ntx_key.h"

#include "exchange/dbf_numbers.h"

namespace tdx::ntx {

std::string characterKey(std::string_view bytes, int keySize) {
  std::string key(bytes.substr(0, std::size_t(keySize)));
  key.resize(std::size_t(keySize), ' ');
  return key;
}

std::optional<std::string> numericKey(const Decimal& value, int width, int decimals) {
  auto text = dbf::formatNumeric(value, width, decimals);
  if (!text) return std::nullopt;
  std::string& key = *text;
  bool negative = false;
  for (char& c : key) {
    if (c == ' ') {
      c = '0';
    } else if (c == '-') {
      c = '0';
      negative = true;
    }
  }
  if (negative)
    for (char& c : key)
      if (c >= '0' && c <= '9') c = char(0x5C - c);
  return key;
}

}  // namespace tdx::ntx
