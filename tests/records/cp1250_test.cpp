#include "records/cp1250.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tdx::cp1250 {
namespace {

// Windows-1250 bytes of a UTF-8 literal.
std::string w(std::string_view utf8) {
  auto bytes = fromUtf8(utf8);
  if (!bytes) throw std::runtime_error("not in the code page: " + std::string(utf8));
  return *bytes;
}

constexpr unsigned char kUnassigned[] = {0x81, 0x83, 0x88, 0x90, 0x98};
bool unassigned(int b) { return std::find(std::begin(kUnassigned), std::end(kUnassigned), b) != std::end(kUnassigned); }

TEST(Cp1250, WholeCodePageRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    std::string byte(1, char(b));
    std::string utf8 = toUtf8(byte);
    EXPECT_EQ(utf8, charUtf8((unsigned char)b));
    if (unassigned(b)) {
      EXPECT_EQ(utf8, "\xEF\xBF\xBD") << b;
      continue;
    }
    EXPECT_EQ(fromUtf8(utf8), byte) << "byte " << b;
  }
  EXPECT_EQ(toUtf8(w("Čaša žganja, 9 €")), "Čaša žganja, 9 €");
}

// The system's own converter is an independent account of the same table.
TEST(Cp1250, TableAgreesWithIconv) {
  iconv_t cd = iconv_open("UTF-8", "CP1250");
  if (cd == iconv_t(-1)) GTEST_SKIP() << "iconv has no CP1250";
  for (int b = 0; b < 256; ++b) {
    if (unassigned(b)) continue;
    char in[1] = {char(b)};
    char out[8];
    char* ip = in;
    char* op = out;
    std::size_t il = 1, ol = sizeof out;
    ASSERT_NE(iconv(cd, &ip, &il, &op, &ol), std::size_t(-1)) << b;
    EXPECT_EQ(std::string_view(out, std::size_t(op - out)), charUtf8((unsigned char)b)) << "byte " << b;
  }
  iconv_close(cd);
}

TEST(Cp1250, CharacterOutsideTheCodePageIsRefused) {
  std::string bad;
  EXPECT_FALSE(fromUtf8("cena 5 ¥", &bad).has_value());
  EXPECT_EQ(bad, "¥");
  EXPECT_FALSE(fromUtf8("Ω", &bad).has_value());
  EXPECT_EQ(bad, "Ω");
  EXPECT_FALSE(fromUtf8("\xC2\x81", &bad).has_value());  // C1 control, not byte 0x81
  // Broken UTF-8: truncated, overlong, surrogate, lone continuation.
  for (std::string_view s : {"\xC4", "\xC0\xAE", "\xED\xA0\x80", "\x80", "\xF4\x90\x80\x80"})
    EXPECT_FALSE(fromUtf8(s).has_value()) << s.size();
  EXPECT_EQ(fromUtf8(""), std::string());
}

TEST(Cp1250, FoldsEveryLetterPair) {
  const char* pairs[][2] = {
      {"č", "Č"}, {"š", "Š"}, {"ž", "Ž"}, {"ć", "Ć"}, {"đ", "Đ"}, {"ą", "Ą"}, {"ę", "Ę"}, {"ł", "Ł"},
      {"ń", "Ń"}, {"ó", "Ó"}, {"ő", "Ő"}, {"ř", "Ř"}, {"ś", "Ś"}, {"ť", "Ť"}, {"ź", "Ź"}, {"ż", "Ż"},
      {"ů", "Ů"}, {"ű", "Ű"}, {"ý", "Ý"}, {"á", "Á"}, {"â", "Â"}, {"ă", "Ă"}, {"ä", "Ä"}, {"ç", "Ç"},
      {"é", "É"}, {"ë", "Ë"}, {"ě", "Ě"}, {"í", "Í"}, {"î", "Î"}, {"ď", "Ď"}, {"ň", "Ň"}, {"ô", "Ô"},
      {"ö", "Ö"}, {"ŕ", "Ŕ"}, {"ĺ", "Ĺ"}, {"ľ", "Ľ"}, {"ş", "Ş"}, {"ţ", "Ţ"}, {"ü", "Ü"}, {"ú", "Ú"},
      {"a", "A"}, {"z", "Z"},
  };
  for (auto& p : pairs) {
    unsigned char lo = (unsigned char)w(p[0])[0], up = (unsigned char)w(p[1])[0];
    EXPECT_EQ(upper(lo), up) << p[0];
    EXPECT_EQ(lower(up), lo) << p[1];
    EXPECT_EQ(upper(up), up) << p[1];
  }
  for (const char* same : {"ß", "×", "÷", "µ", "˙", "1", "€", " "}) {
    unsigned char b = (unsigned char)w(same)[0];
    EXPECT_EQ(upper(b), b) << same;
    EXPECT_EQ(lower(b), b) << same;
  }
  EXPECT_EQ(toUtf8(upper(w("čevapčiči in žganci"))), "ČEVAPČIČI IN ŽGANCI");
}

