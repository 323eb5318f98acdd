#include "transfer/replacing_import.h"

#include "records/store.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"
#include "transfer/exchange_names.h"
#include "transfer/export_steps.h"
#include "transfer/import_steps.h"
#include "transfer/offer_backups.h"

namespace tdx::transfer {

ReplacingImport::ReplacingImport(rt::Context& ctx, const rt::Options& options, Texts texts)
    : BatchProcedure(ctx, options), texts_(std::move(texts)), log_(ctx.folder()), newOffers_(ctx.folder()) {}

rt::BatchRunDef ReplacingImport::baseDefinition() {
  rt::BatchRunDef def;
  def.name = texts_.name;
  def.userText = "Poteka uvoz podatkov...";
  def.batchSize = 1000;
  def.files = {&log_.file(), FileId::Paralela, FileId::Zdravnet};
  def.readAhead = true;
  def.ownClosing = rt::OwnClosing::AfterWindowClosed;
  return def;
}

void ReplacingImport::begin() {
  // The import goes on however this is closed.
  ui().message(rt::Message{"Obvestilo", texts_.warning, rt::Icon::Stop, {rt::btn::Ok}, 0});

  RecordFile& offers = ctx().file(FileId::Paralela);
  if (offers.open(OpenMode::exclusive())) {
    if (!offers.close()) ui().stopBox(rt::runtimeErrorText(offers.error()));
    if (auto e = backUpOffers(ctx().folder(), offers.path())) ui().stopBox(rt::runtimeErrorText(e));
  } else {
    switch (offers.error().code) {
      case err::FileNotFound:
        // No offers yet: there is nothing to keep, and nobody to ask to
        // close a window.
        break;
      case err::InvalidFile:
      case err::InvalidKey:
        // Not readable as offers, but somebody's file all the same: it goes
        // to the backup whole, never overwritten.
        if (auto e = backUpOffers(ctx().folder(), offers.path())) ui().stopBox(rt::runtimeErrorText(e));
        break;
      default:
        ui().message(rt::Message{"Opozorilo", "Zaprite vsa programska okna in poskusite znova!", rt::Icon::Stop,
                                 {rt::btn::Ok}, 0});
        closingSteps(0);
        end();
        return;
    }
  }

  // The offers file stays empty and held for the whole run; the rows fill
  // the new file beside it, which takes its place at the end.
  if (!offers.create() || !offers.open(OpenMode::exclusive()) || !offers.stream())
    ui().stopBox(rt::runtimeErrorText(offers.error()));
  if (auto e = newOffers_.begin()) ui().stopBox(rt::runtimeErrorText(e));
  BatchProcedure::begin();
}

void ReplacingImport::prepare(rt::BatchRun&) { log_.recreate(ctx()); }

const Zdravnet* ReplacingImport::medicine(std::string_view idzdr) { return findMedicine(ctx(), registry_, idzdr); }

void ReplacingImport::addOffer(std::string_view row) {
  if (!newOffers_.add(ctx().buf(FileId::Paralela))) reportFailedRow(ctx(), newOffers_.error(), row);
}

void ReplacingImport::finish(rt::BatchRun& run) {
  // The run has let the (empty) offers file go; the new one takes its
  // place, or the offers file stays empty and the backup holds the offers.
  std::int64_t rows = 0;
  if (auto e = newOffers_.finish(ctx().file(FileId::Paralela).path(), rows)) ui().stopBox(rt::runtimeErrorText(e));
  run.state().rowCounter = rows;
  closingSteps(rows);
}

void ReplacingImport::closingSteps(std::int64_t rows) {
  reportImportCount(ctx(), "Dodanih: ", rows);
  log_.copyForSpreadsheet(ctx().folder());
  if (texts_.opensLogCopy) rt::openDocument(ctx(), exchangePath(ctx().folder(), kLogDocumentName).filename().string());
}

}  // namespace tdx::transfer
