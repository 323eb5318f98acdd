#include "exchange/ntx_read.h"

#include <cstring>

#include "exchange/exchange_error.h"

namespace tdx::ntx {

namespace {
// Far deeper than any real index (four levels hold 3 million 13-byte keys);
// a deeper path can only be a loop.
constexpr std::size_t kMaxDepth = 32;
}  // namespace

bool Index::fail(int code, std::string detail) {
  error_ = exchangeFailure(code, name_ + ": " + std::move(detail));
  return false;
}

bool Index::damaged(std::string detail) {
  stack_.clear();
  return fail(err::InvalidKey, std::move(detail));
}

bool Index::open(const std::filesystem::path& path) {
  close();
  error_.clear();
  name_ = path.filename().string();
  if (!file_.open(path, RawFile::Open::Read, Share::DenyNone)) {
    error_ = file_.error();
    return false;
  }
  std::string page(kPageSize, '\0');
  std::size_t got = 0;
  if (!file_.size(size_) || !file_.readAt(0, page.data(), page.size(), got)) {
    error_ = file_.error();
    file_.close();
    return false;
  }
  page.resize(got);
  if (auto why = decodeHeader(page, size_, header_)) {
    file_.close();
    return fail(err::InvalidKey, *why);
  }
  return true;
}

void Index::close() {
  file_.close();
  stack_.clear();
  leafDepth_ = -1;
}

bool Index::push(std::uint32_t offset) {
  if (stack_.size() >= kMaxDepth) return damaged("the tree is deeper than " + std::to_string(kMaxDepth));
  if (++visits_ > size_ / kPageSize) return damaged("the pages form a loop");
  if (offset < kPageSize || offset % kPageSize != 0 || std::uint64_t(offset) + kPageSize > size_)
    return damaged("page offset " + std::to_string(offset) + " is outside the file");
  Frame& f = stack_.emplace_back();
  std::size_t got = 0;
  if (!file_.readAt(offset, f.page.data(), kPageSize, got)) {
    stack_.clear();
    error_ = file_.error();
    return false;
  }
  if (got != kPageSize) return damaged("page " + std::to_string(offset) + " is cut short");
  const std::string where = "page " + std::to_string(offset) + ": ";
  f.count = int(get16(f.page.data()));
  if (f.count > header_.maxItems)
    return damaged(where + std::to_string(f.count) + " keys, at most " + std::to_string(header_.maxItems) + " fit");
  const std::size_t base = header_.slotBase(), size = std::size_t(header_.itemSize());
  for (int i = 0; i <= f.count; ++i) {
    std::size_t slot = get16(f.page.data() + 2 + 2 * i);
    if (slot < base || slot + size > kPageSize) return damaged(where + "slot " + std::to_string(i) + " is outside the page");
  }
  f.leaf = f.child(f.count) == 0;
  for (int i = 0; i < f.count; ++i)
    if ((f.child(i) == 0) != f.leaf) return damaged(where + "mixes leaf and inner items");
  if (f.leaf) {
    int depth = int(stack_.size());
    if (leafDepth_ < 0) leafDepth_ = depth;
    if (depth != leafDepth_) return damaged(where + "a leaf at another depth than the others");
  }
  return true;
}

bool Index::descendLeftmost() {
  while (!stack_.back().leaf) {
    const Frame& f = stack_.back();
    if (!push(f.child(f.pos))) return false;
  }
  return true;
}

bool Index::seek(std::string_view value) {
  error_.clear();
  stack_.clear();
  stack_.reserve(kMaxDepth);  // frames are referred to while deeper ones are pushed
  visits_ = 0;
  haveLast_ = false;
  if (!isOpen()) return fail(err::FileNotOpen, "the index is not open");
  if (value.size() > std::size_t(header_.keySize)) value = value.substr(0, std::size_t(header_.keySize));
  std::uint32_t page = header_.root;
  for (;;) {
    if (!push(page)) return false;
    Frame& f = stack_.back();
    int i = 0;
    while (i < f.count && std::memcmp(f.item(i) + 8, value.data(), value.size()) < 0) ++i;
    f.pos = i;
    if (f.leaf) return true;
    page = f.child(i);
  }
}

bool Index::next(Entry& out) {
  error_.clear();
  while (!stack_.empty()) {
    Frame& f = stack_.back();
    if (f.pos >= f.count) {
      stack_.pop_back();
      continue;
    }
    const char* item = f.item(f.pos++);
    out.recno = get32(item + 4);
    out.key.assign(item + 8, std::size_t(header_.keySize));
    if (out.recno == 0) return damaged("a key without a record number");
    if (haveLast_ && out.key < lastKey_) return damaged("keys out of order");
    lastKey_ = out.key;
    haveLast_ = true;
    if (!f.leaf && !(push(f.child(f.pos)) && descendLeftmost())) return false;
    return true;
  }
  error_ = err::Error::of(err::EndOfFile);
  return false;
}

bool Index::find(std::string_view key, std::uint32_t& recno) {
  std::string padded(key.substr(0, std::min(key.size(), std::size_t(header_.keySize))));
  padded.resize(std::size_t(header_.keySize), ' ');
  if (!seek(padded)) return false;
  Entry e;
  if (!next(e)) {
    if (error_.code == err::EndOfFile) error_ = err::Error::of(err::RecordNotFound);
    return false;
  }
  if (e.key != padded) {
    error_ = err::Error::of(err::RecordNotFound);
    return false;
  }
  recno = e.recno;
  return true;
}

}  // namespace tdx::ntx
