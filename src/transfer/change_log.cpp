#include "transfer/change_log.h"

#include <string>

#include "exchange/table_copy.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/ui.h"
#include "transfer/exchange_names.h"

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
  record_.setText("IMEZD", kHeading);
  append(ctx);
  record_.clear();
}

void ChangeLog::fillFromRow(const dbf::Record& row, const Paralela& capped) {
  record_.setText("IMEZD", row.text("IMEZD"));
  record_.setText("IDZDR", row.text("IDZDR"));
  record_.setNumber("CENAJAZMP", capped.ncena_az.get());
  record_.setNumber("NCENA", row.number("NCENA"));
  record_.setNumber("POPUST", row.number("POPUST"));
  record_.setNumber("PDDV", row.number("PDDV"));
  record_.setText("SIFR", row.text("SIFR"));
  record_.setNumber("SKUP", row.number("SKUP"));
  record_.setNumber("POSK", row.number("POSK"));
  record_.setNumber("SKLOP", row.number("SKLOP"));
}

void ChangeLog::fillFromLine(const Zdravnet& registry, std::string_view idzdr, const Decimal& offered,
                             const Paralela& capped) {
  record_.setText("IMEZD", registry.imeregistr.view());  // its first 100 characters
  record_.setText("IDZDR", idzdr);
  record_.setNumber("CENAJAZMP", capped.ncena_az.get());
  record_.setNumber("NCENA", offered);
  record_.setNumber("POPUST", capped.popust.get());
  record_.setNumber("PDDV", capped.pddv.get());
  record_.setText("SIFR", std::to_string(capped.sifr.get()));
  record_.setNumber("SKUP", capped.skup.get());
  record_.setNumber("POSK", capped.posk.get());
  record_.setNumber("SKLOP", capped.sklop.get());
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
