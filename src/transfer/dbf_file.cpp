#include "transfer/dbf_file.h"

#include <algorithm>

#include "exchange/ntx_build.h"
#include "records/cp1250.h"
#include "transfer/exchange_names.h"

namespace tdx::transfer {

DbfFile::DbfFile(const std::filesystem::path& folder, const dbf::Layout& layout)
    : layout_(&layout), path_(exchangePath(folder, layout.fileName)) {}

bool DbfFile::fail(const err::Error& e) {
  error_ = e;
  return false;
}

std::string DbfFile::messageName() const {
  std::string name = path_.filename().string();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return char(cp1250::lower(c)); });
  return name;
}

bool DbfFile::openWith(OpenMode mode) {
  error_.clear();
  if (!table_.open(path_, *layout_, mode)) return fail(table_.error());
  rowsAtOpen_ = table_.recordCount();
  return true;
}

bool DbfFile::open() { return openWith(OpenMode::shared()); }

bool DbfFile::create() {
  error_.clear();
  return table_.create(path_, *layout_) || fail(table_.error());
}

bool DbfFile::close() {
  error_.clear();
  return table_.close() || fail(table_.error());
}

bool DbfFile::recreate() {
  if (openWith({Access::ReadWrite, Share::DenyWrite})) table_.close();
  if (!create()) return false;
  // Appends are always streamed: rows collect and go out in batches.
  openWith(OpenMode::exclusive());
  error_.clear();
  return true;
}

bool DbfFile::append(const dbf::Record& row) {
  error_.clear();
  return table_.append(row) || fail(table_.error());
}

bool DbfFile::rebuildIndexes() {
  if (!close()) return false;
  if (!openWith(OpenMode::exclusive())) return false;
  err::Error e;
  bool built = ntx::buildIndexes(table_, e);
  bool closed = table_.close();
  if (!built) return fail(e);
  if (!closed) return fail(table_.error());
  return true;
}

}  // namespace tdx::transfer
