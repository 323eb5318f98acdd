#pragma once
// The catalogue of the ten record files: label, prefix, disk name, fields,
// keys with their attributes, creation rule and owner password. The store,
// `dump` and `load` are driven by it; nothing repeats the field lists by hand.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/decimal.h"

namespace tdx {

enum class FileId : int {
  Podatki, Skupine, Pskupine, Opism, Zdrapcen, Paralela, Ponudnik, Kupec, Zdravnet, Verant
};
inline constexpr int kFileCount = 10;

enum class FieldType { Short, Long, String, CString, Decimal, Memo };

struct FieldDef {
  std::string_view name;  // label without prefix: "NCENA_AZ"
  FieldType type;
  int offset;             // within the record (memo: -1)
  int size;               // bytes in the record (memo: its maximum length)
  int digits = 0;         // DECIMAL(d,p)
  int places = 0;
};

// Every key of the system, named as its label with the prefix.
enum class Key : int {
  POD_KSKUP, POD_KNAZI, POD_KSKLOP, POD_KSIFR,
  SKU_KSKUP, SKU_KNAZI,
  PSK_KSKUP, PSK_KNAZI,
  OMAT_KSIFRA,
  PAR_KCRTNA, PAR_KSKLOP, PAR_KIDZDR,
  RZDR_KCRTNA, RZDR_KIME, RZDR_KIDZDR, RZDR_KATC,
  VRNT_KDAVCNA,
};

struct KeyDef {
  Key id;
  std::string_view name;        // label without prefix: "KSKLOP"
  std::vector<int> components;  // field indexes, ascending
  bool dup = false;             // several records may share a value
  bool opt = false;             // a record whose value is all blank/zero is left out
  bool nocase = false;          // text components compare without case
  bool primary = false;
  bool maintained = true;       // KEY (true) or INDEX (false: valid after a rebuild)
};

struct FileDef {
  FileId id;
  std::string_view label;     // "PARALELA"
  std::string_view prefix;    // "PAR"
  std::string_view diskName;  // "paralela.dat"
  int recordSize;             // bytes, memo not included
  std::vector<FieldDef> fields;  // in layout order; a memo field, if any, last
  std::vector<KeyDef> keys;
  bool creatable = true;      // may be created empty when missing
  std::string_view ownerPassword;  // non-empty: the file is encrypted
  bool hasMemo() const { return !fields.empty() && fields.back().type == FieldType::Memo; }
  // "PAR:NCENA"
  std::string fieldLabel(int index) const;
  // By "NCENA" or "PAR:NCENA", any case; -1 when unknown.
  int findField(std::string_view name) const;
  // By "KSKLOP" or "PAR:KSKLOP", any case; nullptr when unknown.
  const KeyDef* findKey(std::string_view name) const;
};

const FileDef& fileDef(FileId id);
std::span<const FileDef> allFiles();
const KeyDef& keyDef(Key key);
FileId fileOf(Key key);
// By label ("PARALELA") or disk name ("paralela.dat"), any case.
const FileDef* findFile(std::string_view labelOrDiskName);

// A record buffer: the record's bytes, plus the memo text for a file with a
// memo. Cleared means texts blank, CSTRINGs and numbers zero, memo empty.
class RecordBuffer {
 public:
  explicit RecordBuffer(const FileDef& def);
  explicit RecordBuffer(FileId id) : RecordBuffer(fileDef(id)) {}
  RecordBuffer(const RecordBuffer&) = default;
  RecordBuffer(RecordBuffer&&) noexcept = default;
  // Assigning a record of the same file copies into this buffer's own
  // storage: windows bind their controls to fields inside a buffer, and a
  // re-read record must not move those fields away from under them.
  RecordBuffer& operator=(const RecordBuffer& o);
  RecordBuffer& operator=(RecordBuffer&& o) noexcept;

  const FileDef& def() const { return *def_; }
  std::uint8_t* data() { return bytes_.data(); }
  const std::uint8_t* data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  std::string& memo() { return memo_; }            // Windows-1250 bytes
  const std::string& memo() const { return memo_; }

  void clear();
  bool operator==(const RecordBuffer& o) const { return bytes_ == o.bytes_ && memo_ == o.memo_; }

  // Typed view of the layout struct (layouts.h): buf.as<Paralela>().ncena.
  template <class T>
  T& as() {
    static_assert(alignof(T) == 1);
    return *reinterpret_cast<T*>(bytes_.data());
  }
  template <class T>
  const T& as() const {
    static_assert(alignof(T) == 1);
    return *reinterpret_cast<const T*>(bytes_.data());
  }

 private:
  const FileDef* def_;
  std::vector<std::uint8_t> bytes_;
  std::string memo_;
};

// Generic field access through the catalogue (store, dump, load).
namespace field {
std::int64_t getInt(const RecordBuffer& buf, const FieldDef& f);         // Short, Long
void setInt(RecordBuffer& buf, const FieldDef& f, std::int64_t v);        // range checked by caller
std::int64_t getUnits(const RecordBuffer& buf, const FieldDef& f);       // Decimal, scaled by places
void setUnits(RecordBuffer& buf, const FieldDef& f, std::int64_t units);  // must fit the digits
Decimal getDecimal(const RecordBuffer& buf, const FieldDef& f);
// Rounds half away from zero; throws FieldOverflow when it does not fit.
void setDecimal(RecordBuffer& buf, const FieldDef& f, const Decimal& v);
// Texts as Windows-1250 bytes without trailing blanks (String, CString, Memo).
std::string_view getText(const RecordBuffer& buf, const FieldDef& f);
// Cuts to the width; callers that must refuse check the length first.
void setText(RecordBuffer& buf, const FieldDef& f, std::string_view bytes);
// Largest text a field holds, in bytes.
int textCapacity(const FieldDef& f);
}  // namespace field

}  // namespace tdx
