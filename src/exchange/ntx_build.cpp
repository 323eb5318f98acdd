#include "exchange/ntx_build.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "exchange/dbf_table.h"
#include "exchange/exchange_error.h"
#include "exchange/ntx_format.h"
#include "exchange/ntx_key.h"
#include "exchange/number_text.h"
#include "exchange/raw_file.h"

namespace tdx::ntx {

void KeyList::add(std::string_view key, std::uint32_t recno) {
  bytes_.append(key.substr(0, std::size_t(keySize_)));
  bytes_.append(std::size_t(keySize_) - std::min(key.size(), std::size_t(keySize_)), ' ');
  recnos_.push_back(recno);
}

void KeyList::reserve(std::size_t n) {
  bytes_.reserve(n * std::size_t(keySize_));
  recnos_.reserve(n);
}

namespace {

// One item of a tree level: a key (by its place in the KeyList) and the page
// to its left (0 in the leaves).
struct Item {
  std::uint32_t key;
  std::uint32_t left;
};

// Writes pages one after another behind the header page, in batches.
class PageWriter {
 public:
  PageWriter(RawFile& file, const Header& header, const KeyList& keys)
      : file_(file), header_(header), keys_(keys) {}

  // The page's file offset, or 0 when writing failed (see error()).
  std::uint32_t write(const Item* items, std::size_t n, std::uint32_t rightmost) {
    if (next_ > 0xFFFFFFFFull - kPageSize) {
      error_ = exchangeFailure(err::InvalidKey, "too many keys for one index file");
      return 0;
    }
    std::string page(kPageSize, '\0');
    char* p = page.data();
    const std::size_t base = header_.slotBase();
    const std::size_t size = std::size_t(header_.itemSize());
    put16(p, std::uint32_t(n));
    for (int i = 0; i <= header_.maxItems; ++i) put16(p + 2 + 2 * i, std::uint32_t(base + std::size_t(i) * size));
    for (std::size_t i = 0; i < n; ++i) {
      char* slot = p + base + i * size;
      put32(slot, items[i].left);
      put32(slot + 4, keys_.recno(items[i].key));
      std::string_view key = keys_.key(items[i].key);
      std::memcpy(slot + 8, key.data(), key.size());
    }
    // The extra item: only its left pointer means anything; record number and
    // key stay zero, or some readers report it as one more key.
    put32(p + base + n * size, rightmost);
    pending_ += page;
    auto offset = std::uint32_t(next_);
    next_ += kPageSize;
    if (pending_.size() >= 64 * kPageSize && !drain()) return 0;
    return offset;
  }

  const err::Error& error() const { return error_; }

  bool drain() {
    if (pending_.empty()) return true;
    if (!file_.writeAt(written_, pending_.data(), pending_.size())) {
      error_ = file_.error();
      return false;
    }
    written_ += pending_.size();
    pending_.clear();
    return true;
  }

 private:
  RawFile& file_;
  const Header& header_;
  const KeyList& keys_;
  std::string pending_;
  std::uint64_t written_ = kPageSize;
  std::uint64_t next_ = kPageSize;
  err::Error error_;
};

// Eight bytes of a key from `from` as a big-endian number (past the end of
// a short key, zeros): comparing two of them orders as memcmp on those bytes
// does.
std::uint64_t eightBytes(std::string_view key, std::size_t from) {
  unsigned char b[8] = {};
  if (from < key.size()) std::memcpy(b, key.data() + from, std::min<std::size_t>(key.size() - from, 8));
  std::uint64_t v = 0;
  for (unsigned char c : b) v = (v << 8) | c;
  return v;
}

// The sorted (key, record number) order, with only the first record of each
// key when unique. The first sixteen bytes and the record number travel
// with each entry, so the sort rarely reaches into the key list: our keys
// are at most that long, and many rows share a key (a blank code).
std::vector<std::uint32_t> sortedOrder(const KeyList& keys, bool unique) {
  struct Entry {
    std::uint64_t lead, next;
    std::uint32_t recno, at;
  };
  std::vector<Entry> entries(keys.size());
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    std::string_view key = keys.key(i);
    entries[i] = {eightBytes(key, 0), eightBytes(key, 8), keys.recno(i), i};
  }
  const std::size_t rest = keys.keySize() > 16 ? std::size_t(keys.keySize()) - 16 : 0;
  std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    if (a.lead != b.lead) return a.lead < b.lead;
    if (a.next != b.next) return a.next < b.next;
    if (rest > 0) {
      int c = std::memcmp(keys.key(a.at).data() + 16, keys.key(b.at).data() + 16, rest);
      if (c != 0) return c < 0;
    }
    return a.recno < b.recno;
  });
  std::vector<std::uint32_t> order(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].at;
  entries = {};
  if (unique) {
    auto last = std::unique(order.begin(), order.end(),
                            [&](std::uint32_t a, std::uint32_t b) { return keys.key(a) == keys.key(b); });
    order.erase(last, order.end());
  }
  return order;
}

