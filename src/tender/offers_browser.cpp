// brparalela: every offer of the item that is current in the items
// browser, in price order, with adding, changing and deleting through the
// offer form and the offers report.
//
// The window follows the items browser's current item in all four values
// (group, subgroup, lot and code) at every refresh. Keeping the group,
// subgroup and lot of its first fill would show no offers at all for an
// item of another subgroup, or for any item whose lot is not 0, since a new
// window's buffer holds lot 0.

#include "tender/offers_browser.h"

#include <cstdlib>

#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/record_browse.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"
#include "tender/controls.h"
#include "tender/offer_calls.h"

namespace tdx::tender {

namespace {

using namespace rt;

constexpr const char* kList = "?BROWSE:1";
constexpr const char* kPrint = "?IZPIS";
constexpr const char* kInsert = "?INSERT:2";
constexpr const char* kChange = "?CHANGE:2";
constexpr const char* kDelete = "?DELETE:2";
constexpr const char* kClose = "?CLOSE";
constexpr FileId kFiles[] = {FileId::Paralela, FileId::Podatki};

class OffersBrowser : public Procedure, public WindowEvents {
 public:
  OffersBrowser(Context& ctx, const Options& options) : Procedure(ctx, options) {}

  void begin() override;
  void onEvent(Window& w, const Event& e) override;
  void requestClose() override { leave(window_.get()); }

 private:
  ItemKey currentItem();
  RecordBrowseSpec listSpec();
  WindowSpec windowSpec();
  void refresh(Window& w);
  void act(Window& w, int what);  // 1 add, 2 change, 3 delete
  void leave(Window* w);

