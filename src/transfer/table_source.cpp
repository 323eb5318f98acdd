#include "transfer/table_source.h"

#include "exchange/exchange_error.h"

namespace tdx::transfer {

std::int64_t TableSource::total() { return file_->isOpen() ? std::int64_t(file_->table().fileSize()) : 0; }

bool TableSource::open() {
  error_.clear();
  if (!file_->isOpen()) {
    error_ = exchangeFailure(err::FileNotOpen, file_->messageName() + " is not open");
    return false;
  }
  file_->table().rewind();
  lastRecno_ = 0;
  return true;
}

bool TableSource::next(std::int64_t& progress) {
  error_.clear();
  dbf::Table& t = file_->table();
  if (!t.readNext(row_)) {
    error_ = t.error();
    return false;
  }
  // Rows marked deleted are skipped but were read all the same: they count
  // towards the bytes processed, so the bar still reaches the end.
  const std::uint32_t recno = t.recordNumber();
  progress = std::int64_t(recno - lastRecno_) * std::int64_t(t.recordLength());
  lastRecno_ = recno;
  return true;
}

}  // namespace tdx::transfer
