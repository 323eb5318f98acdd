#pragma once
// A browse list over a record file: one page of rows from an ordered,
// filtered, range-limited view (records/store.h OrderedView), for a List
// control of a window.
//
// Only the visible page is held. Moving past its edge reads only the rows
// that scroll in, from the bookmark of the page's first or last row; a
// forced refresh re-reads the page from its first row. The conditions are
// asked for again at every refresh (they read the process-wide variables
// and the record buffers), and a change of them reloads the list from its
// top. Equality conditions on leading key components make a range; the
// store seeks inside it.
//
// When a row becomes current (navigation, a locate, a re-read) its record
// is copied into the context's buffer of the file, its joined records into
// theirs, and `onCurrent` runs so the procedure can set the variables it
// derives from the row; an empty list clears the file's buffer and calls
// `onCurrent` with nullptr. Then the host is told (onNewSelection).
//
// Alert keys (Insert, Delete, Ctrl+Enter, the mouse) are the window's: the
// procedure declares them in its WindowSpec and gets them as events.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/catalogue.h"
#include "records/store.h"
#include "runtime/browse.h"
#include "runtime/record_columns.h"
#include "runtime/record_thumb.h"

namespace tdx::rt {

class Context;

// How the thumb shows the highlighted row.
enum class ThumbMode {
  Interpolate,  // by the 100 step values of the leading open key component
  Ends,         // in the middle; at the top when the first row is shown, at the bottom for the last
};

struct RecordBrowseSpec {
  FileId file;
  std::optional<Key> order;  // nullopt: file order
  // Asked at every refresh; ANDed. Equalities on leading key components
  // form a range.
  std::function<std::vector<Condition>()> where;
  std::vector<RecordColumn> columns;
  std::vector<BrowseJoin> joins;
  std::vector<RowStyle> styles;
  // The style of a row by its position on the page (0 the top row) and
  // its record; nullptr: the default look.
  std::function<int(int pagePosition, const BrowseRow&)> styleOf;
  ThumbMode thumb = ThumbMode::Interpolate;
  // Send "QUICKSCAN=on"/"off" to the file around every page fill (the
  // store accepts and ignores them).
  bool quickScan = false;
  int pageSize = 20;
};

// Errors while reading: the procedure shows the standard warning (35 for a
// read, 36 when the conditions could not be applied: the list then reads
// without them) and decides whether the window stays.
struct BrowseError {
  int warning = 35;
  err::Error error;
};

class RecordBrowse : public BrowseList {
 public:
  RecordBrowse(Context& ctx, RecordBrowseSpec spec);
  ~RecordBrowse() override;

  // --- BrowseList
  const std::vector<BrowseColumn>& columns() const override { return looks_; }
  const std::vector<RowStyle>& styles() const override { return spec_.styles; }
  void setPageSize(int rows) override;
  int pageSize() const override { return pageSize_; }
  int rows() const override { return int(page_.size()); }
  std::string cell(int row, int column) const override;
  int styleOf(int row) const override;
  int current() const override { return page_.empty() ? -1 : cur_; }
  void select(int row) override;
  void up() override;
  void down() override;
  void pageUp() override;
  void pageDown() override;
  void home() override;
  void end() override;
  void scrollBy(int rows) override;
  int thumb() const override;
  void dragThumb(int position) override;

  // --- What the procedure does with the list
  // Re-reads from the top with the conditions asked anew.
  bool reload();
  // Asks for the conditions: when they changed, reloads from the top;
  // otherwise, when forced, re-reads the page from its first row. True when
  // the list was read again.
  bool refresh(bool force = false);
  // Positions on a record (after it was added or changed), the page filled
  // around it; false (and the page refreshed) when the view does not hold it.
  bool showRecord(const RecordBuffer& record, Position pos);
  // The first row not less than a text typed for the leading open key
  // component (without case for a NOCASE key); Windows-1250 bytes.
  bool locate(std::string_view text);
  // The first row whose key is not less than the key components of `from`.
  bool locateFrom(const RecordBuffer& from);
  // Another order (a tab of the window chose it); the caller then places
  // the list, usually at the highlighted record with locateFrom().
  void setOrder(std::optional<Key> order, ThumbMode thumb);
  // Copies the current row into the buffers again (and runs onCurrent), as
  // before a form is called for it.
  void makeCurrent();

  bool empty() const { return page_.empty(); }
  const BrowseRow* currentRow() const { return page_.empty() ? nullptr : &page_[std::size_t(cur_)]; }
  const BrowseRow& row(int i) const { return page_.at(std::size_t(i)); }
  const RecordBrowseSpec& spec() const { return spec_; }
  // Rows in the view (a counted query; for tests and progress only).
  std::int64_t count();

  std::function<void(const BrowseRow*)> onCurrent;
  std::function<void(const BrowseError&)> onError;

 private:
  using Rows = std::vector<BrowseRow>;
  bool buildView();
  bool read(bool ok);
  void quickScan(bool on);
  Rows take(std::vector<ViewRow>& rows);
  void prepare(BrowseRow& row);
  void compactJoinCache();
  bool fillAround(const Bookmark& anchor, int anchorIndex, Rows& rows, int& at);
  bool pageFrom(std::vector<ViewRow>& fwd, bool ok);
  bool reread(int anchorIndexOfCurrent);
  int shift(bool forward, int n);
  void setPage(Rows rows, int current, bool reread);
  void restore();
  void moved(std::int64_t beforeId, bool reread);
  void buildThumb();
  int leadingOpen() const;
  void noteEdges() const;

  Context* ctx_;
  RecordBrowseSpec spec_;
  std::vector<BrowseColumn> looks_;
  std::vector<Condition> requested_;   // as `where` gave them
  std::vector<Condition> conditions_;  // as applied (none when they could not be)
  mutable std::optional<OrderedView> view_;
  Rows page_;
  int cur_ = 0;
  int pageSize_;
  bool loaded_ = false;
  ThumbTable thumb_;
  // The joined records of the page, by join and the encoded probe key.
  std::vector<std::map<std::vector<std::string>, std::shared_ptr<const RecordBuffer>>> joinCache_;
  std::vector<std::optional<OrderedView>> joinViews_;
  // Whether the page shows the first / the last row of the view (for the
  // thumb of ThumbMode::Ends); worked out when asked.
  mutable std::optional<bool> atTop_, atBottom_;
};

// Equal conditions (the list compares what `where` gives at each refresh).
bool sameConditions(const std::vector<Condition>& a, const std::vector<Condition>& b);

}  // namespace tdx::rt
