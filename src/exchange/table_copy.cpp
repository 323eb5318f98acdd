#include "exchange/table_copy.h"

#include <string>
#include <system_error>

#include "exchange/exchange_error.h"
#include "exchange/raw_file.h"

namespace tdx::dbf {

bool copyTable(const std::filesystem::path& from, const std::filesystem::path& to, err::Error& error) {
  error.clear();
  RawFile source;
  if (!source.open(from, RawFile::Open::Read, Share::DenyNone)) {
    error = source.error();
    return false;
  }
  std::filesystem::path temporary = to;
  temporary += ".new";
  RawFile target;
  if (!target.open(temporary, RawFile::Open::Create, Share::DenyAll) || !target.truncate(0)) {
    error = target.error();
    return false;
  }
  auto abandon = [&](const err::Error& e) {
    target.close();
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    error = e;
    return false;
  };
  std::string buffer(256 * 1024, '\0');
  std::uint64_t offset = 0;
  for (;;) {
    std::size_t got = 0;
    if (!source.readAt(offset, buffer.data(), buffer.size(), got)) return abandon(source.error());
    if (got == 0) break;
    if (!target.writeAt(offset, buffer.data(), got)) return abandon(target.error());
    offset += got;
  }
  if (!target.sync()) return abandon(target.error());
  target.close();
  std::error_code ec;
  std::filesystem::rename(temporary, to, ec);
  if (ec) return abandon(systemFailure(ec.value(), to.filename().string()));
  return true;
}

}  // namespace tdx::dbf
