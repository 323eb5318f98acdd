#include "shell/upponud.h"

#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"

namespace tdx::shell {

using rt::ControlKind;
using rt::ControlSpec;

namespace {

constexpr const char* kEntries[] = {"?PON:NAZIV", "?PON:NASLOV", "?PON:POSTA", "?PON:DAVCNA"};

rt::WindowSpec formSpec(Ponudnik& r, bool insert) {
  rt::WindowSpec s;
  s.title = "Podatki o prijavitelju / ponudniku";
  s.positionName = "upponud";
  s.modal = true;
  s.resizable = false;
  s.width = 286;
  s.height = 116;
  s.statusText = insert ? "Stavek bo dodan" : "Stavek bo spremenjen";
  auto& c = s.controls;
  ControlSpec sheet{"?SHEET1", ControlKind::Sheet};
  sheet.at = {4, 4, 278, 86};
  c.push_back(sheet);
  ControlSpec tab{"?TAB1", ControlKind::Tab, "Ponudnik"};
  tab.parent = "?SHEET1";
  c.push_back(tab);
  struct Row {
    const char* prompt;
    const char* label;
    const char* picture;
    const char* tip;
    rt::Binding value;
    int width;
  } rows[] = {
      {"Naziv:", kEntries[0], "@s50", "Naziv ponudnika", rt::bind(r.naziv), 200},
      {"Naslov:", kEntries[1], "@s50", "Naslov ponudnika", rt::bind(r.naslov), 200},
      {"Pošta:", kEntries[2], "@s50", "Pošta ponudnika", rt::bind(r.posta), 200},
      {"Davčna številka:", kEntries[3], "@s8", "Davčna številka", rt::bind(r.davcna), 44},
  };
  int y = 26;
  for (auto& row : rows) {
    ControlSpec prompt{std::string("?") + std::string(row.label + 1) + ":PROMPT", ControlKind::Prompt, row.prompt};
    prompt.at = {12, y + 2, 60, 10};
    prompt.parent = "?TAB1";
    c.push_back(prompt);
    ControlSpec entry{row.label, ControlKind::Entry};
    entry.picture = row.picture;
    entry.tip = row.tip;
    entry.value = row.value;
    entry.at = {74, y, row.width, 12};
    entry.parent = "?TAB1";
    c.push_back(entry);
    s.alerts.push_back({row.label, rt::AlertKey::CtrlApostrophe});
    y += 15;
  }
  ControlSpec ok{"?OK", ControlKind::Button, "&Potrdi"};
  ok.icon = "Potrdi.ico";
  ok.at = {8, 95, 60, 16};
  ok.defaultButton = true;
  c.push_back(ok);
  ControlSpec del{"?DELETE", ControlKind::Button, "&Briši"};
  del.at = {74, 95, 60, 16};
  c.push_back(del);
  ControlSpec cancel{"?CANCEL", ControlKind::Button, "&Opusti"};
  cancel.icon = "PREKLICC.ICO";
  cancel.at = {218, 95, 60, 16};
  c.push_back(cancel);
  return s;
}

}  // namespace

BidderForm::BidderForm(rt::Context& ctx, const rt::Options& options)
    : Procedure(ctx, options), saved_(FileId::Ponudnik) {}

BidderForm::~BidderForm() = default;

void BidderForm::begin() {
  request_ = ctx().globalRequest;
  response_ = rt::resp::Cancelled;
  ctx().globalRequest = rt::req::None;
  ctx().globalResponse = rt::resp::None;
  rt::useFile(ctx(), FileId::Ponudnik);
  usesFile_ = true;
  saved_ = ctx().buf(FileId::Ponudnik);
  bool insert = request_ != rt::req::Change;
  if (insert) request_ = rt::req::Insert;
  auto* host = ui().windows();
  if (!host) {
    leave();
    return;
  }
  take();
  win_ = host->openWindow(formSpec(edit_, insert), *this);
  if (insert) {
    win_->setEnabled("?DELETE", false);
    win_->setHidden("?DELETE", true);
  }
}

void BidderForm::onEvent(rt::Window& w, const rt::Event& e) {
  using K = rt::Event::Kind;
  switch (e.kind) {
    case K::Opened:
      w.display();
      w.focus(kEntries[0]);
      break;
    case K::Pressed:
      if (e.label == "?OK") {
        if (w.acceptAll()) confirm();
      } else if (e.label == "?DELETE") {
        remove();
      } else if (e.label == "?CANCEL") {
        response_ = rt::resp::Cancelled;
        leave();
      }
      break;
    case K::Alert:
      if (e.key == rt::AlertKey::CtrlApostrophe) recall(e.label);
      break;
    case K::CloseRequest:
      leave();
      break;
    default:
      break;
  }
}

RecordBuffer& BidderForm::record() { return ctx().buf(FileId::Ponudnik); }

void BidderForm::take() { edit_ = record().as<Ponudnik>(); }

void BidderForm::give() { record().as<Ponudnik>() = edit_; }

void BidderForm::confirm() {
  give();
  g().bidderHistory = edit_;
  g().bidderHistorySet = true;
  if (request_ == rt::req::Insert) insert();
  else change();
}

void BidderForm::insert() {
  auto& file = ctx().file(FileId::Ponudnik);
  if (file.add(ctx().buf(FileId::Ponudnik))) {
    response_ = rt::resp::Completed;
    leave();
    return;
  }
  rt::standardWarning(ctx(), 14, file.error());
  win_->focus(kEntries[0]);
}

void BidderForm::change() {
  for (;;) {
    response_ = rt::resp::Cancelled;
    win_->setBusy(true);
    int written = 0;
    if (!(ctx().buf(FileId::Ponudnik) == saved_)) written = rt::updateRecord(ctx(), FileId::Ponudnik, true);
    win_->setBusy(false);
    if (written == 0) {
      response_ = rt::resp::Completed;
      leave();
      return;
    }
    if (written == 2) {
      // Warning 38 has been shown; the form shows the other station's
      // version, and a second "&Potrdi" writes what it then shows.
      take();
      win_->display();
      win_->focus(kEntries[0]);
      return;
    }
    auto answer = rt::standardWarning(ctx(), 16, ctx().file(FileId::Ponudnik).error());
    if (answer == rt::Answer::Yes) continue;
    if (answer == rt::Answer::No) {
      leave();
      return;
    }
    win_->display();
    win_->focus(kEntries[0]);
    return;
  }
}

void BidderForm::remove() {
  rt::Message ask{"Opozorilo", "Brišem ponudnika?", rt::Icon::Question, {rt::btn::Da, rt::btn::Ne}, 1};
  if (ui().message(ask) != 0) {
    win_->focus("?CANCEL");
    return;
  }
  auto& file = ctx().file(FileId::Ponudnik);
  if (!file.erase()) ui().stopBox("Napaka pri delete ponudnika! Kliči RC!" + rt::runtimeErrorText(file.error()));
  leave();
}

void BidderForm::recall(const std::string& label) {
  auto& r = edit_;
  const Ponudnik& h = g().bidderHistory;
  if (label == kEntries[0]) r.naziv = h.naziv;
  else if (label == kEntries[1]) r.naslov = h.naslov;
  else if (label == kEntries[2]) r.posta = h.posta;
  else if (label == kEntries[3]) r.davcna = h.davcna;
  else return;
  win_->display(label);
}

void BidderForm::leave() {
  if (ended()) return;
  if (win_ && win_->isOpen()) win_->close();
  if (usesFile_) {
    rt::releaseFile(ctx(), FileId::Ponudnik);
    usesFile_ = false;
  }
  ctx().globalResponse = response_ ? response_ : rt::resp::Cancelled;
  end();
}

}  // namespace tdx::shell
