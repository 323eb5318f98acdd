#pragma once
// Steps the exports share: telling a failed row, and the summary.

#include <cstdint>
#include <string_view>

#include "records/errors.h"

namespace tdx::rt { class Context; }

namespace tdx::transfer {

// The stop box of a row that did not reach the table: the error text, a
// blank and what names the row ("Access Denied 1234"). Abort ends the
// program; Ignore goes on with the next row.
void reportFailedRow(rt::Context& ctx, const err::Error& e, std::string_view row);

// "Dodanih: 152 zapisov!", no caption, no icon, OK.
void reportRowsAdded(rt::Context& ctx, std::int64_t rows);

// A refusal of a value before it reaches the table, worded as the table's
// own refusals ("PARALDBF.SIFR: 123456789 does not fit C(8)").
err::Error doesNotFit(std::string_view table, std::string_view column, std::string_view value, int width);

}  // namespace tdx::transfer
