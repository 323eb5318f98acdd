#include "runtime/headless_ui.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <ostream>

#include "records/cp1250.h"

namespace tdx::rt {

std::string withoutMnemonic(std::string_view label) {
  std::string out;
  for (std::size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '&') {
      if (i + 1 < label.size() && label[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += label[i];
  }
  return out;
}

std::string oneLine(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' || text[i] == '\r') out += " | ";
    else out += text[i];
  }
  return out;
}

namespace {

bool sameButton(std::string_view a, std::string_view b) {
  return cp1250::equalNoCase(a, b);
}

class HeadlessProgress : public ProgressWindow {
 public:
  explicit HeadlessProgress(std::vector<std::string>& log) : log_(log) {}
  void setTitle(std::string_view t) override { log_.push_back("title: " + std::string(t)); }
  void setUserText(std::string_view t) override { log_.push_back("text: " + std::string(t)); }
  void setPercentText(std::string_view t) override { log_.push_back("percent: " + std::string(t)); }
  void setPercent(int) override {}

 private:
  std::vector<std::string>& log_;
};

}  // namespace

HeadlessUi::HeadlessUi() : windows_(std::make_unique<HeadlessWindowHost>(*this)) {}

HeadlessUi::~HeadlessUi() = default;

void HeadlessUi::line(std::string text) {
  if (echo_) *echo_ << text << '\n' << std::flush;
  lines_.push_back(std::move(text));
}

std::optional<std::string> HeadlessUi::nextAnswer() {
  if (answers_.empty()) return std::nullopt;
  auto a = answers_.front();
  answers_.pop_front();
  return a;
}

int HeadlessUi::message(const Message& m) {
  messages_.push_back(m);
  line(m.caption + ": " + oneLine(m.text));
  if (m.buttons.size() <= 1) return 0;
  if (auto a = nextAnswer()) {
    for (std::size_t i = 0; i < m.buttons.size(); ++i)
      if (sameButton(withoutMnemonic(m.buttons[i]), *a)) return int(i);
  }
  return m.defaultButton;
}

void HeadlessUi::stopBox(std::string_view text) {
  line("Stop: " + oneLine(text));
  if (!answers_.empty() && sameButton(answers_.front(), "Abort")) {
    answers_.pop_front();
    line("Halt: " + oneLine(text));
    throw ProgramEnd(kHaltStatus, std::string(text));
  }
}

void HeadlessUi::haltBox(std::string_view text) {
  line("Halt: " + oneLine(text));
  throw ProgramEnd(kHaltStatus, std::string(text));
}

int HeadlessUi::openDocument(const std::filesystem::path& document) {
  line("open: " + document.filename().string());
  if (onOpenDocument) return onOpenDocument(document);
  std::error_code ec;
  return std::filesystem::exists(document, ec) ? 33 : 2;
}

int HeadlessUi::runProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::filesystem::path& folder) {
  QProcess p;
  p.setWorkingDirectory(QString::fromStdString(folder.string()));
  QStringList a;
  for (const auto& s : args) a << QString::fromStdString(s);
  p.setProcessChannelMode(QProcess::ForwardedChannels);
  p.start(QString::fromStdString(program), a);
  if (!p.waitForStarted()) return -1;
  p.waitForFinished(-1);
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

std::optional<std::filesystem::path> HeadlessUi::chooseFolder(std::string_view,
                                                              const std::filesystem::path&) {
  if (folders_.empty()) return std::nullopt;
  auto f = folders_.front();
  folders_.pop_front();
  return f;
}

void HeadlessUi::runProgress(std::shared_ptr<TimedTask> task, const ProgressSpec&, bool) {
  progress_.clear();
  HeadlessProgress w(progress_);
  int ticks = 0;
  int cancelAt = cancelAfter_;
  cancelAfter_ = -1;
  task->opened(w);
  for (;;) {
    if (cancelAt >= 0 && ticks >= cancelAt) {
      task->cancelled();
      break;
    }
    if (!task->tick(w)) break;
    ++ticks;
  }
  task->closed();
}

void HeadlessUi::preview(const report::Document& doc, std::string_view defaultName) {
  if (onPreview) onPreview(doc, defaultName);
}

}  // namespace tdx::rt
