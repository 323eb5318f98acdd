// brparalelacsv: the lines of the semicolon offers file beside the stored
// offers, to compare their prices. Nothing in either file changes.

#include <memory>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "reports/csv_browse.h"
#include "reports/csv_offers_browser.h"
#include "runtime/context.h"
#include "runtime/record_browse.h"
#include "runtime/semicolon_file.h"
#include "runtime/stdfiles.h"
#include "runtime/typed_character.h"
#include "runtime/ui.h"
#include "runtime/window.h"

namespace tdx::reports {

namespace {

using namespace rt;

constexpr const char* kSheet = "?Sheet1";
constexpr const char* kTab = "?Tab:1";
constexpr const char* kCsvList = "?Browse:1";
constexpr const char* kOffersList = "?Browse:2";
constexpr const char* kClose = "?Close";

BrowseColumn col(const char* header, int width, Align align) {
  BrowseColumn c;
  c.header = header;
  c.width = width;
  c.align = align;
  c.headerAlign = align;
  return c;
}

std::vector<CsvColumn> csvColumns() {
  using namespace csv;
  return {
      {col("Šifra mat.", 41, Align::Center), "@n08b", Sifr, true},
      {col("Šifra zdr.", 36, Align::Center), "@s6", Idzdr, false},
      {col("Cena brez DDV", 55, Align::Right), "@n15`4b", Ncena, true},
      {col("% popusta", 40, Align::Center), "@n_5`2b", Popust, true},
      {col("% DDV", 35, Align::Center), "@n_5`2", Pddv, true},
      {col("Cena z DDV", 55, Align::Right), "@n15`4b", Bcena, true},
      {col("", 4, Align::Left), "@s1", -1, false},
  };
}

RecordBrowseSpec offersSpec() {
  const auto& p = fileDef(FileId::Paralela);
  RecordBrowseSpec s{FileId::Paralela, Key::PAR_KIDZDR};
  s.columns = {
      RecordColumn::field(p, "IDZDR", "@s6", col("Šifra zdr.", 33, Align::Center)),
      RecordColumn::field(p, "SIFR", "@n08b", col("Šifra mat.", 41, Align::Center)),
      RecordColumn::field(p, "IMEZD", "@s100", col("Naziv zdravila", 105, Align::Left)),
      RecordColumn::field(p, "NCENA", "@n15`4b", col("Cena brez DDV", 55, Align::Right)),
      RecordColumn::field(p, "POPUST", "@n_5`2b", col("% popusta", 40, Align::Right)),
      RecordColumn::field(p, "PDDV", "@n_5`2", col("% DDV", 30, Align::Right)),
      RecordColumn::field(p, "BCENA", "@n15`4b", col("Cena z DDV", 55, Align::Right)),
      RecordColumn::blank("@s1", col("", 4, Align::Left)),
  };
  return s;
}

class Brparalelacsv : public Procedure, public WindowEvents {
 public:
  Brparalelacsv(Context& ctx, const Options& options)
      : Procedure(ctx, options), csvFile_(ctx.folder(), ctx.g().csvFileName) {}

  void begin() override {
    int request = ctx().globalRequest;
    ctx().globalRequest = req::None;
    ctx().globalResponse = resp::None;
    selectMode_ = request == req::Select;

    openWithRecovery(ctx(), csvFile_, true);
    useFile(ctx(), FileId::Paralela);
    used_ = true;
    csvList_ = std::make_unique<CsvBrowse>(csvFile_.reader(), csvColumns());
    csvList_->onCurrent = [this](const CsvBrowse::Line* line) {
      if (line) csvRecord_ = line->fields;
      else csvRecord_.assign(csv::kOfferWidths.size(), std::string());
    };
    csvList_->onError = [this](const err::Error& e) { failed(35, e, "CSVfile"); };
    offersList_ = std::make_unique<RecordBrowse>(ctx(), offersSpec());
    offersList_->onError = [this](const BrowseError& e) {
      if (e.warning == 36) standardWarning(ctx(), 36, e.error);
      else failed(35, e.error, "paralela");
    };
    WindowHost* host = ui().windows();
    if (!host) {
      leave(nullptr);
      return;
    }
    window_ = host->openWindow(windowSpec(), *this);
  }

  void requestClose() override { leave(window_.get()); }

  void onEvent(Window& w, const Event& e) override {
    if (ended()) return;
    using K = Event::Kind;
    switch (e.kind) {
      case K::Opened:
        csvList_->reload();
        offersList_->reload();
        break;
      case K::Pressed:
        if (e.label == kClose) closeWindow(w);
        break;
      case K::Alert:
        if (e.label != kOffersList) break;
        if (e.key == AlertKey::RightClick || e.key == AlertKey::ContextMenu) {
          // The pop-up menu of this list has no entries: nothing follows.
          w.popup("");
        } else if (e.key == AlertKey::Character) {
          locateTyped(e.character);
        }
        break;
      case K::CloseRequest:
        leave(&w);
        break;
      default:
        break;
    }
  }