// Lays out the tree level by level, leaves first, and returns the root.
std::uint32_t writeTree(PageWriter& out, const std::vector<std::uint32_t>& order, std::size_t max) {
  std::vector<Item> level(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) level[i] = {order[i], 0};
  std::uint32_t trailing = 0;  // the rightmost child of the whole level
  while (level.size() > max) {
    const std::size_t n = level.size();
    // The fewest pages that hold the level once one item per page boundary
    // is lifted to the level above; the rest spread as evenly as possible.
    const std::size_t pages = (n + 1 + max) / (max + 1);
    const std::size_t kept = n - (pages - 1);
    const std::size_t each = kept / pages, extra = kept % pages;
    std::vector<Item> above;
    above.reserve(pages - 1);
    std::uint32_t nextTrailing = 0;
    std::size_t at = 0;
    for (std::size_t p = 0; p < pages; ++p) {
      const std::size_t k = each + (p < extra ? 1 : 0);
      const Item* items = level.data() + at;
      at += k;
      const bool last = p + 1 == pages;
      const std::uint32_t rightmost = last ? trailing : level[at].left;
      std::uint32_t offset = out.write(items, k, rightmost);
      if (offset == 0) return 0;
      if (last) {
        nextTrailing = offset;
      } else {
        above.push_back({level[at].key, offset});
        ++at;
      }
    }
    level = std::move(above);
    trailing = nextTrailing;
  }
  return out.write(level.data(), level.size(), trailing);
}

}  // namespace

bool writeIndex(const std::filesystem::path& path, const IndexSpec& spec, const KeyList& keys, err::Error& error) {
  error.clear();
  const std::string name = path.filename().string();
  if (spec.keySize < 1 || spec.keySize > kMaxKeySize || keys.keySize() != spec.keySize) {
    error = exchangeFailure(err::InvalidKey, name + ": key size " + std::to_string(spec.keySize));
    return false;
  }
  Header header;
  header.keySize = spec.keySize;
  header.decimals = spec.decimals;
  header.maxItems = maxItemsFor(spec.keySize);
  header.expression = spec.expression;
  header.unique = spec.unique;

  std::filesystem::path temporary = path;
  temporary += ".new";
  RawFile file;
  if (!file.open(temporary, RawFile::Open::Create, Share::DenyAll) || !file.truncate(0)) {
    error = file.error();
    return false;
  }
  auto abandon = [&](err::Error e) {
    file.close();
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    error = std::move(e);
    return false;
  };
  PageWriter out(file, header, keys);
  header.root = writeTree(out, sortedOrder(keys, spec.unique), std::size_t(header.maxItems));
  if (header.root == 0 || !out.drain()) return abandon(out.error());
  std::string page = encodeHeader(header);
  if (!file.writeAt(0, page.data(), page.size()) || !file.sync()) return abandon(file.error());
  file.close();
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) return abandon(systemFailure(ec.value(), name));
  return true;
}

namespace {

// The key of one record for one index, taken from the field's bytes.
struct KeyMaker {
  int column;
  bool numeric;
  int offset, width, decimals;
};

}  // namespace

bool buildIndexes(dbf::Table& table, std::span<const dbf::IndexDef> indexes, err::Error& error) {
  error.clear();
  if (!table.isOpen()) {
    error = exchangeFailure(err::FileNotOpen, "the table is not open");
    return false;
  }
  const dbf::Layout& layout = table.layout();
  std::vector<KeyMaker> makers;
  std::vector<KeyList> lists;
  for (const auto& def : indexes) {
    auto col = layout.find(def.column);
    if (!col) {
      error = exchangeFailure(err::InvalidKey, std::string(def.fileName) + ": " + std::string(layout.label) +
                                                   " has no column " + std::string(def.column));
      return false;
    }
    const dbf::FieldInfo& f = table.header().fields[std::size_t(*col)];
    if (f.width > kMaxKeySize) {
      error = exchangeFailure(err::InvalidKey, std::string(def.fileName) + ": column " + f.name +
                                                   " is too wide for a key");
      return false;
    }
    bool numeric = layout.columns[std::size_t(*col)].type == dbf::ColumnType::Numeric;
    makers.push_back({*col, numeric, f.offset, f.width, numeric ? f.decimals : 0});
    lists.emplace_back(f.width);
    lists.back().reserve(table.recordCount());
  }

  table.rewind();
  std::string_view bytes;
  std::uint32_t recno = 0;
  while (table.readNextRaw(bytes, recno)) {
    for (std::size_t i = 0; i < makers.size(); ++i) {
      const KeyMaker& m = makers[i];
      std::string_view field = bytes.substr(std::size_t(m.offset), std::size_t(m.width));
      if (!m.numeric) {
        lists[i].add(field, recno);
        continue;
      }
      auto key = numericKey(readNumber(field), m.width, m.decimals);
      if (!key) {
        error = exchangeFailure(err::InvalidFile, table.path().filename().string() + ": record " +
                                                      std::to_string(recno) + " holds \"" + std::string(field) +
                                                      "\" in " + table.header().fields[std::size_t(m.column)].name);
        return false;
      }
      lists[i].add(*key, recno);
    }
  }
  if (table.error().code != err::EndOfFile) {
    error = table.error();
    return false;
  }

  const auto folder = table.path().parent_path();
  for (std::size_t i = 0; i < makers.size(); ++i) {
    IndexSpec spec{std::string(layout.columns[std::size_t(makers[i].column)].name), makers[i].width,
                   makers[i].decimals, indexes[i].unique};
    if (!writeIndex(folder / std::string(indexes[i].fileName), spec, lists[i], error)) return false;
  }
  return true;
}

bool buildIndexes(dbf::Table& table, err::Error& error) {
  return buildIndexes(table, table.layout().indexes, error);
}

}  // namespace tdx::ntx
