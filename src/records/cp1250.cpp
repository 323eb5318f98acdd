#include "records/cp1250.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tdx::cp1250 {

namespace {

constexpr char32_t kNone = 0xFFFD;

// The upper half of the code page; the lower half is ASCII.
constexpr char32_t kHigh[128] = {
    0x20AC, kNone,  0x201A, kNone,  0x201E, 0x2026, 0x2020, 0x2021,  // 80
    kNone,  0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    kNone,  0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    kNone,  0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

constexpr char32_t codePoint(unsigned char b) { return b < 0x80 ? char32_t(b) : kHigh[b - 0x80]; }

// Lower-case byte -> upper-case byte for every letter pair of the code page.
constexpr unsigned char kCasePairs[][2] = {
    {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F},  // š ś ť ž ź
    {0xB3, 0xA3}, {0xB9, 0xA5}, {0xBA, 0xAA}, {0xBF, 0xAF}, {0xBE, 0xBC},  // ł ą ş ż ľ
};

struct CaseTables {
  std::array<unsigned char, 256> up{}, down{};
};

constexpr CaseTables makeCaseTables() {
  CaseTables t;
  for (int i = 0; i < 256; ++i) t.up[i] = t.down[i] = (unsigned char)i;
  for (int c = 'a'; c <= 'z'; ++c) {
    t.up[c] = (unsigned char)(c - 32);
    t.down[c - 32] = (unsigned char)c;
  }
  // à..þ pair with À..Þ, except ÷ against × (no letters) and ß (no capital).
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c == 0xF7) continue;
    t.up[c] = (unsigned char)(c - 32);
    t.down[c - 32] = (unsigned char)c;
  }
  for (auto& p : kCasePairs) {
    t.up[p[0]] = p[1];
    t.down[p[1]] = p[0];
  }
  return t;
}
constexpr CaseTables kCase = makeCaseTables();

// Upper-case letters in alphabetical order: every group starts with its
// base letter, the Slovenian letters follow it as the alphabet has them
// (C Č Ć, D Đ, S Š, Z Ž), then the other accented forms in code order.
constexpr unsigned char kLetterOrder[] = {
    'A', 0xA5, 0xC1, 0xC2, 0xC3, 0xC4,  // A Ą Á Â Ă Ä
    'B',
    'C', 0xC8, 0xC6, 0xC7,  // C Č Ć Ç
    'D', 0xD0, 0xCF,        // D Đ Ď
    'E', 0xC9, 0xCA, 0xCB, 0xCC,  // E É Ę Ë Ě
    'F', 'G', 'H',
    'I', 0xCD, 0xCE,  // I Í Î
    'J', 'K',
    'L', 0xA3, 0xBC, 0xC5,  // L Ł Ľ Ĺ
    'M',
    'N', 0xD1, 0xD2,  // N Ń Ň
    'O', 0xD3, 0xD4, 0xD5, 0xD6,  // O Ó Ô Ő Ö
    'P', 'Q',
    'R', 0xC0, 0xD8,  // R Ŕ Ř
    'S', 0x8A, 0x8C, 0xAA, 0xDF,  // S Š Ś Ş ß
    'T', 0x8D, 0xDE,  // T Ť Ţ
    'U', 0xD9, 0xDA, 0xDB, 0xDC,  // U Ů Ú Ű Ü
    'V', 'W', 'X',
    'Y', 0xDD,  // Y Ý
    'Z', 0x8E, 0x8F, 0xAF,  // Z Ž Ź Ż
};

// One weight per byte, after folding to upper case. Weights start at 1 so
// that a key never holds a zero byte.
constexpr std::array<unsigned char, 256> makeWeights() {
  std::array<bool, 256> letter{};
  for (unsigned char c : kLetterOrder) letter[c] = true;
  std::array<unsigned char, 256> w{};
  int next = 1;
  w[' '] = (unsigned char)next++;
  for (int b = 0; b < 256; ++b) {
    bool digit = b >= '0' && b <= '9';
    if (b == ' ' || digit || letter[kCase.up[b]]) continue;
    w[b] = (unsigned char)next++;
  }
  for (int b = '0'; b <= '9'; ++b) w[b] = (unsigned char)next++;
  for (unsigned char c : kLetterOrder) w[c] = (unsigned char)next++;
  for (int b = 0; b < 256; ++b)
    if (letter[kCase.up[b]]) w[b] = w[kCase.up[b]];
  return w;
}
constexpr auto kWeight = makeWeights();

struct Utf8Table {
  std::array<std::array<char, 4>, 256> bytes{};
  std::array<unsigned char, 256> length{};
};

