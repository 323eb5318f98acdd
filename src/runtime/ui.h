#pragma once
// The runtime interface: what the procedures need of a window system.
//
// Procedures talk to the user only through this interface. Two
// implementations exist: the Qt one (windows on the screen) and the headless
// one (answers from a script, records every message, ticks timers itself,
// writes reports to PDF), used by the tests and the command line.
//
// All texts here are UTF-8; record fields are Windows-1250 and are converted
// where they are shown.

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tdx::report { class Document; }

namespace tdx::rt {

class WindowHost;

enum class Icon { None, Stop, Question, Exclamation, Information };

// A message box: caption, text, icon, buttons (labels with their "&"
// mnemonics: "&OK", "&Yes", "&Da"), the default button by index.
struct Message {
  std::string caption;
  std::string text;
  Icon icon = Icon::None;
  std::vector<std::string> buttons{"&OK"};
  int defaultButton = 0;
};

// The standard button labels.
namespace btn {
inline constexpr const char* Ok = "&OK";
inline constexpr const char* Yes = "&Yes";
inline constexpr const char* No = "&No";
inline constexpr const char* Cancel = "&Cancel";
inline constexpr const char* Abort = "&Abort";
inline constexpr const char* Ignore = "&Ignore";
inline constexpr const char* Da = "&Da";
inline constexpr const char* Ne = "&Ne";
}  // namespace btn

// Ending the program (halt box, Abort in a stop box, the frame closing):
// thrown, unwinds to main, which exits with `status`. Never exit() inside a
// procedure.
class ProgramEnd : public std::exception {
 public:
  explicit ProgramEnd(int status, std::string reason = {})
      : status_(status), reason_(std::move(reason)) {}
  int status() const { return status_; }
  const char* what() const noexcept override { return reason_.c_str(); }

 private:
  int status_;
  std::string reason_;
};
inline constexpr int kHaltStatus = 3;

// A progress window driven by a timer: every tick handles one batch.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  virtual void setTitle(std::string_view title) = 0;
  virtual void setUserText(std::string_view text) = 0;
  virtual void setPercentText(std::string_view text) = 0;
  virtual void setPercent(int percent) = 0;  // 0..100
};

// What a progress window drives. The runtime calls opened() once the window
// is shown, then tick() once per timer tick until it returns false or the
// user presses the cancel button (cancelled()), then closed() after the
// window has gone, on every way out.
class TimedTask {
 public:
  virtual ~TimedTask() = default;
  virtual void opened(ProgressWindow& w) = 0;
  virtual bool tick(ProgressWindow& w) = 0;  // false: finished
  virtual void cancelled() = 0;
  virtual void closed() = 0;
};

struct ProgressSpec {
  std::string title = "Obdelava zapisov...";
  std::string cancelLabel = "&Prekini";
  std::string positionName;  // window-position section
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows a message and returns the index of the button pressed.
  virtual int message(const Message& m) = 0;
  // The stop box with an error text: Abort ends the program (throws
  // ProgramEnd), Ignore returns and the procedure goes on.
  virtual void stopBox(std::string_view text) = 0;
  // The halt box ("Halt", the text, OK, stop icon): the program ends.
  [[noreturn]] virtual void haltBox(std::string_view text) = 0;
  // A short beep for rejected input.
  virtual void beep() {}

  // Asks the platform to open a document with its associated program.
  // Returns the platform's code: above 32 is success; 2 file not found, 31
  // no associated program, and the rest of the table of the document-opening
  // operation.
  virtual int openDocument(const std::filesystem::path& document) = 0;
  // Runs a command in a new process from `folder` and waits for it; the exit
  // code, or -1 when it could not be started.
  virtual int runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& folder) = 0;
  // The folder chooser; nullopt when cancelled.
  virtual std::optional<std::filesystem::path> chooseFolder(std::string_view title,
                                                            const std::filesystem::path& start) = 0;
  virtual void printerSetup() = 0;

  // Runs a progress window. modal: returns when the task has closed (the
  // caller's context waits, as a called procedure does); otherwise returns at
  // once and the task runs beside the other windows.
  virtual void runProgress(std::shared_ptr<TimedTask> task, const ProgressSpec& spec, bool modal) = 0;

  // The print preview of a finished report (printing and saving as PDF from
  // it). Returns when the preview closes; the pages are then discarded.
  virtual void preview(const report::Document& doc, std::string_view defaultName) = 0;

  // Builds the windows of window procedures (runtime/window.h); nullptr
  // where this runtime has none.
  virtual WindowHost* windows() { return nullptr; }
};

}  // namespace tdx::rt
