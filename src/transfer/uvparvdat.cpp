// uvparvdat: the prices of existing offers updated from the rows of
// "PARALDBF.DBF", each row matched to the first offer of its medicine,
// capped at the registry price, each lowered price in the change log.

#include <string>

#include "records/price_rules.h"
#include "runtime/batch_procedure.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"
#include "transfer/change_log.h"
#include "transfer/commit_pacer.h"
#include "transfer/exchange_names.h"
#include "transfer/export_steps.h"
#include "transfer/import_steps.h"
#include "transfer/medicine_index.h"
#include "transfer/imports.h"
#include "transfer/offer_rows.h"
#include "transfer/paraldbf_columns.h"
#include "transfer/table_source.h"

namespace tdx::transfer {

namespace {

// The offer form admits only these rates; a row with another one is told
// and leaves its offer as it was.
bool allowedVat(const Decimal& rate) {
  return rate == Decimal(0) || rate == Decimal::fromUnits(95, 1) || rate == Decimal(22);
}

class OffersUpdatingImport final : public rt::BatchProcedure {
 public:
  OffersUpdatingImport(rt::Context& ctx, const rt::Options& options)
      : BatchProcedure(ctx, options), log_(ctx.folder()), table_(ctx.folder(), dbf::kParaldbf), source_(table_) {}

  void begin() override {
    // Exclusively when nobody else has the offers open; otherwise the run
    // opens them shared and the offers may be edited meanwhile.
    RecordFile& offers = ctx().file(FileId::Paralela);
    heldAlone_ = offers.open(OpenMode::exclusive()) && offers.stream();
    BatchProcedure::begin();
  }

 private:
  rt::BatchRunDef definition() override {
    rt::BatchRunDef def;
    def.name = "uvparvdat";
    def.userText = "Poteka uvoz podatkov...";
    def.batchSize = 1000;
    def.files = {&log_.file(), &table_, FileId::Paralela, FileId::Zdravnet};
    def.readAhead = true;
    def.ownClosing = rt::OwnClosing::AfterWindowClosed;
    return def;
  }

  void prepare(rt::BatchRun&) override {
    log_.recreate(ctx());
    rows_ = pending_ = 0;
    pacer_.start(heldAlone_);
  }

  rt::BatchSource& source() override { return source_; }

  void row(rt::BatchRun& run) override {
    RecordFile& offers = ctx().file(FileId::Paralela);
    if (!held_) {
      // The run's use and ours: the run lets the file go before our closing
      // steps, and those still have the last batch to commit.
      rt::useFile(ctx(), FileId::Paralela);
      held_ = true;
      offers.stream();
    }
    update(source_.row());
    log_.append(ctx());
    if (lastOfBatch(run) && pacer_.dueAtBatchEnd()) commit();
  }

  void update(const dbf::Record& row) {
  const ParaldbfColumns& col = paraldbfColumns();
    RecordFile& offers = ctx().file(FileId::Paralela);
    RecordBuffer& buf = ctx().buf(FileId::Paralela);
    const std::string code(cp1250::toUtf8(cp1250::trimRight(row.text(col.sifr))));
    buf.clear();
    log_.clearRecord();
    buf.as<Paralela>().idzdr = row.text(col.idzdr);
    if (!offers.get(Key::PAR_KIDZDR, buf)) {
      // A row without its offer changes nothing, yet it was handled.
      if (offers.error().code != err::RecordNotFound) reportFailedRow(ctx(), offers.error(), code);
      else ++pending_;
      return;
    }
    asRead_ = buf;
    Paralela& offer = buf.as<Paralela>();  // the found offer's bytes are new ones
    if (row.number(col.ncena).sign() > 0) {
      if (allowedVat(row.number(col.pddv))) {
        err::Error refused = setOfferPricesFromRow(row, offer);
        if (!refused) {
          auto priced = price::applyImportRules(offer, findMedicine(ctx(), registry_, offer.idzdr.raw()));
          if (priced.overflow) refused = err::Error::driver(err::FieldOverflow, 0, priced.overflow->message());
          else if (priced.lowered) log_.fillFromRow(row, offer);
        }
        if (refused) {
          reportFailedRow(ctx(), refused, code);
          return;
        }
      } else {
        ui().message(rt::Message{"Napaka", "Napačna stopnja DDV! Šifra zdravila: " + cp1250::toUtf8(row.text(col.sifr)),
                                 rt::Icon::Stop, {rt::btn::Ok}, 0});
      }
    }
    // Written back even when unchanged, as the offer form would; only the
    // changed fields go in, so the keys on codes and names are not rewritten
    // for a change of prices.
    if (offers.putChanged(buf, asRead_)) ++pending_;
    else reportFailedRow(ctx(), offers.error(), code);
  }

  // Rows count once they are committed: a batch lost to a failed commit is
  // told and not counted.
  void commit() {
    RecordFile& offers = ctx().file(FileId::Paralela);
    if (offers.flush()) rows_ += pending_;
    else ui().stopBox(rt::runtimeErrorText(offers.error()));
    pending_ = 0;
  }

  void finish(rt::BatchRun& run) override {
    if (held_) {
      commit();
      rt::releaseFile(ctx(), FileId::Paralela);
      held_ = false;
    }
    run.state().rowCounter = rows_;
    reportImportCount(ctx(), "Spremenjenih: ", rows_);
    log_.copyForSpreadsheet(ctx().folder());
    rt::openDocument(ctx(), exchangePath(ctx().folder(), kLogDocumentName).filename().string());
  }

  ChangeLog log_;
  MedicineIndex registry_;
  DbfFile table_;
  TableSource source_;
  RecordBuffer asRead_{FileId::Paralela};
  CommitPacer pacer_;
  bool heldAlone_ = false;
  bool held_ = false;
  std::int64_t rows_ = 0, pending_ = 0;
};

}  // namespace

std::unique_ptr<rt::Procedure> makeOffersUpdatingImport(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<OffersUpdatingImport>(ctx, options);
}

}  // namespace tdx::transfer
