#include "records/catalogue.h"


#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "records/cp1250.h"
#include "records/fields.h"
#include "records/layouts.h"

namespace tdx {

namespace {

FieldDef shortField(std::string_view name, int offset) { return {name, FieldType::Short, offset, 2}; }
FieldDef longField(std::string_view name, int offset) { return {name, FieldType::Long, offset, 4}; }
FieldDef stringField(std::string_view name, int offset, int size) {
  return {name, FieldType::String, offset, size};
}
FieldDef cstringField(std::string_view name, int offset, int size) {
  return {name, FieldType::CString, offset, size};
}
FieldDef decimalField(std::string_view name, int offset, int digits, int places) {
  return {name, FieldType::Decimal, offset, digits / 2 + 1, digits, places};
}
FieldDef memoField(std::string_view name, int maxLength) { return {name, FieldType::Memo, -1, maxLength}; }

struct Attr {
  bool dup = false, opt = false, nocase = false, primary = false, maintained = true;
};
constexpr Attr kIndexDupOptNocase{true, true, true, false, false};
constexpr Attr kKeyDupOptNocase{true, true, true, false, true};
constexpr Attr kKeyOptNocase{false, true, true, false, true};
constexpr Attr kPrimaryOptNocase{false, true, true, true, true};
constexpr Attr kKeyDupNocase{true, false, true, false, true};

KeyDef key(Key id, std::string_view name, std::vector<int> components, Attr a) {
  return {id, name, std::move(components), a.dup, a.opt, a.nocase, a.primary, a.maintained};
}

std::vector<FileDef> buildCatalogue() {
  std::vector<FileDef> files;

  // Field indexes used by the keys are spelled out next to each key.
  files.push_back({FileId::Podatki, "PODATKI", "POD", "podatki.dat", 1180,
                   {
                       shortField("SKUP", 0),            // 0
                       shortField("POSK", 2),            // 1
                       longField("SIFR", 4),             // 2
                       stringField("NAZI", 8, 200),      // 3
                       stringField("FAOB", 208, 250),    // 4
                       stringField("ENME", 458, 30),     // 5
                       decimalField("KOLI", 488, 11, 2),     // 6
                       decimalField("KOLIANE", 494, 11, 2),  // 7
                       decimalField("CENA", 500, 13, 4),     // 8
                       decimalField("NCENA", 507, 13, 4),    // 9
                       decimalField("DAVEK", 514, 5, 2),     // 10
                       decimalField("RABAT", 517, 7, 2),     // 11
                       stringField("DOBA", 521, 8),          // 12
                       stringField("PROIZ", 529, 30),        // 13
                       stringField("PARAL", 559, 40),        // 14
                       stringField("KATAL", 599, 25),        // 15
                       shortField("LETO", 624),              // 16
                       shortField("MESE", 626),              // 17
                       shortField("SKLOP", 628),             // 18
                       stringField("IZDELEK", 630, 220),     // 19
                       stringField("PAKIR", 850, 100),       // 20
                       stringField("OPIS", 950, 230),        // 21
                   },
                   {
                       key(Key::POD_KSKUP, "KSKUP", {0, 1, 18, 3}, kIndexDupOptNocase),
                       key(Key::POD_KNAZI, "KNAZI", {3}, kIndexDupOptNocase),
                       key(Key::POD_KSKLOP, "KSKLOP", {0, 1, 18, 2}, kIndexDupOptNocase),
                       key(Key::POD_KSIFR, "KSIFR", {2}, kIndexDupOptNocase),
                   }});

  files.push_back({FileId::Skupine, "SKUPINE", "SKU", "skupine.dat", 52,
                   {shortField("SKUP", 0), stringField("NAZI", 2, 50)},
                   {
                       key(Key::SKU_KSKUP, "KSKUP", {0}, kPrimaryOptNocase),
                       key(Key::SKU_KNAZI, "KNAZI", {1}, kKeyOptNocase),
                   }});

  files.push_back({FileId::Pskupine, "PSKUPINE", "PSK", "pskupine.dat", 118,
                   {
                       shortField("SKUP", 0),
                       shortField("POSK", 2),
                       stringField("NAZI", 4, 100),
                       decimalField("VRED", 104, 15, 2),
                       shortField("REFER", 112),
                       shortField("ZAKLJ", 114),
                       shortField("NIZBO", 116),
                   },
                   {
                       key(Key::PSK_KSKUP, "KSKUP", {0, 1}, kPrimaryOptNocase),
                       key(Key::PSK_KNAZI, "KNAZI", {2}, kKeyOptNocase),
                   }});

  files.push_back({FileId::Opism, "OPISM", "OMAT", "opism.tps", 4,
                   {longField("SIFR", 0), memoField("OPIS", kOpismMemoMax)},
                   {key(Key::OMAT_KSIFRA, "KSIFRA", {0}, kKeyOptNocase)}});

  files.push_back({FileId::Zdrapcen, "ZDRAPCEN", "ZPC", "zdrapcen.tps", 36,
                   {
                       shortField("SKUP", 0),
                       shortField("POSK", 2),
                       shortField("SKLOP", 4),
                       longField("SIFR", 6),
                       stringField("DOBA", 10, 8),
                       decimalField("PBCENA", 18, 11, 2),
                       decimalField("KOLI", 24, 11, 2),
                       decimalField("KOLIANE", 30, 11, 2),
                   },
                   {}});

  files.push_back({FileId::Paralela, "PARALELA", "PAR", "paralela.dat", 395,
                   {
                       shortField("SKUP", 0),                 // 0
                       shortField("POSK", 2),                 // 1
                       shortField("SKLOP", 4),                // 2
                       longField("SIFR", 6),                  // 3
                       stringField("DOBA", 10, 8),            // 4
                       stringField("IMEZD", 18, 100),         // 5
                       stringField("PROIZ", 118, 30),         // 6
                       stringField("PRPAK", 148, 150),        // 7
                       stringField("EM", 298, 30),            // 8
                       stringField("EAN", 328, 13),           // 9
                       stringField("IDZDR", 341, 6),          // 10
                       decimalField("NCENA", 347, 11, 4),     // 11
                       decimalField("POPUST", 353, 5, 2),     // 12
                       decimalField("PDDV", 356, 7, 2),       // 13
                       decimalField("BCENA", 360, 11, 4),     // 14
                       shortField("SORT", 366),               // 15
                       longField("PAKIRANJE", 368),           // 16
                       decimalField("NCENA_AZ", 372, 11, 4),  // 17
                       decimalField("BCENA_AZ", 378, 11, 4),  // 18
                       decimalField("KFAKTOR", 384, 9, 6),    // 19
                       decimalField("NCENA_KF", 389, 11, 4),  // 20
                   },
                   {
                       key(Key::PAR_KCRTNA, "KCRTNA", {9}, kKeyDupOptNocase),
                       key(Key::PAR_KSKLOP, "KSKLOP", {0, 1, 2, 3, 14, 15}, kKeyDupOptNocase),
                       key(Key::PAR_KIDZDR, "KIDZDR", {10}, kKeyDupOptNocase),
                   }});

  files.push_back({FileId::Ponudnik, "PONUDNIK", "PON", "ponudnik.dat", 158,
                   {
                       stringField("NAZIV", 0, 50),
                       stringField("NASLOV", 50, 50),
                       stringField("POSTA", 100, 50),
                       stringField("DAVCNA", 150, 8),
                   },
                   {}});

  files.push_back({FileId::Kupec, "KUPEC", "KUP", "kupec.dat", 350,
                   {
                       stringField("NAZ01", 0, 35),
                       stringField("NAZ02", 35, 35),
                       stringField("NAZ03", 70, 35),
                       stringField("NAZ04", 105, 35),
                       stringField("NAZ05", 140, 35),
                       stringField("NAZ06", 175, 35),
                       stringField("NAZ07", 210, 35),
                       stringField("NAZ08", 245, 35),
                       stringField("NAZ09", 280, 35),
                       stringField("NAZ10", 315, 35),
                   },
                   {},
                   false,
                   kKupecPassword});

  files.push_back({FileId::Zdravnet, "ZDRAVNET", "RZDR", "zdravnet.tps", 651,
                   {
                       stringField("IDZDR", 0, 6),             // 0
                       stringField("IMEREGISTR", 6, 200),      // 1
                       stringField("CRTNAKODA", 206, 13),      // 2
                       cstringField("FAOB", 219, 81),          // 3
                       shortField("KOLENOTE", 300),            // 4
                       stringField("ENOTA", 302, 20),          // 5
                       cstringField("PAKIRANJE", 322, 201),    // 6
                       stringField("ATC", 523, 10),            // 7
                       cstringField("ATCOPIS", 533, 51),       // 8
                       decimalField("NCENA", 584, 11, 4),      // 9
                       stringField("PROIZS", 590, 10),         // 10
                       cstringField("PROIZN", 600, 51),        // 11
                   },
                   {
                       // Blank bar codes are in this key: it has no OPT.
                       key(Key::RZDR_KCRTNA, "KCRTNA", {2}, kKeyDupNocase),
                       key(Key::RZDR_KIME, "KIME", {1}, kKeyDupOptNocase),
                       key(Key::RZDR_KIDZDR, "KIDZDR", {0}, kPrimaryOptNocase),
                       key(Key::RZDR_KATC, "KATC", {7}, kKeyDupOptNocase),
                   },
                   false});

  files.push_back({FileId::Verant, "VERANT", "VRNT", "verant.tps", 38,
                   {stringField("DAVCNA", 0, 8), stringField("NAZIV", 8, 30)},
                   {key(Key::VRNT_KDAVCNA, "KDAVCNA", {0}, kKeyDupOptNocase)}});

  return files;
}

const std::vector<FileDef>& catalogue() {
  static const std::vector<FileDef> files = buildCatalogue();
  return files;
}

struct KeyEntry {
  const KeyDef* key = nullptr;
  FileId file{};
};

const std::vector<KeyEntry>& keyIndex() {
  static const std::vector<KeyEntry> index = [] {
    std::vector<KeyEntry> v;
    for (const auto& f : catalogue())
      for (const auto& k : f.keys) {
        if (v.size() <= std::size_t(k.id)) v.resize(std::size_t(k.id) + 1);
        v[std::size_t(k.id)] = {&k, f.id};
      }
    return v;
  }();
  return index;
}

// Labels and disk names are ASCII.
bool equalAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 32);
    if (y >= 'a' && y <= 'z') y = char(y - 32);
    if (x != y) return false;
  }
  return true;
}

