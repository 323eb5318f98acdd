#include "transfer/csv_file.h"

#include <algorithm>

#include "exchange/exchange_error.h"
#include "exchange/raw_file.h"
#include "records/cp1250.h"
#include "transfer/exchange_names.h"

namespace tdx::transfer {

CsvFile::CsvFile(const std::filesystem::path& folder, const std::string& name)
    : path_(exchangePath(folder, name)) {}

std::string CsvFile::messageName() const {
  std::string name = path_.filename().string();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return char(cp1250::lower(c)); });
  return name;
}

bool CsvFile::open() {
  error_.clear();
  if (reader_.open(path_)) return true;
  error_ = reader_.error();
  return false;
}

bool CsvFile::create() {
  error_.clear();
  RawFile f;
  if (!f.open(path_, RawFile::Open::Create, Share::DenyNone)) {
    error_ = f.error();
    return false;
  }
  return true;
}

bool CsvFile::close() {
  error_.clear();
  reader_.close();
  return true;
}

std::int64_t CsvSource::total() { return file_->isOpen() ? std::int64_t(file_->reader().size()) : 0; }

bool CsvSource::open() {
  error_.clear();
  if (!file_->isOpen()) {
    error_ = exchangeFailure(err::FileNotOpen, file_->messageName() + " is not open");
    return false;
  }
  if (file_->reader().seek(0)) return true;
  error_ = file_->reader().error();
  return false;
}

bool CsvSource::next(std::int64_t& progress) {
  error_.clear();
  csv::Reader& r = file_->reader();
  if (!r.readNext(fields_)) {
    error_ = r.error();
    return false;
  }
  progress = std::int64_t(r.lineBytes());
  return true;
}

}  // namespace tdx::transfer
