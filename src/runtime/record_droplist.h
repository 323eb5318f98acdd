#pragma once
// A drop list over a small record file (the subgroups of one group): every
// record the conditions admit is loaded at once, in key order, and the
// control shows them all. The chosen entry's record is copied into the
// context's buffer of the file when it becomes the choice.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "records/catalogue.h"
#include "records/store.h"
#include "runtime/browse.h"
#include "runtime/record_columns.h"

namespace tdx::rt {

class Context;

struct RecordDropListSpec {
  FileId file;
  std::optional<Key> order;
  std::function<std::vector<Condition>()> where;
  std::vector<RecordColumn> columns;
  std::vector<RowStyle> styles;
};

class RecordDropList : public BrowseList {
 public:
  RecordDropList(Context& ctx, RecordDropListSpec spec);

  const std::vector<BrowseColumn>& columns() const override { return looks_; }
  const std::vector<RowStyle>& styles() const override { return spec_.styles; }
  void setPageSize(int rows) override { pageSize_ = rows; }
  int pageSize() const override { return pageSize_; }
  int rows() const override { return int(rows_.size()); }
  std::string cell(int row, int column) const override;
  int styleOf(int) const override { return -1; }
  int current() const override { return rows_.empty() ? -1 : cur_; }
  void select(int row) override;
  void up() override { select(cur_ - 1); }
  void down() override { select(cur_ + 1); }
  void pageUp() override { select(0); }
  void pageDown() override { select(int(rows_.size()) - 1); }
  void home() override { select(0); }
  void end() override { select(int(rows_.size()) - 1); }
  void scrollBy(int) override {}
  int thumb() const override { return 0; }
  void dragThumb(int) override {}

  // Reads every record again; the choice goes to the first entry (the
  // file's buffer is cleared when there is none). False on a read error,
  // reported through onError as warning 35.
  bool load();
  // Makes the entry whose record has `value` in field `field` the choice
  // (without copying it into the buffer); false when there is none.
  bool show(int field, const Decimal& value);
  bool empty() const { return rows_.empty(); }
  const BrowseRow* currentRow() const { return rows_.empty() ? nullptr : &rows_[std::size_t(cur_)]; }
  // Copies the chosen record into the buffer.
  void makeCurrent();

  std::function<void(int warning, const err::Error&)> onError;

 private:
  Context* ctx_;
  RecordDropListSpec spec_;
  std::vector<BrowseColumn> looks_;
  std::vector<BrowseRow> rows_;
  int cur_ = 0;
  int pageSize_ = 10;
};

}  // namespace tdx::rt