// "PAR:NCENA" -> "NCENA" when the prefix is this file's; "NCENA" as is;
// another file's prefix -> nullopt.
std::optional<std::string_view> withoutPrefix(const FileDef& def, std::string_view name) {
  auto colon = name.find(':');
  if (colon == std::string_view::npos) return name;
  if (!equalAscii(name.substr(0, colon), def.prefix)) return std::nullopt;
  return name.substr(colon + 1);
}

[[noreturn]] void wrongType(const FieldDef& f, const char* wanted) {
  throw std::invalid_argument("field " + std::string(f.name) + " is not " + wanted);
}

const std::uint8_t* at(const RecordBuffer& buf, const FieldDef& f) { return buf.data() + f.offset; }
std::uint8_t* at(RecordBuffer& buf, const FieldDef& f) { return buf.data() + f.offset; }

}  // namespace

std::string FileDef::fieldLabel(int index) const {
  return std::string(prefix) + ":" + std::string(fields.at(std::size_t(index)).name);
}

int FileDef::findField(std::string_view name) const {
  auto bare = withoutPrefix(*this, name);
  if (!bare) return -1;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (equalAscii(fields[i].name, *bare)) return int(i);
  return -1;
}

const KeyDef* FileDef::findKey(std::string_view name) const {
  auto bare = withoutPrefix(*this, name);
  if (!bare) return nullptr;
  for (const auto& k : keys)
    if (equalAscii(k.name, *bare)) return &k;
  return nullptr;
}

