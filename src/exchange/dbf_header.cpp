#include "exchange/dbf_header.h"

#include <ctime>

#include "records/local_time.h"

namespace tdx::dbf {

namespace {

void put16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = char(v & 0xFF);
  s[at + 1] = char((v >> 8) & 0xFF);
}
void put32(std::string& s, std::size_t at, std::uint32_t v) {
  put16(s, at, v & 0xFFFF);
  put16(s, at + 2, v >> 16);
}
std::uint32_t get8(std::string_view s, std::size_t at) { return static_cast<unsigned char>(s[at]); }
std::uint32_t get16(std::string_view s, std::size_t at) { return get8(s, at) | (get8(s, at + 1) << 8); }
std::uint32_t get32(std::string_view s, std::size_t at) { return get16(s, at) | (get16(s, at + 2) << 16); }

bool isNumericType(char t) { return t == 'N' || t == 'F'; }

std::string hex(unsigned v) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[(v >> 4) & 0xF] + digits[v & 0xF];
}

}  // namespace

Date today() {
  const std::tm local = localNow();
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string encodeDateAndCount(std::uint32_t records, const Date& date) {
  std::string s(7, '\0');
  s[0] = char(date.year - 1900);
  s[1] = char(date.month);
  s[2] = char(date.day);
  put32(s, 3, records);
  return s;
}

std::string encodeHeader(const Layout& layout, std::uint32_t records, const Date& date) {
  const auto n = layout.columns.size();
  std::string h(32 + 32 * n + 1, '\0');
  h[0] = char(kVersion);
  h.replace(1, 7, encodeDateAndCount(records, date));
  put16(h, 8, std::uint32_t(h.size()));
  put16(h, 10, std::uint32_t(layout.recordLength()));
  h[29] = char(kCodePageWindows1250);
  for (std::size_t k = 0; k < n; ++k) {
    const Column& c = layout.columns[k];
    std::size_t d = 32 + 32 * k;
    h.replace(d, c.name.size(), c.name);  // NUL-padded: the string is zeros
    h[d + 11] = char(c.type);
    h[d + 16] = char(c.width);
    h[d + 17] = char(c.decimals);
  }
  h.back() = kTerminator;
  return h;
}

std::uint32_t statedHeaderLength(std::string_view first32) {
  return first32.size() < 32 ? 0 : get16(first32, 8);
}

std::optional<std::string> decodeHeader(std::string_view bytes, Header& out) {
  out = Header{};
  if (bytes.size() < 32) return "the file is shorter than a dBase header";
  out.version = std::uint8_t(get8(bytes, 0));
  if (out.version != 0x03 && out.version != 0x83)
    return "version byte " + hex(out.version) + " is not that of a dBase III table";
  out.recordCount = get32(bytes, 4);
  out.headerLength = get16(bytes, 8);
  out.recordLength = get16(bytes, 10);
  if (out.headerLength < 33 || out.headerLength > bytes.size())
    return "header length " + std::to_string(out.headerLength) + " is not possible";
  std::size_t pos = 32;
  int offset = 1;
  while (pos < out.headerLength && bytes[pos] != kTerminator) {
    if (pos + 32 > out.headerLength) return "the header ends inside a column descriptor";
    std::string_view d = bytes.substr(pos, 32);
    FieldInfo f;
    auto nameEnd = d.substr(0, 11).find('\0');
    f.name = std::string(d.substr(0, nameEnd == std::string_view::npos ? 11 : nameEnd));
    while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
    f.type = d[11];
    f.width = int(get8(d, 16));
    f.decimals = int(get8(d, 17));
    std::string which = "column " + std::to_string(out.fields.size() + 1);
    if (f.name.empty()) return which + " has no name";
    if (f.type == 'C') {
      // Clipper keeps the high byte of a long character column's width in
      // the decimals byte.
      f.width += 256 * f.decimals;
      f.decimals = 0;
    }
    if (f.width == 0) return which + " (" + f.name + ") has width 0";
    if (isNumericType(f.type) && f.decimals >= f.width)
      return which + " (" + f.name + ") has " + std::to_string(f.decimals) + " decimals in width " +
             std::to_string(f.width);
    f.offset = offset;
    offset += f.width;
    out.fields.push_back(std::move(f));
    pos += 32;
  }
  if (out.fields.empty()) return "the table has no columns";
  if (std::uint32_t(offset) != out.recordLength)
    return "record length " + std::to_string(out.recordLength) + " in the header, " +
           std::to_string(offset) + " from the columns";
  return std::nullopt;
}

std::optional<std::string> matchLayout(const Header& header, const Layout& layout) {
  const std::string of = " (" + std::string(layout.label) + ")";
  if (header.fields.size() != layout.columns.size())
    return "the table has " + std::to_string(header.fields.size()) + " columns, " + std::string(layout.label) +
           " has " + std::to_string(layout.columns.size());
  for (std::size_t k = 0; k < layout.columns.size(); ++k) {
    const FieldInfo& f = header.fields[k];
    const Column& c = layout.columns[k];
    std::string which = "column " + std::to_string(k + 1);
    if (!sameColumnName(f.name, c.name))
      return which + " is " + f.name + ", expected " + std::string(c.name) + of;
    bool numeric = isNumericType(f.type);
    if (numeric != (c.type == ColumnType::Numeric) || (!numeric && f.type != 'C'))
      return which + " (" + f.name + ") has type " + std::string(1, f.type) + ", expected " +
             std::string(1, char(c.type)) + of;
  }
  return std::nullopt;
}

}  // namespace tdx::dbf
