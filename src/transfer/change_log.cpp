#include "transfer/change_log.h"

#include <string>

#include "exchange/table_copy.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/ui.h"
#include "transfer/exchange_names.h"
#include "transfer/paraldbf_columns.h"

namespace tdx::transfer {

namespace {
constexpr const char* kHeading = "Seznam spremenjenih cen pri uvozu podatkov:";
}

ChangeLog::ChangeLog(const std::filesystem::path& folder) : file_(folder, dbf::kLog), record_(dbf::kLog) {}

void ChangeLog::recreate(rt::Context& ctx) {
  if (file_.isOpen()) file_.close();
  if (!file_.recreate()) {
    ctx.ui().stopBox(rt::runtimeErrorText(file_.error()));
    return;
  }
  // Held by someone else between the creation and the open.
  if (!file_.isOpen() && !file_.open()) {
    ctx.ui().stopBox(rt::runtimeErrorText(file_.error()));
    return;
  }
  record_.clear();
  record_.setText(logColumns().imezd, kHeading);
  append(ctx);
  record_.clear();
}

void ChangeLog::fillFromRow(const dbf::Record& row, const Paralela& capped) {
  const ParaldbfColumns& col = paraldbfColumns();
  const LogColumns& log = logColumns();
  record_.setText(log.imezd, row.text(col.imezd));
  record_.setText(log.idzdr, row.text(col.idzdr));
  record_.setNumber(log.cenajazmp, capped.ncena_az.get());
  record_.setNumber(log.ncena, row.number(col.ncena));
  record_.setNumber(log.popust, row.number(col.popust));
  record_.setNumber(log.pddv, row.number(col.pddv));
  record_.setText(log.sifr, row.text(col.sifr));
  record_.setNumber(log.skup, row.number(col.skup));
  record_.setNumber(log.posk, row.number(col.posk));
  record_.setNumber(log.sklop, row.number(col.sklop));
}

void ChangeLog::fillFromLine(const Zdravnet& registry, std::string_view idzdr, const Decimal& offered,
                             const Paralela& capped) {
  const LogColumns& log = logColumns();
  record_.setText(log.imezd, registry.imeregistr.view());  // its first 100 characters
  record_.setText(log.idzdr, idzdr);
  record_.setNumber(log.cenajazmp, capped.ncena_az.get());
  record_.setNumber(log.ncena, offered);
  record_.setNumber(log.popust, capped.popust.get());
  record_.setNumber(log.pddv, capped.pddv.get());
  record_.setText(log.sifr, std::to_string(capped.sifr.get()));
  record_.setNumber(log.skup, capped.skup.get());
  record_.setNumber(log.posk, capped.posk.get());
  record_.setNumber(log.sklop, capped.sklop.get());
}

bool ChangeLog::append(rt::Context& ctx) {
  if (file_.append(record_)) return true;
  ctx.ui().stopBox(rt::runtimeErrorText(file_.error()));
  return false;
}

void ChangeLog::copyForSpreadsheet(const std::filesystem::path& folder) {
  err::Error ignored;
  dbf::copyTable(file_.path(), exchangePath(folder, kLogCopyName), ignored);
}

}  // namespace tdx::transfer
