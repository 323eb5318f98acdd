#include "runtime/batch_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/batch_procedure.h"
#include "runtime/context.h"
#include "runtime/foreign_file.h"
#include "runtime/headless_ui.h"
#include "support/temp_folder.h"

namespace tdx::rt {
namespace {

// Everything the run does that a test looks at, in order.
using Log = std::vector<std::string>;

// Records 1..n, each of `size` progress units; optionally a read failure at
// one record, or a reading that does not open.
class FakeSource : public BatchSource {
 public:
  FakeSource(Log& log, int records, std::int64_t size = 1) : log_(&log), records_(records), size_(size) {}
  int failAt = 0;
  bool openFails = false;
  std::int64_t counted = -1;  // total(), when it is to differ from the records
  int current = 0;

  std::int64_t total() override { return counted >= 0 ? counted : records_ * size_; }
  bool open() override {
    if (openFails) {
      error_ = err::Error::of(err::FileNotOpen);
      return false;
    }
    current = 0;
    return true;
  }
  bool next(std::int64_t& progress) override {
    if (current + 1 == failAt) {
      error_ = err::Error::driver(err::FileSystem, 11, "disk I/O error");
      return false;
    }
    if (current == records_) {
      error_ = err::Error::of(err::EndOfFile);
      return false;
    }
    ++current;
    progress = size_;
    return true;
  }
  const err::Error& error() const override { return error_; }
  void close() override { log_->push_back("source closed"); }
  void send(std::string_view c) override { log_->push_back(std::string(c)); }

 private:
  Log* log_;
  int records_;
  std::int64_t size_;
  err::Error error_;
};

// An exchange table as the run sees it.
class FakeTable : public ForeignFile {
 public:
  explicit FakeTable(Log& log) : log_(&log) {}
  std::vector<err::Error> openErrors;  // answers of open(), in turn; then success
  bool createFails = false;
  bool closeFails = false;
  bool open_ = false;

  std::string messageName() const override { return "paraldbf.dbf"; }
  bool isOpen() const override { return open_; }
  bool open() override {
    log_->push_back("table open");
    if (!openErrors.empty()) {
      error_ = openErrors.front();
      openErrors.erase(openErrors.begin());
      return false;
    }
    return open_ = true;
  }
  bool create() override {
    log_->push_back("table create");
    if (createFails) error_ = err::Error::of(err::AccessDenied);
    return !createFails;
  }
  bool close() override {
    log_->push_back("table closed");
    open_ = false;
    if (closeFails) error_ = exchangeDetail();
    return !closeFails;
  }
  void send(std::string_view c) override { log_->push_back("table " + std::string(c)); }
  const err::Error& error() const override { return error_; }

 private:
  static err::Error exchangeDetail() {
    err::Error e = err::Error::driver(err::FileSystem, 28, "PARALDBF.DBF: No space left on device");
    return e;
  }
  Log* log_;
  err::Error error_;
};

class FakeJob : public BatchJob {
 public:
  FakeJob(Log& log, FakeSource& source) : log_(&log), source_(&source) {}
  std::vector<int> rows;
  BatchSource& source() override { return *source_; }
  void prepare(BatchRun& run) override {
    log_->push_back("prepare");
    run.ctx().globalResponse = 7;  // cleared before: the run sets it at the end
  }
  void row(BatchRun& run) override {
    rows.push_back(source_->current);
    ++run.state().rowCounter;
  }
  void finish(BatchRun& run) override {
    log_->push_back("finish " + std::to_string(run.state().rowCounter) + " rows, response " +
                    std::to_string(run.state().response));
  }

 private:
  Log* log_;
  FakeSource* source_;
};

// The headless runtime, telling when the progress window goes away.
class WindowWatchingUi : public HeadlessUi {
 public:
  explicit WindowWatchingUi(Log& log) : log_(&log) {}
  void runProgress(std::shared_ptr<TimedTask> task, const ProgressSpec& spec, bool modal) override {
    specs.push_back(spec);
    auto watched = std::make_shared<Watch>(task, *log_);
    HeadlessUi::runProgress(watched, spec, modal);
  }
  std::vector<ProgressSpec> specs;

