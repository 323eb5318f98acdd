#pragma once
// When an import that changes the offers file in place commits its writes.
//
// A commit of the rollback journal waits for the disk several times and
// writes every page its rows touched once more, into the journal; commits
// a quarter of a second apart cost a fraction of what a commit per batch
// of rows does, as a page touched again before the commit is written once.
// That is only for a file the import holds alone: shared with other
// windows, the file commits at the end of every batch, so that no other
// window finds it locked or stale between two ticks.
//
// Rows not yet committed are not counted, so whatever ends the import
// (a cancel, a killed process, a full disk) the count tells what the file
// holds, and the journal leaves the file whole.

#include <chrono>

namespace tdx::transfer {

class CommitPacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit CommitPacer(Clock::duration interval = std::chrono::milliseconds(250)) : interval_(interval) {}

  // At the start of a run; `heldAlone`: nobody else has the file open.
  void start(bool heldAlone);
  // At the end of a batch: is a commit due? Once true, the next interval
  // starts.
  bool dueAtBatchEnd();

 private:
  Clock::duration interval_;
  Clock::time_point last_{};
  bool heldAlone_ = false;
};

}  // namespace tdx::transfer
