#include "runtime/typed_character.h"

#include "records/cp1250.h"

namespace tdx::rt {

std::string characterUtf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
  return out;
}

std::optional<std::string> characterBytes(char32_t c) {
  if (c < 0x20 || c == 0x7F || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return std::nullopt;
  return cp1250::fromUtf8(characterUtf8(c));
}

}  // namespace tdx::rt
