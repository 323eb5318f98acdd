#pragma once
// Building index files in one pass, the way the exports and the price
// import rebuild them: every record of the table (deleted ones included, as
// the drivers did) gives its key; the (key, record number) pairs are sorted
// and written bottom-up into a tree whose leaves all stand at the same depth
// and whose pages, the root aside, are at least half full. A unique index
// keeps only the first record of each key.
//
// The file is written under a temporary name beside the target and renamed
// over it when complete, so a failed build never leaves half an index where
// a reader would find it.
//
// Memory: the keys being sorted, nothing per row beyond that.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/dbf_layout.h"
#include "records/errors.h"

namespace tdx::dbf {
class Table;
}

namespace tdx::ntx {

// Keys of one index in the making: fixed-size byte strings with their
// record numbers.
class KeyList {
 public:
  explicit KeyList(int keySize) : keySize_(keySize) {}
  int keySize() const { return keySize_; }
  // `key` must be keySize bytes.
  void add(std::string_view key, std::uint32_t recno);
  std::size_t size() const { return recnos_.size(); }
  std::string_view key(std::size_t i) const {
    return std::string_view(bytes_).substr(i * std::size_t(keySize_), std::size_t(keySize_));
  }
  std::uint32_t recno(std::size_t i) const { return recnos_[i]; }
  void reserve(std::size_t n);

 private:
  int keySize_;
  std::string bytes_;
  std::vector<std::uint32_t> recnos_;
};

struct IndexSpec {
  std::string expression;  // the column name, as the header stores it
  int keySize = 0;
  int decimals = 0;  // of a numeric key
  bool unique = false;
};

// Writes an index of these keys (in any order) to `path`.
bool writeIndex(const std::filesystem::path& path, const IndexSpec& spec, const KeyList& keys, err::Error& error);

// Builds the given indexes of an open table from all its rows in one pass,
// into the table's folder. The table is read from its first record; its
// read position afterwards is past the last.
bool buildIndexes(dbf::Table& table, std::span<const dbf::IndexDef> indexes, err::Error& error);
// Every index of the table's layout.
bool buildIndexes(dbf::Table& table, err::Error& error);

}  // namespace tdx::ntx
