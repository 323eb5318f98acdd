#pragma once
// What a list control shows: one page of rows, already formatted, with the
// highlighted row and the scroll thumb. The window host draws it and turns
// keys, the mouse and the scroll bar into the navigation calls below; the
// list itself decides which rows to read (runtime/record_browse.h reads them
// page-wise from an ordered view of a record file).

#include <functional>
#include <string>
#include <vector>

#include "runtime/window.h"

namespace tdx::rt {

struct BrowseColumn {
  std::string header;
  int width = 40;             // dialogue units
  Align align = Align::Left;
  Align headerAlign = Align::Left;
  int indent = 0;             // dialogue units from the aligned edge
  bool resizable = true;
  bool rightBorder = false;
};

struct RowStyle {
  Color background;
  Color text;
  std::string font;
  int fontSize = 0;
  bool bold = false;
};

class BrowseList {
 public:
  virtual ~BrowseList() = default;

  virtual const std::vector<BrowseColumn>& columns() const = 0;
  virtual const std::vector<RowStyle>& styles() const = 0;

  // How many rows the control shows; the list reads that many.
  virtual void setPageSize(int rows) = 0;
  virtual int pageSize() const = 0;
  // Rows on the page now (fewer at the end of a short list).
  virtual int rows() const = 0;
  // A cell as UTF-8, formatted by its column's picture.
  virtual std::string cell(int row, int column) const = 0;
  // Index into styles() of a row; -1 for the default look.
  virtual int styleOf(int row) const = 0;
  // The highlighted row on the page; -1 when the list is empty.
  virtual int current() const = 0;

  // Navigation, as the host maps keys, mouse and scroll bar onto it.
  virtual void select(int row) = 0;  // click on a row of the page
  virtual void up() = 0;
  virtual void down() = 0;
  virtual void pageUp() = 0;
  virtual void pageDown() = 0;
  virtual void home() = 0;
  virtual void end() = 0;
  virtual void scrollBy(int rows) = 0;  // the wheel: the page moves, the highlight stays on its record if visible
  // The scroll thumb, 0 (top) to 100 (bottom).
  virtual int thumb() const = 0;
  virtual void dragThumb(int position) = 0;

  // Set by the host: the page or the highlight changed, repaint.
  std::function<void()> onChanged;
  // Set by the host: the highlight moved to another record (by navigation
  // or a re-read); the host sends the window a NewSelection event for the
  // list's control.
  std::function<void()> onNewSelection;
};

}  // namespace tdx::rt
