#include "runtime/qt_program.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include "runtime/qt_ui.h"

namespace tdx::rt {

QtProgram::QtProgram(Session& session, QtUi& ui) : Program(session), ui_(&ui) {}

QtProgram::~QtProgram() = default;

void QtProgram::waitUntilEnded(Procedure& p) {
  QEventLoop loop;
  waiting_[&p] = &loop;
  if (!p.ended() && !ui_->endStatus()) loop.exec();
  waiting_.erase(&p);
  // The program is ending: unwind the caller too, up to the event that
  // called the procedure.
  if (ui_->endStatus() && !p.ended()) throw ProgramEnd(*ui_->endStatus());
}

void QtProgram::calledEnded(Procedure& p) {
  auto it = waiting_.find(&p);
  if (it != waiting_.end()) it->second->quit();
}

void QtProgram::scheduleCleanup() {
  if (cleanupPosted_) return;
  cleanupPosted_ = true;
  int level = QThread::currentThread()->loopLevel();
  QTimer::singleShot(0, QCoreApplication::instance(), [this, level] { cleanupWhenSafe(level); });
}

void QtProgram::cleanupWhenSafe(int level) {
  // A procedure that ended and then opened a message box is still on the
  // stack below that box's event loop: wait until the loop is gone.
  if (QThread::currentThread()->loopLevel() > std::max(level, 1)) {
    QTimer::singleShot(20, QCoreApplication::instance(), [this, level] { cleanupWhenSafe(level); });
    return;
  }
  cleanupPosted_ = false;
  cleanup();
  if (quitWith_ && !running(quitWith_)) QCoreApplication::exit(ui_->endStatus().value_or(0));
}

}  // namespace tdx::rt
