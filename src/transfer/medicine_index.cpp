#include "transfer/medicine_index.h"

#include "records/cp1250.h"
#include "runtime/context.h"

namespace tdx::transfer {

namespace {
std::string keyOf(std::string_view idzdr) { return cp1250::collationKey(cp1250::trimRight(idzdr)); }
}  // namespace

bool MedicineIndex::load(rt::Context& ctx) {
  loaded_ = true;
  error_.clear();
  RecordFile& registry = ctx.file(FileId::Zdravnet);
  RecordBuffer buf(FileId::Zdravnet);
  if (!registry.setFileOrder()) {
    error_ = registry.error();
    return false;
  }
  while (registry.next(buf)) {
    const Zdravnet& m = buf.as<Zdravnet>();
    if (m.idzdr.blank()) continue;  // the key leaves blank codes out
    if (byCode_.try_emplace(keyOf(m.idzdr.raw()), std::uint32_t(medicines_.size())).second) medicines_.push_back(m);
  }
  if (registry.error().code != err::EndOfFile) {
    error_ = registry.error();
    return false;
  }
  return true;
}

const Zdravnet* MedicineIndex::find(std::string_view idzdr) const {
  if (cp1250::trimRight(idzdr).empty()) return nullptr;
  auto it = byCode_.find(keyOf(idzdr));
  return it == byCode_.end() ? nullptr : &medicines_[it->second];
}

}  // namespace tdx::transfer