TEST(Cp1250, SlovenianCollationOrder) {
  // Each text sorts strictly before the next.
  const char* order[] = {
      "",   " a", "!",  "-",  "0",  "9",  "a",  "á",  "ä",  "b",  "c",  "č",  "Ć",  "ç",  "d",
      "đ",  "ď",  "e",  "é",  "ě",  "i",  "l",  "ł",  "n",  "o",  "ö",  "r",  "ř",  "s",  "Š",
      "ś",  "t",  "ť",  "u",  "ü",  "y",  "ý",  "z",  "ž",  "ź",  "ż",
  };
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    std::string a = w(order[i]), b = w(order[i + 1]);
    EXPECT_LT(compareNoCase(a, b), 0) << order[i] << " < " << order[i + 1];
    EXPECT_GT(compareNoCase(b, a), 0) << order[i + 1] << " > " << order[i];
    std::string ka = collationKey(a), kb = collationKey(b);
    EXPECT_LT(ka, kb) << order[i] << " key";
  }
  // Whole words: the accented letter decides only after the base letters.
  std::vector<std::string> words = {w("Žaba"), w("zebra"), w("čaj"), w("Cvet"), w("ćevap"), w("Šola"), w("sova"),
                                    w("Đuro"), w("dom"), w("EVA")};
  std::sort(words.begin(), words.end(), [](auto& a, auto& b) { return collationKey(a) < collationKey(b); });
  std::vector<std::string> want = {w("Cvet"), w("čaj"), w("ćevap"), w("dom"), w("Đuro"), w("EVA"), w("sova"),
                                   w("Šola"), w("zebra"), w("Žaba")};
  EXPECT_EQ(words, want);
}

TEST(Cp1250, WeightsDifferExceptByCase) {
  // One weight per character: two bytes share a weight exactly when they are
  // the two cases of one letter, and no key holds a zero byte.
  for (int a = 0; a < 256; ++a) {
    std::string ka = collationKey(std::string(1, char(a)) + "x");
    EXPECT_NE(ka[0], '\0') << a;
    for (int b = a + 1; b < 256; ++b) {
      std::string kb = collationKey(std::string(1, char(b)) + "x");
      EXPECT_EQ(ka == kb, upper((unsigned char)a) == upper((unsigned char)b)) << a << " vs " << b;
    }
  }
}

TEST(Cp1250, CaseInsensitiveEqualityAndPrefixes) {
  EXPECT_TRUE(equalNoCase(w("Čebelji vosek"), w("ČEBELJI VOSEK   ")));
  EXPECT_TRUE(equalNoCase(w("ŠKATLA"), w("škatla")));
  EXPECT_FALSE(equalNoCase(w("škatla"), w("skatla")));
  EXPECT_FALSE(equalNoCase("abc", "abcd"));
  EXPECT_LT(compareNoCase("abc", "abcd"), 0);
  EXPECT_LT(compareNoCase("ab", "ab c"), 0);
  EXPECT_EQ(compareNoCase("abc   ", "ABC"), 0);
  EXPECT_EQ(collationKey("abc   "), collationKey("ABC"));

  EXPECT_TRUE(startsWithNoCase(w("Žganje domače"), w("žGAN")));
  EXPECT_TRUE(startsWithNoCase(w("Žganje"), w("žganje   ")));
  EXPECT_TRUE(startsWithNoCase("anything", ""));
  EXPECT_FALSE(startsWithNoCase(w("Zganje"), w("žg")));
  EXPECT_FALSE(startsWithNoCase("ab", "abc"));
}

TEST(Cp1250, TrimsPadding) {
  EXPECT_EQ(trimRight(std::string_view("ab  \0\0", 6)), "ab");
  EXPECT_EQ(trimRight("   "), "");
  EXPECT_EQ(trimLeft("  a b "), "a b ");
}

}  // namespace
}  // namespace tdx::cp1250
