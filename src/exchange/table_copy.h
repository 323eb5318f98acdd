#pragma once
// The spreadsheet copies of a table ("LOG.DBF" to "LOG.XLS"): a byte-for-byte
// copy that replaces the target.
//
// The copy is written beside the target under a temporary name and renamed
// over it, so a failed copy leaves the previous one whole. The source is read
// under a shared lock: a table that someone is still writing (and holds
// exclusively) is refused with 32 instead of copied half-written.

#include <filesystem>

#include "records/errors.h"

namespace tdx::dbf {

bool copyTable(const std::filesystem::path& from, const std::filesystem::path& to, err::Error& error);

}  // namespace tdx::dbf
