#pragma once
// Exchange files are named as the other installations name them
// ("PARALDBF.DBF", "podatdbf.xls"), and those run where names have no case.
// Here they do: a file is found by its name in any case, and a new one gets
// the name as written.

#include <filesystem>
#include <string_view>

namespace tdx::transfer {

// The existing file of `folder` whose name matches `name` in any case (the
// exact name first), else `folder / name`.
std::filesystem::path exchangePath(const std::filesystem::path& folder, std::string_view name);

}  // namespace tdx::transfer
