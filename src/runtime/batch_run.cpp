#include "runtime/batch_run.h"

#include <cstdio>

#include "runtime/context.h"
#include "runtime/error_text.h"
#include "runtime/foreign_file.h"
#include "runtime/stdfiles.h"

namespace tdx::rt {

BatchRun::BatchRun(Context& ctx, BatchRunDef def, BatchJob& job)
    : ctx_(&ctx), def_(std::move(def)), job_(&job) {
  if (def_.batchSize < 1) def_.batchSize = 1;
}

std::string BatchRun::percentText(int percent) {
  char text[32];
  std::snprintf(text, sizeof text, "%3d%% Completed", percent);
  return text;
}

void BatchRun::start(std::function<void()> whenClosed) {
  whenClosed_ = std::move(whenClosed);
  state_ = BatchRunState{};
  state_.response = resp::Cancelled;
  ctx_->globalRequest = req::None;
  ctx_->globalResponse = resp::None;
  job_->prepare(*this);

  openFiles();
  state_.filesOpened = true;
  state_.recordsToProcess = job_->source().total();
  state_.recordsProcessed = 0;
  state_.recordsPerCycle = def_.batchSize;
  state_.percent = 0;

  ProgressSpec spec;
  spec.cancelLabel = def_.cancelLabel;
  spec.positionName = def_.name;
  ctx_->ui().runProgress(shared_from_this(), spec, def_.modal);
}

void BatchRun::openFiles() {
  for (const RunFile& f : def_.files) {
    if (auto* id = std::get_if<FileId>(&f.file)) useFile(*ctx_, *id);
    else openWithRecovery(*ctx_, *std::get<ForeignFile*>(f.file), f.createAllowed);
  }
}

void BatchRun::releaseFiles() {
  for (const RunFile& f : def_.files) {
    if (auto* id = std::get_if<FileId>(&f.file)) {
      releaseFile(*ctx_, *id);
      continue;
    }
    // Closing an exchange table writes its last rows: a failure there loses
    // rows the run has already counted, so it is never passed over.
    ForeignFile& foreign = *std::get<ForeignFile*>(f.file);
    if (foreign.isOpen() && !foreign.close()) ctx_->ui().stopBox(runtimeErrorText(foreign.error()));
  }
}

void BatchRun::opened(ProgressWindow& w) {
  state_.windowOpened = true;
  w.setTitle("Processing Records");
  w.setPercentText("0% Completed");
  w.setUserText(def_.userText);
  w.setPercent(0);
  BatchSource& source = job_->source();
  if (def_.readAhead) source.send("QUICKSCAN=on");
  sourceOpen_ = source.open();
  if (!sourceOpen_) {
    standardWarning(*ctx_, 36, source.error());
    // Nothing can be read from a reading that did not open: the window
    // closes as for a source without records.
    exhausted_ = true;
    return;
  }
  if (!fetch(w)) exhausted_ = true;
}

bool BatchRun::fetch(ProgressWindow& w) {
  BatchSource& source = job_->source();
  std::int64_t progress = 0;
  if (!source.next(progress)) {
    if (source.error().code != err::EndOfFile) standardWarning(*ctx_, 35, source.error(), def_.retrievalFileName);
    return false;
  }
  state_.recordsProcessed += progress;
  ++state_.recordsThisCycle;
  if (state_.percent < 100 && state_.recordsToProcess > 0) {
    std::int64_t p = state_.recordsProcessed * 100 / state_.recordsToProcess;
    state_.percent = int(p > 100 ? 100 : p);
  }
  if (state_.percent != state_.shownPercent) {
    state_.shownPercent = state_.percent;
    w.setPercent(state_.percent);
    w.setPercentText(percentText(state_.percent));
  }
  return true;
}

bool BatchRun::tick(ProgressWindow& w) {
  if (wrappedUp_) return false;
  if (exhausted_ || stopRequested_) {
    // No first record (or asked to stop): the window closes without the
    // run having completed.
    wrapUp();
    return false;
  }
  state_.recordsThisCycle = 0;
  while (state_.recordsThisCycle < state_.recordsPerCycle) {
    job_->row(*this);
    if (!fetch(w)) {
      state_.response = resp::Completed;
      w.setPercentText("Process Completed");
      wrapUp();
      return false;
    }
  }
  return true;
}

void BatchRun::cancelled() {
  // Between ticks: the record last handled was finished, and what was
  // written stays written.
  state_.response = resp::Cancelled;
  wrapUp();
}

void BatchRun::wrapUp() {
  if (wrappedUp_) return;
  wrappedUp_ = true;
  if (!state_.filesOpened) return;
  BatchSource& source = job_->source();
  if (def_.readAhead) source.send("QUICKSCAN=off");
  if (sourceOpen_) source.close();
  sourceOpen_ = false;
  releaseFiles();
  if (def_.ownClosing == OwnClosing::WhileWindowOpen) job_->finish(*this);
}

void BatchRun::closed() {
  if (closed_) return;
  // A window closed from outside comes here without a last tick.
  wrapUp();
  if (def_.ownClosing == OwnClosing::AfterWindowClosed && state_.filesOpened) job_->finish(*this);
  closed_ = true;
  ctx_->globalResponse = state_.response;
  if (whenClosed_) {
    auto done = std::move(whenClosed_);
    done();
  }
}

}  // namespace tdx::rt
