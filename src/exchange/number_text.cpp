#include "exchange/number_text.h"

namespace tdx {

namespace {
constexpr int kMaxDigits = 37;  // below 10^37 an __int128 never overflows
constexpr int kMaxDecimals = 18;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

Decimal readNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  Decimal::Int units = 0;
  int significant = 0;  // digits in `units`, leading zeros not counted
  bool full = false;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    if (significant == kMaxDigits) {
      full = true;
      break;
    }
    units = units * 10 + (text[i] - '0');
    if (units != 0) ++significant;
  }
  int places = 0;
  if (!full && i < text.size() && (text[i] == ',' || text[i] == '.')) {
    for (++i; i < text.size() && isDigit(text[i]); ++i) {
      if (places == kMaxDecimals || significant == kMaxDigits) continue;
      units = units * 10 + (text[i] - '0');
      ++places;
      if (units != 0) ++significant;
    }
  }
  return Decimal::ratio(negative ? -units : units, pow10i(places));
}

}  // namespace tdx
