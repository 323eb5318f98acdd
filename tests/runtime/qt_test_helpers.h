#pragma once
// Driving Qt widgets in tests as a user would: keys sent through the
// application (so every event filter sees them), event queues drained,
// message boxes answered when they appear.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tdx::test {

// Delivers everything queued, the timers due within `ms` too.
inline void drain(int ms = 0) {
  QElapsedTimer t;
  t.start();
  do {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  } while (t.elapsed() < ms);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

inline void press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent down(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(w, &down);
  QKeyEvent up(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(w, &up);
}

inline void typeText(QWidget* w, const QString& text) {
  for (QChar c : text) press(w, 0, Qt::NoModifier, QString(c));
}

// Makes a window the active one, so that it gets focus events.
inline bool activate(QWidget* top) {
  top->show();
  top->raise();
  top->activateWindow();
  QApplication::setActiveWindow(top);
  drain();
  return top->isActiveWindow();
}

// Answers message boxes as they come: each answer is the text of a button
// without its "&"; what every box said is kept in `seen`.
class MessageAnswers {
 public:
  explicit MessageAnswers(std::vector<std::string> answers) : answers_(std::move(answers)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
  }
  std::vector<std::string> seen;

 private:
  void poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
    }
    if (!box || box == last_) return;
    last_ = box;
    seen.push_back((box->windowTitle() + ": " + box->text()).toStdString());
    QString want = next_ < answers_.size() ? QString::fromStdString(answers_[next_++]) : QString();
    QAbstractButton* chosen = box->defaultButton();
    for (QAbstractButton* b : box->buttons())
      if (!want.isEmpty() && b->text().remove('&') == want) chosen = b;
    if (chosen) chosen->click();
  }
  std::vector<std::string> answers_;
  std::size_t next_ = 0;
  QTimer timer_;
  QPointer<QMessageBox> last_;
};

}  // namespace tdx::test
