#include "transfer/csv_source.h"

#include "exchange/exchange_error.h"

namespace tdx::transfer {

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
