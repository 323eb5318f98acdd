#include "runtime/record_source.h"

#include <system_error>

#include "runtime/context.h"

namespace tdx::rt {

namespace {

bool numeric(const FieldDef& f) {
  return f.type == FieldType::Short || f.type == FieldType::Long || f.type == FieldType::Decimal;
}

}  // namespace

RecordSource::RecordSource(Context& ctx, FileId file, std::optional<Key> order, ProgressUnit unit)
    : ctx_(&ctx), file_(file), order_(order), unit_(unit) {}

void RecordSource::joinTo(Key key, Prime prime, bool inKeyOrder) {
  joinKey_ = key;
  prime_ = std::move(prime);
  const FileDef& partner = fileDef(fileOf(key));
  walk_ = inKeyOrder;
  for (int c : keyDef(key).components) walk_ = walk_ && numeric(partner.fields[std::size_t(c)]);
  probe_.emplace(partner);
}

bool RecordSource::fail(const err::Error& e) {
  error_ = e;
  return false;
}

std::int64_t RecordSource::total() {
  RecordFile& f = ctx_->file(file_);
  if (unit_ == ProgressUnit::Bytes) {
    std::error_code ec;
    auto size = std::filesystem::file_size(f.path(), ec);
    return ec ? 0 : std::int64_t(size);
  }
  std::int64_t n = f.records();
  return n > 0 ? n : 0;
}

bool RecordSource::open() {
  error_.clear();
  RecordFile& f = ctx_->file(file_);
  if (!(order_ ? f.setKey(*order_) : f.setFileOrder())) return fail(f.error());
  if (walk_) {
    RecordFile& pf = ctx_->file(fileOf(*joinKey_));
    if (!pf.setKey(*joinKey_)) return fail(pf.error());
    ahead_.emplace(pf.def());
    lastProbe_.reset();
    aheadValid_ = partnerEnded_ = false;
  }
  return true;
}

int RecordSource::compareKeys(const RecordBuffer& a, const RecordBuffer& b) const {
  const FileDef& def = a.def();
  for (int c : keyDef(*joinKey_).components) {
    const FieldDef& f = def.fields[std::size_t(c)];
    std::int64_t x = f.type == FieldType::Decimal ? field::getUnits(a, f) : field::getInt(a, f);
    std::int64_t y = f.type == FieldType::Decimal ? field::getUnits(b, f) : field::getInt(b, f);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

bool RecordSource::walkTo(const RecordBuffer& probe, bool& found) {
  RecordFile& pf = ctx_->file(fileOf(*joinKey_));
  while (!partnerEnded_ && (!aheadValid_ || compareKeys(*ahead_, probe) < 0)) {
    if (pf.next(*ahead_)) {
      aheadValid_ = true;
      continue;
    }
    aheadValid_ = false;
    partnerEnded_ = true;
    if (pf.error().code != err::EndOfFile) return fail(pf.error());
  }
  found = aheadValid_ && compareKeys(*ahead_, probe) == 0;
  return true;
}

bool RecordSource::next(std::int64_t& progress) {
  error_.clear();
  RecordFile& f = ctx_->file(file_);
  RecordBuffer& buf = ctx_->buf(file_);
  if (!f.next(buf)) return fail(f.error());
  progress = unit_ == ProgressUnit::Bytes ? f.def().recordSize : 1;
  if (!joinKey_) return true;

  FileId other = fileOf(*joinKey_);
  RecordBuffer& partner = ctx_->buf(other);
  RecordFile& pf = ctx_->file(other);
  probe_->clear();
  prime_(buf, *probe_);

  if (walk_ && (!lastProbe_ || compareKeys(*probe_, *lastProbe_) >= 0)) {
    bool found = false;
    if (!walkTo(*probe_, found)) return false;
    lastProbe_ = *probe_;
    partnerFound_ = found;
    if (found) partner = *ahead_;
    else partner.clear();
    return true;
  }

  partner = *probe_;
  partnerFound_ = pf.get(*joinKey_, partner);
  if (partnerFound_) return true;
  partner.clear();
  // A partner that could not be read is a failed read, not a missing
  // partner: its record would go out blank.
  if (pf.error().code != err::RecordNotFound) return fail(pf.error());
  return true;
}

void RecordSource::send(std::string_view command) {
  ctx_->file(file_).send(command);
  if (joinKey_) ctx_->file(fileOf(*joinKey_)).send(command);
}

}  // namespace tdx::rt