  bool used_ = false;
  bool failed_ = false;
  ItemKey range_;
  std::unique_ptr<RecordBrowse> list_;
  std::unique_ptr<Window> window_;
};

ItemKey OffersBrowser::currentItem() {
  const auto& gl = g();
  return ItemKey{gl.psk, gl.pps, gl.itemLot, std::int32_t(std::strtol(gl.sifpod.c_str(), nullptr, 10))};
}

RecordBrowseSpec OffersBrowser::listSpec() {
  const auto& d = fileDef(FileId::Paralela);
  RecordBrowseSpec s{FileId::Paralela, Key::PAR_KSKLOP};
  int skup = d.findField("SKUP"), posk = d.findField("POSK"), sklop = d.findField("SKLOP"), sifr = d.findField("SIFR");
  s.where = [this, skup, posk, sklop, sifr] {
    range_ = currentItem();
    return std::vector<Condition>{Condition::eq(skup, range_.group), Condition::eq(posk, range_.subgroup),
                                  Condition::eq(sklop, range_.lot), Condition::eq(sifr, range_.code)};
  };
  s.columns = {
      RecordColumn::blank("@s1", column(">", 5, Align::Center)),
      RecordColumn::field(d, "SIFR", "@n08b", column("Šifra", 42, Align::Center)),
      RecordColumn::field(d, "IDZDR", "@s6", column("del.šifra", 30, Align::Center)),
      RecordColumn::field(d, "IMEZD", "@s100", column("Zaščiteno ime", 130, Align::Left, 1)),
      RecordColumn::field(d, "PROIZ", "@s30", column("Proizvajalec", 90, Align::Left, 1)),
      RecordColumn::field(d, "PRPAK", "@s80", column("Pakiranje-opis", 120, Align::Left, 1)),
      RecordColumn::field(d, "PAKIRANJE", "@n6.b", column("PAK.", 25, Align::Right, 1, Align::Center)),
      RecordColumn::field(d, "POPUST", "@n_5`2b", column("Popust", 26, Align::Right, 2)),
      RecordColumn::field(d, "BCENA", "@n14`4b", column("Cena z DDV", 50, Align::Right, 2)),
      RecordColumn::blank("@s1", column("", 1, Align::Left, 0, std::nullopt, true)),
  };
  RowStyle pink{Color::rgb(255, 223, 255), {}, "MS Sans Serif", 9, false};
  RowStyle plain{{}, {}, "MS Sans Serif", 9, false};
  s.styles = {pink, plain};
  // Odd positions the default colours (style 2), even ones light pink.
  s.styleOf = [](int pos, const BrowseRow&) { return pos % 2 == 0 ? 1 : 0; };
  return s;
}

WindowSpec OffersBrowser::windowSpec() {
  WindowSpec w;
  w.title = "Paralele - pregled podatkov";
  w.positionName = "brparalela";
  w.width = 560;
  w.height = 250;
  auto& cs = w.controls;
  auto group = control(ControlKind::Group, "?Group:Osnovni", {4, 2, 552, 52});
  group.text = "Osnovni podatki";
  cs.push_back(group);
  auto box = [&](const char* label, std::string& var, int width, Rect at) {
    auto b = bound(ControlKind::Text, label, "", bind(var, width), at, "?Group:Osnovni");
    b.readOnly = true;
    b.skip = true;
    b.flat = true;
    cs.push_back(b);
  };
  cs.push_back(prompt("?Prompt:Naziv", "Naziv:", {10, 14, 30, 10}, "?Group:Osnovni"));
  box("?GLO:NAZMAT", g().nazmat, 200, {44, 12, 506, 18});
  cs.push_back(prompt("?Prompt:Oblika", "Oblika:", {10, 34, 30, 10}, "?Group:Osnovni"));
  box("?GLO:OBLMAT", g().oblmat, 250, {44, 32, 506, 18});

  cs.push_back(control(ControlKind::Sheet, "?CurrentTab", {4, 58, 552, 164}));
  cs.push_back(control(ControlKind::Tab, "?Tab:1", {}, "?CurrentTab"));
  auto list = control(ControlKind::List, kList, {8, 72, 544, 146}, "?Tab:1");
  list.list = list_.get();
  cs.push_back(list);

  cs.push_back(button(kPrint, "&Izpis", "", "", {4, 228, 60, 16}));
  cs.back().disabled = !ctx().session().program().has("reparalela");
  cs.push_back(button(kInsert, "&Dodaj", "DODAJ.ICO", "", {300, 228, 60, 16}));
  cs.push_back(button(kChange, "&Sprem.", "SPREMENI.ICO", "", {364, 228, 60, 16}));
  cs.push_back(button(kDelete, "&Briši", "BRISI.ICO", "", {428, 228, 60, 16}));
  cs.push_back(button(kClose, "&Nazaj", "IZHOD.ICO", "", {496, 228, 60, 16}));
  for (AlertKey k : {AlertKey::Insert, AlertKey::Delete, AlertKey::CtrlEnter, AlertKey::DoubleClick,
                     AlertKey::RightClick, AlertKey::ContextMenu})
    w.alerts.emplace_back(kList, k);
  return w;
}

void OffersBrowser::begin() {
  ctx().globalRequest = req::None;
  ctx().globalResponse = resp::None;
  for (FileId id : kFiles) useFile(ctx(), id);
  used_ = true;
  list_ = std::make_unique<RecordBrowse>(ctx(), listSpec());
  list_->onError = [this](const BrowseError& e) {
    if (e.warning == 36) {
      standardWarning(ctx(), 36, e.error);
      return;
    }
    standardWarning(ctx(), 35, e.error, "paralela");
    failed_ = true;
  };
  WindowHost* host = ui().windows();
  if (!host) {
    leave(nullptr);
    return;
  }
  window_ = host->openWindow(windowSpec(), *this);
}

void OffersBrowser::refresh(Window& w) {
  list_->refresh();
  if (failed_) {
    leave(&w);
    return;
  }
  bool empty = list_->empty();
  w.setEnabled(kChange, !empty);
  w.setEnabled(kDelete, !empty);
  w.setEnabled(kPrint, ctx().session().program().has("reparalela"));
  w.display();
}

void OffersBrowser::act(Window& w, int what) {
  if (what == 1) {
    // The new offer belongs to the item the list shows.
    list_->refresh();
    addOffer(ctx(), *list_, ItemKey{range_.group, range_.subgroup, range_.lot, currentItem().code});
  } else if (!list_->empty()) {
    if (what == 2) changeOffer(ctx(), *list_);
    else deleteOffer(ctx(), *list_);
  }
  refresh(w);
}

void OffersBrowser::leave(Window* w) {
  if (ended()) return;
  if (w && w->isOpen()) w->close();
  if (used_)
    for (FileId id : kFiles) releaseFile(ctx(), id);
  used_ = false;
  end();
}

void OffersBrowser::onEvent(Window& w, const Event& e) {
  if (ended()) return;
  using K = Event::Kind;
  switch (e.kind) {
    case K::Opened:
      list_->reload();
      refresh(w);
      break;
    case K::GainFocus:
    case K::Posted:
    case K::Resized:
      refresh(w);
      break;
    case K::NewSelection:
      if (e.label == kList) w.display();
      break;
    case K::Pressed:
      if (e.label == kInsert) act(w, 1);
      else if (e.label == kChange) act(w, 2);
      else if (e.label == kDelete) act(w, 3);
      else if (e.label == kPrint) {
        ctx().session().program().call("reparalela", ctx());
        refresh(w);
      } else if (e.label == kClose) {
        leave(&w);
      }
      break;
    case K::Alert:
      if (e.label != kList) break;
      switch (e.key) {
        case AlertKey::Insert: act(w, 1); break;
        case AlertKey::Delete: act(w, 3); break;
        case AlertKey::CtrlEnter:
        case AlertKey::DoubleClick: act(w, 2); break;
        case AlertKey::RightClick:
        case AlertKey::ContextMenu: {
          int choice = w.popup(list_->empty() ? "&Dodaj|~&Sprem.|~&Briši" : "&Dodaj|&Sprem.|&Briši");
          if (choice >= 1 && choice <= 3) act(w, choice);
          break;
        }
        default: break;
      }
      break;
    case K::CloseRequest:
      leave(&w);
      break;
    default:
      break;
  }
}

}  // namespace

std::unique_ptr<Procedure> makeBrparalela(Context& ctx, const Options& options) {
  return std::make_unique<OffersBrowser>(ctx, options);
}

}  // namespace tdx::tender
