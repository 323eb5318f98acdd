#pragma once
// Sharing of record files between the contexts of this program and between
// programs: an in-process table of the files held, plus an advisory lock of
// the operating system on the file itself (shared or exclusive), taken on a
// descriptor of the lock's own that stays open while any context of this
// program holds the file.
//
// One descriptor per file and program, never a second one: on POSIX systems
// closing any descriptor of a file drops every record lock the process has
// on it, including those SQLite holds for its transactions.

#include <cstddef>
#include <filesystem>
#include <string>

#include "records/errors.h"

namespace tdx::store {

enum class LockKind { Shared, Exclusive };

class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { release(); }
  FileLock(FileLock&& o) noexcept : entry_(o.entry_), kind_(o.kind_) { o.entry_ = nullptr; }
  FileLock& operator=(FileLock&& o) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes a hold on an existing file. Shared fails with 32 while someone
  // (here or in another program) holds it exclusively; exclusive fails with
  // 32 while anyone else holds it at all. 2 when the file is missing.
  err::Error acquire(const std::filesystem::path& file, LockKind kind);
  void release();
  bool held() const { return entry_ != nullptr; }

  // The first bytes of the file (or all of it), read through the lock's
  // descriptor.
  std::string readPrefix(std::size_t n) const;
  std::string readAll() const { return readPrefix(std::size_t(-1)); }

  // Opens of the file in this program (for tests and diagnostics).
  static int holdersInProcess(const std::filesystem::path& file);

  struct Entry;

 private:
  Entry* entry_ = nullptr;
  LockKind kind_ = LockKind::Shared;
};

}  // namespace tdx::store
