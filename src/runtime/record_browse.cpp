#include "runtime/record_browse.h"

#include <algorithm>

#include "records/cp1250.h"
#include "runtime/context.h"

namespace tdx::rt {

namespace {

bool isText(FieldType t) { return t == FieldType::String || t == FieldType::CString || t == FieldType::Memo; }

// The bookmark just before a row: reading after it starts with the row
// itself. Rows that tie on the key follow their positions, so the row's key
// with the position before its own stands right in front of it.
Bookmark justBefore(Bookmark mark) {
  mark.id -= 1;
  return mark;
}

}  // namespace

bool sameConditions(const std::vector<Condition>& a, const std::vector<Condition>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto& x = a[i];
    const auto& y = b[i];
    if (x.field != y.field || x.op != y.op || x.number != y.number || x.nocase != y.nocase ||
        cp1250::trimRight(x.text) != cp1250::trimRight(y.text))
      return false;
  }
  return true;
}

RecordBrowse::RecordBrowse(Context& ctx, RecordBrowseSpec spec)
    : ctx_(&ctx), spec_(std::move(spec)), pageSize_(std::max(1, spec_.pageSize)) {
  for (const auto& c : spec_.columns) looks_.push_back(c.look);
  joinCache_.resize(spec_.joins.size());
  joinViews_.resize(spec_.joins.size());
}

RecordBrowse::~RecordBrowse() = default;

// ---------------------------------------------------------------- the view

bool RecordBrowse::buildView() {
  requested_ = spec_.where ? spec_.where() : std::vector<Condition>{};
  conditions_ = requested_;
  const auto& def = fileDef(spec_.file);
  bool valid = !spec_.order || fileOf(*spec_.order) == spec_.file;
  for (const auto& c : conditions_) valid = valid && c.field >= 0 && c.field < int(def.fields.size());
  if (!valid) {
    // Read without them rather than show nothing; the procedure tells the
    // user that the filter and range are ignored.
    conditions_.clear();
    if (onError)
      onError({36, err::Error::driver(err::DriverError, 0,
                                      "a condition or order that is not of " + std::string(def.label))});
    view_.emplace(ctx_->file(spec_.file), fileOf(*spec_.order) == spec_.file ? spec_.order : std::nullopt);
  } else {
    view_.emplace(ctx_->file(spec_.file), spec_.order, conditions_);
  }
  for (auto& v : joinViews_) v.reset();
  for (auto& c : joinCache_) c.clear();
  atTop_.reset();
  atBottom_.reset();
  return valid;
}

bool RecordBrowse::read(bool ok) {
  if (!ok && onError) onError({35, view_->error()});
  return ok;
}

void RecordBrowse::quickScan(bool on) {
  if (spec_.quickScan) ctx_->file(spec_.file).send(on ? "QUICKSCAN=on" : "QUICKSCAN=off");
}

RecordBrowse::Rows RecordBrowse::take(std::vector<ViewRow>& rows) {
  Rows out;
  out.reserve(rows.size());
  const auto& def = fileDef(spec_.file);
  for (auto& vr : rows) {
    BrowseRow r(def);
    r.record = std::move(vr.record);
    r.mark = std::move(vr.mark);
    prepare(r);
    out.push_back(std::move(r));
  }
  return out;
}

// Joined records come from the page's cache; a look-up that misses reads
// one record by key.
void RecordBrowse::prepare(BrowseRow& row) {
  row.joined.assign(spec_.joins.size(), nullptr);
  for (std::size_t j = 0; j < spec_.joins.size(); ++j) {
    const auto& join = spec_.joins[j];
    RecordFile& file = ctx_->file(join.file);
    if (!joinViews_[j]) joinViews_[j].emplace(file, join.key);
    RecordBuffer probe(join.file);
    probe.clear();
    if (join.prime) join.prime(row.record, probe);
    auto key = joinViews_[j]->markOf(probe, Position{}).keyBytes;
    auto& cache = joinCache_[j];
    auto hit = cache.find(key);
    if (hit != cache.end()) {
      row.joined[j] = hit->second;
      continue;
    }
    auto found = std::make_shared<RecordBuffer>(join.file);
    found->clear();
    std::vector<ViewRow> out;
    if (!joinViews_[j]->from(probe, 1, out)) {
      if (onError) onError({35, joinViews_[j]->error()});
    } else if (!out.empty() && out.front().mark.keyBytes == key) {
      *found = std::move(out.front().record);
    }
    cache.emplace(std::move(key), found);
    row.joined[j] = std::move(found);
  }
  formatCells(spec_.columns, row);
}

