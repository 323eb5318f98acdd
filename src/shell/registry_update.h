#pragma once
// The registry update: runs "copyzdr.bat" from the working folder, which
// refreshes the registry of medicines from the internet, in the window
// "Poteka prenos..." and waits for it. What the batch file does is outside
// the program: its exit code is not examined and nothing is reported.

#include <memory>
#include <string>
#include <vector>

#include "runtime/procedure.h"
#include "runtime/window.h"

namespace tdx::shell {

class RegistryUpdate : public rt::Procedure, public rt::WindowEvents {
 public:
  RegistryUpdate(rt::Context& ctx, const rt::Options& options);
  ~RegistryUpdate() override;

  void begin() override;
  // While the batch file runs, closing waits for it to end.
  void requestClose() override;
  void onEvent(rt::Window& w, const rt::Event& e) override;

 private:
  void run();
  void leave();
  bool running_ = false;
  std::unique_ptr<rt::Window> win_;
};

// The command that runs the batch file: "cmd /c copyzdr.bat" on Windows,
// "sh copyzdr.bat" elsewhere.
struct BatchCommand {
  std::string program;
  std::vector<std::string> args;
};
BatchCommand registryUpdateCommand();

}  // namespace tdx::shell
