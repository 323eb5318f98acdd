// preveripakiranje: every offer whose medicine the registry lists with
// another number of units per pack goes to "zdrndbf.dbf", emptied first;
// at the end the user is told how many medicines to check.

#include <string>

#include "exchange/dbf_record.h"
#include "records/layouts.h"
#include "reports/packaging_check.h"
#include "reports/zdrndbf_file.h"
#include "runtime/batch_procedure.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/record_source.h"
#include "runtime/ui.h"

namespace tdx::reports {

namespace {

class PackagingCheck final : public rt::BatchProcedure {
 public:
  PackagingCheck(rt::Context& ctx, const rt::Options& options)
      : BatchProcedure(ctx, options),
        target_(ctx.folder()),
        source_(ctx, FileId::Paralela, std::nullopt, rt::ProgressUnit::Bytes),
        row_(dbf::kZdrndbf) {
    source_.joinTo(Key::POD_KSKLOP, [](const RecordBuffer& read, RecordBuffer& item) {
      const auto& par = read.as<Paralela>();
      auto& pod = item.as<Podatki>();
      pod.skup = par.skup;
      pod.posk = par.posk;
      pod.sklop = par.sklop;
      pod.sifr = par.sifr;
    });
  }

 private:
  rt::BatchRunDef definition() override {
    rt::BatchRunDef def;
    def.name = "preveripakiranje";
    def.batchSize = 1000;
    def.files = {FileId::Paralela, FileId::Podatki, &target_, FileId::Zdravnet};
    def.readAhead = true;
    def.retrievalFileName = "podatki";
    def.ownClosing = rt::OwnClosing::AfterWindowClosed;
    return def;
  }

  // Emptied at every run: what it holds afterwards is this run's finding.
  // A failure here is left to the run's open, which reports it.
  void prepare(rt::BatchRun&) override {
    target_.close();
    target_.create();
  }

  rt::BatchSource& source() override { return source_; }

  void row(rt::BatchRun&) override {
    const auto& offer = ctx().rec<Paralela>(FileId::Paralela);
    const auto& item = ctx().rec<Podatki>(FileId::Podatki);  // cleared when the offer has none
    const Zdravnet* medicine = registered(offer);
    if (!medicine || !packagingDiffers(offer, *medicine)) return;
    err::Error refused = fillMismatch(offer, *medicine, item, row_);
    if (!refused && target_.append(row_)) {
      ++found_;
      return;
    }
    ui().stopBox(rt::runtimeErrorText(refused ? refused : target_.error()) + " " + std::to_string(offer.sifr.get()));
  }

  const Zdravnet* registered(const Paralela& offer) {
    RecordBuffer& buf = ctx().buf(FileId::Zdravnet);
    buf.clear();
    buf.as<Zdravnet>().idzdr = offer.idzdr.raw();
    RecordFile& registry = ctx().file(FileId::Zdravnet);
    if (registry.get(Key::RZDR_KIDZDR, buf)) return &buf.as<Zdravnet>();
    if (registry.error().code != err::RecordNotFound)
      ui().stopBox(rt::runtimeErrorText(registry.error()) + " " + offer.idzdr.utf8());
    return nullptr;
  }

  void finish(rt::BatchRun& run) override {
    run.state().rowCounter = found_;
    ui().message(rt::Message{"", "Preveri " + std::to_string(found_) + " zdravil!", rt::Icon::None, {rt::btn::Ok}, 0});
  }

  ZdrndbfFile target_;
  rt::RecordSource source_;
  dbf::Record row_;
  std::int64_t found_ = 0;
};

}  // namespace

std::unique_ptr<rt::Procedure> makePackagingCheck(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<PackagingCheck>(ctx, options);
}

}  // namespace tdx::reports
