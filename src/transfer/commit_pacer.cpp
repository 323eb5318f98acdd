#include "transfer/commit_pacer.h"

namespace tdx::transfer {

void CommitPacer::start(bool heldAlone) {
  heldAlone_ = heldAlone;
  last_ = Clock::now();
}

bool CommitPacer::dueAtBatchEnd() {
  if (!heldAlone_) return true;
  const Clock::time_point now = Clock::now();
  if (now - last_ < interval_) return false;
  last_ = now;
  return true;
}

}  // namespace tdx::transfer