 private:
  struct Watch : TimedTask {
    Watch(std::shared_ptr<TimedTask> t, Log& l) : task(std::move(t)), log(&l) {}
    void opened(ProgressWindow& w) override { task->opened(w); }
    bool tick(ProgressWindow& w) override {
      log->push_back("tick");
      return task->tick(w);
    }
    void cancelled() override { task->cancelled(); }
    void closed() override {
      log->push_back("window closed");
      task->closed();
    }
    std::shared_ptr<TimedTask> task;
    Log* log;
  };
  Log* log_;
};

class BatchRunTest : public ::testing::Test {
 protected:
  test::TempFolder dir{"batch"};
  Log log;
  WindowWatchingUi ui{log};
  Session session{ui, dir.path()};
  Context ctx{session};

  BatchRunDef def(int batch = 25) {
    BatchRunDef d;
    d.name = "izparvdbf";
    d.userText = "Poteka prenos v paraldbf.dbf";
    d.batchSize = batch;
    return d;
  }
  // Runs to the end; the job's rows and the log tell the rest.
  void run(BatchRunDef d, FakeJob& job) {
    auto r = std::make_shared<BatchRun>(ctx, std::move(d), job);
    r->start([this] { log.push_back("ended"); });
  }
  std::vector<std::string> without(const char* entry) const {
    std::vector<std::string> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out), [&](const auto& s) { return s != entry; });
    return out;
  }
};

TEST_F(BatchRunTest, PercentTextAdvancesByWholePercentsAndShowsOneHundredBeforeCompleted) {
  FakeSource source(log, 1000);
  FakeJob job(log, source);
  run(def(), job);

  std::vector<std::string> expected = {"title: Processing Records", "percent: 0% Completed",
                                       "text: Poteka prenos v paraldbf.dbf"};
  for (int p = 1; p <= 100; ++p) expected.push_back("percent: " + BatchRun::percentText(p));
  expected.push_back("percent: Process Completed");
  EXPECT_EQ(ui.progressLog(), expected);
  EXPECT_EQ(BatchRun::percentText(7), "  7% Completed");
  EXPECT_EQ(BatchRun::percentText(100), "100% Completed");

  ASSERT_EQ(job.rows.size(), 1000u);
  EXPECT_EQ(job.rows.front(), 1);
  EXPECT_EQ(job.rows.back(), 1000);
  // 25 rows a tick: 40 full batches, the last one ends in the end of the source.
  EXPECT_EQ(std::count(log.begin(), log.end(), "tick"), 40);
  EXPECT_EQ(ctx.globalResponse, resp::Completed);
  ASSERT_EQ(ui.specs.size(), 1u);
  EXPECT_EQ(ui.specs[0].positionName, "izparvdbf");
  EXPECT_EQ(ui.specs[0].cancelLabel, "&Prekini");
  EXPECT_TRUE(ui.transcript().empty());
}

TEST_F(BatchRunTest, ProgressInBytesIsCappedWhenThereIsMoreThanWasCounted) {
  FakeSource source(log, 15, 100);
  source.counted = 1000;  // ten records' worth counted, fifteen read
  FakeJob job(log, source);
  run(def(4), job);
  std::vector<std::string> percents;
  for (const auto& l : ui.progressLog())
    if (l.rfind("percent: ", 0) == 0) percents.push_back(l.substr(9));
  std::vector<std::string> expected = {"0% Completed"};
  for (int p = 10; p <= 100; p += 10) expected.push_back(BatchRun::percentText(p));
  expected.push_back("Process Completed");
  EXPECT_EQ(percents, expected);
  EXPECT_EQ(job.rows.size(), 15u);
}

