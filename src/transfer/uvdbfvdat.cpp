// uvdbfvdat: the prices, manufacturer, product and catalogue number of
// every tender item from the price list "CENIKDBF.DBF", found by the item
// code through the list's own index, rebuilt first.

#include <string>

#include "exchange/dbf_record.h"
#include "exchange/ntx_build.h"
#include "exchange/ntx_read.h"
#include "runtime/batch_procedure.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/record_source.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"
#include "transfer/dbf_file.h"
#include "transfer/exchange_names.h"
#include "transfer/export_steps.h"
#include "transfer/import_steps.h"
#include "transfer/imports.h"

namespace tdx::transfer {

namespace {

class PriceListImport final : public rt::BatchProcedure {
 public:
  PriceListImport(rt::Context& ctx, const rt::Options& options)
      : BatchProcedure(ctx, options),
        priceList_(ctx.folder(), dbf::kCenikdbf),
        source_(ctx, FileId::Podatki, std::nullopt, rt::ProgressUnit::Bytes),
        price_(dbf::kCenikdbf) {}

 private:
  rt::BatchRunDef definition() override {
    rt::BatchRunDef def;
    def.name = "uvdbfvdat";
    def.userText = "Prenos cen iz CenikDBF.dbf";
    def.batchSize = 1000;
    def.files = {&priceList_, FileId::Podatki};
    def.readAhead = true;
    def.ownClosing = rt::OwnClosing::AfterWindowClosed;
    // On the frame's own context: the frame waits until the prices are in.
    def.modal = true;
    return def;
  }

  // Held with all others denied for the run, its index rebuilt from every
  // row: a list prepared elsewhere may come with a stale one, or none.
  void prepare(rt::BatchRun&) override {
    dbf::Table& table = priceList_.table();
    err::Error e;
    if (!table.open(priceList_.path(), dbf::kCenikdbf, OpenMode::exclusive())) e = table.error();
    else ntx::buildIndexes(table, e);
    if (e) ui().stopBox(rt::runtimeErrorText(e));
  }

  rt::BatchSource& source() override { return source_; }

  void row(rt::BatchRun& run) override {
    if (!held_) {
      // The run lets the items go before our closing steps, which still
      // have the last batch to commit.
      rt::useFile(ctx(), FileId::Podatki);
      held_ = true;
      ctx().file(FileId::Podatki).stream();
      openIndex();
    }
    transfer();
    if (lastOfBatch(run)) commit();
  }

  void openIndex() {
    // A list created empty by the run has no index: every item is then
    // told as missing, which is what an empty list means.
    indexOpen_ = index_.open(exchangePath(ctx().folder(), "KIDENT.NTX"));
  }

  void transfer() {
    RecordBuffer& buf = ctx().buf(FileId::Podatki);
    Podatki& item = buf.as<Podatki>();
    price_.clear();
    price_.setNumber("SIFR", item.sifr.get());
    if (!indexOpen_ || !priceList_.table().get(index_, price_)) {
      const err::Error& e = priceList_.table().error();
      if (indexOpen_ && e.code != err::RecordNotFound) {
        reportFailedRow(ctx(), e, std::to_string(item.sifr.get()));
        return;
      }
      ui().message(rt::Message{"", "V datoteki CenikDVK.Dbf ne obstaja šifra " + std::to_string(item.sifr.get()),
                               rt::Icon::None, {rt::btn::Ok}, 0});
      return;
    }
    Podatki updated = item;
    updated.proiz = price_.text("PROIZ");
    updated.paral = price_.text("PARAL");
    updated.katal = price_.text("KATAL");  // 12 characters, blank-padded to 25
    // Stored cut, a price would be another price: such an item is told and
    // left as it was.
    if (!store(updated.ncena, price_.number("NCENA"), "POD:NCENA", item) ||
        !store(updated.davek, price_.number("DAVEK"), "POD:DAVEK", item) ||
        !store(updated.cena, (updated.davek.get() / Decimal(100) + Decimal(1)) * updated.ncena.get(), "POD:CENA",
               item))
      return;
    item = updated;
    RecordFile& items = ctx().file(FileId::Podatki);
    if (!items.put(buf)) reportFailedRow(ctx(), items.error(), std::to_string(item.sifr.get()));
  }

  template <int D, int P>
  bool store(Dec<D, P>& field, const Decimal& value, const char* label, const Podatki& item) {
    if (Dec<D, P>::fits(value)) {
      field = value;
      return true;
    }
    reportFailedRow(ctx(),
                    err::Error::driver(err::FieldOverflow, 0,
                                       std::string(label) + ": " + value.toExactString() + " does not fit DECIMAL(" +
                                           std::to_string(D) + "," + std::to_string(P) + ")"),
                    std::to_string(item.sifr.get()));
    return false;
  }

  void commit() {
    RecordFile& items = ctx().file(FileId::Podatki);
    if (!items.flush()) ui().stopBox(rt::runtimeErrorText(items.error()));
  }

  void finish(rt::BatchRun&) override {
    if (held_) {
      commit();
      rt::releaseFile(ctx(), FileId::Podatki);
      held_ = false;
    }
    index_.close();
    priceList_.close();
  }

  DbfFile priceList_;
  rt::RecordSource source_;
  dbf::Record price_;
  ntx::Index index_;
  bool indexOpen_ = false;
  bool held_ = false;
};

}  // namespace

std::unique_ptr<rt::Procedure> makePriceListImport(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<PriceListImport>(ctx, options);
}

}  // namespace tdx::transfer
