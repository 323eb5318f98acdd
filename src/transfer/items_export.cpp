// izdatvdbf: the tender items into "PODATDBF.DBF" in group, subgroup, lot
// and code order, its index, the spreadsheet copy "PODATDBF.XLS", and that
// copy opened with its program.

#include <string>

#include "exchange/dbf_record.h"
#include "exchange/table_copy.h"
#include "records/layouts.h"
#include "runtime/batch_procedure.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/record_source.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"
#include "transfer/dbf_file.h"
#include "transfer/exchange_names.h"
#include "transfer/export_steps.h"
#include "transfer/exports.h"

namespace tdx::transfer {

namespace {

struct PodatdbfColumns {
  int skup, posk, sklop, sifr, nazi, faob, enme, koli, ncena, davek, cena, doba, proiz, paral, katal;
  explicit PodatdbfColumns(const dbf::Layout& l)
      : skup(col(l, "SKUP")), posk(col(l, "POSK")), sklop(col(l, "SKLOP")), sifr(col(l, "SIFR")),
        nazi(col(l, "NAZI")), faob(col(l, "FAOB")), enme(col(l, "ENME")), koli(col(l, "KOLI")),
        ncena(col(l, "NCENA")), davek(col(l, "DAVEK")), cena(col(l, "CENA")), doba(col(l, "DOBA")),
        proiz(col(l, "PROIZ")), paral(col(l, "PARAL")), katal(col(l, "KATAL")) {}
  static int col(const dbf::Layout& l, std::string_view name) { return *l.find(name); }
};

// The spreadsheet copy, and the name it is opened by.
constexpr const char* kCopyName = "PODATDBF.XLS";
constexpr const char* kDocumentName = "podatdbf.xls";

class ItemsExport final : public rt::BatchProcedure {
 public:
  ItemsExport(rt::Context& ctx, const rt::Options& options)
      : BatchProcedure(ctx, options),
        target_(ctx.folder(), dbf::kPodatdbf),
        source_(ctx, FileId::Podatki, Key::POD_KSKLOP),
        row_(dbf::kPodatdbf),
        cols_(dbf::kPodatdbf) {}

 private:
  rt::BatchRunDef definition() override {
    rt::BatchRunDef def;
    def.name = "izdatvdbf";
    def.userText = "Prenos podatkov v PodatDBF.dbf";
    def.batchSize = 25;
    def.files = {&target_, FileId::Podatki};
    def.readAhead = true;
    def.ownClosing = rt::OwnClosing::WhileWindowOpen;
    return def;
  }

  void prepare(rt::BatchRun&) override {
    if (!target_.recreate()) ui().stopBox(rt::runtimeErrorText(target_.error()));
  }

  rt::BatchSource& source() override { return source_; }

  void row(rt::BatchRun& run) override {
    const auto& pod = ctx().rec<Podatki>(FileId::Podatki);
    row_.clear();
    row_.setNumber(cols_.skup, pod.skup.get());
    row_.setNumber(cols_.posk, pod.posk.get());
    row_.setNumber(cols_.sklop, pod.sklop.get());
    row_.setNumber(cols_.sifr, pod.sifr.get());
    row_.setText(cols_.nazi, pod.nazi.raw());
    row_.setText(cols_.faob, pod.faob.raw());
    row_.setText(cols_.enme, pod.enme.raw());
    row_.setText(cols_.doba, pod.doba.raw());
    row_.setText(cols_.proiz, pod.proiz.raw());
    row_.setText(cols_.paral, pod.paral.raw());
    // The catalogue number is 25 wide here and 12 in the table: its first
    // 12 characters go.
    row_.setText(cols_.katal, pod.katal.raw().substr(0, 12));
    row_.setNumber(cols_.koli, pod.koli.get());
    row_.setNumber(cols_.ncena, pod.ncena.get());
    row_.setNumber(cols_.davek, pod.davek.get());
    row_.setNumber(cols_.cena, pod.cena.get());

    bool written = target_.append(row_);
    run.state().rowCounter = target_.rows();
    // A row that did not reach the table is told, as in the other exports:
    // the spreadsheet would otherwise lack an item without anybody knowing.
    if (!written) reportFailedRow(ctx(), target_.error(), std::to_string(pod.sifr.get()));
  }

  void finish(rt::BatchRun& run) override {
    run.state().rowCounter = target_.rows();
    if (!target_.rebuildIndexes()) ui().stopBox(rt::runtimeErrorText(target_.error()));
    // A copy that cannot replace the one a spreadsheet holds open is not
    // told: the document opened below is then that earlier copy.
    err::Error ignored;
    dbf::copyTable(target_.path(), exchangePath(ctx().folder(), kCopyName), ignored);
    rt::openDocument(ctx(), exchangePath(ctx().folder(), kDocumentName).filename().string());
  }

  DbfFile target_;
  rt::RecordSource source_;
  dbf::Record row_;
  PodatdbfColumns cols_;
};

}  // namespace

std::unique_ptr<rt::Procedure> makeItemsExport(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<ItemsExport>(ctx, options);
}

}  // namespace tdx::transfer