// Keeps of the cache only what the page shows, so memory follows the page.
void RecordBrowse::compactJoinCache() {
  for (std::size_t j = 0; j < joinCache_.size(); ++j) {
    auto& cache = joinCache_[j];
    for (auto it = cache.begin(); it != cache.end();) {
      bool used = std::any_of(page_.begin(), page_.end(),
                              [&](const BrowseRow& r) { return r.joined[j] == it->second; });
      it = used ? std::next(it) : cache.erase(it);
    }
  }
}

// ---------------------------------------------------------------- the page

// Reads a page that holds the row at `anchor` (or the row that now stands
// there) at `anchorIndex`, or as near to it as the ends of the view allow.
// `at` receives the index of that row.
bool RecordBrowse::fillAround(const Bookmark& anchor, int anchorIndex, Rows& rows, int& at) {
  int n = pageSize_;
  int want = std::clamp(anchorIndex, 0, n - 1);
  std::vector<ViewRow> before, fwd, more;
  quickScan(true);
  bool ok = (want == 0 || view_->before(anchor, want, before)) &&
            view_->after(justBefore(anchor), n - int(before.size()), fwd);
  if (ok && int(before.size() + fwd.size()) < n && !(before.empty() && fwd.empty())) {
    const Bookmark& top = before.empty() ? fwd.front().mark : before.front().mark;
    ok = view_->before(top, n - int(before.size() + fwd.size()), more);
  }
  quickScan(false);
  if (!read(ok)) return false;
  at = fwd.empty() ? int(more.size() + before.size()) - 1 : int(more.size() + before.size());
  more.insert(more.end(), std::make_move_iterator(before.begin()), std::make_move_iterator(before.end()));
  more.insert(more.end(), std::make_move_iterator(fwd.begin()), std::make_move_iterator(fwd.end()));
  rows = take(more);
  return true;
}

// A page read from a locate: the rows from the located one on, topped up
// from before it when the end of the view comes first.
bool RecordBrowse::pageFrom(std::vector<ViewRow>& fwd, bool ok) {
  std::vector<ViewRow> more;
  int n = pageSize_;
  if (ok && int(fwd.size()) < n) {
    if (fwd.empty()) ok = view_->last(n, more);
    else ok = view_->before(fwd.front().mark, n - int(fwd.size()), more);
  }
  quickScan(false);
  if (!read(ok)) return false;
  int at = fwd.empty() ? int(more.size()) - 1 : int(more.size());
  more.insert(more.end(), std::make_move_iterator(fwd.begin()), std::make_move_iterator(fwd.end()));
  setPage(take(more), at, true);
  return true;
}

void RecordBrowse::setPage(Rows rows, int current, bool reread) {
  std::int64_t before = page_.empty() ? 0 : page_[std::size_t(cur_)].mark.id;
  page_ = std::move(rows);
  cur_ = page_.empty() ? 0 : std::clamp(current, 0, int(page_.size()) - 1);
  atTop_.reset();
  atBottom_.reset();
  compactJoinCache();
  moved(before, reread);
}

void RecordBrowse::restore() {
  if (page_.empty()) {
    ctx_->buf(spec_.file).clear();
    if (onCurrent) onCurrent(nullptr);
    return;
  }
  const auto& row = page_[std::size_t(cur_)];
  ctx_->buf(spec_.file) = row.record;
  for (std::size_t j = 0; j < spec_.joins.size(); ++j) ctx_->buf(spec_.joins[j].file) = *row.joined[j];
  if (onCurrent) onCurrent(&row);
}

void RecordBrowse::moved(std::int64_t beforeId, bool reread) {
  std::int64_t now = page_.empty() ? 0 : page_[std::size_t(cur_)].mark.id;
  if (reread || now != beforeId) {
    restore();
    if (onNewSelection) onNewSelection();
  }
  if (onChanged) onChanged();
}

void RecordBrowse::makeCurrent() { restore(); }

// ---------------------------------------------------------------- refreshes

bool RecordBrowse::reload() {
  buildView();
  std::vector<ViewRow> rows;
  quickScan(true);
  bool ok = view_->first(pageSize_, rows);
  quickScan(false);
  loaded_ = true;
  if (!read(ok)) {
    setPage({}, 0, true);
    return false;
  }
  setPage(take(rows), 0, true);
  buildThumb();
  return true;
}

bool RecordBrowse::reread(int anchorIndexOfCurrent) {
  if (page_.empty()) return reload();
  std::int64_t id = page_[std::size_t(cur_)].mark.id;
  Rows rows;
  int at = 0;
  bool fromCurrent = anchorIndexOfCurrent >= 0;
  const Bookmark& anchor = fromCurrent ? page_[std::size_t(cur_)].mark : page_.front().mark;
  if (!fillAround(anchor, fromCurrent ? anchorIndexOfCurrent : 0, rows, at)) return false;
  int keep = cur_;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].mark.id == id) keep = int(i);
  setPage(std::move(rows), keep, true);
  return true;
}

