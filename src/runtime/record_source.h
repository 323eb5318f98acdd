#pragma once
// A batch run's source that is a record file: every record in the order of
// a key, or in file order, read into the context's record buffer of the
// file. Optionally each record is joined to the first record of another
// file with the same key value (an outer join: a record without a partner
// leaves the partner's buffer cleared, texts blank and numbers zero).
//
// Progress is one per record, or the record's size in bytes against the
// size of the file on disk.

#include <filesystem>
#include <functional>
#include <optional>

#include "records/catalogue.h"
#include "records/store.h"
#include "runtime/batch_run.h"

namespace tdx::rt {

class Context;

enum class ProgressUnit { Records, Bytes };

class RecordSource : public BatchSource {
 public:
  RecordSource(Context& ctx, FileId file, std::optional<Key> order, ProgressUnit unit = ProgressUnit::Records);

  // Sets the key components of the partner's buffer from the record read.
  using Prime = std::function<void(const RecordBuffer& read, RecordBuffer& partner)>;
  // Joins every record read to the first record of `key`'s file whose key
  // value `prime` has put into its buffer.
  void joinTo(Key key, Prime prime);
  // Did the last record read have a partner?
  bool partnerFound() const { return partnerFound_; }

  std::int64_t total() override;
  bool open() override;
  bool next(std::int64_t& progress) override;
  const err::Error& error() const override { return error_; }
  void send(std::string_view command) override;

 private:
  bool fail(const err::Error& e);

  Context* ctx_;
  FileId file_;
  std::optional<Key> order_;
  ProgressUnit unit_;
  std::optional<Key> joinKey_;
  Prime prime_;
  bool partnerFound_ = false;
  err::Error error_;
};

}  // namespace tdx::rt
