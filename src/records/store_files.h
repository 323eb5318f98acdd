#pragma once
// File-system steps of the store: finding a record file by its disk name in
// any case, and replacing a file so that it is never seen half-written
// (build under a temporary name in the same folder, sync, rename).

#include <filesystem>
#include <string>
#include <string_view>

#include "records/errors.h"

namespace tdx::store {

// The record file's path in a folder: an existing file whose name matches
// the disk name in any case (the exact lower-case name first), else the
// lower-case disk name. `exists` tells which.
std::filesystem::path resolve(const std::filesystem::path& folder, std::string_view diskName,
                              bool* exists = nullptr);

// A new, empty, uniquely named file beside `target`, for building its
// replacement.
err::Error makeTempFile(const std::filesystem::path& target, std::filesystem::path& temp);

// Puts a finished (synced) temporary file in place of `target` and makes
// the rename durable. A rollback journal left beside the old file by a
// crashed writer is removed first: it belongs to the old content and would
// otherwise be "rolled back" into the new one.
err::Error replaceFile(const std::filesystem::path& temp, const std::filesystem::path& target);

// Writes `bytes` as the new content of `target` through a synced temporary
// file and a rename.
err::Error writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// SQLite's journal beside a database file.
std::filesystem::path journalOf(const std::filesystem::path& db);

}  // namespace tdx::store
