// Picture tokens and typed entries: a token either parses or is refused
// with a reason; a parsed picture formats any value to exactly its width;
// a typed number it accepts shows without overflow and what it shows reads
// back as the same value.
//
// Input: the token, a line break, then the typed text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/pictures.h"

namespace {

using namespace tdx;

bool allBlank(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

void checkNumber(const pic::Picture& p, std::string_view typed) {
  pic::Entry e = pic::parse(p, typed);
  if (!e) {
    if (e.error.empty()) std::abort();
    return;
  }
  const std::string shown = pic::format(p, *e.value);
  if (pic::charCount(shown) != static_cast<std::size_t>(p.width)) std::abort();
  if (shown == std::string(static_cast<std::size_t>(p.width), '#')) std::abort();  // accepted, so it fits
  pic::Entry back = pic::parse(p, shown);
  if (!back) std::abort();
  const Decimal expected = allBlank(shown) ? Decimal(0) : e.value->rounded(p.decimals);
  if (!(*back.value == expected)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t eol = input.find('\n');
  std::string_view token = input.substr(0, eol);
  std::string_view typed = eol == std::string_view::npos ? std::string_view() : input.substr(eol + 1);

  std::string why;
  auto p = pic::parsePicture(token, &why);
  if (!p) {
    if (why.empty()) std::abort();
    return 0;
  }
  const auto width = static_cast<std::size_t>(p->width);
  switch (p->kind) {
    case pic::Kind::Number:
      checkNumber(*p, typed);
      break;
    case pic::Kind::Text:
      if (pic::charCount(pic::format(*p, typed)) > width) std::abort();
      break;
    case pic::Kind::Date: {
      const int d = size > 0 ? data[0] % 40 : 0, m = size > 1 ? data[1] % 14 : 0;
      const int y = size > 3 ? (data[2] << 8 | data[3]) % 10001 : 0;
      if (pic::charCount(pic::format(*p, pic::Date{d, m, y})) != width) std::abort();
      break;
    }
    case pic::Kind::Time: {
      const int h = size > 0 ? data[0] % 30 - 2 : 0, m = size > 1 ? data[1] % 70 : 0, s = size > 2 ? data[2] % 70 : 0;
      if (pic::charCount(pic::format(*p, pic::Time{h, m, s})) != width) std::abort();
      break;
    }
    case pic::Kind::PageNumber: {
      const int page = size > 2 ? (data[size - 1] << 16 | data[size - 2] << 8 | data[size - 3]) - 5 : 1;
      if (pic::charCount(pic::formatPage(*p, page)) != width) std::abort();
      break;
    }
  }
  return 0;
}
