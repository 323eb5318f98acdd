#include "reports/parallel_report.h"

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "records/layouts.h"
#include "reports/parallel_report_bands.h"
#include "reports/report_parties.h"
#include "reports/report_run.h"
#include "reports/report_start.h"
#include "reports/view_reader.h"
#include "runtime/context.h"
#include "runtime/report_engine.h"
#include "runtime/report_fonts.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"

namespace tdx::reports {

namespace {

using report::Value;

constexpr FileId kFiles[] = {FileId::Kupec, FileId::Paralela, FileId::Podatki,
                             FileId::Ponudnik, FileId::Pskupine, FileId::Skupine};
constexpr FileId kReadAheadFiles[] = {FileId::Paralela, FileId::Podatki, FileId::Pskupine, FileId::Skupine};

template <int N>
Value text(const Str<N>& s) { return s.utf8(); }
Value number(std::int64_t v) { return Decimal(static_cast<long long>(v)); }

class ParallelReport final : public rt::Procedure, private ReportJob {
 public:
  using Procedure::Procedure;

  void begin() override {
    applyGroupOptions(*this);
    for (FileId id : kFiles) {
      rt::useFile(ctx(), id);
      used_.push_back(id);
    }
    group_ = g().psk;
    // Taken once, like the group, so that the list is of one subgroup.
    subgroup_ = g().pps;

    ReportRunDef def;
    def.name = "reparalela";
    def.expected = 500;
    def.batchSize = 25;
    def.modal = true;
    def.previewName =
        (ctx().folder() / ("Paralele_" + std::to_string(group_) + "_" + std::to_string(subgroup_) + ".pdf")).string();
    run_ = std::make_shared<ReportRun>(ui(), def, static_cast<ReportJob&>(*this), [this] { end(); });
    ReportRun::start(run_);
  }

  void requestClose() override {
    if (run_ && !run_->closedDown()) run_->requestStop();
    else end();
  }

 private:
  bool first() override {
    const FileDef& def = fileDef(FileId::Paralela);
    offers_.emplace(ctx().file(FileId::Paralela), Key::PAR_KSKLOP,
                    std::vector<Condition>{Condition::eq(def.findField("SKUP"), group_),
                                           Condition::eq(def.findField("POSK"), subgroup_)});
    return next();
  }

  bool next() override {
    if (failed_) return false;
    if (offers_->next(offer_)) return true;
    // A read error names the file read: the offers' file.
    if (offers_->error().code != err::EndOfFile) rt::standardWarning(ctx(), 35, offers_->error(), "paralela");
    return false;
  }

  bool open() override {
    date_ = today();
    if (!readParties(ctx(), "Prosimo vpišite vaše podatke s pritiskom na gumb -> Prijavitelj!", parties_)) return false;
    try {
      report_ = std::make_unique<report::Report>(kParallelReportTitle, parallelReportLayout());
    } catch (const report::NoFonts& e) {
      ui().stopBox(e.what());
      return false;
    }
    return true;
  }

  using Group = std::tuple<std::int16_t, std::int16_t, std::int32_t>;  // group, subgroup, item code

  void print() override {
    const Paralela& par = offer_.as<Paralela>();
    if (!lookUp(par)) return;
    const ParallelReportBands& bands = parallelReportBands();
    // The lot is no grouping level: offers of the same item code in two
    // lots, one after the other, stand under one item header.
    const Group group{par.skup.get(), par.posk.get(), par.sifr.get()};
    if (group != current_) {
      if (current_) {
        report_->print(bands.itemFooter);
        if (std::get<0>(*current_) != std::get<0>(group)) report_->print(bands.groupFooter);
      }
      printItem();
      current_ = group;
    }
    Value values[paralele::OfferValues];
    values[paralele::RegistryCode] = text(par.idzdr);
    values[paralele::BarCode] = text(par.ean);
    values[paralele::ProtectedName] = text(par.imezd);
    values[paralele::Maker] = text(par.proiz);
    values[paralele::Packaging] = text(par.prpak);
    values[paralele::ItemCode] = number(par.sifr.get());
    report_->print(bands.offer, values);
  }

  void printItem() {
    const Podatki& pod = item_.as<Podatki>();
    Value values[paralele::ItemValues];
    values[paralele::Code] = number(pod.sifr.get());
    values[paralele::ItemName] = text(pod.nazi);
    values[paralele::Form] = text(pod.faob);
    values[paralele::Quantity] = pod.koli.get();
    values[paralele::Unit] = text(pod.enme);
    report_->print(parallelReportBands().item, values);
  }

