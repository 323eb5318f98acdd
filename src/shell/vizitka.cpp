#include "shell/vizitka.h"

#include "records/layouts.h"
#include "runtime/context.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"

namespace tdx::shell {

using rt::ControlKind;
using rt::ControlSpec;

namespace {

constexpr const char* kTextFont = "Trebuchet MS";

ControlSpec line(const char* label, const char* text, rt::Rect at, bool bold = false) {
  ControlSpec c{label, ControlKind::String, text};
  c.at = at;
  c.font = kTextFont;
  c.fontSize = 9;
  c.bold = bold;
  c.align = rt::Align::Center;
  return c;
}

ControlSpec panel(const char* label, rt::Rect at) {
  ControlSpec c{label, ControlKind::Panel};
  c.at = at;
  return c;
}

rt::WindowSpec aboutSpec(Kupec& buyer) {
  rt::WindowSpec s;
  s.title = "Vizitka";
  s.positionName = "vizitka";
  s.resizable = false;
  s.width = 220;
  s.height = 172;
  auto& c = s.controls;
  c.push_back(panel("?PANEL1", {4, 4, 212, 30}));
  c.push_back(line("?MAKER1", "Oddelek za razvoj aplikacij", {8, 8, 204, 10}, true));
  c.push_back(line("?MAKER2", "Zavod Lipnik za zdravstveno informatiko", {8, 20, 204, 10}));
  c.push_back(panel("?PANEL2", {4, 38, 212, 42}));
  c.push_back(line("?INFO", "Informacije o programu:", {8, 42, 204, 10}, true));
  c.push_back(line("?AUTHOR", "Avtor: ZLZI-ORA", {8, 54, 204, 10}));
  c.push_back(line("?PLATFORM", "Razvojno okolje: Qt 6 / C++20", {8, 66, 204, 10}));
  c.push_back(panel("?PANEL3", {4, 84, 212, 42}));
  c.push_back(line("?USER", "Uporabnik:", {8, 88, 204, 10}, true));
  ControlSpec naz01 = line("?KUP:NAZ01", "", {8, 100, 204, 10});
  naz01.picture = "@s35";
  naz01.value = rt::bind(buyer.naz01);
  c.push_back(naz01);
  ControlSpec naz02 = line("?KUP:NAZ02", "", {8, 112, 204, 10});
  naz02.picture = "@s35";
  naz02.value = rt::bind(buyer.naz02);
  c.push_back(naz02);
  c.push_back(line("?PHONE", "Tel.: 01 520 47 83", {8, 132, 204, 10}));
  ControlSpec ok{"?OKBUTTON", ControlKind::Button, "&OK"};
  ok.icon = "OKCC.ICO";
  ok.at = {80, 150, 60, 16};
  ok.defaultButton = true;
  c.push_back(ok);
  return s;
}

}  // namespace

AboutWindow::AboutWindow(rt::Context& ctx, const rt::Options& options) : Procedure(ctx, options) {}

AboutWindow::~AboutWindow() = default;

void AboutWindow::begin() {
  ctx().globalRequest = rt::req::None;
  ctx().globalResponse = rt::resp::None;
  rt::useFile(ctx(), FileId::Kupec);
  usesFile_ = true;
  auto* host = ui().windows();
  auto& buyer = ctx().buf(FileId::Kupec);
  buyer.clear();
  auto& file = ctx().file(FileId::Kupec);
  file.setFileOrder();
  // An empty buyer file leaves the user lines blank.
  if (!file.next(buyer)) buyer.clear();
  if (!host) {
    leave();
    return;
  }
  win_ = host->openWindow(aboutSpec(buyer.as<Kupec>()), *this);
}

void AboutWindow::onEvent(rt::Window& w, const rt::Event& e) {
  using K = rt::Event::Kind;
  switch (e.kind) {
    case K::Opened:
      w.display();
      w.focus("?OKBUTTON");
      break;
    case K::Pressed:
      if (e.label == "?OKBUTTON") {
        response_ = rt::resp::Completed;
        leave();
      }
      break;
    case K::CloseRequest:
      leave();
      break;
    default:
      break;
  }
}

void AboutWindow::leave() {
  if (ended()) return;
  if (win_ && win_->isOpen()) win_->close();
  if (usesFile_) {
    rt::releaseFile(ctx(), FileId::Kupec);
    usesFile_ = false;
  }
  ctx().globalResponse = response_ ? response_ : rt::resp::Cancelled;
  end();
}

}  // namespace tdx::shell
