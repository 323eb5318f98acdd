#include "reports/offer_report.h"

#include <optional>
#include <string>
#include <vector>

#include "records/layouts.h"
#include "reports/offer_pricing.h"
#include "reports/offer_report_bands.h"
#include "reports/report_parties.h"
#include "reports/report_run.h"
#include "reports/report_start.h"
#include "reports/view_reader.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/report_engine.h"
#include "runtime/report_fonts.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"

namespace tdx::reports {

namespace {

using report::Value;

// The files read, opened (and counted) in this order; the work file
// ZDRAPCEN is handled on its own.
constexpr FileId kFiles[] = {FileId::Kupec,   FileId::Opism,     FileId::Paralela, FileId::Podatki,
                             FileId::Ponudnik, FileId::Pskupine, FileId::Skupine};
// Read-ahead hints go to the files read in long runs.
constexpr FileId kReadAheadFiles[] = {FileId::Podatki, FileId::Pskupine, FileId::Skupine};

Value text(std::string_view bytes) { return cp1250::toUtf8(bytes); }
template <int N>
Value text(const Str<N>& s) { return s.utf8(); }
Value number(std::int64_t v) { return Decimal(static_cast<long long>(v)); }

// Offers of an item that sort before a zero price and order (negative
// prices) are not read.
bool beforeStart(const Paralela& o) {
  const Decimal price = o.bcena.get();
  return price < Decimal(0) || (price.isZero() && o.sort.get() < 0);
}

class OfferReport final : public rt::Procedure, private ReportJob {
 public:
  using Procedure::Procedure;

  void begin() override {
    applyGroupOptions(*this);
    recreateWorkFile();
    for (FileId id : kFiles) use(id);
    if (!workFileOpen_) use(FileId::Zdrapcen);
    group_ = g().psk;
    // The subgroup is taken once, like the group: a highlight moved in the
    // items browser during the run must not mix another subgroup's items
    // into this subgroup's totals.
    subgroup_ = g().pps;

    ReportRunDef def;
    def.name = "rescenami";
    def.userText = "Poteka priprava izpisa...";
    def.expected = 1000;
    def.batchSize = 25;
    def.modal = false;
    def.previewName = (ctx().folder() / ("OBR-8_" + std::to_string(group_) + "_" + std::to_string(subgroup_) + ".pdf")).string();
    run_ = std::make_shared<ReportRun>(ui(), def, static_cast<ReportJob&>(*this), [this] { end(); });
    ReportRun::start(run_);
  }

  void requestClose() override {
    if (run_ && !run_->closedDown()) run_->requestStop();
    else end();
  }

 private:
  // ZDRAPCEN is re-created empty at every run and held exclusively until
  // the end; nothing is written to it.
  void recreateWorkFile() {
    RecordFile& f = ctx().file(FileId::Zdrapcen);
    if (ctx().uses(FileId::Zdrapcen) == 0 && f.isOpen()) f.close();
    if (!f.create() || !f.open(OpenMode::exclusive()) || !f.stream()) {
      // Going on (Ignore) goes on without the work file: opening it once
      // more would only end the program over a file the report never uses.
      const err::Error e = f.error();
      if (f.isOpen()) f.close();
      ui().stopBox(rt::runtimeErrorText(e));
      workFileSkipped_ = true;
      return;
    }
    workFileOpen_ = true;
    ++ctx().uses(FileId::Zdrapcen);
    used_.push_back(FileId::Zdrapcen);
  }

  void use(FileId id) {
    if (id == FileId::Zdrapcen && workFileSkipped_) return;
    rt::useFile(ctx(), id);
    used_.push_back(id);
  }

  // ---- the run --------------------------------------------------------

  bool first() override {
    const FileDef& def = fileDef(FileId::Podatki);
    items_.emplace(ctx().file(FileId::Podatki), Key::POD_KSKUP,
                   std::vector<Condition>{Condition::eq(def.findField("SKUP"), group_),
                                          Condition::eq(def.findField("POSK"), subgroup_)});
    return next();
  }