const FileDef& fileDef(FileId id) { return catalogue().at(std::size_t(id)); }

std::span<const FileDef> allFiles() { return catalogue(); }

const KeyDef& keyDef(Key key) { return *keyIndex().at(std::size_t(key)).key; }

FileId fileOf(Key key) { return keyIndex().at(std::size_t(key)).file; }

const FileDef* findFile(std::string_view labelOrDiskName) {
  for (const auto& f : catalogue())
    if (equalAscii(f.label, labelOrDiskName) || equalAscii(f.diskName, labelOrDiskName)) return &f;
  return nullptr;
}

RecordBuffer::RecordBuffer(const FileDef& def) : def_(&def), bytes_(std::size_t(def.recordSize)) { clear(); }

RecordBuffer& RecordBuffer::operator=(const RecordBuffer& o) {
  if (this == &o) return *this;
  def_ = o.def_;
  if (bytes_.size() == o.bytes_.size()) std::copy(o.bytes_.begin(), o.bytes_.end(), bytes_.begin());
  else bytes_ = o.bytes_;
  memo_ = o.memo_;
  return *this;
}

RecordBuffer& RecordBuffer::operator=(RecordBuffer&& o) noexcept {
  if (this == &o) return *this;
  def_ = o.def_;
  if (bytes_.size() == o.bytes_.size()) std::copy(o.bytes_.begin(), o.bytes_.end(), bytes_.begin());
  else bytes_ = std::move(o.bytes_);
  memo_ = std::move(o.memo_);
  return *this;
}

void RecordBuffer::clear() {
  // Zero bytes are a zero SHORT, LONG and packed decimal and an empty
  // CSTRING; only the blank-padded texts need more.
  std::memset(bytes_.data(), 0, bytes_.size());
  for (const auto& f : def_->fields)
    if (f.type == FieldType::String) std::memset(bytes_.data() + f.offset, ' ', std::size_t(f.size));
  memo_.clear();
}

