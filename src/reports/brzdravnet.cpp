#include "reports/brzdravnet.h"

#include <array>

#include "records/cp1250.h"
#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/live_binding.h"
#include "runtime/record_browse.h"
#include "runtime/stdfiles.h"
#include "runtime/typed_character.h"
#include "runtime/ui.h"
#include "runtime/window.h"

namespace tdx::reports {

namespace {

using namespace rt;

constexpr const char* kSheet = "?CurrentTab";
constexpr const char* kList = "?Browse:1";
constexpr const char* kSelect = "?Select";
constexpr const char* kClose = "?Close";

// One tab: its order and the entry that locates in it.
struct Order {
  const char* tab;
  const char* tabText;
  const char* prompt;
  const char* promptText;
  const char* entry;
  const char* picture;
  int entryWidth;
  Key key;
  ThumbMode thumb;
};

const std::array<Order, 3>& orders() {
  // By code the thumb cannot say where a code stands; it shows only the ends.
  static const std::array<Order, 3> o{{
      {"?Tab:1", "&1) Po imenu zdravila", "?Prompt:Ime", "Ime zdravila:", "?RZDR:IMEREGISTR", "@s200", 260,
       Key::RZDR_KIME, ThumbMode::Interpolate},
      {"?Tab:2", "&2) Po delovni šifri", "?Prompt:Sifra", "Delovna šifra:", "?RZDR:IDZDR", "@s6", 40,
       Key::RZDR_KIDZDR, ThumbMode::Ends},
      {"?Tab:3", "&3) Po ATC", "?Prompt:ATC", "ATC:", "?RZDR:ATC", "@s10", 60, Key::RZDR_KATC,
       ThumbMode::Interpolate},
  }};
  return o;
}

BrowseColumn col(const char* header, int width, Align align) {
  BrowseColumn c;
  c.header = header;
  c.width = width;
  c.align = align;
  c.headerAlign = align;
  return c;
}

class Brzdravnet : public Procedure, public WindowEvents {
 public:
  Brzdravnet(Context& ctx, const Options& options) : Procedure(ctx, options) {}
  ~Brzdravnet() override = default;

  void begin() override;
  void onEvent(Window& w, const Event& e) override;
  void requestClose() override {
    leave(window_.get());
  }

 private:
  RecordBrowseSpec listSpec();
  WindowSpec windowSpec();
  int orderOfTab(const std::string& tab) const;
  void applyOrder(Window& w, int order, bool atHighlighted);
  void locate(Window& w, int order);
  void choose(Window& w);
  void back(Window& w);
  void reread();
  void leave(Window* w);
  void emptyEntries();

