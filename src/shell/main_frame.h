#pragma once
// Main: the frame from whose menu and toolbar every other procedure is
// started. Before it becomes usable it checks that the tender is installed,
// names the applicant in its title, rebuilds the item indexes and opens the
// items browser as the first working window; the user's first command
// closes that browser again. Closing the frame ends the program.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/frame.h"
#include "runtime/procedure.h"

namespace tdx::shell {

class MainFrame : public rt::Procedure, public rt::WindowEvents {
 public:
  MainFrame(rt::Context& ctx, const rt::Options& options);
  ~MainFrame() override;

  void begin() override;
  void requestClose() override;
  void onEvent(rt::Window& w, const rt::Event& e) override;

 private:
  void opened();
  void nameApplicant();
  void refreshStatus();
  void command(const std::string& label);
  void bidderCommand();
  void closeFrame();

  std::unique_ptr<rt::Frame> frame_;
  bool filesOpened_ = false;
  bool closing_ = false;
  std::uint64_t startupBrowser_ = 0;
};

}  // namespace tdx::shell
