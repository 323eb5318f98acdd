#include "exchange/raw_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "exchange/exchange_error.h"

namespace tdx {

RawFile::RawFile(RawFile&& other) noexcept { *this = std::move(other); }

RawFile& RawFile::operator=(RawFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    exclusive_ = other.exclusive_;
    name_ = std::move(other.name_);
    error_ = std::move(other.error_);
  }
  return *this;
}

bool RawFile::fail(int errnum) {
  error_ = systemFailure(errnum, name_);
  return false;
}

bool RawFile::open(const std::filesystem::path& path, Open how, Share share) {
  close();
  error_.clear();
  name_ = path.filename().string();
  int flags = O_CLOEXEC;
  flags |= how == Open::Read ? O_RDONLY : O_RDWR;
  if (how == Open::Create) flags |= O_CREAT;
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return fail(errno);
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return fail(EISDIR);
  }
  bool wantExclusive = share != Share::DenyNone;
  if (::flock(fd, (wantExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    int e = errno;
    ::close(fd);
    if (e == EWOULDBLOCK) {
      error_ = exchangeFailure(err::FileLocked, name_ + " is in use elsewhere");
      return false;
    }
    return fail(e);
  }
  fd_ = fd;
  exclusive_ = wantExclusive;
  return true;
}

void RawFile::close() {
  if (fd_ >= 0) ::close(fd_);  // also drops the lock
  fd_ = -1;
  exclusive_ = false;
}

bool RawFile::makeExclusive() {
  if (exclusive_) return true;
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    exclusive_ = true;
    return true;
  }
  // Linux drops the shared lock before it tries the exclusive one.
  ::flock(fd_, LOCK_SH | LOCK_NB);
  error_ = exchangeFailure(err::FileLocked, name_ + " is open elsewhere and cannot be written");
  return false;
}

bool RawFile::readAt(std::uint64_t offset, void* buf, std::size_t n, std::size_t& got) {
  got = 0;
  auto* p = static_cast<char*>(buf);
  while (got < n) {
    ssize_t r = ::pread(fd_, p + got, n - got, off_t(offset + got));
    if (r < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (r == 0) break;
    got += std::size_t(r);
  }
  return true;
}

bool RawFile::writeAt(std::uint64_t offset, const void* buf, std::size_t n) {
  const auto* p = static_cast<const char*>(buf);
  std::size_t done = 0;
  while (done < n) {
    ssize_t r = ::pwrite(fd_, p + done, n - done, off_t(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (r == 0) return fail(EIO);
    done += std::size_t(r);
  }
  return true;
}

bool RawFile::size(std::uint64_t& out) {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return fail(errno);
  out = std::uint64_t(st.st_size);
  return true;
}

bool RawFile::truncate(std::uint64_t size) {
  if (::ftruncate(fd_, off_t(size)) != 0) return fail(errno);
  return true;
}

bool RawFile::sync() {
  if (::fdatasync(fd_) != 0) return fail(errno);
  return true;
}

}  // namespace tdx
