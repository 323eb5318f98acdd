#include "exchange/ntx_format.h"

namespace tdx::ntx {

namespace {
constexpr std::size_t kKeySizeAt = 14, kItemSizeAt = 12, kDecimalsAt = 16, kMaxAt = 18, kHalfAt = 20,
                      kExpressionAt = 22, kUniqueAt = 278;
}

int maxItemsFor(int keySize) {
  int max = 1022 / (keySize + 10) - 1;
  if (max > 2 && max % 2 == 1) --max;
  return max;
}

std::string encodeHeader(const Header& h) {
  std::string page(kPageSize, '\0');
  char* p = page.data();
  put16(p, h.signature);
  put16(p + 2, h.version);
  put32(p + 4, h.root);
  put32(p + 8, h.freeList);
  put16(p + kItemSizeAt, std::uint32_t(h.itemSize()));
  put16(p + kKeySizeAt, std::uint32_t(h.keySize));
  put16(p + kDecimalsAt, std::uint32_t(h.decimals));
  put16(p + kMaxAt, std::uint32_t(h.maxItems));
  put16(p + kHalfAt, std::uint32_t(h.maxItems / 2));
  page.replace(kExpressionAt, std::min(h.expression.size(), kExpressionSize - 1), h.expression);
  page[kUniqueAt] = h.unique ? 1 : 0;
  return page;
}

std::optional<std::string> decodeHeader(std::string_view page, std::uint64_t fileSize, Header& out) {
  out = Header{};
  if (page.size() < kPageSize || fileSize < 2 * kPageSize) return "the file is shorter than an empty index";
  const char* p = page.data();
  out.signature = std::uint16_t(get16(p));
  if (out.signature != 3 && out.signature != 6 && out.signature != 7)
    return "signature " + std::to_string(out.signature) + " is not that of an index we read";
  out.version = std::uint16_t(get16(p + 2));
  out.root = get32(p + 4);
  out.freeList = get32(p + 8);
  out.keySize = int(get16(p + kKeySizeAt));
  out.decimals = int(get16(p + kDecimalsAt));
  out.maxItems = int(get16(p + kMaxAt));
  if (out.keySize < 1 || out.keySize > kMaxKeySize) return "key size " + std::to_string(out.keySize);
  if (int(get16(p + kItemSizeAt)) != out.itemSize())
    return "item size " + std::to_string(get16(p + kItemSizeAt)) + " for key size " + std::to_string(out.keySize);
  if (out.maxItems < 1 || out.slotBase() + std::size_t(out.maxItems + 1) * std::size_t(out.itemSize()) > kPageSize)
    return std::to_string(out.maxItems) + " keys of " + std::to_string(out.keySize) + " bytes do not fit a page";
  if (out.decimals >= out.keySize) return std::to_string(out.decimals) + " decimals in a key of " +
                                          std::to_string(out.keySize);
  if (out.root < kPageSize || out.root % kPageSize != 0 || out.root + kPageSize > fileSize)
    return "root page at " + std::to_string(out.root) + " is outside the file";
  std::string_view expr = page.substr(kExpressionAt, kExpressionSize);
  out.expression = std::string(expr.substr(0, expr.find('\0')));
  out.unique = page[kUniqueAt] != 0;
  return std::nullopt;
}

}  // namespace tdx::ntx
