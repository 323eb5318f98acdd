#pragma once
// One row of a dBase table in memory.
//
// Character columns are fixed-length Windows-1250 byte fields of the
// layout's width, blank-padded; numeric columns hold the exact decimal value.
// The tables were declared with doubles in memory; we keep the exact value
// and convert to a double only where a procedure asks for one (the *Double
// accessors, which round to the column's decimals on the way in).
//
// Columns are reached by index or by name (without regard to case). Asking
// for a column that is not in the layout, or for text of a numeric column, is
// a programming error and throws std::logic_error.

#include <string>
#include <string_view>
#include <vector>

#include "exchange/dbf_layout.h"
#include "records/decimal.h"

namespace tdx::dbf {

class Record {
 public:
  explicit Record(const Layout& layout);

  const Layout& layout() const { return *layout_; }
  int column(std::string_view name) const;

  // The whole field, padding included.
  std::string_view text(int col) const;
  std::string_view text(std::string_view name) const { return text(column(name)); }
  // Byte for byte; a longer value is cut to the width, a shorter one padded.
  void setText(int col, std::string_view bytes);
  void setText(std::string_view name, std::string_view bytes) { setText(column(name), bytes); }

  const Decimal& number(int col) const;
  const Decimal& number(std::string_view name) const { return number(column(name)); }
  // Held as given; rounding to the column happens when the row is written,
  // and a value that does not fit is refused there.
  void setNumber(int col, const Decimal& value);
  void setNumber(std::string_view name, const Decimal& value) { setNumber(column(name), value); }

  double numberAsDouble(int col) const { return number(col).toDouble(); }
  // The double rounded half away from zero to the column's decimals;
  // throws DecimalOverflow for NaN, infinities and huge values.
  void setNumberFromDouble(int col, double value);

  bool deleted() const { return deleted_; }
  void setDeleted(bool d) { deleted_ = d; }

  // Texts blank, numbers 0, not deleted.
  void clear();

 private:
  const Column& checked(int col, ColumnType type) const;
  const Layout* layout_;
  std::vector<int> textOffset_;  // per column, into text_; -1 for numeric columns
  std::string text_;
  std::vector<Decimal> numbers_;  // per column; unused for character columns
  bool deleted_ = false;
};

}  // namespace tdx::dbf
