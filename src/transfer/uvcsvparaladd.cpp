// uvcsvparaladd: every offer replaced by the lines of the semicolon file,
// each placed under its tender item by the item code, completed from the
// registry, capped at the registry price, each lowered price in the change
// log.

#include <string>

#include "records/price_rules.h"
#include "runtime/context.h"
#include "runtime/ui.h"
#include "transfer/csv_source.h"
#include "transfer/export_steps.h"
#include "transfer/import_steps.h"
#include "transfer/imports.h"
#include "transfer/item_places.h"
#include "transfer/offer_rows.h"
#include "transfer/replacing_import.h"

namespace tdx::transfer {

namespace {

class CsvOffersImport final : public ReplacingImport {
 public:
  CsvOffersImport(rt::Context& ctx, const rt::Options& options)
      : ReplacingImport(ctx, options,
                        {"uvcsvparaladd", "Datoteka paralela.dat bo izbrisana! Dodani bodo zapisi iz paralela.csv...",
                         false}),
        csv_(ctx.folder(), ctx.g().csvFileName),
        source_(csv_) {}

 private:
  rt::BatchRunDef definition() override {
    rt::BatchRunDef def = baseDefinition();
    def.files.insert(def.files.begin(), &csv_);
    def.files.push_back(FileId::Podatki);
    return def;
  }

  rt::BatchSource& source() override { return source_; }

  void row(rt::BatchRun&) override {
    RecordBuffer& buf = ctx().buf(FileId::Paralela);
    buf.clear();
    log().clearRecord();
    Paralela& offer = buf.as<Paralela>();
    err::Error refused = setOfferFromLine(source_.fields(), offer);
    // Named as the line writes it: a refused line has no offer to name it.
    const std::string code =
        cp1250::toUtf8(cp1250::trimLeft(cp1250::trimRight(source_.fields().at(csv::Sifr))));
    if (!refused) {
      placeUnderItem(offer);
      const Decimal offered = offer.ncena.get();
      const Zdravnet* registered = medicine(offer.idzdr.raw());
      // A negative registry price is a damaged record: nothing of it is
      // taken, as for a medicine the registry does not know.
      if (registered && registered->ncena.get().sign() >= 0) completeOfferFromRegistry(*registered, offer);
      auto priced = price::applyImportRules(offer, registered);
      if (priced.overflow) refused = err::Error::driver(err::FieldOverflow, 0, priced.overflow->message());
      else if (priced.lowered) log().fillFromLine(*registered, offer.idzdr.raw(), offered, offer);
    }
    if (refused) reportFailedRow(ctx(), refused, code);
    else addOffer(code);
    log().append(ctx());
  }

  // The first item with the offer's code gives its group, subgroup and lot;
  // an unknown code is told, and the offer goes in under 0/0/0.
  void placeUnderItem(Paralela& offer) {
    if (!items_.loaded()) items_.load(ctx());  // a failed read leaves the look-ups to the file
    if (auto place = items_.find(ctx(), offer.sifr.get())) {
      offer.skup = place->skup;
      offer.posk = place->posk;
      offer.sklop = place->sklop;
      return;
    }
    ui().message(rt::Message{"Napaka", "Ne najdem zdravila s šifro: " + std::to_string(offer.sifr.get()) + " !",
                             rt::Icon::Stop, {rt::btn::Ok}, 0});
  }

  rt::SemicolonFile csv_;
  CsvSource source_;
  ItemPlaces items_;
};

}  // namespace

std::unique_ptr<rt::Procedure> makeCsvOffersImport(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<CsvOffersImport>(ctx, options);
}

}  // namespace tdx::transfer
