#include "runtime/record_source.h"

#include <system_error>

#include "runtime/context.h"

namespace tdx::rt {

RecordSource::RecordSource(Context& ctx, FileId file, std::optional<Key> order, ProgressUnit unit)
    : ctx_(&ctx), file_(file), order_(order), unit_(unit) {}

void RecordSource::joinTo(Key key, Prime prime) {
  joinKey_ = key;
  prime_ = std::move(prime);
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
  bool ok = order_ ? f.setKey(*order_) : f.setFileOrder();
  return ok || fail(f.error());
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
  partner.clear();
  prime_(buf, partner);
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
