#include "transfer/export_steps.h"

#include <string>

#include "exchange/exchange_error.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/ui.h"

namespace tdx::transfer {

void reportFailedRow(rt::Context& ctx, const err::Error& e, std::string_view row) {
  ctx.ui().stopBox(rt::runtimeErrorText(e) + " " + std::string(row));
}

void reportRowsAdded(rt::Context& ctx, std::int64_t rows) {
  ctx.ui().message(rt::Message{"", "Dodanih: " + std::to_string(rows) + " zapisov!", rt::Icon::None, {rt::btn::Ok}, 0});
}

err::Error doesNotFit(std::string_view table, std::string_view column, std::string_view value, int width) {
  return exchangeFailure(err::FieldOverflow, std::string(table) + "." + std::string(column) + ": " +
                                                 std::string(value) + " does not fit C(" + std::to_string(width) +
                                                 ")");
}

}  // namespace tdx::transfer
