#include "reports/csv_browse.h"

#include <algorithm>

#include "exchange/number_text.h"
#include "runtime/record_columns.h"

namespace tdx::reports {

CsvBrowse::CsvBrowse(csv::Reader& reader, std::vector<CsvColumn> columns, int pageSize)
    : reader_(&reader), spec_(std::move(columns)), pageSize_(std::max(1, pageSize)) {
  for (const auto& c : spec_) looks_.push_back(c.look);
}

void CsvBrowse::format(Line& line) const {
  line.cells.clear();
  for (const auto& c : spec_) {
    std::string text = c.field >= 0 && std::size_t(c.field) < line.fields.size() ? line.fields[std::size_t(c.field)]
                                                                                  : std::string();
    if (c.numeric) line.cells.push_back(rt::formatCell(c.picture, readNumber(text)));
    else line.cells.push_back(rt::formatCell(c.picture, text));
  }
}

bool CsvBrowse::readAt(std::uint64_t offset, Line& out) {
  if (failed_ || !reader_->seek(offset) || !reader_->readNext(out.fields)) {
    if (!failed_ && reader_->error().code != err::EndOfFile) {
      failed_ = true;
      if (onError) onError(reader_->error());
    }
    return false;
  }
  out.offset = reader_->lineOffset();
  out.next = reader_->position();
  format(out);
  return true;
}

bool CsvBrowse::readBefore(std::uint64_t offset, Line& out) {
  while (offset > 0 && !failed_) {
    std::uint64_t start = 0;
    if (!reader_->lineStartBefore(offset, start)) {
      failed_ = true;
      if (onError) onError(reader_->error());
      return false;
    }
    if (readAt(start, out)) return true;
    // The DOS end-of-file mark as the last line is not a line: go on before it.
    offset = start;
  }
  return false;
}

bool CsvBrowse::more(bool forward, Line& out) {
  if (page_.empty()) return false;
  return forward ? readAt(page_.back().next, out) : readBefore(page_.front().offset, out);
}

void CsvBrowse::fillFrom(std::uint64_t offset) {
  page_.clear();
  cur_ = 0;
  Line line;
  for (std::uint64_t at = offset; int(page_.size()) < pageSize_ && readAt(at, line); at = line.next)
    page_.push_back(line);
  // Too few lines follow: the page ends with the last line of the file.
  while (int(page_.size()) < pageSize_ && readBefore(page_.empty() ? reader_->size() : page_.front().offset, line)) {
    page_.push_front(line);
    ++cur_;
  }
  if (page_.empty()) cur_ = 0;
  else cur_ = std::min(cur_, int(page_.size()) - 1);
}

void CsvBrowse::fillToEnd() {
  page_.clear();
  Line line;
  std::uint64_t before = reader_->size();
  while (int(page_.size()) < pageSize_ && readBefore(before, line)) {
    page_.push_front(line);
    before = line.offset;
  }
  cur_ = page_.empty() ? 0 : int(page_.size()) - 1;
}

void CsvBrowse::changed(std::uint64_t currentBefore, bool hadCurrent) {
  if (onChanged) onChanged();
  bool moved = page_.empty() ? hadCurrent : (!hadCurrent || currentOffset() != currentBefore);
  if (!moved) return;
  if (onCurrent) onCurrent(currentLine());
  if (onNewSelection) onNewSelection();
}

bool CsvBrowse::reload() {
  failed_ = false;
  fillFrom(0);
  // A reload always tells where the highlight stands now.
  if (onChanged) onChanged();
  if (onCurrent) onCurrent(currentLine());
  if (onNewSelection) onNewSelection();
  return !failed_;
}

void CsvBrowse::setPageSize(int rows) {
  rows = std::max(1, rows);
  if (rows == pageSize_) return;
  pageSize_ = rows;
  const bool had = !page_.empty();
  const std::uint64_t before = currentOffset();
  const std::uint64_t first = page_.empty() ? 0 : page_.front().offset;
  fillFrom(first);
  // Keep the highlight on its line when it is still on the page.
  for (std::size_t i = 0; i < page_.size(); ++i)
    if (page_[i].offset == before) cur_ = int(i);
  changed(before, had);
}

std::string CsvBrowse::cell(int row, int column) const {
  if (row < 0 || row >= rows() || column < 0 || std::size_t(column) >= spec_.size()) return {};
  return page_[std::size_t(row)].cells[std::size_t(column)];
}

void CsvBrowse::select(int row) {
  if (row < 0 || row >= rows() || row == cur_) return;
  const std::uint64_t before = currentOffset();
  cur_ = row;
  changed(before, true);
}

// Moves the page by up to n lines; the highlight keeps its place on the
// page. False when no line came in.
bool CsvBrowse::shift(bool forward, int n) {
  bool any = false;
  Line line;
  for (int i = 0; i < n && more(forward, line); ++i) {
    any = true;
    if (forward) {
      page_.push_back(std::move(line));
      if (int(page_.size()) > pageSize_) page_.pop_front();
    } else {
      page_.push_front(std::move(line));
      if (int(page_.size()) > pageSize_) page_.pop_back();
    }
  }
  return any;
}

void CsvBrowse::down() {
  if (page_.empty()) return;
  const std::uint64_t before = currentOffset();
  if (cur_ < rows() - 1) ++cur_;
  else if (shift(true, 1)) cur_ = rows() - 1;
  changed(before, true);
}

void CsvBrowse::up() {
  if (page_.empty()) return;
  const std::uint64_t before = currentOffset();
  if (cur_ > 0) --cur_;
  else shift(false, 1);
  changed(before, true);
}

void CsvBrowse::pageDown() {
  if (page_.empty()) return;
  const std::uint64_t before = currentOffset();
  // At the end already: the highlight goes to the last line.
  if (!shift(true, pageSize_)) cur_ = rows() - 1;
  changed(before, true);
}

void CsvBrowse::pageUp() {
  if (page_.empty()) return;
  const std::uint64_t before = currentOffset();
  if (!shift(false, pageSize_)) cur_ = 0;
  changed(before, true);
}

void CsvBrowse::home() {
  const bool had = !page_.empty();
  const std::uint64_t before = currentOffset();
  fillFrom(0);
  changed(before, had);
}

void CsvBrowse::end() {
  const bool had = !page_.empty();
  const std::uint64_t before = currentOffset();
  fillToEnd();
  changed(before, had);
}

void CsvBrowse::scrollBy(int n) {
  if (page_.empty() || n == 0) return;
  const std::uint64_t before = currentOffset();
  const std::uint64_t first = page_.front().offset;
  shift(n > 0, n > 0 ? n : -n);
  // The highlight stays on its line while that is on the page.
  auto it = std::find_if(page_.begin(), page_.end(), [&](const Line& l) { return l.offset == before; });
  if (it != page_.end()) cur_ = int(it - page_.begin());
  else cur_ = n > 0 ? 0 : rows() - 1;
  if (page_.front().offset != first || currentOffset() != before) changed(before, true);
}

int CsvBrowse::thumb() const {
  if (page_.empty() || reader_->size() == 0) return 0;
  const Line& l = page_[std::size_t(cur_)];
  if (l.offset == 0) return 0;
  if (l.next >= reader_->size()) return 100;
  return int(std::clamp<std::uint64_t>(l.offset * 100 / reader_->size(), 1, 99));
}

void CsvBrowse::dragThumb(int position) {
  if (position <= 0) return home();
  if (position >= 100) return end();
  const bool had = !page_.empty();
  const std::uint64_t before = currentOffset();
  std::uint64_t start = 0;
  const std::uint64_t at = reader_->size() * std::uint64_t(position) / 100;
  if (!reader_->lineStartBefore(at + 1, start)) {
    if (onError) onError(reader_->error());
    return;
  }
  fillFrom(start);
  for (std::size_t i = 0; i < page_.size(); ++i)
    if (page_[i].offset == start) cur_ = int(i);
  changed(before, had);
}

bool CsvBrowse::reread(std::vector<std::string>& fields) {
  const Line* l = currentLine();
  if (!l) return false;
  Line again;
  if (!readAt(l->offset, again)) return false;
  fields = std::move(again.fields);
  return true;
}

}  // namespace tdx::reports
