#include "reports/report_run.h"

#include "runtime/batch_run.h"

namespace tdx::reports {

ReportRun::ReportRun(rt::Ui& ui, ReportRunDef def, ReportJob& job, std::function<void()> whenClosed)
    : ui_(&ui), def_(std::move(def)), job_(&job), whenClosed_(std::move(whenClosed)) {
  if (def_.batchSize < 1) def_.batchSize = 1;
  if (def_.expected < 1) def_.expected = 1;
}

void ReportRun::start(const std::shared_ptr<ReportRun>& run) {
  rt::ProgressSpec spec;
  spec.positionName = run->def_.name;
  run->ui_->runProgress(run, spec, run->def_.modal);
}

void ReportRun::opened(rt::ProgressWindow& w) {
  w.setTitle("Generating Report");
  w.setPercentText("0% Completed");
  w.setUserText(def_.userText);
  w.setPercent(0);
  job_->readAhead(true);
  readAhead_ = true;
  if (!job_->first()) {
    state_ = State::Nothing;
    return;
  }
  processed_ = 0;
  fetch(w, true);
  state_ = job_->open() ? State::Generating : State::Nothing;
}

// Counts a record read; the percentage text changes only with the whole
// percent, so the window is not repainted for every record.
bool ReportRun::fetch(rt::ProgressWindow& w, bool first) {
  if (!first && !job_->next()) return false;
  ++processed_;
  if (percent_ < 100) {
    const long long p = static_cast<long long>(processed_) * 100 / def_.expected;
    const int percent = p > 100 ? 100 : static_cast<int>(p);
    if (percent != percent_) {
      percent_ = percent;
      w.setPercent(percent_);
      w.setPercentText(rt::BatchRun::percentText(percent_));
    }
  }
  return true;
}

bool ReportRun::tick(rt::ProgressWindow& w) {
  if (state_ != State::Generating) return false;
  if (stopRequested_) {
    cancelled();
    return false;
  }
  for (int i = 0; i < def_.batchSize; ++i) {
    job_->print();
    if (!fetch(w, false)) {
      state_ = State::Completed;
      return false;
    }
  }
  return true;
}

void ReportRun::cancelled() { state_ = State::Nothing; }

void ReportRun::closed() {
  if (closed_) return;
  closed_ = true;
  if (readAhead_) job_->readAhead(false);
  // Whatever happens in the preview (a halt unwinding through it), the job
  // leaves and the procedure ends.
  struct Leave {
    ReportRun* run;
    ~Leave() {
      run->job_->leave();
      if (auto done = std::move(run->whenClosed_)) done();
    }
  } leave{this};
  if (state_ != State::Completed) return;
  const report::Document doc = job_->complete();
  ui_->preview(doc, def_.previewName);
}

}  // namespace tdx::reports
