#include "runtime/record_thumb.h"

#include <cstring>

#include "records/cp1250.h"

namespace tdx::rt {

namespace {

// Blank, digits, then the letters as the Slovenian collation orders them
// (Windows-1250: Č C8, Ć C6, Đ D0, Š 8A, Ž 8E).
constexpr unsigned char kAlphabet[] = {
    ' ',  '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B',  'C', 0xC8, 0xC6, 'D', 0xD0, 'E', 'F', 'G',
    'H',  'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 0x8A, 'T', 'U',  'V',  'W', 'X',  'Y', 'Z', 0x8E,
};
constexpr int kBase = sizeof(kAlphabet);
constexpr int kPlaces = 10;  // 42^10 < 2^63

// The symbol of every byte: the last one that does not sort after it.
const std::array<int, 256>& ranks() {
  static const std::array<int, 256> table = [] {
    std::array<int, 256> t{};
    for (int b = 0; b < 256; ++b) {
      char c = char(b);
      int rank = 0;
      for (int i = 0; i < kBase; ++i) {
        char s = char(kAlphabet[i]);
        if (cp1250::compareNoCase(std::string_view(&s, 1), std::string_view(&c, 1)) <= 0) rank = i;
      }
      t[std::size_t(b)] = rank;
    }
    return t;
  }();
  return table;
}

int rankAt(std::string_view text, std::size_t i) {
  return i < text.size() ? ranks()[static_cast<unsigned char>(text[i])] : 0;
}

// The first ten symbols of a text after the `skip` symbols that every value
// of the table shares.
std::int64_t textToNumber(std::string_view text, std::size_t skip) {
  text = cp1250::trimRight(text);
  std::int64_t n = 0;
  for (std::size_t i = 0; i < std::size_t(kPlaces); ++i) n = n * kBase + rankAt(text, skip + i);
  return n;
}

std::string numberToText(std::int64_t n) {
  std::string out(kPlaces, ' ');
  for (int i = kPlaces - 1; i >= 0; --i) {
    out[std::size_t(i)] = char(kAlphabet[n % kBase]);
    n /= kBase;
  }
  return std::string(cp1250::trimRight(out));
}

std::int64_t step(std::int64_t first, std::int64_t last, int k) {
  using I = __int128;
  return std::int64_t(I(first) + (I(last) - I(first)) * (k - 1) / (ThumbTable::kSteps - 1));
}

int positionOfFirst(int k) {
  if (k < 0) return 100;
  return k == 1 ? 0 : k;
}

}  // namespace

ThumbTable ThumbTable::ofNumbers(std::int64_t first, std::int64_t last) {
  ThumbTable t;
  t.built_ = true;
  for (int k = 1; k <= kSteps; ++k) t.numbers_[std::size_t(k - 1)] = step(first, last, k);
  return t;
}

// Names of one tender often share a long beginning ("Zdravilo ..."); the
// steps spread over what follows it, so that they still differ.
ThumbTable ThumbTable::ofTexts(std::string_view first, std::string_view last) {
  ThumbTable t;
  t.built_ = true;
  t.texts_ = true;
  first = cp1250::trimRight(first);
  last = cp1250::trimRight(last);
  std::size_t p = 0;
  while (p < first.size() && p < last.size() && rankAt(first, p) == rankAt(last, p)) ++p;
  t.prefix_.clear();
  for (std::size_t i = 0; i < p; ++i) t.prefix_ += char(kAlphabet[rankAt(first, i)]);
  std::int64_t a = textToNumber(first, p), b = textToNumber(last, p);
  for (int k = 1; k <= kSteps; ++k) {
    t.numbers_[std::size_t(k - 1)] = step(a, b, k);
    t.strings_[std::size_t(k - 1)] =
        std::string(cp1250::trimRight(t.prefix_ + numberToText(t.numbers_[std::size_t(k - 1)])));
  }
  return t;
}

int ThumbTable::positionOf(std::int64_t value) const {
  if (!built_) return 0;
  for (int k = 1; k <= kSteps; ++k)
    if (numbers_[std::size_t(k - 1)] >= value) return positionOfFirst(k);
  return positionOfFirst(-1);
}

// Texts compare as the table was built: by the shared beginning, then by
// the ten symbols after it, so the first name stands at the first step
// however long it is.
int ThumbTable::positionOf(std::string_view value) const {
  if (!built_) return 0;
  value = cp1250::trimRight(value);
  for (std::size_t i = 0; i < prefix_.size(); ++i) {
    int r = rankAt(value, i), own = ranks()[static_cast<unsigned char>(prefix_[i])];
    if (r < own) return 0;
    if (r > own) return 100;
  }
  return positionOf(textToNumber(value, prefix_.size()));
}

}  // namespace tdx::rt