constexpr Utf8Table makeUtf8Table() {
  Utf8Table t;
  for (int b = 0; b < 256; ++b) {
    char32_t c = codePoint((unsigned char)b);
    auto& o = t.bytes[b];
    if (c < 0x80) {
      o[0] = char(c);
      t.length[b] = 1;
    } else if (c < 0x800) {
      o[0] = char(0xC0 | (c >> 6));
      o[1] = char(0x80 | (c & 0x3F));
      t.length[b] = 2;
    } else {
      o[0] = char(0xE0 | (c >> 12));
      o[1] = char(0x80 | ((c >> 6) & 0x3F));
      o[2] = char(0x80 | (c & 0x3F));
      t.length[b] = 3;
    }
  }
  return t;
}
constexpr Utf8Table kUtf8 = makeUtf8Table();

struct Reverse {
  char32_t cp;
  unsigned char byte;
};

// The assigned upper-half characters sorted by code point, for the way back.
constexpr std::array<Reverse, 123> makeReverse() {
  std::array<Reverse, 123> r{};
  std::size_t n = 0;
  for (int b = 0x80; b < 256; ++b)
    if (kHigh[b - 0x80] != kNone) r[n++] = {kHigh[b - 0x80], (unsigned char)b};
  for (std::size_t i = 1; i < n; ++i)
    for (std::size_t j = i; j > 0 && r[j - 1].cp > r[j].cp; --j) std::swap(r[j - 1], r[j]);
  return r;
}
constexpr auto kReverse = makeReverse();

std::optional<unsigned char> byteOf(char32_t cp) {
  if (cp < 0x80) return (unsigned char)cp;
  auto it = std::lower_bound(kReverse.begin(), kReverse.end(), cp,
                             [](const Reverse& r, char32_t c) { return r.cp < c; });
  if (it != kReverse.end() && it->cp == cp) return it->byte;
  return std::nullopt;
}

// One character of UTF-8 from position i; 0 bytes consumed means invalid.
// Overlong forms, surrogates and values past U+10FFFF are invalid.
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  auto u = [&](std::size_t k) { return (unsigned char)s[k]; };
  unsigned char c = u(i);
  std::size_t len;
  char32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    len = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((u(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (u(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// Bytes that end a stored text: blank padding and the zero of a CSTRING.
bool isPad(char c) { return c == ' ' || c == '\0'; }

}  // namespace

std::optional<std::string> fromUtf8(std::string_view utf8, std::string* badChar) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp;
    std::size_t len = decodeUtf8(utf8, i, cp);
    if (len == 0) {
      if (badChar) *badChar = std::string(utf8.substr(i, 1));
      return std::nullopt;
    }
    auto b = byteOf(cp);
    if (!b) {
      if (badChar) *badChar = std::string(utf8.substr(i, len));
      return std::nullopt;
    }
    out += char(*b);
    i += len;
  }
  return out;
}

std::string toUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (unsigned char b : bytes) out.append(kUtf8.bytes[b].data(), kUtf8.length[b]);
  return out;
}

std::string_view charUtf8(unsigned char byte) { return {kUtf8.bytes[byte].data(), kUtf8.length[byte]}; }

unsigned char upper(unsigned char byte) { return kCase.up[byte]; }
unsigned char lower(unsigned char byte) { return kCase.down[byte]; }

std::string upper(std::string_view bytes) {
  std::string out(bytes);
  for (auto& c : out) c = char(kCase.up[(unsigned char)c]);
  return out;
}

std::string_view trimRight(std::string_view bytes) {
  std::size_t n = bytes.size();
  // Stored texts are mostly padding: skip it eight bytes at a time. A word
  // of blanks and zeros has no bit set outside 0x20 in any byte.
  constexpr std::uint64_t kOnlyBlankBits = ~0x2020202020202020ULL;
  while (n >= 8) {
    std::uint64_t w;
    std::memcpy(&w, bytes.data() + n - 8, 8);
    if (w & kOnlyBlankBits) break;
    n -= 8;
  }
  while (n > 0 && isPad(bytes[n - 1])) --n;
  return bytes.substr(0, n);
}

std::string_view trimLeft(std::string_view bytes) {
  std::size_t n = 0;
  while (n < bytes.size() && bytes[n] == ' ') ++n;
  return bytes.substr(n);
}

std::string collationKey(std::string_view bytes) {
  bytes = trimRight(bytes);
  std::string key(bytes.size(), '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) key[i] = char(kWeight[(unsigned char)bytes[i]]);
  return key;
}

int compareNoCase(std::string_view a, std::string_view b) {
  a = trimRight(a);
  b = trimRight(b);
  std::size_t n = std::min(a.size(), b.size());
  // Equal bytes have equal weights: skip the common run cheaply.
  std::size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  for (; i < n; ++i) {
    int wa = kWeight[(unsigned char)a[i]], wb = kWeight[(unsigned char)b[i]];
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool equalNoCase(std::string_view a, std::string_view b) { return compareNoCase(a, b) == 0; }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  // A prefix taken from a blank-padded field carries its padding; the
  // padding is not part of what the user typed.
  prefix = trimRight(prefix);
  if (prefix.size() > text.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (kWeight[(unsigned char)text[i]] != kWeight[(unsigned char)prefix[i]]) return false;
  return true;
}

}  // namespace tdx::cp1250
