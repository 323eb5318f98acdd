#pragma once
// The program on the Qt runtime: a called procedure (a modal form) is
// waited for in a local event loop, so every other window stays painted;
// ended procedures are released after the event that ended them.

#include <QEventLoop>
#include <cstdint>
#include <map>

#include "runtime/procedure.h"

namespace tdx::rt {

class QtUi;

class QtProgram : public Program {
 public:
  QtProgram(Session& session, QtUi& ui);
  ~QtProgram() override;

  // The application's event loop ends once that procedure (the frame) has
  // ended and been released.
  void quitWhenEnded(std::uint64_t id) { quitWith_ = id; }

 protected:
  void waitUntilEnded(Procedure& p) override;
  void calledEnded(Procedure& p) override;
  void scheduleCleanup() override;

 private:
  void cleanupWhenSafe(int loopLevel);
  QtUi* ui_;
  std::map<Procedure*, QEventLoop*> waiting_;
  bool cleanupPosted_ = false;
  std::uint64_t quitWith_ = 0;
};

}  // namespace tdx::rt
