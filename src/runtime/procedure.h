#pragma once
// Procedures and the program that starts and calls them.
//
// A procedure is one window of the system (a frame, a browser, a form, a
// report or a batch run with its progress window), a class named as the
// procedure. The procedure folders never call each other directly: they
// start or call by name through the Program, which the application fills
// with every procedure it has.
//
// "Start" gives the procedure a context of its own and returns at once; the
// procedure lives until it calls end(), driven by the events of its window.
// "Call" runs it on the caller's context and returns when it has ended (a
// modal form or picker).

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/context.h"

namespace tdx::rt {

// Options of a command-line run (`tendrix run PROC --group 28 ...`), by name
// without the dashes.
using Options = std::map<std::string, std::string>;

class Procedure {
 public:
  Procedure(Context& ctx, const Options& options) : ctx_(&ctx), options_(options) {}
  virtual ~Procedure() = default;
  Procedure(const Procedure&) = delete;
  Procedure& operator=(const Procedure&) = delete;

  // Entry: open the files, open the window (or the progress run). May call
  // end() before returning.
  virtual void begin() = 0;
  bool ended() const { return ended_; }
  // Set by the program when it ends the procedure from outside (the frame
  // closing, a close request posted to the start-up browser).
  virtual void requestClose() { end(); }

  Context& ctx() { return *ctx_; }
  Ui& ui() { return ctx_->ui(); }
  Globals& g() { return ctx_->g(); }
  const Options& options() const { return options_; }

 protected:
  // The procedure is over: the program releases it (and a started
  // procedure's context) once the current event has been handled.
  void end();

 private:
  friend class Program;
  Context* ctx_;
  Options options_;
  bool ended_ = false;
  std::function<void()> onEnd_;
};

using ProcedureFactory = std::function<std::unique_ptr<Procedure>(Context&, const Options&)>;

class Program {
 public:
  explicit Program(Session& session);
  virtual ~Program();

  void add(std::string name, ProcedureFactory factory);
  bool has(std::string_view name) const;
  std::vector<std::string> names() const;

  // Starts a procedure on a new context; returns an id (0 when unknown or it
  // ended at once).
  std::uint64_t start(std::string_view name, const Options& options = {});
  // Calls a procedure on the caller's context and waits for it to end.
  // Returns false when there is no such procedure.
  bool call(std::string_view name, Context& ctx, const Options& options = {});
  // Is a started procedure still running?
  bool running(std::uint64_t id) const;
  // Asks a started procedure to close (the frame's close request to the
  // start-up browser).
  void requestClose(std::uint64_t id);
  // Ends every started procedure (the frame closing).
  void closeAll();
  std::size_t runningCount() const;
  Session& session() { return *session_; }

 protected:
  // Waits until a called procedure has ended: the Qt runtime spins a local
  // event loop; the headless one delivers what the window host has queued
  // (the window's Opened event and script) and then closes a window still
  // left open, as a user leaving the form would.
  virtual void waitUntilEnded(Procedure& p);
  // A called procedure has just ended (from inside its last event).
  virtual void calledEnded(Procedure& p);
  // Releases started procedures that have ended (after the current event).
  virtual void scheduleCleanup();
  void cleanup();

 private:
  struct Running {
    std::unique_ptr<Context> ctx;
    std::unique_ptr<Procedure> proc;
    bool beginning = false;  // begin() is on the stack: not released yet
  };
  void settle();
  Session* session_;
  std::map<std::string, ProcedureFactory, std::less<>> factories_;
  std::map<std::uint64_t, Running> running_;
  std::uint64_t nextId_ = 1;
};

}  // namespace tdx::rt
