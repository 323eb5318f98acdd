#pragma once
// The progress run of a printed report: the pages are built behind a
// progress window whose timer handles one batch of records per tick, so
// every other window stays usable while a long report is laid out; the
// finished pages go to the print preview once the window has gone.
//
// The percentage is measured against a fixed expected count, not the
// records of the file: that is what the user is used to seeing (a long
// report sits at 100 % for the rest of its run).
//
//   opening -> no first record: the window closes, nothing is shown
//           -> the job refuses (bidder or buyer missing): nothing is shown
//           -> generating, a batch per tick -> completed -> preview
//   cancel ("&Prekini") at any time: the pages are discarded, no preview.
// The job's leave() runs on every way out, then `whenClosed`.

#include <functional>
#include <string>

#include "runtime/report_page.h"
#include "runtime/ui.h"

namespace tdx::reports {

class ReportJob {
 public:
  virtual ~ReportJob() = default;
  // Opens the reading and reads the first record; false when there is none
  // or it could not be read (the job has told the user why).
  virtual bool first() = 0;
  // Reads the next record; false at the end or after a read error.
  virtual bool next() = 0;
  // After the first record: the checks, then the report opened. False: the
  // run ends without a report.
  virtual bool open() = 0;
  // Prints the record last read.
  virtual void print() = 0;
  // The pages, with the closing bands.
  virtual report::Document complete() = 0;
  // The read-ahead hint to the files read ("QUICKSCAN=on" / "=off").
  virtual void readAhead(bool on) = 0;
  // Every way out: the reading closed, the report discarded, files released.
  virtual void leave() = 0;
};

struct ReportRunDef {
  std::string name;         // the procedure: its window-position section
  std::string userText;
  int expected = 1000;      // what the percentage is measured against
  int batchSize = 25;
  bool modal = false;
  std::string previewName;  // offered when the pages are saved
};

class ReportRun : public rt::TimedTask {
 public:
  ReportRun(rt::Ui& ui, ReportRunDef def, ReportJob& job, std::function<void()> whenClosed);

  // Shows the progress window; modal runs return when everything is over.
  static void start(const std::shared_ptr<ReportRun>& run);
  // Stops at the next tick as if cancelled (the frame closing).
  void requestStop() { stopRequested_ = true; }
  bool closedDown() const { return closed_; }

  void opened(rt::ProgressWindow& w) override;
  bool tick(rt::ProgressWindow& w) override;
  void cancelled() override;
  void closed() override;

 private:
  enum class State { Opening, Generating, Completed, Nothing };
  bool fetch(rt::ProgressWindow& w, bool first);

  rt::Ui* ui_;
  ReportRunDef def_;
  ReportJob* job_;
  std::function<void()> whenClosed_;
  State state_ = State::Opening;
  int processed_ = 0;
  int percent_ = 0;
  bool readAhead_ = false;
  bool stopRequested_ = false;
  bool closed_ = false;
};

}  // namespace tdx::reports
