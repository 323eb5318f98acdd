#pragma once
// The columns of a list over record files: where each cell's value comes
// from (a field of the row's record, a field of a record looked up for the
// row in another file, or a value the procedure computes) and the display
// picture that turns it into the text the list shows.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "records/catalogue.h"
#include "records/decimal.h"
#include "records/store.h"
#include "runtime/browse.h"

namespace tdx::rt {

// A record read for a row from another file (PSKUPINE of an item, ...):
// `prime` fills the probe's key components from the row's record; the
// first record of `file` in `key` with those components is the joined one,
// a cleared record when there is none.
struct BrowseJoin {
  FileId file;
  Key key;
  std::function<void(const RecordBuffer& row, RecordBuffer& probe)> prime;
};

// One row as a list holds it: the record, where it stands in the view, the
// records joined to it, and its cells already formatted.
struct BrowseRow {
  explicit BrowseRow(const FileDef& def) : record(def) {}
  RecordBuffer record;
  Bookmark mark;
  std::vector<std::shared_ptr<const RecordBuffer>> joined;  // by BrowseJoin index
  std::vector<std::string> cells;                           // UTF-8, by column
  Position position() const { return Position{mark.id}; }
};

// A number, or Windows-1250 bytes.
using CellValue = std::variant<Decimal, std::string>;

struct RecordColumn {
  BrowseColumn look;
  std::string picture;  // "@n08b", "@s200"
  std::function<CellValue(const BrowseRow&)> value;

  // A field of the row's record ("NAZI" or "POD:NAZI").
  static RecordColumn field(const FileDef& def, std::string_view name, std::string picture, BrowseColumn look);
  // A field of the record joined to the row by join `join`.
  static RecordColumn joined(int join, const FileDef& def, std::string_view name, std::string picture,
                             BrowseColumn look);
  // A blank filler or marker column (">", the edge columns).
  static RecordColumn blank(std::string picture, BrowseColumn look);
  static RecordColumn computed(std::function<CellValue(const BrowseRow&)> value, std::string picture,
                               BrowseColumn look);
};

// The value of a field in a record: numbers as decimals, texts as bytes.
CellValue fieldValue(const RecordBuffer& record, int field);
// The index of a field by its label; throws std::invalid_argument for an
// unknown one (a column is part of the program, so a wrong name is a
// programming error found by the first test that opens the list).
int fieldIndex(const FileDef& def, std::string_view name);

// A cell as the list shows it: the value through the picture, in UTF-8,
// without the blanks a number picture pads on the left (the column's
// alignment places the text).
std::string formatCell(const std::string& picture, const CellValue& value);
void formatCells(const std::vector<RecordColumn>& columns, BrowseRow& row);

}  // namespace tdx::rt
