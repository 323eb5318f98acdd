// The progress window of the Qt runtime: 142 x 59 dialogue units, the bar
// from 0 to 100 with the user text centred above it and the percentage
// below, and the cancel button. A timer drives the task one batch per
// tick; a modal run waits in a local event loop, a modeless one runs beside
// the other windows.

#include <QEventLoop>
#include <QTimer>

#include "runtime/qt_ui.h"
#include "runtime/qt_window_host.h"
#include "runtime/window.h"

namespace tdx::rt {

namespace {

class ProgressRun : public QObject, public WindowEvents, public ProgressWindow {
 public:
  ProgressRun(QtUi& ui, std::shared_ptr<TimedTask> task, const ProgressSpec& spec, bool modal)
      : ui_(&ui), task_(std::move(task)) {
    WindowSpec s;
    s.title = spec.title;
    s.positionName = spec.positionName;
    s.width = 142;
    s.height = 59;
    s.resizable = false;
    s.modal = modal;
    ControlSpec user{"?USERTEXT", ControlKind::String};
    user.at = {4, 4, 134, 10};
    user.align = Align::Center;
    s.controls.push_back(user);
    ControlSpec bar{"?PROGRESS", ControlKind::Progress};
    bar.at = {4, 17, 134, 9};
    bar.value = bind(percent_);
    s.controls.push_back(bar);
    ControlSpec pct{"?PCTTEXT", ControlKind::String};
    pct.at = {4, 28, 134, 10};
    pct.align = Align::Center;
    s.controls.push_back(pct);
    ControlSpec cancel{"?PROGRESS:CANCEL", ControlKind::Button, spec.cancelLabel};
    cancel.icon = "PREKLICC.ICO";
    cancel.at = {41, 40, 60, 15};
    s.controls.push_back(cancel);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    window_ = ui.host().openWindow(s, *this);
  }

  bool finished() const { return finished_; }
  std::function<void()> onFinished;

  // ProgressWindow
  void setTitle(std::string_view t) override {
    if (window_) window_->setTitle(t);
  }
  void setUserText(std::string_view t) override {
    if (window_) window_->setText("?USERTEXT", t);
  }
  void setPercentText(std::string_view t) override {
    if (window_) window_->setText("?PCTTEXT", t);
  }
  void setPercent(int p) override {
    percent_ = std::int16_t(std::clamp(p, 0, 100));
    if (window_) window_->display("?PROGRESS");
  }

  void onEvent(Window&, const Event& e) override {
    switch (e.kind) {
      case Event::Kind::Opened:
        task_->opened(*this);
        if (!finished_) timer_.start();
        break;
      case Event::Kind::Pressed:
      case Event::Kind::CloseRequest:
        task_->cancelled();
        finish();
        break;
      default:
        break;
    }
  }

 private:
  void tick() {
    bool more = false;
    ui_->guard([&] { more = task_->tick(*this); });
    if (ui_->endStatus()) {
      timer_.stop();
      return;
    }
    if (!more) finish();
  }
  void finish() {
    if (finished_) return;
    finished_ = true;
    timer_.stop();
    if (window_) window_->close();
    // The task hears of the end after its window has gone.
    ui_->guard([&] { task_->closed(); });
    if (onFinished) onFinished();
  }

  QtUi* ui_;
  std::shared_ptr<TimedTask> task_;
  std::unique_ptr<Window> window_;
  QTimer timer_;
  std::int16_t percent_ = 0;
  bool finished_ = false;
};

}  // namespace

void QtUi::runProgress(std::shared_ptr<TimedTask> task, const ProgressSpec& spec, bool modal) {
  if (endStatus_) return;
  auto* run = new ProgressRun(*this, std::move(task), spec, modal);
  if (modal) {
    QEventLoop loop;
    run->onFinished = [&loop] { loop.quit(); };
    if (!run->finished() && !endStatus_) loop.exec();
    run->onFinished = nullptr;
    run->deleteLater();
    if (endStatus_) throw ProgramEnd(*endStatus_);
    return;
  }
  run->onFinished = [run] { run->deleteLater(); };
}

}  // namespace tdx::rt
