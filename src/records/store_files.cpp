#include "records/store_files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "records/store_errors.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tdx::store {

namespace fs = std::filesystem;

namespace {

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

#ifndef _WIN32
err::Error syncFolder(const fs::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return fromErrno(errno, folder.string());
  int rc = ::fsync(fd);
  int e = errno;
  ::close(fd);
  // Some file systems cannot sync a folder; the rename itself stood.
  if (rc != 0 && e != EINVAL && e != ENOTSUP) return fromErrno(e, folder.string());
  return {};
}
#endif

}  // namespace

fs::path resolve(const fs::path& folder, std::string_view diskName, bool* exists) {
  std::string lower = lowerAscii(diskName);
  std::error_code ec;
  fs::path exact = folder / lower;
  if (fs::is_regular_file(exact, ec)) {
    if (exists) *exists = true;
    return exact;
  }
  fs::path found;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    auto name = it->path().filename().string();
    if (lowerAscii(name) != lower) continue;
    std::error_code ec2;
    if (!it->is_regular_file(ec2)) continue;
    // Several spellings (possible on Linux): take the first by name, so the
    // choice does not depend on the order of the folder listing.
    if (found.empty() || it->path().filename() < found.filename()) found = it->path();
  }
  if (exists) *exists = !found.empty();
  return found.empty() ? exact : found;
}

err::Error makeTempFile(const fs::path& target, fs::path& temp) {
  static std::atomic<unsigned> counter{0};
#ifdef _WIN32
  unsigned long pid = GetCurrentProcessId();
#else
  unsigned long pid = (unsigned long)::getpid();
#endif
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = target.parent_path() / ("." + target.filename().string() + ".tdx-" +
                                                 std::to_string(pid) + "-" + std::to_string(counter++));
#ifdef _WIN32
    HANDLE h = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return fromErrno(EACCES, candidate.string());
    }
    CloseHandle(h);
#else
    int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return fromErrno(errno, candidate.string());
    }
    ::close(fd);
#endif
    temp = candidate;
    return {};
  }
  return fromErrno(EEXIST, target.string());
}

fs::path journalOf(const fs::path& db) { return fs::path(db.string() + "-journal"); }

err::Error replaceFile(const fs::path& temp, const fs::path& target) {
  std::error_code ec;
  fs::remove(journalOf(target), ec);
  if (ec) return fromErrno(ec.value(), journalOf(target).string());
  fs::rename(temp, target, ec);
  if (ec) {
    int e = ec.value();
    fs::remove(temp, ec);
    return fromErrno(e, target.string());
  }
#ifdef _WIN32
  return {};
#else
  return syncFolder(target.parent_path());
#endif
}

err::Error writeFileAtomically(const fs::path& target, std::string_view bytes) {
  fs::path temp;
  if (auto e = makeTempFile(target, temp)) return e;
  std::error_code ec;
#ifdef _WIN32
  FILE* f = _wfopen(temp.c_str(), L"wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0 &&
            _commit(_fileno(f)) == 0;
  if (f) std::fclose(f);
  if (!ok) {
    fs::remove(temp, ec);
    return fromErrno(EIO, temp.string());
  }
#else
  int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) {
    int e = errno;
    fs::remove(temp, ec);
    return fromErrno(e, temp.string());
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int e = n < 0 ? errno : EIO;
      ::close(fd);
      fs::remove(temp, ec);
      return fromErrno(e, temp.string());
    }
    done += std::size_t(n);
  }
  if (::fsync(fd) != 0) {
    int e = errno;
    ::close(fd);
    fs::remove(temp, ec);
    return fromErrno(e, temp.string());
  }
  ::close(fd);
#endif
  return replaceFile(temp, target);
}

}  // namespace tdx::store
