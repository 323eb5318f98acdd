#include "records/store_codec.h"

#include <charconv>
#include <cstring>
#include <optional>

#include "records/cp1250.h"
#include "records/decimal.h"
#include "records/fields.h"
#include "records/store_errors.h"
#include "records/store_sqlite.h"

namespace tdx::store {

namespace {

bool isText(FieldType t) { return t == FieldType::String || t == FieldType::CString || t == FieldType::Memo; }

// Every text of every record read or written passes here, nearly all of
// them plain ASCII: eight bytes are checked at a time.
bool ascii(std::string_view s) {
  const char* p = s.data();
  std::size_t n = s.size();
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080ull) return false;
  }
  for (; n > 0; ++p, --n)
    if ((unsigned char)*p >= 0x80) return false;
  return true;
}

// The five bytes of the code page without a character: UTF-8 has nothing
// to keep them as, so they would come back as something else.
bool unassigned(unsigned char c) { return c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98; }

std::string_view textOf(const RecordBuffer& buf, const FieldDef& f) {
  if (f.type == FieldType::Memo) return cp1250::trimRight(buf.memo());
  return field::getText(buf, f);
}

std::int64_t numberOf(const RecordBuffer& buf, const FieldDef& f) {
  return f.type == FieldType::Decimal ? field::getUnits(buf, f) : field::getInt(buf, f);
}

bool numberFits(const FieldDef& f, std::int64_t v) {
  switch (f.type) {
    case FieldType::Short:
      return v >= -32768 && v <= 32767;
    case FieldType::Long:
      return v >= INT32_MIN && v <= INT32_MAX;
    case FieldType::Decimal: {
      auto lim = packed::limit(f.digits);
      return v > -lim && v < lim;
    }
    default:
      return false;
  }
}

int capacity(const FieldDef& f) { return f.type == FieldType::Memo ? f.size : field::textCapacity(f); }

}  // namespace

