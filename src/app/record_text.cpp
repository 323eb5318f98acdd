#include "app/record_text.h"

#include <charconv>
#include <istream>
#include <limits>

#include "records/cp1250.h"
#include "records/decimal.h"
#include "records/fields.h"

namespace tdx::app::rtext {

// ---- writing ----------------------------------------------------------

std::string headerLine(const FileDef& def) {
  std::string out;
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    if (i) out += ';';
    out += def.fieldLabel(int(i));
  }
  return out;
}

std::string formatValue(const RecordBuffer& buf, const FieldDef& f) {
  switch (f.type) {
    case FieldType::Short:
    case FieldType::Long:
      return std::to_string(field::getInt(buf, f));
    case FieldType::Decimal:
      return Decimal::fromUnits(field::getUnits(buf, f), f.places).toString(f.places);
    case FieldType::String:
    case FieldType::CString:
    case FieldType::Memo:
      return cp1250::toUtf8(field::getText(buf, f));
  }
  return {};
}

void appendQuoted(std::string& out, std::string_view value) {
  if (value.find_first_of(";\"\r\n") == std::string_view::npos) {
    out += value;
    return;
  }
  out += '"';
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void appendRecordLine(std::string& out, const RecordBuffer& buf) {
  const auto& fields = buf.def().fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ';';
    const FieldDef& f = fields[i];
    if (f.type == FieldType::Short || f.type == FieldType::Long || f.type == FieldType::Decimal)
      out += formatValue(buf, f);  // numbers never need quotes
    else
      appendQuoted(out, formatValue(buf, f));
  }
  out += '\n';
}

// ---- reading ----------------------------------------------------------

namespace {
constexpr std::size_t kBlock = 64 * 1024;
}

RowReader::RowReader(std::istream& in) : in_(in) {}

bool RowReader::fill() {
  if (eof_) return false;
  if (pos_ > 0) {
    buf_.erase(0, pos_);
    pos_ = 0;
  }
  std::size_t old = buf_.size();
  buf_.resize(old + kBlock);
  in_.read(buf_.data() + old, std::streamsize(kBlock));
  auto n = std::size_t(in_.gcount());
  buf_.resize(old + n);
  if (n == 0) eof_ = true;
  return n > 0;
}

int RowReader::peek() {
  while (pos_ >= buf_.size())
    if (!fill()) return -1;
  return static_cast<unsigned char>(buf_[pos_]);
}

int RowReader::get() {
  int c = peek();
  if (c >= 0) ++pos_;
  return c;
}

bool RowReader::next(Row& row) {
  if (error_) return false;
  if (!started_) {
    started_ = true;
    // A spreadsheet saving "UTF-8 text" often puts a byte-order mark first.
    while (buf_.size() - pos_ < 3 && fill()) {}
    if (buf_.compare(pos_, 3, "\xEF\xBB\xBF") == 0) pos_ += 3;
  }
  // Empty lines carry no record (a final line end is not one more record).
  for (;;) {
    int c = peek();
    if (c < 0) return false;
    if (c == '\n') {
      get();
      ++line_;
      continue;
    }
    if (c == '\r') {
      while (buf_.size() - pos_ < 2 && fill()) {}
      if (buf_.size() - pos_ >= 2 && buf_[pos_ + 1] == '\n') {
        pos_ += 2;
        ++line_;
        continue;
      }
    }
    break;
  }

  row.line = line_;
  row.values.clear();
  std::size_t bytes = 0;
  auto tooLong = [&] {
    error_ = ReadError{row.line, -1,
                       "line longer than " + std::to_string(kMaxLineBytes) + " bytes"};
    return false;
  };
  for (;;) {
    std::string value;
    int index = int(row.values.size());
    if (peek() == '"') {
      get();
      ++bytes;
      for (;;) {
        int c = get();
        if (c < 0) {
          error_ = ReadError{row.line, index, "quoted value not closed"};
          return false;
        }
        if (++bytes > kMaxLineBytes) return tooLong();
        if (c == '"') {
          if (peek() == '"') {
            get();
            ++bytes;
            value += '"';
            continue;
          }
          break;
        }
        if (c == '\n') ++line_;
        value += char(c);
      }
      int c = peek();
      if (c == '\r') {  // "\r\n", or a last line end cut to "\r"
        get();
        c = peek();
        if (c != '\n' && c >= 0) {
          error_ = ReadError{row.line, index, "text after the closing quote"};
          return false;
        }
      }
      if (c == ';') {
        get();
        row.values.push_back(std::move(value));
        continue;
      }
      if (c == '\n' || c < 0) {
        if (c == '\n') {
          get();
          ++line_;
        }
        row.values.push_back(std::move(value));
        return true;
      }
      error_ = ReadError{row.line, index, "text after the closing quote"};
      return false;
    }
    for (;;) {
      int c = get();
      if (c < 0) {
        row.values.push_back(std::move(value));
        return true;
      }
      if (++bytes > kMaxLineBytes) return tooLong();
      if (c == ';') break;
      if (c == '\n' || (c == '\r' && (peek() == '\n' || peek() < 0))) {
        if (c == '\r' && peek() == '\n') get();
        ++line_;
        row.values.push_back(std::move(value));
        return true;
      }
      value += char(c);
    }
    row.values.push_back(std::move(value));
  }
}

