#include "shell/pcenik.h"

#include "records/cp1250.h"
#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"

namespace tdx::shell {

using rt::ControlKind;
using rt::ControlSpec;

namespace {

namespace fs = std::filesystem;

std::string utf8Of(const fs::path& p) {
  auto u = p.u8string();
  return std::string(u.begin(), u.end());
}

fs::path pathOf(std::string_view bytes1250) {
  std::string u = cp1250::toUtf8(cp1250::trimRight(bytes1250));
  return fs::path(std::u8string(u.begin(), u.end()));
}

constexpr const char* kPrompt = "Izberite mapo za prenos podatkov (Išči) in pritisnite OK";

rt::WindowSpec transferSpec(std::string& path) {
  rt::WindowSpec s;
  s.title = "Priprava podatkov za eJN";
  s.positionName = "pcenik";
  s.resizable = false;
  s.width = 300;
  s.height = 104;
  auto& c = s.controls;
  ControlSpec image{"?IMAGE1", ControlKind::Image};
  image.text = "usb.jpg";
  image.icon = "usb.jpg";
  image.at = {6, 6, 40, 40};
  c.push_back(image);
  ControlSpec note{"?STRING1", ControlKind::String, kPrompt};
  note.font = "Verdana";
  note.fontSize = 8;
  note.at = {52, 12, 242, 24};
  c.push_back(note);
  ControlSpec entry{"?GLO:PATH", ControlKind::Entry};
  entry.picture = "@s250";
  entry.bold = true;
  entry.value = rt::bind(path, 250);
  entry.at = {6, 56, 234, 12};
  c.push_back(entry);
  ControlSpec look{"?LOOKUPFILE", ControlKind::Button, "Išči"};
  look.at = {244, 55, 50, 14};
  c.push_back(look);
  ControlSpec ok{"?OKBUTTON", ControlKind::Button, "&OK"};
  ok.icon = "OKCC.ICO";
  ok.at = {6, 80, 60, 16};
  ok.defaultButton = true;
  c.push_back(ok);
  ControlSpec cancel{"?CANCELBUTTON", ControlKind::Button, "Pr&eklic"};
  cancel.icon = "PREKLICC.ICO";
  cancel.at = {234, 80, 60, 16};
  c.push_back(cancel);
  return s;
}

}  // namespace

EjnTransfer::EjnTransfer(rt::Context& ctx, const rt::Options& options) : Procedure(ctx, options) {}

EjnTransfer::~EjnTransfer() = default;

void EjnTransfer::begin() {
  response_ = rt::resp::Cancelled;
  // Nobody else may hold the items file while it is copied.
  auto& items = ctx().file(FileId::Podatki);
  if (ctx().uses(FileId::Podatki) == 0) {
    if (items.open(OpenMode::exclusive())) {
      items.close();
    } else if (items.error().code == err::FileLocked) {
      ui().message(rt::Message{"Opozorilo", "Zaprite datoteko s podatki in poskusite znova!", rt::Icon::Stop,
                               {rt::btn::Ok}, 0});
      ctx().globalResponse = rt::resp::Cancelled;
      end();
      return;
    }
  }
  ctx().globalRequest = rt::req::None;
  ctx().globalResponse = rt::resp::None;
  rt::useFile(ctx(), FileId::Podatki);
  holdsItems_ = true;
  auto* host = ui().windows();
  if (!host) {
    finish();
    return;
  }
  win_ = host->openWindow(transferSpec(g().ejnPath), *this);
}

void EjnTransfer::onEvent(rt::Window& w, const rt::Event& e) {
  using K = rt::Event::Kind;
  switch (e.kind) {
    case K::Opened: {
      w.display();
      w.focus("?GLO:PATH");
      auto to = options().find("to");
      if (to != options().end()) {
        auto bytes = cp1250::fromUtf8(to->second);
        if (!bytes) {
          ui().message(rt::Message{"Napaka", "Ime mape ni v kodni tabeli Windows-1250: " + to->second,
                                   rt::Icon::Stop, {rt::btn::Ok}, 0});
          finish();
          return;
        }
        g().ejnPath = *bytes;
        w.display();
        copyAll();
      }
      break;
    }
    case K::Pressed:
      if (e.label == "?LOOKUPFILE") chooseFolder();
      else if (e.label == "?OKBUTTON") copyAll();
      else if (e.label == "?CANCELBUTTON") finish();
      break;
    case K::CloseRequest:
      finish();
      break;
    default:
      break;
  }
}

void EjnTransfer::chooseFolder() {
  fs::path start = g().ejnPath.empty() ? ctx().folder() : pathOf(g().ejnPath);
  auto chosen = ui().chooseFolder("Izberi mapo", start);
  if (!chosen) return;
  std::string name = utf8Of(*chosen);
  auto bytes = cp1250::fromUtf8(name);
  if (!bytes) {
    // A folder whose name the field cannot hold would be copied to some
    // other place: refuse it instead.
    ui().message(rt::Message{"Napaka", "Ime mape ni v kodni tabeli Windows-1250: " + name,
                             rt::Icon::Stop, {rt::btn::Ok}, 0});
    return;
  }
  if (bytes->size() > 250) {
    ui().message(rt::Message{"Napaka", "Ime mape je daljše od 250 znakov: " + name, rt::Icon::Stop,
                             {rt::btn::Ok}, 0});
    return;
  }
  g().ejnPath = *bytes;
  win_->display();
}

bool EjnTransfer::copy(FileId id, const char* progress, const char* failure) {
  win_->setText("?STRING1", progress);
  win_->display();
  auto& file = ctx().file(id);
  err::Error e;
  if (cp1250::trimRight(g().ejnPath).empty())
    e = err::Error::driver(err::PathNotFound, 0, "mapa za prenos ni izbrana");
  else if (file.copyTo(pathOf(g().ejnPath)))
    return true;
  else
    e = file.error();
  ui().message(rt::Message{"Napaka", std::string(failure) + "\n" + rt::runtimeErrorText(e), rt::Icon::Stop,
                           {rt::btn::Ok}, 0});
  return false;
}

void EjnTransfer::copyAll() {
  // The entry may have been typed into without being left.
  if (!win_->acceptAll()) return;
  win_->setText("?STRING1", "Prepisujem podatke. Prosim počakajte...");
  win_->display();
  if (holdsItems_) {
    rt::releaseFile(ctx(), FileId::Podatki);
    holdsItems_ = false;
  }
  ctx().file(FileId::Podatki).close();
  response_ = rt::resp::Cancelled;
  if (!copy(FileId::Podatki, "Poteka kopiranje Podatki.dat...", "Napaka pri kopiranju Podatki.dat")) return finish();
  if (recordFileExists(fileDef(FileId::Ponudnik), ctx().folder())) {
    ctx().file(FileId::Ponudnik).close();
    if (!copy(FileId::Ponudnik, "Prepisujem Ponudnik.dat. Prosim počakajte...", "Napaka pri kopiranju Ponudnik.dat"))
      return finish();
  }
  if (recordFileExists(fileDef(FileId::Paralela), ctx().folder())) {
    ctx().file(FileId::Paralela).close();
    if (!copy(FileId::Paralela, "Prepisujem Paralela.dat. Prosim počakajte...", "Napaka pri kopiranju Paralela.dat"))
      return finish();
  }
  response_ = rt::resp::Completed;
  finish();
}

void EjnTransfer::finish() {
  if (ended()) return;
  if (win_ && win_->isOpen()) win_->close();
  if (holdsItems_) {
    rt::releaseFile(ctx(), FileId::Podatki);
    holdsItems_ = false;
  }
  ctx().globalResponse = response_ ? response_ : rt::resp::Cancelled;
  end();
}

}  // namespace tdx::shell
