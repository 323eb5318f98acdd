// Any bytes as a record file: opened, every record read in file order and
// through every key both ways, read through an ordered view, closed. Must
// never crash or hang; the first byte picks which of the ten files the
// rest is (the buyer file goes through its seal first).

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "records/catalogue.h"
#include "records/store.h"

namespace {

// A hostile file may hold far more rows than its size suggests only up to
// a point; the bound keeps one input from running for minutes.
constexpr int kMaxReads = 20000;

void readAll(tdx::RecordFile& f, bool backwards) {
  tdx::RecordBuffer buf(f.def());
  for (int n = 0; n < kMaxReads && (backwards ? f.previous(buf) : f.next(buf)); ++n) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  auto files = tdx::allFiles();
  const tdx::FileDef& def = files[data[0] % files.size()];
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(tdx::fuzz::scratchFolder(), ec))
    std::filesystem::remove(e.path(), ec);
  std::string name(def.diskName);
  tdx::fuzz::writeScratch(name, std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

  tdx::RecordFile f(def, tdx::fuzz::scratchFolder());
  if (!f.open(tdx::OpenMode::shared(), def.ownerPassword)) {
    // A file whose keys are damaged is repaired, as the program offers.
    if (f.error().code != tdx::err::InvalidKey || !f.build() ||
        !f.open(tdx::OpenMode::shared(), def.ownerPassword))
      return 0;
  }
  f.setFileOrder();
  readAll(f, false);
  f.records();
  for (const auto& k : def.keys) {
    f.setKey(k.id);
    readAll(f, true);
    tdx::OrderedView view(f, k.id);
    std::vector<tdx::ViewRow> rows;
    if (view.first(20, rows) && !rows.empty()) view.after(rows.back().mark, 20, rows);
    view.last(20, rows);
    view.count();
  }
  f.close();
  return 0;
}
