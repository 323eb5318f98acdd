#include "runtime/semicolon_file.h"

#include <algorithm>

#include "exchange/raw_file.h"
#include "records/cp1250.h"
#include "records/store_files.h"

namespace tdx::rt {

SemicolonFile::SemicolonFile(const std::filesystem::path& folder, const std::string& name)
    : path_(store::resolve(folder, name)) {}

std::string SemicolonFile::messageName() const {
  std::string name = path_.filename().string();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return char(cp1250::lower(c)); });
  return name;
}

bool SemicolonFile::open() {
  error_.clear();
  if (reader_.open(path_)) return true;
  error_ = reader_.error();
  return false;
}

bool SemicolonFile::create() {
  error_.clear();
  RawFile f;
  if (!f.open(path_, RawFile::Open::Create, Share::DenyNone)) {
    error_ = f.error();
    return false;
  }
  return true;
}

bool SemicolonFile::close() {
  error_.clear();
  reader_.close();
  return true;
}

}  // namespace tdx::rt
