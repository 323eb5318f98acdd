#include "shell/registry_update.h"

#include <filesystem>

#include "runtime/context.h"
#include "runtime/ui.h"

namespace tdx::shell {

using rt::ControlKind;
using rt::ControlSpec;

BatchCommand registryUpdateCommand() {
#ifdef _WIN32
  return {"cmd", {"/c", "copyzdr.bat"}};
#else
  return {"sh", {"copyzdr.bat"}};
#endif
}

RegistryUpdate::RegistryUpdate(rt::Context& ctx, const rt::Options& options) : Procedure(ctx, options) {}

RegistryUpdate::~RegistryUpdate() = default;

void RegistryUpdate::begin() {
  rt::WindowSpec s;
  s.title = "Poteka prenos...";
  s.positionName = "posodobizdr";
  s.resizable = false;
  s.width = 220;
  s.height = 44;
  ControlSpec first{"?STRING1", ControlKind::String};
  first.picture = "@s50";
  first.at = {8, 8, 204, 10};
  s.controls.push_back(first);
  ControlSpec second{"?STRING2", ControlKind::String};
  second.picture = "@s40";
  second.at = {8, 24, 204, 10};
  s.controls.push_back(second);
  auto* host = ui().windows();
  if (!host) {
    run();
    end();
    return;
  }
  win_ = host->openWindow(s, *this);
}

void RegistryUpdate::onEvent(rt::Window&, const rt::Event& e) {
  using K = rt::Event::Kind;
  if (e.kind == K::Opened) {
    run();
    leave();
  } else if (e.kind == K::CloseRequest) {
    requestClose();
  }
}

void RegistryUpdate::run() {
  // A missing batch file is a process that does not start: nothing is
  // reported (and no shell complains on the terminal either).
  std::error_code ec;
  if (!std::filesystem::is_regular_file(ctx().folder() / "copyzdr.bat", ec)) return;
  running_ = true;
  auto cmd = registryUpdateCommand();
  ui().runProcess(cmd.program, cmd.args, ctx().folder());
  running_ = false;
}

void RegistryUpdate::requestClose() {
  // The window goes when the batch file has ended (run() is still on the
  // stack, waiting for it).
  if (!running_) leave();
}

void RegistryUpdate::leave() {
  if (ended()) return;
  if (win_ && win_->isOpen()) win_->close();
  end();
}

}  // namespace tdx::shell
