#pragma once
// A procedure that is one batch progress run: the exports, the imports, the
// packaging check. It describes its run and does its row action; the run
// does the rest.
//
// Started, it runs beside the other windows and ends when its progress
// window has closed. A definition with `modal` set runs on the caller's
// context and begin() returns only then (the price-list import on the
// frame's context).

#include <memory>

#include "runtime/batch_run.h"
#include "runtime/procedure.h"

namespace tdx::rt {

class BatchProcedure : public Procedure, protected BatchJob {
 public:
  using Procedure::Procedure;

  void begin() override;
  // The frame closing: the run stops at its next tick, with its closing
  // steps, and the procedure ends when its window has gone.
  void requestClose() override;

 protected:
  virtual BatchRunDef definition() = 0;
  BatchRun& run() { return *run_; }

 private:
  std::shared_ptr<BatchRun> run_;
};

}  // namespace tdx::rt