namespace field {

std::int64_t getInt(const RecordBuffer& buf, const FieldDef& f) {
  const std::uint8_t* p = at(buf, f);
  if (f.type == FieldType::Short) return reinterpret_cast<const Short*>(p)->get();
  if (f.type == FieldType::Long) return reinterpret_cast<const Long*>(p)->get();
  wrongType(f, "a whole number");
}

void setInt(RecordBuffer& buf, const FieldDef& f, std::int64_t v) {
  std::uint8_t* p = at(buf, f);
  // The caller checks the range; a value that slipped through is refused
  // rather than wrapped.
  if (f.type == FieldType::Short) {
    if (v < INT16_MIN || v > INT16_MAX)
      throw FieldOverflow("value " + std::to_string(v) + " does not fit SHORT", Decimal(static_cast<long long>(v)));
    reinterpret_cast<Short*>(p)->set(std::int16_t(v));
  } else if (f.type == FieldType::Long) {
    if (v < INT32_MIN || v > INT32_MAX)
      throw FieldOverflow("value " + std::to_string(v) + " does not fit LONG", Decimal(static_cast<long long>(v)));
    reinterpret_cast<Long*>(p)->set(std::int32_t(v));
  } else {
    wrongType(f, "a whole number");
  }
}

std::int64_t getUnits(const RecordBuffer& buf, const FieldDef& f) {
  if (f.type != FieldType::Decimal) wrongType(f, "a decimal");
  return packed::decode(at(buf, f), f.digits);
}

void setUnits(RecordBuffer& buf, const FieldDef& f, std::int64_t units) {
  if (f.type != FieldType::Decimal) wrongType(f, "a decimal");
  std::int64_t lim = packed::limit(f.digits);
  if (units >= lim || units <= -lim) {
    Decimal v = Decimal::fromUnits(units, f.places);
    throw FieldOverflow("value " + v.toString(f.places) + " does not fit DECIMAL(" + std::to_string(f.digits) +
                            "," + std::to_string(f.places) + ")",
                        v);
  }
  packed::encode(at(buf, f), f.digits, units);
}

Decimal getDecimal(const RecordBuffer& buf, const FieldDef& f) {
  return Decimal::fromUnits(getUnits(buf, f), f.places);
}

void setDecimal(RecordBuffer& buf, const FieldDef& f, const Decimal& v) {
  if (f.type != FieldType::Decimal) wrongType(f, "a decimal");
  auto units = v.toUnits(f.places);
  std::int64_t lim = packed::limit(f.digits);
  if (!units || *units >= lim || *units <= -lim)
    throw FieldOverflow("value " + valueText(v, f.places) + " does not fit DECIMAL(" + std::to_string(f.digits) + "," +
                            std::to_string(f.places) + ")",
                        v);
  packed::encode(at(buf, f), f.digits, *units);
}

std::string_view getText(const RecordBuffer& buf, const FieldDef& f) {
  const char* p = reinterpret_cast<const char*>(buf.data()) + f.offset;
  switch (f.type) {
    case FieldType::String:
      return cp1250::trimRight({p, std::size_t(f.size)});
    case FieldType::CString: {
      std::size_t n = 0;
      while (n < std::size_t(f.size) && p[n] != '\0') ++n;
      return cp1250::trimRight({p, n});
    }
    case FieldType::Memo:
      return cp1250::trimRight(buf.memo());
    default:
      wrongType(f, "a text");
  }
}

void setText(RecordBuffer& buf, const FieldDef& f, std::string_view bytes) {
  std::size_t cap = std::size_t(textCapacity(f));
  if (bytes.size() > cap) bytes = bytes.substr(0, cap);
  char* p = reinterpret_cast<char*>(buf.data()) + f.offset;
  switch (f.type) {
    case FieldType::String:
      std::memcpy(p, bytes.data(), bytes.size());
      std::memset(p + bytes.size(), ' ', std::size_t(f.size) - bytes.size());
      break;
    case FieldType::CString:
      std::memcpy(p, bytes.data(), bytes.size());
      std::memset(p + bytes.size(), 0, std::size_t(f.size) - bytes.size());
      break;
    case FieldType::Memo:
      buf.memo().assign(bytes);
      break;
    default:
      wrongType(f, "a text");
  }
}

int textCapacity(const FieldDef& f) {
  switch (f.type) {
    case FieldType::String:
    case FieldType::Memo:
      return f.size;
    case FieldType::CString:
      return f.size - 1;
    default:
      return 0;
  }
}

}  // namespace field

}  // namespace tdx
