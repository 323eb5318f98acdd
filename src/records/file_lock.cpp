#include "records/file_lock.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "records/store_errors.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tdx::store {

struct FileLock::Entry {
  std::uint64_t volume = 0, file = 0;  // identity of the file, not of its name
#ifdef _WIN32
  HANDLE handle = INVALID_HANDLE_VALUE;
#else
  int fd = -1;
#endif
  int shared = 0;
  bool exclusive = false;
};

namespace {

std::mutex gMutex;
std::vector<std::unique_ptr<FileLock::Entry>>& table() {
  static std::vector<std::unique_ptr<FileLock::Entry>> t;
  return t;
}

FileLock::Entry* find(std::uint64_t volume, std::uint64_t file) {
  for (auto& e : table())
    if (e->volume == volume && e->file == file) return e.get();
  return nullptr;
}

void forget(FileLock::Entry* entry) {
  auto& t = table();
  for (auto it = t.begin(); it != t.end(); ++it)
    if (it->get() == entry) {
      t.erase(it);
      return;
    }
}

err::Error locked() { return err::Error::of(err::FileLocked); }

#ifdef _WIN32
// SQLite locks bytes near the 1 GiB mark; our range lies far beyond any
// file, so the (mandatory) Windows lock never blocks a read or write.
constexpr DWORD kLockOffsetHigh = 0x7FFF0000;

bool identify(HANDLE h, std::uint64_t& volume, std::uint64_t& file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info)) return false;
  volume = info.dwVolumeSerialNumber;
  file = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

err::Error winError(DWORD e, const std::string& what) {
  if (e == ERROR_FILE_NOT_FOUND) return fromErrno(ENOENT, what);
  if (e == ERROR_PATH_NOT_FOUND) return fromErrno(ENOTDIR, what);
  if (e == ERROR_ACCESS_DENIED) return fromErrno(EACCES, what);
  if (e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION) return locked();
  return err::Error::driver(err::FileSystem, int(e), what + ": Windows error " + std::to_string(e));
}
#endif

}  // namespace

FileLock& FileLock::operator=(FileLock&& o) noexcept {
  if (this != &o) {
    release();
    entry_ = o.entry_;
    kind_ = o.kind_;
    o.entry_ = nullptr;
  }
  return *this;
}

#ifdef _WIN32

err::Error FileLock::acquire(const std::filesystem::path& path, LockKind kind) {
  release();
  std::lock_guard guard(gMutex);
  // On Windows a lock belongs to its handle, so a probing handle may come
  // and go without disturbing SQLite's locks.
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return winError(GetLastError(), path.string());
  std::uint64_t volume = 0, file = 0;
  if (!identify(h, volume, file)) {
    auto e = winError(GetLastError(), path.string());
    CloseHandle(h);
    return e;
  }
  if (Entry* e = find(volume, file)) {
    CloseHandle(h);
    if (e->exclusive || kind == LockKind::Exclusive) return locked();
    ++e->shared;
    entry_ = e;
    kind_ = kind;
    return {};
  }
  OVERLAPPED ov{};
  ov.OffsetHigh = kLockOffsetHigh;
  DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (!LockFileEx(h, flags, 0, 1, 0, &ov)) {
    CloseHandle(h);
    return locked();
  }
  auto entry = std::make_unique<Entry>();
  entry->volume = volume;
  entry->file = file;
  entry->handle = h;
  if (kind == LockKind::Exclusive) entry->exclusive = true;
  else entry->shared = 1;
  entry_ = entry.get();
  kind_ = kind;
  table().push_back(std::move(entry));
  return {};
}

void FileLock::release() {
  if (!entry_) return;
  std::lock_guard guard(gMutex);
  if (kind_ == LockKind::Exclusive) entry_->exclusive = false;
  else --entry_->shared;
  if (!entry_->exclusive && entry_->shared == 0) {
    CloseHandle(entry_->handle);  // the lock goes with the handle
    forget(entry_);
  }
  entry_ = nullptr;
}

