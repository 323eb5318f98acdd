#include "transfer/new_offers_file.h"

#include <system_error>

#include "exchange/exchange_error.h"
#include "records/store_files.h"

namespace tdx::transfer {

namespace fs = std::filesystem;

namespace {
// Beside the offers file, so that the last rename stays on one file system.
constexpr const char* kFillFolder = "paralela.uvoz";
}  // namespace

NewOffersFile::NewOffersFile(const fs::path& workingFolder)
    : folder_(workingFolder / kFillFolder), file_(fileDef(FileId::Paralela), folder_) {}

NewOffersFile::~NewOffersFile() {
  if (file_.isOpen()) discard();
}

err::Error NewOffersFile::begin() {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec) return systemFailure(ec.value(), folder_.filename().string());
  if (!file_.create() || !file_.open(OpenMode::exclusive()) || !file_.suspendKeys() || !file_.stream()) {
    err::Error e = file_.error();
    discard();
    return e;
  }
  return {};
}

bool NewOffersFile::add(RecordBuffer& offer) { return file_.add(offer); }

err::Error NewOffersFile::finish(const fs::path& offers, std::int64_t& rows) {
  rows = 0;
  if (!file_.isOpen()) return err::Error::of(err::FileNotOpen);
  // Counted from the file itself: whatever a failed write may have taken
  // with it, this is what the offers file will hold.
  std::int64_t held = 0;
  bool ok = file_.flush() && (held = file_.records(), !file_.error()) && file_.build();
  err::Error e = file_.error();
  if (!ok) {
    discard();
    return e;
  }
  const fs::path filled = file_.path();
  if (!file_.close()) {
    e = file_.error();
    discard();
    return e;
  }
  if ((e = store::replaceFile(filled, offers))) {
    discard();
    return e;
  }
  rows = held;
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
  return {};
}

void NewOffersFile::discard() {
  file_.close();
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

}  // namespace tdx::transfer
