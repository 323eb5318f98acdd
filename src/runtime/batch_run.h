#pragma once
// The batch progress run: the one engine behind every export, import and
// the packaging check.
//
// A run is its files, its source, its batch size, its user text, its
// window-position name, the procedure's row action and its closing steps.
// It opens its files with recovery, shows the progress window and handles
// one batch per timer tick, so every other window stays usable. Progress is
// measured in records or bytes, whatever the source reports for each record
// read; the percentage text only changes when the whole percent does.
//
// The closing steps run on every way out (completed, cancelled, no records,
// the window closed from outside): the source is closed and the files are
// released, then the procedure's own closing steps run, either while the
// progress window is still up (the exports: their summary belongs to the
// run) or after it has gone (the imports). Last, the global response tells
// whether the run completed.
//
// Headless, the ticks run back to back and a started run has ended by the
// time start() returns.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "records/catalogue.h"
#include "records/errors.h"
#include "runtime/ui.h"

namespace tdx::rt {

class Context;
class ForeignFile;

// Where a run's records come from: a record file in key or file order
// (optionally joined), a dBase table, the semicolon file. A record read
// lands wherever the procedure's row action looks for it (the context's
// record buffers, the source's own row).
class BatchSource {
 public:
  virtual ~BatchSource() = default;
  // The total progress is measured against (a record count, or a size in
  // bytes); asked once the run's files are open.
  virtual std::int64_t total() = 0;
  // Starts reading at the first record; false (see error()) when the
  // reading cannot be opened.
  virtual bool open() = 0;
  // Reads the next record. `progress` is what it adds to the records
  // processed: 1, or its size in bytes. False at the end (error 33) or when
  // reading failed (any other error).
  virtual bool next(std::int64_t& progress) = 0;
  virtual const err::Error& error() const = 0;
  virtual void close() {}
  // Driver options to the files it reads ("QUICKSCAN=on").
  virtual void send(std::string_view /*command*/) {}
};

// A file the run opens with recovery and releases on the way out: a record
// file of the catalogue (created when missing if the catalogue allows it),
// or an exchange table.
struct RunFile {
  std::variant<FileId, ForeignFile*> file;
  bool createAllowed = true;  // for exchange tables; record files follow the catalogue
  RunFile(FileId id) : file(id) {}  // NOLINT: a list of files reads naturally
  RunFile(ForeignFile* f, bool create = true) : file(f), createAllowed(create) {}  // NOLINT
};

enum class OwnClosing { WhileWindowOpen, AfterWindowClosed };

struct BatchRunDef {
  std::string name;  // the procedure's name: its window-position section
  std::string userText;
  int batchSize = 25;
  std::vector<RunFile> files;
  // "QUICKSCAN=on" to the source once the files are open, "=off" at the end.
  bool readAhead = false;
  // Text 1 of warning 35 when reading fails: empty in the exports and
  // imports ("from the  file"), "podatki" in the packaging check.
  std::string retrievalFileName;
  std::string cancelLabel = "&Prekini";
  OwnClosing ownClosing = OwnClosing::WhileWindowOpen;
  // Modal: start() returns when the run has closed, on the caller's context.
  bool modal = false;
};

struct BatchRunState {
  std::int64_t recordsToProcess = 0;
  std::int64_t recordsProcessed = 0;
  int recordsPerCycle = 0;
  int recordsThisCycle = 0;
  int percent = 0;
  int shownPercent = 0;
  int response = 2;  // resp::Cancelled until the source is exhausted
  bool filesOpened = false;
  bool windowOpened = false;
  std::int64_t rowCounter = 0;  // rows written (or read), for the summary
};

class BatchRun;

// The procedure's part of a run.
class BatchJob {
 public:
  virtual ~BatchJob() = default;
  // Own start steps, before the files are opened (the exports recreate
  // their target here).
  virtual void prepare(BatchRun& /*run*/) {}
  virtual BatchSource& source() = 0;
  // The row action, on the record the source has just read.
  virtual void row(BatchRun& run) = 0;
  // Own closing steps; run only when the files were opened.
  virtual void finish(BatchRun& /*run*/) {}
};

class BatchRun : public TimedTask, public std::enable_shared_from_this<BatchRun> {
 public:
  // The job outlives the run's use of it: it is not touched after the
  // run has closed.
  BatchRun(Context& ctx, BatchRunDef def, BatchJob& job);

  // Prepares, opens the files and shows the progress window. `whenClosed`
  // runs last, after the closing steps and the global response (a started
  // procedure ends there). Must be called on a shared_ptr.
  void start(std::function<void()> whenClosed = {});
  // Stops at the next tick as if cancelled (the frame closing a started run).
  void requestStop() { stopRequested_ = true; }

  Context& ctx() { return *ctx_; }
  const BatchRunDef& def() const { return def_; }
  BatchRunState& state() { return state_; }
  const BatchRunState& state() const { return state_; }
  bool closedDown() const { return closed_; }

  // The percentage text of a percent: "  7% Completed".
  static std::string percentText(int percent);

  void opened(ProgressWindow& w) override;
  bool tick(ProgressWindow& w) override;
  void cancelled() override;
  void closed() override;

 private:
  void openFiles();
  void releaseFiles();
  // Reads the next record; false when the source has ended.
  bool fetch(ProgressWindow& w);
  // The source closed, the files released and, while the window is still up,
  // the own closing steps; once.
  void wrapUp();

  Context* ctx_;
  BatchRunDef def_;
  BatchJob* job_;
  BatchRunState state_;
  std::function<void()> whenClosed_;
  bool sourceOpen_ = false;
  bool exhausted_ = false;
  bool stopRequested_ = false;
  bool wrappedUp_ = false;
  bool closed_ = false;
};

}  // namespace tdx::rt
