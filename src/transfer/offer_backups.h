#pragma once
// The backups an import that replaces all offers makes first: the offers
// file becomes "paralela.bak", and the backup it replaces becomes
// "paralela.ba1", so the two most recent sets of offers are always kept.
// The older "paralela.ba1" is the one that goes.
//
// A record file may have its journal beside it ("-journal"): it moves with
// its file, so that a backup never loses the half of a transaction it
// still needs, and never gains another file's.

#include <filesystem>

#include "records/errors.h"

namespace tdx::transfer {

inline constexpr const char* kNewestBackup = "paralela.bak";
inline constexpr const char* kOlderBackup = "paralela.ba1";

// Moves the backups on and the offers file `offers` (in `folder`) to
// "paralela.bak". A failure to move the older backups on is passed over
// (the newest one is what matters); a failure to set the offers file
// aside is returned, and then the offers file is where it was.
err::Error backUpOffers(const std::filesystem::path& folder, const std::filesystem::path& offers);

}  // namespace tdx::transfer