bool RecordBrowse::refresh(bool force) {
  if (!loaded_) return reload();
  auto now = spec_.where ? spec_.where() : std::vector<Condition>{};
  if (!sameConditions(now, requested_)) return reload();
  if (!force) return false;
  return reread(-1);
}

bool RecordBrowse::showRecord(const RecordBuffer& record, Position pos) {
  if (!loaded_) buildView();
  loaded_ = true;
  Rows rows;
  int at = 0;
  if (!fillAround(view_->markOf(record, pos), cur_, rows, at)) return false;
  bool found = at >= 0 && at < int(rows.size()) && rows[std::size_t(at)].mark.id == pos.id;
  setPage(std::move(rows), at, true);
  buildThumb();
  return found;
}

bool RecordBrowse::locate(std::string_view text) {
  if (!loaded_) buildView();
  loaded_ = true;
  std::vector<ViewRow> fwd;
  quickScan(true);
  bool ok = view_->fromText(text, pageSize_, fwd);
  return pageFrom(fwd, ok);
}

bool RecordBrowse::locateFrom(const RecordBuffer& from) {
  if (!loaded_) buildView();
  loaded_ = true;
  std::vector<ViewRow> fwd;
  quickScan(true);
  bool ok = view_->from(from, pageSize_, fwd);
  return pageFrom(fwd, ok);
}

void RecordBrowse::setOrder(std::optional<Key> order, ThumbMode thumb) {
  spec_.order = order;
  spec_.thumb = thumb;
  buildView();
  buildThumb();
}

std::int64_t RecordBrowse::count() {
  if (!loaded_) buildView();
  return view_->count();
}

// ---------------------------------------------------------------- navigation

void RecordBrowse::setPageSize(int rows) {
  rows = std::max(1, rows);
  if (rows == pageSize_) return;
  pageSize_ = rows;
  if (!loaded_ || page_.empty()) return;
  // The highlighted row stays in view: where it was, or at the bottom of a
  // page that has become shorter.
  std::int64_t id = page_[std::size_t(cur_)].mark.id;
  Rows fresh;
  int at = 0;
  if (!fillAround(page_[std::size_t(cur_)].mark, std::min(cur_, rows - 1), fresh, at)) return;
  int keep = at;
  for (std::size_t i = 0; i < fresh.size(); ++i)
    if (fresh[i].mark.id == id) keep = int(i);
  setPage(std::move(fresh), keep, false);
}

std::string RecordBrowse::cell(int row, int column) const {
  if (row < 0 || row >= int(page_.size())) return {};
  const auto& cells = page_[std::size_t(row)].cells;
  if (column < 0 || column >= int(cells.size())) return {};
  return cells[std::size_t(column)];
}

int RecordBrowse::styleOf(int row) const {
  if (!spec_.styleOf || row < 0 || row >= int(page_.size())) return -1;
  return spec_.styleOf(row, page_[std::size_t(row)]);
}

void RecordBrowse::select(int row) {
  if (row < 0 || row >= int(page_.size())) return;
  std::int64_t before = page_[std::size_t(cur_)].mark.id;
  cur_ = row;
  moved(before, false);
}

