// uvparaladd: every offer replaced by the rows of "PARALDBF.DBF", each
// capped at the registry price, each lowered price in the change log.

#include <string>

#include "records/price_rules.h"
#include "runtime/context.h"
#include "transfer/export_steps.h"
#include "transfer/import_steps.h"
#include "transfer/imports.h"
#include "transfer/offer_rows.h"
#include "transfer/paraldbf_columns.h"
#include "transfer/replacing_import.h"
#include "transfer/table_source.h"

namespace tdx::transfer {

namespace {

class OffersReplacingImport final : public ReplacingImport {
 public:
  OffersReplacingImport(rt::Context& ctx, const rt::Options& options)
      : ReplacingImport(ctx, options,
                        {"uvparaladd", "Datoteka paralela.dat bo izbrisana! Dodani bodo zapisi iz paraldbf.dbf...", true}),
        table_(ctx.folder(), dbf::kParaldbf),
        source_(table_) {}

 private:
  rt::BatchRunDef definition() override {
    rt::BatchRunDef def = baseDefinition();
    def.files.insert(def.files.begin() + 1, &table_);
    return def;
  }

  rt::BatchSource& source() override { return source_; }

  void row(rt::BatchRun&) override {
    const dbf::Record& row = source_.row();
    const ParaldbfColumns& col = paraldbfColumns();
    const std::string code(cp1250::toUtf8(cp1250::trimRight(row.text(col.sifr))));
    RecordBuffer& buf = ctx().buf(FileId::Paralela);
    buf.clear();
    log().clearRecord();
    Paralela& offer = buf.as<Paralela>();
    err::Error refused = setOfferItemFromRow(row, offer);
    if (!refused) refused = setOfferPricesFromRow(row, offer);
    if (!refused) {
      auto priced = price::applyImportRules(offer, medicine(offer.idzdr.raw()));
      if (priced.overflow) refused = err::Error::driver(err::FieldOverflow, 0, priced.overflow->message());
      else if (priced.lowered) log().fillFromRow(row, offer);
    }
    if (refused) reportFailedRow(ctx(), refused, code);
    else addOffer(code);
    log().append(ctx());
  }

  DbfFile table_;
  TableSource source_;
};

}  // namespace

std::unique_ptr<rt::Procedure> makeOffersReplacingImport(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<OffersReplacingImport>(ctx, options);
}

}  // namespace tdx::transfer