std::string FileLock::readPrefix(std::size_t n) const {
  std::string bytes;
  if (!entry_) return bytes;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(entry_->handle, &size)) return bytes;
  if (std::uint64_t(size.QuadPart) < n) n = std::size_t(size.QuadPart);
  bytes.resize(n);
  std::size_t done = 0;
  while (done < n) {
    OVERLAPPED ov{};
    ov.Offset = DWORD(done);
    ov.OffsetHigh = DWORD(std::uint64_t(done) >> 32);
    DWORD got = 0;
    DWORD want = DWORD(std::min<std::size_t>(n - done, 1u << 30));
    if (!ReadFile(entry_->handle, bytes.data() + done, want, &got, &ov) || got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

int FileLock::holdersInProcess(const std::filesystem::path& path) {
  std::lock_guard guard(gMutex);
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  std::uint64_t volume = 0, file = 0;
  bool ok = identify(h, volume, file);
  CloseHandle(h);
  Entry* e = ok ? find(volume, file) : nullptr;
  return e ? e->shared + (e->exclusive ? 1 : 0) : 0;
}

#else

err::Error FileLock::acquire(const std::filesystem::path& path, LockKind kind) {
  release();
  std::lock_guard guard(gMutex);
  // The file's identity comes from its name first (stat opens nothing):
  // when this program already holds it, no new descriptor may be opened.
  for (int attempt = 0; attempt < 8; ++attempt) {
    struct stat byName {};
    if (::stat(path.c_str(), &byName) != 0) return fromErrno(errno, path.string());
    if (Entry* e = find(std::uint64_t(byName.st_dev), std::uint64_t(byName.st_ino))) {
      if (e->exclusive || kind == LockKind::Exclusive) return locked();
      ++e->shared;
      entry_ = e;
      kind_ = kind;
      return {};
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fromErrno(errno, path.string());
    struct stat byFd {};
    if (::fstat(fd, &byFd) != 0) {
      int e = errno;
      ::close(fd);
      return fromErrno(e, path.string());
    }
    if (byFd.st_dev != byName.st_dev || byFd.st_ino != byName.st_ino) {
      ::close(fd);  // replaced between the two looks; nobody here holds it yet
      continue;
    }
    if (::flock(fd, (kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
      int e = errno;
      ::close(fd);
      return e == EWOULDBLOCK ? locked() : fromErrno(e, path.string());
    }
    // A file replaced by another program's create between our open and our
    // lock would leave us holding a name nobody else sees: look again.
    struct stat again {};
    if (::stat(path.c_str(), &again) != 0 || again.st_ino != byFd.st_ino || again.st_dev != byFd.st_dev) {
      ::close(fd);
      continue;
    }
    auto entry = std::make_unique<Entry>();
    entry->volume = std::uint64_t(byFd.st_dev);
    entry->file = std::uint64_t(byFd.st_ino);
    entry->fd = fd;
    if (kind == LockKind::Exclusive) entry->exclusive = true;
    else entry->shared = 1;
    entry_ = entry.get();
    kind_ = kind;
    table().push_back(std::move(entry));
    return {};
  }
  return locked();
}

void FileLock::release() {
  if (!entry_) return;
  std::lock_guard guard(gMutex);
  if (kind_ == LockKind::Exclusive) entry_->exclusive = false;
  else --entry_->shared;
  if (!entry_->exclusive && entry_->shared == 0) {
    // Only now, with no connection of ours left on the file, may the
    // descriptor close (it takes every POSIX lock of ours on the file along).
    ::close(entry_->fd);
    forget(entry_);
  }
  entry_ = nullptr;
}

std::string FileLock::readPrefix(std::size_t n) const {
  std::string bytes;
  if (!entry_) return bytes;
  struct stat st {};
  if (::fstat(entry_->fd, &st) != 0) return bytes;
  if (std::uint64_t(st.st_size) < n) n = std::size_t(st.st_size);
  bytes.resize(n);
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::pread(entry_->fd, bytes.data() + done, n - done, off_t(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += std::size_t(got);
  }
  bytes.resize(done);
  return bytes;
}

int FileLock::holdersInProcess(const std::filesystem::path& path) {
  std::lock_guard guard(gMutex);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  Entry* e = find(std::uint64_t(st.st_dev), std::uint64_t(st.st_ino));
  return e ? e->shared + (e->exclusive ? 1 : 0) : 0;
}

#endif

}  // namespace tdx::store