int compare(const KeyValue& a, const KeyValue& b) {
  if (!a.blob) return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  int c = a.bytes.compare(b.bytes);  // char_traits<char>::compare is memcmp on unsigned bytes
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

err::Error bindRecord(sqlite3_stmt* s, const Schema& schema, const RecordBuffer& buf) {
  const auto& def = schema.def();
  const int n = int(def.fields.size());
  std::string utf8;
  for (int i = 0; i < n; ++i) {
    const auto& f = def.fields[i];
    if (!isText(f.type)) {
      sqlite3_bind_int64(s, i + 1, numberOf(buf, f));
      continue;
    }
    auto text = textOf(buf, f);
    if (f.type == FieldType::Memo && text.size() > std::size_t(f.size))
      return err::Error::driver(err::FieldOverflow, 0,
                                def.fieldLabel(i) + " is longer than " + std::to_string(f.size) + " characters");
    if (ascii(text)) {
      bindText(s, i + 1, text);
      continue;
    }
    for (unsigned char c : text)
      if (unassigned(c))
        return mismatch(def.fieldLabel(i) + " holds the byte " + std::to_string(c) +
                        ", which is no character of Windows-1250");
    utf8 = cp1250::toUtf8(text);
    bindText(s, i + 1, utf8);
  }
  int p = n + 1;
  for (const auto& d : schema.derived()) {
    auto text = textOf(buf, def.fields[d.field]);
    if (d.kind == ValueKind::Collation) bindBlob(s, p++, cp1250::collationKey(text));
    else bindBlob(s, p++, text);
  }
  return {};
}

err::Error readRecord(sqlite3_stmt* s, const Schema& schema, RecordBuffer& buf) {
  buf.clear();
  return readRecordOver(s, schema, buf);
}

err::Error readRecordOver(sqlite3_stmt* s, const Schema& schema, RecordBuffer& buf) {
  const auto& def = schema.def();
  auto bad = [&](int i, const char* why) {
    return mismatch(def.fieldLabel(i) + " of record " +
                    std::to_string(sqlite3_column_int64(s, Schema::kIdColumn)) + " " + why);
  };
  for (int i = 0; i < int(def.fields.size()); ++i) {
    const auto& f = def.fields[i];
    int col = Schema::kFirstFieldColumn + i;
    int type = sqlite3_column_type(s, col);
    if (!isText(f.type)) {
      if (type != SQLITE_INTEGER) return bad(i, "is not a number");
      auto v = sqlite3_column_int64(s, col);
      if (!numberFits(f, v)) return bad(i, "does not fit the field");
      if (f.type == FieldType::Decimal) field::setUnits(buf, f, v);
      else field::setInt(buf, f, v);
      continue;
    }
    if (type != SQLITE_TEXT) return bad(i, "is not a text");
    auto utf8 = columnText(s, col);
    std::optional<std::string> converted;
    std::string_view bytes = utf8;
    if (!ascii(utf8)) {
      converted = cp1250::fromUtf8(utf8);
      if (!converted) return bad(i, "holds a character outside Windows-1250");
      bytes = *converted;
    }
    if (bytes.size() > std::size_t(capacity(f))) return bad(i, "is longer than the field");
    if (f.type == FieldType::Memo) buf.memo().assign(bytes);
    else field::setText(buf, f, bytes);
  }
  return {};
}

KeyValues keyValuesOf(const KeyPlan& key, const RecordBuffer& buf) {
  KeyValues out;
  out.reserve(key.components.size());
  const auto& def = buf.def();
  for (const auto& c : key.components) {
    const auto& f = def.fields[c.field];
    KeyValue v;
    if (c.kind == ValueKind::Int) {
      v.number = numberOf(buf, f);
    } else {
      v.blob = true;
      auto text = textOf(buf, f);
      v.bytes = c.kind == ValueKind::Collation ? cp1250::collationKey(text) : std::string(text);
    }
    out.push_back(std::move(v));
  }
  return out;
}

KeyValues readKeyValues(sqlite3_stmt* s, const KeyPlan& key, int firstColumn) {
  KeyValues out;
  readKeyValues(s, key, firstColumn, out);
  return out;
}

void readKeyValues(sqlite3_stmt* s, const KeyPlan& key, int firstColumn, KeyValues& out) {
  out.resize(key.components.size());
  for (std::size_t i = 0; i < key.components.size(); ++i) {
    int col = firstColumn + int(i);
    KeyValue& v = out[i];
    if (key.components[i].kind == ValueKind::Int) {
      v.blob = false;
      v.number = sqlite3_column_int64(s, col);
      v.bytes.clear();
    } else {
      v.blob = true;
      v.number = 0;
      v.bytes.assign(columnBlob(s, col));
    }
  }
}

void bindKeyValue(sqlite3_stmt* s, int param, const KeyValue& v) {
  if (v.blob) bindBlob(s, param, v.bytes);
  else sqlite3_bind_int64(s, param, v.number);
}

bool keyValueFromText(const FieldDef& f, ValueKind kind, std::string_view text, KeyValue& out) {
  out = KeyValue{};
  if (kind != ValueKind::Int) {
    out.blob = true;
    out.bytes = kind == ValueKind::Collation ? cp1250::collationKey(text) : std::string(cp1250::trimRight(text));
    return true;
  }
  auto t = cp1250::trimRight(cp1250::trimLeft(text));
  if (f.type == FieldType::Decimal) {
    auto d = Decimal::parse(t);
    auto units = d ? d->toUnits(f.places) : std::nullopt;
    if (!units) return false;
    out.number = *units;
    return true;
  }
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  std::int64_t v = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size() || t.empty()) return false;
  out.number = v;
  return true;
}

std::string encodeKeyValue(const KeyValue& v) {
  if (v.blob) return v.bytes;
  // Big-endian with the sign bit flipped: the bytes sort as the numbers do.
  std::uint64_t u = std::uint64_t(v.number) ^ 0x8000000000000000ull;
  std::string out(8, '\0');
  for (int i = 7; i >= 0; --i, u >>= 8) out[i] = char(u & 0xFF);
  return out;
}

bool decodeKeyValue(ValueKind kind, std::string_view bytes, KeyValue& out) {
  out = KeyValue{};
  if (kind != ValueKind::Int) {
    out.blob = true;
    out.bytes = std::string(bytes);
    return true;
  }
  if (bytes.size() != 8) return false;
  std::uint64_t u = 0;
  for (unsigned char c : bytes) u = (u << 8) | c;
  out.number = std::int64_t(u ^ 0x8000000000000000ull);
  return true;
}

namespace {

template <bool Collation>
void textFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  std::string_view utf8(p ? p : "", std::size_t(sqlite3_value_bytes(argv[0])));
  auto bytes = cp1250::fromUtf8(utf8);
  if (!bytes) {
    sqlite3_result_error(ctx, "text outside Windows-1250", -1);
    return;
  }
  std::string out = Collation ? cp1250::collationKey(*bytes) : std::string(cp1250::trimRight(*bytes));
  sqlite3_result_blob64(ctx, out.data(), out.size(), SQLITE_TRANSIENT);
}

}  // namespace

void registerFunctions(sqlite3* db) {
  int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
  sqlite3_create_function_v2(db, "tdx_ck", 1, flags, nullptr, textFunction<true>, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "tdx_cp", 1, flags, nullptr, textFunction<false>, nullptr, nullptr, nullptr);
}

}  // namespace tdx::store
