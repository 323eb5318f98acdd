#include "app/demo_writer.h"

namespace tdx::app::demo {

namespace {
// Writes per commit in streamed mode.
constexpr std::int64_t kBatch = 5000;
}  // namespace

RecordWriter::RecordWriter(FileId id, const std::filesystem::path& folder)
    : file_(fileDef(id), folder), buf_(fileDef(id)) {
  const FileDef& def = fileDef(id);
  if (!file_.create(def.ownerPassword)) fail("create");
  if (!file_.isOpen() && !file_.open(OpenMode::exclusive(), def.ownerPassword)) fail("open");
  if (!file_.stream()) fail("write");
  buf_.clear();
}

void RecordWriter::add() {
  if (!file_.add(buf_)) fail("write");
  if (++count_ % kBatch == 0 && !file_.flush()) fail("write");
  buf_.clear();
}

Written RecordWriter::finish(std::string what) {
  if (!file_.flush()) fail("write");
  if (!file_.close()) fail("write");
  return Written{std::string(file_.def().diskName), count_, std::move(what)};
}

void RecordWriter::fail(const char* doing) {
  throw std::runtime_error("cannot " + std::string(doing) + " " + std::string(file_.def().diskName) +
                           ": " + file_.error().describe());
}

std::string toCp1250(std::string_view utf8) {
  std::string bad;
  auto bytes = cp1250::fromUtf8(utf8, &bad);
  if (!bytes) throw std::logic_error("demo text not in Windows-1250 (" + bad + "): " + std::string(utf8));
  return *bytes;
}

}  // namespace tdx::app::demo
