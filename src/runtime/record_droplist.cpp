#include "runtime/record_droplist.h"

#include "runtime/context.h"

namespace tdx::rt {

namespace {
// Read in pages like any list so that one statement never holds the file.
constexpr int kReadChunk = 64;
}  // namespace

RecordDropList::RecordDropList(Context& ctx, RecordDropListSpec spec) : ctx_(&ctx), spec_(std::move(spec)) {
  for (const auto& c : spec_.columns) looks_.push_back(c.look);
}

bool RecordDropList::load() {
  rows_.clear();
  cur_ = 0;
  OrderedView view(ctx_->file(spec_.file), spec_.order, spec_.where ? spec_.where() : std::vector<Condition>{});
  std::vector<ViewRow> chunk;
  bool ok = view.first(kReadChunk, chunk);
  while (ok && !chunk.empty()) {
    for (auto& vr : chunk) {
      BrowseRow r(fileDef(spec_.file));
      r.record = std::move(vr.record);
      r.mark = std::move(vr.mark);
      formatCells(spec_.columns, r);
      rows_.push_back(std::move(r));
    }
    if (int(chunk.size()) < kReadChunk) break;
    ok = view.after(rows_.back().mark, kReadChunk, chunk);
  }
  if (!ok && onError) onError(35, view.error());
  if (rows_.empty()) ctx_->buf(spec_.file).clear();
  if (onChanged) onChanged();
  return ok;
}

std::string RecordDropList::cell(int row, int column) const {
  if (row < 0 || row >= int(rows_.size())) return {};
  const auto& cells = rows_[std::size_t(row)].cells;
  return column >= 0 && column < int(cells.size()) ? cells[std::size_t(column)] : std::string();
}

void RecordDropList::select(int row) {
  if (row < 0 || row >= int(rows_.size())) return;
  bool changed = row != cur_;
  cur_ = row;
  makeCurrent();
  if (changed && onNewSelection) onNewSelection();
  if (onChanged) onChanged();
}

bool RecordDropList::show(int field, const Decimal& value) {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    auto v = fieldValue(rows_[i].record, field);
    if (const auto* d = std::get_if<Decimal>(&v); d && *d == value) {
      cur_ = int(i);
      if (onChanged) onChanged();
      return true;
    }
  }
  return false;
}

void RecordDropList::makeCurrent() {
  if (rows_.empty()) {
    ctx_->buf(spec_.file).clear();
    return;
  }
  ctx_->buf(spec_.file) = rows_[std::size_t(cur_)].record;
}

}  // namespace tdx::rt