  // The offer's item, subgroup and group; missing ones print blank.
  bool lookUp(const Paralela& par) {
    const std::tuple<std::int16_t, std::int16_t, std::int16_t, std::int32_t> item{
        par.skup.get(), par.posk.get(), par.sklop.get(), par.sifr.get()};
    if (lookedUpItem_ != item) {
      item_.clear();
      Podatki& pod = item_.as<Podatki>();
      pod.skup = par.skup.get();
      pod.posk = par.posk.get();
      pod.sklop = par.sklop.get();
      pod.sifr = par.sifr.get();
      if (!get(Key::POD_KSKLOP, item_)) return false;
      lookedUpItem_ = item;
    }
    const std::pair<std::int16_t, std::int16_t> subgroup{par.skup.get(), par.posk.get()};
    if (lookedUpSubgroup_ == subgroup) return true;
    subgroupRec_.clear();
    subgroupRec_.as<Pskupine>().skup = subgroup.first;
    subgroupRec_.as<Pskupine>().posk = subgroup.second;
    if (!get(Key::PSK_KSKUP, subgroupRec_)) return false;
    groupRec_.clear();
    groupRec_.as<Skupine>().skup = subgroupRec_.as<Pskupine>().skup.get();
    if (!get(Key::SKU_KSKUP, groupRec_)) return false;
    lookedUpSubgroup_ = subgroup;
    setHeader();
    return true;
  }

  // A record by its key; not found leaves it cleared. A failed read stops
  // the offers: a blank column would hide that the data could not be read.
  bool get(Key key, RecordBuffer& buf) {
    RecordFile& file = ctx().file(fileOf(key));
    if (file.get(key, buf)) return true;
    const err::Error e = file.error();
    buf.clear();
    if (e.code == err::RecordNotFound) return true;
    failed_ = true;
    rt::standardWarning(ctx(), 35, e, rt::shortName(fileOf(key)));
    return false;
  }

  void setHeader() {
    const Pskupine& psk = subgroupRec_.as<Pskupine>();
    std::vector<Value> values(paralele::HeaderValues);
    values[paralele::BidderName] = text(parties_.pon().naziv);
    values[paralele::BidderAddress] = text(parties_.pon().naslov);
    values[paralele::BidderPost] = text(parties_.pon().posta);
    values[paralele::Buyer1] = text(parties_.kup().naz01);
    values[paralele::Buyer2] = text(parties_.kup().naz02);
    values[paralele::Date] = date_;
    values[paralele::Group] = number(psk.skup.get());
    values[paralele::GroupName] = text(groupRec_.as<Skupine>().nazi);
    values[paralele::Subgroup] = number(psk.posk.get());
    values[paralele::SubgroupName] = text(psk.nazi);
    report_->setPageHeader(parallelReportBands().header, std::move(values));
  }

  report::Document complete() override {
    if (current_) {
      report_->print(parallelReportBands().itemFooter);
      report_->print(parallelReportBands().groupFooter);
    }
    return report_->take();
  }

  void readAhead(bool on) override {
    for (FileId id : kReadAheadFiles) ctx().file(id).send(on ? "QUICKSCAN=on" : "QUICKSCAN=off");
  }

  void leave() override {
    offers_.reset();
    report_.reset();
    for (auto it = used_.rbegin(); it != used_.rend(); ++it) rt::releaseFile(ctx(), *it);
    used_.clear();
  }

  std::int16_t group_ = 0, subgroup_ = 0;
  std::vector<FileId> used_;
  std::shared_ptr<ReportRun> run_;

  std::optional<ViewReader> offers_;
  // The report reads into buffers of its own: the caller's record buffers
  // (the offers browser's current offer) stay as they were.
  RecordBuffer offer_{FileId::Paralela};
  RecordBuffer item_{FileId::Podatki};
  RecordBuffer subgroupRec_{FileId::Pskupine};
  RecordBuffer groupRec_{FileId::Skupine};
  std::optional<std::tuple<std::int16_t, std::int16_t, std::int16_t, std::int32_t>> lookedUpItem_;
  std::optional<std::pair<std::int16_t, std::int16_t>> lookedUpSubgroup_;
  std::optional<Group> current_;
  bool failed_ = false;

  pic::Date date_;
  Parties parties_;
  std::unique_ptr<report::Report> report_;
};

}  // namespace

std::unique_ptr<rt::Procedure> makeParallelReport(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<ParallelReport>(ctx, options);
}

}  // namespace tdx::reports
