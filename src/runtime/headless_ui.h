#pragma once
// The headless runtime: answers messages from a script (or with the default
// button), records every message as a line "CAPTION: TEXT", ticks progress
// timers itself back to back, and hands finished reports to a sink. Tests
// and the command line run procedures through it.

#include <deque>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/headless_window.h"
#include "runtime/ui.h"

namespace tdx::rt {

class HeadlessUi : public Ui {
 public:
  HeadlessUi();
  ~HeadlessUi() override;

  // Answers for questions and stop boxes, by button text without "&"
  // ("Da", "Yes", "Abort"), taken in order.
  void answer(std::string button) { answers_.push_back(std::move(button)); }
  // Folders the folder chooser "chooses", in order (then it is cancelled).
  void chooseFolders(std::filesystem::path p) { folders_.push_back(std::move(p)); }
  // Where every line goes as well (the command line prints them).
  void echoTo(std::ostream* out) { echo_ = out; }
  // Press the cancel button of the next progress window after n ticks.
  void cancelAfterTicks(int n) { cancelAfter_ = n; }

  // Every line shown so far: "Opozorilo: Ne obstaja datoteka podatki.dat!",
  // "Halt: File Creation Error!", "open: navodila.pdf".
  const std::vector<std::string>& transcript() const { return lines_; }
  // The messages themselves, with icons and buttons.
  const std::vector<Message>& messages() const { return messages_; }
  // Progress texts of the last progress window, in the order they were set.
  const std::vector<std::string>& progressLog() const { return progress_; }
  void clear() { lines_.clear(); messages_.clear(); progress_.clear(); }
  // Beeps for rejected input so far.
  int beeps() const { return beeps_; }
  // The windows of window procedures, driven by the test
  // (runtime/headless_window.h).
  HeadlessWindowHost& windowHost() { return *windows_; }

  // What preview() does with a finished report: nothing by default.
  std::function<void(const report::Document&, std::string_view)> onPreview;
  // What openDocument answers; by default 33 when the file exists, else 2.
  std::function<int(const std::filesystem::path&)> onOpenDocument;

  int message(const Message& m) override;
  void stopBox(std::string_view text) override;
  [[noreturn]] void haltBox(std::string_view text) override;
  int openDocument(const std::filesystem::path& document) override;
  int runProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::filesystem::path& folder) override;
  std::optional<std::filesystem::path> chooseFolder(std::string_view title,
                                                    const std::filesystem::path& start) override;
  void printerSetup() override {}
  void runProgress(std::shared_ptr<TimedTask> task, const ProgressSpec& spec, bool modal) override;
  void preview(const report::Document& doc, std::string_view defaultName) override;
  void beep() override { ++beeps_; }
  WindowHost* windows() override { return windows_.get(); }

 private:
  void line(std::string text);
  std::optional<std::string> nextAnswer();
  std::deque<std::string> answers_;
  std::deque<std::filesystem::path> folders_;
  std::ostream* echo_ = nullptr;
  int cancelAfter_ = -1;
  std::vector<std::string> lines_;
  std::vector<Message> messages_;
  std::vector<std::string> progress_;
  int beeps_ = 0;
  std::unique_ptr<HeadlessWindowHost> windows_;
};

// "&Da" -> "Da"
std::string withoutMnemonic(std::string_view label);
// A text as the command line prints it: CR LF and LF become " | ".
std::string oneLine(std::string_view text);

}  // namespace tdx::rt
