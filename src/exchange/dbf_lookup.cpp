// Table::get: a record found through an index on one of the table's columns.
#include "exchange/dbf_table.h"
#include "exchange/exchange_error.h"
#include "exchange/ntx_key.h"
#include "exchange/ntx_read.h"

namespace tdx::dbf {

bool Table::get(ntx::Index& index, Record& record) {
  error_.clear();
  checkLayout(record);
  if (!isOpen() || !index.isOpen()) return fail(exchangeFailure(err::FileNotOpen, "the table or index is not open"));
  auto col = layout_->find(index.expression());
  const std::string label(layout_->label);
  if (!col) return fail(exchangeFailure(err::InvalidKey, "the index on " + index.expression() + " is not one of " + label));
  const FieldInfo& f = header_.fields[std::size_t(*col)];
  const bool numeric = layout_->columns[std::size_t(*col)].type == ColumnType::Numeric;
  if (index.keySize() != f.width || (numeric && index.decimals() != f.decimals))
    return fail(exchangeFailure(err::InvalidKey, "the index on " + index.expression() + " does not fit column " +
                                                     f.name + " of " + label));
  std::string key;
  if (numeric) {
    auto k = ntx::numericKey(record.number(*col), f.width, f.decimals);
    // A value too wide for the column cannot be anybody's key.
    if (!k) return fail(err::Error::of(err::RecordNotFound));
    key = std::move(*k);
  } else {
    key = ntx::characterKey(record.text(*col), f.width);
  }

  if (!index.seek(key)) return fail(index.error());
  ntx::Entry e;
  while (index.next(e)) {
    if (e.key != key) break;
    if (e.recno > count_)
      return fail(exchangeFailure(err::InvalidKey, "the index on " + index.expression() + " points to record " +
                                                       std::to_string(e.recno) + " of " + std::to_string(count_)));
    Record found(*layout_);
    if (!read(e.recno, found)) return false;
    if (found.deleted()) continue;
    record = std::move(found);
    return true;
  }
  if (index.error() && index.error().code != err::EndOfFile) return fail(index.error());
  return fail(err::Error::of(err::RecordNotFound));
}

}  // namespace tdx::dbf
