#include "shell/main_frame.h"

#include "records/cp1250.h"
#include "records/layouts.h"
#include "runtime/error_text.h"
#include "runtime/stdfiles.h"
#include "runtime/ui.h"
#include "shell/main_frame_menu.h"
#include "shell/status_clock.h"

namespace tdx::shell {

namespace {

constexpr int kStatusDateZone = 3;
constexpr int kStatusTimeZone = 4;
constexpr int kTimerHundredths = 100;

void warnStop(rt::Ui& ui, const char* text) {
  ui.message(rt::Message{"Opozorilo", text, rt::Icon::Stop, {rt::btn::Ok}, 0});
}

}  // namespace

MainFrame::MainFrame(rt::Context& ctx, const rt::Options& options) : Procedure(ctx, options) {}

MainFrame::~MainFrame() = default;

void MainFrame::begin() {
  ctx().globalRequest = rt::req::None;
  ctx().globalResponse = rt::resp::None;

  // Before any file is opened, so that a missing tender is reported and
  // never created.
  if (!recordFileExists(fileDef(FileId::Podatki), ctx().folder())) {
    warnStop(ui(), "Ne obstaja datoteka podatki.dat!");
    ctx().globalResponse = rt::resp::Cancelled;
    end();
    return;
  }

  rt::useFile(ctx(), FileId::Verant);
  rt::useFile(ctx(), FileId::Podatki);
  filesOpened_ = true;

  rt::WindowHost* host = ui().windows();
  if (host) frame_ = host->openFrame(mainFrameSpec(ctx().session().program()), *this);

  auto& items = ctx().file(FileId::Podatki);
  auto& item = ctx().buf(FileId::Podatki);
  item.clear();
  items.setFileOrder();
  bool read = items.next(item);
  g().applicantTaxNumber = std::string(item.as<Podatki>().doba.raw());
  if (!read && items.records() == 0) {
    warnStop(ui(), "Datoteka podatki.dat je prazna!");
    closeFrame();
    return;
  }
  if (!read) ui().stopBox(rt::runtimeErrorText(items.error()));

  g().psk = item.as<Podatki>().skup;
  rt::releaseFile(ctx(), FileId::Podatki);
  if (items.isOpen()) {
    if (!items.close()) ui().stopBox(rt::runtimeErrorText(items.error()));
  }
  g().csvFileName = "paralela.csv";

  // The rebuild opens the file exclusively by itself; it fails while
  // another program holds the file.
  if (!items.build()) ui().stopBox(rt::runtimeErrorText(items.error()));

  if (frame_) {
    frame_->setTimer(kTimerHundredths);
    refreshStatus();
  }
}

void MainFrame::onEvent(rt::Window&, const rt::Event& e) {
  using K = rt::Event::Kind;
  switch (e.kind) {
    case K::Opened:
      opened();
      break;
    case K::Timer:
      refreshStatus();
      break;
    case K::Pressed:
      command(e.label);
      break;
    case K::CloseRequest:
      closeFrame();
      break;
    case K::GainFocus:
    case K::Resized:
      if (frame_) frame_->display();
      break;
    default:
      break;
  }
}

void MainFrame::opened() {
  nameApplicant();
  if (ctx().session().program().has("brpodatki")) startupBrowser_ = ctx().session().program().start("brpodatki");
  if (frame_) frame_->display();
}

void MainFrame::nameApplicant() {
  auto& g = this->g();
  std::string_view tax = cp1250::trimRight(g.applicantTaxNumber);
  if (tax.empty()) return;
  rt::useFile(ctx(), FileId::Verant);
  auto& applicant = ctx().buf(FileId::Verant);
  applicant.clear();
  applicant.as<Verant>().davcna.set(g.applicantTaxNumber);
  if (ctx().file(FileId::Verant).get(Key::VRNT_KDAVCNA, applicant))
    g.applicantName = std::string(applicant.as<Verant>().naziv.view());
  else
    g.applicantName = cp1250::fromUtf8("neznani prijavitelj").value_or("");
  rt::releaseFile(ctx(), FileId::Verant);
  if (!frame_) return;
  // The tax number keeps its full width of 8, blanks and all.
  std::string tax8 = g.applicantTaxNumber;
  tax8.resize(8, ' ');
  std::string title = std::string(cp1250::trimRight(kFrameTitle)) + " (Prijavitelj: " + cp1250::toUtf8(tax8) + " " +
                      cp1250::toUtf8(cp1250::trimRight(g.applicantName)) + ")";
  frame_->setTitle(title);
}

void MainFrame::refreshStatus() {
  if (!frame_) return;
  std::tm now = localNow();
  frame_->setStatus(kStatusDateZone, statusDate(now));
  frame_->setStatus(kStatusTimeZone, statusTime(now));
}

void MainFrame::command(const std::string& label) {
  const Command* c = findCommand(label);
  if (!c) return;
  auto& program = ctx().session().program();
  // The items browser opened at start goes with the first command,
  // whatever it is.
  if (startupBrowser_) {
    auto id = startupBrowser_;
    startupBrowser_ = 0;
    program.requestClose(id);
  }
  switch (c->action) {
    case Action::PrinterSetup:
      ui().printerSetup();
      break;
    case Action::Start:
      if (program.has(c->procedure)) program.start(c->procedure);
      break;
    case Action::Call:
      if (program.has(c->procedure)) program.call(c->procedure, ctx());
      break;
    case Action::Bidder:
      bidderCommand();
      break;
    case Action::Document:
      rt::openDocument(ctx(), c->document);
      break;
    case Action::Cascade:
      if (frame_) frame_->cascade();
      break;
    case Action::Exit:
      closeFrame();
      break;
  }
}

void MainFrame::bidderCommand() {
  auto& program = ctx().session().program();
  if (!program.has("upponud")) return;
  rt::FileUse use(ctx(), FileId::Ponudnik);
  auto& bidder = ctx().buf(FileId::Ponudnik);
  auto& file = ctx().file(FileId::Ponudnik);
  bidder.clear();
  file.setFileOrder();
  ctx().globalRequest = file.next(bidder) ? rt::req::Change : rt::req::Insert;
  if (ctx().globalRequest == rt::req::Insert) bidder.clear();
  program.call("upponud", ctx());
}

void MainFrame::requestClose() { closeFrame(); }

void MainFrame::closeFrame() {
  if (closing_ || ended()) return;
  closing_ = true;
  // The children go first, each closing as its user would close it.
  ctx().session().program().closeAll();
  if (filesOpened_) {
    rt::releaseFile(ctx(), FileId::Verant);
    filesOpened_ = false;
  }
  if (frame_ && frame_->isOpen()) frame_->close();
  if (ctx().globalResponse == rt::resp::None) ctx().globalResponse = rt::resp::Cancelled;
  end();
}

}  // namespace tdx::shell
