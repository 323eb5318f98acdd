#pragma once
// vizitka: the about window - who made the program and to whom the tender
// belongs (the buyer's first two lines from KUPEC). Every opening is a
// window and a context of its own.

#include <memory>

#include "runtime/procedure.h"
#include "runtime/window.h"

namespace tdx::shell {

class AboutWindow : public rt::Procedure, public rt::WindowEvents {
 public:
  AboutWindow(rt::Context& ctx, const rt::Options& options);
  ~AboutWindow() override;

  void begin() override;
  void requestClose() override { leave(); }
  void onEvent(rt::Window& w, const rt::Event& e) override;

 private:
  void leave();
  int response_ = 0;
  bool usesFile_ = false;
  std::unique_ptr<rt::Window> win_;
};

}  // namespace tdx::shell
