#pragma once
// The index file beside a dBase table: a B-tree of 1024-byte pages, page 0
// the header. Every link is an absolute file offset. A node page holds its
// key count, a table of max+1 slot offsets (entries 0..n-1 name the keys in
// order, entry n an extra item whose left pointer is the rightmost child)
// and the item slots: left child, record number, key bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tdx::ntx {

inline constexpr std::size_t kPageSize = 1024;
inline constexpr std::uint16_t kSignature = 6;
inline constexpr int kMaxKeySize = 256;
inline constexpr std::size_t kExpressionSize = 256;

struct Header {
  std::uint16_t signature = kSignature;
  std::uint16_t version = 1;
  std::uint32_t root = 0;
  std::uint32_t freeList = 0;
  int keySize = 0;
  int decimals = 0;
  int maxItems = 0;
  std::string expression;  // the column name: "EAN"
  bool unique = false;

  int itemSize() const { return keySize + 8; }
  // Where the item slots start inside a page.
  std::size_t slotBase() const { return 2 + 2 * std::size_t(maxItems + 1); }
};

// Keys per page for a key size: each key costs its item (key + 8) and a
// table entry (2), one extra item is always there and the count takes 2
// bytes; kept even.
int maxItemsFor(int keySize);

std::string encodeHeader(const Header& h);  // one page
// nullopt when the header page describes an index we can read, else why not.
// `fileSize` bounds the root page.
std::optional<std::string> decodeHeader(std::string_view page, std::uint64_t fileSize, Header& out);

inline std::uint32_t get16(const char* p) {
  return std::uint32_t(static_cast<unsigned char>(p[0])) | (std::uint32_t(static_cast<unsigned char>(p[1])) << 8);
}
inline std::uint32_t get32(const char* p) { return get16(p) | (get16(p + 2) << 16); }
inline void put16(char* p, std::uint32_t v) {
  p[0] = char(v & 0xFF);
  p[1] = char((v >> 8) & 0xFF);
}
inline void put32(char* p, std::uint32_t v) {
  put16(p, v & 0xFFFF);
  put16(p + 2, v >> 16);
}

}  // namespace tdx::ntx
