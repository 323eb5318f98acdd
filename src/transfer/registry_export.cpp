// izzdrnetvdbf: the registry of medicines into "zdrndbf.dbf", a plain table
// without indexes, in the order of the registry identifier.

#include "exchange/dbf_record.h"
#include "records/layouts.h"
#include "runtime/batch_procedure.h"
#include "runtime/context.h"
#include "runtime/record_source.h"
#include "transfer/dbf_file.h"
#include "transfer/export_steps.h"
#include "transfer/exports.h"

namespace tdx::transfer {

namespace {

struct ZdrndbfColumns {
  int idzdr, imeregistr, crtnakoda, faob, kolenote, pakiranje, enota, atc, atcopis, ncena, proizs, proizn;
  explicit ZdrndbfColumns(const dbf::Layout& l)
      : idzdr(col(l, "IDZDR")), imeregistr(col(l, "IMEREGISTR")), crtnakoda(col(l, "CRTNAKODA")),
        faob(col(l, "FAOB")), kolenote(col(l, "KOLENOTE")), pakiranje(col(l, "PAKIRANJE")),
        enota(col(l, "ENOTA")), atc(col(l, "ATC")), atcopis(col(l, "ATCOPIS")), ncena(col(l, "NCENA")),
        proizs(col(l, "PROIZS")), proizn(col(l, "PROIZN")) {}
  static int col(const dbf::Layout& l, std::string_view name) { return *l.find(name); }
};

class RegistryExport final : public rt::BatchProcedure {
 public:
  RegistryExport(rt::Context& ctx, const rt::Options& options)
      : BatchProcedure(ctx, options),
        target_(ctx.folder(), dbf::kZdrndbf),
        source_(ctx, FileId::Zdravnet, Key::RZDR_KIDZDR),
        row_(dbf::kZdrndbf),
        cols_(dbf::kZdrndbf) {}

 private:
  rt::BatchRunDef definition() override {
    rt::BatchRunDef def;
    def.name = "izzdrnetvdbf";
    def.batchSize = 25;
    // The registry is never created here: a missing one ends the program
    // through the open-with-recovery, after the table was emptied.
    def.files = {FileId::Zdravnet, &target_};
    def.readAhead = true;
    def.ownClosing = rt::OwnClosing::AfterWindowClosed;
    return def;
  }

  // Any failure of the recreation is left to the run's open to report.
  void prepare(rt::BatchRun&) override { target_.recreate(); }

  rt::BatchSource& source() override { return source_; }

  void row(rt::BatchRun& run) override {
    const auto& r = ctx().rec<Zdravnet>(FileId::Zdravnet);
    row_.clear();
    row_.setText(cols_.idzdr, r.idzdr.raw());
    row_.setText(cols_.imeregistr, r.imeregistr.raw());
    row_.setText(cols_.crtnakoda, r.crtnakoda.raw());
    // The zero-ended texts up to their zero; the row pads them with blanks.
    row_.setText(cols_.faob, r.faob.view());
    row_.setNumber(cols_.kolenote, r.kolenote.get());
    row_.setText(cols_.enota, r.enota.raw());
    row_.setText(cols_.pakiranje, r.pakiranje.view());
    row_.setText(cols_.atc, r.atc.raw());
    row_.setText(cols_.atcopis, r.atcopis.view());
    row_.setNumber(cols_.ncena, r.ncena.get());
    row_.setText(cols_.proizs, r.proizs.raw());
    row_.setText(cols_.proizn, r.proizn.view());

    bool written = target_.append(row_);
    // Only rows that are in the table count, whatever became of the append.
    run.state().rowCounter = target_.rows();
    if (!written) reportFailedRow(ctx(), target_.error(), r.idzdr.view());
  }

  void finish(rt::BatchRun& run) override {
    run.state().rowCounter = target_.rows();
    reportRowsAdded(ctx(), run.state().rowCounter);
  }

  DbfFile target_;
  rt::RecordSource source_;
  dbf::Record row_;
  ZdrndbfColumns cols_;
};

}  // namespace

std::unique_ptr<rt::Procedure> makeRegistryExport(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<RegistryExport>(ctx, options);
}

}  // namespace tdx::transfer