// Rows that scroll in at the bottom (forward) or top; the page keeps its
// size by dropping as many at the other end. Returns how many came in.
int RecordBrowse::shift(bool forward, int n) {
  if (page_.empty() || n <= 0) return 0;
  std::vector<ViewRow> in;
  quickScan(true);
  bool ok = forward ? view_->after(page_.back().mark, n, in) : view_->before(page_.front().mark, n, in);
  quickScan(false);
  if (!read(ok) || in.empty()) return 0;
  Rows fresh = take(in);
  int k = int(fresh.size());
  int drop = std::max(0, int(page_.size()) + k - pageSize_);
  if (forward) {
    page_.erase(page_.begin(), page_.begin() + drop);
    for (auto& r : fresh) page_.push_back(std::move(r));
    cur_ -= drop;
  } else {
    page_.erase(page_.end() - drop, page_.end());
    page_.insert(page_.begin(), std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    cur_ += k;
  }
  cur_ = std::clamp(cur_, 0, int(page_.size()) - 1);
  atTop_.reset();
  atBottom_.reset();
  compactJoinCache();
  return k;
}

void RecordBrowse::down() {
  if (page_.empty()) return;
  std::int64_t before = page_[std::size_t(cur_)].mark.id;
  if (cur_ < int(page_.size()) - 1) ++cur_;
  else if (shift(true, 1) > 0) cur_ = int(page_.size()) - 1;
  moved(before, false);
}

void RecordBrowse::up() {
  if (page_.empty()) return;
  std::int64_t before = page_[std::size_t(cur_)].mark.id;
  if (cur_ > 0) --cur_;
  else if (shift(false, 1) > 0) cur_ = 0;
  moved(before, false);
}

void RecordBrowse::pageDown() {
  if (page_.empty()) return;
  std::int64_t before = page_[std::size_t(cur_)].mark.id;
  int at = cur_;
  int k = shift(true, pageSize_);
  // The highlight keeps its place on the screen; at the end of the view it
  // goes to the last row.
  cur_ = k > 0 ? std::min(at, int(page_.size()) - 1) : int(page_.size()) - 1;
  moved(before, false);
}

void RecordBrowse::pageUp() {
  if (page_.empty()) return;
  std::int64_t before = page_[std::size_t(cur_)].mark.id;
  int at = cur_;
  int k = shift(false, pageSize_);
  cur_ = k > 0 ? std::min(at, int(page_.size()) - 1) : 0;
  moved(before, false);
}

void RecordBrowse::home() {
  if (!loaded_) buildView();
  loaded_ = true;
  std::vector<ViewRow> rows;
  quickScan(true);
  bool ok = view_->first(pageSize_, rows);
  quickScan(false);
  if (!read(ok)) return;
  setPage(take(rows), 0, false);
}

void RecordBrowse::end() {
  if (!loaded_) buildView();
  loaded_ = true;
  std::vector<ViewRow> rows;
  quickScan(true);
  bool ok = view_->last(pageSize_, rows);
  quickScan(false);
  if (!read(ok)) return;
  setPage(take(rows), int(rows.size()) - 1, false);
}

void RecordBrowse::scrollBy(int rows) {
  if (page_.empty() || rows == 0) return;
  std::int64_t before = page_[std::size_t(cur_)].mark.id;
  // shift() moves the highlight with its record; a record that scrolls out
  // leaves the highlight on the edge row.
  shift(rows > 0, rows > 0 ? rows : -rows);
  moved(before, false);
}

// ---------------------------------------------------------------- the thumb

int RecordBrowse::leadingOpen() const {
  if (!spec_.order) return -1;
  const auto& comps = keyDef(*spec_.order).components;
  std::size_t j = 0;
  for (; j < comps.size(); ++j) {
    bool fixed = std::any_of(conditions_.begin(), conditions_.end(), [&](const Condition& c) {
      return c.field == comps[j] && c.op == Condition::Op::Eq;
    });
    if (!fixed) break;
  }
  return j < comps.size() ? comps[j] : -1;
}

void RecordBrowse::buildThumb() {
  thumb_ = ThumbTable();
  int f = leadingOpen();
  if (f < 0) return;
  std::vector<ViewRow> first, last;
  if (!read(view_->first(1, first) && view_->last(1, last)) || first.empty() || last.empty()) return;
  const auto& fd = fileDef(spec_.file).fields[std::size_t(f)];
  if (isText(fd.type)) {
    thumb_ = ThumbTable::ofTexts(field::getText(first.front().record, fd), field::getText(last.front().record, fd));
  } else {
    auto value = [&](const RecordBuffer& r) {
      return fd.type == FieldType::Decimal ? field::getUnits(r, fd) : field::getInt(r, fd);
    };
    thumb_ = ThumbTable::ofNumbers(value(first.front().record), value(last.front().record));
  }
}

void RecordBrowse::noteEdges() const {
  if (atTop_ && atBottom_) return;
  std::vector<ViewRow> probe;
  atTop_ = view_->before(page_.front().mark, 1, probe) && probe.empty();
  atBottom_ = view_->after(page_.back().mark, 1, probe) && probe.empty();
}

int RecordBrowse::thumb() const {
  if (page_.empty()) return 0;
  if (spec_.thumb == ThumbMode::Ends) {
    noteEdges();
    if (*atTop_) return 0;
    if (*atBottom_) return 100;
    return 50;
  }
  int f = leadingOpen();
  if (f < 0 || thumb_.empty()) return 0;
  const auto& fd = fileDef(spec_.file).fields[std::size_t(f)];
  const auto& rec = page_[std::size_t(cur_)].record;
  if (thumb_.texts()) return thumb_.positionOf(field::getText(rec, fd));
  return thumb_.positionOf(fd.type == FieldType::Decimal ? field::getUnits(rec, fd) : field::getInt(rec, fd));
}

void RecordBrowse::dragThumb(int position) {
  if (position <= 1) return home();
  if (position >= ThumbTable::kSteps) return end();
  int f = leadingOpen();
  if (f < 0 || thumb_.empty()) return;
  if (thumb_.texts()) {
    locate(thumb_.text(position));
    return;
  }
  const auto& fd = fileDef(spec_.file).fields[std::size_t(f)];
  std::int64_t v = thumb_.number(position);
  locate(fd.type == FieldType::Decimal ? Decimal::fromUnits(v, fd.places).toString(fd.places) : std::to_string(v));
}

}  // namespace tdx::rt
