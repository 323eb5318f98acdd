// izparvdbf and izparvdbf1: every offer into "PARALDBF.DBF", each joined to
// its tender item, without or with its prices; the two indexes are built
// once at the end over whatever rows were written.

#include <string>

#include "exchange/dbf_record.h"
#include "records/layouts.h"
#include "runtime/batch_procedure.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/record_source.h"
#include "runtime/ui.h"
#include "transfer/dbf_file.h"
#include "transfer/export_steps.h"
#include "transfer/exports.h"

namespace tdx::transfer {

namespace {

// The columns by index, looked up once rather than by name for every row.
struct ParaldbfColumns {
  int skup, posk, sklop, sifr, nazi, faob, doba, imezd, proiz, prpak, ean, idzdr;
  int ncena, popust, pddv, bcena, lkoli, okoli, sort, pakir, kfaktor, ncenaKf, em;
  explicit ParaldbfColumns(const dbf::Layout& l)
      : skup(col(l, "SKUP")), posk(col(l, "POSK")), sklop(col(l, "SKLOP")), sifr(col(l, "SIFR")),
        nazi(col(l, "NAZI")), faob(col(l, "FAOB")), doba(col(l, "DOBA")), imezd(col(l, "IMEZD")),
        proiz(col(l, "PROIZ")), prpak(col(l, "PRPAK")), ean(col(l, "EAN")), idzdr(col(l, "IDZDR")),
        ncena(col(l, "NCENA")), popust(col(l, "POPUST")), pddv(col(l, "PDDV")), bcena(col(l, "BCENA")),
        lkoli(col(l, "LKOLI")), okoli(col(l, "OKOLI")), sort(col(l, "SORT")), pakir(col(l, "PAKIR")),
        kfaktor(col(l, "KFAKTOR")), ncenaKf(col(l, "NCENA_KF")), em(col(l, "EM")) {}
  static int col(const dbf::Layout& l, std::string_view name) { return *l.find(name); }
};

class OffersExport final : public rt::BatchProcedure {
 public:
  OffersExport(rt::Context& ctx, const rt::Options& options, bool withPrices)
      : BatchProcedure(ctx, options),
        withPrices_(withPrices),
        target_(ctx.folder(), dbf::kParaldbf),
        source_(ctx, FileId::Paralela, Key::PAR_KSKLOP),
        row_(dbf::kParaldbf),
        cols_(dbf::kParaldbf) {
    source_.joinTo(Key::POD_KSKLOP, [](const RecordBuffer& read, RecordBuffer& item) {
      const auto& par = read.as<Paralela>();
      auto& pod = item.as<Podatki>();
      pod.skup = par.skup;
      pod.posk = par.posk;
      pod.sklop = par.sklop;
      pod.sifr = par.sifr;
    }, /*inKeyOrder=*/true);
  }

 private:
  rt::BatchRunDef definition() override {
    rt::BatchRunDef def;
    def.name = withPrices_ ? "izparvdbf1" : "izparvdbf";
    def.userText = "Poteka prenos v paraldbf.dbf";
    def.batchSize = 25;
    def.files = {&target_, FileId::Paralela, FileId::Podatki};
    def.ownClosing = rt::OwnClosing::WhileWindowOpen;
    return def;
  }

  void prepare(rt::BatchRun&) override {
    if (!target_.recreate()) ui().stopBox(rt::runtimeErrorText(target_.error()));
  }

  rt::BatchSource& source() override { return source_; }

  void row(rt::BatchRun& run) override {
    const auto& par = ctx().rec<Paralela>(FileId::Paralela);
    const auto& pod = ctx().rec<Podatki>(FileId::Podatki);  // cleared when the item is missing
    const std::string code = std::to_string(par.sifr.get());

    row_.clear();
    row_.setNumber(cols_.skup, par.skup.get());
    row_.setNumber(cols_.posk, par.posk.get());
    row_.setNumber(cols_.sklop, par.sklop.get());
    row_.setText(cols_.nazi, pod.nazi.raw());
    row_.setText(cols_.faob, pod.faob.raw());
    row_.setText(cols_.doba, par.doba.raw());
    row_.setText(cols_.imezd, par.imezd.raw());
    row_.setText(cols_.proiz, par.proiz.raw());
    row_.setText(cols_.prpak, par.prpak.raw());
    row_.setText(cols_.ean, par.ean.raw());
    row_.setText(cols_.idzdr, par.idzdr.raw());
    row_.setText(cols_.em, par.em.raw());
    row_.setNumber(cols_.lkoli, pod.koli.get());
    row_.setNumber(cols_.okoli, pod.koliane.get());
    row_.setNumber(cols_.pakir, par.pakiranje.get());
    if (withPrices_) {
      row_.setNumber(cols_.ncena, par.ncena.get());
      row_.setNumber(cols_.popust, par.popust.get());
      row_.setNumber(cols_.pddv, par.pddv.get());
      row_.setNumber(cols_.bcena, par.bcena.get());
      row_.setNumber(cols_.sort, par.sort.get());
      row_.setNumber(cols_.kfaktor, par.kfaktor.get());
      row_.setNumber(cols_.ncenaKf, par.ncena_kf.get());
    }

    // A code wider than its text column would be cut into another code.
    const int codeWidth = dbf::kParaldbf.columns[std::size_t(cols_.sifr)].width;
    if (code.size() > std::size_t(codeWidth)) {
      reportFailedRow(ctx(), doesNotFit(dbf::kParaldbf.label, "SIFR", code, codeWidth), code);
      return;
    }
    row_.setText(cols_.sifr, code);

    bool written = target_.append(row_);
    // A failed batch takes the rows still waiting with it: count what the
    // table holds, not the appends that were accepted.
    run.state().rowCounter = target_.rows();
    if (!written) reportFailedRow(ctx(), target_.error(), code);
  }

  void finish(rt::BatchRun& run) override {
    // The run has closed the table; its count now is what reached the file.
    run.state().rowCounter = target_.rows();
    if (!target_.rebuildIndexes()) ui().stopBox(rt::runtimeErrorText(target_.error()));
    reportRowsAdded(ctx(), run.state().rowCounter);
  }

  bool withPrices_;
  DbfFile target_;
  rt::RecordSource source_;
  dbf::Record row_;
  ParaldbfColumns cols_;
};

}  // namespace

std::unique_ptr<rt::Procedure> makeOffersExport(rt::Context& ctx, const rt::Options& options, bool withPrices) {
  return std::make_unique<OffersExport>(ctx, options, withPrices);
}

}  // namespace tdx::transfer
