#pragma once
// Reads an ordered, filtered view of a record file one record at a time,
// fetching a page of rows underneath: the reports walk their item source
// record by record, and a query per record would cost more than the
// layout. The view holds no statement open between pages, so a report
// that runs for a while never blocks a window writing to the file.

#include <optional>
#include <vector>

#include "records/catalogue.h"
#include "records/errors.h"
#include "records/store.h"

namespace tdx::reports {

class ViewReader {
 public:
  ViewReader(RecordFile& file, std::optional<Key> order, std::vector<Condition> where = {}, int pageRows = 64);

  // The next record into `into`. False at the end (error EndOfFile) or
  // when reading failed (any other error).
  bool next(RecordBuffer& into);
  const err::Error& error() const { return error_; }

 private:
  OrderedView view_;
  int pageRows_;
  std::vector<ViewRow> rows_;
  std::size_t at_ = 0;
  bool started_ = false;
  bool lastPage_ = false;
  err::Error error_;
};

// The first record of a file in file order (the bidder, the buyer), or a
// cleared buffer when the file is empty. False only when reading failed.
bool readFirstRecord(RecordFile& file, RecordBuffer& into, err::Error& error);

}  // namespace tdx::reports
