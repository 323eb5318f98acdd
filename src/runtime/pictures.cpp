#include "runtime/pictures.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace tdx::pic {

namespace {

// Limits keep a garbled token from asking for a field of a million blanks.
constexpr int kMaxNumberWidth = 255;
constexpr int kMaxTextWidth = 100000;
constexpr int kMaxDecimals = 18;
// A typed entry may be as wide as the widest field, fixed texts included.
constexpr std::size_t kMaxTypedLength = 1024;
// What a Decimal holds; a value shown by a picture never has more.
constexpr int kMaxTypedDigits = 38;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

class Cursor {
 public:
  explicit Cursor(std::string_view s) : s_(s) {}
  bool atEnd() const { return i_ >= s_.size(); }
  char peek(std::size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }
  void skip(std::size_t n = 1) { i_ += n; }
  bool take(char c) {
    if (peek() != c || atEnd()) return false;
    ++i_;
    return true;
  }
  bool takeEither(char a, char b) { return take(a) || take(b); }
  // A run of digits as a number; nullopt when there is none or it exceeds `limit`.
  std::optional<int> number(int limit) {
    if (!isDigit(peek())) return std::nullopt;
    long v = 0;
    while (isDigit(peek())) {
      v = v * 10 + (peek() - '0');
      if (v > limit) return std::nullopt;
      skip();
    }
    return static_cast<int>(v);
  }
  // "~text~": true and the text, false when no tilde starts here; an
  // unclosed tilde sets `unclosed`.
  bool tildeText(std::string& out, bool& unclosed) {
    if (peek() != '~' || atEnd()) return false;
    std::size_t close = s_.find('~', i_ + 1);
    if (close == std::string_view::npos) {
      unclosed = true;
      return false;
    }
    out.assign(s_.substr(i_ + 1, close - i_ - 1));
    i_ = close + 1;
    return true;
  }
  std::string_view rest() const { return s_.substr(std::min(i_, s_.size())); }

