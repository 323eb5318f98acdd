#pragma once
// Reading an index file: seek to the first key not below a value, then walk
// the keys in order with their record numbers.
//
// Keys compare as unsigned bytes (see ntx_key.h). A seek value shorter than
// the key compares with the key's first bytes only, so "3838" finds the first
// key that starts with 3838 or sorts after it.
//
// Index files come from outside too, so nothing in one is trusted: every page
// offset must name a whole page inside the file, every count must fit the
// page, every slot must lie in the slot area, a page is a leaf or an inner
// page throughout, all leaves stand at one depth, the walk visits no page
// more often than the file has pages and the keys come out in order. A file
// that breaks any of this is error 46 ("Key File Must Be Rebuilt") with the
// reason, never a crash or a walk without end.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ntx_format.h"
#include "exchange/raw_file.h"
#include "records/errors.h"

namespace tdx::ntx {

struct Entry {
  std::string key;
  std::uint32_t recno = 0;
};

class Index {
 public:
  // 2 when missing, 46 when the header is not one we can read.
  bool open(const std::filesystem::path& path);
  void close();
  bool isOpen() const { return file_.isOpen(); }

  const Header& header() const { return header_; }
  const std::string& expression() const { return header_.expression; }
  int keySize() const { return header_.keySize; }
  int decimals() const { return header_.decimals; }
  bool unique() const { return header_.unique; }

  // Positions before the first key whose leading bytes are not below
  // `value` (cut to the key size); "" positions before the first key.
  bool seek(std::string_view value);
  // The next key in order; 33 after the last.
  bool next(Entry& out);
  // The record of the first key equal to `key` (blank-padded to the key
  // size); 35 when there is none.
  bool find(std::string_view key, std::uint32_t& recno);

  const err::Error& error() const { return error_; }

 private:
  struct Frame {
    std::array<char, kPageSize> page;
    int count = 0;
    int pos = 0;  // the next key of this page to give out
    bool leaf = false;
    const char* item(int i) const { return page.data() + get16(page.data() + 2 + 2 * i); }
    std::uint32_t child(int i) const { return get32(item(i)); }
  };

  bool fail(int code, std::string detail);
  bool damaged(std::string detail);
  bool push(std::uint32_t offset);
  bool descendLeftmost();

  RawFile file_;
  std::string name_;
  std::uint64_t size_ = 0;
  Header header_;
  std::vector<Frame> stack_;
  std::uint64_t visits_ = 0;  // pages loaded since the last seek
  int leafDepth_ = -1;
  std::string lastKey_;
  bool haveLast_ = false;
  err::Error error_;
};

}  // namespace tdx::ntx