 private:
  WindowSpec windowSpec() {
    WindowSpec w;
    w.title = "Pregled CSV datoteke paralela.csv";
    w.positionName = "brparalelacsv";
    w.width = 677;
    w.height = 328;
    w.font = "MS Sans Serif";
    w.fontSize = 8;
    auto add = [&](ControlSpec c) { w.controls.push_back(std::move(c)); };
    ControlSpec sheet;
    sheet.label = kSheet;
    sheet.kind = ControlKind::Sheet;
    sheet.at = {4, 4, 671, 303};
    add(sheet);
    ControlSpec tab;
    tab.label = kTab;
    tab.kind = ControlKind::Tab;
    tab.parent = kSheet;
    add(tab);
    ControlSpec csvCaption;
    csvCaption.label = "?String1";
    csvCaption.kind = ControlKind::String;
    csvCaption.text = "paralela.csv";
    csvCaption.at = {107, 19, 0, 0};
    csvCaption.parent = kTab;
    add(csvCaption);
    ControlSpec offersCaption = csvCaption;
    offersCaption.label = "?String2";
    offersCaption.text = "paralela.tps";
    offersCaption.at = {411, 19, 0, 0};
    add(offersCaption);
    ControlSpec left;
    left.label = kCsvList;
    left.kind = ControlKind::List;
    left.at = {8, 30, 280, 275};
    left.tip = "Browsing the CSVfile file";
    left.parent = kTab;
    left.list = csvList_.get();
    add(left);
    ControlSpec right = left;
    right.label = kOffersList;
    right.at = {295, 30, 377, 275};
    right.tip = "Browsing Records";
    right.list = offersList_.get();
    add(right);
    ControlSpec close;
    close.label = kClose;
    close.kind = ControlKind::Button;
    close.text = "&Close";
    close.icon = "WACLOSE.ICO";
    close.tip = "Close Window";
    close.at = {626, 311, 49, 14};
    add(close);
    for (const char* list : {kCsvList, kOffersList})
      for (AlertKey k : {AlertKey::DoubleClick, AlertKey::RightClick, AlertKey::ContextMenu})
        w.alerts.emplace_back(list, k);
    w.alerts.emplace_back(kOffersList, AlertKey::Character);
    return w;
  }

  // The first offer whose registry code starts with the typed character,
  // unless the highlighted one already does.
  void locateTyped(char32_t c) {
    auto bytes = characterBytes(c);
    if (!bytes) return;
    const BrowseRow* row = offersList_->currentRow();
    if (row && cp1250::startsWithNoCase(row->record.as<Paralela>().idzdr.view(), *bytes)) return;
    offersList_->locate(*bytes);
  }

  // "&Close": the highlighted rows read again from their files by position,
  // as the caller would find them in the buffers.
  void closeWindow(Window& w) {
    if (!csvList_->reread(csvRecord_) && csvList_->currentLine()) return;
    if (const BrowseRow* row = offersList_->currentRow()) {
      auto& f = ctx().file(FileId::Paralela);
      if (!f.reget(row->position(), ctx().buf(FileId::Paralela))) {
        failed(35, f.error(), "paralela");
        return;
      }
    }
    response_ = selectMode_ ? resp::Cancelled : resp::Completed;
    leave(&w);
  }

  void failed(int warning, const err::Error& e, const char* file) {
    standardWarning(ctx(), warning, e, file);
    leave(window_.get());
  }

  void leave(Window* w) {
    if (ended()) return;
    if (w && w->isOpen()) w->close();
    csvFile_.close();
    if (used_) releaseFile(ctx(), FileId::Paralela);
    used_ = false;
    ctx().globalResponse = response_ == resp::None ? resp::Cancelled : response_;
    end();
  }

  bool selectMode_ = false;
  bool used_ = false;
  int response_ = resp::None;
  SemicolonFile csvFile_;
  // The semicolon file's record buffer: the fields of the highlighted line.
  std::vector<std::string> csvRecord_;
  std::unique_ptr<CsvBrowse> csvList_;
  std::unique_ptr<RecordBrowse> offersList_;
  std::unique_ptr<Window> window_;  // after the lists: it goes first
};

}  // namespace

std::unique_ptr<Procedure> makeBrparalelacsv(Context& ctx, const Options& options) {
  return std::make_unique<Brparalelacsv>(ctx, options);
}

}  // namespace tdx::reports
