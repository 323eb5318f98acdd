#include "runtime/context.h"

#include "runtime/positions.h"

namespace tdx::rt {

Session::Session(Ui& ui, std::filesystem::path folder)
    : ui_(&ui),
      folder_(std::move(folder)),
      positions_(std::make_unique<PositionStore>(folder_ / kSettingsFileName)) {}

Session::~Session() = default;

Context::Context(Session& session) : session_(&session) {}

Context::~Context() {
  for (auto& s : slots_)
    if (s.file && s.file->isOpen()) s.file->close();
}

Context::Slot& Context::slot(FileId id) { return slots_[static_cast<int>(id)]; }

RecordBuffer& Context::buf(FileId id) {
  auto& s = slot(id);
  if (!s.buffer) {
    s.buffer = std::make_unique<RecordBuffer>(fileDef(id));
    s.buffer->clear();
  }
  return *s.buffer;
}

RecordFile& Context::file(FileId id) {
  auto& s = slot(id);
  if (!s.file) s.file = std::make_unique<RecordFile>(fileDef(id), session_->folder());
  return *s.file;
}

int& Context::uses(FileId id) { return slot(id).uses; }

}  // namespace tdx::rt