  bool next() override {
    if (failed_) return false;
    if (items_->next(item_)) return true;
    // A read error names the file read: the items' file.
    if (items_->error().code != err::EndOfFile) rt::standardWarning(ctx(), 35, items_->error(), "podatki");
    return false;
  }

  bool open() override {
    date_ = today();
    if (!readParties(ctx(), "Prosimo vpišite vaše podatke (klik na -> Prijavitelj)!", parties_)) return false;
    try {
      report_ = std::make_unique<report::Report>(kOfferReportTitle, offerReportLayout());
    } catch (const report::NoFonts& e) {
      ui().stopBox(e.what());
      return false;
    }
    return true;
  }

  void print() override {
    const Podatki& pod = item_.as<Podatki>();
    if (!lookUp(pod)) return;

    // The item's offers in key order: the first is the one the item line
    // names; reading on, those that sort before a zero price are passed
    // over. Only this item's offers: the same code may begin the next lot.
    const FileDef& def = fileDef(FileId::Paralela);
    ViewReader offers(ctx().file(FileId::Paralela), Key::PAR_KSKLOP,
                      {Condition::eq(def.findField("SKUP"), pod.skup.get()),
                       Condition::eq(def.findField("POSK"), pod.posk.get()),
                       Condition::eq(def.findField("SKLOP"), pod.sklop.get()),
                       Condition::eq(def.findField("SIFR"), pod.sifr.get())},
                      8);
    bool have = readOffer(offers);
    if (failed_) return;
    if (!have) offer_.clear();

    // Every read replaces the buffer's bytes: the offer is looked at afresh.
    printItem(pod, have ? offer_.as<Paralela>().bcena.get() : Decimal(0));
    totals_.startItem();
    for (; have; have = readOffer(offers)) {
      const Paralela& o = offer_.as<Paralela>();
      if (beforeStart(o) || o.bcena.isZero()) continue;
      printOffer(pod, o);
    }
  }

  // The next offer of the item, or false at its end (or a read error).
  bool readOffer(ViewReader& offers) {
    if (offers.next(offer_)) return true;
    if (offers.error().code != err::EndOfFile) readFailed(offers.error(), FileId::Paralela);
    return false;
  }

  // Description, subgroup and group of the item; missing ones print blank.
  bool lookUp(const Podatki& pod) {
    description_.clear();
    description_.as<Opism>().sifr = pod.sifr.get();
    if (!get(Key::OMAT_KSIFRA, description_)) return false;

    // All items of a run share one subgroup and group: read them once.
    const std::pair<std::int16_t, std::int16_t> subgroup{pod.skup.get(), pod.posk.get()};
    if (lookedUp_ == subgroup) return true;
    subgroupRec_.clear();
    subgroupRec_.as<Pskupine>().skup = subgroup.first;
    subgroupRec_.as<Pskupine>().posk = subgroup.second;
    if (!get(Key::PSK_KSKUP, subgroupRec_)) return false;
    groupRec_.clear();
    groupRec_.as<Skupine>().skup = subgroupRec_.as<Pskupine>().skup.get();
    if (!get(Key::SKU_KSKUP, groupRec_)) return false;
    lookedUp_ = subgroup;
    setHeader();
    return true;
  }

  // A record by its key; not found leaves it cleared. A failed read stops
  // the items: a blank column would hide that the data could not be read.
  bool get(Key key, RecordBuffer& buf) {
    RecordFile& file = ctx().file(fileOf(key));
    if (file.get(key, buf)) return true;
    const err::Error e = file.error();
    buf.clear();
    if (e.code == err::RecordNotFound) return true;
    readFailed(e, fileOf(key));
    return false;
  }

  void readFailed(const err::Error& e, FileId id) {
    failed_ = true;
    rt::standardWarning(ctx(), 35, e, rt::shortName(id));
  }