std::optional<Header> parseHeader(const FileDef& def, const Row& row, ReadError& error) {
  Header h;
  std::vector<bool> seen(def.fields.size(), false);
  for (std::size_t i = 0; i < row.values.size(); ++i) {
    std::string_view name = cp1250::trimRight(cp1250::trimLeft(row.values[i]));
    int f = def.findField(name);
    if (f < 0) {
      error = ReadError{row.line, int(i),
                        name.empty() ? std::string("empty field name")
                                     : "not a field of " + std::string(def.label),
                        std::string(name)};
      return std::nullopt;
    }
    if (seen[std::size_t(f)]) {
      error = ReadError{row.line, int(i), "named twice", def.fieldLabel(f)};
      return std::nullopt;
    }
    seen[std::size_t(f)] = true;
    h.fields.push_back(f);
  }
  return h;
}

namespace {

std::optional<std::string> parseInteger(const FieldDef& f, std::string_view text, RecordBuffer& buf) {
  text = cp1250::trimRight(cp1250::trimLeft(text));
  std::int64_t lo = f.type == FieldType::Short ? std::numeric_limits<std::int16_t>::min()
                                                : std::numeric_limits<std::int32_t>::min();
  std::int64_t hi = f.type == FieldType::Short ? std::numeric_limits<std::int16_t>::max()
                                                : std::numeric_limits<std::int32_t>::max();
  std::int64_t v = 0;
  if (!text.empty()) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+' && last - first > 1 && first[1] != '-') ++first;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ptr != last || (ec != std::errc() && ec != std::errc::result_out_of_range))
      return "\"" + std::string(text) + "\" is not a whole number";
    if (ec == std::errc::result_out_of_range || v < lo || v > hi)
      return std::string(text) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi);
  }
  field::setInt(buf, f, v);
  return std::nullopt;
}

std::optional<std::string> parseDecimal(const FieldDef& f, std::string_view text, RecordBuffer& buf) {
  std::string_view trimmed = cp1250::trimRight(cp1250::trimLeft(text));
  if (trimmed.empty()) {
    field::setUnits(buf, f, 0);
    return std::nullopt;
  }
  auto describeType = [&] {
    return "DECIMAL(" + std::to_string(f.digits) + "," + std::to_string(f.places) + ")";
  };
  try {
    auto v = Decimal::parse(trimmed);
    if (!v) return "\"" + std::string(trimmed) + "\" is not a number";
    field::setDecimal(buf, f, *v);
  } catch (const FieldOverflow&) {
    return std::string(trimmed) + " does not fit " + describeType();
  } catch (const DecimalOverflow&) {
    return std::string(trimmed) + " does not fit " + describeType();
  }
  return std::nullopt;
}

// Is `s` exactly one well-formed UTF-8 character? (What the converter
// refused is either a character outside the code page or broken bytes,
// which must not be echoed to the terminal.)
bool oneUtf8Character(std::string_view s) {
  if (s.empty()) return false;
  auto lead = static_cast<unsigned char>(s[0]);
  std::size_t n = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || s.size() != n) return false;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return false;
  return true;
}

std::optional<std::string> parseText(const FieldDef& f, std::string_view text, RecordBuffer& buf) {
  std::string bad;
  auto bytes = cp1250::fromUtf8(text, &bad);
  if (!bytes) {
    if (!oneUtf8Character(bad)) return std::string("not valid UTF-8");
    return "\"" + bad + "\" is not a Windows-1250 character";
  }
  if (bytes->find('\0') != std::string::npos) return std::string("contains a zero byte");
  // Trailing blanks are padding in every text field, the memo included:
  // dump never shows them, so they neither count nor stay.
  std::string_view text1250 = cp1250::trimRight(*bytes);
  auto capacity = std::size_t(field::textCapacity(f));
  if (text1250.size() > capacity)
    return "text of " + std::to_string(text1250.size()) + " characters does not fit " +
           std::to_string(capacity);
  field::setText(buf, f, text1250);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> parseValue(const FieldDef& f, std::string_view text, RecordBuffer& buf) {
  switch (f.type) {
    case FieldType::Short:
    case FieldType::Long:
      return parseInteger(f, text, buf);
    case FieldType::Decimal:
      return parseDecimal(f, text, buf);
    case FieldType::String:
    case FieldType::CString:
    case FieldType::Memo:
      return parseText(f, text, buf);
  }
  return std::string("unknown field type");
}

std::optional<ReadError> parseRow(const Header& header, const Row& row, RecordBuffer& buf) {
  buf.clear();
  const auto& fields = buf.def().fields;
  if (row.values.size() > header.fields.size())
    return ReadError{row.line, -1,
                     std::to_string(row.values.size()) + " values, the header names " +
                         std::to_string(header.fields.size())};
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    if (i >= row.values.size()) return ReadError{row.line, int(i), "missing value"};
    const FieldDef& f = fields[std::size_t(header.fields[i])];
    if (auto reason = parseValue(f, row.values[i], buf)) return ReadError{row.line, int(i), *reason};
  }
  return std::nullopt;
}

std::string describe(const ReadError& e, const FileDef& def, const Header* header) {
  std::string out = "line " + std::to_string(e.line);
  if (!e.label.empty()) {
    out += ", " + e.label;
  } else if (e.value >= 0) {
    out += ", ";
    if (header && std::size_t(e.value) < header->fields.size())
      out += def.fieldLabel(header->fields[std::size_t(e.value)]);
    else
      out += "value " + std::to_string(e.value + 1);
  }
  return out + ": " + e.reason;
}

}  // namespace tdx::app::rtext
