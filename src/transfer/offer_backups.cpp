#include "transfer/offer_backups.h"

#include <system_error>

#include "exchange/exchange_error.h"
#include "transfer/exchange_names.h"

namespace tdx::transfer {

namespace fs = std::filesystem;

namespace {

fs::path journalOf(const fs::path& file) { return fs::path(file.string() + "-journal"); }

bool present(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// Renames a file and its journal; a journal left beside the target by
// another file goes first, as it is not the moved file's.
std::error_code moveWithJournal(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::remove(journalOf(to), ec);
  fs::rename(from, to, ec);
  if (ec) return ec;
  std::error_code journalEc;
  if (present(journalOf(from))) fs::rename(journalOf(from), journalOf(to), journalEc);
  return journalEc;
}

}  // namespace

err::Error backUpOffers(const fs::path& folder, const fs::path& offers) {
  const fs::path newest = exchangePath(folder, kNewestBackup);
  const fs::path older = exchangePath(folder, kOlderBackup);
  // One rename moves the newest backup on and replaces the older one: there
  // is never a moment with the newest backup gone and the older one kept.
  if (present(newest)) moveWithJournal(newest, older);
  if (std::error_code ec = moveWithJournal(offers, newest); ec)
    return systemFailure(ec.value(), offers.filename().string());
  return {};
}

}  // namespace tdx::transfer
