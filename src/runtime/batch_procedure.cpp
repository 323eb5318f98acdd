#include "runtime/batch_procedure.h"

namespace tdx::rt {

void BatchProcedure::begin() {
  BatchJob& job = *this;
  run_ = std::make_shared<BatchRun>(ctx(), definition(), job);
  run_->start([this] { end(); });
}

void BatchProcedure::requestClose() {
  if (!run_ || run_->closedDown()) {
    end();
    return;
  }
  run_->requestStop();
}

}  // namespace tdx::rt
