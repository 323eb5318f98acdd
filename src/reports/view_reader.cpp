#include "reports/view_reader.h"

namespace tdx::reports {

ViewReader::ViewReader(RecordFile& file, std::optional<Key> order, std::vector<Condition> where, int pageRows)
    : view_(file, order, std::move(where)), pageRows_(pageRows < 1 ? 1 : pageRows) {}

bool ViewReader::next(RecordBuffer& into) {
  error_.clear();
  if (at_ >= rows_.size()) {
    if (lastPage_) {
      error_ = err::Error::of(err::EndOfFile);
      return false;
    }
    const bool ok = started_ ? view_.after(rows_.back().mark, pageRows_, rows_) : view_.first(pageRows_, rows_);
    started_ = true;
    at_ = 0;
    if (!ok) {
      error_ = view_.error();
      rows_.clear();
      lastPage_ = true;
      return false;
    }
    lastPage_ = static_cast<int>(rows_.size()) < pageRows_;
    if (rows_.empty()) {
      error_ = err::Error::of(err::EndOfFile);
      return false;
    }
  }
  into = std::move(rows_[at_].record);
  ++at_;
  return true;
}

bool readFirstRecord(RecordFile& file, RecordBuffer& into, err::Error& error) {
  error.clear();
  std::vector<ViewRow> rows;
  OrderedView view(file, std::nullopt);
  if (!view.first(1, rows)) {
    error = view.error();
    into.clear();
    return false;
  }
  if (rows.empty()) into.clear();
  else into = std::move(rows.front().record);
  return true;
}

}  // namespace tdx::reports