TEST_F(BatchRunTest, ClosingStepsComeInTheirOrderOnEveryWayOut) {
  struct Case {
    const char* name;
    int records;
    int cancelAfter;
    OwnClosing own;
    std::vector<std::string> tail;  // the log from the release of the files on
    int rows;
    int response;
  };
  const std::vector<Case> cases = {
      {"completed, export", 30, -1, OwnClosing::WhileWindowOpen,
       {"source closed", "table closed", "finish 30 rows, response 1", "window closed", "ended"}, 30, resp::Completed},
      {"completed, import", 30, -1, OwnClosing::AfterWindowClosed,
       {"source closed", "table closed", "window closed", "finish 30 rows, response 1", "ended"}, 30, resp::Completed},
      {"cancelled after two batches", 100, 2, OwnClosing::WhileWindowOpen,
       {"source closed", "table closed", "finish 50 rows, response 2", "window closed", "ended"}, 50, resp::Cancelled},
      {"cancelled before the first tick", 100, 0, OwnClosing::AfterWindowClosed,
       {"source closed", "table closed", "window closed", "finish 0 rows, response 2", "ended"}, 0, resp::Cancelled},
      // No first record: the window closes at once and the run never completed.
      {"no records", 0, -1, OwnClosing::WhileWindowOpen,
       {"source closed", "table closed", "finish 0 rows, response 2", "window closed", "ended"}, 0, resp::Cancelled},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    ui.clear();
    FakeSource source(log, c.records);
    FakeTable table(log);
    FakeJob job(log, source);
    BatchRunDef d = def();
    d.files = {&table, FileId::Paralela};
    d.ownClosing = c.own;
    if (c.cancelAfter >= 0) ui.cancelAfterTicks(c.cancelAfter);
    run(d, job);

    auto events = without("tick");
    ASSERT_GE(events.size(), c.tail.size());
    EXPECT_EQ(events[0], "prepare");
    EXPECT_EQ(events[1], "table open");
    EXPECT_EQ(std::vector<std::string>(events.end() - std::ptrdiff_t(c.tail.size()), events.end()), c.tail);
    EXPECT_EQ(job.rows.size(), std::size_t(c.rows));
    EXPECT_EQ(ctx.globalResponse, c.response);
    // The record file the run took is given back.
    EXPECT_EQ(ctx.uses(FileId::Paralela), 0);
    EXPECT_FALSE(ctx.file(FileId::Paralela).isOpen());
    bool completedText = !ui.progressLog().empty() && ui.progressLog().back() == "percent: Process Completed";
    EXPECT_EQ(completedText, c.response == resp::Completed);
  }
}

TEST_F(BatchRunTest, ReadAheadIsSwitchedOnForTheRunAndOffAtTheEnd) {
  FakeSource source(log, 3);
  FakeJob job(log, source);
  BatchRunDef d = def();
  d.readAhead = true;
  run(d, job);
  EXPECT_EQ(without("tick"), (Log{"prepare", "QUICKSCAN=on", "QUICKSCAN=off", "source closed",
                                  "finish 3 rows, response 1", "window closed", "ended"}));
}

TEST_F(BatchRunTest, AReadFailureIsWarningThirtyFiveAndEndsTheSource) {
  FakeSource source(log, 100);
  source.failAt = 40;
  FakeJob job(log, source);
  run(def(), job);
  ASSERT_EQ(ui.transcript().size(), 1u);
  EXPECT_EQ(ui.transcript()[0],
            "Record Retrieval Error: Error: (disk I/O error (11)) attempting to access a record from the  file.  "
            "Returning to previous window.");
  EXPECT_EQ(job.rows.size(), 39u);
  EXPECT_NE(std::find(log.begin(), log.end(), "finish 39 rows, response 1"), log.end());

  // The packaging check names its file in the warning.
  log.clear();
  ui.clear();
  FakeSource named(log, 5);
  named.failAt = 1;
  FakeJob none(log, named);
  BatchRunDef d = def();
  d.retrievalFileName = "podatki";
  run(d, none);
  ASSERT_EQ(ui.transcript().size(), 1u);
  EXPECT_NE(ui.transcript()[0].find("from the podatki file."), std::string::npos);
  EXPECT_TRUE(none.rows.empty());
}

TEST_F(BatchRunTest, ASourceThatDoesNotOpenIsWarningThirtySixAndNothingIsRead) {
  FakeSource source(log, 10);
  source.openFails = true;
  FakeJob job(log, source);
  run(def(), job);
  ASSERT_EQ(ui.transcript().size(), 1u);
  EXPECT_EQ(ui.transcript()[0],
            "View Open Error: Error: (File Not Open (37)) attempting to open the current VIEW. Filter and Range "
            "Limits ignored.");
  EXPECT_TRUE(job.rows.empty());
  EXPECT_EQ(without("tick"), (Log{"prepare", "finish 0 rows, response 2", "window closed", "ended"}));
}