  // The header goes on every page begun from now on; it names the
  // subgroup and group last looked up.
  void setHeader() {
    const Pskupine& psk = subgroupRec_.as<Pskupine>();
    std::vector<Value> values(obr8::HeaderValues);
    values[obr8::BidderName] = text(parties_.pon().naziv);
    values[obr8::BidderAddress] = text(parties_.pon().naslov);
    values[obr8::BidderPost] = text(parties_.pon().posta);
    values[obr8::Buyer1] = text(parties_.kup().naz01);
    values[obr8::Buyer2] = text(parties_.kup().naz02);
    values[obr8::Date] = date_;
    values[obr8::Group] = number(psk.skup.get());
    values[obr8::GroupName] = text(groupRec_.as<Skupine>().nazi);
    values[obr8::Subgroup] = number(psk.posk.get());
    values[obr8::SubgroupName] = text(psk.nazi);
    report_->setPageHeader(offerReportBands().header, std::move(values));
  }

  void printItem(const Podatki& pod, const Decimal& firstPrice) {
    Value values[obr8::ItemValues];
    values[obr8::ItemName] = text(pod.nazi);
    values[obr8::Form] = text(pod.faob);
    values[obr8::Code] = number(pod.sifr.get());
    values[obr8::Quantity] = pod.koliane.get();
    values[obr8::Unit] = text(pod.enme);
    values[obr8::Description] = text(description_.memo());
    values[obr8::Catalogue] = text(pod.katal);
    values[obr8::FirstPrice] = firstPrice;
    report_->print(offerReportBands().item, values);
  }

  void printOffer(const Podatki& pod, const Paralela& o) {
    const OfferLine line = offerLine(pod.koli.get(), o);
    totals_.add(line);
    Value values[obr8::OfferValues];
    values[obr8::RegistryCode] = text(o.idzdr);
    values[obr8::ProtectedName] = text(o.imezd);
    values[obr8::Maker] = text(o.proiz);
    values[obr8::Packaging] = text(o.prpak);
    values[obr8::SmallestUnit] = text(o.em);
    values[obr8::NetPrice] = line.netShown;
    values[obr8::Discount] = o.popust.get();
    values[obr8::VatRate] = o.pddv.get();
    values[obr8::PackSize] = number(o.pakiranje.get());
    values[obr8::GrossPrice] = o.bcena.get();
    values[obr8::LineValue] = line.value;
    values[obr8::Order] = number(o.sort.get());
    values[obr8::Withdrawn] = std::string(line.withdrawn ? "Odstop od ponudbe!" : "");
    report_->print(offerReportBands().offer, values);
  }

  report::Document complete() override {
    report_->print(offerReportBands().footer, {totals_.withoutVat(), totals_.vat(), totals_.withVat()});
    return report_->take();
  }

  void readAhead(bool on) override {
    for (FileId id : kReadAheadFiles) ctx().file(id).send(on ? "QUICKSCAN=on" : "QUICKSCAN=off");
  }

  void leave() override {
    items_.reset();
    report_.reset();
    if (workFileOpen_) ctx().file(FileId::Zdrapcen).flush();
    for (auto it = used_.rbegin(); it != used_.rend(); ++it) rt::releaseFile(ctx(), *it);
    used_.clear();
  }

  std::int16_t group_ = 0, subgroup_ = 0;
  std::vector<FileId> used_;
  bool workFileOpen_ = false, workFileSkipped_ = false;
  std::shared_ptr<ReportRun> run_;

  std::optional<ViewReader> items_;
  RecordBuffer item_{FileId::Podatki};
  RecordBuffer offer_{FileId::Paralela};
  RecordBuffer description_{FileId::Opism};
  RecordBuffer subgroupRec_{FileId::Pskupine};
  RecordBuffer groupRec_{FileId::Skupine};
  std::optional<std::pair<std::int16_t, std::int16_t>> lookedUp_;
  bool failed_ = false;

  pic::Date date_;
  Parties parties_;
  std::unique_ptr<report::Report> report_;
  OfferTotals totals_;
};

}  // namespace

std::unique_ptr<rt::Procedure> makeOfferReport(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<OfferReport>(ctx, options);
}

}  // namespace tdx::reports
