#include "transfer/exchange_names.h"

#include <system_error>

#include "records/cp1250.h"

namespace tdx::transfer {

std::filesystem::path exchangePath(const std::filesystem::path& folder, std::string_view name) {
  std::filesystem::path exact = folder / std::string(name);
  std::error_code ec;
  if (std::filesystem::exists(exact, ec)) return exact;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (cp1250::equalNoCase(candidate, name)) return it->path();
  }
  return exact;
}

}  // namespace tdx::transfer