TEST_F(BatchRunTest, AStopRequestedFromOutsideEndsAtTheNextTickWithTheClosingSteps) {
  FakeSource source(log, 100);
  struct Stopping : FakeJob {
    using FakeJob::FakeJob;
    std::shared_ptr<BatchRun> run;
    void row(BatchRun& r) override {
      FakeJob::row(r);
      if (rows.size() == 30) run->requestStop();
    }
  } job(log, source);
  job.run = std::make_shared<BatchRun>(ctx, def(), job);
  job.run->start();
  // The batch under way is finished; the next one does not start.
  EXPECT_EQ(job.rows.size(), 50u);
  EXPECT_EQ(ctx.globalResponse, resp::Cancelled);
  EXPECT_TRUE(job.run->closedDown());
}

// A procedure made of a run: started, it has ended when its window closed.
TEST_F(BatchRunTest, AStartedBatchProcedureEndsWhenItsWindowCloses) {
  Program program(session);
  session.setProgram(&program);
  static Log* shared = nullptr;
  shared = &log;
  struct Counting : BatchProcedure {
    Counting(Context& c, const Options& o) : BatchProcedure(c, o), records(*shared, 60) {}
    FakeSource records;
    BatchRunDef definition() override {
      BatchRunDef d;
      d.name = "counting";
      return d;
    }
    BatchSource& source() override { return records; }
    void row(BatchRun& run) override { ++run.state().rowCounter; }
    void finish(BatchRun& run) override { shared->push_back("rows " + std::to_string(run.state().rowCounter)); }
  };
  program.add("counting", [](Context& c, const Options& o) { return std::make_unique<Counting>(c, o); });
  EXPECT_EQ(program.start("counting"), 0u);  // ended before start() returned
  EXPECT_EQ(program.runningCount(), 0u);
  EXPECT_NE(std::find(log.begin(), log.end(), "rows 60"), log.end());
}

TEST_F(BatchRunTest, ExchangeTablesOpenWithTheRecoveryOfRecordFiles) {
  auto runWith = [&](FakeTable& table, bool create) {
    FakeSource source(log, 1);
    FakeJob job(log, source);
    BatchRunDef d = def();
    d.files = {RunFile(&table, create)};
    run(d, job);
  };
  {
    SCOPED_TRACE("locked once: retried after Recover=5");
    log.clear();
    FakeTable table(log);
    table.openErrors = {err::Error::of(err::FileLocked)};
    runWith(table, true);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
              (Log{"prepare", "table open", "table Recover=5", "table open"}));
    EXPECT_TRUE(ui.transcript().empty());
  }
  {
    SCOPED_TRACE("missing: created and opened");
    log.clear();
    FakeTable table(log);
    table.openErrors = {err::Error::of(err::FileNotFound)};
    runWith(table, true);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
              (Log{"prepare", "table open", "table create", "table open"}));
    EXPECT_TRUE(ui.transcript().empty());
  }
  struct Fatal {
    const char* name;
    std::vector<err::Error> errors;
    bool create;
    Log transcript;
  };
  const std::vector<Fatal> fatal = {
      {"missing, not to be created", {err::Error::of(err::FileNotFound)}, false,
       {"File Creation Error: Error: (File Not Found (2)) creating paraldbf.dbf.  Press OK to end this application.",
        "Halt: File Creation Error!"}},
      {"not of its layout", {err::Error::of(err::InvalidFile)}, true,
       {"Invalid File: Error: (Invalid Record Declaration (47)) accessing paraldbf.dbf.  Press OK to end this "
        "application.",
        "Halt: Invalid File!"}},
      {"still locked", {err::Error::of(err::FileLocked), err::Error::of(err::FileLocked)}, true,
       {"File Access Error: File (paraldbf.dbf) could not be opened.  Error: File Is Already Locked (32).",
        "Halt: Disk Error"}},
  };
  for (const auto& f : fatal) {
    SCOPED_TRACE(f.name);
    ui.clear();
    FakeTable table(log);
    table.openErrors = f.errors;
    EXPECT_THROW(runWith(table, f.create), ProgramEnd);
    EXPECT_EQ(ui.transcript(), f.transcript);
  }
}

TEST_F(BatchRunTest, AnExchangeTableThatCannotWriteItsLastRowsOnClosingIsToldInTheStopBox) {
  FakeSource source(log, 3);
  FakeTable table(log);
  table.closeFails = true;
  FakeJob job(log, source);
  BatchRunDef d = def();
  d.files = {&table};
  run(d, job);
  EXPECT_EQ(ui.transcript(), (Log{"Stop: File System Error (PARALDBF.DBF: No space left on device)"}));
}

}  // namespace
}  // namespace tdx::rt
