#include "reports/zdrndbf_file.h"

#include "records/store_files.h"

namespace tdx::reports {

ZdrndbfFile::ZdrndbfFile(const std::filesystem::path& folder)
    : path_(store::resolve(folder, dbf::kZdrndbf.fileName)) {}

bool ZdrndbfFile::fail(const err::Error& e) {
  error_ = e;
  return false;
}

bool ZdrndbfFile::append(const dbf::Record& row) {
  error_.clear();
  return table_.append(row) || fail(table_.error());
}

bool ZdrndbfFile::open() {
  error_.clear();
  return table_.open(path_, dbf::kZdrndbf) || fail(table_.error());
}

bool ZdrndbfFile::create() {
  error_.clear();
  return table_.create(path_, dbf::kZdrndbf) || fail(table_.error());
}

bool ZdrndbfFile::close() {
  error_.clear();
  return table_.close() || fail(table_.error());
}

}  // namespace tdx::reports
