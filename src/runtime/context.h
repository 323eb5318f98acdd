#pragma once
// Contexts stand in for the window threads of the system: every started
// window gets its own context with its own record buffers, its own open
// state of every record file with use counts, and its own global request
// and response. A form or picker runs on its caller's context.

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "records/catalogue.h"
#include "records/store.h"
#include "runtime/globals.h"

namespace tdx::rt {

class Ui;
class Program;
class PositionStore;

// Global request and response codes.
namespace req {
inline constexpr int None = 0, Insert = 1, Change = 2, Delete = 3, Select = 4, View = 6;
}
namespace resp {
inline constexpr int None = 0, Completed = 1, Cancelled = 2;
}

// What is shared by every context of one running program.
class Session {
 public:
  Session(Ui& ui, std::filesystem::path folder);
  ~Session();

  Ui& ui() { return *ui_; }
  Globals& globals() { return globals_; }
  const std::filesystem::path& folder() const { return folder_; }
  PositionStore& positions() { return *positions_; }
  // The procedure registry; set by the application before anything runs.
  Program& program() { return *program_; }
  void setProgram(Program* p) { program_ = p; }
  void setUi(Ui& ui) { ui_ = &ui; }

 private:
  Ui* ui_;
  std::filesystem::path folder_;
  Globals globals_;
  std::unique_ptr<PositionStore> positions_;
  Program* program_ = nullptr;
};

class Context {
 public:
  explicit Context(Session& session);
  ~Context();  // closes whatever is still open
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  Session& session() { return *session_; }
  Ui& ui() { return session_->ui(); }
  Globals& g() { return session_->globals(); }
  const std::filesystem::path& folder() const { return session_->folder(); }

  // This context's record buffer of a file (exists whether or not the file
  // is open).
  RecordBuffer& buf(FileId id);
  template <class T>
  T& rec(FileId id) { return buf(id).as<T>(); }
  // This context's open of a file (may be closed).
  RecordFile& file(FileId id);
  // The use count of a file on this context.
  int& uses(FileId id);

  int globalRequest = req::None;
  int globalResponse = resp::None;

  // Per-context extras a procedure keeps for the life of its context (the
  // offer form's history record, for instance), by name.
  template <class T>
  T& local(const std::string& name) {
    auto& slot = locals_[name];
    if (!slot) slot = std::make_shared<Holder<T>>();
    return static_cast<Holder<T>*>(slot.get())->value;
  }

 private:
  struct HolderBase { virtual ~HolderBase() = default; };
  template <class T> struct Holder : HolderBase { T value{}; };
  struct Slot {
    std::unique_ptr<RecordBuffer> buffer;
    std::unique_ptr<RecordFile> file;
    int uses = 0;
  };
  Slot& slot(FileId id);
  Session* session_;
  std::array<Slot, kFileCount> slots_;
  std::map<std::string, std::shared_ptr<HolderBase>> locals_;
};

}  // namespace tdx::rt
