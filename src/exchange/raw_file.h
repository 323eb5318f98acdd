#pragma once
// One open file of an exchange table or index: positioned reads and writes,
// size, sync, and the advisory lock that gives the sharing modes.
//
// Sharing is an flock() on the whole file, held while the file is open, so it
// works between programs and between opens inside one program alike. flock
// has no "deny write" of its own: denying writing takes the exclusive lock,
// the same as denying all, and a shared open (deny none) takes the shared
// lock, so that an exclusive open fails while anybody else has the file open.
// This is the one file to replace for a LockFileEx port.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "records/errors.h"
#include "records/store.h"

namespace tdx {

class RawFile {
 public:
  enum class Open { Read, ReadWrite, Create };  // Create: read-write, made when missing

  RawFile() = default;
  ~RawFile() { close(); }
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;
  RawFile(RawFile&& other) noexcept;
  RawFile& operator=(RawFile&& other) noexcept;

  // Opens and takes the lock of `share` without waiting: 32 when refused.
  bool open(const std::filesystem::path& path, Open how, Share share);
  void close();
  bool isOpen() const { return fd_ >= 0; }

  // Trades a shared lock for the exclusive one (for writing through a shared
  // open). When refused the shared lock is taken back and 32 is reported.
  bool makeExclusive();
  bool exclusive() const { return exclusive_; }

  // Reads up to n bytes; `got` is short only at the end of the file.
  bool readAt(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got);
  bool writeAt(std::uint64_t offset, const void* buf, std::size_t n);
  bool size(std::uint64_t& out);
  bool truncate(std::uint64_t size);
  bool sync();

  const err::Error& error() const { return error_; }
  const std::string& name() const { return name_; }

 private:
  bool fail(int errnum);
  int fd_ = -1;
  bool exclusive_ = false;
  std::string name_;
  err::Error error_;
};

}  // namespace tdx