  bool selectMode_ = false;
  int response_ = resp::Cancelled;
  int order_ = 0;
  bool used_ = false;
  std::unique_ptr<RecordBrowse> list_;
  std::array<std::string, 3> typed_;  // the locator entries, Windows-1250
  std::string txt01_;                 // LOC:TXT01: shown, never filled
  RecordBuffer start_{FileId::Zdravnet};
  std::unique_ptr<Window> window_;  // after the list: it goes first
};

RecordBrowseSpec Brzdravnet::listSpec() {
  const auto& z = fileDef(FileId::Zdravnet);
  RecordBrowseSpec s{FileId::Zdravnet, Key::RZDR_KIME};
  s.columns = {
      RecordColumn::blank("@s1", col(">", 7, Align::Center)),
      RecordColumn::field(z, "IDZDR", "@s6", col("Del.šifra", 30, Align::Center)),
      RecordColumn::field(z, "IMEREGISTR", "@s200", col("Registrirano ime", 160, Align::Left)),
      RecordColumn::field(z, "PROIZN", "@s30", col("Imetnik dovoljenja", 90, Align::Left)),
      RecordColumn::field(z, "NCENA", "@N15.`4~ €~B", col("Cena brez DDV", 60, Align::Right)),
      RecordColumn::field(z, "ATC", "@s10", col("ATC", 40, Align::Left)),
      RecordColumn::field(z, "ATCOPIS", "@s30", col("ATC naziv", 65, Align::Left)),
      RecordColumn::field(z, "ENOTA", "@s20", col("Enota", 50, Align::Left)),
      RecordColumn::field(z, "KOLENOTE", "@n7.b", col("Količina", 36, Align::Right)),
      RecordColumn::field(z, "CRTNAKODA", "@s13", col("EAN koda", 70, Align::Left)),
      RecordColumn::blank("@s1", col("<", 3, Align::Left)),
  };
  return s;
}

WindowSpec Brzdravnet::windowSpec() {
  WindowSpec w;
  auto& g = ctx().g();
  w.title = "Pregled registriranih zdravil -> " + g.medicinesDatabaseUrl + " [7.3.2022] -> IVDC " + g.ivdRegisterUrl +
            " [1.4.2022]";
  w.positionName = "brzdravnet";
  w.width = 646;
  w.height = 284;
  w.font = "MS Sans Serif";
  w.fontSize = 8;
  w.icon = "Balance.ico";
  w.modal = true;

  auto add = [&](ControlSpec c) { w.controls.push_back(std::move(c)); };
  ControlSpec sheet;
  sheet.label = kSheet;
  sheet.kind = ControlKind::Sheet;
  sheet.at = {4, 4, 638, 30};
  add(sheet);
  for (std::size_t i = 0; i < orders().size(); ++i) {
    const Order& o = orders()[i];
    ControlSpec tab;
    tab.label = o.tab;
    tab.kind = ControlKind::Tab;
    tab.text = o.tabText;
    tab.parent = kSheet;
    add(tab);
    ControlSpec prompt;
    prompt.label = o.prompt;
    prompt.kind = ControlKind::Prompt;
    prompt.text = o.promptText;
    prompt.at = {9, 22, 60, 10};
    prompt.parent = o.tab;
    add(prompt);
    ControlSpec entry;
    entry.label = o.entry;
    entry.kind = ControlKind::Entry;
    entry.picture = o.picture;
    entry.at = {74, 22, o.entryWidth, 10};
    entry.parent = o.tab;
    if (i == 1) entry.tip = "Delovna šifra";
    entry.value = bind(typed_[i], std::string_view(o.picture) == "@s200" ? 200 : (i == 1 ? 6 : 10));
    add(entry);
  }
  ControlSpec txt;
  txt.label = "?LOC:TXT01";
  txt.kind = ControlKind::String;
  txt.picture = "@s30";
  txt.at = {344, 22, 120, 10};
  txt.value = bind(txt01_, 30);
  add(txt);

  ControlSpec list;
  list.label = kList;
  list.kind = ControlKind::List;
  list.at = {9, 36, 624, 198};
  list.list = list_.get();
  add(list);

  ControlSpec pprompt;
  pprompt.label = "?Prompt:Pakiranje";
  pprompt.kind = ControlKind::Prompt;
  pprompt.text = "Pakiranje:";
  pprompt.at = {9, 238, 52, 10};
  add(pprompt);
  ControlSpec pack;
  pack.label = "?RZDR:PAKIRANJE";
  pack.kind = ControlKind::Text;
  pack.at = {64, 238, 569, 16};
  pack.readOnly = true;
  pack.skip = true;
  Context& c = ctx();
  pack.value = liveBinding([&c]() -> auto& { return c.rec<Zdravnet>(FileId::Zdravnet).pakiranje; });
  add(pack);

  ControlSpec select;
  select.label = kSelect;
  select.kind = ControlKind::Button;
  select.text = "&Izbor";
  select.icon = "WASELECT.ICO";
  select.tip = "Izberi zapis";
  select.at = {251, 262, 49, 16};
  select.hidden = !selectMode_;
  select.disabled = !selectMode_;
  select.defaultButton = selectMode_;
  add(select);
  ControlSpec close;
  close.label = kClose;
  close.kind = ControlKind::Button;
  close.text = "&Nazaj";
  close.icon = "WACLOSE.ICO";
  close.tip = "Zapri okno";
  close.at = {589, 262, 49, 16};
  add(close);

  for (AlertKey k : {AlertKey::DoubleClick, AlertKey::RightClick, AlertKey::ContextMenu, AlertKey::Character})
    w.alerts.emplace_back(kList, k);
  return w;
}

void Brzdravnet::begin() {
  int request = ctx().globalRequest;
  ctx().globalRequest = req::None;
  ctx().globalResponse = resp::None;
  selectMode_ = request == req::Select;
  // Where the caller left the buffer decides where a pick starts.
  start_ = ctx().buf(FileId::Zdravnet);

  useFile(ctx(), FileId::Zdravnet);
  used_ = true;
  list_ = std::make_unique<RecordBrowse>(ctx(), listSpec());
  list_->onError = [this](const BrowseError& e) {
    if (e.warning == 36) {
      standardWarning(ctx(), 36, e.error);
      return;
    }
    standardWarning(ctx(), 35, e.error, "zdravnet");
    leave(window_.get());
  };
  WindowHost* host = ui().windows();
  if (!host) {
    leave(nullptr);
    return;
  }
  window_ = host->openWindow(windowSpec(), *this);
}

int Brzdravnet::orderOfTab(const std::string& tab) const {
  for (std::size_t i = 0; i < orders().size(); ++i)
    if (tab == orders()[i].tab) return int(i);
  return 0;
}

void Brzdravnet::applyOrder(Window& w, int order, bool atHighlighted) {
  order_ = order;
  const Order& o = orders()[std::size_t(order)];
  RecordBuffer from = atHighlighted && list_->currentRow() ? list_->currentRow()->record : start_;
  list_->setOrder(o.key, o.thumb);
  list_->locateFrom(from);
  emptyEntries();
  w.display();
}

void Brzdravnet::emptyEntries() {
  for (auto& t : typed_) t.clear();
}

void Brzdravnet::locate(Window& w, int order) {
  std::string text(cp1250::trimRight(typed_[std::size_t(order)]));
  if (text.empty()) return;
  if (order != order_) applyOrder(w, order, true);
  list_->locate(text);
  w.focus(kList);
  emptyEntries();
  w.display();
}

// The highlighted medicine read again by its position, so the caller gets
// every field as it stands in the file, not only the listed ones.
void Brzdravnet::reread() {
  const BrowseRow* row = list_->currentRow();
  if (!row) return;
  auto& f = ctx().file(FileId::Zdravnet);
  if (!f.reget(row->position(), ctx().buf(FileId::Zdravnet))) standardWarning(ctx(), 35, f.error(), "zdravnet");
}

void Brzdravnet::choose(Window& w) {
  if (!selectMode_ || list_->empty()) return;
  reread();
  response_ = resp::Completed;
  leave(&w);
}

void Brzdravnet::back(Window& w) {
  if (!list_->empty()) reread();
  response_ = selectMode_ ? resp::Cancelled : resp::Completed;
  leave(&w);
}

void Brzdravnet::leave(Window* w) {
  if (ended()) return;
  if (w && w->isOpen()) w->close();
  if (used_) releaseFile(ctx(), FileId::Zdravnet);
  used_ = false;
  ctx().globalResponse = response_ == resp::None ? resp::Cancelled : response_;
  end();
}

void Brzdravnet::onEvent(Window& w, const Event& e) {
  if (ended()) return;
  using K = Event::Kind;
  switch (e.kind) {
    case K::Opened:
      if (!selectMode_) start_.clear();
      w.selectTab(kSheet, orders()[0].tab);
      applyOrder(w, 0, false);
      break;
    case K::Accepted:
      for (std::size_t i = 0; i < orders().size(); ++i)
        if (e.label == orders()[i].entry) locate(w, int(i));
      break;
    case K::NewSelection:
      if (e.label == kSheet) {
        int o = orderOfTab(w.currentTab(kSheet));
        if (o != order_) applyOrder(w, o, true);
      } else if (e.label == kList) {
        // The packaging text follows the highlight; the entries are emptied
        // at every refresh.
        emptyEntries();
        w.display();
      }
      break;
    case K::Pressed:
      if (e.label == kSelect) choose(w);
      else if (e.label == kClose) back(w);
      break;
    case K::Alert:
      if (e.label != kList) break;
      if (e.key == AlertKey::DoubleClick) {
        choose(w);
      } else if (e.key == AlertKey::RightClick || e.key == AlertKey::ContextMenu) {
        bool can = selectMode_ && !list_->empty();
        if (w.popup(can ? "&Izbor" : "~&Izbor") == 1) choose(w);
      } else if (e.key == AlertKey::Character) {
        // The typed character goes on to the entry of the current tab.
        const Order& o = orders()[std::size_t(order_)];
        if (auto bytes = characterBytes(e.character)) typed_[std::size_t(order_)] = *bytes;
        w.display(o.entry);
        w.focus(o.entry);
      }
      break;
    case K::GainFocus: {
      int o = orderOfTab(w.currentTab(kSheet));
      if (o != order_) applyOrder(w, o, true);
      w.display();
      break;
    }
    case K::CloseRequest:
      leave(&w);
      break;
    default:
      break;
  }
}

}  // namespace

std::unique_ptr<rt::Procedure> makeBrzdravnet(rt::Context& ctx, const rt::Options& options) {
  return std::make_unique<Brzdravnet>(ctx, options);
}

}  // namespace tdx::reports
