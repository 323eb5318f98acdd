#pragma once
// The Qt runtime: the runtime interface on the screen. Message, stop and
// halt boxes, progress windows driven by a timer, the folder chooser, the
// printer setup, opening documents, running a process while the windows
// stay painted, and the window host that builds the procedures' windows.
//
// Qt calls back into procedure code from its event loop (events, timers,
// posted events); an exception must never cross Qt. Every such call goes
// through guard(): a ProgramEnd (halt, Abort) is kept as the program's end
// and every event loop is told to stop, so that main() returns its status.

#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "runtime/ui.h"

class QPrinter;

namespace tdx::rt {

class Session;
class PositionStore;
class QtWindowHost;

class QtUi : public Ui {
 public:
  QtUi();
  ~QtUi() override;

  // The session's working folder (icons, documents) and window positions.
  void attach(Session& session);
  const std::filesystem::path& folder() const { return folder_; }
  PositionStore* positions() const { return positions_; }

  int message(const Message& m) override;
  void stopBox(std::string_view text) override;
  [[noreturn]] void haltBox(std::string_view text) override;
  void beep() override;
  int openDocument(const std::filesystem::path& document) override;
  int runProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::filesystem::path& folder) override;
  std::optional<std::filesystem::path> chooseFolder(std::string_view title,
                                                    const std::filesystem::path& start) override;
  void printerSetup() override;
  void runProgress(std::shared_ptr<TimedTask> task, const ProgressSpec& spec, bool modal) override;
  void preview(const report::Document& doc, std::string_view defaultName) override;
  WindowHost* windows() override;
  QtWindowHost& host() { return *host_; }

  // The printer the setup dialog configures and the preview prints on.
  QPrinter& printer();
  // The window a dialog belongs to: the active one, else the frame.
  QWidget* dialogParent() const;
  int beeps() const { return beeps_; }

  // Runs procedure code called from Qt; see the top of this file.
  void guard(const std::function<void()>& code);
  // The program is ending (halt, Abort, an unexpected failure): its status.
  std::optional<int> endStatus() const { return endStatus_; }
  void endProgram(int status);

 private:
  std::filesystem::path folder_;
  PositionStore* positions_ = nullptr;
  std::unique_ptr<QtWindowHost> host_;
  std::unique_ptr<QPrinter> printer_;
  std::optional<int> endStatus_;
  int beeps_ = 0;
};

}  // namespace tdx::rt