 private:
  std::string_view s_;
  std::size_t i_ = 0;
};

std::optional<Picture> fail(std::string* error, std::string_view token, std::string_view why) {
  if (error) *error = "bad picture \"" + std::string(token) + "\": " + std::string(why);
  return std::nullopt;
}

std::optional<Picture> parseText(Cursor& c, Picture p, std::string_view token, std::string* error) {
  auto n = c.number(kMaxTextWidth);
  if (!n || *n == 0) return fail(error, token, "text width missing or out of range");
  if (!c.atEnd()) return fail(error, token, "unexpected characters after the width");
  p.kind = Kind::Text;
  p.width = *n;
  return p;
}

std::optional<Picture> parseNumber(Cursor& c, Picture p, std::string_view token, std::string* error) {
  p.kind = Kind::Number;
  bool unclosed = false;
  c.tildeText(p.before, unclosed);
  if (unclosed) return fail(error, token, "fixed text without its closing \"~\"");
  if (c.peek() == '0' || c.peek() == '_') {
    p.fill = c.peek();
    c.skip();
  }
  auto width = c.number(kMaxNumberWidth);
  if (!width || *width == 0) return fail(error, token, "number width missing or out of range");
  p.width = *width;

  bool dot = c.take('.');
  bool grave = c.take('`');
  if (grave) {
    auto d = c.number(kMaxDecimals);
    if (!d) return fail(error, token, "decimals missing or out of range after \"`\"");
    p.decimals = *d;
  }
  // Without an explicit full stop, a fill character means plain digits.
  p.grouping = dot || p.fill == ' ';

  c.tildeText(p.after, unclosed);
  if (unclosed) return fail(error, token, "fixed text without its closing \"~\"");
  if (c.takeEither('b', 'B')) p.blankZero = true;
  if (!c.atEnd()) return fail(error, token, "unexpected characters \"" + std::string(c.rest()) + "\"");
  // Room at least for zero ("0", "0,00"), or no value could ever show.
  if (p.numberWidth() < (p.decimals > 0 ? p.decimals + 2 : 1))
    return fail(error, token, "no room for the number beside its decimals and fixed texts");
  return p;
}

std::optional<Picture> parseDate(Cursor& c, Picture p, std::string_view token, std::string* error) {
  p.kind = Kind::Date;
  if (c.peek() == '0' && isDigit(c.peek(1))) {
    p.leadingZero = true;
    c.skip();
  }
  auto form = c.number(99);
  if (!form || *form != 6) return fail(error, token, "only the day.month.year form 6 is known");
  if (c.peek() == '.' || c.peek() == '/' || c.peek() == '-') {
    p.separator = c.peek();
    c.skip();
  }
  if (c.takeEither('b', 'B')) p.blankZero = true;
  if (!c.atEnd()) return fail(error, token, "unexpected characters \"" + std::string(c.rest()) + "\"");
  p.width = 10;
  return p;
}

std::optional<Picture> parseTime(Cursor& c, Picture p, std::string_view token, std::string* error) {
  p.kind = Kind::Time;
  p.separator = ':';
  if (c.peek() == '0' && isDigit(c.peek(1))) {
    p.leadingZero = true;
    c.skip();
  }
  auto form = c.number(99);
  if (!form || *form != 4) return fail(error, token, "only the hours:minutes:seconds form 4 is known");
  if (!c.atEnd()) return fail(error, token, "unexpected characters \"" + std::string(c.rest()) + "\"");
  p.width = 8;
  return p;
}

std::optional<Picture> parsePage(Cursor& c, Picture p, std::string_view token, std::string* error) {
  p.kind = Kind::PageNumber;
  std::string_view body = c.rest();
  if (body.empty() || (body.back() != 'p' && body.back() != 'P'))
    return fail(error, token, "a page number picture ends in \"p\"");
  body.remove_suffix(1);
  std::size_t first = body.find_first_of("<#");
  if (first == std::string_view::npos) return fail(error, token, "no digit positions (\"<\" or \"#\")");
  std::size_t last = body.find_last_of("<#");
  std::string_view positions = body.substr(first, last - first + 1);
  if (positions.find_first_not_of("<#") != std::string_view::npos)
    return fail(error, token, "the digit positions must stand together");
  p.before.assign(body.substr(0, first));
  p.after.assign(body.substr(last + 1));
  p.digitPositions = static_cast<int>(positions.size());
  if (p.digitPositions > 18) return fail(error, token, "too many digit positions");
  p.width = static_cast<int>(charCount(p.before) + charCount(p.after)) + p.digitPositions;
  return p;
}

std::string hashes(int width) { return std::string(static_cast<std::size_t>(width), '#'); }

std::string digitsOf(Decimal::Int v) {  // v >= 0
  if (v == 0) return "0";
  std::string s;
  while (v > 0) {
    s.push_back(static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  }
  std::reverse(s.begin(), s.end());
  return s;
}

std::string grouped(std::string_view digits) {
  std::string out;
  out.reserve(digits.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back('.');
    out.push_back(digits[i]);
  }
  return out;
}

// The number in its picture, or nullopt when it does not fit.
std::optional<std::string> layoutNumber(const Picture& p, const Decimal& value) {
  Decimal::Int units;
  try {
    units = (value.rounded(p.decimals) * Decimal::ratio(pow10i(p.decimals), 1)).numerator();
  } catch (const DecimalOverflow&) {
    return std::nullopt;
  }
  if (units == 0 && p.blankZero) return std::string(static_cast<std::size_t>(p.width), ' ');

  bool negative = units < 0;
  std::string digits = digitsOf(negative ? -units : units);
  if (digits.size() < static_cast<std::size_t>(p.decimals) + 1)
    digits.insert(0, static_cast<std::size_t>(p.decimals) + 1 - digits.size(), '0');
  std::string_view whole(digits.data(), digits.size() - static_cast<std::size_t>(p.decimals));
  std::string body = p.grouping ? grouped(whole) : std::string(whole);
  if (p.decimals > 0) {
    body.push_back(',');
    body.append(digits, whole.size());
  }

  const int room = p.numberWidth();
  const int taken = static_cast<int>(body.size()) + (negative ? 1 : 0);
  if (taken > room) return std::nullopt;
  std::string out;
  out.reserve(static_cast<std::size_t>(p.width) + p.before.size() + p.after.size());
  if (p.fill == '0') {
    out += p.before;
    if (negative) out.push_back('-');
    out.append(static_cast<std::size_t>(room - taken), '0');
  } else {
    out.append(static_cast<std::size_t>(room - taken), ' ');
    out += p.before;
    if (negative) out.push_back('-');
  }
  out += body;
  out += p.after;
  return out;
}

void requireKind(const Picture& p, Kind k, const char* what) {
  if (p.kind != k) throw BadPicture("picture \"" + p.token + "\" cannot show " + what);
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysIn(int month, int year) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

void twoDigits(std::string& out, int v, char lead) {
  out.push_back(v < 10 ? lead : static_cast<char>('0' + v / 10));
  out.push_back(static_cast<char>('0' + v % 10));
}

// Blanks removed, including the no-break spaces a pasted number may carry.
std::string withoutBlanks(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ' ' || s[i] == '\t') continue;
    if (s.substr(i, 2) == "\xC2\xA0") {
      ++i;
      continue;
    }
    if (s.substr(i, 3) == "\xE2\x80\xAF") {
      i += 2;
      continue;
    }
    out.push_back(s[i]);
  }
  return out;
}

bool stripPrefix(std::string& s, std::string_view prefix) {
  if (prefix.empty() || s.compare(0, prefix.size(), prefix) != 0) return false;
  s.erase(0, prefix.size());
  return true;
}

bool stripSuffix(std::string& s, std::string_view suffix) {
  if (suffix.empty() || s.size() < suffix.size() ||
      s.compare(s.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  s.erase(s.size() - suffix.size());
  return true;
}

// Thousands groups: 1 to 3 digits, then groups of exactly 3.
bool validGroups(std::string_view whole) {
  std::size_t start = 0;
  bool first = true;
  while (true) {
    std::size_t dot = whole.find('.', start);
    std::size_t len = (dot == std::string_view::npos ? whole.size() : dot) - start;
    if (first ? (len < 1 || len > 3) : len != 3) return false;
    first = false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

Entry refuse(std::string message) { return Entry{std::nullopt, std::move(message)}; }

std::string quoted(std::string_view typed) { return "»" + std::string(typed) + "«"; }

}  // namespace

int Picture::numberWidth() const {
  return width - static_cast<int>(charCount(before) + charCount(after));
}

std::size_t charCount(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::optional<Picture> parsePicture(std::string_view token, std::string* error) {
  if (token.size() < 3 || token[0] != '@') return fail(error, token, "a picture begins with \"@\" and a type letter");
  Picture p;
  p.token.assign(token);
  Cursor c(token.substr(2));
  switch (token[1]) {
    case 's': case 'S': return parseText(c, std::move(p), token, error);
    case 'n': case 'N': return parseNumber(c, std::move(p), token, error);
    case 'd': case 'D': return parseDate(c, std::move(p), token, error);
    case 't': case 'T': return parseTime(c, std::move(p), token, error);
    case 'p': case 'P': return parsePage(c, std::move(p), token, error);
    default: return fail(error, token, "unknown type letter");
  }
}

const Picture& picture(std::string_view token) {
  // Node-based, so references handed out stay valid as the cache grows.
  static std::map<std::string, Picture, std::less<>> cache;
  static std::mutex guard;
  std::lock_guard lock(guard);
  if (auto it = cache.find(token); it != cache.end()) return it->second;
  std::string error;
  auto parsed = parsePicture(token, &error);
  if (!parsed) throw BadPicture(error);
  return cache.emplace(std::string(token), std::move(*parsed)).first->second;
}

std::string format(const Picture& p, const Decimal& value) {
  requireKind(p, Kind::Number, "a number");
  auto text = layoutNumber(p, value);
  return text ? *text : hashes(p.width);
}

std::string format(const Picture& p, std::string_view text) {
  requireKind(p, Kind::Text, "a text");
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == static_cast<std::size_t>(p.width))
      return std::string(text.substr(0, i));
  }
  return std::string(text);
}

std::string format(const Picture& p, const Date& d) {
  requireKind(p, Kind::Date, "a date");
  if (d.isZero() && p.blankZero) return std::string(static_cast<std::size_t>(p.width), ' ');
  if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysIn(d.month, d.year))
    return hashes(p.width);
  std::string out;
  twoDigits(out, d.day, p.leadingZero ? '0' : ' ');
  out.push_back(p.separator);
  twoDigits(out, d.month, '0');
  out.push_back(p.separator);
  out += std::to_string(d.year + 10000).substr(1);
  return out;
}

std::string format(const Picture& p, const Time& t) {
  requireKind(p, Kind::Time, "a time");
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
    return hashes(p.width);
  std::string out;
  twoDigits(out, t.hour, p.leadingZero ? '0' : ' ');
  out.push_back(':');
  twoDigits(out, t.minute, '0');
  out.push_back(':');
  twoDigits(out, t.second, '0');
  return out;
}

std::string formatPage(const Picture& p, int page) {
  requireKind(p, Kind::PageNumber, "a page number");
  std::string digits = page < 0 ? std::string() : std::to_string(page);
  std::string positions;
  if (page < 0 || digits.size() > static_cast<std::size_t>(p.digitPositions))
    positions = hashes(p.digitPositions);
  else
    positions = std::string(p.digitPositions - digits.size(), ' ') + digits;
  return p.before + positions + p.after;
}

std::string format(std::string_view token, const Decimal& value) { return format(picture(token), value); }
std::string format(std::string_view token, std::string_view text) { return format(picture(token), text); }
std::string format(std::string_view token, const Date& date) { return format(picture(token), date); }
std::string format(std::string_view token, const Time& time) { return format(picture(token), time); }

Entry parse(const Picture& p, std::string_view typed) {
  requireKind(p, Kind::Number, "a number");
  if (typed.size() > kMaxTypedLength) return refuse("Vnos je predolg za število.");

  std::string s = withoutBlanks(typed);
  stripPrefix(s, withoutBlanks(p.before));
  stripSuffix(s, withoutBlanks(p.after));
  for (std::string_view sign : {"€", "%"}) {
    stripPrefix(s, sign);
    stripSuffix(s, sign);
  }
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.erase(0, 1);
    stripPrefix(s, "€");
    if (s.empty()) return refuse("Vnos " + quoted(typed) + " ni število.");
  }
  if (s.empty()) s = "0";

  if (s.find_first_not_of("0123456789.,") != std::string::npos ||
      s.find_first_of("0123456789") == std::string::npos)
    return refuse("Vnos " + quoted(typed) + " ni število.");

  // Leading zeros are a fill ("00001.234" from a zero-filled picture), not
  // the first group of thousands.
  std::size_t zeros = 0;
  while (zeros + 1 < s.size() && s[zeros] == '0' && isDigit(s[zeros + 1])) ++zeros;
  s.erase(0, zeros);

  std::string whole, fraction;
  std::size_t comma = s.find(',');
  std::size_t dots = static_cast<std::size_t>(std::count(s.begin(), s.end(), '.'));
  if (comma != std::string::npos) {
    whole = s.substr(0, comma);
    fraction = s.substr(comma + 1);
    if (fraction.find_first_of(".,") != std::string::npos) return refuse("Vnos " + quoted(typed) + " ni število.");
  } else if (dots == 1) {
    std::size_t dot = s.find('.');
    bool thousands = p.decimals == 0 && validGroups(s);
    if (thousands) {
      whole = s;
    } else {
      whole = s.substr(0, dot);
      fraction = s.substr(dot + 1);
    }
  } else {
    whole = s;
  }
  if (whole.find('.') != std::string::npos) {
    if (!validGroups(whole)) return refuse("Vnos " + quoted(typed) + " ima napačno ločene tisočice.");
    whole.erase(std::remove(whole.begin(), whole.end(), '.'), whole.end());
  }
  // Trailing zeros of the decimals say nothing; a shown value has them.
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (whole.size() + fraction.size() > static_cast<std::size_t>(kMaxTypedDigits))
    return refuse("Število " + quoted(typed) + " je preveliko za to polje.");

  std::string plain = (negative ? "-" : "") + (whole.empty() ? std::string("0") : whole);
  if (!fraction.empty()) plain += "." + fraction;
  std::optional<Decimal> value;
  try {
    value = Decimal::parse(plain);
  } catch (const DecimalOverflow&) {
    value.reset();
  }
  if (!value) return refuse("Število " + quoted(typed) + " je preveliko za to polje.");
  if (!layoutNumber(p, *value)) return refuse("Število " + quoted(typed) + " je preveliko za to polje.");
  return Entry{value, {}};
}

Entry parse(std::string_view token, std::string_view typed) { return parse(picture(token), typed); }

}  // namespace tdx::pic
