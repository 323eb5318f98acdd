#include "runtime/procedure.h"

#include "runtime/ui.h"
#include "runtime/window.h"

namespace tdx::rt {

void Procedure::end() {
  if (ended_) return;
  ended_ = true;
  if (onEnd_) onEnd_();
}

Program::Program(Session& session) : session_(&session) {}

Program::~Program() {
  // Contexts close their files; procedures go first since they may still
  // refer to their context.
  for (auto& [id, r] : running_) r.proc.reset();
}

void Program::add(std::string name, ProcedureFactory factory) {
  factories_[std::move(name)] = std::move(factory);
}

bool Program::has(std::string_view name) const { return factories_.find(name) != factories_.end(); }

std::vector<std::string> Program::names() const {
  std::vector<std::string> out;
  for (const auto& [n, f] : factories_) out.push_back(n);
  return out;
}

std::uint64_t Program::start(std::string_view name, const Options& options) {
  auto f = factories_.find(name);
  if (f == factories_.end()) return 0;
  auto id = nextId_++;
  {
    auto& r = running_[id];
    r.ctx = std::make_unique<Context>(*session_);
    r.proc = f->second(*r.ctx, options);
    r.proc->onEnd_ = [this] { scheduleCleanup(); };
    r.beginning = true;
    // A procedure that starts another from begin() must not be released by
    // that start's cleanup while its own begin() is still running.
    struct Done {
      Running& r;
      ~Done() { r.beginning = false; }
    } done{r};
    r.proc->begin();
  }
  settle();
  // What settle() delivered may have ended the procedure and released it.
  auto it = running_.find(id);
  if (it == running_.end()) return 0;
  if (it->second.proc->ended()) {
    cleanup();
    return 0;
  }
  return id;
}

bool Program::call(std::string_view name, Context& ctx, const Options& options) {
  auto f = factories_.find(name);
  if (f == factories_.end()) return false;
  auto proc = f->second(ctx, options);
  Procedure* p = proc.get();
  proc->onEnd_ = [this, p] { calledEnded(*p); };
  proc->begin();
  if (!proc->ended()) waitUntilEnded(*proc);
  return true;
}

void Program::settle() {
  if (auto* host = session_->ui().windows()) host->settle();
}

bool Program::running(std::uint64_t id) const {
  auto it = running_.find(id);
  return it != running_.end() && !it->second.proc->ended();
}

void Program::requestClose(std::uint64_t id) {
  auto it = running_.find(id);
  if (it != running_.end() && !it->second.proc->ended()) it->second.proc->requestClose();
}

void Program::closeAll() {
  for (auto& [id, r] : running_)
    if (!r.proc->ended()) r.proc->requestClose();
  cleanup();
}

std::size_t Program::runningCount() const {
  std::size_t n = 0;
  for (const auto& [id, r] : running_)
    if (!r.proc->ended()) ++n;
  return n;
}

void Program::waitUntilEnded(Procedure& p) {
  auto* host = session_->ui().windows();
  if (!host) return;
  host->settle();
  if (!p.ended()) host->leaveCalled();
}

void Program::calledEnded(Procedure&) {}

void Program::scheduleCleanup() {}

void Program::cleanup() {
  for (auto it = running_.begin(); it != running_.end();) {
    if (it->second.proc->ended() && !it->second.beginning) {
      it->second.proc.reset();
      it = running_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace tdx::rt
